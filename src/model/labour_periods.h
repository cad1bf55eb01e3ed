#pragma once
// Labour periods of the registry (PERIODOLAB) seen from one declaration period: whether a person
// belongs to the declaration and how many days a worker worked in the month.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/database.h"

namespace korventa::model {

struct LabourPeriod {
  std::string fecIni;  // registry date text (ISO or dd/mm/yyyy)
  std::string fecFin;  // "" while the period is open
  std::string tipo;    // worker type of the period ("" when not recorded)
};

// Whether one of the periods qualifies for the declaration period (YYYYMM). A person in situation
// 18 or 19 (no longer employed, with amounts still to settle) qualifies through a period that
// ended in or before the declaration month, or an open one that started by then; anyone else
// through a period that covers the month (an open end counts as 209912).
bool EncuentroPeriodoLaboral(const std::vector<LabourPeriod>& periods, std::string_view periodo,
                             std::string_view situac);

// Days worked in the month summed over the periods that touch it.
int diasLaborados(const std::vector<LabourPeriod>& periods, std::string_view periodo);

// Worker types and situations that carry no days value.
bool sinDias(std::string_view tipo, std::string_view situac);

// The labour periods of a declarant's persons, by (correl_a, cod_cat_tra), read in one query.
class LabourPeriods {
 public:
  LabourPeriods(data::Database& db, const std::string& ruc, std::vector<int> categories);
  // Periods of the person of that type (a period without recorded type counts for every type).
  std::vector<LabourPeriod> of(std::int64_t correl, int category, std::string_view tipo) const;

 private:
  std::map<std::pair<std::int64_t, int>, std::vector<LabourPeriod>> byPerson_;
};

}  // namespace korventa::model
