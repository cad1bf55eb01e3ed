#include "detail/stored_rows.h"

#include <stdexcept>

#include "common/dates.h"

namespace korventa::detail {
namespace {

void requireDeclaration(data::Database& db, const std::string& ruc, const std::string& periodo,
                        const std::string& correl) {
  bool found = correl.empty() ? db.exists(
                                    "SELECT 1 FROM CAB WHERE tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND "
                                    "Formulario = '0601'",
                                    {ruc, periodo})
                              : db.exists(
                                    "SELECT 1 FROM HCAB WHERE tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND "
                                    "Formulario = '0601' AND correl = ?",
                                    {ruc, periodo, correl});
  if (!found)
    throw std::runtime_error("No existe la declaración " + ruc + " " + periodToDisplay(periodo) +
                             (correl.empty() ? std::string() : " (envío " + correl + ")") + ".");
}

StoredRows query(data::Database& db, const std::string& sql, const data::Params& p, std::vector<std::string> columns) {
  StoredRows out{std::move(columns), {}};
  for (const auto& r : db.rows(sql, p)) {
    std::vector<std::string> line;
    for (std::size_t i = 0; i < r.size(); ++i) line.push_back(r.text(i));
    out.rows.push_back(std::move(line));
  }
  return out;
}

}  // namespace

StoredRows storedSuspensions(data::Database& db, const std::string& ruc, const std::string& periodo,
                             const std::string& correl) {
  requireDeclaration(db, ruc, periodo, correl);
  std::string table = correl.empty() ? "F601DIAS_NOLAB" : "HF601DIAS_NOLAB";
  data::Params p{ruc, periodo};
  if (!correl.empty()) p.add(correl);
  return query(
      db,
      "SELECT correl_a, tip_doc_a, doc_id_a, tipo_suspen, fecha_ini, fecha_fin, num_citt, dias_citt, dias_sub, "
      "dias_no_lab FROM " +
          table +
          " WHERE tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND "
          "formulario = '0601'" +
          (correl.empty() ? "" : " AND correl = ?") +
          " ORDER BY correl_a, substr(fecha_ini, 7, 4) || substr(fecha_ini, 4, 2) || substr(fecha_ini, 1, 2), "
          "tipo_suspen",
      p,
      {"correl_a", "tip_doc_a", "doc_id_a", "tipo_suspen", "fecha_ini", "fecha_fin", "num_citt", "dias_citt",
       "dias_sub", "dias_no_lab"});
}

StoredRows storedInvoices(data::Database& db, const std::string& ruc, const std::string& periodo,
                          const std::string& correl) {
  requireDeclaration(db, ruc, periodo, correl);
  // The history keeps the sending in the table's own Correl column.
  std::string table = correl.empty() ? "F600INFEPS" : "HF600INFEPS";
  return query(
      db,
      "SELECT Casilla, RUC_EPS, Periodo_fac, Num_Serie, Num_Fac, Fec_Emis, Fec_pago, Imp_total, Imp_cred FROM " +
          table +
          " WHERE tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND formulario = '0601' AND "
          "COALESCE(Correl, '') = ? ORDER BY Casilla, rowid",
      {ruc, periodo, correl},
      {"casilla", "ruc_eps", "periodo_fac", "num_serie", "num_fac", "fec_emis", "fec_pago", "imp_total", "imp_cred"});
}

}  // namespace korventa::detail
