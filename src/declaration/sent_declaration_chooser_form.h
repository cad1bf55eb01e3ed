#pragma once
// FrmContAbrirE without its window: the sent declarations (register the order number,
// recover).
#include "declaration/catalogue.h"

namespace korventa::declaration {

class SentDeclarationChooserForm {
 public:
  // mode 1 register the order number, 5 recover.
  SentDeclarationChooserForm(Session& session, Mode mode);
  ChooserTexts texts() const;
  std::vector<std::string> columns() const;
  std::vector<std::string> cells(const CatalogueRow& r) const;
  const std::vector<CatalogueRow>& requery();
  const std::vector<CatalogueRow>& rows() const { return rows_; }
  Mode mode() const { return mode_; }

 private:
  Session& s_;
  Mode mode_;
  std::vector<CatalogueRow> rows_;
};

}  // namespace korventa::declaration
