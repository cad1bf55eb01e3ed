#include "reports/report_language.h"

#include <cmath>
#include <cstdlib>

#include "common/text.h"

namespace korventa::reports {
namespace {

bool ignorable(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool equalsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// "&H…" / "&O…" numbers: up to four digits read as a signed 16-bit value, up to eight as a
// signed 32-bit value ("&HFFFF" is -1, "&H80000005" is negative), longer ones as they come.
double radixNumber(std::string_view digits, int radix) {
  double v = 0;
  std::size_t n = 0;
  for (char c : digits) {
    int d;
    if (c >= '0' && c <= '9')
      d = c - '0';
    else if (radix == 16 && c >= 'a' && c <= 'f')
      d = c - 'a' + 10;
    else if (radix == 16 && c >= 'A' && c <= 'F')
      d = c - 'A' + 10;
    else
      break;
    if (d >= radix) break;
    v = v * radix + d;
    ++n;
  }
  if (n == 0) return 0;
  double bits = radix == 16 ? 4.0 * n : 3.0 * n;
  if (bits <= 16 && v >= 32768) return v - 65536;
  if (bits > 16 && bits <= 32 && v >= 2147483648.0) return v - 4294967296.0;
  return v;
}

}  // namespace

double leadingNumber(std::string_view s) {
  // Nearly every argument of a report file is a plain whole number: read it straight away.
  if (!s.empty() && s.size() <= 9) {
    const bool negative = s[0] == '-';
    bool plain = s.size() > (negative ? 1u : 0u);
    int v = 0;
    for (std::size_t i = negative ? 1 : 0; plain && i < s.size(); ++i) {
      plain = s[i] >= '0' && s[i] <= '9';
      v = v * 10 + (s[i] - '0');
    }
    if (plain) return negative ? -static_cast<double>(v) : static_cast<double>(v);
  }
  // Blanks, tabs and line feeds do not stop the number anywhere in it.
  std::string t;
  t.reserve(s.size());
  for (char c : s)
    if (!ignorable(c)) t += c;
  if (t.size() >= 2 && t[0] == '&' && (t[1] == 'H' || t[1] == 'h'))
    return radixNumber(std::string_view(t).substr(2), 16);
  if (t.size() >= 2 && t[0] == '&' && (t[1] == 'O' || t[1] == 'o'))
    return radixNumber(std::string_view(t).substr(2), 8);

  std::string num;
  std::size_t i = 0;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) num += t[i++];
  bool digits = false;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') num += t[i++], digits = true;
  if (i < t.size() && t[i] == '.') {
    num += t[i++];
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') num += t[i++], digits = true;
  }
  if (!digits) return 0;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E' || t[i] == 'd' || t[i] == 'D')) {
    std::string exp = "e";
    std::size_t j = i + 1;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) exp += t[j++];
    bool expDigits = false;
    while (j < t.size() && t[j] >= '0' && t[j] <= '9') exp += t[j++], expDigits = true;
    if (expDigits) num += exp;
  }
  double v = std::strtod(num.c_str(), nullptr);
  return std::isfinite(v) ? v : (v > 0 ? 1e308 : -1e308);
}

int toInt16(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 32767.0) return 32767;
  if (v <= -32768.0) return -32768;
  return static_cast<int>(std::nearbyint(v));  // default rounding: halves to even
}

bool boolArg(std::string_view s) {
  std::string t = text::trim(s);
  if (equalsNoCase(t, "true")) return true;
  if (equalsNoCase(t, "false") || t.empty()) return false;
  bool numeric = false;
  for (char c : t)
    if (c >= '0' && c <= '9') numeric = true;
  return numeric && leadingNumber(t) != 0;
}

std::optional<Token> extractToken(std::string_view line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    std::string_view sofar = line.substr(0, i + 1);
    std::string_view name;
    if (line[i] == '|') {
      name = sofar.substr(0, i);
    } else if (sofar.ends_with("!>") || sofar.ends_with("aHoja")) {
      name = sofar;
    } else {
      continue;
    }
    return Token{text::trim(name), line.substr(i + 1)};
  }
  return std::nullopt;
}

std::string_view ArgReader::next() {
  if (done_) return {};
  auto p = rest_.find('|');
  if (p == std::string_view::npos) {
    done_ = true;
    return rest_;
  }
  std::string_view arg = rest_.substr(0, p);
  rest_ = rest_.substr(p + 1);
  return arg;
}

std::string_view tagValue(std::string_view rest, std::string_view closingTag) {
  auto p = rest.find(closingTag);
  return p == std::string_view::npos ? rest : rest.substr(0, p);
}

std::optional<Rgb> parseColour(std::string_view textValue) {
  std::string t = text::trim(textValue);
  bool hex = t.size() >= 2 && t[0] == '&' && (t[1] == 'H' || t[1] == 'h');
  bool decimal = !t.empty() && ((t[0] >= '0' && t[0] <= '9') || t[0] == '-');
  if (!hex && !decimal) return std::nullopt;
  double v = leadingNumber(t);
  if (hex && v < 0) v += 4294967296.0;  // "&H8…" reads as a negative 32-bit number
  if (v < 0 || v > 4294967295.0) return std::nullopt;
  auto n = static_cast<std::uint32_t>(v);
  if (n & 0x80000000u) {
    // System colours by index, as a classic desktop shows them.
    switch (n & 0xFF) {
      case 0:
        return Rgb{200, 200, 200};  // scroll bar
      case 1:
        return Rgb{0, 0, 0};  // desktop
      case 8:
      case 9:
      case 18:
        return Rgb{0, 0, 0};  // window, caption and button text
      case 12:
        return Rgb{171, 171, 171};  // application workspace
      case 15:
        return Rgb{240, 240, 240};  // button face
      case 24:
        return Rgb{255, 255, 225};  // tool tip background
      default:
        return Rgb{255, 255, 255};  // 5 window background, and the rest
    }
  }
  return Rgb{std::uint8_t(n & 0xFF), std::uint8_t((n >> 8) & 0xFF), std::uint8_t((n >> 16) & 0xFF)};
}

}  // namespace korventa::reports
