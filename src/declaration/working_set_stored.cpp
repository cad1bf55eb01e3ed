#include "declaration/working_set.h"

#include "common/text.h"
#include "data/declarants.h"
#include "data/working_tables.h"
#include "declaration/sql_support.h"
#include "declaration/tables.h"
#include "declaration/working_set_sql.h"

// Opening a stored (or sent) declaration: its rows copied into the working tables.
namespace korventa::declaration {

namespace {

// Where the stored rows of the open declaration are: the preparation tables or, for a sent
// declaration, the history (H* tables, keyed by the sending's correlative too).
struct StoredSource {
  bool sent = false;
  std::string ruc;
  std::string h;
  KeyClause key;
  std::string keyOf(const std::string& alias) const {
    std::string w = alias + ".tip_doc_d = 6 AND " + alias + ".doc_id_d = ? AND " + alias + ".periodo = ? AND " + alias +
                    ".formulario = '0601'";
    if (sent) w += " AND " + alias + ".correl = ?";
    return w;
  }
};

StoredSource storedSource(const model::OpenDeclaration& d) {
  StoredSource src;
  src.sent = d.sent();
  src.ruc = d.ruc;
  src.h = src.sent ? "H" : "";
  src.key = src.sent ? sentKey(d.ruc, d.periodo, d.correl) : preparationKey(d.ruc, d.periodo);
  return src;
}

void loadStoredPersons(data::Database& db, const StoredSource& src) {
  // Workers and pensioners: the stored row joined with the registry, which supplies the person's
  // own data; a stored person no longer registered is not brought back.
  std::vector<ColumnExpr> cols;
  for (const auto& c : db.columns("F601_TRAB")) {
    if (text::upper(c) == "CNUMERO") break;
    cols.push_back({c, "f." + sqlName(c)});
  }
  std::vector<ColumnExpr> reg = {{"pension", "d.pension"},
                                 {"sctr", "d.sctr"},
                                 {"num_cuenta", "d.num_cuenta"},
                                 {"Nombre", nameSql("a")},
                                 {"fec_nac", "dmy(a.fec_nac)"},
                                 {"essalud_vida", "a.ESSALUD_Vida"},
                                 {"aseg_pens", "a.aseg_pens"},
                                 {"rucEps", "d.ruceps"},
                                 {"ind_afieps", "d.ind_afieps"},
                                 {"cod_eps", "d.cod_eps"},
                                 {"sctr_pension", "d.sctr_pension"},
                                 {"estado", "a.estado"},
                                 {"envio", "a.envio"},
                                 {"fec_insc", "dmy(a.fec_insc)"},
                                 {"fec_baja", "dmy(a.fec_baja)"},
                                 {"Nombre_2", "a.Nombre_2"}};
  for (auto& r : reg) {
    bool replaced = false;
    for (auto& c : cols)
      if (text::upper(c.column) == text::upper(r.column)) {
        c.expr = r.expr;
        replaced = true;
      }
    if (!replaced) cols.push_back(r);
  }
  // The short name of the document type (PARAM list 044) is chosen as each row is written.
  data::Params params;
  std::string docName = "CASE f.tip_doc_a";
  for (const auto& [code, shortName] : docShortNames(db)) {
    docName += " WHEN ? THEN ?";
    params.add(code);
    params.add(shortName);
  }
  cols.push_back({"tip_doc", params.values().empty() ? "NULL" : docName + " END"});
  for (const auto& v : src.key.params.values()) params.add(v);
  // The rows are written in the order they were stored: the stored rows of the declaration are
  // picked by rowid (read off the key's index alone), which SQLite walks in rowid order, rather
  // than read in the index's order and sorted whole afterwards.
  insertSelect(db, "TEMP1_F601", -1, cols,
               "FROM " + src.h +
                   "F601_TRAB f JOIN ASEG_DET_LAB d ON d.tip_doc_d = 6 AND d.doc_id_d = f.doc_id_d AND "
                   "d.correl_a = f.Correl_a AND d.cod_cat_tra = f.cod_cat_tra JOIN ASEGVKRS a ON a.tip_doc_d = 6 AND "
                   "a.doc_id_d = f.doc_id_d AND a.correl_a = f.Correl_a AND a.cod_cat_tra = f.cod_cat_tra WHERE "
                   "f.rowid IN (SELECT s.rowid FROM " +
                   src.h + "F601_TRAB s WHERE " + src.keyOf("s") + ") AND f.cod_cat_tra IN (1, 2) ORDER BY f.rowid",
               params);
}

void loadStoredDetails(data::Database& db, const StoredSource& src) {
  // Rows of the persons' details; those of workers and pensioners only for the persons loaded
  // (the set of loaded persons is gathered once, not searched again for each concept row).
  const std::string loaded =
      "(r.cod_cat_tra NOT IN (1, 2) OR (r.correl_a, r.cod_cat_tra) IN (SELECT t.Correl_a, t.cod_cat_tra FROM "
      "TEMP1_F601 t))";
  // A concept's description is the declarant's own, else the general one: looked up once per code
  // (a few dozen) rather than twice per row (hundreds of thousands on a large payroll).
  const char* descriptions =
      "WITH descr(code, descrip) AS MATERIALIZED (SELECT k.Codigo, COALESCE(c.desc_concepto, k.Descripc) FROM "
      "CONCEPTOS_REM k LEFT JOIN conceptos_remu c ON c.tip_doc_d = 6 AND c.doc_id_d = ?1 AND c.cod_concepto = k.Codigo "
      "UNION ALL SELECT c.cod_concepto, c.desc_concepto FROM conceptos_remu c WHERE c.tip_doc_d = 6 AND c.doc_id_d = "
      "?1 AND NOT EXISTS (SELECT 1 FROM CONCEPTOS_REM k WHERE k.Codigo = c.cod_concepto)) ";
  data::Params params{src.ruc};  // ?1; the key's own follow
  for (const auto& v : src.key.params.values()) params.add(v);
  // The concept table keeps its unique index while it fills: adding each row to it costs less than
  // sorting all of them for an index built afterwards.
  db.run(std::string(descriptions) +
             "INSERT INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, codigo, cod_cat_tra, descrip, monto, "
             "monto_pag, base_calculo) SELECT r.tip_doc_a, r.doc_id_a, r.correl_a, r.cod_concep, r.cod_cat_tra, "
             "COALESCE(d.descrip, ''), r.monto, r.monto_pag, r.base_calculo FROM " +
             src.h + "F601_REMUNERA r LEFT JOIN descr d ON d.code = r.cod_concep WHERE " + src.keyOf("r") + " AND " +
             loaded + " AND " + conceptHasContent("r"),
         params);
  const std::string person = "EXISTS (SELECT 1 FROM TEMP1_F601 t WHERE t.Correl_a = r.correl_a)";
  db.run(
      "INSERT INTO TMP_ESTTURNOS_JL (correl_a, tip_doc_a, doc_id_a, cod_est, cod_tipest, Indica) "
      "SELECT r.correl_a, r.tip_doc_a, r.doc_id_a, r.cod_estab, (SELECT l.cod_tipest FROM LOCAL l WHERE "
      "l.tip_doc_d = 6 AND l.doc_id_d = r.doc_id_d AND l.cod_est = r.cod_estab), 1 FROM " +
          src.h + "F601_ESTAB r WHERE " + src.keyOf("r") + " AND " + person + " ORDER BY r.rowid",
      src.key.params);
  struct Pair {
    const char* stored;
    const char* working;
    bool perPerson;
  };
  for (const Pair& p : std::initializer_list<Pair>{{"F601DIAS_NOLAB", "TMPF601DIAS_NOLAB", true},
                                                   {"F601_605", "TMPF601_605", true},
                                                   {"F601_SCTR_OTRO", "TMP_F601_SCTR_OTRO", true},
                                                   {"F600SUBSID", "TMPF600SUBSID", true},
                                                   {"F600INFEPS", "TMPF600INFEPS", false},
                                                   {"F601RDCAB", "TMPF601RDCAB", false},
                                                   {"F601RDDET", "TMPF601RDDET", false},
                                                   {"F621RDDET", "TMPF621RDDET", false},
                                                   {"F601MFCAB", "TMPF601MFCAB", false},
                                                   {"F601MFDET", "TMPF601MFDET", false},
                                                   {"F601_ESTABMF", "TMPF601_ESTABMF", false}}) {
    std::string from = src.h + p.stored;
    std::string where = src.keyOf(from);
    if (p.perPerson) where += " AND EXISTS (SELECT 1 FROM TEMP1_F601 t WHERE t.Correl_a = " + from + ".correl_a)";
    where += " ORDER BY " + from + ".rowid";
    copyRows(db, from, p.working, -1, {}, where, src.key.params);
  }
  db.run(
      "UPDATE TMPF601_ESTABMF SET cod_est = cod_estab, indica = 1, "
      "nom_est = COALESCE((SELECT l.nom_est FROM LOCAL l WHERE l.tip_doc_d = 6 AND l.doc_id_d = "
      "TMPF601_ESTABMF.doc_id_d "
      "AND l.cod_est = TMPF601_ESTABMF.cod_estab), ''), "
      "cod_tipest = (SELECT l.cod_tipest FROM LOCAL l WHERE l.tip_doc_d = 6 AND l.doc_id_d = TMPF601_ESTABMF.doc_id_d "
      "AND l.cod_est = TMPF601_ESTABMF.cod_estab)");
  // The risk centre's owner is not kept with the personnel of third parties: it is the owner of
  // the establishment chosen as centre.
  db.run(
      "INSERT INTO TEMP2_F601 (tip_doc_d, doc_id_d, CORREL_A, DOC_ID_A, TIP_DOC, FEC_NAC, NOMBRE, Ruc, centro, "
      "Correl_centro, Correl_tasa, Tasa, rem_sctrs, sctrs, tip_doc_a, ruc_eps, fec_baja) "
      "SELECT 6, r.doc_id_d, r.correl_a, r.doc_id_a, r.tip_doc, r.fec_nac, r.Nombre, (SELECT l.doc_ruc_emp FROM "
      "LOCAL l WHERE l.tip_doc_d = 6 AND l.doc_id_d = r.doc_id_d AND l.cod_est = r.correl_centro), r.centro, "
      "r.correl_centro, r.correl_tasa, r.tasa, r.rem_sctrs, r.sctrs, r.tip_doc_a, r.ruc_eps, r.fec_baja FROM " +
          src.h + "F601_SCTR r WHERE " + src.keyOf("r") + " ORDER BY r.rowid",
      src.key.params);
}

// The persons whose stored rows differ from what a save of the working set just loaded would
// write: those no longer loaded (gone from the registry), those whose pension system or SCTR the
// registry changed since, and those with concept rows that declare nothing or belong to nobody
// loaded. The save writes their rows again; the others' stay as they are.
void noteStoredDifferences(data::Database& db, const StoredSource& src) {
  auto asText = [](const std::string& c) { return "TRIM(COALESCE(CAST(" + c + " AS TEXT), ''))"; };
  db.run("INSERT OR IGNORE INTO TMPF601_CAMBIOS SELECT f.Correl_a, f.cod_cat_tra FROM F601_TRAB f WHERE " +
             src.keyOf("f") +
             " AND NOT EXISTS (SELECT 1 FROM TEMP1_F601 t WHERE t.Correl_a = f.Correl_a AND t.cod_cat_tra = "
             "f.cod_cat_tra AND " +
             asText("t.pension") + " = " + asText("f.pension") + " AND " + asText("t.sctr") + " = " + asText("f.sctr") +
             ")",
         src.key.params);
  // Every stored concept row was loaded (the usual case): none of them differs.
  if (db.integer("SELECT count(*) FROM F601_REMUNERA r WHERE " + src.keyOf("r"), src.key.params) ==
      db.integer("SELECT count(*) FROM TMPF601CONCEP"))
    return;
  db.run("INSERT OR IGNORE INTO TMPF601_CAMBIOS SELECT r.correl_a, r.cod_cat_tra FROM F601_REMUNERA r WHERE " +
             src.keyOf("r") + " AND (NOT " + conceptHasContent("r") +
             " OR (r.cod_cat_tra IN (1, 2) AND NOT EXISTS (SELECT 1 FROM TEMP1_F601 t WHERE t.Correl_a = r.correl_a "
             "AND t.cod_cat_tra = r.cod_cat_tra)))",
         src.key.params);
}

}  // namespace

void WorkingSet::loadStored() {
  auto& db = s_.database();
  ensureSqlFunctions(db);
  readPeriodValues();
  data::ChangeTrackingPause bulk(db);  // the load says itself what differs from the stored rows
  emptyWorkingTables(db);
  d_.computed = {};  // rows held in memory went with the tables
  for (const char* code : {"0811", "0615"}) {
    if (db.exists("SELECT 1 FROM CONCEPTOS_REM WHERE Codigo = ? AND indica = '1'", {code}))
      data::AseguraConcepto(db, d_.ruc, code);
  }
  auto src = storedSource(d_);
  loadStoredPersons(db, src);
  loadStoredDetails(db, src);
  if (!src.sent) noteStoredDifferences(db, src);
}

}  // namespace korventa::declaration
