#include <fmt/format.h>

#include "import/importer_impl.h"

namespace korventa::import {

Importer::Impl::Impl(Session& session, const model::OpenDeclaration& decl, Form f)
    : s(session), d(decl), form(f), db(session.database()), errors(session.database(), f) {
  data::ParamTable param(db);
  for (auto& t : param.documentTypes()) docTypes.emplace(t.code, t);
}

void Importer::Impl::loadWorkers() {
  if (workersLoaded) return;
  workersLoaded = true;
  auto& st = db.prepared(
      "SELECT rowid, Correl_a, tip_doc_a, doc_id_a, cod_cat_tra, TRIM(COALESCE(Tipo, '')), "
      "TRIM(COALESCE(Situac, '')), COALESCE(pension, 0), COALESCE(sctr, 0), COALESCE(sctr_pension, 0), "
      "TRIM(COALESCE(ind_domicilio, '')) FROM TEMP1_F601 WHERE cod_cat_tra IN (1, 2)");
  while (st.executeStep()) {
    Worker w;
    w.rowid = st.getColumn(0).getInt64();
    w.key.correl_a = st.getColumn(1).getInt64();
    w.key.tip_doc_a = st.getColumn(2).getInt();
    w.key.doc_id_a = text::trim(st.getColumn(3).getString());
    w.key.cod_cat_tra = st.getColumn(4).getInt();
    w.tipo = st.getColumn(5).getString();
    w.tipoNumber = text::codeNumber(w.tipo);
    w.situac = st.getColumn(6).getString();
    w.pension = st.getColumn(7).getInt();
    w.sctr = st.getColumn(8).getInt();
    w.sctrPension = st.getColumn(9).getInt();
    w.domicilio = st.getColumn(10).getString();
    workers.emplace(personIndex(w.key.tip_doc_a, w.key.doc_id_a, w.key.cod_cat_tra), std::move(w));
  }
  // ASEG_DET_LAB keeps the SCTR-pension mark of the registry when the working row has none (a
  // registry without the mark changes nothing).
  auto& sp = db.prepared(
      "SELECT tip_doc_a, doc_id_a, cod_cat_tra, COALESCE(sctr_pension, 0) FROM ASEG_DET_LAB "
      "WHERE tip_doc_d = 6 AND doc_id_d = ? AND cod_cat_tra IN (1, 2) AND COALESCE(sctr_pension, 0) <> 0");
  sp.bind(1, d.ruc);
  while (sp.executeStep()) {
    auto it = workers.find(
        personIndex(sp.getColumn(0).getInt(), text::trim(sp.getColumn(1).getString()), sp.getColumn(2).getInt()));
    if (it != workers.end() && it->second.sctrPension == 0) it->second.sctrPension = sp.getColumn(3).getInt();
  }
}

void Importer::Impl::loadConceptRows(int category) {
  if (conceptRowsCategory == category) return;
  conceptRowsCategory = category;
  conceptRows.clear();
  auto& st = db.prepared("SELECT rowid, correl_a, codigo FROM TMPF601CONCEP WHERE cod_cat_tra = ?");
  st.bind(1, category);
  while (st.executeStep())
    conceptRows.emplace(conceptKey(st.getColumn(1).getInt64(), category, st.getColumn(2).getString()),
                        st.getColumn(0).getInt64());
  st.reset();
  for (std::size_t i = 0; i < newRows.size(); ++i)
    if (newRows[i].key.cod_cat_tra == category)
      conceptRows.emplace(conceptKey(newRows[i].key.correl_a, category, newRows[i].codigo),
                          -1 - static_cast<std::int64_t>(i));
}

void Importer::Impl::loadConcepts() {
  if (conceptsLoaded) return;
  conceptsLoaded = true;
  conceptOffered.assign(10000, false);
  for (const auto& row : db.rows("SELECT cod_concepto FROM CON_AFEC WHERE tip_doc_d = 6 AND doc_id_d = ?", {d.ruc})) {
    std::string code = text::trim(row.text(0));
    // Only codes of four digits can match a line's code, which is checked to be one.
    if (code.size() == 4 && text::right(code, 2) != "00" && allDigits(code))
      conceptOffered[fourDigitNumber(code)] = true;
  }
  for (const auto& row : db.rows("SELECT Codigo, Descripc FROM CONCEPTOS_REM"))
    conceptNames[text::trim(row.text(0))] = row.text(1);
  for (const auto& row : db.rows("SELECT cod_concepto, desc_concepto FROM conceptos_remu WHERE tip_doc_d = 6 AND "
                                 "doc_id_d = ? AND COALESCE(desc_concepto, '') <> ''",
                                 {d.ruc}))
    conceptNames[text::trim(row.text(0))] = row.text(1);
  conceptTypes = determination::ConceptTypes::load(db);
  senati =
      db.integer("SELECT COALESCE(Ind_senati, 0) FROM CONTRVKRS WHERE tip_doc_d = 6 AND doc_id_d = ?", {d.ruc}) == 1;
}

void Importer::Impl::loadLocals() {
  if (localsLoaded) return;
  localsLoaded = true;
  for (const auto& row : db.rows("SELECT cod_est, COALESCE(nom_est, ''), TRIM(COALESCE(doc_ruc_emp, '')), "
                                 "COALESCE(cod_tipest, '') FROM LOCAL WHERE tip_doc_d = 6 AND doc_id_d = ?",
                                 {d.ruc}))
    locals.push_back({row.integer(0), row.text(1), row.text(2), row.text(3)});
  for (const auto& row : db.rows("SELECT TRIM(doc_ruc_emp), cod_est, correl_tasa, tasa FROM COR_TASAS_601 "
                                 "WHERE tip_doc_d = 6 AND doc_id_d = ?",
                                 {d.ruc})) {
    std::string t = row.text(3);
    rates.push_back({row.text(0), row.integer(1), row.integer(2), Money::value(t), data::numberText(t)});
  }
  for (const auto& row : db.rows("SELECT TRIM(NUM_RUC_INT) FROM INTERMEDIACION WHERE tip_doc_d = 6 AND doc_id_d = ? "
                                 "AND tipo = 1",
                                 {d.ruc}))
    intermediation.insert(row.text(0));
  for (const auto& p : data::ParamTable(db).list("233")) {
    std::string code = text::trim(p.argumento);
    if (p.field(63, 1) == "1")
      subsidised.insert(code);
    else
      notSubsidised.insert(code);
  }
}

void Importer::Impl::loadRegistered(int category) {
  if (registeredLoaded[category]) return;
  registeredLoaded[category] = true;
  auto rows = db.rows(
      "SELECT a.correl_a, a.tip_doc_a, TRIM(a.doc_id_a), COALESCE(a.apellido_p, ''), COALESCE(a.apellido_m, ''), "
      "COALESCE(a.nombre_1, ''), TRIM(COALESCE(a.ind_domicilio, '')), TRIM(COALESCE(l.ruc_cta, '')) "
      "FROM ASEG_DET_LAB l JOIN ASEGVKRS a ON a.tip_doc_d = l.tip_doc_d AND a.doc_id_d = l.doc_id_d AND "
      "a.correl_a = l.correl_a AND a.cod_cat_tra = l.cod_cat_tra AND a.tip_doc_a = l.tip_doc_a AND "
      "a.doc_id_a = l.doc_id_a WHERE l.tip_doc_d = 6 AND l.doc_id_d = ? AND l.cod_cat_tra = ?",
      {d.ruc, category});
  for (const auto& row : rows) {
    Registered p;
    p.key = PersonKey{row.integer(0), static_cast<int>(row.integer(1)), row.text(2), category};
    p.apellidoP = row.text(3);
    p.apellidoM = row.text(4);
    p.nombre = row.text(5);
    p.domicilio = row.text(6);
    p.rucCta = row.text(7);
    registered.emplace(personIndex(p.key.tip_doc_a, p.key.doc_id_a, category), std::move(p));
  }
}

bool Importer::Impl::typeTakesConcept(int tipo, int codeNumber, std::string_view code) {
  if (lastType.tipo != tipo || !lastType.codes) {
    auto& codes = typeConcepts[tipo];
    if (codes.empty()) codes.assign(10000, -1);
    lastType.tipo = tipo;
    lastType.codes = &codes;
  }
  signed char& known = (*lastType.codes)[static_cast<std::size_t>(codeNumber)];
  if (known < 0) known = conceptTypes.ExisteTipoConcepto(tipo, code, d.periodo) ? 1 : 0;
  return known == 1;
}

const Worker* Importer::Impl::worker(int tipDoc, const std::string& docId, int category) {
  loadWorkers();
  const LastWorker& last = lastWorker;
  if (last.worker && last.tipDoc == tipDoc && last.category == category && last.docId == docId) return last.worker;
  auto it = workers.find(personIndex(tipDoc, docId, category));
  if (it == workers.end()) return nullptr;
  lastWorker = {tipDoc, category, docId, &it->second};
  return &it->second;
}

const Local* Importer::Impl::local(std::int64_t codEst, std::string_view rucEmp) {
  loadLocals();
  for (const auto& l : locals)
    if (l.codEst == codEst && (rucEmp.empty() || l.rucEmp == rucEmp)) return &l;
  return nullptr;
}

const Rate* Importer::Impl::rate(std::string_view rucEmp, std::int64_t codEst, Money tasa) {
  loadLocals();
  for (const auto& x : rates)
    if (x.codEst == codEst && x.tasa == tasa && (rucEmp.empty() || x.rucEmp == rucEmp)) return &x;
  return nullptr;
}

void Importer::Impl::affected(const PersonKey& k) {
  if (k.cod_cat_tra != kWorker && k.cod_cat_tra != kPensioner) return;
  if (lastAffected && *lastAffected == k) return;  // noted with the line before
  lastAffected = k;
  if (affectedSeen.insert({personIndex(k.tip_doc_a, k.doc_id_a, k.cod_cat_tra), k.correl_a}).second)
    r->affected.push_back(k);
}

std::string Importer::Impl::document(const std::vector<std::string>& f, int& tipDoc, const char* typeCode,
                                     const char* numberCode, const char* emptyType, const char* emptyNumber) {
  if (f[0].empty()) return emptyType;
  if (f[1].empty()) return emptyNumber;
  if (!docTypeCode(f[0], tipDoc).empty()) return typeCode;
  auto t = docTypes.find(tipDoc);
  if (t == docTypes.end() || !t->second.allowedIn(68)) return typeCode;
  if (!ServiciosComunes::documentoValido(f[1], t->second)) return numberCode;
  return {};
}

void Importer::Impl::GraboLog(std::size_t lineNo, std::string_view raw, const std::vector<std::string>& f,
                              const std::string& code) {
  if (!log.is_open()) {
    std::filesystem::create_directories(workDir);
    log.open(r->logFile, std::ios::binary | std::ios::trunc);
    err.open(r->errFile, std::ios::binary | std::ios::trunc);
    if (!log || !err) throw std::runtime_error("No se pudo escribir el archivo de errores " + r->errFile.string());
  }
  std::string msg = errors.message(code);
  std::string tip = f.empty() ? std::string() : f[0];
  std::string doc = f.size() > 1 ? f[1] : std::string();
  log << raw << "\r\n";
  // Fixed columns counted in characters: line, document type, document number, code, message.
  err << fmt::format("{:>6} ", lineNo) << text::fixedWidth(tip, 2) << ' ' << text::fixedWidth(doc, 15) << ' ' << code
      << ' ' << msg << "\r\n";
  ++r->rejected;
  if (r->errors.size() < kMaxKeptErrors) r->errors.push_back({lineNo, tip, doc, code, msg});
}

}  // namespace korventa::import
