#pragma once
// frmCopiarDec: copy of a declaration in preparation to a later period.
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
