#pragma once
// "¿De dónde sale?": the sources of a box of the debt determination (persons, concept rows,
// receipts, EPS invoices, establishments, other boxes) in a sortable list, the steps that give the
// box, the totals that match it, and its export to a workbook and to PDF.
#include <filesystem>
#include <functional>
#include <string>

#include <QDialog>

#include "data/session.h"
#include "determination/box_explanation.h"
#include "model/open_declaration.h"

class QTableView;

namespace korventa::ui {

class FrmDeDondeSale : public QDialog {
  Q_OBJECT
 public:
  // The workbook writer lives above this form (printouts::writeExplanationWorkbook); without one the
  // workbook export is not offered.
  using WorkbookWriter = std::function<bool(const model::OpenDeclaration&, const determination::BoxExplanation&,
                                            const std::filesystem::path&, std::string* error)>;

  FrmDeDondeSale(Session& session, const model::OpenDeclaration& decl, determination::BoxExplanation explanation,
                 WorkbookWriter workbook, QWidget* parent = nullptr);
  const determination::BoxExplanation& explanation() const { return e_; }

  // The exports into the file given (the buttons ask for it first); false when it was not written
  // (the message was shown).
  bool exportWorkbook(const QString& file);
  bool exportPdf(const QString& file);

 private:
  QTableView* sourcesView();
  QTableView* stepsView();
  void chooseAndExport(bool workbook);
  // A person's row of the list: that person's summary column explained, in a form of its own.
  void openSource(int row);
  void reportExport(bool ok, const QString& file, const std::string& error);

  Session& s_;
  const model::OpenDeclaration& d_;
  determination::BoxExplanation e_;
  WorkbookWriter workbook_;
};

}  // namespace korventa::ui
