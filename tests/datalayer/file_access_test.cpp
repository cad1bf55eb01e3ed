// Files that are not ours and files that cannot be written: opening looks before it writes, a
// file that only has to be read is read without being written, and a refused write says why.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>

#include <SQLiteCpp/Database.h>

#include "data/db_errors.h"
#include "data/schema_installer.h"
#include "support/cli_runner.h"
#include "support/test_db.h"

using namespace korventa;
using data::Access;
using data::Database;

namespace {
namespace fs = std::filesystem;

void sqliteFile(const fs::path& p, const std::vector<std::string>& statements) {
  SQLite::Database db(p.string(), SQLite::OPEN_READWRITE | SQLite::OPEN_CREATE);
  for (const auto& s : statements) db.exec(s);
}

std::string journalMode(const fs::path& p) {
  SQLite::Database db(p.string(), SQLite::OPEN_READONLY);
  return db.execAndGet("PRAGMA journal_mode").getString();
}

// Another program's files are looked at and left exactly as they were, by every way in: opening
// for writing or for reading, "init" and the launcher's "Crear base de datos".
TEST(NotOurDatabase, FilesOfOtherProgramsAreRefusedAndLeftAsTheyWere) {
  struct Case {
    const char* name;
    std::function<void(const fs::path&)> make;
  };
  const Case cases[] = {
      {"another program's SQLite file",
       [](const fs::path& p) {
         sqliteFile(p, {"CREATE TABLE notas (texto TEXT)", "INSERT INTO notas VALUES ('no tocar')"});
       }},
      {"a file with another application_id, though with tables of our names",
       [](const fs::path& p) {
         std::vector<std::string> s = {"PRAGMA application_id = 42"};
         for (const char* t : {"PARAM", "CAB", "DET", "CONTRVKRS", "ASEGVKRS", "SPOOL"})
           s.push_back(std::string("CREATE TABLE ") + t + " (x)");
         sqliteFile(p, s);
       }},
      {"an SQLite file with only some of our tables",
       [](const fs::path& p) {
         sqliteFile(p, {"CREATE TABLE PARAM (x)", "CREATE TABLE CAB (x)"});
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    auto file = dir / "ajena.db", backup = dir / "ajena.db.bak";
    c.make(file);
    std::string before = test::slurp(file);
    for (Access access : {Access::ReadWrite, Access::ReadOnly}) {
      try {
        Database::open(file, access);
        ADD_FAILURE() << "opened";
      } catch (const data::NotOurDatabase& e) {
        EXPECT_EQ(data::connectionErrorText(e),
                  "El archivo " + file.string() + " no es una base de datos del 0601; se deja sin cambios.");
        EXPECT_EQ(data::recordErrorText(e), data::connectionErrorText(e));
      }
    }
    EXPECT_THROW(data::createDatabase(file, false), data::NotOurDatabase);
    EXPECT_THROW(data::recreateDatabase(file, false, backup), data::NotOurDatabase);
    EXPECT_EQ(test::slurp(file), before) << "the file's bytes";
    EXPECT_EQ(journalMode(file), "delete") << "no switch to WAL";
    EXPECT_FALSE(fs::exists(backup));
  }
}

// A 0-byte file is no database to open, and holds nothing to lose: "init" creates ours in it.
TEST(NotOurDatabase, EmptyFileIsRefusedOnOpeningAndFilledByInit) {
  test::TempDir dir;
  auto file = dir / "vacia.db";
  { std::ofstream touch(file); }
  EXPECT_THROW(Database::open(file), data::NotOurDatabase);
  EXPECT_THROW(Database::open(file, Access::ReadOnly), data::NotOurDatabase);
  EXPECT_EQ(fs::file_size(file), 0u);
  EXPECT_FALSE(fs::exists(dir / "vacia.db-wal"));
  auto db = data::createDatabase(file, false);
  EXPECT_EQ(db->integer("PRAGMA application_id"), data::kApplicationId);
  EXPECT_EQ(db->integer("PRAGMA user_version"), data::kSchemaVersion);
  EXPECT_GT(db->integer("SELECT count(*) FROM PARAM"), 100);
}

// Databases made before the mark existed (application_id 0) are known by their tables.
TEST(NotOurDatabase, DatabaseOfAnEarlierBuildIsStillOurs) {
  test::TempDir dir;
  auto file = dir / "anterior.db";
  data::createDatabase(file, true)->script("PRAGMA application_id = 0; PRAGMA user_version = 0");
  auto db = Database::open(file);
  EXPECT_EQ(db->integer("SELECT count(*) FROM CONTRVKRS"), 2);
  EXPECT_EQ(data::createDatabase(file, false)->integer("SELECT count(*) FROM CONTRVKRS"), 2) << "left as it is";
}

// Opened for reading, the file is read and never written; a write is refused with a message that
// says the file cannot be written (it is not locked).
TEST(ReadOnlyAccess, ReadsAndRefusesWritesWithoutTouchingTheFile) {
  test::TempDir dir;
  auto file = dir / "k.db";
  data::createDatabase(file, true)->script("PRAGMA journal_mode = DELETE");
  std::string before = test::slurp(file);
  auto db = Database::open(file, Access::ReadOnly);
  EXPECT_EQ(db->integer("SELECT count(*) FROM CONTRVKRS"), 2);
  try {
    db->run("INSERT INTO CLAVES (Usuario, tipo) VALUES ('NUEVO', '1')");
    ADD_FAILURE() << "written";
  } catch (const data::DbError& e) {
    EXPECT_EQ(data::recordErrorText(e), "No se puede grabar en la base de datos: el archivo es de solo lectura.");
  }
  db.reset();
  EXPECT_EQ(test::slurp(file), before);
  EXPECT_EQ(journalMode(file), "delete") << "reading keeps the journal as it is";
}

// Another user's database, in a file or a folder this user may not write. Permissions do not
// hold root back, so as root the commands run as the user "nobody".
class ReadOnlyFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!runner_.available()) GTEST_SKIP() << "korventa-cli no está construido";
    if (::geteuid() == 0) {
      if (std::system("setpriv --reuid=65534 --regid=65534 --clear-groups true 2>/dev/null") != 0)
        GTEST_SKIP() << "sin setpriv no se puede correr como otro usuario";
      asOther_ = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    }
    ASSERT_EQ(runner_.run("init --demo").rc, 0);
    ASSERT_EQ(runner_.run("new 20503987610 201206").rc, 0);
    fs::permissions(work_.path(), fs::perms::all);
  }
  test::CliRun run(const fs::path& db, const std::string& args) {
    auto out = work_ / "out.txt", err = work_ / "err.txt";
    std::string cmd = asOther_ + "env HOME='" + work_.path().string() + "' KORVENTA_INI='" +
                      (work_ / "VKRS000.INI").string() + "' QT_QPA_PLATFORM=offscreen '" + runner_.cli().string() +
                      "' --db '" + db.string() + "' --user CONTADOR " + args + " > '" + out.string() + "' 2> '" +
                      err.string() + "'";
    int status = std::system(cmd.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::slurp(out), test::slurp(err)};
  }
  test::CliRunner runner_;
  test::TempDir work_;  // home and output folder of the other user
  std::string asOther_;
};

TEST_F(ReadOnlyFiles, ReadingCommandsWorkAndWritesSayTheFileCannotBeWritten) {
  constexpr auto readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
  constexpr auto readOnlyFolder = readOnly | fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
  struct Case {
    const char* name;
    fs::perms folder, file;
  } cases[] = {
      {"a read-only file", fs::perms::all, readOnly},
      {"a read-only folder (a WAL database without its shared-memory file)", readOnlyFolder,
       readOnly | fs::perms::owner_write},
  };
  const char* cannotWrite = "No se puede grabar en la base de datos: el archivo es de solo lectura.";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir place;
    auto file = place / "k.db";
    fs::copy_file(runner_.db(), file);
    ASSERT_EQ(test::slurp(file).substr(18, 2), std::string("\x02\x02", 2)) << "a WAL database";
    ASSERT_FALSE(fs::exists(place / "k.db-shm"));
    fs::permissions(file, c.file);
    fs::permissions(place.path(), c.folder);
    std::string before = test::slurp(file);
    auto out = work_ / "salida";
    struct Reading {
      std::string args, shows;
    } reading[] = {
        {"list", "20503987610"},
        {"show 20503987610 201206", "20503987610"},
        {"consult U", "3600"},
        {"export 20503987610 201206 --formats 20 --dir '" + out.string() + "'", "PE_601_20503987610_20_DAT.TXT"},
        {"print 20503987610 201206 --text '" + out.string() + "'", "ZEL0600_20503987610_201206.txt"},
    };
    for (const auto& r : reading) {
      auto got = run(file, r.args);
      EXPECT_EQ(got.rc, 0) << r.args << "\n" << got.err;
      EXPECT_NE(got.out.find(r.shows), std::string::npos) << r.args << "\n" << got.out;
    }
    for (const char* writing : {"save 20503987610 201206", "registry load '" KORVENTA_SOURCE_DIR "/data/demo'"}) {
      auto got = run(file, writing);
      EXPECT_EQ(got.rc, 1) << writing;
      EXPECT_NE(got.err.find(cannotWrite), std::string::npos) << writing << "\n" << got.err;
      EXPECT_EQ(got.err.find("bloqueado"), std::string::npos) << got.err;
    }
    EXPECT_EQ(test::slurp(file), before) << "the file's bytes";
    fs::permissions(place.path(), fs::perms::all);
  }
}

}  // namespace
