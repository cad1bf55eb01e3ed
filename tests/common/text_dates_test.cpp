#include <gtest/gtest.h>

#include "common/csv.h"
#include "common/dates.h"
#include "common/ini.h"
#include "common/text.h"
#include "common/spanish_order.h"
#include "support/test_db.h"

using namespace korventa;

TEST(Dates, DaysOfMonthOnlyTestsDivisibilityByFour) {
  EXPECT_EQ(DiasDelMes("02", "1900"), "29");
  EXPECT_EQ(DiasDelMes("02", "2012"), "29");
  EXPECT_EQ(DiasDelMes("02", "2011"), "28");
  EXPECT_EQ(DiasDelMes("12", "2012"), "31");
}

// Registry dates in both spellings and impossible dates are checked as a registry is loaded
// (RegistryLoad); periods shown as MM/YYYY wherever a declaration is created (WorkingSetTest).
TEST(Dates, ConversionsAndPeriodArithmetic) {
  EXPECT_EQ(dmyToYmd("31/02/2012"), "");
  EXPECT_EQ(dmyToYmd("__/__/____"), "");
  EXPECT_EQ(ymdToDmy("20120305"), "05/03/2012");
  EXPECT_EQ(Date::parseAny("2012-03-05 00:00:00")->iso(), "2012-03-05");
  EXPECT_EQ(monthOf("29/02/2012"), "201202");
  EXPECT_EQ(addMonths("201212", 1), "201301");
  EXPECT_EQ(addMonths("201201", -1), "201112");
  EXPECT_EQ(periodFromDisplay("__/____"), "");
  EXPECT_FALSE(isPeriod("201213"));
  EXPECT_EQ(Date::parseDmy("01/03/2012")->addDays(-1).dmy(), "29/02/2012");
  EXPECT_EQ((Date{5, 3, 4}).dmy(), "04/03/0005");
  EXPECT_EQ((Date{12345, 12, 31}).dmy(), "31/12/12345");  // beyond the picture: as many digits as it has
}

TEST(Text, PositionsAreCharactersNotBytes) {
  std::string s = "ÑANDÚ ABC";
  EXPECT_EQ(text::length(s), 9u);
  EXPECT_EQ(text::mid(s, 1, 5), "ÑANDÚ");
  EXPECT_EQ(text::mid(s, 5, 1), "Ú");
  EXPECT_EQ(text::mid(s, 7), "ABC");
  EXPECT_EQ(text::mid(s, 20, 3), "");
  EXPECT_EQ(text::right(s, 3), "ABC");
  EXPECT_EQ(text::fixedWidth("Ñu", 4), "Ñu  ");
  EXPECT_EQ(text::fixedWidth("ÑANDÚ", 3), "ÑAN");
  EXPECT_EQ(text::upper("peña"), "PEÑA");
}

// Blank is what trimming empties: blanks and tabs only (a line feed or a zero is content).
TEST(Text, BlankIsWhatTrimEmpties) {
  for (std::string t : {"", " ", "\t", " \t  ", "0", " 0.00", "\n", "\xC2\xA0", "a "})
    EXPECT_EQ(text::blank(t), text::trim(t).empty()) << "[" << t << "]";
  EXPECT_TRUE(text::blank(" \t "));
  EXPECT_FALSE(text::blank(" 0 "));
}

// Names in Spanish order: accents and case ignored, Ñ after N; equal folds fall back to bytes.
TEST(Text, SpanishOrder) {
  struct Row {
    const char* name;
    const char* a;
    const char* b;
    int sign;
  } rows[] = {
      {"AccentIgnored", "CÁCERES", "CONDORI", -1},
      {"AccentAgainstPlain", "CÁCERES", "CACERES X", -1},
      {"CaseIgnored", "castro", "CONDORI", -1},
      {"EnieAfterN", "NUÑEZ", "NUNEZ", 1},
      {"EnieBeforeO", "NUÑEZ", "NUOZ", -1},
      {"LowerEnie", "peña", "PENZ", 1},
      {"PrefixFirst", "PEREZ", "PEREZ A", -1},
      {"SameFoldByBytes", "CACERES", "CÁCERES", -1},
      {"Equal", "ÑANDÚ", "ÑANDÚ", 0},
      {"DieresisIsU", "GÜEMES", "GUEMEZ", -1},
  };
  for (const auto& r : rows) {
    int c = text::compareSpanish(r.a, r.b);
    EXPECT_EQ((c > 0) - (c < 0), r.sign) << r.name;
    int back = text::compareSpanish(r.b, r.a);
    EXPECT_EQ((back > 0) - (back < 0), -r.sign) << r.name << " (reversed)";
  }
}

// Text files for other programs are written in Windows-1252; what it lacks becomes "?", counted.
TEST(Text, Utf8ToWindows1252) {
  struct Case {
    const char* name;
    std::string utf8, bytes;
    std::size_t replaced;
  } cases[] = {
      {"plain ASCII", "PEREZ|41000001|", "PEREZ|41000001|", 0},
      {"Spanish letters in the Latin-1 half", "DÍAZ PEÑA ü ¿",
       "D\xCD"
       "AZ PE\xD1"
       "A \xFC \xBF",
       0},
      {"the code page's own signs above 0x7F", "€ “x” – Œ", "\x80 \x93x\x94 \x96 \x8C", 0},
      {"letters the code page lacks", "ŁÓDŹ Ω",
       "?\xD3"
       "D? ?",
       3},
      {"a control character of the C1 range it does not map",
       "a\xC2\x85"
       "b",
       "a?b", 1},
      {"a malformed byte",
       "a\xFF"
       "b",
       "a?b", 1},
  };
  for (const auto& c : cases) {
    std::size_t replaced = 0;
    EXPECT_EQ(text::utf8ToCp1252(c.utf8, &replaced), c.bytes) << c.name;
    EXPECT_EQ(replaced, c.replaced) << c.name;
    if (c.replaced == 0) {
      EXPECT_EQ(text::cp1252ToUtf8(c.bytes), c.utf8) << c.name << ": and back";
    }
  }
}

TEST(Csv, QuotedFieldsAndErrors) {
  auto r = csv::parse("a,b,c\r\n\"x, y\",\"  keep  \",\r\n\nlast,\"q\",x");
  ASSERT_TRUE(r.error.empty()) << r.error;
  ASSERT_EQ(r.rows.size(), 3u);
  EXPECT_EQ(r.rows[1], (std::vector<std::string>{"x, y", "  keep  ", ""}));
  EXPECT_EQ(r.rows[2][1], "q");
  EXPECT_FALSE(csv::parse("a,b\"c\n").error.empty());
  EXPECT_EQ(csv::formatRow({"a b", "x,y", " lead"}), "a b,\"x,y\",\" lead\"");
}

// Sections and keys are found whatever the case of their letters.
TEST(Ini, ReadsAndWritesKeysOfASection) {
  test::TempDir dir;
  IniFile ini(dir / "sub" / "VKRS000.INI");
  EXPECT_EQ(ini.read("Options", "SysPath"), "");
  ASSERT_TRUE(ini.write("Options", "SysPath", "/opt/k/"));
  ASSERT_TRUE(ini.write("Other", "X", "1"));
  ASSERT_TRUE(ini.write("options", "DBName", "  base.db  "));
  ASSERT_TRUE(ini.write("Options", "SysPath", "/opt/new/"));
  EXPECT_EQ(ini.read("OPTIONS", "syspath"), "/opt/new/");
  EXPECT_EQ(ini.read("Options", "DBName"), "base.db");
  EXPECT_EQ(ini.read("Other", "X"), "1");
  EXPECT_EQ(ini.read("Other", "SysPath"), "");
}
