#include "import/error_listing.h"

#include <fstream>
#include <iterator>

#include "common/text.h"
#include "import/import_file.h"
#include "reports/spool.h"

namespace korventa::import {

namespace {

// Printed lines of one error: the line as it is when it fits the sheet, else cut at a blank
// before kPrintWidth characters and continued under the message column.
std::vector<std::string> wrapError(const std::string& line) {
  constexpr std::size_t kPrintWidth = 90;    // characters after the 20-blank indent (110 fit the sheet)
  constexpr std::size_t kContinuation = 31;  // column of the code and message in the ".Err" line
  std::vector<std::string> out;
  std::string rest = line;
  std::string lead;
  while (text::length(lead + rest) > kPrintWidth) {
    std::string head = text::left(lead + rest, kPrintWidth);
    auto cut = head.rfind(' ');
    if (cut == std::string::npos || cut <= lead.size()) cut = head.size();
    out.push_back(text::rtrim(head.substr(0, cut)));
    rest = text::ltrim((lead + rest).substr(cut));
    lead = std::string(kContinuation, ' ');
  }
  out.push_back(lead + rest);
  return out;
}

}  // namespace

void writeErrorListing(reports::ReportWriter& w, const model::OpenDeclaration& decl,
                       const std::vector<std::string>& errLines, const std::string& date, const std::string& time) {
  reports::ListingHeader h;
  h.title = "REPORTE DE ERRORES DE TRANSFERENCIA - PERIODO " + decl.periodo;
  h.ruc = decl.ruc;
  h.name = decl.name;
  h.reportLines = static_cast<int>(errLines.size());
  h.date = date;
  h.time = time;
  const std::string rule(82, '_');
  const std::string indent(20, ' ');
  reports::writeListingHeader(w, h);
  int n = 0;
  for (const auto& line : errLines) {
    for (const auto& part : wrapError(line)) w.ImprimeLineaPag(indent + reports::commandText(part));
    ++n;
    if (n % kErrorsPerBlock == 0) {
      const int blockPage = w.pageNumber();
      w.ImprimeLineaPag(rule);
      w.ImprimeLineaPag("Sub-Total de Errores:  " + std::to_string(n));
      w.ImprimeLineaPag(rule);
      // The next block starts on a page of its own, under its header.
      // (When the block itself reached the end of the sheet, the header already starts a page.)
      if (n < static_cast<int>(errLines.size())) {
        while (w.pageNumber() == blockPage && w.lineNumber() != 0) w.ImprimeLineaPag("");
        reports::writeListingHeader(w, h);
      }
    }
  }
  w.ImprimeLineaPag(rule);
  w.ImprimeLineaPag("Total de Errores:      " + std::to_string(n));
  w.ImprimeLineaPag(rule);
}

std::optional<std::filesystem::path> printErrorListing(Session& session, const model::OpenDeclaration& decl,
                                                       const std::filesystem::path& errFile,
                                                       const std::string& codRep) {
  std::ifstream in(errFile, std::ios::binary);
  if (!in) {
    session.msg().critical("No se encuentra el archivo de errores " + errFile.string(), "Error");
    return std::nullopt;
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> lines;
  std::string all = text::decodeInput(bytes);
  std::size_t start = 0;
  while (start < all.size()) {
    std::size_t end = all.find_first_of("\r\n", start);
    if (end == std::string::npos) end = all.size();
    std::string line = all.substr(start, end - start);
    if (!isBlank(line)) lines.push_back(std::move(line));
    if (end + 1 < all.size() && all[end] == '\r' && all[end + 1] == '\n') ++end;
    start = end + 1;
  }
  reports::SpoolReport report(session, codRep, kTipDocRuc, decl.ruc);
  writeErrorListing(report.writer(), decl, lines);
  return report.commit();
}

}  // namespace korventa::import
