#pragma once
// frmCopiarDec: copy of a declaration in preparation to a later period.
#include <memory>
#include <string>

#include <QDialog>

#include "declaration/copy_declaration.h"

class QLineEdit;

namespace korventa::ui {

class PeriodEdit;

class frmCopiarDec : public QDialog {
  Q_OBJECT
 public:
  frmCopiarDec(Session& session, QWidget* parent);
  void setDeclaration(const std::string& ruc, const std::string& periodo);

 private:
  void onCopy();
  Session& s_;
  std::unique_ptr<declaration::CopyDeclarationForm> ctl_;
  QLineEdit *ruc_, *name_, *from_;
  PeriodEdit* to_;
};

}  // namespace korventa::ui
