// Placeholder bodies of the debt-determination and validation entry points, kept while that
// work is built; it replaces this file.
#include "determination/seams.h"

namespace korventa::determination {

std::vector<Box> determinationBoxes(Session&, const declaration::OpenDeclaration&) { return {}; }
bool saveChecks(Session&, const declaration::OpenDeclaration&) { return false; }

}  // namespace korventa::determination
