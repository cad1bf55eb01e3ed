#pragma once
// "¿De dónde sale?" on paper and in files: the captions of its form, the totals line, and the
// explanation as a listing report (what its PDF is drawn from).
#include <filesystem>
#include <string>

#include "common/file_filters.h"
#include "data/session.h"
#include "determination/box_explanation.h"
#include "model/open_declaration.h"
#include "reports/report_writer.h"

namespace korventa::determination {

// Texts of the form and its exports.
struct ExplanationTexts {
  static constexpr const char* title = "¿De dónde sale?";
  static constexpr const char* sources = "Aportes";
  static constexpr const char* steps = "Pasos";
  static constexpr const char* exportWorkbook = "Exportar a libro…";
  static constexpr const char* exportPdf = "Exportar a PDF…";
  static constexpr const char* close = "Cerrar";
  static constexpr const char* workbookFilter = kWorkbookFilter;
  static constexpr const char* pdfFilter = kPdfFilter;
  static constexpr const char* exportTitle = "Exportar";
  static constexpr const char* exported = "Se exportó a ";
  static constexpr const char* notExported = "No se pudo exportar a ";
};

// "Suma de los aportes: 1,422.05 · Casilla: 1,422" (the value of the box "(vacía)" when empty).
std::string explanationTotals(const BoxExplanation& e);
// A file name for the exports: "DeDondeSale_" + RUC + "_" + period + "_" + target + extension.
std::string explanationFileName(const model::OpenDeclaration& d, const BoxExplanation& e, const std::string& extension);

// The listing: header with the declarant, the box and its value, one line per source, the steps.
void writeExplanationReport(reports::ReportWriter& w, const model::OpenDeclaration& d, const BoxExplanation& e);
// The same into "DeDondeSale.PRN" of the session's temporary folder; its path.
std::filesystem::path writeExplanationReportFile(Session& session, const model::OpenDeclaration& d,
                                                 const BoxExplanation& e);

}  // namespace korventa::determination
