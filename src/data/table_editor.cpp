#include "data/table_editor.h"

#include <sqlite3.h>

#include "common/dates.h"
#include "common/text.h"
#include "data/numero_control.h"
#include "data/schema_installer.h"

namespace korventa::data {
namespace {

std::string upperAscii(std::string_view s) {
  std::string o(s);
  for (char& c : o)
    if (c >= 'a' && c <= 'z') c -= 32;
  return o;
}

std::string sqlName(std::string_view name) {
  std::string o = "\"";
  for (char c : name) o += c == '"' ? std::string("\"\"") : std::string(1, c);
  return o + "\"";
}

// Declared defaults come as SQL literals: 'text', numbers, NULL.
std::string unquoteDefault(std::string d) {
  d = text::trim(d);
  if (d.size() >= 2 && d.front() == '(' && d.back() == ')') d = text::trim(d.substr(1, d.size() - 2));
  if (d.size() >= 2 && d.front() == '\'' && d.back() == '\'') {
    std::string o;
    for (std::size_t i = 1; i + 1 < d.size(); ++i) {
      o += d[i];
      if (d[i] == '\'' && i + 2 < d.size() && d[i + 1] == '\'') ++i;
    }
    return o;
  }
  if (upperAscii(d) == "NULL") return {};
  return d;
}

bool wholeNumber(std::string_view t) {
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) t.remove_prefix(1);
  return text::isDigits(t) && t.size() <= 18;
}

}  // namespace

TableEditor::TableEditor(Database& db, std::string table, ChangeHook hook)
    : db_(db), table_(std::move(table)), hook_(std::move(hook)) {
  auto info =
      db_.rows("SELECT name, type, \"notnull\", dflt_value, pk FROM pragma_table_info(?) ORDER BY cid", {table_});
  if (info.empty()) throw std::runtime_error("La tabla " + table_ + " no existe en la base de datos");
  // The name as the schema writes it, so that the SQL below names an existing table.
  table_ = db_.text("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE", {table_});
  for (const auto& r : info) {
    TableColumn c;
    c.name = r.text(0);
    c.type = r.text(1);
    std::string type = upperAscii(c.type);
    c.integer = type.find("INT") != std::string::npos;
    c.decimal = !c.integer && (type.find("NUM") != std::string::npos || type.find("REAL") != std::string::npos ||
                               type.find("DEC") != std::string::npos || type.find("DOUB") != std::string::npos);
    c.notNull = r.integer(2) != 0;
    c.defaultText = valueIsNull(r[3]) ? std::string() : unquoteDefault(r.text(3));
    c.key = r.integer(4) != 0;
    c.date = !c.integer && isRegistryDateColumn(c.name);
    if (upperAscii(c.name) == "DOC_ID_D") declarantColumn_ = static_cast<int>(columns_.size());
    columns_.push_back(std::move(c));
  }
  reload();
}

void TableEditor::reload() {
  rows_.clear();
  for (const auto& r : db_.rows("SELECT rowid, * FROM " + sqlName(table_) + " ORDER BY rowid")) {
    Stored s{r.integer(0), std::vector<Value>(r.values().begin() + 1, r.values().end())};
    rows_.push_back(std::move(s));
  }
}

Value TableEditor::parse(std::size_t col, std::string_view typed) const {
  const TableColumn& c = columns_.at(col);
  std::string t = text::trim(typed);
  if (c.integer) {
    if (t.empty()) {
      if (c.notNull) throw InputError("La columna " + c.name + " es obligatoria.");
      return Value();
    }
    if (!wholeNumber(t)) throw InputError("La columna " + c.name + " solo admite números enteros: \"" + t + "\"");
    return Value(static_cast<std::int64_t>(std::stoll(t)));
  }
  if (c.decimal) {
    if (t.empty()) {
      if (c.notNull) throw InputError("La columna " + c.name + " es obligatoria.");
      return Value();
    }
    if (!isNumericText(t) || t.find_first_of("eE") != std::string::npos)
      throw InputError("La columna " + c.name + " solo admite números (con punto decimal): \"" + t + "\"");
    return Value(t);  // the column affinity stores it as a number (locale-independent)
  }
  if (c.date && !t.empty()) {
    auto d = Date::parseAny(t);
    if (!d) throw InputError("Fecha no válida \"" + t + "\" en la columna " + c.name + " (dd/mm/aaaa o aaaa-mm-dd)");
    return Value(d->iso());
  }
  return Value(std::string(typed));
}

std::string TableEditor::declarantOf(const std::vector<Value>& values) const {
  if (declarantColumn_ < 0) return {};
  return text::trim(valueText(values.at(static_cast<std::size_t>(declarantColumn_))));
}

void TableEditor::notify(const std::string& before, const std::string& after) {
  if (!hook_) return;
  if (!before.empty()) hook_(db_, before);
  if (!after.empty() && after != before) hook_(db_, after);
}

void TableEditor::setText(std::size_t row, std::size_t col, std::string_view typed) {
  Stored& s = rows_.at(row);
  Value v = parse(col, typed);
  std::vector<Value> after = s.values;
  after[col] = v;
  Transaction tx(db_);
  int n = db_.run("UPDATE " + sqlName(table_) + " SET " + sqlName(columns_[col].name) + " = ? WHERE rowid = ?",
                  {v, s.rowid});
  if (n != 1) {
    reload();
    throw DbError(SQLITE_NOTFOUND, SQLITE_NOTFOUND, "la fila ya no existe");
  }
  notify(declarantOf(s.values), declarantOf(after));
  tx.commit();
  s.values = std::move(after);
}

std::size_t TableEditor::insert(const std::vector<std::string>& texts) {
  if (texts.size() != columns_.size()) throw InputError("Cantidad de columnas incorrecta");
  std::vector<Value> values;
  for (std::size_t i = 0; i < texts.size(); ++i) values.push_back(parse(i, texts[i]));
  std::string sql = "INSERT INTO " + sqlName(table_) + " (";
  std::string marks;
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    sql += (i ? ", " : "") + sqlName(columns_[i].name);
    marks += i ? ", ?" : "?";
  }
  sql += ") VALUES (" + marks + ")";
  Transaction tx(db_);
  db_.run(sql, Params(values));
  std::int64_t rowid = db_.lastInsertRowid();
  notify({}, declarantOf(values));
  tx.commit();
  rows_.push_back({rowid, std::move(values)});
  return rows_.size() - 1;
}

void TableEditor::remove(std::size_t row) {
  const Stored& s = rows_.at(row);
  Transaction tx(db_);
  int n = db_.run("DELETE FROM " + sqlName(table_) + " WHERE rowid = ?", {s.rowid});
  if (n != 1) {
    reload();
    throw DbError(SQLITE_NOTFOUND, SQLITE_NOTFOUND, "la fila ya no existe");
  }
  notify(declarantOf(s.values), {});
  tx.commit();
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
}

}  // namespace korventa::data
