#pragma once
// What the comparison says about the boxes: their captions, their differences and the reasons
// the program knows (rates that change with the period, the persons whose amounts move a box,
// the boxes that follow others or that the user types).
#include <map>
#include <set>
#include <string>
#include <vector>

#include "analysis/declaration_comparison.h"
#include "data/database.h"
#include "determination/rates.h"

namespace korventa::analysis {

// The rates of the two periods compared, for the worker types of both declarations.
class PeriodRates {
 public:
  PeriodRates(data::Database& db, const std::string& ruc, std::string before, std::string after);
  void addType(const std::string& tipo);
  // Rates of the worker type that differ between the periods ("Tasa ONP del tipo 21: …").
  std::vector<std::string> reasonsFor(const std::string& tipo);
  // The period rule a concept row follows, when the periods fall on both sides of it.
  std::string conceptRule(const std::string& code) const;
  // Rate reasons of a box: the IGV of box 812, the miners' fund, list 713 by worker type.
  std::vector<std::string> boxReasons(const std::string& casilla);

 private:
  std::pair<determination::RateSet, determination::RateSet>& ratesOf(int tipo);
  bool straddles(const char* from) const { return (before_ < from) != (after_ < from); }

  data::Database& db_;
  determination::DeclarantOptions options_;
  std::string before_, after_;
  std::set<int> types_;
  std::map<int, std::pair<determination::RateSet, determination::RateSet>> cache_;
};

// A concept whose row carries a base and a contribution (06xx and 08xx).
bool isTributeConcept(const std::string& code);

// "ESSALUD SEGURO REGULAR - TRAB. - Impuesto Resultante", "Número de trabajadores", "Casilla 999".
std::string boxCaption(const std::string& casilla);

// Every box whose stored text differs, with its reasons (`more`: further reasons by box).
std::vector<BoxDifference> compareBoxes(const std::map<std::string, std::string>& before,
                                        const std::map<std::string, std::string>& after,
                                        const std::vector<PersonDifference>& persons, PeriodRates& rates,
                                        const std::map<std::string, std::vector<std::string>>& more = {});

}  // namespace korventa::analysis
