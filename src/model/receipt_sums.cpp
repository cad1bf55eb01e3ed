#include "model/receipt_sums.h"

#include "common/vb_format.h"

namespace korventa::model {

namespace {
constexpr const char* kDeclWhere = "tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND formulario = ?";
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

FourthCategoryBoxes Suma_Montos(data::Database& db, const OpenDeclaration& decl, VoucherSource source) {
  std::string sql = "SELECT mto_rec, mto_rta, mto_ies FROM ";
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
  }
  return b;
}

}  // namespace korventa::model
