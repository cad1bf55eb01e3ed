#include "import/import_checks.h"

#include <charconv>

namespace korventa::import {

namespace {

// Digits with an optional sign in front and points anywhere: what the amount rules call numeric
// (the number of points is a rule of its own).
bool numericShape(std::string_view v) {
  if (v.empty()) return false;
  std::size_t i = 0;
  if (v[0] == '-' || v[0] == '+') i = 1;
  bool digit = false;
  for (; i < v.size(); ++i) {
    if (v[i] >= '0' && v[i] <= '9')
      digit = true;
    else if (v[i] != '.')
      return false;
  }
  return digit;
}

int pointCount(std::string_view v) {
  int n = 0;
  for (char c : v)
    if (c == '.') ++n;
  return n;
}

int integerDigits(std::string_view v) {
  int n = 0;
  for (char c : v) {
    if (c == '.') break;
    if (c >= '0' && c <= '9') ++n;
  }
  return n;
}

int toInt(std::string_view v) {
  int n = 0;
  auto r = std::from_chars(v.data(), v.data() + v.size(), n);
  if (r.ec != std::errc() || r.ptr != v.data() + v.size()) return -1;
  return n;
}

// An amount of digits with two decimals ("1234.50"), as nearly every line of a large file
// brings it, within the limits: read at once, to the value the rules below would accept.
std::optional<Money> plainAmount(std::string_view v, const AmountCodes& c) {
  const std::size_t n = v.size();
  if (n < 4 || n > c.maxLength || n > 17 || v[n - 3] != '.') return std::nullopt;
  if (static_cast<int>(n - 3) > c.maxIntegerDigits) return std::nullopt;
  std::int64_t units = 0;
  for (std::size_t i = 0; i < n - 3; ++i) {
    if (v[i] < '0' || v[i] > '9') return std::nullopt;
    units = units * 10 + (v[i] - '0');
  }
  const char d1 = v[n - 2], d2 = v[n - 1];
  if (d1 < '0' || d1 > '9' || d2 < '0' || d2 > '9') return std::nullopt;
  return Money::fromRaw(units * Money::kScale + (d1 - '0') * (Money::kScale / 10) + (d2 - '0') * (Money::kScale / 100));
}

}  // namespace

bool allDigits(std::string_view value) {
  if (value.empty()) return false;
  for (char c : value)
    if (c < '0' || c > '9') return false;
  return true;
}

std::string amountCode(std::string_view v, const AmountCodes& c, Money* amount) {
  if (auto m = plainAmount(v, c)) {
    if (amount) *amount = *m;
    return {};
  }
  if (v.empty()) return c.empty;
  if (!numericShape(v)) return c.notNumeric;
  if (pointCount(v) > 1) return c.points;
  if (integerDigits(v) > c.maxIntegerDigits) return c.integerDigits;
  if (v.size() > c.maxLength) return c.tooLong;
  if (v[0] == '-') return c.negative;
  auto m = Money::parse(v);
  if (!m || m->isNegative()) return c.invalid;
  if (amount) *amount = *m;
  return {};
}

std::string docTypeCode(std::string_view value, int& code) {
  code = 0;
  if (!allDigits(value) || value.size() > 2) return "0900";
  code = toInt(value);
  return {};
}

std::string workTimeCode(const WorkTime& t) {
  for (const auto* f : {&t.horasNor, &t.minNor, &t.horasSob, &t.minSob})
    if (f->find('.') != std::string::npos || f->find(',') != std::string::npos) return "0910";
  if (t.horasNor.empty()) return "0918";
  if (!allDigits(t.horasNor) || t.horasNor.size() > 4) return "0906";
  if (toInt(t.horasNor) > 744) return "0906";
  if (t.minNor.empty()) return "0947";
  if (!allDigits(t.minNor) || t.minNor.size() > 2 || toInt(t.minNor) > 59) return "0949";
  if (t.horasSob.empty()) return "0919";
  if (!allDigits(t.horasSob) || t.horasSob.size() > 4 || toInt(t.horasSob) > 744) return "0909";
  if (t.minSob.empty()) return "0948";
  if (!allDigits(t.minSob) || t.minSob.size() > 2 || toInt(t.minSob) > 59) return "0952";
  int total = (toInt(t.horasNor) + toInt(t.horasSob)) * 60 + toInt(t.minNor) + toInt(t.minSob);
  if (total > 744 * 60) return "0911";
  return {};
}

std::optional<Date> importDate(std::string_view value) {
  // Exactly dd/mm/yyyy: the stored dates are compared as texts.
  if (value.size() != 10 || value[2] != '/' || value[5] != '/') return std::nullopt;
  return Date::parseDmy(value);
}

std::string rateCode(std::string_view v, const RateCodes& c) {
  if (!numericShape(v) || v[0] == '-' || v[0] == '+') return c.notNumeric;
  if (pointCount(v) > 1) return c.points;
  if (integerDigits(v) > c.maxInt) return c.integerDigits;
  if (!Money::parse(v)) return c.notNumeric;
  return {};
}

}  // namespace korventa::import
