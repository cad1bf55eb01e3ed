#include "analysis/box_reasons.h"

#include <algorithm>

#include "analysis/stored_persons.h"
#include "common/dates.h"
#include "common/text.h"
#include "declaration/save.h"
#include "determination/debt_grid.h"

namespace korventa::analysis {
namespace {

using determination::RateSet;

// Boxes that name the declaration rather than measure it.
bool isIdentityBox(const std::string& c) {
  static const std::set<std::string> boxes = {"002", "005", "007", "012", "015", "028", "201", "721",
                                              "722", "749", "871", "985", "986", "987", "999"};
  return boxes.count(c) > 0;
}

std::string percent(Money fraction) {
  return Money::fromRaw(fraction.raw() * 100).toText(2) + " %";
}

// The boxes counting persons, with the categories they count (0: every category).
const std::map<std::string, int>& countBoxes() {
  static const std::map<std::string, int> c = {
      {"719", kWorker},  {"720", kWorker},    {"723", kWorker},   {"724", kWorker},   {"725", kWorker},
      {"726", kWorker},  {"727", kWorker},    {"728", kWorker},   {"729", kWorker},   {"737", kWorker},
      {"732", 0},        {"547", kProvider},  {"733", kProvider}, {"734", kProvider}, {"736", kPensioner},
      {"738", kTrainee}, {"739", kThirdParty}};
  return c;
}

// The persons whose amounts move a box: "41235678 Cambió +100.00", at most five named.
std::vector<std::string> personReasons(const std::string& casilla, const std::vector<PersonDifference>& persons) {
  std::vector<std::string> named;
  int more = 0;
  for (const auto& p : persons)
    for (const auto& col : p.columns) {
      auto boxes = boxesOfColumn(col.column);
      if (std::find(boxes.begin(), boxes.end(), casilla) == boxes.end() || col.difference().isZero()) continue;
      if (named.size() < 5)
        named.push_back(p.person.doc + " " + stateText(p.state) + " " + signedAmount(col.difference()));
      else
        ++more;
    }
  if (more > 0) named.push_back("y " + std::to_string(more) + " personas más");
  return named;
}

std::vector<std::string> countReasons(const std::string& casilla, const std::vector<PersonDifference>& persons) {
  auto it = countBoxes().find(casilla);
  if (it == countBoxes().end()) return {};
  int entered = 0, left = 0;
  for (const auto& p : persons) {
    if (it->second != 0 && p.person.category != it->second) continue;
    if (p.state == PersonState::Entered) ++entered;
    if (p.state == PersonState::Left) ++left;
  }
  if (entered == 0 && left == 0) return {};
  return {"Ingresaron " + std::to_string(entered) + ", salieron " + std::to_string(left)};
}

// Boxes that follow others of their column.
std::vector<std::string> gridReasons(const std::string& casilla) {
  if (determination::isTypedBox(casilla)) return {"Casilla ingresada por el usuario"};
  const auto* col = determination::columnOf(casilla);
  if (!col || casilla == "812") return {};
  if (col->balance && casilla == col->balance)
    return {"Saldo del impuesto resultante (casilla " + std::string(col->tax) + ") menos deducciones y pagos"};
  if (casilla == col->toPay && col->balance)
    return {"Sigue al saldo a pagar (casilla " + std::string(col->balance) + ")"};
  return {};
}

}  // namespace

PeriodRates::PeriodRates(data::Database& db, const std::string& ruc, std::string before, std::string after)
    : db_(db),
      options_(determination::DeclarantOptions::load(db, ruc)),
      before_(std::move(before)),
      after_(std::move(after)) {}

void PeriodRates::addType(const std::string& tipo) {
  if (text::isDigits(tipo)) types_.insert(std::stoi(tipo));
}

std::pair<RateSet, RateSet>& PeriodRates::ratesOf(int tipo) {
  auto it = cache_.find(tipo);
  if (it == cache_.end())
    it = cache_
             .emplace(tipo, std::make_pair(determination::CargarTasas(db_, tipo, before_, options_),
                                           determination::CargarTasas(db_, tipo, after_, options_)))
             .first;
  return it->second;
}

std::vector<std::string> PeriodRates::reasonsFor(const std::string& tipo) {
  if (!text::isDigits(tipo) || before_ == after_) return {};
  auto& [b, a] = ratesOf(std::stoi(tipo));
  std::vector<std::string> r;
  auto compare = [&](const char* what, Money RateSet::*rate) {
    if (b.*rate != a.*rate)
      r.push_back("Tasa " + std::string(what) + " del tipo " + tipo + " cambió por período: " + percent(b.*rate) +
                  " → " + percent(a.*rate));
  };
  compare("ONP", &RateSet::snp);
  compare("EsSalud", &RateSet::essalud);
  compare("Fondo Artista", &RateSet::artists);
  compare("IES", &RateSet::iesTasa);
  return r;
}

std::string PeriodRates::conceptRule(const std::string& code) const {
  if (code == "0616" && straddles(determination::kFcjmmsFrom))
    return "El aporte al FCJMMS rige desde " + periodToDisplay(determination::kFcjmmsFrom);
  if (code == "0617" && straddles(determination::kFcjmmsQuotaFrom))
    return "La cuota fraccionada del FCJMMS rige desde " + periodToDisplay(determination::kFcjmmsQuotaFrom);
  return {};
}

std::vector<std::string> PeriodRates::boxReasons(const std::string& c) {
  std::vector<std::string> r;
  int igvBefore = determination::sctrIgvPercent(before_), igvAfter = determination::sctrIgvPercent(after_);
  if (c == "812" && igvBefore != igvAfter)
    r.push_back("IGV del SCTR cambió por período: " + std::to_string(igvBefore) + " % → " + std::to_string(igvAfter) +
                " %");
  const auto* col = determination::columnOf(c);
  if (col && std::string_view(col->base) == "590" && !(conceptRule("0616").empty())) r.push_back(conceptRule("0616"));
  if (col && std::string_view(col->base) == "530" && !(conceptRule("0617").empty())) r.push_back(conceptRule("0617"));
  // Contribution boxes follow list 713 of each worker type.
  static const std::map<std::string, std::pair<const char*, Money RateSet::*>> rated = {
      {"411", {"ONP", &RateSet::snp}},         {"412", {"EsSalud", &RateSet::essalud}},
      {"416", {"EsSalud", &RateSet::essalud}}, {"418", {"EsSalud", &RateSet::essalud}},
      {"419", {"EsSalud", &RateSet::essalud}}, {"413", {"Fondo Artista", &RateSet::artists}},
      {"410", {"IES", &RateSet::iesTasa}}};
  auto it = rated.find(c);
  if (it == rated.end() || before_ == after_) return r;
  for (int t : types_) {
    auto& [b, a] = ratesOf(t);
    auto rate = it->second.second;
    if (b.*rate != a.*rate)
      r.push_back("Tasa " + std::string(it->second.first) + " del tipo " + std::to_string(t) +
                  " cambió por período: " + percent(b.*rate) + " → " + percent(a.*rate));
  }
  return r;
}

bool isTributeConcept(const std::string& code) {
  return code.size() == 4 && (code.compare(0, 2, "06") == 0 || code.compare(0, 2, "08") == 0);
}

std::string boxCaption(const std::string& c) {
  if (const auto* col = determination::columnOf(c)) {
    if (c == "812") return std::string(col->label) + " - IGV";
    auto boxes = col->boxes();
    for (std::size_t i = 0; i < boxes.size(); ++i)
      if (boxes[i] && c == boxes[i]) return std::string(col->label) + " - " + determination::gridRowCaptions()[i];
  }
  static const std::map<std::string, const char*> captions = {
      {"719", "Número de trabajadores"},
      {"720", "Número de trabajadores (EsSalud)"},
      {"723", "Trabajadores con EsSalud +Vida"},
      {"724", "Trabajadores con EPS"},
      {"725", "Trabajadores con SCTR"},
      {"726", "Trabajadores en el SPP"},
      {"727", "Trabajadores en la ONP"},
      {"728", "Trabajadores con renta de 5ta. categoría"},
      {"729", "Trabajadores no domiciliados"},
      {"730", "Días laborados"},
      {"731", "Horas ordinarias"},
      {"732", "Total de personas"},
      {"733", "Prestadores de 4ta. categoría"},
      {"734", "Comprobantes de 4ta. categoría"},
      {"735", "Establecimientos"},
      {"736", "Número de pensionistas"},
      {"737", "Trabajadores de regímenes especiales"},
      {"738", "Personas en modalidad formativa"},
      {"739", "Personal de terceros"},
      {"748", "Total ingresos"},
      {"320", "Renta 4ta. - Monto de los comprobantes"},
      {"321", "Renta 4ta. - Retenciones"},
      {"322", "Renta 4ta. - IES retenido"},
      {"547", "Renta 4ta. - Número de comprobantes"},
  };
  auto it = captions.find(c);
  return it != captions.end() ? it->second : "Casilla " + c;
}

std::vector<BoxDifference> compareBoxes(const std::map<std::string, std::string>& before,
                                        const std::map<std::string, std::string>& after,
                                        const std::vector<PersonDifference>& persons, PeriodRates& rates,
                                        const std::map<std::string, std::vector<std::string>>& more) {
  std::set<std::string> all;
  for (const auto& [c, v] : before) all.insert(c);
  for (const auto& [c, v] : after) all.insert(c);
  std::vector<BoxDifference> out;
  for (const auto& c : all) {
    if (isIdentityBox(c)) continue;
    auto b = before.find(c), a = after.find(c);
    BoxDifference d;
    d.casilla = c;
    d.caption = boxCaption(c);
    d.before = b == before.end() ? std::string() : text::trim(b->second);
    d.after = a == after.end() ? std::string() : text::trim(a->second);
    if (d.before == d.after) continue;
    d.difference = determination::boxNumber(d.after) - determination::boxNumber(d.before);
    d.reasons = rates.boxReasons(c);
    for (auto& t : personReasons(c, persons)) d.reasons.push_back(std::move(t));
    for (auto& t : countReasons(c, persons)) d.reasons.push_back(std::move(t));
    for (auto& t : gridReasons(c)) d.reasons.push_back(std::move(t));
    if (auto it = more.find(c); it != more.end())
      d.reasons.insert(d.reasons.end(), it->second.begin(), it->second.end());
    out.push_back(std::move(d));
  }
  return out;
}

}  // namespace korventa::analysis
