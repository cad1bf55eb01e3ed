#include "import/importer_impl.h"

namespace korventa::import {

std::string Importer::Impl::lineTes(const std::vector<std::string>& f) {
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
  int n = db.run(
      "UPDATE TMP_ESTTURNOS_JL SET Indica = 1 WHERE correl_a = ? AND tip_doc_a = ? AND doc_id_a = ? AND "
      "cod_est = ?",
      {w->key.correl_a, w->key.tip_doc_a, w->key.doc_id_a, l->codEst});
  if (n == 0)
    db.run(
        "INSERT INTO TMP_ESTTURNOS_JL (correl_a, tip_doc_a, doc_id_a, cod_est, cod_tipest, Indica) "
        "VALUES (?, ?, ?, ?, ?, 1)",
        {w->key.correl_a, w->key.tip_doc_a, w->key.doc_id_a, l->codEst, l->tipest});
  // Actualizotemp_sctr: the worker's one SCTR choice is that of the last line.
  n = db.run(
      "UPDATE TMP_F601_SCTR_OTRO SET ruc = ?, tasa = ?, correl_centro = ?, correl_tasa = ?, centro = ? WHERE "
      "correl_a = ? AND tip_doc_a = ? AND doc_id_a = ?",
      {owner, rt->text, l->codEst, rt->correl, l->nombre, w->key.correl_a, w->key.tip_doc_a, w->key.doc_id_a});
  if (n == 0)
    db.run(
        "INSERT INTO TMP_F601_SCTR_OTRO (tip_doc_a, doc_id_a, correl_a, ruc, tasa, correl_centro, correl_tasa, "
        "centro) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
        {w->key.tip_doc_a, w->key.doc_id_a, w->key.correl_a, owner, rt->text, l->codEst, rt->correl, l->nombre});
  affected(w->key);
  return {};
}

}  // namespace korventa::import
