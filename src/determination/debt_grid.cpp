#include "determination/debt_grid.h"

#include <array>
#include <cstdlib>
#include <set>

#include "common/text.h"
#include "common/vb_format.h"
#include "data/param.h"
#include "model/eps_credit_sums.h"
#include "model/receipt_sums.h"
#include "determination/rates.h"

namespace korventa::determination {
namespace {

constexpr const char* kDisplay = "#,###,###,##0;(#,###,###,##0)";

// Boxes whose amount to pay is the balance itself.
bool followsBalance(std::string_view toPay) {
  return toPay == "803" || toPay == "804" || toPay == "814" || toPay == "595" || toPay == "535" || toPay == "810";
}

// A computed sum as a box: rounded to cents, then to whole soles; zero is shown empty.
std::string computedBox(Money m) {
  long long v = m.rounded(2).rounded(0).raw() / Money::kScale;
  return v == 0 ? std::string() : std::to_string(v);
}

bool workerTypeIn(const std::string& tipo, std::initializer_list<int> types) {
  int t = std::atoi(text::trim(tipo).c_str());
  for (int x : types)
    if (t == x) return true;
  return false;
}

}  // namespace

std::vector<const char*> TaxColumn::deductions() const {
  std::vector<const char*> v;
  for (const char* b : {compensation, epsCredit, epsCreditBefore, otherDeductions})
    if (b) v.push_back(b);
  return v;
}

std::vector<const char*> TaxColumn::boxes() const {
  return {base,     tax,     compensation, epsCredit, epsCreditBefore, otherDeductions, previousPayments,
          interest, balance, toPay};
}

const std::vector<TaxColumn>& taxColumns() {
  static const std::vector<TaxColumn> c = {
      {"IMP. EXTRAOR. DE SOLIDARIDAD", "450", "410", "600", nullptr, nullptr, nullptr, "500", "700", "710", "800"},
      {"SISTEMA NACIONAL PENSIONES DL 19990", "451", "411", nullptr, nullptr, nullptr, nullptr, "501", "701", "711",
       "801"},
      {"ESSALUD SEGURO REGULAR - TRAB.", "452", "412", nullptr, "602", "612", nullptr, "502", "702", "712", "802"},
      {"ESSALUD SEGURO AGRARIO / ACUIC.", "456", "416", nullptr, nullptr, nullptr, nullptr, "506", "706", "716", "806"},
      {"FONDO DERECHOS SOCIALES ARTISTA", "453", "413", nullptr, nullptr, nullptr, nullptr, "503", "703", "713", "803"},
      {"ESSALUD +VIDA", "454", "414", nullptr, nullptr, nullptr, nullptr, "504", "704", "714", "804"},
      {"RENTA 5TA CAT. RETENCIONES", "455", "415", nullptr, nullptr, nullptr, "605", "505", "705", "715", "805"},
      {"CONTRIB. SOLID. ASIST. PREVIS.", "457", "417", "427", nullptr, nullptr, nullptr, "507", "707", "717", "807"},
      {"ESSALUD CBSSP SEG. TRAB. PESQ.", "458", "418", nullptr, "408", "428", nullptr, "508", "708", "718", "808"},
      {"ESSALUD SEG. REG. PENSIONISTA", "459", "419", nullptr, nullptr, nullptr, nullptr, "509", "740", "743", "809"},
      {"ESSALUD SCTR", "460", "420", nullptr, nullptr, nullptr, nullptr, "510", "741", "744", "810"},
      {"RENTA 4TA CAT. RETENCIONES", "461", "421", nullptr, nullptr, nullptr, nullptr, "511", "742", "745", "811"},
      {"SNP - ASEGURA TU PENSION", "462", "422", nullptr, nullptr, nullptr, nullptr, "512", nullptr, "747", "814"},
      {"APORTES AL FCJMMS", "590", "591", nullptr, nullptr, nullptr, nullptr, "592", "593", "594", "595"},
      {"CUOTA FRAC FCJMMS", "530", "531", nullptr, nullptr, nullptr, nullptr, "532", "533", "534", "535"},
  };
  return c;
}

const std::vector<const char*>& gridRowCaptions() {
  static const std::vector<const char*> r = {
      "Base Imponible",          "Impuesto Resultante",       "Compensaciones",
      "Crédito EPS (Ley 26790)", "Crédito EPS Per. Anterior", "Otr. Deducc. Permit. Ley",
      "Pagos Previos",           "Interés Moratorio",         "Saldo a Pagar",
      "Importe a Pagar"};
  return r;
}

const char* igvBox(const TaxColumn& column) {
  return std::string_view(column.toPay) == "810" ? "812" : nullptr;
}

std::vector<PaymentBank> paymentBanks(data::Database& db) {
  std::vector<PaymentBank> banks;
  for (const auto& r : data::ParamTable(db).list("004")) {
    std::string code = text::trim(r.argumento);
    if (code == "00") continue;
    banks.push_back({code, code + " - " + text::trim(r.funcion)});
  }
  return banks;
}

const TaxColumn* columnOf(std::string_view casilla) {
  if (casilla == "812") return &taxColumns()[10];
  for (const auto& c : taxColumns())
    for (const char* b : c.boxes())
      if (b && casilla == b) return &c;
  return nullptr;
}

bool isTypedBox(std::string_view casilla) {
  const TaxColumn* c = columnOf(casilla);
  if (!c || casilla == "812") return false;
  if (casilla == c->base || casilla == c->tax || casilla == c->balance) return false;
  if (casilla == c->toPay) return !followsBalance(casilla);
  return true;
}

long long boxNumber(std::string_view t) {
  auto m = Money::parse(t);
  return m ? m->rounded(0).raw() / Money::kScale : 0;
}

DebtDetermination::DebtDetermination(Session& session, const model::OpenDeclaration& decl) : s_(session), d_(decl) {}

void DebtDetermination::load() {
  values_.clear();
  // List 980: from which period (argumento) the artists' fund takes previous payments ("1").
  std::string flag;
  for (const auto& r : data::ParamTable(s_.database()).list("980"))
    if (text::trim(r.argumento) <= d_.periodo) flag = text::trim(r.funcion);
  param980_ = flag == "1";
  if (d_.typedBoxesRead) {
    for (const auto& [k, v] : d_.typedBoxes)
      if (isTypedBox(k)) values_[k] = v;
  } else {
    for (const auto& r : s_.database().rows("SELECT Casilla, i_valor FROM DET WHERE tip_doc_d = 6 AND doc_id_d = ? AND "
                                            "periodo = ? AND Formulario = '0601'",
                                            {d_.ruc, d_.periodo})) {
      std::string c = text::trim(r.text(0)), v = text::trim(r.text(1));
      if (isTypedBox(c)) values_[c] = v.empty() ? v : std::to_string(boxNumber(v));
    }
  }
  recomputeBases();
}

namespace {
// The sums of the working rows behind the bases and taxes of the grid.
enum BoxSum {
  B450,
  T410,
  B451,
  T411,
  B452,
  T412,
  B456,
  T416,
  B453,
  T413,
  T414,
  B455,
  T415,
  B457,
  T417,
  B458,
  T418,
  B459,
  T419,
  B460,
  T420,
  T422,
  B590,
  T591,
  B530,
  T531,
  kSums
};
}  // namespace

void DebtDetermination::recomputeBases() {
  auto& db = s_.database();
  std::array<Money, kSums> sum{};
  for (const auto& r : db.rows("SELECT cod_cat_tra, Tipo, rem_pens, pens, rem_salud, salud, salud_agrario, fondo_dsa, "
                               "aporte_fdsa, ipss_vida, rem_afecta, tributo, rem_20530, trib_20530, cbssp, "
                               "sctr_essalud, sctr_tributo, aseg_pens, rem_FCJMMS, aporte_FCJMMS, rem_FracFCJMMS, "
                               "aporte_FrFCJMMS FROM TEMP1_F601 WHERE cod_cat_tra IN (1, 2)")) {
    auto v = [&](int i) { return Money::value(r.text(i)); };
    bool pensioner = r.integer(0) == 2;
    std::string tipo = r.text(1);
    sum[B451] += v(2);
    sum[T411] += v(3);
    if (pensioner) {
      sum[B459] += v(4);
      sum[T419] += v(5);
    } else if (workerTypeIn(tipo, {64, 65})) {
      sum[B456] += v(4);
    } else if (workerTypeIn(tipo, {36, 26})) {
      sum[B458] += v(4);
    } else {
      sum[B452] += v(4);
      sum[T412] += v(5);
    }
    sum[T416] += v(6);
    sum[B453] += v(7);
    sum[T413] += v(8);
    sum[T414] += v(9);
    sum[B455] += v(10);
    sum[T415] += v(11);
    sum[B457] += v(12);
    sum[T417] += v(13);
    sum[T418] += v(14);
    if (!pensioner) {
      sum[B460] += v(15);
      sum[T420] += v(16);
    }
    sum[T422] += v(17);
    sum[B590] += v(18);
    sum[T591] += v(19);
    sum[B530] += v(20);
    sum[T531] += v(21);
  }
  for (const auto& r : db.rows("SELECT base_calculo, monto FROM TMPF601CONCEP WHERE codigo = '0808' AND "
                               "TRIM(COALESCE(base_calculo, '')) <> '' AND TRIM(COALESCE(monto, '')) <> ''")) {
    sum[B450] += Money::value(r.text(0));
    sum[T410] += Money::value(r.text(1));
  }
  for (const auto& r : db.rows("SELECT rem_sctrs, sctrs FROM TEMP2_F601")) {
    sum[B460] += Money::value(r.text(0));
    sum[T420] += Money::value(r.text(1));
  }
  const std::pair<const char*, BoxSum> boxes[] = {
      {"450", B450}, {"410", T410}, {"451", B451}, {"411", T411}, {"452", B452}, {"412", T412}, {"456", B456},
      {"416", T416}, {"453", B453}, {"413", T413}, {"414", T414}, {"455", B455}, {"415", T415}, {"457", B457},
      {"417", T417}, {"458", B458}, {"418", T418}, {"459", B459}, {"419", T419}, {"460", B460}, {"420", T420},
      {"422", T422}, {"590", B590}, {"591", T591}, {"530", B530}, {"531", T531}};
  for (const auto& [box, i] : boxes) set(box, computedBox(sum[i]));
  // ESSALUD +VIDA and Asegura tu Pensión are flat amounts: their base is the amount itself.
  set("454", value("414"));
  set("462", value("422"));
  // The fourth-category retentions come from the providers' receipts (boxes 320 and 321).
  auto receipts = model::Suma_Montos(db, d_);
  std::string b320 = receipts.value("320"), b321 = receipts.value("321");
  set("461", b320.empty() || b320 == "0" ? std::string() : b320);
  set("421", b321.empty() || b321 == "0" ? std::string() : b321);
  // Credits backed by EPS invoices carry the invoices' credit total.
  for (const char* box : {"602", "612", "408", "428"})
    if (!model::epsCredit(db, d_, box).isZero()) set(box, model::epsBoxValue(db, d_, box));
  for (const char* base : {"452", "458", "453", "454", "462", "530", "590"}) afterChange(base);
  for (const auto& c : taxColumns()) Calcular(c.balance);
  CalcularTotal();
}

std::string DebtDetermination::value(std::string_view casilla) const {
  auto it = values_.find(casilla);
  return it == values_.end() ? std::string() : it->second;
}

bool DebtDetermination::editable(std::string_view casilla) const {
  return isTypedBox(casilla) && enabled(casilla);
}

bool DebtDetermination::enabled(std::string_view c) const {
  if (c == "602" || c == "612") {
    std::string b = value("452");
    return !b.empty() && b != "0";
  }
  if (c == "408" || c == "428") return !empty("458");
  if (c == "503") return d_.rectifica || param980_;
  return true;
}

bool DebtDetermination::setBox(const std::string& casilla, std::string_view typed) {
  if (!editable(casilla)) return false;
  std::string t;
  for (char ch : typed)
    if (ch != ',' && ch != ' ') t += ch;
  if (t.size() > 2 && t.front() == '(' && t.back() == ')') t = "-" + t.substr(1, t.size() - 2);
  if (!t.empty()) {
    auto m = Money::parse(t);
    if (!m) return false;
    t = std::to_string(m->rounded(0).raw() / Money::kScale);
  }
  set(casilla, t);
  afterChange(casilla);
  return true;
}

void DebtDetermination::afterChange(const std::string& c) {
  if (c == "452") {
    if (!enabled("602")) {
      set("602", "");
      set("612", "");
    }
  } else if (c == "458") {
    if (!enabled("408")) {
      set("408", "");
      set("428", "");
    }
  } else {
    static const std::map<std::string, std::string> previousOf = {
        {"453", "503"}, {"454", "504"}, {"462", "512"}, {"530", "532"}, {"590", "592"}};
    auto p = previousOf.find(c);
    if (p != previousOf.end() && empty(c)) set(p->second, "");
  }
  const TaxColumn* col = columnOf(c);
  if (!col) return;
  if (c == col->toPay)
    CalcularTotal();
  else
    Calcular(col->balance);
}

void DebtDetermination::Calcular(std::string_view balance) {
  const TaxColumn* col = columnOf(balance);
  if (!col) return;
  bool allEmpty = empty(col->tax) && (!col->interest || empty(col->interest));
  for (const char* d : col->deductions()) allEmpty = allEmpty && empty(d);
  if (allEmpty) {
    set(col->balance, "");
  } else {
    long long b = boxNumber(value(col->tax));
    for (const char* d : col->deductions()) b -= std::llabs(boxNumber(value(d)));
    b -= std::llabs(boxNumber(value(col->previousPayments)));
    if (col->interest) b += boxNumber(value(col->interest));
    set(col->balance, std::to_string(b < 0 ? 0 : b));
  }
  if (followsBalance(col->toPay)) set(col->toPay, value(col->balance));
  if (std::string_view(col->toPay) == "810") {
    // IGV contained in the SCTR amount: 19 % before March 2011, 18 % from then on.
    if (empty("460") || empty("810")) {
      set("812", "");
    } else {
      long long amount = boxNumber(value("810"));
      long long rate = sctrIgvPercent(d_.periodo);
      set("812", std::to_string(divRoundHalfAway(static_cast<__int128>(amount) * rate, 100 + rate)));
    }
  }
  CalcularTotal();
}

void DebtDetermination::CalcularTotal() {
  bool any = false;
  long long sum = 0;
  for (const auto& c : taxColumns()) {
    if (empty(c.toPay)) continue;
    any = true;
    sum += boxNumber(value(c.toPay));
  }
  total_ = any ? vbFormat(sum, "#,###,###,##0") : std::string();
}

std::string DebtDetermination::display(std::string_view casilla) const {
  return vbFormatText(value(casilla), kDisplay);
}

std::string DebtDetermination::editText(std::string_view casilla) const {
  return vbFormatText(value(casilla), "#########0");
}

std::map<std::string, std::string> DebtDetermination::typedBoxes() const {
  std::map<std::string, std::string> m;
  for (const auto& [k, v] : values_)
    if (isTypedBox(k)) m[k] = v;
  return m;
}

std::vector<Box> DebtDetermination::boxes() const {
  std::vector<Box> v;
  for (const auto& c : taxColumns()) {
    for (const char* b : c.boxes())
      if (b) v.push_back({b, value(b)});
    if (const char* igv = igvBox(c)) v.push_back({igv, value(igv)});
  }
  return v;
}

std::vector<Box> DebtDetermination::filledBoxes() const {
  std::vector<Box> filled;
  for (auto& b : boxes())
    if (!b.valor.empty()) filled.push_back(std::move(b));
  return filled;
}

}  // namespace korventa::determination
