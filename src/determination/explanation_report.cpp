#include "determination/explanation_report.h"

#include <cctype>

#include "common/dates.h"
#include "common/text.h"
#include "common/vb_format.h"

namespace korventa::determination {
namespace {

std::string cell(std::string_view s, std::size_t width) {
  return text::fixedWidth(s, width) + " ";
}

std::string amountCell(Money m, std::size_t width) {
  return text::padLeft(vbFormat(m, "#,###,###,##0.00;-#,###,###,##0.00"), width) + " ";
}

}  // namespace

std::string explanationTotals(const BoxExplanation& e) {
  std::string value = e.value.empty() ? "(vacía)" : e.value;
  return "Suma de los aportes: " + vbFormat(e.sourcesTotal(), "#,###,###,##0.00;-#,###,###,##0.00") +
         " · Resultado de los pasos: " + vbFormat(e.result(), "#,###,###,##0.00;-#,###,###,##0.00") +
         " · Valor: " + value;
}

std::string explanationFileName(const model::OpenDeclaration& d, const BoxExplanation& e,
                                const std::string& extension) {
  std::string target;
  for (char c : e.target) target += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return "DeDondeSale_" + d.ruc + "_" + d.periodo + "_" + target + extension;
}

void writeExplanationReport(reports::ReportWriter& w, const model::OpenDeclaration& d, const BoxExplanation& e) {
  int lines = static_cast<int>(e.sources.size() + e.steps.size()) + 12;
  reports::ListingHeader h;
  h.title = "¿DE DÓNDE SALE?";
  h.ruc = d.ruc;
  h.name = d.name;
  h.reportLines = lines;
  reports::writeListingHeader(w, h);
  w.ImprimeLineaPag("PERIODO: " + periodToDisplay(d.periodo));
  w.ImprimeLineaPag(e.heading());
  w.ImprimeLineaPag("");
  w.ImprimeLineaPag(cell("ORIGEN", 12) + cell("DOCUMENTO", 12) + cell("NOMBRE", 26) + cell("REFERENCIA", 14) +
                    cell("REGLA", 28) + text::padLeft("IMPORTE", 14));
  for (const auto& s : e.sources) {
    std::string reference = s.code.empty() ? s.reference : s.code + " " + s.descrip;
    w.ImprimeLineaPag(cell(s.kind, 12) + cell(s.doc, 12) + cell(s.name, 26) + cell(reference, 14) + cell(s.rule, 28) +
                      amountCell(s.amount, 14));
  }
  w.ImprimeLineaPag("");
  w.ImprimeLineaPag(cell("PASO", 12) + cell("OPERACIÓN", 54) + text::padLeft("IMPORTE", 14) + " " +
                    text::padLeft("RESULTADO", 14));
  for (const auto& s : e.steps)
    w.ImprimeLineaPag(cell(stepKindName(s.kind), 12) + cell(s.caption, 54) + amountCell(s.amount, 14) +
                      amountCell(s.result, 14));
  w.ImprimeLineaPag("");
  w.ImprimeLineaPag(explanationTotals(e));
}

std::filesystem::path writeExplanationReportFile(Session& session, const model::OpenDeclaration& d,
                                                 const BoxExplanation& e) {
  std::filesystem::path dir = session.paths.tmpPath.empty() ? std::filesystem::temp_directory_path()
                                                            : std::filesystem::path(session.paths.tmpPath);
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  std::filesystem::path out = dir / "DeDondeSale.PRN";
  reports::ReportWriter w(out);
  writeExplanationReport(w, d, e);
  w.close();
  return out;
}

}  // namespace korventa::determination
