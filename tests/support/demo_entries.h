#pragma once
// What a user enters into a new declaration (the demo declarant's, or a test registry's) before
// paying it: the month's pay of every worker and pensioner, the establishment each worker works
// at, the trainees' allowance and establishment, the risk insurance of the personnel of third
// parties at the declarant's first registered rate, and the contributions typed by hand (private
// pension funds, fifth category); then the computation. Then the payment: every balance of the
// debt determination typed as its amount to pay.
#include "data/session.h"
#include "model/open_declaration.h"

namespace korventa::test {

void enterDemoPay(Session& session, const model::OpenDeclaration& decl);
void payEveryBalance(Session& session, model::OpenDeclaration& decl);
// Both: a declaration in which the validation finds nothing, when its registry is complete.
void completeDeclaration(Session& session, model::OpenDeclaration& decl);

}  // namespace korventa::test
