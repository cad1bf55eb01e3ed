#pragma once
// Program-wide state: settings paths, user, version globals, the open database, the message
// sink and the shared services. One instance lives for the whole run; forms and services
// receive it by reference.
#include <filesystem>
#include <memory>
#include <string>

#include "common/messenger.h"
#include "data/database.h"
#include "data/keys.h"

namespace korventa {

class ServiciosComunes;

// What a form opened on declarations is to do.
enum class Mode : int { New = 0, Modify = 1, Delete = 3, Copy = 4, Recover = 5 };

struct Paths {
  std::string sysPath;     // installation folder with its trailing separator
  std::string tmpDir;      // SysPath + "TMP/"
  std::string rptDir;      // SysPath + "RPT"
  std::string tmpPath;     // SysPath + "TMP"
  std::string bmpDir;      // SysPath + "BMP/"
  std::string menuPath;    // SysPath + SysMenu (kept, unused)
  std::string sysVersion;  // suite version (kept, unused)
  std::string dbPath;      // DBPath + DBName
  std::string helpFile;    // SysPath + "0601/Vq601.html"
};

struct Session {
  Session();
  ~Session();

  Paths paths;
  std::string user = " ";
  std::string formCode = "0601";
  std::string secondCode = "200508";
  std::string version = "1.1";
  std::string publicationDate = "08/05/2008";
  // RUC under which the general concept-affectation rows of CON_AFEC are kept.
  std::string generalDeclarant = "20000000001";
  // Host of the maker's download page opened by "&Verificar Versión".
  std::string versionHost = "www.korventa.example";

  std::unique_ptr<data::Database> db;
  Messenger* messenger = nullptr;
  std::unique_ptr<ServiciosComunes> servicios;

  data::Database& database() { return *db; }
  Messenger& msg() { return *messenger; }
};

}  // namespace korventa
