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
  FrmTipPrn(Session& session, bool sent, QWidget* parent = nullptr);
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

}  // namespace korventa::printouts::ui
