#include "cli/cli.h"

#include <cstdio>
#include <filesystem>
#include <iostream>

#include "common/ini.h"
#include "common/dates.h"
#include "common/text.h"
#include "data/db_errors.h"
#include "data/servicios_comunes.h"
#include "korventa_version.h"

namespace korventa::cli {
namespace {

std::vector<Setup>& setups() {
  static std::vector<Setup> s;
  return s;
}

std::string jsonEscape(const std::string& s) {
  std::string o;
  for (unsigned char c : s) {
    switch (c) {
      case '"':
        o += "\\\"";
        break;
      case '\\':
        o += "\\\\";
        break;
      case '\n':
        o += "\\n";
        break;
      case '\r':
        o += "\\r";
        break;
      case '\t':
        o += "\\t";
        break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          o += buf;
        } else {
          o += static_cast<char>(c);
        }
    }
  }
  return o;
}

}  // namespace

bool addCommand(Setup setup) {
  setups().push_back(std::move(setup));
  return true;
}

void StderrProgress::step(std::string_view text) {
  step_.assign(text);
  printedTenth_ = 0;
  std::cerr << step_ << "\n";
}

void StderrProgress::advance(long long done, long long total) {
  if (total <= 0 || done <= 0) return;
  long long tenth = done >= total ? 10 : done * 10 / total;
  if (tenth <= printedTenth_) return;
  printedTenth_ = tenth;
  std::cerr << step_ << " " << done << "/" << total << "\n";
}

void StderrMessenger::show(std::string_view text, std::string_view title, MsgIcon) {
  ++shown;
  std::cerr << title << ": " << text << "\n";
}

Answer StderrMessenger::ask(std::string_view text, std::string_view title, MsgButtons buttons, Answer defaultAnswer,
                            MsgIcon) {
  Answer a = defaultAnswer;
  bool okCancel = buttons == MsgButtons::OkCancel;
  if (policy == Policy::Yes) a = okCancel ? Answer::Ok : Answer::Yes;
  if (policy == Policy::No) a = okCancel ? Answer::Cancel : Answer::No;
  const char* name = a == Answer::Yes ? "Sí" : a == Answer::No ? "No" : a == Answer::Ok ? "Aceptar" : "Cancelar";
  std::cerr << title << ": " << text << " [" << name << "]\n";
  return a;
}

Context::Context() = default;
Context::~Context() = default;

void Context::loadSettings() {
  if (settingsLoaded_) return;
  settingsLoaded_ = true;
  if (!session_) session_ = std::make_unique<Session>();
  IniFile ini(IniFile::defaultPath());
  auto& p = session_->paths;
  p.sysPath = ini.read("Options", "SysPath");
  if (p.sysPath.empty()) {
    // Without settings the reports and work files go to a folder of the user's.
    const char* home = std::getenv("HOME");
    p.sysPath = (home ? std::string(home) : std::string("/tmp")) + "/.local/share/korventa/";
  }
  if (p.sysPath.back() != '/') p.sysPath += '/';
  p.tmpDir = p.sysPath + "TMP/";
  p.tmpPath = p.sysPath + "TMP";
  p.rptDir = p.sysPath + "RPT";
  p.bmpDir = p.sysPath + "BMP/";
  p.sysVersion = ini.read("Options", "SysVersion");
  p.menuPath = p.sysPath + ini.read("Options", "SysMenu");
  p.dbPath = ini.read("Options", "DBPath") + ini.read("Options", "DBName");
  std::string u = ini.read("Options", "SysUser");
  session_->user = u.empty() ? " " : u;
  std::error_code ec;
  std::filesystem::create_directories(p.rptDir, ec);
  std::filesystem::create_directories(p.tmpPath, ec);
}

Session& Context::session() {
  loadSettings();
  if (!session_->db) {
    std::string file = dbFile.empty() ? session_->paths.dbPath : dbFile;
    if (file.empty())
      throw std::runtime_error("No se indicó la base de datos (--db o DBPath/DBName del archivo de configuración)");
    if (!std::filesystem::exists(file))
      throw std::runtime_error("Error de Conexión: no existe la base de datos " + file);
    try {
      session_->db = data::Database::open(file, access_);
    } catch (const data::DbError& e) {
      throw std::runtime_error("Error de Conexión: " + data::connectionErrorText(e));
    }
    session_->paths.dbPath = file;
    session_->messenger = &messenger;
    session_->servicios->setMessenger(&messenger);
    if (!user.empty()) session_->user = user;
  }
  return *session_;
}

Session& Context::sessionForReading() {
  if (!session_ || !session_->db) access_ = data::Access::ReadOnly;
  return session();
}

void Context::print(const Table& t) const {
  if (json) {
    std::cout << "[";
    for (std::size_t r = 0; r < t.rows.size(); ++r) {
      std::cout << (r ? ",\n " : "\n ") << "{";
      for (std::size_t c = 0; c < t.columns.size(); ++c) {
        std::cout << (c ? ", " : "") << "\"" << jsonEscape(t.columns[c]) << "\": \""
                  << jsonEscape(c < t.rows[r].size() ? t.rows[r][c] : std::string()) << "\"";
      }
      std::cout << "}";
    }
    std::cout << (t.rows.empty() ? "]\n" : "\n]\n");
    return;
  }
  for (std::size_t c = 0; c < t.columns.size(); ++c) std::cout << (c ? "\t" : "") << t.columns[c];
  std::cout << "\n";
  for (const auto& row : t.rows) {
    for (std::size_t c = 0; c < row.size(); ++c) std::cout << (c ? "\t" : "") << row[c];
    std::cout << "\n";
  }
}

int Context::execute() {
  if (!pending_) return 0;
  try {
    return pending_();
  } catch (const data::DbError& e) {
    std::cerr << "Error: " << data::recordErrorText(e) << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "Error: " << e.what() << "\n";
    return 1;
  }
}

std::string periodArg(const std::string& p) {
  std::string t = text::trim(p);
  if (t.size() == 7 && t[2] == '/') t = periodFromDisplay(t);
  // "MMYYYY": a month first and a plausible year after it (a year before 1900 is no period).
  if (t.size() == 6 && text::isDigits(t) && std::stoi(t.substr(0, 4)) < 1900 && std::stoi(t.substr(2)) >= 1900)
    t = t.substr(2) + t.substr(0, 2);
  if (!isPeriod(t)) throw std::runtime_error("Período no válido: " + p + " (use AAAAMM o MM/AAAA)");
  return t;
}

}  // namespace korventa::cli

int main(int argc, char** argv) {
  using namespace korventa::cli;
  // The name is fixed so the help (and the manual page made from it) does not show the path.
  CLI::App app{"korventa-cli: la declaración 0601 desde la línea de comandos", "korventa-cli"};
  app.require_subcommand(1);
  app.set_help_flag("-h,--help", "Muestra esta ayuda y termina");
  app.set_version_flag("--version", std::string("korventa-cli ") + KORVENTA_VERSION, "Muestra la versión y termina");
  Context ctx;
  app.add_option("--db", ctx.dbFile, "Archivo de la base de datos");
  app.add_option("--user", ctx.user, "Usuario");
  app.add_flag("--json", ctx.json, "Salida en JSON");
  app.add_flag("--progress", ctx.showProgress, "Muestra en stderr el avance de los trabajos largos");
  bool yes = false, no = false;
  app.add_flag("--yes", yes, "Responde Sí a las preguntas");
  app.add_flag("--no", no, "Responde No a las preguntas");
  for (auto& s : setups()) s(app, ctx);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int rc = app.exit(e);
    return rc == 0 ? 0 : 2;
  }
  if (yes && no) {
    std::cerr << "--yes y --no no pueden usarse juntos\n";
    return 2;
  }
  ctx.messenger.policy = yes  ? StderrMessenger::Policy::Yes
                         : no ? StderrMessenger::Policy::No
                              : StderrMessenger::Policy::Default;
  return ctx.execute();
}
