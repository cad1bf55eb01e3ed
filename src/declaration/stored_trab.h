#pragma once
// The stored rows of the workers and pensioners of a declaration (F601_TRAB) written from their
// working rows (TEMP1_F601): the declaration's key, the person's own columns, the amounts in
// their picture and the row's control number.
#include "data/database.h"
#include "model/open_declaration.h"

namespace korventa::declaration {

// How the rows are written: by the program, which reads the working rows, formats the amounts
// and computes the control numbers itself with the functions the SQL statements use and writes
// each row once with bound values, or by the SQL statements (the same rows, slower). The program
// leaves the work to SQL when the stored table is not the one it knows (other or more columns,
// other declared types, triggers) and, for the changed persons, when a noted key is not a pair of
// whole numbers or two working rows share a key. `TrabWrite::Sql` asks for the statements.
enum class TrabWrite { Program, Sql };

// Adds a row for every worker and pensioner of the working set, in the working rows' order (the
// declaration has none stored).
void writeStoredTrab(data::Database& db, const model::OpenDeclaration& d, TrabWrite how = TrabWrite::Program);

// The stored rows of the changed persons only, the others' rows left as they are: a changed
// person's F601_TRAB row is rewritten where it stands (rowid kept: the stored order of the
// persons stays) or added, or deleted with the person; the person's concept rows (F601_REMUNERA)
// are deleted for the caller to write again.
void saveChangedPersons(data::Database& db, const model::OpenDeclaration& d, TrabWrite how = TrabWrite::Program);

}  // namespace korventa::declaration
