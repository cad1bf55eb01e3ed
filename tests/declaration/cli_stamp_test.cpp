// `save` and `validate` of an unchanged declaration through korventa-cli: answered from the stamp
// of its last save, they print, show and store what the full road does; `--full` takes that road.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "data/database.h"
#include "support/cli_runner.h"
#include "support/test_db.h"

namespace korventa::test {
namespace {

namespace fs = std::filesystem;

const std::string kDemo = "20503987610 201206";

class CliStampTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!runner_.available()) GTEST_SKIP() << "korventa-cli no está construido";
    ASSERT_EQ(run("init --demo").rc, 0);
    ASSERT_EQ(run("new " + kDemo + " --telefono 4411223").rc, 0);
    std::string files;
    for (const char* ext : {"jor", "sub", "rem", "pen"})
      files += " '" +
               (fs::path(KORVENTA_SOURCE_DIR) / "data/demo/import" / ("060120503987610201206." + std::string(ext)))
                   .string() +
               "'";
    auto r = run("import " + kDemo + files + " --work-dir '" + (runner_.dir() / "trabajo").string() + "'");
    ASSERT_EQ(r.rc, 0) << r.err;
  }
  CliRun run(const std::string& args) { return runner_.run(args); }

  // Every table of the file, row by row with its row id.
  std::string dumpAll() {
    auto db = data::Database::open(runner_.db(), data::Access::ReadOnly);
    std::string out;
    for (const auto& t : db->rows("SELECT name FROM main.sqlite_master WHERE type = 'table' AND name NOT LIKE "
                                  "'sqlite%' ORDER BY name")) {
      // The stamp's validation is known or not depending on what ran before (a full save of what
      // was just stored can tell it where the import's save could not); the rest must agree.
      std::string columns =
          t.text(0) == "CAB_SELLO" ? "version, clave, inconsistente, estado, ind_ref, total, grabar" : "*";
      out += t.text(0) + ":\n";
      for (const auto& r : db->rows("SELECT rowid, " + columns + " FROM \"" + t.text(0) + "\" ORDER BY rowid")) {
        for (std::size_t i = 0; i < r.size(); ++i) out += (i ? "|" : "") + r.text(i);
        out += "\n";
      }
    }
    return out;
  }
  void copyDb(const fs::path& from, const fs::path& to) {
    for (const char* suffix : {"", "-wal", "-shm"}) {
      fs::path f(from.string() + suffix), t(to.string() + suffix);
      fs::remove(t);
      if (fs::exists(f)) fs::copy_file(f, t);
    }
  }
  void tamper(const std::string& column, const std::string& value) {
    auto db = data::Database::open(runner_.db());
    ASSERT_EQ(db->run("UPDATE CAB_SELLO SET " + column + " = ?", {value}), 1);
  }
  CliRunner runner_;
};

// The save of the imported declaration, again with nothing changed: the stamp's answer and the
// full save print the same and leave every table of the file alike, row ids included.
TEST_F(CliStampTest, SaveOfTheUnchangedDeclarationStoresWhatTheFullSaveStores) {
  const fs::path snapshot = runner_.dir() / "antes.db";
  copyDb(runner_.db(), snapshot);
  auto fast = run("save " + kDemo);
  std::string fastTables = dumpAll();
  copyDb(snapshot, runner_.db());
  auto full = run("save " + kDemo + " --full");
  EXPECT_EQ(fast.rc, 0) << fast.err;
  EXPECT_EQ(fast.rc, full.rc);
  EXPECT_EQ(fast.out, full.out);
  EXPECT_EQ(fast.err, full.err);
  EXPECT_FALSE(fast.err.empty());
  EXPECT_EQ(fastTables, dumpAll());
}

// The answers come from the stamp (a changed record shows) unless --full asks for the full road.
TEST_F(CliStampTest, FullTakesTheFullRoad) {
  struct Case {
    const char* name;
    std::string command, column, value, marker;
  };
  // "length:text" fields: exit code 0, one line, no message; a save with one message.
  const std::vector<Case> cases = {
      {"validate", "validate " + kDemo, "validar", "1:01:116:línea del sello1:0", "línea del sello"},
      {"save", "save " + kDemo, "grabar", "1:11:17:Mensaje15:aviso del sello", "aviso del sello"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto before = run(c.command + " --full");
    tamper(c.column, c.value);
    auto stamped = run(c.command);
    EXPECT_NE((stamped.out + stamped.err).find(c.marker), std::string::npos) << stamped.out << stamped.err;
    auto full = run(c.command + " --full");
    EXPECT_EQ(full.rc, before.rc);
    EXPECT_EQ((full.out + full.err).find(c.marker), std::string::npos) << full.out << full.err;
  }
}

}  // namespace
}  // namespace korventa::test
