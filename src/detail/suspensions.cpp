#include "detail/suspensions.h"
#include "detail/suspension_detail_form.h"
#include "detail/suspension_list_form.h"

#include <algorithm>

#include "common/list_form.h"
#include "common/text.h"
#include "common/vb_format.h"
#include "data/param.h"
#include "data/servicios_comunes.h"

namespace korventa::detail {
namespace {

int codeValue(std::string_view code) {
  std::string t = text::trim(code);
  return text::isDigits(t) ? std::stoi(t) : -1;
}

int monthDaysOf(std::string_view periodo) {
  return daysInMonth(std::stoi(periodYear(periodo)), std::stoi(periodMonth(periodo)));
}

// The person's suspension rows with their ranges.
struct StoredRange {
  std::string tipo, fechaIni, citt;
  std::optional<Date> ini, fin;
};
std::vector<StoredRange> storedRanges(data::Database& db, const PersonKey& person) {
  std::vector<StoredRange> out;
  for (const auto& r :
       db.rows("SELECT tipo_suspen, fecha_ini, fecha_fin, num_citt FROM TMPF601DIAS_NOLAB WHERE " + personWhere(),
               personParams(person)))
    out.push_back(
        {text::trim(r.text(0)), r.text(1), text::trim(r.text(3)), parseDate(r.text(1)), parseDate(r.text(2))});
  return out;
}

bool isFemale(data::Database& db, const std::string& ruc, const PersonKey& person) {
  return text::upper(
             text::trim(db.text("SELECT sexo FROM ASEGVKRS WHERE tip_doc_d = 6 AND doc_id_d = ? AND correl_a = ? "
                                "AND cod_cat_tra = 1",
                                {ruc, person.correl_a}))) == "F";
}

}  // namespace

bool isSubsidisedType(std::string_view tipoSuspen) {
  int v = codeValue(tipoSuspen);
  return v >= 21 && v <= 22;
}

std::vector<SuspensionType> suspensionTypes(data::Database& db, SuspensionKind kind) {
  std::vector<SuspensionType> out;
  data::ParamTable param(db);
  for (const auto& r : param.list("852")) {
    if (isSubsidisedType(r.argumento) != (kind == SuspensionKind::Subsidised)) continue;
    out.push_back({text::trim(r.argumento), r.field(1, 60)});
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const auto& a, const auto& b) { return codeValue(a.code) < codeValue(b.code); });
  return out;
}

bool CruceFechas(data::Database& db, const PersonKey& person, std::string_view numCitt, const Date& start,
                 const Date& end, std::string_view alsoExcept) {
  std::string other = alsoExcept.empty() ? text::trim(numCitt) : text::trim(alsoExcept);
  for (const auto& r : db.rows("SELECT fecha_SD, fecha_SH FROM TMPF600SUBSID WHERE " + personWhere() +
                                   " AND TRIM(COALESCE(num_citt, '')) NOT IN (?, ?)",
                               {person.correl_a, person.tip_doc_a, person.doc_id_a, text::trim(numCitt), other})) {
    auto sd = parseDate(r.text(0)), sh = parseDate(r.text(1));
    if (!sd || !sh) continue;
    if ((*sd <= start && start <= *sh) || (*sd <= end && end <= *sh) || (start < *sd && *sh < end)) return true;
  }
  return false;
}

void writeDayTotal(data::Database& db, const PersonKey& person, SuspensionKind kind) {
  const char* column = kind == SuspensionKind::Subsidised ? "dias_sub" : "dias_no_lab";
  Money total;
  bool any = false;
  for (const auto& r : db.rows(std::string("SELECT ") + column + " FROM TMPF601DIAS_NOLAB WHERE " + personWhere() +
                                   " AND TRIM(COALESCE(" + column + ", '')) <> ''",
                               personParams(person))) {
    total += Money::value(r.text(0));
    any = true;
  }
  db.run(std::string("UPDATE TEMP1_F601 SET ") + column + " = ? WHERE " + personWhere() + " AND cod_cat_tra = 1",
         {dayTotalText(any, total), person.correl_a, person.tip_doc_a, person.doc_id_a});
}

int CalcularDiasMes(const Date& start, const Date& end, std::string_view periodo) {
  if (!isPeriod(periodo) || end < start) return 0;
  int year = std::stoi(periodYear(periodo)), month = std::stoi(periodMonth(periodo));
  Date first{year, month, 1}, last{year, month, monthDaysOf(periodo)};
  Date from = std::max(start, first), to = std::min(end, last);
  return to < from ? 0 : to.serial() - from.serial() + 1;
}

// ---------------------------------------------------------------------------------------------

SuspensionListForm::SuspensionListForm(Session& session, const model::OpenDeclaration& decl, const PersonKey& person,
                                       SuspensionKind kind)
    : session_(session), decl_(decl), person_(person), kind_(kind) {}

void SuspensionListForm::refresh() {
  auto& db = session_.database();
  std::vector<std::pair<std::string, std::string>> names;
  for (const auto& t : suspensionTypes(db, kind_)) names.emplace_back(t.code, t.description);
  rows_.clear();
  std::vector<std::pair<Date, SuspensionRow>> sorted;
  for (const auto& r : db.rows("SELECT tipo_suspen, fecha_ini, fecha_fin, num_citt, dias_citt, dias_sub, dias_no_lab "
                               "FROM TMPF601DIAS_NOLAB WHERE " +
                                   personWhere(),
                               personParams(person_))) {
    std::string tipo = text::trim(r.text(0));
    if (isSubsidisedType(tipo) != (kind_ == SuspensionKind::Subsidised)) continue;
    SuspensionRow row{tipo,
                      "",
                      r.text(1),
                      r.text(2),
                      r.text(3),
                      r.text(4),
                      kind_ == SuspensionKind::Subsidised ? r.text(5) : r.text(6)};
    for (const auto& [code, name] : names)
      if (codeValue(code) == codeValue(tipo)) row.descripcion = name;
    sorted.emplace_back(parseDate(row.fechaIni).value_or(Date{}), std::move(row));
  }
  std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& [d, row] : sorted) rows_.push_back(std::move(row));
}

bool SuspensionListForm::canModify(int selected) const {
  return list_form::canModifyRow(session_.msg(), static_cast<int>(rows_.size()), selected);
}

bool SuspensionListForm::remove(int selected) {
  if (!list_form::confirmDeleteRow(session_.msg(), static_cast<int>(rows_.size()), selected)) return false;
  const auto& row = rows_.at(static_cast<std::size_t>(selected));
  auto& db = session_.database();
  data::Transaction tx(db);
  db.run("DELETE FROM TMPF601DIAS_NOLAB WHERE " + personWhere() + " AND TRIM(tipo_suspen) = ? AND fecha_ini = ?",
         {person_.correl_a, person_.tip_doc_a, person_.doc_id_a, row.tipoSuspen, row.fechaIni});
  if (kind_ == SuspensionKind::Subsidised && !text::trim(row.numCitt).empty())
    db.run("DELETE FROM TMPF600SUBSID WHERE " + personWhere() +
               " AND TRIM(num_citt) = ? AND "
               "COALESCE(formulario, '0601') = '0601'",
           {person_.correl_a, person_.tip_doc_a, person_.doc_id_a, text::trim(row.numCitt)});
  writeDayTotal(db, person_, kind_);
  recomputeWrittenPerson(db, decl_, person_);
  tx.commit();
  refresh();
  return true;
}

// ---------------------------------------------------------------------------------------------

SuspensionDetailForm::SuspensionDetailForm(Session& session, const model::OpenDeclaration& decl,
                                           const PersonKey& person, SuspensionKind kind,
                                           std::optional<SuspensionKey> key)
    : session_(session), decl_(decl), person_(person), kind_(kind), key_(std::move(key)) {}

void SuspensionDetailForm::load() {
  auto& db = session_.database();
  types_ = suspensionTypes(db, kind_);
  if (key_) {
    auto r = db.row(
        "SELECT tipo_suspen, fecha_ini, fecha_fin, num_citt, dias_sub, dias_no_lab FROM TMPF601DIAS_NOLAB "
        "WHERE " +
            personWhere() + " AND TRIM(tipo_suspen) = ? AND fecha_ini = ?",
        {person_.correl_a, person_.tip_doc_a, person_.doc_id_a, key_->tipoSuspen, key_->fechaIni});
    if (!r) throw std::runtime_error("La suspensión ya no existe.");
    tipo_ = text::trim(r->text(0));
    ini_ = r->text(1);
    fin_ = r->text(2);
    citt_ = text::trim(r->text(3));
    storedCitt_ = citt_;
    dias_ = text::trim(kind_ == SuspensionKind::Subsidised ? r->text(4) : r->text(5));
    recompute(false);
  }
  changed_ = false;
}

void SuspensionDetailForm::setTipoSuspen(std::string v) {
  v = text::trim(v);
  if (v != tipo_) tipo_ = std::move(v), changed_ = true;
}
void SuspensionDetailForm::setFechaIni(std::string v) {
  v = text::trim(v);
  if (v != ini_) ini_ = std::move(v), changed_ = true;
  recompute(false);
}
void SuspensionDetailForm::setFechaFin(std::string v) {
  v = text::trim(v);
  if (v != fin_) fin_ = std::move(v), changed_ = true;
  recompute(true);
}
void SuspensionDetailForm::setNumCitt(std::string v) {
  v = text::trim(v);
  if (v != citt_) citt_ = std::move(v), changed_ = true;
}
void SuspensionDetailForm::setDias(std::string v) {
  v = text::trim(v);
  if (v != dias_) dias_ = std::move(v), changed_ = true;
}

void SuspensionDetailForm::recompute(bool notify) {
  auto start = Date::parseDmy(ini_), end = Date::parseDmy(fin_);
  diasMax_.clear();
  if (kind_ == SuspensionKind::Subsidised) diasCitt_.clear();
  if (!start || !end) return;
  diasMax_ = std::to_string(CalcularDiasMes(*start, *end, decl_.periodo));
  if (kind_ == SuspensionKind::Subsidised && !(*end < *start)) {
    int days = end->serial() - start->serial() + 1;
    diasCitt_ = std::to_string(days);
    if (notify && days > 345) session_.msg().info("Los días subsidiados del CITT son mayores a 345 ");
  }
}

Outcome SuspensionDetailForm::validate() {
  auto& m = session_.msg();
  auto& db = session_.database();
  const bool sub = kind_ == SuspensionKind::Subsidised;
  if (tipo_.empty()) return refuse(m, "Debe ingresar tipo de suspensión.", "CmbTipoSuspen");

  auto start = Date::parseDmy(ini_);
  if (!start || !ServiciosComunes::fechaEnRango(ini_, "01/01/2000", "01/01/2500"))
    return refuse(m, "La fecha de inicio no es válida", "MskFechaIni");
  if (!sub) {
    // ValidaFechaNoLabNoSub: the start month lies between the month before and the month after.
    std::string month = start->period();
    if (month < addMonths(decl_.periodo, -1) || month > addMonths(decl_.periodo, 1))
      return refuse(m, "La fecha de inicio no es válida", "MskFechaIni");
  }
  auto ranges = storedRanges(db, person_);
  auto isOwn = [&](const StoredRange& r) {
    return key_ && codeValue(r.tipo) == codeValue(key_->tipoSuspen) && r.fechaIni == key_->fechaIni;
  };
  if (!key_) {
    for (const auto& r : ranges)
      if (codeValue(r.tipo) == codeValue(tipo_) && r.ini == start)
        return refuse(m, "Ya se ingresó esta suspensión", "MskFechaIni");
  }
  auto end = Date::parseDmy(fin_);
  if (!end || !ServiciosComunes::fechaEnRango(fin_, "01/01/1900", "01/01/2500"))
    return refuse(m, sub ? "La fecha fin no es válida" : "La fecha fin  no es válida", "MskFechaFin");
  if (sub) {
    if (citt_.empty()) return refuse(m, "Debe ingresar el número de CITT ", "TxtNumCitt");
    if (text::isDigits(citt_) && citt_.find_first_not_of('0') == std::string::npos)
      return refuse(m, "El número del  CITT no puede ser cero", "TxtNumCitt");
  }
  if (*end < *start) return refuse(m, "La  fecha de fin no puede ser menor a la fecha Inicio", "MskFechaFin");
  if (start->period() > decl_.periodo)
    return refuse(m, "La fecha no debe ser mayor al período que se declara", "MskFechaIni");
  if (sub && CruceFechas(db, person_, citt_, *start, *end, storedCitt_))
    return refuse(m, "Fechas se cruzan con otros registros ingresados", "MskFechaIni");
  if (auto baja = leavingDate(db, decl_.ruc, person_)) {
    if (*start > *baja)
      return refuse(m, "La fecha inicio no debe ser mayor a la fecha de baja del trabajador " + baja->dmy(),
                    "MskFechaIni");
    if (*end > *baja)
      return refuse(m, "La fecha fin no debe ser mayor a la fecha de baja del trabajador " + baja->dmy(),
                    "MskFechaFin");
  }
  if (sub) {
    for (const auto& r : ranges)
      if (!isOwn(r) && !r.citt.empty() && r.citt == citt_) return refuse(m, "Ya se ingresó este CITT", "TxtNumCitt");
  } else {
    // Another row whose range holds the new start or end, or lies inside the new range.
    for (const auto& r : ranges) {
      if (isOwn(r) || !r.ini || !r.fin) continue;
      bool holds = (*r.ini <= *start && *start <= *r.fin) || (*r.ini <= *end && *end <= *r.fin) ||
                   (*start <= *r.ini && *r.fin <= *end);
      if (holds) return refuse(m, "Ya se ingresó información para este rango de fechas", "MskFechaIni");
    }
  }
  return checkDays(*start, *end);
}

// The days of the month the suspension covers, against its dates and the month.
Outcome SuspensionDetailForm::checkDays(const Date& start, const Date& end) {
  auto& m = session_.msg();
  auto& db = session_.database();
  const bool sub = kind_ == SuspensionKind::Subsidised;
  if (dias_.empty())
    return refuse(m,
                  sub ? "Ingrese la cantidad de dias subsidiados en el mes"
                      : "Ingrese la cantidad de dias no trabajados y no subsidiados en el mes",
                  "TxtDias");
  long long days = wholeNumber(dias_);
  int certificateDays = end.serial() - start.serial() + 1;
  if (sub) {
    int limit = std::min(monthDaysOf(decl_.periodo), certificateDays);
    if (days > limit)
      return refuse(m, "La cantidad de dias subsidiados en el mes no puede ser mayor a " + std::to_string(limit),
                    "TxtDias");
    if (certificateDays > 9999)
      return refuse(m, "La cantidad de días subsidiados del CITT no es válida  ", "MskFechaFin");
    if (codeValue(tipo_) == 22 && !isFemale(db, decl_.ruc, person_))
      return refuse(m, "No puede registrar dias subsidiados por maternidad. El trabajador es de sexo masculno",
                    "CmbTipoSuspen");
  } else {
    int limit = CalcularDiasMes(start, end, decl_.periodo);
    if (days > limit)
      return refuse(
          m, "La cantidad de dias no laborados y no trabajados en el mes no puede ser mayor a " + std::to_string(limit),
          "TxtDias");
  }
  return Outcome::success();
}

Outcome SuspensionDetailForm::save() {
  Outcome ok = validate();
  if (!ok) return ok;
  const bool sub = kind_ == SuspensionKind::Subsidised;
  auto start = *Date::parseDmy(ini_), end = *Date::parseDmy(fin_);
  std::string ini = start.dmy(), fin = end.dmy();
  std::string days = std::to_string(wholeNumber(dias_));
  std::string citt = sub ? citt_ : std::string();
  std::string diasCitt = sub ? std::to_string(end.serial() - start.serial() + 1) : std::string();
  std::string tipo = vbFormat(codeValue(tipo_), "00");

  auto& db = session_.database();
  data::Transaction tx(db);
  if (key_)
    db.run("DELETE FROM TMPF601DIAS_NOLAB WHERE " + personWhere() + " AND TRIM(tipo_suspen) = ? AND fecha_ini = ?",
           {person_.correl_a, person_.tip_doc_a, person_.doc_id_a, key_->tipoSuspen, key_->fechaIni});
  db.run(
      "INSERT INTO TMPF601DIAS_NOLAB (tip_doc_d, doc_id_d, correl_a, tip_doc_a, doc_id_a, periodo, formulario, "
      "tipo_suspen, fecha_ini, fecha_fin, num_citt, dias_sub, dias_citt, dias_no_lab) "
      "VALUES (6, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
      {decl_.ruc, person_.correl_a, person_.tip_doc_a, person_.doc_id_a, decl_.periodo, decl_.formulario, tipo, ini,
       fin, citt, sub ? days : std::string(), diasCitt, sub ? std::string() : days});
  if (sub) {
    // The certificate goes with the suspension, so that later ones are tested against it.
    std::string old = storedCitt_.empty() ? citt : storedCitt_;
    db.run("DELETE FROM TMPF600SUBSID WHERE " + personWhere() +
               " AND TRIM(num_citt) IN (?, ?) AND "
               "COALESCE(formulario, '0601') = '0601'",
           {person_.correl_a, person_.tip_doc_a, person_.doc_id_a, old, citt});
    db.run(
        "INSERT INTO TMPF600SUBSID (tip_doc_d, doc_id_d, periodo, formulario, correl_a, tip_doc_a, doc_id_a, "
        "num_citt, dias_sub, dias_citt, fecha_SD, fecha_SH, tipo_suspen, fecha_ini, fecha_fin) "
        "VALUES (6, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        {decl_.ruc, decl_.periodo, decl_.formulario, person_.correl_a, person_.tip_doc_a, person_.doc_id_a, citt, days,
         diasCitt, ini, fin, tipo, ini, fin});
  }
  writeDayTotal(db, person_, kind_);
  recomputeWrittenPerson(db, decl_, person_);
  tx.commit();

  session_.msg().info("La información fue grabada satisfactoriamente. ");
  if (key_) {
    key_ = SuspensionKey{tipo, ini};
    ini_ = ini;
    fin_ = fin;
    storedCitt_ = citt;
  } else {
    clear();
  }
  changed_ = false;
  return Outcome::success();
}

void SuspensionDetailForm::clear() {
  tipo_.clear();
  ini_.clear();
  fin_.clear();
  citt_.clear();
  dias_.clear();
  diasMax_.clear();
  diasCitt_.clear();
  storedCitt_.clear();
}

bool SuspensionDetailForm::close() {
  return list_form::mayLeave(session_.msg(), changed_, [this] { return save().ok; });
}

}  // namespace korventa::detail
