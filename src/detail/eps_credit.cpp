#include "detail/eps_credit.h"
#include "detail/eps_invoice_form.h"
#include "detail/eps_box_form.h"

#include <algorithm>
#include <map>

#include "common/dates.h"
#include "common/text.h"
#include "common/vb_format.h"
#include "data/numero_control.h"
#include "data/param.h"
#include "data/servicios_comunes.h"
#include "data/sessions.h"

namespace korventa::detail {
namespace {

constexpr const char* kEmissionDate = "20121201";  // alphanumeric series from this issue date on

bool isAsciiAlnum(char32_t c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isAsciiDigit(char32_t c) {
  return c >= '0' && c <= '9';
}

std::string monthOfDmy(std::string_view dmy) {
  auto d = Date::parseDmy(dmy);
  return d ? d->period() : std::string();
}

bool validDate(std::string_view dmy) {
  return Date::parseDmy(dmy).has_value() && ServiciosComunes::fechaEnRango(dmy);
}

using model::epsBoxParams;
using model::epsBoxWhere;

std::string amountText(std::string_view t) {
  auto m = Money::parse(text::trim(t));
  return m ? vbFormat(*m, "#########0") : std::string();
}

}  // namespace

std::string shownEpsAmount(std::string_view stored) {
  return vbFormatText(stored, "###,###,###,##0");
}

std::string typedEpsAmount(std::string_view shown) {
  std::string s(shown);
  s.erase(std::remove(s.begin(), s.end(), ','), s.end());
  return s;
}

std::vector<std::string> invoiceCells(const EpsInvoice& i) {
  std::string per = i.periodoFac.size() == 6 ? periodToDisplay(i.periodoFac) : i.periodoFac;
  return {i.rucEps,
          i.nombre,
          per,
          i.numSerie,
          i.numFac,
          i.fecEmis,
          i.fecPago,
          shownEpsAmount(i.impTotal),
          shownEpsAmount(i.impCred)};
}

bool checkEpsBox(Messenger& m, std::string_view casilla) {
  if (isEpsBox(casilla)) return true;
  m.critical("La casilla " + std::string(casilla) + " no tiene detalle de EPS.");
  return false;
}

bool ValidaPeriodo(std::string_view p) {
  if (p.size() != 6 || !text::isDigits(p)) return false;
  int year = std::stoi(std::string(p.substr(0, 4))), month = std::stoi(std::string(p.substr(4, 2)));
  return year >= 1990 && month >= 1 && month <= 12;
}

std::string ValidaFecPago(std::string_view fecPago, std::string_view periodo) {
  std::string m = monthOfDmy(fecPago);
  if (!m.empty() && m > addMonths(periodo, 1))
    return "La fecha de pago de la factura es posterior al mes siguiente al período tributario.";
  return {};
}

std::string ValidaFecEmis(std::string_view fecEmis, std::string_view periodoFac) {
  std::string m = monthOfDmy(fecEmis);
  if (!m.empty() && isPeriod(periodoFac) && m > addMonths(periodoFac, 1))
    return "La fecha de emisión de la factura es posterior al mes siguiente del período tributario al que "
           "corresponde la factura.";
  return {};
}

std::string ValidaFecEmis612(std::string_view fecEmis, std::string_view periodoFac) {
  std::string m = monthOfDmy(fecEmis);
  if (!m.empty() && isPeriod(periodoFac) && m > addMonths(periodoFac, 1))
    return "La fecha de emisión debe ser menor al período que corresponde la factura.";
  return {};
}

std::string ValidaFecPago612(std::string_view fecPago, std::string_view periodo) {
  std::string m = monthOfDmy(fecPago);
  if (!m.empty() && m > periodo) return "La fecha de pago de la factura es mayor al período de la declaración.";
  return {};
}

std::string validaSerie(std::string_view serie, std::string_view fecEmis) {
  auto cs = text::codepoints(serie);
  if (cs.size() < 4) return "Debe registrar correctamente el número de serie.";
  for (char32_t c : cs)
    if (c == U' ') return "Debe registrar correctamente el número de serie.";
  const std::string numeric =
      "Para comprobantes de pago con la fecha de emisión que ha ingresado, sólo se permiten caracteres numéricos en "
      "el número de serie.";
  auto allDigits = [&](std::size_t from) {
    for (std::size_t i = from; i < cs.size(); ++i)
      if (!isAsciiDigit(cs[i])) return false;
    return true;
  };
  if (dmyToYmd(fecEmis) >= kEmissionDate) {
    if (!isAsciiAlnum(cs[0]))
      return "Solo se permiten caracteres alfanuméricos en la primera posición del número de serie";
    if (cs[0] == U'F' || cs[0] == U'f') {
      for (std::size_t i = 1; i < cs.size(); ++i)
        if (!isAsciiAlnum(cs[i]))
          return "Para los comprobantes de pago electrónicos con fecha de emisión mayor o igual a " +
                 ymdToDmy(kEmissionDate) +
                 ", sólo se permite el ingreso de caracteres alfanuméricos desde la segunda a la cuarta posición, si "
                 "es que la primera posición del número de serie es la letra F.";
      return {};
    }
  }
  return allDigits(0) ? std::string() : numeric;
}

EpsProvider ownService(data::Database& db) {
  data::ParamTable param(db);
  auto r = param.row("902", "01");
  if (!r) return {};
  return {r->field(1, 11), r->field(13, 50)};
}

bool EsServicioPropio(data::Database& db, std::string_view ruc) {
  auto own = ownService(db);
  return !own.ruc.empty() && own.ruc == text::trim(ruc);
}

std::vector<EpsProvider> epsProviders(data::Database& db, const std::string& ruc, std::string_view casilla) {
  std::vector<EpsProvider> out;
  if (isPastPeriodBox(casilla)) {
    for (const auto& r : db.rows("SELECT RUC_EPS, NOMBRE_EPS FROM EPS WHERE tip_doc_d = 6 AND doc_id_d = ? ORDER BY "
                                 "NOMBRE_EPS",
                                 {ruc}))
      out.push_back({text::trim(r.text(0)), text::trim(r.text(1))});
  } else {
    data::ParamTable param(db);
    for (const auto& p : param.list("701")) {
      std::string arg = text::trim(p.argumento);
      if (arg == "0" || arg == "4") continue;
      std::string rucEps = text::trim(text::right(text::rtrim(p.funcion), 11));
      if (db.exists("SELECT 1 FROM ASEG_DET_LAB WHERE tip_doc_d = 6 AND doc_id_d = ? AND TRIM(ruceps) = ?",
                    {ruc, rucEps}))
        out.push_back({rucEps, p.field(1, 50)});
    }
  }
  auto own = ownService(db);
  if (!own.ruc.empty()) out.push_back(own);
  return out;
}

std::string providerName(data::Database& db, const std::string& ruc, const std::string& rucEps) {
  data::ParamTable param(db);
  for (const auto& p : param.list("701"))
    if (text::trim(text::right(text::rtrim(p.funcion), 11)) == rucEps && text::trim(p.argumento) != "0" &&
        text::trim(p.argumento) != "4")
      return p.field(1, 50);
  auto own = ownService(db);
  if (own.ruc == rucEps) return own.nombre;
  return text::trim(
      db.text("SELECT NOMBRE_EPS FROM EPS WHERE tip_doc_d = 6 AND doc_id_d = ? AND RUC_EPS = ?", {ruc, rucEps}));
}

// ---------------------------------------------------------------------------------------------

EpsBoxForm::EpsBoxForm(Session& session, const model::OpenDeclaration& decl, std::string casilla)
    : session_(session), decl_(decl), casilla_(std::move(casilla)) {}

void EpsBoxForm::load() {
  auto& db = session_.database();
  readOnly_ =
      decl_.sent() ||
      db.integer("SELECT estado FROM CAB WHERE tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND Formulario = ?",
                 {decl_.ruc, decl_.periodo, decl_.formulario}, 0) == 1;
  rows_.clear();
  total_ = credit_ = Money();
  std::map<std::string, std::string> names;
  for (const auto& r : db.rows("SELECT rowid, RUC_EPS, Periodo_fac, Num_Serie, Num_Fac, Fec_Emis, Fec_pago, Imp_total, "
                               "Imp_cred FROM TMPF600INFEPS WHERE " +
                                   epsBoxWhere() + " ORDER BY rowid",
                               epsBoxParams(decl_, casilla_))) {
    EpsInvoice inv;
    inv.rowid = r.integer(0);
    inv.rucEps = text::trim(r.text(1));
    if (!names.count(inv.rucEps)) names[inv.rucEps] = providerName(db, decl_.ruc, inv.rucEps);
    inv.nombre = names[inv.rucEps];
    inv.periodoFac = r.text(2);
    inv.numSerie = r.text(3);
    inv.numFac = r.text(4);
    inv.fecEmis = r.text(5);
    inv.fecPago = r.text(6);
    inv.impTotal = r.text(7);
    inv.impCred = r.text(8);
    total_ += Money::value(inv.impTotal);
    credit_ += Money::value(inv.impCred);
    rows_.push_back(std::move(inv));
  }
}

std::string EpsBoxForm::totalText() const {
  return vbFormat(total_, "#,###,###,##0");
}
std::string EpsBoxForm::creditText() const {
  return vbFormat(credit_, "#,###,###,##0");
}
std::string EpsBoxForm::countText() const {
  return std::to_string(rows_.size()) + "  Facturas ";
}

bool EpsBoxForm::remove(int selected) {
  if (readOnly_ || selected < 0 || selected >= static_cast<int>(rows_.size())) return false;
  if (session_.msg().ask("¿Confirma que va a eliminar la información?", "Confirmar", MsgButtons::YesNo, Answer::No) !=
      Answer::Yes)
    return false;
  auto& db = session_.database();
  data::Transaction tx(db);
  db.run("DELETE FROM TMPF600INFEPS WHERE rowid = ?", {rows_.at(static_cast<std::size_t>(selected)).rowid});
  tx.commit();
  load();
  return true;
}

void EpsBoxForm::close() {
  if (readOnly_) return;
  auto& db = session_.database();
  data::Transaction tx(db);
  if (db.integer("SELECT estado FROM CAB WHERE tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND Formulario = ?",
                 {decl_.ruc, decl_.periodo, decl_.formulario}, 0) == 1)
    return;
  // The box is stored at once, but only while the stored declaration is the one this session
  // opened; otherwise the save says why it cannot write (and writes this box with the rest).
  if (!data::changedSince(session_, decl_.ruc, decl_.periodo, decl_.stored, decl_.version).empty()) return;
  std::string valor = vbFormat(credit_, "###########0");
  std::vector<data::Value> fields = {data::Value(std::int64_t(6)),   data::Value(decl_.ruc), data::Value(decl_.periodo),
                                     data::Value(decl_.formulario),  data::Value(casilla_),  data::Value(valor),
                                     data::Value(std::string("01")), data::Value()};
  std::string control = data::NumeroControl(fields, 6);
  if (db.run("UPDATE DET SET i_valor = ?, idcasilla = '01', cNumero = ? WHERE tip_doc_d = 6 AND doc_id_d = ? AND "
             "periodo = ? AND Formulario = ? AND Casilla = ?",
             {valor, control, decl_.ruc, decl_.periodo, decl_.formulario, casilla_}) == 0)
    db.run(
        "INSERT INTO DET (tip_doc_d, doc_id_d, periodo, Formulario, Casilla, i_valor, idcasilla, cNumero) VALUES "
        "(6, ?, ?, ?, ?, ?, '01', ?)",
        {decl_.ruc, decl_.periodo, decl_.formulario, casilla_, valor, control});
  tx.commit();
}

// ---------------------------------------------------------------------------------------------

EpsInvoiceForm::EpsInvoiceForm(Session& session, const model::OpenDeclaration& decl, std::string casilla,
                               std::optional<std::int64_t> rowid)
    : session_(session), decl_(decl), casilla_(std::move(casilla)), rowid_(rowid) {}

void EpsInvoiceForm::load() {
  auto& db = session_.database();
  providers_ = epsProviders(db, decl_.ruc, casilla_);
  invoice = EpsInvoice{};
  if (rowid_) {  // CargaDatos
    auto r = db.row(
        "SELECT RUC_EPS, Periodo_fac, Num_Serie, Num_Fac, Fec_Emis, Fec_pago, Imp_total, Imp_cred FROM "
        "TMPF600INFEPS WHERE rowid = ?",
        {*rowid_});
    if (!r) throw std::runtime_error("La factura ya no existe.");
    invoice.rowid = *rowid_;
    invoice.rucEps = text::trim(r->text(0));
    invoice.periodoFac = r->text(1);
    invoice.numSerie = r->text(2);
    invoice.numFac = r->text(3);
    invoice.fecEmis = r->text(4);
    invoice.fecPago = r->text(5);
    invoice.impTotal = r->text(6);
    invoice.impCred = r->text(7);
    bool listed = false;
    for (const auto& p : providers_) listed = listed || p.ruc == invoice.rucEps;
    if (!listed && !invoice.rucEps.empty())
      providers_.push_back({invoice.rucEps, providerName(db, decl_.ruc, invoice.rucEps)});
  }
  if (!periodEditable()) invoice.periodoFac = decl_.periodo;
}

void EpsInvoiceForm::fillSeries() {
  std::string s = text::trim(invoice.numSerie);
  if (!s.empty() && text::length(s) < 4) s = text::padLeft(s, 4, '0');
  invoice.numSerie = text::upper(s);
}

void EpsInvoiceForm::fillNumber() {
  std::string n = text::trim(invoice.numFac);
  if (!n.empty() && text::isDigits(n) && n.size() < 8) n = text::padLeft(n, 8, '0');
  invoice.numFac = n;
}

bool EpsInvoiceForm::checkFecEmis() {
  if (text::trim(invoice.fecEmis).empty() || validDate(invoice.fecEmis)) return true;
  session_.msg().critical("La Fecha de emisión no es válida.");
  return false;
}

bool EpsInvoiceForm::checkFecPago() {
  if (text::trim(invoice.fecPago).empty() || validDate(invoice.fecPago)) return true;
  session_.msg().critical("La Fecha de pago no es válida.");
  return false;
}

Outcome EpsInvoiceForm::ValidaEPS() {
  auto& m = session_.msg();
  auto& db = session_.database();
  fillSeries();
  fillNumber();
  auto& f = invoice;
  if (!periodEditable()) f.periodoFac = decl_.periodo;
  // The same invoice twice in the box (in "MOD" another row than the one being changed).
  {
    data::Params p = epsBoxParams(decl_, casilla_);
    p.add(text::trim(f.rucEps));
    p.add(text::trim(f.periodoFac));
    p.add(f.numSerie);
    p.add(f.numFac);
    p.add(rowid_.value_or(0));
    if (db.exists(
            "SELECT 1 FROM TMPF600INFEPS WHERE " + epsBoxWhere() +
                " AND TRIM(RUC_EPS) = ? AND TRIM(Periodo_fac) = ? AND Num_Serie = ? AND Num_Fac = ? AND rowid <> ?",
            p))
      return refuse(m, "Ya se registró información con este número de factura.", "TxtNumFac");
  }
  if (text::trim(f.rucEps).empty()) return refuse(m, "Debe seleccionar una EPS.", "CmbEps");
  if (f.numSerie.empty()) return refuse(m, "Debe ingresar el número de serie.", "TxtNumSerie");
  if (f.numFac.empty()) return refuse(m, "Debe ingresar el número de factura.", "TxtNumFac");
  if (isPastPeriodBox(casilla_)) {
    if (!ValidaPeriodo(f.periodoFac) || f.periodoFac < "199301")
      return refuse(m, "El período no es válido.", "MkePeriodoFac");
    if (f.periodoFac >= decl_.periodo)
      return refuse(m, "El período de la factura debe ser menor al período de la declaración.", "MkePeriodoFac");
  }
  if (text::trim(f.fecEmis).empty()) return refuse(m, "Debe ingresar la fecha de emisión.", "MskFecEmis");
  if (!validDate(f.fecEmis)) return refuse(m, "La fecha de emisión no es válida.", "MskFecEmis");
  if (validDate(f.fecPago) && dmyToYmd(f.fecPago) < dmyToYmd(f.fecEmis))
    return refuse(m, "La fecha de pago debe ser posterior a la fecha de emisión.", "MskFecPago");
  auto total = Money::parse(text::trim(f.impTotal));
  if (!total || total->isZero()) return refuse(m, "Debe ingresar el importe total de la factura.", "TxtImpTotal");
  auto credit = Money::parse(text::trim(f.impCred));
  if (!credit) return refuse(m, "Debe ingresar el importe del crédito a utilizar.", "TxtImpCred");
  if (text::trim(f.fecPago).empty()) return refuse(m, "Debe ingresar la fecha de pago.", "MskFecPago");
  if (!validDate(f.fecPago)) return refuse(m, "La fecha de pago no es válida.", "MskFecPago");
  if (isPastPeriodBox(casilla_)) {
    std::string e =
        casilla_ == "612" ? ValidaFecEmis612(f.fecEmis, f.periodoFac) : ValidaFecEmis(f.fecEmis, f.periodoFac);
    if (!e.empty()) return refuse(m, e, "MskFecEmis");
    e = ValidaFecPago612(f.fecPago, decl_.periodo);
    if (!e.empty()) return refuse(m, e, "MskFecPago");
  } else {
    std::string e = ValidaFecPago(f.fecPago, decl_.periodo);
    if (!e.empty()) return refuse(m, e, "MskFecPago");
    e = validaSerie(f.numSerie, f.fecEmis);
    if (!e.empty()) return refuse(m, e, "TxtNumSerie");
  }
  if (*credit > *total)
    return refuse(m, "El monto del crédito no puede ser mayor a el importe total de la factura.", "TxtImpCred");
  return Outcome::success();
}

Outcome EpsInvoiceForm::save() {
  Outcome ok = ValidaEPS();
  if (!ok) return ok;
  auto& db = session_.database();
  const auto& f = invoice;
  data::Transaction tx(db);
  data::Params p{text::trim(f.rucEps),
                 text::trim(f.periodoFac),
                 f.numSerie,
                 f.numFac,
                 Date::parseDmy(f.fecEmis)->dmy(),
                 Date::parseDmy(f.fecPago)->dmy(),
                 amountText(f.impTotal),
                 amountText(f.impCred)};
  if (rowid_) {
    p.add(*rowid_);
    db.run(
        "UPDATE TMPF600INFEPS SET RUC_EPS = ?, Periodo_fac = ?, Num_Serie = ?, Num_Fac = ?, Fec_Emis = ?, "
        "Fec_pago = ?, Imp_total = ?, Imp_cred = ? WHERE rowid = ?",
        p);
  } else {
    const data::Params key = epsBoxParams(decl_, casilla_);
    for (const auto& v : key.values()) p.add(v);
    db.run(
        "INSERT INTO TMPF600INFEPS (RUC_EPS, Periodo_fac, Num_Serie, Num_Fac, Fec_Emis, Fec_pago, Imp_total, "
        "Imp_cred, tip_doc_d, doc_id_d, periodo, formulario, Casilla, Correl) VALUES (?, ?, ?, ?, ?, ?, ?, ?, 6, ?, ?, "
        "?, "
        "?, ?)",
        p);
    rowid_ = db.lastInsertRowid();
    invoice.rowid = *rowid_;
  }
  tx.commit();
  return Outcome::success();
}

}  // namespace korventa::detail
