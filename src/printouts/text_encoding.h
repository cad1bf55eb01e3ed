#pragma once
// The text files written for other programs (the exported reports, the text variant of the
// printed declaration). The spreadsheets and programs that read them on Windows take a file
// without byte-order mark as Windows-1252, as the system these files replace wrote them; UTF-8
// is there for whoever asks for it.
#include <cstddef>
#include <string>
#include <string_view>

namespace korventa::printouts {

enum class TextEncoding { Windows1252, Utf8 };

// The bytes of a UTF-8 text in `encoding`; characters Windows-1252 lacks become "?" and are added
// to `replaced`.
std::string encodeText(std::string_view utf8, TextEncoding encoding, std::size_t& replaced);

// The note on characters written as "?": "1 carácter sin equivalente en Windows-1252 se escribió
// como \"?\"." / "N caracteres … se escribieron …"; "" when there were none.
std::string replacedNote(std::size_t replaced);

}  // namespace korventa::printouts
