#include "detail/days_hours.h"

#include <fmt/format.h>

#include "common/text.h"
#include "common/vb_format.h"
#include "detail/sctr.h"

namespace korventa::detail {

std::string HorasDecimal(std::string_view horas, std::string_view minutos) {
  std::string h = text::trim(horas), m = text::trim(minutos);
  if (h.empty() && m.empty()) return {};
  long long total = wholeNumber(h) * 60 + wholeNumber(m);
  // Hundredths of an hour: minutes × 100 / 60, rounded half away from zero.
  long long cents = divRoundHalfAway(static_cast<__int128>(total) * 10, 6);
  return vbFormat(Money::fromRaw(cents * (Money::kScale / 100)), "##0.00");
}

std::string LeerHorasMinutos(std::string_view valor, char part) {
  std::string v = text::trim(valor);
  if (v.empty()) return {};
  auto point = v.find('.');
  if (point == std::string::npos) return part == 'H' ? v : std::string("0");
  if (part == 'H') {
    std::string h = v.substr(0, point);
    return h.empty() ? std::string("0") : h;
  }
  std::string frac = v.substr(point + 1);
  if (frac.size() == 1) frac += "0";
  frac = frac.substr(0, 2);
  if (frac.empty() || !text::isDigits(frac)) return "0";
  // The two decimals times 0.6, rounded to whole minutes.
  long long n = std::stoll(frac);
  return std::to_string((n * 6 + 5) / 10);
}

std::string limitMinutes(std::string_view minutos) {
  std::string m = text::trim(minutos);
  if (text::isDigits(m) && std::stoll(m) > 59) return "59";
  return m;
}

int daysInPeriod(std::string_view fecIni, std::string_view fecFin, std::string_view periodo) {
  auto ini = parseDate(fecIni);
  if (!ini || !isPeriod(periodo)) return 0;
  auto fin = parseDate(fecFin);
  int year = std::stoi(std::string(periodYear(periodo))), month = std::stoi(std::string(periodMonth(periodo)));
  int monthDays = daysInMonth(year, month);
  std::string startMonth = ini->period();
  std::string endMonth = fin ? fin->period() : std::string("999912");
  if (startMonth > periodo) return 0;  // starts after the month
  if (endMonth < periodo) return 0;    // ended before the month
  if (startMonth == periodo && endMonth == periodo) return fin->day - ini->day + 1;
  if (startMonth == periodo) return monthDays - ini->day + 1;
  if (endMonth == periodo) return fin->day;
  return monthDays;  // the month lies inside the period
}

int maximumDays(data::Database& db, const std::string& ruc, const std::string& periodo, const PersonKey& person,
                const std::string& tipo) {
  int total = 0;
  for (const auto& r : db.rows("SELECT fec_ini, fec_fin FROM PERIODOLAB WHERE tip_doc_d = 6 AND doc_id_d = ? AND "
                               "correl_a = ? AND tip_doc_a = ? AND doc_id_a = ? AND cod_cat_tra = 1 AND "
                               "TRIM(COALESCE(tipo, '')) IN (?, '')",
                               {ruc, person.correl_a, person.tip_doc_a, person.doc_id_a, tipo}))
    total += daysInPeriod(r.text(0), r.text(1), periodo);
  return total;
}

int CuentaEstab(Session& session, const model::OpenDeclaration& decl, const PersonKey& person) {
  auto& db = session.database();
  data::Transaction tx(db);
  int count = static_cast<int>(db.integer(
      "SELECT count(*) FROM TMP_ESTTURNOS_JL WHERE " + personWhere() + " AND Indica = 1", personParams(person)));
  if (count == 0 && db.exists("SELECT 1 FROM TMP_F601_SCTR_OTRO WHERE " + personWhere(), personParams(person))) {
    removeSctrChoice(db, person);
    recomputeWrittenPerson(db, decl, person);
  }
  tx.commit();
  return count;
}

std::string establishmentLabel(int count) {
  return std::to_string(count) + " establecimiento(s)";
}

DaysHoursForm::DaysHoursForm(Session& session, const model::OpenDeclaration& decl, const PersonKey& person)
    : session_(session), decl_(decl), person_(person) {
  if (person_.cod_cat_tra == 0) person_.cod_cat_tra = kWorker;
}

void DaysHoursForm::load() {
  worker_ = readWorkerRow(session_.database(), person_);
  diasLab = worker_.dias_lab;
  diasSub = worker_.dias_sub;
  diasNoLab = worker_.dias_no_lab;
  horasNor = LeerHorasMinutos(worker_.horas_nor, 'H');
  minutosNor = LeerHorasMinutos(worker_.horas_nor, 'M');
  horasSob = LeerHorasMinutos(worker_.horas_sob, 'H');
  minutosSob = LeerHorasMinutos(worker_.horas_sob, 'M');
  maximum_ = maximumDays(session_.database(), decl_.ruc, decl_.periodo, person_, worker_.tipo);
  recountEstablishments();
}

void DaysHoursForm::reloadDays() {
  WorkerRow w = readWorkerRow(session_.database(), person_);
  diasSub = w.dias_sub;
  diasNoLab = w.dias_no_lab;
}

void DaysHoursForm::recountEstablishments() {
  estabText_ = establishmentLabel(CuentaEstab(session_, decl_, person_));
}

bool DaysHoursForm::subsidisedOpensList() const {
  static const char* direct[] = {"24", "26", "98", "68", "69", "88"};
  for (const char* t : direct)
    if (worker_.tipo == t) return false;
  return true;
}

bool DaysHoursForm::sctrEnabled() const {
  return worker_.sctr == 1 && worker_.tipo != "68" && worker_.tipo != "69";
}

std::string DaysHoursForm::CalcularTotalDias() const {
  if (text::trim(diasLab).empty() && text::trim(diasSub).empty() && text::trim(diasNoLab).empty()) return {};
  return vbFormat(wholeNumber(diasLab) + wholeNumber(diasSub) + wholeNumber(diasNoLab), "###0");
}

std::string DaysHoursForm::CalcularTotalHoras() const {
  if (text::trim(horasNor).empty() && text::trim(horasSob).empty() && text::trim(minutosNor).empty() &&
      text::trim(minutosSob).empty())
    return {};
  long long minutes = wholeNumber(minutosNor) + wholeNumber(minutosSob);
  return std::to_string(wholeNumber(horasNor) + wholeNumber(horasSob) + minutes / 60);
}

std::string DaysHoursForm::CalcularTotalMinutos() const {
  if (text::trim(minutosNor).empty() && text::trim(minutosSob).empty()) return {};
  return std::to_string((wholeNumber(minutosNor) + wholeNumber(minutosSob)) % 60);
}

int DaysHoursForm::hourLimit() const {
  return periodMonth(decl_.periodo) == "02" ? 696 : 744;
}

Outcome DaysHoursForm::accept() {
  auto& m = session_.msg();
  long long totalDias = wholeNumber(diasLab) + wholeNumber(diasSub) + wholeNumber(diasNoLab);
  int monthDays = daysInMonth(std::stoi(periodYear(decl_.periodo)), std::stoi(periodMonth(decl_.periodo)));
  if (totalDias > monthDays) return refuse(m, "El total de días no puede ser mayor al mes", "TxtDiasLab");
  if (totalDias > maximum_)
    return refuse(m, "El total de días no puede ser mayor a " + vbFormat(maximum_, "##0") + " para este trabajador.",
                  "TxtDiasLab");
  const long long limit = hourLimit();
  const std::string l = std::to_string(limit);
  long long hSob = wholeNumber(horasSob), mSob = wholeNumber(minutosSob);
  // Minutes are counted in full so that 743 h 45 min + 0 h 30 min is not taken for less than 744 h.
  long long sobMinutes = hSob * 60 + mSob;
  if (sobMinutes > limit * 60)
    return refuse(m, "El total de horas de sobre tiempo no puede ser mayor a " + l, "TxtHorasSob");
  long long totalMinutes = sobMinutes + wholeNumber(horasNor) * 60 + wholeNumber(minutosNor);
  if (totalMinutes > limit * 60)
    return refuse(m, "El total de horas trabajadas no puede ser mayor a " + l, "TxtHorasNor");

  auto& db = session_.database();
  data::Transaction tx(db);
  db.run("UPDATE TEMP1_F601 SET dias_lab = ?, dias_sub = ?, dias_no_lab = ?, horas_nor = ?, horas_sob = ? WHERE " +
             personWhere() + " AND cod_cat_tra = 1",
         {text::trim(diasLab), text::trim(diasSub), text::trim(diasNoLab), HorasDecimal(horasNor, minutosNor),
          HorasDecimal(horasSob, minutosSob), person_.correl_a, person_.tip_doc_a, person_.doc_id_a});
  recomputeWrittenPerson(db, decl_, person_);
  tx.commit();
  return Outcome::success();
}

}  // namespace korventa::detail
