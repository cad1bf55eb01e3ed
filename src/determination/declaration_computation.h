#pragma once
// The computation of the open declaration, as its life (load, refresh, import, detail forms)
// asks for it: every person, or one person, computed and stored in the working tables.
#include <vector>

#include "common/progress.h"
#include "data/keys.h"
#include "data/session.h"
#include "model/open_declaration.h"
#include "model/person_data.h"
#include "model/person_handoff.h"

namespace korventa::determination {

// After the working tables were filled (new, opened, refreshed or imported): give every worker
// and pensioner the concept rows of the declarant's concept set (TMPF601CONCEP) and compute
// every person's bases, contributions and summary row (TEMP1_F601). One transaction; the persons
// computed are counted on `progress`, which may cancel it. With `handoff` (filled by the load of a
// new declaration just before), the persons are taken from it rather than read back.
void recomputeDeclaration(Session& session, const model::OpenDeclaration& decl, Progress& progress = Progress::none(),
                          model::PersonHandoff* handoff = nullptr);
// What follows a computation: the working set stays open to be edited (the forms look concept
// rows up by person and code), or it is only saved and closed (the command line's import); then
// a bulk store of every person keeps its new concept rows in memory for the save, without writing
// them to the table (model/computed_persons.h: whoever reads the table writes them first) nor
// building the table's unique index (built again when the table is emptied).
enum class Afterwards { Edited, SavedAndClosed };
// The same for the persons an import touched, with the concept rows it read and left to this
// computation to write (each row written once, with its base, in the order it was read).
void recomputeImported(Session& session, const model::OpenDeclaration& decl, const std::vector<PersonKey>& persons,
                       model::ImportedConcepts imported, Progress& progress = Progress::none(),
                       Afterwards afterwards = Afterwards::Edited);
// The same for one person, in a transaction of its own.
void recomputePerson(Session& session, const model::OpenDeclaration& decl, const PersonKey& person);
// The same for the persons given (those an import touched), the others left as they are.
void recomputePersons(Session& session, const model::OpenDeclaration& decl, const std::vector<PersonKey>& persons,
                      Progress& progress = Progress::none());
// The same for one person inside the caller's transaction: what a detail form's accept runs
// after writing the person's data, so that the write and the computation commit together.
void recomputePersonInTransaction(data::Database& db, const model::OpenDeclaration& decl, const PersonKey& person);

}  // namespace korventa::determination
