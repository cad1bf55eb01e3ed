#include "determination/person_computation.h"

#include <algorithm>
#include <map>

#include "common/text.h"
#include "common/vb_format.h"

namespace korventa::determination {
namespace {

using text::blank;

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

std::string positionTarget(int position) {
  return "pos:" + std::to_string(position);
}

namespace {

// A concept row counted at a position (the amount the position sums: accrued or paid).
void recordAffected(model::AmountRecorder& rec, const ConceptRow& row, int p, bool own, Money amount) {
  rec.source(positionTarget(p), {.kind = "Concepto",
                                 .code = row.codigo,
                                 .descrip = row.descrip,
                                 .rule = "posición " + std::to_string(p) +
                                         (own ? " de la afectación propia (TRIBUT_AFECTA)"
                                              : " de la afectación general (PARAM_REMUNERA)") +
                                         (sumsPaid(p) ? ", monto pagado" : ", monto devengado"),
                                 .amount = amount});
}

}  // namespace

PositionTotals CalcularTotalxPos(const Affectations& aff, const PersonData& person, model::AmountRecorder* rec) {
  PositionTotals t;
  for (const auto& row : person.concepts) {
    bool hasAccrued = !blank(row.monto), hasPaid = !blank(row.monto_pag);
    if (!hasAccrued && !hasPaid) continue;  // an offered row without amounts adds nothing
    const std::string* general = lookup(aff.general, row.codigo);
    const std::string* own = lookup(aff.own, row.codigo);
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
          if (rec && (sumsPaid(p) ? hasPaid : hasAccrued))
            recordAffected(*rec, row, p, k == 1 || !flagAt(general, p), sumsPaid(p) ? paid : accrued);
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
// The rows CalcularTotalxPos counted at each position, kept while recording.
class PositionSources : public model::AmountRecorder {
 public:
  void reset(std::string_view) override {}
  void source(std::string_view target, model::AmountSource s) override {
    sources[std::string(target)].push_back(std::move(s));
  }
  void step(std::string_view, model::AmountStep) override {}
  std::map<std::string, std::vector<model::AmountSource>> sources;
};

struct ConceptPass {
  ConceptPass(const ComputationContext& context, RateCache& rates, PersonData& person, PanelRules& panel,
              model::AmountRecorder* recorder)
      : ctx(context),
        p(person),
        rules(panel),
        rec(recorder),
        totals(CalcularTotalxPos(context.affectations, person, rec ? &counted : nullptr)),
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
    if (rec && lastPosition > 0) recordBase(code, b);
  }
  void recordBase(const char* code, const std::string& b);
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
  std::string base(int position, std::optional<Money> extra = std::nullopt) {
    lastPosition = position;
    lastExtra = extra;
    return CalcularBaseCalculo_Tmp(totals, position, extra);
  }

  const ComputationContext& ctx;
  PersonData& p;
  PanelRules& rules;
  model::AmountRecorder* rec;
  PositionSources counted;  // declared before `totals`, which fills it
  int lastPosition = 0;     // of the last base computed, for the recorder
  std::optional<Money> lastExtra;
  const PositionTotals totals;
  const RateSet& rate;
  const DeclarantOptions& opt;
  const std::string& per;
  const int t;
  const bool worker;
};

// The base of a concept as CalcularBaseCalculo_Tmp makes it, step by step, and the rule of the
// worker type that replaced it, if one did.
void ConceptPass::recordBase(const char* code, const std::string& b) {
  using model::StepKind;
  const std::string target = baseTarget(code);
  const int pos = lastPosition;
  rec->reset(target);
  for (const auto& s : counted.sources[positionTarget(pos)]) rec->source(target, s);
  Money v = sumsPaid(pos) ? totals.paid[pos] : totals.accrued[pos];
  rec->step(target, {StepKind::Sum, "Conceptos afectos a la posición " + std::to_string(pos), v, v});
  if (lastExtra) {
    v += *lastExtra;
    rec->step(target, {StepKind::Add, "Ingresos de otros empleadores", *lastExtra, v});
  }
  if (v.isZero()) {
    rec->step(target, {StepKind::Empty, "Nada afecto", Money(), Money()});
  } else if (!totals.deductions.isZero()) {
    v -= totals.deductions;
    rec->step(target, {StepKind::Subtract, "Menos tardanzas, inasistencias y otros descuentos (0704, 0705, 0707)",
                       totals.deductions, v});
    if (v.isNegative()) v = Money();
    rec->step(target, {StepKind::AtLeastZero, "Base no menor que cero", v, v});
  }
  Money stored = blank(b) ? Money() : Money::value(b);
  if (stored != v)
    rec->step(target, {StepKind::Adjust, "Regla del tipo de trabajador (base mínima o tope)", stored, stored});
}

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
  if (fcj && c.per >= kFcjmmsFrom) {
    std::string b = c.base(kPosFcjmms);
    c.setBase("0616", b);
    c.setAmount("0616", amountOf(b, c.rate.fcjmms));
  } else {
    c.disable("0616");
  }
  if (!(fcj && c.per >= kFcjmmsQuotaFrom)) c.disable("0617");
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

std::string baseTarget(std::string_view code) {
  return "base:" + std::string(code);
}

PanelRules CalcularConceptos_Tmp(const ComputationContext& ctx, RateCache& rates, PersonData& p,
                                 model::AmountRecorder* rec) {
  PanelRules rules;
  const bool worker = p.key.cod_cat_tra == kWorker;
  const bool pensioner = p.key.cod_cat_tra == kPensioner;
  if (!worker && !pensioner) return rules;

  ConceptPass pass(ctx, rates, p, rules, rec);
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

bool offeredIn(Offer offer, std::string_view code) {
  return offer == Offer::All || text::startsWith(code, "06") || text::startsWith(code, "08");
}

}  // namespace

std::size_t offeredRows(const ComputationContext& ctx, Offer offer) {
  std::size_t candidates = 2;  // 0604 and 0612 from the registry
  for (const auto& def : ctx.conceptSet) candidates += offeredIn(offer, def.codigo) ? 1 : 0;
  return candidates;
}

void Ingresos_TmpConcep(const ComputationContext& ctx, PersonData& p, Offer offer) {
  auto offered = [offer](std::string_view code) { return offeredIn(offer, code); };
  const std::size_t candidates = offeredRows(ctx, offer);
  // The codes the person holds, sorted once; codes added here are kept apart (a set may name a
  // concept twice, the second is not offered again).
  std::vector<std::string_view> held;
  std::vector<std::string> added;
  p.concepts.reserve(p.concepts.size() + candidates);
  held.reserve(p.concepts.size());
  added.reserve(candidates);
  for (const auto& r : p.concepts) held.push_back(r.codigo);
  std::sort(held.begin(), held.end());
  auto has = [&](std::string_view code) {
    return std::binary_search(held.begin(), held.end(), code) ||
           std::find(added.begin(), added.end(), code) != added.end();
  };
  // `held` looks into the rows already there: the rows added below go to reserved room and
  // move none of them.
  auto add = [&](const std::string& code, const std::string& descrip) {
    if (!offered(code) || has(code) || !ctx.types.ExisteTipoConcepto(p.tipo, code, ctx.periodo)) return;
    ConceptRow& r = p.concepts.emplace_back();
    r.codigo = code;
    r.descrip = descrip;
    added.push_back(code);
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

PanelRules computePerson(const ComputationContext& ctx, RateCache& rates, PersonData& person,
                         model::AmountRecorder* rec, Offer offer) {
  Ingresos_TmpConcep(ctx, person, offer);
  PanelRules rules = CalcularConceptos_Tmp(ctx, rates, person, rec);
  person.summary = SumaIngresos_Tmp(person, rec);
  return rules;
}

}  // namespace korventa::determination
