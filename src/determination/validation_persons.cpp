// The persons of the working set and their concept rows, read once per run of the validation.
#include <algorithm>
#include <cstdint>
#include <future>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include <sqlite3.h>

#include "common/text.h"
#include "model/computed_persons.h"
#include "determination/validation.h"
#include "determination/validation_person.h"

namespace korventa::determination {
namespace {

// A text without its surrounding blanks, as columnText gives a column.
std::string_view trimmed(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  return t;
}

// A column of the current row of a statement without its surrounding blanks, read in place.
std::string_view columnText(sqlite3_stmt* st, int i) {
  const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
  return trimmed(std::string_view(p ? p : "", p ? static_cast<std::size_t>(sqlite3_column_bytes(st, i)) : 0));
}

// Whether the save stores the amount so that it reads back as the same value: blank (stored
// empty) or a plain number with at most two decimals (re-formatted to the same value).
bool plainAmount(std::string_view t) {
  t = trimmed(t);
  if (t.empty()) return true;
  if (t.front() == '-') t.remove_prefix(1);
  auto point = t.find('.');
  std::string_view whole = t.substr(0, point), decimals = point == t.npos ? std::string_view() : t.substr(point + 1);
  auto digits = [](std::string_view d) { return d.find_first_not_of("0123456789") == std::string_view::npos; };
  return !whole.empty() && digits(whole) && digits(decimals) && decimals.size() <= 2 &&
         (point == t.npos || !decimals.empty());
}

// The persons with a correlative and category, most recently loaded last.
struct PersonIndex {
  struct Hash {
    std::size_t operator()(const std::pair<std::int64_t, int>& k) const {
      return std::hash<std::int64_t>()(k.first * 8 + k.second);
    }
  };
  std::unordered_map<std::pair<std::int64_t, int>, std::vector<std::size_t>, Hash> byCorrel;
};

constexpr std::size_t kNobody = static_cast<std::size_t>(-1);

// Concepts in code order (cheaper than sorting the whole table in SQL): their positions sorted,
// then each row moved once.
void sortByCode(std::vector<checked::Concept>& c) {
  auto byCode = [](const checked::Concept& a, const checked::Concept& b) { return a.codigo < b.codigo; };
  if (std::is_sorted(c.begin(), c.end(), byCode)) return;
  std::vector<std::uint32_t> order(c.size());
  for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&c](std::uint32_t a, std::uint32_t b) { return c[a].codigo < c[b].codigo; });
  std::vector<checked::Concept> sorted;
  sorted.reserve(c.size());
  for (auto i : order) sorted.push_back(std::move(c[i]));
  c.swap(sorted);
}

// A concept row from its texts, without their surrounding blanks.
checked::Concept conceptRow(std::string_view codigo, std::string_view monto, std::string_view montoPag,
                            std::string_view base) {
  checked::Concept c{std::string(trimmed(codigo)), std::string(trimmed(monto)), std::string(trimmed(montoPag)),
                     std::string(trimmed(base))};
  c.code = checked::num(c.codigo);
  return c;
}

// What the rows tell besides themselves: the codes of the rows that declare nothing and the 0807
// rows without amounts (which the save leaves out: a rule must not see their absence), and the
// persons with an amount that would not read back as the same value once stored.
struct RowNotes {
  struct Dropped {
    std::size_t person;
    std::int64_t rowid;
    std::string base;
  };
  std::vector<std::pair<std::size_t, std::string>> blankCodes;
  std::vector<Dropped> dropped0807;
  std::vector<std::size_t> notAsStored;
  void note(std::size_t person, std::int64_t rowid, const checked::Concept& c) {
    if (checked::blank(c.monto) && checked::blank(c.montoPag)) {
      if (checked::blank(c.base))
        blankCodes.emplace_back(person, c.codigo);
      else if (c.codigo == "0807")
        dropped0807.push_back({person, rowid, c.base});
    }
    if (!plainAmount(c.monto) || !plainAmount(c.montoPag) || !plainAmount(c.base)) notAsStored.push_back(person);
  }
};

}  // namespace

// The held rows of each held person (in the held persons' order), in code order, and their notes
// (by held person).
struct DeclarationValidator::HeldConcepts {
  struct Shaped {
    std::vector<std::vector<checked::Concept>> concepts;
    RowNotes notes;
  };
  const model::ComputedPersons* held = nullptr;
  std::future<Shaped> shaped;
  static Shaped shape(const model::ComputedPersons& held) {
    Shaped out;
    out.concepts.resize(held.persons.size());
    for (std::size_t i = 0; i < held.persons.size(); ++i) {
      auto& rows = out.concepts[i];
      rows.reserve(held.persons[i].concepts.size());
      for (const auto& c : held.persons[i].concepts) {
        rows.push_back(conceptRow(held.text(c, 0), held.text(c, 1), held.text(c, 2), held.text(c, 3)));
        out.notes.note(i, c.rowid, rows.back());
      }
      sortByCode(rows);
    }
    return out;
  }
};

void DeclarationValidator::prepareHeldConcepts() {
  heldConcepts_.reset();
  const auto* held = model::heldComputed(s_.database(), d_);
  if (!held) return;
  heldConcepts_ = std::make_shared<HeldConcepts>();
  heldConcepts_->held = held;
  heldConcepts_->shaped = std::async(std::launch::async, &HeldConcepts::shape, std::cref(*held));
}

// Gives each concept row to the person of its correlative, category and document (the last loaded,
// were two alike), noting what readsAsStored needs: the same whether the rows come from the table
// or from the computation that stored them.
struct DeclarationValidator::ConceptSink {
  DeclarationValidator& v;
  PersonIndex index;
  RowNotes notes;  // by person of persons_

  std::size_t personOf(std::int64_t correl, int category, int tipDoc, std::string_view doc) const {
    auto it = index.byCorrel.find({correl, category});
    if (it == index.byCorrel.end()) return kNobody;
    for (auto k = it->second.rbegin(); k != it->second.rend(); ++k) {
      const Person& p = v.persons_[*k];
      if (p.tipDoc == tipDoc && p.doc == doc) return *k;
    }
    return kNobody;
  }

  void add(std::size_t k, std::int64_t rowid, std::string_view codigo, std::string_view monto,
           std::string_view montoPag, std::string_view base) {
    auto c = conceptRow(codigo, monto, montoPag, base);
    notes.note(k, rowid, c);
    v.persons_[k].concepts.push_back(std::move(c));
  }

  // Every concept row of the working set (hundreds of thousands on a large payroll): read
  // straight from the statement, each text in place.
  void fromTables(data::Database& db) {
    sqlite3* handle = db.sqlite().getHandle();
    sqlite3_stmt* raw = nullptr;
    auto fail = [handle] {
      throw data::DbError(sqlite3_errcode(handle), sqlite3_extended_errcode(handle), sqlite3_errmsg(handle));
    };
    if (sqlite3_prepare_v2(handle,
                           "SELECT correl_a, cod_cat_tra, doc_id_a, tip_doc_a, codigo, monto, monto_pag, base_calculo, "
                           "rowid FROM TMPF601CONCEP",
                           -1, &raw, nullptr) != SQLITE_OK)
      fail();
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> st(raw, sqlite3_finalize);
    int rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
      std::size_t k = personOf(sqlite3_column_int64(raw, 0), sqlite3_column_int(raw, 1), sqlite3_column_int(raw, 3),
                               columnText(raw, 2));
      if (k == kNobody) continue;
      add(k, sqlite3_column_int64(raw, 8), columnText(raw, 4), columnText(raw, 5), columnText(raw, 6),
          columnText(raw, 7));
    }
    if (rc != SQLITE_DONE) fail();
    for (auto& p : v.persons_) sortByCode(p.concepts);
  }

  // The same rows as the computation stored them, shaped meanwhile: false (nothing given) when two
  // of its persons' rows would go to one person, whose rows would then need the table's order.
  bool fromHeld(HeldConcepts& prepared) {
    const auto& held = *prepared.held;
    std::vector<std::size_t> target(held.persons.size());
    std::vector<bool> taken(v.persons_.size());
    for (std::size_t i = 0; i < held.persons.size(); ++i) {
      const PersonKey& key = held.persons[i].key;
      target[i] = personOf(key.correl_a, key.cod_cat_tra, key.tip_doc_a, trimmed(key.doc_id_a));
      if (target[i] == kNobody || held.persons[i].concepts.empty()) continue;
      if (taken[target[i]]) return false;
      taken[target[i]] = true;
    }
    auto shaped = prepared.shaped.get();
    for (std::size_t i = 0; i < held.persons.size(); ++i)
      if (target[i] != kNobody) v.persons_[target[i]].concepts = std::move(shaped.concepts[i]);
    // The notes of the rows given, by the person they went to.
    for (auto& [i, code] : shaped.notes.blankCodes)
      if (target[i] != kNobody) notes.blankCodes.emplace_back(target[i], std::move(code));
    for (auto& r : shaped.notes.dropped0807)
      if (target[r.person] != kNobody) notes.dropped0807.push_back({target[r.person], r.rowid, std::move(r.base)});
    for (auto i : shaped.notes.notAsStored)
      if (target[i] != kNobody) notes.notAsStored.push_back(target[i]);
    return true;
  }

  // The notes into the validator, dropped0807_ in table order, as the table gives the rows.
  void finish() {
    for (auto& [k, code] : notes.blankCodes) v.blankCodes_.insert(std::move(code));
    if (!notes.notAsStored.empty()) v.asStored_ = false;
    auto& dropped = notes.dropped0807;
    std::stable_sort(dropped.begin(), dropped.end(),
                     [](const RowNotes::Dropped& a, const RowNotes::Dropped& b) { return a.rowid < b.rowid; });
    for (auto& r : dropped) v.dropped0807_.emplace_back(r.person, std::move(r.base));
  }
};

void DeclarationValidator::loadPersons() {
  auto& db = s_.database();
  persons_.clear();
  ConceptSink sink{*this, {}, {}};
  for (const auto& r : db.rows("SELECT Correl_a, cod_cat_tra, tip_doc_a, doc_id_a, Situac, Tipo, dias_lab, dias_sub, "
                               "rem_afecta, aporte_FCJMMS, aseg_pens, rucEps, ind_afieps, cod_eps, Tot_Ingresos, "
                               "pension FROM TEMP1_F601 WHERE cod_cat_tra IN (1, 2) ORDER BY cod_cat_tra, rowid")) {
    Person p;
    p.correl = r.integer(0);
    p.category = static_cast<int>(r.integer(1));
    p.tipDoc = static_cast<int>(r.integer(2));
    p.doc = text::trim(r.text(3));
    p.situac = text::trim(r.text(4));
    p.tipo = text::trim(r.text(5));
    p.diasLab = r.text(6);
    p.diasSub = r.text(7);
    p.remAfecta = r.text(8);
    p.aporteFcjmms = r.text(9);
    p.asegPens = r.text(10);
    p.rucEps = text::trim(r.text(11));
    p.indAfiEps = text::trim(r.text(12));
    p.codEps = text::trim(r.text(13));
    p.totIngresos = r.text(14);
    p.pension = static_cast<int>(r.integer(15));
    asStored_ = asStored_ && plainAmount(p.totIngresos) && plainAmount(p.remAfecta) && plainAmount(p.aporteFcjmms);
    sink.index.byCorrel[{p.correl, p.category}].push_back(persons_.size());
    persons_.push_back(std::move(p));
  }
  // The concept rows the computation has just stored need not be read back.
  if (!heldConcepts_) prepareHeldConcepts();
  auto prepared = std::move(heldConcepts_);
  heldRead_ = prepared && model::heldComputed(db, d_) == prepared->held && sink.fromHeld(*prepared);
  if (!heldRead_) {
    model::writeHeldRows(db, d_);  // the rows a computation kept in memory only
    sink.fromTables(db);
  }
  sink.finish();
}

}  // namespace korventa::determination
