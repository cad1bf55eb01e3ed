#include "model/labour_periods.h"

#include "common/dates.h"
#include "common/text.h"

namespace korventa::model {

bool EncuentroPeriodoLaboral(const std::vector<LabourPeriod>& periods, std::string_view periodo,
                             std::string_view situac) {
  std::string sit = text::trim(situac);
  bool settling = sit == "18" || sit == "19";
  for (const auto& p : periods) {
    std::string ini = monthOf(p.fecIni);
    std::string fin = monthOf(p.fecFin);
    if (ini.empty()) continue;
    if (settling) {
      if (!fin.empty() ? (fin <= periodo && ini <= periodo) : ini <= periodo) return true;
    } else {
      if (fin.empty()) fin = "209912";
      if (ini <= periodo && fin >= periodo) return true;
    }
  }
  return false;
}

int diasLaborados(const std::vector<LabourPeriod>& periods, std::string_view periodo) {
  int year = std::stoi(std::string(periodo.substr(0, 4)));
  int month = std::stoi(std::string(periodo.substr(4, 2)));
  int days = daysInMonth(year, month);
  int total = 0;
  for (const auto& p : periods) {
    auto ini = Date::parseAny(p.fecIni);
    if (!ini) continue;
    auto fin = text::trim(p.fecFin).empty() ? std::nullopt : Date::parseAny(p.fecFin);
    std::string iniM = ini->period();
    std::string finM = fin ? fin->period() : std::string("209912");
    if (iniM > periodo || finM < periodo) continue;  // does not touch the month
    bool startsIn = iniM == periodo;
    bool endsIn = fin && finM == periodo;
    if (startsIn && endsIn)
      total += fin->day - ini->day + 1;
    else if (endsIn)
      total += fin->day;
    else if (startsIn)
      total += days - ini->day + 1;
    else
      total += days;
  }
  return total;
}

bool sinDias(std::string_view tipo, std::string_view situac) {
  std::string t = text::trim(tipo), s = text::trim(situac);
  return t == "24" || t == "26" || t == "66" || t == "98" || t == "88" || s == "18" || s == "19";
}

LabourPeriods::LabourPeriods(data::Database& db, const std::string& ruc, std::vector<int> categories) {
  std::string in;
  data::Params p{ruc};
  for (int c : categories) {
    in += in.empty() ? "?" : ", ?";
    p.add(c);
  }
  for (const auto& r : db.rows("SELECT correl_a, cod_cat_tra, fec_ini, fec_fin, tipo FROM PERIODOLAB "
                               "WHERE tip_doc_d = 6 AND doc_id_d = ? AND cod_cat_tra IN (" +
                                   in + ") ORDER BY fec_ini",
                               p)) {
    byPerson_[{r.integer(0), static_cast<int>(r.integer(1))}].push_back({r.text(2), r.text(3), text::trim(r.text(4))});
  }
}

std::vector<LabourPeriod> LabourPeriods::of(std::int64_t correl, int category, std::string_view tipo) const {
  auto it = byPerson_.find({correl, category});
  if (it == byPerson_.end()) return {};
  std::vector<LabourPeriod> out;
  std::string t = text::trim(tipo);
  for (const auto& p : it->second)
    if (p.tipo.empty() || t.empty() || p.tipo == t) out.push_back(p);
  return out;
}

}  // namespace korventa::model
