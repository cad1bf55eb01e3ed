#pragma once
// FrmContAbrir without its window: the declarations in preparation (modify, delete, copy;
// with the sent flag, the sent ones to delete).
#include "declaration/catalogue.h"

namespace korventa::declaration {

class DeclarationChooserForm {
 public:
  // mode 1 modify, 3 delete, 4 copy; `sent` lists the sent declarations (for deleting them).
  DeclarationChooserForm(Session& session, Mode mode, bool sent);
  ChooserTexts texts() const;
  std::vector<std::string> columns() const;
  std::vector<std::string> cells(const CatalogueRow& r) const;

  // Re-reads the list (ordered by period, newest first, unless a heading re-sorted it).
  const std::vector<CatalogueRow>& requery();
  const std::vector<CatalogueRow>& rows() const { return rows_; }
  // Heading click: column 0 sorts by RUC, column 1 by name; other columns keep the order.
  void sortByColumn(int column);

  // Delete (mode 3): asks, then deletes the selected declaration; true when deleted.
  bool eliminar(int row);
  Mode mode() const { return mode_; }
  bool sent() const { return sent_; }

 private:
  Session& s_;
  Mode mode_;
  bool sent_;
  std::string order_ = "A.periodo DESC, A.doc_id_d";
  std::vector<CatalogueRow> rows_;
};

}  // namespace korventa::declaration
