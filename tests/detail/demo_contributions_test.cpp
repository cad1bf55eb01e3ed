// Hand-checked contributions of demo workers, one per regime: the working set is filled from the
// demo registry as a new declaration would be, amounts are typed in the concept form, accepted,
// and the stored concept rows and summary row are compared with figures worked out by hand
// (June 2012: UIT 3,650, RMV 750; ONP 13 %, EsSalud 9 %, agrarian 4 %).
#include <gtest/gtest.h>

#include "detail/concept_form.h"
#include "determination/working_fixture.h"

namespace korventa::test {
namespace {

using detail::ConceptForm;

constexpr const char* kAndes = "20503987610";      // private employer, SENATI
constexpr const char* kMunicipio = "20131456787";  // public administration

struct Typed {
  std::string code, monto, montoPag;  // montoPag "" = same as monto (panel codes take one amount)
};
struct Expect {
  std::string code, column, value;  // code "" = summary column
};
struct Worker {
  const char* name;
  const char* ruc;
  long correl;
  const char* domicilio;  // "" = as registered
  std::vector<Typed> typed;
  std::vector<Expect> expect;
};

void PrintTo(const Worker& w, std::ostream* os) {
  *os << w.name;
}

using Typeds = std::vector<Typed>;
using Expects = std::vector<Expect>;

const std::vector<Worker>& workers() {
  static const std::vector<Worker> w = {
      // employee under ONP; "Asegura tu pensión" 5.00 from the registry; SENATI typed.
      {"Onp", kAndes, 2, "", Typeds{{"0121", "2000", "2000"}, {"0201", "55", "55"}, {"0807", "15.41", ""}},
       Expects{{"0804", "base_calculo", "2055.00"},
               {"0804", "monto", "184.95"},  // 2055 × 9 %
               {"0607", "base_calculo", "2055.00"},
               {"0607", "monto", "267.15"},  // 2055 × 13 %
               {"0605", "base_calculo", "2055.00"},
               {"0605", "monto", ""},
               {"0612", "monto", "5.00"},
               {"0807", "base_calculo", "2055.00"},
               {"0807", "monto", "15.41"},
               {"0808", "monto", ""},
               {"", "salud", "184.95"},
               {"", "pens", "267.15"},
               {"", "Tot_Ingresos", "2055.00"},
               {"", "Aport_TrabPens", "272.15"},  // 267.15 + 5.00
               {"", "AportEmp", "200.36"},
               {"", "AportDes", "272.15"}}},
      // employee in a private pension fund; +Vida 5.00.
      {"Afp", kAndes, 1, "",
       Typeds{{"0121", "3000", "3000"}, {"0608", "300", ""}, {"0601", "48", ""}, {"0606", "40.5", ""}},
       Expects{{"0601", "base_calculo", "3000.00"},
               {"0608", "base_calculo", "3000.00"},
               {"0608", "monto", "300.00"},
               {"0606", "base_calculo", ""},
               {"0607", "monto", ""},
               {"0604", "monto", "5.00"},
               {"0804", "monto", "270.00"},
               {"", "salud", "270.00"},
               {"", "pens", ""},
               {"", "Aport_TrabPens", "393.50"}}},  // 300 + 48 + 40.50 + 5
      // agrarian worker (type 64), social pension regime 30: no pension contribution.
      {"Agrarian", kAndes, 13, "", Typeds{{"0121", "1200", "1200"}},
       Expects{{"0804", "base_calculo", "1200.00"},
               {"0804", "monto", "48.00"},  // 1200 × 4 %
               {"0607", "monto", ""},
               {"0806", "monto", ""},
               {"", "salud_agrario", "48.00"},
               {"", "salud", ""},
               {"", "cbssp", ""},
               {"", "rem_salud", "1200.00"}}},
      // fisherman (type 36) with 30 worked days: minimum base 750 × 4.4 = 3300.
      {"Fisherman36", kAndes, 12, "", Typeds{{"0121", "1000", "1000"}},
       Expects{{"0804", "base_calculo", "3300.00"},
               {"0804", "monto", "297.00"},
               {"0607", "monto", "130.00"},
               {"", "cbssp", "297.00"},
               {"", "salud", ""},
               {"", "rem_salud", "3300.00"}}},
      // B-6: administrative service contract (type 67): EsSalud base capped at 30 % of the UIT.
      {"Type67", kMunicipio, 6, "", Typeds{{"2040", "1500", "1500"}},
       Expects{{"0804", "base_calculo", "1095.00"},
               {"0804", "monto", "98.55"},  // 1095 × 9 %
               {"0607", "base_calculo", "1500.00"},
               {"0607", "monto", "195.00"},
               {"0605", "base_calculo", ""},
               {"", "salud", "98.55"},
               {"", "Ing_publico", "1500.00"},
               {"", "Tot_Ingresos", "1500.00"}}},
      // A-5 declared non-domiciled: fifth category withheld at 30 % of what was paid.
      {"NonDomiciled", kAndes, 5, "2", Typeds{{"0121", "1000", "1000"}},
       Expects{{"0605", "base_calculo", "1000.00"},
               {"0605", "monto", "300.00"},
               {"0607", "monto", "130.00"},
               {"0804", "monto", "90.00"},
               {"", "tributo", "300.00"},
               {"", "rem_afecta", "1000.00"}}},
  };
  return w;
}

// The working set of a new declaration of June 2012, as the load fills it from the registry.
void loadFromRegistry(WorkingFixture& f) {
  f.t.db().run(
      "INSERT INTO TEMP1_F601 (Tip_doc_d, doc_id_d, Correl_a, periodo, formulario, cod_cat_tra, tip_doc_a, doc_id_a, "
      "Situac, Tipo, dias_lab, pension, ind_domicilio, sctr, sctr_pension, ipss_vida, aseg_pens, ind_quinta, Nombre) "
      "SELECT 6, d.doc_id_d, d.correl_a, ?, '0601', d.cod_cat_tra, d.tip_doc_a, d.doc_id_a, d.situac, d.tipo, "
      "CASE WHEN d.cod_cat_tra = 1 THEN '30' END, d.pension, a.ind_domicilio, d.sctr, d.sctr_pension, a.ipss_vida, "
      "a.aseg_pens, d.ind_quinta, a.apellido_p || ' ' || a.apellido_m || ', ' || a.nombre_1 "
      "FROM ASEG_DET_LAB d JOIN ASEGVKRS a ON a.tip_doc_d = d.tip_doc_d AND a.doc_id_d = d.doc_id_d AND "
      "a.correl_a = d.correl_a AND a.cod_cat_tra = d.cod_cat_tra WHERE d.doc_id_d = ? AND d.cod_cat_tra IN (1, 2)",
      {f.decl.periodo, f.decl.ruc});
  f.recompute();
}

int slot(const std::string& code) {
  return std::stoi(code.substr(2)) - 1;
}

class DemoContributions : public ::testing::TestWithParam<Worker> {};

TEST_P(DemoContributions, TypedInTheFormAndChecked) {
  const Worker& w = GetParam();
  WorkingFixture f("201206", true, w.ruc);
  loadFromRegistry(f);
  auto key =
      f.t.db().row("SELECT tip_doc_a, doc_id_a FROM TEMP1_F601 WHERE Correl_a = ? AND cod_cat_tra = 1", {w.correl});
  ASSERT_TRUE(key.has_value());
  PersonKey p{w.correl, static_cast<int>(key->integer(0)), key->text(1), 1};
  if (*w.domicilio) f.t.db().run("UPDATE TEMP1_F601 SET ind_domicilio = ? WHERE Correl_a = ?", {w.domicilio, w.correl});

  ConceptForm form(f.t.session(), f.decl, p);
  form.load();
  for (const auto& t : w.typed) {
    std::string group = t.code.substr(0, 2);
    form.chooseGroup(group);
    if (group == "06") {
      ASSERT_TRUE(form.setWorkerAmount(slot(t.code), t.monto)) << t.code;
    } else if (group == "08") {
      ASSERT_TRUE(form.setEmployerAmount(slot(t.code), t.monto)) << t.code;
    } else {
      auto grid = form.grid();
      int row = -1;
      for (std::size_t i = 0; i < grid.size(); ++i)
        if (grid[i].codigo == t.code) row = static_cast<int>(i);
      ASSERT_GE(row, 0) << t.code << " is not offered to this worker";
      ASSERT_TRUE(form.setCell(row, ConceptForm::Column::Monto, t.monto));
      ASSERT_TRUE(form.setCell(row, ConceptForm::Column::MontoPag, t.montoPag));
    }
  }
  form.accept();
  // What the declaration form does after a detail form closes changes nothing more.
  determination::recomputePerson(f.t.session(), f.decl, p);
  for (const auto& e : w.expect) {
    if (e.code.empty())
      EXPECT_EQ(f.summary(p, e.column), e.value) << e.column;
    else
      EXPECT_EQ(f.conceptText(p, e.code, e.column), e.value) << e.code << "." << e.column;
  }
}

INSTANTIATE_TEST_SUITE_P(Demo, DemoContributions, ::testing::ValuesIn(workers()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korventa::test
