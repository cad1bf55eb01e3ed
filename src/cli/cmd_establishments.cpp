// "establishments": the establishments where a worker served in the month, as frmEstab shows and
// marks them; with --set the marks are replaced, the worker computed and the declaration saved.
#include <memory>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/listings.h"
#include "common/text.h"
#include "common/vb_format.h"
#include "declaration/declaration_form.h"
#include "detail/sctr.h"
#include "detail/establishments_form.h"

namespace korventa::cli {
namespace {

struct Args {
  std::string ruc, periodo, doc;
  int tipDoc = 0;
  std::vector<long long> codes;
  CLI::Option* set = nullptr;
};

Table establishmentsTable(const std::vector<detail::EstablishmentItem>& items) {
  Table t{{"cod_est", "tipo", "ruc", "nombre", "marcado"}, {}};
  for (const auto& it : items)
    t.rows.push_back(
        {vbFormat(it.codEst, "0000"), it.tipo, text::trim(it.rucEmp), text::trim(it.nombre), it.selected ? "1" : "0"});
  return t;
}

const bool registered = addCommand([](CLI::App& app, Context& ctx) {
  auto* c = app.add_subcommand("establishments",
                               "Establecimientos donde laboró un trabajador en el período; --set los marca y graba");
  auto a = std::make_shared<Args>();
  c->add_option("RUC", a->ruc, "RUC del declarante")->required();
  c->add_option("PERIOD", a->periodo, "Período AAAAMM o MM/AAAA")->required();
  c->add_option("TIP_DOC", a->tipDoc, "Tipo de documento del trabajador")->required();
  c->add_option("DOC", a->doc, "Número de documento del trabajador")->required();
  a->set = c->add_option("--set", a->codes, "Códigos de los establecimientos a marcar (los demás se desmarcan)");
  c->callback([&ctx, a] {
    ctx.run([&ctx, a] {
      auto& s = ctx.session();
      std::vector<detail::EstablishmentItem> shown;
      if (a->set->count() == 0) {
        // Only a look: the declaration is opened and closed without saving.
        declaration::DeclarationForm f(s);
        if (!f.openDeclaration(text::trim(a->ruc), periodArg(a->periodo))) return 1;
        try {
          detail::EstablishmentsForm form(s, f.declaration(), declaredPerson(s, a->tipDoc, a->doc, true));
          form.load();
          shown = form.items();
        } catch (...) {
          f.closeWithoutSaving();
          throw;
        }
        f.closeWithoutSaving();
        ctx.print(establishmentsTable(shown));
        return 0;
      }
      int rc = withOpenDeclaration(s, a->ruc, periodArg(a->periodo), [&](declaration::DeclarationForm& f) {
        PersonKey person = declaredPerson(s, a->tipDoc, a->doc, true);
        f.prepareDetail();
        detail::EstablishmentsForm form(s, f.declaration(), person);
        form.load();
        bool marked = form.markOnly(a->codes);
        if (marked) form.accept();
        f.afterDetail(person);
        if (marked) {
          form.load();
          shown = form.items();
        }
        return marked;
      });
      if (rc == 0) ctx.print(establishmentsTable(shown));
      return rc;
    });
  });
});

}  // namespace
}  // namespace korventa::cli
