#include "detail/trainee_detail.h"

#include <algorithm>

#include "common/text.h"
#include "common/vb_format.h"
#include "data/db_errors.h"
#include "detail/detail_support.h"
#include "data/servicios_comunes.h"

namespace korventa::detail {

std::string Descrip_Tipo(data::Database& db, std::string_view codTipest) {
  auto r = data::ParamTable(db).row("028", codTipest);
  return r ? text::trim(text::mid(r->funcion, 1, 24)) : std::string();
}

TraineeDetail::TraineeDetail(Session& session, const model::OpenDeclaration& decl)
    : s_(session), decl_(decl), source_(sourceFor(decl)) {
  auto& db = s_.database();
  registered_ = CargaComboTipoDoc1(db, decl_.ruc, kTrainee);
  docTypes_ = data::ParamTable(db).LlenaTiposDocumento(kDocContextIndependent);
  openNew();
}

void TraineeDetail::openNew() {
  isNew_ = true;
  person_ = {};
  person_.cod_cat_tra = kTrainee;
  person_.tip_doc_a = 1;
  apellidoP_.clear();
  apellidoM_.clear();
  nombre1_.clear();
  amount_.clear();
  loadEstablishments();
  modified_ = false;
  focus_.clear();
}

bool TraineeDetail::openExisting(const PersonKey& person) {
  openNew();
  isNew_ = false;
  person_ = person;
  person_.cod_cat_tra = kTrainee;
  try {
    std::optional<data::Row> r;
    std::string cols = "SELECT APELLIDO_P, APELLIDO_M, NOMBRE_1, mto_renta FROM ";
    if (source_ == VoucherSource::Working) {
      r = s_.database().row(cols + "TMPF601MFCAB WHERE correl_a = ? AND tip_doc_a = ? AND doc_id_a = ?",
                            {person_.correl_a, person_.tip_doc_a, person_.doc_id_a});
    } else {
      bool h = source_ == VoucherSource::History;
      r = s_.database().row(cols + (h ? "HF601MFCAB" : "F601MFCAB") +
                                " WHERE tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND formulario = ? AND "
                                "correl_a = ? AND tip_doc_a = ? AND doc_id_a = ?" +
                                (h ? " AND correl = ?" : ""),
                            h ? data::Params{decl_.ruc, decl_.periodo, decl_.formulario, person_.correl_a,
                                             person_.tip_doc_a, person_.doc_id_a, decl_.correl}
                              : data::Params{decl_.ruc, decl_.periodo, decl_.formulario, person_.correl_a,
                                             person_.tip_doc_a, person_.doc_id_a});
    }
    if (r) {
      apellidoP_ = r->text(0);
      apellidoM_ = r->text(1);
      nombre1_ = r->text(2);
      auto m = Money::parse(r->text(3));
      amount_ = m ? m->toText(2) : r->text(3);
    } else {
      for (const auto& p : registered_)
        if (p.key.correl_a == person_.correl_a && p.key.doc_id_a == person_.doc_id_a) {
          apellidoP_ = p.apellidoP;
          apellidoM_ = p.apellidoM;
          nombre1_ = p.nombre1;
        }
    }
    loadEstablishments();
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(s_.msg(), e);
    return false;
  }
  modified_ = false;
  return true;
}

void TraineeDetail::loadEstablishments() {
  establishments_.clear();
  auto& db = s_.database();
  std::string marked;
  data::Params p;
  if (source_ == VoucherSource::Working) {
    marked = "SELECT cod_estab FROM TMPF601_ESTABMF WHERE correl_a = ? AND tip_doc_a = ? AND doc_id_a = ?";
    p = data::Params{person_.correl_a, person_.tip_doc_a, person_.doc_id_a};
  } else {
    bool h = source_ == VoucherSource::History;
    marked = std::string("SELECT cod_estab FROM ") + (h ? "HF601_ESTABMF" : "F601_ESTABMF") +
             " WHERE tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND formulario = ? AND correl_a = ? AND "
             "tip_doc_a = ? AND doc_id_a = ?" +
             (h ? " AND correl = ?" : "");
    p = data::Params{decl_.ruc, decl_.periodo, decl_.formulario, person_.correl_a, person_.tip_doc_a, person_.doc_id_a};
    if (h) p.add(decl_.correl);
  }
  // The trainee's establishments (indica 1) and the declarant's others (indica 0), by code.
  std::string sql =
      "SELECT l.cod_est, l.nom_est, l.cod_tipest, l.doc_ruc_emp, "
      "CASE WHEN l.cod_est IN (" +
      marked +
      ") THEN 1 ELSE 0 END AS indica "
      "FROM LOCAL l WHERE l.tip_doc_d = 6 AND l.doc_id_d = ? ORDER BY l.cod_est";
  p.add(decl_.ruc);
  for (const auto& r : db.rows(sql, p)) {
    TraineeEstablishment e;
    e.cod_est = r.integer(0);
    e.nom_est = r.text(1);
    e.cod_tipest = text::trim(r.text(2));
    e.tipoDescripcion = Descrip_Tipo(db, e.cod_tipest);
    e.doc_ruc_emp = r.text(3);
    e.selected = r.integer(4) == 1;
    e.caption = std::to_string(e.cod_est) + "  " + e.tipoDescripcion + "  " + e.doc_ruc_emp + "  " + e.nom_est;
    establishments_.push_back(std::move(e));
  }
}

void TraineeDetail::chooseRegistered(std::size_t index) {
  if (index >= registered_.size() || !isNew_) return;
  const auto& p = registered_[index];
  person_ = p.key;
  apellidoP_ = p.apellidoP;
  apellidoM_ = p.apellidoM;
  nombre1_ = p.nombre1;
  loadEstablishments();
  touch();
}

void TraineeDetail::setTipDoc(int t) {
  if (!isNew_ || t == person_.tip_doc_a) return;
  person_.tip_doc_a = t;
  person_.correl_a = 0;
  touch();
}

void TraineeDetail::setDocId(const std::string& d) {
  if (!isNew_ || text::trim(d) == person_.doc_id_a) return;
  person_.doc_id_a = text::trim(d);
  person_.correl_a = 0;
  touch();
}

void TraineeDetail::setSelected(std::size_t index, bool selected) {
  if (index >= establishments_.size() || establishments_[index].selected == selected) return;
  establishments_[index].selected = selected;
  touch();
}

int TraineeDetail::selectedCount() const {
  return static_cast<int>(std::count_if(establishments_.begin(), establishments_.end(),
                                        [](const TraineeEstablishment& e) { return e.selected; }));
}

std::string TraineeDetail::amountDisplay() const {
  return vbFormatText(amount_, "##,###,###,##0.00");
}

bool TraineeDetail::fail(const std::string& message, const std::string& focus, const std::string& title) {
  focus_ = focus;
  s_.msg().critical(message, title);
  return false;
}

bool TraineeDetail::amountEnter() {
  if (text::trim(amount_).empty()) return fail("Debe ingresar el Monto pagado", "TxtMonto");
  return true;
}

bool TraineeDetail::Valida_Cab() {
  focus_.clear();
  auto& db = s_.database();
  const std::string& doc = person_.doc_id_a;
  if (isNew_) {
    if (person_.correl_a == 0)
      for (const auto& p : registered_)
        if (p.key.tip_doc_a == person_.tip_doc_a && p.key.doc_id_a == doc) person_.correl_a = p.key.correl_a;
    if (!doc.empty() &&
        db.exists("SELECT 1 FROM TMPF601MFCAB WHERE tip_doc_a = ? AND doc_id_a = ?", {person_.tip_doc_a, doc}))
      return fail("El número de documento ya fue ingresado", "TxtNumDoc", "Error");
  }
  if (person_.tip_doc_a == kTipDocRuc && doc == decl_.ruc)
    return fail("Número de RUC del independiente es igual al del declarante ", "TxtNumDoc");
  if (doc.empty()) return fail("Debe ingresar el Número de documento", "TxtNumDoc");
  auto type = std::find_if(docTypes_.begin(), docTypes_.end(),
                           [&](const data::DocumentType& d) { return d.code == person_.tip_doc_a; });
  if (type == docTypes_.end() || !ServiciosComunes::documentoValido(doc, *type))
    return fail("Verifique la longitud del documento", "TxtNumDoc");
  return true;
}

bool TraineeDetail::Valida_Cab2() {
  auto m = Money::parse(amount_);
  if (text::trim(amount_).empty() || !m || m->isNegative()) return fail("Debe ingresar el monto", "TxtMonto");
  return true;
}

void TraineeDetail::Graba_Cab() {
  auto& db = s_.database();
  std::string monto = vbFormat(*Money::parse(amount_), "######0.00");
  data::Params key{person_.correl_a, person_.tip_doc_a, person_.doc_id_a};
  const char* where = " WHERE correl_a = ? AND tip_doc_a = ? AND doc_id_a = ?";
  if (db.exists(std::string("SELECT 1 FROM TMPF601MFCAB") + where, key)) {
    db.run(std::string("UPDATE TMPF601MFCAB SET APELLIDO_P = ?, APELLIDO_M = ?, NOMBRE_1 = ?, mto_renta = ?") + where,
           {apellidoP_, apellidoM_, nombre1_, monto, person_.correl_a, person_.tip_doc_a, person_.doc_id_a});
  } else {
    db.run(
        "INSERT INTO TMPF601MFCAB (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, tip_doc_a, "
        "doc_id_a, APELLIDO_P, APELLIDO_M, NOMBRE_1, mto_renta) VALUES (6, ?, ?, ?, ?, 5, ?, ?, ?, ?, ?, ?)",
        {decl_.ruc, decl_.periodo, decl_.formulario, person_.correl_a, person_.tip_doc_a, person_.doc_id_a, apellidoP_,
         apellidoM_, nombre1_, monto});
  }
  // The trainee's establishments are replaced by the ones selected now.
  db.run(std::string("DELETE FROM TMPF601_ESTABMF") + where, key);
  for (const auto& e : establishments_) {
    if (!e.selected) continue;
    db.run(
        "INSERT INTO TMPF601_ESTABMF (tip_doc_d, doc_id_d, correl_a, tip_doc_a, doc_id_a, periodo, formulario, "
        "cod_estab, cNumero, cod_est, nom_est, cod_tipest, indica) VALUES (6, ?, ?, ?, ?, ?, ?, ?, '000000', ?, ?, ?, "
        "1)",
        {decl_.ruc, person_.correl_a, person_.tip_doc_a, person_.doc_id_a, decl_.periodo, decl_.formulario, e.cod_est,
         e.cod_est, e.nom_est, e.cod_tipest});
  }
}

bool TraineeDetail::accept() {
  if (readOnly()) return false;
  if (!Valida_Cab() || !Valida_Cab2()) return false;
  if (selectedCount() == 0) return fail("Debe seleccionar por lo menos un establecimeinto", "lstHorario");
  if (!writeInTransaction(s_.database(), s_.msg(), [this] {
        Graba_Cab();
        return true;
      }))
    return false;
  isNew_ = false;
  modified_ = false;
  s_.msg().info("La información fue grabada satisfactoriamente. ");
  return true;
}

bool TraineeDetail::Eliminar() {
  if (readOnly() || person_.doc_id_a.empty()) return false;
  if (s_.msg().ask("¿Está seguro de Eliminar?. Esta información no podrá ser recuperada", "Eliminar Registro",
                   MsgButtons::YesNo, Answer::No) != Answer::Yes)
    return false;
  auto& db = s_.database();
  data::Params key{person_.correl_a, person_.tip_doc_a, person_.doc_id_a};
  const char* where = " WHERE correl_a = ? AND tip_doc_a = ? AND doc_id_a = ?";
  if (!writeInTransaction(db, s_.msg(), [&] {
        for (const char* table : {"TMPF601_ESTABMF", "TMPF601MFDET", "TMPF601MFCAB"})
          db.run(std::string("DELETE FROM ") + table + where, key);
        return true;
      }))
    return false;
  modified_ = false;
  return true;
}

bool TraineeDetail::leave() {
  if (readOnly() || !modified_) return true;
  if (s_.msg().ask("El formulario ha sido modificado. ¿Desea guardar los cambios?", "Confirma Salir", MsgButtons::YesNo,
                   Answer::Yes) == Answer::Yes)
    return accept();
  return true;
}

}  // namespace korventa::detail
