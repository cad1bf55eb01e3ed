#pragma once
// Bringing the 0601 module up: launcher and single-instance checks, the settings file, the
// database connection, the control numbers of the EPS invoices, the version globals and the
// general concept set. Every message of start-up goes through the session's Messenger.
#include <filesystem>
#include <string>

#include "app/platform.h"
#include "data/session.h"

namespace korventa::app {

enum class StartupOutcome { Ready, LauncherMissing, AlreadyRunning, ConnectionFailed };

class Startup {
 public:
  // `iniPath` is the settings file VKRS000.INI (IniFile::defaultPath() in the program).
  Startup(Session& session, cWindows& windows, InstanceGuard& instance, std::filesystem::path iniPath);

  // The whole sequence; stops at the first failure, whose message has been shown.
  StartupOutcome run();

  // The launcher's window must be shown: else "Debe ejecutar este módulo desde el Integrador del
  // ZEL." and false.
  bool checkLauncher();
  // Only one copy at a time: else "La Aplicación ya se encuentra en ejecución." and false.
  bool checkSingleInstance();
  // Settings, database, control numbers, version, general concept set. False when the database
  // cannot be opened or used (the "Error de Conexión" message has been shown).
  bool load();

  // The steps of load(), in their order.
  void readSettings();
  bool AbrirBaseDatos();
  void recomputeEpsControlNumbers();
  void IniciaVersion();
  // Makes sure the general declarant's concept set holds 0614 once the version is 1.8 or later;
  // true when the row was added.
  bool ensureConcept0614();

  const std::filesystem::path& iniPath() const { return iniPath_; }

 private:
  void connectionFailed(const std::string& text);
  Session& s_;
  cWindows& windows_;
  InstanceGuard& instance_;
  std::filesystem::path iniPath_;
};

// Address of the maker's download page for this module and version:
// http://HOST/zel/zeldown/independientes/independientes.htm?p=0601&v=1.8&f=31052012#p601
std::string versionPageUrl(const Session& session);
// When no browser opens that page: "No se pudo abrir el navegador con la dirección " and the page.
void browserFailed(const Session& session, Messenger& m);

}  // namespace korventa::app
