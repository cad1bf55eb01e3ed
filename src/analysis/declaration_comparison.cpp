#include "analysis/declaration_comparison.h"

#include <algorithm>
#include <set>

#include "analysis/box_reasons.h"
#include "analysis/stored_persons.h"
#include "common/dates.h"
#include "common/text.h"
#include "data/param.h"

namespace korventa::analysis {
namespace {

using printouts::DeclarationRef;

Money absolute(Money m) {
  return m.isNegative() ? -m : m;
}

std::vector<ColumnChange> allColumns(const StoredPerson& p, bool entered) {
  std::vector<ColumnChange> out;
  for (const auto& [c, v] : p.columns) {
    if (v.isZero()) continue;
    ColumnChange ch{c, columnCaption(c), {}, {}};
    (entered ? ch.after : ch.before) = v;
    out.push_back(ch);
  }
  return out;
}

std::vector<ColumnChange> changedColumns(const StoredPerson& before, const StoredPerson& after, Money threshold) {
  std::set<std::string> names;
  for (const auto& [c, v] : before.columns) names.insert(c);
  for (const auto& [c, v] : after.columns) names.insert(c);
  std::vector<ColumnChange> out;
  for (const auto& c : names) {
    auto b = before.columns.find(c), a = after.columns.find(c);
    ColumnChange ch{c, columnCaption(c), b == before.columns.end() ? Money() : b->second,
                    a == after.columns.end() ? Money() : a->second};
    if (absolute(ch.difference()) > threshold) out.push_back(ch);
  }
  return out;
}

void sortColumns(std::vector<ColumnChange>& columns) {
  std::stable_sort(columns.begin(), columns.end(), [](const ColumnChange& a, const ColumnChange& b) {
    return columnOrder(a.column) < columnOrder(b.column);
  });
}

// Why a person's amounts moved, as far as the stored rows tell.
std::vector<std::string> personReasons(const StoredPerson& before, const StoredPerson& after, PeriodRates& rates) {
  std::vector<std::string> r;
  if (before.tipo != after.tipo) r.push_back("Tipo de trabajador cambió: " + before.tipo + " → " + after.tipo);
  if (before.dias != after.dias)
    r.push_back("Días laborados cambiaron: " + (before.dias.empty() ? "-" : before.dias) + " → " +
                (after.dias.empty() ? "-" : after.dias));
  for (const auto& [code, amount] : after.concepts) {
    auto it = before.concepts.find(code);
    if (it == before.concepts.end()) {
      r.push_back("Concepto nuevo " + code + ": " + amount.toText(2));
      if (auto rule = rates.conceptRule(code); !rule.empty()) r.push_back(rule);
    } else if (it->second != amount && !isTributeConcept(code))
      r.push_back("Concepto " + code + " cambió: " + it->second.toText(2) + " → " + amount.toText(2));
  }
  for (const auto& [code, amount] : before.concepts)
    if (!after.concepts.count(code)) r.push_back("Concepto retirado " + code + ": " + amount.toText(2));
  for (auto& t : rates.reasonsFor(after.tipo.empty() ? before.tipo : after.tipo)) r.push_back(std::move(t));
  return r;
}

// Reasons of the boxes that sum over every person: the days worked.
std::map<std::string, std::vector<std::string>> sharedReasons(const StoredPersons& before, const StoredPersons& after) {
  int days = 0;
  for (const auto& [k, p] : after)
    if (auto it = before.find(k); it != before.end() && it->second.dias != p.dias) ++days;
  if (days == 0) return {};
  return {{"730", {"Días laborados cambiaron en " + std::to_string(days) + (days == 1 ? " persona" : " personas")}}};
}

void sortPersons(std::vector<PersonDifference>& persons) {
  auto rank = [](const PersonDifference& d) {
    return std::make_tuple(static_cast<int>(d.state), d.person.category, d.person.tipDoc, d.person.doc);
  };
  std::stable_sort(persons.begin(), persons.end(),
                   [&](const PersonDifference& a, const PersonDifference& b) { return rank(a) < rank(b); });
}

std::vector<PersonDifference> comparePersons(const StoredPersons& before, const StoredPersons& after, Money threshold,
                                             PeriodRates& rates) {
  std::vector<PersonDifference> out;
  for (const auto& [k, p] : after) {
    auto it = before.find(k);
    if (it == before.end()) {
      PersonDifference d{PersonState::Entered, p.person, allColumns(p, true), {}};
      d.reasons.push_back("No figura en la otra declaración");
      sortColumns(d.columns);
      out.push_back(std::move(d));
      continue;
    }
    auto cols = changedColumns(it->second, p, threshold);
    if (cols.empty()) continue;
    sortColumns(cols);
    PersonDifference d{PersonState::Changed, p.person, std::move(cols), personReasons(it->second, p, rates)};
    if (d.person.name.empty()) d.person.name = it->second.person.name;
    out.push_back(std::move(d));
  }
  for (const auto& [k, p] : before) {
    if (after.count(k)) continue;
    PersonDifference d{PersonState::Left, p.person, allColumns(p, false), {}};
    d.reasons.push_back("No figura en esta declaración");
    sortColumns(d.columns);
    out.push_back(std::move(d));
  }
  sortPersons(out);
  return out;
}

void nameDocumentTypes(data::Database& db, std::vector<PersonDifference>& persons) {
  std::map<long long, std::string> names;
  for (const auto& t : data::ParamTable(db).documentTypes()) names[t.code] = text::trim(t.shortName);
  for (auto& p : persons) {
    auto it = names.find(p.person.tipDoc);
    p.person.docType = it != names.end() && !it->second.empty() ? it->second : std::to_string(p.person.tipDoc);
  }
}

}  // namespace

std::vector<const PersonDifference*> Comparison::withState(PersonState state) const {
  std::vector<const PersonDifference*> out;
  for (const auto& p : persons)
    if (p.state == state) out.push_back(&p);
  return out;
}

std::string previousPeriod(const std::string& periodo) {
  return addMonths(periodo, -1);
}

std::optional<Comparison> compareDeclarations(Session& session, const ComparisonRequest& request) {
  DeclarationRef cur = request.current;
  DeclarationRef oth = request.other;
  if (oth.ruc.empty()) oth.ruc = cur.ruc;
  if (oth.periodo.empty()) oth.periodo = previousPeriod(cur.periodo);
  auto current = printouts::readDeclaration(session, cur);
  auto other = current ? printouts::readDeclaration(session, oth) : std::nullopt;
  if (!current || !other) {
    const DeclarationRef& missing = current ? oth : cur;
    session.msg().critical("No existe la declaración " + missing.ruc + " " + declarationText(missing) + ".",
                           "Comparar declaraciones");
    return std::nullopt;
  }
  auto& db = session.database();
  StoredPersons before = readStoredPersons(db, oth), after = readStoredPersons(db, cur);
  PeriodRates rates(db, cur.ruc, oth.periodo, cur.periodo);
  for (const auto* side : {&before, &after})
    for (const auto& [k, p] : *side)
      if (p.person.category == kWorker || p.person.category == kPensioner) rates.addType(p.tipo);
  Comparison c;
  c.current = std::move(*current);
  c.other = std::move(*other);
  c.threshold = request.threshold;
  c.persons = comparePersons(before, after, request.threshold, rates);
  nameDocumentTypes(db, c.persons);
  c.boxes = compareBoxes(c.other.boxes, c.current.boxes, c.persons, rates, sharedReasons(before, after));
  return c;
}

std::string stateText(PersonState state) {
  switch (state) {
    case PersonState::Entered:
      return "Ingresó";
    case PersonState::Left:
      return "Salió";
    case PersonState::Changed:
      break;
  }
  return "Cambió";
}

std::string categoryText(int category) {
  switch (category) {
    case kWorker:
      return "Trabajador";
    case kPensioner:
      return "Pensionista";
    case kProvider:
      return "P.S. 4ta. Categoría";
    case kThirdParty:
      return "Personal de Terceros";
    case kTrainee:
      return "Modalidad Formativa";
  }
  return std::to_string(category);
}

std::string declarationText(const DeclarationRef& ref) {
  std::string t = periodToDisplay(ref.periodo);
  if (ref.sent()) t += " enviada (" + ref.correl + ")";
  return t;
}

std::string signedAmount(Money m) {
  return (m.isNegative() ? "" : "+") + m.toText(2);
}

}  // namespace korventa::analysis
