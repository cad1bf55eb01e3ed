#pragma once
// The EPS credit of a box (602, 612, 408 or 428): the credited amounts of the health provider's
// invoices recorded for it, which the debt determination shows and the EPS forms maintain.
#include <string>
#include <string_view>

#include "common/money.h"
#include "data/database.h"
#include "model/amount_recorder.h"
#include "model/open_declaration.h"

namespace korventa::model {

// The boxes that carry an EPS credit.
bool isEpsBox(std::string_view casilla);

// Credit total of a box from the working invoices (Imp_cred), for the determination grid; a
// recorder hears each invoice as a source of the box.
Money epsCredit(data::Database& db, const OpenDeclaration& decl, std::string_view casilla,
                AmountRecorder* rec = nullptr);
// The same as DET keeps it: whole soles "###########0".
std::string epsBoxValue(data::Database& db, const OpenDeclaration& decl, std::string_view casilla);
std::string epsBoxValue(Money credit);

// The working invoices of one box of the declaration: WHERE clause over TMPF600INFEPS and its
// parameters.
std::string epsBoxWhere();
data::Params epsBoxParams(const OpenDeclaration& decl, std::string_view casilla);

}  // namespace korventa::model
