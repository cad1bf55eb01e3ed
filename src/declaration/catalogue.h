#pragma once
// The two choosers of declarations: those in preparation (FrmContAbrir: modify, delete, copy;
// with the sent flag, the sent ones to delete) and the sent ones (FrmContAbrirE: register the
// order number, recover), and the deletion of a declaration.
#include <string>
#include <vector>

#include "data/session.h"

namespace korventa::declaration {

// One row of a chooser's list, with the texts its columns show.
struct CatalogueRow {
  std::string ruc, nombre, periodo /* YYYYMM */, formulario, estado, rectifica;
  std::string norden, fecEnv, control, correl;  // sent declarations
  std::string periodoMMYYYY() const;            // as the list shows it
};

// Texts of a chooser in a mode.
struct ChooserTexts {
  std::string caption, label, action;
};

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

// Deletes a declaration in preparation, or one sending (only the rows of its correl), in one
// transaction. A failure leaves everything as it was and shows "Error" with the engine's text and
// number. Returns whether it was deleted.
bool deleteDeclaration(Session& session, const std::string& ruc, const std::string& periodo,
                       const std::string& correl = {});

}  // namespace korventa::declaration
