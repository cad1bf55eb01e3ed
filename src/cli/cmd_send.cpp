// "send": the suite's sending of a saved declaration, as the launcher simulates it.
#include <iostream>
#include <memory>

#include "cli/cli.h"
#include "common/dates.h"
#include "common/text.h"
#include "declaration/send.h"

namespace korventa::cli {
namespace {

const bool registered = addCommand([](CLI::App& app, Context& ctx) {
  auto* c = app.add_subcommand("send", "Envía una declaración grabada sin inconsistencias (simulación del envío)");
  auto ruc = std::make_shared<std::string>();
  auto period = std::make_shared<std::string>();
  c->add_option("RUC", *ruc, "RUC del declarante")->required();
  c->add_option("PERIOD", *period, "Período AAAAMM o MM/AAAA")->required();
  c->callback([&ctx, ruc, period] {
    ctx.run([&ctx, ruc, period] {
      std::string p = text::trim(*period);
      if (p.size() == 7 && p[2] == '/') p = periodFromDisplay(p);
      if (!isPeriod(p)) throw std::runtime_error("Período no válido: " + *period);
      auto r = declaration::enviarDeclaracion(ctx.session().database(), text::trim(*ruc), p);
      ctx.print(Table{{"ruc", "periodo", "correl", "fec_env", "control", "numero_orden"},
                      {{text::trim(*ruc), p, r.correl, r.fecEnv, r.control, r.numeroOrden}}});
      return 0;
    });
  });
});

}  // namespace
}  // namespace korventa::cli
