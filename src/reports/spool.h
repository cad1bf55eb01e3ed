#pragma once
// The spool: every report file is registered in SPOOL (kind code, running number within the
// kind, 8-digit file name over all kinds) and written into the report folder.
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/database.h"
#include "data/session.h"
#include "reports/report_writer.h"

namespace korventa::reports {

// Report kinds (SPOOL.CodRep): "PR0040" declaration printout; "PR0030", "PR0043", "PR0044",
// "PR0046", "PR0047", "PR0048", "PR0049", "PR0050", "PR0051" import error listings; "PR0045"
// exported-report listing.

// Adds the SPOOL row of a new report: Secuencia = highest of the kind + 1 ("000000"), Archivo =
// highest file number of all kinds + 1 ("00000000") + ".PRN", today, the session's user and the
// declarant. A number whose file already exists in the report folder (a report of another
// database sharing the folder) is passed over: the report file is created empty here, never
// over an existing one. Returns Archivo. Database failures propagate as data::DbError.
std::string RegistraSpool(Session& session, std::string_view codRep, int tipDoc, std::string_view docId);

// The registered reports (CodRep, Secuencia, Archivo, Fecha, Usuario, tip_doc_d, doc_id_d), by
// file name.
std::vector<data::Row> spoolEntries(data::Database& db);

// Full path of a report file: the report folder, "/" and the file name.
std::filesystem::path reportPath(const Session& session, std::string_view archivo);

// Pages announced by the "<!nHojas!>" line of a report file; 0 when there is none or the file
// cannot be read.
int LeeNroHojas(const std::filesystem::path& path);

// One report produced in one go: registers the SPOOL row and opens the file (destination
// "ARCHIVO") inside a transaction. commit() closes the file and keeps the row; a report that is
// not committed (an error while writing) leaves neither the row nor the file behind.
class SpoolReport {
 public:
  SpoolReport(Session& session, std::string_view codRep, int tipDoc, std::string_view docId);
  ~SpoolReport();
  SpoolReport(const SpoolReport&) = delete;
  SpoolReport& operator=(const SpoolReport&) = delete;

  ReportWriter& writer() { return *writer_; }
  const std::string& archivo() const { return archivo_; }
  const std::filesystem::path& path() const { return path_; }
  // Closes the file and commits the SPOOL row; returns the full path of the report.
  std::filesystem::path commit();

 private:
  data::Transaction tx_;
  std::string archivo_;
  std::filesystem::path path_;
  std::unique_ptr<ReportWriter> writer_;
  bool committed_ = false;
};

}  // namespace korventa::reports
