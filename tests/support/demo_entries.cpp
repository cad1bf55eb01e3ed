#include "support/demo_entries.h"

#include "determination/debt_grid.h"
#include "determination/declaration_computation.h"
#include "determination/computation.h"
#include "model/person_data.h"

namespace korventa::test {

void enterDemoPay(Session& session, const model::OpenDeclaration& decl) {
  auto& db = session.database();
  {
    // Typed as the concept form takes it: the rows the person is offered, filled in memory.
    data::Transaction tx(db);
    auto persons = model::loadPersons(db, decl.ruc, std::nullopt);
    determination::Computation computation(db, decl);
    for (auto& p : persons) {
      computation.compute(p);
      auto type = [](model::ConceptRow& r, const char* amount) { r.monto = r.monto_pag = amount; };
      if (auto* basic = p.find("0121"); basic && p.key.cod_cat_tra == kWorker) {
        type(*basic, "2500.00");
        continue;
      }
      // Persons without a basic salary concept (pensioners, other worker types): their first income.
      for (auto& r : p.concepts)
        if (r.group() != "06" && r.group() != "08") {
          type(r, "1200.00");
          break;
        }
    }
    model::storePersons(db, persons);
    tx.commit();
  }
  db.run(
      "INSERT INTO TMP_ESTTURNOS_JL (correl_a, tip_doc_a, doc_id_a, cod_est, cod_tipest, Indica) SELECT "
      "Correl_a, tip_doc_a, doc_id_a, 1, '01', 1 FROM TEMP1_F601 WHERE cod_cat_tra = 1");
  db.run("UPDATE TMPF601MFCAB SET mto_renta = '930.00'");
  db.run(
      "INSERT INTO TMPF601_ESTABMF (tip_doc_d, doc_id_d, correl_a, tip_doc_a, doc_id_a, periodo, formulario, "
      "cod_estab, cod_est, indica) SELECT 6, doc_id_d, correl_a, tip_doc_a, doc_id_a, periodo, '0601', 1, 1, 1 "
      "FROM TMPF601MFCAB");
  if (auto rate = db.row("SELECT doc_ruc_emp, cod_est, correl_tasa, tasa FROM COR_TASAS_601 WHERE tip_doc_d = 6 AND "
                         "doc_id_d = ? ORDER BY doc_ruc_emp, cod_est, correl_tasa",
                         {decl.ruc}))
    db.run(
        "UPDATE TEMP2_F601 SET Ruc = ?, centro = ?, Correl_centro = ?, Correl_tasa = ?, Tasa = printf('%.2f', ?), "
        "rem_sctrs = '1800.00', sctrs = printf('%.2f', round(1800 * ? / 100, 2))",
        {rate->text(0), std::to_string(rate->integer(1)), rate->integer(1), rate->integer(2), (*rate)[3], (*rate)[3]});
  determination::recomputeDeclaration(session, decl);
  db.run(
      "UPDATE TMPF601CONCEP SET monto = printf('%.2f', round(base_calculo * 0.1, 2)), monto_pag = "
      "printf('%.2f', round(base_calculo * 0.1, 2)) WHERE codigo LIKE '06%' AND TRIM(COALESCE(base_calculo, "
      "'')) <> '' AND TRIM(COALESCE(monto, '')) = ''");
  determination::recomputeDeclaration(session, decl);
}

void payEveryBalance(Session& session, model::OpenDeclaration& decl) {
  determination::DebtDetermination grid(session, decl);
  grid.load();
  for (const auto& c : determination::taxColumns())
    if (determination::isTypedBox(c.toPay) && !grid.empty(c.balance)) grid.setBox(c.toPay, grid.value(c.balance));
  decl.typedBoxes = grid.typedBoxes();
  decl.typedBoxesRead = true;
  decl.payment.type = "E";
}

void completeDeclaration(Session& session, model::OpenDeclaration& decl) {
  enterDemoPay(session, decl);
  payEveryBalance(session, decl);
}

}  // namespace korventa::test
