#pragma once
// Exact amounts: a fixed-point integer of 1/10000, like a currency type. Amounts are stored
// as texts ("1234.50"); they are parsed into Money, summed and formatted, never held in double.
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korventa {

class Money {
 public:
  static constexpr std::int64_t kScale = 10000;

  constexpr Money() = default;
  static constexpr Money fromRaw(std::int64_t raw) {
    Money m;
    m.raw_ = raw;
    return m;
  }
  static constexpr Money fromUnits(std::int64_t units) { return fromRaw(units * kScale); }
  // Nearest representable value; halves away from zero.
  static Money fromDouble(double value);

  // Strict parse of a decimal text: optional blanks, optional sign, digits with at most one
  // point, up to four decimals kept (further decimals round half away from zero). Thousands
  // separators "," are accepted. Empty or malformed text gives nullopt.
  static std::optional<Money> parse(std::string_view text);
  // Lenient numeric value of a text as the stored-amount queries use it: the empty or
  // malformed text counts as zero.
  static Money value(std::string_view text);

  constexpr std::int64_t raw() const { return raw_; }
  double toDouble() const { return static_cast<double>(raw_) / kScale; }
  constexpr bool isZero() const { return raw_ == 0; }
  constexpr bool isNegative() const { return raw_ < 0; }

  // Rounded to the given number of decimals (0..4), halves away from zero.
  Money rounded(int decimals) const;
  // a * rate / 100, rounded to the currency precision (4 decimals).
  Money percent(Money rate) const;
  Money times(Money factor) const;       // rounded to 4 decimals
  Money dividedBy(Money divisor) const;  // rounded to 4 decimals; divisor zero gives zero

  // Plain text with exactly `decimals` decimals, point as separator, minus sign when negative.
  std::string toText(int decimals = 2) const;

  constexpr Money operator-() const { return fromRaw(-raw_); }
  constexpr Money& operator+=(Money o) {
    raw_ += o.raw_;
    return *this;
  }
  constexpr Money& operator-=(Money o) {
    raw_ -= o.raw_;
    return *this;
  }
  friend constexpr Money operator+(Money a, Money b) { return fromRaw(a.raw_ + b.raw_); }
  friend constexpr Money operator-(Money a, Money b) { return fromRaw(a.raw_ - b.raw_); }
  friend constexpr auto operator<=>(Money a, Money b) = default;
  friend constexpr bool operator==(Money a, Money b) = default;

 private:
  std::int64_t raw_ = 0;
};

// Division of integers rounding halves away from zero.
std::int64_t divRoundHalfAway(__int128 numerator, std::int64_t denominator);

}  // namespace korventa
