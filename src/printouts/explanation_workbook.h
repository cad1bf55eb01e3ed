#pragma once
// "¿De dónde sale?" as a workbook: one sheet with the box, its sources and its steps.
#include <filesystem>
#include <string>

#include "determination/box_explanation.h"
#include "model/open_declaration.h"

namespace korventa::printouts {

// Writes the workbook; false (with the reason in `error`) when it could not be written.
bool writeExplanationWorkbook(const model::OpenDeclaration& d, const determination::BoxExplanation& e,
                              const std::filesystem::path& file, std::string* error);

}  // namespace korventa::printouts
