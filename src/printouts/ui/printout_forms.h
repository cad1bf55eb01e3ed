#pragma once
// The forms of the printouts: FrmTipPrn (printed declaration and EPS annexes), frmReportes
// (exported reports and pay statements), frmConsultaBasesTrib (declared bases per person) and
// frmReporteIndiv (report 25 of the persons found). The rules live in printouts/.
#include <memory>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include "data/session.h"
#include "printouts/declaration_printout.h"
#include "printouts/exports.h"
#include "printouts/tax_base_consultation.h"
#include "printouts/individual_report_form.h"
#include "printouts/tax_base_consultation_form.h"

namespace korventa::printouts::ui {

// Fills a grid of declarations and keeps the first row selected.
void fillDeclarationGrid(QTableWidget* grid, const std::vector<std::string>& columns,
                         const std::vector<std::vector<std::string>>& rows);
int selectedRow(QTableWidget* grid);

class FrmTipPrn : public QDialog {
  Q_OBJECT
 public:
  FrmTipPrn(Session& session, QWidget* parent = nullptr);
  DeclarationPrintoutForm& form() { return form_; }
  // CmdImprimir(index): 0 preview, 1 print, 2 close, 3 text file.
  void CmdImprimir_Click(int index);

 private:
  void syncOptions();
  Session& s_;
  DeclarationPrintoutForm form_;
  QTableWidget* grdContrib_;
  QRadioButton* optImp_[3];
  QCheckBox* chkAnexo_[2];
};

// Where a form writes its files: a folder field with a chooser button.
class DirectoryField : public QWidget {
  Q_OBJECT
 public:
  explicit DirectoryField(QWidget* parent = nullptr);
  std::string directory() const;
  void setDirectory(const std::string& dir);

 private:
  QLineEdit* edit_;
};

class frmReportes : public QDialog {
  Q_OBJECT
 public:
  frmReportes(Session& session, QWidget* parent = nullptr);
  ReportExportForm& form() { return form_; }
  void cmdAccion_Click();
  QCheckBox* chkReportes(int number) const;
  QCheckBox* chkSalida(int index) const { return chkSalida_[index]; }
  DirectoryField* directory() const { return dir_; }

 private:
  Session& s_;
  ReportExportForm form_;
  QTableWidget* grdContrib_;
  std::vector<std::pair<int, QCheckBox*>> chkReportes_;
  QCheckBox* chkSalida_[2];
  DirectoryField* dir_;
};

class frmConsultaBasesTrib : public QDialog {
  Q_OBJECT
 public:
  frmConsultaBasesTrib(Session& session, QWidget* parent = nullptr);
  void cmdBuscar_Click();

 private:
  Session& s_;
  TaxBaseConsultationForm form_;
  QTableWidget* grdContrib_;
  QComboBox* cboTipDoc_;
  QLineEdit* txtNumDoc_;
  QTableWidget* GrdDatos_;
};

class frmReporteIndiv : public QDialog {
  Q_OBJECT
 public:
  frmReporteIndiv(Session& session, QWidget* parent = nullptr);
  void cmdAccion_Click();

 private:
  Session& s_;
  IndividualReportForm form_;
  QTableWidget* grdContrib_;
  QComboBox* cboTipDoc_;
  QLineEdit* txtNumDoc_;
  QCheckBox* chkSalida_[2];
  DirectoryField* dir_;
};

}  // namespace korventa::printouts::ui
