#include "data/working_tables.h"

#include <stdexcept>

#include "data/database.h"
#include "data/embedded_data.h"

namespace korventa::data {

void createWorkingTables(Database& db) {
  for (const auto& f : embedded::files()) {
    if (std::string_view(f.path) != "working_tables.sql") continue;
    db.script(f.data);
    return;
  }
  throw std::runtime_error("El programa no contiene las tablas de trabajo");
}

std::vector<std::string> workingTableNames(Database& db) {
  std::vector<std::string> out;
  for (const auto& r : db.rows("SELECT name FROM sqlite_temp_master WHERE type = 'table' ORDER BY rowid"))
    out.push_back(r.text(0));
  return out;
}

int dropSharedWorkingTables(Database& db) {
  int dropped = 0;
  for (const auto& name : workingTableNames(db)) {
    if (!db.exists("SELECT 1 FROM main.sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE", {name}))
      continue;
    db.script("DROP TABLE main.\"" + name + "\"");  // names come from our own schema, never from input
    ++dropped;
  }
  return dropped;
}

// The concept working table's indexes live in the temp schema with the table, named with it so
// that a file of the earlier layout never has its own touched.
void dropConceptIndexes(Database& db) {
  db.script("DROP INDEX IF EXISTS temp.IDX_TMPF601CONCEP; DROP INDEX IF EXISTS temp.IX_TMPF601CONCEP_COD;");
}

void createConceptIndexes(Database& db) {
  db.script(
      "CREATE UNIQUE INDEX IF NOT EXISTS temp.IDX_TMPF601CONCEP ON TMPF601CONCEP(tip_doc_a, doc_id_a, correl_a, "
      "codigo, cod_cat_tra); CREATE INDEX IF NOT EXISTS temp.IX_TMPF601CONCEP_COD ON TMPF601CONCEP(codigo);");
}

}  // namespace korventa::data
