#include "detail/fourth_category.h"

#include <algorithm>
#include <stdexcept>

#include <fmt/format.h>

#include "common/text.h"
#include "data/param.h"

namespace korventa::detail {

std::vector<VoucherKind> CargaComboTipoServ(data::Database& db, std::string_view only) {
  std::vector<VoucherKind> out;
  for (const auto& r : data::ParamTable(db).list("853")) {
    std::string code = text::trim(r.argumento);
    if (!only.empty() && code != only) continue;
    out.push_back({code, r.field(1, 40)});
  }
  return out;
}

std::string counterCaption(std::string_view kind) {
  if (kind == "R") return "Cantidad de Recibos x Honorarios: ";
  if (kind == "N") return "Cantidad de Notas de Crédito: ";
  if (kind == "D") return "Cantidad de Dietas: ";
  if (kind == "O") return "Cantidad de Otros Comprobantes: ";
  return "Cantidad de comprobantes: ";
}

std::string categoryCaption(int category) {
  return category == kTrainee ? "Modalidad Formativa" : "PS-4ta";
}

const VoucherTables& voucherTables(int category) {
  static const VoucherTables rd{"TMPF601RDCAB", "TMPF601RDDET", "F601RDCAB", "F601RDDET"};
  static const VoucherTables mf{"TMPF601MFCAB", "TMPF601MFDET", "F601MFCAB", "F601MFDET"};
  if (category == kTrainee) return mf;
  if (category == kProvider) return rd;
  throw std::invalid_argument("categoría sin comprobantes: " + std::to_string(category));
}

VoucherSource sourceFor(const model::OpenDeclaration& decl) {
  return decl.sent() ? VoucherSource::History : VoucherSource::Working;
}

namespace {
constexpr const char* kVoucherColumns =
    "tip_retencion, num_ser, num_rec, fec_emi, fec_pago, mto_rec, ind_rta, por_rta, mto_rta, ind_ies, por_ies, "
    "mto_ies, num_for, rowid";
}  // namespace

std::vector<Voucher> listVouchers(data::Database& db, VoucherSource source, const model::OpenDeclaration& decl,
                                  const PersonKey& person) {
  const auto& t = voucherTables(person.cod_cat_tra);
  std::string sql = fmt::format("SELECT {} FROM ", kVoucherColumns);
  data::Params p;
  if (source == VoucherSource::Working) {
    sql += t.workDet;
    sql += " WHERE correl_a = ? AND tip_doc_a = ? AND doc_id_a = ? AND cod_cat_tra = ?";
  } else {
    sql += source == VoucherSource::History ? std::string("H") + t.storedDet : std::string(t.storedDet);
    sql +=
        " WHERE tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND formulario = ? AND correl_a = ? AND "
        "tip_doc_a = ? AND doc_id_a = ? AND cod_cat_tra = ?";
    p.add(decl.ruc);
    p.add(decl.periodo);
    p.add(decl.formulario);
  }
  p.add(person.correl_a);
  p.add(person.tip_doc_a);
  p.add(person.doc_id_a);
  p.add(person.cod_cat_tra);
  if (source == VoucherSource::History) {
    sql += " AND correl = ?";
    p.add(decl.correl);
  }
  sql +=
      " ORDER BY tip_retencion, substr(fec_pago, 7, 4) || substr(fec_pago, 4, 2) || substr(fec_pago, 1, 2), "
      "num_ser, num_rec, rowid";
  std::vector<Voucher> out;
  for (const auto& r : db.rows(sql, p)) {
    Voucher v;
    v.tip_retencion = r.text(0);
    v.num_ser = r.text(1);
    v.num_rec = r.text(2);
    v.fec_emi = r.text(3);
    v.fec_pago = r.text(4);
    v.mto_rec = r.text(5);
    v.ind_rta = r.text(6);
    v.por_rta = r.text(7);
    v.mto_rta = r.text(8);
    v.ind_ies = r.text(9);
    v.por_ies = r.text(10);
    v.mto_ies = r.text(11);
    v.num_for = r.text(12);
    v.rowid = source == VoucherSource::Working ? r.integer(13) : 0;
    out.push_back(std::move(v));
  }
  return out;
}

std::string nextXxxNumber(data::Database& db, int category) {
  std::int64_t max = db.integer(fmt::format("SELECT max(CAST(num_rec AS INTEGER)) FROM {} WHERE num_ser = 'XXX'",
                                            voucherTables(category).workDet),
                                {}, 0);
  return fmt::format("{:08d}", max + 1);
}

void writeHeader(data::Database& db, const model::OpenDeclaration& decl, const PersonKey& person, std::string_view kind,
                 const HeaderIdentity& id) {
  const auto& t = voucherTables(person.cod_cat_tra);
  const std::string where =
      " WHERE correl_a = ? AND tip_doc_a = ? AND doc_id_a = ? AND cod_cat_tra = ? AND tip_retencion = ?";
  data::Params key{person.correl_a, person.tip_doc_a, person.doc_id_a, person.cod_cat_tra, kind};
  if (person.cod_cat_tra == kTrainee) {
    // A trainee has one header row whatever the kind of his vouchers.
    const std::string whereMf = " WHERE correl_a = ? AND tip_doc_a = ? AND doc_id_a = ?";
    data::Params mfKey{person.correl_a, person.tip_doc_a, person.doc_id_a};
    if (db.exists(std::string("SELECT 1 FROM ") + t.workCab + whereMf, mfKey)) {
      db.run(std::string("UPDATE ") + t.workCab + " SET APELLIDO_P = ?, APELLIDO_M = ?, NOMBRE_1 = ?" + whereMf,
             {id.desPat, id.desMat, id.desNo1, person.correl_a, person.tip_doc_a, person.doc_id_a});
    } else {
      db.run(std::string("INSERT INTO ") + t.workCab +
                 " (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, tip_retencion, tip_doc_a, "
                 "doc_id_a, APELLIDO_P, APELLIDO_M, NOMBRE_1) VALUES (6, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
             {decl.ruc, decl.periodo, decl.formulario, person.correl_a, person.cod_cat_tra, kind, person.tip_doc_a,
              person.doc_id_a, id.desPat, id.desMat, id.desNo1});
    }
    return;
  }
  if (db.exists(std::string("SELECT 1 FROM ") + t.workCab + where, key)) {
    db.run(std::string("UPDATE ") + t.workCab +
               " SET Des_Pat = ?, Des_Mat = ?, Des_No1 = ?, Des_No2 = ?, ind_domicilio = ?, ruc = ?, ruc_estado = ?" +
               where,
           {id.desPat, id.desMat, id.desNo1, id.desNo2, id.indDomicilio, id.ruc, id.rucEstado, person.correl_a,
            person.tip_doc_a, person.doc_id_a, person.cod_cat_tra, kind});
  } else {
    db.run(std::string("INSERT INTO ") + t.workCab +
               " (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, tip_retencion, tip_doc_a, doc_id_a, "
               "Des_Pat, Des_Mat, Des_No1, Des_No2, ind_domicilio, ruc, ruc_estado) "
               "VALUES (6, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
           {decl.ruc, decl.periodo, decl.formulario, person.correl_a, person.cod_cat_tra, kind, person.tip_doc_a,
            person.doc_id_a, id.desPat, id.desMat, id.desNo1, id.desNo2, id.indDomicilio, id.ruc, id.rucEstado});
  }
}

}  // namespace korventa::detail
