#pragma once
// The one connection to the SQLite file shared with the launcher. Statements always take
// bound parameters; operations that write several statements run inside a Transaction.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <variant>
#include <vector>

#include <SQLiteCpp/Database.h>
#include <SQLiteCpp/Statement.h>

namespace korventa::data {

using Value = std::variant<std::monostate, std::int64_t, double, std::string>;

// Text of a value as the stored-text conventions read it: NULL → "", integers plain,
// reals with up to 15 significant digits.
std::string valueText(const Value& v);
bool valueIsNull(const Value& v);
// A value as an integer: a real one truncated, a text parsed (0 when it is no number), NULL 0.
std::int64_t valueInteger(const Value& v);

class DbError : public std::runtime_error {
 public:
  DbError(int code, int extendedCode, std::string message)
      : std::runtime_error(std::move(message)), code_(code), extended_(extendedCode) {}
  int code() const { return code_; }
  int extendedCode() const { return extended_; }
  bool isBusy() const;       // locked by another connection
  bool isDuplicate() const;  // unique or primary key violated
 private:
  int code_, extended_;
};

// A file that is not a database of this program: another program's SQLite file or an empty
// file. It was only looked at: nothing of it changed.
class NotOurDatabase : public DbError {
 public:
  explicit NotOurDatabase(const std::filesystem::path& file);
};

// The mark of this program's databases, set when the schema is created: PRAGMA application_id
// ("K601") and PRAGMA user_version (the layout of the schema).
inline constexpr std::int32_t kApplicationId = 0x4B363031;
inline constexpr std::int32_t kSchemaVersion = 1;

// How a file is opened: read-write, or read-only for work that only reads (a file or a folder
// that cannot be written can then still be read).
enum class Access { ReadWrite, ReadOnly };

// Result row: values by position and by case-insensitive column name.
class Row {
 public:
  Row() = default;
  Row(std::shared_ptr<const std::vector<std::string>> names, std::vector<Value> values)
      : names_(std::move(names)), values_(std::move(values)) {}

  std::size_t size() const { return values_.size(); }
  const Value& operator[](std::size_t i) const { return values_.at(i); }
  const Value& at(std::string_view column) const;
  bool has(std::string_view column) const;
  int index(std::string_view column) const;  // -1 when absent

  std::string text(std::size_t i) const { return valueText(values_.at(i)); }
  std::string text(std::string_view column) const { return valueText(at(column)); }
  std::int64_t integer(std::size_t i) const;
  std::int64_t integer(std::string_view column) const;
  bool isNull(std::string_view column) const { return valueIsNull(at(column)); }
  const std::vector<std::string>& names() const { return *names_; }
  const std::vector<Value>& values() const { return values_; }

 private:
  std::shared_ptr<const std::vector<std::string>> names_;
  std::vector<Value> values_;
};

// Parameters for a statement; any mix of numbers, texts, null and optionals.
class Params {
 public:
  Params() = default;
  template <class... A>
  Params(const A&... args) {  // NOLINT: implicit on purpose, so calls read db.rows(sql, {a, b})
    values_.reserve(sizeof...(A));
    (add(args), ...);
  }
  Params(std::vector<Value> values) : values_(std::move(values)) {}
  const std::vector<Value>& values() const { return values_; }
  void add(const Value& v) { values_.push_back(v); }
  void add(std::int64_t v) { values_.emplace_back(v); }
  void add(int v) { values_.emplace_back(std::int64_t(v)); }
  void add(long long v) { values_.emplace_back(std::int64_t(v)); }
  void add(unsigned v) { values_.emplace_back(std::int64_t(v)); }
  void add(std::size_t v) { values_.emplace_back(std::int64_t(v)); }
  void add(bool v) { values_.emplace_back(std::int64_t(v ? 1 : 0)); }
  void add(double v) { values_.emplace_back(v); }
  void add(const std::string& v) { values_.emplace_back(v); }
  void add(std::string_view v) { values_.emplace_back(std::string(v)); }
  void add(const char* v) { values_.emplace_back(std::string(v)); }
  void add(std::nullptr_t) { values_.emplace_back(std::monostate{}); }
  template <class T>
  void add(const std::optional<T>& v) {
    if (v)
      add(*v);
    else
      values_.emplace_back(std::monostate{});
  }

 private:
  std::vector<Value> values_;
};

void bindAll(SQLite::Statement& st, const Params& params);
Value columnValue(const SQLite::Column& c);

class Database {
 public:
  // Opens an existing database of this program (WAL journal, foreign keys on, busy timeout).
  // Before anything is written, the file must carry our application_id or, made by an earlier
  // build, the schema's key tables; else NotOurDatabase. Read-write falls back to reading when
  // the file or its folder cannot be written (writes then fail with SQLITE_READONLY).
  // Throws DbError when the file is missing, locked or not a database.
  static std::unique_ptr<Database> open(const std::filesystem::path& file, Access access = Access::ReadWrite);
  // Creates a new empty file (or opens an existing one) for the schema to be installed.
  static std::unique_ptr<Database> create(const std::filesystem::path& file);

  const std::filesystem::path& path() const { return path_; }
  SQLite::Database& sqlite() { return *db_; }

  // Runs one statement with parameters; returns the number of changed rows.
  int run(std::string_view sql, const Params& params = {});
  // Runs a script of several statements without parameters.
  void script(std::string_view sql);
  std::vector<Row> rows(std::string_view sql, const Params& params = {});
  std::optional<Row> row(std::string_view sql, const Params& params = {});
  // First column of the first row as text; "" when there is no row.
  std::string text(std::string_view sql, const Params& params = {});
  std::int64_t integer(std::string_view sql, const Params& params = {}, std::int64_t whenNone = 0);
  bool exists(std::string_view sql, const Params& params = {});
  // A statement kept prepared for repeated use in loops (reset and bindings cleared on return).
  SQLite::Statement& prepared(const std::string& sql);
  std::int64_t lastInsertRowid() const;
  // Rows inserted, updated or deleted through this connection since it was opened: compared
  // before and after a piece of work, it tells whether that work wrote anything.
  std::int64_t totalChanges() const;
  // Transactions and savepoints rolled back through this connection: a rollback undoes rows
  // without adding to totalChanges, so the two together tell whether anything changed since.
  std::uint64_t rollbacks() const { return rollbacks_; }

  bool tableExists(std::string_view table);
  std::vector<std::string> columns(std::string_view table);  // in table order

  // Transaction depth bookkeeping for Transaction.
  int depth() const { return depth_; }

 private:
  friend class Transaction;
  Database(std::unique_ptr<SQLite::Database> db, std::filesystem::path path);
  std::unique_ptr<SQLite::Database> db_;
  std::filesystem::path path_;
  std::unordered_map<std::string, std::unique_ptr<SQLite::Statement>> cache_;
  int depth_ = 0;
  std::uint64_t rollbacks_ = 0;
  int savepointSeq_ = 0;
};

// A statement used through SQLite's own functions, for loops that hand values from one statement
// to another as they are, without reading them into Values; finalized with the object.
class RawStatement {
 public:
  RawStatement(Database& db, const std::string& sql);
  ~RawStatement();
  RawStatement(const RawStatement&) = delete;
  RawStatement& operator=(const RawStatement&) = delete;
  sqlite3_stmt* get() const { return st_; }
  // Runs to the next row: true on one, false when done; an error throws DbError.
  bool step();
  // Ready to run again, its parameters cleared.
  void reset();

 private:
  [[noreturn]] void fail() const;
  sqlite3* db_;
  sqlite3_stmt* st_ = nullptr;
};

// One operation, all or nothing: rolls back in its destructor unless committed. Nested
// transactions become savepoints of the outer one.
class Transaction {
 public:
  explicit Transaction(Database& db);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void commit();

 private:
  Database& db_;
  std::string savepoint_;
  bool done_ = false;
};

// Wraps an SQLite exception into DbError.
[[noreturn]] void rethrow(const SQLite::Exception& e);

}  // namespace korventa::data
