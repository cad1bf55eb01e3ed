#pragma once
// Dates and periods. Periods are texts "YYYYMM"; screens show "MM/YYYY". Dates are stored
// as "dd/mm/yyyy" in declaration tables and as ISO "YYYY-MM-DD" in the registry; they are
// compared as "yyyymmdd" texts.
#include <optional>
#include <string>
#include <string_view>

namespace korventa {

struct Date {
  int year = 0, month = 0, day = 0;

  // "dd/mm/yyyy" (also d/m/yyyy) with a real calendar date; nullopt otherwise.
  static std::optional<Date> parseDmy(std::string_view text);
  // "YYYY-MM-DD" or "yyyymmdd".
  static std::optional<Date> parseIso(std::string_view text);
  // Either of the above.
  static std::optional<Date> parseAny(std::string_view text);

  std::string dmy() const;       // dd/mm/yyyy
  std::string iso() const;       // YYYY-MM-DD
  std::string yyyymmdd() const;  // yyyymmdd
  std::string period() const;    // YYYYMM
  int serial() const;            // days since 0001-01-01, for differences
  static Date fromSerial(int serial);
  Date addDays(int days) const { return fromSerial(serial() + days); }

  friend auto operator<=>(const Date&, const Date&) = default;
  friend bool operator==(const Date&, const Date&) = default;
};

// Days of a month: "31"; "30" for 04, 06, 09, 11; for 02 "29" when the year is divisible by 4
// (only that test), else "28".
std::string DiasDelMes(std::string_view month, std::string_view year);
int daysInMonth(int year, int month);           // same rule, as a number
bool isRealDate(int year, int month, int day);  // proleptic Gregorian calendar

// "dd/mm/yyyy" → "yyyymmdd"; any other text gives "".
std::string dmyToYmd(std::string_view dmy);
// "yyyymmdd" → "dd/mm/yyyy"; any other text gives "".
std::string ymdToDmy(std::string_view ymd);

// Period helpers.
bool isPeriod(std::string_view yyyymm);                      // 6 digits, month 01–12
std::string addMonths(std::string_view yyyymm, int months);  // "201212" + 1 → "201301"
std::string periodToDisplay(std::string_view yyyymm);        // "201205" → "05/2012"
std::string periodFromDisplay(std::string_view mmyyyy);      // "05/2012" → "201205"; "" when incomplete
std::string periodMonth(std::string_view yyyymm);            // "05"
std::string periodYear(std::string_view yyyymm);             // "2012"
// Registry date text (ISO or dd/mm/yyyy) → "YYYYMM"; empty when missing or malformed.
std::string monthOf(std::string_view dateText);

// The current date. Production reads the system clock; tests set a fixed date.
class Clock {
 public:
  static Date today();
  static void setFixed(std::optional<Date> date);
};

}  // namespace korventa
