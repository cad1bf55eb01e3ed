// An import that is only saved and closed afterwards keeps the thousands of concept rows it adds
// in memory instead of writing them to the working table: the save must store exactly what it
// stores after an import whose working set stays open, also when something makes it read the
// table (the rows are written first), and the 0807 rows without amounts are left out either way.
#include <stdexcept>
#include <string>
#include <vector>

#include "declaration/decl_fixture.h"
#include "determination/declaration_computation.h"
#include "model/computed_persons.h"
#include "model/person_data.h"

namespace korventa::test {
namespace {

using determination::Afterwards;

class UnwrittenRowsTest : public DeclarationTest {
 protected:
  // 90 workers: with 30 imported concepts each, enough new rows for a bulk store.
  void SetUp() override {
    DeclarationTest::SetUp();
    standardRegistry();
    // A SENATI contributor: 0807 gets its base, and the save drops those left without amounts.
    db().run("UPDATE CONTRVKRS SET Ind_senati = 1 WHERE doc_id_d = ?", {kRuc});
    // Subject to the solidarity tax (0808): its boxes sum the held rows or the table's.
    db().run("INSERT INTO AFECTACION (tip_doc_d, doc_id_d, cod_tributo, valor, tasa) VALUES (6, ?, '050801', 0, 1.7)",
             {kRuc});
    for (long correl = 10; correl < 100; ++correl) {
      std::string doc = "4500" + std::to_string(1000 + correl);
      registry()
          .person(kRuc, correl, 1, 1, doc, "GEN", "GINO", "21", "11", 2)
          .period(kRuc, correl, 1, 1, doc, "21", "2011-01-01", "");
    }
  }

  // The import's rows: 30 concepts a worker, among them 0807 without amounts (the computation may
  // give it a base: the save drops it then) and the solidarity tax 0808.
  model::ImportedConcepts imported(const std::vector<PersonKey>& workers) {
    const char* codes[] = {"0101", "0105", "0106", "0107", "0114", "0115", "0117", "0118", "0121", "0122",
                           "0201", "0301", "0303", "0304", "0305", "0312", "0401", "0405", "0406", "0601",
                           "0605", "0607", "0608", "0616", "0704", "0705", "0804", "0807", "0808", "0907"};
    model::ImportedConcepts rows;
    int n = 0;
    for (const auto& w : workers)
      for (const char* c : codes) {
        std::string amount = std::to_string(100 + n++ % 37) + ".50";
        if (std::string(c) == "0807") amount = n % 2 ? "" : amount;
        rows.rows.push_back({w, c, amount, amount});
      }
    rows.descrip["0121"] = "REMUNERACION O JORNAL BASICO";
    return rows;
  }

  // The workers and the pensioner.
  std::vector<PersonKey> workers() {
    std::vector<PersonKey> out;
    for (const auto& r : db().rows("SELECT tip_doc_a, doc_id_a, Correl_a, cod_cat_tra FROM TEMP1_F601 WHERE "
                                   "cod_cat_tra IN (1, 2) ORDER BY rowid")) {
      PersonKey k;
      k.tip_doc_a = static_cast<int>(r.integer(0));
      k.doc_id_a = r.text(1);
      k.correl_a = r.integer(2);
      k.cod_cat_tra = static_cast<int>(r.integer(3));
      out.push_back(k);
    }
    return out;
  }

  // Every stored row of the declaration with its rowid.
  std::vector<std::string> stored() {
    std::vector<std::string> out;
    const char* remunera =
        "rowid, tip_doc_d, doc_id_d, correl_a, cod_cat_tra, tip_doc_a, doc_id_a, periodo, formulario, cod_concep, "
        "base_calculo, monto, monto_pag, monto_dif, cnumero";
    for (std::string t : {"F601_TRAB", "F601_REMUNERA", "DET", "CAB"})
      for (const auto& r : db().rows("SELECT " + std::string(t == "F601_REMUNERA" ? remunera : "rowid, *") + " FROM " +
                                         t + " WHERE doc_id_d = ?",
                                     {kRuc})) {
        std::string line = t;
        for (std::size_t i = 0; i < r.size(); ++i) line += "|" + r.text(i);
        out.push_back(line);
      }
    return out;
  }

  // A new declaration saved, the import computed with `afterwards` and saved again; `between`
  // runs before the save. Returns the stored rows.
  std::vector<std::string> road(Afterwards afterwards, const char* between = nullptr) {
    declaration::DeclarationForm f(session());
    f.newDeclaration();
    f.CmbRuc_Click(kRuc);
    EXPECT_TRUE(f.acceptPeriod(periodToDisplay("201206")).ok);
    EXPECT_TRUE(f.save().saved);
    auto all = workers();
    EXPECT_EQ(all.size(), 94u);  // every person: the computation then holds every row
    const auto before = db().integer("SELECT count(*) FROM TMPF601CONCEP");
    determination::recomputeImported(session(), f.declaration(), all, imported(all), Progress::none(), afterwards);
    const auto after = db().integer("SELECT count(*) FROM TMPF601CONCEP");
    const auto* held = model::heldComputed(db(), f.declaration());
    EXPECT_TRUE(held);
    if (afterwards == Afterwards::Edited) {
      EXPECT_GT(after - before, 2000);
    } else {
      EXPECT_EQ(after, before) << "the new rows stay in memory";
      EXPECT_GT(held ? held->unwritten : 0u, 2000u);
    }
    if (between) db().script(between);
    f.setModified();
    EXPECT_TRUE(f.save().saved);
    f.leave();
    return stored();
  }
};

TEST_F(UnwrittenRowsTest, TheSaveStoresWhatItStoresAfterAnImportLeftOpen) {
  struct Case {
    const char* name;
    Afterwards afterwards;
    const char* between;  // before the save
  };
  const Case cases[] = {
      {"edited afterwards", Afterwards::Edited, nullptr},
      {"saved and closed", Afterwards::SavedAndClosed, nullptr},
      // A write on the connection: the held rows are no longer trusted, the table is read (the
      // rows kept in memory are written to it first, without the 0807 rows the save drops).
      {"saved and closed, the table read", Afterwards::SavedAndClosed,
       "UPDATE TEMP1_F601 SET Nombre = Nombre WHERE rowid = 1"},
      // The checks take the held rows, the stored rows are copied from the table (a stored
      // table of another layout): written after the save dropped the empty 0807 rows.
      {"saved and closed, a stored table of another layout", Afterwards::SavedAndClosed,
       "ALTER TABLE F601_REMUNERA ADD COLUMN extra TEXT"},
  };
  std::vector<std::string> expected;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    data::Transaction tx(db());
    auto rows = road(c.afterwards, c.between);
    if (expected.empty()) {
      expected = rows;
      EXPECT_GT(expected.size(), 2000u);
      EXPECT_EQ(db().integer("SELECT count(*) FROM F601_REMUNERA WHERE cod_concep = '0807' AND monto = ''"), 0);
      EXPECT_GT(db().integer("SELECT count(*) FROM F601_REMUNERA WHERE cod_concep = '0807'"), 20);
      EXPECT_EQ(db().integer("SELECT count(*) FROM DET WHERE Casilla IN ('410', '450') AND i_valor > 0"), 2);
    } else {
      EXPECT_EQ(rows, expected);
    }
    EXPECT_TRUE(db().exists("SELECT 1 FROM sqlite_temp_master WHERE name = 'IDX_TMPF601CONCEP'"))
        << "the closed working set has its index again";
  }  // rolled back: each case starts from the registry alone
}

model::ConceptRow row(const char* codigo, const char* monto, const char* base = "") {
  model::ConceptRow r;
  r.codigo = codigo;
  r.descrip = std::string("DESCRIPCION ") + codigo;
  r.monto = r.monto_pag = monto;
  r.base_calculo = base;
  return r;
}

std::vector<std::string> table(data::Database& db) {
  std::vector<std::string> out;
  for (const auto& r : db.rows("SELECT rowid, tip_doc_a, doc_id_a, correl_a, cod_cat_tra, codigo, descrip, monto, "
                               "monto_pag, base_calculo FROM TMPF601CONCEP ORDER BY rowid")) {
    std::string line;
    for (std::size_t i = 0; i < r.size(); ++i) line += r.text(i) + "|";
    out.push_back(line);
  }
  return out;
}

// The rows kept in memory are written, when the table must be read, with the rowids and the texts
// the store would have given them, once; those the save dropped stay out; a table that moved on
// meanwhile is refused rather than mixed.
TEST(UnwrittenRows, RowsKeptInMemoryAreWrittenAsTheStoreWouldHave) {
  TestDb t;
  auto& db = t.db();
  model::OpenDeclaration d;
  d.ruc = "20100070970";
  d.periodo = "201206";
  db.script(
      "INSERT INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, cod_cat_tra, codigo, descrip, monto, monto_pag, "
      "base_calculo) VALUES (1, '10000001', 1, 1, '0101', 'BASICO', '50.00', '50.00', '')");
  auto persons = [] {
    std::vector<model::PersonData> p(2);
    p[0].key = {1, 1, "10000001", 1};
    p[1].key = {2, 1, "10000002", 1};
    p[0].concepts = {row("0121", "10.00"), row("0807", "", "300.00"), row("0808", "5.00", "100.00"),
                     row("0809", "")};   // the last declares nothing: never stored
    auto stored = row("0101", "50.00");  // read from the table
    stored.rowid = 1;
    stored.storedMonto = stored.storedMontoPag = "50.00";
    p[0].concepts.insert(p[0].concepts.begin(), stored);
    p[1].concepts = {row("0807", "7.00", "300.00")};
    return p;
  };
  const std::vector<std::string> all = {
      "1|1|10000001|1|1|0101|BASICO|50.00|50.00||",
      "2|1|10000001|1|1|0121|DESCRIPCION 0121|10.00|10.00||",
      "3|1|10000001|1|1|0807|DESCRIPCION 0807|||300.00|",
      "4|1|10000001|1|1|0808|DESCRIPCION 0808|5.00|5.00|100.00|",
      "5|1|10000002|2|1|0807|DESCRIPCION 0807|7.00|7.00|300.00|",
  };
  struct Case {
    const char* name;
    bool dropped0807;
    const char* meanwhile;  // written to the table before the rows are
    bool refused;
  };
  const Case cases[] = {
      {"as computed", false, nullptr, false},
      {"after the save dropped the empty 0807 rows", true, nullptr, false},
      {"a row added meanwhile", false,
       "INSERT INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, cod_cat_tra, codigo) VALUES (1, '9', 9, 1, '0101')",
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    data::Transaction tx(db);
    auto p = persons();
    model::UnwrittenRows unwritten;
    model::storePersons(db, p, {}, &unwritten);
    EXPECT_EQ(table(db).size(), 1u) << "nothing written by the store";
    model::holdComputed(db, d, model::takeStored(p, 0, true, &unwritten));
    ASSERT_TRUE(model::heldComputed(db, d)) << "the held rows count as the table's";
    if (c.dropped0807) model::dropEmpty0807(d);
    if (c.meanwhile) db.script(c.meanwhile);
    if (c.refused) {
      EXPECT_THROW(model::writeHeldRows(db, d), std::logic_error);
      continue;
    }
    model::writeHeldRows(db, d);
    model::writeHeldRows(db, d);  // once only
    auto expected = all;
    if (c.dropped0807) expected.erase(expected.begin() + 2);
    EXPECT_EQ(table(db), expected);
  }
  // Rows of a person not computed could not be held: the store refuses to leave them unwritten.
  auto p = persons();
  model::ImportedConcepts stranger;
  stranger.rows.push_back({PersonKey{9, 1, "49999999", 1}, "0121", "5.00", "5.00"});
  model::addImportedConcepts(p, stranger);
  model::UnwrittenRows unwritten;
  EXPECT_THROW(model::storePersons(db, p, stranger, &unwritten), std::logic_error);
}

}  // namespace
}  // namespace korventa::test
