#pragma once
// The printed report of the inconsistencies found by the last validation (file "Mens.txt"),
// written in the report language: a bold header ("ZUMAR", date and time, "INCONSISTENCIAS
// DETECTADAS ", "PAG. n ", "KORVENTAS") and 45 body lines per page, 270 twips apart; a message
// longer than 90 characters continues on the next line after four blanks, the cut marked "-".
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "data/session.h"
#include "reports/report_writer.h"

namespace korventa::reports {

inline constexpr int kInconsistencyLinesPerPage = 45;

// Lines of the inconsistency file (UTF-8 or Windows-1252); nullopt when it cannot be read.
std::optional<std::vector<std::string>> readInconsistencyFile(const std::filesystem::path& mens);

// The printed lines of the messages: up to 90 characters as they are plus one blank; longer ones
// cut after 90 characters with "-" and continued after four blanks (a continuation longer than
// 90 characters is cut the same way, so no text runs off the sheet).
std::vector<std::string> inconsistencyRows(const std::vector<std::string>& messages);

// Writes the report of `messages` through `w`; returns the number of pages (at least 1).
// `date` "dd/mm/yyyy" and `time` "hh:mm:ss" are today and now when empty.
int writeInconsistencyReport(ReportWriter& w, const std::vector<std::string>& messages, std::string date = {},
                             std::string time = {});

// What stands instead of the report when "Mens.txt" is missing.
inline constexpr const char* kNoInconsistencyFile = "No existe el archivo de inconsistencias Mens.txt.";

// Writes the report of the file `mens` to "Inconsistencias.PRN" in the work folder and returns its
// path. A missing file shows kNoInconsistencyFile and gives nothing.
std::optional<std::filesystem::path> writeInconsistencyReportFile(Session& session, const std::filesystem::path& mens);

}  // namespace korventa::reports
