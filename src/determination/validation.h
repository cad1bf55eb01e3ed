#pragma once
// "&Validar" of the declaration form (CmdValidar_Click): the rules of the open declaration in
// their order. Rules that stop show a critical message and end the run; inconsistencies are
// written one per line to the file "Mens.txt" and set the declaration's inconsistency flag;
// warnings are message boxes. The save runs the very same rules silently (saveChecks).
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/progress.h"
#include "data/session.h"
#include "model/labour_periods.h"
#include "model/open_declaration.h"
#include "determination/debt_grid.h"
#include "determination/declaration_checks.h"
#include "korventa_version.h"

namespace korventa::determination {

// Version of the parameter set this program was built for (list 856 must publish it).
inline constexpr const char* kVersionPrograma = KORVENTA_VERSION;

struct ValidationResult {
  bool stopped = false;            // a stopping rule ended the run (its message was shown)
  bool cancelled = false;          // the person stopped the run (stopped is set too; no "Mens.txt")
  bool inconsistent = false;       // the inconsistency flag
  std::vector<std::string> lines;  // the lines of "Mens.txt"
  std::string stopMessage;
};

// The inconsistency file of the session's work folder.
std::filesystem::path mensPath(Session& session);

class DeclarationValidator {
 public:
  DeclarationValidator(Session& session, const model::OpenDeclaration& decl);
  ~DeclarationValidator();

  // CmdValidar_Click without the report form: every rule in order, "Mens.txt" written at `mens`
  // (created anew even when clean). When clean, "La declaración no presenta inconsistencias."
  // is shown; when inconsistent the caller shows the report (FrmConsist).
  // The rules run are counted on `progress`, which may stop the run (it writes nothing).
  ValidationResult CmdValidar_Click(const std::filesystem::path& mens, Progress& progress = Progress::none());

  // The checks of the save: the registry count comparison, which stops the save, then every rule
  // of CmdValidar_Click in its order on the same data, silently (no file, no message box): each
  // inconsistency only sets the flag. A stopping rule of the program's parameters leaves the
  // declaration inconsistent; a pending refresh is the save's own state rule, not a stop here.
  // The determination boxes the rules were run on come back for DET.
  // Counted on `progress`; a cancellation (Cancelled) goes up to the save, which rolls back.
  SaveCheckResult saveChecks(Progress& progress = Progress::none());

  // Single checks, usable on their own.
  bool ValidaCasillasDetDeuda(const DebtDetermination& grid) const;  // true when consistent
  // EPS credit limit of box 602 or 408: the limit and whether the 25 % text applies.
  struct EpsLimit {
    long long limit = 0;
    bool quarter = true;
  };
  EpsLimit epsLimit(const std::string& casilla);
  std::string epsLimitMessage(const std::string& casilla, const EpsLimit& l) const;
  // A tax box against the persons' total (Total_Tributo): the inconsistency, or "" when equal.
  std::string totalMismatch(const std::string& casilla, const std::string& value);

 private:
  struct Person;
  void line(const std::string& text);
  bool stop(const std::string& text);
  void warn(const std::string& text);  // shown by the validation, kept by the save's checks
  void resetRun();
  // Every rule in its order over the loaded grid; false when a stopping rule ended the run.
  bool rules(DebtDetermination& g);
  void loadPersons();
  bool header();                                            // rules 1 to 5
  void labourPeriods();                                     // rules 6 to 12
  void otherPersons();                                      // 13 to 16
  void concepts();                                          // 17 to 27
  void Valida_0804();                                       // 27
  void clearedConcepts(const Person& p);                    // 23 and 24
  void suspensions();                                       // 28 to 30
  void noActiveNotices();                                   // 31
  void daysAndRegistry();                                   // 32 to 39
  void grid(DebtDetermination& g);                          // 40 to 51
  void taxTotals(const DebtDetermination& g);               // 52
  void version();                                           // 53
  void sctrRates();                                         // the rates of the SCTR taken at other companies
  std::string registryCountDifference();                    // 55
  const std::string& taxTotal(const std::string& casilla);  // Total_Tributo, once per box and run
  const std::set<std::string>& essaludConcepts();
  const model::LabourPeriods& labourPeriodsOfTheRegistry();  // read once per run

  Session& s_;
  const model::OpenDeclaration& d_;
  bool silent_ = false;
  Progress* progress_ = &Progress::none();  // of the current run
  ValidationResult r_;
  std::vector<Person> persons_;
  std::map<std::string, std::string> taxTotals_;
  std::optional<std::set<std::string>> essalud_;
  std::optional<model::LabourPeriods> periods_;
  // Whether the rules of the last run read the declaration as the save stores it.
  bool readsAsStored();
  std::vector<ShownMessage> warnings_;  // of a silent run
  // Of the last loadPersons: amounts that read back as the same value once stored, the codes of
  // concept rows that declare nothing and the 0807 rows without amounts (person, base).
  bool asStored_ = true;
  std::set<std::string> blankCodes_;
  std::vector<std::pair<std::size_t, std::string>> dropped0807_;
  // Whether the last loadPersons took the concept rows from the computation that stored them.
  bool heldRead_ = false;
  struct ConceptSink;
  // The concept rows the computation holds, put in the persons' shape on another thread while the
  // first rules read the tables; loadPersons takes them (or prepares them then).
  struct HeldConcepts;
  std::shared_ptr<HeldConcepts> heldConcepts_;
  void prepareHeldConcepts();
  friend struct ValidatorPersonsProbe;  // the tests' view of the persons loaded
};

// The column labels of the grid as the messages of one rule spell them.
std::string columnLabel(const TaxColumn& column, int rule);

}  // namespace korventa::determination
