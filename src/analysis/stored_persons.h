#pragma once
// The persons of a stored declaration (or of a sending) with the amounts the comparison looks
// at: workers and pensioners with the bases and contributions of their concept rows and their
// summary row, fourth-category providers with the sums of their receipts, personnel of third
// parties with their SCTR and trainees with their allowance.
#include <map>
#include <string>
#include <vector>

#include "analysis/declaration_comparison.h"
#include "data/database.h"

namespace korventa::analysis {

struct StoredPerson {
  ComparedPerson person;
  std::string tipo;  // worker type
  std::string dias;  // days worked as stored ("" not declared)
  std::map<std::string, Money> columns;
  std::map<std::string, Money> concepts;  // concept rows that declare something: code → amount
};

// Persons by "category|document type|document".
using StoredPersons = std::map<std::string, StoredPerson>;

StoredPersons readStoredPersons(data::Database& db, const printouts::DeclarationRef& ref);

// Caption of a compared column; the column name itself when it has none.
std::string columnCaption(const std::string& column);
// Order of the columns in the lists (the consultation's order, then the others).
int columnOrder(const std::string& column);

// The base and tax boxes a column of a person adds to (none for SPP, SENATI and allowances).
std::vector<std::string> boxesOfColumn(const std::string& column);

}  // namespace korventa::analysis
