#include "declaration/working_set.h"

#include <map>
#include <set>

#include <sqlite3.h>

#include "common/dates.h"
#include "common/text.h"
#include "data/declarants.h"
#include "data/param.h"
#include "data/working_tables.h"
#include "declaration/concurrency.h"
#include "model/labour_periods.h"
#include "declaration/sql_support.h"
#include "declaration/tables.h"
#include "declaration/working_set_sql.h"

namespace korventa::declaration {

std::string nameSql(const std::string& a) {
  return "TRIM(TRIM(COALESCE(" + a + ".apellido_p, '')) || ' ' || TRIM(COALESCE(" + a +
         ".apellido_m, ''))) || CASE WHEN TRIM(COALESCE(" + a + ".nombre_1, '')) <> '' THEN ', ' || TRIM(" + a +
         ".nombre_1) ELSE '' END";
}

namespace {

// Registry persons of categories 1 and 2 with their labour data.
const char* kRegistrySelect =
    "SELECT d.correl_a, d.cod_cat_tra, d.tip_doc_a, d.doc_id_a, d.situac, d.tipo, d.pension, d.ind_quinta, d.sctr, "
    "d.num_cuenta, d.aport_trabpens, d.aportdes, d.ind_afieps, d.ruceps, d.cod_eps, d.sctr_pension, "
    "dmy(a.fec_nac) AS fec_nac, a.ind_domicilio, a.ESSALUD_Vida, a.ipss_vida, a.aseg_pens, dmy(a.fec_insc) AS "
    "fec_insc, "
    "dmy(a.fec_baja) AS fec_baja, a.estado, a.envio, a.Nombre_2, ";

const char* kRegistryFrom =
    " FROM ASEG_DET_LAB d JOIN ASEGVKRS a ON a.tip_doc_d = d.tip_doc_d AND a.doc_id_d = d.doc_id_d "
    "AND a.correl_a = d.correl_a AND a.cod_cat_tra = d.cod_cat_tra "
    "WHERE d.tip_doc_d = 6 AND d.doc_id_d = ? AND d.cod_cat_tra IN (1, 2)";

std::string registryQuery() {
  return std::string(kRegistrySelect) + nameSql("a") + " AS nombre" + kRegistryFrom +
         " ORDER BY d.cod_cat_tra, d.correl_a";
}

// The columns of registryQuery(), by position.
enum RegistryColumn : int {
  rCorrel,
  rCategory,
  rTipDocA,
  rDocIdA,
  rSituac,
  rTipo,
  rPension,
  rIndQuinta,
  rSctr,
  rNumCuenta,
  rAportTrabPens,
  rAportDes,
  rIndAfieps,
  rRucEps,
  rCodEps,
  rSctrPension,
  rFecNac,
  rIndDomicilio,
  rEssaludVida,
  rIpssVida,
  rAsegPens,
  rFecInsc,
  rFecBaja,
  rEstado,
  rEnvio,
  rNombre2,
  rNombre
};

}  // namespace

std::map<long long, std::string> docShortNames(data::Database& db) {
  std::map<long long, std::string> out;
  for (const auto& t : data::ParamTable(db).documentTypes()) out[t.code] = t.shortName;
  return out;
}

namespace {

std::string tooManyDays(const std::string& doc) {
  return "Los dias laborados exceden los dias del mes. Corregir los periodos laborales en el registro del trabajador " +
         doc;
}

// Registry-held columns of a working person row, in the order of the update and the insert.
const std::vector<std::string>& registryColumns() {
  static const std::vector<std::string> c = {
      "Situac",    "Tipo",      "pension", "ind_quinta", "ind_domicilio", "sctr",         "num_cuenta", "essalud_vida",
      "ipss_vida", "aseg_pens", "rucEps",  "ind_afieps", "cod_eps",       "sctr_pension", "Nombre",     "fec_nac",
      "tip_doc",   "estado",    "envio",   "fec_insc",   "fec_baja",      "Nombre_2"};
  return c;
}

// Where each of registryColumns() comes from in registryQuery() (-1: the document's short name).
constexpr int kRegistrySource[] = {
    rSituac,   rTipo,     rPension, rIndQuinta, rIndDomicilio, rSctr,        rNumCuenta, rEssaludVida,
    rIpssVida, rAsegPens, rRucEps,  rIndAfieps, rCodEps,       rSctrPension, rNombre,    rFecNac,
    -1,        rEstado,   rEnvio,   rFecInsc,   rFecBaja,      rNombre2};

std::vector<data::Value> registryValues(const data::Row& r, const std::map<long long, std::string>& shortNames) {
  auto sn = shortNames.find(r.integer(rTipDocA));
  std::vector<data::Value> out;
  out.reserve(std::size(kRegistrySource));
  for (int c : kRegistrySource)
    out.push_back(c >= 0 ? r[static_cast<std::size_t>(c)]
                         : data::Value(sn == shortNames.end() ? std::string() : sn->second));
  return out;
}

}  // namespace

const std::vector<std::string>& workingTables() {
  static const std::vector<std::string> t = {
      "TEMP1_F601",         "TMPF601CONCEP", "TMP_ESTTURNOS_JL", "TMPESTTURNOS",  "TMPF601DIAS_NOLAB", "TMPF601_605",
      "TMP_F601_SCTR_OTRO", "TMPF601RDCAB",  "TMPF601RDDET",     "TMPF621RDDET",  "TMPF601MFCAB",      "TMPF601MFDET",
      "TMPF601_ESTABMF",    "TEMP2_F601",    "TMPF600SUBSID",    "TMPF600INFEPS", "TMPF601_CAMBIOS"};
  return t;
}

void emptyWorkingTables(data::Database& db) {
  data::ChangeTrackingPause emptying(db);  // a whole table goes at once, not row by row
  for (const auto& t : workingTables()) db.run("DELETE FROM " + t);
  data::createConceptIndexes(db);  // left unbuilt by an import that saved and closed
}

void Grabar_F601_ESTAB(data::Database& db, const model::OpenDeclaration& d) {
  insertSelect(db, "F601_ESTAB", 8,
               {{"tip_doc_d", "6"},
                {"doc_id_d", "?"},
                {"correl_a", "correl_a"},
                {"tip_doc_a", "tip_doc_a"},
                {"doc_id_a", "doc_id_a"},
                {"periodo", "?"},
                {"formulario", "'0601'"},
                {"cod_estab", "cod_est"}},
               "FROM TMP_ESTTURNOS_JL WHERE Indica = 1", {d.ruc, d.periodo});
}

bool reminderApplies(std::string_view periodo, long long persons) {
  if (persons < 0) return false;
  if (periodo == "201210") return persons >= 6;
  if (periodo == "201211") return persons > 50;
  if (periodo == "201212") return persons > 1000;
  return false;
}

std::string reminderText() {
  return std::string(
             "Recuerde que por el número de trabajadores y otros prestadores que informa en el periodo, usted "
             "se encuentra obligado") +
         " a utilizar el ZEL VARNO." +
         " Evite la multa por presentar su declaración sin tener en cuenta la forma establecida.";
}

void WorkingSet::readPeriodValues() {
  auto& db = s_.database();
  data::ParamTable param(db);
  d_.rmv = param.rmv(d_.periodo).value_or(Money());
  d_.uit = param.uit(d_.periodo).value_or(Money());
  d_.establishments =
      static_cast<int>(db.integer("SELECT count(*) FROM LOCAL WHERE tip_doc_d = 6 AND doc_id_d = ?", {d_.ruc}));
}

long long WorkingSet::reminderCount() {
  auto& db = s_.database();
  auto r =
      db.row("SELECT ind_adm_publica, Ind_RegimenLab FROM CONTRVKRS WHERE tip_doc_d = 6 AND doc_id_d = ?", {d_.ruc});
  if (!r || r->isNull("ind_adm_publica") || r->integer(0) != 0 || r->integer(1) != 1) return -1;
  return db.integer(
      "SELECT (SELECT count(*) FROM ASEGVKRS WHERE tip_doc_d = 6 AND doc_id_d = ?1 AND ind_cat_trab = 1) + "
      "(SELECT count(*) FROM ASEGVKRS WHERE tip_doc_d = 6 AND doc_id_d = ?1 AND ind_cat_pen = 1) + "
      "(SELECT count(*) FROM ASEGVKRS WHERE tip_doc_d = 6 AND doc_id_d = ?1 AND ind_cat_pra = 1) + "
      "(SELECT count(*) FROM ASEGVKRS WHERE tip_doc_d = 6 AND doc_id_d = ?1 AND ind_cat_3ra = 1)",
      {d_.ruc});
}

namespace {

// The insert of a working person row: the declaration's key, the person's (correl_a, category,
// document), dias_lab, the two pension contributions, then registryColumns().
const std::string& insertPersonSql() {
  static const std::string sql = [] {
    std::string cols =
        "Tip_doc_d, doc_id_d, Correl_a, periodo, formulario, cod_cat_tra, tip_doc_a, doc_id_a, dias_lab, "
        "Aport_TrabPens, AportDes";
    std::string qs = "6, ?, ?, ?, '0601', ?, ?, ?, ?, ?, ?";
    for (const auto& c : registryColumns()) {
      cols += ", " + c;
      qs += ", ?";
    }
    return "INSERT INTO TEMP1_F601 (" + cols + ") VALUES (" + qs + ")";
  }();
  return sql;
}

// Adds the working row of a registry person (worker or pensioner).
void insertPerson(data::Database& db, const model::OpenDeclaration& d, const data::Row& r,
                  const std::map<long long, std::string>& shortNames, const std::optional<int>& dias) {
  data::Params p{d.ruc, r[rCorrel], d.periodo, r[rCategory], r[rTipDocA], r[rDocIdA]};
  if (dias)
    p.add(std::to_string(*dias));
  else
    p.add(nullptr);
  p.add(r[rAportTrabPens]);
  p.add(r[rAportDes]);
  for (auto& v : registryValues(r, shortNames)) p.add(v);
  auto& st = db.prepared(insertPersonSql());
  data::bindAll(st, p);
  try {
    st.exec();
  } catch (const SQLite::Exception& e) {
    data::rethrow(e);
  }
}

// Days of a worker, reporting a sum beyond the month.
std::optional<int> workerDays(Messenger& m, const std::vector<model::LabourPeriod>& periods, const std::string& periodo,
                              const std::string& tipo, const std::string& situac, const std::string& doc) {
  if (model::sinDias(tipo, situac)) return std::nullopt;
  int days = model::diasLaborados(periods, periodo);
  if (days > daysInMonth(std::stoi(periodo.substr(0, 4)), std::stoi(periodo.substr(4, 2))))
    m.show(tooManyDays(doc), "Mensaje", MsgIcon::Exclamation);
  return days;
}

void loadThirdParties(data::Database& db, const model::OpenDeclaration& d, bool onlyMissing) {
  std::string sql =
      "INSERT INTO TEMP2_F601 (tip_doc_d, doc_id_d, CORREL_A, DOC_ID_A, TIP_DOC, FEC_NAC, NOMBRE, tip_doc_a, ruc_eps, "
      "fec_baja) SELECT 6, d.doc_id_d, d.correl_a, d.doc_id_a, "
      "(SELECT TRIM(substr(p.Funcion, 32, 11)) FROM PARAM p WHERE p.Numero = '044' AND CAST(p.Argumento AS INTEGER) = "
      "d.tip_doc_a), dmy(a.fec_nac), " +
      nameSql("a") +
      ", d.tip_doc_a, COALESCE(NULLIF(TRIM(a.RucEps), ''), d.ruceps), dmy(a.fec_baja) "
      "FROM ASEG_DET_LAB d JOIN ASEGVKRS a ON a.tip_doc_d = d.tip_doc_d AND a.doc_id_d = d.doc_id_d AND "
      "a.correl_a = d.correl_a AND a.cod_cat_tra = d.cod_cat_tra "
      "WHERE d.tip_doc_d = 6 AND d.doc_id_d = ? AND d.cod_cat_tra = 4 AND d.sctr = 1 AND ym(a.fec_insc) <= ? "
      "AND (ym(a.fec_baja) = '' OR ym(a.fec_baja) >= ?)";
  if (onlyMissing) sql += " AND NOT EXISTS (SELECT 1 FROM TEMP2_F601 t WHERE t.CORREL_A = d.correl_a)";
  sql += " ORDER BY d.correl_a";
  db.run(sql, {d.ruc, d.periodo, d.periodo});
}

void loadTrainees(data::Database& db, const model::OpenDeclaration& d, bool onlyMissing) {
  std::string sql =
      "INSERT INTO TMPF601MFCAB (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, tip_doc_a, doc_id_a, "
      "APELLIDO_P, APELLIDO_M, NOMBRE_1) "
      "SELECT 6, a.doc_id_d, ?, '0601', a.correl_a, 5, a.tip_doc_a, a.doc_id_a, a.apellido_p, a.apellido_m, a.nombre_1 "
      "FROM ASEGVKRS a WHERE a.tip_doc_d = 6 AND a.doc_id_d = ? AND a.cod_cat_tra = 5 AND EXISTS (SELECT 1 FROM "
      "PERIODOLAB p WHERE p.tip_doc_d = 6 AND p.doc_id_d = a.doc_id_d AND p.correl_a = a.correl_a AND p.cod_cat_tra = "
      "5 "
      "AND ym(p.fec_ini) <= ? AND (ym(p.fec_fin) = '' OR ym(p.fec_fin) >= ?))";
  if (onlyMissing) sql += " AND NOT EXISTS (SELECT 1 FROM TMPF601MFCAB t WHERE t.correl_a = a.correl_a)";
  sql += " ORDER BY a.correl_a";
  db.run(sql, {d.periodo, d.ruc, d.periodo, d.periodo});
}

// The registry persons of registryQuery() read one at a time, each added to the working rows
// straight from the statement (no copy of the whole registry in between, no conversion of the
// values that go into the row as they are).
class RegistryReader {
 public:
  RegistryReader(data::Database& db, const std::string& ruc) : sel_(db, registryQuery()), ins_(db, insertPersonSql()) {
    sqlite3_bind_text(sel_.get(), 1, ruc.data(), static_cast<int>(ruc.size()), SQLITE_TRANSIENT);
  }
  bool next() { return sel_.step(); }
  // A column of the current person as Database::rows reads it.
  data::Value value(int c) const {
    sqlite3_stmt* st = sel_.get();
    switch (sqlite3_column_type(st, c)) {
      case SQLITE_INTEGER:
        return data::Value(static_cast<std::int64_t>(sqlite3_column_int64(st, c)));
      case SQLITE_FLOAT:
        return data::Value(sqlite3_column_double(st, c));
      case SQLITE_NULL:
        return data::Value();
      default:
        return data::Value(std::string(reinterpret_cast<const char*>(sqlite3_column_text(st, c)),
                                       static_cast<std::size_t>(sqlite3_column_bytes(st, c))));
    }
  }
  std::int64_t integer(int c) const { return data::valueInteger(value(c)); }
  std::string text(int c) const { return data::valueText(value(c)); }

  // The working row of the current person, bound as insertPerson() binds a read row, and handed
  // over as written when `handoff` is given.
  void insertPerson(const model::OpenDeclaration& d, const std::map<long long, std::string>& shortNames,
                    const std::optional<int>& dias, model::PersonHandoff* handoff) {
    ins_.reset();
    bindText(1, d.ruc);
    column(2, rCorrel);
    bindText(3, d.periodo);
    column(4, rCategory);
    column(5, rTipDocA);
    column(6, rDocIdA);
    if (dias) bindText(7, std::to_string(*dias));
    column(8, rAportTrabPens);
    column(9, rAportDes);
    int i = 10;
    for (int c : kRegistrySource) {
      if (c >= 0) {
        column(i++, c);
        continue;
      }
      auto sn = shortNames.find(integer(rTipDocA));
      bindText(i++, sn == shortNames.end() ? std::string() : sn->second);
    }
    ins_.step();
    if (handoff) handOver(*handoff, dias);
  }

 private:
  void bindText(int i, const std::string& v) {
    sqlite3_bind_text(ins_.get(), i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
  }
  // Column c of the person as parameter i; a blob goes as the text the rows read it as.
  void column(int i, int c) {
    sqlite3_stmt* from = sel_.get();
    if (sqlite3_column_type(from, c) == SQLITE_BLOB)
      sqlite3_bind_text(ins_.get(), i, reinterpret_cast<const char*>(sqlite3_column_text(from, c)),
                        sqlite3_column_bytes(from, c), SQLITE_TRANSIENT);
    else
      sqlite3_bind_value(ins_.get(), i, sqlite3_column_value(from, c));
  }

  // A column of the current person as bound by column() (a blob as its text, as value() reads it).
  model::PersonHandoff::Bound bound(int c) const { return value(c); }
  void handOver(model::PersonHandoff& handoff, const std::optional<int>& dias) const {
    using H = model::PersonHandoff;
    std::array<H::Bound, H::kColumns> v;
    v[H::kTipDocA] = bound(rTipDocA);
    v[H::kDocIdA] = bound(rDocIdA);
    v[H::kCorrelA] = bound(rCorrel);
    v[H::kCodCatTra] = bound(rCategory);
    v[H::kTipo] = bound(rTipo);
    v[H::kPension] = bound(rPension);
    v[H::kSituac] = bound(rSituac);
    v[H::kSctr] = bound(rSctr);
    v[H::kIndDomicilio] = bound(rIndDomicilio);
    v[H::kIndQuinta] = bound(rIndQuinta);
    if (dias) v[H::kDiasLab] = std::to_string(*dias);
    v[H::kIpssVida] = bound(rIpssVida);
    v[H::kAsegPens] = bound(rAsegPens);
    v[H::kAportTrabPensCol] = bound(rAportTrabPens);
    v[H::kAportDesCol] = bound(rAportDes);
    handoff.add(sqlite3_last_insert_rowid(sqlite3_db_handle(ins_.get())), v, value(rSctrPension));
  }

  data::RawStatement sel_;
  data::RawStatement ins_;
};

}  // namespace

void WorkingSet::loadNew(Progress& progress, model::PersonHandoff* handoff) {
  auto& db = s_.database();
  d_.registryMark = data::registryMark(db, d_.ruc);  // read with the registry, in the caller's transaction
  ensureSqlFunctions(db);
  readPeriodValues();
  data::ChangeTrackingPause bulk(db);
  emptyWorkingTables(db);
  data::markAllPersonsChanged(db);  // nothing of it is stored yet
  d_.computed = {};                 // rows held in memory went with the tables
  model::LabourPeriods periods(db, d_.ruc, {kWorker, kPensioner});
  auto shortNames = docShortNames(db);
  progress.step(steps::kLoadingWorkers);
  const long long total = db.integer(std::string("SELECT count(*)") + kRegistryFrom, {d_.ruc});
  RegistryReader registry(db, d_.ruc);
  if (handoff) handoff->reserve(static_cast<std::size_t>(total));
  long long done = 0;
  while (registry.next()) {
    progress.tick(done++, total);
    int cat = static_cast<int>(registry.integer(rCategory));
    std::string tipo = text::trim(registry.text(rTipo)), situac = text::trim(registry.text(rSituac));
    auto own = periods.of(registry.integer(rCorrel), cat, tipo);
    if (!model::EncuentroPeriodoLaboral(own, d_.periodo, situac)) continue;
    std::optional<int> dias;
    if (cat == kWorker) dias = workerDays(s_.msg(), own, d_.periodo, tipo, situac, registry.text(rDocIdA));
    registry.insertPerson(d_, shortNames, dias, handoff);
  }
  progress.advance(total, total);
  loadThirdParties(db, d_, false);
  loadTrainees(db, d_, false);
  d_.refreshed = true;
}

void WorkingSet::recomputeDays() {
  auto& db = s_.database();
  model::LabourPeriods periods(db, d_.ruc, {kWorker});
  // Only the days that change are written: an unchanged person stays unchanged for the save.
  auto& upd = db.prepared("UPDATE TEMP1_F601 SET dias_lab = ?1 WHERE rowid = ?2 AND dias_lab IS NOT ?1");
  for (const auto& r : db.rows("SELECT rowid, Correl_a, Tipo, Situac, doc_id_a FROM TEMP1_F601 WHERE cod_cat_tra = 1 "
                               "ORDER BY rowid")) {
    std::string tipo = text::trim(r.text(2)), situac = text::trim(r.text(3));
    auto dias = workerDays(s_.msg(), periods.of(r.integer(1), kWorker, tipo), d_.periodo, tipo, situac, r.text(4));
    upd.reset();
    upd.clearBindings();
    if (dias)
      upd.bind(1, std::to_string(*dias));
    else
      upd.bind(1);
    upd.bind(2, static_cast<int64_t>(r.integer(0)));
    try {
      upd.exec();
    } catch (const SQLite::Exception& e) {
      data::rethrow(e);
    }
  }
}

void WorkingSet::refresh(Progress& progress) {
  auto& db = s_.database();
  d_.registryMark = data::registryMark(db, d_.ruc);  // read with the registry, in the caller's transaction
  ensureSqlFunctions(db);
  readPeriodValues();
  db.run("DELETE FROM TMPF601CONCEP WHERE codigo = '0808'");
  refreshPersons(progress);
  recomputeDays();
  // Types outside EsSalud (micro-enterprise workers insured by the SIS) lose the health columns;
  // pensioners, Law 28320 pensioners and fourth-fifth category earners the pension columns.
  db.run("UPDATE TEMP1_F601 SET rem_salud = '', salud = '' WHERE TRIM(Tipo) IN ('68', '69')");
  db.run("UPDATE TEMP1_F601 SET rem_pens = '', pens = '' WHERE TRIM(Tipo) IN ('24', '26', '98')");
  // Rows that carry nothing at all (cleared above or in a form): the working set keeps only the
  // rows that declare something, and the computation offers every person the concepts of the set.
  db.run("DELETE FROM TMPF601CONCEP WHERE NOT " + conceptHasContent());
  refreshEstablishments();
  refreshThirdParties();
  refreshProviders();
  refreshTrainees();
  d_.refreshed = true;
}

namespace {

// Deletes working persons (TEMP1_F601 rowids) with their rows in the other working tables.
void removeWorkingPersons(data::Database& db, const std::set<long long>& removed) {
  for (long long rowid : removed) {
    auto r = db.row("SELECT Correl_a, tip_doc_a, doc_id_a, cod_cat_tra FROM TEMP1_F601 WHERE rowid = ?",
                    {static_cast<std::int64_t>(rowid)});
    if (!r) continue;
    data::Params who{r->at("Correl_a"), r->at("tip_doc_a"), r->at("doc_id_a")};
    const char* byPerson = " WHERE correl_a = ? AND tip_doc_a = ? AND doc_id_a = ?";
    for (const char* t : {"TMP_ESTTURNOS_JL", "TMPESTTURNOS", "TMPF601DIAS_NOLAB", "TMP_F601_SCTR_OTRO", "TMPF601_605",
                          "TMPF600SUBSID"})
      db.run(std::string("DELETE FROM ") + t + byPerson, who);
    db.run("DELETE FROM TMPF601CONCEP WHERE correl_a = ? AND tip_doc_a = ? AND doc_id_a = ? AND cod_cat_tra = ?",
           {r->at("Correl_a"), r->at("tip_doc_a"), r->at("doc_id_a"), r->at("cod_cat_tra")});
    db.run("DELETE FROM TEMP1_F601 WHERE rowid = ?", {static_cast<std::int64_t>(rowid)});
  }
}

}  // namespace

// Workers and pensioners against the registry: the new active ones are added, the inactive or
// unregistered ones removed, the others take the registry's data.
void WorkingSet::refreshPersons(Progress& progress) {
  auto& db = s_.database();
  model::LabourPeriods periods(db, d_.ruc, {kWorker, kPensioner});
  auto shortNames = docShortNames(db);
  std::map<std::pair<long long, long long>, long long> working;  // (correl_a, category) → rowid
  for (const auto& r : db.rows("SELECT rowid, Correl_a, cod_cat_tra FROM TEMP1_F601"))
    working[{r.integer(1), r.integer(2)}] = r.integer(0);
  std::set<long long> removed;  // rowids of working rows to delete
  std::string upd = "UPDATE TEMP1_F601 SET ";
  for (std::size_t i = 0; i < registryColumns().size(); ++i) upd += (i ? ", " : "") + registryColumns()[i] + " = ?";
  upd += " WHERE rowid = ?";
  std::set<std::pair<long long, long long>> seen;
  progress.step(steps::kRefreshingWorkers);
  const auto registry = db.rows(registryQuery(), {d_.ruc});
  const auto total = static_cast<long long>(registry.size());
  long long done = 0;
  for (const auto& r : registry) {
    progress.tick(done++, total);
    int cat = static_cast<int>(r.integer("cod_cat_tra"));
    std::pair<long long, long long> k{r.integer("correl_a"), cat};
    seen.insert(k);
    std::string tipo = text::trim(r.text("tipo")), situac = text::trim(r.text("situac"));
    bool active = model::EncuentroPeriodoLaboral(periods.of(k.first, cat, tipo), d_.periodo, situac);
    auto it = working.find(k);
    if (it == working.end()) {
      if (active) insertPerson(db, d_, r, shortNames, std::nullopt);  // days follow below
      continue;
    }
    if (!active) {
      removed.insert(it->second);
      continue;
    }
    data::Params p;
    for (auto& v : registryValues(r, shortNames)) p.add(v);
    p.add(static_cast<std::int64_t>(it->second));
    db.run(upd, p);
  }
  progress.advance(total, total);
  for (const auto& [k, rowid] : working)
    if (!seen.count(k)) removed.insert(rowid);
  removeWorkingPersons(db, removed);
  // +Vida follows the registry: without an amount in ipss_vida the life-insurance concept is cleared.
  db.run(
      "UPDATE TMPF601CONCEP SET monto = '', monto_pag = '' WHERE codigo = '0807' AND EXISTS (SELECT 1 FROM "
      "TEMP1_F601 t WHERE t.Correl_a = TMPF601CONCEP.correl_a AND t.cod_cat_tra = TMPF601CONCEP.cod_cat_tra AND "
      "(t.ipss_vida IS NULL OR TRIM(t.ipss_vida) = '' OR t.ipss_vida * 1 = 0))");
}

// Personnel of third parties: the active ones, with their rates as the registry holds them now.
void WorkingSet::refreshThirdParties() {
  auto& db = s_.database();
  db.run(
      "DELETE FROM TEMP2_F601 WHERE NOT EXISTS (SELECT 1 FROM ASEG_DET_LAB d JOIN ASEGVKRS a ON a.tip_doc_d = "
      "d.tip_doc_d AND a.doc_id_d = d.doc_id_d AND a.correl_a = d.correl_a AND a.cod_cat_tra = d.cod_cat_tra WHERE "
      "d.tip_doc_d = 6 AND d.doc_id_d = ? AND d.cod_cat_tra = 4 AND d.sctr = 1 AND d.correl_a = TEMP2_F601.CORREL_A "
      "AND ym(a.fec_insc) <= ? AND (ym(a.fec_baja) = '' OR ym(a.fec_baja) >= ?))",
      {d_.ruc, d_.periodo, d_.periodo});
  db.run("UPDATE TEMP2_F601 SET NOMBRE = (SELECT " + nameSql("a") +
         " FROM ASEGVKRS a WHERE a.tip_doc_d = 6 AND a.doc_id_d = TEMP2_F601.doc_id_d AND a.correl_a = "
         "TEMP2_F601.CORREL_A AND a.cod_cat_tra = 4), "
         "FEC_NAC = (SELECT dmy(a.fec_nac) FROM ASEGVKRS a WHERE a.tip_doc_d = 6 AND a.doc_id_d = TEMP2_F601.doc_id_d "
         "AND a.correl_a = TEMP2_F601.CORREL_A AND a.cod_cat_tra = 4), "
         "fec_baja = (SELECT dmy(a.fec_baja) FROM ASEGVKRS a WHERE a.tip_doc_d = 6 AND a.doc_id_d = "
         "TEMP2_F601.doc_id_d AND a.correl_a = TEMP2_F601.CORREL_A AND a.cod_cat_tra = 4)");
  loadThirdParties(db, d_, true);
  refreshSctrRates();
}

// Trainees: the active ones.
void WorkingSet::refreshTrainees() {
  auto& db = s_.database();
  const std::string activeMF =
      "EXISTS (SELECT 1 FROM PERIODOLAB p WHERE p.tip_doc_d = 6 AND p.doc_id_d = ?1 AND p.correl_a = %T.correl_a AND "
      "p.cod_cat_tra = 5 AND ym(p.fec_ini) <= ?2 AND (ym(p.fec_fin) = '' OR ym(p.fec_fin) >= ?2))";
  auto activeIn = [&](const std::string& t) {
    std::string s = activeMF;
    s.replace(s.find("%T"), 2, t);
    return s;
  };
  db.run("DELETE FROM TMPF601_ESTABMF WHERE NOT " + activeIn("TMPF601_ESTABMF"), {d_.ruc, d_.periodo});
  db.run("DELETE FROM TMPF601MFDET WHERE NOT " + activeIn("TMPF601MFDET"), {d_.ruc, d_.periodo});
  db.run("DELETE FROM TMPF601MFCAB WHERE NOT " + activeIn("TMPF601MFCAB"), {d_.ruc, d_.periodo});
  loadTrainees(db, d_, true);
}

}  // namespace korventa::declaration
