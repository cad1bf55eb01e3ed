#pragma once
// Commands on a saved declaration: opening, working on and saving it; and what `show` lists of
// a saved (or sent) declaration besides its header, persons and boxes: concept rows,
// suspensions, EPS invoices, fourth-category receipts and trainees.
#include <functional>
#include <string>

#include "cli/cli.h"
#include "declaration/declaration_form.h"
#include "model/open_declaration.h"

namespace korventa::cli {

// Opens the saved declaration RUC/PERIOD into the working tables as "&Modificar" does, runs
// `work` on it and saves it as "&Guardar" would; the working tables are emptied afterwards,
// also when `work` throws. `work` returns false to stop without saving. Exit code 0 when saved;
// the save's outcome goes to `result` when given; the save reports to `progress`.
int withOpenDeclaration(Session& s, const std::string& ruc, const std::string& periodo,
                        const std::function<bool(declaration::DeclarationForm&)>& work,
                        declaration::SaveResult* result = nullptr, Progress& progress = Progress::none());

// The worker (or, unless `workersOnly`, the pensioner) of the open declaration with this document.
// Throws std::runtime_error when the declaration has none.
PersonKey declaredPerson(Session& s, int tipDoc, const std::string& doc, bool workersOnly = false);

// The declaration asked for, checked to exist (CAB, or HCAB when `correl` is given).
model::OpenDeclaration storedDeclaration(Session& s, const std::string& ruc, const std::string& periodo,
                                         const std::string& correl);

Table conceptsTable(Session& s, const model::OpenDeclaration& d, const std::string& doc);
Table suspensionsTable(Session& s, const model::OpenDeclaration& d);
Table invoicesTable(Session& s, const model::OpenDeclaration& d);
// The receipts, or with `totals` the boxes 320, 321, 322 and 547 they add up to.
Table receiptsTable(Session& s, const model::OpenDeclaration& d, bool totals);
Table traineesTable(Session& s, const model::OpenDeclaration& d);

}  // namespace korventa::cli
