#pragma once
// Field checks of the import lines, without database: each gives the rejection code of the
// first rule the value breaks, or "" when the value is accepted.
#include <optional>
#include <string>
#include <string_view>

#include "common/dates.h"
#include "common/money.h"

namespace korventa::import {

// Codes of the amount rules, in the order they are tried.
struct AmountCodes {
  const char* empty = "0930";  // "Ingrese el monto"
  const char* notNumeric = "0926";
  const char* points = "0927";  // more than one "."
  const char* integerDigits = "0928";
  const char* tooLong = "0929";
  const char* negative = "0931";
  const char* invalid = "0925";
  int maxIntegerDigits = 7;
  std::size_t maxLength = 10;
};

// Val_Trans_Rem's amount rules: empty; not a number (digits, one sign in front, points);
// more than one point; too many integer digits; too long; negative; otherwise not an amount.
// An accepted value is also given in `amount` when asked for.
std::string amountCode(std::string_view value, const AmountCodes& codes = {}, Money* amount = nullptr);

// Document type: numeric, read as a two-digit code ("1" → "01"); `code` receives its value.
// "" when numeric (existence in list 044 is the caller's check), "0900" otherwise.
std::string docTypeCode(std::string_view value, int& code);

// Hours and minutes of ".jor": 0910 for a point, then emptiness and the limits in field order.
struct WorkTime {
  std::string horasNor, minNor, horasSob, minSob;
};
std::string workTimeCode(const WorkTime& t);

// A date "dd/mm/yyyy"; nullopt when it is not a real date.
std::optional<Date> importDate(std::string_view value);

// A rate text: numeric (`notNumeric`), at most one point (`points`), at most `maxInt` integer
// digits (`integerDigits`).
struct RateCodes {
  const char* notNumeric = "0935";
  const char* points = "0933";
  const char* integerDigits = "0934";
  int maxInt = 3;
};
std::string rateCode(std::string_view value, const RateCodes& codes);

// Whether a text is a whole number of digits only.
bool allDigits(std::string_view value);

}  // namespace korventa::import
