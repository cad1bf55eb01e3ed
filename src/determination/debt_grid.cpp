#include "determination/debt_grid.h"

#include <array>
#include <cstdlib>
#include <optional>
#include <set>

#include "common/text.h"
#include "common/vb_format.h"
#include "data/param.h"
#include "model/computed_persons.h"
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
// The box of each sum.
constexpr const char* kSumBox[kSums] = {"450", "410", "451", "411", "452", "412", "456", "416", "453",
                                        "413", "414", "455", "415", "457", "417", "458", "418", "459",
                                        "419", "460", "420", "422", "590", "591", "530", "531"};

constexpr const char* kPersonColumns =
    "SELECT cod_cat_tra, Tipo, rem_pens, pens, rem_salud, salud, salud_agrario, fondo_dsa, aporte_fdsa, ipss_vida, "
    "rem_afecta, tributo, rem_20530, trib_20530, cbssp, sctr_essalud, sctr_tributo, aseg_pens, rem_FCJMMS, "
    "aporte_FCJMMS, rem_FracFCJMMS, aporte_FrFCJMMS";
// Who the person is, read only while recording (columns kWho, kWho + 1, kWho + 2).
constexpr const char* kPersonWho = ", tip_doc_a, doc_id_a, Nombre";
constexpr int kWho = 22;

model::AmountSource personSource(const data::Row& r, std::size_t column, Money amount) {
  bool pensioner = r.integer(0) == 2;
  return {.kind = pensioner ? "Pensionista" : "Trabajador",
          .tipDoc = r.text(kWho),
          .doc = r.text(kWho + 1),
          .name = r.text(kWho + 2),
          .reference = r.names()[column],  // the person's summary column
          .rule = std::string(pensioner ? "pensionista" : "trabajador") + " de tipo " + text::trim(r.text(1)),
          .amount = amount};
}

model::AmountSource boxSource(const std::string& casilla, Money amount) {
  return {.kind = "Casilla", .reference = casilla, .rule = boxCaption(casilla), .amount = amount};
}

// The fourth-category receipts are heard as sources of boxes 320 and 321, which 461 and 421 copy.
class FourthCategoryRecorder : public model::AmountRecorder {
 public:
  explicit FourthCategoryRecorder(model::AmountRecorder& to) : to_(to) {}
  void reset(std::string_view) override {}
  void source(std::string_view box, model::AmountSource s) override {
    if (box == "320") to_.source("461", std::move(s));
    if (box == "321") to_.source("421", std::move(s));
  }
  void step(std::string_view, model::AmountStep) override {}

 private:
  model::AmountRecorder& to_;
};

}  // namespace

std::string boxCaption(std::string_view casilla) {
  const TaxColumn* col = columnOf(casilla);
  if (!col) return std::string(casilla);
  if (casilla == "812") return std::string(col->label) + " · IGV";
  auto boxes = col->boxes();
  for (std::size_t i = 0; i < boxes.size(); ++i)
    if (boxes[i] && casilla == boxes[i]) return std::string(col->label) + " · " + gridRowCaptions()[i];
  return col->label;
}

void DebtDetermination::sumPersons(std::vector<Money>& sum) const {
  std::string sql = kPersonColumns;
  if (rec_) sql += kPersonWho;
  for (const auto& r : s_.database().rows(sql + " FROM TEMP1_F601 WHERE cod_cat_tra IN (1, 2)")) {
    auto add = [&](BoxSum box, std::size_t column) {
      Money m = Money::value(r.text(column));
      sum[box] += m;
      if (rec_ && !m.isZero()) rec_->source(kSumBox[box], personSource(r, column, m));
    };
    bool pensioner = r.integer(0) == 2;
    std::string tipo = r.text(1);
    add(B451, 2);
    add(T411, 3);
    if (pensioner) {
      add(B459, 4);
      add(T419, 5);
    } else if (workerTypeIn(tipo, {64, 65})) {
      add(B456, 4);
    } else if (workerTypeIn(tipo, {36, 26})) {
      add(B458, 4);
    } else {
      add(B452, 4);
      add(T412, 5);
    }
    add(T416, 6);
    add(B453, 7);
    add(T413, 8);
    add(T414, 9);
    add(B455, 10);
    add(T415, 11);
    add(B457, 12);
    add(T417, 13);
    add(T418, 14);
    if (!pensioner) {
      add(B460, 15);
      add(T420, 16);
    }
    add(T422, 17);
    add(B590, 18);
    add(T591, 19);
    add(B530, 20);
    add(T531, 21);
  }
}

namespace {

// The 0808 rows' bases and taxes from the rows the computation holds, when they are the table's.
bool sum0808Held(data::Database& db, const model::OpenDeclaration& d, Money& base, Money& tax) {
  const auto* held = model::heldComputed(db, d);
  if (!held || !held->plainTexts || held->rows != held->tableRows) return false;
  // SQL's TRIM(COALESCE(x, '')) <> '' on a held text.
  auto notBlank = [](std::string_view t) { return t.find_first_not_of(' ') != std::string_view::npos; };
  for (const auto& p : held->persons)
    for (const auto& c : p.concepts) {
      if (held->text(c, 0) != "0808" || !notBlank(held->text(c, 3)) || !notBlank(held->text(c, 1))) continue;
      base += Money::value(std::string(held->text(c, 3)));
      tax += Money::value(std::string(held->text(c, 1)));
    }
  return true;
}

}  // namespace

void DebtDetermination::sumOtherRows(std::vector<Money>& sum) const {
  auto& db = s_.database();
  // The extraordinary solidarity tax: concept 0808 of every person.
  Money heldBase, heldTax;
  if (!rec_ && sum0808Held(db, d_, heldBase, heldTax)) {
    sum[B450] += heldBase;
    sum[T410] += heldTax;
  } else {
    model::writeHeldRows(db, d_);  // the table is read: with every row in it
    sum0808(sum);
  }
  sumSctrRows(sum);
}

void DebtDetermination::sum0808(std::vector<Money>& sum) const {
  auto& db = s_.database();
  std::string sql = "SELECT base_calculo, monto";
  if (rec_)
    sql +=
        ", tip_doc_a, doc_id_a, descrip, (SELECT Nombre FROM TEMP1_F601 t WHERE t.tip_doc_a = c.tip_doc_a AND "
        "t.doc_id_a = c.doc_id_a AND t.Correl_a = c.correl_a AND t.cod_cat_tra = c.cod_cat_tra)";
  for (const auto& r : db.rows(sql + " FROM TMPF601CONCEP c WHERE codigo = '0808' AND "
                                     "TRIM(COALESCE(base_calculo, '')) <> '' AND TRIM(COALESCE(monto, '')) <> ''")) {
    Money base = Money::value(r.text(0)), tax = Money::value(r.text(1));
    sum[B450] += base;
    sum[T410] += tax;
    if (!rec_) continue;
    model::AmountSource s{.kind = "Concepto",
                          .tipDoc = r.text(2),
                          .doc = r.text(3),
                          .name = r.text(5),
                          .code = "0808",
                          .descrip = r.text(4)};
    s.rule = "base de cálculo del concepto";
    s.amount = base;
    if (!base.isZero()) rec_->source("450", s);
    s.rule = "monto del concepto";
    s.amount = tax;
    if (!tax.isZero()) rec_->source("410", s);
  }
}

void DebtDetermination::sumSctrRows(std::vector<Money>& sum) const {
  auto& db = s_.database();
  std::string sql;
  // ESSALUD SCTR of the establishments' risk insurance.
  sql = "SELECT rem_sctrs, sctrs";
  if (rec_) sql += ", tip_doc_a, DOC_ID_A, NOMBRE, centro, Tasa, Ruc";
  for (const auto& r : db.rows(sql + " FROM TEMP2_F601")) {
    Money base = Money::value(r.text(0)), tax = Money::value(r.text(1));
    sum[B460] += base;
    sum[T420] += tax;
    if (!rec_) continue;
    model::AmountSource s{.kind = "Establecimiento",
                          .tipDoc = r.text(2),
                          .doc = r.text(3),
                          .name = r.text(4),
                          .reference = r.text(7) + " " + text::trim(r.text(5)),
                          .rule = "tasa " + text::trim(r.text(6)) + " %"};
    s.amount = base;
    if (!base.isZero()) rec_->source("460", s);
    s.amount = tax;
    if (!tax.isZero()) rec_->source("420", s);
  }
}

void DebtDetermination::recordSum(const char* casilla, Money sum) const {
  if (!rec_) return;
  Money box = Money::value(value(casilla));
  rec_->step(casilla, {model::StepKind::Sum, "Suma", sum, sum});
  rec_->step(casilla, {model::StepKind::Round, "Redondeo a soles enteros", sum, box});
}

void DebtDetermination::fillReceiptsAndCredits() {
  auto& db = s_.database();
  // The fourth-category retentions come from the providers' receipts (boxes 320 and 321).
  std::optional<FourthCategoryRecorder> fourth;
  if (rec_) fourth.emplace(*rec_);
  auto receipts = model::Suma_Montos(db, d_, model::VoucherSource::Working, fourth ? &*fourth : nullptr);
  std::string b320 = receipts.value("320"), b321 = receipts.value("321");
  set("461", b320.empty() || b320 == "0" ? std::string() : b320);
  set("421", b321.empty() || b321 == "0" ? std::string() : b321);
  recordSum("461", receipts.amounts);
  recordSum("421", receipts.retentions);
  // Credits backed by EPS invoices carry the invoices' credit total; without any the box is typed.
  for (const char* box : {"602", "612", "408", "428"}) {
    if (rec_) rec_->reset(box);
    Money credit = model::epsCredit(db, d_, box, rec_);
    if (!credit.isZero()) {
      set(box, model::epsBoxValue(credit));
      recordSum(box, credit);
    } else if (rec_) {
      rec_->reset(box);
    }
  }
}

void DebtDetermination::recomputeBases() {
  if (rec_)
    for (const char* box : {"461", "421"}) rec_->reset(box);
  if (rec_)
    for (const char* box : kSumBox) rec_->reset(box);
  std::vector<Money> sum(kSums);
  sumPersons(sum);
  sumOtherRows(sum);
  for (int i = 0; i < kSums; ++i) {
    set(kSumBox[i], computedBox(sum[i]));
    recordSum(kSumBox[i], sum[i]);
  }
  // ESSALUD +VIDA and Asegura tu Pensión are flat amounts: their base is the amount itself.
  for (auto [base, tax] : {std::pair{"454", "414"}, std::pair{"462", "422"}}) {
    set(base, value(tax));
    if (!rec_) continue;
    Money v = Money::value(value(tax));
    rec_->reset(base);
    if (!empty(tax)) rec_->source(base, boxSource(tax, v));
    rec_->step(base, {model::StepKind::Copy, std::string("Igual a la casilla ") + tax, v, v});
  }
  fillReceiptsAndCredits();
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
  // Without a base there is no EPS credit either.
  auto clearCredits = [&](const char* credit, const char* before) {
    for (const char* box : {credit, before}) {
      set(box, "");
      if (!rec_) continue;
      rec_->reset(box);
      rec_->step(box, {model::StepKind::Empty, "Casilla " + c + " vacía: sin crédito", Money(), Money()});
    }
  };
  if (c == "452") {
    if (!enabled("602")) clearCredits("602", "612");
  } else if (c == "458") {
    if (!enabled("408")) clearCredits("408", "428");
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
  long long b = 0;
  if (allEmpty) {
    set(col->balance, "");
  } else {
    b = boxNumber(value(col->tax));
    for (const char* d : col->deductions()) b -= std::llabs(boxNumber(value(d)));
    b -= std::llabs(boxNumber(value(col->previousPayments)));
    if (col->interest) b += boxNumber(value(col->interest));
    set(col->balance, std::to_string(b < 0 ? 0 : b));
  }
  recordBalance(*col, b, allEmpty);
  if (followsBalance(col->toPay)) {
    set(col->toPay, value(col->balance));
    if (rec_) {
      Money v = Money::value(value(col->balance));
      rec_->reset(col->toPay);
      if (!empty(col->balance)) rec_->source(col->toPay, boxSource(col->balance, v));
      rec_->step(col->toPay, {model::StepKind::Copy, std::string("Igual a la casilla ") + col->balance, v, v});
    }
  }
  if (std::string_view(col->toPay) == "810") IGV812();
  CalcularTotal();
}

void DebtDetermination::IGV812() {
  if (rec_) rec_->reset("812");
  // IGV contained in the SCTR amount: 19 % before March 2011, 18 % from then on.
  if (empty("460") || empty("810")) {
    set("812", "");
    if (rec_) rec_->step("812", {model::StepKind::Empty, "Casilla 460 u 810 vacía", Money(), Money()});
    return;
  }
  long long amount = boxNumber(value("810"));
  long long rate = sctrIgvPercent(d_.periodo);
  long long igv = divRoundHalfAway(static_cast<__int128>(amount) * rate, 100 + rate);
  set("812", std::to_string(igv));
  if (!rec_) return;
  rec_->source("812", boxSource("810", Money::fromUnits(amount)));
  rec_->step("812", {model::StepKind::Share,
                     "IGV contenido: " + std::to_string(rate) + "/" + std::to_string(100 + rate) + ", a soles enteros",
                     Money::fromUnits(amount), Money::fromUnits(igv)});
}

void DebtDetermination::recordBalance(const TaxColumn& col, long long unclamped, bool allEmpty) const {
  if (!rec_) return;
  rec_->reset(col.balance);
  if (allEmpty) {
    rec_->step(col.balance, {model::StepKind::Empty, "Sin impuesto, deducciones ni interés", Money(), Money()});
    return;
  }
  auto add = [&](const char* box, bool subtracts) {
    if (!box || empty(box)) return;
    long long v = boxNumber(value(box));
    rec_->source(col.balance, boxSource(box, Money::fromUnits(subtracts ? -std::llabs(v) : v)));
  };
  add(col.tax, false);
  for (const char* d : col.deductions()) add(d, true);
  add(col.previousPayments, true);
  add(col.interest, false);
  Money b = Money::fromUnits(unclamped);
  rec_->step(col.balance, {model::StepKind::Sum, "Impuesto − deducciones − pagos previos + interés", b, b});
  rec_->step(col.balance, {model::StepKind::AtLeastZero, "Saldo no menor que cero", b, b.isNegative() ? Money() : b});
}

void DebtDetermination::CalcularTotal() {
  bool any = false;
  long long sum = 0;
  if (rec_) rec_->reset("total");
  for (const auto& c : taxColumns()) {
    if (empty(c.toPay)) continue;
    any = true;
    sum += boxNumber(value(c.toPay));
    if (rec_) rec_->source("total", boxSource(c.toPay, Money::fromUnits(boxNumber(value(c.toPay)))));
  }
  total_ = any ? vbFormat(sum, "#,###,###,##0") : std::string();
  if (rec_) {
    Money m = Money::fromUnits(sum);
    rec_->step("total", {model::StepKind::Sum, "Suma de los importes a pagar", m, m});
  }
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
