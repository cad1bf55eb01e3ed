#pragma once
// A stored declaration as the printouts and exports read it: its key, header data and boxes,
// from CAB/DET (in preparation) or HCAB/HDET (sent, one sending told apart by correl).
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "data/session.h"
#include "declaration/catalogue.h"
#include "model/open_declaration.h"

namespace korventa::printouts {

// Which declaration: declarant RUC, period YYYYMM and, for a sent one, its sending sequence.
struct DeclarationRef {
  std::string ruc;
  std::string periodo;
  std::string correl;  // empty: a declaration in preparation
  bool sent() const { return !correl.empty(); }
};

struct StoredDeclaration {
  DeclarationRef ref;
  std::string nombre;  // declarant's name
  bool rectifica = false;
  std::string control;                       // HCAB.control of a sent declaration
  std::string norden;                        // HCAB.norden of a sent declaration
  std::map<std::string, std::string> boxes;  // Casilla → i_valor
  // Names of the tax columns a rectifying declaration rectifies (see rectifiedColumns()).
  std::vector<std::string> rectifiedColumns;

  // Text of a box, "" when the declaration has none.
  std::string box(const std::string& casilla) const;
};

// Declarant's name as the lists show it (Nombre, else surnames and first name).
std::string declarantName(data::Database& db, const std::string& ruc);

// The tax columns ("IES", "PENS D.LEY 19990", "SEG.REGULAR", "AGRARIO/ACUICULTOR",
// "FONDO DER.ARTISTA", "ESSALUD +VIDA", "RETENC.5TA", "COSAP", "CBSSP") that a rectifying
// declaration rectifies. The save keeps no flag per column, so a column counts as rectified when
// its base or tax box differs from the sending it rectifies (the latest earlier sending of the
// period). None for a first declaration or when nothing was sent before.
std::vector<std::string> rectifiedColumns(Session& session, const StoredDeclaration& d);

// Header and boxes of a stored declaration; nullopt when there is no such declaration.
std::optional<StoredDeclaration> readDeclaration(Session& session, const DeclarationRef& ref);

// The declaration open in the declaration form: its header as held by the form and the boxes of
// the determination as the computation gives them now (nothing is read from DET).
StoredDeclaration fromOpenDeclaration(Session& session, const model::OpenDeclaration& decl);

// SQL condition and parameters that pick the rows of a declaration in its per-person tables
// (alias-free column names): "tip_doc_d = 6 AND doc_id_d = ? AND periodo = ?" and, for a sent
// declaration, "AND correl = ?".
struct KeyFilter {
  std::string where;
  std::vector<std::string> params;
};
KeyFilter keyFilter(const DeclarationRef& ref, const std::string& alias = {});

// Name of a per-person table for the declaration: "F601_Trab" or its history twin "HF601_Trab".
std::string tableFor(const DeclarationRef& ref, const std::string& table);

// The stored declarations of the printout and export forms: CAB (or HCAB when `sent`) with the
// declarant's name, newest period first, limited to the user's declarants unless the user sees all.
std::vector<declaration::CatalogueRow> storedDeclarations(Session& session, bool sent);

}  // namespace korventa::printouts
