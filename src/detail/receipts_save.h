#pragma once
// Fourth-category receipts and trainees in the declaration: their rows as listed with the
// declaration, and the copy of the working rows into the stored tables when it is saved (the
// boxes summed from the receipts are in model/receipt_sums.h).
#include <string>
#include <string_view>
#include <vector>

#include "common/money.h"
#include "data/database.h"
#include "model/open_declaration.h"
#include "detail/fourth_category.h"
#include "model/receipt_sums.h"

namespace korventa::detail {

// The providers' vouchers of a declaration with the provider's name, by person and kind.
struct ProviderVoucher {
  PersonKey person;
  std::string name;
  Voucher voucher;
};
std::vector<ProviderVoucher> declarationVouchers(data::Database& db, const model::OpenDeclaration& decl,
                                                 VoucherSource source);

// The trainees of a declaration with the amount paid and their establishments.
struct TraineeRow {
  PersonKey person;
  std::string name, mto_renta;
  std::vector<std::int64_t> establishments;
};
std::vector<TraineeRow> declarationTrainees(data::Database& db, const model::OpenDeclaration& decl,
                                            VoucherSource source);

// Save of the declaration: the stored rows of the declaration are replaced by the working ones,
// each with its control number. Each runs in its own transaction (a savepoint inside the save's).
// Graba_Rta: F601RDCAB and F601RDDET from TMPF601RDCAB and TMPF601RDDET.
void Graba_Rta(data::Database& db, const model::OpenDeclaration& decl);
// Graba_ModForm: F601MFCAB, F601_ESTABMF and F601MFDET from their working tables.
void Graba_ModForm(data::Database& db, const model::OpenDeclaration& decl);

}  // namespace korventa::detail
