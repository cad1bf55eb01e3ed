#pragma once
// The pay statement ("Boleta de Pago"): one page per worker and pensioner of a stored declaration,
// in the report language, registered in SPOOL as "PR0045".
#include <filesystem>
#include <string>
#include <vector>

#include "data/session.h"
#include "printouts/declaration_data.h"
#include "reports/report_writer.h"

namespace korventa::printouts {

// Concept rows of a page before the statement continues on another page.
inline constexpr int kPayslipRowsPerPage = 48;

// Writes the pay statements; returns the number of pages (0 when the declaration has no workers
// or pensioners; the file then holds only its tags).
int writePayslips(Session& session, reports::ReportWriter& w, const StoredDeclaration& decl);

// Registers a "PR0045" report, writes the pay statements into it and returns its path.
std::filesystem::path producePayslips(Session& session, const StoredDeclaration& decl);

}  // namespace korventa::printouts
