#include "determination/person_computation.h"

#include <algorithm>
#include <span>

#include "common/text.h"
#include "common/vb_format.h"

namespace korventa::determination {
namespace {

bool blank(const std::string& s) {
  for (char c : s)
    if (c != ' ' && c != '\t') return false;
  return true;
}

bool flagAt(const std::string* s, int position) {
  return s && static_cast<int>(s->size()) >= position && (*s)[static_cast<std::size_t>(position - 1)] == '1';
}

// An amount as the stored-amount queries read it: rounded to cents ("######0.00").
Money amountValue(const std::string& s) {
  return Money::value(s).rounded(2);
}

std::string fmt(Money m) {
  return vbFormat(m, "######0.00");
}

// +Vida and "Asegura tu pensión" amounts of the registry; "0.00" means none.
std::string lifeAmount(const std::string& registryValue) {
  auto m = Money::parse(text::trim(registryValue));
  if (!m) return {};
  std::string s = fmt(*m);
  return s == "0.00" ? std::string() : s;
}

const std::string* lookup(const std::unordered_map<std::string, std::string>& map, const std::string& code) {
  auto it = map.find(code);
  return it == map.end() ? nullptr : &it->second;
}

}  // namespace

int PanelRules::slot(std::string_view code) {
  if (code.size() != 4 || code[0] != '0' || (code[1] != '6' && code[1] != '8')) return -1;
  int n = (code[2] - '0') * 10 + (code[3] - '0');
  if (code[1] == '6') return n >= 1 && n <= kWorkerPanelSize ? n - 1 : -1;
  return n >= 1 && n <= kEmployerPanelSize ? kWorkerPanelSize + n - 1 : -1;
}

PanelRule& PanelRules::operator[](std::string_view code) {
  int i = slot(code);
  if (i < 0) {
    none_ = PanelRule{};
    return none_;
  }
  return rules_[static_cast<std::size_t>(i)];
}

const PanelRule* PanelRules::find(std::string_view code) const {
  int i = slot(code);
  return i < 0 ? nullptr : &rules_[static_cast<std::size_t>(i)];
}

PositionTotals CalcularTotalxPos(const Affectations& aff, const PersonData& person) {
  PositionTotals t;
  for (const auto& row : person.concepts) {
    const std::string* general = lookup(aff.general, row.codigo);
    const std::string* own = lookup(aff.own, row.codigo);
    bool hasAccrued = !blank(row.monto), hasPaid = !blank(row.monto_pag);
    Money accrued = hasAccrued ? amountValue(row.monto) : Money();
    Money paid = hasPaid ? amountValue(row.monto_pag) : Money();
    if (general || own) {
      for (int p = 1; p <= kPositions; ++p) {
        // A concept flagged in both strings counts once per string, as the two sums add up.
        int times = (flagAt(general, p) ? 1 : 0) + (flagAt(own, p) ? 1 : 0);
        for (int k = 0; k < times; ++k) {
          if (hasAccrued) {
            t.accrued[p] += accrued;
            t.hasAccrued[p] = true;
          }
          if (hasPaid) {
            t.paid[p] += paid;
            t.hasPaid[p] = true;
          }
        }
      }
    }
    if (hasPaid && (row.codigo == "0704" || row.codigo == "0705" || row.codigo == "0707")) t.deductions += paid;
  }
  return t;
}

std::string CalcularBaseCalculo_Tmp(const PositionTotals& t, int p, std::optional<Money> extra) {
  Money sum = sumsPaid(p) ? t.paid[p] : t.accrued[p];
  if (extra) sum += *extra;
  if (sum.isZero()) return {};
  // Late arrivals, absences and other deductible discounts lower every base, never below zero.
  sum -= t.deductions;
  if (sum.isNegative()) sum = Money();
  return fmt(sum);
}

std::string amountOf(const std::string& base, Money rate) {
  if (blank(base)) return {};
  Money b = Money::value(vbFormat(Money::value(base), "###########0.00"));
  std::string s = fmt(b.times(rate));
  return s == "0.00" ? std::string() : s;
}

namespace {

// One person's pass over the concept panel: what the rules read, and the ways a rule marks a
// concept (disabled, base or amount computed, typed amount kept).
struct ConceptPass {
  ConceptPass(const ComputationContext& context, RateCache& rates, PersonData& person, PanelRules& panel)
      : ctx(context),
        p(person),
        rules(panel),
        totals(CalcularTotalxPos(context.affectations, person)),
        rate(rates.forType(person.tipo)),
        opt(rates.options()),
        per(context.periodo),
        t(person.tipo),
        worker(person.key.cod_cat_tra == kWorker) {}

  void clear(const char* code) {
    if (auto* r = p.find(code)) r->monto = r->monto_pag = r->base_calculo = std::string();
  }
  void disable(const char* code) {
    rules[code].disabled = true;
    clear(code);
  }
  void setBase(const char* code, const std::string& b) {
    rules[code].baseComputed = true;
    if (auto* r = p.find(code)) r->base_calculo = b;
  }
  void setAmount(const char* code, const std::string& a) {
    rules[code].amountComputed = true;
    if (auto* r = p.find(code)) r->monto = r->monto_pag = a;
  }
  // A typed amount stays; with no base there is nothing to declare.
  void keepTyped(const char* code, const std::string& b) {
    if (auto* r = p.find(code)) {
      if (blank(b))
        r->monto = r->monto_pag = std::string();
      else
        r->monto_pag = r->monto;
    }
  }
  std::string base(int position, std::optional<Money> extra = std::nullopt) const {
    return CalcularBaseCalculo_Tmp(totals, position, extra);
  }

  const ComputationContext& ctx;
  PersonData& p;
  PanelRules& rules;
  const PositionTotals totals;
  const RateSet& rate;
  const DeclarantOptions& opt;
  const std::string& per;
  const int t;
  const bool worker;
};

// +Vida and "Asegura tu pensión" come from the registry.
void lifeInsurance(ConceptPass& c) {
  if (c.worker && c.t == 67 && c.per < "200901") {
    c.disable("0604");
  } else {
    c.setAmount("0604", lifeAmount(c.p.ipss_vida));
  }
  c.setAmount("0612", lifeAmount(c.p.aseg_pens));
}

// Private pension system.
void privatePension(ConceptPass& c) {
  const bool spp = c.p.pension >= 21 && c.p.pension <= 25;
  for (const char* code : {"0601", "0606", "0608", "0609"})
    if (!spp) c.disable(code);
  if (spp) {
    std::string b = c.base(kPosSpp);
    c.setBase("0601", b);
    c.setBase("0608", b);
  }
  c.disable("0603");
  c.disable("0610");
}

// National pension system.
void nationalPension(ConceptPass& c) {
  const int t = c.t;
  if (c.p.pension != 2 || t == 98 || t == 88 || (t == 67 && c.per < "200806")) {
    c.disable("0607");
  } else {
    std::string b = c.base(kPosSnp);
    c.setBase("0607", b);
    if (c.opt.snp.present && c.opt.snp.valor)
      c.keepTyped("0607", b);
    else
      c.setAmount("0607", amountOf(b, c.rate.snp));
  }
}

// FCJMMS: miners under the national or a private pension system.
void minersFund(ConceptPass& c) {
  const bool fcjRegime = c.p.pension == 2 || (c.p.pension >= 21 && c.p.pension <= 24);
  const bool fcj = fcjRegime && isMinerType(c.t);
  if (fcj && c.per >= "201205") {
    std::string b = c.base(kPosFcjmms);
    c.setBase("0616", b);
    c.setAmount("0616", amountOf(b, c.rate.fcjmms));
  } else {
    c.disable("0616");
  }
  if (!(fcj && c.per >= "201208")) c.disable("0617");
}

// Fifth category: workers add their other income; the non-domiciled pay 30 %.
void fifthCategory(ConceptPass& c) {
  std::optional<Money> extra;
  if (c.worker) extra = c.p.otherIncome;
  std::string b = c.base(kPosFifth, extra);
  c.setBase("0605", b);
  if (blank(b)) {
    c.clear("0605");
  } else if (text::trim(c.p.ind_domicilio) == "2") {
    c.setAmount("0605", amountOf(b, Money::fromRaw(3000)));  // non-domiciled: 30 %
  } else {
    c.keepTyped("0605", b);
  }
}

void workerFifthCategory(ConceptPass& c) {
  const int t = c.t;
  if (t == 69 || t == 70 || t == 71 || (t == 67 && c.per < "200806"))
    c.disable("0605");
  else
    fifthCategory(c);
}

void shownConcepts(ConceptPass& c) {
  c.rules["0614"].visible = c.p.pension == 13;
  c.rules["0615"].visible = c.t == 89;
}

// Artists' social-rights fund.
void artistsFund(ConceptPass& c) {
  if (c.t == 56) {
    std::string b = c.base(kPosArtists);
    c.setBase("0802", b);
    c.setAmount("0802", amountOf(b, c.rate.artists));
  }
}

// The fishermen's ESSALUD base is at least 4.4 minimum wages, less the subsidised share.
std::string fishermenBase(const ConceptPass& c, std::string b) {
  const PersonData& p = c.p;
  int sit = codeNumber(p.situac);
  bool active = sit >= 10 && sit <= 13;
  Money lab = Money::value(p.dias_lab), nolab = Money::value(p.dias_no_lab), sub = Money::value(p.dias_sub);
  bool suspended = active && nolab > Money() && p.suspensionDays > Money();
  bool worked = active && lab > Money() && !nolab.isNegative() && !sub.isNegative();
  if (suspended || worked) {
    Money minimum = c.ctx.rmv.times(Money::fromRaw(44000));  // 4.4 minimum wages
    Money days = lab + sub + nolab;
    if (days > Money()) minimum = minimum.times(days - sub).dividedBy(days);  // less the subsidised share
    minimum = minimum.rounded(2);
    if (minimum > Money() && (blank(b) || Money::value(b) < minimum)) b = fmt(minimum);
  }
  return b;
}

// ESSALUD.
void essalud(ConceptPass& c) {
  const int t = c.t;
  if (t == 98) {
    // Left as stored.
  } else if (t == 68 || t == 69 || t == 88 || (t == 67 && c.per < "200901")) {
    c.disable("0804");
  } else {
    int pos = (t == 64 || t == 65) ? kPosEssaludAgrarian : t == 36 ? kPosEssaludFisher : kPosEssalud;
    std::string b = c.base(pos);
    if (t == 36) {
      b = fishermenBase(c, b);
    } else if (t == 67 && !blank(b)) {
      Money cap = c.ctx.uit.times(Money::fromRaw(3000)).rounded(2);  // 30 % of the UIT
      if (Money::value(b) > cap) b = fmt(cap);
    }
    c.setBase("0804", b);
    if (c.opt.essalud.present && c.opt.essalud.valor)
      c.keepTyped("0804", b);
    else
      c.setAmount("0804", amountOf(b, c.rate.essalud));
  }
}

// SCTR pension cover is typed, only for workers insured under it.
void sctrPension(ConceptPass& c) {
  if (!c.p.sctrPension) c.disable("0805");
}

// ESSALUD SCTR.
void sctrEssalud(ConceptPass& c) {
  if (c.p.sctr == 1 && c.p.sctrRate && !(c.t == 67 && c.per < "200901")) {
    std::string b = c.base(kPosSctr);
    c.setBase("0806", b);
    c.setAmount("0806", amountOf(b, fractionOf(*c.p.sctrRate)));
  } else {
    c.disable("0806");
  }
}

// SENATI.
void senati(ConceptPass& c) {
  if (c.opt.senati) {
    std::string b = c.base(kPosSenati);
    c.setBase("0807", b);
    c.keepTyped("0807", b);
  } else {
    c.disable("0807");
  }
}

// Extraordinary solidarity tax.
void solidarityTax(ConceptPass& c) {
  if (excludedFromIes(c.t) || !c.opt.subjectToIes()) {
    c.disable("0808");
  } else {
    std::string b = c.base(kPosIes);
    c.setBase("0808", b);
    if (c.opt.ies.valor)
      c.keepTyped("0808", b);
    else
      c.setAmount("0808", amountOf(b, c.rate.iesTasa));
  }
}

// Pensioners: no pension-system contributions of their own but the 20530 regime's, ESSALUD on
// their pension and the fifth category.
void pensionerContributions(ConceptPass& c) {
  for (const char* code : {"0601", "0606", "0607", "0608", "0609", "0616", "0617"}) c.disable(code);
  if (c.p.pension == 3) {
    std::string b = c.base(kPos20530);
    c.setBase("0603", b);
    c.keepTyped("0603", b);
  } else {
    c.disable("0603");
  }
  std::string b = c.base(kPosPensioners);
  c.setBase("0610", b);
  c.setAmount("0610", amountOf(b, c.rate.essalud));
  fifthCategory(c);
}

enum class AppliesTo { Everyone, Workers, Pensioners };

struct ConceptRule {
  const char* concepts;  // the concepts the rule decides
  AppliesTo who;
  void (*apply)(ConceptPass&);
};

// The rules in the order they run; later rules see what earlier ones wrote.
constexpr ConceptRule kConceptRules[] = {
    {"0604 0612", AppliesTo::Everyone, lifeInsurance},
    {"0601 0603 0606 0608 0609 0610", AppliesTo::Workers, privatePension},
    {"0607", AppliesTo::Workers, nationalPension},
    {"0616 0617", AppliesTo::Workers, minersFund},
    {"0605", AppliesTo::Workers, workerFifthCategory},
    {"0614 0615", AppliesTo::Workers, shownConcepts},
    {"0802", AppliesTo::Workers, artistsFund},
    {"0804", AppliesTo::Workers, essalud},
    {"0805", AppliesTo::Workers, sctrPension},
    {"0806", AppliesTo::Workers, sctrEssalud},
    {"0807", AppliesTo::Workers, senati},
    {"0808", AppliesTo::Workers, solidarityTax},
    {"0601 0603 0605 0606 0607 0608 0609 0610 0616 0617", AppliesTo::Pensioners, pensionerContributions},
};

}  // namespace

PanelRules CalcularConceptos_Tmp(const ComputationContext& ctx, RateCache& rates, PersonData& p) {
  PanelRules rules;
  const bool worker = p.key.cod_cat_tra == kWorker;
  const bool pensioner = p.key.cod_cat_tra == kPensioner;
  if (!worker && !pensioner) return rules;

  ConceptPass pass(ctx, rates, p, rules);
  for (const auto& rule : kConceptRules) {
    if (rule.who == AppliesTo::Workers && !worker) continue;
    if (rule.who == AppliesTo::Pensioners && worker) continue;
    rule.apply(pass);
  }

  for (auto& r : p.concepts) {
    if (baseAlwaysEmpty(r.codigo)) r.base_calculo.clear();
    // Contributions have one amount: the paid column repeats the accrued one.
    if (r.group() == "06" || r.group() == "08") r.monto_pag = r.monto;
  }
  return rules;
}

namespace {

// The income columns of one group each (the first two digits of the code).
constexpr std::pair<SummaryColumn, int> kGroupColumns[] = {
    {kIngresos, 1}, {kIngAsig, 2},      {kIngBonif, 3},      {kIngGratif, 4},    {kIngIndemniz, 5}, {kIngPublico, 20},
    {kDescTrab, 7}, {kOtrosConcep, 10}, {kAportTrabPens, 6}, {kConcepVarios, 9}, {kAportEmp, 8}};
// The groups of the total income and of the deductions; the net pay is the first less the second.
constexpr int kIncomeGroups[] = {1, 2, 3, 4, 5, 9, 10, 20};
constexpr int kDeductionGroups[] = {7, 6};

bool inGroups(int g, std::span<const int> groups) {
  return std::find(groups.begin(), groups.end(), g) != groups.end();
}

// A concept row as the source of the summary columns its group feeds.
void recordGroupRow(model::AmountRecorder& rec, const ConceptRow& r, int g, Money amount) {
  model::AmountSource src{.kind = "Concepto", .code = r.codigo, .descrip = r.descrip};
  src.rule = std::string(g == 7 ? "monto pagado" : "monto devengado") + ", grupo " + r.group();
  auto add = [&](SummaryColumn column, Money a) {
    src.amount = a;
    rec.source(summaryColumnName(column), src);
  };
  for (auto [column, group] : kGroupColumns)
    if (group == g) add(column, amount);
  if (inGroups(g, kIncomeGroups)) {
    add(kTotIngresos, amount);
    add(kNetoPagar, amount);
  }
  if (inGroups(g, kDeductionGroups)) {
    add(kAportDes, amount);
    add(kNetoPagar, -amount);
  }
}

void recordTotal(model::AmountRecorder* rec, SummaryColumn column, Money sum, const std::string& value) {
  if (!rec) return;
  const char* target = summaryColumnName(column);
  rec->step(target, {model::StepKind::Sum, "Suma", sum, sum});
  if (value.empty())
    rec->step(target, {model::StepKind::Empty, sum.isZero() ? "Sin importes" : "Negativo: vacío", sum, Money()});
}

// A base or amount column copies the base or the amount of one contribution concept.
void recordCopy(model::AmountRecorder& rec, SummaryColumn column, const char* code, const ConceptRow* r, bool base,
                const std::string& value) {
  const char* target = summaryColumnName(column);
  const char* what = base ? "base de cálculo" : "monto";
  if (blank(value)) {
    rec.step(target, {model::StepKind::Empty, std::string("Sin ") + what + " del concepto " + code, Money(), Money()});
    return;
  }
  Money v = Money::value(value);
  rec.source(target,
             {.kind = "Concepto", .code = code, .descrip = r ? r->descrip : std::string(), .rule = what, .amount = v});
  rec.step(target, {model::StepKind::Copy, std::string("Igual a la ") + what + " del concepto " + code, v, v});
}

void contributionColumns(const PersonData& p, Summary& s, model::AmountRecorder* rec) {
  auto take = [&](SummaryColumn column, const char* code, bool base) {
    const ConceptRow* r = p.find(code);
    s[column] = r ? (base ? r->base_calculo : r->monto) : std::string();
    if (rec) recordCopy(*rec, column, code, r, base, s[column]);
  };
  take(kRem20530, "0603", true);
  take(kTrib20530, "0603", false);
  take(kRemAfecta, "0605", true);
  take(kTributo, "0605", false);
  take(kRemPens, "0607", true);
  take(kPens, "0607", false);
  const int t = p.tipo;
  const bool worker = p.key.cod_cat_tra == kWorker;
  if (worker && isMinerType(t)) {
    take(kRemFcjmms, "0616", true);
    take(kAporteFcjmms, "0616", false);
    take(kRemFracFcjmms, "0617", true);
    take(kAporteFrFcjmms, "0617", false);
  }
  take(kFondoDsa, "0802", true);
  take(kAporteFdsa, "0802", false);
  if (worker) {
    if (t != 24 && t != 26 && t != 88 && t != 98) take(kRemSalud, "0804", true);
    if (t != 24 && t != 26 && t != 36 && t != 64 && t != 65 && t != 88 && t != 98) take(kSalud, "0804", false);
    if (t == 36) take(kCbssp, "0804", false);
    if (t == 64 || t == 65) take(kSaludAgrario, "0804", false);
  } else {
    take(kRemSalud, "0610", true);
    take(kSalud, "0610", false);
  }
  take(kSctrEssalud, "0806", true);
  take(kSctrTributo, "0806", false);
}

}  // namespace

Summary SumaIngresos_Tmp(const PersonData& p, model::AmountRecorder* rec) {
  if (rec)
    for (int c = 0; c < kSummaryColumns; ++c) rec->reset(summaryColumnName(c));
  // Groups are the first two digits of the code.
  std::array<Money, 100> sums{};
  std::array<bool, 100> has{};
  for (const auto& r : p.concepts) {
    if (r.codigo.size() < 2 || r.codigo[0] < '0' || r.codigo[0] > '9' || r.codigo[1] < '0' || r.codigo[1] > '9')
      continue;
    int g = (r.codigo[0] - '0') * 10 + (r.codigo[1] - '0');
    const std::string& amount = g == 7 ? r.monto_pag : r.monto;
    if (blank(amount)) continue;
    sums[static_cast<std::size_t>(g)] += amountValue(amount);
    has[static_cast<std::size_t>(g)] = true;
    if (rec) recordGroupRow(*rec, r, g, amountValue(amount));
  }
  auto total = [&](std::span<const int> groups) {
    Money m;
    for (int g : groups) m += sums[static_cast<std::size_t>(g)];
    return m;
  };

  Summary s;
  for (auto [column, g] : kGroupColumns) {
    s[column] = has[g] ? vbFormat(sums[g], "########0.00") : std::string();
    recordTotal(rec, column, sums[g], s[column]);
  }
  for (auto [column, groups] : {std::pair{kTotIngresos, std::span<const int>(kIncomeGroups)},
                                std::pair{kAportDes, std::span<const int>(kDeductionGroups)}}) {
    Money m = total(groups);
    s[column] = m.isNegative() ? std::string() : vbFormat(m, "########0.00");
    recordTotal(rec, column, m, s[column]);
  }
  // What the person receives, as on the pay statement: gross income less deductions (07 + 06);
  // a negative net is shown as such (the deductions exceed the income).
  Money net = total(kIncomeGroups) - total(kDeductionGroups);
  s[kNetoPagar] = vbFormat(net, "########0.00");
  recordTotal(rec, kNetoPagar, net, s[kNetoPagar]);
  contributionColumns(p, s, rec);
  return s;
}

void Ingresos_TmpConcep(const ComputationContext& ctx, PersonData& p) {
  std::vector<std::string> have;
  have.reserve(p.concepts.size() + ctx.conceptSet.size());
  for (const auto& r : p.concepts) have.push_back(r.codigo);
  std::sort(have.begin(), have.end());
  std::size_t sorted = have.size();
  auto has = [&](const std::string& code) {
    if (std::binary_search(have.begin(), have.begin() + static_cast<std::ptrdiff_t>(sorted), code)) return true;
    return std::find(have.begin() + static_cast<std::ptrdiff_t>(sorted), have.end(), code) != have.end();
  };
  auto add = [&](const std::string& code, const std::string& descrip) {
    if (has(code) || !ctx.types.ExisteTipoConcepto(p.tipo, code, ctx.periodo)) return;
    ConceptRow r;
    r.codigo = code;
    r.descrip = descrip;
    p.concepts.push_back(std::move(r));
    have.push_back(code);
  };
  for (const auto& def : ctx.conceptSet) add(def.codigo, def.descrip);
  // +Vida and "Asegura tu pensión" are owed whenever the registry gives the person an amount.
  for (auto [code, value] : {std::pair{"0604", &p.ipss_vida}, std::pair{"0612", &p.aseg_pens}}) {
    if (has(code) || lifeAmount(*value).empty()) continue;
    std::string descrip;
    for (const auto& d : ctx.catalogue)
      if (d.codigo == code) descrip = d.descrip;
    add(code, descrip);
  }
}

PanelRules computePerson(const ComputationContext& ctx, RateCache& rates, PersonData& person) {
  Ingresos_TmpConcep(ctx, person);
  PanelRules rules = CalcularConceptos_Tmp(ctx, rates, person);
  person.summary = SumaIngresos_Tmp(person);
  return rules;
}

}  // namespace korventa::determination
