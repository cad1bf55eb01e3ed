#include "detail/other_employers.h"
#include "detail/other_employer_detail_form.h"

#include <stdexcept>

#include "common/list_form.h"
#include "common/text.h"
#include "common/vb_format.h"
#include "data/servicios_comunes.h"

namespace korventa::detail {

std::string Total_Monto(data::Database& db, const PersonKey& person) {
  Money total;
  bool any = false;
  for (const auto& r :
       db.rows("SELECT monto FROM TMPF601_605 WHERE " + personWhere() + " AND TRIM(COALESCE(monto, '')) <> ''",
               personParams(person))) {
    total += Money::value(r.text(0));
    any = true;
  }
  return any ? vbFormat(total, "######0.00") : std::string();
}

OtherEmployersForm::OtherEmployersForm(Session& session, const model::OpenDeclaration& decl, const PersonKey& person)
    : session_(session), decl_(decl), person_(person) {}

void OtherEmployersForm::refresh() {
  rows_.clear();
  // Rows whose RUC is not among the registry's other employers keep the name typed with them.
  for (const auto& r : session_.database().rows(
           "SELECT a.ruc, COALESCE(NULLIF(TRIM(b.nom_razon), ''), a.nombre, ''), a.monto FROM TMPF601_605 a "
           "LEFT JOIN OTROSCEN b ON b.tip_doc_d = 6 AND b.doc_id_d = ? AND b.correl_a = a.correl_a AND "
           "b.cod_cat_tra = 1 AND b.num_ruc_cen = a.ruc WHERE " +
               personWhere("a") + " ORDER BY a.rowid",
           {decl_.ruc, person_.correl_a, person_.tip_doc_a, person_.doc_id_a}))
    rows_.push_back({r.text(0), r.text(1), vbFormatText(r.text(2), "######0.00")});
  total_ = Total_Monto(session_.database(), person_);
}

bool OtherEmployersForm::canModify(int selected) const {
  return list_form::canModifyRow(session_.msg(), static_cast<int>(rows_.size()), selected);
}

bool OtherEmployersForm::remove(int selected) {
  if (!list_form::confirmDeleteRow(session_.msg(), static_cast<int>(rows_.size()), selected)) return false;
  auto& db = session_.database();
  data::Transaction tx(db);
  db.run("DELETE FROM TMPF601_605 WHERE " + personWhere() + " AND ruc = ?",
         {person_.correl_a, person_.tip_doc_a, person_.doc_id_a, rows_.at(static_cast<std::size_t>(selected)).ruc});
  recomputeWrittenPerson(db, decl_, person_);
  tx.commit();
  refresh();
  return true;
}

OtherEmployerDetailForm::OtherEmployerDetailForm(Session& session, const model::OpenDeclaration& decl,
                                                 const PersonKey& person, std::optional<std::string> ruc)
    : session_(session), decl_(decl), person_(person), key_(std::move(ruc)) {}

void OtherEmployerDetailForm::load() {
  auto& db = session_.database();
  employers_.clear();
  for (const auto& r : db.rows("SELECT num_ruc_cen, nom_razon FROM OTROSCEN WHERE tip_doc_d = 6 AND doc_id_d = ? AND "
                               "correl_a = ? AND cod_cat_tra = 1 ORDER BY num_ruc_cen",
                               {decl_.ruc, person_.correl_a}))
    employers_.push_back({r.text(0), r.text(1)});
  if (key_) {
    auto r = db.row("SELECT ruc, nombre, monto FROM TMPF601_605 WHERE " + personWhere() + " AND ruc = ?",
                    {person_.correl_a, person_.tip_doc_a, person_.doc_id_a, *key_});
    if (!r) throw std::runtime_error("El registro ya no existe.");
    ruc_ = r->text(0);
    nombre_ = r->text(1);
    for (const auto& e : employers_)
      if (e.code == ruc_ && text::trim(nombre_).empty()) nombre_ = e.text;
    monto_ = vbFormatText(r->text(2), "######0.00");
  }
  changed_ = false;
}

bool OtherEmployerDetailForm::rucTaken(const std::string& ruc) const {
  if (key_ && *key_ == ruc) return false;
  return session_.database().exists("SELECT 1 FROM TMPF601_605 WHERE " + personWhere() + " AND ruc = ?",
                                    {person_.correl_a, person_.tip_doc_a, person_.doc_id_a, ruc});
}

bool OtherEmployerDetailForm::setRuc(std::string ruc) {
  ruc = text::trim(ruc);
  if (ruc != ruc_) ruc_ = ruc, changed_ = true;
  if (text::length(ruc_) != 11) return true;
  for (const auto& e : employers_)
    if (e.code == ruc_) nombre_ = e.text;
  if (!ServiciosComunes::rucValido(ruc_)) {
    session_.msg().critical("El RUC no es Válido.");
    return false;
  }
  if (rucTaken(ruc_)) {
    session_.msg().critical("El RUC ya se registró.");
    return false;
  }
  return true;
}

void OtherEmployerDetailForm::setNombre(std::string v) {
  v = text::trim(v);
  if (v != nombre_) nombre_ = std::move(v), changed_ = true;
}

void OtherEmployerDetailForm::setMonto(std::string v) {
  v = text::trim(v);
  if (v != monto_) monto_ = std::move(v), changed_ = true;
}

Outcome OtherEmployerDetailForm::save() {
  auto& m = session_.msg();
  if (ruc_.empty()) return refuse(m, "Debe ingresar RUC.", "CmbRuc");
  // A RUC refused while typing must not be saved either.
  if (!ServiciosComunes::rucValido(ruc_)) return refuse(m, "El RUC no es Válido.", "CmbRuc");
  if (rucTaken(ruc_)) return refuse(m, "Ya se ingresó este RUC.", "CmbRuc");
  if (nombre_.empty()) return refuse(m, "Ingrese el nombre.", "TxtNombre");
  auto amount = Money::parse(monto_);
  if (!amount) return refuse(m, "Ingrese el monto.", "TxtMonto");
  std::string monto = vbFormat(*amount, "######0.00");

  auto& db = session_.database();
  data::Transaction tx(db);
  if (key_)
    db.run("DELETE FROM TMPF601_605 WHERE " + personWhere() + " AND ruc = ?",
           {person_.correl_a, person_.tip_doc_a, person_.doc_id_a, *key_});
  db.run(
      "INSERT INTO TMPF601_605 (tip_doc_d, doc_id_d, periodo, formulario, correl_a, tip_doc_a, doc_id_a, ruc, nombre, "
      "monto) VALUES (6, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
      {decl_.ruc, decl_.periodo, decl_.formulario, person_.correl_a, person_.tip_doc_a, person_.doc_id_a, ruc_, nombre_,
       monto});
  recomputeWrittenPerson(db, decl_, person_);
  tx.commit();
  m.info("La información fue grabada satisfactoriamente. ");
  if (key_) {
    key_ = ruc_;
    monto_ = monto;
  } else {
    ruc_.clear();
    nombre_.clear();
    monto_.clear();
  }
  changed_ = false;
  return Outcome::success();
}

bool OtherEmployerDetailForm::close() {
  return list_form::mayLeave(session_.msg(), changed_, [this] { return save().ok; });
}

}  // namespace korventa::detail
