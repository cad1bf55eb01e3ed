#include "detail/detail_support.h"

#include <stdexcept>

#include "common/text.h"
#include "common/vb_format.h"
#include "data/db_errors.h"
#include "determination/declaration_computation.h"

namespace korventa::detail {

Outcome refuse(Messenger& m, std::string_view text, std::string_view focus) {
  m.critical(text);
  return Outcome{false, std::string(focus)};
}

void recomputeWrittenPerson(data::Database& db, const model::OpenDeclaration& decl, const PersonKey& person) {
  if (person.cod_cat_tra != kWorker && person.cod_cat_tra != kPensioner) return;
  determination::recomputePersonInTransaction(db, decl, person);
}

bool writeInTransaction(data::Database& db, Messenger& m, const std::function<bool()>& write) {
  try {
    data::Transaction tx(db);
    if (!write()) return false;
    tx.commit();
    return true;
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(m, e);
    return false;
  }
}

std::string personWhere(std::string_view alias) {
  std::string a = alias.empty() ? std::string() : std::string(alias) + ".";
  return a + "correl_a = ? AND " + a + "tip_doc_a = ? AND " + a + "doc_id_a = ?";
}

data::Params personParams(const PersonKey& p) {
  return data::Params{p.correl_a, p.tip_doc_a, p.doc_id_a};
}

WorkerRow readWorkerRow(data::Database& db, const PersonKey& person) {
  auto r = db.row(
      "SELECT Nombre, tip_doc, doc_id_a, Tipo, Situac, sctr, dias_lab, dias_sub, dias_no_lab, horas_nor, "
      "horas_sob FROM TEMP1_F601 WHERE " +
          personWhere() + " AND cod_cat_tra = ?",
      {person.correl_a, person.tip_doc_a, person.doc_id_a, person.cod_cat_tra ? person.cod_cat_tra : 1});
  if (!r) throw std::runtime_error("La persona no figura en la declaración abierta.");
  WorkerRow w;
  w.nombre = r->text(0);
  w.tipDoc = r->text(1);
  w.docId = r->text(2);
  w.tipo = text::trim(r->text(3));
  w.situac = text::trim(r->text(4));
  w.sctr = static_cast<int>(wholeNumber(r->text(5)));
  w.dias_lab = text::trim(r->text(6));
  w.dias_sub = text::trim(r->text(7));
  w.dias_no_lab = text::trim(r->text(8));
  w.horas_nor = text::trim(r->text(9));
  w.horas_sob = text::trim(r->text(10));
  return w;
}

std::optional<Date> parseDate(std::string_view t) {
  std::string s = text::trim(t);
  if (s.empty()) return std::nullopt;
  if (auto d = Date::parseDmy(s)) return d;
  return Date::parseAny(s);
}

std::optional<Date> leavingDate(data::Database& db, const std::string& ruc, const PersonKey& person) {
  auto r = db.row(
      "SELECT fec_baja FROM ASEGVKRS WHERE tip_doc_d = 6 AND doc_id_d = ? AND correl_a = ? AND "
      "cod_cat_tra = ?",
      {ruc, person.correl_a, person.cod_cat_tra ? person.cod_cat_tra : 1});
  if (!r) return std::nullopt;
  return parseDate(r->text(0));
}

Money percentOfRate(Money base, Money rate) {
  // b/10^4 × r/10^4 / 100 soles = b × r / 10^8 cents.
  std::int64_t cents = divRoundHalfAway(static_cast<__int128>(base.raw()) * rate.raw(), Money::kScale * Money::kScale);
  return Money::fromRaw(cents * (Money::kScale / 100));
}

long long wholeNumber(std::string_view t) {
  auto m = Money::parse(text::trim(t));
  if (!m) return 0;
  return m->raw() / Money::kScale;
}

std::string dayTotalText(bool any, Money total) {
  return any ? vbFormat(total, "###0") : std::string();
}

}  // namespace korventa::detail
