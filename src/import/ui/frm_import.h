#pragma once
// The import forms frmTranPer, frmTransferencia, frm0601ImportMF and frmTransPT: a drive, a
// directory list, the import files of the category found there, a check box per kind, the
// import button with its counters and the close button. Everything else is ImportForm's.
#include <map>
#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeView>

#include "data/session.h"
#include "import/import_form.h"

class QHBoxLayout;
class QVBoxLayout;

namespace korventa::ui {
class Frm402;
}

namespace korventa::import::ui {

class FrmImport : public QDialog {
  Q_OBJECT
 public:
  // Imports into `decl` (the declaration open in the declaration form) the files of a person
  // category (0: the form's first kind's).
  FrmImport(Session& session, const model::OpenDeclaration& decl, Form form, int category = 0,
            QWidget* parent = nullptr);

  ImportForm& controller() { return *ctl_; }
  void setDirectory(const QString& dir);
  QString directory() const;
  void cmdTransferir_Click();
  // Whether a run of this form imported files (a cancelled run imported none), and the persons
  // those files touched.
  bool imported() const { return imported_; }
  const std::vector<PersonKey>& touched() const { return touched_; }

 private:
  void buildFolders(QHBoxLayout* top);
  void buildFiles(QHBoxLayout* top, Form form);
  void buildResults(QVBoxLayout* layout);
  void showFiles();

  Session& s_;
  std::unique_ptr<ImportForm> ctl_;
  QComboBox* drive_;
  QFileSystemModel* dirs_;
  QTreeView* dirList_;
  QListWidget* files_;
  std::map<Kind, QCheckBox*> checks_;
  QPushButton* cmdTransferir_;
  QPushButton* cmCancelar_;
  QLabel* lblTransferidos_;
  QLabel* lblRechazados_;
  QLabel* lblResultado_;
  QListWidget* lstResultados_;
  bool imported_ = false;
  std::vector<FileResult> touchedBy_;  // only the persons each file touched
  std::vector<PersonKey> touched_;
};

// Has the import buttons of a declaration form open the import form of their category (workers
// and pensioners frmTranPer, third parties frmTransPT, providers frmTransferencia, trainees
// frm0601ImportMF) on the form's declaration.
void connectImports(Session& session, korventa::ui::Frm402& form);

}  // namespace korventa::import::ui
