#include "detail/provider_header.h"

#include <algorithm>

#include <fmt/format.h>

#include "common/list_form.h"
#include "common/text.h"
#include "common/vb_format.h"
#include "data/db_errors.h"
#include "detail/detail_support.h"
#include "data/servicios_comunes.h"

namespace korventa::detail {

std::vector<std::string> voucherCells(const Voucher& v) {
  return {v.tip_retencion,
          v.num_ser,
          v.num_rec,
          v.fec_emi,
          v.fec_pago,
          vbFormatText(v.mto_rec, "##,###,###,##0.00;(#,###,###,##0.00)"),
          v.ind_rta == "1" ? "SI" : "NO",
          vbFormatText(v.por_rta, "##0.00"),
          vbFormatText(v.mto_rta, "##,###,###,##0.00;(#,###,###,##0.00)")};
}
namespace {

// The names, domicile and RUC the registry holds for the person.
void takeRegistered(HeaderIdentity& id, const RegisteredPerson& p) {
  id.desPat = p.apellidoP;
  id.desMat = p.apellidoM;
  id.desNo1 = p.nombre1;
  id.desNo2 = p.nombre2;
  id.indDomicilio = p.indDomicilio;
  id.ruc = p.ruc;
}

}  // namespace

std::vector<RegisteredPerson> CargaComboTipoDoc1(data::Database& db, std::string_view ruc, int category) {
  std::string sql =
      "SELECT a.correl_a, a.tip_doc_a, a.doc_id_a, a.apellido_p, a.apellido_m, a.nombre_1, a.Nombre_2, "
      "a.ind_domicilio, d.ruc_cta FROM ASEG_DET_LAB d JOIN ASEGVKRS a ON a.tip_doc_d = d.tip_doc_d AND "
      "a.doc_id_d = d.doc_id_d AND a.correl_a = d.correl_a AND a.cod_cat_tra = d.cod_cat_tra "
      "WHERE d.tip_doc_d = 6 AND d.doc_id_d = ? AND d.cod_cat_tra = ?";
  if (category == kProvider) sql += " AND d.ind_cat_4ta = 1";
  sql += " ORDER BY a.tip_doc_a, a.doc_id_a";
  std::vector<RegisteredPerson> out;
  for (const auto& r : db.rows(sql, {ruc, category})) {
    RegisteredPerson p;
    p.key = {r.integer(0), static_cast<int>(r.integer(1)), r.text(2), category};
    p.apellidoP = r.text(3);
    p.apellidoM = r.text(4);
    p.nombre1 = r.text(5);
    p.nombre2 = r.text(6);
    p.indDomicilio = text::trim(r.text(7)) == "2" ? "2" : "1";
    p.ruc = p.key.tip_doc_a == kTipDocRuc ? p.key.doc_id_a : text::trim(r.text(8));
    std::string name = text::trim(p.apellidoP + " " + p.apellidoM + " " + p.nombre1 + " " + p.nombre2);
    p.caption = name + "  -  " + (p.ruc.empty() ? p.key.doc_id_a : p.ruc);
    out.push_back(std::move(p));
  }
  return out;
}

ProviderHeader::ProviderHeader(Session& session, const model::OpenDeclaration& decl, int category)
    : s_(session), decl_(decl), category_(category), source_(sourceFor(decl)) {
  auto& db = s_.database();
  registered_ = CargaComboTipoDoc1(db, decl_.ruc, category_);
  docTypes_ = data::ParamTable(db).LlenaTiposDocumento(kDocContextIndependent);
  kinds_ = CargaComboTipoServ(db);
  openNew();
}

void ProviderHeader::openNew() {
  isNew_ = true;
  person_ = {};
  person_.cod_cat_tra = category_;
  person_.tip_doc_a = kTipDocRuc;
  id_ = {};
  kindsBefore_.clear();
  vouchers_.clear();
  modified_ = false;
  identityAccepted_ = false;
  focus_.clear();
}

bool ProviderHeader::openExisting(const PersonKey& person) {
  openNew();
  isNew_ = false;
  person_ = person;
  person_.cod_cat_tra = category_;
  try {
    BuscoNombre();
    const auto& t = voucherTables(category_);
    for (const auto& r :
         s_.database().rows(std::string("SELECT DISTINCT tip_retencion FROM ") + t.workCab +
                                " WHERE correl_a = ? AND tip_doc_a = ? AND doc_id_a = ? AND cod_cat_tra = ?",
                            {person_.correl_a, person_.tip_doc_a, person_.doc_id_a, category_}))
      kindsBefore_.push_back(r.text(0));
    Refresh_Recibos();
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(s_.msg(), e);
    return false;
  }
  identityAccepted_ = true;
  modified_ = false;
  return true;
}

void ProviderHeader::BuscoNombre() {
  const auto& t = voucherTables(category_);
  bool trainee = category_ == kTrainee;
  std::string cols = trainee ? "APELLIDO_P, APELLIDO_M, NOMBRE_1, '', '1', '', ''"
                             : "Des_Pat, Des_Mat, Des_No1, Des_No2, ind_domicilio, ruc, ";
  std::optional<data::Row> r;
  data::Params key{person_.correl_a, person_.tip_doc_a, person_.doc_id_a, category_};
  std::string where = " WHERE correl_a = ? AND tip_doc_a = ? AND doc_id_a = ? AND cod_cat_tra = ?";
  if (source_ == VoucherSource::Working) {
    r = s_.database().row("SELECT " + cols + (trainee ? "" : "ruc_estado") + " FROM " + t.workCab + where, key);
  } else {
    std::string table = source_ == VoucherSource::History ? std::string("H") + t.storedCab : std::string(t.storedCab);
    data::Params p{decl_.ruc,         decl_.periodo,    decl_.formulario, person_.correl_a,
                   person_.tip_doc_a, person_.doc_id_a, category_};
    std::string sql = "SELECT " + cols + (trainee ? "" : "''") + " FROM " + table +
                      " WHERE tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND formulario = ? AND correl_a = ? AND "
                      "tip_doc_a = ? AND doc_id_a = ? AND cod_cat_tra = ?";
    if (source_ == VoucherSource::History) {
      sql += " AND correl = ?";
      p.add(decl_.correl);
    }
    r = s_.database().row(sql, p);
  }
  if (r) {
    id_.desPat = r->text(0);
    id_.desMat = r->text(1);
    id_.desNo1 = r->text(2);
    id_.desNo2 = r->text(3);
    id_.indDomicilio = text::trim(r->text(4)) == "2" ? "2" : "1";
    id_.ruc = r->text(5);
    id_.rucEstado = r->text(6);
    return;
  }
  // No header yet: the registry has the names.
  for (const auto& p : registered_)
    if (p.key.tip_doc_a == person_.tip_doc_a && p.key.doc_id_a == person_.doc_id_a) takeRegistered(id_, p);
}

void ProviderHeader::chooseRegistered(std::size_t index) {
  if (index >= registered_.size() || !isNew_ || !vouchers_.empty()) return;
  const auto& p = registered_[index];
  person_ = p.key;
  id_ = {};
  takeRegistered(id_, p);
  identityAccepted_ = false;
  touch();
}

bool ProviderHeader::documentEntered() {
  const std::string doc = text::trim(person_.doc_id_a);
  if (!isNew_ || readOnly() || !vouchers_.empty() || doc.empty()) return false;
  std::optional<std::int64_t> entered;
  try {
    const auto& t = voucherTables(category_);
    if (auto r = s_.database().row(std::string("SELECT correl_a FROM ") + t.workCab +
                                       " WHERE tip_doc_a = ? AND doc_id_a = ? AND cod_cat_tra = ? ORDER BY correl_a",
                                   {person_.tip_doc_a, doc, category_}))
      entered = r->integer(0);
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(s_.msg(), e);
    return false;
  }
  if (entered) {
    // Typing on would add vouchers to that person's header without showing it.
    s_.msg().info("El documento " + doc + " ya fue ingresado en la declaración: se muestran sus datos y comprobantes.",
                  "Mensaje");
    openExisting({*entered, person_.tip_doc_a, doc, category_});
    return true;
  }
  // Names the user typed already are kept.
  if (!text::trim(id_.desPat + id_.desMat + id_.desNo1 + id_.desNo2).empty()) return false;
  for (const auto& p : registered_)
    if (p.key.tip_doc_a == person_.tip_doc_a && p.key.doc_id_a == doc) {
      person_.correl_a = p.key.correl_a;
      takeRegistered(id_, p);
      touch();
      return true;
    }
  return false;
}

void ProviderHeader::setTipDoc(int t) {
  // Once the person has vouchers, the document that keys them cannot change.
  if (!isNew_ || !vouchers_.empty() || t == person_.tip_doc_a) return;
  person_.tip_doc_a = t;
  person_.correl_a = 0;
  identityAccepted_ = false;
  touch();
}

void ProviderHeader::setDocId(const std::string& d) {
  if (!isNew_ || !vouchers_.empty() || d == person_.doc_id_a) return;
  person_.doc_id_a = text::trim(d);
  person_.correl_a = 0;
  identityAccepted_ = false;
  touch();
}

bool ProviderHeader::fail(const std::string& message, const std::string& focus, const std::string& title) {
  focus_ = focus;
  s_.msg().critical(message, title);
  return false;
}

bool ProviderHeader::Valida_Cab() {
  focus_.clear();
  if (identityAccepted_) return true;
  auto& db = s_.database();
  const auto& t = voucherTables(category_);
  const std::string& doc = person_.doc_id_a;
  if (text::trim(doc).empty()) return fail("Debe ingresar el Número de documento", "TxtNumDoc");
  auto type = std::find_if(docTypes_.begin(), docTypes_.end(),
                           [&](const data::DocumentType& d) { return d.code == person_.tip_doc_a; });
  if (type == docTypes_.end() || !ServiciosComunes::documentoValido(doc, *type))
    return fail("Verifique la longitud del documento", "TxtNumDoc");
  if (person_.tip_doc_a == kTipDocRuc && doc == decl_.ruc)
    return fail("Número de RUC del independiente es igual al del declarante ", "TxtNumDoc");

  if (isNew_) {
    // The registry gives the person's sequence; an unregistered document keeps the one of its
    // working header, if any.
    if (person_.correl_a == 0) {
      for (const auto& p : registered_)
        if (p.key.tip_doc_a == person_.tip_doc_a && p.key.doc_id_a == doc) person_.correl_a = p.key.correl_a;
    }
    std::string whereDoc = " WHERE tip_doc_a = ? AND doc_id_a = ? AND cod_cat_tra = ?";
    data::Params docKey{person_.tip_doc_a, doc, category_};
    if (person_.correl_a == 0)
      person_.correl_a = db.integer(std::string("SELECT correl_a FROM ") + t.workCab + whereDoc, docKey, 0);
    if (db.exists(std::string("SELECT 1 FROM ") + t.workCab + whereDoc + " AND correl_a <> ?",
                  {person_.tip_doc_a, doc, category_, person_.correl_a}))
      return fail("El número de documento ya fue ingresado", "TxtNumDoc");
    kindsBefore_.clear();
    for (const auto& r :
         db.rows(std::string("SELECT DISTINCT tip_retencion FROM ") + t.workCab + whereDoc + " AND correl_a = ?",
                 {person_.tip_doc_a, doc, category_, person_.correl_a}))
      kindsBefore_.push_back(r.text(0));
    bool everyKind = !kinds_.empty() && std::all_of(kinds_.begin(), kinds_.end(), [&](const VoucherKind& k) {
      return std::find(kindsBefore_.begin(), kindsBefore_.end(), k.code) != kindsBefore_.end();
    });
    if (everyKind) return fail("Ya se ha ingresado un documento de este tipo. Ingrese por modificar", "TxtNumDoc");
  }

  id_.rucEstado = "1";
  if (person_.tip_doc_a == kTipDocRuc) {
    id_.ruc = doc;
    if (!ServiciosComunes::rucValido(doc)) {
      if (s_.msg().ask(std::string("Número de RUC no es válido.\n") + "La ZUMAR verificara esta información \n" +
                           "¿Desea continuar?",
                       "Confirmación", MsgButtons::YesNo, Answer::No) != Answer::Yes) {
        focus_ = "TxtNumDoc";
        return false;
      }
      id_.rucEstado = "0";
    }
  }
  if (text::trim(id_.desNo1).empty() && s_.msg().ask("No ha ingresado el Primer Nombre. ¿Desea continuar?",
                                                     "Confirmación", MsgButtons::YesNo, Answer::No) != Answer::Yes) {
    focus_ = "TxtNombre1";
    return false;
  }
  identityAccepted_ = true;
  return true;
}

void ProviderHeader::Refresh_Recibos() {
  vouchers_ = listVouchers(s_.database(), source_, decl_, person_);
}

int ProviderHeader::count(const std::string& kind) const {
  return static_cast<int>(
      std::count_if(vouchers_.begin(), vouchers_.end(), [&](const Voucher& v) { return v.tip_retencion == kind; }));
}

std::vector<std::string> ProviderHeader::counterTexts() const {
  std::vector<std::string> out;
  for (const auto& k : kinds_) out.push_back(counterCaption(k.code) + std::to_string(count(k.code)));
  return out;
}

VoucherContext ProviderHeader::contextFor() const {
  VoucherContext c;
  c.decl = &decl_;
  c.person = person_;
  c.identity = id_;
  c.headerIsNew = isNew_;
  c.kindsBefore = kindsBefore_;
  return c;
}

std::optional<VoucherContext> ProviderHeader::newVoucher() {
  if (readOnly()) return std::nullopt;
  if (text::trim(person_.doc_id_a).empty()) {
    fail(kRucMissing, "TxtNumDoc");
    return std::nullopt;
  }
  if (isNew_ && documentEntered() && !isNew_) return std::nullopt;  // shown first, then a new voucher
  if (!Valida_Cab()) return std::nullopt;
  return contextFor();
}

std::optional<VoucherContext> ProviderHeader::modifyVoucher(int index) {
  if (readOnly()) return std::nullopt;
  if (!list_form::canModifyRow(s_.msg(), static_cast<int>(vouchers_.size()), index)) return std::nullopt;
  if (!Valida_Cab()) return std::nullopt;
  return contextFor();
}

bool ProviderHeader::Eliminar(int index) {
  if (readOnly()) return false;
  int rows = static_cast<int>(vouchers_.size());
  if (rows <= 0) {
    s_.msg().show("No existen registros para eliminar", "Mensaje", MsgIcon::Information);
    return false;
  }
  if (index < 0 || index >= rows) {
    s_.msg().show("Tiene que Seleccionar un registro", "Mensaje", MsgIcon::Information);
    return false;
  }
  if (s_.msg().ask("¿Está seguro de Eliminar?. Esta información no podrá ser recuperada", "Eliminar Registro",
                   MsgButtons::YesNo, Answer::No) != Answer::Yes)
    return false;
  if (!writeInTransaction(s_.database(), s_.msg(), [&] {
        s_.database().run(std::string("DELETE FROM ") + voucherTables(category_).workDet + " WHERE rowid = ?",
                          {vouchers_[static_cast<std::size_t>(index)].rowid});
        return true;
      }))
    return false;
  Refresh_Recibos();
  return true;
}

void ProviderHeader::deleteEmptyHeaders() {
  const auto& t = voucherTables(category_);
  s_.database().run(std::string("DELETE FROM ") + t.workCab +
                        " WHERE correl_a = ? AND tip_doc_a = ? AND doc_id_a = ? AND cod_cat_tra = ? AND NOT EXISTS "
                        "(SELECT 1 FROM " +
                        t.workDet + " v WHERE v.correl_a = " + t.workCab +
                        ".correl_a AND "
                        "v.tip_doc_a = " +
                        t.workCab + ".tip_doc_a AND v.doc_id_a = " + t.workCab +
                        ".doc_id_a AND "
                        "v.cod_cat_tra = " +
                        t.workCab + ".cod_cat_tra AND v.tip_retencion = " + t.workCab + ".tip_retencion)",
                    {person_.correl_a, person_.tip_doc_a, person_.doc_id_a, category_});
}

bool ProviderHeader::Graba_Cab() {
  auto& db = s_.database();
  // Every kind with vouchers keeps a header with the current identity; a kind left without
  // vouchers loses its header.
  std::vector<std::string> kinds;
  for (const auto& v : vouchers_)
    if (std::find(kinds.begin(), kinds.end(), v.tip_retencion) == kinds.end()) kinds.push_back(v.tip_retencion);
  for (const auto& k : kinds) writeHeader(db, decl_, person_, k, id_);
  if (category_ == kProvider) deleteEmptyHeaders();
  return true;
}

bool ProviderHeader::accept() {
  focus_.clear();
  if (readOnly()) return false;
  if (vouchers_.empty()) return fail("Debe ingresar al menos un Recibo", "CmdNuevoRec");
  if (!Valida_Cab()) return false;
  if (!writeInTransaction(s_.database(), s_.msg(), [this] { return Graba_Cab(); })) return false;
  modified_ = false;
  isNew_ = false;
  s_.msg().info("La información fue grabada satisfactoriamente. ");
  return true;
}

bool ProviderHeader::leave() {
  if (readOnly()) return true;
  auto& db = s_.database();
  const auto& t = voucherTables(category_);
  std::string where = " WHERE correl_a = ? AND tip_doc_a = ? AND doc_id_a = ? AND cod_cat_tra = ?";
  data::Params key{person_.correl_a, person_.tip_doc_a, person_.doc_id_a, category_};
  try {
    Refresh_Recibos();
    bool hasHeader = !person_.doc_id_a.empty() && db.exists(std::string("SELECT 1 FROM ") + t.workCab + where, key);
    if (vouchers_.empty() && hasHeader) {
      if (s_.msg().ask("No hay recibos o dietas para este " + categoryCaption(category_) +
                           ". Si sale se borrará este registro. ¿Está seguro?",
                       "Confirmar", MsgButtons::YesNo, Answer::No) != Answer::Yes)
        return false;
      data::Transaction tx(db);
      db.run(std::string("DELETE FROM ") + t.workDet + where, key);
      if (category_ == kProvider) db.run(std::string("DELETE FROM ") + t.workCab + where, key);
      tx.commit();
      return true;
    }
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(s_.msg(), e);
    return false;
  }
  if (modified_ && !vouchers_.empty()) {
    if (s_.msg().ask("El formulario ha sido modificado. ¿Desea guardar los cambios?", "Confirma Salir",
                     MsgButtons::YesNo, Answer::Yes) == Answer::Yes)
      return accept();
  }
  return true;
}

}  // namespace korventa::detail
