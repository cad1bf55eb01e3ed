#pragma once
// frmSCTR: the occupational-risk insurance (SCTR) of a worker — owner company, establishment and
// rate — and the contribution 0806 that follows from it.
#include <optional>
#include <string>
#include <vector>

#include "common/money.h"
#include "data/session.h"
#include "model/open_declaration.h"
#include "detail/detail_support.h"

namespace korventa::detail {

// SCTR base of a worker (position 4 of the affectation strings): accrued amounts of the concepts
// flagged there in PARAM_REMUNERA, plus those flagged in the declarant's TRIBUT_AFECTA, less the
// paid amounts of 0704, 0705 and 0707, never below zero. nullopt when nothing flagged has an amount.
std::optional<Money> CalcularTotal_806(data::Database& db, const std::string& ruc, const PersonKey& person);
// TEMP1_F601.AportEmp of the worker from the amounts of the 08 group ("" when none has one).
void updateAportEmp(data::Database& db, const PersonKey& person);
// Removes the worker's SCTR choice: the TMP_F601_SCTR_OTRO row, concept 0806 and the SCTR fields
// of the working row emptied, the 08 total refreshed. The caller holds the transaction.
void removeSctrChoice(data::Database& db, const PersonKey& person);

struct Choice {
  std::string code;  // value (RUC, establishment code, rate correlative)
  std::string text;  // as listed
};

class SctrForm {
 public:
  SctrForm(Session& session, const model::OpenDeclaration& decl, const PersonKey& person);

  // The lists and the worker's current choice.
  void load();
  const std::vector<Choice>& rucs() const { return rucs_; }                      // CmbRuc
  const std::vector<Choice>& establishments() const { return establishments_; }  // CmbCorrelativo
  const std::vector<Choice>& rates() const { return rates_; }                    // CmbTasas: "1.53"

  // Choosing a RUC fills its name and its establishments (those of the worker's marked ones
  // with risk activity); choosing an establishment fills its rates.
  void chooseRuc(const std::string& ruc);
  void chooseEstablishment(const std::string& codEst);
  void chooseRate(const std::string& correlTasa);
  const std::string& ruc() const { return ruc_; }
  const std::string& rucName() const { return rucName_; }
  const std::string& establishment() const { return codEst_; }
  const std::string& rate() const { return correlTasa_; }
  bool hasChoice() const { return stored_; }

  // Save (cmdAccion 0): checks, the choice, 0806, the SCTR fields and the 08 total.
  Outcome save();
  // Remove (cmdAccion 1).
  void remove();

  // After save: the base and amount written (empty when the base is not positive).
  std::string base, amount;

 private:
  Session& session_;
  const model::OpenDeclaration& decl_;
  PersonKey person_;
  std::vector<Choice> rucs_, establishments_, rates_;
  std::string ruc_, rucName_, codEst_, correlTasa_;
  bool stored_ = false;
};

}  // namespace korventa::detail
