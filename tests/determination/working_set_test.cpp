// The concept rows of each person, the batch over the working set, the column totals. (The
// listings of concept rows are checked through korventa-cli: CliTest.ConceptsBoxesPaymentAndValidation.)
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "determination/concept_rules.h"
#include "determination/total_tributo.h"
#include "determination/working_fixture.h"

namespace korventa::test {
namespace {

TEST(ExisteTipoConcepto, ContributionExclusionsByType) {
  determination::ConceptTypes types;  // no allowed list: only 06/08 codes can pass
  struct Row {
    const char* name;
    int tipo;
    const char* code;
    const char* periodo;
    bool allowed;
  } rows[] = {
      {"pensioner 24 has no SNP", 24, "0607", "201206", false},
      {"pensioner 26 has no employer concepts", 26, "0804", "201206", false},
      {"practitioner 23 has no SPP", 23, "0601", "201206", false},
      {"type 66 has no fifth category", 66, "0605", "201206", false},
      {"type 67 before 200901 has no +Vida", 67, "0604", "200812", false},
      {"type 67 from 200901 has +Vida", 67, "0604", "200901", true},
  };
  for (const auto& r : rows) EXPECT_EQ(types.ExisteTipoConcepto(r.tipo, r.code, r.periodo), r.allowed) << r.name;
  // Income codes need the type's list (headings and 0610 for a worker: ConceptRows below).
  EXPECT_FALSE(types.ExisteTipoConcepto(21, "0121", "201206"));
  types.allow(21, "0121");
  EXPECT_TRUE(types.ExisteTipoConcepto(21, "0121", "201206"));
  EXPECT_FALSE(types.ExisteTipoConcepto(67, "0121", "201206"));
}

TEST(ConceptRows, CreatedForTheConceptSetKeepingAmounts) {
  WorkingFixture f("201206");
  WorkerProfile s;
  s.ipssVida = "5";
  PersonKey p = f.person("40000001", s);
  f.amount(p, "0121", "1234.50", "1200.00");
  f.recompute();
  EXPECT_EQ(f.conceptText(p, "0121"), "1234.50");
  EXPECT_EQ(f.conceptText(p, "0121", "monto_pag"), "1200.00");
  ASSERT_TRUE(f.offered(p, "0201"));  // offered, not declared: not stored
  EXPECT_EQ(f.offered(p, "0201")->monto, "");
  EXPECT_FALSE(f.offered(p, "0201")->descrip.empty());  // described from the catalogue
  EXPECT_FALSE(f.t.db().exists("SELECT 1 FROM TMPF601CONCEP WHERE codigo = '0201'"));
  EXPECT_EQ(f.conceptText(p, "0604"), "5.00");  // +Vida from the registry value
  EXPECT_FALSE(f.offered(p, "0610"));           // never for a worker
  EXPECT_FALSE(f.offered(p, "0100"));           // headings are not concepts
  EXPECT_FALSE(f.offered(p, "2040"));           // not in the list of type 21
  // Stored: the typed income and what follows from it, nothing empty.
  EXPECT_EQ(f.t.db().integer("SELECT count(*) FROM TMPF601CONCEP WHERE COALESCE(monto, '') = '' AND "
                             "COALESCE(monto_pag, '') = '' AND COALESCE(base_calculo, '') = ''"),
            0);
  int rows = static_cast<int>(f.t.db().integer("SELECT count(*) FROM TMPF601CONCEP"));
  f.recompute();  // a second run adds nothing and changes nothing
  EXPECT_EQ(f.t.db().integer("SELECT count(*) FROM TMPF601CONCEP"), rows);
  EXPECT_EQ(f.conceptText(p, "0804"), "111.11");
}

TEST(ConceptRows, OnlyTheDeclarantsConcepts) {
  WorkingFixture f("201206");
  f.t.db().run("DELETE FROM CON_AFEC WHERE doc_id_d = ? AND cod_concepto NOT IN ('0121', '0804')", {f.decl.ruc});
  PersonKey p = f.person("40000001");
  f.recompute();
  EXPECT_EQ(f.t.db().integer("SELECT count(*) FROM TMPF601CONCEP"), 0);  // nothing declared yet
  EXPECT_TRUE(f.offered(p, "0121") && f.offered(p, "0804"));
  EXPECT_FALSE(f.offered(p, "0201"));
  f.amount(p, "0121", "1000.00");
  f.recompute();
  EXPECT_EQ(f.t.db().integer("SELECT count(*) FROM TMPF601CONCEP"), 2);
  EXPECT_EQ(f.conceptText(p, "0804"), "90.00");
}

// A row declares something when an amount or the base holds more than blanks and tabs: only such
// rows are stored.
TEST(ConceptRows, HasContentIgnoresBlanksAndTabs) {
  struct Case {
    const char* name;
    const char *monto, *montoPag, *base;
    bool content;
  } cases[] = {
      {"all empty", "", "", "", false},         {"blanks and tabs", "  ", "\t", " \t ", false},
      {"accrued amount", "0.00", "", "", true}, {"paid amount padded", "", " 12.50\t", "", true},
      {"base only", "", "", "1500.00", true},   {"a zero is something", " 0 ", "  ", "", true},
  };
  for (const auto& c : cases) {
    model::ConceptRow r;
    r.monto = c.monto;
    r.monto_pag = c.montoPag;
    r.base_calculo = c.base;
    EXPECT_EQ(r.hasContent(), c.content) << c.name;
  }
}

// The batch offers a person only the empty rows of groups 06 and 08 (the others are never
// stored): every row that ends with something in it, every 06/08 row and the summary are those
// of the computation that offers the whole concept set, for each kind of person.
TEST(ConceptRows, ContributionsOfferGivesTheSameRowsAsTheWholeSet) {
  WorkingFixture f("201206");
  struct Case {
    const char* name;
    WorkerProfile profile;
    std::vector<std::pair<const char*, const char*>> amounts;
  };
  auto profile = [](const char* tipo, int pension, int category, const char* vida, const char* aseg, int sctr) {
    WorkerProfile w;
    w.tipo = tipo;
    w.pension = pension;
    w.category = category;
    w.ipssVida = vida;
    w.asegPens = aseg;
    w.sctr = sctr;
    return w;
  };
  const std::vector<Case> cases = {
      {"SNP worker with a deduction", profile("21", 2, 1, "", "", 0), {{"0121", "1500.00"}, {"0705", "100.00"}}},
      {"SPP worker with +Vida", profile("21", 21, 1, "5", "", 0), {{"0121", "2500.00"}, {"0201", "80.00"}}},
      {"miner with SCTR and Asegura", profile("32", 2, 1, "", "3", 1), {{"0121", "3000.00"}, {"0406", "40.00"}}},
      {"pensioner", profile("24", 2, 2, "", "", 0), {{"0121", "900.00"}}},
      {"nothing declared", profile("21", 2, 1, "", "", 0), {}},
  };
  std::vector<PersonKey> keys;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    keys.push_back(f.person(std::to_string(41000000 + i), cases[i].profile));
    for (auto [code, monto] : cases[i].amounts) f.amount(keys.back(), code, monto);
  }
  determination::Computation computation(f.t.db(), f.decl);
  using Row = std::tuple<std::string, std::string, std::string, std::string, std::string>;
  auto rows = [](const model::PersonData& p, bool contributionsOnly) {
    std::vector<Row> out;
    for (const auto& r : p.concepts)
      if (r.hasContent() || (contributionsOnly && (r.group() == "06" || r.group() == "08")))
        out.emplace_back(r.codigo, r.descrip, r.monto, r.monto_pag, r.base_calculo);
    return out;
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    auto all = model::loadPersons(f.t.db(), f.decl.ruc, keys[i]);
    auto few = model::loadPersons(f.t.db(), f.decl.ruc, keys[i]);
    ASSERT_EQ(all.size(), 1u) << cases[i].name;
    ASSERT_EQ(few.size(), 1u) << cases[i].name;
    computation.compute(all[0], nullptr, determination::Offer::All);
    computation.compute(few[0], nullptr, determination::Offer::Contributions);
    EXPECT_EQ(rows(few[0], false), rows(all[0], false)) << cases[i].name;
    EXPECT_EQ(rows(few[0], true), rows(all[0], true)) << cases[i].name;
    EXPECT_EQ(few[0].summary, all[0].summary) << cases[i].name;
    EXPECT_FALSE(few[0].find("0201") && !few[0].find("0201")->hasContent()) << cases[i].name;
    EXPECT_GT(all[0].concepts.size(), few[0].concepts.size()) << cases[i].name;  // the set was offered
  }
}

// A large new working set gets its concept rows with the indexes built once afterwards: the
// same rows and amounts, and both indexes are there again (the unique one still refuses a
// duplicate row).
TEST(Recompute, LargeFillRebuildsTheIndexes) {
  WorkingFixture f("201206");
  std::vector<PersonKey> people;
  for (int i = 0; i < 700; ++i) people.push_back(f.person(std::to_string(40000000 + i)));
  {
    data::Transaction tx(f.t.db());
    for (std::size_t i = 0; i < people.size(); ++i) f.amount(people[i], "0121", i == 123 ? "1000.00" : "1500.00");
    tx.commit();
  }
  f.recompute();
  auto& db = f.t.db();
  // More rows added than were there (the typed incomes) and more than the bulk threshold.
  EXPECT_GT(db.integer("SELECT count(*) FROM TMPF601CONCEP"), 700 + 2000);
  EXPECT_EQ(db.integer("SELECT count(*) FROM (SELECT 1 FROM TMPF601CONCEP GROUP BY tip_doc_a, doc_id_a, correl_a, "
                       "codigo, cod_cat_tra HAVING count(*) > 1)"),
            0);
  EXPECT_EQ(db.integer("SELECT count(*) FROM sqlite_temp_master WHERE type = 'index' AND name = 'IDX_TMPF601CONCEP'"),
            1);
  EXPECT_EQ(f.conceptText(people[123], "0804"), "90.00");
  EXPECT_THROW(db.run("INSERT INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, codigo, cod_cat_tra) "
                      "SELECT tip_doc_a, doc_id_a, correl_a, codigo, cod_cat_tra FROM TMPF601CONCEP LIMIT 1"),
               data::DbError);
}

TEST(Recompute, OnePersonLeavesTheOthersAloneAFailureLeavesNothingWritten) {
  WorkingFixture f("201206");
  PersonKey a = f.person("40000001"), b = f.person("40000002");
  f.amount(a, "0121", "1000.00");
  f.amount(b, "0121", "2000.00");
  determination::recomputePerson(f.t.session(), f.decl, b);
  EXPECT_FALSE(f.t.db().exists("SELECT 1 FROM TMPF601CONCEP WHERE doc_id_a = ? AND codigo = '0804'", {a.doc_id_a}));
  EXPECT_EQ(f.conceptText(b, "0804"), "180.00");
  EXPECT_EQ(f.summary(b, "salud"), "180.00");
  EXPECT_EQ(f.summary(a, "salud"), "");
  // A trigger makes the summary write fail after the concept rows were written: none stays.
  const auto rows = f.t.db().integer("SELECT count(*) FROM TMPF601CONCEP");
  f.t.db().script("CREATE TRIGGER fail BEFORE UPDATE ON TEMP1_F601 BEGIN SELECT RAISE(ABORT, 'fallo'); END;");
  EXPECT_THROW(f.recompute(), data::DbError);
  EXPECT_EQ(f.t.db().integer("SELECT count(*) FROM TMPF601CONCEP"), rows);
  EXPECT_EQ(f.conceptText(a, "0804"), "");
}

// The persons an import touched are computed, in one batch past a handful; the others are left
// as they are.
TEST(Recompute, ThePersonsGivenOnlyOneByOneOrInABatch) {
  for (int touched : {3, 25}) {
    WorkingFixture f("201206");
    std::vector<PersonKey> given;
    for (int i = 1; i <= touched; ++i) {
      given.push_back(f.person(std::to_string(40000000 + i)));
      f.amount(given.back(), "0121", "1000.00");
    }
    PersonKey other = f.person("49999999");
    f.amount(other, "0121", "2000.00");
    determination::recomputePersons(f.t.session(), f.decl, given);
    for (const auto& p : given) EXPECT_EQ(f.summary(p, "salud"), "90.00") << touched << " " << p.doc_id_a;
    EXPECT_EQ(f.summary(other, "salud"), "") << touched;
    EXPECT_EQ(f.conceptText(other, "0804"), "") << touched;
  }
}

TEST(TotalTributo, SumsTheColumnAndRoundsOnce) {
  WorkingFixture f("201206");
  PersonKey a = f.person("40000001"), b = f.person("40000002");
  WorkerProfile pens;
  pens.category = 2;
  pens.tipo = "24";
  PersonKey c = f.person("40000003", pens);
  auto& db = f.t.db();
  auto set = [&](const PersonKey& p, const char* column, const char* value) {
    db.run(std::string("UPDATE TEMP1_F601 SET ") + column + " = ? WHERE doc_id_a = ? AND cod_cat_tra = ?",
           {value, p.doc_id_a, p.cod_cat_tra});
  };
  set(a, "pens", "10.40");
  set(b, "pens", "10.40");
  set(c, "pens", "99.00");  // pensioners do not count in box 411
  set(a, "salud", "50.00");
  set(c, "salud", "12.49");
  EXPECT_EQ(determination::Total_Tributo(db, "411"), "21");
  EXPECT_EQ(determination::Total_Tributo(db, "419"), "12");
  EXPECT_EQ(determination::Total_Tributo(db, "415"), "0");
  EXPECT_EQ(determination::Total_Tributo(db, "999"), "");
}

}  // namespace
}  // namespace korventa::test
