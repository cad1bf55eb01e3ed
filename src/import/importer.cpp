#include "import/importer.h"

#include <fmt/format.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

#include "common/dates.h"
#include "common/money.h"
#include "common/text.h"
#include "common/vb_format.h"
#include "data/database.h"
#include "data/param.h"
#include "data/servicios_comunes.h"
#include "data/working_tables.h"
#include "declaration/tables.h"
#include "detail/days_hours.h"
#include "detail/detail_support.h"
#include "detail/suspensions.h"
#include "determination/concept_rules.h"
#include "determination/declaration_computation.h"
#include "import/import_checks.h"
#include "import/import_errors.h"
#include "import/import_file.h"

namespace korventa::import {

namespace {

// Lines of a concept file from which its rows are added with the indexes built afterwards.
constexpr std::size_t kBulkLines = 2000;

// Worker types and situations that take no hours, suspensions or establishments.
bool noWorkDataType(std::string_view tipo) {
  return tipo == "24" || tipo == "26" || tipo == "66" || tipo == "98" || tipo == "88";
}
bool noSubsidyType(std::string_view tipo) { return noWorkDataType(tipo) || tipo == "68" || tipo == "69"; }
bool inactiveSituation(std::string_view situac) { return situac == "18" || situac == "19"; }

// A worker or pensioner of the working set.
struct Worker {
  PersonKey key;
  std::int64_t rowid = 0;
  std::string tipo, situac, domicilio;
  int pension = 0;
  int sctr = 0;
  int sctrPension = 0;
};

// A person of the registry (providers, trainees) or of a working table of another category.
struct Registered {
  PersonKey key;
  std::string apellidoP, apellidoM, nombre, domicilio, rucCta;
};

std::string personIndex(int tipDoc, std::string_view docId, int category) {
  std::string k = std::to_string(tipDoc);
  k += '|';
  k += docId;
  k += '|';
  k += static_cast<char>('0' + category);
  return k;
}

struct Local {
  std::int64_t codEst = 0;
  std::string nombre, rucEmp, tipest;
};

struct Rate {
  std::string rucEmp;
  std::int64_t codEst = 0;
  std::int64_t correl = 0;
  Money tasa;
  std::string text;
};

std::string two(std::string_view code) { return code.size() == 1 ? "0" + std::string(code) : std::string(code); }

std::int64_t toInt64(std::string_view v) {
  try {
    return std::stoll(std::string(v));
  } catch (...) {
    return -1;
  }
}

}  // namespace

struct Importer::Impl {
  Session& s;
  const model::OpenDeclaration& d;
  Form form;
  data::Database& db;
  ErrorCatalog errors;
  std::unordered_map<int, data::DocumentType> docTypes;

  // Lookups read once per importer, the first time a kind needs them.
  bool workersLoaded = false;
  std::unordered_map<std::string, Worker> workers;
  bool conceptsLoaded = false;
  std::unordered_set<std::string> conceptSet;
  std::unordered_map<std::string, std::string> conceptNames;
  determination::ConceptTypes conceptTypes;
  bool senati = false;
  bool localsLoaded = false;
  std::vector<Local> locals;
  std::vector<Rate> rates;
  std::set<std::string> intermediation;  // RUCs of tipo 1
  std::set<std::string> subsidised, notSubsidised;  // suspension types of list 233
  bool registeredLoaded[6] = {};
  std::unordered_map<std::string, Registered> registered;  // providers (3) and trainees (5)

  // Per file.
  FileResult* r = nullptr;
  std::ofstream log, err;
  std::filesystem::path workDir;
  std::set<std::pair<std::string, std::int64_t>> affectedSeen;

  Impl(Session& session, const model::OpenDeclaration& decl, Form f)
      : s(session), d(decl), form(f), db(session.database()), errors(session.database(), f) {
    data::ParamTable param(db);
    for (auto& t : param.documentTypes()) docTypes.emplace(t.code, t);
  }

  void loadWorkers() {
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
      w.situac = st.getColumn(6).getString();
      w.pension = st.getColumn(7).getInt();
      w.sctr = st.getColumn(8).getInt();
      w.sctrPension = st.getColumn(9).getInt();
      w.domicilio = st.getColumn(10).getString();
      workers.emplace(personIndex(w.key.tip_doc_a, w.key.doc_id_a, w.key.cod_cat_tra), std::move(w));
    }
    // ASEG_DET_LAB keeps the SCTR-pension mark of the registry when the working row has none.
    auto& sp = db.prepared(
        "SELECT tip_doc_a, doc_id_a, cod_cat_tra, COALESCE(sctr_pension, 0) FROM ASEG_DET_LAB "
        "WHERE tip_doc_d = 6 AND doc_id_d = ? AND cod_cat_tra IN (1, 2)");
    sp.bind(1, d.ruc);
    while (sp.executeStep()) {
      auto it = workers.find(personIndex(sp.getColumn(0).getInt(), text::trim(sp.getColumn(1).getString()),
                                         sp.getColumn(2).getInt()));
      if (it != workers.end() && it->second.sctrPension == 0) it->second.sctrPension = sp.getColumn(3).getInt();
    }
  }

  // Rowids of the concept rows of a category, by person (correl_a) and concept.
  int conceptRowsCategory = 0;
  std::unordered_map<std::uint64_t, std::int64_t> conceptRows;
  static std::uint64_t conceptKey(std::int64_t correl, int category, std::string_view code) {
    return (static_cast<std::uint64_t>(correl) << 20) | (static_cast<std::uint64_t>(category) << 16) |
           static_cast<std::uint64_t>(determination::codeNumber(code));
  }
  void loadConceptRows(int category) {
    if (conceptRowsCategory == category) return;
    conceptRowsCategory = category;
    conceptRows.clear();
    auto& st = db.prepared("SELECT rowid, correl_a, codigo FROM TMPF601CONCEP WHERE cod_cat_tra = ?");
    st.bind(1, category);
    while (st.executeStep())
      conceptRows.emplace(conceptKey(st.getColumn(1).getInt64(), category, st.getColumn(2).getString()),
                          st.getColumn(0).getInt64());
    st.reset();
  }

  void loadConcepts() {
    if (conceptsLoaded) return;
    conceptsLoaded = true;
    for (const auto& row : db.rows("SELECT cod_concepto FROM CON_AFEC WHERE tip_doc_d = 6 AND doc_id_d = ?", {d.ruc})) {
      std::string code = text::trim(row.text(0));
      if (code.size() == 4 && text::right(code, 2) != "00") conceptSet.insert(code);
    }
    for (const auto& row : db.rows("SELECT Codigo, Descripc FROM CONCEPTOS_REM"))
      conceptNames[text::trim(row.text(0))] = row.text(1);
    for (const auto& row : db.rows("SELECT cod_concepto, desc_concepto FROM conceptos_remu WHERE tip_doc_d = 6 AND "
                                   "doc_id_d = ? AND COALESCE(desc_concepto, '') <> ''",
                                   {d.ruc}))
      conceptNames[text::trim(row.text(0))] = row.text(1);
    conceptTypes = determination::ConceptTypes::load(db);
    senati = db.integer("SELECT COALESCE(Ind_senati, 0) FROM CONTRVKRS WHERE tip_doc_d = 6 AND doc_id_d = ?", {d.ruc}) == 1;
  }

  void loadLocals() {
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
      if (p.field(63, 1) == "1") subsidised.insert(code);
      else notSubsidised.insert(code);
    }
  }

  void loadRegistered(int category) {
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

  const Worker* worker(int tipDoc, const std::string& docId, int category) {
    loadWorkers();
    auto it = workers.find(personIndex(tipDoc, docId, category));
    return it == workers.end() ? nullptr : &it->second;
  }

  const Local* local(std::int64_t codEst, std::string_view rucEmp = {}) {
    loadLocals();
    for (const auto& l : locals)
      if (l.codEst == codEst && (rucEmp.empty() || l.rucEmp == rucEmp)) return &l;
    return nullptr;
  }

  const Rate* rate(std::string_view rucEmp, std::int64_t codEst, Money tasa) {
    loadLocals();
    for (const auto& x : rates)
      if (x.codEst == codEst && x.tasa == tasa && (rucEmp.empty() || x.rucEmp == rucEmp)) return &x;
    return nullptr;
  }

  void affected(const PersonKey& k) {
    if (k.cod_cat_tra != kWorker && k.cod_cat_tra != kPensioner) return;
    if (affectedSeen.insert({personIndex(k.tip_doc_a, k.doc_id_a, k.cod_cat_tra), k.correl_a}).second)
      r->affected.push_back(k);
  }

  // Document type and number of fields 1 and 2; "" when both are valid. The type must be one of
  // list 044 valid in import files (position 68), the number valid for the type.
  std::string document(const std::vector<std::string>& f, int& tipDoc, const char* typeCode, const char* numberCode,
                       const char* emptyType = "0914", const char* emptyNumber = "0915") {
    if (f[0].empty()) return emptyType;
    if (f[1].empty()) return emptyNumber;
    if (!docTypeCode(f[0], tipDoc).empty()) return typeCode;
    auto t = docTypes.find(tipDoc);
    if (t == docTypes.end() || !t->second.allowedIn(68)) return typeCode;
    if (!ServiciosComunes::documentoValido(f[1], t->second)) return numberCode;
    return {};
  }

  // GraboLog: the raw line to the ".Log" file, the document and message to the ".Err" file;
  // both are emptied at the first rejection of the file.
  void GraboLog(std::size_t lineNo, std::string_view raw, const std::vector<std::string>& f, const std::string& code) {
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

  // ---- ".rem", ".pen" -------------------------------------------------------------------------

  std::string lineRem(const std::vector<std::string>& f, int category) {
    loadConcepts();
    int tipDoc = 0;
    if (auto c = document(f, tipDoc, "0900", "0901"); !c.empty()) return c;
    const std::string& code = f[2];
    if (code.empty()) return "0934";
    if (code.size() != 4 || !allDigits(code) || !conceptSet.count(code)) return "0924";
    if (auto c = amountCode(f[3]); !c.empty()) return c;
    if (auto c = amountCode(f[4]); !c.empty()) return c;
    Money monto = *Money::parse(f[3]), pagado = *Money::parse(f[4]);
    const Worker* w = worker(tipDoc, f[1], category);
    if (!w) return "0908";
    int tipo = determination::codeNumber(w->tipo);
    if (!conceptTypes.ExisteTipoConcepto(tipo, code, d.periodo)) return "0924";
    std::string_view group = std::string_view(code).substr(0, 2);
    if ((group == "06" || group == "08") && monto.rounded(2) != pagado.rounded(2)) return "0954";
    bool any = !monto.isZero() || !pagado.isZero();
    if (code == "0605" && w->domicilio == "2" && any) return "0943";
    if (code == "0605" && tipo == 67 && d.periodo > "200806") return "0960";
    if (tipo == 67 && !pagado.isZero() && code != "1000" && code != "2040") return "0959";
    if (code == "0603" && w->pension != 3) return "0946";
    if (code == "0805" && w->sctrPension != 1) return "0945";
    if (code == "0615" && tipo != 89) return "0962";
    if (code == "0617" && !determination::isMinerType(tipo)) return "0963";
    if (code == "0617" && !(w->pension == 2 || (w->pension >= 21 && w->pension <= 24))) return "0964";
    if (code == "0614" && w->pension != 13) return "0961";
    if ((code == "0601" || code == "0606" || code == "0608") && !(w->pension >= 21 && w->pension <= 24)) return "0937";
    if (code == "0807" && !senati) return "0944";

    // Actualizotemp_concep: the person's row of the concept takes the amounts; a concept typed
    // twice in the file keeps the last amounts (the row is unique per person and concept).
    std::string m = vbFormat(monto, "######0.00"), p = vbFormat(pagado, "######0.00");
    loadConceptRows(category);
    std::uint64_t key = conceptKey(w->key.correl_a, category, code);
    auto row = conceptRows.find(key);
    bool updated = false;
    if (row != conceptRows.end()) {
      auto& up = db.prepared("UPDATE TMPF601CONCEP SET monto = ?, monto_pag = ? WHERE rowid = ?");
      up.bind(1, m);
      up.bind(2, p);
      up.bind(3, static_cast<std::int64_t>(row->second));
      updated = up.exec() == 1;
    }
    if (!updated) {
      auto& ins = db.prepared(
          "INSERT INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, codigo, cod_cat_tra, descrip, monto, monto_pag, "
          "base_calculo) VALUES (?, ?, ?, ?, ?, ?, ?, ?, '')");
      ins.bind(1, w->key.tip_doc_a);
      ins.bind(2, w->key.doc_id_a);
      ins.bind(3, static_cast<std::int64_t>(w->key.correl_a));
      ins.bind(4, code);
      ins.bind(5, w->key.cod_cat_tra);
      auto n = conceptNames.find(code);
      ins.bind(6, n == conceptNames.end() ? std::string() : n->second);
      ins.bind(7, m);
      ins.bind(8, p);
      ins.exec();
      conceptRows[key] = db.lastInsertRowid();
    }
    affected(w->key);
    return {};
  }

  // ---- ".jor" -----------------------------------------------------------------------------------

  // Returns "skip" for a worker whose type or situation takes no hours.
  std::string lineJor(const std::vector<std::string>& f) {
    int tipDoc = 0;
    if (auto c = document(f, tipDoc, "0900", "0901"); !c.empty()) return c;
    if (auto c = workTimeCode({f[2], f[3], f[4], f[5]}); !c.empty()) return c;
    const Worker* w = worker(tipDoc, f[1], kWorker);
    if (!w) return "0908";
    if (noWorkDataType(w->tipo) || inactiveSituation(w->situac)) return "skip";
    auto& up = db.prepared("UPDATE TEMP1_F601 SET horas_nor = ?, horas_sob = ? WHERE rowid = ?");
    up.bind(1, detail::HorasDecimal(f[2], f[3]));
    up.bind(2, detail::HorasDecimal(f[4], f[5]));
    up.bind(3, static_cast<std::int64_t>(w->rowid));
    up.exec();
    affected(w->key);
    return {};
  }

  // ---- ".sub", ".not" ---------------------------------------------------------------------------

  bool overlaps(const Worker& w, const Date& start, const Date& end) {
    auto& st = db.prepared(
        "SELECT fecha_ini, fecha_fin FROM TMPF601DIAS_NOLAB WHERE correl_a = ? AND tip_doc_a = ? AND doc_id_a = ?");
    st.bind(1, static_cast<std::int64_t>(w.key.correl_a));
    st.bind(2, w.key.tip_doc_a);
    st.bind(3, w.key.doc_id_a);
    std::string a = start.yyyymmdd(), b = end.yyyymmdd();
    bool hit = false;
    while (st.executeStep()) {
      std::string oa = dmyToYmd(text::trim(st.getColumn(0).getString()));
      std::string ob = dmyToYmd(text::trim(st.getColumn(1).getString()));
      if (oa.empty() || ob.empty()) continue;
      if (a <= ob && b >= oa) hit = true;
    }
    st.reset();
    return hit;
  }

  bool cittTaken(const Worker& w, const std::string& citt) {
    return db.exists(
               "SELECT 1 FROM TMPF600SUBSID WHERE correl_a = ? AND tip_doc_a = ? AND doc_id_a = ? AND TRIM(num_citt) = ?",
               {w.key.correl_a, w.key.tip_doc_a, w.key.doc_id_a, citt}) ||
           db.exists("SELECT 1 FROM TMPF601DIAS_NOLAB WHERE correl_a = ? AND tip_doc_a = ? AND doc_id_a = ? AND "
                     "TRIM(num_citt) = ?",
                     {w.key.correl_a, w.key.tip_doc_a, w.key.doc_id_a, citt});
  }

  std::string lineSuspension(const std::vector<std::string>& f, bool sub) {
    loadLocals();
    int tipDoc = 0;
    if (auto c = document(f, tipDoc, "0900", "0901"); !c.empty()) return c;
    std::string tipo = allDigits(f[2]) && f[2].size() <= 2 ? two(f[2]) : std::string();
    if (tipo.empty() || !(sub ? subsidised : notSubsidised).count(tipo)) return "0912";
    std::string citt;
    std::size_t dateField = 3;
    if (sub) {
      citt = f[3];
      if (citt.empty()) return "0916";
      if (citt.find_first_not_of('0') == std::string::npos) return "0920";
      if (citt.size() > 20) return "0905";
      for (char32_t ch : text::codepoints(citt))
        if (!ServiciosComunes::teclaCertificado(static_cast<int>(ch))) return "0905";
      dateField = 4;
    }
    auto start = importDate(f[dateField]);
    if (!start) return "0903";
    auto end = importDate(f[dateField + 1]);
    if (!end) return "0904";
    if (*end < *start) return "0907";
    if (sub) {
      if (end->period() > d.periodo) return "0941";
    } else if (start->period() > d.periodo || end->period() > d.periodo) {
      return "0940";
    }
    if (end->period() < d.periodo) return "0939";
    const Worker* w = worker(tipDoc, f[1], kWorker);
    if (!w) return "0908";
    if ((sub ? noSubsidyType(w->tipo) : noWorkDataType(w->tipo)) || inactiveSituation(w->situac)) return "skip";
    int diasCitt = end->serial() - start->serial() + 1;
    if (sub && cittTaken(*w, citt)) return "0922";
    if (overlaps(*w, *start, *end)) return "0938";
    if (sub && diasCitt > 365) return "0951";

    std::string ini = start->dmy(), fin = end->dmy();
    std::string days = std::to_string(detail::CalcularDiasMes(*start, *end, d.periodo));
    db.run("INSERT INTO TMPF601DIAS_NOLAB (tip_doc_d, doc_id_d, correl_a, tip_doc_a, doc_id_a, periodo, formulario, "
           "tipo_suspen, fecha_ini, fecha_fin, num_citt, dias_sub, dias_citt, dias_no_lab) "
           "VALUES (6, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
           {d.ruc, w->key.correl_a, w->key.tip_doc_a, w->key.doc_id_a, d.periodo, d.formulario, tipo, ini, fin, citt,
            sub ? days : std::string(), sub ? std::to_string(diasCitt) : std::string(),
            sub ? std::string() : days});
    if (sub)
      db.run("INSERT INTO TMPF600SUBSID (tip_doc_d, doc_id_d, periodo, formulario, correl_a, tip_doc_a, doc_id_a, "
             "num_citt, dias_sub, dias_citt, fecha_SD, fecha_SH, tipo_suspen, fecha_ini, fecha_fin) "
             "VALUES (6, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
             {d.ruc, d.periodo, d.formulario, w->key.correl_a, w->key.tip_doc_a, w->key.doc_id_a, citt, days,
              std::to_string(diasCitt), ini, fin, tipo, ini, fin});
    detail::writeDayTotal(db, w->key, sub ? detail::SuspensionKind::Subsidised : detail::SuspensionKind::NotSubsidised);
    affected(w->key);
    return {};
  }

  // ---- ".tes" -----------------------------------------------------------------------------------

  std::string lineTes(const std::vector<std::string>& f) {
    int tipDoc = 0;
    if (auto c = document(f, tipDoc, "0900", "0901"); !c.empty()) return c;
    const std::string& owner = f[2];
    if (!allDigits(f[3]) || f[3].size() > 9) return "0932";
    const Local* l = local(toInt64(f[3]), owner);
    if (!l) return "0921";
    if (!rateCode(f[4], {"0935", "0935", "0935", 3}).empty()) return "0935";
    const Rate* rt = rate(owner, l->codEst, *Money::parse(f[4]));
    if (!rt) return "0936";
    const Worker* w = worker(tipDoc, f[1], kWorker);
    if (!w) return "0908";
    if (w->sctr != 1) return "0957";
    if (noWorkDataType(w->tipo)) return "0955";
    if (inactiveSituation(w->situac)) return "0956";

    // Actualizotemp_est: the establishment marked for the worker (added when missing).
    int n = db.run("UPDATE TMP_ESTTURNOS_JL SET Indica = 1 WHERE correl_a = ? AND tip_doc_a = ? AND doc_id_a = ? AND "
                   "cod_est = ?",
                   {w->key.correl_a, w->key.tip_doc_a, w->key.doc_id_a, l->codEst});
    if (n == 0)
      db.run("INSERT INTO TMP_ESTTURNOS_JL (correl_a, tip_doc_a, doc_id_a, cod_est, cod_tipest, Indica) "
             "VALUES (?, ?, ?, ?, ?, 1)",
             {w->key.correl_a, w->key.tip_doc_a, w->key.doc_id_a, l->codEst, l->tipest});
    // Actualizotemp_sctr: the worker's one SCTR choice is that of the last line.
    n = db.run("UPDATE TMP_F601_SCTR_OTRO SET ruc = ?, tasa = ?, correl_centro = ?, correl_tasa = ?, centro = ? WHERE "
               "correl_a = ? AND tip_doc_a = ? AND doc_id_a = ?",
               {owner, rt->text, l->codEst, rt->correl, l->nombre, w->key.correl_a, w->key.tip_doc_a, w->key.doc_id_a});
    if (n == 0)
      db.run("INSERT INTO TMP_F601_SCTR_OTRO (tip_doc_a, doc_id_a, correl_a, ruc, tasa, correl_centro, correl_tasa, "
             "centro) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
             {w->key.tip_doc_a, w->key.doc_id_a, w->key.correl_a, owner, rt->text, l->codEst, rt->correl, l->nombre});
    affected(w->key);
    return {};
  }

  // ---- ".4ta" -----------------------------------------------------------------------------------

  // The providers' receipts already in the declaration (imported, typed or stored), by provider,
  // series and number, with their issue dates; read once per file and kept up to date.
  bool receiptsLoaded = false;
  std::unordered_map<std::string, std::vector<std::string>> receipts;
  static std::string receiptKey(int tipDoc, std::string_view doc, std::string_view ser, std::string_view num) {
    return std::to_string(tipDoc) + '|' + std::string(doc) + '|' + std::string(ser) + '|' + std::string(num);
  }
  void loadReceipts() {
    if (receiptsLoaded) return;
    receiptsLoaded = true;
    auto add = [&](const std::vector<data::Row>& rows) {
      for (const auto& r : rows)
        receipts[receiptKey(static_cast<int>(r.integer(0)), text::trim(r.text(1)), text::trim(r.text(2)),
                            text::trim(r.text(3)))]
            .push_back(text::trim(r.text(4)));
    };
    add(db.rows("SELECT tip_doc_ret, num_doc_ret, num_ser, num_rec, fec_emi FROM TMPF621RDDET WHERE cod_cat_tra = 3"));
    add(db.rows("SELECT tip_doc_a, doc_id_a, num_ser, num_rec, fec_emi FROM TMPF601RDDET WHERE cod_cat_tra = 3"));
    add(db.rows("SELECT tip_doc_ret, num_doc_ret, num_ser, num_rec, fec_emi FROM F621RDDET WHERE tip_doc_d = 6 AND "
                "doc_id_d = ? AND periodo = ? AND formulario = ? AND cod_cat_tra = 3",
                {d.ruc, d.periodo, d.formulario}));
  }

  bool receiptExists(const Registered& p, const std::string& ser, const std::string& num, const std::string& emi,
                     bool& otherDate) {
    loadReceipts();
    otherDate = false;
    auto it = receipts.find(receiptKey(p.key.tip_doc_a, p.key.doc_id_a, ser, num));
    if (it == receipts.end()) return false;
    for (const auto& e : it->second)
      if (e != emi) otherDate = true;
    return true;
  }

  void writeProviderHeader(const Registered& p, const std::string& retencion, int category) {
    if (db.exists("SELECT 1 FROM TMPF601RDCAB WHERE tip_doc_a = ? AND doc_id_a = ? AND cod_cat_tra = ? AND "
                  "tip_retencion = ?",
                  {p.key.tip_doc_a, p.key.doc_id_a, category, retencion}))
      return;
    db.run("INSERT INTO TMPF601RDCAB (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, tip_retencion, "
           "tip_doc_a, doc_id_a, Des_Pat, Des_Mat, Des_No1, ind_domicilio, ruc) VALUES (6, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
           "?, ?, ?, ?)",
           {d.ruc, d.periodo, d.formulario, p.key.correl_a, category, retencion, p.key.tip_doc_a, p.key.doc_id_a,
            p.apellidoP, p.apellidoM, p.nombre, p.domicilio, p.rucCta});
  }

  std::set<std::string> providersSeen;

  std::string lineCuarta(const std::vector<std::string>& f) {
    loadRegistered(kProvider);
    int tipDoc = 0;
    if (auto c = document(f, tipDoc, "0009", "0010", "0009", "0010"); !c.empty()) return c;
    auto it = registered.find(personIndex(tipDoc, f[1], kProvider));
    if (it == registered.end()) return "1125";
    const Registered& p = it->second;
    if (p.domicilio == "2") {
      auto t = docTypes.find(tipDoc);
      if (t == docTypes.end() || !t->second.allowedIn(62)) return "0938";
    }
    std::string tipo = text::upper(f[2]);
    if (tipo != "R" && tipo != "N" && tipo != "D" && tipo != "O") return "0934";
    std::string ser = text::upper(f[3]), num = f[4];
    if (tipo == "R" || tipo == "N") {
      if (ser.empty()) return "0789";
      if (ser.size() > 4) return "0222";
      for (char c : ser)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))) return "0221";
    } else {
      ser = "XXX";
    }
    if (num.empty()) return "0532";
    if (tipo == "R" || tipo == "N") {
      if (num.size() > 8) return "0222";
      if (!allDigits(num)) return "0224";
    } else if (num.size() > 20) {
      return "0222";
    }
    if (f[5].empty()) return "0789";
    AmountCodes ac{"0789", "0850", "0850", "0862", "0862", "0861", "0850", 9, 12};
    if (auto c = amountCode(f[5], ac); !c.empty()) return c;
    Money monto = *Money::parse(f[5]);
    if (!(monto > Money())) return "0861";
    auto emi = importDate(f[6]);
    if (!emi) return "0852";
    auto pago = importDate(f[7]);
    if (!pago) return "0935";
    if (pago->period() > d.periodo) return "0936";
    if (*emi > *pago) return "0941";
    bool otherDate = false;
    if (receiptExists(p, ser, num, emi->dmy(), otherDate)) return otherDate ? "0939" : "0940";

    // Retention: 24 % for a non-domiciled provider, 10 % for a domiciled one with the indicator.
    std::string ind = f[8];
    std::string por = "0";
    if (ind == "1") por = p.domicilio != "1" ? "24" : "10";
    else if (p.domicilio == "2") por = "24";
    Money rta = por == "0" ? Money() : monto.percent(Money::fromUnits(std::stoll(por)));
    std::string mtoRec = vbFormat(monto, "########0.00"), mtoRta = vbFormat(rta, "######0.00");

    writeProviderHeader(p, tipo, kProvider);
    data::Params row{d.ruc, d.periodo, d.formulario, p.key.correl_a, kProvider, p.key.doc_id_a, p.key.tip_doc_a,
                     tipo, ser, num, emi->dmy(), pago->dmy(), mtoRec, ind == "1" ? "1" : "0", por, mtoRta};
    db.run("INSERT INTO TMPF621RDDET (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, num_doc_ret, "
           "tip_doc_ret, tip_retencion, num_ser, num_rec, fec_emi, fec_pago, mto_rec, ind_rta, por_rta, mto_rta, "
           "ind_ies, por_ies, mto_ies, num_for) VALUES (6, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '0', '0', "
           "'0.00', '')",
           row);
    // The receipt is also one of the provider's vouchers, which the declaration sums.
    db.run("INSERT INTO TMPF601RDDET (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, doc_id_a, "
           "tip_doc_a, tip_retencion, num_ser, num_rec, fec_emi, fec_pago, mto_rec, ind_rta, por_rta, mto_rta, "
           "ind_ies, por_ies, mto_ies, num_for) VALUES (6, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '0', '0', "
           "'0.00', '')",
           row);
    receipts[receiptKey(p.key.tip_doc_a, p.key.doc_id_a, ser, num)].push_back(emi->dmy());
    if (providersSeen.insert(personIndex(p.key.tip_doc_a, p.key.doc_id_a, kProvider)).second) ++r->providers;
    return {};
  }

  // ---- ".for" of frmTransferencia ---------------------------------------------------------------

  std::string lineForTrans(const std::vector<std::string>& f) {
    loadRegistered(kTrainee);
    int tipDoc = 0;
    if (auto c = document(f, tipDoc, "0009", "0010", "0009", "0010"); !c.empty()) return c;
    auto it = registered.find(personIndex(tipDoc, f[1], kTrainee));
    if (it == registered.end()) return "0937";
    const Registered& p = it->second;
    AmountCodes ac{"0860", "0860", "0860", "0862", "0862", "0861", "0860", 9, 12};
    if (auto c = amountCode(f[2], ac); !c.empty()) return c;
    std::string mto = vbFormat(*Money::parse(f[2]), "########0.00");
    writeProviderHeader(p, "O", kTrainee);
    db.run("DELETE FROM TMPF621RDDET WHERE cod_cat_tra = 5 AND tip_doc_ret = ? AND TRIM(num_doc_ret) = ? AND "
           "tip_retencion = 'O'",
           {p.key.tip_doc_a, p.key.doc_id_a});
    db.run("INSERT INTO TMPF621RDDET (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, num_doc_ret, "
           "tip_doc_ret, tip_retencion, num_ser, num_rec, fec_emi, fec_pago, mto_rec, ind_rta, por_rta, mto_rta, "
           "ind_ies, por_ies, mto_ies, num_for) VALUES (6, ?, ?, ?, ?, 5, ?, ?, 'O', 'XXX', '', '', '', ?, '0', '0', "
           "'0.00', '0', '0', '0.00', '')",
           {d.ruc, d.periodo, d.formulario, p.key.correl_a, p.key.doc_id_a, p.key.tip_doc_a, mto});
    return {};
  }

  // ---- ".for", ".mfe" of frm0601ImportMF -------------------------------------------------------

  std::optional<PersonKey> trainee(int tipDoc, const std::string& docId) {
    auto row = db.row("SELECT correl_a FROM TMPF601MFCAB WHERE tip_doc_a = ? AND TRIM(doc_id_a) = ?", {tipDoc, docId});
    if (!row) return std::nullopt;
    return PersonKey{row->integer(0), tipDoc, docId, kTrainee};
  }

  std::string lineForMF(const std::vector<std::string>& f) {
    int tipDoc = 0;
    if (auto c = document(f, tipDoc, "0938", "0939", "0938", "0939"); !c.empty()) return c;
    auto p = trainee(tipDoc, f[1]);
    if (!p) return "0937";
    std::string amount = f[2].empty() ? std::string("0.00") : f[2];
    AmountCodes ac{"0940", "0940", "0940", "0940", "0940", "0940", "0940", 9, 12};
    if (auto c = amountCode(amount, ac); !c.empty()) return c;
    db.run("UPDATE TMPF601MFCAB SET mto_renta = ? WHERE tip_doc_a = ? AND TRIM(doc_id_a) = ?",
           {vbFormat(*Money::parse(amount), "########0.00"), tipDoc, f[1]});
    return {};
  }

  std::string lineMfe(const std::vector<std::string>& f) {
    loadLocals();
    int tipDoc = 0;
    if (auto c = document(f, tipDoc, "0938", "0939", "0938", "0939"); !c.empty()) return c;
    const std::string& ruc = f[2];
    if (!ServiciosComunes::rucValido(ruc)) return "0941";
    if (!intermediation.count(ruc)) return "0942";
    if (!allDigits(f[3]) || f[3].size() > 9) return "0943";
    const Local* l = local(toInt64(f[3]), ruc);
    if (!l) return "0944";
    auto p = trainee(tipDoc, f[1]);
    if (!p) return "0937";
    if (!db.exists("SELECT 1 FROM TMPF601_ESTABMF WHERE tip_doc_a = ? AND TRIM(doc_id_a) = ? AND cod_estab = ?",
                   {tipDoc, f[1], l->codEst}))
      db.run("INSERT INTO TMPF601_ESTABMF (tip_doc_d, doc_id_d, tip_doc_a, doc_id_a, correl_a, periodo, formulario, "
             "cod_estab, cNumero, cod_est, nom_est, cod_tipest, indica) VALUES (6, ?, ?, ?, ?, ?, '0601', ?, '000000', "
             "?, ?, ?, 1)",
             {d.ruc, tipDoc, f[1], p->correl_a, d.periodo, l->codEst, l->codEst, l->nombre, l->tipest});
    return {};
  }

  // ---- ".sct" -----------------------------------------------------------------------------------

  std::string lineSct(const std::vector<std::string>& f) {
    loadLocals();
    int tipDoc = 0;
    if (auto c = document(f, tipDoc, "0900", "0901"); !c.empty()) return c;
    auto row = db.row("SELECT rowid, CORREL_A FROM TEMP2_F601 WHERE tip_doc_a = ? AND TRIM(DOC_ID_A) = ?", {tipDoc, f[1]});
    if (!row) return "0908";
    if (!allDigits(f[2]) || f[2].size() > 9) return "0924";
    const Local* l = local(toInt64(f[2]));
    if (!l) return "0924";
    if (auto c = rateCode(f[3], {"0935", "0933", "0934", 3}); !c.empty()) return c;
    const Rate* rt = rate({}, l->codEst, *Money::parse(f[3]));
    if (!rt) return "0932";
    AmountCodes ac{"0930", "0926", "0927", "0928", "0929", "0931", "0860", 12, 15};
    if (auto c = amountCode(f[4], ac); !c.empty()) return c;
    Money rem = *Money::parse(f[4]);
    std::string sctrs = vbFormat(detail::percentOfRate(rem, rt->tasa), "######0.00");
    db.run("UPDATE TEMP2_F601 SET Ruc = ?, centro = ?, Tasa = ?, rem_sctrs = ?, sctrs = ?, Correl_centro = ?, "
           "Correl_tasa = ? WHERE rowid = ?",
           {l->rucEmp, l->nombre, rt->text, vbFormat(rem, "########0.00"), sctrs, l->codEst, rt->correl,
            row->integer(0)});
    return {};
  }

  std::string line(Kind kind, const std::vector<std::string>& f) {
    switch (kind) {
      case Kind::Rem: return lineRem(f, kWorker);
      case Kind::Pen: return lineRem(f, kPensioner);
      case Kind::Jor: return lineJor(f);
      case Kind::Sub: return lineSuspension(f, true);
      case Kind::Not: return lineSuspension(f, false);
      case Kind::Tes: return lineTes(f);
      case Kind::Cuarta: return lineCuarta(f);
      case Kind::ForTrans: return lineForTrans(f);
      case Kind::ForMF: return lineForMF(f);
      case Kind::Mfe: return lineMfe(f);
      case Kind::Sct: return lineSct(f);
    }
    return {};
  }

  void terminatorMessage() {
    switch (form) {
      case Form::Transferencia:
        s.msg().critical("Cada línea del archivo debe terminar con el separador |", "Error en archivo 4ta. a cargar");
        break;
      case Form::ImportMF:
        s.msg().critical("Cada línea del archivo de Montos debe terminar con el separador |", "Error en archivo a importar");
        break;
      default:
        s.msg().critical("Cada línea del archivo debe terminar con el separador |", "Error en archivo de importación");
    }
  }

  FileResult run(Kind kind, ImportText text, const std::filesystem::path& file) {
    FileResult res;
    r = &res;
    affectedSeen.clear();
    providersSeen.clear();
    receiptsLoaded = false;
    receipts.clear();
    res.kind = kind;
    res.file = file;
    res.logFile = workDir / (file.filename().string() + ".Log");
    res.errFile = workDir / (d.periodo + ".Err");
    auto refuse = [&](std::string why) {
      res.refused = true;
      res.refusal = std::move(why);
      r = nullptr;
      return res;
    };
    if (!text.ok()) {
      bool technical = text.problem.rfind("En la ruta indicada", 0) == 0 || text.problem.rfind("¡El archivo", 0) == 0;
      s.msg().critical(text.problem, technical ? "Error" : "Error en archivo de importación");
      return refuse(text.problem);
    }
    const KindInfo& k = info(kind);
    if (CuentaPye(text.lines, k.separators, k.exact) != 0) {
      const char* m = "El archivo de importación no tiene el número de campos correctos";
      s.msg().critical(m, "Error");
      return refuse(m);
    }
    if (checkTerminators(text.lines) != 0) {
      terminatorMessage();
      return refuse("Cada línea del archivo debe terminar con el separador |");
    }
    try {
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
      const bool bulk = (kind == Kind::Rem || kind == Kind::Pen) && text.lines.size() > kBulkLines &&
                        static_cast<std::int64_t>(text.lines.size()) > db.integer("SELECT count(*) FROM TMPF601CONCEP");
      data::Transaction tx(db);
      if (bulk) data::dropConceptIndexes(db);
      for (std::size_t i = 0; i < text.lines.size(); ++i) {
        std::string_view raw = text.lines[i];
        if (isBlank(raw)) continue;
        auto fields = splitFields(raw, k.separators);
        std::string code = line(kind, fields);
        if (code.empty()) ++res.transferred;
        else if (code == "skip") ++res.skipped;
        else GraboLog(i + 1, raw, fields, code);
      }
      if (bulk) data::createConceptIndexes(db);
      tx.commit();
    } catch (const std::exception& e) {
      // Rows added by the rolled-back file are gone: the rowids read so far are read again.
      conceptRowsCategory = 0;
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
    std::unordered_map<std::uint64_t, std::int64_t>().swap(conceptRows);
    receipts.clear();
    r = nullptr;
    return res;
  }

  void closeWorkFiles() {
    if (log.is_open()) log.close();
    if (err.is_open()) err.close();
  }
};

Importer::Importer(Session& session, const model::OpenDeclaration& decl, Form form, std::filesystem::path workDir)
    : impl_(std::make_unique<Impl>(session, decl, form)), workDir_(std::move(workDir)) {
  if (workDir_.empty()) workDir_ = session.paths.tmpDir.empty() ? std::filesystem::temp_directory_path()
                                                                 : std::filesystem::path(session.paths.tmpDir);
  impl_->workDir = workDir_;
}

Importer::~Importer() = default;

std::filesystem::path Importer::errFile() const { return workDir_ / (impl_->d.periodo + ".Err"); }

FileResult Importer::importFile(Kind kind, const std::filesystem::path& file) {
  return impl_->run(kind, readImportFile(file), file);
}

FileResult Importer::importBytes(Kind kind, std::string bytes, const std::string& name) {
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

void recomputeAfterImport(Session& session, const model::OpenDeclaration& decl,
                          const std::vector<PersonKey>& affected) {
  if (affected.empty()) return;
  // One person at a time costs a few queries each; past a handful the batch is cheaper.
  if (affected.size() <= 20) {
    for (const auto& k : affected) determination::recomputePerson(session, decl, k);
    return;
  }
  determination::recomputeDeclaration(session, decl);
}

}  // namespace korventa::import
