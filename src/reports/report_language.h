#pragma once
// Lexical pieces of the report description language: command tokens, arguments, the lenient
// number parse, boolean texts, tag values and colour numbers. A report file is a text of lines,
// each one command: "pPos|x|y|text|bold|size|page|", "pCuadro|x1|y1|x2|y2|page|",
// "pPosVerti|x|y|text|bold|size|page|", "pNuevaHoja", or a tag "<!name!>value<!/name!>".
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korventa::reports {

// Leading number of a text, 0 when there is none: blanks are skipped, an optional sign, digits
// with an optional decimal part and exponent; "&H…" (hexadecimal) and "&O…" (octal) are read too.
double leadingNumber(std::string_view s);
// Rounded to an integer (halves to the even neighbour) and held within 16 bits, so huge numbers
// stay usable instead of overflowing.
int toInt16(double v);
inline int numberArg(std::string_view s) {
  return toInt16(leadingNumber(s));
}

// Boolean text, trimmed: "True"/"False" in any case, or a number (0 false, any other true).
// Anything else reads as false.
bool boolArg(std::string_view s);

struct Token {
  std::string name;       // trimmed command token ("pPos", "<!font!>", "pNuevaHoja")
  std::string_view rest;  // what follows the token on the line
};
// The command token of a line: built from the start of the line up to the first point where it
// ends with "|" (dropped), "!>" or "aHoja", then trimmed. A line that never reaches one of these
// (an empty line, say) has no command.
std::optional<Token> extractToken(std::string_view line);

// Reads the arguments of a drawing command one by one: each runs up to the next "|". Past the
// last "|" the remaining text is the argument, and after that every argument is empty.
class ArgReader {
 public:
  explicit ArgReader(std::string_view rest) : rest_(rest) {}
  std::string_view next();
  int number() { return numberArg(next()); }
  bool boolean() { return boolArg(next()); }

 private:
  std::string_view rest_;
  bool done_ = false;
};

// Value of a tag: from the end of the opening tag up to its closing tag ("<!/font!>"), or to the
// end of the line when the closing tag is missing.
std::string_view tagValue(std::string_view rest, std::string_view closingTag);

struct Rgb {
  std::uint8_t r = 255, g = 255, b = 255;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};
// A colour number "&H80000005&" (or decimal): numbers with the high bit set name a system
// colour by its index (5 = window background, white); others are 0x00BBGGRR.
std::optional<Rgb> parseColour(std::string_view text);

}  // namespace korventa::reports
