#pragma once
// The comparison form reached from the declaration form: the period (or sending) to compare with
// and the threshold, the lists of the result, and its export to a workbook and to PDF. The
// dialog binds its widgets to this controller and shows what it says.
#include <filesystem>
#include <optional>
#include <string>

#include "analysis/comparison_output.h"
#include "common/file_filters.h"
#include "analysis/declaration_comparison.h"
#include "reports/report_document.h"

namespace korventa::analysis {

// Captions of the form.
struct CompareCaptions {
  std::string otherPeriod = "Comparar con el período:";
  std::string otherCorrel = "Enviada (correlativo, vacío: en preparación):";
  std::string threshold = "Umbral por persona (S/):";
  std::string compare = "&Comparar";
  std::string exportWorkbook = "Exportar a &libro…";
  std::string exportPdf = "Exportar a &PDF…";
  std::string close = "&Salir";
  std::string workbookFilter = kWorkbookFilter;
  std::string pdfFilter = kPdfFilter;
  std::string exportTitle = "Exportar";
};

class CompareForm {
 public:
  // The declaration open in the declaration form; `unsaved`: it has changes not saved yet (the
  // comparison reads the stored declaration).
  CompareForm(Session& session, printouts::DeclarationRef current, bool unsaved = false);

  static const CompareCaptions& captions();
  std::string caption() const;            // window title
  std::string note() const;               // what is compared, and a warning when there are unsaved changes
  std::string tabCaption(int tab) const;  // 0 entered, 1 left, 2 changed, 3 boxes, with counts

  // Fields as typed: "MM/YYYY" (the period before by default), the sending's correl, the amount.
  std::string otherPeriod;
  std::string otherCorrel;
  std::string threshold = "1.00";

  // Checks the fields in order (message and focus on the first wrong one), then compares.
  bool comparar();
  std::string focus;  // "MkePeriodo", "TxtCorrel" or "TxtUmbral" after a refused comparison

  bool hasResult() const { return result_.has_value(); }
  const Comparison& result() const { return *result_; }
  ComparisonListing listing(int tab) const;
  std::string summary() const;

  // A proposed export file name ("COMPARA_RUC_201207_201206.xlsx").
  std::string proposedFile(const std::string& extension) const;
  // Writes the workbook; the message says where, or that it could not.
  bool exportWorkbook(const std::filesystem::path& file);
  // The report document the PDF is drawn from (written in the work folder).
  std::optional<reports::Document> pdfDocument();
  // After the dialog wrote the PDF: the message.
  void pdfWritten(const std::filesystem::path& file, bool ok, const std::string& error);

 private:
  Session& s_;
  printouts::DeclarationRef current_;
  bool unsaved_;
  std::optional<Comparison> result_;
};

}  // namespace korventa::analysis
