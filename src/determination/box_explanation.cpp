#include "determination/box_explanation.h"

#include <cstdlib>
#include <stdexcept>

#include "common/text.h"
#include "data/param.h"
#include "determination/computation.h"
#include "determination/debt_grid.h"
#include "determination/person_computation.h"
#include "determination/total_tributo.h"
#include "model/person_data.h"

namespace korventa::determination {

Money BoxExplanation::sourcesTotal() const {
  Money m;
  for (const auto& s : sources) m += s.amount;
  return m;
}

Money BoxExplanation::result() const {
  return steps.empty() ? Money() : steps.back().result;
}

Money BoxExplanation::amount() const {
  return Money::value(value);
}

std::string BoxExplanation::heading() const {
  return caption + " = " + (value.empty() ? std::string("(vacía)") : value);
}

void ExplanationRecorder::reset(std::string_view target) {
  auto it = entries_.find(target);
  if (it == entries_.end())
    entries_.emplace(std::string(target), Entry{});
  else
    it->second = Entry{};
}

void ExplanationRecorder::source(std::string_view target, model::AmountSource s) {
  auto it = entries_.find(target);
  if (it == entries_.end()) it = entries_.emplace(std::string(target), Entry{}).first;
  it->second.sources.push_back(std::move(s));
}

void ExplanationRecorder::step(std::string_view target, model::AmountStep s) {
  auto it = entries_.find(target);
  if (it == entries_.end()) it = entries_.emplace(std::string(target), Entry{}).first;
  it->second.steps.push_back(std::move(s));
}

BoxExplanation ExplanationRecorder::explanation(std::string_view target) const {
  BoxExplanation e;
  e.target = std::string(target);
  auto it = entries_.find(target);
  if (it != entries_.end()) {
    e.sources = it->second.sources;
    e.steps = it->second.steps;
  }
  return e;
}

namespace {

// The explanation of one box once the grid was computed with `rec` listening.
BoxExplanation boxFrom(const ExplanationRecorder& rec, const DebtDetermination& grid, std::string_view casilla) {
  BoxExplanation e = rec.explanation(casilla);
  bool total = casilla == "total";
  e.caption = total ? "Total a pagar" : "Casilla " + std::string(casilla) + " · " + boxCaption(casilla);
  e.value = total ? grid.total() : grid.value(casilla);
  if (!rec.recorded(casilla)) {
    // Nothing computes it: the user typed it (or left it empty).
    Money v = e.amount();
    e.steps.push_back({e.value.empty() ? model::StepKind::Empty : model::StepKind::Typed,
                       e.value.empty() ? "Sin valor" : "Digitado por el usuario", v, v});
  }
  return e;
}

bool isPerson(const model::AmountSource& s) {
  return s.kind == "Trabajador" || s.kind == "Pensionista";
}

// The concept behind each person's source: the summary column it names copies the base or the
// amount of one contribution concept (as SumaIngresos_Tmp records it), which is shown with it.
void addConcepts(data::Database& db, const model::OpenDeclaration& d, std::vector<BoxExplanation*> explanations) {
  bool any = false;
  for (auto* e : explanations)
    for (const auto& s : e->sources) any = any || isPerson(s);
  if (!any) return;
  std::map<std::string, ExplanationRecorder> byPerson;  // "tip_doc_a doc_id_a category"
  for (const auto& p : model::loadPersons(db, d.ruc)) {
    auto& rec = byPerson[std::to_string(p.key.tip_doc_a) + " " + p.key.doc_id_a + " " +
                         (p.key.cod_cat_tra == kPensioner ? "Pensionista" : "Trabajador")];
    SumaIngresos_Tmp(p, &rec);
  }
  for (auto* e : explanations) {
    for (auto& s : e->sources) {
      if (!isPerson(s)) continue;
      auto it = byPerson.find(s.tipDoc + " " + s.doc + " " + s.kind);
      if (it == byPerson.end()) continue;
      auto column = it->second.explanation(s.reference);
      if (column.sources.size() != 1 || column.sources[0].code.empty()) continue;
      s.code = column.sources[0].code;
      s.descrip = column.sources[0].descrip;
      s.rule += ", " + column.sources[0].rule + " del concepto";
    }
  }
}

// Concept rows keep no description of their own when the computation added them: the catalogue's.
// The document types are named as the person grids name them.
void addDescriptions(data::Database& db, std::vector<BoxExplanation*> explanations) {
  std::map<std::string, std::string> catalogue, docTypes;
  for (const auto& t : data::ParamTable(db).documentTypes())
    if (!text::trim(t.shortName).empty()) docTypes[std::to_string(t.code)] = text::trim(t.shortName);
  for (auto* e : explanations) {
    for (const auto& s : e->sources) {
      auto it = docTypes.find(s.tipDoc);
      if (it != docTypes.end()) e->docTypeNames.insert(*it);
    }
    for (auto& s : e->sources) {
      if (s.code.empty() || !text::trim(s.descrip).empty()) continue;
      if (catalogue.empty())
        for (const auto& r : db.rows("SELECT Codigo, Descripc FROM CONCEPTOS_REM")) catalogue[r.text(0)] = r.text(1);
      auto it = catalogue.find(s.code);
      if (it != catalogue.end()) s.descrip = it->second;
    }
  }
}

}  // namespace

BoxExplanation explainBox(Session& session, const model::OpenDeclaration& decl, std::string_view casilla) {
  if (casilla != "total" && !columnOf(casilla))
    throw std::invalid_argument("La casilla " + std::string(casilla) + " no es de la determinación de la deuda");
  ExplanationRecorder rec;
  DebtDetermination grid(session, decl);
  grid.setRecorder(&rec);
  grid.load();
  auto e = boxFrom(rec, grid, casilla);
  addConcepts(session.database(), decl, {&e});
  addDescriptions(session.database(), {&e});
  return e;
}

std::vector<BoxExplanation> explainFilledBoxes(Session& session, const model::OpenDeclaration& decl) {
  ExplanationRecorder rec;
  DebtDetermination grid(session, decl);
  grid.setRecorder(&rec);
  grid.load();
  std::vector<BoxExplanation> v;
  for (const auto& b : grid.filledBoxes()) v.push_back(boxFrom(rec, grid, b.casilla));
  if (!grid.total().empty()) v.push_back(boxFrom(rec, grid, "total"));
  std::vector<BoxExplanation*> all;
  for (auto& e : v) all.push_back(&e);
  addConcepts(session.database(), decl, all);
  addDescriptions(session.database(), all);
  return v;
}

namespace {
int summaryIndex(std::string_view column) {
  for (int c = 0; c < model::kSummaryColumns; ++c)
    if (text::equalsIgnoreCase(model::summaryColumnName(c), column)) return c;
  return -1;
}
}  // namespace

bool isSummaryColumn(std::string_view column) {
  return summaryIndex(column) >= 0;
}

BoxExplanation explainTaxTotal(Session& session, std::string_view casilla) {
  ExplanationRecorder rec;
  std::string value = Total_Tributo(session.database(), casilla, &rec);
  if (!rec.recorded(casilla))
    throw std::invalid_argument("La validación no compara la casilla " + std::string(casilla) +
                                " con el total de las personas");
  BoxExplanation e = rec.explanation(casilla);
  e.caption = "Total de las personas (validación) · casilla " + std::string(casilla);
  e.value = value;
  addDescriptions(session.database(), {&e});
  return e;
}

BoxExplanation explainPersonColumn(Session& session, const model::OpenDeclaration& decl, const PersonKey& person,
                                   std::string_view column) {
  int index = summaryIndex(column);
  if (index < 0) throw std::invalid_argument("No es una columna del resumen de la persona: " + std::string(column));
  auto persons = model::loadPersons(session.database(), decl.ruc, person);
  if (persons.empty()) throw std::invalid_argument("La persona no está en la declaración: " + person.doc_id_a);
  const auto& p = persons.front();
  ExplanationRecorder rec;
  SumaIngresos_Tmp(p, &rec);
  const char* name = model::summaryColumnName(index);
  BoxExplanation e = rec.explanation(name);
  e.caption = std::string(name) + " · " + p.key.doc_id_a;
  e.value = p.storedSummary[static_cast<std::size_t>(index)];
  // A base column copies the base of a concept: shown as the person's computation makes that base,
  // when it makes the one stored.
  if (e.sources.size() == 1 && e.steps.size() == 1 && e.steps[0].kind == model::StepKind::Copy &&
      e.sources[0].rule == "base de cálculo") {
    model::PersonData computed = p;
    ExplanationRecorder computation;
    Computation(session.database(), decl).compute(computed, &computation);
    auto base = computation.explanation(baseTarget(e.sources[0].code));
    if (computation.recorded(baseTarget(e.sources[0].code)) && base.result() == e.sources[0].amount) {
      e.caption += " · base de cálculo del concepto " + e.sources[0].code;
      e.sources = std::move(base.sources);
      e.steps = std::move(base.steps);
    }
  }
  if (e.steps.empty()) e.steps.push_back({model::StepKind::Empty, "No corresponde a la persona", Money(), Money()});
  addDescriptions(session.database(), {&e});
  return e;
}

std::optional<PersonKey> personOf(data::Database& db, const model::AmountSource& s) {
  if (!isPerson(s) || s.reference.empty()) return std::nullopt;
  int category = s.kind == "Pensionista" ? kPensioner : kWorker;
  auto r = db.row("SELECT Correl_a FROM TEMP1_F601 WHERE tip_doc_a = ? AND doc_id_a = ? AND cod_cat_tra = ?",
                  {std::atoi(s.tipDoc.c_str()), s.doc, category});
  if (!r) return std::nullopt;
  return PersonKey{r->integer(0), std::atoi(s.tipDoc.c_str()), s.doc, category};
}

const char* stepKindName(model::StepKind kind) {
  switch (kind) {
    case model::StepKind::Sum:
      return "suma";
    case model::StepKind::Round:
      return "redondeo";
    case model::StepKind::Add:
      return "más";
    case model::StepKind::Subtract:
      return "menos";
    case model::StepKind::AtLeastZero:
      return "no negativo";
    case model::StepKind::Copy:
      return "igual a";
    case model::StepKind::Share:
      return "parte";
    case model::StepKind::Empty:
      return "vacía";
    case model::StepKind::Typed:
      return "digitado";
    case model::StepKind::Adjust:
      return "regla";
  }
  return "";
}

ExplanationTable sourcesTable(const BoxExplanation& e) {
  ExplanationTable t;
  t.columns = {"Origen",   "Tipo doc.",   "Documento", "Nombre", "Referencia",
               "Concepto", "Descripción", "Regla",     "Importe"};
  for (const auto& s : e.sources) {
    auto name = e.docTypeNames.find(s.tipDoc);
    t.rows.push_back({s.kind, name != e.docTypeNames.end() ? name->second : s.tipDoc, s.doc, s.name, s.reference,
                      s.code, s.descrip, s.rule, s.amount.toText(2)});
  }
  return t;
}

ExplanationTable stepsTable(const BoxExplanation& e) {
  ExplanationTable t;
  t.columns = {"Paso", "Operación", "Importe", "Resultado"};
  for (const auto& s : e.steps)
    t.rows.push_back({stepKindName(s.kind), s.caption, s.amount.toText(2), s.result.toText(2)});
  return t;
}

}  // namespace korventa::determination
