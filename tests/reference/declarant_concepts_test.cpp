#include <functional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/numero_control.h"
#include "reference/declarant_concepts.h"
#include "reference/tax_affectation.h"
#include "support/test_db.h"

namespace korventa {
namespace {

using reference::DeclarantConcepts;
using reference::TaxAffectation;
using Codes = std::set<std::string>;

constexpr const char* kPrivate = "20100000001";     // private regime
constexpr const char* kPublic = "20100000002";      // public administration, public regime
constexpr const char* kPublicPriv = "20100000003";  // public administration under the private regime
constexpr const char* kMixed = "20100000004";       // mixed regime
constexpr const char* kOther = "20100000005";       // another declarant, never touched

class ConceptsTest : public ::testing::Test {
 protected:
  test::TestDb t;
  data::Database& db = t.db();

  void SetUp() override {
    test::RegistryBuilder{db}
        .declarant(kPrivate, "EMPRESA PRIVADA S.A.", 1, 0)
        .declarant(kPublic, "MUNICIPALIDAD DE PRUEBA", 2, 1)
        .declarant(kPublicPriv, "EMPRESA MUNICIPAL S.A.", 1, 1)
        .declarant(kMixed, "EMPRESA MIXTA S.A.", 3, 0)
        .declarant(kOther, "OTRA EMPRESA S.A.", 1, 0);
  }

  void conAfec(const std::string& ruc, const Codes& codes) {
    for (const auto& c : codes)
      db.run("INSERT INTO CON_AFEC (tip_doc_d, doc_id_d, cod_concepto, ind_origen) VALUES (6, ?, ?, 'G')", {ruc, c});
  }
  Codes conAfecOf(const std::string& ruc) {
    Codes out;
    for (const auto& r : db.rows("SELECT cod_concepto FROM CON_AFEC WHERE tip_doc_d = 6 AND doc_id_d = ?", {ruc}))
      out.insert(r.text(0));
    return out;
  }
  static Codes selected(const std::vector<reference::ConceptItem>& rows) {
    Codes out;
    for (const auto& r : rows)
      if (r.selected) out.insert(r.codigo);
    return out;
  }
  static Codes codes(const std::vector<reference::ConceptItem>& rows) {
    Codes out;
    for (const auto& r : rows) out.insert(r.codigo);
    return out;
  }
  void cab(const std::string& ruc, const std::string& periodo, int estado) {
    db.run("INSERT INTO CAB (tip_doc_d, doc_id_d, periodo, Formulario, estado, ind_ref) VALUES (6, ?, ?, '0601', ?, 0)",
           {ruc, periodo, estado});
  }
  // estado/ind_ref of the declarant's declarations by period, e.g. "9/1,1/1".
  std::string states(const std::string& ruc) {
    return db.text(
        "SELECT group_concat(estado || '/' || ind_ref) FROM (SELECT * FROM CAB WHERE doc_id_d = ? "
        "ORDER BY periodo)",
        {ruc});
  }
  // The maintenance with a declarant chosen.
  DeclarantConcepts chosen(const std::string& ruc) {
    DeclarantConcepts dc(t.session());
    EXPECT_TRUE(dc.chooseDeclarant(ruc)) << ruc;
    return dc;
  }
  void clear(std::initializer_list<const char*> tables) {
    for (const char* table : tables) db.run(std::string("DELETE FROM ") + table);
  }
  // Whole content of a table, for before/after comparisons.
  std::string dump(const std::string& table) {
    std::string s;
    for (const auto& r : db.rows("SELECT * FROM " + table + " ORDER BY 1, 2, 3, 4")) {
      for (std::size_t i = 0; i < r.size(); ++i) s += r.text(i) + "|";
      s += "\n";
    }
    return s;
  }
};

// ---------------------------------------------------------------------------------------------
// Choosing a declarant: defaults by regime, saved selection, public-administration filter.

TEST_F(ConceptsTest, DeclarantWithoutSelectionSeesTheDefaultsOfItsRegime) {
  // The catalogue offers 0121; the Law 29351 concepts are offered here only by the private regime.
  db.run("UPDATE CONCEPTOS_REM SET indica = '0' WHERE Codigo IN ('0312', '0313', '0406', '0407')");
  struct Case {
    const char* name;
    const char* ruc;
    Codes marked, unmarked, conAfecAfter;
  };
  const std::vector<Case> cases{
      {"private regime", kPrivate, {"0121", "0312", "0313", "0406", "0407"}, {"0122", "2041"}, {}},
      {"public regime", kPublic, {"0121", "2041"}, {"0122", "0312", "0406"}, {"2041"}},
      {"mixed regime", kMixed, {"0121"}, {"0312", "0313", "0406", "0407", "2041"}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto dc = chosen(c.ruc);
    EXPECT_TRUE(dc.usesDefaults());
    Codes sel = selected(dc.allRows());
    for (const auto& code : c.marked) EXPECT_TRUE(sel.count(code)) << code;
    for (const auto& code : c.unmarked) EXPECT_FALSE(sel.count(code)) << code;
    EXPECT_EQ(conAfecOf(c.ruc), c.conAfecAfter);
    EXPECT_TRUE(dc.rows().empty()) << "no group is shown after choosing a declarant";
  }
}

TEST_F(ConceptsTest, SavedSelectionReplacesTheDefaultsForeignDeclarantRefused) {
  conAfec(kPrivate, {"0122", "0701"});
  auto dc = chosen(kPrivate);
  EXPECT_FALSE(dc.usesDefaults());
  EXPECT_EQ(selected(dc.allRows()), (Codes{"0122", "0701"}));

  // Saving the defaults of a new declarant turns them into its selection.
  auto fresh = chosen(kMixed);
  Codes defaults = selected(fresh.allRows());
  ASSERT_TRUE(fresh.save());
  EXPECT_EQ(conAfecOf(kMixed), defaults);
  db.run("UPDATE CONCEPTOS_REM SET indica = '1' WHERE Codigo = '0122'");  // a later catalogue default
  auto again = chosen(kMixed);
  EXPECT_FALSE(again.usesDefaults());
  EXPECT_EQ(selected(again.allRows()), defaults);

  // A declarant of another user or not registered is refused; nothing chosen, nothing is saved.
  test::RegistryBuilder{db}.declarant("20100000009", "AJENA S.A.", 1, 0);
  db.run("UPDATE CONTRVKRS SET Usuario = 'OTRO' WHERE doc_id_d = '20100000009'");
  DeclarantConcepts foreign(t.session());
  EXPECT_FALSE(foreign.chooseDeclarant("20100000009"));
  EXPECT_FALSE(foreign.chooseDeclarant("20999999999"));
  EXPECT_FALSE(foreign.hasDeclarant());
  EXPECT_EQ(t.messenger().last(), "El declarante 20999999999 no está registrado o no corresponde al usuario");
  EXPECT_FALSE(foreign.save());
  EXPECT_EQ(t.messenger().last(), "Debe seleccionar un Contribuyente.");
}

TEST_F(ConceptsTest, PublicSectorConceptsByAdministrationAndRegime) {
  struct Case {
    const char* name;
    const char* ruc;
    Codes conAfecAfter;  // from 0121, 2001, 2039
    Codes group2000;     // concepts above 2000 offered
  };
  Codes all2000;
  for (const auto& r : db.rows("SELECT Codigo FROM CONCEPTOS_REM WHERE CAST(Codigo AS INTEGER) > 2000"))
    all2000.insert(r.text(0));
  const std::vector<Case> cases{
      {"public administration, private regime", kPublicPriv, {"0121", "2039"}, {"2039"}},
      {"private company, private regime", kPrivate, {"0121"}, all2000},
      {"public administration, public regime", kPublic, {"0121", "2001", "2039", "2041"}, all2000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    conAfec(c.ruc, {"0121", "2001", "2039"});
    auto dc = chosen(c.ruc);
    EXPECT_EQ(conAfecOf(c.ruc), c.conAfecAfter);
    ASSERT_TRUE(dc.chooseGroup("2000"));
    EXPECT_EQ(codes(dc.rows()), c.group2000);
  }
  // A concept that is not offered cannot be selected.
  auto dc = chosen(kPublicPriv);
  t.messenger().clear();
  EXPECT_FALSE(dc.replaceSelection({"0121", "2001"}));
  EXPECT_EQ(t.messenger().last(), "El concepto 2001 no está disponible para el declarante");
  EXPECT_EQ(selected(dc.allRows()), (Codes{"0121", "2039"})) << "a refused selection changes nothing";
}

// ---------------------------------------------------------------------------------------------
// Groups and descriptions (select all / clear all of a group: the form's test).

TEST_F(ConceptsTest, GroupsShowTheirConceptsWithoutHeadings) {
  auto dc = chosen(kPrivate);
  ASSERT_TRUE(dc.chooseGroup("1000"));
  std::string listed;
  for (const auto& r : dc.rows()) listed += r.codigo + " ";
  EXPECT_EQ(listed,
            "1001 1002 1003 1004 1005 1006 1007 1008 1009 1010 1011 1012 1013 1014 1015 1016 1017 1018 1019 1020 ");
  EXPECT_FALSE(dc.chooseGroup("0121")) << "only headings are groups";
}

TEST_F(ConceptsTest, OwnConceptDescriptions) {
  db.run(
      "INSERT INTO conceptos_remu (tip_doc_d, doc_id_d, cod_concepto, desc_concepto, ind_activo, ind_origen) "
      "VALUES (6, ?, '1001', 'BONO POR METAS', 1, 'P')",
      {kPrivate});
  auto dc = chosen(kPrivate);
  ASSERT_TRUE(dc.chooseGroup("1000"));
  EXPECT_EQ(dc.rows().at(0).descripcion, "BONO POR METAS");
  EXPECT_EQ(dc.rows().at(1).descripcion, "OTROS CONCEPTOS 02");

  struct Case {
    const char* name;
    const char* code;
    const char* text;
    bool accepted;
    const char* message;
  };
  const std::vector<Case> cases{
      {"empty", "1001", "", false, DeclarantConcepts::kEmptyDescription},
      {"catalogue concept", "0121", "SUELDO", false,
       "Solo se puede cambiar la descripción de los conceptos propios (1001 a 1999)"},
      {"own concept", "1002", "  MOVILIDAD DE CAMPO ", true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    t.messenger().clear();
    EXPECT_EQ(dc.setDescription(c.code, c.text), c.accepted);
    if (!c.accepted) {
      ASSERT_EQ(t.messenger().entries().size(), 1u);
      EXPECT_EQ(t.messenger().last(), c.message);
      EXPECT_EQ(t.messenger().entries()[0].icon, MsgIcon::Critical);
    }
  }
  EXPECT_EQ(dc.rows().at(0).descripcion, "BONO POR METAS") << "a refused edit keeps the description";
  ASSERT_TRUE(dc.setSelected("1002", true));
  ASSERT_TRUE(dc.save());
  EXPECT_EQ(
      db.text(
          "SELECT desc_concepto || '/' || ind_activo FROM conceptos_remu WHERE doc_id_d = ? AND cod_concepto = '1002'",
          {kPrivate}),
      "MOVILIDAD DE CAMPO/1");
  EXPECT_EQ(db.text("SELECT ind_activo FROM conceptos_remu WHERE doc_id_d = ? AND cod_concepto = '1001'", {kPrivate}),
            "0")
      << "an own concept not selected stays described but inactive";
  EXPECT_EQ(db.integer("SELECT count(*) FROM conceptos_remu WHERE doc_id_d = ?", {kPrivate}), 2)
      << "untouched own concepts get no row";
}

// ---------------------------------------------------------------------------------------------
// Saving.

TEST_F(ConceptsTest, SaveWritesTheSelectionAndOwnConceptAffectations) {
  db.run("INSERT INTO TRIBUT_AFECTA (tip_doc_d, doc_id_d, codigo, afectacion) VALUES (6, ?, '1001', '1111111111001')",
         {kPrivate});
  conAfec(kPrivate, {"0105"});
  auto dc = chosen(kPrivate);
  ASSERT_TRUE(dc.replaceSelection({"0121", "121", "1001", "1002"}));  // "121" is 0121 as typed
  t.messenger().clear();
  ASSERT_TRUE(dc.save());
  ASSERT_EQ(t.messenger().entries().size(), 1u);
  EXPECT_EQ(t.messenger().last(), "Se grabaron satisfactoriamente los conceptos");
  EXPECT_EQ(t.messenger().entries()[0].icon, MsgIcon::Information);
  EXPECT_EQ(dump("CON_AFEC"),
            "6|" + std::string(kPrivate) + "|0121|G|\n6|" + kPrivate + "|1001|P|\n6|" + kPrivate + "|1002|P|\n");
  // Own concepts carry their affectation (all zeros when they have none) and the row control number.
  EXPECT_EQ(dump("CON_ADIC"), "6|" + std::string(kPrivate) + "|1001|1111111111001|008436|\n6|" + kPrivate +
                                  "|1002|0000000000000|009368|\n");

  // The demo declarant saved unchanged keeps its rows and their control numbers.
  test::TestDb demo(true);
  demo.session().user = "CONTADOR";
  std::string before = demo.db().text("SELECT group_concat(cod_concepto || des_concepto || cNumero) FROM CON_ADIC");
  DeclarantConcepts unchanged(demo.session());
  ASSERT_TRUE(unchanged.chooseDeclarant("20503987610"));
  ASSERT_TRUE(unchanged.save());
  EXPECT_FALSE(unchanged.lastSaveMarked());
  EXPECT_EQ(demo.db().text("SELECT cNumero FROM CON_ADIC WHERE cod_concepto = '1001'"), "617436");
  EXPECT_EQ(demo.db().text("SELECT group_concat(cod_concepto || des_concepto || cNumero) FROM CON_ADIC"), before);
}

TEST_F(ConceptsTest, DeclarationsAreMarkedOnlyWhenTheSelectionChanged) {
  struct Case {
    const char* name;
    std::function<void(DeclarantConcepts&)> edit;
    bool marks;
  };
  const std::vector<Case> cases{
      {"saved again unchanged", [](DeclarantConcepts&) {}, false},
      {"description of an own concept", [](DeclarantConcepts& d) { d.setDescription("1001", "PREMIO"); }, false},
      {"concept added", [](DeclarantConcepts& d) { d.setSelected("0122", true); }, true},
      {"concept removed", [](DeclarantConcepts& d) { d.setSelected("0701", false); }, true},
      {"own concept added", [](DeclarantConcepts& d) { d.setSelected("1003", true); }, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    clear({"CAB", "CON_AFEC", "CON_ADIC"});
    conAfec(kPrivate, {"0121", "0701"});
    cab(kPrivate, "201201", 0);
    cab(kPrivate, "201202", 1);
    cab(kPrivate, "201203", 9);
    cab(kOther, "201201", 0);
    auto dc = chosen(kPrivate);
    c.edit(dc);
    ASSERT_TRUE(dc.save());
    EXPECT_EQ(dc.lastSaveMarked(), c.marks);
    // A sent declaration (state 1) keeps its state.
    EXPECT_EQ(states(kPrivate), c.marks ? "9/1,1/1,9/1" : "0/0,1/0,9/0");
    EXPECT_EQ(states(kOther), "0/0");
  }
}

// ---------------------------------------------------------------------------------------------
// Affectation of own concepts.

TEST_F(ConceptsTest, AffectationStringsAcceptedAndDeclarationsMarkedOnlyWhenTheyChanged) {
  struct Case {
    const char* name;
    const char* stored;  // nullptr: no TRIBUT_AFECTA row
    const char* typed;
    bool marks;
  };
  const std::vector<Case> cases{
      {"same string", "1111111111001", "1111111111001", false},
      {"string changed", "1111111111001", "1000000000000", true},
      {"new row with every tax NO", nullptr, "0000000000000", false},
      {"new row with a tax SI", nullptr, "0000000001000", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    clear({"CAB", "TRIBUT_AFECTA", "CON_ADIC"});
    if (c.stored)
      db.run("INSERT INTO TRIBUT_AFECTA (tip_doc_d, doc_id_d, codigo, afectacion) VALUES (6, ?, '1001', ?)",
             {kPrivate, c.stored});
    cab(kPrivate, "201201", 0);
    cab(kPrivate, "201202", 1);
    TaxAffectation a(t.session());
    ASSERT_TRUE(a.load(kPrivate, "1001"));
    ASSERT_TRUE(a.set(c.typed));
    ASSERT_TRUE(a.accept());
    EXPECT_EQ(a.lastAcceptMarked(), c.marks);
    EXPECT_EQ(states(kPrivate), c.marks ? "9/1,1/1" : "0/0,1/0");
    EXPECT_EQ(db.text("SELECT afectacion FROM TRIBUT_AFECTA WHERE doc_id_d = ? AND codigo = '1001'", {kPrivate}),
              c.typed);
    auto adic =
        db.row("SELECT des_concepto, cNumero FROM CON_ADIC WHERE doc_id_d = ? AND cod_concepto = '1001'", {kPrivate});
    ASSERT_TRUE(adic);
    EXPECT_EQ(adic->text(0), c.typed);
    EXPECT_EQ(adic->text(1), data::NumeroControlTexts({"6", kPrivate, "1001", c.typed, ""}, 3));
  }

  // An own concept without a row shows every tax NO; only own concepts open, and only a string of
  // thirteen 0/1 is taken (the captions and flipping them: ConceptFormsTest, the FrmAfecta dialog).
  TaxAffectation none(t.session());
  ASSERT_TRUE(none.load(kPrivate, "1002"));
  EXPECT_EQ(none.afectacion(), "0000000000000");
  EXPECT_EQ(none.descripcion(), "OTROS CONCEPTOS 02");
  for (const char* code : {"0121", "1000", "2001", "1021x"}) {
    SCOPED_TRACE(code);
    TaxAffectation refused(t.session());
    EXPECT_FALSE(refused.load(kPrivate, code));
    EXPECT_FALSE(refused.loaded());
  }
  TaxAffectation bad(t.session());
  ASSERT_TRUE(bad.load(kPrivate, "1001"));
  EXPECT_FALSE(bad.set("10100"));
  EXPECT_FALSE(bad.set("101000000000X"));
  EXPECT_EQ(bad.afectacion(), "0000000001000");  // as the last case left it
}

// ---------------------------------------------------------------------------------------------
// A failure in the middle leaves everything as it was.

TEST_F(ConceptsTest, FailedSaveOrAcceptLeavesTheRegistryAsBefore) {
  struct Case {
    const char* name;
    const char* trigger;
    bool affectation;  // the dialog's accept, else the maintenance save
  };
  const std::vector<Case> cases{
      {"save: own concept row", "BEFORE INSERT ON CON_ADIC", false},
      {"save: refresh marking", "BEFORE UPDATE ON CAB", false},
      {"accept: own concept row", "BEFORE UPDATE ON CON_ADIC", true},
      {"accept: refresh marking", "BEFORE UPDATE ON CAB", true},
  };
  db.run("INSERT INTO TRIBUT_AFECTA (tip_doc_d, doc_id_d, codigo, afectacion) VALUES (6, ?, '1001', '1111111111001')",
         {kPrivate});
  db.run(
      "INSERT INTO conceptos_remu (tip_doc_d, doc_id_d, cod_concepto, desc_concepto, ind_activo, ind_origen) "
      "VALUES (6, ?, '1001', 'BONO', 1, 'P')",
      {kPrivate});
  conAfec(kPrivate, {"0121", "1001"});
  reference::writeConAdic(db, kPrivate, "1001", "1111111111001");
  cab(kPrivate, "201201", 0);
  const std::vector<std::string> tables{"CON_AFEC", "CON_ADIC", "TRIBUT_AFECTA", "conceptos_remu", "CAB"};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> before;
    for (const auto& tb : tables) before.push_back(dump(tb));
    db.run(std::string("CREATE TRIGGER forced_failure ") + c.trigger +
           " BEGIN SELECT RAISE(ABORT, 'falla forzada'); END");
    t.messenger().clear();
    if (c.affectation) {
      TaxAffectation a(t.session());
      ASSERT_TRUE(a.load(kPrivate, "1001"));
      a.flip(12);
      EXPECT_FALSE(a.accept());
    } else {
      auto dc = chosen(kPrivate);
      dc.setSelected("0122", true);
      dc.setDescription("1001", "BONO ANUAL");
      EXPECT_FALSE(dc.save());
    }
    ASSERT_EQ(t.messenger().entries().size(), 1u);
    EXPECT_NE(t.messenger().last().find("falla forzada"), std::string::npos);
    EXPECT_EQ(t.messenger().last().find("satisfactoriamente"), std::string::npos);
    db.run("DROP TRIGGER forced_failure");
    for (std::size_t i = 0; i < tables.size(); ++i) EXPECT_EQ(dump(tables[i]), before[i]) << tables[i];
  }
}

}  // namespace
}  // namespace korventa
