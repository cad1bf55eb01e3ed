#pragma once
// The error listing of an import: the lines of the ".Err" work file under the listing header
// ("REPORTE DE ERRORES DE TRANSFERENCIA - PERIODO " and the period), indented by 20 blanks,
// with a sub-total block and a new header after every 69 errors and the total at the end.
// Registered in SPOOL under the spool code of the file's kind.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "data/session.h"
#include "model/open_declaration.h"
#include "reports/report_writer.h"

namespace korventa::import {

inline constexpr int kErrorsPerBlock = 69;

// Writes the listing of `errLines` through `w` (header included).
void writeErrorListing(reports::ReportWriter& w, const model::OpenDeclaration& decl,
                       const std::vector<std::string>& errLines, const std::string& date = {},
                       const std::string& time = {});

// Reads the ".Err" file, registers the report under `codRep` and writes it; returns the path of
// the report file, or nullopt when the ".Err" file cannot be read (message shown).
std::optional<std::filesystem::path> printErrorListing(Session& session, const model::OpenDeclaration& decl,
                                                       const std::filesystem::path& errFile, const std::string& codRep);

}  // namespace korventa::import
