#pragma once
// frmConsultaBasesTrib: the declared bases per person.
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

class frmConsultaBasesTrib : public QDialog {
  Q_OBJECT
 public:
  frmConsultaBasesTrib(Session& session, bool sent, QWidget* parent = nullptr);
  bool sent() const { return form_.sent(); }
  void cmdBuscar_Click();

 private:
  Session& s_;
  TaxBaseConsultationForm form_;
  QTableWidget* grdContrib_;
  QComboBox* cboTipDoc_;
  QLineEdit* txtNumDoc_;
  QTableWidget* GrdDatos_;
};

}  // namespace korventa::printouts::ui
