#pragma once
// The consultation of declared bases (frmConsultaBasesTrib) and the individual report
// (frmReporteIndiv) of the persons of a stored declaration found by document type and the
// beginning of the document number.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "data/param.h"
#include "data/session.h"
#include "printouts/declaration_data.h"
#include "printouts/exports.h"

namespace korventa::printouts {

// Fills TEMP_FCONBT (emptied first) with the persons of the declaration matching the filter:
// workers and pensioners with their concept bases and amounts, fourth-category providers with the
// sums of their receipts and personnel of third parties with their SCTR base and amount. Returns
// the number of rows. All or nothing.
int fillTaxBases(Session& session, const StoredDeclaration& decl, const PersonFilter& filter);

// The rows of TEMP_FCONBT as the grid shows them (by category, document type and number).
std::vector<data::Row> taxBaseRows(Session& session);

// Columns of the result grid: (column of TEMP_FCONBT, caption).
const std::vector<std::pair<std::string, std::string>>& taxBaseColumns();

// The columns of TEMP_FCONBT (see taxBaseColumns()) that take the base and the amount of a
// worker's or pensioner's tribute concept row (nullptr where the row gives none) for the worker
// type `tipo`; both nullptr for a concept that is no tribute.
std::pair<const char*, const char*> taxBaseColumnsOf(const std::string& code, const std::string& tipo);

// Shared by both forms: the declarations, the document types and the search fields.
class PersonSearchForm {
 public:
  PersonSearchForm(Session& session, bool sent);
  bool sent() const { return sent_; }
  const std::vector<declaration::CatalogueRow>& requery();
  const std::vector<declaration::CatalogueRow>& rows() const { return rows_; }
  std::vector<std::string> columns() const;
  std::vector<std::string> cells(const declaration::CatalogueRow& r) const;
  std::optional<StoredDeclaration> declarationAt(int row);
  // cboTipDoc: the document types of list 044.
  const std::vector<data::DocumentType>& CargaComboTipoDocProp();
  // txtNumDoc while typing: whether `key` may be added to `current` for the chosen type.
  bool numDocKeyAllowed(int tipDoc, const std::string& current, char32_t key);

 protected:
  Session& s_;
  bool sent_;
  std::vector<declaration::CatalogueRow> rows_;
  std::vector<data::DocumentType> types_;
};

}  // namespace korventa::printouts
