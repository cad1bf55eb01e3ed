#include "declaration/ui/person_grid_model.h"

#include "common/ui/qt_messenger.h"

namespace korventa::ui {

PersonGridModel::PersonGridModel(data::Database& db, declaration::Grid grid, QObject* parent)
    : QAbstractTableModel(parent), list_(db, grid), headers_(list_.headers()) {}

int PersonGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : list_.count();
}

int PersonGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant PersonGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || role != Qt::DisplayRole) return {};
  auto cells = list_.cells(index.row());
  if (index.column() >= static_cast<int>(cells.size())) return {};
  return qs(cells[static_cast<std::size_t>(index.column())]);
}

QVariant PersonGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal && section < static_cast<int>(headers_.size()))
    return qs(headers_[static_cast<std::size_t>(section)]);
  if (orientation == Qt::Vertical) return section + 1;
  return {};
}

void PersonGridModel::requery() {
  beginResetModel();
  list_.requery();
  endResetModel();
}

}  // namespace korventa::ui
