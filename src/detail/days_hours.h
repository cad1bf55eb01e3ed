#pragma once
// frmDiasHoras: how a worker spent the month — days worked, subsidised and not worked, ordinary
// and overtime hours — with the worker's maximum days from the labour periods and the hour
// limits of the month. Accept writes the worker's working row in one transaction.
#include <string>
#include <string_view>

#include "data/session.h"
#include "model/open_declaration.h"
#include "detail/detail_support.h"

namespace korventa::detail {

// Decimal hours of an hours and a minutes box: hours + minutes / 60 rounded to two decimals,
// "##0.00"; "" when both boxes are empty.
std::string HorasDecimal(std::string_view horas, std::string_view minutos);
// Stored decimal hours split for the screen: part "H" the whole hours, part "M" the minutes
// (the two decimals × 0.6, rounded). A value without point is whole hours (0 minutes).
std::string LeerHorasMinutos(std::string_view valor, char part);
// A minutes box above 59 becomes "59".
std::string limitMinutes(std::string_view minutos);

// Days of the declared month (YYYYMM) covered by one labour period (dates as the registry keeps
// them; an empty end is an open period). A period that starts after the month or ended before
// it covers nothing.
int daysInPeriod(std::string_view fecIni, std::string_view fecFin, std::string_view periodo);
// The worker's maximum days: the sum over the labour periods of the worker's type (a period
// without a recorded type counts for every type).
int maximumDays(data::Database& db, const std::string& ruc, const std::string& periodo, const PersonKey& person,
                const std::string& tipo);

// Number of establishments marked for the worker; when none is, the worker's SCTR choice is
// removed (with concept 0806). Writes in its own transaction.
int CuentaEstab(Session& session, const model::OpenDeclaration& decl, const PersonKey& person);
// "N establecimiento(s)".
std::string establishmentLabel(int count);

class DaysHoursForm {
 public:
  DaysHoursForm(Session& session, const model::OpenDeclaration& decl, const PersonKey& person);

  // Reads the worker's row and counts the establishments. Throws when the person is missing.
  void load();
  const WorkerRow& worker() const { return worker_; }

  // The boxes, as typed.
  std::string diasLab, diasSub, diasNoLab;
  std::string horasNor, minutosNor, horasSob, minutosSob;

  // Re-reads the day counts that the suspension lists write to the working row.
  void reloadDays();
  // Label of the establishment count (LblNumEstab); recounted by recountEstablishments().
  const std::string& establishmentText() const { return estabText_; }
  void recountEstablishments();

  // Whether a key in the subsidised-days box opens the list of subsidised suspensions (types 24,
  // 26, 98, 68, 69 and 88 type the number directly).
  bool subsidisedOpensList() const;
  // CmdSctr is enabled for a worker with SCTR cover whose type is not 68 or 69.
  bool sctrEnabled() const;

  std::string CalcularTotalDias() const;     // "###0", "" when the three boxes are empty
  std::string CalcularTotalHoras() const;    // ordinary + overtime hours (minutes carried)
  std::string CalcularTotalMinutos() const;  // ordinary + overtime minutes below 60
  // 696 for February, 744 for any other month.
  int hourLimit() const;
  int maximum() const { return maximum_; }

  // Accept: the checks in order; on success the working row is written.
  Outcome accept();

 private:
  Session& session_;
  const model::OpenDeclaration& decl_;
  PersonKey person_;
  WorkerRow worker_;
  std::string estabText_;
  int maximum_ = 0;
};

}  // namespace korventa::detail
