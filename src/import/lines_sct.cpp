#include "import/importer_impl.h"

namespace korventa::import {

std::string Importer::Impl::lineSct(const std::vector<std::string>& f) {
  loadLocals();
  int tipDoc = 0;
  if (auto c = document(f, tipDoc, "0900", "0901"); !c.empty()) return c;
  auto row =
      db.row("SELECT rowid, CORREL_A FROM TEMP2_F601 WHERE tip_doc_a = ? AND TRIM(DOC_ID_A) = ?", {tipDoc, f[1]});
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
  db.run(
      "UPDATE TEMP2_F601 SET Ruc = ?, centro = ?, Tasa = ?, rem_sctrs = ?, sctrs = ?, Correl_centro = ?, "
      "Correl_tasa = ? WHERE rowid = ?",
      {l->rucEmp, l->nombre, rt->text, vbFormat(rem, "########0.00"), sctrs, l->codEst, rt->correl, row->integer(0)});
  return {};
}

}  // namespace korventa::import
