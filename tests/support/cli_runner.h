#pragma once
// Runs the korventa-cli built beside the test executables on a database of its own folder, with
// its own settings file (SysPath: that folder), and collects the exit code and both outputs.
#include <sys/types.h>

#include <filesystem>
#include <string>

#include "support/test_db.h"

namespace korventa::test {

struct CliRun {
  int rc = -1;
  std::string out, err;
};

class CliRunner {
 public:
  CliRunner();
  // False when korventa-cli was not built (the test is then skipped).
  bool available() const { return std::filesystem::exists(cli_); }
  // `korventa-cli --db DB --user CONTADOR args`; args are passed to the shell as they are.
  CliRun run(const std::string& args) const;
  // The same in an environment cleared as on a server: no display, no Wayland, no Qt platform,
  // no XDG_RUNTIME_DIR; only PATH, HOME (the test's folder) and the settings file.
  CliRun runBare(const std::string& args) const;
  // The same started in the background, its outputs in files named after `tag` (so that several
  // runs can go at once); the process id is korventa-cli's own (a kill reaches it, not a shell).
  struct Started {
    pid_t pid = -1;
    std::string tag;
  };
  Started start(const std::string& args, const std::string& tag, bool bare = false) const;
  CliRun finish(const Started& started) const;  // waits for it; rc -1 when it was killed
  const std::filesystem::path& db() const { return db_; }
  const std::filesystem::path& cli() const { return cli_; }
  const TempDir& dir() const { return dir_; }

 private:
  TempDir dir_;
  std::filesystem::path cli_, db_;
};

std::string slurp(const std::filesystem::path& p);

}  // namespace korventa::test
