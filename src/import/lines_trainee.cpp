#include "import/importer_impl.h"

namespace korventa::import {

std::string Importer::Impl::lineForTrans(const std::vector<std::string>& f) {
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
  db.run(
      "DELETE FROM TMPF621RDDET WHERE cod_cat_tra = 5 AND tip_doc_ret = ? AND TRIM(num_doc_ret) = ? AND "
      "tip_retencion = 'O'",
      {p.key.tip_doc_a, p.key.doc_id_a});
  db.run(
      "INSERT INTO TMPF621RDDET (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, num_doc_ret, "
      "tip_doc_ret, tip_retencion, num_ser, num_rec, fec_emi, fec_pago, mto_rec, ind_rta, por_rta, mto_rta, "
      "ind_ies, por_ies, mto_ies, num_for) VALUES (6, ?, ?, ?, ?, 5, ?, ?, 'O', 'XXX', '', '', '', ?, '0', '0', "
      "'0.00', '0', '0', '0.00', '')",
      {d.ruc, d.periodo, d.formulario, p.key.correl_a, p.key.doc_id_a, p.key.tip_doc_a, mto});
  return {};
}

std::optional<PersonKey> Importer::Impl::trainee(int tipDoc, const std::string& docId) {
  auto row = db.row("SELECT correl_a FROM TMPF601MFCAB WHERE tip_doc_a = ? AND TRIM(doc_id_a) = ?", {tipDoc, docId});
  if (!row) return std::nullopt;
  return PersonKey{row->integer(0), tipDoc, docId, kTrainee};
}

std::string Importer::Impl::lineForMF(const std::vector<std::string>& f) {
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

std::string Importer::Impl::lineMfe(const std::vector<std::string>& f) {
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
    db.run(
        "INSERT INTO TMPF601_ESTABMF (tip_doc_d, doc_id_d, tip_doc_a, doc_id_a, correl_a, periodo, formulario, "
        "cod_estab, cNumero, cod_est, nom_est, cod_tipest, indica) VALUES (6, ?, ?, ?, ?, ?, '0601', ?, '000000', "
        "?, ?, ?, 1)",
        {d.ruc, tipDoc, f[1], p->correl_a, d.periodo, l->codEst, l->codEst, l->nombre, l->tipest});
  return {};
}

}  // namespace korventa::import
