#include "common/text.h"
#include "common/spanish_order.h"

#include <algorithm>

namespace korventa::text {
namespace {

// Byte length of the UTF-8 sequence starting with `c` (1 for invalid leads).
std::size_t seqLen(unsigned char c) {
  if (c < 0x80) return 1;
  if ((c >> 5) == 0x6) return 2;
  if ((c >> 4) == 0xE) return 3;
  if ((c >> 3) == 0x1E) return 4;
  return 1;
}

// Byte offset of character index `idx` (0-based), or s.size() when past the end.
std::size_t byteOffset(std::string_view s, std::size_t idx) {
  std::size_t off = 0;
  while (idx > 0 && off < s.size()) {
    off += seqLen(static_cast<unsigned char>(s[off]));
    --idx;
  }
  return off < s.size() ? off : s.size();
}

const char32_t kCp1252High[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                  0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

}  // namespace

std::size_t length(std::string_view s) {
  std::size_t n = 0;
  for (std::size_t off = 0; off < s.size(); off += seqLen(static_cast<unsigned char>(s[off]))) ++n;
  return n;
}

std::string mid(std::string_view s, std::size_t start1, std::size_t count) {
  if (start1 == 0) start1 = 1;
  std::size_t b = byteOffset(s, start1 - 1);
  if (count == std::string_view::npos) return std::string(s.substr(b));
  std::size_t e = b;
  while (count > 0 && e < s.size()) {
    e += seqLen(static_cast<unsigned char>(s[e]));
    --count;
  }
  if (e > s.size()) e = s.size();
  return std::string(s.substr(b, e - b));
}

std::string left(std::string_view s, std::size_t count) {
  return mid(s, 1, count);
}

std::string right(std::string_view s, std::size_t count) {
  std::size_t n = length(s);
  if (count >= n) return std::string(s);
  return mid(s, n - count + 1);
}

bool blank(std::string_view s) {
  return s.find_first_not_of(" \t") == std::string_view::npos;
}

std::string trim(std::string_view s) {
  return ltrim(rtrim(s));
}

std::string rtrim(std::string_view s) {
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return std::string(s);
}

std::string ltrim(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  return std::string(s);
}

std::string fixedWidth(std::string_view s, std::size_t width) {
  std::size_t n = length(s);
  if (n >= width) return left(s, width);
  return std::string(s) + std::string(width - n, ' ');
}

std::string padLeft(std::string_view s, std::size_t width, char fill) {
  std::size_t n = length(s);
  if (n >= width) return std::string(s);
  return std::string(width - n, fill) + std::string(s);
}

std::string upper(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char32_t cp : codepoints(s)) {
    if (cp >= 'a' && cp <= 'z')
      cp -= 32;
    else if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7)
      cp -= 32;
    out += fromCodepoint(cp);
  }
  return out;
}

bool equalsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x -= 32;
    if (y >= 'a' && y <= 'z') y -= 32;
    if (x != y) return false;
  }
  return true;
}

bool isDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

bool startsWith(std::string_view s, std::string_view p) {
  return s.substr(0, p.size()) == p;
}

std::vector<std::string> split(std::string_view s, char sep) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= s.size(); ++i) {
    if (i == s.size() || s[i] == sep) {
      out.emplace_back(s.substr(start, i - start));
      start = i + 1;
    }
  }
  return out;
}

namespace {

// The code point at s[i] (U+FFFD for a malformed byte); i moves past it.
char32_t nextCodepoint(std::string_view s, std::size_t& i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  std::size_t n = seqLen(c);
  if (n == 1) {
    ++i;
    return c < 0x80 ? c : 0xFFFD;
  }
  if (i + n > s.size()) {
    i = s.size();
    return 0xFFFD;
  }
  char32_t cp = c & (0x7F >> n);
  for (std::size_t k = 1; k < n; ++k) {
    unsigned char cc = static_cast<unsigned char>(s[i + k]);
    if ((cc & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (cc & 0x3F);
  }
  i += n;
  return cp;
}

// Weight of a character in the Spanish order: letters without case or accent, Ñ between N and O.
std::uint32_t spanishWeight(char32_t cp) {
  if (cp >= 'a' && cp <= 'z')
    cp -= 'a' - 'A';
  else if (cp >= 0xC0 && cp <= 0xFF) {
    static constexpr char kBase[] = "AAAAAAACEEEEIIIIDNOOOOO*OUUUUYTSAAAAAAACEEEEIIIIDNOOOOO/OUUUUYTY";
    if (cp == 0xD1 || cp == 0xF1) return 'N' * 2 + 1;
    char b = kBase[cp - 0xC0];
    if (b != '*' && b != '/') cp = static_cast<unsigned char>(b);
  }
  return static_cast<std::uint32_t>(cp) * 2;
}

}  // namespace

std::vector<char32_t> codepoints(std::string_view s) {
  std::vector<char32_t> out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) out.push_back(nextCodepoint(s, i));
  return out;
}

int compareSpanish(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    std::uint32_t wa = spanishWeight(nextCodepoint(a, i)), wb = spanishWeight(nextCodepoint(b, j));
    if (wa != wb) return wa < wb ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

std::string fromCodepoint(char32_t cp) {
  std::string o;
  if (cp < 0x80)
    o += static_cast<char>(cp);
  else if (cp < 0x800) {
    o += static_cast<char>(0xC0 | (cp >> 6));
    o += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    o += static_cast<char>(0xE0 | (cp >> 12));
    o += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    o += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    o += static_cast<char>(0xF0 | (cp >> 18));
    o += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    o += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    o += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return o;
}

std::uint32_t ansiCode(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return cp;
  for (int i = 0; i < 32; ++i)
    if (kCp1252High[i] == cp) return 0x80 + i;
  return cp;
}

bool isValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    std::size_t n = seqLen(c);
    if (n == 1 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    if (n == 2 && c < 0xC2) return false;  // overlong
    i += n;
  }
  return true;
}

std::string cp1252ToUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 8);
  for (char ch : s) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x80)
      out += ch;
    else if (c < 0xA0)
      out += fromCodepoint(kCp1252High[c - 0x80]);
    else
      out += fromCodepoint(c);
  }
  return out;
}

std::string utf8ToCp1252(std::string_view s, std::size_t* replaced) {
  std::string out;
  out.reserve(s.size());
  for (char32_t cp : codepoints(s)) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      out += static_cast<char>(cp);
      continue;
    }
    const char32_t* high = std::find(std::begin(kCp1252High), std::end(kCp1252High), cp);
    if (high != std::end(kCp1252High)) {
      out += static_cast<char>(0x80 + (high - std::begin(kCp1252High)));
    } else {
      out += '?';
      if (replaced) ++*replaced;
    }
  }
  return out;
}

std::string decodeInput(std::string_view bytes) {
  if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xEF &&
      static_cast<unsigned char>(bytes[1]) == 0xBB && static_cast<unsigned char>(bytes[2]) == 0xBF)
    bytes.remove_prefix(3);
  if (isValidUtf8(bytes)) return std::string(bytes);
  return cp1252ToUtf8(bytes);
}

int codeNumber(std::string_view s) {
  std::string t = trim(s);
  if (!isDigits(t) || t.size() > 9) return 0;
  return std::stoi(t);
}

}  // namespace korventa::text
