// The reference data every new database receives: each PARAM list is present and parses at the
// fixed character positions the program reads, the values the computations use are the right
// ones, and the concept tables agree with each other.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "common/dates.h"
#include "common/money.h"
#include "common/text.h"
#include "data/param.h"
#include "data/servicios_comunes.h"
#include "support/test_db.h"

using namespace korventa;
using data::ParamRow;
using data::ParamTable;

namespace {

bool onlyZeroOne(std::string_view s) {
  return !s.empty() && s.find_first_not_of("01") == std::string_view::npos;
}

// A rate or amount slot: right-aligned decimal with two decimals, e.g. " 9.00", "33.33".
bool isAmountSlot(const std::string& slot) {
  std::string t = text::trim(slot);
  auto point = t.find('.');
  return Money::parse(t).has_value() && point != std::string::npos && t.size() - point == 3;
}

class SeedLists : public ::testing::Test {
 protected:
  test::TestDb t;
  ParamTable param{t.db()};
  std::vector<ParamRow> list(const char* numero) {
    auto rows = param.list(numero);
    EXPECT_FALSE(rows.empty()) << "list " << numero << " is empty";
    return rows;
  }
  std::set<std::string> flagged(const char* numero, std::size_t position) {
    std::set<std::string> out;
    for (const auto& r : param.list(numero))
      if (text::mid(r.funcion, position, 1) == "1") out.insert(r.argumento);
    return out;
  }
};

TEST_F(SeedLists, DocumentTypes044) {
  struct Expected {
    int code;
    const char* shortName;
    int length;
    bool numeric, exact;
  };
  const Expected expected[] = {{1, "DNI", 8, true, true},
                               {4, "CARNET EXT.", 12, false, false},
                               {6, "RUC", 11, true, true},
                               {7, "PASAPORTE", 12, false, false},
                               {11, "P. NAC.", 15, false, false}};
  ASSERT_EQ(param.documentTypes().size(), std::size(expected));
  for (const auto& e : expected) {
    SCOPED_TRACE(e.code);
    auto d = param.documentType(e.code);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->shortName, e.shortName);
    EXPECT_EQ(param.LongitudDocumento(e.code), e.length);
    EXPECT_EQ(d->numeric(), e.numeric);
    EXPECT_EQ(d->exactLength(), e.exact);
  }
  // Contexts: 59 workers, 61 fourth-category providers, 67 declarants.
  auto codes = [&](int pos) {
    std::string out;
    for (const auto& d : param.LlenaTiposDocumento(pos)) out += d.code2() + " ";
    return out;
  };
  EXPECT_EQ(codes(59), "01 04 07 ");
  EXPECT_EQ(codes(61), "01 04 06 07 ");
  EXPECT_EQ(codes(67), "06 ");
  EXPECT_EQ(param.DescripcionDocumento(6, true), "RUC");
}

// Every list is present; codes have their width and every row its description or amount where
// the program cuts it.
TEST_F(SeedLists, EveryListParsesAtItsPositions) {
  struct Described {
    const char* numero;
    std::size_t codeWidth;  // 0: not checked
    std::size_t descriptionLength;
  };
  for (const auto& c :
       {Described{"233", 2, 35}, Described{"852", 2, 35}, Described{"700", 2, 70}, Described{"714", 2, 80},
        Described{"701", 0, 50}, Described{"004", 2, 36}, Described{"028", 0, 24}, Described{"853", 1, 40}}) {
    SCOPED_TRACE(c.numero);
    for (const auto& r : list(c.numero)) {
      EXPECT_TRUE(!c.codeWidth || r.argumento.size() == c.codeWidth) << r.argumento;
      EXPECT_FALSE(r.field(1, c.descriptionLength).empty()) << r.argumento;
    }
  }
  // Dated amounts: UIT, RMV and the list 977 rates.
  for (auto [numero, length] : {std::pair{"404", 11}, std::pair{"982", 8}}) {
    SCOPED_TRACE(numero);
    for (const auto& r : list(numero)) {
      EXPECT_TRUE(Date::parseIso(r.argumento)) << r.argumento;
      EXPECT_TRUE(isAmountSlot(text::mid(r.funcion, 1, length))) << "[" << r.funcion << "]";
    }
  }
  for (const auto& r : list("977")) {
    EXPECT_TRUE(isPeriod(text::left(r.argumento, 6))) << r.argumento;
    EXPECT_TRUE(isAmountSlot(text::mid(r.funcion, 1, 9))) << r.funcion;
  }
  for (const auto& r : list("980")) {
    EXPECT_TRUE(isPeriod(r.argumento)) << r.argumento;
    EXPECT_TRUE(r.field(1, 1) == "0" || r.field(1, 1) == "1") << r.funcion;
  }
  auto own = param.row("902", "01");
  ASSERT_TRUE(own);
  EXPECT_TRUE(ServiciosComunes::rucValido(text::mid(own->funcion, 1, 11))) << own->funcion;
  EXPECT_FALSE(own->field(13, 50).empty());
  auto version = param.version856("0601");
  ASSERT_TRUE(version);
  EXPECT_EQ(version->first, "1.8");
  EXPECT_TRUE(Date::parseDmy(version->second)) << version->second;
}

// The flags and codes the rules depend on: subsidised suspensions, perfect suspensions of the
// second list, the EPS providers with their RUC (the situations and banks listed: Consultas).
TEST_F(SeedLists, CodesTheRulesDependOn) {
  // Position 63 marks the subsidised types, the only ones the subsidy import accepts.
  for (const char* numero : {"233", "852"})
    EXPECT_EQ(flagged(numero, 63), (std::set<std::string>{"21", "22"})) << numero;
  // Position 65 of 852 offers the perfect suspensions 01–08 in the second list.
  EXPECT_EQ(flagged("852", 65), (std::set<std::string>{"01", "02", "03", "04", "05", "06", "07", "08"}));
  for (const char* kind : {"R", "N", "D", "O"}) EXPECT_TRUE(param.row("853", kind)) << kind;

  int providers = 0;
  for (const auto& r : list("701")) {
    // 0 (no EPS) and 4 (the employer's own service) are not providers.
    if (r.argumento == "0" || r.argumento == "4") continue;
    ++providers;
    std::string ruc = text::right(text::rtrim(r.funcion), 11);
    EXPECT_TRUE(ServiciosComunes::rucValido(ruc)) << r.argumento << " " << ruc;
    EXPECT_EQ(text::mid(r.funcion, 51, 11), ruc) << r.argumento;
  }
  EXPECT_EQ(providers, 5);
}

// The UIT by period is met by the computations that use it (the UIT cap of type 67 in 2009, the
// EPS credit limit of 2011), the RMV of 06/2012 by the consultation.
TEST_F(SeedLists, UitAndRatesInForce) {
  EXPECT_FALSE(param.uit("200612"));
  EXPECT_EQ(param.rmv("201001")->toText(2), "550.00");
  EXPECT_EQ(param.TasaVigente977("200912"), "2589");
  EXPECT_EQ(param.TasaVigente977("201012"), "2625");
  EXPECT_EQ(param.TasaVigente("803", "030402", "201206"), "10");
  EXPECT_EQ(param.TasaVigente("804", "050802", "200406"), "1.7");
  EXPECT_EQ(param.TasaVigente("804", "050802", "201206"), "0");
}

// Every worker type that contributes has rates in list 713, at 42/48/54/60/66/72/78, with
// versions that follow each other without overlap, and the argumento layout "TT YYYYMMDD …".
TEST_F(SeedLists, Rates713ForEveryWorkerType) {
  std::map<std::string, std::vector<std::pair<std::string, std::string>>> versions;  // type → (start, end)
  for (const auto& r : list("713")) {
    SCOPED_TRACE(r.argumento);
    ASSERT_GE(text::length(r.argumento), 11u);
    EXPECT_EQ(text::mid(r.argumento, 3, 1), " ");
    std::string start = text::mid(r.argumento, 4, 8);
    EXPECT_TRUE(Date::parseIso(start)) << start;
    std::string end = text::trim(text::mid(r.argumento, 13, 8));
    EXPECT_TRUE(end.empty() || end == "99991231" || Date::parseIso(end)) << end;
    versions[text::left(r.argumento, 2)].emplace_back(start, end);
    for (int pos : {42, 48, 54, 60, 66, 72, 78}) {
      EXPECT_EQ(text::mid(r.funcion, pos - 1, 1), " ") << "slot " << pos << " not separated";
      EXPECT_TRUE(isAmountSlot(text::mid(r.funcion, pos, 5))) << "slot " << pos << " [" << r.funcion << "]";
    }
  }
  for (auto& [type, v] : versions) {
    std::sort(v.begin(), v.end());
    for (std::size_t i = 1; i < v.size(); ++i)
      EXPECT_LT(v[i - 1].second, v[i].first) << "type " << type << " versions overlap";
  }
  for (const auto& r : param.list("700")) {
    if (r.argumento == "80" || r.argumento == "81" || r.argumento == "99") continue;  // not contributing workers
    SCOPED_TRACE(r.argumento);
    EXPECT_TRUE(param.rates713(r.argumento, "201212").found);
  }

  // The rates of 2012 of employees, pensioners and artists give the amounts of the contribution
  // rule tests (ContributionRules); here the ones no computation test reaches.
  auto employee2004 = param.rates713("21", "200406");
  EXPECT_EQ(employee2004.ies + "/" + employee2004.pension + "/" + employee2004.health, "1.70/13.00/9.00");
  auto agrarian = param.rates713("64", "201206");
  EXPECT_EQ(agrarian.health + "/" + agrarian.agrarianHealth + "/" + agrarian.life, "4.00/4.00/5.00");
  EXPECT_FALSE(param.rates713("67", "200805").found) << "type 67 starts in June 2008";
  EXPECT_TRUE(param.rates713("67", "200806").found);
}

TEST_F(SeedLists, ConceptCatalogueAndAffectationStrings) {
  auto& db = t.db();
  std::set<std::string> headings, concepts;
  for (const auto& r : db.rows("SELECT Codigo FROM CONCEPTOS_REM")) {
    std::string code = r.text(0);
    EXPECT_TRUE(code.size() == 4 && text::isDigits(code)) << code;
    (text::right(code, 2) == "00" ? headings : concepts).insert(code);
  }
  for (const auto& c : concepts) EXPECT_TRUE(headings.count(text::left(c, 2) + "00")) << c << " has no group heading";

  std::map<std::string, std::string> affectation;
  for (const auto& r : db.rows("SELECT CODIGO, FUNCION FROM PARAM_REMUNERA")) {
    EXPECT_EQ(r.text(1).size(), 13u) << r.text(0);
    EXPECT_TRUE(onlyZeroOne(r.text(1))) << r.text(0) << " " << r.text(1);
    affectation[r.text(0)] = r.text(1);
  }
  for (const auto& c : concepts) EXPECT_TRUE(affectation.count(c)) << c << " has no affectation string";
  for (const auto& h : headings) EXPECT_FALSE(affectation.count(h)) << h;

  // Positions: 1 EsSalud, 8 ONP, 9 SPP, 10 fifth category, 11 pensioners' EsSalud, 12 D.L. 20530.
  // Basic pay (0121) and pensions (0912) enter the bases of the contribution rule tests.
  EXPECT_EQ(affectation["0406"], "0000000001000") << "Law 29351 gratuity";
  EXPECT_EQ(affectation["0904"], "0000000000000") << "CTS";
  EXPECT_EQ(affectation["0916"], "0000000110000") << "sickness subsidy";

  std::set<std::string> types;
  for (const auto& r : param.list("700")) types.insert(r.argumento);
  for (const auto& r : db.rows("SELECT DISTINCT tipo, cod_concepto FROM TIPO_CONCEPTOS")) {
    EXPECT_TRUE(types.count(r.text(0))) << "TIPO_CONCEPTOS type " << r.text(0);
    EXPECT_TRUE(concepts.count(r.text(1))) << "TIPO_CONCEPTOS concept " << r.text(1);
  }
  for (const auto& r : db.rows("SELECT CodError FROM ERROR"))
    EXPECT_TRUE(r.text(0).size() == 4 && text::isDigits(r.text(0))) << r.text(0);
}

}  // namespace
