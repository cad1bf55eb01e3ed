#include "determination/computation.h"

#include "common/text.h"
#include "data/param.h"

namespace korventa::determination {

ComputationContext loadContext(data::Database& db, const model::OpenDeclaration& decl) {
  ComputationContext ctx;
  ctx.periodo = decl.periodo;
  data::ParamTable param(db);
  ctx.uit = decl.uit.isZero() ? param.uit(decl.periodo).value_or(Money()) : decl.uit;
  ctx.rmv = decl.rmv.isZero() ? param.rmv(decl.periodo).value_or(Money()) : decl.rmv;
  for (const auto& r : db.rows("SELECT CODIGO, FUNCION FROM PARAM_REMUNERA"))
    ctx.affectations.general[text::trim(r.text(0))] = text::trim(r.text(1));
  for (const auto& r :
       db.rows("SELECT CODIGO, AFECTACION FROM TRIBUT_AFECTA WHERE tip_doc_d = 6 AND doc_id_d = ?", {decl.ruc}))
    ctx.affectations.own[text::trim(r.text(0))] = text::trim(r.text(1));
  ctx.types = ConceptTypes::load(db);
  for (const auto& r : db.rows("SELECT Codigo, Descripc FROM CONCEPTOS_REM ORDER BY Codigo"))
    ctx.catalogue.push_back({text::trim(r.text(0)), r.text(1)});
  // Own concepts are described by the declarant; the others by the catalogue.
  for (const auto& r : db.rows("SELECT a.cod_concepto, COALESCE(NULLIF(o.desc_concepto, ''), c.Descripc, '') "
                               "FROM CON_AFEC a LEFT JOIN CONCEPTOS_REM c ON c.Codigo = a.cod_concepto "
                               "LEFT JOIN conceptos_remu o ON o.tip_doc_d = a.tip_doc_d AND o.doc_id_d = a.doc_id_d "
                               "AND o.cod_concepto = a.cod_concepto "
                               "WHERE a.tip_doc_d = 6 AND a.doc_id_d = ? ORDER BY a.cod_concepto",
                               {decl.ruc})) {
    std::string code = text::trim(r.text(0));
    if (code.size() != 4 || text::right(code, 2) == "00") continue;
    ctx.conceptSet.push_back({code, r.text(1)});
  }
  return ctx;
}

Computation::Computation(data::Database& db, const model::OpenDeclaration& decl)
    : ctx_(loadContext(db, decl)), rates_(db, decl.periodo, DeclarantOptions::load(db, decl.ruc)) {}

}  // namespace korventa::determination
