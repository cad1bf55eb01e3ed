#include <gtest/gtest.h>

#include "model/labour_periods.h"

namespace korventa::model {
namespace {

using P = LabourPeriod;

// An open period, one ended the month before and situation 18 after its end are in the
// declaration test of the registry (WorkingSetTest.NewDeclarationFromTheRegistry).
TEST(EncuentroPeriodoLaboral, QualifyingPeriods) {
  struct Case {
    const char* name;
    std::vector<P> periods;
    const char* periodo;
    const char* situac;
    bool expected;
  };
  const Case cases[] = {
      {"period ended in the month", {{"2011-01-01", "2012-05-03", "21"}}, "201205", "11", true},
      {"period starting the next month", {{"2012-06-01", "", "21"}}, "201205", "11", false},
      {"second period covers", {{"2010-01-01", "2010-12-31", "21"}, {"2012-05-31", "", "21"}}, "201205", "11", true},
      {"situation 18, ended in March, March", {{"2011-01-01", "2012-03-10", "21"}}, "201203", "18", true},
      {"situation 18, ended in March, February", {{"2011-01-01", "2012-03-10", "21"}}, "201202", "18", false},
      {"situation 19, open period", {{"2011-01-01", "", "21"}}, "201202", "19", true},
      {"dd/mm/yyyy dates", {{"01/01/2011", "31/05/2012", "21"}}, "201205", "11", true},
      {"no periods", {}, "201205", "11", false},
  };
  for (const auto& c : cases) EXPECT_EQ(EncuentroPeriodoLaboral(c.periods, c.periodo, c.situac), c.expected) << c.name;
}

TEST(DiasLaborados, DaysOfTheMonth) {
  struct Case {
    const char* name;
    std::vector<P> periods;
    const char* periodo;
    int expected;
  };
  const Case cases[] = {
      {"starts on the last day of a 31-day month", {{"2012-05-31", "", ""}}, "201205", 1},
      {"started before, ends in the month", {{"2010-01-01", "2012-05-12", ""}}, "201205", 12},
      {"February of a leap year", {{"2010-01-01", "", ""}}, "201202", 29},
      {"ended the month before", {{"2010-01-01", "2012-04-30", ""}}, "201205", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(diasLaborados(c.periods, c.periodo), c.expected) << c.name;
}

}  // namespace
}  // namespace korventa::model
