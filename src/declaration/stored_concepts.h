#pragma once
// The stored concept rows (F601_REMUNERA) of a declaration written from its working rows.
#include "data/database.h"
#include "model/computed_persons.h"
#include "model/open_declaration.h"

namespace korventa::declaration {

// Adds to F601_REMUNERA a row for each working concept row (TMPF601CONCEP) that declares
// something (an amount, an amount paid or a base) — with `onlyChanged`, of the persons noted as
// changed (TMPF601_CAMBIOS) —, in the working rows' order: the declaration's key, the row's own
// columns, its amounts in their picture ('' when empty) and its control number.
// The program reads the working rows, formats the values and computes the control numbers itself
// and inserts the rows dozens per statement; it leaves the copy to one SQL statement (the same
// rows, slower) when the stored table's columns are not the ones it writes (an older or altered
// file) or a noted person's key is not a pair of whole numbers. `ConceptCopy::Sql` asks for the
// statement.
// With `held`, the working rows as the last computation of every person holds them, taken before
// the save removed the 0807 rows without amounts: the program takes the rows from there (but
// those 0807 rows) instead of reading the table again, when they are all of its rows and their
// texts are exactly the table's.
enum class ConceptCopy { Program, Sql };
void writeStoredConcepts(data::Database& db, const model::OpenDeclaration& d, bool onlyChanged,
                         ConceptCopy how = ConceptCopy::Program, const model::ComputedPersons* held = nullptr);

}  // namespace korventa::declaration
