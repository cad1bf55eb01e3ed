#pragma once
// One concept amount of one person typed as the concept form would take it (same entry rules
// and rules of the panels), then accepted: the command line's way into FrmDetConcep.
#include <optional>
#include <string>

#include "data/session.h"
#include "model/open_declaration.h"

namespace korventa::detail {

// Types `monto` (and `montoPag`, or the same amount when not given) into the concept `code` of
// the person and accepts the form. An empty `monto` clears the concept. Returns false after a
// message (title "Validación") when the form would not take the amount.
bool typeConceptAmount(Session& session, const model::OpenDeclaration& decl, const PersonKey& person,
                       const std::string& code, const std::string& monto,
                       const std::optional<std::string>& montoPag = std::nullopt);

}  // namespace korventa::detail
