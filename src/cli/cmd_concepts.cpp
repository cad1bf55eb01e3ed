// The concepts a declarant uses and the affectation of its own concepts.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli.h"
#include "common/text.h"
#include "reference/declarant_concepts.h"
#include "reference/tax_affectation.h"

namespace korventa::cli {
namespace {

struct ConceptsArgs {
  std::string ruc, group;
  std::vector<std::string> set, affect, desc;
  bool selectedOnly = false;
  CLI::Option* setOption = nullptr;
};

// "CODE=VALUE"; false when there is no "=".
bool splitPair(const std::string& arg, std::string& code, std::string& value) {
  auto eq = arg.find('=');
  if (eq == std::string::npos) return false;
  code = text::trim(arg.substr(0, eq));
  value = arg.substr(eq + 1);
  return true;
}

int runConcepts(Context& ctx, const ConceptsArgs& a) {
  Session& s = ctx.session();
  reference::DeclarantConcepts concepts(s);
  if (!concepts.chooseDeclarant(a.ruc)) return 1;

  // Everything asked is checked before anything is written.
  std::vector<std::pair<std::string, std::string>> affects, descs;
  for (const auto& arg : a.affect) {
    std::string code, value;
    if (!splitPair(arg, code, value)) throw CLI::ValidationError("--affect", "use CODIGO=AFECTACION: " + arg);
    if (!reference::TaxAffectation(s).load(concepts.ruc(), code)) return 1;
    if (!reference::isAffectationString(text::trim(value))) {
      s.msg().critical("La afectación debe tener 13 posiciones, cada una 1 ó 0");
      return 1;
    }
    affects.emplace_back(code, text::trim(value));
  }
  for (const auto& arg : a.desc) {
    std::string code, value;
    if (!splitPair(arg, code, value)) throw CLI::ValidationError("--desc", "use CODIGO=DESCRIPCION: " + arg);
    descs.emplace_back(code, value);
  }
  bool setGiven = a.setOption && a.setOption->count() > 0;
  if (setGiven && !concepts.replaceSelection(a.set)) return 1;
  for (const auto& [code, value] : descs)
    if (!concepts.setDescription(code, value)) return 1;
  if (!a.group.empty() && !concepts.chooseGroup(a.group)) {
    s.msg().critical("El rubro " + a.group + " no existe");
    return 1;
  }

  for (const auto& [code, value] : affects) {
    reference::TaxAffectation affectation(s);
    if (!affectation.load(concepts.ruc(), code) || !affectation.set(value) || !affectation.accept()) return 1;
  }
  if ((setGiven || !descs.empty()) && !concepts.save()) return 1;

  Table t{{"codigo", "descripcion", "seleccionado", "origen", "afectacion"}, {}};
  auto rows = a.group.empty() ? concepts.allRows() : concepts.rows();
  for (const auto& c : rows) {
    if (a.selectedOnly && !c.selected) continue;
    std::string afectacion;
    if (c.own()) afectacion = reference::storedAffectation(s.database(), concepts.ruc(), c.codigo).value_or("");
    t.rows.push_back({c.codigo, c.descripcion, c.selected ? "1" : "0", c.indOrigen, afectacion});
  }
  ctx.print(t);
  return 0;
}

const bool registered = addCommand([](CLI::App& app, Context& ctx) {
  auto args = std::make_shared<ConceptsArgs>();
  auto* c = app.add_subcommand("concepts",
                               "Conceptos que usa un declarante y afectación de sus conceptos propios. Sin opciones "
                               "lista la selección (la guardada o, si no tiene, la propuesta por su régimen laboral)");
  c->add_option("RUC", args->ruc, "RUC del declarante (visible para el usuario --user)")->required();
  args->setOption =
      c->add_option("--set", args->set,
                    "Selección completa de conceptos, separados por comas (reemplaza la anterior y graba)")
          ->delimiter(',');
  c->add_option("--affect", args->affect, "Afectación de un concepto propio: CODIGO=1010000000000 (repetible)")
      ->delimiter(',');
  c->add_option("--desc", args->desc, "Descripción de un concepto propio: CODIGO=TEXTO (repetible; graba)");
  c->add_option("--group", args->group, "Lista solo un rubro (0100, 1000, 2000, ...)");
  c->add_flag("--selected", args->selectedOnly, "Lista solo los conceptos seleccionados");
  c->callback([&ctx, args] { ctx.run([&ctx, args] { return runConcepts(ctx, *args); }); });
});

}  // namespace
}  // namespace korventa::cli
