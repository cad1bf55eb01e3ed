#include "model/receipt_sums.h"

#include "common/vb_format.h"

namespace korventa::model {

namespace {
constexpr const char* kDeclWhere = "tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND formulario = ?";
// The receipt as a source of boxes 320 (amount), 321 (income-tax retention) and 322 (IES).
void recordReceipt(AmountRecorder& rec, const data::Row& r) {
  AmountSource s;
  s.kind = "Recibo";
  s.tipDoc = r.text(3);
  s.doc = r.text(4);
  s.reference = r.text(5) + "-" + r.text(6);
  s.rule = "pagado " + r.text(8);
  for (auto [box, column] : {std::pair{"320", 0}, std::pair{"321", 1}, std::pair{"322", 2}}) {
    s.amount = Money::value(r.text(column));
    if (s.amount.isZero()) continue;
    if (column == 1) s.rule = "retención " + r.text(7) + " %, pagado " + r.text(8);
    rec.source(box, s);
  }
}

}  // namespace

std::string FourthCategoryBoxes::value(std::string_view box) const {
  if (empty()) return "";
  if (box == "547") return std::to_string(vouchers);
  Money m = box == "320" ? amounts : box == "321" ? retentions : ies;
  return vbFormat(m, "###########0");
}

std::string FourthCategoryBoxes::display(std::string_view box) const {
  if (empty()) return "";
  if (box == "547") return vbFormat(static_cast<long long>(vouchers), "###,###,###,##0;(###,###,###,##0)");
  Money m = box == "320" ? amounts : box == "321" ? retentions : ies;
  return vbFormat(m, "###,###,###,##0;(###,###,###,##0)");
}

FourthCategoryBoxes Suma_Montos(data::Database& db, const OpenDeclaration& decl, VoucherSource source,
                                AmountRecorder* rec) {
  std::string sql = "SELECT mto_rec, mto_rta, mto_ies";
  // Recording reads who issued each receipt too.
  if (rec) sql += ", tip_doc_a, doc_id_a, num_ser, num_rec, por_rta, fec_pago";
  sql += " FROM ";
  data::Params p;
  if (source == VoucherSource::Working) {
    sql += "TMPF601RDDET WHERE cod_cat_tra = 3";
  } else {
    sql += std::string(source == VoucherSource::History ? "HF601RDDET" : "F601RDDET") + " WHERE " + kDeclWhere +
           " AND cod_cat_tra = 3";
    p = data::Params{decl.ruc, decl.periodo, decl.formulario};
    if (source == VoucherSource::History) {
      sql += " AND correl = ?";
      p.add(decl.correl);
    }
  }
  FourthCategoryBoxes b;
  for (const auto& r : db.rows(sql, p)) {
    ++b.vouchers;
    b.amounts += Money::value(r.text(0));
    b.retentions += Money::value(r.text(1));
    b.ies += Money::value(r.text(2));
    if (rec) recordReceipt(*rec, r);
  }
  return b;
}

}  // namespace korventa::model
