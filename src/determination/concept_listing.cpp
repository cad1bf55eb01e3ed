#include "determination/concept_listing.h"

namespace korventa::determination {
namespace {

ConceptListing fill(data::Database& db, const std::string& sql, const data::Params& params) {
  ConceptListing out;
  out.columns = {"tip_doc_a", "doc_id_a", "correl_a", "cod_cat_tra", "codigo", "monto", "monto_pag", "base_calculo"};
  for (const auto& r : db.rows(sql, params)) {
    std::vector<std::string> cells;
    for (std::size_t i = 0; i < r.size(); ++i) cells.push_back(r.text(i));
    out.rows.push_back(std::move(cells));
  }
  return out;
}

}  // namespace

ConceptListing conceptListing(data::Database& db, const std::string& ruc, const std::string& periodo,
                              const std::string& correl, const std::string& doc) {
  bool sent = !correl.empty();
  std::string sql = std::string(
                        "SELECT tip_doc_a, doc_id_a, correl_a, cod_cat_tra, cod_concep, monto, monto_pag, "
                        "base_calculo FROM ") +
                    (sent ? "HF601_REMUNERA" : "F601_REMUNERA") +
                    " WHERE tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND formulario = '0601'";
  data::Params p{ruc, periodo};
  if (sent) {
    sql += " AND correl = ?";
    p.add(correl);
  }
  if (!doc.empty()) {
    sql += " AND doc_id_a = ?";
    p.add(doc);
  }
  return fill(db, sql + " ORDER BY tip_doc_a, doc_id_a, correl_a, cod_cat_tra, cod_concep", p);
}

ConceptListing workingConceptListing(data::Database& db, const std::string& doc) {
  std::string sql =
      "SELECT tip_doc_a, doc_id_a, correl_a, cod_cat_tra, codigo, monto, monto_pag, base_calculo FROM TMPF601CONCEP";
  data::Params p;
  if (!doc.empty()) {
    sql += " WHERE doc_id_a = ?";
    p.add(doc);
  }
  return fill(db, sql + " ORDER BY tip_doc_a, doc_id_a, correl_a, cod_cat_tra, codigo", p);
}

}  // namespace korventa::determination
