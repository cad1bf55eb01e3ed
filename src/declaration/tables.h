#pragma once
// The stored tables of a declaration: their row control-number counts and which operations
// carry them. History twins are the same names prefixed with "H".
#include <string>
#include <vector>

#include "data/database.h"

namespace korventa::declaration {

struct StoredTable {
  const char* name;
  int n;  // leading numeric fields of the row control number
};

// Control-number count of a stored table (0 when unknown).
int controlCount(std::string_view table);

// Detail tables deleted with a declaration, in the order they are deleted; DET and CAB follow.
const std::vector<StoredTable>& deletedTables();
// Tables copied to a later period (receipts and non-worked days are not).
const std::vector<StoredTable>& copiedTables();
// Tables brought back from the history by a recovery, in order.
const std::vector<StoredTable>& recoveredTables();

// Key of a declaration in preparation / of a sending, as a WHERE clause with its parameters.
struct KeyClause {
  std::string where;
  data::Params params;
};
KeyClause preparationKey(const std::string& ruc, const std::string& periodo);
// A concept row that declares something: an accrued or paid amount or a base (SQL condition over
// the columns of a working or stored concept row, with the table alias given, "" for none).
std::string conceptHasContent(const std::string& alias = "");
// The rows of the persons noted as changed since the working set matched the stored declaration
// (SQL condition over the correlative and category of a row).
extern const char* const kChangedPersons;
KeyClause sentKey(const std::string& ruc, const std::string& periodo, const std::string& correl);
// " ORDER BY rowid" to copy a table's rows in the order they were written; "" for the concept
// rows, which are many and keep the order of the declaration's index (by person).
std::string copyOrder(std::string_view table);

}  // namespace korventa::declaration
