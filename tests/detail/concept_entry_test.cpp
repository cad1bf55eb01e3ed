// One concept typed from the command line goes through the concept form's rules.
#include <gtest/gtest.h>

#include "detail/concept_entry.h"
#include "determination/working_fixture.h"

namespace korventa::test {
namespace {

TEST(ConceptEntry, TypesStoresOrRefusesWithTheMessage) {
  WorkingFixture f("201206");
  WorkerProfile profile;
  profile.pension = 30;
  PersonKey p = f.person("40000001", profile);
  f.recompute();
  auto& m = f.t.messenger();
  struct Row {
    const char* name;
    const char* code;
    const char* monto;
    std::optional<std::string> montoPag;
    bool ok;
    const char* message;
  } rows[] = {
      {"income with paid amount", "0121", "1500", std::string("1400"), true, ""},
      {"too many integer digits", "0121", "12345678", std::nullopt, false,
       "Registre como máximo 7 enteros y 2 decimales"},
      {"two points", "0121", "1.2.3", std::nullopt, false, "No registre mas de un punto decimal"},
      {"letters", "0121", "12a", std::nullopt, false, "Ingrese solo dígitos y un punto decimal"},
      {"heading", "0100", "5", std::nullopt, false, "El código de concepto 0100 no es válido."},
      {"not offered to the type", "2040", "5", std::nullopt, false,
       "El concepto 2040 no está entre los conceptos de esta persona."},
      {"locked by the pension regime", "0608", "50", std::nullopt, false,
       "El concepto 0608 no se puede registrar para esta persona."},
      {"computed contribution", "0804", "50", std::nullopt, false,
       "El concepto 0804 no se puede registrar para esta persona."},
  };
  for (const auto& r : rows) {
    m.clear();
    EXPECT_EQ(detail::typeConceptAmount(f.t.session(), f.decl, p, r.code, r.monto, r.montoPag), r.ok) << r.name;
    EXPECT_EQ(m.last(), r.message) << r.name;
  }
  EXPECT_EQ(f.conceptText(p, "0121"), "1500.00");
  EXPECT_EQ(f.conceptText(p, "0121", "monto_pag"), "1400.00");
  EXPECT_EQ(f.conceptText(p, "0804"), "135.00");
  EXPECT_EQ(f.conceptText(p, "0608"), "");
  // An empty amount clears the concept.
  EXPECT_TRUE(detail::typeConceptAmount(f.t.session(), f.decl, p, "0121", ""));
  EXPECT_EQ(f.conceptText(p, "0121"), "");
  EXPECT_EQ(f.conceptText(p, "0804"), "");
  EXPECT_EQ(f.summary(p, "Tot_Ingresos"), "0.00");
}

}  // namespace
}  // namespace korventa::test
