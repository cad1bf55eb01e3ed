#include <algorithm>

#include "declaration/decl_fixture.h"
#include "declaration/working_set.h"
#include "model/person_data.h"
#include "model/person_handoff.h"

namespace korventa::test {
namespace {

// The first field in which two persons differ, "" when none does.
std::string difference(const model::PersonData& a, const model::PersonData& b) {
  const std::pair<const char*, bool> same[] = {
      {"rowid", a.rowid == b.rowid},
      {"key", a.key == b.key},
      {"tipo", a.tipo == b.tipo},
      {"pension", a.pension == b.pension},
      {"sctr", a.sctr == b.sctr},
      {"situac", a.situac == b.situac},
      {"ind_domicilio", a.ind_domicilio == b.ind_domicilio},
      {"ind_quinta", a.ind_quinta == b.ind_quinta},
      {"dias_lab", a.dias_lab == b.dias_lab},
      {"dias_no_lab", a.dias_no_lab == b.dias_no_lab},
      {"dias_sub", a.dias_sub == b.dias_sub},
      {"ipss_vida", a.ipss_vida == b.ipss_vida},
      {"aseg_pens", a.aseg_pens == b.aseg_pens},
      {"suspensionDays", a.suspensionDays == b.suspensionDays},
      {"sctrRate", a.sctrRate == b.sctrRate},
      {"otherIncome", a.otherIncome == b.otherIncome},
      {"sctrPension", a.sctrPension == b.sctrPension},
      {"concepts", std::equal(a.concepts.begin(), a.concepts.end(), b.concepts.begin(), b.concepts.end(),
                              [](const model::ConceptRow& x, const model::ConceptRow& y) {
                                return x.rowid == y.rowid && x.codigo == y.codigo && x.monto == y.monto &&
                                       x.monto_pag == y.monto_pag && x.base_calculo == y.base_calculo;
                              })},
      {"summary", a.summary == b.summary},
      {"storedSummary", a.storedSummary == b.storedSummary},
  };
  for (const auto& [field, equal] : same)
    if (!equal) return field;
  return {};
}

// What the handoff gives against what the computation would read back after the same load:
// "" when it gave up, else the persons' differences (none when they are equal).
struct Outcome {
  bool handed = false;
  std::string differences;
  std::size_t persons = 0;
};

Outcome compareAfterLoad(Session& session, const std::string& ruc, const std::string& periodo,
                         const char* afterLoad = nullptr) {
  model::OpenDeclaration d;
  d.ruc = ruc;
  d.periodo = periodo;
  model::PersonHandoff handoff;
  declaration::WorkingSet(session, d).loadNew(Progress::none(), &handoff);
  if (afterLoad) session.database().script(afterLoad);
  auto handed = handoff.take(session.database());
  auto read = model::loadPersons(session.database(), ruc);
  Outcome o;
  o.persons = read.size();
  if (!handed) return o;
  o.handed = true;
  if (handed->size() != read.size()) o.differences = "count " + std::to_string(handed->size());
  for (std::size_t i = 0; i < std::min(handed->size(), read.size()); ++i) {
    std::string d = difference((*handed)[i], read[i]);
    if (!d.empty()) o.differences += " #" + std::to_string(i) + " " + (*handed)[i].key.doc_id_a + ": " + d;
  }
  return o;
}

TEST(PersonHandoffDemo, PersonsHandedOverAreThoseReadBack) {
  TestDb t(true);
  for (const char* ruc : {"20131456787", "20503987610"}) {
    auto o = compareAfterLoad(t.session(), ruc, "201206");
    EXPECT_TRUE(o.handed) << ruc;
    EXPECT_GT(o.persons, 10u) << ruc;
    EXPECT_EQ(o.differences, "") << ruc;
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
  };
  generatedRegistry();
  for (const auto& c : cases) {
    data::Transaction tx(db());
    db().run(c.update);
    auto o = compareAfterLoad(session(), kRuc, "201206", c.afterLoad);
    EXPECT_EQ(o.handed, c.handed) << c.name;
    EXPECT_EQ(o.persons, 34u) << c.name;
    EXPECT_EQ(o.differences, "") << c.name;
  }  // rolled back: each case starts from the generated registry
}

// Persons written by something else in between are not handed over as if they were all.
TEST_F(PersonHandoffTest, RowsWrittenOtherwiseAreReadBack) {
  generatedRegistry();
  model::OpenDeclaration d;
  d.ruc = kRuc;
  d.periodo = "201206";
  model::PersonHandoff handoff;
  declaration::WorkingSet(session(), d).loadNew(Progress::none(), &handoff);
  db().run("INSERT INTO TEMP1_F601 (Correl_a, cod_cat_tra, tip_doc_a, doc_id_a) VALUES (99, 1, 1, '99')");
  EXPECT_FALSE(handoff.take(db()));
}

}  // namespace
}  // namespace korventa::test
