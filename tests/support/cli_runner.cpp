#include "support/cli_runner.h"

#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace korventa::test {

namespace fs = std::filesystem;

namespace {

// korventa-cli beside the test executables (build/tests/.. → build/korventa-cli).
fs::path cliPath() {
  char buf[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  buf[n] = 0;
  return fs::path(buf).parent_path().parent_path() / "korventa-cli";
}

}  // namespace

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// A settings file of its own: the reports and work files of the commands stay in the test's
// folder (without one they would go to the user's folder).
CliRunner::CliRunner() : cli_(cliPath()), db_(dir_ / "k.db") {
  std::ofstream(dir_ / "VKRS000.INI") << "[Options]\nSysPath=" << dir_.path().string() << "/\nSysUser=CONTADOR\n";
}

CliRun CliRunner::run(const std::string& args) const {
  return finish(start(args, ""));
}

CliRun CliRunner::runBare(const std::string& args) const {
  return finish(start(args, "", true));
}

CliRunner::Started CliRunner::start(const std::string& args, const std::string& tag, bool bare) const {
  fs::path out = dir_ / ("out" + tag + ".txt"), err = dir_ / ("err" + tag + ".txt");
  std::string env =
      bare ? "exec env -i PATH=/usr/bin:/bin HOME='" + dir_.path().string() + "' " : "QT_QPA_PLATFORM=offscreen ";
  std::string cmd = env + "KORVENTA_INI='" + (dir_ / "VKRS000.INI").string() + (bare ? "' '" : "' exec '") +
                    cli_.string() + "' --db '" + db_.string() + "' --user CONTADOR " + args + " > '" + out.string() +
                    "' 2> '" + err.string() + "'";
  pid_t pid = ::fork();
  if (pid == 0) {
    ::execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  return {pid, tag};
}

CliRun CliRunner::finish(const Started& s) const {
  int status = 0;
  if (s.pid <= 0 || ::waitpid(s.pid, &status, 0) != s.pid) return {};
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(dir_ / ("out" + s.tag + ".txt")),
          slurp(dir_ / ("err" + s.tag + ".txt"))};
}

}  // namespace korventa::test
