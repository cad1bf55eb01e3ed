#pragma once
// The pay statement ("Boleta de Pago"): one page per worker and pensioner of a stored declaration,
// in the report language, registered in SPOOL as "PR0045".
#include <filesystem>
#include <string>
#include <vector>

#include "common/progress.h"
#include "data/session.h"
#include "printouts/declaration_data.h"
#include "reports/report_writer.h"

namespace korventa::printouts {

// Concept rows of a page before the statement continues on another page.
inline constexpr int kPayslipRowsPerPage = 48;

// Writes the pay statements; returns the number of pages (0 when the declaration has no workers
// or pensioners; the file then holds only its tags).
// The statements written are counted on `progress`, which may cancel (throws Cancelled).
int writePayslips(Session& session, reports::ReportWriter& w, const StoredDeclaration& decl,
                  Progress& progress = Progress::none());

// Registers a "PR0045" report, writes the pay statements into it and returns its path. Cancelled,
// the report is not registered (its transaction rolls back) and Cancelled goes up to the caller.
std::filesystem::path producePayslips(Session& session, const StoredDeclaration& decl,
                                      Progress& progress = Progress::none());

}  // namespace korventa::printouts
