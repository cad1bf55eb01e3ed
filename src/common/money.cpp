#include "common/money.h"

#include <cmath>
#include <cstdlib>

namespace korventa {

std::int64_t divRoundHalfAway(__int128 n, std::int64_t d) {
  if (d == 0) return 0;
  bool neg = (n < 0) != (d < 0);
  __int128 an = n < 0 ? -n : n;
  __int128 ad = d < 0 ? -static_cast<__int128>(d) : d;
  __int128 q = (an + ad / 2) / ad;
  return static_cast<std::int64_t>(neg ? -q : q);
}

Money Money::fromDouble(double value) {
  double scaled = value * kScale;
  return fromRaw(static_cast<std::int64_t>(std::llround(scaled)));
}

std::optional<Money> Money::parse(std::string_view text) {
  std::size_t i = 0, n = text.size();
  while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
  while (n > i && (text[n - 1] == ' ' || text[n - 1] == '\t' || text[n - 1] == '\r' || text[n - 1] == '\n')) --n;
  if (i >= n) return std::nullopt;
  bool neg = false;
  if (text[i] == '+' || text[i] == '-') {
    neg = text[i] == '-';
    ++i;
  }
  __int128 intPart = 0;
  std::int64_t frac = 0;
  int fracDigits = 0;
  bool roundUp = false, sawDigit = false, sawPoint = false;
  for (; i < n; ++i) {
    char c = text[i];
    if (c >= '0' && c <= '9') {
      sawDigit = true;
      if (!sawPoint) {
        intPart = intPart * 10 + (c - '0');
        // Below the last whole unit that fits, so the decimals and any rounding fit as well.
        if (intPart >= static_cast<__int128>(INT64_MAX / kScale)) return std::nullopt;
      } else if (fracDigits < 4) {
        frac = frac * 10 + (c - '0');
        ++fracDigits;
      } else if (fracDigits == 4) {
        roundUp = c >= '5';
        ++fracDigits;
      }
    } else if (c == '.') {
      if (sawPoint) return std::nullopt;
      sawPoint = true;
    } else if (c == ',' && !sawPoint) {
      continue;
    } else {
      return std::nullopt;
    }
  }
  if (!sawDigit) return std::nullopt;
  int shown = fracDigits > 4 ? 4 : fracDigits;
  for (int k = shown; k < 4; ++k) frac *= 10;
  std::int64_t raw = static_cast<std::int64_t>(intPart) * kScale + frac + (roundUp ? 1 : 0);
  return fromRaw(neg ? -raw : raw);
}

Money Money::value(std::string_view text) {
  auto m = parse(text);
  return m ? *m : Money();
}

Money Money::rounded(int decimals) const {
  if (decimals >= 4) return *this;
  std::int64_t unit = 1;
  for (int k = decimals; k < 4; ++k) unit *= 10;
  return fromRaw(divRoundHalfAway(raw_, unit) * unit);
}

Money Money::percent(Money rate) const {
  return fromRaw(divRoundHalfAway(static_cast<__int128>(raw_) * rate.raw_, kScale * 100));
}

Money Money::times(Money factor) const {
  return fromRaw(divRoundHalfAway(static_cast<__int128>(raw_) * factor.raw_, kScale));
}

Money Money::dividedBy(Money divisor) const {
  if (divisor.raw_ == 0) return Money();
  return fromRaw(divRoundHalfAway(static_cast<__int128>(raw_) * kScale, divisor.raw_));
}

std::string Money::toText(int decimals) const {
  Money r = rounded(decimals);
  std::int64_t v = r.raw_ < 0 ? -r.raw_ : r.raw_;
  std::string s = std::to_string(v / kScale);
  if (decimals > 0) {
    std::string f = std::to_string(v % kScale + kScale).substr(1, decimals);
    s += '.' + f;
  }
  if (r.raw_ < 0) s.insert(s.begin(), '-');
  return s;
}

}  // namespace korventa
