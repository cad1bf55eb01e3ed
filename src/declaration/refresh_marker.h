#pragma once
// Marks a declarant's declarations in preparation as needing a refresh after data they were
// computed from changed: ind_ref = 1 and estado = 9, except that a declaration in state 1
// keeps its state (only ind_ref = 1).
#include <string_view>

#include "data/database.h"

namespace korventa::declaration {

// One period (InsertaIndicadorRefrescar) or, with an empty period, every period of the declarant.
void InsertaIndicadorRefrescar(data::Database& db, std::string_view ruc, std::string_view periodo = {});

}  // namespace korventa::declaration
