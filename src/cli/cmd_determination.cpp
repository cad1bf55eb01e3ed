// Debt determination from the command line: typed boxes and payment data (set) and the
// validation of a declaration (validate).
#include <iostream>
#include <memory>

#include "cli/cli.h"
#include "cli/listings.h"
#include "common/dates.h"
#include "common/text.h"
#include "declaration/declaration_form.h"
#include "declaration/save_stamp.h"
#include "determination/debt_grid.h"
#include "determination/validation.h"
#include "reports/inconsistency_report.h"

namespace korventa::cli {
namespace {

struct Args {
  std::string ruc, periodo;
  std::vector<std::string> assignments;
  bool report = false, full = false;
};

const bool registered = addCommand([](CLI::App& app, Context& ctx) {
  {
    auto* c = app.add_subcommand("set",
                                 "Registra casillas de la determinación de la deuda y la forma de pago, "
                                 "recalcula y graba (CASILLA=VALOR, pago=E|C, banco=NN, cheque=N)");
    auto a = std::make_shared<Args>();
    c->add_option("RUC", a->ruc, "RUC del declarante")->required();
    c->add_option("PERIOD", a->periodo, "Período AAAAMM o MM/AAAA")->required();
    c->add_option("VALUES", a->assignments, "CASILLA=VALOR (vacío para borrar), pago=, banco=, cheque=")->required();
    c->callback([&ctx, a] {
      ctx.run([&ctx, a] {
        auto& s = ctx.session();
        std::string total;
        declaration::SaveResult r;
        int rc = withOpenDeclaration(
            s, a->ruc, periodArg(a->periodo),
            [&](declaration::DeclarationForm& f) {
              auto& d = f.declaration();
              determination::DebtDetermination grid(s, d);
              grid.load();
              for (const auto& as : a->assignments) {
                auto eq = as.find('=');
                if (eq == std::string::npos) throw std::runtime_error("Se esperaba CASILLA=VALOR: " + as);
                std::string key = text::trim(as.substr(0, eq)), value = text::trim(as.substr(eq + 1));
                if (key == "pago") {
                  if (value != "E" && value != "C")
                    throw std::runtime_error("Forma de pago no válida (E o C): " + value);
                  d.payment.type = value;
                } else if (key == "banco") {
                  d.payment.bank = value.empty() ? "XX" : value;
                } else if (key == "cheque") {
                  d.payment.chequeNumber = value;
                } else if (!grid.setBox(key, value)) {
                  throw std::runtime_error("La casilla " + key + " no se puede registrar con el valor '" + value + "'");
                }
              }
              d.typedBoxes = grid.typedBoxes();
              d.typedBoxesRead = true;
              total = grid.total();
              d.payment.total = total;
              f.setModified();
              return true;
            },
            &r);
        if (rc != 0) return rc;
        std::cout << "Total a pagar: " << (total.empty() ? "-" : total)
                  << (r.inconsistent ? " (con inconsistencias, estado 9)" : "") << "\n";
        return 0;
      });
    });
  }
  {
    auto* c = app.add_subcommand("validate", "Valida una declaración en preparación y lista sus inconsistencias");
    auto a = std::make_shared<Args>();
    c->add_option("RUC", a->ruc, "RUC del declarante")->required();
    c->add_option("PERIOD", a->periodo, "Período AAAAMM o MM/AAAA")->required();
    c->add_flag("--report", a->report,
                "Con inconsistencias, escribe además el reporte (Inconsistencias.PRN, para 'render')");
    c->add_flag("--full", a->full, "Abre la declaración y la valida aunque nada haya cambiado desde que se grabó");
    c->callback([&ctx, a] {
      ctx.run([&ctx, a] {
        auto& s = ctx.session();
        auto r = declaration::validateStored(s, text::trim(a->ruc), periodArg(a->periodo), a->full, ctx.progress());
        if (r.exitCode == 1) return 1;
        for (const auto& l : r.lines) std::cout << l << "\n";
        if (a->report && r.exitCode == 3) {
          auto prn = reports::writeInconsistencyReportFile(s, determination::mensPath(s));
          if (prn) std::cerr << "Reporte: " << prn->string() << "\n";
        }
        return r.exitCode;
      });
    });
  }
});

}  // namespace
}  // namespace korventa::cli
