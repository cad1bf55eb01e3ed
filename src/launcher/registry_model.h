#pragma once
// Table model of the launcher's registry editor: a thin view over data::TableEditor. Every
// change goes through the editor (one transaction each); refused input and engine errors are
// shown through the Messenger and leave the row as it was.
#include <memory>
#include <string>
#include <vector>

#include <QAbstractTableModel>

#include "common/messenger.h"
#include "data/table_editor.h"

namespace korventa::launcher {

class RegistryModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  RegistryModel(Messenger& messenger, QObject* parent = nullptr);
  ~RegistryModel() override;

  // The table shown; nullptr shows nothing.
  void setEditor(std::unique_ptr<data::TableEditor> editor);
  data::TableEditor* editor() const { return editor_.get(); }
  void reload();

  // Adds a row (one text per column); shows the error and answers false when refused.
  bool insertRecord(const std::vector<std::string>& texts);
  bool removeRecord(int row);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

 private:
  void report(const std::exception& e);
  Messenger& messenger_;
  std::unique_ptr<data::TableEditor> editor_;
};

}  // namespace korventa::launcher
