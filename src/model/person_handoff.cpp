#include "model/person_handoff.h"

#include <algorithm>
#include <tuple>

#include "common/text.h"

namespace korventa::model {
namespace {

// What a TEXT column reads back as, from the value bound to it: a null as "", a text as it is,
// an integer as its digits. A real is stored as a text SQLite renders itself: not followed.
std::optional<std::string> storedText(const data::Value& v) {
  if (std::holds_alternative<std::monostate>(v)) return std::string();
  if (const auto* s = std::get_if<std::string>(&v)) return *s;
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

// The person of a written row, or nullopt when a value of it cannot be followed. Keys are held
// as integers and a non-null text, so that their order is the order of the stored values.
std::optional<PersonData> personOf(std::int64_t rowid,
                                   const std::array<PersonHandoff::Bound, PersonHandoff::kColumns>& v,
                                   const data::Value& sctrPension) {
  using H = PersonHandoff;
  const auto tip = storedInteger(v[H::kTipDocA]), correl = storedInteger(v[H::kCorrelA]),
             cat = storedInteger(v[H::kCodCatTra]), pension = storedInteger(v[H::kPension]),
             sctr = storedInteger(v[H::kSctr]);
  const auto doc = storedText(v[H::kDocIdA]), tipo = storedText(v[H::kTipo]), situac = storedText(v[H::kSituac]),
             domicilio = storedText(v[H::kIndDomicilio]), quinta = storedText(v[H::kIndQuinta]),
             dias = storedText(v[H::kDiasLab]), vida = storedText(v[H::kIpssVida]),
             asegPens = storedText(v[H::kAsegPens]), trabPens = storedText(v[H::kAportTrabPensCol]),
             aportDes = storedText(v[H::kAportDesCol]);
  if (!tip || !correl || !cat || !pension || !sctr || !doc || !tipo || !situac || !domicilio || !quinta || !dias ||
      !vida || !asegPens || !trabPens || !aportDes)
    return std::nullopt;
  // A null key sorts apart from the numbers and texts; only workers and pensioners are read.
  if (std::holds_alternative<std::monostate>(v[H::kTipDocA]) ||
      std::holds_alternative<std::monostate>(v[H::kCorrelA]) || std::holds_alternative<std::monostate>(v[H::kDocIdA]) ||
      (*cat != kWorker && *cat != kPensioner))
    return std::nullopt;
  PersonData p;
  p.rowid = rowid;
  p.key.tip_doc_a = static_cast<int>(*tip);
  p.key.doc_id_a = *doc;
  p.key.correl_a = *correl;
  p.key.cod_cat_tra = static_cast<int>(*cat);
  // Keys that do not fit where loadPersons keeps them would sort otherwise.
  if (p.key.tip_doc_a != *tip || p.key.cod_cat_tra != *cat) return std::nullopt;
  p.tipo = text::codeNumber(*tipo);
  p.pension = static_cast<int>(*pension);
  p.situac = text::trim(*situac);
  p.sctr = static_cast<int>(*sctr);
  p.ind_domicilio = text::trim(*domicilio);
  p.ind_quinta = text::trim(*quinta);
  p.dias_lab = *dias;
  p.ipss_vida = *vida;
  p.aseg_pens = *asegPens;
  p.storedSummary[kAportTrabPens] = *trabPens;
  p.storedSummary[kAportDes] = *aportDes;
  p.summary = p.storedSummary;
  p.sctrPension = registryInteger(sctrPension) == 1;
  p.concepts.reserve(32);
  return p;
}

}  // namespace

void PersonHandoff::add(std::int64_t rowid, const std::array<Bound, kColumns>& values, const data::Value& sctrPension) {
  if (!exact_) return;
  auto p = personOf(rowid, values, sctrPension);
  if (!p) {
    giveUp();
    persons_.clear();
    return;
  }
  persons_.push_back(std::move(*p));
}

std::optional<std::vector<PersonData>> PersonHandoff::take(data::Database& db) {
  std::vector<PersonData> persons = std::move(persons_);
  persons_.clear();
  if (!exact_) return std::nullopt;
  // The order of loadPersons: key by key, integers by value and texts byte by byte.
  std::sort(persons.begin(), persons.end(),
            [](const PersonData& a, const PersonData& b) { return order(a) < order(b); });
  for (std::size_t i = 1; i < persons.size(); ++i)
    if (order(persons[i - 1]) == order(persons[i])) return std::nullopt;  // the order of twins is SQLite's
  // Nothing else wrote person rows in between.
  const auto held = db.integer("SELECT count(*) FROM TEMP1_F601 WHERE cod_cat_tra IN (1, 2)");
  if (held != static_cast<std::int64_t>(persons.size())) return std::nullopt;
  readConceptAndSideRows(db, persons);
  return persons;
}

}  // namespace korventa::model
