#pragma once
// Table model of a page of the declaration form over PersonList: rows are read from the database
// only when the view shows them.
#include <QAbstractTableModel>

#include "declaration/person_list.h"

namespace korventa::ui {

class PersonGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  PersonGridModel(data::Database& db, declaration::Grid grid, QObject* parent = nullptr);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void requery();
  declaration::PersonList& list() { return list_; }

 private:
  mutable declaration::PersonList list_;
  std::vector<std::string> headers_;
};

}  // namespace korventa::ui
