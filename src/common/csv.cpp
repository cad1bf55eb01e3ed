#include "common/csv.h"

namespace korventa::csv {

ParseResult parse(std::string_view t) {
  ParseResult r;
  if (t.size() >= 3 && t.substr(0, 3) == "\xEF\xBB\xBF") t.remove_prefix(3);
  Row row;
  std::string field;
  bool inQuotes = false, fieldStarted = false, quotedField = false;
  int line = 1;
  auto endField = [&] {
    row.push_back(std::move(field));
    field.clear();
    fieldStarted = false;
    quotedField = false;
  };
  auto endRow = [&] {
    bool blank = row.size() == 1 && row[0].empty() && !quotedField;
    if (!blank) r.rows.push_back(std::move(row));
    row.clear();
  };
  for (std::size_t i = 0; i < t.size(); ++i) {
    char c = t[i];
    if (inQuotes) {
      if (c == '"') {
        if (i + 1 < t.size() && t[i + 1] == '"') {
          field += '"';
          ++i;
        } else
          inQuotes = false;
      } else {
        if (c == '\n') ++line;
        field += c;
      }
      continue;
    }
    if (c == '"') {
      if (fieldStarted) {
        r.error = "comilla inesperada en la línea " + std::to_string(line);
        return r;
      }
      inQuotes = true;
      fieldStarted = true;
      quotedField = true;
    } else if (c == ',') {
      endField();
    } else if (c == '\r' && i + 1 < t.size() && t[i + 1] == '\n') {
      continue;
    } else if (c == '\n') {
      bool q = quotedField;
      endField();
      quotedField = q;
      endRow();
      quotedField = false;
      ++line;
    } else {
      if (quotedField) {
        r.error = "texto después de comillas en la línea " + std::to_string(line);
        return r;
      }
      field += c;
      fieldStarted = true;
    }
  }
  if (inQuotes) {
    r.error = "comillas sin cerrar al final del archivo (línea " + std::to_string(line) + ")";
    return r;
  }
  if (fieldStarted || !row.empty()) {
    bool q = quotedField;
    endField();
    quotedField = q;
    endRow();
  }
  return r;
}

std::string quote(std::string_view f) {
  bool need =
      f.find_first_of(",\"\r\n") != std::string_view::npos || (!f.empty() && (f.front() == ' ' || f.back() == ' '));
  if (!need) return std::string(f);
  std::string o = "\"";
  for (char c : f) {
    if (c == '"') o += '"';
    o += c;
  }
  o += '"';
  return o;
}

std::string formatRow(const Row& row) {
  std::string o;
  for (std::size_t i = 0; i < row.size(); ++i) {
    if (i) o += ',';
    o += quote(row[i]);
  }
  return o;
}

}  // namespace korventa::csv
