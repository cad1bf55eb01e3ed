#pragma once
// The suite's sending, as the launcher offers it: the declarations saved without inconsistencies,
// one to choose, "&Enviar" copies it into the history and shows the receipt with the order number.
#include <QDialog>

#include "common/messenger.h"
#include "data/database.h"
#include "declaration/send.h"

class QTableWidget;

namespace korventa::ui {

class FrmEnviar : public QDialog {
  Q_OBJECT
 public:
  FrmEnviar(data::Database& db, Messenger& messenger, QWidget* parent = nullptr);
  // Sends the selected declaration; false when none is selected or the sending failed.
  bool sendSelected();
  const declaration::SendReceipt& lastReceipt() const { return receipt_; }

 private:
  void fill();
  data::Database& db_;
  Messenger& m_;
  QTableWidget* grid_;
  std::vector<declaration::SendCandidate> rows_;
  declaration::SendReceipt receipt_;
};

}  // namespace korventa::ui
