#include "model/person_data.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <unordered_map>

#include "common/text.h"
#include "data/param.h"

namespace korventa::model {
namespace {

constexpr const char* kSummaryNames[kSummaryColumns] = {
    "Ingresos",     "Ing_asig",     "Ing_bonif",      "Ing_gratif",     "Ing_indemniz",    "Ing_publico",
    "Desc_Trab",    "Otros_Concep", "Aport_TrabPens", "Concep_Varios",  "Tot_Ingresos",    "AportDes",
    "AportEmp",     "rem_20530",    "trib_20530",     "rem_afecta",     "tributo",         "rem_pens",
    "pens",         "rem_FCJMMS",   "aporte_FCJMMS",  "rem_FracFCJMMS", "aporte_FrFCJMMS", "fondo_dsa",
    "aporte_fdsa",  "rem_salud",    "salud",          "cbssp",          "salud_agrario",   "sctr_essalud",
    "sctr_tributo", "NetoPagar"};

std::string personKey(std::int64_t tip, const std::string& doc, std::int64_t correl, std::int64_t cat) {
  return std::to_string(tip) + '|' + doc + '|' + std::to_string(correl) + '|' + std::to_string(cat);
}

std::string col(SQLite::Statement& st, int i) {
  const SQLite::Column c = st.getColumn(i);
  return c.isNull() ? std::string() : std::string(c.getText(), static_cast<std::size_t>(c.getBytes()));
}

// Integer of a column that may hold a number or a numeric text.
std::int64_t intCol(SQLite::Statement& st, int i) {
  const SQLite::Column c = st.getColumn(i);
  if (c.isInteger()) return c.getInt64();
  if (c.isFloat()) return static_cast<std::int64_t>(c.getDouble());
  return text::codeNumber(col(st, i));
}

// Restricts a person query: "" for every person, else the key condition (with the category
// when the table has it).
std::string personFilter(const std::optional<PersonKey>& only, bool withCategory, const char* alias = "") {
  if (!only) return {};
  std::string a = alias;
  std::string s = " AND " + a + "tip_doc_a = ? AND " + a + "doc_id_a = ? AND " + a + "correl_a = ?";
  if (withCategory) s += " AND " + a + "cod_cat_tra = ?";
  return s;
}

void bindPerson(SQLite::Statement& st, int first, const std::optional<PersonKey>& only, bool withCategory) {
  if (!only) return;
  st.bind(first, static_cast<int64_t>(only->tip_doc_a));
  st.bind(first + 1, only->doc_id_a);
  st.bind(first + 2, static_cast<int64_t>(only->correl_a));
  if (withCategory) st.bind(first + 3, static_cast<int64_t>(only->cod_cat_tra));
}

}  // namespace

const char* summaryColumnName(int column) {
  return kSummaryNames[column];
}

ConceptRow* PersonData::find(std::string_view code) {
  for (auto& r : concepts)
    if (r.codigo == code) return &r;
  return nullptr;
}

const ConceptRow* PersonData::find(std::string_view code) const {
  for (const auto& r : concepts)
    if (r.codigo == code) return &r;
  return nullptr;
}

namespace {

using text::blank;

}  // namespace

bool ConceptRow::hasContent() const {
  return !blank(monto) || !blank(monto_pag) || !blank(base_calculo);
}

namespace {

// The persons being loaded, found by key.
struct PersonIndex {
  std::vector<PersonData> persons;
  std::unordered_map<std::string, std::size_t> index;

  PersonData* find(std::int64_t tip, const std::string& doc, std::int64_t correl, std::int64_t cat) {
    auto it = index.find(personKey(tip, doc, correl, cat));
    return it == index.end() ? nullptr : &persons[it->second];
  }
};

// The working person rows with their summary columns.
void readPersonRows(data::Database& db, const std::optional<PersonKey>& only, PersonIndex& set) {
  auto& persons = set.persons;
  auto& index = set.index;
  if (!only) {
    auto n = static_cast<std::size_t>(db.integer("SELECT count(*) FROM TEMP1_F601 WHERE cod_cat_tra IN (1, 2)"));
    persons.reserve(n);
    index.reserve(n);
  }
  std::string sql =
      "SELECT rowid, tip_doc_a, doc_id_a, correl_a, cod_cat_tra, tipo, pension, situac, sctr, ind_domicilio, "
      "ind_quinta, dias_lab, dias_no_lab, dias_sub, ipss_vida, aseg_pens";
  for (int c = 0; c < kSummaryColumns; ++c) sql += std::string(", ") + summaryColumnName(c);
  sql += " FROM TEMP1_F601 WHERE cod_cat_tra IN (1, 2)" + personFilter(only, true) +
         " ORDER BY tip_doc_a, doc_id_a, correl_a, cod_cat_tra";
  auto& st = db.prepared(sql);
  bindPerson(st, 1, only, true);
  while (st.executeStep()) {
    // Built where it stays: a person holds dozens of texts, each moved otherwise.
    PersonData& p = persons.emplace_back();
    p.rowid = st.getColumn(0).getInt64();
    p.key.tip_doc_a = static_cast<int>(intCol(st, 1));
    p.key.doc_id_a = col(st, 2);
    p.key.correl_a = intCol(st, 3);
    p.key.cod_cat_tra = static_cast<int>(intCol(st, 4));
    p.tipo = text::codeNumber(col(st, 5));
    p.pension = static_cast<int>(intCol(st, 6));
    p.situac = text::trim(col(st, 7));
    p.sctr = static_cast<int>(intCol(st, 8));
    p.ind_domicilio = text::trim(col(st, 9));
    p.ind_quinta = text::trim(col(st, 10));
    p.dias_lab = col(st, 11);
    p.dias_no_lab = col(st, 12);
    p.dias_sub = col(st, 13);
    p.ipss_vida = col(st, 14);
    p.aseg_pens = col(st, 15);
    for (int c = 0; c < kSummaryColumns; ++c) p.storedSummary[c] = col(st, 16 + c);
    p.summary = p.storedSummary;
    index.emplace(personKey(p.key.tip_doc_a, p.key.doc_id_a, p.key.correl_a, p.key.cod_cat_tra), persons.size() - 1);
  }
}

// Whether the row's document, code and amounts are texts and its code has no surrounding spaces.
bool plainTexts(SQLite::Statement& st, const std::string& codigo) {
  for (int i : {2, 5, 7, 8, 9})
    if (!st.getColumn(i).isText()) return false;
  return text::trim(codigo).size() == codigo.size();
}

// The concept rows of the loaded persons.
void readConceptRows(data::Database& db, const std::optional<PersonKey>& only, PersonIndex& set, LoadNotes& notes) {
  auto& st = db.prepared(
      "SELECT rowid, tip_doc_a, doc_id_a, correl_a, cod_cat_tra, codigo, descrip, monto, monto_pag, base_calculo "
      "FROM TMPF601CONCEP WHERE 1 = 1" +
      personFilter(only, true));  // rows find their person by key: no order needed
  bindPerson(st, 1, only, true);
  while (st.executeStep()) {
    PersonData* p = set.find(intCol(st, 1), col(st, 2), intCol(st, 3), intCol(st, 4));
    if (!p) {
      // Rows of a person no longer in the working set are left alone.
      const SQLite::Column category = st.getColumn(4);
      const bool other = category.isInteger() && category.getInt64() != kWorker && category.getInt64() != kPensioner;
      ++(other ? notes.otherRows : notes.rowsLeft);
      continue;
    }
    notes.plainKeys =
        notes.plainKeys && st.getColumn(1).isInteger() && st.getColumn(3).isInteger() && st.getColumn(4).isInteger();
    // Room for a payroll's rows at once (a person without rows takes none).
    if (p->concepts.empty()) p->concepts.reserve(32);
    ConceptRow& r = p->concepts.emplace_back();
    r.rowid = st.getColumn(0).getInt64();
    r.codigo = col(st, 5);
    if (notes.plainTexts) notes.plainTexts = plainTexts(st, r.codigo);
    r.codigo = text::trim(r.codigo);
    // Descriptions matter to the form only; the batch leaves those of stored rows alone.
    if (only) r.descrip = col(st, 6);
    r.monto = r.storedMonto = col(st, 7);
    r.monto_pag = r.storedMontoPag = col(st, 8);
    r.base_calculo = r.storedBase = col(st, 9);
  }
}

// Suspension days, SCTR choice and other-employer income of the loaded workers.
void readWorkerSideRows(data::Database& db, const std::optional<PersonKey>& only, PersonIndex& set) {
  {
    auto& st = db.prepared(
        "SELECT tip_doc_a, doc_id_a, correl_a, dias_no_lab FROM TMPF601DIAS_NOLAB "
        "WHERE CAST(tipo_suspen AS INTEGER) IN (20, 24, 25, 26, 27, 28)" +
        personFilter(only, false));
    bindPerson(st, 1, only, false);
    while (st.executeStep())
      if (PersonData* p = set.find(intCol(st, 0), col(st, 1), intCol(st, 2), kWorker))
        p->suspensionDays += Money::value(col(st, 3));
  }
  {
    auto& st = db.prepared("SELECT tip_doc_a, doc_id_a, correl_a, tasa FROM TMP_F601_SCTR_OTRO WHERE 1 = 1" +
                           personFilter(only, false));
    bindPerson(st, 1, only, false);
    while (st.executeStep())
      if (PersonData* p = set.find(intCol(st, 0), col(st, 1), intCol(st, 2), kWorker))
        p->sctrRate = Money::value(col(st, 3));
  }
  {
    auto& st = db.prepared("SELECT tip_doc_a, doc_id_a, correl_a, monto FROM TMPF601_605 WHERE 1 = 1" +
                           personFilter(only, false));
    bindPerson(st, 1, only, false);
    while (st.executeStep()) {
      std::string monto = text::trim(col(st, 3));
      if (monto.empty()) continue;
      if (PersonData* p = set.find(intCol(st, 0), col(st, 1), intCol(st, 2), kWorker))
        p->otherIncome = p->otherIncome.value_or(Money()) + Money::value(monto).rounded(2);
    }
  }
}

// The SCTR pension flag of the loaded persons, from the registry.
void readSctrPension(data::Database& db, const std::string& ruc, const std::optional<PersonKey>& only,
                     PersonIndex& set) {
  auto& st = db.prepared(
      "SELECT tip_doc_a, doc_id_a, correl_a, cod_cat_tra, sctr_pension FROM ASEG_DET_LAB "
      "WHERE tip_doc_d = 6 AND doc_id_d = ?" +
      personFilter(only, true));
  st.bind(1, ruc);
  bindPerson(st, 2, only, true);
  while (st.executeStep())
    if (PersonData* p = set.find(intCol(st, 0), col(st, 1), intCol(st, 2), intCol(st, 3)))
      p->sctrPension = intCol(st, 4) == 1;
}

}  // namespace

std::vector<PersonData> loadPersons(data::Database& db, const std::string& ruc, const std::optional<PersonKey>& only,
                                    LoadNotes* notes) {
  PersonIndex set;
  LoadNotes unused;
  try {
    readPersonRows(db, only, set);
    readConceptRows(db, only, set, notes ? *notes : unused);
    // Side tables carry no category: they belong to the worker.
    readWorkerSideRows(db, only, set);
    readSctrPension(db, ruc, only, set);
  } catch (const SQLite::Exception& e) {
    data::rethrow(e);
  }
  return std::move(set.persons);
}

void readConceptAndSideRows(data::Database& db, std::vector<PersonData>& persons) {
  PersonIndex set;
  set.persons = std::move(persons);
  set.index.reserve(set.persons.size());
  for (std::size_t i = 0; i < set.persons.size(); ++i) {
    const PersonKey& k = set.persons[i].key;
    set.index.emplace(personKey(k.tip_doc_a, k.doc_id_a, k.correl_a, k.cod_cat_tra), i);
  }
  LoadNotes unused;
  try {
    readConceptRows(db, std::nullopt, set, unused);
    readWorkerSideRows(db, std::nullopt, set);
  } catch (const SQLite::Exception& e) {
    data::rethrow(e);
  }
  persons = std::move(set.persons);
}

namespace {

// New concept rows inserted a batch at a time: one statement for dozens of rows costs far less
// than one per row on a large payroll. The rows go in in the order they were added and take
// consecutive rowids after the last row there, which each row is given as its batch goes in.
// The texts must live until then.
class ConceptInserts {
 public:
  ConceptInserts(data::Database& db, UnwrittenRows* unwritten) : db_(db), unwritten_(unwritten) {}
  ConceptInserts(const ConceptInserts&) = delete;
  ConceptInserts& operator=(const ConceptInserts&) = delete;
  void add(const PersonKey& k, const std::string& codigo, const std::string& descrip, const std::string& monto,
           const std::string& montoPag, const std::string& base, std::int64_t* rowid = nullptr) {
    if (unwritten_) {
      // A row nobody would know the rowid of would be lost.
      if (!rowid) throw std::logic_error("Una fila de conceptos sin escribir no tiene a quién pertenecer");
      *rowid = unwritten_->next++;
      unwritten_->descrips.push_back(&descrip);
      return;
    }
    pending_.push_back({&k, &codigo, &descrip, &monto, &montoPag, &base, rowid});
    if (pending_.size() == kBatch) flush();
  }
  void flush() {
    if (pending_.empty()) return;
    static const std::string one = sql(1), batch = sql(kBatch);
    const bool full = pending_.size() == kBatch;
    std::size_t done = 0;
    while (done < pending_.size()) {
      auto& st = db_.prepared(full ? batch : one);
      const std::size_t n = full ? kBatch : 1;
      for (std::size_t i = 0; i < n; ++i) bind(st, static_cast<int>(i) * 9, pending_[done + i]);
      st.exec();
      const std::int64_t last = db_.lastInsertRowid();
      for (std::size_t i = 0; i < n; ++i)
        if (pending_[done + i].rowid) *pending_[done + i].rowid = last - static_cast<std::int64_t>(n - 1 - i);
      done += n;
    }
    pending_.clear();
  }

 private:
  static constexpr std::size_t kBatch = 64;
  struct Row {
    const PersonKey* key;
    const std::string *codigo, *descrip, *monto, *montoPag, *base;
    std::int64_t* rowid;
  };
  static std::string sql(std::size_t rows) {
    std::string s =
        "INSERT INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, cod_cat_tra, codigo, descrip, monto, monto_pag, "
        "base_calculo) VALUES ";
    for (std::size_t i = 0; i < rows; ++i) s += i ? ", (?, ?, ?, ?, ?, ?, ?, ?, ?)" : "(?, ?, ?, ?, ?, ?, ?, ?, ?)";
    return s;
  }
  // The texts outlive the step, and the next use of the statement binds them again.
  static void bind(SQLite::Statement& st, int at, const Row& r) {
    st.bind(at + 1, static_cast<int64_t>(r.key->tip_doc_a));
    st.bindNoCopy(at + 2, r.key->doc_id_a);
    st.bind(at + 3, static_cast<int64_t>(r.key->correl_a));
    st.bind(at + 4, static_cast<int64_t>(r.key->cod_cat_tra));
    st.bindNoCopy(at + 5, *r.codigo);
    st.bindNoCopy(at + 6, *r.descrip);
    st.bindNoCopy(at + 7, *r.monto);
    st.bindNoCopy(at + 8, *r.montoPag);
    st.bindNoCopy(at + 9, *r.base);
  }
  data::Database& db_;
  UnwrittenRows* unwritten_;
  std::vector<Row> pending_;
};

void markStored(ConceptRow& r) {
  r.storedMonto = r.monto;
  r.storedMontoPag = r.monto_pag;
  r.storedBase = r.base_calculo;
}

// The imported rows in the order they were read: a loaded person's as computed (even if the
// computation emptied it, as the import had written it), the others' as the import read them.
void insertImported(ConceptInserts& inserts, std::vector<PersonData>& persons, const ImportedConcepts& imported) {
  if (imported.empty()) return;
  struct Slot {
    const PersonData* person = nullptr;
    ConceptRow* row = nullptr;
    const ImportedConcept* other = nullptr;
  };
  std::vector<Slot> slots(imported.count);
  for (auto& p : persons)
    for (auto& r : p.concepts)
      if (r.rowid == 0 && r.importOrder > 0 && r.importOrder <= slots.size()) slots[r.importOrder - 1] = {&p, &r};
  for (const auto& c : imported.rows)
    if (c.order > 0 && c.order <= slots.size()) slots[c.order - 1].other = &c;
  static const std::string none;
  // A payroll's rows name a few dozen concepts: each description is looked up once.
  std::unordered_map<std::string_view, const std::string*> descrips;
  auto descripOf = [&](const std::string& codigo) -> const std::string& {
    auto it = descrips.find(codigo);
    if (it == descrips.end()) it = descrips.emplace(codigo, &imported.descripOf(codigo)).first;
    return *it->second;
  };
  for (const Slot& s : slots) {
    if (s.row) {
      ConceptRow& r = *s.row;
      inserts.add(s.person->key, r.codigo, descripOf(r.codigo), r.monto, r.monto_pag, r.base_calculo, &r.rowid);
      markStored(r);
    } else if (s.other) {
      const ImportedConcept& c = *s.other;
      inserts.add(c.key, c.codigo, descripOf(c.codigo), c.monto, c.monto_pag, none);
    }
  }
  inserts.flush();  // the rows written are no longer new to what follows
}

}  // namespace

const std::string& ImportedConcepts::descripOf(const std::string& codigo) const {
  static const std::string none;
  auto it = descrip.find(codigo);
  return it == descrip.end() ? none : it->second;
}

ImportedByPerson::ImportedByPerson(std::vector<PersonData>& persons, ImportedConcepts& imported)
    : persons_(persons), first_(persons.size() + 1, 0) {
  if (imported.rows.empty()) return;
  rows_ = std::move(imported.rows);
  std::unordered_map<std::string, std::size_t> index;
  index.reserve(persons.size());
  for (std::size_t i = 0; i < persons.size(); ++i) {
    const PersonKey& k = persons[i].key;
    index.emplace(personKey(k.tip_doc_a, k.doc_id_a, k.correl_a, k.cod_cat_tra), i);
  }
  constexpr std::size_t none = SIZE_MAX;
  std::vector<std::size_t> owner(rows_.size(), none);
  std::vector<ImportedConcept> others;
  // A file brings a person's rows one after another: the person found last is looked at first.
  std::size_t lastPerson = none;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    ImportedConcept& c = rows_[i];
    c.order = imported.count + i + 1;
    if (i == 0 || !(rows_[i - 1].key == c.key)) {
      auto it = index.find(personKey(c.key.tip_doc_a, c.key.doc_id_a, c.key.correl_a, c.key.cod_cat_tra));
      lastPerson = it == index.end() ? none : it->second;
    }
    owner[i] = lastPerson;
    if (lastPerson == none)
      others.push_back(c);
    else
      ++first_[lastPerson + 1];
  }
  for (std::size_t i = 0; i < persons.size(); ++i) first_[i + 1] += first_[i];
  order_.resize(first_.back());
  std::vector<std::size_t> next(first_.begin(), first_.end() - 1);
  for (std::size_t i = 0; i < rows_.size(); ++i)
    if (owner[i] != none) order_[next[owner[i]]++] = i;
  imported.count += rows_.size();
  imported.rows = std::move(others);  // the rows handed over take no more room
}

void ImportedByPerson::give(std::size_t i, std::size_t spare) {
  PersonData& p = persons_[i];
  p.concepts.reserve(p.concepts.size() + (first_[i + 1] - first_[i]) + spare);
  for (std::size_t k = first_[i]; k < first_[i + 1]; ++k) {
    ImportedConcept& c = rows_[order_[k]];
    // A row for a concept the person already holds gives it its amounts instead.
    if (ConceptRow* held = p.find(c.codigo)) {
      held->monto = std::move(c.monto);
      held->monto_pag = std::move(c.monto_pag);
      continue;
    }
    // The description stays with the import's list (one per concept) until the row is written.
    ConceptRow& r = p.concepts.emplace_back();
    r.importOrder = c.order;
    r.codigo = std::move(c.codigo);
    r.monto = std::move(c.monto);
    r.monto_pag = std::move(c.monto_pag);
  }
}

void addImportedConcepts(std::vector<PersonData>& persons, ImportedConcepts& imported) {
  if (imported.rows.empty()) return;
  ImportedByPerson byPerson(persons, imported);
  for (std::size_t i = 0; i < persons.size(); ++i) byPerson.give(i);
}

namespace {

void updateRow(data::Database& db, const ConceptRow& r) {
  auto& st = db.prepared("UPDATE TMPF601CONCEP SET monto = ?, monto_pag = ?, base_calculo = ? WHERE rowid = ?");
  st.bind(1, r.monto);
  st.bind(2, r.monto_pag);
  st.bind(3, r.base_calculo);
  st.bind(4, static_cast<int64_t>(r.rowid));
  st.exec();
}

void updateSummary(data::Database& db, PersonData& p) {
  if (p.summary == p.storedSummary) return;
  static const std::string sql = [] {
    std::string s = "UPDATE TEMP1_F601 SET ";
    for (int c = 0; c < kSummaryColumns; ++c) s += std::string(c ? ", " : "") + summaryColumnName(c) + " = ?";
    return s + " WHERE rowid = ?";
  }();
  auto& st = db.prepared(sql);
  // The texts outlive the step, and every use of the statement binds all of them again.
  for (int c = 0; c < kSummaryColumns; ++c) st.bindNoCopy(c + 1, p.summary[c]);
  st.bind(kSummaryColumns + 1, static_cast<int64_t>(p.rowid));
  st.exec();
  p.storedSummary = p.summary;
}

// The working set keeps the rows that declare something: a concept of the set that the person
// leaves empty lives in memory only, until an amount or a base is put in it.
bool toStore(const ConceptRow& r) {
  return r.changed() && (r.rowid != 0 || r.hasContent());
}

}  // namespace

void storePersons(data::Database& db, std::vector<PersonData>& persons, const ImportedConcepts& imported,
                  UnwrittenRows* unwritten, const std::function<void()>& settled) {
  try {
    if (unwritten)
      unwritten->first = unwritten->next = db.integer("SELECT COALESCE(MAX(rowid), 0) FROM TMPF601CONCEP") + 1;
    ConceptInserts inserts(db, unwritten);
    insertImported(inserts, persons, imported);
    if (!unwritten) {
      for (auto& p : persons) {
        for (auto& r : p.concepts) {
          if (!toStore(r)) continue;
          if (r.rowid == 0)
            inserts.add(p.key, r.codigo, r.descrip, r.monto, r.monto_pag, r.base_calculo, &r.rowid);
          else
            updateRow(db, r);
          markStored(r);
        }
        updateSummary(db, p);
      }
      inserts.flush();
      if (settled) settled();
      return;
    }
    // No new row is written: every row is settled (rowid and stored texts) first, then the
    // changed ones are written in the same order, while the caller may read the rows.
    std::vector<const ConceptRow*> updates;
    std::vector<std::size_t> until(persons.size());
    for (std::size_t i = 0; i < persons.size(); ++i) {
      PersonData& p = persons[i];
      for (auto& r : p.concepts) {
        if (!toStore(r)) continue;
        if (r.rowid == 0)
          inserts.add(p.key, r.codigo, r.descrip, r.monto, r.monto_pag, r.base_calculo, &r.rowid);
        else
          updates.push_back(&r);
        markStored(r);
      }
      until[i] = updates.size();
    }
    if (settled) settled();
    std::size_t k = 0;
    for (std::size_t i = 0; i < persons.size(); ++i) {
      for (; k < until[i]; ++k) updateRow(db, *updates[k]);
      updateSummary(db, persons[i]);
    }
  } catch (const SQLite::Exception& e) {
    data::rethrow(e);
  }
}

}  // namespace korventa::model
