#include <gtest/gtest.h>

#include "common/money.h"
#include "common/vb_format.h"

using korventa::Money;
using korventa::vbFormat;

namespace {

struct FormatCase {
  const char* name;
  const char* value;
  const char* pattern;
  const char* expected;
};

// Stored two-decimal amounts, grid figures with grouping and parentheses and spool numbers are
// also checked where they are written (SaveTest, DebtGrid, Spool); texts that are not numbers pass
// through the stored-text function unchanged (SqlSupport.PictureAndRegistryDateFunctions).
TEST(VbFormat, PatternsOfStoredTextsAndScreens) {
  const FormatCase cases[] = {
      {"zero keeps its zero", "0", "######0.00", "0.00"},
      {"half rounds away from zero", "2.345", "######0.00", "2.35"},
      {"negative half rounds away from zero", "-2.345", "######0.00", "-2.35"},
      {"negative one section gets minus", "-10", "#0.00", "-10.00"},
      {"all hashes show zero as empty", "0", "#,###,###,###", ""},
      {"all hashes keep other values", "1500", "#,###,###,###", "1,500"},
      {"no leading zero with hashes", "0.5", "#####.00", ".50"},
      {"zero fill", "151", "0000", "0151"},
      {"twenty digits", "123", "00000000000000000000", "00000000000000000123"},
      {"tiny negative rounds to zero without sign", "-0.001", "######0.00", "0.00"},
  };
  for (const auto& c : cases) {
    auto m = Money::parse(c.value);
    ASSERT_TRUE(m) << c.name;
    EXPECT_EQ(vbFormat(*m, c.pattern), c.expected) << c.name;
  }
}

TEST(Money, ParseIsStrictAndExact) {
  EXPECT_EQ(Money::parse("10.40")->raw(), 104000);
  EXPECT_EQ(Money::parse("-0.01")->raw(), -100);
  EXPECT_EQ(Money::parse("1.00005")->raw(), 10001);  // fifth decimal rounds
  EXPECT_FALSE(Money::parse(""));
  EXPECT_FALSE(Money::parse("."));
  EXPECT_FALSE(Money::parse("1.2.3"));
  EXPECT_FALSE(Money::parse("12a"));
  EXPECT_FALSE(Money::parse("99999999999999999999"));
  // The largest amounts taken still round to whole units within 64 bits; larger ones, which
  // overflowed into negative amounts, are refused.
  EXPECT_EQ(Money::parse("922337203685476.9999")->rounded(0).toText(0), "922337203685477");
  EXPECT_FALSE(Money::parse("922337203685477.5808"));
  EXPECT_FALSE(Money::parse("-922337203685477.9999"));
  EXPECT_EQ(Money::value("garbage"), Money());
}

TEST(Money, ArithmeticRoundsHalfAwayFromZero) {
  // 1,000.00 × 0.63 % = 6.30 (2,500.00 × 1.53 % = 38.25 of the SCTR: SctrTest)
  EXPECT_EQ(Money::value("1000").percent(Money::value("0.63")).toText(), "6.30");
  // sums stay exact where doubles drift
  Money sum;
  for (int i = 0; i < 10; ++i) sum += Money::value("0.10");
  EXPECT_EQ(sum.toText(), "1.00");
  EXPECT_EQ(Money::value("-2.5").rounded(0).toText(0), "-3");
  EXPECT_EQ(Money::value("10").dividedBy(Money::value("3")).toText(4), "3.3333");
  EXPECT_EQ(Money::value("10").dividedBy(Money()).toText(), "0.00");
}

}  // namespace
