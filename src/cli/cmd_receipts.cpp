// Fourth-category receipts and formative-modality trainees of a saved or sent declaration:
// show-receipts RUC PERIOD [--correl N] [--totals], show-trainees RUC PERIOD [--correl N].
#include <memory>
#include <stdexcept>
#include <string>

#include "cli/cli.h"
#include "common/dates.h"
#include "common/text.h"
#include "detail/receipts_save.h"

namespace korventa::cli {
namespace {

struct DeclArgs {
  std::string ruc, period, correl;
  bool totals = false;
};

void addDeclOptions(CLI::App* c, DeclArgs& a) {
  c->add_option("RUC", a.ruc, "RUC del declarante")->required();
  c->add_option("PERIODO", a.period, "Periodo AAAAMM o MM/AAAA")->required();
  c->add_option("--correl", a.correl, "Correlativo de envío: lee la declaración enviada (historia)");
}

// The declaration asked for; it must be saved (or sent, with --correl).
declaration::OpenDeclaration declarationOf(Session& s, const DeclArgs& a) {
  declaration::OpenDeclaration d;
  d.ruc = text::trim(a.ruc);
  std::string p = text::trim(a.period);
  if (p.find('/') != std::string::npos) p = periodFromDisplay(p);
  if (!isPeriod(p)) throw std::runtime_error("El período no es válido.");
  d.periodo = p;
  d.correl = text::trim(a.correl);
  auto& db = s.database();
  bool found = d.sent() ? db.exists("SELECT 1 FROM HCAB WHERE tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND "
                                    "Formulario = '0601' AND correl = ?",
                                    {d.ruc, d.periodo, d.correl})
                        : db.exists("SELECT 1 FROM CAB WHERE tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND "
                                    "Formulario = '0601'",
                                    {d.ruc, d.periodo});
  if (!found) throw std::runtime_error("No existe la declaración " + d.ruc + " " + d.periodo);
  return d;
}

const bool registered = addCommand([](CLI::App& app, Context& ctx) {
  {
    auto* c = app.add_subcommand("show-receipts", "Comprobantes de los prestadores de 4ta. categoría de una declaración");
    auto a = std::make_shared<DeclArgs>();
    addDeclOptions(c, *a);
    c->add_flag("--totals", a->totals, "Muestra las casillas 320, 321, 322 y 547 en lugar de los comprobantes");
    c->callback([&ctx, a] {
      ctx.run([&ctx, a] {
        auto& db = ctx.session().database();
        auto d = declarationOf(ctx.session(), *a);
        auto source = d.sent() ? detail::VoucherSource::History : detail::VoucherSource::Stored;
        if (a->totals) {
          auto b = detail::Suma_Montos(db, d, source);
          Table t{{"casilla", "valor"}, {}};
          for (const char* box : {"320", "321", "322", "547"}) t.rows.push_back({box, b.value(box)});
          ctx.print(t);
          return 0;
        }
        Table t{{"tip_doc_a", "doc_id_a", "nombre", "tip_retencion", "num_ser", "num_rec", "fec_emi", "fec_pago",
                 "mto_rec", "ind_rta", "por_rta", "mto_rta", "ind_ies", "mto_ies", "num_for"},
                {}};
        for (const auto& r : detail::declarationVouchers(db, d, source)) {
          const auto& v = r.voucher;
          t.rows.push_back({std::to_string(r.person.tip_doc_a), r.person.doc_id_a, r.name, v.tip_retencion, v.num_ser,
                            v.num_rec, v.fec_emi, v.fec_pago, v.mto_rec, v.ind_rta, v.por_rta, v.mto_rta, v.ind_ies,
                            v.mto_ies, v.num_for});
        }
        ctx.print(t);
        return 0;
      });
    });
  }
  {
    auto* c = app.add_subcommand("show-trainees", "Personal en formación (modalidad formativa) de una declaración");
    auto a = std::make_shared<DeclArgs>();
    addDeclOptions(c, *a);
    c->callback([&ctx, a] {
      ctx.run([&ctx, a] {
        auto& db = ctx.session().database();
        auto d = declarationOf(ctx.session(), *a);
        auto source = d.sent() ? detail::VoucherSource::History : detail::VoucherSource::Stored;
        Table t{{"tip_doc_a", "doc_id_a", "nombre", "mto_renta", "establecimientos"}, {}};
        for (const auto& r : detail::declarationTrainees(db, d, source)) {
          std::string est;
          for (auto e : r.establishments) est += (est.empty() ? "" : ",") + std::to_string(e);
          t.rows.push_back({std::to_string(r.person.tip_doc_a), r.person.doc_id_a, r.name, r.mto_renta, est});
        }
        ctx.print(t);
        return 0;
      });
    });
  }
});

}  // namespace
}  // namespace korventa::cli
