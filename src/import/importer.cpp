#include "import/importer.h"

#include <utility>

#include "import/importer_impl.h"

namespace korventa::import {

namespace {

// Lines of a concept file from which its rows are added with the indexes built afterwards.
constexpr std::size_t kBulkLines = 2000;

}  // namespace

std::string Importer::Impl::line(Kind kind, const std::vector<std::string>& f) {
  switch (kind) {
    case Kind::Rem:
      return lineRem(f, kWorker);
    case Kind::Pen:
      return lineRem(f, kPensioner);
    case Kind::Jor:
      return lineJor(f);
    case Kind::Sub:
      return lineSuspension(f, true);
    case Kind::Not:
      return lineSuspension(f, false);
    case Kind::Tes:
      return lineTes(f);
    case Kind::Cuarta:
      return lineCuarta(f);
    case Kind::ForTrans:
      return lineForTrans(f);
    case Kind::ForMF:
      return lineForMF(f);
    case Kind::Mfe:
      return lineMfe(f);
    case Kind::Sct:
      return lineSct(f);
  }
  return {};
}

void Importer::Impl::terminatorMessage() {
  switch (form) {
    case Form::Transferencia:
      s.msg().critical("Cada línea del archivo debe terminar con el separador |", "Error en archivo 4ta. a cargar");
      break;
    case Form::ImportMF:
      s.msg().critical("Cada línea del archivo de Montos debe terminar con el separador |",
                       "Error en archivo a importar");
      break;
    default:
      s.msg().critical("Cada línea del archivo debe terminar con el separador |", "Error en archivo de importación");
  }
}

void Importer::Impl::startFile(FileResult& res, Kind kind, const std::filesystem::path& file) {
  r = &res;
  affectedSeen.clear();
  lastAffected.reset();
  lastDocument.valid = false;
  providersSeen.clear();
  receiptsLoaded = false;
  receipts.clear();
  res.kind = kind;
  res.file = file;
  res.logFile = workDir / (file.filename().string() + ".Log");
  res.errFile = workDir / (d.periodo + ".Err");
  newRowsAtStart = newRows.size();
  newRowsUndo.clear();
}

void Importer::Impl::forgetFileRows() {
  conceptRowsCategory = 0;
  newRows.resize(newRowsAtStart);
  // Kept rows of earlier files whose amounts this file changed get them back.
  for (auto it = newRowsUndo.rbegin(); it != newRowsUndo.rend(); ++it) {
    newRows[it->row].monto = it->monto;
    newRows[it->row].monto_pag = it->montoPag;
  }
  newRowsUndo.clear();
}

std::optional<std::string> Importer::Impl::structureProblem(Kind kind, const ImportText& text) {
  if (!text.ok()) {
    bool technical = text.problem.rfind("En la ruta indicada", 0) == 0 || text.problem.rfind("¡El archivo", 0) == 0;
    s.msg().critical(text.problem, technical ? "Error" : "Error en archivo de importación");
    return text.problem;
  }
  const KindInfo& k = info(kind);
  if (CuentaPye(text.lines, k.separators, k.exact) != 0) {
    const char* m = "El archivo de importación no tiene el número de campos correctos";
    s.msg().critical(m, "Error");
    return m;
  }
  if (checkTerminators(text.lines) != 0) {
    terminatorMessage();
    return "Cada línea del archivo debe terminar con el separador |";
  }
  return std::nullopt;
}

void Importer::Impl::importLines(Kind kind, const ImportText& text) {
  const KindInfo& k = info(kind);
  // A big file rewrites tens of thousands of pages of the working tables: a page cache of
  // 128 MB keeps them in memory until the commit (the connection's own size comes back).
  std::int64_t cache = db.integer("PRAGMA cache_size");
  struct RestoreCache {
    data::Database& db;
    std::int64_t size;
    ~RestoreCache() {
      try {
        db.script("PRAGMA cache_size = " + std::to_string(size));
      } catch (...) {
      }
    }
  } restore{db, cache};
  if (cache > -131072 && text.lines.size() > 1000) db.script("PRAGMA cache_size = -131072");
  // A large file of concept amounts brings most of the concept rows (the working set holds
  // only those that declare something): they are added faster with the concept table's
  // indexes built once at the end. The rows are found by the lookup above, not the index.
  const bool bulk = !deferRows && (kind == Kind::Rem || kind == Kind::Pen) && text.lines.size() > kBulkLines &&
                    static_cast<std::int64_t>(text.lines.size()) > db.integer("SELECT count(*) FROM TMPF601CONCEP");
  if (deferRows && (kind == Kind::Rem || kind == Kind::Pen)) {
    // Room for a row per line: the kept rows then grow without moving.
    newRows.reserve(newRows.size() + text.lines.size());
  }
  data::Transaction tx(db);
  if (bulk) data::dropConceptIndexes(db);
  const auto total = static_cast<long long>(text.lines.size());
  std::vector<std::string> fields;
  for (std::size_t i = 0; i < text.lines.size(); ++i) {
    progress->tick(static_cast<long long>(i), total);
    std::string_view raw = text.lines[i];
    if (isBlank(raw)) continue;
    splitFields(raw, k.separators, fields);
    std::string code = line(kind, fields);
    if (code.empty())
      ++r->transferred;
    else if (code == "skip")
      ++r->skipped;
    else
      GraboLog(i + 1, raw, fields, code);
  }
  if (bulk) data::createConceptIndexes(db);
  tx.commit();
  progress->advance(total, total);
}

FileResult Importer::Impl::run(Kind kind, ImportText text, const std::filesystem::path& file) {
  FileResult res;
  startFile(res, kind, file);
  auto refuse = [&](std::string why) {
    res.refused = true;
    res.refusal = std::move(why);
    r = nullptr;
    return res;
  };
  if (auto why = structureProblem(kind, text)) return refuse(*why);
  progress->step(steps::importing(file.filename().string()));
  try {
    importLines(kind, text);
  } catch (const Cancelled&) {
    // Rolled back like a failure, but nothing to report: the caller says it was cancelled.
    forgetFileRows();
    closeWorkFiles();
    r = nullptr;
    throw;
  } catch (const std::exception& e) {
    // Rows added by the rolled-back file are gone: the rowids read so far are read again.
    forgetFileRows();
    closeWorkFiles();
    res.transferred = res.rejected = res.skipped = res.providers = 0;
    res.errors.clear();
    res.affected.clear();
    std::string m = std::string("Error Tecnico:") + e.what();
    s.msg().critical(m, "Error");
    return refuse(m);
  }
  closeWorkFiles();
  // The per-file lookups can be large (a rowid per concept row): they go with the file.
  conceptRowsCategory = 0;
  conceptRows.release();
  receipts.clear();
  r = nullptr;
  return res;
}

void Importer::Impl::closeWorkFiles() {
  if (log.is_open()) log.close();
  if (err.is_open()) err.close();
}

Importer::Importer(Session& session, const model::OpenDeclaration& decl, Form form, std::filesystem::path workDir)
    : impl_(std::make_unique<Impl>(session, decl, form)), workDir_(std::move(workDir)) {
  if (workDir_.empty())
    workDir_ = session.paths.tmpDir.empty() ? std::filesystem::temp_directory_path()
                                            : std::filesystem::path(session.paths.tmpDir);
  impl_->workDir = workDir_;
}

Importer::~Importer() = default;

std::filesystem::path Importer::errFile() const {
  return workDir_ / (impl_->d.periodo + ".Err");
}

void Importer::deferNewConceptRows(bool on) {
  impl_->deferRows = on;
}

model::ImportedConcepts Importer::takeNewConceptRows() {
  impl_->conceptRowsCategory = 0;  // the lookup points into the rows handed over
  impl_->newRowsAtStart = 0;
  model::ImportedConcepts out;
  out.rows = std::exchange(impl_->newRows, {});
  // The rows' codes are of four digits, checked as they were read: each is named once.
  std::vector<bool> seen(10000);
  for (const auto& r : out.rows) {
    if (r.codigo.size() == 4 && allDigits(r.codigo)) {
      auto code = static_cast<std::size_t>(fourDigitNumber(r.codigo));
      if (seen[code]) continue;
      seen[code] = true;
    } else if (out.descrip.count(r.codigo)) {
      continue;
    }
    auto n = impl_->conceptNames.find(r.codigo);
    out.descrip.emplace(r.codigo, n == impl_->conceptNames.end() ? std::string() : n->second);
  }
  return out;
}

FileResult Importer::importFile(Kind kind, const std::filesystem::path& file, Progress& progress) {
  impl_->progress = &progress;
  return impl_->run(kind, readImportFile(file), file);
}

FileResult Importer::importRead(Kind kind, ImportText text, const std::filesystem::path& file, Progress& progress) {
  impl_->progress = &progress;
  return impl_->run(kind, std::move(text), file);
}

FileResult Importer::importBytes(Kind kind, std::string bytes, const std::string& name, Progress& progress) {
  impl_->progress = &progress;
  return impl_->run(kind, decodeImportText(std::move(bytes), name), name);
}

std::vector<PersonKey> affectedPersons(const std::vector<FileResult>& results) {
  std::vector<PersonKey> out;
  std::set<std::tuple<std::int64_t, int, std::string, int>> seen;
  for (const auto& r : results)
    for (const auto& k : r.affected)
      if (seen.insert({k.correl_a, k.tip_doc_a, k.doc_id_a, k.cod_cat_tra}).second) out.push_back(k);
  return out;
}

void recomputeAfterImport(Session& session, const model::OpenDeclaration& decl, const std::vector<PersonKey>& affected,
                          Progress& progress) {
  determination::recomputePersons(session, decl, affected, progress);
}

void recomputeAfterImport(Session& session, const model::OpenDeclaration& decl, const std::vector<PersonKey>& affected,
                          model::ImportedConcepts newRows, Progress& progress, bool savedAndClosed) {
  using determination::Afterwards;
  determination::recomputeImported(session, decl, affected, std::move(newRows), progress,
                                   savedAndClosed ? Afterwards::SavedAndClosed : Afterwards::Edited);
}

}  // namespace korventa::import
