#pragma once
// What the declaration's life (load, refresh, import, save) asks of the computation and the
// validation. The declaration code calls these; the computation and validation code owns them.
#include <string>
#include <vector>

#include "data/keys.h"
#include "data/session.h"
#include "declaration/open_declaration.h"

namespace korventa::determination {

// After the working tables were filled (new, opened, refreshed or imported): give every worker
// and pensioner the concept rows of the declarant's concept set (TMPF601CONCEP) and compute
// every person's bases, contributions and summary row (TEMP1_F601).
void recomputeAll(Session& session, const declaration::OpenDeclaration& decl);
// The same for one person (after a detail form changed it).
void recomputePerson(Session& session, const declaration::OpenDeclaration& decl, const PersonKey& person);
// The same for the persons given (those an import touched), the others left as they are.
void recomputePersons(Session& session, const declaration::OpenDeclaration& decl, const std::vector<PersonKey>& persons);

// One box of the declaration as DET stores it.
struct Box {
  std::string casilla;  // three characters
  std::string valor;    // whole soles "###########0", or the text of a text box
};
// The boxes of the debt determination for the open declaration (computed from the working
// tables and the typed boxes) that hold a value, in the order the save writes them.
std::vector<Box> determinationBoxes(Session& session, const declaration::OpenDeclaration& decl);

// Outcome of the checks of the save. Used as a bool it says whether an inconsistency was found
// (the declaration is then saved with estado 9); `stop` asks the save to end without writing,
// with `message` shown as a critical message. `boxes` are the determination boxes the checks ran
// on (as determinationBoxes gives them), for the save to store.
struct SaveCheckResult {
  bool inconsistent = false;
  bool stop = false;
  std::string message;
  std::vector<Box> boxes;
  operator bool() const { return inconsistent; }  // NOLINT: reads as the former yes/no answer
};

// The checks of the save: every rule of the validation, silently, and the save's own.
SaveCheckResult saveChecks(Session& session, const declaration::OpenDeclaration& decl);

// The total to pay of determination boxes ("#,###,###,##0"; "" when no amount to pay is filled).
std::string totalToPay(const std::vector<Box>& boxes);

}  // namespace korventa::determination
