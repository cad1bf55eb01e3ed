#include "data/schema_installer.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

#include <sqlite3.h>

#include "common/csv.h"
#include "common/dates.h"
#include "common/text.h"
#include "data/embedded_data.h"

namespace korventa::data {
namespace {

std::string upperAscii(std::string_view s) {
  std::string o(s);
  for (char& c : o)
    if (c >= 'a' && c <= 'z') c -= 32;
  return o;
}

struct ColumnInfo {
  std::string name;
  bool integer = false;
};

std::vector<ColumnInfo> tableColumns(Database& db, std::string_view table) {
  std::vector<ColumnInfo> out;
  for (const auto& r : db.rows("SELECT name, type FROM pragma_table_info(?) ORDER BY cid", {table})) {
    std::string type = upperAscii(r.text(1));
    out.push_back({r.text(0), type.find("INT") != std::string::npos});
  }
  return out;
}

std::string readFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) throw std::runtime_error("No se puede leer el archivo " + p.string());
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace

bool isRegistryDateColumn(std::string_view name) {
  std::string u = upperAscii(name);
  return u.rfind("FEC_", 0) == 0 || u.rfind("FECHA", 0) == 0;
}

std::string tableOfFile(std::string_view fileName) {
  auto slash = fileName.find_last_of("/\\");
  if (slash != std::string_view::npos) fileName.remove_prefix(slash + 1);
  return std::string(fileName.substr(0, fileName.find('.')));
}

int loadCsv(Database& db, std::string_view table, std::string_view csvText, const CsvLoadOptions& options) {
  auto cols = tableColumns(db, table);
  if (cols.empty()) throw std::runtime_error("La tabla " + std::string(table) + " no existe en la base de datos");
  auto parsed = csv::parse(text::decodeInput(csvText));
  if (!parsed.error.empty()) throw std::runtime_error(parsed.error);
  // A file that lost even its header row is damaged, not the wish to empty the table (a header
  // row alone says that).
  if (parsed.rows.empty())
    throw std::runtime_error("el archivo está vacío, no tiene la fila de encabezado con los nombres de las columnas");
  const auto& header = parsed.rows.front();
  std::vector<const ColumnInfo*> target;
  for (const auto& h : header) {
    std::string name = text::trim(h);
    auto it = std::find_if(cols.begin(), cols.end(),
                           [&](const ColumnInfo& c) { return upperAscii(c.name) == upperAscii(name); });
    if (it == cols.end())
      throw std::runtime_error("La columna " + name + " no existe en la tabla " + std::string(table));
    target.push_back(&*it);
  }
  std::string sql = "INSERT INTO " + std::string(table) + " (";
  for (std::size_t i = 0; i < target.size(); ++i) sql += (i ? ", \"" : "\"") + target[i]->name + "\"";
  sql += ") VALUES (";
  for (std::size_t i = 0; i < target.size(); ++i) sql += i ? ", ?" : "?";
  sql += ")";
  SQLite::Statement st(db.sqlite(), sql);
  int count = 0;
  for (std::size_t r = 1; r < parsed.rows.size(); ++r) {
    const auto& row = parsed.rows[r];
    if (row.size() != header.size())
      throw std::runtime_error("La fila " + std::to_string(r + 1) + " tiene " + std::to_string(row.size()) +
                               " campos y el encabezado " + std::to_string(header.size()));
    st.reset();
    st.clearBindings();
    for (std::size_t i = 0; i < row.size(); ++i) {
      const auto& c = *target[i];
      const std::string& v = row[i];
      int idx = static_cast<int>(i + 1);
      if (c.integer) {
        std::string t = text::trim(v);
        if (t.empty()) st.bind(idx);
        // At most 18 digits, so that the conversion below cannot overflow.
        else if (std::string_view d = t[0] == '-' ? std::string_view(t).substr(1) : std::string_view(t);
                 text::isDigits(d) && d.size() <= 18)
          st.bind(idx, static_cast<int64_t>(std::stoll(t)));
        else
          throw std::runtime_error("Valor no numérico \"" + v + "\" en la columna " + c.name + ", fila " +
                                   std::to_string(r + 1));
      } else if (options.registryDates && isRegistryDateColumn(c.name) && !text::trim(v).empty()) {
        auto d = Date::parseAny(v);
        if (!d)
          throw std::runtime_error("Fecha no válida \"" + v + "\" en la columna " + c.name + ", fila " +
                                   std::to_string(r + 1));
        st.bind(idx, d->iso());
      } else {
        st.bind(idx, v);
      }
    }
    try {
      st.exec();
    } catch (const SQLite::Exception& e) {
      throw std::runtime_error("Fila " + std::to_string(r + 1) + ": " + e.what());
    }
    ++count;
  }
  return count;
}

void installSchema(Database& db) {
  for (const auto& f : embedded::files()) {
    if (std::string_view(f.path) == "schema.sql") {
      db.script(f.data);
      // The mark by which opening tells our files from other programs'.
      db.script("PRAGMA application_id = " + std::to_string(kApplicationId) +
                "; PRAGMA user_version = " + std::to_string(kSchemaVersion));
      return;
    }
  }
  throw std::runtime_error("El programa no contiene el esquema de la base de datos");
}

static void loadEmbeddedFolder(Database& db, std::string_view folder, const CsvLoadOptions& options) {
  for (const auto& f : embedded::files()) {
    std::string_view p(f.path);
    if (p.substr(0, folder.size()) != folder || p.size() < 4 || p.substr(p.size() - 4) != ".csv") continue;
    try {
      loadCsv(db, tableOfFile(p), f.data, options);
    } catch (const std::exception& e) {
      throw std::runtime_error(std::string(p) + ": " + e.what());
    }
  }
}

void loadSeed(Database& db) {
  loadEmbeddedFolder(db, "seed/", {});
}
void loadDemoRegistry(Database& db) {
  loadEmbeddedFolder(db, "demo/", {.registryDates = true});
}

namespace {

// A missing or 0-byte file holds nothing to keep: the database is created in it.
bool holdsNothing(const std::filesystem::path& file) {
  std::error_code ec;
  return !std::filesystem::exists(file, ec) ||
         (std::filesystem::is_regular_file(file, ec) && std::filesystem::file_size(file, ec) == 0);
}

}  // namespace

std::unique_ptr<Database> createDatabase(const std::filesystem::path& file, bool withDemo) {
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path());
  if (!holdsNothing(file)) {
    // Our database stays as it is; another program's file (or no database at all) is refused
    // and left alone.
    try {
      return Database::open(file);
    } catch (const DbError& e) {
      if (e.code() == SQLITE_NOTADB) throw NotOurDatabase(file);
      throw;
    }
  }
  auto db = Database::create(file);
  Transaction tx(*db);
  installSchema(*db);
  loadSeed(*db);
  if (withDemo) loadDemoRegistry(*db);
  tx.commit();
  return db;
}

std::unique_ptr<Database> recreateDatabase(const std::filesystem::path& file, bool withDemo,
                                           const std::filesystem::path& backup) {
  namespace fs = std::filesystem;
  if (holdsNothing(file)) return createDatabase(file, withDemo);
  std::unique_ptr<Database> db;
  try {
    db = Database::open(file);
  } catch (const NotOurDatabase&) {
    throw;  // another program's database is never replaced
  } catch (const DbError& e) {
    if (e.code() != SQLITE_NOTADB && e.code() != SQLITE_CORRUPT) throw;  // locked, unreadable: leave it
    if (!backup.empty())
      fs::rename(file, backup);
    else
      fs::remove(file);
    for (const char* suffix : {"-wal", "-shm", "-journal"}) fs::remove(fs::path(file.string() + suffix));
    return createDatabase(file, withDemo);
  }
  if (!backup.empty()) {
    fs::remove(backup);
    db->run("VACUUM INTO ?", {backup.string()});
  }
  // Tables are dropped in any order, so references between them are not checked meanwhile.
  db->script("PRAGMA foreign_keys = OFF");
  try {
    Transaction tx(*db);
    for (const auto& r : db->rows("SELECT type, name FROM sqlite_master WHERE type IN ('view', 'table') "
                                  "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY type DESC")) {
      std::string name = r.text(1);
      std::string quotedName = "\"";
      for (char c : name) quotedName += c == '"' ? std::string("\"\"") : std::string(1, c);
      quotedName += "\"";
      db->script((r.text(0) == "view" ? "DROP VIEW " : "DROP TABLE ") + quotedName);
    }
    installSchema(*db);
    loadSeed(*db);
    if (withDemo) loadDemoRegistry(*db);
    tx.commit();
  } catch (...) {
    db->script("PRAGMA foreign_keys = ON");
    throw;
  }
  db->script("PRAGMA foreign_keys = ON");
  return db;
}

const std::vector<std::string>& registryTables() {
  static const std::vector<std::string> t = {
      "CONTRVKRS",  "ASEGVKRS",      "ASEG_DET_LAB",   "PERIODOLAB", "DEREHABVKRS", "LOCAL",    "COR_TASAS_601",
      "EPS",        "OTROSCEN",      "INTERMEDIACION", "COMP",       "CON_AFEC",    "CON_ADIC", "conceptos_remu",
      "AFECTACION", "TRIBUT_AFECTA", "CLAVES"};
  return t;
}

RegistryLoadReport loadRegistryFolder(Database& db, const std::filesystem::path& dir) {
  if (!std::filesystem::is_directory(dir)) throw std::runtime_error("No existe la carpeta " + dir.string());
  std::vector<std::filesystem::path> files;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    auto ext = upperAscii(e.path().extension().string());
    if (e.is_regular_file() && ext == ".CSV") files.push_back(e.path());
  }
  std::sort(files.begin(), files.end());
  std::map<std::string, std::string> known;
  for (const auto& t : registryTables()) known[upperAscii(t)] = t;
  RegistryLoadReport report;
  Transaction tx(db);
  std::map<std::string, bool> cleared;
  for (const auto& f : files) {
    std::string table = tableOfFile(f.filename().string());
    auto it = known.find(upperAscii(table));
    if (it == known.end())
      throw std::runtime_error(f.filename().string() + ": " + table + " no es una tabla del registro");
    try {
      if (!cleared[it->second]) {
        db.run("DELETE FROM " + it->second);
        cleared[it->second] = true;
      }
      int n = loadCsv(db, it->second, readFile(f), {.registryDates = true});
      report.tables.emplace_back(it->second, n);
    } catch (const DbError&) {
      throw;  // the database's own failure (locked, cannot be written), not the file's
    } catch (const std::exception& e) {
      throw std::runtime_error(f.filename().string() + ": " + e.what());
    }
  }
  tx.commit();
  return report;
}

}  // namespace korventa::data
