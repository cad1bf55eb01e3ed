#pragma once
// Row control number: a six-digit check value computed from a row's own columns and stored
// with it in its last column (cNumero).
#include <string>
#include <string_view>
#include <vector>

#include "data/database.h"

namespace korventa::data {

// `fields` are the row's values in column order, the control column itself last (its value is
// ignored). The first n fields add their numeric value; the fields after them, up to the
// last-but-one, add each character's code times its position.
std::string NumeroControl(const std::vector<Value>& fields, int n);
// Same over the fields of one line "a|b|c|" (a final empty field after the last bar is not a field).
std::string NumeroControlLinea(std::string_view line, int n);
// Same over texts.
std::string NumeroControlTexts(const std::vector<std::string>& fields, int n);

// Numeric test of the stored texts: optional sign, digits with at most one point, optional
// exponent; surrounding blanks allowed.
bool isNumericText(std::string_view s);

// Recomputes cNumero of every row of a table (rows addressed by rowid), with its count n.
// Optional WHERE clause with parameters limits the rows.
void recomputeControlNumbers(Database& db, std::string_view table, int n, std::string_view where = {},
                             const Params& params = {});

}  // namespace korventa::data
