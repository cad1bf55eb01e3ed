// What the command line reads of a declaration through the core: existence of a stored one or a
// sending, its listings, and the persons of the open working set.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/text.h"
#include "declaration/declaration_queries.h"
#include "declaration/declaration_form.h"
#include "decl_fixture.h"

namespace korventa::test {
namespace {

class DeclarationQueries : public DeclarationTest {
 protected:
  void SetUp() override {
    DeclarationTest::SetUp();
    standardRegistry();
    ASSERT_TRUE(createAndSave("201205"));
  }
};

TEST_F(DeclarationQueries, ExistenceByKey) {
  struct Case {
    const char* name;
    std::string ruc, periodo, correl;
    bool exists;
  } cases[] = {
      {"saved in preparation", kRuc, "201205", "", true},
      {"another period", kRuc, "201206", "", false},
      {"another declarant", kOtherRuc, "201205", "", false},
      {"not sent yet", kRuc, "201205", "1", false},
      {"a quote is data, not SQL", kRuc + "' OR '1'='1", "201205", "", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(declaration::declarationExists(db(), c.ruc, c.periodo, c.correl), c.exists) << c.name;
}

TEST_F(DeclarationQueries, ListingsOfAStoredDeclaration) {
  auto header = declaration::storedHeader(db(), kRuc, "201205");
  ASSERT_EQ(header.rows.size(), 1u);
  auto doc = std::find(header.columns.begin(), header.columns.end(), "doc_id_d") - header.columns.begin();
  ASSERT_LT(static_cast<std::size_t>(doc), header.columns.size());
  EXPECT_EQ(header.rows[0][static_cast<std::size_t>(doc)], kRuc);

  auto persons = declaration::storedPersonRows(db(), kRuc, "201205");
  EXPECT_EQ(static_cast<long long>(persons.rows.size()),
            count("SELECT count(*) FROM F601_TRAB WHERE doc_id_d = ? AND periodo = '201205'", {kRuc}));
  EXPECT_FALSE(persons.rows.empty());

  auto boxes = declaration::storedBoxRows(db(), kRuc, "201205");
  EXPECT_EQ(boxes.columns, (std::vector<std::string>{"Casilla", "i_valor", "idcasilla", "cNumero"}));
  auto values = declaration::storedBoxValues(db(), kRuc, "201205");
  EXPECT_EQ(values.size(), boxes.rows.size());
  for (const auto& row : boxes.rows) EXPECT_EQ(values.count(row[0]), 1u) << row[0];

  // An empty listing still names its columns (the header line of the command line).
  auto none = declaration::storedBoxRows(db(), kRuc, "201206");
  EXPECT_TRUE(none.rows.empty());
  EXPECT_EQ(none.columns.size(), 4u);
  EXPECT_TRUE(declaration::storedHeader(db(), kRuc, "201205", "7").rows.empty()) << "no such sending";
}

TEST_F(DeclarationQueries, PersonsOfTheOpenWorkingSet) {
  declaration::DeclarationForm f(session(), false);
  ASSERT_TRUE(f.openDeclaration(kRuc, "201205"));
  // Three workers and one pensioner; the third party and the trainee are not counted.
  EXPECT_EQ(declaration::declaredPersonCount(db()), 4);
  struct Case {
    const char* name;
    std::string doc;
    bool workersOnly;
    int category;  // 0: not found
  } cases[] = {
      {"worker", "40000001", true, kWorker},        {"worker, padded", " 40000002 ", false, kWorker},
      {"pensioner", "40000004", false, kPensioner}, {"pensioner when only workers count", "40000004", true, 0},
      {"third party", "40000005", false, 0},        {"unknown", "49999999", false, 0},
  };
  for (const auto& c : cases) {
    auto p = declaration::findDeclaredPerson(db(), 1, c.doc, c.workersOnly);
    EXPECT_EQ(p ? p->cod_cat_tra : 0, c.category) << c.name;
    if (p) {
      EXPECT_EQ(p->doc_id_a, text::trim(c.doc)) << c.name;
    }
  }
  f.closeWithoutSaving();
}

}  // namespace
}  // namespace korventa::test
