#pragma once
// The choosers of declarations (FrmContAbrir, FrmContAbrirE) and the copy and recovery forms
// (frmCopiarDec, FrmRecuperar).
#include <memory>
#include <string>

#include <QDialog>

#include "declaration/catalogue.h"
#include "declaration/copy_declaration.h"
#include "declaration/recovery.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace korventa::ui {

class Frm402Dialog;
class PeriodEdit;

// FrmContAbrir and FrmContAbrirE share this dialog: a list and an action button.
class ChooserDialog : public QDialog {
  Q_OBJECT
 public:
  // sentChooser: FrmContAbrirE (order number, recovery); else FrmContAbrir on the prepared or (sent)
  // the sent declarations. `mode`: what the action does (Modify, Delete, Copy, Recover).
  ChooserDialog(Session& session, bool sentChooser, Mode mode, bool sent = false, QWidget* parent = nullptr);
  void requery();
  Mode mode() const { return mode_; }
  bool sent() const { return sentChooser_ || sentList_; }

 signals:
  // A declaration form was made on the chosen declaration and is about to be shown.
  void declarationFormOpened(Frm402Dialog* form);

 protected:
  void changeEvent(QEvent* e) override;

 private:
  void fill();
  void onAction();
  int selectedRow() const;
  Session& s_;
  bool sentChooser_;
  Mode mode_;
  bool sentList_;
  std::unique_ptr<declaration::FrmContAbrir> open_;
  std::unique_ptr<declaration::FrmContAbrirE> sent_;
  QTableWidget* grid_ = nullptr;
  QPushButton* action_ = nullptr;
};

class CopyDialog : public QDialog {
  Q_OBJECT
 public:
  CopyDialog(Session& session, QWidget* parent);
  void setDeclaration(const std::string& ruc, const std::string& periodo);

 private:
  void onCopy();
  Session& s_;
  std::unique_ptr<declaration::frmCopiarDec> ctl_;
  QLineEdit *ruc_, *name_, *from_;
  PeriodEdit* to_;
};

class RecoverDialog : public QDialog {
  Q_OBJECT
 public:
  RecoverDialog(Session& session, QWidget* parent);
  void setDeclaration(const std::string& ruc, const std::string& periodo, const std::string& correl);

 private:
  void onRecover();
  Session& s_;
  std::unique_ptr<declaration::FrmRecuperar> ctl_;
  QLineEdit *ruc_, *name_, *orden_;
  PeriodEdit *from_, *to_;
  QProgressBar* progress_;
  bool checking_ = false;
};

}  // namespace korventa::ui
