// The computation from the command line: recompute a saved declaration, type one concept
// amount of one person as the concept form takes it; both save the declaration afterwards.
// working-concepts lists the concept rows of a declaration's working set as its opening builds it
// (the working set belongs to the program that opened the declaration).
#include <iostream>
#include <memory>
#include <optional>

#include "cli/cli.h"
#include "cli/listings.h"
#include "common/dates.h"
#include "common/text.h"
#include "declaration/declaration_queries.h"
#include "declaration/declaration_form.h"
#include "detail/concept_entry.h"
#include "determination/concept_listing.h"
#include "determination/declaration_computation.h"

namespace korventa::cli {
namespace {

struct Args {
  std::string ruc, periodo, doc, code, monto;
  int tipDoc = 0;
  std::optional<std::string> montoPag;
};

const bool registered = addCommand([](CLI::App& app, Context& ctx) {
  {
    auto* c = app.add_subcommand("compute", "Calcula las bases y aportaciones de todas las personas de la declaración");
    auto a = std::make_shared<Args>();
    c->add_option("RUC", a->ruc, "RUC del declarante")->required();
    c->add_option("PERIOD", a->periodo, "Período AAAAMM o MM/AAAA")->required();
    c->callback([&ctx, a] {
      ctx.run([&ctx, a] {
        auto& s = ctx.session();
        long long n = 0;
        int rc = withOpenDeclaration(s, a->ruc, periodArg(a->periodo), [&](declaration::DeclarationForm& f) {
          determination::recomputeDeclaration(s, f.declaration(), ctx.progress());
          n = declaration::declaredPersonCount(s.database());
          return true;
        });
        if (rc == 0)
          std::cout << "Declaración calculada y grabada: " << text::trim(a->ruc) << " "
                    << periodToDisplay(periodArg(a->periodo)) << ", " << n << " trabajadores y pensionistas\n";
        return rc;
      });
    });
  }
  {
    auto* c = app.add_subcommand(
        "concept", "Registra el monto de un concepto de una persona (como el detalle de conceptos) y la calcula");
    auto a = std::make_shared<Args>();
    c->add_option("RUC", a->ruc, "RUC del declarante")->required();
    c->add_option("PERIOD", a->periodo, "Período AAAAMM o MM/AAAA")->required();
    c->add_option("TIP_DOC", a->tipDoc, "Tipo de documento de la persona")->required();
    c->add_option("DOC", a->doc, "Número de documento de la persona")->required();
    c->add_option("CODE", a->code, "Código del concepto (4 dígitos)")->required();
    c->add_option("MONTO", a->monto, "Monto devengado; \"\" lo borra")->required();
    c->add_option("MONTO_PAG", a->montoPag, "Monto pagado (por omisión, el devengado)");
    c->callback([&ctx, a] {
      ctx.run([&ctx, a] {
        auto& s = ctx.session();
        int rc = withOpenDeclaration(s, a->ruc, periodArg(a->periodo), [&](declaration::DeclarationForm& f) {
          PersonKey person = declaredPerson(s, a->tipDoc, a->doc);
          f.prepareDetail();
          bool typed = detail::typeConceptAmount(s, f.declaration(), person, a->code, a->monto, a->montoPag);
          f.afterDetail(person);
          return typed;
        });
        if (rc != 0) return rc;
        auto listing = determination::conceptListing(s.database(), text::trim(a->ruc), periodArg(a->periodo), {},
                                                     text::trim(a->doc));
        Table t{listing.columns, {}};
        for (auto& r : listing.rows)
          if (r[4] == a->code) t.rows.push_back(r);
        ctx.print(t);
        return 0;
      });
    });
  }
  {
    auto* c = app.add_subcommand("working-concepts",
                                 "Abre la declaración y lista las filas de conceptos de sus datos de trabajo (todas "
                                 "o las de una persona)");
    auto a = std::make_shared<Args>();
    c->add_option("RUC", a->ruc, "RUC del declarante")->required();
    c->add_option("PERIOD", a->periodo, "Período AAAAMM o MM/AAAA")->required();
    c->add_option("DOC", a->doc, "Número de documento de la persona");
    c->callback([&ctx, a] {
      ctx.run([&ctx, a] {
        auto& s = ctx.session();
        declaration::DeclarationForm f(s, false);  // only reads
        if (!f.openDeclaration(text::trim(a->ruc), periodArg(a->periodo))) return 1;
        auto listing = determination::workingConceptListing(s.database(), text::trim(a->doc));
        f.closeWithoutSaving();
        ctx.print(Table{listing.columns, listing.rows});
        return 0;
      });
    });
  }
});

}  // namespace
}  // namespace korventa::cli
