#include "printouts/text_sink.h"

#include <stdexcept>

namespace korventa::printouts {

TextSink::TextSink(std::filesystem::path path, TextEncoding encoding, std::size_t& replaced)
    : path_(std::move(path)), encoding_(encoding), replaced_(replaced) {}

void TextSink::begin(const ReportHeader&) {
  out_.open(path_, std::ios::binary | std::ios::trunc);
  if (!out_) throw std::runtime_error("No se puede crear " + path_.string());
}

void TextSink::row(const std::vector<Cell>& cells) {
  std::string line;
  for (const auto& c : cells) {
    for (char ch : c.text) line += ch == '|' ? ' ' : ch;  // a "|" in a name would shift the fields
    line += '|';
  }
  line = encodeText(line, encoding_, replaced_) + "\r\n";
  out_.write(line.data(), static_cast<std::streamsize>(line.size()));
}

void TextSink::end() {
  out_.close();
  if (!out_) throw std::runtime_error("No se pudo escribir " + path_.string());
}

}  // namespace korventa::printouts
