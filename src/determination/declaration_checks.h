#pragma once
// The debt determination and the checks as the declaration's save sees them: the boxes it
// stores, the checks it runs silently, and the rules the save and the validation share.
#include <string>
#include <vector>

#include "common/messenger.h"
#include "common/progress.h"
#include "data/database.h"
#include "data/session.h"
#include "model/open_declaration.h"

namespace korventa::determination {

// One box of the declaration as DET stores it.
struct Box {
  std::string casilla;  // three characters
  std::string valor;    // whole soles "###########0", or the text of a text box
};
// The boxes of the debt determination for the open declaration (computed from the working
// tables and the typed boxes) that hold a value, in the order the save writes them.
std::vector<Box> determinationBoxes(Session& session, const model::OpenDeclaration& decl);

// A message box as it was (or would be) shown.
struct ShownMessage {
  MsgIcon icon = MsgIcon::None;
  std::string text, title;
  bool operator==(const ShownMessage&) const = default;
};

// What the rules of the validation found on the data the save's checks ran on: the lines of
// "Mens.txt", a stopping rule, and the warnings the validation would show, in their order.
// `asStored` says that the data read are those the save stores (no concept row it leaves out, no
// amount it re-formats to another value), so a validation of the stored declaration finds the same.
struct ValidationRecord {
  bool stopped = false;
  std::string stopMessage;
  bool inconsistent = false;
  std::vector<std::string> lines;
  std::vector<ShownMessage> warnings;
  bool asStored = true;
};

// Outcome of the checks of the save. Used as a bool it says whether an inconsistency was found
// (the declaration is then saved with estado 9); `stop` asks the save to end without writing,
// with `message` shown as a critical message. `boxes` are the determination boxes the checks ran
// on (as determinationBoxes gives them), for the save to store.
struct SaveCheckResult {
  bool inconsistent = false;
  bool stop = false;
  std::string message;
  std::vector<Box> boxes;
  ValidationRecord validation;                    // what the validation would report on the same data
  operator bool() const { return inconsistent; }  // NOLINT: reads as the former yes/no answer
};

// The checks of the save: every rule of the validation, silently, and the save's own.
SaveCheckResult saveChecks(Session& session, const model::OpenDeclaration& decl, Progress& progress = Progress::none());

// The total to pay of determination boxes ("#,###,###,##0"; "" when no amount to pay is filled).
std::string totalToPay(const std::vector<Box>& boxes);

// Version of the rate parameters (PARAM 981 of the form), written in box 722.
std::string parameterVersion(data::Database& db);

// Workers affiliated to an EPS whose RUC is invalid or not a provider of the declarant, and the
// three lines that say so.
bool EPS_Invalida(data::Database& db, const model::OpenDeclaration& decl);
std::string epsInvalidaText();

// Notice given after the save when every worker (or pensioner) has left or is suspended.
std::string noActiveNotice(bool pensioners);

}  // namespace korventa::determination
