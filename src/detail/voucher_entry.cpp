#include "detail/voucher_entry.h"

#include <algorithm>

#include <fmt/format.h>

#include "common/dates.h"
#include "common/text.h"
#include "common/vb_format.h"
#include "data/db_errors.h"
#include "detail/detail_support.h"
#include "data/param.h"
#include "data/servicios_comunes.h"

namespace korventa::detail {

namespace {

constexpr const char* kAmountPattern = "##,###,###,##0.00";
constexpr const char* kRetentionPattern = "##,###,###,##0.00;(#,###,###,##0.00)";
constexpr const char* kNotSubjectQuestion =
    "Los recibos por honorarios que no excedan el monto de S/. 1,500, no se encuentran sujetos a retenciones por "
    "impuesto a la renta por 4ta categoría. ¿Se efectuará la retención?";
// Receipts up to this amount are not subject to the fourth-category retention.
const Money kRetentionFloor = Money::fromUnits(1500);
// The surtax IES was withheld on vouchers until November 2004.
constexpr const char* kIesLastPeriodExcl = "200412";
// Electronic vouchers (series starting with "E") exist from 20/10/2008 on.
constexpr const char* kElectronicFrom = "20081020";
// Non-domiciled providers are withheld at 24 %.
constexpr const char* kNonDomiciledRate = "24.00";

bool isKindWithSeries(const std::string& k) {
  return k == "R" || k == "N";
}

// Rates of a list keyed "CODE YYYYMM" whose start is not after the period, latest start first,
// each value once.
std::vector<std::string> ratesInForce(data::Database& db, std::string_view numero, std::string_view code,
                                      std::string_view periodo) {
  std::vector<std::pair<std::string, std::string>> rows;
  for (const auto& r : data::ParamTable(db).list(numero)) {
    std::string arg = text::trim(r.argumento);
    if (text::left(arg, code.size()) != code) continue;
    std::string start = text::trim(text::mid(arg, code.size() + 1));
    if (!start.empty() && start > periodo) continue;
    auto m = Money::parse(text::trim(r.funcion));
    if (!m) continue;
    rows.emplace_back(start, m->toText(2));
  }
  std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<std::string> out;
  for (const auto& [start, rate] : rows)
    if (std::find(out.begin(), out.end(), rate) == out.end()) out.push_back(rate);
  return out;
}

Money amountOf(const std::string& s) {
  return Money::parse(s).value_or(Money());
}

}  // namespace

std::string dateBoxYmd(const std::string& textValue) {
  std::string digits;
  for (char c : textValue)
    if (c != '_' && c != '/' && c != ' ') digits += c;
  if (digits.empty()) return "";
  auto d = Date::parseDmy(text::trim(textValue));
  if (!d) return "?";
  std::string ymd = d->yyyymmdd();
  if (ymd < "18500101" || ymd > "25000101") return "?";
  return ymd;
}

VoucherEntry::VoucherEntry(Session& session, VoucherContext context) : s_(session), ctx_(std::move(context)) {
  auto& db = s_.database();
  kinds_ = CargaComboTipoServ(db);
  rates_ = ratesInForce(db, "803", "030402", periodo());
  if (ctx_.identity.indDomicilio == "2" && std::find(rates_.begin(), rates_.end(), kNonDomiciledRate) == rates_.end())
    rates_.insert(rates_.begin(), kNonDomiciledRate);
  iesRates_ = ratesInForce(db, "804", "050802", periodo());
  startNew();
}

void VoucherEntry::startNew() {
  rowid_ = 0;
  kind_.clear();
  series_.clear();
  number_.clear();
  issue_.clear();
  start_.clear();
  end_.clear();
  payment_.clear();
  amount_.clear();
  numFor_.clear();
  retain_ = true;
  rate_ = rates_.empty() ? "" : rates_.front();
  iesRetain_ = iesVisible();
  iesRate_ = iesRates_.empty() ? "" : iesRates_.front();
  retentionEnabled_ = periodo() >= "200101";
  Calcula_Rta();
  modified_ = false;
  focus_.clear();
}

void VoucherEntry::load(const Voucher& v) {
  startNew();
  rowid_ = v.rowid;
  kind_ = v.tip_retencion;
  series_ = v.num_ser;
  number_ = v.num_rec;
  issue_ = v.fec_emi;
  // The service period is not kept with the voucher: a stored voucher reads it as its issue date.
  start_ = v.fec_emi;
  end_ = v.fec_emi;
  payment_ = v.fec_pago;
  auto amt = Money::parse(v.mto_rec);
  amount_ = amt ? amt->toText(2) : v.mto_rec;
  retain_ = text::trim(v.ind_rta) == "1";
  if (auto r = Money::parse(v.por_rta); r && !r->isZero()) {
    rate_ = r->toText(2);
    if (std::find(rates_.begin(), rates_.end(), rate_) == rates_.end()) rates_.push_back(rate_);
  }
  iesRetain_ = iesVisible() && text::trim(v.ind_ies) == "1";
  if (auto r = Money::parse(v.por_ies); r && !r->isZero()) iesRate_ = r->toText(2);
  numFor_ = v.num_for;
  Calcula_Rta();
  modified_ = false;
}

void VoucherEntry::setKind(const std::string& code) {
  kind_ = code;
  if (!isKindWithSeries(code) && !code.empty()) {
    series_ = "XXX";
    if (number_.empty()) number_ = nextXxxNumber(s_.database(), ctx_.person.cod_cat_tra);
  } else if (series_ == "XXX") {
    series_.clear();
  }
  touch();
}

void VoucherEntry::setAmount(const std::string& a) {
  amount_ = a;
  touch();
  Calcula_Rta();
}

void VoucherEntry::setRetain(bool retain) {
  retain_ = retain;
  if (retain) numFor_.clear();
  touch();
  Calcula_Rta();
}

void VoucherEntry::setRate(const std::string& rate) {
  rate_ = rate;
  touch();
  Calcula_Rta();
}

void VoucherEntry::setIesRetain(bool retain) {
  iesRetain_ = retain;
  touch();
  Calcula_Rta();
}

void VoucherEntry::setIesRate(const std::string& rate) {
  iesRate_ = rate;
  touch();
  Calcula_Rta();
}

int VoucherEntry::seriesKey(int key) {
  int k = ServiciosComunes::teclaBusqueda(key);
  if (k == 0) s_.msg().show("Caracter no permitido", "Mensaje", MsgIcon::Exclamation);
  return k;
}

void VoucherEntry::numForLeft() {
  std::string n = text::trim(numFor_);
  if (text::isDigits(n) && n.size() < 8) numFor_ = text::padLeft(n, 8, '0');
}

bool VoucherEntry::iesVisible() const {
  return periodo() < kIesLastPeriodExcl;
}

bool VoucherEntry::numForEnabled() const {
  return !retain_ && periodo() >= "199601";
}

std::string VoucherEntry::suspensionCaption() const {
  return retain_ ? "No tiene autorización de suspensión de Cuarta" : "Tiene autorización de suspensión de Cuarta";
}

std::string VoucherEntry::iesSuspensionCaption() const {
  return iesRetain_ ? "No tiene autorización de suspensión de IES" : "Tiene autorización de suspensión de IES";
}

void VoucherEntry::Calcula_Rta() {
  Money amt = amountOf(amount_);
  mtoRta_ = (!amt.isZero() && retain_) ? amt.percent(amountOf(rate_)) : Money();
  mtoIes_ = (iesVisible() && !amt.isZero() && iesRetain_) ? amt.percent(amountOf(iesRate_)) : Money();
}

void VoucherEntry::amountLeft() {
  auto amt = Money::parse(amount_);
  if (!amt) return;
  amount_ = amt->toText(2);
  if (kind_ == "R" && *amt > Money() && *amt <= kRetentionFloor) {
    retain_ = s_.msg().ask(kNotSubjectQuestion, "Confirmación", MsgButtons::YesNo, Answer::Yes) == Answer::Yes;
    if (retain_) numFor_.clear();
  } else if (*amt > kRetentionFloor) {
    HabRetenciones();
  }
  // In the first half of each year from 2001 on, the frame opens only above the amount of list 977.
  const std::string& p = periodo();
  if (p.substr(0, 4) >= "2001" && p.substr(4, 2) < "07") {
    std::string limit = data::ParamTable(s_.database()).TasaVigente977(p);
    if (auto lim = Money::parse(limit); lim && limit != "-1") {
      if (*amt > *lim)
        HabRetenciones();
      else
        DesRetenciones();
    }
  }
  if (p < "200101") DesRetenciones();
  Calcula_Rta();
}

std::string VoucherEntry::amountDisplay() const {
  return vbFormatText(amount_, kAmountPattern);
}
std::string VoucherEntry::retentionDisplay() const {
  return vbFormat(mtoRta_, kRetentionPattern);
}
std::string VoucherEntry::iesDisplay() const {
  return vbFormat(mtoIes_, kRetentionPattern);
}

bool VoucherEntry::fail(const std::string& message, const std::string& focus, const std::string& title) {
  focus_ = focus;
  s_.msg().critical(message, title);
  return false;
}

bool VoucherEntry::checkDate(const std::string& value, const std::string& focus, const char* emptyMsg,
                             const char* invalidMsg, const char* periodMsg, bool mustMatchPeriod) {
  std::string ymd = dateBoxYmd(value);
  if (ymd.empty()) return fail(emptyMsg, focus);
  if (ymd == "?") return fail(invalidMsg, focus);
  std::string month = ymd.substr(0, 6);
  if (mustMatchPeriod ? month != periodo() : month > periodo()) return fail(periodMsg, focus);
  return true;
}

bool VoucherEntry::Valida_mskFec_Emi() {
  return checkDate(issue_, "mskFec_Emi", "Debe registrar la Fecha de emisión ", "Fecha de emisión no válida",
                   "Fecha de emisión no debe ser posterior al periodo", false);
}
bool VoucherEntry::Valida_mskFec_ini() {
  return checkDate(start_, "mskFec_ini", "Debe registrar la Fecha de inicio de prestación de servicio ",
                   "Fecha de inicio no válida", "Fecha de inicio no debe ser posterior al periodo", false);
}
bool VoucherEntry::Valida_mskFec_Fin() {
  return checkDate(end_, "mskFec_Fin", "Debe registrar la Fecha fin de prestación de servicio ", "Fecha fin no válida",
                   "Fecha fin no debe ser posterior al periodo", false);
}
bool VoucherEntry::Valida_mskFec_Pago() {
  return checkDate(payment_, "mskFec_Pago", "Debe registrar la Fecha de Pago", "Fecha de Pago no válida",
                   "Fecha fin debe corresponder al periodo", true);
}

bool VoucherEntry::Valida_Recibo() {
  focus_.clear();
  if (kind_.empty()) return fail("Debe ingresar el Tipo de Servicio", "cboTipoServ");
  std::string ser = text::trim(series_);
  if (isKindWithSeries(kind_)) {
    if (ser.empty()) return fail("Debe ingresar el Número de Serie", "TxtSerie");
    if (text::length(ser) != 4) return fail("El número de serie es de cuatro dígitos.", "TxtSerie");
    if (ser == "E000") return fail("El número de serie no debe ser E000.", "TxtSerie");
    // A printed series has four digits (not all zeros); an electronic one is "E" and three digits.
    bool printed = text::isDigits(ser) && ser != "0000";
    bool electronic = ser[0] == 'E' && text::isDigits(ser.substr(1));
    if (!printed && !electronic) return fail("Número de serie inválido", "TxtSerie");
  }
  std::string num = text::trim(number_);
  if (num.empty()) return fail("Debe ingresar el Número del comprobante de pago", "TxtNumero");
  if (!text::isDigits(num) || num.find_first_not_of('0') == std::string::npos)
    return fail("Número de comprobante inválido", "TxtNumero");
  if (!Valida_mskFec_Emi() || !Valida_mskFec_ini() || !Valida_mskFec_Fin() || !Valida_mskFec_Pago()) return false;

  std::string emi = dateBoxYmd(issue_), ini = dateBoxYmd(start_), fin = dateBoxYmd(end_), pago = dateBoxYmd(payment_);
  if (isKindWithSeries(kind_) && ser[0] == 'E' && emi < kElectronicFrom)
    return fail("La fecha de emisión para esta serie debe ser a partir del 20/10/2008", "mskFec_Emi");
  if (ini > fin) return fail("La fecha de inicio debe ser menor a la fecha fin", "mskFec_ini");
  if (ini > emi) return fail("La fecha de inicio debe ser menor a la fecha de emisión", "mskFec_ini");
  if (ini > pago) return fail("La fecha de inicio debe ser menor a la fecha de pago", "mskFec_ini");
  if (fin > emi) return fail("La fecha fin debe ser menor a la fecha de emisión", "mskFec_Fin");
  if (fin > pago) return fail("La fecha fin debe ser menor a la fecha de pago", "mskFec_Fin");
  if (emi > pago) return fail("La fecha de emisión debe ser menor a la fecha de pago", "mskFec_Emi");

  auto amt = Money::parse(amount_);
  if (!amt || amt->isZero())
    return fail(kind_ == "D" ? "Debe ingresar el monto" : "Debe ingresar el Monto del comprobante de pago", "TxtMonto");
  // A credit note reduces the fees of the month: typed as a positive amount it would add to the
  // base and to the retention instead.
  if (kind_ == "N" && !amt->isNegative()) return fail("El monto de la nota de crédito debe ser negativo.", "TxtMonto");

  if (isNew() && ctx_.headerIsNew &&
      std::find(ctx_.kindsBefore.begin(), ctx_.kindsBefore.end(), kind_) != ctx_.kindsBefore.end())
    return fail("Ya se ha ingresado un documento de este tipo. Ingrese otro tipo o ingrese por modificar",
                "cboTipoServ", "Error");
  return true;
}

bool VoucherEntry::accept() {
  if (!Valida_Recibo()) return false;
  if (!writeInTransaction(s_.database(), s_.msg(), [this] { return Graba_Recibo(); })) return false;
  modified_ = false;
  s_.msg().info("La información fue grabada satisfactoriamente. ");
  return true;
}

// Before 2001 an exemption needed the number of the authorisation form; false when the user
// stops at a wrong one.
bool VoucherEntry::authorisationFormAccepted() {
  if (periodo() < "200101" && !retain_) {
    std::string n = text::trim(numFor_);
    bool wrong = !text::isDigits(n) || n.size() > 8 || n.find_first_not_of('0') == std::string::npos;
    if (wrong && s_.msg().ask("El número de formulario esta erroneo. ¿Desea Continuar?", "Confirmar",
                              MsgButtons::OkCancel, Answer::Ok) != Answer::Ok) {
      focus_ = "TxtNumFor";
      return false;
    }
  }

  return true;
}

bool VoucherEntry::Graba_Recibo() {
  auto& db = s_.database();
  const auto& t = voucherTables(ctx_.person.cod_cat_tra);
  const auto& person = ctx_.person;

  if (!authorisationFormAccepted()) return false;

  std::string ser = text::trim(series_);
  std::string emi = Date::parseDmy(text::trim(issue_))->dmy();
  std::string pago = Date::parseDmy(text::trim(payment_))->dmy();
  if (!isKindWithSeries(kind_)) {
    ser = "XXX";
    emi = "01/" + periodMonth(periodo()) + "/" + periodYear(periodo());
  }
  std::string num = text::trim(number_);

  const std::string who =
      " correl_a = ? AND tip_doc_a = ? AND doc_id_a = ? AND cod_cat_tra = ? AND tip_retencion = ? "
      "AND num_ser = ? AND num_rec = ? AND rowid <> ?";
  // One voucher per kind, series, number and payment date.
  if (db.exists(
          std::string("SELECT 1 FROM ") + t.workDet + " WHERE" + who + " AND fec_pago = ?",
          {person.correl_a, person.tip_doc_a, person.doc_id_a, person.cod_cat_tra, kind_, ser, num, rowid_, pago}))
    return fail(std::string("El número de serie, Número de documento y Fecha de pago ") + "ya fueron ingresados. ",
                "TxtSerie");
  if (db.exists(std::string("SELECT 1 FROM ") + t.workDet + " WHERE" + who + " AND fec_emi <> ?",
                {person.correl_a, person.tip_doc_a, person.doc_id_a, person.cod_cat_tra, kind_, ser, num, rowid_, emi}))
    return fail(std::string("Para un mismo número de serie y número de documento  ") +
                    "no puede ingresar distintas fechas de emision. ",
                "mskFec_Emi");

  Money amt = *Money::parse(amount_);
  Calcula_Rta();
  std::string mtoRec = vbFormat(amt, "#######0.00");
  std::string indRta = retain_ ? "1" : "0";
  std::string porRta = retain_ ? amountOf(rate_).toText(2) : "0";
  std::string mtoRta = vbFormat(mtoRta_, "########0.00");
  bool ies = iesVisible() && iesRetain_;
  std::string indIes = ies ? "1" : "0";
  std::string porIes = ies ? amountOf(iesRate_).toText(2) : "0";
  std::string mtoIes = vbFormat(mtoIes_, "########0.00");
  std::string numFor = retain_ ? "" : text::trim(numFor_);

  writeHeader(db, *ctx_.decl, person, kind_, ctx_.identity);
  if (rowid_ == 0) {
    db.run(std::string("INSERT INTO ") + t.workDet +
               " (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, tip_retencion, tip_doc_a, doc_id_a, "
               "num_ser, num_rec, fec_emi, fec_pago, mto_rec, ind_rta, por_rta, mto_rta, ind_ies, por_ies, mto_ies, "
               "num_for) VALUES (6, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
           {ctx_.decl->ruc,
            periodo(),
            ctx_.decl->formulario,
            person.correl_a,
            person.cod_cat_tra,
            kind_,
            person.tip_doc_a,
            person.doc_id_a,
            ser,
            num,
            emi,
            pago,
            mtoRec,
            indRta,
            porRta,
            mtoRta,
            indIes,
            porIes,
            mtoIes,
            numFor});
    rowid_ = db.lastInsertRowid();
  } else {
    db.run(std::string("UPDATE ") + t.workDet +
               " SET tip_retencion = ?, num_ser = ?, num_rec = ?, fec_emi = ?, fec_pago = ?, mto_rec = ?, ind_rta = ?, "
               "por_rta = ?, mto_rta = ?, ind_ies = ?, por_ies = ?, mto_ies = ?, num_for = ? WHERE rowid = ?",
           {kind_, ser, num, emi, pago, mtoRec, indRta, porRta, mtoRta, indIes, porIes, mtoIes, numFor, rowid_});
  }
  series_ = ser;
  issue_ = emi;
  return true;
}

}  // namespace korventa::detail
