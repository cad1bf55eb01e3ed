#pragma once
// FrmRecuperar: recovery of a sent declaration into preparation.
#include <memory>
#include <string>

#include <QDialog>

#include "declaration/recovery.h"

class QLineEdit;
class QProgressBar;

namespace korventa::ui {

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
