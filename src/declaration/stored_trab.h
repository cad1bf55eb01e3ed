#pragma once
// The stored rows of the workers and pensioners of a declaration (F601_TRAB) written from their
// working rows (TEMP1_F601): the declaration's key, the person's own columns, the amounts in
// their picture and the row's control number.
#include "data/database.h"
#include "model/open_declaration.h"

namespace korventa::declaration {

// Adds a row for every worker and pensioner of the working set, in the working rows' order; with
// `onlyChanged`, only for the persons noted as changed (TMPF601_CAMBIOS) that have no stored row
// yet.
void writeStoredTrab(data::Database& db, const model::OpenDeclaration& d, bool onlyChanged = false);

// The stored rows of the changed persons only, the others' rows left as they are: a changed
// person's F601_TRAB row is rewritten where it stands (rowid kept: the stored order of the
// persons stays) or added, or deleted with the person; the person's concept rows (F601_REMUNERA)
// are deleted for the caller to write again.
// The program reads the working rows, formats the amounts and computes the control numbers
// itself and updates each stored row once; it leaves the work to SQL statements (the same rows,
// slower) when the stored table is not the one it knows (other or more columns, triggers), a
// changed person's key is not a pair of whole numbers, two working rows share a key or a value is
// a blob. `TrabWrite::Sql` asks for the statements.
enum class TrabWrite { Program, Sql };
void saveChangedPersons(data::Database& db, const model::OpenDeclaration& d, TrabWrite how = TrabWrite::Program);

}  // namespace korventa::declaration
