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

Money epsCredit(data::Database& db, const OpenDeclaration& decl, std::string_view casilla) {
  Money total;
  for (const auto& r :
       db.rows("SELECT Imp_cred FROM TMPF600INFEPS WHERE " + epsBoxWhere(), epsBoxParams(decl, casilla)))
    total += Money::value(r.text(0));
  return total;
}

std::string epsBoxValue(data::Database& db, const OpenDeclaration& decl, std::string_view casilla) {
  return vbFormat(epsCredit(db, decl, casilla), "###########0");
}

}  // namespace korventa::model
