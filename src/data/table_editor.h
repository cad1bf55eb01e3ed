#pragma once
// Row-by-row maintenance of one table (the launcher's registry editor): rows are read with
// their rowid, every change is one transaction, typed input is checked before it reaches SQL.
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "data/database.h"

namespace korventa::data {

struct TableColumn {
  std::string name;
  std::string type;      // as declared
  bool integer = false;  // INTEGER affinity: whole numbers only
  bool decimal = false;  // NUMERIC or REAL affinity: a decimal number with a point
  bool notNull = false;
  bool key = false;         // part of the primary key
  bool date = false;        // registry date (fec_*, fecha*): stored ISO YYYY-MM-DD
  std::string defaultText;  // declared default, unquoted ("" when none)
};

// A value typed by the user that the column does not accept; the message is for the user.
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TableEditor {
 public:
  // Called inside the transaction of each change with the declarant RUC (doc_id_d) of the
  // row before and after the change, so that dependent data can be marked in the same step.
  using ChangeHook = std::function<void(Database&, const std::string& ruc)>;

  // Throws std::runtime_error when the table does not exist.
  TableEditor(Database& db, std::string table, ChangeHook hook = {});

  const std::string& table() const { return table_; }
  const std::vector<TableColumn>& columns() const { return columns_; }
  void reload();

  std::size_t rowCount() const { return rows_.size(); }
  const Value& value(std::size_t row, std::size_t col) const { return rows_.at(row).values.at(col); }
  std::string text(std::size_t row, std::size_t col) const { return valueText(value(row, col)); }

  // The value a typed text gives for a column: integer columns take an optional sign and
  // digits (empty → NULL, refused when the column is required); date columns take
  // dd/mm/yyyy or YYYY-MM-DD and keep ISO; numeric columns take a number with a decimal
  // point (empty → NULL); other columns keep the text as typed.
  // Throws InputError.
  Value parse(std::size_t col, std::string_view text) const;

  // Each of these is one transaction. Input errors throw InputError, engine errors DbError;
  // on error nothing is changed. A row that another program deleted meanwhile throws DbError
  // with SQLITE_NOTFOUND and the rows are read again.
  void setText(std::size_t row, std::size_t col, std::string_view text);
  std::size_t insert(const std::vector<std::string>& texts);  // one text per column; index of the new row
  void remove(std::size_t row);

 private:
  struct Stored {
    std::int64_t rowid;
    std::vector<Value> values;
  };
  std::string declarantOf(const std::vector<Value>& values) const;
  void notify(const std::string& before, const std::string& after);

  Database& db_;
  std::string table_;
  ChangeHook hook_;
  std::vector<TableColumn> columns_;
  std::vector<Stored> rows_;
  int declarantColumn_ = -1;
};

}  // namespace korventa::data
