#pragma once
// Suspensions of a worker in the month: frmDias / frmDetDias for the subsidised ones (types 21 and
// 22, backed by a medical certificate, CITT) and frmDiasNoTrab / frmDetDiasNoTrab for the others.
// Rows live in TMPF601DIAS_NOLAB; every change rewrites the worker's day total in TEMP1_F601.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/session.h"
#include "model/open_declaration.h"
#include "detail/detail_support.h"

namespace korventa::detail {

enum class SuspensionKind { Subsidised, NotSubsidised };
bool isSubsidisedType(std::string_view tipoSuspen);  // 21 and 22

// Suspension types of list 852 for one kind: code and description.
struct SuspensionType {
  std::string code, description;
};
std::vector<SuspensionType> suspensionTypes(data::Database& db, SuspensionKind kind);

// One row of the list.
struct SuspensionRow {
  std::string tipoSuspen, descripcion, fechaIni, fechaFin, numCitt, diasCitt, dias;
};

// CruceFechas: whether a subsidy certificate of the person other than `numCitt` (TMPF600SUBSID)
// overlaps the range start–end. `alsoExcept` leaves out one more certificate (the one a modified
// row had before its number changed).
bool CruceFechas(data::Database& db, const PersonKey& person, std::string_view numCitt, const Date& start,
                 const Date& end, std::string_view alsoExcept = {});
// RefrescarGrilla's total: the sum of dias_sub (or dias_no_lab) of the person written to TEMP1_F601.
void writeDayTotal(data::Database& db, const PersonKey& person, SuspensionKind kind);
// Days of [start, end] that fall in the declared month (0 when the range misses it).
int CalcularDiasMes(const Date& start, const Date& end, std::string_view periodo);

}  // namespace korventa::detail
