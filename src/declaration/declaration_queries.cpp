#include "declaration/declaration_queries.h"

#include <SQLiteCpp/SQLiteCpp.h>

#include "common/text.h"
#include "declaration/tables.h"

namespace korventa::declaration {
namespace {

KeyClause keyOf(const std::string& ruc, const std::string& periodo, const std::string& correl) {
  return correl.empty() ? preparationKey(ruc, periodo) : sentKey(ruc, periodo, correl);
}

// The table of a declaration in preparation, or its history twin for a sending.
std::string tableOf(const char* table, const std::string& correl) {
  return (correl.empty() ? std::string() : std::string("H")) + table;
}

StoredListing listing(data::Database& db, const std::string& sql, const data::Params& params) {
  StoredListing t;
  auto rows = db.rows(sql, params);
  if (!rows.empty()) {
    t.columns = rows.front().names();
  } else {
    // The column names of an empty result, for the header line.
    SQLite::Statement st(db.sqlite(), sql);
    for (int i = 0; i < st.getColumnCount(); ++i) t.columns.emplace_back(st.getColumnName(i));
  }
  for (const auto& r : rows) {
    std::vector<std::string> cells;
    for (std::size_t i = 0; i < r.size(); ++i) cells.push_back(r.text(i));
    t.rows.push_back(std::move(cells));
  }
  return t;
}

}  // namespace

bool declarationExists(data::Database& db, const std::string& ruc, const std::string& periodo,
                       const std::string& correl) {
  auto key = keyOf(ruc, periodo, correl);
  return db.exists("SELECT 1 FROM " + tableOf("CAB", correl) + " WHERE " + key.where, key.params);
}

StoredListing storedHeader(data::Database& db, const std::string& ruc, const std::string& periodo,
                           const std::string& correl) {
  auto key = keyOf(ruc, periodo, correl);
  return listing(db, "SELECT * FROM " + tableOf("CAB", correl) + " WHERE " + key.where, key.params);
}

StoredListing storedPersonRows(data::Database& db, const std::string& ruc, const std::string& periodo,
                               const std::string& correl) {
  auto key = keyOf(ruc, periodo, correl);
  return listing(db, "SELECT * FROM " + tableOf("F601_TRAB", correl) + " WHERE " + key.where + " ORDER BY rowid",
                 key.params);
}

StoredListing storedBoxRows(data::Database& db, const std::string& ruc, const std::string& periodo,
                            const std::string& correl) {
  auto key = keyOf(ruc, periodo, correl);
  return listing(db,
                 "SELECT Casilla, i_valor, idcasilla, cNumero FROM " + tableOf("DET", correl) + " WHERE " + key.where +
                     " ORDER BY rowid",
                 key.params);
}

std::map<std::string, std::string> storedBoxValues(data::Database& db, const std::string& ruc,
                                                   const std::string& periodo, const std::string& correl) {
  auto key = keyOf(ruc, periodo, correl);
  std::map<std::string, std::string> stored;
  for (const auto& r :
       db.rows("SELECT Casilla, i_valor FROM " + tableOf("DET", correl) + " WHERE " + key.where, key.params))
    stored[text::trim(r.text(0))] = text::trim(r.text(1));
  return stored;
}

std::int64_t declaredPersonCount(data::Database& db) {
  return db.integer("SELECT count(*) FROM TEMP1_F601 WHERE cod_cat_tra IN (?, ?)", {int(kWorker), int(kPensioner)});
}

std::optional<PersonKey> findDeclaredPerson(data::Database& db, int tipDoc, const std::string& doc, bool workersOnly) {
  std::string id = text::trim(doc);
  auto row = db.row(
      "SELECT Correl_a, cod_cat_tra FROM TEMP1_F601 WHERE tip_doc_a = ? AND doc_id_a = ? AND cod_cat_tra IN (?, ?) "
      "ORDER BY cod_cat_tra",
      {tipDoc, id, int(kWorker), workersOnly ? int(kWorker) : int(kPensioner)});
  if (!row) return std::nullopt;
  return PersonKey{row->integer(0), tipDoc, id, static_cast<int>(row->integer(1))};
}

}  // namespace korventa::declaration
