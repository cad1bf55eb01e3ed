#pragma once
// UTF-8 text helpers. Positions and lengths are in characters (1-based where the
// fixed-position records of the parameter table use them), never in bytes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korventa::text {

std::size_t length(std::string_view s);  // characters
std::string mid(std::string_view s, std::size_t start1, std::size_t count = std::string_view::npos);
std::string left(std::string_view s, std::size_t count);
std::string right(std::string_view s, std::size_t count);
std::string trim(std::string_view s);  // blanks (and tabs) on both ends
// Nothing but blanks and tabs (what trim would empty), looked at in place.
bool blank(std::string_view s);
std::string rtrim(std::string_view s);
std::string ltrim(std::string_view s);
// Cut or pad with blanks on the right to exactly `width` characters.
std::string fixedWidth(std::string_view s, std::size_t width);
// Pad on the left with `fill` to `width` characters (never cuts).
std::string padLeft(std::string_view s, std::size_t width, char fill = ' ');
std::string upper(std::string_view s);  // ASCII and Latin-1 letters
// Equal but for the case of ASCII letters (names of keys, sections and columns).
bool equalsIgnoreCase(std::string_view a, std::string_view b);
bool isDigits(std::string_view s);  // non-empty, 0-9 only
// Number of a code text ("0021" → 21, " 3" → 3); 0 when it is not a number.
int codeNumber(std::string_view s);
bool startsWith(std::string_view s, std::string_view prefix);
std::vector<std::string> split(std::string_view s, char sep);

// Code points of a UTF-8 text (malformed bytes come out as U+FFFD).
std::vector<char32_t> codepoints(std::string_view s);
std::string fromCodepoint(char32_t cp);
// Character code as the single-byte Windows code page numbers it (falls back to the code point).
std::uint32_t ansiCode(char32_t cp);

bool isValidUtf8(std::string_view s);
std::string cp1252ToUtf8(std::string_view s);
// A UTF-8 text in Windows-1252. A character the code page lacks (and a malformed byte) becomes
// "?"; `replaced` (when given) counts them.
std::string utf8ToCp1252(std::string_view s, std::size_t* replaced = nullptr);
// Bytes of an input file line or whole file: a UTF-8 byte-order mark is dropped; text that is
// not valid UTF-8 is read as Windows-1252.
std::string decodeInput(std::string_view bytes);

}  // namespace korventa::text
