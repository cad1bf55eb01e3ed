#include "reports/spool.h"

#include <fstream>
#include <stdexcept>

#include "common/dates.h"
#include "common/text.h"
#include "common/vb_format.h"
#include "reports/report_language.h"

namespace korventa::reports {

std::string RegistraSpool(Session& session, std::string_view codRep, int tipDoc, std::string_view docId) {
  auto& db = session.database();
  // Numbers are compared as numbers, so a hand-edited row cannot make the texts sort wrongly.
  long long secuencia =
      db.integer("SELECT max(CAST(Secuencia AS INTEGER)) FROM SPOOL WHERE CodRep = ?", {std::string(codRep)}, 0);
  long long numero = db.integer("SELECT max(CAST(substr(Archivo, 1, 8) AS INTEGER)) FROM SPOOL", {}, 0);
  std::string archivo = vbFormat(numero + 1, "00000000") + ".PRN";
  db.run("INSERT INTO SPOOL (CodRep, Secuencia, Archivo, Fecha, Usuario, tip_doc_d, doc_id_d) VALUES (?, ?, ?, ?, ?, ?, ?)",
         {std::string(codRep), vbFormat(secuencia + 1, "000000"), archivo, Clock::today().dmy(), session.user, tipDoc,
          std::string(docId)});
  return archivo;
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
  std::error_code ec;
  std::filesystem::create_directories(session.paths.rptDir, ec);
  path_ = reportPath(session, archivo_);
  writer_ = std::make_unique<ReportWriter>(path_);
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
