#include "detail/receipts_save.h"

#include "common/vb_format.h"
#include "data/numero_control.h"

namespace korventa::detail {

namespace {

constexpr const char* kDeclWhere = "tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND formulario = ?";

// Control-number counts of the stored tables.
constexpr int kRdCabN = 8;
constexpr int kRdDetN = 10;
constexpr int kMfCabN = 8;
constexpr int kMfDetN = 10;
constexpr int kEstabMfN = 8;

constexpr const char* kCabColumns =
    "correl_a, cod_cat_tra, tip_retencion, tip_doc_a, doc_id_a, Des_Pat, Des_Mat, Des_No1, Des_No2, ind_domicilio, ruc";
constexpr const char* kDetColumns =
    "correl_a, cod_cat_tra, tip_retencion, tip_doc_a, doc_id_a, num_ser, num_rec, fec_emi, fec_pago, mto_rec, ind_rta, "
    "por_rta, mto_rta, ind_ies, por_ies, mto_ies, num_for";
constexpr const char* kMfCabColumns =
    "correl_a, cod_cat_tra, tip_retencion, tip_doc_a, doc_id_a, APELLIDO_P, APELLIDO_M, NOMBRE_1, mto_renta";

data::Params declParams(const model::OpenDeclaration& d) {
  return {d.ruc, d.periodo, d.formulario};
}

// Replaces the declaration's rows of `stored` by the rows of `work` (the given columns, after the
// declaration key) and recomputes their control numbers.
void copyTable(data::Database& db, const model::OpenDeclaration& decl, const std::string& stored,
               const std::string& work, const std::string& columns, int n, const std::string& workWhere = {}) {
  db.run("DELETE FROM " + stored + " WHERE " + kDeclWhere, declParams(decl));
  db.run("INSERT INTO " + stored + " (tip_doc_d, doc_id_d, periodo, formulario, " + columns + ") SELECT 6, ?, ?, ?, " +
             columns + " FROM " + work + (workWhere.empty() ? "" : " WHERE " + workWhere) + " ORDER BY rowid",
         declParams(decl));
  data::recomputeControlNumbers(db, stored, n, kDeclWhere, declParams(decl));
}

}  // namespace

namespace {
// FROM clause and parameters of a table of the declaration in the given source.
std::string fromSource(const std::string& stored, const std::string& work, VoucherSource source,
                       const model::OpenDeclaration& decl, data::Params& p, const std::string& alias) {
  if (source == VoucherSource::Working) return work + " " + alias + " WHERE 1 = 1";
  bool h = source == VoucherSource::History;
  std::string sql = (h ? "H" + stored : stored) + " " + alias + " WHERE " + alias + ".tip_doc_d = 6 AND " + alias +
                    ".doc_id_d = ? AND " + alias + ".periodo = ? AND " + alias + ".formulario = ?";
  p.add(decl.ruc);
  p.add(decl.periodo);
  p.add(decl.formulario);
  if (h) {
    sql += " AND " + alias + ".correl = ?";
    p.add(decl.correl);
  }
  return sql;
}
}  // namespace

std::vector<ProviderVoucher> declarationVouchers(data::Database& db, const model::OpenDeclaration& decl,
                                                 VoucherSource source) {
  data::Params p;
  std::string sql = "SELECT correl_a, tip_doc_a, doc_id_a FROM " +
                    fromSource("F601RDCAB", "TMPF601RDCAB", source, decl, p, "c") +
                    " AND c.cod_cat_tra = 3 GROUP BY correl_a, tip_doc_a, doc_id_a ORDER BY tip_doc_a, doc_id_a";
  std::vector<ProviderVoucher> out;
  for (const auto& r : db.rows(sql, p)) {
    PersonKey person{r.integer(0), static_cast<int>(r.integer(1)), r.text(2), kProvider};
    data::Params np;
    std::string nameSql =
        "SELECT trim(Des_Pat || ' ' || Des_Mat || ' ' || Des_No1 || ' ' || ifnull(Des_No2, '')) FROM " +
        fromSource("F601RDCAB", "TMPF601RDCAB", source, decl, np, "c") +
        " AND c.correl_a = ? AND c.tip_doc_a = ? AND c.doc_id_a = ?";
    np.add(person.correl_a);
    np.add(person.tip_doc_a);
    np.add(person.doc_id_a);
    std::string name = db.text(nameSql, np);
    for (auto& v : listVouchers(db, source, decl, person)) out.push_back({person, name, std::move(v)});
  }
  return out;
}

std::vector<TraineeRow> declarationTrainees(data::Database& db, const model::OpenDeclaration& decl,
                                            VoucherSource source) {
  data::Params p;
  std::string sql =
      "SELECT correl_a, tip_doc_a, doc_id_a, trim(APELLIDO_P || ' ' || APELLIDO_M || ' ' || NOMBRE_1), "
      "mto_renta FROM " +
      fromSource("F601MFCAB", "TMPF601MFCAB", source, decl, p, "c") + " ORDER BY tip_doc_a, doc_id_a";
  std::vector<TraineeRow> out;
  for (const auto& r : db.rows(sql, p)) {
    TraineeRow t{{r.integer(0), static_cast<int>(r.integer(1)), r.text(2), kTrainee}, r.text(3), r.text(4), {}};
    data::Params ep;
    std::string esql = "SELECT DISTINCT cod_estab FROM " +
                       fromSource("F601_ESTABMF", "TMPF601_ESTABMF", source, decl, ep, "e") +
                       " AND e.correl_a = ? AND e.tip_doc_a = ? AND e.doc_id_a = ? ORDER BY cod_estab";
    ep.add(t.person.correl_a);
    ep.add(t.person.tip_doc_a);
    ep.add(t.person.doc_id_a);
    for (const auto& e : db.rows(esql, ep)) t.establishments.push_back(e.integer(0));
    out.push_back(std::move(t));
  }
  return out;
}

void Graba_Rta(data::Database& db, const model::OpenDeclaration& decl) {
  data::Transaction tx(db);
  copyTable(db, decl, "F601RDCAB", "TMPF601RDCAB", kCabColumns, kRdCabN, "cod_cat_tra = 3");
  copyTable(db, decl, "F601RDDET", "TMPF601RDDET", kDetColumns, kRdDetN, "cod_cat_tra = 3");
  tx.commit();
}

void Graba_ModForm(data::Database& db, const model::OpenDeclaration& decl) {
  data::Transaction tx(db);
  copyTable(db, decl, "F601MFCAB", "TMPF601MFCAB", kMfCabColumns, kMfCabN);
  copyTable(db, decl, "F601MFDET", "TMPF601MFDET", kDetColumns, kMfDetN);
  db.run(std::string("DELETE FROM F601_ESTABMF WHERE ") + kDeclWhere, declParams(decl));
  db.run(
      "INSERT INTO F601_ESTABMF (tip_doc_d, doc_id_d, correl_a, tip_doc_a, doc_id_a, periodo, formulario, cod_estab) "
      "SELECT DISTINCT 6, ?, correl_a, tip_doc_a, doc_id_a, ?, ?, cod_estab FROM TMPF601_ESTABMF "
      "WHERE cod_estab IS NOT NULL",
      {decl.ruc, decl.periodo, decl.formulario});
  data::recomputeControlNumbers(db, "F601_ESTABMF", kEstabMfN, kDeclWhere, declParams(decl));
  tx.commit();
}

}  // namespace korventa::detail
