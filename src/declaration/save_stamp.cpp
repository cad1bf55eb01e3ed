#include "declaration/save_stamp.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <sqlite3.h>

#include "common/dates.h"
#include "common/text.h"
#include "data/schema_installer.h"
#include "data/sessions.h"
#include "declaration/declaration_form.h"
#include "declaration/tables.h"
#include "determination/validation.h"
#include "korventa_version.h"

namespace korventa::declaration {
namespace {

namespace fs = std::filesystem;

// FNV-1a, 64 bits: a fingerprint of rows, not a defence against crafted data.
struct Fingerprint {
  std::uint64_t h = 14695981039346656037ull;
  void add(const void* data, std::size_t n) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < n; ++i) h = (h ^ p[i]) * 1099511628211ull;
  }
  void add(std::string_view t) {
    add(t.data(), t.size());
    add("\x1f", 1);
  }
  void addInt(std::int64_t v) { add(&v, sizeof v); }
  std::string hex() const {
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return buf;
  }
};

// Every row of a query, each value with its type, into `f`.
void addRows(data::Database& db, Fingerprint& f, const std::string& sql, const std::vector<std::string>& params = {}) {
  sqlite3* handle = db.sqlite().getHandle();
  sqlite3_stmt* raw = nullptr;
  auto fail = [handle] {
    throw data::DbError(sqlite3_errcode(handle), sqlite3_extended_errcode(handle), sqlite3_errmsg(handle));
  };
  if (sqlite3_prepare_v2(handle, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) fail();
  std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> st(raw, sqlite3_finalize);
  for (std::size_t i = 0; i < params.size(); ++i)
    sqlite3_bind_text(raw, static_cast<int>(i + 1), params[i].c_str(), static_cast<int>(params[i].size()),
                      SQLITE_TRANSIENT);
  int columns = sqlite3_column_count(raw), rc;
  std::int64_t rows = 0;
  while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
    ++rows;
    for (int c = 0; c < columns; ++c) {
      unsigned char type = static_cast<unsigned char>(sqlite3_column_type(raw, c));
      f.add(&type, 1);
      if (type == SQLITE_INTEGER) {
        f.addInt(sqlite3_column_int64(raw, c));
      } else if (type != SQLITE_NULL) {
        const void* p = type == SQLITE_BLOB ? sqlite3_column_blob(raw, c) : sqlite3_column_text(raw, c);
        f.add(p, static_cast<std::size_t>(sqlite3_column_bytes(raw, c)));
      }
    }
  }
  if (rc != SQLITE_DONE) fail();
  f.addInt(rows);
}

// Every registry and reference table, whole (a superset of what the opening, the computation of
// the header boxes and the checks read: the declarant's persons, periods, establishments, rates,
// EPS and concepts, the parameters, the concept catalogue and its affectations, the messages).
std::string registryFingerprint(data::Database& db) {
  std::vector<std::string> tables = data::registryTables();
  for (const char* t : {"PARAM", "PARAM_REMUNERA", "CONCEPTOS_REM", "TIPO_CONCEPTOS", "ERROR"}) tables.push_back(t);
  Fingerprint f;
  for (const auto& t : tables) {
    f.add(t);
    if (db.tableExists(t)) addRows(db, f, "SELECT * FROM \"" + t + "\"");
  }
  return f.hex();
}

// The declaration's header and boxes: a write that does not raise its version still shows here.
std::string declarationFingerprint(data::Database& db, const std::string& ruc, const std::string& periodo) {
  auto key = preparationKey(ruc, periodo);
  Fingerprint f;
  addRows(db, f, "SELECT * FROM CAB WHERE " + key.where, {ruc, periodo});
  addRows(db, f, "SELECT * FROM DET WHERE " + key.where + " ORDER BY Casilla", {ruc, periodo});
  return f.hex();
}

// The running program's build: its executable's size and time. When they cannot be read, an
// identity of this process only, so that no other program's stamp is ever trusted.
std::string programBuild() {
  static const std::string id = [] {
    std::error_code ec;
#ifdef _WIN32
    wchar_t buf[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, buf, MAX_PATH);
    fs::path exe(buf);
    auto pid = static_cast<long long>(GetCurrentProcessId());
#else
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    auto pid = static_cast<long long>(::getpid());
#endif
    auto size = ec ? std::uintmax_t(-1) : fs::file_size(exe, ec);
    auto time = ec ? fs::file_time_type() : fs::last_write_time(exe, ec);
    if (ec)
      return "proceso " + std::to_string(pid) + " " +
             std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    return std::to_string(size) + " " + std::to_string(time.time_since_epoch().count());
  }();
  return id;
}

// Texts as "length:text" one after the other, so that any character may appear in them.
void put(std::string& out, std::string_view t) {
  out += std::to_string(t.size());
  out += ':';
  out += t;
}

struct Reader {
  std::string_view in;
  bool ok = true;
  std::string next() {
    auto colon = in.find(':');
    if (colon == std::string_view::npos) return fail();
    std::size_t n = 0;
    for (char c : in.substr(0, colon)) {
      if (c < '0' || c > '9') return fail();
      n = n * 10 + static_cast<std::size_t>(c - '0');
    }
    if (in.size() - colon - 1 < n) return fail();
    std::string t(in.substr(colon + 1, n));
    in.remove_prefix(colon + 1 + n);
    return t;
  }
  int number() { return std::atoi(next().c_str()); }
  std::string fail() {
    ok = false;
    in = {};
    return {};
  }
};

void putMessages(std::string& out, const std::vector<ShownMessage>& shown) {
  put(out, std::to_string(shown.size()));
  for (const auto& m : shown) {
    put(out, std::to_string(static_cast<int>(m.icon)));
    put(out, m.title);
    put(out, m.text);
  }
}

std::vector<ShownMessage> readMessages(Reader& r) {
  std::vector<ShownMessage> shown;
  for (int n = r.number(); r.ok && n > 0; --n) {
    ShownMessage m;
    m.icon = static_cast<MsgIcon>(r.number());
    m.title = r.next();
    m.text = r.next();
    shown.push_back(std::move(m));
  }
  return shown;
}

std::string encode(const ValidationReplay& v) {
  std::string out;
  put(out, std::to_string(v.exitCode));
  put(out, std::to_string(v.lines.size()));
  for (const auto& l : v.lines) put(out, l);
  putMessages(out, v.messages);
  return out;
}

std::optional<ValidationReplay> decode(std::string_view text) {
  Reader r{text};
  ValidationReplay v;
  v.exitCode = r.number();
  for (int n = r.number(); r.ok && n > 0; --n) v.lines.push_back(r.next());
  v.messages = readMessages(r);
  if (!r.ok || !r.in.empty()) return std::nullopt;
  return v;
}

const char* kRefreshFirst = "Se han cambiado datos del registro, debe refrescar.";
const char* kClean = "La declaración no presenta inconsistencias.";

// What the validation of the declaration just stored reports, from the save's checks; nullopt
// when they cannot tell (data read that the save stores otherwise, payment data read back
// otherwise from the header).
std::optional<ValidationReplay> validationOfStored(data::Database& db, const model::OpenDeclaration& d,
                                                   const determination::ValidationRecord& v, bool epsInvalid) {
  auto key = preparationKey(d.ruc, d.periodo);
  auto cab = db.row("SELECT ind_ref, cheque, bcolibrad, nrocheque FROM CAB WHERE " + key.where, key.params);
  if (!cab) return std::nullopt;
  // Opened again, a declaration waiting for its refresh stops the validation at once.
  if (!cab->isNull("ind_ref") && cab->integer(0) == 1)
    return ValidationReplay{1, {}, {{MsgIcon::Critical, kRefreshFirst, "Validación"}}};
  if (!v.asStored) return std::nullopt;
  const auto& p = d.payment;
  bool cheque = !text::trim(cab->text(1)).empty();
  if (text::trim(p.type) != (cheque ? "C" : "E")) return std::nullopt;
  if (cheque &&
      (text::trim(p.bank) != text::trim(cab->text(2)) || text::trim(p.chequeNumber) != text::trim(cab->text(3))))
    return std::nullopt;
  if (v.stopped) return ValidationReplay{1, {}, {{MsgIcon::Critical, v.stopMessage, "Validación"}}};
  ValidationReplay r{v.inconsistent ? 3 : 0, v.lines, v.warnings};
  if (epsInvalid) r.messages.push_back({MsgIcon::Critical, determination::epsInvalidaText(), "Validación"});
  if (!v.inconsistent) r.messages.push_back({MsgIcon::Exclamation, kClean, "Validación"});
  return r;
}

// Whether the stamp of the declaration matches what is stored now; in the caller's transaction.
std::optional<data::SaveStamp> matchingStamp(Session& s, const std::string& ruc, const std::string& periodo) {
  auto& db = s.database();
  auto st = data::saveStamp(db, ruc, periodo);
  if (!st || data::otherHolder(db, ruc, periodo, data::sessionId(s))) return std::nullopt;
  if (st->version != data::storedVersion(db, ruc, periodo) || st->key != stampKey(s, ruc, periodo)) return std::nullopt;
  return st;
}

// The writes of a save of the unchanged declaration: every stored table it deletes and writes
// again from the working set holds the same rows afterwards, written again in their order (new
// row ids, as the save gives them). The persons' own rows are left as they are, as the save leaves
// them when no person changed; the header is written with the values it holds.
void rewriteUnchanged(data::Database& db, const std::string& ruc, const std::string& periodo) {
  auto key = preparationKey(ruc, periodo);
  const bool persons = !db.exists("SELECT 1 FROM F601_TRAB WHERE " + key.where, key.params);
  std::vector<std::string> tables;
  for (const auto& t : deletedTables()) {
    std::string_view name = t.name;
    if (name == "CUENTA" || (!persons && (name == "F601_TRAB" || name == "F601_REMUNERA"))) continue;
    tables.emplace_back(name);
  }
  tables.emplace_back("DET");
  for (const auto& t : tables) {
    db.run("DROP TABLE IF EXISTS temp.SELLO_FILAS");
    db.run("CREATE TEMP TABLE SELLO_FILAS AS SELECT * FROM " + t + " WHERE " + key.where + " ORDER BY rowid",
           key.params);
    db.run("DELETE FROM " + t + " WHERE " + key.where, key.params);
    db.run("INSERT INTO " + t + " SELECT * FROM temp.SELLO_FILAS ORDER BY rowid");
  }
  db.run("DROP TABLE IF EXISTS temp.SELLO_FILAS");
}

// Passes every message on and keeps those shown; a question makes the record unusable.
class TeeMessenger : public Messenger {
 public:
  explicit TeeMessenger(Messenger& inner) : inner_(inner) {}
  void show(std::string_view text, std::string_view title, MsgIcon icon) override {
    shown.push_back({icon, std::string(text), std::string(title)});
    inner_.show(text, title, icon);
  }
  Answer ask(std::string_view text, std::string_view title, MsgButtons buttons, Answer defaultAnswer,
             MsgIcon icon) override {
    asked = true;
    return inner_.ask(text, title, buttons, defaultAnswer, icon);
  }
  std::vector<ShownMessage> shown;
  bool asked = false;

 private:
  Messenger& inner_;
};

// The session's messages go to `m` while it lives.
class MessengerSwap {
 public:
  MessengerSwap(Session& s, Messenger* m) : s_(s), old_(s.messenger) { s.messenger = m; }
  ~MessengerSwap() { s_.messenger = old_; }
  MessengerSwap(const MessengerSwap&) = delete;
  MessengerSwap& operator=(const MessengerSwap&) = delete;

 private:
  Session& s_;
  Messenger* old_;
};

// The version and key of the declaration as stored now, in a transaction of its own.
std::string currentInputs(Session& s, const std::string& ruc, const std::string& periodo) {
  data::Transaction tx(s.database());
  return std::to_string(data::storedVersion(s.database(), ruc, periodo)) + "\n" + stampKey(s, ruc, periodo);
}

// The full validation; what it reported goes into the declaration's stamp when that matches
// what was validated (nothing changed between the opening and now).
ValidationReplay validateOpened(Session& s, const std::string& ruc, const std::string& periodo, Progress& progress) {
  const std::string before = currentInputs(s, ruc, periodo);
  TeeMessenger tee(s.msg());
  ValidationReplay out{1, {}, {}};
  {
    MessengerSwap swap(s, &tee);
    DeclarationForm f(s, false);  // only reads
    if (!f.openDeclaration(ruc, periodo)) return out;
    auto r =
        determination::DeclarationValidator(s, f.declaration()).CmdValidar_Click(determination::mensPath(s), progress);
    f.closeWithoutSaving();
    if (r.cancelled) return out;
    out.exitCode = r.stopped ? 1 : r.inconsistent ? 3 : 0;
    if (!r.stopped) out.lines = std::move(r.lines);
  }
  out.messages = std::move(tee.shown);
  if (tee.asked) return out;
  data::Transaction tx(s.database());
  auto st = data::saveStamp(s.database(), ruc, periodo);
  if (st && std::to_string(st->version) + "\n" + st->key == before &&
      before == std::to_string(data::storedVersion(s.database(), ruc, periodo)) + "\n" + stampKey(s, ruc, periodo)) {
    st->validation = encode(out);
    data::writeSaveStamp(s.database(), ruc, periodo, *st);
    tx.commit();
  }
  return out;
}

}  // namespace

std::string stampKey(Session& s, const std::string& ruc, const std::string& periodo) {
  auto& db = s.database();
  std::string k;
  auto add = [&k](const char* name, const std::string& value) { k += std::string(name) + "=" + value + "\n"; };
  add("marca", std::to_string(data::registryMark(db, ruc)));
  add("registro", registryFingerprint(db));
  add("declaracion", declarationFingerprint(db, ruc, periodo));
  add("parametros", determination::parameterVersion(db));
  add("programa", std::string(KORVENTA_VERSION) + " " + s.version + " " + programBuild());
  add("usuario", text::trim(s.user));
  add("fecha", Clock::today().dmy());
  return k;
}

void recordSaveStamp(Session& s, const model::OpenDeclaration& d, bool inconsistent,
                     const std::vector<ShownMessage>& shown, const determination::ValidationRecord& checks,
                     bool epsInvalid) {
  auto& db = s.database();
  auto key = preparationKey(d.ruc, d.periodo);
  auto cab = db.row("SELECT estado, ind_ref FROM CAB WHERE " + key.where, key.params);
  if (!cab) return;
  data::SaveStamp st;
  st.version = d.version;
  st.key = stampKey(s, d.ruc, d.periodo);
  st.inconsistent = inconsistent;
  st.estado = cab->integer(0);
  st.indRef = cab->integer(1);
  st.total = d.payment.total;
  putMessages(st.saveMessages, shown);
  if (auto v = validationOfStored(db, d, checks, epsInvalid)) st.validation = encode(*v);
  data::writeSaveStamp(db, d.ruc, d.periodo, st);
}

std::optional<SaveResult> saveUnchanged(Session& s, const std::string& ruc, const std::string& periodo) {
  auto& db = s.database();
  std::vector<ShownMessage> shown;
  bool inconsistent = false;
  {
    data::Transaction tx(db);
    auto st = matchingStamp(s, ruc, periodo);
    if (!st) return std::nullopt;
    auto key = preparationKey(ruc, periodo);
    auto cab = db.row("SELECT estado, ind_ref FROM CAB WHERE " + key.where, key.params);
    if (!cab || cab->integer(0) != st->estado || cab->integer(1) != st->indRef) return std::nullopt;
    Reader r{st->saveMessages};
    shown = readMessages(r);
    if (!r.ok || !r.in.empty()) return std::nullopt;
    st->version = data::claimDeclaration(db, ruc, periodo, data::sessionId(s));
    rewriteUnchanged(db, ruc, periodo);
    data::writeSaveStamp(db, ruc, periodo, *st);
    inconsistent = st->inconsistent;
    tx.commit();
  }
  showAll(s.msg(), shown);
  return SaveResult{true, inconsistent, {}, false};
}

ValidationReplay validateStored(Session& s, const std::string& ruc, const std::string& periodo, bool full,
                                Progress& progress) {
  std::optional<ValidationReplay> v;
  if (!full) {
    data::Transaction tx(s.database());
    if (auto st = matchingStamp(s, ruc, periodo); st && st->validation) v = decode(*st->validation);
  }
  if (!v) return validateOpened(s, ruc, periodo, progress);
  // As the full run: the file is made anew, and not written by a stopped run.
  auto mens = determination::mensPath(s);
  std::error_code ec;
  fs::remove(mens, ec);
  if (v->exitCode != 1) {
    std::ofstream out(mens, std::ios::binary | std::ios::trunc);
    for (const auto& l : v->lines) out << l << "\r\n";
  }
  showAll(s.msg(), v->messages);
  return *v;
}

void showAll(Messenger& m, const std::vector<ShownMessage>& shown) {
  for (const auto& x : shown) m.show(x.text, x.title, x.icon);
}

}  // namespace korventa::declaration
