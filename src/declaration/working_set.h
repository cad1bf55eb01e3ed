#pragma once
// The working tables of the open declaration: emptied before each load, filled from the registry
// for a new declaration, from the stored (or sent) tables for an existing one, and reconciled with
// the registry by the refresh. None of these opens a transaction: the caller's operation does.
#include <string>
#include <vector>

#include "common/progress.h"
#include "data/session.h"
#include "model/open_declaration.h"
#include "model/person_handoff.h"

namespace korventa::declaration {

// Working tables, in the order they are emptied.
const std::vector<std::string>& workingTables();
void emptyWorkingTables(data::Database& db);
// F601_ESTAB of the declaration from the establishments marked in TMP_ESTTURNOS_JL (the caller
// deletes the earlier rows).
void Grabar_F601_ESTAB(data::Database& db, const model::OpenDeclaration& decl);

// Whether the successor-form reminder applies for a period and a count of registered persons:
// 201210 from 6 persons, 201211 above 50, 201212 above 1000; never for other periods.
bool reminderApplies(std::string_view periodo, long long persons);
// The reminder text (information message).
std::string reminderText();

class WorkingSet {
 public:
  WorkingSet(Session& session, model::OpenDeclaration& decl) : s_(session), d_(decl) {}

  // RMV, UIT and establishments of the declarant in force for the period.
  void readPeriodValues();
  // A new declaration from the registry: workers and pensioners with their days, personnel of
  // third parties, trainees. Workers whose days exceed the month are reported one by one. The
  // persons read are counted on `progress`, which may cancel (the caller's transaction rolls back).
  // With `handoff`, the workers and pensioners written are kept there for the computation.
  void loadNew(Progress& progress = Progress::none(), model::PersonHandoff* handoff = nullptr);
  // An existing declaration from the stored tables, or from the history when it was sent.
  void loadStored();
  // Reconciles the working tables with the registry (the refresh command without its question,
  // its completion message and the computation that follows); counted and cancelled as loadNew.
  void refresh(Progress& progress = Progress::none());
  // dias_lab of every worker from the labour periods (with the too-many-days message).
  void recomputeDays();
  // The declarant's registered persons counted for the successor-form reminder; -1 when the
  // declarant is not a private employer under labour regime 1.
  long long reminderCount();

 private:
  // Steps of the refresh, in its order (the establishments, SCTR rates and providers ones live in
  // working_set_refresh.cpp).
  void refreshPersons(Progress& progress);
  void refreshEstablishments();
  void refreshThirdParties();
  void refreshSctrRates();
  void refreshProviders();
  void refreshTrainees();

  Session& s_;
  model::OpenDeclaration& d_;
};

}  // namespace korventa::declaration
