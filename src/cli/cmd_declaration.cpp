// The road of a declaration from the command line: list, new, refresh, save, copy, delete,
// recover, order-number and show. Each command runs the same controllers as the forms; their
// messages go to stderr and questions take the answer of --yes / --no.
#include <iostream>
#include <memory>

#include "cli/cli.h"
#include "cli/listings.h"
#include "common/dates.h"
#include "common/text.h"
#include "declaration/catalogue.h"
#include "declaration/sent_declaration_chooser_form.h"
#include "declaration/declaration_chooser_form.h"
#include "declaration/copy_declaration.h"
#include "declaration/declaration_queries.h"
#include "declaration/declaration_form.h"
#include "declaration/recovery.h"
#include "declaration/save_stamp.h"
#include "common/vb_format.h"
#include "determination/debt_grid.h"
#include <map>

namespace korventa::cli {
namespace {

using namespace korventa::declaration;

void requireDeclarant(Session& s, const std::string& ruc) {
  for (const auto& d : data::LlenaDeclarantesRuc(s.database(), s.user))
    if (d.doc_id_d == ruc) return;
  throw std::runtime_error("El RUC " + ruc + " no es un declarante del registro para el usuario " + text::trim(s.user));
}

Table tableOf(StoredListing listing) {
  return Table{std::move(listing.columns), std::move(listing.rows)};
}

// The determination grid of a stored declaration: one row per tax column, one cell per step
// ("casilla=valor", "-" where the column has no such box), and the total to pay.
Table gridTable(data::Database& db, const model::OpenDeclaration& d) {
  auto stored = storedBoxValues(db, d.ruc, d.periodo, d.correl);
  Table t;
  t.columns.push_back("Tributo");
  for (const char* caption : determination::gridRowCaptions()) t.columns.push_back(caption);
  std::vector<determination::Box> boxes;
  for (const auto& c : determination::taxColumns()) {
    std::vector<std::string> row = {c.label};
    for (const char* b : c.boxes()) {
      if (!b) {
        row.push_back("-");
        continue;
      }
      std::string v = stored.count(b) ? stored[b] : std::string();
      boxes.push_back({b, v});
      row.push_back(std::string(b) + "=" + vbFormatText(v, "#,###,###,##0;(#,###,###,##0)"));
    }
    if (const char* igv = determination::igvBox(c))
      row.back() += std::string("  (IGV ") + igv + "=" + vbFormatText(stored[igv], "#,###,###,##0") + ")";
    t.rows.push_back(std::move(row));
  }
  std::vector<std::string> total(t.columns.size(), "");
  total[0] = "Total a pagar";
  total.back() = determination::totalToPay(boxes);
  t.rows.push_back(std::move(total));
  return t;
}

struct Args {
  std::string ruc, periodo, other, number, telefono, correl;
  bool rectifica = false, sent = false, full = false, persons = false, boxes = false, det = false;
  // show: the other listings of a stored declaration.
  bool concepts = false, days = false, eps = false, receipts = false, totals = false, trainees = false;
  std::string conceptDoc;
};

using ArgsPtr = std::shared_ptr<Args>;

// Runs `command` for the parsed arguments when the subcommand is called.
void onCall(CLI::App* c, Context& ctx, const ArgsPtr& a, int (*command)(Context&, Args&)) {
  c->callback([&ctx, a, command] { ctx.run([&ctx, a, command] { return command(ctx, *a); }); });
}

void addKeyOptions(CLI::App* c, Args& a, const char* periodHelp) {
  c->add_option("RUC", a.ruc, "RUC del declarante")->required();
  c->add_option("PERIOD", a.periodo, periodHelp)->required();
}

int listDeclarations(Context& ctx, Args& a) {
  auto& s = ctx.sessionForReading();
  Table t;
  if (a.sent) {
    SentDeclarationChooserForm e(s, Mode::Modify);
    t.columns = e.columns();
    for (const auto& r : e.requery()) t.rows.push_back(e.cells(r));
  } else {
    DeclarationChooserForm m(s, Mode::Modify, false);
    t.columns = m.columns();
    for (const auto& r : m.requery()) t.rows.push_back(m.cells(r));
  }
  ctx.print(t);
  return 0;
}

void addList(CLI::App& app, Context& ctx) {
  auto* c = app.add_subcommand("list", "Lista las declaraciones en preparación (o las enviadas con --sent)");
  auto a = std::make_shared<Args>();
  c->add_flag("--sent", a->sent, "Declaraciones enviadas");
  onCall(c, ctx, a, listDeclarations);
}

int newDeclaration(Context& ctx, Args& a) {
  auto& s = ctx.session();
  requireDeclarant(s, a.ruc);
  data::Transaction command(s.database());  // one write transaction, as every command that saves
  DeclarationForm f(s, false);
  f.newDeclaration();
  f.CmbRuc_Click(a.ruc);
  f.setTelefono(a.telefono);
  f.setRectifica(a.rectifica);
  if (!f.acceptPeriod(periodToDisplay(periodArg(a.periodo)), ctx.progress()).ok) return 1;
  auto r = f.save(ctx.progress());
  f.closeWithoutSaving();
  if (!r.saved) return 1;
  command.commit();
  std::cout << "Declaración grabada: " << a.ruc << " " << periodToDisplay(f.declaration().periodo)
            << (r.inconsistent ? " (con inconsistencias, estado 9)" : "") << "\n";
  return 0;
}

void addNew(CLI::App& app, Context& ctx) {
  auto* c = app.add_subcommand("new", "Crea una declaración desde el registro y la graba");
  auto a = std::make_shared<Args>();
  addKeyOptions(c, *a, "Período AAAAMM o MM/AAAA");
  c->add_option("--telefono", a->telefono, "Teléfono (casilla 028)");
  c->add_flag("--rectifica", a->rectifica, "Declaración rectificatoria");
  onCall(c, ctx, a, newDeclaration);
}

int refreshDeclaration(Context& ctx, Args& a) {
  return withOpenDeclaration(
      ctx.session(), a.ruc, periodArg(a.periodo), [&ctx](DeclarationForm& f) { return f.refresh(ctx.progress()); },
      nullptr, ctx.progress());
}

int saveDeclaration(Context& ctx, Args& a) {
  auto& s = ctx.session();
  std::string periodo = periodArg(a.periodo);
  if (!a.full)
    if (auto r = saveUnchanged(s, text::trim(a.ruc), periodo)) return r->saved ? 0 : 1;
  return withOpenDeclaration(s, a.ruc, periodo, [](DeclarationForm&) { return true; });
}

void addRefreshAndSave(CLI::App& app, Context& ctx) {
  auto* c = app.add_subcommand("refresh", "Refresca una declaración desde el registro y la graba");
  auto a = std::make_shared<Args>();
  addKeyOptions(c, *a, "Período AAAAMM o MM/AAAA");
  onCall(c, ctx, a, refreshDeclaration);
  c = app.add_subcommand("save", "Vuelve a grabar una declaración");
  a = std::make_shared<Args>();
  addKeyOptions(c, *a, "Período AAAAMM o MM/AAAA");
  c->add_flag("--full", a->full, "Abre la declaración y la graba aunque nada haya cambiado desde que se grabó");
  onCall(c, ctx, a, saveDeclaration);
}

int copyDeclaration(Context& ctx, Args& a) {
  auto& s = ctx.session();
  std::string from = periodArg(a.periodo);
  if (!declarationExists(s.database(), a.ruc, from))
    throw std::runtime_error("No existe la declaración " + a.ruc + " " + periodToDisplay(from));
  std::string target = text::trim(a.other);
  if (!(target.size() == 7 && target[2] == '/')) target = periodToDisplay(periodArg(target));
  CopyDeclarationForm copy(s, a.ruc, from);
  return copy.copiar(target) ? 0 : 1;
}

void addCopy(CLI::App& app, Context& ctx) {
  auto* c = app.add_subcommand("copy", "Copia una declaración a un período posterior");
  auto a = std::make_shared<Args>();
  addKeyOptions(c, *a, "Período de origen");
  c->add_option("TO_PERIOD", a->other, "Período de destino")->required();
  onCall(c, ctx, a, copyDeclaration);
}

int deleteStoredDeclaration(Context& ctx, Args& a) {
  auto& s = ctx.session();
  std::string periodo = periodArg(a.periodo);
  if (!declarationExists(s.database(), a.ruc, periodo, a.correl))
    throw std::runtime_error("No existe la declaración " + a.ruc + " " + periodToDisplay(periodo) +
                             (a.correl.empty() ? "" : " con correlativo " + a.correl));
  if (s.msg().ask("¿Confirma que va a eliminar la declaración seleccionada?", "Confirmar", MsgButtons::YesNo,
                  Answer::No) != Answer::Yes)
    return 1;
  return deleteDeclaration(s, a.ruc, periodo, a.correl) ? 0 : 1;
}

void addDelete(CLI::App& app, Context& ctx) {
  auto* c = app.add_subcommand("delete", "Elimina una declaración en preparación (o un envío con --sent CORREL)");
  auto a = std::make_shared<Args>();
  addKeyOptions(c, *a, "Período");
  c->add_option("--sent", a->correl, "Correlativo del envío");
  onCall(c, ctx, a, deleteStoredDeclaration);
}

int recoverDeclaration(Context& ctx, Args& a) {
  auto& s = ctx.session();
  std::string periodo = periodArg(a.periodo);
  if (a.correl.empty() || !declarationExists(s.database(), a.ruc, periodo, a.correl))
    throw std::runtime_error("No existe el envío " + a.correl + " de " + a.ruc + " " + periodToDisplay(periodo));
  RecoveryForm r(s, a.ruc, periodo, a.correl);
  return r.recuperar() ? 0 : 1;
}

void addRecover(CLI::App& app, Context& ctx) {
  auto* c = app.add_subcommand("recover", "Recupera una declaración enviada a preparación");
  auto a = std::make_shared<Args>();
  addKeyOptions(c, *a, "Período");
  c->add_option("CORREL", a->correl, "Correlativo del envío")->required();
  onCall(c, ctx, a, recoverDeclaration);
}

int registerOrderNumber(Context& ctx, Args& a) {
  auto& s = ctx.session();
  DeclarationForm f(s, false);
  if (!f.openSent(a.ruc, periodArg(a.periodo), a.correl)) return 1;
  f.setNumOrden(a.number);
  bool ok = f.save().saved;
  f.closeWithoutSaving();
  return ok ? 0 : 1;
}

void addOrderNumber(CLI::App& app, Context& ctx) {
  auto* c = app.add_subcommand("order-number", "Registra el número de orden de una declaración enviada");
  auto a = std::make_shared<Args>();
  addKeyOptions(c, *a, "Período");
  c->add_option("CORREL", a->correl, "Correlativo del envío")->required();
  c->add_option("NUMBER", a->number, "Número de orden")->required();
  onCall(c, ctx, a, registerOrderNumber);
}

int showDeclaration(Context& ctx, Args& a) {
  auto& s = ctx.sessionForReading();
  auto& db = s.database();
  auto d = storedDeclaration(s, a.ruc, periodArg(a.periodo), a.correl);
  if (a.persons)
    ctx.print(tableOf(storedPersonRows(db, d.ruc, d.periodo, d.correl)));
  else if (a.boxes)
    ctx.print(gridTable(db, d));
  else if (a.det)
    ctx.print(tableOf(storedBoxRows(db, d.ruc, d.periodo, d.correl)));
  else if (a.concepts)
    ctx.print(conceptsTable(s, d, a.conceptDoc));
  else if (a.days)
    ctx.print(suspensionsTable(s, d));
  else if (a.eps)
    ctx.print(invoicesTable(s, d));
  else if (a.receipts || a.totals)
    ctx.print(receiptsTable(s, d, a.totals));
  else if (a.trainees)
    ctx.print(traineesTable(s, d));
  else
    ctx.print(tableOf(storedHeader(db, d.ruc, d.periodo, d.correl)));
  return 0;
}

void addShow(CLI::App& app, Context& ctx) {
  auto* c = app.add_subcommand("show", "Muestra la cabecera (y las personas o casillas) de una declaración grabada");
  auto a = std::make_shared<Args>();
  addKeyOptions(c, *a, "Período");
  c->add_option("--sent", a->correl, "Correlativo del envío (declaración enviada)");
  c->add_flag("--persons", a->persons, "Filas de trabajadores y pensionistas (F601_TRAB)");
  c->add_flag("--boxes", a->boxes, "Determinación de la deuda: una fila por tributo con sus casillas");
  c->add_flag("--det", a->det, "Casillas grabadas (DET)");
  auto* concepts =
      c->add_option("--concepts", a->conceptDoc,
                    "Filas de conceptos (persona, codigo, monto, monto_pag, base_calculo); con DOC, las de una persona")
          ->expected(0, 1);
  c->add_flag("--days", a->days, "Suspensiones (F601DIAS_NOLAB)");
  c->add_flag("--eps", a->eps, "Facturas EPS por casilla (F600INFEPS)");
  c->add_flag("--receipts", a->receipts, "Comprobantes de los prestadores de 4ta. categoría");
  c->add_flag("--totals", a->totals, "Con --receipts: las casillas 320, 321, 322 y 547 en lugar de los comprobantes");
  c->add_flag("--trainees", a->trainees, "Personal en formación (modalidad formativa)");
  c->callback([&ctx, a, concepts] {
    a->concepts = concepts->count() > 0;
    ctx.run([&ctx, a] { return showDeclaration(ctx, *a); });
  });
}

const bool registered = addCommand([](CLI::App& app, Context& ctx) {
  addList(app, ctx);
  addNew(app, ctx);
  addRefreshAndSave(app, ctx);
  addCopy(app, ctx);
  addDelete(app, ctx);
  addRecover(app, ctx);
  addOrderNumber(app, ctx);
  addShow(app, ctx);
});

}  // namespace
}  // namespace korventa::cli
