#pragma once
// The boxes summed from the providers' fourth-category receipts, which the declaration form's
// tab, the debt determination and the save all read.
#include <string>
#include <string_view>

#include "common/money.h"
#include "data/database.h"
#include "model/amount_recorder.h"
#include "model/open_declaration.h"

namespace korventa::model {

// Where a declaration's rows are read: its working tables, its stored tables, or the history of
// a sent declaration.
enum class VoucherSource { Working, Stored, History };

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
// declaration. A recorder hears each receipt as a source of boxes 320, 321 and 322.
FourthCategoryBoxes Suma_Montos(data::Database& db, const OpenDeclaration& decl,
                                VoucherSource source = VoucherSource::Working, AmountRecorder* rec = nullptr);

}  // namespace korventa::model
