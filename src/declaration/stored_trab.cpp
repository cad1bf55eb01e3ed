#include "declaration/stored_trab.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "common/text.h"
#include "common/vb_format.h"
#include "declaration/sql_support.h"
#include "declaration/tables.h"

namespace korventa::declaration {
namespace {

// Columns of F601_TRAB written from the working row, in their order; amounts are re-formatted.
const std::vector<std::string>& trabColumns() {
  static const std::vector<std::string> c = {
      "Situac",        "Tipo",           "dias_lab",       "dias_no_lab",  "dias_sub",      "horas_nor",
      "horas_sob",     "Tot_Ingresos",   "AportDes",       "NetoPagar",    "AportEmp",      "Ingresos",
      "Ing_Asig",      "Ing_Bonif",      "Ing_Gratif",     "Ing_Indemniz", "Ing_publico",   "Desc_Trab",
      "Otros_Concep",  "Aport_TrabPens", "Concep_Varios",  "rem_afecta",   "tributo",       "rem_20530",
      "trib_20530",    "ipss_vida",      "pension",        "rem_pens",     "pens",          "tipo_pago",
      "ind_quinta",    "ind_domicilio",  "rem_salud",      "salud",        "salud_agrario", "cbssp",
      "fondo_dsa",     "aporte_fdsa",    "sctr_essalud",   "sctr_tributo", "sctr",          "rem_FCJMMS",
      "aporte_FCJMMS", "rem_FracFCJMMS", "aporte_FrFCJMMS"};
  return c;
}

// The picture an amount column is stored in; nullptr for the columns stored as they are.
const char* pictureOf(const std::string& c) {
  static const std::set<std::string> notAmounts = {"SITUAC",    "TIPO",       "DIAS_LAB",      "DIAS_NO_LAB",
                                                   "DIAS_SUB",  "HORAS_NOR",  "HORAS_SOB",     "PENSION",
                                                   "TIPO_PAGO", "IND_QUINTA", "IND_DOMICILIO", "SCTR"};
  const std::string u = text::upper(c);
  if (u == "IPSS_VIDA") return "#0.00";
  return notAmounts.count(u) ? nullptr : "######0.00";
}

// The stored value of each F601_TRAB column after the key, as an expression over the working row.
std::vector<ColumnExpr> trabValues() {
  std::vector<ColumnExpr> cols;
  for (const auto& c : trabColumns()) {
    std::string e = sqlName(c);
    if (const char* p = pictureOf(c)) e = "vbfmt(" + e + ", '" + p + "')";
    cols.push_back({c, e});
  }
  return cols;
}

// F601_TRAB's columns in their order: the declaration's and the person's key (kept from the stored
// row), the person's document and the working columns (written), the control number.
constexpr std::size_t kKey = 6;
constexpr std::size_t kWritten = 2 + 45;
constexpr std::size_t kFields = kKey + kWritten;
constexpr int kNumeric = 6;  // the first six fields count as numbers in the control number

std::vector<std::string> storedColumns() {
  std::vector<std::string> c = {"Tip_doc_d",  "doc_id_d",    "Correl_a",  "periodo",
                                "formulario", "cod_cat_tra", "tip_doc_a", "doc_id_a"};
  c.insert(c.end(), trabColumns().begin(), trabColumns().end());
  c.push_back("cNumero");
  return c;
}

// Whether F601_TRAB is the table the program writes: its columns, names and declared types, the
// working table's first ones (so a working value is stored as it is read), the amounts texts, the
// control number last, and no trigger that would see other statements than the SQL ones.
bool expectedTable(data::Database& db) {
  const auto expected = storedColumns();
  const std::string info = "SELECT upper(name), upper(type) FROM pragma_table_xinfo(?) ORDER BY cid";
  auto stored = db.rows(info, {std::string("F601_TRAB")});
  auto working = db.rows(info, {std::string("TEMP1_F601")});
  if (expected.size() != kFields + 1 || stored.size() != expected.size() || working.size() < stored.size())
    return false;
  for (std::size_t i = 0; i < stored.size(); ++i) {
    if (stored[i].text(0) != text::upper(expected[i]) || working[i].text(0) != stored[i].text(0) ||
        working[i].text(1) != stored[i].text(1))
      return false;
    if (i >= kKey + 2 && i < kFields && pictureOf(expected[i]) && stored[i].text(1) != "TEXT") return false;
  }
  return !db.exists(
      "SELECT 1 FROM sqlite_master WHERE type = 'trigger' AND upper(tbl_name) = 'F601_TRAB' UNION ALL "
      "SELECT 1 FROM sqlite_temp_master WHERE type = 'trigger' AND upper(tbl_name) = 'F601_TRAB'");
}

using Field = SqlField;

using Key = std::pair<std::int64_t, std::int64_t>;  // correlative and category

struct StoredRow {
  std::int64_t rowid = 0;
  std::array<Field, kKey> key;
  bool kept = false;  // the person is still in the working set: the row is rewritten
};

// The stored rows of the declaration's changed persons and where each person's are.
struct Stored {
  std::vector<StoredRow> rows;
  std::multimap<Key, std::size_t> byKey;
};

// The persons noted as changed, (correl_a, cod_cat_tra) IN (SELECT … FROM TMPF601_CAMBIOS) without
// the subquery: with whole numbers only noted (always, but for a key column holding something
// else), a row matches when its own two are whole numbers of a noted pair. `few` tells whether
// they are few enough among the working rows for the statements to look each one up rather than
// read every row.
class Noted {
 public:
  bool load(data::Database& db) {
    if (db.exists(
            "SELECT 1 FROM TMPF601_CAMBIOS WHERE typeof(correl_a) <> 'integer' OR typeof(cod_cat_tra) <> 'integer'"))
      return false;
    for (const auto& r : db.rows("SELECT correl_a, cod_cat_tra FROM TMPF601_CAMBIOS"))
      keys_.emplace_back(r.integer(0), r.integer(1));
    std::sort(keys_.begin(), keys_.end());
    few_ = keys_.size() * 4 < static_cast<std::size_t>(db.integer("SELECT count(*) FROM TEMP1_F601"));
    return true;
  }
  bool has(sqlite3_stmt* st, int correl, int category) const {
    return sqlite3_column_type(st, correl) == SQLITE_INTEGER && sqlite3_column_type(st, category) == SQLITE_INTEGER &&
           std::binary_search(keys_.begin(), keys_.end(),
                              Key{sqlite3_column_int64(st, correl), sqlite3_column_int64(st, category)});
  }
  // The condition the statements add: the noted persons looked up, or nothing (every row read).
  std::string where() const { return few_ ? std::string(" AND ") + kChangedPersons : std::string(); }

 private:
  std::vector<Key> keys_;
  bool few_ = false;
};

// Whether two working rows of workers or pensioners share a key (SQL would take one of them for
// a stored row); read from the index of the keys alone.
bool repeatedWorkingKey(data::Database& db) {
  return db.exists(
      "SELECT 1 FROM TEMP1_F601 WHERE cod_cat_tra IN (1, 2) GROUP BY Correl_a, cod_cat_tra HAVING count(*) > 1");
}

// The stored rows of the declaration's changed persons.
void readStored(data::Database& db, const model::OpenDeclaration& d, const Noted& noted, Stored& s) {
  auto key = preparationKey(d.ruc, d.periodo);
  data::RawStatement st(db,
                        "SELECT rowid, Tip_doc_d, doc_id_d, Correl_a, periodo, formulario, cod_cat_tra FROM "
                        "F601_TRAB WHERE " +
                            key.where + noted.where());
  sqlite3_bind_text(st.get(), 1, d.ruc.data(), static_cast<int>(d.ruc.size()), SQLITE_STATIC);
  sqlite3_bind_text(st.get(), 2, d.periodo.data(), static_cast<int>(d.periodo.size()), SQLITE_STATIC);
  while (st.step()) {
    if (!noted.has(st.get(), 3, 6)) continue;
    StoredRow& r = s.rows.emplace_back();
    r.rowid = sqlite3_column_int64(st.get(), 0);
    for (std::size_t k = 0; k < kKey; ++k) r.key[k].setColumn(st.get(), static_cast<int>(k) + 1);
    s.byKey.emplace(Key{r.key[2].i, r.key[5].i}, s.rows.size() - 1);
  }
}

// The working values of the row a statement stands on as the SQL expressions give them (amounts
// in their picture), viewed for the control number and bound to a write from a given parameter
// on; texts stay in the statement's row or in the object.
class WorkingValues {
 public:
  WorkingValues() {
    for (std::size_t i = 2; i < kWritten; ++i) pictures_[i] = pictureOf(trabColumns()[i - 2]);
  }
  void read(sqlite3_stmt* st, int first, SqlValue* out) {
    for (std::size_t k = 0; k < kWritten; ++k) out[k] = value(st, first + static_cast<int>(k), k);
  }
  void bind(sqlite3_stmt* update, const SqlValue* values, int first = 1) const {
    for (std::size_t k = 0; k < kWritten; ++k) {
      const int at = first + static_cast<int>(k);
      const SqlValue& v = values[k];
      if (blob_[k])
        sqlite3_bind_blob(update, at, text(v), static_cast<int>(v.t.size()), SQLITE_STATIC);
      else if (v.type == SqlValue::Integer)
        sqlite3_bind_int64(update, at, v.i);
      else if (v.type == SqlValue::Float)
        sqlite3_bind_double(update, at, v.d);
      else if (v.type == SqlValue::Text)
        sqlite3_bind_text(update, at, text(v), static_cast<int>(v.t.size()), SQLITE_STATIC);
      else
        sqlite3_bind_null(update, at);
    }
  }

  bool blob(std::size_t k) const { return blob_[k]; }

 private:
  // An empty text has no pointer: SQLite would bind NULL for it.
  static const char* text(const SqlValue& v) { return v.t.empty() ? "" : v.t.data(); }
  SqlValue value(sqlite3_stmt* st, int col, std::size_t k) {
    const int type = sqlite3_column_type(st, col);
    blob_[k] = false;
    if (type == SQLITE_NULL && !pictures_[k]) return {};
    if (type == SQLITE_INTEGER && !pictures_[k]) return SqlValue::integer(sqlite3_column_int64(st, col));
    if (type == SQLITE_FLOAT && !pictures_[k]) return SqlValue::real(sqlite3_column_double(st, col));
    SqlValue v;
    if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
      const auto* p = type == SQLITE_TEXT ? reinterpret_cast<const char*>(sqlite3_column_text(st, col))
                                          : static_cast<const char*>(sqlite3_column_blob(st, col));
      v = SqlValue::text(std::string_view(p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(st, col))));
    } else if (type == SQLITE_INTEGER) {
      v = SqlValue::integer(sqlite3_column_int64(st, col));
    } else if (type == SQLITE_FLOAT) {
      v = SqlValue::real(sqlite3_column_double(st, col));
    }
    if (!pictures_[k]) {
      blob_[k] = type == SQLITE_BLOB;  // stored as it is; the control number reads its text
      return v;
    }
    if (type == SQLITE_BLOB) {  // vbfmt formats a blob through its text
      owned_[k] = vbFormatText(text::trim(std::string(v.t)), pictures_[k]);
      return SqlValue::text(owned_[k]);
    }
    return SqlValue::text(vbfmtValue(v, SqlValue::text(pictures_[k]), owned_[k]));
  }

  std::array<const char*, kWritten> pictures_{};
  std::array<std::string, kWritten> owned_;
  std::array<bool, kWritten> blob_{};
};

// F601_TRAB rows by one INSERT … SELECT: of every worker and pensioner, or with `onlyChanged` of the
// changed persons without a stored row yet.
void insertInSql(data::Database& db, const model::OpenDeclaration& d, bool onlyChanged) {
  std::vector<ColumnExpr> cols = {{"Tip_doc_d", "6"},         {"doc_id_d", "?"},        {"Correl_a", "Correl_a"},
                                  {"periodo", "?"},           {"formulario", "'0601'"}, {"cod_cat_tra", "cod_cat_tra"},
                                  {"tip_doc_a", "tip_doc_a"}, {"doc_id_a", "doc_id_a"}};
  for (auto& c : trabValues()) cols.push_back(std::move(c));
  std::string from = "FROM TEMP1_F601 w WHERE cod_cat_tra IN (1, 2)";
  if (onlyChanged)
    from += std::string(" AND ") + kChangedPersons +
            " AND NOT EXISTS (SELECT 1 FROM F601_TRAB f WHERE f.tip_doc_d = 6 AND f.doc_id_d = ?1 AND f.periodo = ?2 "
            "AND f.formulario = '0601' AND f.Correl_a = w.Correl_a AND f.cod_cat_tra = w.cod_cat_tra)";
  insertSelect(db, "F601_TRAB", kNumeric, cols, from, {d.ruc, d.periodo});
}

void addChangedPersons(data::Database& db, const model::OpenDeclaration& d) {
  insertInSql(db, d, true);
}

// Rewrites the stored rows of each changed person still in the working set from the working row
// (control number over the stored row as it ends up); true when some person has no stored row.
bool rewriteStored(data::Database& db, const Noted& noted, Stored& s) {
  std::string names = "Correl_a, cod_cat_tra, tip_doc_a, doc_id_a";
  for (const auto& col : trabColumns()) names += ", " + sqlName(col);
  data::RawStatement rows(db, "SELECT " + names + " FROM TEMP1_F601 WHERE cod_cat_tra IN (1, 2)" + noted.where());
  const auto columns = storedColumns();
  std::string sets;
  for (std::size_t i = kKey; i <= kFields; ++i) sets += (i > kKey ? ", " : "") + sqlName(columns[i]) + " = ?";
  data::RawStatement update(db, "UPDATE F601_TRAB SET " + sets + " WHERE rowid = ?");
  WorkingValues working;
  std::array<SqlValue, kFields> values;
  char control[kControlSize];
  bool added = false;
  while (rows.step()) {
    if (!noted.has(rows.get(), 0, 1)) continue;
    auto [from, to] = s.byKey.equal_range({sqlite3_column_int64(rows.get(), 0), sqlite3_column_int64(rows.get(), 1)});
    if (from == to) {
      added = true;
      continue;
    }
    working.read(rows.get(), 2, values.data() + kKey);
    for (auto it = from; it != to; ++it) {
      StoredRow& r = s.rows[it->second];
      r.kept = true;
      for (std::size_t k = 0; k < kKey; ++k) values[k] = r.key[k].view();
      controlNumber(kNumeric, values.data(), values.size(), control);
      working.bind(update.get(), values.data() + kKey);
      sqlite3_bind_text(update.get(), static_cast<int>(kWritten) + 1, control, kControlSize, SQLITE_STATIC);
      sqlite3_bind_int64(update.get(), static_cast<int>(kWritten) + 2, r.rowid);
      update.step();
      update.reset();
    }
  }
  return added;
}

bool changedInProgram(data::Database& db, const model::OpenDeclaration& d) {
  Noted noted;
  if (!expectedTable(db) || !noted.load(db) || repeatedWorkingKey(db)) return false;
  Stored s;
  readStored(db, d, noted, s);
  const bool added = rewriteStored(db, noted, s);
  data::RawStatement remove(db, "DELETE FROM F601_TRAB WHERE rowid = ?");
  for (const auto& r : s.rows) {
    if (r.kept) continue;
    sqlite3_bind_int64(remove.get(), 1, r.rowid);
    remove.step();
    remove.reset();
  }
  // The persons without a stored row yet, added in the working rows' order.
  if (added) addChangedPersons(db, d);
  return true;
}

void changedInSql(data::Database& db, const model::OpenDeclaration& d) {
  auto key = preparationKey(d.ruc, d.periodo);
  const std::string changed = key.where + " AND " + kChangedPersons;
  const std::string working =
      "(SELECT 1 FROM TEMP1_F601 w WHERE w.Correl_a = F601_TRAB.Correl_a AND w.cod_cat_tra = "
      "F601_TRAB.cod_cat_tra AND w.cod_cat_tra IN (1, 2))";
  db.run("DELETE FROM F601_TRAB WHERE " + changed + " AND NOT EXISTS " + working, key.params);
  std::string names = "tip_doc_a, doc_id_a", values = "w.tip_doc_a, w.doc_id_a";
  for (const auto& c : trabValues()) {
    names += ", " + sqlName(c.column);
    values += ", " + c.expr;
  }
  db.run("UPDATE F601_TRAB SET (" + names + ") = (SELECT " + values +
             " FROM TEMP1_F601 w WHERE w.Correl_a = F601_TRAB.Correl_a AND w.cod_cat_tra = F601_TRAB.cod_cat_tra) "
             "WHERE " +
             changed + " AND EXISTS " + working,
         key.params);
  recomputeControl(db, "F601_TRAB", kNumeric, changed, key.params);
  addChangedPersons(db, d);
}

// Inserts a stored row for every worker and pensioner of the working set, in the working rows'
// (rowid) order, its control number computed over the row as it is stored.
// A stored row to insert, its values owned (the statement that read them moves on).
using Row = std::array<Field, kFields + 1>;

void own(Field& f, const SqlValue& v, bool blob) {
  switch (v.type) {
    case SqlValue::Null:
      f.type = SQLITE_NULL;
      break;
    case SqlValue::Integer:
      f.type = SQLITE_INTEGER;
      f.i = v.i;
      break;
    case SqlValue::Float:
      f.type = SQLITE_FLOAT;
      f.d = v.d;
      break;
    case SqlValue::Text:
      f.type = blob ? SQLITE_BLOB : SQLITE_TEXT;
      f.t.assign(v.t);
      break;
  }
}

// Inserts rows into F601_TRAB, some dozens per statement (as many as its parameters allow).
class Inserts {
 public:
  explicit Inserts(data::Database& db)
      : batch_(std::clamp<std::size_t>(
            static_cast<std::size_t>(sqlite3_limit(db.sqlite().getHandle(), SQLITE_LIMIT_VARIABLE_NUMBER, -1)) /
                (kFields + 1),
            1, 32)),
        rows_(batch_),
        many_(db, sql(batch_)),
        one_(db, sql(1)) {}
  Row& next() { return rows_[count_]; }
  void add() {
    if (++count_ < batch_) return;
    run(many_, 0, batch_);
    count_ = 0;
  }
  void finish() {
    for (std::size_t r = 0; r < count_; ++r) run(one_, r, 1);
    count_ = 0;
  }

 private:
  static std::string sql(std::size_t rows) {
    const auto columns = storedColumns();
    std::string list, one;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      list += (i ? ", " : "") + sqlName(columns[i]);
      one += i ? ", ?" : "(?";
    }
    one += ")";
    std::string s = "INSERT INTO F601_TRAB (" + list + ") VALUES ";
    for (std::size_t r = 0; r < rows; ++r) s += (r ? ", " : "") + one;
    return s;
  }
  void run(data::RawStatement& st, std::size_t from, std::size_t rows) {
    for (std::size_t r = 0; r < rows; ++r)
      for (std::size_t c = 0; c <= kFields; ++c)
        rows_[from + r][c].bind(st.get(), static_cast<int>(r * (kFields + 1) + c + 1));
    st.step();
    st.reset();
  }

  std::size_t batch_;
  std::vector<Row> rows_;
  std::size_t count_ = 0;
  data::RawStatement many_, one_;
};

// Inserts a stored row for every worker and pensioner of the working set, in the working rows'
// (rowid) order, its control number computed over the row as it is stored.
void insertInProgram(data::Database& db, const model::OpenDeclaration& d) {
  std::string names = "Correl_a, cod_cat_tra, tip_doc_a, doc_id_a";
  for (const auto& col : trabColumns()) names += ", " + sqlName(col);
  data::RawStatement rows(db, "SELECT " + names + " FROM TEMP1_F601 WHERE cod_cat_tra IN (1, 2) ORDER BY rowid");
  Inserts inserts(db);
  WorkingValues working;
  std::array<SqlValue, kFields> values;
  char control[kControlSize];
  while (rows.step()) {
    Row& row = inserts.next();
    row[0].type = SQLITE_INTEGER;
    row[0].i = 6;
    own(row[1], SqlValue::text(d.ruc), false);
    row[2].setColumn(rows.get(), 0);
    own(row[3], SqlValue::text(d.periodo), false);
    own(row[4], SqlValue::text("0601"), false);
    row[5].setColumn(rows.get(), 1);
    for (std::size_t k = 0; k < kKey; ++k) values[k] = row[k].view();
    working.read(rows.get(), 2, values.data() + kKey);
    for (std::size_t k = 0; k < kWritten; ++k) own(row[kKey + k], values[kKey + k], working.blob(k));
    controlNumber(kNumeric, values.data(), values.size(), control);
    own(row[kFields], SqlValue::text(std::string_view(control, kControlSize)), false);
    inserts.add();
  }
  inserts.finish();
}

}  // namespace

void writeStoredTrab(data::Database& db, const model::OpenDeclaration& d, TrabWrite how) {
  ensureSqlFunctions(db);
  if (how == TrabWrite::Program && expectedTable(db))
    insertInProgram(db, d);
  else
    insertInSql(db, d, false);
}

void saveChangedPersons(data::Database& db, const model::OpenDeclaration& d, TrabWrite how) {
  ensureSqlFunctions(db);
  if (how == TrabWrite::Sql || !changedInProgram(db, d)) changedInSql(db, d);
  auto key = preparationKey(d.ruc, d.periodo);
  db.run("DELETE FROM F601_REMUNERA WHERE " + key.where + " AND " + kChangedPersons, key.params);
}

}  // namespace korventa::declaration
