#pragma once
// Runs the korventa-cli built beside the test executables on a database of its own folder, with
// its own settings file, and collects the exit code and both outputs.
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
  const std::filesystem::path& db() const { return db_; }
  const std::filesystem::path& cli() const { return cli_; }
  const TempDir& dir() const { return dir_; }

 private:
  TempDir dir_;
  std::filesystem::path cli_, db_;
};

std::string slurp(const std::filesystem::path& p);

}  // namespace korventa::test
