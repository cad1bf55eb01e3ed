// The persons of the working set and their concept rows, read once per run of the validation.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

#include <sqlite3.h>

#include "common/text.h"
#include "determination/validation.h"
#include "determination/validation_person.h"

namespace korventa::determination {
namespace {

// A column of the current row of a statement without its surrounding blanks, read in place.
std::string_view columnText(sqlite3_stmt* st, int i) {
  const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
  std::string_view t(p ? p : "", p ? static_cast<std::size_t>(sqlite3_column_bytes(st, i)) : 0);
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  return t;
}

// Whether the save stores the amount so that it reads back as the same value: blank (stored
// empty) or a plain number with at most two decimals (re-formatted to the same value).
bool plainAmount(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
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

// Each person's concepts in code order (cheaper than sorting the whole table in SQL): their
// positions sorted, then each row moved once.
template <class Persons>
void sortConceptsByCode(Persons& persons) {
  auto byCode = [](const checked::Concept& a, const checked::Concept& b) { return a.codigo < b.codigo; };
  std::vector<std::uint32_t> order;
  std::vector<checked::Concept> sorted;
  for (auto& p : persons) {
    auto& c = p.concepts;
    if (std::is_sorted(c.begin(), c.end(), byCode)) continue;
    order.resize(c.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&c](std::uint32_t a, std::uint32_t b) { return c[a].codigo < c[b].codigo; });
    sorted.clear();
    sorted.reserve(c.size());
    for (auto i : order) sorted.push_back(std::move(c[i]));
    c.swap(sorted);
  }
}

}  // namespace

void DeclarationValidator::loadPersons() {
  auto& db = s_.database();
  persons_.clear();
  PersonIndex index;
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
    index.byCorrel[{p.correl, p.category}].push_back(persons_.size());
    persons_.push_back(std::move(p));
  }
  // Every concept row of the working set (hundreds of thousands on a large payroll): read
  // straight from the statement, each text in place, and given to the person of its correlative,
  // category and document (the last loaded, were two alike).
  sqlite3* handle = db.sqlite().getHandle();
  sqlite3_stmt* raw = nullptr;
  auto fail = [handle] {
    throw data::DbError(sqlite3_errcode(handle), sqlite3_extended_errcode(handle), sqlite3_errmsg(handle));
  };
  if (sqlite3_prepare_v2(handle,
                         "SELECT correl_a, cod_cat_tra, doc_id_a, tip_doc_a, codigo, monto, monto_pag, base_calculo "
                         "FROM TMPF601CONCEP",
                         -1, &raw, nullptr) != SQLITE_OK)
    fail();
  std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> st(raw, sqlite3_finalize);
  int rc;
  while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
    auto it = index.byCorrel.find({sqlite3_column_int64(raw, 0), sqlite3_column_int(raw, 1)});
    if (it == index.byCorrel.end()) continue;
    std::string_view doc = columnText(raw, 2);
    int tipDoc = sqlite3_column_int(raw, 3);
    for (auto k = it->second.rbegin(); k != it->second.rend(); ++k) {
      Person& p = persons_[*k];
      if (p.tipDoc != tipDoc || p.doc != doc) continue;
      checked::Concept c{std::string(columnText(raw, 4)), std::string(columnText(raw, 5)),
                         std::string(columnText(raw, 6)), std::string(columnText(raw, 7))};
      c.code = checked::num(c.codigo);
      // The save leaves out the rows that declare nothing and those of 0807 without an amount:
      // noted, for readsAsStored to tell whether a rule would see their absence.
      if (checked::blank(c.monto) && checked::blank(c.montoPag)) {
        if (checked::blank(c.base))
          blankCodes_.insert(c.codigo);
        else if (c.codigo == "0807")
          dropped0807_.push_back({*k, c.base});
      }
      asStored_ = asStored_ && plainAmount(c.monto) && plainAmount(c.montoPag) && plainAmount(c.base);
      p.concepts.push_back(std::move(c));
      break;
    }
  }
  if (rc != SQLITE_DONE) fail();
  sortConceptsByCode(persons_);
}

}  // namespace korventa::determination
