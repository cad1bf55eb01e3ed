#pragma once
// The stamp of a declaration's last save (CAB_SELLO): the inputs the outcome of a save depends on
// and that outcome, recorded in the save's own transaction. While every input still matches, a
// save of the unchanged declaration from the command line does the save's writes and shows its
// messages without opening the declaration, and its validation prints what the full validation
// would. Any input that differs (another save, a registry or parameter edit, another user, day or
// program) makes the stamp miss and the command take the full road. The forms never use it.
#include <optional>
#include <string>
#include <vector>

#include "common/messenger.h"
#include "common/progress.h"
#include "data/session.h"
#include "declaration/save.h"
#include "determination/declaration_checks.h"
#include "model/open_declaration.h"

namespace korventa::declaration {

using determination::ShownMessage;

// What the validation of a stored declaration gives: the exit code of `validate` (0 clean, 3
// inconsistent, 1 a stopping rule), the lines it prints (those of "Mens.txt"; a stopped run
// writes no file) and the messages it shows, in order.
struct ValidationReplay {
  int exitCode = 0;
  std::vector<std::string> lines;
  std::vector<ShownMessage> messages;
  bool operator==(const ValidationReplay&) const = default;
};

// Everything but the declaration's version that a save or a validation of the stored declaration
// depends on, read in the caller's transaction: the registry mark, fingerprints of every registry
// and reference table and of the declaration's header and boxes, the parameter version, the
// program (version and build), the user and the day.
std::string stampKey(Session& s, const std::string& ruc, const std::string& periodo);

// Inside a save's transaction, after its writes: records its stamp. `checks` is what the save's
// checks found, `epsInvalid` whether the EPS notice applies.
void recordSaveStamp(Session& s, const model::OpenDeclaration& d, bool inconsistent,
                     const std::vector<ShownMessage>& shown, const determination::ValidationRecord& checks,
                     bool epsInvalid);

// A save of the declaration in preparation as it is stored. With a matching stamp and no other
// session holding it: in one write transaction the writes a save of the unchanged declaration does
// (its rows written again, its version raised), then its messages. nullopt when the stamp does not
// answer: nothing was written and the caller saves in full.
std::optional<SaveResult> saveUnchanged(Session& s, const std::string& ruc, const std::string& periodo);

// The validation of the stored declaration: from the stamp when it matches (unless `full`), else
// by opening it (its output then goes into a matching stamp). Writes or removes "Mens.txt" and
// shows the messages; the caller prints the lines.
ValidationReplay validateStored(Session& s, const std::string& ruc, const std::string& periodo, bool full,
                                Progress& progress = Progress::none());

void showAll(Messenger& m, const std::vector<ShownMessage>& shown);

}  // namespace korventa::declaration
