#include "determination/total_tributo.h"

#include "common/money.h"
#include "common/text.h"
#include "common/vb_format.h"

namespace korventa::determination {

std::string Total_Tributo(data::Database& db, std::string_view casilla, model::AmountRecorder* rec) {
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
    std::string sql = std::string("SELECT ") + c.column;
    if (rec) sql += ", tip_doc_a, doc_id_a, Nombre, Tipo";  // who, only while recording
    for (const auto& r : db.rows(
             sql + " FROM TEMP1_F601 WHERE cod_cat_tra = ? AND " + c.column + " <> '' AND " + c.column + " IS NOT NULL",
             {c.category})) {
      Money amount = Money::value(text::trim(r.text(0))).rounded(2);
      total += amount;
      if (rec && !amount.isZero())
        rec->source(casilla, {.kind = c.category == 2 ? "Pensionista" : "Trabajador",
                              .tipDoc = r.text(1),
                              .doc = r.text(2),
                              .name = r.text(3),
                              .reference = c.column,
                              .rule = std::string(c.category == 2 ? "pensionista" : "trabajador") + " de tipo " +
                                      text::trim(r.text(4)) + ", a céntimos",
                              .amount = amount});
    }
    std::string result = vbFormat(Money::value(vbFormat(total, "###########0.00")), "###########0");
    if (rec) {
      rec->step(casilla, {model::StepKind::Sum, "Suma", total, total});
      rec->step(casilla, {model::StepKind::Round, "Redondeo a soles enteros", total, Money::value(result)});
    }
    return result;
  }
  return {};
}

}  // namespace korventa::determination
