// The summary row of a person (SumaIngresos_Tmp): income groups, totals, net pay and the bases
// and amounts of the contribution concepts, with what a recorder hears of each column.
#include <algorithm>
#include <span>

#include "common/text.h"
#include "common/vb_format.h"
#include "determination/person_computation.h"

namespace korventa::determination {
namespace {

using text::blank;

// An amount as the stored-amount queries read it: rounded to cents ("######0.00").
Money amountValue(const std::string& s) {
  return Money::value(s).rounded(2);
}

}  // namespace

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
  rec.step(target, {model::StepKind::Copy,
                    std::string(base ? "Igual a la " : "Igual al ") + what + " del concepto " + code, v, v});
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

}  // namespace korventa::determination
