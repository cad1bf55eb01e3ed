#pragma once
// What every report builder reads: the stored declaration, the person filter of an individual
// report and the names of the declarant's persons.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "data/database.h"
#include "data/session.h"
#include "printouts/declaration_data.h"
#include "printouts/exports.h"
#include "printouts/report_sink.h"

namespace korventa::printouts {

struct PersonName {
  std::string apellidoP, apellidoM, nombre1;
};

class Ctx {
 public:
  Ctx(Session& s, const StoredDeclaration& d, const std::optional<PersonFilter>& f);

  static std::string personKey(long long tip, const std::string& doc);

  // WHERE clause of a table of the declaration (with alias) plus the person filter.
  std::string where(const std::string& alias, data::Params& p) const;
  std::string table(const std::string& t) const { return tableFor(decl.ref, t); }

  // Identification cells: type, number, surnames, first name and category caption.
  std::vector<Cell> ident(long long tip, const std::string& doc, long long cat,
                          const PersonName* fallback = nullptr) const;

  data::Database& db;
  const StoredDeclaration& decl;
  const std::optional<PersonFilter>& filter;
  std::map<std::string, PersonName> names;
};

}  // namespace korventa::printouts
