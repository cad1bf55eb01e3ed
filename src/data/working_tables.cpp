#include "data/working_tables.h"

#include <stdexcept>

#include "data/database.h"
#include "data/embedded_data.h"

namespace korventa::data {
namespace {

// Every write to a person's row or concept rows notes the person in TMPF601_CAMBIOS (the earlier
// person too when an update moves a row to another one; amounts updated by the hundred thousand
// cost one note each). A row without its person's key counts for everybody (-1).
const char* kTrackingTriggers = R"(
CREATE TEMP TRIGGER IF NOT EXISTS TRG_TEMP1_F601_INS AFTER INSERT ON TEMP1_F601 BEGIN
  INSERT OR IGNORE INTO TMPF601_CAMBIOS VALUES (COALESCE(NEW.Correl_a, -1), COALESCE(NEW.cod_cat_tra, -1)); END;
CREATE TEMP TRIGGER IF NOT EXISTS TRG_TEMP1_F601_UPD AFTER UPDATE ON TEMP1_F601 BEGIN
  INSERT OR IGNORE INTO TMPF601_CAMBIOS VALUES (COALESCE(NEW.Correl_a, -1), COALESCE(NEW.cod_cat_tra, -1)); END;
CREATE TEMP TRIGGER IF NOT EXISTS TRG_TEMP1_F601_KEY AFTER UPDATE OF Correl_a, cod_cat_tra ON TEMP1_F601 BEGIN
  INSERT OR IGNORE INTO TMPF601_CAMBIOS VALUES (COALESCE(OLD.Correl_a, -1), COALESCE(OLD.cod_cat_tra, -1)); END;
CREATE TEMP TRIGGER IF NOT EXISTS TRG_TEMP1_F601_DEL AFTER DELETE ON TEMP1_F601 BEGIN
  INSERT OR IGNORE INTO TMPF601_CAMBIOS VALUES (COALESCE(OLD.Correl_a, -1), COALESCE(OLD.cod_cat_tra, -1)); END;
CREATE TEMP TRIGGER IF NOT EXISTS TRG_TMPF601CONCEP_INS AFTER INSERT ON TMPF601CONCEP BEGIN
  INSERT OR IGNORE INTO TMPF601_CAMBIOS VALUES (COALESCE(NEW.correl_a, -1), COALESCE(NEW.cod_cat_tra, -1)); END;
CREATE TEMP TRIGGER IF NOT EXISTS TRG_TMPF601CONCEP_UPD AFTER UPDATE ON TMPF601CONCEP BEGIN
  INSERT OR IGNORE INTO TMPF601_CAMBIOS VALUES (COALESCE(NEW.correl_a, -1), COALESCE(NEW.cod_cat_tra, -1)); END;
CREATE TEMP TRIGGER IF NOT EXISTS TRG_TMPF601CONCEP_KEY AFTER UPDATE OF correl_a, cod_cat_tra ON TMPF601CONCEP BEGIN
  INSERT OR IGNORE INTO TMPF601_CAMBIOS VALUES (COALESCE(OLD.correl_a, -1), COALESCE(OLD.cod_cat_tra, -1)); END;
CREATE TEMP TRIGGER IF NOT EXISTS TRG_TMPF601CONCEP_DEL AFTER DELETE ON TMPF601CONCEP BEGIN
  INSERT OR IGNORE INTO TMPF601_CAMBIOS VALUES (COALESCE(OLD.correl_a, -1), COALESCE(OLD.cod_cat_tra, -1)); END;
)";

const char* kDropTrackingTriggers =
    "DROP TRIGGER IF EXISTS temp.TRG_TEMP1_F601_INS; DROP TRIGGER IF EXISTS temp.TRG_TEMP1_F601_UPD; "
    "DROP TRIGGER IF EXISTS temp.TRG_TEMP1_F601_DEL; DROP TRIGGER IF EXISTS temp.TRG_TMPF601CONCEP_INS; "
    "DROP TRIGGER IF EXISTS temp.TRG_TMPF601CONCEP_UPD; DROP TRIGGER IF EXISTS temp.TRG_TMPF601CONCEP_DEL; "
    "DROP TRIGGER IF EXISTS temp.TRG_TEMP1_F601_KEY; DROP TRIGGER IF EXISTS temp.TRG_TMPF601CONCEP_KEY;";

}  // namespace

void createWorkingTables(Database& db) {
  for (const auto& f : embedded::files()) {
    if (std::string_view(f.path) != "working_tables.sql") continue;
    db.script(f.data);
    db.script(kTrackingTriggers);
    return;
  }
  throw std::runtime_error("El programa no contiene las tablas de trabajo");
}

ChangeTrackingPause::ChangeTrackingPause(Database& db)
    : db_(db),
      active_(db.exists("SELECT 1 FROM sqlite_temp_master WHERE type = 'trigger' AND name = 'TRG_TMPF601CONCEP_INS'")) {
  if (active_) db_.script(kDropTrackingTriggers);
}

ChangeTrackingPause::~ChangeTrackingPause() {
  if (!active_) return;  // paused already by an enclosing operation
  try {
    db_.script(kTrackingTriggers);
  } catch (...) {
    // The caller's transaction fails with whatever stopped it; its rollback brings the triggers
    // back with the rest of the temp schema.
  }
}

void markAllPersonsChanged(Database& db) {
  db.run("INSERT OR IGNORE INTO TMPF601_CAMBIOS VALUES (-1, -1)");
}

bool allPersonsChanged(Database& db) {
  return db.exists("SELECT 1 FROM TMPF601_CAMBIOS WHERE correl_a = -1 OR cod_cat_tra = -1");
}

void forgetPersonChanges(Database& db) {
  db.run("DELETE FROM TMPF601_CAMBIOS");
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
  db.script("DROP INDEX IF EXISTS temp.IDX_TMPF601CONCEP");
}

void createConceptIndexes(Database& db) {
  db.script(
      "CREATE UNIQUE INDEX IF NOT EXISTS temp.IDX_TMPF601CONCEP ON TMPF601CONCEP(tip_doc_a, doc_id_a, correl_a, "
      "codigo, cod_cat_tra)");
}

}  // namespace korventa::data
