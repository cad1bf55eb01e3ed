// Field checks and the line reader on their own, and random input through the whole engine.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "import/import_checks.h"
#include "import/import_errors.h"
#include "import/import_file.h"
#include "import/import_kinds.h"
#include "import_fixture.h"

namespace korventa::test {
namespace {

using namespace korventa::import;

// The codes of each amount and time fault line by line are in cases.rem and cases.jor
// (ImporterTest); here the boundaries and odd forms those files do not hold.
TEST(ImportChecks, AmountAndTimeBoundaries) {
  struct C {
    const char* value;
    const char* code;
  };
  for (const auto& c : {C{"12,5", "0926"}, C{"-", "0926"}, C{"1234567.00", ""}, C{"0", ""}, C{".5", ""}, C{"+3", ""}}) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(amountCode(c.value), c.code);
  }
  AmountCodes pt{"0930", "0926", "0927", "0928", "0929", "0931", "0860", 12, 15};
  EXPECT_EQ(amountCode("123456789012.00", pt), "");
  EXPECT_EQ(amountCode("1234567890123.0", pt), "0928");
  // Amounts in the usual "digits.dd" form meet the limits like any other.
  AmountCodes eight{"0930", "0926", "0927", "0928", "0929", "0931", "0925", 8, 10};
  EXPECT_EQ(amountCode("12345678.00", eight), "0929");
  EXPECT_EQ(amountCode("1234567.00", eight), "");
  AmountCodes six{"0930", "0926", "0927", "0928", "0929", "0931", "0925", 6, 10};
  EXPECT_EQ(amountCode("1234567.00", six), "0928");
  EXPECT_EQ(amountCode("0123456.00", six), "0928");
  EXPECT_EQ(workTimeCode({"160", "30", "10", "0.0"}), "0910");
  EXPECT_EQ(workTimeCode({"744", "0", "0", "0"}), "");
  EXPECT_EQ(workTimeCode({"744", "1", "0", "0"}), "0911");
  EXPECT_EQ(workTimeCode({"-1", "0", "0", "0"}), "0906");
}

// An accepted amount has the value the decimal parse gives its text, whatever its form.
TEST(ImportChecks, AcceptedAmountsKeepTheirParsedValue) {
  std::mt19937 rng(601);
  static const char kAlphabet[] = "0123456789999.";
  int accepted = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string v;
    if (round % 3 == 0) v = "+";
    auto n = rng() % 12;
    for (std::size_t i = 0; i < n; ++i) v += kAlphabet[rng() % (sizeof kAlphabet - 1)];
    if (round % 2 == 0 && v.size() > 3) v[v.size() - 3] = '.';
    Money value = Money::fromRaw(-1);
    if (!amountCode(v, {}, &value).empty()) continue;
    ++accepted;
    ASSERT_TRUE(Money::parse(v)) << v;
    EXPECT_EQ(value, *Money::parse(v)) << v;
  }
  EXPECT_GT(accepted, 5000);
}

// "1" read as "01" is in cases.rem, the rate codes 0933-0935 in cases.sct (ImporterTest).
TEST(ImportChecks, DocumentTypesAndDates) {
  int code = 0;
  EXPECT_EQ(docTypeCode("07", code), "");
  EXPECT_EQ(code, 7);
  EXPECT_EQ(docTypeCode("A", code), "0900");
  EXPECT_EQ(docTypeCode("123", code), "0900");
  EXPECT_TRUE(importDate("29/02/2012"));
  EXPECT_FALSE(importDate("29/02/2011"));
  EXPECT_FALSE(importDate("1/2/2012"));
}

TEST(ImportChecks, SeparatorsAndKindsPerFile) {
  auto lines = [](std::initializer_list<std::string_view> l) { return std::vector<std::string_view>(l); };
  // Worker files: exactly their count; a sixth "|" refuses a ".rem".
  EXPECT_EQ(CuentaPye(lines({"a|b|c|d|e|", "a|b|c|d|e||"}), 5, true), 2u);
  // The other forms count only the first ones: ten in a ".4ta" pass, two in a ".for" do not.
  const auto& cuarta = info(Kind::Cuarta);
  EXPECT_EQ(CuentaPye(lines({"1|2|3|4|5|6|7|8|9|10|"}), cuarta.separators, cuarta.exact), 0u);
  const auto& mf = info(Kind::ForMF);
  EXPECT_EQ(CuentaPye(lines({"01|72000001|"}), mf.separators, mf.exact), 1u);
  EXPECT_EQ(checkTerminators(lines({"a|b|  ", "", "a|b"})), 3u);
  EXPECT_EQ(splitFields(" 01 | 4100 ||", 4), (std::vector<std::string>{"01", "4100", "", ""}));
  // The kind comes from the extension, and the form decides what a ".for" is.
  EXPECT_EQ(kindFromFileName("0601X.REM"), Kind::Rem);
  EXPECT_EQ(kindFromFileName("a.for"), Kind::ForMF);
  EXPECT_EQ(kindFromFileName("a.for", Form::Transferencia), Kind::ForTrans);
  EXPECT_FALSE(kindFromFileName("a.txt"));
  EXPECT_EQ(importFileName("20111111110", "201206", Kind::Sct), "060120111111110201206.sct");
}

TEST(ImportChecks, MessagesFixedThenTableThenOtro) {
  TestDb t;
  ErrorCatalog tranPer(t.db(), Form::TranPer);
  EXPECT_EQ(tranPer.message("0928"), "El monto debe tener siete(7) números enteros");
  EXPECT_EQ(tranPer.message("0922"), "Ya existe este CITT para este trabajador");  // table ERROR
  EXPECT_EQ(tranPer.message("7777"), kOtroError);
  ErrorCatalog pt(t.db(), Form::TransPT);
  EXPECT_EQ(pt.message("0928"), "El monto debe tener doce(12) números enteros");
  ErrorCatalog mf(t.db(), Form::ImportMF);
  EXPECT_EQ(mf.message("0938"), "Tipo de documento no es válido ");
  t.db().run("UPDATE ERROR SET DescError = 'Texto propio' WHERE CodError = '1125'");
  EXPECT_EQ(ErrorCatalog(t.db(), Form::Transferencia).message("1125"), "Texto propio");
}

// Random bytes: the reader and the checks never throw and answer only with their own codes.
TEST(ImportFuzz, RandomTextThroughReaderAndChecks) {
  std::mt19937 rng(20120601);
  static const char kAlphabet[] = "0123456789|.-+ /aZ\t\r\n\xD1\xC3\xB1\x00\x7f";
  const std::string alphabet(kAlphabet, sizeof kAlphabet - 1);  // the NUL included
  for (int round = 0; round < 3000; ++round) {
    std::string bytes;
    int n = static_cast<int>(rng() % 200);
    for (int i = 0; i < n; ++i) bytes += alphabet[rng() % alphabet.size()];
    auto text = decodeImportText(bytes, "fuzz.rem");
    if (!text.ok()) continue;
    for (auto line : text.lines) {
      EXPECT_LE(line.size(), kMaxLineLength);
      auto f = splitFields(line, 6);
      ASSERT_EQ(f.size(), 6u);
      std::string a = amountCode(f[0]);
      const std::set<std::string> amountCodes{"0925", "0926", "0927", "0928", "0929", "0930", "0931"};
      EXPECT_TRUE(a.empty() || amountCodes.count(a)) << a;
      std::string w = workTimeCode({f[0], f[1], f[2], f[3]});
      if (!w.empty()) {
        EXPECT_EQ(w.substr(0, 2), "09");
      }
      int code = 0;
      docTypeCode(f[4], code);
      rateCode(f[5], RateCodes{});
      importDate(f[5]);
    }
  }
}

}  // namespace
}  // namespace korventa::test
