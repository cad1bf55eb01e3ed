// The checks take the concept rows from the computation that has just stored them, and they see
// exactly what reading the working table back gives; any write since makes them read the table.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "common/dates.h"
#include "declaration/declaration_form.h"
#include "determination/declaration_computation.h"
#include "determination/validation.h"
#include "determination/validation_person.h"
#include "support/demo_entries.h"
#include "support/test_db.h"

namespace korventa::determination {

// The persons a validator loads, every field written out, and whether it took the held rows.
struct ValidatorPersonsProbe {
  static std::string load(Session& s, const model::OpenDeclaration& d, bool& held) {
    DeclarationValidator v(s, d);
    v.resetRun();
    v.loadPersons();
    held = v.heldRead_;
    std::ostringstream out;
    out << v.asStored_;
    for (const auto& c : v.blankCodes_) out << " [" << c << ']';
    for (const auto& [k, base] : v.dropped0807_) out << " (" << k << ", [" << base << "])";
    for (const auto& p : v.persons_) {
      out << '\n'
          << p.correl << '|' << p.category << '|' << p.tipDoc << '|' << p.doc << '|' << p.situac << '|' << p.tipo << '|'
          << p.diasLab << '|' << p.diasSub << '|' << p.remAfecta << '|' << p.aporteFcjmms << '|' << p.asegPens << '|'
          << p.rucEps << '|' << p.indAfiEps << '|' << p.codEps << '|' << p.totIngresos << '|' << p.pension;
      for (const auto& c : p.concepts)
        out << "\n  [" << c.codigo << "][" << c.monto << "][" << c.montoPag << "][" << c.base << "] " << c.code;
    }
    return out.str();
  }
};

}  // namespace korventa::determination

namespace korventa::test {
namespace {

using determination::ValidatorPersonsProbe;

// Whether the validation's read of every concept row ran while it lived.
class ConceptReadWatch {
 public:
  explicit ConceptReadWatch(data::Database& db) : h_(db.sqlite().getHandle()) {
    sqlite3_trace_v2(h_, SQLITE_TRACE_STMT, &ConceptReadWatch::note, this);
  }
  ~ConceptReadWatch() { sqlite3_trace_v2(h_, 0, nullptr, nullptr); }
  bool read = false;

 private:
  static int note(unsigned, void* self, void* statement, void*) {
    std::string sql = sqlite3_sql(static_cast<sqlite3_stmt*>(statement));
    if (sql.find("base_calculo, rowid FROM TMPF601CONCEP") != std::string::npos)
      static_cast<ConceptReadWatch*>(self)->read = true;
    return 0;
  }
  sqlite3* h_;
};

// The demo declarant's June, every person's pay entered and computed; with `odd`, texts the forms
// never write: amounts with one and three decimals, blanks around codes and amounts, a document
// with leading zeros, a correlative given twice, an 0807 row without amount, rows declaring
// nothing and a row of another category.
struct Demo {
  explicit Demo(bool odd) {
    Clock::setFixed(Date{2013, 3, 15});
    f.newDeclaration();
    f.CmbRuc_Click("20503987610");
    EXPECT_TRUE(f.acceptPeriod("06/2012").ok);
    enterDemoPay(t.session(), f.declaration());
    if (odd) {
      const std::string kBasic =
          "(SELECT rowid FROM TMPF601CONCEP WHERE codigo = '0121' AND cod_cat_tra = 1 ORDER BY rowid LIMIT 1 OFFSET ";
      for (const std::string& sql : std::initializer_list<std::string>{
               "UPDATE TMPF601CONCEP SET monto = '1500.5', monto_pag = ' 10.123' WHERE rowid = " + kBasic + "0)",
               "UPDATE TMPF601CONCEP SET monto = '800.00 ', monto_pag = '007' WHERE rowid = " + kBasic + "1)",
               "UPDATE TMPF601CONCEP SET codigo = ' 0121', monto = '', monto_pag = NULL WHERE rowid = " + kBasic + "2)",
               "UPDATE TMPF601CONCEP SET monto = '', monto_pag = '' WHERE rowid = (SELECT min(rowid) FROM "
               "TMPF601CONCEP WHERE codigo = '0807' AND base_calculo <> '')",
               "UPDATE TMPF601CONCEP SET correl_a = (SELECT min(Correl_a) FROM TEMP1_F601 WHERE cod_cat_tra = 1) "
               "WHERE doc_id_a = (SELECT doc_id_a FROM TEMP1_F601 WHERE cod_cat_tra = 1 ORDER BY rowid DESC)",
               "UPDATE TEMP1_F601 SET Correl_a = (SELECT min(Correl_a) FROM TEMP1_F601 WHERE cod_cat_tra = 1) WHERE "
               "rowid = (SELECT max(rowid) FROM TEMP1_F601 WHERE cod_cat_tra = 1)",
               "UPDATE TMPF601CONCEP SET doc_id_a = '000' || doc_id_a WHERE cod_cat_tra = 2 AND doc_id_a = (SELECT "
               "doc_id_a FROM TEMP1_F601 WHERE cod_cat_tra = 2 ORDER BY rowid)",
               "UPDATE TEMP1_F601 SET doc_id_a = '000' || doc_id_a WHERE rowid = (SELECT min(rowid) FROM TEMP1_F601 "
               "WHERE "
               "cod_cat_tra = 2)",
               "INSERT INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, codigo, cod_cat_tra, monto, monto_pag) "
               "SELECT tip_doc_a, doc_id_a, Correl_a, '0121', 5, '930', '930' FROM TEMP1_F601 WHERE cod_cat_tra = 1 "
               "LIMIT 1",
           })
        t.db().run(sql);
      determination::recomputeDeclaration(t.session(), f.declaration());
    }
  }
  ~Demo() { Clock::setFixed(std::nullopt); }
  // A write that changes no value but counts as one.
  void touch() { t.db().run("UPDATE TMPF601CONCEP SET monto = monto WHERE rowid = 1"); }
  std::string persons(bool& held) { return ValidatorPersonsProbe::load(t.session(), f.declaration(), held); }
  TestDb t{true};
  declaration::DeclarationForm f{t.session()};
};

class HeldConcepts : public ::testing::TestWithParam<bool> {};

TEST_P(HeldConcepts, PersonsFromMemoryAreThoseOfTheTable) {
  Demo d(GetParam());
  bool held = false;
  std::string fromMemory = d.persons(held);
  ASSERT_TRUE(held);
  d.touch();
  EXPECT_EQ(d.persons(held), fromMemory);
  EXPECT_FALSE(held);
}

// The validation (its file included) and then the save, of the same declaration twice: the
// computation's rows held, or a write made since.
TEST_P(HeldConcepts, ValidationAndSaveSayAndStoreTheSame) {
  auto run = [](bool touched) {
    Demo d(GetParam());
    if (touched) d.touch();
    ConceptReadWatch watch(d.t.db());
    auto mens = d.t.dir() / "Mens.txt";
    auto v = determination::DeclarationValidator(d.t.session(), d.f.declaration()).CmdValidar_Click(mens);
    std::ifstream in(mens, std::ios::binary);
    std::string out((std::istreambuf_iterator<char>(in)), {});
    auto r = d.f.save();
    EXPECT_EQ(watch.read, touched);
    out += testing::PrintToString(v.lines) + std::to_string(r.saved) + std::to_string(r.inconsistent) +
           testing::PrintToString(d.t.messenger().texts());
    for (const char* table : {"CAB", "DET", "F601_TRAB", "F601_REMUNERA"})
      for (const auto& row : d.t.db().rows(std::string("SELECT * FROM ") + table + " ORDER BY rowid"))
        for (std::size_t i = 0; i < row.size(); ++i) out += (i ? "|" : "\n") + row.text(i);
    return out;
  };
  EXPECT_EQ(run(false), run(true));
}

INSTANTIATE_TEST_SUITE_P(Declarations, HeldConcepts, ::testing::Values(false, true),
                         [](const auto& info) { return std::string(info.param ? "Odd" : "Demo"); });

// What happened after the computation of every person stored its rows, and whether the checks may
// still take them from memory.
struct After {
  const char* name;
  std::function<void(Demo&)> step;
  bool held;
};

class HeldConceptsAfter : public ::testing::TestWithParam<After> {};

TEST_P(HeldConceptsAfter, OnlyAnUnwrittenConnectionKeepsThem) {
  Demo d(true);
  GetParam().step(d);
  bool held = false;
  d.persons(held);
  EXPECT_EQ(held, GetParam().held);
}

PersonKey firstWorker(Demo& d) {
  auto r = d.t.db().row("SELECT Correl_a, doc_id_a FROM TEMP1_F601 WHERE cod_cat_tra = 1 ORDER BY rowid");
  return PersonKey{r->integer(0), 1, r->text(1), 1};
}

const After kAfter[] = {
    {"Nothing", [](Demo&) {}, true},
    {"ARowUpdatedToItsOwnValue", [](Demo& d) { d.touch(); }, false},
    {"AStoredTableWritten", [](Demo& d) { d.t.db().run("UPDATE CONTRVKRS SET Nombre = Nombre"); }, false},
    {"AComputationRolledBack",
     [](Demo& d) {
       d.t.db().run("UPDATE TMPF601CONCEP SET monto = '5000' WHERE codigo = '0121' AND rowid > 10");
       data::Transaction outer(d.t.db());
       determination::recomputeDeclaration(d.t.session(), d.f.declaration());
     },
     false},
    {"SomePersonsComputedWithImportedRows",
     [](Demo& d) {
       model::ImportedConcepts imported;
       imported.rows.push_back({firstWorker(d), "0201", "10.00", "10.00"});
       determination::recomputeImported(d.t.session(), d.f.declaration(), {firstWorker(d)}, std::move(imported));
     },
     false},
    {"EveryPersonComputedWithImportedRows",
     [](Demo& d) {
       d.t.db().run(
           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 20) INSERT INTO TEMP1_F601 "
           "(Correl_a, cod_cat_tra, tip_doc_a, doc_id_a, Situac, Tipo, dias_lab) SELECT 900 + i, 1, 1, '4700000' || "
           "i, '11', '21', '30' FROM n");
       std::vector<PersonKey> all;
       for (const auto& r : d.t.db().rows("SELECT Correl_a, doc_id_a, cod_cat_tra FROM TEMP1_F601 WHERE cod_cat_tra "
                                          "IN (1, 2)"))
         all.push_back(PersonKey{r.integer(0), 1, r.text(1), static_cast<int>(r.integer(2))});
       model::ImportedConcepts imported;
       imported.rows.push_back({all.back(), "0121", "930.00", "930.00"});
       determination::recomputeImported(d.t.session(), d.f.declaration(), all, std::move(imported));
     },
     true},
    {"OnePersonComputedWithoutChange",
     [](Demo& d) { determination::recomputePerson(d.t.session(), d.f.declaration(), firstWorker(d)); }, true},
    {"AnotherPeriodOpen", [](Demo& d) { d.f.declaration().periodo = "201207"; }, false},
    {"ARowOfNobodyComputedWithThem",
     [](Demo& d) {
       d.t.db().run(
           "INSERT INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, codigo, cod_cat_tra, monto) VALUES "
           "(1, '49999999', 999, '0121', 1, '1')");
       determination::recomputeDeclaration(d.t.session(), d.f.declaration());
     },
     false},
};

INSTANTIATE_TEST_SUITE_P(Steps, HeldConceptsAfter, ::testing::ValuesIn(kAfter),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korventa::test
