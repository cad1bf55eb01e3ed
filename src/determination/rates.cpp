#include "determination/rates.h"

#include <stdexcept>

#include "common/text.h"
#include "data/param.h"
#include "determination/concept_rules.h"

namespace korventa::determination {
namespace {

// A yes/no column as the registry writes it: 1, -1, "1", "-1", "S", "SI", "true".
bool yes(const data::Value& v) {
  if (v.index() == 1) return std::get<std::int64_t>(v) != 0;
  if (v.index() == 2) return std::get<double>(v) != 0;
  std::string s = text::upper(text::trim(data::valueText(v)));
  return s == "1" || s == "-1" || s == "S" || s == "SI" || s == "TRUE" || s == "T";
}

}  // namespace

DeclarantOptions DeclarantOptions::load(data::Database& db, const std::string& ruc) {
  DeclarantOptions o;
  for (const auto& r :
       db.rows("SELECT cod_tributo, valor, tasa FROM AFECTACION WHERE tip_doc_d = 6 AND doc_id_d = ?", {ruc})) {
    std::string code = text::trim(r.text(0));
    TaxOption* opt = code == "050801" ? &o.ies : code == "052100" ? &o.essalud : code == "053100" ? &o.snp : nullptr;
    if (!opt) continue;
    opt->present = true;
    opt->valor = yes(r[1]);
    opt->tasa = Money::value(text::trim(r.text(2)));
  }
  o.senati = codeNumber(db.text("SELECT Ind_senati FROM CONTRVKRS WHERE tip_doc_d = 6 AND doc_id_d = ?", {ruc})) == 1;
  return o;
}

Money fractionOf(Money percent) {
  return percent.dividedBy(Money::fromUnits(100));
}

RateSet CargarTasas(data::Database& db, int tipo, const std::string& periodo, const DeclarantOptions& options) {
  data::ParamTable param(db);
  std::string type = tipo < 10 ? "0" + std::to_string(tipo) : std::to_string(tipo);
  data::Rates713 r = param.rates713(type, periodo);
  RateSet s;
  s.ies = fractionOf(r.iesRate());
  s.snp = fractionOf(r.pensionRate());
  s.essalud = fractionOf(tipo == 64 || tipo == 65 ? r.agrarianHealthRate() : r.healthRate());
  s.artists = fractionOf(r.artistsRate());
  s.fcjmms = Money::fromRaw(50);  // 0.5 %
  // The declarant's own rates replace those of the list when it chose them.
  if (options.essalud.present && options.essalud.valor) s.essalud = fractionOf(options.essalud.tasa);
  if (options.snp.present && options.snp.valor) s.snp = fractionOf(options.snp.tasa);
  s.iesTasa = fractionOf(options.ies.tasa);
  return s;
}

int sctrIgvPercent(const std::string& periodo) {
  return periodo < "201103" ? 19 : 18;
}

const RateSet& RateCache::forType(int tipo) {
  auto it = cache_.find(tipo);
  if (it != cache_.end()) return it->second;
  if (frozen_) throw std::logic_error("rates of type " + std::to_string(tipo) + " not read beforehand");
  it = cache_.emplace(tipo, CargarTasas(db_, tipo, periodo_, options_)).first;
  return it->second;
}

}  // namespace korventa::determination
