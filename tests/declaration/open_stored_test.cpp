#include "declaration/decl_fixture.h"
#include "declaration/send.h"

namespace korventa::test {
namespace {

using declaration::DeclarationForm;

// Opening a declaration in preparation or a sent one: its workers and pensioners come into the
// working table in the order their rows were stored, with the registry's data as it is now
// (dates as dd/mm/yyyy, '' when missing or malformed) and the short name of their document
// type; those no longer registered stay out and count as changed.
class OpenStoredTest : public DeclarationTest {
 protected:
  // A person's stored row written again at the end of its table, as a later save of that
  // person alone leaves it.
  void moveToEnd(const std::string& table, const std::string& periodo, int correl) {
    const std::string which = " WHERE periodo = ? AND correl_a = ?";
    auto last = db().integer("SELECT max(rowid) FROM " + table);
    db().run("INSERT INTO " + table + " SELECT * FROM " + table + which, {periodo, correl});
    db().run("DELETE FROM " + table + which + " AND rowid <= ?", {periodo, correl, last});
  }
  // rowid, person, document type (and its storage class) and dates of each working row.
  std::string persons() {
    std::string out;
    for (const auto& r :
         db().rows("SELECT rowid, Correl_a, tip_doc_a, tip_doc, typeof(tip_doc), fec_nac, fec_insc, fec_baja FROM "
                   "TEMP1_F601 ORDER BY rowid")) {
      for (std::size_t i = 0; i < r.size(); ++i) out += (i ? "|" : "") + r.text(i);
      out += "\n";
    }
    return out;
  }
};

TEST_F(OpenStoredTest, PersonsComeInStoredOrderWithTheRegistryOfNow) {
  standardRegistry();
  ASSERT_TRUE(createConsistent("201204"));
  const std::string correl = declaration::enviarDeclaracion(db(), kRuc, "201204").correl;
  ASSERT_TRUE(createConsistent("201205"));
  struct Case {
    const char* name;
    const char* table;
    const char* periodo;
    bool sent;
    const char* changed;  // persons noted as changed after opening
  };
  const Case cases[] = {
      {"in preparation", "F601_TRAB", "201205", false, "3"},
      {"sent", "HF601_TRAB", "201204", true, ""},
  };
  for (const auto& c : cases) {
    const std::string table = c.table;
    db().run("UPDATE " + table + " SET tip_doc_a = 4 WHERE correl_a = 2");
    db().run("UPDATE " + table + " SET tip_doc_a = 99 WHERE correl_a = 4");  // no such document type
    moveToEnd(table, c.periodo, 1);
  }
  db().run("UPDATE ASEGVKRS SET fec_nac = NULL, fec_insc = '2011-01-01', fec_baja = '' WHERE correl_a = 1");
  db().run("UPDATE ASEGVKRS SET fec_nac = '1990-03-15', fec_insc = '15/03/2011', fec_baja = 'xx' WHERE correl_a = 2");
  db().run("UPDATE ASEGVKRS SET fec_nac = '1950-12-31', fec_insc = NULL, fec_baja = '2012-05-31' WHERE correl_a = 4");
  db().run("DELETE FROM ASEG_DET_LAB WHERE correl_a = 3");  // left the registry
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DeclarationForm f(session());
    ASSERT_TRUE(c.sent ? f.openSent(kRuc, c.periodo, correl) : f.openDeclaration(kRuc, c.periodo));
    EXPECT_EQ(persons(),
              "1|2|4|CARNET EXT.|text|15/03/1990|15/03/2011|\n"
              "2|4|99||null|31/12/1950||31/05/2012\n"
              "3|1|1|DNI|text||01/01/2011|\n");
    EXPECT_EQ(db().text("SELECT COALESCE(group_concat(correl_a), '') FROM TMPF601_CAMBIOS"), c.changed);
    f.leave();
  }
}

}  // namespace
}  // namespace korventa::test
