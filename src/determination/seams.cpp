// Placeholder bodies of the computation and validation entry points, kept while those
// subsystems are built; each is replaced by the real one in its own file.
#include "determination/seams.h"

namespace korventa::determination {

void recomputeAll(Session&, const declaration::OpenDeclaration&) {}
void recomputePerson(Session&, const declaration::OpenDeclaration&, const PersonKey&) {}
std::vector<Box> determinationBoxes(Session&, const declaration::OpenDeclaration&) { return {}; }
bool saveChecks(Session&, const declaration::OpenDeclaration&) { return false; }

}  // namespace korventa::determination
