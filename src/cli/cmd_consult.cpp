// Consultations of the reference lists: consult B|S|T|R|U and rates TYPE.
#include <memory>
#include <stdexcept>

#include "cli/cli.h"
#include "common/text.h"
#include "reference/consultas.h"

namespace korventa::cli {
namespace {

const bool registered = addCommand([](CLI::App& app, Context& ctx) {
  {
    auto* c = app.add_subcommand("consult",
                                 "Consulta una tabla de referencia: B bancos, S situación, T tipo de "
                                 "trabajador, R remuneración mínima vital, U UIT");
    auto mode = std::make_shared<std::string>();
    c->add_option("MODO", *mode, "B, S, T, R o U")
        ->required()
        ->check(CLI::IsMember({"B", "S", "T", "R", "U"}, CLI::ignore_case));
    c->callback([&ctx, mode] {
      ctx.run([&ctx, mode] {
        auto result = reference::consultar(ctx.sessionForReading().database(), *mode);
        if (!result) throw std::runtime_error("Modo de consulta desconocido: " + *mode);
        Table t{{"codigo", "descrip"}, {}};
        for (auto& r : result->rows) t.rows.push_back({r.codigo, r.descrip});
        ctx.print(t);
        return 0;
      });
    });
  }
  {
    auto* c = app.add_subcommand("rates", "Tasas por tipo de trabajador (lista 713), la más reciente primero");
    auto type = std::make_shared<std::string>();
    c->add_option("TIPO", *type, "Tipo de trabajador (dos dígitos)")->required();
    c->callback([&ctx, type] {
      ctx.run([&ctx, type] {
        auto& s = ctx.sessionForReading();
        reference::WorkerRatesForm tasas(s.database());
        std::string tipo = text::trim(*type);
        if (!tipo.empty()) {
          // Only the types the rate view offers can be consulted.
          bool offered = false;
          for (const auto& t : tasas.tipos()) offered = offered || t.codigo == tipo;
          if (!offered) throw std::runtime_error("El tipo de trabajador " + tipo + " no figura en la lista de tipos");
        }
        auto rows = tasas.consultar(tipo, s.msg());
        if (!rows) return 1;
        Table t{{"Vigencia", "IES", "Pension", "Salud", "Artistas", "Vida", "SaludA", "ASEGTPE"}, {}};
        for (auto& r : *rows)
          t.rows.push_back({r.vigencia, r.ies, r.pension, r.salud, r.artistas, r.vida, r.saludA, r.asegtpe});
        ctx.print(t);
        return 0;
      });
    });
  }
});

}  // namespace
}  // namespace korventa::cli
