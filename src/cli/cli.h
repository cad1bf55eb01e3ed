#pragma once
// Command-line front end: the same core services as the forms, without a window.
// Each command lives in its own cmd_*.cpp and registers itself:
//   static const bool reg = korventa::cli::addCommand([](CLI::App& app, korventa::cli::Context& ctx) {
//     auto* c = app.add_subcommand("consult", "Consulta una tabla de referencia");
//     ...
//     c->callback([&ctx, ...] { ctx.run([&] { ...; return 0; }); });
//   });
// Exit codes: 0 success, 1 failure (message on stderr), 2 usage error; a command may return
// another code of its own (validate: 3 when inconsistent).
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "common/messenger.h"
#include "common/progress.h"
#include "data/session.h"

namespace korventa::cli {

// Messages go to stderr ("Título: texto"); questions take the answer of --yes / --no, or
// their default answer.
class StderrMessenger : public Messenger {
 public:
  void show(std::string_view text, std::string_view title, MsgIcon icon) override;
  Answer ask(std::string_view text, std::string_view title, MsgButtons buttons, Answer defaultAnswer,
             MsgIcon icon) override;
  enum class Policy { Default, Yes, No } policy = Policy::Default;
  int shown = 0;
};

// --progress: a line per step on stderr ("Cargando trabajadores…"), then its count at every tenth
// of the way ("Cargando trabajadores… 5000/10000"), so 10,000 persons print a dozen lines, not
// 10,000. Never cancels.
class StderrProgress : public Progress {
 public:
  void step(std::string_view text) override;
  void advance(long long done, long long total) override;

 private:
  std::string step_;
  long long printedTenth_ = 0;
};

// Rows to print: tab-separated with a header line, or JSON with --json.
struct Table {
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
};

class Context {
 public:
  Context();
  ~Context();
  std::string dbFile;  // --db; else the settings file's DBPath + DBName
  std::string user;    // --user; else SysUser of the settings
  bool json = false;
  bool showProgress = false;  // --progress
  StderrMessenger messenger;
  // What long work reports to: stderr with --progress, else nowhere.
  Progress& progress() { return showProgress ? static_cast<Progress&>(progressPrinter_) : Progress::none(); }

  // The session with the database open (opened on first use). Throws std::runtime_error.
  Session& session();
  // The same for a command that only reads: the file is opened read-only, so that a file or a
  // folder that cannot be written can still be read.
  Session& sessionForReading();
  // Settings paths from the INI (SysPath and derived folders), created when missing.
  void loadSettings();
  // The settings paths (loads the settings file; does not open the database).
  const Paths& paths() {
    loadSettings();
    return session_->paths;
  }

  void print(const Table& t) const;
  // Keeps the chosen command's body; main runs it once the whole command line is parsed.
  // Exceptions become a message on stderr and exit code 1.
  void run(std::function<int()> body) { pending_ = std::move(body); }
  int execute();

 private:
  std::unique_ptr<Session> session_;
  std::function<int()> pending_;
  StderrProgress progressPrinter_;
  bool settingsLoaded_ = false;
  data::Access access_ = data::Access::ReadWrite;
};

// A period argument: "YYYYMM", "MM/YYYY" or "MMYYYY" (as the listings show it) → "YYYYMM".
// Throws std::runtime_error with a usage hint when it is none of them.
std::string periodArg(const std::string& text);

using Setup = std::function<void(CLI::App&, Context&)>;
bool addCommand(Setup setup);

}  // namespace korventa::cli
