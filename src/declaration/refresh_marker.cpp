#include "declaration/refresh_marker.h"

#include "data/sessions.h"

namespace korventa::declaration {

void InsertaIndicadorRefrescar(data::Database& db, std::string_view ruc, std::string_view periodo) {
  std::string where = "tip_doc_d = 6 AND doc_id_d = ? AND formulario = '0601'";
  data::Params p{ruc};
  if (!periodo.empty()) {
    where += " AND periodo = ?";
    p.add(periodo);
  }
  data::Transaction tx(db);
  // Not a change of the declarations themselves (the open one is refreshed next): their versions
  // stay, and a save whose working set predates this mark keeps them marked.
  data::raiseRegistryMark(db, ruc);
  db.run("UPDATE CAB SET ind_ref = 1, estado = 9 WHERE estado <> 1 AND " + where, p);
  db.run("UPDATE CAB SET ind_ref = 1 WHERE estado = 1 AND " + where, p);
  tx.commit();
}

void markEveryDeclarationForRefresh(data::Database& db) {
  data::Transaction tx(db);
  for (const auto& r : db.rows("SELECT DISTINCT doc_id_d FROM CAB WHERE tip_doc_d = 6"))
    InsertaIndicadorRefrescar(db, r.text(0));
  tx.commit();
}

data::RegistryLoadReport loadRegistry(data::Database& db, const std::filesystem::path& dir) {
  data::Transaction tx(db);
  auto report = data::loadRegistryFolder(db, dir);
  if (!report.tables.empty()) markEveryDeclarationForRefresh(db);
  tx.commit();
  return report;
}

}  // namespace korventa::declaration
