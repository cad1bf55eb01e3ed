#include "cli/listings.h"

#include <stdexcept>

#include <sqlite3.h>

#include "common/dates.h"
#include "common/text.h"
#include "data/conflict_error.h"
#include "data/sessions.h"
#include "declaration/declaration_queries.h"
#include "detail/receipts_save.h"
#include "detail/stored_rows.h"
#include "determination/concept_listing.h"

namespace korventa::cli {

int withOpenDeclaration(Session& s, const std::string& ruc, const std::string& periodo,
                        const std::function<bool(declaration::DeclarationForm&)>& work, declaration::SaveResult* result,
                        Progress& progress) {
  // The whole command is one write transaction: a command of another program on the same file
  // waits for it (at most the busy timeout, then "Registro bloqueado. Intente luego") instead of
  // changing the declaration between its opening and its save; and a command whose save fails
  // leaves nothing written, a killed one neither.
  data::Transaction command(s.database());
  std::string self = data::sessionId(s);
  if (auto h = data::otherHolder(s.database(), text::trim(ruc), periodo, self))
    throw data::ConflictError(SQLITE_BUSY, data::heldText(*h, text::trim(ruc), periodo));
  declaration::DeclarationForm f(s, false);
  if (!f.openDeclaration(text::trim(ruc), periodo)) return 1;
  declaration::SaveResult r;
  bool save = false;
  try {
    save = work(f);
    if (save) r = f.save(progress);
  } catch (...) {
    f.closeWithoutSaving();
    throw;
  }
  f.closeWithoutSaving();
  if (result) *result = r;
  if (save && !r.saved) return 1;
  command.commit();
  return r.saved ? 0 : 1;
}

PersonKey declaredPerson(Session& s, int tipDoc, const std::string& doc, bool workersOnly) {
  auto person = declaration::findDeclaredPerson(s.database(), tipDoc, doc, workersOnly);
  if (!person)
    throw std::runtime_error(
        "La persona " + doc +
        (workersOnly ? " no es trabajador de la declaración" : " no es trabajador ni pensionista de la declaración"));
  return *person;
}

model::OpenDeclaration storedDeclaration(Session& s, const std::string& ruc, const std::string& periodo,
                                         const std::string& correl) {
  model::OpenDeclaration d;
  d.ruc = text::trim(ruc);
  d.periodo = periodo;
  d.correl = text::trim(correl);
  if (!declaration::declarationExists(s.database(), d.ruc, d.periodo, d.correl))
    throw std::runtime_error("No existe la declaración " + d.ruc + " " + periodToDisplay(d.periodo) +
                             (d.sent() ? " con correlativo " + d.correl : ""));
  return d;
}

Table conceptsTable(Session& s, const model::OpenDeclaration& d, const std::string& doc) {
  auto listing = determination::conceptListing(s.database(), d.ruc, d.periodo, d.correl, text::trim(doc));
  return Table{listing.columns, listing.rows};
}

Table suspensionsTable(Session& s, const model::OpenDeclaration& d) {
  auto stored = detail::storedSuspensions(s.database(), d.ruc, d.periodo, d.correl);
  return Table{stored.columns, stored.rows};
}

Table invoicesTable(Session& s, const model::OpenDeclaration& d) {
  auto stored = detail::storedInvoices(s.database(), d.ruc, d.periodo, d.correl);
  return Table{stored.columns, stored.rows};
}

Table receiptsTable(Session& s, const model::OpenDeclaration& d, bool totals) {
  auto& db = s.database();
  auto source = d.sent() ? model::VoucherSource::History : model::VoucherSource::Stored;
  if (totals) {
    auto b = model::Suma_Montos(db, d, source);
    Table t{{"casilla", "valor"}, {}};
    for (const char* box : {"320", "321", "322", "547"}) t.rows.push_back({box, b.value(box)});
    return t;
  }
  Table t{{"tip_doc_a", "doc_id_a", "nombre", "tip_retencion", "num_ser", "num_rec", "fec_emi", "fec_pago", "mto_rec",
           "ind_rta", "por_rta", "mto_rta", "ind_ies", "mto_ies", "num_for"},
          {}};
  for (const auto& r : detail::declarationVouchers(db, d, source)) {
    const auto& v = r.voucher;
    t.rows.push_back({std::to_string(r.person.tip_doc_a), r.person.doc_id_a, r.name, v.tip_retencion, v.num_ser,
                      v.num_rec, v.fec_emi, v.fec_pago, v.mto_rec, v.ind_rta, v.por_rta, v.mto_rta, v.ind_ies,
                      v.mto_ies, v.num_for});
  }
  return t;
}

Table traineesTable(Session& s, const model::OpenDeclaration& d) {
  auto source = d.sent() ? model::VoucherSource::History : model::VoucherSource::Stored;
  Table t{{"tip_doc_a", "doc_id_a", "nombre", "mto_renta", "establecimientos"}, {}};
  for (const auto& r : detail::declarationTrainees(s.database(), d, source)) {
    std::string est;
    for (auto e : r.establishments) est += (est.empty() ? "" : ",") + std::to_string(e);
    t.rows.push_back({std::to_string(r.person.tip_doc_a), r.person.doc_id_a, r.name, r.mto_renta, est});
  }
  return t;
}

}  // namespace korventa::cli
