#include "declaration/sql_support.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "common/dates.h"
#include "common/text.h"
#include "common/spanish_order.h"
#include "common/vb_format.h"
#include "data/numero_control.h"

namespace korventa::declaration {
namespace {

data::Value toValue(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
      return data::Value(static_cast<std::int64_t>(sqlite3_value_int64(v)));
    case SQLITE_FLOAT:
      return data::Value(sqlite3_value_double(v));
    case SQLITE_NULL:
      return data::Value();
    default: {
      const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(v));
      return data::Value(std::string(t ? t : "", static_cast<std::size_t>(sqlite3_value_bytes(v))));
    }
  }
}

void resultText(sqlite3_context* ctx, const std::string& s) {
  sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

int lastThree(long double sum) {
  long double r = std::floor(std::fabs(sum) + 0.5L);
  return static_cast<int>(std::fmod(r, 1000.0L));
}

// The value a numeric field adds to the control number (0 when it is not numeric). A whole number
// of up to 18 digits, the usual key column, is read without the general conversion: it is exact
// either way, so the sum is the same.
long double numericValue(std::string_view t) {
  std::size_t i = !t.empty() && (t[0] == '+' || t[0] == '-') ? 1 : 0;
  if (t.size() > i && t.size() - i <= 18) {
    long long v = 0;
    std::size_t k = i;
    for (; k < t.size() && t[k] >= '0' && t[k] <= '9'; ++k) v = v * 10 + (t[k] - '0');
    if (k == t.size()) return t[0] == '-' ? -static_cast<long double>(v) : static_cast<long double>(v);
  }
  if (!data::isNumericText(t)) return 0;
  return std::strtold(std::string(t).c_str(), nullptr);
}

// An argument of a function as the plain value it holds (texts in place).
SqlValue argValue(sqlite3_value* v) {
  switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
      return {};
    case SQLITE_INTEGER:
      return SqlValue::integer(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
      return SqlValue::real(sqlite3_value_double(v));
    default: {
      const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
      return SqlValue::text(std::string_view(p ? p : "", static_cast<std::size_t>(sqlite3_value_bytes(v))));
    }
  }
}

void fnNumeroControl(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (argc < 1) {
    sqlite3_result_error(ctx, "numero_control: falta n", -1);
    return;
  }
  const int n = sqlite3_value_int(argv[0]);
  // The row's fields, the control column last (left out of the sums).
  const int count = argc - 2;
  SqlValue fields[64];
  std::vector<SqlValue> many;
  SqlValue* values = fields;
  if (count > 64) {
    many.resize(static_cast<std::size_t>(count));
    values = many.data();
  }
  for (int i = 0; i < count; ++i) values[i] = argValue(argv[i + 1]);
  char out[kControlSize];
  controlNumber(n, values, count > 0 ? static_cast<std::size_t>(count) : 0, out);
  sqlite3_result_text(ctx, out, kControlSize, SQLITE_TRANSIENT);
}

void fnVbFormat(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (argc != 2) return sqlite3_result_error(ctx, "vbfmt: dos argumentos", -1);
  const int type = sqlite3_value_type(argv[0]);
  if (type == SQLITE_BLOB || sqlite3_value_type(argv[1]) == SQLITE_BLOB) {
    // A blob is formatted through its text; no amount still gives ''.
    std::string value = data::valueText(toValue(argv[0]));
    if (type == SQLITE_NULL || (type == SQLITE_TEXT && value.find_first_not_of(" \t") == std::string::npos))
      return sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
    return resultText(ctx, vbFormatText(text::trim(value), data::valueText(toValue(argv[1]))));
  }
  std::string owned;
  auto out = vbfmtValue(argValue(argv[0]), argValue(argv[1]), owned);
  sqlite3_result_text(ctx, out.empty() ? "" : out.data(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

void fnDmy(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (argc != 1) return sqlite3_result_error(ctx, "dmy: un argumento", -1);
  // A text (the usual registry date) is read where SQLite holds it.
  auto d = sqlite3_value_type(argv[0]) == SQLITE_TEXT ? Date::parseAny(argValue(argv[0]).t)
                                                      : Date::parseAny(data::valueText(toValue(argv[0])));
  resultText(ctx, d ? d->dmy() : std::string());
}

void fnYm(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (argc != 1) return sqlite3_result_error(ctx, "ym: un argumento", -1);
  resultText(ctx, monthOf(data::valueText(toValue(argv[0]))));
}

struct ColumnInfo {
  std::string name;
  std::string dflt;  // SQL text of the default, "" when none
};

std::vector<ColumnInfo> tableInfo(data::Database& db, std::string_view table) {
  std::vector<ColumnInfo> out;
  for (const auto& r : db.rows("SELECT name, dflt_value FROM pragma_table_info(?) ORDER BY cid", {table}))
    out.push_back({r.text(0), r.isNull("dflt_value") ? std::string() : r.text(1)});
  if (out.empty()) throw std::runtime_error("La tabla " + std::string(table) + " no existe en la base de datos");
  return out;
}

int collateSpanish(void*, int na, const void* a, int nb, const void* b) {
  return text::compareSpanish(std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(na)),
                              std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(nb)));
}

// Column names are compared without regard to case: plain ASCII names (all of them) letter by
// letter, any other through text::upper.
bool iequals(std::string_view a, std::string_view b) {
  auto ascii = [](std::string_view s) {
    for (char c : s)
      if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
  };
  if (!ascii(a) || !ascii(b)) return text::upper(a) == text::upper(b);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

bool isControl(std::string_view column) {
  return iequals(column, "cNumero");
}

}  // namespace

bool formatsToItself(std::string_view value, std::string_view pattern) {
  if (pattern.size() < 4 || pattern.substr(pattern.size() - 4) != "0.00") return false;
  for (std::size_t i = 0; i + 4 < pattern.size(); ++i)
    if (pattern[i] != '#') return false;
  std::size_t n = value.size();
  if (n < 4 || n > 15 || value[n - 3] != '.') return false;
  for (std::size_t i = 0; i < n; ++i)
    if (i != n - 3 && (value[i] < '0' || value[i] > '9')) return false;
  return value[0] != '0' || n == 4;
}

void controlNumber(int n, const SqlValue* values, std::size_t count, char* out) {
  long double a = 0, b = 0;
  char buf[64];
  std::string owned;
  for (std::size_t i = 0; i < count; ++i) {
    const bool inA = static_cast<int>(i) < n;
    const SqlValue& v = values[i];
    std::string_view t;
    switch (v.type) {
      case SqlValue::Null:
        break;
      case SqlValue::Integer: {
        if (inA) {  // exact in a long double, as its text would be read
          a += static_cast<long double>(v.i);
          continue;
        }
        int len = std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(v.i));
        t = std::string_view(buf, static_cast<std::size_t>(len));
        break;
      }
      case SqlValue::Float:
        owned = data::valueText(data::Value(v.d));
        t = owned;
        break;
      case SqlValue::Text:
        t = v.t;
        break;
    }
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
    if (inA) {
      a += numericValue(t);
      continue;
    }
    bool ascii = true;
    for (char c : t) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) {
      // Whole numbers all along: summed exactly first, added once.
      unsigned long long sum = 0;
      for (std::size_t k = 0; k < t.size(); ++k) sum += static_cast<unsigned char>(t[k]) * (k + 1);
      b += static_cast<long double>(sum);
    } else {
      auto cps = text::codepoints(t);
      for (std::size_t k = 0; k < cps.size(); ++k) b += static_cast<long double>(text::ansiCode(cps[k])) * (k + 1);
    }
  }
  // "%03d%03d", written digit by digit (hundreds of thousands of rows); a sum beyond any number
  // (an amount like 1e5000) goes through the format as before.
  const int parts[2] = {lastThree(a), lastThree(b)};
  if (parts[0] < 0 || parts[0] > 999 || parts[1] < 0 || parts[1] > 999) {
    std::snprintf(buf, sizeof buf, "%03d%03d", parts[0], parts[1]);
    std::memcpy(out, buf, kControlSize);
    return;
  }
  for (int k = 0; k < 2; ++k) {
    out[3 * k] = static_cast<char>('0' + parts[k] / 100);
    out[3 * k + 1] = static_cast<char>('0' + parts[k] / 10 % 10);
    out[3 * k + 2] = static_cast<char>('0' + parts[k] % 10);
  }
}

std::string_view vbfmtValue(const SqlValue& value, const SqlValue& pattern, std::string& owned) {
  // No amount (NULL, empty or blanks) has no picture: it stays empty.
  if (value.type == SqlValue::Null) return {};
  if (value.type == SqlValue::Text && value.t.find_first_not_of(" \t") == std::string_view::npos) return {};
  // The same text back, without formatting it again.
  if (value.type == SqlValue::Text && pattern.type == SqlValue::Text && formatsToItself(value.t, pattern.t))
    return value.t;
  owned = vbFormatText(text::trim(valueText(value)), valueText(pattern));
  return owned;
}

std::string valueText(const SqlValue& v) {
  switch (v.type) {
    case SqlValue::Null:
      return data::valueText(data::Value());
    case SqlValue::Integer:
      return data::valueText(data::Value(static_cast<std::int64_t>(v.i)));
    case SqlValue::Float:
      return data::valueText(data::Value(v.d));
    case SqlValue::Text:
      break;
  }
  return std::string(v.t);
}

std::string sqlName(std::string_view name) {
  return "\"" + std::string(name) + "\"";
}

void ensureSqlFunctions(data::Database& db) {
  try {
    db.text("SELECT numero_control(0, NULL)");
    return;
  } catch (const data::DbError&) {
  }
  // A declaration moves tens of thousands of rows per operation: a page cache of 64 MB keeps them
  // in memory instead of reading and writing the same pages again. (The working tables, in the
  // temp schema, have a cache of their own: see data/working_tables.sql.)
  db.script("PRAGMA cache_size = -65536;");
  sqlite3* h = db.sqlite().getHandle();
  int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  if (sqlite3_create_function_v2(h, "numero_control", -1, flags, nullptr, fnNumeroControl, nullptr, nullptr, nullptr) !=
          SQLITE_OK ||
      sqlite3_create_function_v2(h, "vbfmt", 2, flags, nullptr, fnVbFormat, nullptr, nullptr, nullptr) != SQLITE_OK ||
      sqlite3_create_function_v2(h, "ym", 1, flags, nullptr, fnYm, nullptr, nullptr, nullptr) != SQLITE_OK ||
      sqlite3_create_function_v2(h, "dmy", 1, flags, nullptr, fnDmy, nullptr, nullptr, nullptr) != SQLITE_OK ||
      sqlite3_create_collation_v2(h, "ESPANOL", SQLITE_UTF8, nullptr, collateSpanish, nullptr) != SQLITE_OK)
    throw data::DbError(sqlite3_errcode(h), sqlite3_extended_errcode(h), sqlite3_errmsg(h));
}

int insertSelect(data::Database& db, std::string_view table, int n, const std::vector<ColumnExpr>& columns,
                 std::string_view from, const data::Params& params, Evaluation evaluation) {
  ensureSqlFunctions(db);
  auto info = tableInfo(db, table);
  for (const auto& c : columns) {
    bool found = false;
    for (const auto& i : info) found = found || iequals(i.name, c.column);
    if (!found) throw std::runtime_error("La columna " + c.column + " no existe en la tabla " + std::string(table));
  }
  std::string inner, outer, names;
  std::vector<std::string> preceding;
  for (std::size_t k = 0; k < info.size(); ++k) {
    const auto& col = info[k];
    std::string alias = "c" + std::to_string(k);
    names += (k ? ", " : "") + sqlName(col.name);
    if (isControl(col.name) && n < 0) {
      outer += (k ? ", " : "") + std::string("NULL");
      continue;
    }
    if (isControl(col.name)) {
      std::string nc = "numero_control(" + std::to_string(n);
      for (const auto& p : preceding) nc += ", q." + p;
      nc += ", NULL)";
      outer += (k ? ", " : "") + nc;
      continue;
    }
    std::string expr;
    for (const auto& c : columns)
      if (iequals(c.column, col.name)) expr = c.expr;
    if (expr.empty()) expr = col.dflt.empty() ? "NULL" : col.dflt;
    inner += (inner.empty() ? "" : ", ") + expr + " AS " + alias;
    outer += (k ? ", " : "") + std::string("q.") + alias;
    preceding.push_back(alias);
  }
  // With a control number each value feeds two places: the selection is kept apart (an OFFSET
  // keeps SQLite from merging it into the insert, which would compute every expression twice).
  const bool apart = n >= 0 && evaluation == Evaluation::Once;
  std::string sql = "INSERT INTO " + std::string(table) + " (" + names + ") SELECT " + outer + " FROM (SELECT " +
                    inner + " " + std::string(from) + (apart ? " LIMIT -1 OFFSET 0" : "") + ") AS q";
  return db.run(sql, params);
}

int copyRows(data::Database& db, std::string_view source, std::string_view target, int n,
             const std::vector<Override>& overrides, std::string_view where, const data::Params& whereParams) {
  auto src = tableInfo(db, source);
  auto dst = tableInfo(db, target);
  std::vector<ColumnExpr> cols;
  data::Params params;
  for (const auto& d : dst) {
    if (isControl(d.name)) continue;
    bool done = false;
    for (const auto& o : overrides) {
      if (iequals(o.column, d.name)) {
        cols.push_back({d.name, "?"});
        params.add(o.value);
        done = true;
        break;
      }
    }
    if (done) continue;
    for (const auto& s : src) {
      if (iequals(s.name, d.name)) {
        cols.push_back({d.name, sqlName(s.name)});
        break;
      }
    }
  }
  for (const auto& v : whereParams.values()) params.add(v);
  std::string from = "FROM " + std::string(source);
  if (!where.empty()) from += " WHERE " + std::string(where);
  return insertSelect(db, target, n, cols, from, params);
}

void recomputeControl(data::Database& db, std::string_view table, int n, std::string_view where,
                      const data::Params& params) {
  ensureSqlFunctions(db);
  auto info = tableInfo(db, table);
  std::string control, args = "numero_control(" + std::to_string(n);
  for (const auto& c : info) {
    if (isControl(c.name)) {
      control = c.name;
      break;
    }
    args += ", " + sqlName(c.name);
  }
  if (control.empty()) return;
  args += ", NULL)";
  std::string sql = "UPDATE " + std::string(table) + " SET " + sqlName(control) + " = " + args;
  if (!where.empty()) sql += " WHERE " + std::string(where);
  db.run(sql, params);
}

static_assert(SQLITE_NULL == 5, "SqlField starts as NULL");

void SqlField::setText(std::string_view v) {
  type = SQLITE_TEXT;
  t.assign(v);
}

void SqlField::setColumn(sqlite3_stmt* st, int col) {
  type = sqlite3_column_type(st, col);
  if (type == SQLITE_INTEGER) {
    i = sqlite3_column_int64(st, col);
  } else if (type == SQLITE_FLOAT) {
    d = sqlite3_column_double(st, col);
  } else if (type == SQLITE_TEXT || type == SQLITE_BLOB) {
    const auto* p = type == SQLITE_TEXT ? reinterpret_cast<const char*>(sqlite3_column_text(st, col))
                                        : static_cast<const char*>(sqlite3_column_blob(st, col));
    t.assign(p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(st, col)));
  }
}

void SqlField::bind(sqlite3_stmt* st, int at) const {
  if (type == SQLITE_INTEGER)
    sqlite3_bind_int64(st, at, i);
  else if (type == SQLITE_FLOAT)
    sqlite3_bind_double(st, at, d);
  else if (type == SQLITE_TEXT)
    sqlite3_bind_text(st, at, t.data(), static_cast<int>(t.size()), SQLITE_STATIC);
  else if (type == SQLITE_BLOB)
    sqlite3_bind_blob(st, at, t.data(), static_cast<int>(t.size()), SQLITE_STATIC);
  else
    sqlite3_bind_null(st, at);
}

SqlValue SqlField::view() const {
  switch (type) {
    case SQLITE_INTEGER:
      return SqlValue::integer(i);
    case SQLITE_FLOAT:
      return SqlValue::real(d);
    case SQLITE_NULL:
      return {};
    default:
      return SqlValue::text(t);
  }
}

}  // namespace korventa::declaration
