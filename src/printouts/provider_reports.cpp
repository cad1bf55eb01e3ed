#include "printouts/report_builders.h"

#include "common/money.h"
#include "common/text.h"
#include "printouts/report_cells.h"

namespace korventa::printouts {

// ---- Report 32: fourth-category receipts -----------------------------------------------------

namespace {

std::string voucherKind(const std::string& k) {
  if (k == "R") return "RECIBO x HONORARIOS";
  if (k == "D") return "DIETA";
  if (k == "N") return "NOTA DE CREDITO";
  if (k == "O") return "OTROS";
  return k;
}

}  // namespace

void report32(Ctx& c, ReportSink& sink, Ticker& tick) {
  std::vector<std::string> cols = {"Tipo de Comprobate", "Número de Serie",         "Número de Comprobante",
                                   "Fecha de Emisión",   "Fecha de Pago",           "Monto de Comprobante",
                                   "Tiene Retención",    "Porcentaje de Retención", "Monto Retenido"};
  std::vector<std::string> blocks(cols.size());
  sink.begin(header(32, "Datos del Prestador de Servicio", blocks, cols));
  data::Params p;
  std::string where = c.where("D", p);
  std::string sql = "SELECT D.*, C.Des_Pat, C.Des_Mat, C.Des_No1 FROM " + c.table("F601RDDET") + " D LEFT JOIN " +
                    c.table("F601RDCAB") +
                    " C ON C.tip_doc_d = D.tip_doc_d AND C.doc_id_d = D.doc_id_d AND C.periodo = D.periodo AND "
                    "C.correl_a = D.correl_a AND C.tip_retencion = D.tip_retencion AND C.tip_doc_a = D.tip_doc_a AND "
                    "C.doc_id_a = D.doc_id_a" +
                    (c.decl.ref.sent() ? " AND C.correl = D.correl" : "") + " WHERE " + where +
                    " ORDER BY D.tip_doc_a, D.doc_id_a, D.tip_retencion, D.num_ser, D.num_rec";
  for (const auto& r : c.db.rows(sql, p)) {
    PersonName own{text::trim(r.text("Des_Pat")), text::trim(r.text("Des_Mat")), text::trim(r.text("Des_No1"))};
    auto cells = c.ident(r.integer("tip_doc_a"), r.text("doc_id_a"), 3, &own);
    std::string serie = text::trim(r.text("num_ser"));
    cells.push_back(textCell(voucherKind(text::trim(r.text("tip_retencion")))));
    cells.push_back(textCell(serie == "XXX" ? std::string() : serie));
    cells.push_back(textCell(text::trim(r.text("num_rec"))));
    cells.push_back(textCell(dmy(r.text("fec_emi"))));
    cells.push_back(textCell(dmy(r.text("fec_pago"))));
    cells.push_back(formattedAmount(Money::value(r.text("mto_rec"))));
    cells.push_back(textCell(text::trim(r.text("ind_rta")) == "1" ? "SI" : "NO"));
    cells.push_back(amountCell(r.text("por_rta")));
    cells.push_back(amountCell(r.text("mto_rta")));
    sink.row(cells);
    tick();
  }
  sink.end();
}

// ---- Report 33: trainees ---------------------------------------------------------------------

void report33(Ctx& c, ReportSink& sink, Ticker& tick) {
  sink.begin(header(33, "Datos del Prestador de Servicio Modalidad Formativa", {""}, {"Monto subvención económica"}));
  data::Params p;
  std::string where = c.where("", p);
  for (const auto& r : c.db.rows(
           "SELECT * FROM " + c.table("F601MFCAB") + " WHERE " + where + " ORDER BY tip_retencion, tip_doc_a, doc_id_a",
           p)) {
    PersonName own{text::trim(r.text("APELLIDO_P")), text::trim(r.text("APELLIDO_M")), text::trim(r.text("NOMBRE_1"))};
    auto cells = c.ident(r.integer("tip_doc_a"), r.text("doc_id_a"), 5, &own);
    cells.push_back(amountCell(r.text("mto_renta")));
    sink.row(cells);
    tick();
  }
  sink.end();
}

// ---- Report 34: personnel of third parties ---------------------------------------------------

void report34(Ctx& c, ReportSink& sink, Ticker& tick) {
  std::vector<std::string> cols = {"Centro de Riesgo", "Descripción", "Tasa (%)", "Base de cálculo", "SCTR ESSALUD"};
  sink.begin(header(34, "Datos del Personal de Terceros", std::vector<std::string>(cols.size()), cols));
  data::Params p;
  std::string where = c.where("S", p);
  std::string sql =
      "SELECT S.*, L.nom_est FROM " + c.table("F601_SCTR") +
      " S LEFT JOIN LOCAL L ON L.tip_doc_d = 6 AND L.doc_id_d = S.doc_id_d AND L.cod_est = S.correl_centro "
      "WHERE " +
      where + " ORDER BY S.tip_doc_a, S.doc_id_a, S.correl_a";
  for (const auto& r : c.db.rows(sql, p)) {
    auto cells = c.ident(r.integer("tip_doc_a"), r.text("doc_id_a"), 4);
    cells.push_back(textCell(text::trim(r.text("centro"))));
    cells.push_back(textCell(text::trim(r.text("nom_est"))));
    cells.push_back(amountCell(r.text("tasa")));
    cells.push_back(amountCell(r.text("rem_sctrs")));
    cells.push_back(amountCell(r.text("sctrs")));
    sink.row(cells);
    tick();
  }
  sink.end();
}

}  // namespace korventa::printouts
