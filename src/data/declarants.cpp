#include "data/declarants.h"

#include "common/text.h"
#include "data/db_errors.h"

namespace korventa::data {
namespace {

std::string nameOf(const Row& r) {
  std::string n = text::trim(r.text("Nombre"));
  if (!n.empty()) return n;
  std::string ap = text::trim(r.text("APELLIDO_P")), am = text::trim(r.text("APELLIDO_M")),
              n1 = text::trim(r.text("NOMBRE_1"));
  std::string s = ap;
  if (!am.empty()) s += (s.empty() ? "" : " ") + am;
  if (!n1.empty()) s += ", " + n1;
  return s;
}

std::vector<DeclarantItem> query(Database& db, std::string_view user, std::string where, Params params) {
  std::string sql =
      "SELECT Tip_doc_d, doc_id_d, Nombre, APELLIDO_P, APELLIDO_M, NOMBRE_1 FROM CONTRVKRS WHERE 1=1" + where;
  if (TipoUsuario(db, user) != "0") {
    sql += " AND Usuario = ?";
    params.add(std::string(user));
  }
  sql += " ORDER BY Tip_doc_d, doc_id_d";
  std::vector<DeclarantItem> out;
  for (const auto& r : db.rows(sql, params))
    out.push_back({static_cast<int>(r.integer(0)), text::trim(r.text(1)), nameOf(r)});
  return out;
}

}  // namespace

std::vector<DeclarantItem> LlenaDeclarantes(Database& db, std::string_view user, int incomeType, int docType) {
  std::string where;
  Params p;
  if (incomeType == 1 || incomeType == 2) {
    where += " AND Tipo_ingreso = ?";
    p.add(incomeType);
  }
  if (docType != 100) {
    where += " AND Tip_doc_d = ?";
    p.add(docType);
  }
  return query(db, user, where, p);
}

std::vector<DeclarantItem> LlenaDeclarantesRuc(Database& db, std::string_view user) {
  return query(db, user, " AND Tip_doc_d = 6 AND length(trim(doc_id_d)) = 11 AND Tipo_ingreso = 2", {});
}

std::string declarantName(Database& db, std::string_view ruc) {
  auto r = db.row("SELECT Nombre, APELLIDO_P, APELLIDO_M, NOMBRE_1 FROM CONTRVKRS WHERE tip_doc_d = 6 AND doc_id_d = ?",
                  {ruc});
  return r ? nameOf(*r) : std::string();
}

std::string IndicadorDeclarante(Database& db, std::string_view ruc, std::string_view indicator) {
  std::string column;
  std::string u = text::upper(indicator);
  if (u == "IND_REGIMENLAB")
    column = "Ind_RegimenLab";
  else if (u == "IND_ADM_PUBLICA")
    column = "ind_adm_publica";
  else if (u == "IND_SENATI")
    column = "Ind_senati";
  else
    return {};
  return text::trim(db.text("SELECT " + column + " FROM CONTRVKRS WHERE tip_doc_d = 6 AND doc_id_d = ?", {ruc}));
}

std::vector<Row> ListaConceptos(Database& db, std::optional<std::string> code) {
  if (!code) return db.rows("SELECT * FROM CONCEPTOS_REM WHERE substr(Codigo, 3, 2) = '00' ORDER BY Codigo");
  return db.rows("SELECT * FROM CONCEPTOS_REM WHERE substr(Codigo, 1, 4) = ? ORDER BY Codigo", {*code});
}

void AseguraConcepto(Database& db, std::string_view ruc, std::string_view code) {
  for (const auto& r : db.rows("SELECT Codigo, ind_origen FROM CONCEPTOS_REM WHERE Codigo = ?", {code})) {
    if (!db.exists("SELECT 1 FROM CON_AFEC WHERE Tip_Doc_d = 6 AND Doc_id_d = ? AND cod_concepto = ?", {ruc, code}))
      db.run("INSERT INTO CON_AFEC (Tip_Doc_d, Doc_id_d, cod_concepto, ind_origen) VALUES (6, ?, ?, ?)",
             {ruc, r.text(0), r.text(1)});
  }
}

}  // namespace korventa::data
