#pragma once
// The choosers of declarations (FrmContAbrir, FrmContAbrirE) and the copy and recovery forms
// (frmCopiarDec, FrmRecuperar).
#include <memory>
#include <string>

#include <QDialog>

#include "declaration/declaration_chooser_form.h"
#include "declaration/sent_declaration_chooser_form.h"

class QPushButton;
class QTableWidget;

namespace korventa::ui {

class Frm402;

// FrmContAbrir and FrmContAbrirE share this dialog: a list and an action button.
class FrmContAbrir : public QDialog {
  Q_OBJECT
 public:
  // sentChooser: FrmContAbrirE (order number, recovery); else FrmContAbrir on the prepared or (sent)
  // the sent declarations. `mode`: what the action does (Modify, Delete, Copy, Recover).
  FrmContAbrir(Session& session, bool sentChooser, Mode mode, bool sent = false, QWidget* parent = nullptr);
  void requery();
  Mode mode() const { return mode_; }
  bool sent() const { return sentChooser_ || sentList_; }

 signals:
  // A declaration form was made on the chosen declaration and is about to be shown.
  void declarationFormOpened(Frm402* form);

 protected:
  void changeEvent(QEvent* e) override;

 private:
  void fill();
  void onAction();
  void stepAside();
  void comeBack();
  int selectedRow() const;
  Session& s_;
  bool sentChooser_;
  Mode mode_;
  bool sentList_;
  std::unique_ptr<declaration::DeclarationChooserForm> open_;
  std::unique_ptr<declaration::SentDeclarationChooserForm> sent_;
  QTableWidget* grid_ = nullptr;
  QPushButton* action_ = nullptr;
};

}  // namespace korventa::ui
