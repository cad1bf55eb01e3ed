// Listing what a saved declaration keeps of the suspensions (show-days) and of the EPS invoices
// (show-eps), so that batch users can check their imports.
#include <memory>

#include "cli/cli.h"
#include "common/dates.h"
#include "detail/stored_rows.h"

namespace korventa::cli {
namespace {

struct Args {
  std::string ruc, period, correl;
};

void addShow(CLI::App& app, Context& ctx, const char* name, const char* help, bool eps) {
  auto* c = app.add_subcommand(name, help);
  auto a = std::make_shared<Args>();
  c->add_option("RUC", a->ruc, "RUC del declarante")->required();
  c->add_option("PERIODO", a->period, "Período YYYYMM o MM/YYYY")->required();
  c->add_option("--sent", a->correl, "Correlativo del envío de una declaración enviada (tablas históricas)");
  c->callback([&ctx, a, eps] {
    ctx.run([&ctx, a, eps] {
      std::string periodo = a->period.find('/') != std::string::npos ? periodFromDisplay(a->period) : a->period;
      if (!isPeriod(periodo)) throw std::runtime_error("El período no es válido.");
      auto& db = ctx.session().database();
      auto stored = eps ? detail::storedInvoices(db, a->ruc, periodo, a->correl)
                        : detail::storedSuspensions(db, a->ruc, periodo, a->correl);
      ctx.print(Table{stored.columns, stored.rows});
      return 0;
    });
  });
}

const bool registered = addCommand([](CLI::App& app, Context& ctx) {
  addShow(app, ctx, "show-days", "Suspensiones guardadas de una declaración (F601DIAS_NOLAB)", false);
  addShow(app, ctx, "show-eps", "Facturas EPS guardadas de una declaración (F600INFEPS)", true);
});

}  // namespace
}  // namespace korventa::cli
