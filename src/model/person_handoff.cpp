#include "model/person_handoff.h"

#include <algorithm>
#include <tuple>

#include "common/text.h"

namespace korventa::model {
namespace {

// What a TEXT column reads back as, from the value bound to it (taken): a null as "", a text as
// it is, an integer as its digits. A real is stored as a text SQLite renders itself: not followed.
std::optional<std::string> storedText(data::Value& v) {
  if (std::holds_alternative<std::monostate>(v)) return std::string();
  if (auto* s = std::get_if<std::string>(&v)) return std::move(*s);
  if (const auto* i = std::get_if<std::int64_t>(&v)) return std::to_string(*i);
  return std::nullopt;
}

// What an INTEGER column reads back as (as loadPersons reads it), from the value bound to it: an
// integer as it is, a null as the number of an empty text. A text may be stored as a number or
// as the text, a real as an integer or a real: not followed.
std::optional<std::int64_t> storedInteger(const data::Value& v) {
  if (std::holds_alternative<std::monostate>(v)) return text::codeNumber("");
  if (const auto* i = std::get_if<std::int64_t>(&v)) return *i;
  return std::nullopt;
}

// The integer loadPersons reads from a registry value as it is stored there.
std::int64_t registryInteger(const data::Value& v) {
  if (const auto* i = std::get_if<std::int64_t>(&v)) return *i;
  if (const auto* d = std::get_if<double>(&v)) return static_cast<std::int64_t>(*d);
  return text::codeNumber(data::valueText(v));
}

auto order(const PersonData& p) {
  return std::tie(p.key.tip_doc_a, p.key.doc_id_a, p.key.correl_a, p.key.cod_cat_tra);
}

// Fills `p` with the person of a written row (its values taken); false when a value of it cannot
// be followed. Keys are held as integers and a non-null text, so that their order is the order of
// the stored values.
bool fill(PersonData& p, std::int64_t rowid, std::array<PersonHandoff::Bound, PersonHandoff::kColumns>& v,
          const data::Value& sctrPension) {
  using H = PersonHandoff;
  // A null key sorts apart from the numbers and texts.
  for (int k : {H::kTipDocA, H::kCorrelA, H::kDocIdA})
    if (std::holds_alternative<std::monostate>(v[static_cast<std::size_t>(k)])) return false;
  const auto tip = storedInteger(v[H::kTipDocA]), correl = storedInteger(v[H::kCorrelA]),
             cat = storedInteger(v[H::kCodCatTra]), pension = storedInteger(v[H::kPension]),
             sctr = storedInteger(v[H::kSctr]);
  auto doc = storedText(v[H::kDocIdA]), tipo = storedText(v[H::kTipo]), situac = storedText(v[H::kSituac]),
       domicilio = storedText(v[H::kIndDomicilio]), quinta = storedText(v[H::kIndQuinta]),
       dias = storedText(v[H::kDiasLab]), vida = storedText(v[H::kIpssVida]), asegPens = storedText(v[H::kAsegPens]),
       trabPens = storedText(v[H::kAportTrabPensCol]), aportDes = storedText(v[H::kAportDesCol]);
  if (!tip || !correl || !cat || !pension || !sctr || !doc || !tipo || !situac || !domicilio || !quinta || !dias ||
      !vida || !asegPens || !trabPens || !aportDes)
    return false;
  p.rowid = rowid;
  p.key.tip_doc_a = static_cast<int>(*tip);
  p.key.doc_id_a = std::move(*doc);
  p.key.correl_a = *correl;
  p.key.cod_cat_tra = static_cast<int>(*cat);
  // Only workers and pensioners are read; keys that do not fit where they are kept sort otherwise.
  if ((*cat != kWorker && *cat != kPensioner) || p.key.tip_doc_a != *tip) return false;
  p.tipo = text::codeNumber(*tipo);
  p.pension = static_cast<int>(*pension);
  p.situac = text::trim(*situac);
  p.sctr = static_cast<int>(*sctr);
  p.ind_domicilio = text::trim(*domicilio);
  p.ind_quinta = text::trim(*quinta);
  p.dias_lab = std::move(*dias);
  p.ipss_vida = std::move(*vida);
  p.aseg_pens = std::move(*asegPens);
  p.storedSummary[kAportTrabPens] = std::move(*trabPens);
  p.storedSummary[kAportDes] = std::move(*aportDes);
  p.summary = p.storedSummary;
  p.sctrPension = registryInteger(sctrPension) == 1;
  p.concepts.reserve(32);
  return true;
}

}  // namespace

void PersonHandoff::add(std::int64_t rowid, std::array<Bound, kColumns>& values, const data::Value& sctrPension) {
  if (!exact_) return;
  if (!fill(persons_.emplace_back(), rowid, values, sctrPension)) {
    giveUp();
    persons_ = {};
  }
}

std::optional<std::vector<PersonData>> PersonHandoff::take(data::Database& db) {
  std::vector<PersonData> written = std::move(persons_);
  persons_ = {};
  if (!exact_) return std::nullopt;
  // Nothing else wrote person rows in between.
  const auto held = db.integer("SELECT count(*) FROM TEMP1_F601 WHERE cod_cat_tra IN (1, 2)");
  if (held != static_cast<std::int64_t>(written.size())) return std::nullopt;
  // The order of loadPersons: key by key, integers by value and texts byte by byte (the persons
  // are moved once, in that order).
  std::vector<PersonData*> sorted;
  sorted.reserve(written.size());
  for (auto& p : written) sorted.push_back(&p);
  std::sort(sorted.begin(), sorted.end(),
            [](const PersonData* a, const PersonData* b) { return order(*a) < order(*b); });
  for (std::size_t i = 1; i < sorted.size(); ++i)
    if (order(*sorted[i - 1]) == order(*sorted[i])) return std::nullopt;  // the order of twins is SQLite's
  std::vector<PersonData> persons;
  std::size_t inPlace = 0;
  while (inPlace < sorted.size() && sorted[inPlace] == &written[inPlace]) ++inPlace;
  if (inPlace == sorted.size()) {
    persons = std::move(written);
  } else {
    persons.reserve(sorted.size());
    for (PersonData* p : sorted) persons.push_back(std::move(*p));
  }
  // A new declaration has no concept or side rows yet: then there is nothing to look up.
  if (db.exists("SELECT 1 FROM TMPF601CONCEP UNION ALL SELECT 1 FROM TMPF601DIAS_NOLAB UNION ALL SELECT 1 FROM "
                "TMP_F601_SCTR_OTRO UNION ALL SELECT 1 FROM TMPF601_605"))
    readConceptAndSideRows(db, persons);
  return persons;
}

}  // namespace korventa::model
