#include "determination/declaration_checks.h"

#include <set>

#include "common/text.h"
#include "common/vb_format.h"
#include "data/servicios_comunes.h"
#include "determination/debt_grid.h"
#include "determination/validation.h"

namespace korventa::determination {

std::vector<Box> determinationBoxes(Session& session, const model::OpenDeclaration& decl) {
  DebtDetermination grid(session, decl);
  grid.load();
  return grid.filledBoxes();
}

SaveCheckResult saveChecks(Session& session, const model::OpenDeclaration& decl, Progress& progress) {
  return DeclarationValidator(session, decl).saveChecks(progress);
}

std::string totalToPay(const std::vector<Box>& boxes) {
  bool any = false;
  long long sum = 0;
  for (const auto& b : boxes) {
    const TaxColumn* c = columnOf(b.casilla);
    if (!c || b.casilla != c->toPay || b.valor.empty()) continue;
    any = true;
    sum += boxNumber(b.valor);
  }
  return any ? vbFormat(sum, "#,###,###,##0") : std::string();
}

// Workers whose EPS is not a valid provider for the declarant.
bool EPS_Invalida(data::Database& db, const model::OpenDeclaration& d) {
  std::set<std::string> known;
  for (const auto& r : db.rows("SELECT Funcion FROM PARAM WHERE Numero = '701'"))
    known.insert(text::right(text::trim(r.text(0)), 11));
  for (const auto& r : db.rows("SELECT RUC_EPS FROM EPS WHERE tip_doc_d = 6 AND doc_id_d = ?", {d.ruc}))
    known.insert(text::trim(r.text(0)));
  known.insert(d.ruc);  // the employer's own health service
  for (const auto& r : db.rows("SELECT DISTINCT TRIM(COALESCE(rucEps, '')) FROM TEMP1_F601 WHERE cod_cat_tra = 1 AND "
                               "TRIM(COALESCE(ind_afieps, '')) = '1'")) {
    std::string ruc = r.text(0);
    if (!ServiciosComunes::rucValido(ruc) || !known.count(ruc)) return true;
  }
  return false;
}

std::string epsInvalidaText() {
  return std::string(
             "Se han detectado trabajadores afiliados a EPS con RUC Inválido o bien una EPS inválida para el "
             "Declarante.") +
         "\nEn estas condiciones no podrá enviar información a ZUMAR." +
         "\nDebe corregir su información en el modulo integrador: Registro/Corrección de RUC de EPS.";
}

std::string parameterVersion(data::Database& db) {
  return text::trim(
      db.text("SELECT Funcion FROM PARAM WHERE Numero = '981' AND substr(Argumento, 1, 4) = '0601' "
              "ORDER BY Argumento LIMIT 1"));
}

std::string noActiveNotice(bool pensioners) {
  return std::string("Si en el siguiente período no tuviera ") + (pensioners ? "pensionistas" : "trabajadores") +
         " activos deberá proceder a dar de baja los tributos vinculados a la planilla, caso contrario será sujeto a "
         "sanción de acuerdo al numeral 1 del artículo 176 del Código Tributario.";
}

}  // namespace korventa::determination
