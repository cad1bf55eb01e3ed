#pragma once
// Several programs on one file. The working set is private to each connection; what the
// sessions share is the stored declaration, and these rules keep their writes from undoing each
// other:
//  * every write that replaces a declaration's stored rows raises its version (CAB_VERSION) in
//    the same transaction; the session that opened a declaration writes only while the version
//    is still the one it read when it opened it, so nothing it did not see is overwritten;
//  * the module marks the declarations it holds open (CAB_ABIERTA); another session neither
//    opens nor writes them while the mark is alive, and says who holds them and since when.
//    A mark whose process is gone (same computer) or that was not renewed for five minutes is
//    stale and ignored, so a session that crashed blocks nobody for long;
//  * marking a declarant's declarations for refresh raises its registry mark (CONTR_MARCA)
//    instead of the version (the user refreshes the open declaration after editing the
//    registry); a save whose working set was built from the registry before the last mark keeps
//    the declaration marked.
// Refusals throw ConflictError, whose text is the message for the user. Declarations are those
// in preparation of form 0601, by RUC and period.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "data/database.h"
#include "data/session.h"

namespace korventa::data {

// A session holding a declaration open.
struct Holder {
  std::string user, host;
  std::int64_t pid = 0;
  std::string since;  // "dd/mm/yyyy hh:mm", local time
};

// How a session is told apart in CAB_ABIERTA: computer, process and session.
std::string sessionId(const Session& s);
std::string hostName();

// Version of a declaration; 0 before its first write (or in a file of the earlier layout).
std::int64_t storedVersion(Database& db, std::string_view ruc, std::string_view periodo);
// The declarant's registry mark; 0 when never marked.
std::int64_t registryMark(Database& db, std::string_view ruc);
// Inside the caller's transaction: the declarant's declarations were marked for refresh.
void raiseRegistryMark(Database& db, std::string_view ruc);

// The live session other than `self` that holds the declaration open; stale marks don't count.
std::optional<Holder> otherHolder(Database& db, std::string_view ruc, std::string_view periodo, std::string_view self);
// Marks the declaration open for the session, in a transaction of its own (taking over a stale
// mark). Throws ConflictError naming the holder when another live session has it.
void holdDeclaration(Session& s, std::string_view ruc, std::string_view periodo);
// Removes the session's mark of the declaration.
void releaseDeclaration(Session& s, std::string_view ruc, std::string_view periodo);
// Renews the session's mark of the declaration it has open (none: empty ruc) and removes any
// other mark of the session left by a failed release. Uses a connection of its own that never
// waits: when another program is writing, the renewal is simply tried again next time.
void renewHold(const Session& s, std::string_view ruc, std::string_view periodo);

// What a session that read the declaration as `existed` with `version` finds now: "" when it may
// still write it, else the message saying why not (held, deleted, registered or changed by another
// session). Read inside the write transaction.
std::string changedSince(Session& s, std::string_view ruc, std::string_view periodo, bool existed,
                         std::int64_t version);
// Inside the write transaction of an operation that replaces a declaration's rows: refuses
// (ConflictError) when another session holds it open, then raises its version and returns it.
std::int64_t claimDeclaration(Database& db, std::string_view ruc, std::string_view periodo, std::string_view self = {});

// The stamp of a declaration's last save (CAB_SELLO): its version after that save, the other
// inputs its outcome depends on (`key`), the outcome and the encoded messages; `validation` is
// what the validation of the stored declaration reports, when known.
struct SaveStamp {
  std::int64_t version = 0;
  std::string key;
  bool inconsistent = false;
  std::int64_t estado = 0, indRef = 0;
  std::string total, saveMessages;
  std::optional<std::string> validation;
};
std::optional<SaveStamp> saveStamp(Database& db, std::string_view ruc, std::string_view periodo);
// Inside the caller's transaction (the table is added to a file of an earlier layout).
void writeSaveStamp(Database& db, std::string_view ruc, std::string_view periodo, const SaveStamp& stamp);
void dropSaveStamp(Database& db, std::string_view ruc, std::string_view periodo);

// The messages.
std::string heldText(const Holder& h, std::string_view ruc, std::string_view periodo);
std::string changedText(std::string_view ruc, std::string_view periodo);
std::string deletedText(std::string_view ruc, std::string_view periodo);
std::string registeredText(std::string_view ruc, std::string_view periodo);

}  // namespace korventa::data
