// explain: "¿De dónde sale?" from the command line. The persons, concept rows, receipts, EPS
// invoices, establishments or boxes that make a box of the debt determination (or a summary
// column of one person), then the steps that give it; recorded by the computation that fills it.
#include <iostream>
#include <memory>
#include <stdexcept>

#include "cli/cli.h"
#include "cli/listings.h"
#include "common/text.h"
#include "declaration/declaration_form.h"
#include "determination/box_explanation.h"

namespace korventa::cli {
namespace {

struct Args {
  std::string ruc, periodo, box, person;
  int tipDoc = 1;
  bool validation = false;
};

// One table: a line per source ("aporte"), then a line per step ("paso"), with the columns of both.
Table explanationTable(const determination::BoxExplanation& e) {
  auto sources = determination::sourcesTable(e);
  Table t;
  t.columns = {"Línea"};
  t.columns.insert(t.columns.end(), sources.columns.begin(), sources.columns.end());
  t.columns.push_back("Resultado");
  for (auto& r : sources.rows) {
    r.insert(r.begin(), "aporte");
    r.push_back("");
    t.rows.push_back(std::move(r));
  }
  for (const auto& s : e.steps) {
    std::vector<std::string> r(t.columns.size());
    r[0] = "paso";
    r[1] = determination::stepKindName(s.kind);
    r[8] = s.caption;  // under "Regla"
    r[9] = s.amount.toText(2);
    r[10] = s.result.toText(2);
    t.rows.push_back(std::move(r));
  }
  return t;
}

// With --person and a box number: the person's summary column that enters the box.
std::string personColumnOf(Session& s, const model::OpenDeclaration& d, const std::string& box,
                           const PersonKey& person) {
  if (!text::isDigits(box)) return box;
  for (const auto& src : determination::explainBox(s, d, box).sources)
    if (src.doc == person.doc_id_a && (src.kind == "Trabajador" || src.kind == "Pensionista")) return src.reference;
  throw std::runtime_error("La persona " + person.doc_id_a + " no aporta a la casilla " + box);
}

int explain(Context& ctx, const Args& a) {
  auto& s = ctx.session();
  declaration::DeclarationForm f(s, false);  // only reads
  if (!f.openDeclaration(text::trim(a.ruc), periodArg(a.periodo))) return 1;
  const auto& d = f.declaration();
  determination::BoxExplanation e;
  if (a.validation) {
    e = determination::explainTaxTotal(s, text::trim(a.box));
  } else if (a.person.empty()) {
    e = determination::explainBox(s, d, text::trim(a.box));
  } else {
    PersonKey p = declaredPerson(s, a.tipDoc, a.person);
    e = determination::explainPersonColumn(s, d, p, personColumnOf(s, d, text::trim(a.box), p));
  }
  f.closeWithoutSaving();
  if (!ctx.json) std::cout << "# " << e.heading() << "\n";
  ctx.print(explanationTable(e));
  return 0;
}

const bool registered = addCommand([](CLI::App& app, Context& ctx) {
  auto* c = app.add_subcommand("explain",
                               "¿De dónde sale? Las personas, conceptos, recibos, facturas o casillas que forman una "
                               "casilla de la determinación de la deuda, y los pasos que la dan");
  auto a = std::make_shared<Args>();
  c->add_option("RUC", a->ruc, "RUC del declarante")->required();
  c->add_option("PERIOD", a->periodo, "Período AAAAMM o MM/AAAA")->required();
  c->add_option("BOX", a->box, "Casilla (\"total\": el total a pagar); con --person, también una columna del resumen")
      ->required();
  c->add_option("--person", a->person, "Documento de la persona: la columna de su resumen que entra en la casilla");
  c->add_flag("--validation", a->validation,
              "El total de las personas con que la validación compara la casilla (411, 413, 415 a 419, 591)");
  c->add_option("--tipdoc", a->tipDoc, "Tipo de documento de la persona (1 DNI por omisión)");
  c->callback([&ctx, a] { ctx.run([&ctx, a] { return explain(ctx, *a); }); });
});

}  // namespace
}  // namespace korventa::cli
