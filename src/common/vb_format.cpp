#include "common/vb_format.h"

#include <vector>

namespace korventa {
namespace {

std::vector<std::string_view> sections(std::string_view pattern) {
  std::vector<std::string_view> out;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= pattern.size(); ++i) {
    if (i == pattern.size() || pattern[i] == ';') {
      out.push_back(pattern.substr(start, i - start));
      start = i + 1;
    }
  }
  return out;
}

bool isPlaceholder(char c) {
  return c == '0' || c == '#';
}

// Formats a non-negative value with one section.
std::string formatSection(Money value, std::string_view sec) {
  std::size_t first = sec.find_first_of("0#");
  if (first == std::string_view::npos) return std::string(sec);
  std::size_t last = sec.find_last_of("0#");
  std::size_t point = sec.find('.', first);
  if (point != std::string_view::npos && point > last) {
    // "#####." style: point after the last placeholder still belongs to the number.
    last = point;
  }
  std::string_view prefix = sec.substr(0, first);
  std::string_view body = sec.substr(first, last - first + 1);
  std::string_view suffix = sec.substr(last + 1);

  std::size_t bodyPoint = body.find('.');
  std::string_view intPic = bodyPoint == std::string_view::npos ? body : body.substr(0, bodyPoint);
  std::string_view decPic = bodyPoint == std::string_view::npos ? std::string_view() : body.substr(bodyPoint + 1);

  int decimals = 0, mandatoryDecimals = 0;
  for (char c : decPic) {
    if (isPlaceholder(c)) {
      ++decimals;
      if (c == '0') mandatoryDecimals = decimals;
    }
  }
  if (decimals > 4) decimals = 4;
  bool grouping = intPic.find(',') != std::string_view::npos;
  int minIntDigits = 0;
  {
    int count = 0;
    for (std::size_t i = intPic.size(); i-- > 0;) {
      if (isPlaceholder(intPic[i])) {
        ++count;
        if (intPic[i] == '0') minIntDigits = count;
      }
    }
  }

  Money r = value.rounded(decimals);
  std::int64_t raw = r.raw();
  std::int64_t intVal = raw / Money::kScale;
  std::int64_t fracVal = raw % Money::kScale;

  std::string digits = intVal == 0 ? std::string() : std::to_string(intVal);
  while (static_cast<int>(digits.size()) < minIntDigits) digits.insert(digits.begin(), '0');
  if (grouping && digits.size() > 3) {
    std::string g;
    int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
      g += digits[i];
      int rest = n - 1 - i;
      if (rest > 0 && rest % 3 == 0) g += ',';
    }
    digits = g;
  }
  std::string out(prefix);
  out += digits;
  if (bodyPoint != std::string_view::npos) {
    std::string frac = std::to_string(fracVal + Money::kScale).substr(1, decimals);
    // Optional decimals ('#') drop their trailing zeros.
    while (static_cast<int>(frac.size()) > mandatoryDecimals && !frac.empty() && frac.back() == '0') frac.pop_back();
    if (!frac.empty() || decPic.empty() || mandatoryDecimals > 0) {
      out += '.';
      out += frac;
    } else {
      out += '.';
    }
  }
  // Literal characters inside the number picture other than placeholders, ',' and '.' are rare;
  // they are not used by this program's patterns.
  out += suffix;
  return out;
}

}  // namespace

std::string vbFormat(Money value, std::string_view pattern) {
  auto secs = sections(pattern);
  if (value.isNegative() && secs.size() >= 2 && !secs[1].empty()) return formatSection(-value, secs[1]);
  if (value.isZero() && secs.size() >= 3 && !secs[2].empty()) return formatSection(value, secs[2]);
  std::string_view sec = secs[0];
  if (value.isNegative()) {
    std::string s = formatSection(-value, sec);
    int decimals = 0;
    std::size_t p = sec.find('.');
    if (p != std::string_view::npos)
      for (std::size_t i = p + 1; i < sec.size(); ++i)
        if (isPlaceholder(sec[i])) ++decimals;
    if ((-value).rounded(decimals > 4 ? 4 : decimals).isZero()) return s;
    return "-" + s;
  }
  return formatSection(value, sec);
}

std::string vbFormat(long long value, std::string_view pattern) {
  return vbFormat(Money::fromUnits(value), pattern);
}

std::string vbFormatText(std::string_view text, std::string_view pattern) {
  auto m = Money::parse(text);
  if (!m) return std::string(text);
  return vbFormat(*m, pattern);
}

}  // namespace korventa
