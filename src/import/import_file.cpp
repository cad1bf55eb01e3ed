#include "import/import_file.h"

#include <fstream>
#include <system_error>
#include <utility>

#include "common/text.h"

namespace korventa::import {

namespace {

std::string displayName(std::string_view name) {
  return "\"" + std::string(name) + "\"";
}

}  // namespace

ImportText::ImportText(ImportText&& other) noexcept {
  *this = std::move(other);
}

ImportText& ImportText::operator=(ImportText&& other) noexcept {
  if (this == &other) return *this;
  const char* from = other.text.data();
  text = std::move(other.text);
  lines = std::move(other.lines);
  problem = std::move(other.problem);
  if (text.data() != from)
    for (auto& line : lines) line = std::string_view(text.data() + (line.data() - from), line.size());
  other.text.clear();
  other.lines.clear();
  other.problem.clear();
  return *this;
}

bool isBlank(std::string_view line) {
  for (char c : line)
    if (c != ' ' && c != '\t') return false;
  return true;
}

ImportText decodeImportText(std::string bytes, std::string_view name) {
  ImportText out;
  if (bytes.empty() || isBlank(bytes) || bytes.find_first_not_of(" \t\r\n") == std::string::npos) {
    out.problem = "El archivo " + displayName(name) + " está vacío.";
    return out;
  }
  // Control bytes other than tab, CR and LF (NUL first of all) mean the file is not text. The
  // bytes 0x80–0x9F are letters in Windows-1252 and are left to the decoder.
  std::size_t lineNo = 1;
  for (unsigned char c : bytes) {
    if (c == '\n') ++lineNo;
    if (c < 0x20 && c != '\t' && c != '\r' && c != '\n') {
      out.problem = "El archivo " + displayName(name) + " no es un archivo de texto (línea " + std::to_string(lineNo) +
                    "). Verifique el archivo a transferir.";
      return out;
    }
  }
  out.text = text::decodeInput(bytes);
  std::string_view all(out.text);
  std::size_t start = 0;
  while (start < all.size()) {
    std::size_t end = all.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = all.size();
    std::string_view line = all.substr(start, end - start);
    if (line.size() > kMaxLineLength) {
      out.problem = "La línea " + std::to_string(out.lines.size() + 1) + " del archivo " + displayName(name) +
                    " es demasiado larga (más de " + std::to_string(kMaxLineLength) +
                    " caracteres). Verifique el archivo a transferir.";
      out.lines.clear();
      return out;
    }
    out.lines.push_back(line);
    if (end < all.size() && all[end] == '\r' && end + 1 < all.size() && all[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return out;
}

ImportText readImportFile(const std::filesystem::path& file) {
  ImportText out;
  std::string name = file.filename().string();
  std::error_code ec;
  auto size = std::filesystem::file_size(file, ec);
  if (ec || !std::filesystem::is_regular_file(file, ec)) {
    out.problem = "En la ruta indicada, no se encuentra el archivo a transferir, verifique la ruta";
    return out;
  }
  if (size > kMaxFileSize) {
    out.problem = "El archivo " + displayName(name) + " es demasiado grande para ser importado.";
    return out;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    out.problem = "¡El archivo se encuentra abierto!\nIntente nuevamente por favor.";
    return out;
  }
  std::string bytes(static_cast<std::size_t>(size), '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(size));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return decodeImportText(std::move(bytes), name);
}

std::size_t CuentaPye(const std::vector<std::string_view>& lines, int separators, bool exact) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (isBlank(lines[i])) continue;
    int n = 0;
    for (char c : lines[i])
      if (c == '|') ++n;
    if (exact ? n != separators : n < separators) return i + 1;
  }
  return 0;
}

std::size_t checkTerminators(const std::vector<std::string_view>& lines) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (isBlank(lines[i])) continue;
    std::string_view l = lines[i];
    while (!l.empty() && (l.back() == ' ' || l.back() == '\t')) l.remove_suffix(1);
    if (l.back() != '|') return i + 1;
  }
  return 0;
}

std::vector<std::string> splitFields(std::string_view line, int count) {
  std::vector<std::string> out;
  splitFields(line, count, out);
  return out;
}

void splitFields(std::string_view line, int count, std::vector<std::string>& out) {
  const auto n = static_cast<std::size_t>(count);
  out.resize(n);
  // One pass over the line: the fields are short, a search call per field costs more.
  const char* p = line.data();
  const char* const end = p + line.size();
  std::size_t i = 0;
  for (; i < n; ++i) {
    const char* bar = p;
    while (bar != end && *bar != '|') ++bar;
    const char* b = p;
    const char* e = bar;
    while (b != e && (*b == ' ' || *b == '\t')) ++b;
    while (e != b && (e[-1] == ' ' || e[-1] == '\t')) --e;
    out[i].assign(b, e);
    if (bar == end) {
      ++i;
      break;
    }
    p = bar + 1;
  }
  for (; i < n; ++i) out[i].clear();
}

}  // namespace korventa::import
