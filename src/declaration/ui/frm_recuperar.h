#pragma once
// FrmRecuperar: recovery of a sent declaration into preparation.
#include <memory>
#include <string>

#include <QDialog>

#include "declaration/catalogue.h"
#include "declaration/sent_declaration_chooser_form.h"
#include "declaration/declaration_chooser_form.h"
#include "declaration/copy_declaration.h"
#include "declaration/recovery.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace korventa::ui {

class Frm402;
class PeriodEdit;

class FrmRecuperar : public QDialog {
  Q_OBJECT
 public:
  FrmRecuperar(Session& session, QWidget* parent);
  void setDeclaration(const std::string& ruc, const std::string& periodo, const std::string& correl);

 private:
  void onRecover();
  Session& s_;
  std::unique_ptr<declaration::RecoveryForm> ctl_;
  QLineEdit *ruc_, *name_, *orden_;
  PeriodEdit *from_, *to_;
  QProgressBar* progress_;
  bool checking_ = false;
};

}  // namespace korventa::ui
