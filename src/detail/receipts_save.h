#pragma once
// Fourth-category receipts and trainees in the declaration: the boxes summed from the
// receipts, and the copy of the working rows into the stored tables when the declaration is saved.
#include <string>
#include <string_view>
#include <vector>

#include "common/money.h"
#include "data/database.h"
#include "declaration/open_declaration.h"
#include "detail/fourth_category.h"

namespace korventa::detail {

// Boxes of the fourth-category tab: 320 sum of the voucher amounts, 321 sum of the income-tax
// retentions, 322 sum of the IES withheld, 547 number of vouchers. 461 and 421 of the debt
// determination copy 320 and 321.
struct FourthCategoryBoxes {
  int vouchers = 0;
  Money amounts, retentions, ies;
  bool empty() const { return vouchers == 0; }
  // The box as stored in DET: whole soles ("###########0"), "" when there are no receipts.
  std::string value(std::string_view box) const;
  // The box as shown: "###,###,###,##0;(###,###,###,##0)", "" when there are no receipts.
  std::string display(std::string_view box) const;
};

// Suma_Montos: the sums over the providers' vouchers of the working set, or of a stored or sent
// declaration.
FourthCategoryBoxes Suma_Montos(data::Database& db, const declaration::OpenDeclaration& decl,
                                VoucherSource source = VoucherSource::Working);

// The providers' vouchers of a declaration with the provider's name, by person and kind.
struct ProviderVoucher {
  PersonKey person;
  std::string name;
  Voucher voucher;
};
std::vector<ProviderVoucher> declarationVouchers(data::Database& db, const declaration::OpenDeclaration& decl,
                                                 VoucherSource source);

// The trainees of a declaration with the amount paid and their establishments.
struct TraineeRow {
  PersonKey person;
  std::string name, mto_renta;
  std::vector<std::int64_t> establishments;
};
std::vector<TraineeRow> declarationTrainees(data::Database& db, const declaration::OpenDeclaration& decl,
                                            VoucherSource source);

// Save of the declaration: the stored rows of the declaration are replaced by the working ones,
// each with its control number. Each runs in its own transaction (a savepoint inside the save's).
// Graba_Rta: F601RDCAB and F601RDDET from TMPF601RDCAB and TMPF601RDDET.
void Graba_Rta(data::Database& db, const declaration::OpenDeclaration& decl);
// Graba_ModForm: F601MFCAB, F601_ESTABMF and F601MFDET from their working tables.
void Graba_ModForm(data::Database& db, const declaration::OpenDeclaration& decl);

}  // namespace korventa::detail
