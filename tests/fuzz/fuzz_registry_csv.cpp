// Registry CSV files as "korventa-cli registry load" and "Cargar registro…" read them: the first
// byte chooses the table (<TABLE>.csv), the rest is the file. The folder is loaded into a demo
// database inside a transaction that is rolled back afterwards.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

#include "common/csv.h"
#include "common/text.h"
#include "fuzz_support.h"

namespace korventa::fuzz {
namespace {

namespace fs = std::filesystem;

struct World {
  std::unique_ptr<data::Database> db = memoryDatabase(true);
  fs::path dir = fs::temp_directory_path() / ("korventa-fuzz-registry-" + std::to_string(::getpid()));
  World() { fs::create_directories(dir); }
  ~World() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

World& world() {
  static World w;
  return w;
}

// Parsing what formatRow writes gives the rows back (a row of one empty field is written as a
// blank line, which the reader skips, so it is left out; a blank first line keeps a byte-order
// mark that starts the first field from being taken for the file's own).
void checkRoundTrip(const std::vector<csv::Row>& rows) {
  std::string written = "\r\n";
  std::vector<csv::Row> expected;
  for (const auto& row : rows) {
    if (row.size() == 1 && row[0].empty()) continue;
    written += csv::formatRow(row) + "\r\n";
    expected.push_back(row);
  }
  auto again = csv::parse(written);
  FUZZ_CHECK(again.error.empty(), again.error);
  FUZZ_CHECK(again.rows == expected, written);
}

void checkDates(data::Database& db, const std::string& table) {
  for (const auto& column : db.columns(table)) {
    if (!data::isRegistryDateColumn(column)) continue;
    auto bad = db.text("SELECT \"" + column + "\" FROM " + table + " WHERE typeof(\"" + column +
                       "\") = 'text' AND TRIM(\"" + column + "\", ' ' || char(9)) <> '' AND \"" + column +
                       "\" NOT GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]' LIMIT 1");
    FUZZ_CHECK(bad.empty(), table + "." + column + " stored \"" + bad + "\"");
  }
}

}  // namespace
}  // namespace korventa::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korventa;
  using namespace korventa::fuzz;
  if (size == 0) return -1;
  World& w = world();
  const auto& tables = data::registryTables();
  const std::string& table = tables[data[0] % tables.size()];
  std::string_view body = bytes(data + 1, size - 1);
  fs::path file = w.dir / (table + ".csv");
  {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(body.data(), static_cast<std::streamsize>(body.size()));
  }
  auto parsed = csv::parse(text::decodeInput(body));
  if (parsed.error.empty()) checkRoundTrip(parsed.rows);

  auto& db = *w.db;
  {
    // Rolled back at the end of the block: each input starts from the demo registry.
    data::Transaction scope(db);
    try {
      auto report = data::loadRegistryFolder(db, w.dir);
      FUZZ_CHECK(parsed.error.empty(), "loaded a file the CSV reader refuses: " + parsed.error);
      FUZZ_CHECK(report.tables.size() == 1 && report.tables[0].first == table, table);
      std::int64_t rows = db.integer("SELECT count(*) FROM " + table);
      std::size_t records = parsed.rows.empty() ? 0 : parsed.rows.size() - 1;
      FUZZ_CHECK(report.tables[0].second == rows && static_cast<std::size_t>(rows) == records,
                 std::to_string(report.tables[0].second) + " loaded, " + std::to_string(rows) + " in the table, " +
                     std::to_string(records) + " in the file");
      checkDates(db, table);
    } catch (const std::runtime_error& e) {
      // Every refusal names the file.
      FUZZ_CHECK(std::string_view(e.what()).rfind(table + ".csv: ", 0) == 0, e.what());
    }
  }
  FUZZ_CHECK(db.depth() == 0, "a transaction was left open");
  fs::remove(file);
  return 0;
}
