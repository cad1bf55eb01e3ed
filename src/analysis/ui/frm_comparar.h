#pragma once
// The comparison form frmComparar: the period (or sending) to compare with and the threshold, the
// lists of the persons who entered, left or changed and of the boxes that differ, and the export
// to a workbook and to PDF. Everything it shows comes from CompareForm.
#include <array>

#include <QDialog>

#include "analysis/compare_form.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace korventa::ui {
class Frm402;
class PeriodEdit;
}  // namespace korventa::ui

namespace korventa::analysis::ui {

class FrmComparar : public QDialog {
  Q_OBJECT
 public:
  FrmComparar(Session& session, const printouts::DeclarationRef& current, bool unsaved, QWidget* parent = nullptr);

  CompareForm& controller() { return ctl_; }
  // "&Comparar": the fields to the controller, the result into the lists.
  void cmdComparar_Click();
  // The two exports, to the file given (the buttons ask for it first).
  bool exportWorkbook(const QString& file);
  bool exportPdf(const QString& file);

 private:
  void showResult();
  void applyFocus();
  void chooseAndExport(bool pdf);

  Session& s_;
  CompareForm ctl_;
  korventa::ui::PeriodEdit* mkePeriodo_;
  QLineEdit* txtCorrel_;
  QLineEdit* txtUmbral_;
  QLabel* lblResumen_;
  QTabWidget* tabs_;
  std::array<QTableWidget*, 4> lists_{};
  QPushButton* cmdComparar_;
  QPushButton* cmdLibro_;
  QPushButton* cmdPdf_;
};

// Has the "Comparar" button of a declaration form open the comparison on the form's declaration.
void connectCompare(Session& session, korventa::ui::Frm402& form);

}  // namespace korventa::analysis::ui
