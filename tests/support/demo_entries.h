#pragma once
// What a user enters into the demo declarant's new declaration before paying it: the month's
// pay of every worker and pensioner, the establishment each worker works at, the trainees'
// allowance and establishment, the risk insurance of the personnel of third parties, and the
// contributions typed by hand (private pension funds, fifth category); then the computation.
#include "data/session.h"
#include "declaration/open_declaration.h"

namespace korventa::test {

void enterDemoPay(Session& session, const declaration::OpenDeclaration& decl);

}  // namespace korventa::test
