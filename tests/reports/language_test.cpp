// Numbers, booleans, tokens and colours of the report language. (Arguments kept with their blanks
// or missing, and huge numbers: ReportReader.DrawingCommands and BadLinesRenderWhatTheyCan.)
#include <gtest/gtest.h>

#include "reports/report_language.h"

namespace korventa::reports {
namespace {

TEST(ReportLanguage, NumberArguments) {
  struct Case {
    const char* name;
    const char* text;
    int expected;
  } cases[] = {
      {"leading blanks", "   175", 175},
      {"blanks inside the number", "1 2 3", 123},
      {"trailing text ignored", "300abc", 300},
      {"no number", "abc", 0},
      {"negative", "-40", -40},
      {"decimal rounds half to even (down)", "2.5", 2},
      {"decimal rounds half to even (up)", "3.5", 4},
      {"exponent", "1.5E2", 150},
      {"hexadecimal", "&H1F", 31},
      {"octal", "&O17", 15},
      {"largest", "32767", 32767},
      {"overflowing exponent clamps", "1e999", 32767},
      {"sign only", "-", 0},
      {"plain", "4450", 4450},
      {"plain with leading zeros", "0070", 70},
      {"plain negative zero", "-0", 0},
      {"plain nine digits clamp", "123456789", 32767},
      {"plain negative clamps", "-99999", -32768},
      {"ten digits", "1234567890", 32767},
      {"digits then a blank", "12 ", 12},
  };
  for (const auto& c : cases) EXPECT_EQ(numberArg(c.text), c.expected) << c.name;
}

// "True", "False" and 1 as true: ReportReader.DrawingCommands.
TEST(ReportLanguage, BooleanTexts) {
  struct Case {
    const char* name;
    const char* text;
    bool expected;
  } cases[] = {
      {"trimmed", "  True ", true}, {"any case", "TRUE", true}, {"zero", "0", false},
      {"minus one", "-1", true},    {"empty", "", false},       {"garbage", "quizá", false},
  };
  for (const auto& c : cases) EXPECT_EQ(boolArg(c.text), c.expected) << c.name;
}

TEST(ReportLanguage, CommandTokens) {
  struct Case {
    const char* name;
    const char* line;
    const char* token;  // nullptr: no command
    const char* rest;
  } cases[] = {
      {"blanks around the token", "  pCuadro |1|2|3|4|0|", "pCuadro", "1|2|3|4|0|"},
      {"tag", "<!font!>Courier New<!/font!>", "<!font!>", "Courier New<!/font!>"},
      {"new page with trailing text", "pNuevaHoja|x", "pNuevaHoja", "|x"},
      {"pipe comes first", "abc|<!x!>", "abc", "<!x!>"},
      {"no terminator", "hello world", nullptr, ""},
      {"only a pipe", "|", "", ""},
  };
  for (const auto& c : cases) {
    auto t = extractToken(c.line);
    if (!c.token) {
      EXPECT_FALSE(t.has_value()) << c.name;
      continue;
    }
    ASSERT_TRUE(t.has_value()) << c.name;
    EXPECT_EQ(t->name, c.token) << c.name;
    EXPECT_EQ(t->rest, c.rest) << c.name;
  }
}

TEST(ReportLanguage, Colours) {
  EXPECT_EQ(parseColour("&H80000005&"), (Rgb{255, 255, 255}));  // window background
  EXPECT_EQ(parseColour("&H8000000F&"), (Rgb{240, 240, 240}));  // button face
  EXPECT_EQ(parseColour("&HFF0000"), (Rgb{0, 0, 255}));
  EXPECT_EQ(parseColour("255"), (Rgb{255, 0, 0}));
  EXPECT_FALSE(parseColour("azul").has_value());
  EXPECT_FALSE(parseColour("").has_value());
}

}  // namespace
}  // namespace korventa::reports
