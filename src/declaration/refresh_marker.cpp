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

}  // namespace korventa::declaration
