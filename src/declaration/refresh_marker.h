#pragma once
// Marks a declarant's declarations in preparation as needing a refresh after data they were
// computed from changed: ind_ref = 1 and estado = 9, except that a declaration in state 1
// keeps its state (only ind_ref = 1).
#include <filesystem>
#include <string_view>

#include "data/database.h"
#include "data/schema_installer.h"

namespace korventa::declaration {

// One period (InsertaIndicadorRefrescar) or, with an empty period, every period of the declarant.
void InsertaIndicadorRefrescar(data::Database& db, std::string_view ruc, std::string_view periodo = {});

// Every declaration in preparation of every declarant.
void markEveryDeclarationForRefresh(data::Database& db);

// Loads the registry from the <TABLA>.csv files of `dir` (data::loadRegistryFolder) and, when
// whole tables were replaced, marks every declaration for a refresh from the new registry; all
// in one transaction.
data::RegistryLoadReport loadRegistry(data::Database& db, const std::filesystem::path& dir);

}  // namespace korventa::declaration
