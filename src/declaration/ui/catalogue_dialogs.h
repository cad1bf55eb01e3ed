#pragma once
// The choosers of declarations (FrmContAbrir, FrmContAbrirE) and the copy and recovery forms
// (frmCopiarDec, FrmRecuperar).
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

class PeriodEdit;

// FrmContAbrir and FrmContAbrirE share this dialog: a list and an action button.
class FrmContAbrir : public QDialog {
  Q_OBJECT
 public:
  // sentChooser: FrmContAbrirE (order number, recovery); else FrmContAbrir with the session's sent flag.
  FrmContAbrir(Session& session, bool sentChooser, QWidget* parent);
  void requery();

 protected:
  void changeEvent(QEvent* e) override;

 private:
  void fill();
  void onAction();
  int selectedRow() const;
  Session& s_;
  bool sentChooser_;
  std::unique_ptr<declaration::DeclarationChooserForm> open_;
  std::unique_ptr<declaration::SentDeclarationChooserForm> sent_;
  QTableWidget* grid_ = nullptr;
  QPushButton* action_ = nullptr;
};

}  // namespace korventa::ui
