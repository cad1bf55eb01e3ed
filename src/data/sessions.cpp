#include "data/sessions.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

#include <sqlite3.h>

#include "common/dates.h"
#include "common/text.h"
#include "data/conflict_error.h"
#include "data/embedded_data.h"
#include "data/working_tables.h"

namespace korventa::data {
namespace {

// A mark not renewed for this long belongs to a session that is gone (the module renews every minute).
constexpr const char* kStaleAfter = "-300 seconds";
constexpr const char* kKey = "tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND Formulario = '0601'";

std::int64_t processId() {
#ifdef _WIN32
  return static_cast<std::int64_t>(GetCurrentProcessId());
#else
  return static_cast<std::int64_t>(::getpid());
#endif
}

bool processAlive(std::int64_t pid) {
  if (pid <= 0) return false;
#ifdef _WIN32
  HANDLE h = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid));
  if (!h) return GetLastError() == ERROR_ACCESS_DENIED;
  DWORD code = 0;
  bool alive = GetExitCodeProcess(h, &code) && code == STILL_ACTIVE;
  CloseHandle(h);
  return alive;
#else
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
#endif
}

bool hasTables(Database& db) {
  return db.integer(
             "SELECT count(*) FROM main.sqlite_master WHERE type = 'table' AND name IN ('CAB_VERSION', "
             "'CONTR_MARCA', 'CAB_ABIERTA')") == 3;
}

// A file of the earlier layout is brought up to date by the first write that needs the tables
// above: they are created as the schema has them, and its shared working tables are dropped (their
// rows were never anybody's stored data). Inside the caller's write transaction.
void createFromSchema(Database& db, const char* table) {
  std::string_view schema;
  for (const auto& f : embedded::files())
    if (std::string_view(f.path) == "schema.sql") schema = f.data;
  std::string head = std::string("CREATE TABLE IF NOT EXISTS ") + table + " (";
  auto from = schema.find(head);
  auto to = from == std::string_view::npos ? from : schema.find(");", from);
  if (to == std::string_view::npos) throw std::runtime_error("El esquema no contiene la tabla " + std::string(table));
  db.script(schema.substr(from, to + 2 - from));
}

void ensureTables(Database& db) {
  if (hasTables(db)) return;
  for (const char* table : {"CAB_VERSION", "CONTR_MARCA", "CAB_ABIERTA"}) createFromSchema(db, table);
  dropSharedWorkingTables(db);
}

constexpr const char* kStampColumns = "version, clave, inconsistente, estado, ind_ref, total, grabar, validar";

std::string declarationName(std::string_view ruc, std::string_view periodo) {
  return std::string(ruc) + " " + periodToDisplay(periodo);
}

}  // namespace

std::string hostName() {
#ifdef _WIN32
  const char* n = std::getenv("COMPUTERNAME");
  return n ? n : "";
#else
  char buf[256] = {};
  if (::gethostname(buf, sizeof buf - 1) != 0) return {};
  return buf;
#endif
}

std::string sessionId(const Session& s) {
  char self[32];
  std::snprintf(self, sizeof self, "%p", static_cast<const void*>(&s));
  return hostName() + "/" + std::to_string(processId()) + "/" + self;
}

std::int64_t storedVersion(Database& db, std::string_view ruc, std::string_view periodo) {
  if (!db.tableExists("CAB_VERSION")) return 0;
  return db.integer(std::string("SELECT version FROM CAB_VERSION WHERE ") + kKey, {ruc, periodo});
}

std::int64_t registryMark(Database& db, std::string_view ruc) {
  if (!db.tableExists("CONTR_MARCA")) return 0;
  return db.integer("SELECT marca FROM CONTR_MARCA WHERE tip_doc_d = 6 AND doc_id_d = ?", {ruc});
}

void raiseRegistryMark(Database& db, std::string_view ruc) {
  ensureTables(db);
  db.run(
      "INSERT INTO CONTR_MARCA (tip_doc_d, doc_id_d, marca) VALUES (6, ?, 1) "
      "ON CONFLICT (tip_doc_d, doc_id_d) DO UPDATE SET marca = marca + 1",
      {ruc});
}

std::optional<Holder> otherHolder(Database& db, std::string_view ruc, std::string_view periodo, std::string_view self) {
  if (!db.tableExists("CAB_ABIERTA")) return std::nullopt;
  auto r = db.row(std::string("SELECT sesion, usuario, equipo, proceso, strftime('%d/%m/%Y %H:%M', desde, "
                              "'localtime'), latido >= datetime('now', '") +
                      kStaleAfter + "') FROM CAB_ABIERTA WHERE " + kKey,
                  {ruc, periodo});
  if (!r || r->text(0) == self || r->integer(5) == 0) return std::nullopt;
  Holder h{text::trim(r->text(1)), r->text(2), r->integer(3), r->text(4)};
  if (h.host == hostName() && !processAlive(h.pid)) return std::nullopt;
  return h;
}

void holdDeclaration(Session& s, std::string_view ruc, std::string_view periodo) {
  auto& db = s.database();
  if (sqlite3_db_readonly(db.sqlite().getHandle(), "main") == 1) return;  // it cannot write it either
  Transaction tx(db);
  ensureTables(db);
  std::string self = sessionId(s);
  if (auto h = otherHolder(db, ruc, periodo, self)) throw ConflictError(SQLITE_BUSY, heldText(*h, ruc, periodo));
  db.run(
      "INSERT OR REPLACE INTO CAB_ABIERTA (tip_doc_d, doc_id_d, periodo, Formulario, sesion, usuario, equipo, "
      "proceso, desde, latido) VALUES (6, ?, ?, '0601', ?, ?, ?, ?, datetime('now'), datetime('now'))",
      {ruc, periodo, self, text::trim(s.user), hostName(), processId()});
  tx.commit();
}

void releaseDeclaration(Session& s, std::string_view ruc, std::string_view periodo) {
  auto& db = s.database();
  if (sqlite3_db_readonly(db.sqlite().getHandle(), "main") == 1 || !db.tableExists("CAB_ABIERTA")) return;
  Transaction tx(db);
  db.run(std::string("DELETE FROM CAB_ABIERTA WHERE ") + kKey + " AND sesion = ?", {ruc, periodo, sessionId(s)});
  tx.commit();
}

void renewHold(const Session& s, std::string_view ruc, std::string_view periodo) {
  if (!s.db) return;
  try {
    SQLite::Database conn(s.db->path().string(), SQLite::OPEN_READWRITE);  // no busy wait
    std::string self = sessionId(s);
    SQLite::Statement renew(
        conn, std::string("UPDATE CAB_ABIERTA SET latido = datetime('now') WHERE ") + kKey + " AND sesion = ?");
    bindAll(renew, {ruc, periodo, self});
    renew.exec();
    SQLite::Statement left(conn, "DELETE FROM CAB_ABIERTA WHERE sesion = ? AND NOT (doc_id_d = ? AND periodo = ?)");
    bindAll(left, {self, ruc, periodo});
    left.exec();
  } catch (const SQLite::Exception&) {
    // Busy, or a file without the table: the next renewal tries again.
  }
}

std::string changedSince(Session& s, std::string_view ruc, std::string_view periodo, bool existed,
                         std::int64_t version) {
  auto& db = s.database();
  if (auto h = otherHolder(db, ruc, periodo, sessionId(s))) return heldText(*h, ruc, periodo);
  bool exists = db.exists(std::string("SELECT 1 FROM CAB WHERE ") + kKey, {ruc, periodo});
  if (existed && !exists) return deletedText(ruc, periodo);
  if (!existed && exists) return registeredText(ruc, periodo);
  if (storedVersion(db, ruc, periodo) != version) return changedText(ruc, periodo);
  return {};
}

std::int64_t claimDeclaration(Database& db, std::string_view ruc, std::string_view periodo, std::string_view self) {
  ensureTables(db);
  if (auto h = otherHolder(db, ruc, periodo, self)) throw ConflictError(SQLITE_BUSY, heldText(*h, ruc, periodo));
  db.run(
      "INSERT INTO CAB_VERSION (tip_doc_d, doc_id_d, periodo, Formulario, version) VALUES (6, ?, ?, '0601', 1) "
      "ON CONFLICT (tip_doc_d, doc_id_d, periodo, Formulario) DO UPDATE SET version = version + 1",
      {ruc, periodo});
  return storedVersion(db, ruc, periodo);
}

std::optional<SaveStamp> saveStamp(Database& db, std::string_view ruc, std::string_view periodo) {
  if (!db.tableExists("CAB_SELLO")) return std::nullopt;
  auto r = db.row(std::string("SELECT ") + kStampColumns + " FROM CAB_SELLO WHERE " + kKey, {ruc, periodo});
  if (!r) return std::nullopt;
  SaveStamp st{r->integer(0), r->text(1), r->integer(2) != 0, r->integer(3),
               r->integer(4), r->text(5), r->text(6),         std::nullopt};
  if (!r->isNull("validar")) st.validation = r->text(7);
  return st;
}

void writeSaveStamp(Database& db, std::string_view ruc, std::string_view periodo, const SaveStamp& st) {
  ensureTables(db);
  if (!db.tableExists("CAB_SELLO")) createFromSchema(db, "CAB_SELLO");
  Params p{ruc, periodo, st.version, st.key, st.inconsistent, st.estado, st.indRef, st.total, st.saveMessages};
  p.add(st.validation);
  db.run(std::string("INSERT OR REPLACE INTO CAB_SELLO (tip_doc_d, doc_id_d, periodo, Formulario, ") + kStampColumns +
             ") VALUES (6, ?, ?, '0601', ?, ?, ?, ?, ?, ?, ?, ?)",
         p);
}

void dropSaveStamp(Database& db, std::string_view ruc, std::string_view periodo) {
  if (db.tableExists("CAB_SELLO")) db.run(std::string("DELETE FROM CAB_SELLO WHERE ") + kKey, {ruc, periodo});
}

std::string heldText(const Holder& h, std::string_view ruc, std::string_view periodo) {
  std::string who = h.user.empty() ? std::string() : " por el usuario " + h.user;
  if (!h.host.empty()) who += " en el equipo " + h.host;
  if (!h.since.empty()) who += " desde el " + h.since;
  return "Registro bloqueado. Intente luego\nLa declaración " + declarationName(ruc, periodo) +
         " está abierta en otra sesión" + who + ".";
}

std::string changedText(std::string_view ruc, std::string_view periodo) {
  return "La data ha cambiado\nOtra sesión modificó la declaración " + declarationName(ruc, periodo) +
         " después de que usted la abrió. No se grabó nada: debe abrir la declaración nuevamente.";
}

std::string deletedText(std::string_view ruc, std::string_view periodo) {
  return "Registro ha sido eliminado por otro usuario\nOtra sesión eliminó la declaración " +
         declarationName(ruc, periodo) + " después de que usted la abrió. No se grabó nada.";
}

std::string registeredText(std::string_view ruc, std::string_view periodo) {
  return "Registro ya existe lo ingresaron en ese momento\nOtra sesión registró la declaración " +
         declarationName(ruc, periodo) +
         " mientras usted la preparaba. No se grabó nada: debe abrir la declaración registrada.";
}

}  // namespace korventa::data
