#include "launcher/registry_model.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include "common/ui/qt_messenger.h"
#include "data/db_errors.h"

namespace korventa::launcher {

using ui::qs;
using ui::ss;

RegistryModel::RegistryModel(Messenger& messenger, QObject* parent)
    : QAbstractTableModel(parent), messenger_(messenger) {}
RegistryModel::~RegistryModel() = default;

void RegistryModel::setEditor(std::unique_ptr<data::TableEditor> editor) {
  beginResetModel();
  editor_ = std::move(editor);
  endResetModel();
}

void RegistryModel::reload() {
  if (!editor_) return;
  beginResetModel();
  try {
    editor_->reload();
  } catch (const std::exception& e) {
    endResetModel();
    report(e);
    return;
  }
  endResetModel();
}

void RegistryModel::report(const std::exception& e) {
  if (auto* db = dynamic_cast<const data::DbError*>(&e)) {
    data::MensajeErrorBD(messenger_, *db);
  } else if (dynamic_cast<const data::InputError*>(&e)) {
    messenger_.show(e.what(), "Validación", MsgIcon::Critical);
  } else {
    messenger_.show(e.what(), "Error", MsgIcon::Critical);
  }
}

// Rows are few; the view is reset after a change instead of tracking inserted positions, because
// the editor has already changed its rows when it reports success.
bool RegistryModel::insertRecord(const std::vector<std::string>& texts) {
  if (!editor_) return false;
  try {
    editor_->insert(texts);
  } catch (const std::exception& e) {
    report(e);
    return false;
  }
  beginResetModel();
  endResetModel();
  return true;
}

bool RegistryModel::removeRecord(int row) {
  if (!editor_ || row < 0 || row >= rowCount()) return false;
  bool ok = true;
  try {
    editor_->remove(static_cast<std::size_t>(row));
  } catch (const std::exception& e) {
    ok = false;
    // A row deleted by another program meanwhile: the editor has read the rows again.
    beginResetModel();
    endResetModel();
    report(e);
  }
  if (ok) {
    beginResetModel();
    endResetModel();
  }
  return ok;
}

int RegistryModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || !editor_ ? 0 : static_cast<int>(editor_->rowCount());
}

int RegistryModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() || !editor_ ? 0 : static_cast<int>(editor_->columns().size());
}

QVariant RegistryModel::data(const QModelIndex& index, int role) const {
  if (!editor_ || !index.isValid()) return {};
  auto r = static_cast<std::size_t>(index.row());
  auto c = static_cast<std::size_t>(index.column());
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
      return qs(editor_->text(r, c));
    case Qt::TextAlignmentRole:
      return editor_->columns()[c].integer || editor_->columns()[c].decimal
                 ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
                 : QVariant();
    case Qt::ForegroundRole:
      // NULL shows as an empty cell in grey, so that it is told apart from empty text only by tooltip.
      return data::valueIsNull(editor_->value(r, c)) ? QVariant(QBrush(QColor(Qt::gray))) : QVariant();
    case Qt::ToolTipRole:
      return data::valueIsNull(editor_->value(r, c)) ? QVariant(QStringLiteral("(nulo)")) : QVariant();
    default:
      return {};
  }
}

QVariant RegistryModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (!editor_) return {};
  if (orientation == Qt::Vertical) return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
  const auto& col = editor_->columns().at(static_cast<std::size_t>(section));
  if (role == Qt::DisplayRole) return qs(col.name);
  if (role == Qt::ToolTipRole) {
    QString t = qs(col.type.empty() ? "TEXT" : col.type);
    if (col.key) t += QStringLiteral(", clave");
    if (col.notNull) t += QStringLiteral(", obligatoria");
    if (col.date) t += QStringLiteral(", fecha aaaa-mm-dd");
    return t;
  }
  if (role == Qt::FontRole && col.key) {
    QFont f;
    f.setBold(true);
    return f;
  }
  return {};
}

Qt::ItemFlags RegistryModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

bool RegistryModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!editor_ || !index.isValid() || role != Qt::EditRole) return false;
  auto r = static_cast<std::size_t>(index.row());
  auto c = static_cast<std::size_t>(index.column());
  std::string typed = ss(value.toString());
  if (typed == editor_->text(r, c)) return false;
  try {
    editor_->setText(r, c, typed);
  } catch (const data::DbError& e) {
    beginResetModel();  // the editor may have read the rows again
    endResetModel();
    report(e);
    return false;
  } catch (const std::exception& e) {
    report(e);
    return false;
  }
  emit dataChanged(index, index);
  return true;
}

}  // namespace korventa::launcher
