#include "declaration/send.h"

#include <stdexcept>

#include "common/dates.h"
#include "common/text.h"
#include "data/numero_control.h"
#include "data/servicios_comunes.h"
#include "data/sessions.h"
#include "declaration/sql_support.h"
#include "declaration/tables.h"

namespace korventa::declaration {

SendReceipt enviarDeclaracion(data::Database& db, const std::string& ruc, const std::string& periodo) {
  auto key = preparationKey(ruc, periodo);
  // The state is read in the sending's own transaction: a save between the check and the copy
  // cannot slip a declaration with inconsistencies through.
  data::Transaction tx(db);
  // A declaration open in another session is neither checked nor sent: it may be saved meanwhile.
  data::claimDeclaration(db, ruc, periodo);
  auto cab = db.row("SELECT estado, ind_ref FROM CAB WHERE " + key.where, key.params);
  if (!cab)
    throw std::runtime_error("No existe la declaración del período " + periodToDisplay(periodo) + " para el RUC " +
                             ruc + ".");
  if (cab->isNull("estado") || cab->integer(0) != 0)
    throw std::runtime_error(
        "Solo puede enviarse una declaración grabada sin inconsistencias (estado 0); la del período " +
        periodToDisplay(periodo) + " tiene estado " + cab->text(0) + ".");

  SendReceipt r;
  long long last = db.integer("SELECT MAX(CAST(correl AS INTEGER)) FROM HCAB WHERE " + key.where, key.params, 0);
  r.correl = std::to_string(last + 1);
  r.fecEnv = Clock::today().dmy();
  // Control code: a check over the boxes as sent.
  std::vector<std::string> boxes;
  for (const auto& b : db.rows("SELECT Casilla, i_valor FROM DET WHERE " + key.where + " ORDER BY Casilla", key.params))
    boxes.push_back(text::trim(b.text(0)) + "=" + text::trim(b.text(1)));
  boxes.push_back(r.correl);
  boxes.push_back({});
  r.control = data::NumeroControlTexts(boxes, 0);

  const data::Value correl(r.correl);
  for (const auto& t : deletedTables())
    copyRows(db, t.name, "H" + std::string(t.name), t.n, {{"correl", correl}}, key.where + copyOrder(t.name),
             key.params);
  copyRows(db, "DET", "HDET", 6, {{"correl", correl}}, key.where + " ORDER BY rowid", key.params);
  copyRows(db, "CAB", "HCAB", 5,
           {{"estado", data::Value(std::int64_t(1))},
            {"norden", data::Value(std::string())},
            {"fec_env", data::Value(r.fecEnv)},
            {"control", data::Value(r.control)},
            {"correl", correl}},
           key.where, key.params);
  // The declaration in preparation is now the sent one until it is saved again.
  db.run("UPDATE CAB SET estado = 1 WHERE " + key.where, key.params);
  recomputeControl(db, "CAB", 5, key.where, key.params);
  long long seq = db.integer("SELECT count(*) FROM HCAB");
  tx.commit();
  r.numeroOrden = ServiciosComunes::numeroOrden(seq, ServiciosComunes::textoVerificacion(ruc, periodo, r.correl));
  return r;
}

std::vector<SendCandidate> declaracionesPorEnviar(data::Database& db) {
  std::vector<SendCandidate> out;
  for (const auto& r :
       db.rows("SELECT A.doc_id_d, COALESCE(NULLIF(TRIM(B.Nombre), ''), TRIM(COALESCE(B.APELLIDO_P, '') "
               "|| ' ' || COALESCE(B.APELLIDO_M, '') || ' ' || COALESCE(B.NOMBRE_1, ''))), A.periodo "
               "FROM CAB A LEFT JOIN CONTRVKRS B ON B.tip_doc_d = 6 AND B.doc_id_d = A.doc_id_d "
               "WHERE A.tip_doc_d = 6 AND A.Formulario = '0601' AND A.estado = 0 "
               "ORDER BY A.doc_id_d, A.periodo DESC"))
    out.push_back({text::trim(r.text(0)), r.text(1), text::trim(r.text(2))});
  return out;
}

void showReceipt(Messenger& m, const std::string& ruc, const std::string& periodo, const SendReceipt& r) {
  m.show("Declaración " + ruc + " " + periodToDisplay(periodo) + " enviada.\nCorrelativo: " + r.correl +
             "\nFecha de envío: " + r.fecEnv + "\nCódigo de control: " + r.control +
             "\nNúmero de orden: " + r.numeroOrden,
         "Constancia de envío", MsgIcon::Information);
}

}  // namespace korventa::declaration
