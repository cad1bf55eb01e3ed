#pragma once
// "&Validar" of the declaration form (CmdValidar_Click): the rules of the open declaration in
// their order. Rules that stop show a critical message and end the run; inconsistencies are
// written one per line to the file "Mens.txt" and set the declaration's inconsistency flag;
// warnings are message boxes. The save runs a silent subset (saveChecks).
#include <filesystem>
#include <string>
#include <vector>

#include "data/session.h"
#include "declaration/open_declaration.h"
#include "determination/debt_grid.h"
#include "determination/seams.h"
#include "korventa_version.h"

namespace korventa::determination {

// Version of the parameter set this program was built for (list 856 must publish it).
inline constexpr const char* kVersionPrograma = KORVENTA_VERSION;

struct ValidationResult {
  bool stopped = false;            // a stopping rule ended the run (its message was shown)
  bool inconsistent = false;       // the inconsistency flag
  std::vector<std::string> lines;  // the lines of "Mens.txt"
  std::string stopMessage;
};

// The inconsistency file of the session's work folder.
std::filesystem::path mensPath(Session& session);

class Validacion {
 public:
  Validacion(Session& session, const declaration::OpenDeclaration& decl);
  ~Validacion();

  // CmdValidar_Click without the report form: every rule in order, "Mens.txt" written at `mens`
  // (created anew even when clean). When clean, "La declaración no presenta inconsistencias."
  // is shown; when inconsistent the caller shows the report (FrmConsist).
  ValidationResult CmdValidar_Click(const std::filesystem::path& mens);

  // The checks of the save, silent: labour periods and domicile (rules 7 to 12), the grid
  // (ValidaCasillasDetDeuda), ESSALUD coverage (Valida_0804), the totals of the tax boxes, and
  // the registry count comparison, which stops the save.
  SaveCheckResult saveChecks();

  // Single checks, usable on their own.
  bool ValidaCasillasDetDeuda(const DeterminacionDeuda& grid) const;  // true when consistent
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
  void loadPersons();
  bool header();                       // rules 1 to 5
  void labourPeriods();                // rules 6 to 12
  void otherPersons();                 // 13 to 16
  void concepts();                     // 17 to 27
  void Valida_0804();                  // 27
  void daysAndRegistry();              // 28 to 39
  void grid(DeterminacionDeuda& g);    // 40 to 51
  void taxTotals(const DeterminacionDeuda& g);  // 52
  void version();                      // 53
  std::string registryCountDifference();  // 55

  Session& s_;
  const declaration::OpenDeclaration& d_;
  bool silent_ = false;
  ValidationResult r_;
  std::vector<Person> persons_;
};

// The column labels of the grid as the messages of one rule spell them.
std::string columnLabel(const TaxColumn& column, int rule);

}  // namespace korventa::determination
