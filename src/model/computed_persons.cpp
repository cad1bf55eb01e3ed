#include "model/computed_persons.h"

#include <algorithm>

namespace korventa::model {

std::shared_ptr<const ComputedPersons> takeStored(const std::vector<PersonData>& persons, std::size_t otherRows,
                                                  bool plainTexts) {
  auto held = std::make_shared<ComputedPersons>();
  held->persons.reserve(persons.size());
  auto byRowid = [](const HeldConcept& a, const HeldConcept& b) { return a.rowid < b.rowid; };
  for (const auto& p : persons) {
    HeldPerson h;
    h.key = p.key;
    h.concepts.reserve(p.concepts.size());
    // The rows in memory only (never stored, as they declare nothing) are not the table's.
    for (const auto& r : p.concepts) {
      if (r.rowid == 0) continue;
      HeldConcept c;
      c.rowid = r.rowid;
      if (held->texts.size() > UINT32_MAX / 2) return nullptr;
      c.at = static_cast<std::uint32_t>(held->texts.size());
      int i = 0;
      for (const std::string* t : {&r.codigo, &r.storedMonto, &r.storedMontoPag, &r.storedBase}) {
        if (t->size() > UINT16_MAX) return nullptr;
        c.size[i++] = static_cast<std::uint16_t>(t->size());
        held->texts += *t;
      }
      h.concepts.push_back(c);
    }
    if (!std::is_sorted(h.concepts.begin(), h.concepts.end(), byRowid))
      std::sort(h.concepts.begin(), h.concepts.end(), byRowid);
    held->rows += h.concepts.size();
    held->persons.push_back(std::move(h));
  }
  held->texts.shrink_to_fit();
  held->tableRows = held->rows + otherRows;
  held->plainTexts = plainTexts;
  return held;
}

void holdComputed(const data::Database& db, const OpenDeclaration& decl,
                  std::shared_ptr<const ComputedPersons> persons) {
  auto& h = decl.computed;
  h = {};
  if (!persons) return;
  h.persons = std::move(persons);
  h.changes = db.totalChanges();
  h.rollbacks = db.rollbacks();
  h.ruc = decl.ruc;
  h.periodo = decl.periodo;
  h.correl = decl.correl;
  h.connection = &db;
}

bool heldUnchanged(const data::Database& db, const OpenDeclaration& decl) {
  const auto& h = decl.computed;
  return h.persons && h.connection == &db && h.changes == db.totalChanges() && h.rollbacks == db.rollbacks() &&
         h.ruc == decl.ruc && h.periodo == decl.periodo && h.correl == decl.correl;
}

void keepHeldAfterWrite(const data::Database& db, const OpenDeclaration& decl) {
  decl.computed.changes = db.totalChanges();
  decl.computed.rollbacks = db.rollbacks();
}

const ComputedPersons* heldComputed(data::Database& db, const OpenDeclaration& decl) {
  if (!heldUnchanged(db, decl)) return nullptr;
  // Counting the rows costs little (no row is read) and catches any the computation did not hold.
  const auto rows = db.integer("SELECT count(*) FROM TMPF601CONCEP");
  const auto* held = decl.computed.persons.get();
  return rows == static_cast<std::int64_t>(held->tableRows) ? held : nullptr;
}

}  // namespace korventa::model
