#include "determination/total_tributo.h"

#include "common/money.h"
#include "common/text.h"
#include "common/vb_format.h"

namespace korventa::determination {

std::string Total_Tributo(data::Database& db, std::string_view casilla) {
  struct Column {
    const char* box;
    const char* column;
    int category;
  };
  static const Column columns[] = {{"411", "pens", 1},          {"413", "aporte_fdsa", 1},  {"415", "tributo", 1},
                                   {"416", "salud_agrario", 1}, {"417", "trib_20530", 2},   {"418", "cbssp", 1},
                                   {"419", "salud", 2},         {"591", "aporte_FCJMMS", 1}};
  for (const auto& c : columns) {
    if (casilla != c.box) continue;
    Money total;
    // Each amount is read as its stored text says, to the cent; the sum is rounded once.
    for (const auto& r : db.rows(std::string("SELECT ") + c.column + " FROM TEMP1_F601 WHERE cod_cat_tra = ? AND " +
                                     c.column + " <> '' AND " + c.column + " IS NOT NULL",
                                 {c.category}))
      total += Money::value(text::trim(r.text(0))).rounded(2);
    return vbFormat(Money::value(vbFormat(total, "###########0.00")), "###########0");
  }
  return {};
}

}  // namespace korventa::determination
