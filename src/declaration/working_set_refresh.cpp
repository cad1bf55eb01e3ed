#include "declaration/working_set.h"

#include "common/money.h"
#include "common/vb_format.h"
#include "declaration/concurrency.h"
#include "declaration/tables.h"

namespace korventa::declaration {

// Establishments: those the declarant no longer has are dropped, the others take their current type.
void WorkingSet::refreshEstablishments() {
  auto& db = s_.database();
  db.run(
      "DELETE FROM TMP_ESTTURNOS_JL WHERE NOT EXISTS (SELECT 1 FROM LOCAL l WHERE l.tip_doc_d = 6 AND "
      "l.doc_id_d = ? AND l.cod_est = TMP_ESTTURNOS_JL.cod_est)",
      {d_.ruc});
  db.run(
      "UPDATE TMP_ESTTURNOS_JL SET cod_tipest = (SELECT l.cod_tipest FROM LOCAL l WHERE l.tip_doc_d = 6 AND "
      "l.doc_id_d = ? AND l.cod_est = TMP_ESTTURNOS_JL.cod_est)",
      {d_.ruc});
  if (d_.stored && !d_.sent()) {
    claimOpened(s_, d_);
    auto key = preparationKey(d_.ruc, d_.periodo);
    db.run("DELETE FROM F601_ESTAB WHERE " + key.where, key.params);
    Grabar_F601_ESTAB(db, d_);
  }
}

// Rates of the personnel of third parties and of the workers' SCTR choices as the registry holds
// them now; the SCTR choices and other-employer incomes of workers no longer loaded go.
void WorkingSet::refreshSctrRates() {
  auto& db = s_.database();
  const std::string rate =
      "(SELECT c.tasa FROM COR_TASAS_601 c WHERE c.tip_doc_d = 6 AND c.doc_id_d = ?1 AND c.doc_ruc_emp = %R AND "
      "c.cod_est = %C AND c.correl_tasa = %T)";
  auto rateFor = [&](const std::string& r, const std::string& c, const std::string& t) {
    std::string s = rate;
    s.replace(s.find("%R"), 2, r);
    s.replace(s.find("%C"), 2, c);
    s.replace(s.find("%T"), 2, t);
    return s;
  };
  std::string rate2 = rateFor("TEMP2_F601.Ruc", "TEMP2_F601.Correl_centro", "TEMP2_F601.Correl_tasa");
  db.run("UPDATE TEMP2_F601 SET Tasa = vbfmt(" + rate2 + ", '##0.00') WHERE " + rate2 + " IS NOT NULL", {d_.ruc});
  for (const auto& r :
       db.rows("SELECT rowid, rem_sctrs, Tasa FROM TEMP2_F601 WHERE COALESCE(TRIM(rem_sctrs), '') <> ''")) {
    auto base = Money::parse(r.text(1));
    auto tasa = Money::parse(r.text(2));
    if (!base || !tasa) continue;
    db.run("UPDATE TEMP2_F601 SET sctrs = ? WHERE rowid = ?",
           {vbFormat(base->percent(*tasa).rounded(2), "######0.00"), r.at("rowid")});
  }
  std::string rate3 =
      rateFor("TMP_F601_SCTR_OTRO.ruc", "TMP_F601_SCTR_OTRO.correl_centro", "TMP_F601_SCTR_OTRO.correl_tasa");
  db.run("UPDATE TMP_F601_SCTR_OTRO SET tasa = vbfmt(" + rate3 + ", '##0.00') WHERE " + rate3 + " IS NOT NULL",
         {d_.ruc});
  for (const char* t : {"TMP_F601_SCTR_OTRO", "TMPF601_605"})
    db.run(std::string("DELETE FROM ") + t +
           " WHERE NOT EXISTS (SELECT 1 FROM TEMP1_F601 w WHERE w.cod_cat_tra = 1 AND "
           "w.Correl_a = " +
           t + ".correl_a AND w.doc_id_a = " + t + ".doc_id_a)");
}

// Fourth-category providers taken from the registry that it no longer holds go, with their vouchers;
// the others take the registry's names and domicile.
void WorkingSet::refreshProviders() {
  auto& db = s_.database();
  const std::string gone =
      "cod_cat_tra = 3 AND COALESCE(correl_a, 0) > 0 AND NOT EXISTS (SELECT 1 FROM ASEGVKRS a WHERE a.tip_doc_d = 6 "
      "AND a.doc_id_d = ? AND a.correl_a = %T.correl_a AND a.cod_cat_tra = 3)";
  auto goneIn = [&](const std::string& t) {
    std::string s = gone;
    s.replace(s.find("%T"), 2, t);
    return s;
  };
  db.run(
      "DELETE FROM TMPF621RDDET WHERE cod_cat_tra = 3 AND EXISTS (SELECT 1 FROM TMPF601RDCAB c WHERE "
      "c.tip_doc_a = TMPF621RDDET.tip_doc_ret AND c.doc_id_a = TMPF621RDDET.num_doc_ret AND c.cod_cat_tra = 3 AND "
      "COALESCE(c.correl_a, 0) > 0 AND NOT EXISTS (SELECT 1 FROM ASEGVKRS a WHERE a.tip_doc_d = 6 AND "
      "a.doc_id_d = ? AND a.correl_a = c.correl_a AND a.cod_cat_tra = 3))",
      {d_.ruc});
  db.run("DELETE FROM TMPF601RDDET WHERE " + goneIn("TMPF601RDDET"), {d_.ruc});
  db.run("DELETE FROM TMPF601RDCAB WHERE " + goneIn("TMPF601RDCAB"), {d_.ruc});
  const std::string reg3 =
      "FROM ASEGVKRS a WHERE a.tip_doc_d = 6 AND a.doc_id_d = ?1 AND a.correl_a = "
      "TMPF601RDCAB.correl_a AND a.cod_cat_tra = 3";
  db.run("UPDATE TMPF601RDCAB SET Des_Pat = COALESCE((SELECT a.apellido_p " + reg3 +
             "), Des_Pat), "
             "Des_Mat = COALESCE((SELECT a.apellido_m " +
             reg3 +
             "), Des_Mat), "
             "Des_No1 = COALESCE((SELECT a.nombre_1 " +
             reg3 +
             "), Des_No1), "
             "ind_domicilio = COALESCE((SELECT a.ind_domicilio " +
             reg3 +
             "), ind_domicilio) "
             "WHERE cod_cat_tra = 3 AND COALESCE(correl_a, 0) > 0",
         {d_.ruc});
}

}  // namespace korventa::declaration
