// The rules of the determination grid and of the payment data (40 to 52), the parameter version
// (53) and the registry count comparison of the save (55).
#include <map>

#include "common/text.h"
#include "common/vb_format.h"
#include "data/param.h"
#include "model/labour_periods.h"
#include "determination/declaration_checks.h"
#include "determination/total_tributo.h"
#include "determination/validation.h"

namespace korventa::determination {

std::string columnLabel(const TaxColumn& c, int rule) {
  std::string l = c.label;
  if (l == "IMP. EXTRAOR. DE SOLIDARIDAD" && rule == 45) return "IMP. EXTRAOR. de SOLIDARIDAD";
  if (l == "APORTES AL FCJMMS") return rule == 40 || rule == 45 ? "Aportes al FCJMMS" : l;
  if (l == "CUOTA FRAC FCJMMS")
    return rule == 40 || rule == 45 ? "Aportes a CUOTA FRAC FCJMMS" : "APORTES A CUOTA FRAC FCJMMS";
  return l;
}

DeclarationValidator::EpsLimit DeclarationValidator::epsLimit(const std::string& casilla) {
  auto& db = s_.database();
  // ESSALUD of the EPS-affiliated workers (types 26 and 36 for box 408, the others for 602).
  std::string types = casilla == "408" ? "TRIM(Tipo) IN ('26', '36')" : "TRIM(Tipo) NOT IN ('26', '36')";
  Money tax;
  long long workers = 0;
  for (const auto& r : db.rows("SELECT salud, cbssp FROM TEMP1_F601 WHERE cod_cat_tra = 1 AND "
                               "TRIM(COALESCE(ind_afieps, '')) = '1' AND " +
                               types)) {
    tax += Money::value(r.text(casilla == "408" ? 1 : 0));
    ++workers;
  }
  Money uit = data::ParamTable(db).uit(d_.periodo).value_or(d_.uit);
  long long a = boxNumber(vbFormat(Money::value("25").times(tax).dividedBy(Money::fromUnits(100)), "#######"));
  long long b = boxNumber(vbFormat(uit.times(Money::fromUnits(workers)).dividedBy(Money::fromUnits(10)), "#######"));
  return a <= b ? EpsLimit{a, true} : EpsLimit{b, false};
}

std::string DeclarationValidator::epsLimitMessage(const std::string& casilla, const EpsLimit& l) const {
  std::string who = casilla == "408" ? "trabajadores 26 o 36" : "trabajadores";
  std::string head = "El importe consignado en la casilla " + casilla + " no debe ser mayor al ";
  return head +
         (l.quarter ? "25% del tributo EsSalud correspondiente a todos los " + who + " afiliados a una EPS: (S/. "
                    : "10% de la UIT vigente multiplicado por el número de " + who + " afiliados a una EPS: (S/. ") +
         std::to_string(l.limit) + ")";
}

void DeclarationValidator::grid(DebtDetermination& g) {
  const auto& cols = taxColumns();
  // Rule 40: amounts to pay below their balance, one warning naming every such column.
  std::vector<const TaxColumn*> under;
  for (const auto& c : cols)
    if (!g.empty(c.toPay) && !g.empty(c.balance) && boxNumber(g.value(c.toPay)) < boxNumber(g.value(c.balance)))
      under.push_back(&c);
  if (!under.empty()) {
    std::string m = "El importe a pagar es menor que el saldo definitivo a pagar en " + columnLabel(*under[0], 40);
    for (std::size_t i = 1; i < under.size(); ++i)
      m += std::string_view(under[i]->label) == "ESSALUD CBSSP SEG. TRAB. PESQ." ? ", y ESSALUD CBSSP SEG. TRAB. PESQ."
                                                                                 : ", " + columnLabel(*under[i], 40);
    warn(m + ". La ZUMAR emitirá una Orden de Pago");
  }
  for (const char* box : {"602", "408"}) {
    if (g.empty(box)) continue;
    auto l = epsLimit(box);
    if (boxNumber(g.value(box)) > l.limit) line(epsLimitMessage(box, l));
  }
  // What the persons carry of each column's tax (rules 44 and 45).
  std::map<std::string, bool> carried;
  for (const auto& c : cols) {
    const std::string& total = taxTotal(c.tax);
    carried[c.tax] = total.empty() ? !g.empty(c.tax) : boxNumber(total) != 0;
  }
  for (const auto& c : cols) {
    bool balance = !g.empty(c.balance), tax = !g.empty(c.tax), pay = !g.empty(c.toPay);
    if (balance && tax && !pay) line("Registrar importe a pagar en " + columnLabel(c, 42));
    if (pay && !balance) line("No registrar importe a pagar en " + columnLabel(c, 43));
    bool anyBox = false;
    for (const char* b : c.boxes()) anyBox = anyBox || (b && !g.empty(b));
    if (!carried[c.tax] && anyBox && !tax)
      line("No debe registrar ningun importe en la columna de " + columnLabel(c, 44) +
           " de Determinacion de la Deuda.");
    if (carried[c.tax] && (g.empty(c.base) || !tax || !balance))
      line("Debe existir base, impuesto y saldo a pagar en " + columnLabel(c, 45) +
           " en Determinación de la Deuda. Refrescar.");
    if (pay && balance && boxNumber(g.value(c.toPay)) > boxNumber(g.value(c.balance)))
      line("El importe a Pagar no debe ser mayor que el Saldo a Pagar en " + columnLabel(c, 46));
  }
  bool anyPay = false;
  for (const auto& c : cols) anyPay = anyPay || !g.empty(c.toPay);
  if (!anyPay) line("Debe declarar algun tributo");
  const auto& pay = d_.payment;
  std::string type = text::trim(pay.type);
  if (type != "E" && type != "C") {
    line("Registrar forma de pago.");
  } else if (type == "C") {
    std::string cheque = text::trim(pay.chequeNumber);
    if (text::trim(pay.bank).empty() || text::trim(pay.bank) == "XX") line("Seleccione el banco.");
    if (cheque.empty())
      line("Ingrese el número de cheque.");
    else if (cheque.find_first_not_of('0') == std::string::npos)
      line("Ingrese un número de cheque diferente de '0'.");
  }
}

const std::string& DeclarationValidator::taxTotal(const std::string& casilla) {
  auto it = taxTotals_.find(casilla);
  if (it == taxTotals_.end()) it = taxTotals_.emplace(casilla, Total_Tributo(s_.database(), casilla)).first;
  return it->second;
}

std::string DeclarationValidator::totalMismatch(const std::string& box, const std::string& value) {
  const std::string& total = taxTotal(box);
  if (boxNumber(value) == boxNumber(total)) return {};
  return "Casilla " + box + " no es igual al total ingresado = " + total +
         ". Guardar, luego refrescar y guardar nuevamente.";
}

void DeclarationValidator::taxTotals(const DebtDetermination& g) {
  for (const char* box : {"411", "413", "415", "416", "417", "418", "419"}) {
    std::string m = totalMismatch(box, g.value(box));
    if (!m.empty()) line(m);
  }
}

void DeclarationValidator::version() {
  if (d_.refreshed) return;
  auto stored = s_.database().row(
      "SELECT i_valor FROM DET WHERE tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND "
      "Formulario = '0601' AND Casilla = '722'",
      {d_.ruc, d_.periodo});
  if (stored && text::trim(stored->text(0)) != parameterVersion(s_.database()))
    line("Debe refrescar antes de guardar. Declaración ha sido grabada con versión anterior.");
}

// SCTR taken at another company's premises whose rate is no longer one of that company's
// establishment (the save checks the same before storing the choice).
void DeclarationValidator::sctrRates() {
  for (const auto& r : s_.database().rows(
           "SELECT o.doc_id_a FROM TMP_F601_SCTR_OTRO o WHERE NOT EXISTS (SELECT 1 FROM COR_TASAS_601 c WHERE "
           "c.tip_doc_d = 6 AND c.doc_id_d = ? AND c.doc_ruc_emp = o.ruc AND c.cod_est = o.correl_centro AND "
           "ROUND(c.tasa * 1, 2) = ROUND(o.tasa * 1, 2)) GROUP BY o.tip_doc_a, o.doc_id_a ORDER BY MIN(o.rowid)",
           {d_.ruc}))
    line("Registrar SCTR del trabajador. Ha cambiado establecimientos o tasas, documento " + text::trim(r.text(0)));
}

bool DeclarationValidator::ValidaCasillasDetDeuda(const DebtDetermination& g) const {
  for (const auto& c : taxColumns()) {
    auto n = [&](const char* b) { return b ? boxNumber(g.value(b)) : 0; };
    long long base = n(c.base), tax = n(c.tax), balance = n(c.balance), pay = n(c.toPay);
    if ((balance != 0 || pay != 0) && tax == 0) return false;
    if (tax != 0 && base == 0) return false;
    if (pay != 0 && balance == 0) return false;
  }
  return true;
}

// Active persons (situations 10 and 11) of the registry who belong to the declaration period,
// against those of the declaration; the message of the first category that differs.
std::string DeclarationValidator::registryCountDifference() {
  auto& db = s_.database();
  const auto& periods = labourPeriodsOfTheRegistry();
  for (int cat : {kWorker, kPensioner}) {
    long long declared = db.integer(
        "SELECT count(*) FROM TEMP1_F601 WHERE cod_cat_tra = ? AND TRIM(Situac) IN "
        "('10', '11')",
        {cat});
    long long registered = 0;
    for (const auto& r : db.rows("SELECT correl_a, situac, tipo FROM ASEG_DET_LAB WHERE tip_doc_d = 6 AND doc_id_d = ? "
                                 "AND cod_cat_tra = ? AND TRIM(situac) IN ('10', '11')",
                                 {d_.ruc, cat}))
      registered += model::EncuentroPeriodoLaboral(periods.of(r.integer(0), cat, text::trim(r.text(2))), d_.periodo,
                                                   text::trim(r.text(1)));
    if (declared != registered)
      return std::string(
                 "Existen diferencias entre la cantidad de Registros Activos (Situación 10 y 11) en la DDJJ y "
                 "el Padrón de ") +
             (cat == kWorker ? "trabajadores" : "pensionistas") + " : DDJJ=" + std::to_string(declared) +
             "     Padrón=" + std::to_string(registered);
  }
  return {};
}

}  // namespace korventa::determination
