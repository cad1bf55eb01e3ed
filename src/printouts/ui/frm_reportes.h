#pragma once
// frmReportes: the exported reports and pay statements of a stored declaration.
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

class frmReportes : public QDialog {
  Q_OBJECT
 public:
  frmReportes(Session& session, bool sent, QWidget* parent = nullptr);
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

}  // namespace korventa::printouts::ui
