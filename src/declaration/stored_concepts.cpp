#include "declaration/stored_concepts.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <future>
#include <set>
#include <utility>
#include <string>
#include <vector>

#include "common/text.h"
#include "common/vb_format.h"
#include "declaration/sql_support.h"
#include "declaration/tables.h"

namespace korventa::declaration {
namespace {

// F601_REMUNERA's columns in their order, the control number last.
constexpr std::array<const char*, 14> kColumns = {"tip_doc_d", "doc_id_d",  "correl_a",   "cod_cat_tra", "tip_doc_a",
                                                  "doc_id_a",  "periodo",   "formulario", "cod_concep",  "base_calculo",
                                                  "monto",     "monto_pag", "monto_dif",  "cnumero"};
constexpr std::size_t kFields = kColumns.size() - 1;
constexpr int kNumeric = 9;           // the first nine fields count as numbers in the control number
constexpr std::size_t kBatch = 64;    // rows per insert statement
constexpr std::size_t kBlock = 4096;  // rows read, formatted and inserted at a time
constexpr const char* kPicture = "#########0.00";

bool expectedColumns(data::Database& db) {
  auto names = db.columns("F601_REMUNERA");
  if (names.size() != kColumns.size()) return false;
  for (std::size_t i = 0; i < names.size(); ++i)
    if (text::upper(names[i]) != text::upper(kColumns[i])) return false;
  return true;
}

using Field = SqlField;

// CASE WHEN x IS NULL OR x = '' THEN '' ELSE vbfmt(x, '#########0.00') END
void setAmount(Field& f, const Field& x) {
  if (x.type == SQLITE_NULL || (x.type == SQLITE_TEXT && x.t.empty())) return f.setText("");
  if (x.type == SQLITE_BLOB) {  // vbfmt formats a blob through its text
    return f.setText(vbFormatText(text::trim(x.t), kPicture));
  }
  std::string owned;
  auto v = vbfmtValue(x.view(), SqlValue::text(kPicture), owned);
  f.setText(v);
}

using Row = std::array<Field, kColumns.size()>;

// The fields that are the same on every row of the declaration: bound once (the document and
// the period, ?1 and ?2) or written into the statement (constants).
constexpr std::array<std::size_t, 5> kSameFields = {0, 1, 6, 7, 12};

std::string insertSql(std::size_t rows) {
  std::string names;
  for (std::size_t i = 0; i < kColumns.size(); ++i) names += (i ? ", " : "") + std::string(kColumns[i]);
  std::string sql = "INSERT INTO F601_REMUNERA (" + names + ") VALUES ";
  int next = 3;
  for (std::size_t r = 0; r < rows; ++r) {
    sql += r ? ", (" : "(";
    for (std::size_t c = 0; c < kColumns.size(); ++c) {
      if (c) sql += ", ";
      if (c == 0)
        sql += "6";
      else if (c == 1)
        sql += "?1";
      else if (c == 6)
        sql += "?2";
      else if (c == 7)
        sql += "'0601'";
      else if (c == 12)
        sql += "''";
      else
        sql += "?" + std::to_string(next++);
    }
    sql += ")";
  }
  return sql;
}

// Rows read and not inserted yet; their formatting and control numbers are done apart. The
// fields every row shares are set once.
struct Block {
  explicit Block(const model::OpenDeclaration& d) {
    for (auto& row : rows) {
      row[0].type = SQLITE_INTEGER;
      row[0].i = 6;
      row[1].setText(d.ruc);
      row[6].setText(d.periodo);
      row[7].setText("0601");
      row[12].setText("");
    }
  }
  std::vector<Row> rows = std::vector<Row>(kBlock);
  std::size_t count = 0;
};

// Inserts the rows of a block, a full batch per statement, the rest one by one.
class Inserts {
 public:
  Inserts(data::Database& db, const model::OpenDeclaration& d)
      : batch_(db, insertSql(kBatch)), single_(db, insertSql(1)) {
    for (auto* st : {batch_.get(), single_.get()}) {
      sqlite3_bind_text(st, 1, d.ruc.data(), static_cast<int>(d.ruc.size()), SQLITE_TRANSIENT);
      sqlite3_bind_text(st, 2, d.periodo.data(), static_cast<int>(d.periodo.size()), SQLITE_TRANSIENT);
    }
  }
  void insert(const Block& b) {
    std::size_t r = 0;
    for (; r + kBatch <= b.count; r += kBatch) run(batch_, b, r, kBatch);
    for (; r < b.count; ++r) run(single_, b, r, 1);
  }

 private:
  // The varying fields bound, run and reset; the shared ones stay bound.
  static void run(data::RawStatement& st, const Block& b, std::size_t from, std::size_t rows) {
    int at = 3;
    for (std::size_t r = 0; r < rows; ++r) {
      const Row& row = b.rows[from + r];
      for (std::size_t c = 0; c < kColumns.size(); ++c)
        if (std::find(kSameFields.begin(), kSameFields.end(), c) == kSameFields.end()) row[c].bind(st.get(), at++);
    }
    st.step();
    sqlite3_reset(st.get());
  }
  data::RawStatement batch_, single_;
};

// COALESCE(TRIM(x), '') <> '': a number, or a text with something besides spaces.
bool hasContent(sqlite3_stmt* st, int col) {
  switch (sqlite3_column_type(st, col)) {
    case SQLITE_NULL:
      return false;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
      return true;
    default: {
      const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
      std::string_view t(p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(st, col)));
      return t.find_first_not_of(' ') != std::string_view::npos;
    }
  }
}

// The persons noted as changed, (correl_a, cod_cat_tra) IN (SELECT … FROM TMPF601_CAMBIOS) without
// the subquery: with whole numbers only noted (always, but for a key column holding something
// else), a row matches when its own two are whole numbers of a noted pair.
class Changed {
 public:
  bool load(data::Database& db) {
    if (db.exists("SELECT 1 FROM TMPF601_CAMBIOS WHERE typeof(correl_a) <> 'integer' OR typeof(cod_cat_tra) <> "
                  "'integer'"))
      return false;
    for (const auto& r : db.rows("SELECT correl_a, cod_cat_tra FROM TMPF601_CAMBIOS"))
      pairs_.emplace(r.integer(0), r.integer(1));
    return true;
  }
  bool has(sqlite3_stmt* st) const {
    return sqlite3_column_type(st, 0) == SQLITE_INTEGER && sqlite3_column_type(st, 1) == SQLITE_INTEGER &&
           pairs_.count({sqlite3_column_int64(st, 0), sqlite3_column_int64(st, 1)});
  }
  bool has(std::int64_t correl, std::int64_t category) const { return pairs_.count({correl, category}); }

 private:
  std::set<std::pair<std::int64_t, std::int64_t>> pairs_;
};

// The fields of a stored row from the working row the statement stands on, its amounts as they
// are (finishRow formats them).
void readRow(Row& row, sqlite3_stmt* st) {
  row[2].setColumn(st, 0);                                                                // correl_a
  row[3].setColumn(st, 1);                                                                // cod_cat_tra
  row[4].setColumn(st, 2);                                                                // tip_doc_a
  row[5].setColumn(st, 3);                                                                // doc_id_a
  row[8].setColumn(st, 4);                                                                // codigo
  for (int k = 0; k < 3; ++k) row[9 + static_cast<std::size_t>(k)].setColumn(st, 5 + k);  // base, monto, pagado
}

// The amounts in their picture and the control number.
void finishRow(Row& row, Field& scratch) {
  for (std::size_t k = 9; k < 12; ++k) {
    std::swap(scratch, row[k]);
    setAmount(row[k], scratch);
  }
  std::array<SqlValue, kFields> values;
  for (std::size_t i = 0; i < kFields; ++i) values[i] = row[i].view();
  char control[kControlSize];
  controlNumber(kNumeric, values.data(), values.size(), control);
  row[13].setText(std::string_view(control, kControlSize));
}

void finishBlock(Block& b) {
  Field scratch;
  for (std::size_t r = 0; r < b.count; ++r) finishRow(b.rows[r], scratch);
}

// The next rows to store, up to a block; false when the working rows are all read.
bool readBlock(data::RawStatement& rows, Block& b, const Changed* changed) {
  b.count = 0;
  sqlite3_stmt* st = rows.get();
  while (b.count < kBlock) {
    if (!rows.step()) return false;
    if (!hasContent(st, 5) && !hasContent(st, 6) && !hasContent(st, 7)) continue;
    if (changed && !changed->has(st)) continue;
    readRow(b.rows[b.count++], st);
  }
  return true;
}

// The held rows in the order the table gives them (by rowid), those of the 0807 rows the save
// removed (no amount, no amount paid) left out.
class HeldRows {
 public:
  HeldRows(const model::ComputedPersons& held, const Changed* changed) : held_(held), changed_(changed) { order(); }
  // As readBlock.
  bool read(Block& b) {
    b.count = 0;
    while (b.count < kBlock) {
      if (next_ == refs_.size()) return false;
      const Ref& r = refs_[next_++];
      if (keep(r)) fill(b.rows[b.count++], r);
    }
    return true;
  }

 private:
  struct Ref {
    std::int64_t rowid;
    const model::HeldPerson* person;
    const model::HeldConcept* row;
  };
  static bool spaces(std::string_view t) { return t.find_first_not_of(' ') == std::string_view::npos; }
  bool keep(const Ref& r) const {
    auto text = [&](int i) { return held_.text(*r.row, i); };
    if (spaces(text(1)) && spaces(text(2)) && (text(0) == "0807" || spaces(text(3)))) return false;
    return !changed_ || changed_->has(r.person->key.correl_a, r.person->key.cod_cat_tra);
  }
  void fill(Row& row, const Ref& r) const {
    auto integer = [](Field& f, std::int64_t v) {
      f.type = SQLITE_INTEGER;
      f.i = v;
    };
    const PersonKey& k = r.person->key;
    integer(row[2], k.correl_a);
    integer(row[3], k.cod_cat_tra);
    integer(row[4], k.tip_doc_a);
    row[5].setText(k.doc_id_a);
    row[8].setText(held_.text(*r.row, 0));
    row[9].setText(held_.text(*r.row, 3));   // base
    row[10].setText(held_.text(*r.row, 1));  // monto
    row[11].setText(held_.text(*r.row, 2));  // monto_pag
  }
  // Rowids are mostly consecutive: each row goes to its place, else they are sorted.
  void order() {
    std::int64_t low = INT64_MAX, high = INT64_MIN;
    for (const auto& p : held_.persons)
      for (const auto& c : p.concepts) {
        low = std::min(low, c.rowid);
        high = std::max(high, c.rowid);
      }
    if (low > high) return;
    const auto n = held_.rows;
    if (static_cast<std::uint64_t>(high - low) < 2 * static_cast<std::uint64_t>(n) + 64) {
      refs_.assign(static_cast<std::size_t>(high - low) + 1, Ref{0, nullptr, nullptr});
      for (const auto& p : held_.persons)
        for (const auto& c : p.concepts) refs_[static_cast<std::size_t>(c.rowid - low)] = {c.rowid, &p, &c};
      refs_.erase(std::remove_if(refs_.begin(), refs_.end(), [](const Ref& r) { return !r.row; }), refs_.end());
      return;
    }
    refs_.reserve(n);
    for (const auto& p : held_.persons)
      for (const auto& c : p.concepts) refs_.push_back({c.rowid, &p, &c});
    std::sort(refs_.begin(), refs_.end(), [](const Ref& a, const Ref& b) { return a.rowid < b.rowid; });
  }
  const model::ComputedPersons& held_;
  const Changed* changed_;
  std::vector<Ref> refs_;
  std::size_t next_ = 0;
};

// The held rows are in memory only: each block is taken and formatted on another thread while
// this one inserts the previous.
void insertHeld(Inserts& inserts, HeldRows& held, const model::OpenDeclaration& d) {
  auto prepare = [&held](Block& b) {
    const bool more = held.read(b);
    finishBlock(b);
    return more;
  };
  Block first(d), second(d);
  Block *current = &first, *next = &second;
  bool more = prepare(*current);
  for (;;) {
    next->count = 0;
    std::future<bool> ahead;
    if (more) ahead = std::async(std::launch::async, prepare, std::ref(*next));
    inserts.insert(*current);
    if (ahead.valid()) more = ahead.get();
    if (!next->count) break;
    std::swap(current, next);
  }
}

// Reading and inserting use the connection, on this thread; the formatting of each block runs on
// another while this one reads the next block and inserts the previous.
void insertRead(Inserts& inserts, data::RawStatement& rows, const Changed* only, const model::OpenDeclaration& d) {
  Block first(d), second(d);
  Block *current = &first, *next = &second;
  bool more = readBlock(rows, *current, only);
  auto formatting = std::async(std::launch::async, finishBlock, std::ref(*current));
  for (;;) {
    next->count = 0;
    if (more) more = readBlock(rows, *next, only);
    formatting.get();
    if (next->count) formatting = std::async(std::launch::async, finishBlock, std::ref(*next));
    inserts.insert(*current);
    if (!next->count) break;
    std::swap(current, next);
  }
}

bool writeInProgram(data::Database& db, const model::OpenDeclaration& d, bool onlyChanged,
                    const model::ComputedPersons* held) {
  if (!expectedColumns(db)) return false;
  Changed changed;
  if (onlyChanged && !changed.load(db)) return false;
  const Changed* only = onlyChanged ? &changed : nullptr;
  if (held && held->plainTexts && held->rows == held->tableRows) {
    HeldRows heldRows(*held, only);
    Inserts inserts(db, d);
    insertHeld(inserts, heldRows, d);
    return true;
  }
  model::writeHeldRows(db, d);  // the rows a computation kept in memory only
  data::RawStatement rows(db,
                          "SELECT correl_a, cod_cat_tra, tip_doc_a, doc_id_a, codigo, base_calculo, monto, monto_pag "
                          "FROM TMPF601CONCEP");
  Inserts inserts(db, d);
  insertRead(inserts, rows, only, d);
  return true;
}

// An amount re-formatted with its picture; the empty (not declared) amount stays empty without a
// call.
std::string amount(const std::string& column) {
  return "CASE WHEN " + column + " IS NULL OR " + column + " = '' THEN '' ELSE vbfmt(" + column + ", '" + kPicture +
         "') END";
}

void copyInSql(data::Database& db, const model::OpenDeclaration& d, bool onlyChanged) {
  insertSelect(
      db, "F601_REMUNERA", kNumeric,
      {{"tip_doc_d", "6"},
       {"doc_id_d", "?"},
       {"correl_a", "correl_a"},
       {"cod_cat_tra", "cod_cat_tra"},
       {"tip_doc_a", "tip_doc_a"},
       {"doc_id_a", "doc_id_a"},
       {"periodo", "?"},
       {"formulario", "'0601'"},
       {"cod_concep", "codigo"},
       {"base_calculo", amount("base_calculo")},
       {"monto", amount("monto")},
       {"monto_pag", amount("monto_pag")},
       {"monto_dif", "''"}},
      "FROM TMPF601CONCEP WHERE " + conceptHasContent() + (onlyChanged ? std::string(" AND ") + kChangedPersons : ""),
      {d.ruc, d.periodo}, Evaluation::Twice);
}

}  // namespace

void writeStoredConcepts(data::Database& db, const model::OpenDeclaration& d, bool onlyChanged, ConceptCopy how,
                         const model::ComputedPersons* held) {
  if (how == ConceptCopy::Program && writeInProgram(db, d, onlyChanged, held)) return;
  model::writeHeldRows(db, d);  // the rows a computation kept in memory only
  copyInSql(db, d, onlyChanged);
}

}  // namespace korventa::declaration
