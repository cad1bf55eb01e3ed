#pragma once
// The declarant's choice of concepts (CON_AFEC) and its own concepts (CON_ADIC, conceptos_remu):
// the controller of the concept maintenance form zelpla_Mant001. The working copy of the
// catalogue with the declarant's marks lives in TMP_CONCEPTOS_REM while a declarant is chosen.
#include <string>
#include <string_view>
#include <vector>

#include "data/declarants.h"
#include "data/session.h"

namespace korventa::reference {

// Own concepts are the codes above 1000 and below 2000 (1000 itself is their group heading).
bool isOwnConcept(std::string_view codigo);

struct ConceptGroup {
  std::string codigo, descripcion;
  std::string display() const { return codigo + "  " + descripcion; }
};

struct ConceptItem {
  std::string codigo, descripcion, indOrigen;
  bool selected = false;
  bool own() const { return isOwnConcept(codigo); }
};

class DeclarantConcepts {
 public:
  static constexpr const char* kSaved = "Se grabaron satisfactoriamente los conceptos";
  static constexpr const char* kEmptyDescription = "Debe ingresar la descripción del concepto";

  explicit DeclarantConcepts(Session& session);

  // cboDeclarantes: the RUC declarants the user may see.
  const std::vector<data::DeclarantItem>& declarants() const { return declarants_; }
  // cboRubroConcepto: the catalogue's group headings.
  const std::vector<ConceptGroup>& groups() const { return groups_; }

  // Chooses a declarant of the list: clears its selections the labour regime does not allow,
  // rebuilds the working copy and sets its marks (the saved selection, or the defaults of the
  // regime when there is none). No group is shown afterwards. False (with the message) when the
  // declarant is not in the list or the database fails.
  bool chooseDeclarant(const std::string& ruc);
  bool hasDeclarant() const { return !ruc_.empty(); }
  const std::string& ruc() const { return ruc_; }
  const std::string& declarantName() const { return name_; }
  // The declarant had no saved selection, so the marks shown are the regime's defaults.
  bool usesDefaults() const { return usesDefaults_; }

  // Shows a group ("" shows none). Returns false for a code that is not a group heading.
  bool chooseGroup(const std::string& group);
  const std::string& group() const { return group_; }
  // Concepts of the group shown, by code; none while no group is chosen.
  std::vector<ConceptItem> rows();
  // Every concept of the working copy (group headings left out), by code.
  std::vector<ConceptItem> allRows();

  // Selection mark of one concept of the working copy; false when the code is not there.
  bool setSelected(const std::string& codigo, bool selected);
  // Description of an own concept; an empty one is refused with its message.
  bool setDescription(const std::string& codigo, const std::string& descripcion);
  // Marks or unmarks every concept of the group shown.
  void selectAll() { markGroup(true); }
  void clearAll() { markGroup(false); }
  // The selection becomes exactly these codes. Refused (message, nothing changed) when a code
  // is not a concept offered to the declarant.
  bool replaceSelection(const std::vector<std::string>& codes);

  // CmdGrabar: writes CON_AFEC, CON_ADIC and the own descriptions in one transaction and marks
  // the declarant's declarations for refresh when the selection changed. Shows the completion
  // message; false (with the database message) when nothing was written.
  bool save();
  // Whether the last successful save marked declarations for refresh.
  bool lastSaveMarked() const { return lastSaveMarked_; }

 private:
  void markGroup(bool selected);
  std::vector<ConceptItem> query(const std::string& where, const data::Params& params);

  Session& s_;
  std::vector<data::DeclarantItem> declarants_;
  std::vector<ConceptGroup> groups_;
  std::string ruc_, name_, group_;
  bool usesDefaults_ = false;
  bool lastSaveMarked_ = false;
};

}  // namespace korventa::reference
