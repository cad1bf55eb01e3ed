#include "data/database.h"

#include <cmath>
#include <cstdio>

#include <sqlite3.h>

#include "common/text.h"
#include "data/working_tables.h"

namespace korventa::data {

std::string valueText(const Value& v) {
  switch (v.index()) {
    case 1:
      return std::to_string(std::get<std::int64_t>(v));
    case 2: {
      double d = std::get<double>(v);
      if (std::nearbyint(d) == d && std::fabs(d) < 1e15) return std::to_string(static_cast<long long>(d));
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.15g", d);
      return buf;
    }
    case 3:
      return std::get<std::string>(v);
    default:
      return {};
  }
}

bool valueIsNull(const Value& v) {
  return v.index() == 0;
}

bool DbError::isBusy() const {
  return code_ == SQLITE_BUSY || code_ == SQLITE_LOCKED;
}
bool DbError::isDuplicate() const {
  return extended_ == SQLITE_CONSTRAINT_PRIMARYKEY || extended_ == SQLITE_CONSTRAINT_UNIQUE;
}

void rethrow(const SQLite::Exception& e) {
  throw DbError(e.getErrorCode(), e.getExtendedErrorCode(), e.what());
}

NotOurDatabase::NotOurDatabase(const std::filesystem::path& file)
    : DbError(SQLITE_NOTADB, SQLITE_NOTADB,
              "El archivo " + file.string() + " no es una base de datos del 0601; se deja sin cambios.") {}

const Value& Row::at(std::string_view column) const {
  int i = index(column);
  if (i < 0) throw std::out_of_range("columna inexistente: " + std::string(column));
  return values_[static_cast<std::size_t>(i)];
}

bool Row::has(std::string_view column) const {
  return index(column) >= 0;
}

int Row::index(std::string_view column) const {
  if (!names_) return -1;
  for (std::size_t i = 0; i < names_->size(); ++i)
    if (text::equalsIgnoreCase((*names_)[i], column)) return static_cast<int>(i);
  return -1;
}

std::int64_t Row::integer(std::size_t i) const {
  return valueInteger(values_.at(i));
}

std::int64_t valueInteger(const Value& v) {
  if (v.index() == 1) return std::get<std::int64_t>(v);
  if (v.index() == 2) return static_cast<std::int64_t>(std::get<double>(v));
  if (v.index() == 3) {
    try {
      return std::stoll(std::get<std::string>(v));
    } catch (...) {
      return 0;
    }
  }
  return 0;
}

std::int64_t Row::integer(std::string_view column) const {
  int i = index(column);
  if (i < 0) throw std::out_of_range("columna inexistente: " + std::string(column));
  return integer(static_cast<std::size_t>(i));
}

void bindAll(SQLite::Statement& st, const Params& params) {
  int i = 1;
  for (const auto& v : params.values()) {
    switch (v.index()) {
      case 0:
        st.bind(i);
        break;
      case 1:
        st.bind(i, static_cast<int64_t>(std::get<std::int64_t>(v)));
        break;
      case 2:
        st.bind(i, std::get<double>(v));
        break;
      case 3:
        st.bind(i, std::get<std::string>(v));
        break;
    }
    ++i;
  }
}

Value columnValue(const SQLite::Column& c) {
  switch (c.getType()) {
    case SQLITE_INTEGER:
      return Value(static_cast<std::int64_t>(c.getInt64()));
    case SQLITE_FLOAT:
      return Value(c.getDouble());
    case SQLITE_NULL:
      return Value();
    default:
      return Value(std::string(c.getText(), static_cast<std::size_t>(c.getBytes())));
  }
}

Database::Database(std::unique_ptr<SQLite::Database> db, std::filesystem::path path)
    : db_(std::move(db)), path_(std::move(path)) {
  createWorkingTables(*this);  // the working set belongs to this connection alone
}

static void configure(SQLite::Database& db) {
  db.setBusyTimeout(4000);
  db.exec("PRAGMA foreign_keys = ON");
  // WAL lets the launcher read while the module writes; it fails harmlessly on media
  // without shared memory, where the default journal stays in use. A file opened for reading
  // keeps its journal as it is.
  if (sqlite3_db_readonly(db.getHandle(), "main") != 1) {
    try {
      SQLite::Statement st(db, "PRAGMA journal_mode = WAL");
      st.executeStep();
    } catch (const SQLite::Exception&) {
    }
  }
  db.exec("PRAGMA synchronous = NORMAL");
}

namespace {

using Connection = std::unique_ptr<SQLite::Database>;

// Opens and touches the schema, so that a locked or unreadable file fails here, after one wait.
// A connection is used by one thread at a time (a thread that needs the file opens its own), so
// SQLite's lock around every call on it is left out.
Connection connect(const std::string& name, int flags) {
  auto db = std::make_unique<SQLite::Database>(name, flags | SQLite::OPEN_NOMUTEX);
  db->setBusyTimeout(4000);
  SQLite::Statement probe(*db, "SELECT count(*) FROM sqlite_master");
  probe.executeStep();
  return db;
}

// The "file:" URI of a path, its URI characters escaped.
std::string fileUri(const std::filesystem::path& file) {
  std::string out = "file:";
  for (unsigned char c : std::filesystem::absolute(file).generic_string()) {
    if (c == '%' || c == '?' || c == '#' || c < 0x20) {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

bool cannotWrite(const SQLite::Exception& e) {
  return e.getErrorCode() == SQLITE_READONLY || e.getErrorCode() == SQLITE_CANTOPEN;
}

// Reading a WAL database needs the shared-memory file beside it, which a folder that cannot be
// written does not let anyone create. When no write-ahead log holds changes (as the last
// program to close the file leaves it), the file alone is the whole database: it is then
// opened as immutable, which needs no file beside it.
Connection connectForReading(const std::filesystem::path& file) {
  try {
    return connect(file.string(), SQLite::OPEN_READONLY);
  } catch (const SQLite::Exception& e) {
    if (!cannotWrite(e)) throw;
    std::error_code ec;
    auto wal = std::filesystem::file_size(file.string() + "-wal", ec);
    if (!ec && wal > 0) throw;
    return connect(fileUri(file) + "?immutable=1", SQLite::OPEN_READONLY | SQLite::OPEN_URI);
  }
}

// A file or a folder that cannot be written is opened for reading: what only reads works, and
// a write fails with SQLITE_READONLY, which says that the file cannot be written.
Connection connectForWriting(const std::filesystem::path& file) {
  try {
    return connect(file.string(), SQLite::OPEN_READWRITE);
  } catch (const SQLite::Exception& e) {
    std::error_code ec;
    if (!cannotWrite(e) || !std::filesystem::is_regular_file(file, ec)) throw;
    try {
      return connectForReading(file);
    } catch (const SQLite::Exception&) {
      throw e;
    }
  }
}

// Ours: the application_id that the creation of the schema sets or, for a file of an earlier
// build (application_id 0), the schema's key tables. Only reads.
bool isOurDatabase(SQLite::Database& db) {
  int id = db.execAndGet("PRAGMA application_id").getInt();
  if (id == kApplicationId) return true;
  if (id != 0) return false;
  return db.execAndGet(
               "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND upper(name) IN "
               "('PARAM', 'CAB', 'DET', 'CONTRVKRS', 'ASEGVKRS', 'SPOOL')")
             .getInt() == 6;
}

}  // namespace

std::unique_ptr<Database> Database::open(const std::filesystem::path& file, Access access) {
  try {
    auto db = access == Access::ReadOnly ? connectForReading(file) : connectForWriting(file);
    // Checked before anything is written: another program's file stays exactly as it was.
    if (!isOurDatabase(*db)) throw NotOurDatabase(file);
    configure(*db);
    return std::unique_ptr<Database>(new Database(std::move(db), file));
  } catch (const SQLite::Exception& e) {
    rethrow(e);
  }
}

std::unique_ptr<Database> Database::create(const std::filesystem::path& file) {
  try {
    auto db = std::make_unique<SQLite::Database>(file.string(),
                                                 SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE | SQLite::OPEN_NOMUTEX);
    configure(*db);
    return std::unique_ptr<Database>(new Database(std::move(db), file));
  } catch (const SQLite::Exception& e) {
    rethrow(e);
  }
}

int Database::run(std::string_view sql, const Params& params) {
  try {
    SQLite::Statement st(*db_, std::string(sql));
    bindAll(st, params);
    return st.exec();
  } catch (const SQLite::Exception& e) {
    rethrow(e);
  }
}

void Database::script(std::string_view sql) {
  try {
    db_->exec(std::string(sql));
  } catch (const SQLite::Exception& e) {
    rethrow(e);
  }
}

std::vector<Row> Database::rows(std::string_view sql, const Params& params) {
  try {
    SQLite::Statement st(*db_, std::string(sql));
    bindAll(st, params);
    int n = st.getColumnCount();
    auto names = std::make_shared<std::vector<std::string>>();
    for (int i = 0; i < n; ++i) names->emplace_back(st.getColumnName(i));
    std::vector<Row> out;
    while (st.executeStep()) {
      std::vector<Value> vals;
      vals.reserve(static_cast<std::size_t>(n));
      for (int i = 0; i < n; ++i) vals.push_back(columnValue(st.getColumn(i)));
      out.emplace_back(names, std::move(vals));
    }
    return out;
  } catch (const SQLite::Exception& e) {
    rethrow(e);
  }
}

std::optional<Row> Database::row(std::string_view sql, const Params& params) {
  try {
    SQLite::Statement st(*db_, std::string(sql));
    bindAll(st, params);
    if (!st.executeStep()) return std::nullopt;
    int n = st.getColumnCount();
    auto names = std::make_shared<std::vector<std::string>>();
    std::vector<Value> vals;
    for (int i = 0; i < n; ++i) {
      names->emplace_back(st.getColumnName(i));
      vals.push_back(columnValue(st.getColumn(i)));
    }
    return Row(names, std::move(vals));
  } catch (const SQLite::Exception& e) {
    rethrow(e);
  }
}

std::string Database::text(std::string_view sql, const Params& params) {
  auto r = row(sql, params);
  return r && r->size() > 0 ? r->text(0) : std::string();
}

std::int64_t Database::integer(std::string_view sql, const Params& params, std::int64_t whenNone) {
  auto r = row(sql, params);
  if (!r || r->size() == 0 || valueIsNull((*r)[0])) return whenNone;
  return r->integer(0);
}

bool Database::exists(std::string_view sql, const Params& params) {
  return row(sql, params).has_value();
}

SQLite::Statement& Database::prepared(const std::string& sql) {
  auto it = cache_.find(sql);
  try {
    if (it == cache_.end()) it = cache_.emplace(sql, std::make_unique<SQLite::Statement>(*db_, sql)).first;
    // sqlite3_reset repeats the error of the last step; a statement that failed once (a
    // constraint, a rolled-back operation) must still be usable, so that error is not thrown here.
    it->second->tryReset();
    it->second->clearBindings();
  } catch (const SQLite::Exception& e) {
    rethrow(e);
  }
  return *it->second;
}

std::int64_t Database::lastInsertRowid() const {
  return db_->getLastInsertRowid();
}
std::int64_t Database::totalChanges() const {
  return db_->getTotalChanges();
}

bool Database::tableExists(std::string_view table) {
  return exists("SELECT 1 FROM sqlite_master WHERE type='table' AND name = ? COLLATE NOCASE", {table});
}

std::vector<std::string> Database::columns(std::string_view table) {
  std::vector<std::string> out;
  for (const auto& r : rows("SELECT name FROM pragma_table_info(?) ORDER BY cid", {table})) out.push_back(r.text(0));
  return out;
}

RawStatement::RawStatement(Database& db, const std::string& sql) : db_(db.sqlite().getHandle()) {
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st_, nullptr) != SQLITE_OK) fail();
}

RawStatement::~RawStatement() {
  sqlite3_finalize(st_);
}

bool RawStatement::step() {
  int rc = sqlite3_step(st_);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) fail();
  return false;
}

void RawStatement::reset() {
  sqlite3_reset(st_);
  sqlite3_clear_bindings(st_);
}

void RawStatement::fail() const {
  throw DbError(sqlite3_errcode(db_), sqlite3_extended_errcode(db_), sqlite3_errmsg(db_));
}

Transaction::Transaction(Database& db) : db_(db) {
  try {
    if (db_.depth_ == 0) {
      db_.db_->exec("BEGIN IMMEDIATE");
    } else {
      savepoint_ = "sp" + std::to_string(++db_.savepointSeq_);
      db_.db_->exec("SAVEPOINT " + savepoint_);
    }
  } catch (const SQLite::Exception& e) {
    rethrow(e);
  }
  ++db_.depth_;
}

Transaction::~Transaction() {
  if (done_) return;
  --db_.depth_;
  ++db_.rollbacks_;
  try {
    if (savepoint_.empty()) {
      db_.db_->exec("ROLLBACK");
    } else {
      db_.db_->exec("ROLLBACK TO " + savepoint_);
      db_.db_->exec("RELEASE " + savepoint_);
    }
  } catch (const SQLite::Exception&) {
    // Nothing more can be done from a destructor; SQLite has already undone the statement.
  }
}

void Transaction::commit() {
  if (done_) return;
  try {
    if (savepoint_.empty())
      db_.db_->exec("COMMIT");
    else
      db_.db_->exec("RELEASE " + savepoint_);
  } catch (const SQLite::Exception& e) {
    rethrow(e);
  }
  done_ = true;
  --db_.depth_;
}

}  // namespace korventa::data
