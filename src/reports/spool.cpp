#include "reports/spool.h"

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "common/dates.h"
#include "common/text.h"
#include "common/vb_format.h"
#include "reports/report_language.h"

namespace korventa::reports {

namespace {

constexpr long long kLastFileNumber = 99999999;

// Creates the report file of the first number from `first` on whose file does not exist yet and
// returns that number. The file is created only if no file of that name exists (exclusive
// create), so programs sharing the report folder (two databases with one SysPath) never write
// into each other's reports, even when they take a number at the same moment.
long long claimReportFile(const std::filesystem::path& dir, long long first) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  for (long long n = first; n <= kLastFileNumber; ++n) {
    auto path = dir / (vbFormat(n, "00000000") + ".PRN");
    if (std::FILE* f = std::fopen(path.string().c_str(), "wx")) {
      std::fclose(f);
      return n;
    }
    if (errno != EEXIST) throw std::runtime_error("No se puede crear el archivo del reporte " + path.string());
  }
  throw std::runtime_error("No quedan números libres para los reportes en " + dir.string());
}

}  // namespace

std::string RegistraSpool(Session& session, std::string_view codRep, int tipDoc, std::string_view docId) {
  auto& db = session.database();
  // Numbers are compared as numbers, so a hand-edited row cannot make the texts sort wrongly.
  long long secuencia =
      db.integer("SELECT max(CAST(Secuencia AS INTEGER)) FROM SPOOL WHERE CodRep = ?", {std::string(codRep)}, 0);
  long long numero = db.integer("SELECT max(CAST(substr(Archivo, 1, 8) AS INTEGER)) FROM SPOOL", {}, 0);
  numero = claimReportFile(session.paths.rptDir, numero + 1);
  std::string archivo = vbFormat(numero, "00000000") + ".PRN";
  try {
    db.run(
        "INSERT INTO SPOOL (CodRep, Secuencia, Archivo, Fecha, Usuario, tip_doc_d, doc_id_d) VALUES (?, ?, ?, ?, ?, ?, "
        "?)",
        {std::string(codRep), vbFormat(secuencia + 1, "000000"), archivo, Clock::today().dmy(), session.user, tipDoc,
         std::string(docId)});
  } catch (...) {
    std::error_code ec;
    std::filesystem::remove(reportPath(session, archivo), ec);
    throw;
  }
  return archivo;
}

std::vector<data::Row> spoolEntries(data::Database& db) {
  return db.rows("SELECT CodRep, Secuencia, Archivo, Fecha, Usuario, tip_doc_d, doc_id_d FROM SPOOL ORDER BY Archivo");
}

std::filesystem::path reportPath(const Session& session, std::string_view archivo) {
  return std::filesystem::path(session.paths.rptDir) / std::string(archivo);
}

int LeeNroHojas(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string line;
  static constexpr std::string_view open = "<!nHojas!>";
  while (in && std::getline(in, line)) {
    auto p = line.find(open);
    if (p == std::string::npos) continue;
    std::string_view rest = std::string_view(line).substr(p + open.size());
    return numberArg(text::trim(tagValue(rest, "<!/nHojas!>")));
  }
  return 0;
}

SpoolReport::SpoolReport(Session& session, std::string_view codRep, int tipDoc, std::string_view docId)
    : tx_(session.database()) {
  archivo_ = RegistraSpool(session, codRep, tipDoc, docId);
  path_ = reportPath(session, archivo_);
  try {
    writer_ = std::make_unique<ReportWriter>(path_);
  } catch (...) {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
    throw;
  }
}

SpoolReport::~SpoolReport() {
  if (committed_) return;
  writer_.reset();
  std::error_code ec;
  if (!path_.empty()) std::filesystem::remove(path_, ec);
}

std::filesystem::path SpoolReport::commit() {
  writer_->close();
  tx_.commit();
  committed_ = true;
  return path_;
}

}  // namespace korventa::reports
