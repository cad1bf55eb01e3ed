// Several korventa-cli processes on one demo database at the same time: two writers typing the
// concept amounts of two workers of the same declaration, an import racing a save, and programs
// killed in the middle of a save or an import. Every change reported done (exit 0) is stored,
// no failed one is, every failure says the declaration was busy or changed, and a killed program
// leaves the file sound, its declaration as before or after and no working rows.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <thread>

#include "data/database.h"
#include "declaration/tables.h"
#include "support/cli_runner.h"

namespace korventa::test {
namespace {

namespace fs = std::filesystem;

const std::string kRuc = "20503987610";
const std::string kPeriodo = "201206";
const char* kCodes[] = {"0121", "0105", "0106", "0107", "0114"};

// The messages a command that met another writer ends with.
bool saysBusyOrChanged(const std::string& err) {
  for (const char* m :
       {"Registro bloqueado. Intente luego", "La data ha cambiado", "Registro ha sido eliminado por otro usuario",
        "Registro ya existe lo ingresaron en ese momento"})
    if (err.find(m) != std::string::npos) return true;
  return false;
}

// The stored amounts of one worker's concepts typed here ("" when not stored).
std::map<std::string, std::string> storedAmounts(data::Database& db, const std::string& doc) {
  std::map<std::string, std::string> out;
  for (const char* code : kCodes)
    out[code] = db.text(
        "SELECT monto FROM F601_REMUNERA WHERE doc_id_d = ? AND periodo = ? AND doc_id_a = ? AND "
        "cod_concep = ?",
        {kRuc, kPeriodo, doc, code});
  return out;
}

// Every stored row of the declaration, sorted: equal texts, equal declarations.
std::string storedDeclaration(data::Database& db) {
  std::vector<std::string> lines;
  auto key = declaration::preparationKey(kRuc, kPeriodo);
  std::vector<std::string> tables = {"CAB", "DET"};
  for (const auto& t : declaration::deletedTables()) tables.push_back(t.name);
  for (const auto& t : tables)
    for (const auto& r : db.rows("SELECT * FROM " + t + " WHERE " + key.where, key.params)) {
      std::string l = t;
      for (std::size_t i = 0; i < r.size(); ++i) l += "|" + r.text(i);
      lines.push_back(l);
    }
  std::sort(lines.begin(), lines.end());
  std::string out;
  for (const auto& l : lines) out += l + "\n";
  return out;
}

class MultiProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!runner_.available()) GTEST_SKIP() << "korventa-cli no está construido";
    ASSERT_EQ(runner_.run("init --demo").rc, 0);
    ASSERT_EQ(runner_.run("new " + kRuc + " " + kPeriodo).rc, 0);
  }
  std::unique_ptr<data::Database> open() { return data::Database::open(runner_.db()); }
  // A ".rem" of `lines` amounts of the two workers, ending with `last` for 41235678's 0121.
  fs::path remFile(int lines, const std::string& last) {
    fs::path p = runner_.dir() / ("0601" + kRuc + kPeriodo + ".rem");
    std::ofstream out(p, std::ios::binary);
    for (int i = 0; i < lines; ++i) {
      std::string a = std::to_string(3000 + i % 500) + "." + std::to_string(10 + i % 90);
      out << "01|" << (i % 2 ? "10457823|0105|" : "41235678|0121|") << a << "|" << a << "|\r\n";
    }
    out << "01|41235678|0121|" << last << "|" << last << "|\r\n";
    return p;
  }
  std::string import(const fs::path& rem) {
    return "import " + kRuc + " " + kPeriodo + " '" + rem.string() + "' --work-dir '" + runner_.dir().path().string() +
           "'";
  }
  CliRunner runner_;
};

TEST_F(MultiProcessTest, TwoWritersOnTwoWorkersOfOneDeclarationLoseNothing) {
  std::mutex mu;
  std::vector<std::string> problems;
  int done = 0, failed = 0;
  auto writer = [&](const std::string& doc, int cents) {
    auto db = open();
    auto expected = storedAmounts(*db, doc);
    for (int i = 0; i < 50; ++i) {
      std::string code = kCodes[i % 5];
      std::string amount = std::to_string(1000 + i) + "." + std::to_string(cents);
      auto r = runner_.finish(runner_.start(
          "concept " + kRuc + " " + kPeriodo + " 1 " + doc + " " + code + " " + amount, doc + "-" + std::to_string(i)));
      if (r.rc == 0) expected[code] = amount;
      std::lock_guard<std::mutex> lock(mu);
      (r.rc == 0 ? done : failed)++;
      if (r.rc != 0 && !saysBusyOrChanged(r.err)) problems.push_back(doc + " #" + std::to_string(i) + ": " + r.err);
      // Only this writer types this worker's amounts: the stored ones are always its own last ones.
      if (storedAmounts(*db, doc) != expected) problems.push_back(doc + " #" + std::to_string(i) + ": lost update");
    }
  };
  std::thread a(writer, "41235678", 11), b(writer, "10457823", 22);
  a.join();
  b.join();
  EXPECT_TRUE(problems.empty()) << problems.front();
  EXPECT_EQ(done + failed, 100);
  std::printf("[ concept ] %d guardados, %d rechazados por otra sesión\n", done, failed);
}

// An import of many lines and a save of the same declaration started at about the same time: the
// save at points spread over the import's run (and once before it). The import's amounts are
// stored when it says so, and never lost to the save.
TEST_F(MultiProcessTest, AnImportRacingASaveIsNeverLost) {
  auto db = open();
  auto t0 = std::chrono::steady_clock::now();
  ASSERT_EQ(runner_.run(import(remFile(60000, "6999.99"))).rc, 0);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  std::string before = "6999.99";
  int races = 0, importsDone = 0, savesDone = 0;
  for (double at : {-0.1, 0.0, 0.3, 0.6, 0.8, 0.9, 0.95, 1.0}) {
    std::string last = std::to_string(7000 + races) + ".77";
    auto rem = remFile(60000, last);
    auto delay = std::chrono::milliseconds(static_cast<int>(std::abs(at) * seconds * 1000));
    CliRunner::Started imp, save;
    if (at >= 0) {
      imp = runner_.start(import(rem), "imp");
      std::this_thread::sleep_for(delay);
      save = runner_.start("save " + kRuc + " " + kPeriodo, "save");
    } else {
      save = runner_.start("save " + kRuc + " " + kPeriodo, "save");
      std::this_thread::sleep_for(delay);
      imp = runner_.start(import(rem), "imp");
    }
    auto ri = runner_.finish(imp), rs = runner_.finish(save);
    SCOPED_TRACE("save at " + std::to_string(at) + " of the import");
    std::string stored = storedAmounts(*db, "41235678")["0121"];
    if (ri.rc == 0) {
      ++importsDone;
      EXPECT_EQ(stored, last) << "the import's amounts were lost";
      before = last;
    } else {
      EXPECT_EQ(stored, before) << "a failed import stores nothing";
      EXPECT_TRUE(saysBusyOrChanged(ri.err)) << ri.err;
    }
    if (rs.rc == 0)
      ++savesDone;
    else
      EXPECT_TRUE(saysBusyOrChanged(rs.err)) << rs.err;
    ++races;
  }
  std::printf("[ import ] %d carreras: %d importaciones y %d grabaciones terminadas\n", races, importsDone, savesDone);
}

// kill -9 at random points of an import and of a save: the file passes its integrity check, the
// declaration is exactly as before or as after, the file holds no working rows and the next
// command works.
TEST_F(MultiProcessTest, AProgramKilledAnywhereLeavesTheDeclarationBeforeOrAfter) {
  auto rem = remFile(60000, "6543.21");
  fs::path base = runner_.dir() / "base.db";
  {
    auto db = open();
    db->script("PRAGMA wal_checkpoint(TRUNCATE)");
  }
  fs::copy_file(runner_.db(), base);
  auto restore = [&] {
    for (const char* s : {"-wal", "-shm"}) fs::remove(runner_.db().string() + s);
    fs::copy_file(base, runner_.db(), fs::copy_options::overwrite_existing);
  };
  auto stored = [&] { return storedDeclaration(*open()); };
  const std::string before = stored();
  struct Kind {
    std::string name, args;
    std::string after;
    double seconds = 0;
  };
  std::vector<Kind> kinds = {{"import", import(rem), "", 0}, {"save", "save " + kRuc + " " + kPeriodo, "", 0}};
  for (auto& k : kinds) {  // the whole run once: its result and how long it takes
    restore();
    auto t0 = std::chrono::steady_clock::now();
    ASSERT_EQ(runner_.run(k.args).rc, 0) << k.name;
    k.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    k.after = stored();
  }
  ASSERT_NE(kinds[0].after, before);
  std::mt19937 rng(std::random_device{}());
  int asBefore = 0, asAfter = 0;
  for (int point = 0; point < 6; ++point) {
    auto& k = kinds[point % 2];
    restore();
    int ms = std::uniform_int_distribution<int>(0, static_cast<int>(k.seconds * 1000))(rng);
    SCOPED_TRACE(k.name + " killed after " + std::to_string(ms) + " ms");
    auto p = runner_.start(k.args, "kill");
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    ::kill(p.pid, SIGKILL);
    runner_.finish(p);
    {
      auto db = open();
      EXPECT_EQ(db->text("PRAGMA integrity_check"), "ok");
      EXPECT_EQ(db->integer("SELECT count(*) FROM main.sqlite_master WHERE name LIKE 'TEMP%' OR name LIKE 'TMP%'"), 0);
      EXPECT_EQ(db->integer("SELECT count(*) FROM CAB_ABIERTA"), 0);
      std::string now = storedDeclaration(*db);
      EXPECT_TRUE(now == before || now == k.after);
      (now == before ? asBefore : asAfter)++;
    }
    auto next = runner_.run("save " + kRuc + " " + kPeriodo);
    EXPECT_EQ(next.rc, 0) << next.err;
  }
  std::printf("[ kill -9 ] 6 puntos: %d como antes, %d como después\n", asBefore, asAfter);
}

}  // namespace
}  // namespace korventa::test
