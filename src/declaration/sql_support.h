#pragma once
// SQL building blocks of the declaration operations: functions registered on the connection
// (row control number, picture formats, registry months) and row copies between the stored,
// history and working tables that recompute each row's control number in the same statement.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/database.h"

struct sqlite3_stmt;

namespace korventa::declaration {

// Registers on the connection, once:
//   numero_control(n, v1, ..., vk)  control number of a row whose fields are v1..vk followed by
//                                   the control column itself (pass NULL for it)
//   vbfmt(value, pattern)           vbFormatText; NULL gives ''
//   ym(date)                        'YYYYMM' of a registry date (ISO or dd/mm/yyyy); '' when missing
//   dmy(date)                       the same date as 'dd/mm/yyyy'; '' when missing or malformed
//   COLLATE ESPANOL                 names in Spanish order (text::compareSpanish)
void ensureSqlFunctions(data::Database& db);

// A column of an INSERT … SELECT: the target column and the SQL expression that feeds it.
struct ColumnExpr {
  std::string column;
  std::string expr;
};

// INSERT INTO table SELECT …: every column of the table in its order takes the expression given
// for it (matched without regard to case), else its declared default, else NULL; the control
// column (cNumero) is computed with n over the columns that precede it (n < 0: left empty, for
// working tables, whose rows get their control number when they are saved). `from` is the rest of the
// SELECT ("FROM … WHERE …"); `params` bind the expressions first, then `from`. Returns rows added.
// An ORDER BY in `from` makes SQLite build the whole selection before the insert: working tables
// are read in their natural (rowid) order without one.
// With a control number each value feeds two places; by default each expression is computed once
// (the selection kept apart, its rows copied to the insert). `Evaluation::Twice` lets SQLite
// merge the selection into the insert: cheaper where the expressions are (hundreds of thousands
// of rows of plain columns and amounts already in their picture), every one deterministic.
enum class Evaluation { Once, Twice };
int insertSelect(data::Database& db, std::string_view table, int n, const std::vector<ColumnExpr>& columns,
                 std::string_view from, const data::Params& params, Evaluation evaluation = Evaluation::Once);

// Copies rows of `source` into `target` column by column (same names; columns of the target
// missing in the source take their default), with some columns replaced by bound values, and
// the control number recomputed with n.
struct Override {
  std::string column;
  data::Value value;
};
int copyRows(data::Database& db, std::string_view source, std::string_view target, int n,
             const std::vector<Override>& overrides, std::string_view where, const data::Params& whereParams);

// Recomputes cNumero with n for the rows of a table that match `where`, in one statement.
void recomputeControl(data::Database& db, std::string_view table, int n, std::string_view where,
                      const data::Params& params);

// Whether formatting `value` with `pattern` gives `value` back: a pattern of '#' then "0.00"
// ("######0.00") and an amount already written that way (digits without leading zeros, a point,
// two decimals). The save and the import pass hundreds of thousands of such amounts.
bool formatsToItself(std::string_view value, std::string_view pattern);

// A value as SQLite holds it (a text in place, not owned), for computing in C++ what the
// functions above compute in SQL.
struct SqlValue {
  enum Type { Null, Integer, Float, Text };
  Type type = Null;
  std::int64_t i = 0;
  double d = 0;
  std::string_view t;
  static SqlValue integer(std::int64_t v) { return {Integer, v, 0, {}}; }
  static SqlValue real(double v) { return {Float, 0, v, {}}; }
  static SqlValue text(std::string_view v) { return {Text, 0, 0, v}; }
};

// A value read from a row with its storage class, its text owned (the statement that read it
// moves on), to be written again as it is; its type is SQLite's (SQLITE_INTEGER …).
struct SqlField {
  int type = 5;  // SQLITE_NULL
  std::int64_t i = 0;
  double d = 0;
  std::string t;

  void setText(std::string_view v);
  void setColumn(sqlite3_stmt* st, int col);
  void bind(sqlite3_stmt* st, int at) const;  // the text bound in place: it must outlive the step
  SqlValue view() const;                      // what the functions see of it (a blob as its text)
};

// numero_control(n, values…, NULL) into `out` (six digits, not terminated): `values` are the
// row's fields before the control column.
constexpr int kControlSize = 6;
void controlNumber(int n, const SqlValue* values, std::size_t count, char* out);

// vbfmt(value, pattern): the text it gives, in `value` itself when formatting gives it back,
// else in `owned`.
std::string_view vbfmtValue(const SqlValue& value, const SqlValue& pattern, std::string& owned);

// The text SQLite gives for a value.
std::string valueText(const SqlValue& v);

// Quoted identifier.
std::string sqlName(std::string_view name);

}  // namespace korventa::declaration
