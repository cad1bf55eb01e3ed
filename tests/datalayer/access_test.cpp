// The access layer: opening the file, the messages of failures, the statement runner,
// transactions, and the small lookups of the general modules. (The number check of amounts typed
// in the forms and its messages: AmountEntry.TypedKeyByKeyOrGivenWhole.)
#include <gtest/gtest.h>

#include "data/db_errors.h"
#include "data/general.h"
#include "data/numero_control.h"
#include "data/param.h"
#include "support/test_db.h"

using namespace korventa;
using data::Database;
using data::DbError;
using data::Transaction;

namespace {

int clavesCount(Database& db) {
  return static_cast<int>(db.integer("SELECT count(*) FROM CLAVES"));
}

// A locked file and a file that is not a database are tried through the start-up
// (Startup.DatabaseLockedByAnotherProgram, Startup.DatabaseThatCannotBeOpened).
TEST(Connection, MissingFileGivesTheEngineTextAndNumberAndIsNotCreated) {
  test::TempDir dir;
  auto file = dir / "missing file.db";
  try {
    Database::open(file);
    FAIL() << "opened";
  } catch (const DbError& e) {
    EXPECT_EQ(e.code(), 14);
    EXPECT_EQ(data::connectionErrorText(e), std::string(e.what()) + "\n14");
  }
  // A wrong DBPath must not leave an empty database behind.
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(Statements, EjecutarSqlShowsOneMessageAndTheCallerGoesOn) {
  test::TestDb t;
  auto& db = t.db();
  auto& m = t.messenger();
  int before = clavesCount(db);
  EXPECT_TRUE(data::EjecutarSQL(db, m, "INSERT INTO CLAVES (Usuario, tipo) VALUES (?, ?)", {"ANA", "1"}));
  EXPECT_FALSE(data::EjecutarSQL(db, m, "INSERT INTO NO_EXISTE (x) VALUES (1)"));
  EXPECT_FALSE(data::EjecutarSQL(db, m, "INSERT INTO CLAVES (Usuario, tipo) VALUES (?, ?)", {"ANA", "0"}));
  EXPECT_TRUE(data::EjecutarSQL(db, m, "INSERT INTO CLAVES (Usuario, tipo) VALUES (?, ?)", {"O'BRIEN", "1"}));
  EXPECT_EQ(clavesCount(db), before + 2);
  EXPECT_EQ(db.text("SELECT tipo FROM CLAVES WHERE Usuario = 'ANA'"), "1") << "the failed insert changed nothing";
  ASSERT_EQ(m.entries().size(), 2u);
  for (const auto& e : m.entries()) {
    EXPECT_EQ(e.title, "Error al Ejecutar Sentencia SQL");
    EXPECT_EQ(e.icon, MsgIcon::Critical);
  }
  EXPECT_EQ(m.entries()[0].text.rfind("Error Número : 1\n", 0), 0u) << m.entries()[0].text;
  EXPECT_NE(m.entries()[0].text.find("NO_EXISTE"), std::string::npos);
  EXPECT_EQ(m.entries()[1].text.rfind("Error Número : 19\n", 0), 0u) << m.entries()[1].text;
}

TEST(Statements, RecordErrorMessages) {
  test::TestDb t;
  auto& db = t.db();
  auto failure = [&](const char* sql) -> DbError {
    try {
      db.run(sql);
    } catch (const DbError& e) {
      return e;
    }
    ADD_FAILURE() << "no error for " << sql;
    return DbError(0, 0, "");
  };
  data::MensajeErrorBD(t.messenger(), failure("INSERT INTO CLAVES (Usuario, tipo) VALUES ('ADMIN', '1')"));
  auto e = t.messenger().entries().back();
  EXPECT_EQ(e.text, "Registro ya existe lo ingresaron en ese momento");
  EXPECT_EQ(e.title, "Mensaje");
  EXPECT_EQ(e.icon, MsgIcon::Information);
  EXPECT_EQ(data::recordErrorText(DbError(5, 5, "database is locked")), "Registro bloqueado. Intente luego");
  // Any other failure: "Error tecnico: " + the number with its leading blank + the engine text.
  auto other = failure("SELECT * FROM NO_EXISTE");
  EXPECT_EQ(data::recordErrorText(other),
            std::string("Error tecnico:  1\n") + other.what() + "\nIntente nuevamente por favor.");
}

TEST(Transactions, NothingStaysUnlessTheOuterOneCommits) {
  test::TestDb t;
  auto& db = t.db();
  int before = clavesCount(db);
  auto add = [&](const char* user) { db.run("INSERT INTO CLAVES (Usuario, tipo) VALUES (?, '1')", {user}); };

  {  // outer not committed: the committed inner savepoint goes too
    Transaction outer(db);
    add("A");
    {
      Transaction inner(db);
      add("B");
      inner.commit();
    }
    EXPECT_EQ(clavesCount(db), before + 2);
  }
  EXPECT_EQ(clavesCount(db), before);
  EXPECT_EQ(db.depth(), 0);

  {  // inner not committed: only its rows go
    Transaction outer(db);
    add("A");
    {
      Transaction inner(db);
      add("B");
    }
    add("C");
    outer.commit();
  }
  EXPECT_EQ(clavesCount(db), before + 2);
  EXPECT_FALSE(db.exists("SELECT 1 FROM CLAVES WHERE Usuario = 'B'"));

  // A failure in the middle of an operation: the exception leaves, the transaction undoes all.
  try {
    Transaction tx(db);
    add("D");
    add("A");  // duplicate
    tx.commit();
  } catch (const DbError& e) {
    EXPECT_TRUE(e.isDuplicate());
  }
  EXPECT_FALSE(db.exists("SELECT 1 FROM CLAVES WHERE Usuario = 'D'"));
  EXPECT_EQ(db.depth(), 0);
  Transaction again(db);  // the connection is usable afterwards
  add("E");
  again.commit();
  EXPECT_TRUE(db.exists("SELECT 1 FROM CLAVES WHERE Usuario = 'E'"));
}

TEST(Lookups, TipoUsuarioAndDescripcionError) {
  test::TestDb t;
  auto& db = t.db();
  test::RegistryBuilder{db}.user("DEMO", "2");
  struct Case {
    const char* user;
    const char* type;
  };
  for (const auto& c :
       {Case{"ADMIN", "0"}, Case{"DEMO", "2"}, Case{"NADIE", "1"}, Case{" ", "1"}, Case{"admin", "1"}}) {
    SCOPED_TRACE(c.user);
    EXPECT_EQ(data::TipoUsuario(db, c.user), c.type);
  }

  std::string d151 = data::DescripcionError(db, 151);
  EXPECT_FALSE(d151.empty());
  EXPECT_EQ(d151, db.text("SELECT DescError FROM ERROR WHERE CodError = '0151'"));
  EXPECT_EQ(data::DescripcionError(db, 9), db.text("SELECT DescError FROM ERROR WHERE CodError = '0009'"));
  EXPECT_EQ(data::DescripcionError(db, 7777), "");
  // The code is looked up padded: a row stored as '151' is not the message 151.
  db.run("DELETE FROM ERROR WHERE CodError = '0151'");
  db.run("INSERT INTO ERROR (CodError, DescError) VALUES ('151', 'sin ceros')");
  EXPECT_EQ(data::DescripcionError(db, 151), "");
}

TEST(Lookups, RateInForceByPeriod) {
  test::TestDb t;
  auto& db = t.db();
  db.run("DELETE FROM PARAM WHERE Numero = '977'");
  db.run("INSERT INTO PARAM (Numero, Argumento, Funcion) VALUES ('977', '200901', '  2000.50')");
  db.run("INSERT INTO PARAM (Numero, Argumento, Funcion) VALUES ('977', '200701', '  1000.00')");
  db.run("INSERT INTO PARAM (Numero, Argumento, Funcion) VALUES ('977', '-', 'ENCABEZADO')");
  data::ParamTable param(db);
  struct Case {
    const char* name;
    const char* period;
    const char* rate;
  };
  for (const auto& c : {Case{"before every row", "200612", "-1"}, Case{"first month", "200701", "1000"},
                        Case{"between the rows", "200812", "1000"}, Case{"second row", "200901", "2000.5"},
                        Case{"later", "201212", "2000.5"}}) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(param.TasaVigente977(c.period), c.rate);
  }
}

TEST(Lookups, ControlNumber) {
  using data::Value;
  struct Case {
    const char* name;
    std::vector<Value> row;
    int n;
    const char* expected;
  };
  const Case cases[] = {
      // Numbers lead the row (the first n fields); the texts after them are empty.
      {"nulls", {Value(), Value(), Value(), Value(std::string("123456"))}, 1, "000000"},
      // A = 6 + 20503987610 → 616; B = "PEÑA" (80·1 + 69·2 + 209·3 + 65·4 = 1105)
      //                                 + "0.00" (48·1 + 46·2 + 48·3 + 48·4 = 476) = 1581 → 581.
      {"declarant row",
       {Value(std::int64_t(6)), Value(std::string("20503987610")), Value(std::string("PEÑA")),
        Value(std::string("0.00")), Value(std::string("999999"))},
       2,
       "616581"},
      // Blanks around texts do not count; the control column itself never does.
      {"trimmed",
       {Value(std::string(" 6 ")), Value(std::string("20503987610")), Value(std::string("  PEÑA ")),
        Value(std::string("0.00")), Value(std::string("anything"))},
       2,
       "616581"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(data::NumeroControl(c.row, c.n), c.expected);
  }
  EXPECT_EQ(data::NumeroControlLinea("6|20503987610|PEÑA|0.00|000000|", 2), "616581");
  EXPECT_EQ(data::NumeroControlLinea("|||", 2), "000000");
}

}  // namespace
