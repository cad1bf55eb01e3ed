#include "model/eps_credit_sums.h"

#include "common/vb_format.h"

namespace korventa::model {

std::string epsBoxWhere() {
  return "tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND formulario = ? AND Casilla = ? AND "
         "COALESCE(Correl, '') = ?";
}

data::Params epsBoxParams(const OpenDeclaration& d, std::string_view casilla) {
  return {d.ruc, d.periodo, d.formulario, std::string(casilla), d.correl};
}

bool isEpsBox(std::string_view c) {
  return c == "602" || c == "612" || c == "408" || c == "428";
}

Money epsCredit(data::Database& db, const OpenDeclaration& decl, std::string_view casilla, AmountRecorder* rec) {
  Money total;
  std::string sql = "SELECT Imp_cred";
  // Recording reads which invoice each credit comes from too.
  if (rec) sql += ", RUC_EPS, Num_Serie, Num_Fac, Periodo_fac, Imp_total";
  for (const auto& r : db.rows(sql + " FROM TMPF600INFEPS WHERE " + epsBoxWhere(), epsBoxParams(decl, casilla))) {
    Money credit = Money::value(r.text(0));
    total += credit;
    if (rec) {
      rec->source(casilla, {.kind = "Factura EPS",
                            .tipDoc = "6",
                            .doc = r.text(1),
                            .reference = r.text(2) + "-" + r.text(3),
                            .rule = "periodo " + r.text(4) + ", importe total " + r.text(5),
                            .amount = credit});
    }
  }
  return total;
}

std::string epsBoxValue(Money credit) {
  return vbFormat(credit, "###########0");
}

std::string epsBoxValue(data::Database& db, const OpenDeclaration& decl, std::string_view casilla) {
  return epsBoxValue(epsCredit(db, decl, casilla));
}

}  // namespace korventa::model
