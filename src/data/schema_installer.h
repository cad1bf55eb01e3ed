#pragma once
// Creation of a database: schema, reference data and, on request, the demo registry; and the
// loader of CSV files into tables (reference data and registry share it).
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/database.h"

namespace korventa::data {

// Table name of a data file: its file name up to the first '.' ("PARAM.713.csv" → "PARAM").
std::string tableOfFile(std::string_view fileName);

// Registry date columns (stored ISO YYYY-MM-DD): names that start with "fec_" or "fecha", any case.
bool isRegistryDateColumn(std::string_view name);

struct CsvLoadOptions {
  bool registryDates = false;  // store date columns (fec_*) as ISO YYYY-MM-DD
};

// Loads one CSV text (header row of column names) into a table. A column the table lacks is
// an error naming it; columns left out take their defaults; empty cells of integer columns
// become NULL. A text without even the header row is an error; a header row alone loads nothing. Throws
// std::runtime_error with a Spanish message (file context added by the caller).
int loadCsv(Database& db, std::string_view table, std::string_view csvText, const CsvLoadOptions& options = {});

void installSchema(Database& db);
void loadSeed(Database& db);
void loadDemoRegistry(Database& db);

// Creates the database file: schema + reference data (+ demo registry), in one transaction,
// marked with our application_id and schema version. A missing or 0-byte file is created; a
// database of ours is left as it is; any other file (another program's SQLite database, a file
// that is no database) throws NotOurDatabase and is left as it is.
std::unique_ptr<Database> createDatabase(const std::filesystem::path& file, bool withDemo);

// Replaces the whole content of an existing database file by a new schema and reference data
// (+ demo registry) in one transaction, after copying the old content to `backup` (skipped
// when empty). Other programs that have the file open see the new content. A file that is not
// a database is moved to `backup` (or removed) and created anew. A missing or 0-byte file is
// created. Another program's SQLite database is never replaced: NotOurDatabase.
std::unique_ptr<Database> recreateDatabase(const std::filesystem::path& file, bool withDemo,
                                           const std::filesystem::path& backup);

// The registry tables the launcher maintains.
const std::vector<std::string>& registryTables();

struct RegistryLoadReport {
  std::vector<std::pair<std::string, int>> tables;  // table, rows loaded
};
// Loads every <TABLE>.csv of a folder into the registry, replacing the previous rows of each
// table found, in one transaction. Throws std::runtime_error naming the file and the problem.
RegistryLoadReport loadRegistryFolder(Database& db, const std::filesystem::path& dir);

}  // namespace korventa::data
