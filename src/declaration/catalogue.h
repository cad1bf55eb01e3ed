#pragma once
// What the two choosers of declarations share (FrmContAbrir for those in preparation,
// FrmContAbrirE for the sent ones): the rows and texts of their lists; and the deletion of a
// declaration.
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

// Deletes a declaration in preparation, or one sending (only the rows of its correl), in one
// transaction. A failure leaves everything as it was and shows "Error" with the engine's text and
// number. Returns whether it was deleted.
bool deleteDeclaration(Session& session, const std::string& ruc, const std::string& periodo,
                       const std::string& correl = {});

}  // namespace korventa::declaration
