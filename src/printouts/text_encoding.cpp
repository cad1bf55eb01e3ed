#include "printouts/text_encoding.h"

#include "common/text.h"

namespace korventa::printouts {

std::string encodeText(std::string_view utf8, TextEncoding encoding, std::size_t& replaced) {
  if (encoding == TextEncoding::Utf8) return std::string(utf8);
  return text::utf8ToCp1252(utf8, &replaced);
}

std::string replacedNote(std::size_t replaced) {
  if (replaced == 0) return {};
  if (replaced == 1) return "1 carácter sin equivalente en Windows-1252 se escribió como \"?\".";
  return std::to_string(replaced) + " caracteres sin equivalente en Windows-1252 se escribieron como \"?\".";
}

}  // namespace korventa::printouts
