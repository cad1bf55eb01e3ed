#pragma once
// The working tables belong to the connection: every connection creates them in its private
// temp schema when it opens the file (data/working_tables.sql), so the working sets of two
// programs on one file never meet and a program that dies leaves no working rows in the file.
#include <string>
#include <vector>

namespace korventa::data {

class Database;

// Creates the working tables and their indexes in the connection's temp schema (idempotent).
void createWorkingTables(Database& db);
// Which workers and pensioners changed since the working set last matched the stored declaration:
// triggers note in TMPF601_CAMBIOS the person of every row written to TEMP1_F601 or TMPF601CONCEP,
// so the save rewrites the stored rows of those persons only.
// A bulk load that sets the state itself pauses the triggers for its lifetime (inside the
// caller's transaction; a pause within a pause leaves them to the outer one).
class ChangeTrackingPause {
 public:
  explicit ChangeTrackingPause(Database& db);
  ~ChangeTrackingPause();
  ChangeTrackingPause(const ChangeTrackingPause&) = delete;
  ChangeTrackingPause& operator=(const ChangeTrackingPause&) = delete;

 private:
  Database& db_;
  bool active_;
};
// Every person counts as changed (nothing of the working set is stored yet).
void markAllPersonsChanged(Database& db);
bool allPersonsChanged(Database& db);
// The working set matches the stored declaration (loaded from it, or just saved).
void forgetPersonChanges(Database& db);
// Names of the working tables as the connection has them.
std::vector<std::string> workingTableNames(Database& db);
// Files of the earlier layout keep shared working tables in the main schema, hidden behind the
// connection's own ones and holding whatever a crashed program left there: they are dropped.
// Runs inside the caller's write transaction; returns how many were dropped.
int dropSharedWorkingTables(Database& db);

// The concept working table's unique index: dropped before a bulk fill (faster than keeping it up
// row by row) and built again after it; building it fails on a duplicate row.
void dropConceptIndexes(Database& db);
void createConceptIndexes(Database& db);

}  // namespace korventa::data
