#pragma once
// frmReporteIndiv: report 25 of the persons found.
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
#include "printouts/ui/directory_field.h"

namespace korventa::printouts::ui {

class frmReporteIndiv : public QDialog {
  Q_OBJECT
 public:
  frmReporteIndiv(Session& session, bool sent, QWidget* parent = nullptr);
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
