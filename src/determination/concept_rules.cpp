#include "determination/concept_rules.h"

#include <algorithm>

#include "common/text.h"

namespace korventa::determination {
namespace {

// Whether `code` is one of the dash-separated codes of `list` (read in place: the computation
// asks this for every concept it offers to every person).
bool inDashList(std::string_view list, std::string_view code) {
  for (;;) {
    const auto dash = list.find('-');
    if (list.substr(0, dash) == code) return true;
    if (dash == std::string_view::npos) return false;
    list.remove_prefix(dash + 1);
  }
}

}  // namespace

std::string workerPanelCode(int i) {
  return "06" + std::string(i + 1 < 10 ? "0" : "") + std::to_string(i + 1);
}
std::string employerPanelCode(int j) {
  return "08" + std::string(j + 1 < 10 ? "0" : "") + std::to_string(j + 1);
}

bool hasBaseBox(std::string_view code) {
  static const std::set<std::string, std::less<>> codes = {"0601", "0603", "0605", "0607", "0608", "0610", "0616",
                                                           "0617", "0802", "0804", "0806", "0807", "0808"};
  return codes.count(code) > 0;
}

bool baseAlwaysEmpty(std::string_view code) {
  static const std::set<std::string, std::less<>> codes = {"0602", "0604", "0606", "0609", "0611", "0612", "0613",
                                                           "0801", "0803", "0805", "0809", "0810", "0811"};
  return codes.count(code) > 0;
}

bool excludedFromIes(int tipo) {
  static const int types[] = {23, 24, 26, 56, 66, 67, 68, 69, 70, 71, 82, 83, 84, 85, 86, 87, 88, 89, 90, 91};
  return std::find(std::begin(types), std::end(types), tipo) != std::end(types);
}

ConceptTypes ConceptTypes::load(data::Database& db) {
  ConceptTypes ct;
  for (const auto& r : db.rows("SELECT tipo, cod_concepto FROM TIPO_CONCEPTOS")) {
    std::string code = text::trim(r.text(1));
    if (text::isDigits(code) && code.size() < 4) code = text::padLeft(code, 4, '0');
    ct.allow(codeNumber(r.text(0)), code);
  }
  return ct;
}

bool ConceptTypes::ExisteTipoConcepto(int tipo, std::string_view code, std::string_view periodo) const {
  if (text::startsWith(code, "06") || text::startsWith(code, "08")) {
    std::string_view excluded;
    if (tipo == 24 || tipo == 26)
      excluded =
          "0600-0601-0602-0605-0606-0607-0608-0609-0612-0800-0801-0802-0803-0804-0805-0806-0807-0808-0809-0810-0811-"
          "0616-0617";
    else if (tipo == 23)
      excluded = "0600-0603-0605-0610-0800-0601-0608-0807";
    else if (tipo == 66)
      excluded = "0600-0603-0605-0610-0800";
    else if (tipo == 67 && periodo < std::string_view("200901"))
      excluded = "0600-0603-0604-0610-0800";
    else
      excluded = "0600-0603-0610-0800";
    return !inDashList(excluded, code);
  }
  auto it = allowed_.find(tipo);
  return it != allowed_.end() && it->second.count(code) > 0;
}

}  // namespace korventa::determination
