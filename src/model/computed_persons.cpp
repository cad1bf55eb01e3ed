#include "model/computed_persons.h"

#include <algorithm>
#include <stdexcept>
#include <unordered_map>

namespace korventa::model {

namespace {

// The description of each row not written, one copy of each text.
class Descriptions {
 public:
  Descriptions(ComputedPersons& held, const UnwrittenRows* unwritten) : held_(held), unwritten_(unwritten) {
    if (!unwritten || unwritten->next <= unwritten->first) return;
    held.unwrittenFrom = unwritten->first;
    held.unwritten = static_cast<std::size_t>(unwritten->next - unwritten->first);
  }
  // False for a row written to the table.
  bool note(HeldConcept& c) {
    if (!held_.unwrittenFrom || c.rowid < held_.unwrittenFrom) return false;
    const std::string* d = unwritten_->descrips.at(static_cast<std::size_t>(c.rowid - held_.unwrittenFrom));
    // Rows of one concept mostly point at the same text (the import keeps one per concept).
    auto same = byText_.find(d);
    if (same == byText_.end()) {
      auto it = index_.find(*d);
      if (it == index_.end()) {
        it = index_.emplace(*d, static_cast<std::uint32_t>(held_.descrips.size())).first;
        held_.descrips.push_back(*d);
      }
      same = byText_.emplace(d, it->second).first;
    }
    c.descrip = same->second;
    return true;
  }

 private:
  ComputedPersons& held_;
  const UnwrittenRows* unwritten_;
  std::unordered_map<std::string, std::uint32_t> index_;
  std::unordered_map<const std::string*, std::uint32_t> byText_;
};

}  // namespace

std::shared_ptr<const ComputedPersons> takeStored(const std::vector<PersonData>& persons, std::size_t otherRows,
                                                  bool plainTexts, const UnwrittenRows* unwritten) {
  auto held = std::make_shared<ComputedPersons>();
  Descriptions descriptions(*held, unwritten);
  std::size_t unwrittenHeld = 0;
  held->persons.reserve(persons.size());
  auto byRowid = [](const HeldConcept& a, const HeldConcept& b) { return a.rowid < b.rowid; };
  // Too long to be held so (no real declaration): the checks then read the table, but rows kept
  // from it would be lost, so the computation fails instead, leaving nothing written.
  auto tooLong = [&]() -> std::shared_ptr<const ComputedPersons> {
    if (held->unwritten) throw std::length_error("Un texto de concepto es demasiado largo");
    return nullptr;
  };
  for (const auto& p : persons) {
    HeldPerson h;
    h.key = p.key;
    h.concepts.reserve(p.concepts.size());
    // The rows in memory only (never stored, as they declare nothing) are not the table's.
    for (const auto& r : p.concepts) {
      if (r.rowid == 0) continue;
      HeldConcept c;
      c.rowid = r.rowid;
      unwrittenHeld += descriptions.note(c);
      if (held->texts.size() > UINT32_MAX / 2) return tooLong();
      c.at = static_cast<std::uint32_t>(held->texts.size());
      int i = 0;
      for (const std::string* t : {&r.codigo, &r.storedMonto, &r.storedMontoPag, &r.storedBase}) {
        if (t->size() > UINT16_MAX) return tooLong();
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
  // Every row left unwritten must be here, or it would be lost.
  if (unwrittenHeld != held->unwritten) throw std::logic_error("Filas de conceptos sin escribir no retenidas");
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

namespace {

// How many of the held rows not written yet the table holds: none, or all once written.
std::int64_t unwrittenInTable(data::Database& db, const ComputedPersons& held) {
  if (!held.unwrittenFrom) return 0;
  return db.integer("SELECT count(*) FROM TMPF601CONCEP WHERE rowid >= ?", {held.unwrittenFrom});
}

}  // namespace

const ComputedPersons* heldComputed(data::Database& db, const OpenDeclaration& decl) {
  if (!heldUnchanged(db, decl)) return nullptr;
  // Counting the rows costs little (no row is read) and catches any the computation did not hold.
  const auto rows = db.integer("SELECT count(*) FROM TMPF601CONCEP");
  const auto* held = decl.computed.persons.get();
  const auto missing = static_cast<std::int64_t>(held->unwritten) - unwrittenInTable(db, *held);
  return rows + missing == static_cast<std::int64_t>(held->tableRows) ? held : nullptr;
}

void dropEmpty0807(const OpenDeclaration& decl) {
  decl.computed.dropped0807 = true;
}

void writeHeldRows(data::Database& db, const OpenDeclaration& decl) {
  const auto& h = decl.computed;
  if (!h.persons || !h.persons->unwritten || h.connection != &db) return;
  const ComputedPersons& held = *h.persons;
  const auto there = unwrittenInTable(db, held);
  if (there != 0) {
    if (there == static_cast<std::int64_t>(held.unwritten) || h.dropped0807) return;  // written already
    throw std::logic_error("Las filas de conceptos de trabajo no son las que retuvo el cálculo");
  }
  std::vector<std::pair<const HeldPerson*, const HeldConcept*>> rows(held.unwritten);
  for (const auto& p : held.persons)
    for (const auto& c : p.concepts)
      if (c.rowid >= held.unwrittenFrom) rows[static_cast<std::size_t>(c.rowid - held.unwrittenFrom)] = {&p, &c};
  auto spaces = [](std::string_view t) { return t.find_first_not_of(' ') == std::string_view::npos; };
  try {
    const std::string sql =
        "INSERT INTO TMPF601CONCEP (rowid, tip_doc_a, doc_id_a, correl_a, cod_cat_tra, codigo, descrip, monto, "
        "monto_pag, base_calculo) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
    for (const auto& [p, c] : rows) {
      if (h.dropped0807 && held.text(*c, 0) == "0807" && spaces(held.text(*c, 1)) && spaces(held.text(*c, 2))) continue;
      auto& st = db.prepared(sql);
      st.bind(1, static_cast<int64_t>(c->rowid));
      st.bind(2, static_cast<int64_t>(p->key.tip_doc_a));
      st.bind(3, p->key.doc_id_a);
      st.bind(4, static_cast<int64_t>(p->key.correl_a));
      st.bind(5, static_cast<int64_t>(p->key.cod_cat_tra));
      st.bind(6, std::string(held.text(*c, 0)));
      st.bind(7, held.descrips.at(c->descrip));
      st.bind(8, std::string(held.text(*c, 1)));
      st.bind(9, std::string(held.text(*c, 2)));
      st.bind(10, std::string(held.text(*c, 3)));
      st.exec();
    }
  } catch (const SQLite::Exception& e) {
    data::rethrow(e);
  }
}

}  // namespace korventa::model
