#pragma once
// The exported reports of a stored declaration (frmReportes): "Formato 20" to "Formato 35" as
// pipe-separated text files and as the sheets of one workbook, and the catalogue they come from.
// Report 27, the pay statement, is printed instead (payslip.h).
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/progress.h"
#include "data/session.h"
#include "declaration/catalogue.h"
#include "printouts/declaration_data.h"
#include "printouts/report_catalogue.h"
#include "printouts/report_sink.h"
#include "printouts/text_encoding.h"

namespace korventa::printouts {

// Persons of a search (the individual report): a document type and the beginning of a number.
struct PersonFilter {
  int tipDoc = 0;
  std::string prefix;
};

// Writes one report of a declaration into `sink`. `tick` is called every few hundred rows with
// the rows written so far.
void writeReport(Session& session, const StoredDeclaration& decl, int number, ReportSink& sink,
                 const std::optional<PersonFilter>& filter = std::nullopt, const std::function<void(long)>& tick = {});

// An amount as the text files carry it: no thousands separators, trailing decimal zeros dropped
// ("1234.50" → "1234.5", "100.00" → "100"); the empty text (not declared) stays empty.
std::string plainAmount(const std::string& stored);
// Decimal hours "160.50" as hours and minutes "160:30".
std::string HorasDecimal_to_HorasMinutos(const std::string& horas);
// Ordinary plus overtime decimal hours, as hours and minutes.
std::string SumaHorasNormalesMasSobretiempo(const std::string& normales, const std::string& sobretiempo);

// Common beginning of the file names: the folder, "PE_601_" (a sent declaration: "HPE_601_") and
// the RUC.
std::filesystem::path exportPrefix(const std::filesystem::path& dir, const DeclarationRef& ref);
// The workbook: prefix "_" yyyymmdd_hhmm "_ALL.xlsx".
std::filesystem::path workbookPath(const std::filesystem::path& dir, const DeclarationRef& ref,
                                   const std::string& stamp);
// The clock's date and time as "yyyymmdd_hhmm".
std::string currentStamp();

bool workbookAvailable();  // built with the workbook writer

struct ExportRequest {
  std::vector<int> formats;  // ticked reports, in any order (27 is ignored here)
  bool text = true;          // chkSalida(0)
  bool workbook = false;     // chkSalida(1)
  std::filesystem::path dir;
  std::string stamp;                                  // yyyymmdd_hhmm of the workbook; now when empty
  std::optional<PersonFilter> filter;                 // individual report
  TextEncoding encoding = TextEncoding::Windows1252;  // of the text files
};

struct ExportResult {
  bool ok = false;
  bool cancelled = false;  // the person stopped it: no file was written (ok is false)
  std::vector<std::filesystem::path> textFiles;
  std::optional<std::filesystem::path> workbook;
  std::size_t replaced = 0;  // characters of the text files written as "?"
};

// Writes the requested reports in catalogue order. Failures are shown: a workbook that cannot be
// written "El archivo … está siendo utilizado. Cerrar el archivo y volver a generar el reporte.",
// anything else "No se pudieron generar los reportes.". Shows nothing on success. Each report is a
// step on `progress` (its title), counted in reports. The text files are written under temporary
// names and the workbook in memory, and kept only when all are through: cancelled through
// `progress` (kCancelledText is shown, `cancelled` is set) or failed, no file is left and files
// of the same names stay as they were. `beforeKeeping` runs when the reports are written and
// before they are kept; a Cancelled from it drops them as well, and so does any other failure
// (shown as above).
ExportResult generateReports(Session& session, const StoredDeclaration& decl, const ExportRequest& request,
                             Progress& progress = Progress::none(), const std::function<void()>& beforeKeeping = {});

// "Se terminaron de generar los reportes solicitados.", followed by the note on characters written
// as "?" when there were any.
void showReportsDone(Session& session, const ExportResult& result);

// The form frmReportes without its window.
class ReportExportForm {
 public:
  ReportExportForm(Session& session, bool sent);
  bool sent() const { return sent_; }
  std::vector<std::string> columns() const;
  std::vector<std::string> cells(const declaration::CatalogueRow& r) const;
  const std::vector<declaration::CatalogueRow>& requery();
  const std::vector<declaration::CatalogueRow>& rows() const { return rows_; }
  std::optional<StoredDeclaration> declarationAt(int row);

  // cmdAccion: the checks in order, then the reports; shows "Se terminaron de generar los
  // reportes solicitados." when done, with the note on characters written as "?" when there
  // were any. A ticked 27 produces the pay statements (payslipReport). `progress` may cancel
  // the whole: then neither files nor statements are kept, kCancelledText is shown instead of
  // the completion message and the result says `cancelled`.
  ExportResult cmdAccion(int row, const ExportRequest& request, Progress& progress = Progress::none());
  std::optional<std::filesystem::path> payslipReport;

 private:
  Session& s_;
  bool sent_;
  std::vector<declaration::CatalogueRow> rows_;
};

}  // namespace korventa::printouts
