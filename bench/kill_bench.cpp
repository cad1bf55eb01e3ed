// kill -9 at many random points of korventa-cli commands on the demo database: import of a large
// ".rem", save, refresh, compute, copy and new. After each kill: the file's integrity check, the
// declarant's stored declarations exactly as before the command or as after it, no working
// tables (so no working rows) and no open-declaration marks in the file, and the next command
// works. Prints the counts per command; exit status 1 when any point failed.
// Usage: bench_kill_bench [POINTS] [LINES]   (default 64 points, a ".rem" of 100,000 lines; the
// korventa-cli beside the bench folder, or $KORVENTA_CLI)
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "data/database.h"
#include "declaration/tables.h"

namespace fs = std::filesystem;
using namespace korventa;

namespace {

const std::string kRuc = "20503987610";

fs::path cliPath() {
  if (const char* c = std::getenv("KORVENTA_CLI")) return c;
  char buf[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  buf[n] = 0;
  return fs::path(buf).parent_path().parent_path() / "korventa-cli";
}

struct Env {
  fs::path dir, cli, db;
  pid_t start(const std::string& args) const {
    std::string cmd = "QT_QPA_PLATFORM=offscreen KORVENTA_INI='" + (dir / "VKRS000.INI").string() + "' exec '" +
                      cli.string() + "' --db '" + db.string() + "' --user CONTADOR " + args + " > '" +
                      (dir / "out.txt").string() + "' 2> '" + (dir / "err.txt").string() + "'";
    pid_t pid = ::fork();
    if (pid == 0) {
      ::execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    return pid;
  }
  int wait(pid_t pid) const {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  int run(const std::string& args) const { return wait(start(args)); }
};

// Every stored row of the declarant's declarations in preparation, sorted.
std::string stored(data::Database& db) {
  std::vector<std::string> lines;
  std::vector<std::string> tables = {"CAB", "DET", "CAB_VERSION"};
  for (const auto& t : declaration::deletedTables()) tables.push_back(t.name);
  for (const auto& t : tables)
    for (const auto& r : db.rows("SELECT * FROM " + t + " WHERE doc_id_d = ?", {kRuc})) {
      std::string l = t;
      for (std::size_t i = 0; i < r.size(); ++i) l += "|" + r.text(i);
      lines.push_back(l);
    }
  std::sort(lines.begin(), lines.end());
  std::string out;
  for (const auto& l : lines) out += l + "\n";
  return out;
}

struct Command {
  Command(std::string n, std::string a) : name(std::move(n)), args(std::move(a)) {}
  std::string name, args;
  std::string after;
  double seconds = 0;
  int points = 0, asBefore = 0, asAfter = 0, failed = 0;
};

// The demo database with a saved declaration of 06/2012, kept as `base`, and the ".rem".
bool prepare(const Env& env, const fs::path& base, const fs::path& rem, int lines) {
  std::ofstream out(rem, std::ios::binary);
  for (int i = 0; i < lines; ++i) {
    std::string a = std::to_string(3000 + i % 500) + "." + std::to_string(10 + i % 90);
    out << "01|" << (i % 2 ? "10457823|0105|" : "41235678|0121|") << a << "|" << a << "|\r\n";
  }
  out.close();
  if (env.run("init --demo") != 0 || env.run("new " + kRuc + " 201206") != 0) return false;
  data::Database::open(env.db)->script("PRAGMA wal_checkpoint(TRUNCATE)");
  fs::copy_file(env.db, base);
  return true;
}

// What is wrong with the file after a kill ("" when nothing), counting the point as before/after.
std::string check(const Env& env, const std::string& before, Command& c) {
  {
    auto db = data::Database::open(env.db);
    std::string now = stored(*db);
    if (db->text("PRAGMA integrity_check") != "ok") return "integrity_check";
    if (db->integer("SELECT count(*) FROM main.sqlite_master WHERE name LIKE 'TEMP%' OR name LIKE 'TMP%'") != 0)
      return "tablas de trabajo en el archivo";
    if (db->integer("SELECT count(*) FROM CAB_ABIERTA") != 0) return "marca de declaración abierta";
    if (now == before)
      ++c.asBefore;
    else if (now == c.after)
      ++c.asAfter;
    else
      return "ni antes ni después";
  }
  if (env.run("save " + kRuc + " 201206") != 0) return "el siguiente comando falla";
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  int points = argc > 1 ? std::atoi(argv[1]) : 64;
  int lines = argc > 2 ? std::atoi(argv[2]) : 100000;
  Env env;
  env.cli = cliPath();
  if (!fs::exists(env.cli)) {
    std::fprintf(stderr, "No se encuentra korventa-cli (%s); indique KORVENTA_CLI\n", env.cli.c_str());
    return 2;
  }
  env.dir = fs::temp_directory_path() / ("korventa-kill-" + std::to_string(::getpid()));
  fs::create_directories(env.dir);
  env.db = env.dir / "k.db";
  fs::path base = env.dir / "base.db", rem = env.dir / ("0601" + kRuc + "201206.rem");
  if (!prepare(env, base, rem, lines)) {
    std::fprintf(stderr, "No se pudo preparar la base de demostración\n");
    return 1;
  }
  auto restore = [&] {
    for (const char* s : {"-wal", "-shm"}) fs::remove(env.db.string() + s);
    fs::copy_file(base, env.db, fs::copy_options::overwrite_existing);
  };
  const std::string before = stored(*data::Database::open(env.db));
  std::vector<Command> commands = {
      {"import", "import " + kRuc + " 201206 '" + rem.string() + "' --work-dir '" + env.dir.string() + "'"},
      {"save", "save " + kRuc + " 201206"},
      {"refresh", "refresh " + kRuc + " 201206"},
      {"compute", "compute " + kRuc + " 201206"},
      {"copy", "copy " + kRuc + " 201206 201207"},
      {"new", "new " + kRuc + " 201205"},
  };
  std::printf("korventa-cli: %s\nbase: %s\n", env.cli.c_str(), env.dir.c_str());
  for (auto& c : commands) {  // each once to the end: its result and how long it takes
    restore();
    auto t0 = std::chrono::steady_clock::now();
    if (env.run(c.args) != 0) {
      std::fprintf(stderr, "%s falla sin interrupción\n", c.name.c_str());
      return 1;
    }
    c.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    c.after = stored(*data::Database::open(env.db));
  }

  std::mt19937 rng(std::random_device{}());
  int failures = 0;
  for (int p = 0; p < points; ++p) {
    auto& c = commands[static_cast<std::size_t>(p) % commands.size()];
    restore();
    // Anywhere in the run, and a little after its usual end (a slow start on a busy machine).
    int us = std::uniform_int_distribution<int>(0, static_cast<int>(c.seconds * 1.1e6))(rng);
    pid_t pid = env.start(c.args);
    std::this_thread::sleep_for(std::chrono::microseconds(us));
    ::kill(pid, SIGKILL);
    env.wait(pid);
    ++c.points;
    std::string problem = check(env, before, c);
    if (problem.empty()) continue;
    ++c.failed;
    ++failures;
    std::printf("  %s interrumpido a los %d us: %s\n", c.name.c_str(), us, problem.c_str());
  }
  std::printf("%-8s %8s %7s %6s %8s %8s\n", "comando", "duración", "puntos", "antes", "después", "fallas");
  int total = 0;
  for (const auto& c : commands) {
    std::printf("%-8s %7.3fs %7d %6d %8d %8d\n", c.name.c_str(), c.seconds, c.points, c.asBefore, c.asAfter, c.failed);
    total += c.points;
  }
  std::printf("%d puntos, %d fallas\n", total, failures);
  std::error_code ec;
  if (failures == 0) fs::remove_all(env.dir, ec);
  return failures == 0 ? 0 : 1;
}
