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

}  // namespace korventa::data
