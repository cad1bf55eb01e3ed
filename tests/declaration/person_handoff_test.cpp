#include "declaration/decl_fixture.h"
#include "declaration/working_set.h"
#include "model/person_data.h"
#include "model/person_handoff.h"

namespace korventa::test {
namespace {

// Every field of a person the computation reads, as one text.
std::string fields(const model::PersonData& p) {
  auto money = [](const std::optional<Money>& m) { return m ? std::to_string(m->raw()) : std::string("-"); };
  std::string s = std::to_string(p.rowid) + "|" + std::to_string(p.key.tip_doc_a) + "|" + p.key.doc_id_a + "|" +
                  std::to_string(p.key.correl_a) + "|" + std::to_string(p.key.cod_cat_tra) + "|" +
                  std::to_string(p.tipo) + "|" + std::to_string(p.pension) + "|" + std::to_string(p.sctr) + "|" +
                  p.situac + "|" + p.ind_domicilio + "|" + p.ind_quinta + "|" + p.dias_lab + "|" + p.dias_no_lab + "|" +
                  p.dias_sub + "|" + p.ipss_vida + "|" + p.aseg_pens + "|" + money(p.suspensionDays) + "|" +
                  money(p.sctrRate) + "|" + money(p.otherIncome) + "|" + (p.sctrPension ? "P" : "-");
  for (const auto& r : p.concepts)
    s += "|" + std::to_string(r.rowid) + ":" + r.codigo + "=" + r.monto + "/" + r.monto_pag + "/" + r.base_calculo;
  for (std::size_t c = 0; c < p.summary.size(); ++c) s += "|" + p.summary[c] + "/" + p.storedSummary[c];
  return s;
}

// The persons the handoff gives after a new declaration's load (nothing when it gave up) and
// those read back, as texts; `afterLoad` is written to the working tables in between.
struct Outcome {
  std::optional<std::vector<std::string>> handed;
  std::vector<std::string> read;
};

Outcome afterLoad(Session& session, const std::string& ruc, const char* afterLoad = nullptr) {
  model::OpenDeclaration d;
  d.ruc = ruc;
  d.periodo = "201206";
  model::PersonHandoff handoff;
  declaration::WorkingSet(session, d).loadNew(Progress::none(), &handoff);
  if (afterLoad) session.database().script(afterLoad);
  Outcome o;
  if (auto handed = handoff.take(session.database())) {
    o.handed.emplace();
    for (const auto& p : *handed) o.handed->push_back(fields(p));
  }
  for (const auto& p : model::loadPersons(session.database(), ruc)) o.read.push_back(fields(p));
  return o;
}

TEST(PersonHandoffDemo, PersonsHandedOverAreThoseReadBack) {
  TestDb t(true);
  for (const char* ruc : {"20131456787", "20503987610"}) {
    auto o = afterLoad(t.session(), ruc);
    ASSERT_TRUE(o.handed) << ruc;
    EXPECT_GT(o.read.size(), 10u) << ruc;
    EXPECT_EQ(*o.handed, o.read) << ruc;
  }
}

class PersonHandoffTest : public DeclarationTest {
 protected:
  // Workers whose documents and document types sort otherwise as numbers than as texts.
  void generatedRegistry() {
    standardRegistry();
    const char* docs[] = {"9", "10", "10 ", " 10", "A1", "a1", "", "Ñ1", "0099", "40000001"};
    long correl = 20;
    for (int tipDoc : {7, 1, 4})
      for (const char* doc : docs) {
        registry()
            .person(kRuc, correl, 1, tipDoc, doc, "GEN", "GINO", "21", "11", 2)
            .period(kRuc, correl, 1, tipDoc, doc, "21", "2011-01-01", "");
        ++correl;
      }
  }
};

// Odd registry values: those whose stored form the handoff can tell are handed over as read
// back; the others make it give up, and the persons are read.
TEST_F(PersonHandoffTest, PersonsHandedOverAreThoseReadBack) {
  struct Case {
    const char* name;
    const char* update;  // of the registry, for worker 21
    bool handed;
    const char* afterLoad = nullptr;  // written to the working tables before the handoff
  };
  const Case cases[] = {
      {"as generated", "UPDATE ASEG_DET_LAB SET sctr = sctr WHERE 0", true},
      {"situation with blanks", "UPDATE ASEG_DET_LAB SET situac = ' 11 ', ind_quinta = ' 1 ' WHERE correl_a = 21",
       true},
      {"type with blanks", "UPDATE ASEG_DET_LAB SET tipo = ' 21' WHERE correl_a = 21", true},
      {"null texts", "UPDATE ASEG_DET_LAB SET situac = NULL, tipo = NULL, aportdes = NULL WHERE correl_a = 21", true},
      {"null integers", "UPDATE ASEG_DET_LAB SET pension = NULL, sctr = NULL WHERE correl_a = 21", true},
      {"numbers in text columns", "UPDATE ASEG_DET_LAB SET aport_trabpens = 7, aportdes = 2.5 WHERE correl_a = 21",
       true},
      {"home and life insurance", "UPDATE ASEGVKRS SET ind_domicilio = ' 2', ipss_vida = 1.5 WHERE correl_a = 21",
       true},
      {"SCTR pension as text", "UPDATE ASEG_DET_LAB SET sctr_pension = 'S' WHERE correl_a = 21", true},
      {"SCTR pension as real", "UPDATE ASEG_DET_LAB SET sctr_pension = 1.5 WHERE correl_a = 21", true},
      {"SCTR pension", "UPDATE ASEG_DET_LAB SET sctr_pension = '1' WHERE correl_a = 21", true},
      {"text in an integer column", "UPDATE ASEG_DET_LAB SET pension = 'X' WHERE correl_a = 21", false},
      {"real in an integer column", "UPDATE ASEG_DET_LAB SET sctr = 1.5 WHERE correl_a = 21", false},
      {"blob, written as its text", "UPDATE ASEG_DET_LAB SET ind_quinta = X'31', tipo = X'3231' WHERE correl_a = 21",
       true},
      {"blob in an integer column", "UPDATE ASEG_DET_LAB SET sctr = X'31' WHERE correl_a = 21", false},
      {"null document", "UPDATE ASEG_DET_LAB SET doc_id_a = NULL WHERE correl_a = 21", false},
      {"null document type", "UPDATE ASEG_DET_LAB SET tip_doc_a = NULL WHERE correl_a = 21", false},
      {"document type beyond an int", "UPDATE ASEG_DET_LAB SET tip_doc_a = 4294967297 WHERE correl_a = 21", false},
      {"concept and side rows written after the load", "UPDATE ASEG_DET_LAB SET sctr = sctr WHERE 0", true,
       "INSERT INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, cod_cat_tra, codigo, monto) VALUES (7, '10', 21, 1, "
       "'0121', '100.00'); INSERT INTO TMPF601_605 (tip_doc_a, doc_id_a, correl_a, monto) VALUES (7, '10', 21, "
       "'50.00'); INSERT INTO TMP_F601_SCTR_OTRO (tip_doc_a, doc_id_a, correl_a, tasa) VALUES (7, '10', 21, '1.2')"},
      {"a person row written after the load", "UPDATE ASEG_DET_LAB SET sctr = sctr WHERE 0", false,
       "INSERT INTO TEMP1_F601 (Correl_a, cod_cat_tra, tip_doc_a, doc_id_a) VALUES (99, 1, 1, '99')"},
  };
  generatedRegistry();
  for (const auto& c : cases) {
    data::Transaction tx(db());
    db().run(c.update);
    auto o = afterLoad(session(), kRuc, c.afterLoad);
    EXPECT_EQ(o.handed.has_value(), c.handed) << c.name;
    EXPECT_GE(o.read.size(), 34u) << c.name;
    if (o.handed) {
      EXPECT_EQ(*o.handed, o.read) << c.name;
    }
  }  // rolled back: each case starts from the generated registry
}

}  // namespace
}  // namespace korventa::test
