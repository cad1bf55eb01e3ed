#include "app/startup.h"

#include <cstdlib>
#include <ctime>
#include <system_error>

#include <sqlite3.h>

#include "common/dates.h"
#include "common/ini.h"
#include "data/db_errors.h"
#include "data/numero_control.h"
#include "data/param.h"
#include "data/servicios_comunes.h"

namespace korventa::app {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kSection = "Options";
// Leading numeric columns of an EPS invoice row that enter its control number.
constexpr int kEpsControlFields = 9;

std::string withSeparator(std::string path) {
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
  return path;
}

// Query values of the version page: unreserved characters pass, the rest is percent-encoded.
std::string urlValue(std::string_view v) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : v) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
        c == '_' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

}  // namespace

Startup::Startup(Session& session, cWindows& windows, InstanceGuard& instance, fs::path iniPath)
    : s_(session), windows_(windows), instance_(instance), iniPath_(std::move(iniPath)) {}

StartupOutcome Startup::run() {
  // The shared services come first: later steps and every form use them.
  if (!s_.servicios) s_.servicios = std::make_unique<ServiciosComunes>(s_.messenger);
  s_.servicios->setMessenger(s_.messenger);
  if (!checkLauncher()) return StartupOutcome::LauncherMissing;
  if (!checkSingleInstance()) return StartupOutcome::AlreadyRunning;
  if (!load()) return StartupOutcome::ConnectionFailed;
  return StartupOutcome::Ready;
}

bool Startup::checkLauncher() {
  if (windows_.CorreApp(kLauncherTitle)) return true;
  s_.msg().critical("Debe ejecutar este módulo desde el Integrador del ZEL.", "Error al ejecutar el módulo");
  return false;
}

bool Startup::checkSingleInstance() {
  if (instance_.acquire()) return true;
  s_.msg().info("La Aplicación ya se encuentra en ejecución.", "Declaración Pago Anual Impuesto a la Renta");
  return false;
}

bool Startup::load() {
  readSettings();
  if (!AbrirBaseDatos()) return false;
  try {
    recomputeEpsControlNumbers();
    IniciaVersion();
    ensureConcept0614();
  } catch (const data::DbError& e) {
    // A file without the program's tables, or one the launcher keeps locked, cannot be worked on.
    connectionFailed(data::connectionErrorText(e));
    return false;
  }
  return true;
}

void Startup::readSettings() {
  IniFile ini(iniPath_);
  Paths& p = s_.paths;
  p.sysPath = withSeparator(ini.read(kSection, "SysPath"));
  std::error_code ec;
  if (!p.sysPath.empty()) fs::current_path(p.sysPath, ec);
  p.tmpDir = p.sysPath + "TMP/";
  p.sysVersion = ini.read(kSection, "SysVersion");
  p.dbPath = ini.read(kSection, "DBPath") + ini.read(kSection, "DBName");
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  p.menuPath = p.sysPath + ini.read(kSection, "SysMenu");
  p.rptDir = p.sysPath + "RPT";
  p.tmpPath = p.sysPath + "TMP";
  p.bmpDir = p.sysPath + "BMP/";
  p.helpFile = p.sysPath + "0601/Vq601.html";
  std::string user = ini.read(kSection, "SysUser");
  s_.user = user.empty() ? " " : user;
  if (std::string gd = ini.read(kSection, "DeclaranteGeneral"); !gd.empty()) s_.generalDeclarant = gd;
  if (std::string host = ini.read(kSection, "VersionHost"); !host.empty()) s_.versionHost = host;
  // Reports and work files are written there later on.
  if (!p.sysPath.empty()) {
    fs::create_directories(p.rptDir, ec);
    fs::create_directories(p.tmpPath, ec);
  }
}

bool Startup::AbrirBaseDatos() {
  IniFile(iniPath_).write(kSection, "SystemDB", s_.paths.sysPath + "VKRS000.MDW");
  const std::string& file = s_.paths.dbPath;
  std::error_code ec;
  if (file.empty() || !fs::is_regular_file(file, ec)) {
    // SQLite would create an empty file here; the database belongs to the launcher.
    connectionFailed(data::connectionErrorText(
        data::DbError(SQLITE_CANTOPEN, SQLITE_CANTOPEN, "No se encuentra el archivo de base de datos " + file)));
    return false;
  }
  try {
    s_.db = data::Database::open(file);
  } catch (const data::DbError& e) {
    connectionFailed(data::connectionErrorText(e));
    return false;
  }
  return true;
}

void Startup::recomputeEpsControlNumbers() {
  data::Transaction tx(s_.database());
  data::recomputeControlNumbers(s_.database(), "F600INFEPS", kEpsControlFields);
  tx.commit();
}

void Startup::IniciaVersion() {
  s_.version = "1.1";
  s_.publicationDate = "08/05/2008";
  if (auto v = data::ParamTable(s_.database()).version856(s_.formCode)) {
    s_.version = v->first;
    s_.publicationDate = v->second;
  }
}

bool Startup::ensureConcept0614() {
  // Plain text comparison: "1.10" sorts before "1.8".
  if (s_.version < std::string("1.8")) return false;
  auto& db = s_.database();
  const std::string& gd = s_.generalDeclarant;
  if (db.integer("SELECT count(*) FROM CON_AFEC WHERE Tip_Doc_d = 6 AND Doc_id_d = ?", {gd}) <= 1) return false;
  // Added only when missing: a second copy of the row would be a duplicate key.
  if (db.integer("SELECT count(*) FROM CON_AFEC WHERE Tip_Doc_d = 6 AND Doc_id_d = ? AND Cod_Concepto = '0614'", {gd}) >
      0)
    return false;
  data::Transaction tx(db);
  db.run("INSERT INTO CON_AFEC (Tip_Doc_d, Doc_id_d, cod_concepto, ind_origen) VALUES (6, ?, '0614', 'G')", {gd});
  tx.commit();
  return true;
}

void Startup::connectionFailed(const std::string& text) {
  s_.db.reset();
  s_.msg().critical(text, "Error de Conexión");
}

std::string versionPageUrl(const Session& s) {
  std::string date;
  if (auto d = Date::parseDmy(s.publicationDate)) {
    std::string dmy = d->dmy();
    date = dmy.substr(0, 2) + dmy.substr(3, 2) + dmy.substr(6, 4);
  } else {
    for (char c : s.publicationDate)
      if (c >= '0' && c <= '9') date += c;
  }
  return "http://" + s.versionHost + "/zel/zeldown/independientes/independientes.htm?p=" + urlValue(s.formCode) +
         "&v=" + urlValue(s.version) + "&f=" + date + "#p601";
}

void browserFailed(const Session& session, Messenger& m) {
  m.info("No se pudo abrir el navegador con la dirección " + versionPageUrl(session), "Mensaje");
}

}  // namespace korventa::app
