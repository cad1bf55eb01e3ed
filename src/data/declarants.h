#pragma once
// Declarant and concept lookups shared by the forms.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/database.h"

namespace korventa::data {

struct DeclarantItem {
  int tip_doc_d = 6;
  std::string doc_id_d;
  std::string name;
  std::string display() const { return doc_id_d + "  -  " + name; }
};

// Declarants of the registry. incomeType 1 or 2 restricts on Tipo_ingreso (0 = any); docType
// 100 means any document type. A user whose type is not "0" sees only his declarants.
std::vector<DeclarantItem> LlenaDeclarantes(Database& db, std::string_view user, int incomeType, int docType = 100);
// The declaration form's variant: RUC declarants (11 characters) of income type 2.
std::vector<DeclarantItem> LlenaDeclarantesRuc(Database& db, std::string_view user);
// Name of a declarant as lists show it: Nombre, or APELLIDO_P APELLIDO_M, NOMBRE_1.
std::string declarantName(Database& db, std::string_view ruc);

// Ind_RegimenLab, ind_adm_publica or ind_senati of the declarant's CONTRVKRS row ("" when none).
std::string IndicadorDeclarante(Database& db, std::string_view ruc, std::string_view indicator);

// Group headers of the catalogue (no code) or the concepts of one group/code prefix.
std::vector<Row> ListaConceptos(Database& db, std::optional<std::string> code = std::nullopt);
// Adds the catalogue concept to the declarant's CON_AFEC unless it is there.
void AseguraConcepto(Database& db, std::string_view ruc, std::string_view code);

}  // namespace korventa::data
