#pragma once
// The import engine's state, shared by the driver (importer.cpp), the lookups it reads once
// (importer_lookups.cpp) and the line validators, one file per kind (lines_*.cpp).
#include "import/importer.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

#include "common/dates.h"
#include "common/money.h"
#include "common/text.h"
#include "common/vb_format.h"
#include "data/database.h"
#include "data/param.h"
#include "data/servicios_comunes.h"
#include "data/working_tables.h"
#include "declaration/tables.h"
#include "detail/days_hours.h"
#include "detail/detail_support.h"
#include "detail/suspensions.h"
#include "determination/concept_rules.h"
#include "determination/declaration_computation.h"
#include "import/import_checks.h"
#include "import/import_errors.h"
#include "import/import_file.h"
#include "import/rowid_table.h"

namespace korventa::import {

// Worker types and situations that take no hours, suspensions or establishments.
inline bool noWorkDataType(std::string_view tipo) {
  return tipo == "24" || tipo == "26" || tipo == "66" || tipo == "98" || tipo == "88";
}
inline bool noSubsidyType(std::string_view tipo) {
  return noWorkDataType(tipo) || tipo == "68" || tipo == "69";
}
inline bool inactiveSituation(std::string_view situac) {
  return situac == "18" || situac == "19";
}

// A worker or pensioner of the working set.
struct Worker {
  PersonKey key;
  std::int64_t rowid = 0;
  std::string tipo, situac, domicilio;
  int tipoNumber = 0;  // `tipo` as a number
  int pension = 0;
  int sctr = 0;
  int sctrPension = 0;
};

// A person of the registry (providers, trainees) or of a working table of another category.
struct Registered {
  PersonKey key;
  std::string apellidoP, apellidoM, nombre, domicilio, rucCta;
};

inline std::string personIndex(int tipDoc, std::string_view docId, int category) {
  std::string k = std::to_string(tipDoc);
  k += '|';
  k += docId;
  k += '|';
  k += static_cast<char>('0' + category);
  return k;
}

struct Local {
  std::int64_t codEst = 0;
  std::string nombre, rucEmp, tipest;
};

struct Rate {
  std::string rucEmp;
  std::int64_t codEst = 0;
  std::int64_t correl = 0;
  Money tasa;
  std::string text;
};

inline std::string two(std::string_view code) {
  return code.size() == 1 ? "0" + std::string(code) : std::string(code);
}

// The number of a code of four digits (checked by the caller): "0605" → 605.
inline int fourDigitNumber(std::string_view code) {
  return (code[0] - '0') * 1000 + (code[1] - '0') * 100 + (code[2] - '0') * 10 + (code[3] - '0');
}

inline std::int64_t toInt64(std::string_view v) {
  try {
    return std::stoll(std::string(v));
  } catch (...) {
    return -1;
  }
}

struct Importer::Impl {
  Session& s;
  const model::OpenDeclaration& d;
  Form form;
  data::Database& db;
  ErrorCatalog errors;
  std::unordered_map<int, data::DocumentType> docTypes;

  // Lookups read once per importer, the first time a kind needs them.
  bool workersLoaded = false;
  std::unordered_map<std::string, Worker> workers;
  // The worker found last, for the next lines of the same person.
  struct LastWorker {
    int tipDoc = 0, category = 0;
    std::string docId;
    const Worker* worker = nullptr;
  } lastWorker;
  bool conceptsLoaded = false;
  std::vector<bool> conceptOffered;  // by the number of the four-digit code
  std::unordered_map<std::string, std::string> conceptNames;
  determination::ConceptTypes conceptTypes;
  // ExisteTipoConcepto in this period, remembered by worker type and code number (-1: not yet
  // asked); the type asked last is kept at hand for the next lines of the same worker.
  std::map<int, std::vector<signed char>> typeConcepts;
  struct {
    int tipo = -1;
    std::vector<signed char>* codes = nullptr;
  } lastType;
  bool typeTakesConcept(int tipo, int codeNumber, std::string_view code);
  // The document of the ".rem" or ".pen" line before, with what document() said of it: a file
  // brings a person's lines one after another.
  struct {
    bool valid = false;
    std::string type, number, code;
    int tipDoc = 0;
  } lastDocument;
  bool senati = false;
  bool localsLoaded = false;
  std::vector<Local> locals;
  std::vector<Rate> rates;
  std::set<std::string> intermediation;             // RUCs of tipo 1
  std::set<std::string> subsidised, notSubsidised;  // suspension types of list 233
  bool registeredLoaded[6] = {};
  std::unordered_map<std::string, Registered> registered;  // providers (3) and trainees (5)

  // Per file.
  FileResult* r = nullptr;
  Progress* progress = &Progress::none();
  std::ofstream log, err;
  std::filesystem::path workDir;
  std::set<std::pair<std::string, std::int64_t>> affectedSeen;
  std::optional<PersonKey> lastAffected;  // a file brings a person's lines one after another

  // The lookups and the work files (importer_lookups.cpp).
  Impl(Session& session, const model::OpenDeclaration& decl, Form f);
  void loadWorkers();

  // Rowids of the concept rows of a category, by person (correl_a) and concept; a kept row
  // (deferred) as -1 - its place in `newRows`.
  int conceptRowsCategory = 0;
  bool deferRows = false;
  std::vector<model::ImportedConcept> newRows;
  std::size_t newRowsAtStart = 0;  // rows kept before the current file
  struct Undo {
    std::size_t row;
    std::string monto, montoPag;
  };
  std::vector<Undo> newRowsUndo;  // amounts of earlier files' kept rows this file changed
  // A failed or cancelled file: what it kept or changed in memory goes with its rollback.
  void forgetFileRows();
  RowidTable conceptRows;
  // `row` is the lookup's entry for `key`, or null when the row is not there.
  void keepNewRow(const Worker& w, std::uint64_t key, std::int64_t* row, const std::string& code, std::string monto,
                  std::string montoPag);
  static std::uint64_t conceptKey(std::int64_t correl, int category, int codeNumber) {
    return (static_cast<std::uint64_t>(correl) << 20) | (static_cast<std::uint64_t>(category) << 16) |
           static_cast<std::uint64_t>(codeNumber);
  }
  static std::uint64_t conceptKey(std::int64_t correl, int category, std::string_view code) {
    return conceptKey(correl, category, determination::codeNumber(code));
  }
  void loadConceptRows(int category);
  void loadConcepts();
  void loadLocals();
  void loadRegistered(int category);
  const Worker* worker(int tipDoc, const std::string& docId, int category);
  const Local* local(std::int64_t codEst, std::string_view rucEmp = {});
  const Rate* rate(std::string_view rucEmp, std::int64_t codEst, Money tasa);
  void affected(const PersonKey& k);

  // Document type and number of fields 1 and 2; "" when both are valid. The type must be one of
  // list 044 valid in import files (position 68), the number valid for the type.
  std::string document(const std::vector<std::string>& f, int& tipDoc, const char* typeCode, const char* numberCode,
                       const char* emptyType = "0914", const char* emptyNumber = "0915");

  // GraboLog: the raw line to the ".Log" file, the document and message to the ".Err" file;
  // both are emptied at the first rejection of the file.
  void GraboLog(std::size_t lineNo, std::string_view raw, const std::vector<std::string>& f, const std::string& code);

  // ---- ".rem", ".pen" (lines_rem.cpp) -----------------------------------------------------------

  std::string lineRem(const std::vector<std::string>& f, int category);
  std::string remDocument(const std::vector<std::string>& f, int& tipDoc);

  // ---- ".jor" (lines_jor.cpp) -------------------------------------------------------------------

  // Returns "skip" for a worker whose type or situation takes no hours.
  std::string lineJor(const std::vector<std::string>& f);

  // ---- ".sub", ".not" (lines_suspension.cpp) ----------------------------------------------------

  bool overlaps(const Worker& w, const Date& start, const Date& end);
  bool cittTaken(const Worker& w, const std::string& citt);
  std::string lineSuspension(const std::vector<std::string>& f, bool sub);

  // ---- ".tes" (lines_tes.cpp) -------------------------------------------------------------------

  std::string lineTes(const std::vector<std::string>& f);

  // ---- ".4ta" (lines_cuarta.cpp) ----------------------------------------------------------------

  // The providers' receipts already in the declaration (imported, typed or stored), by provider,
  // series and number, with their issue dates; read once per file and kept up to date.
  bool receiptsLoaded = false;
  std::unordered_map<std::string, std::vector<std::string>> receipts;
  static std::string receiptKey(int tipDoc, std::string_view doc, std::string_view ser, std::string_view num) {
    return std::to_string(tipDoc) + '|' + std::string(doc) + '|' + std::string(ser) + '|' + std::string(num);
  }
  void loadReceipts();
  bool receiptExists(const Registered& p, const std::string& ser, const std::string& num, const std::string& emi,
                     bool& otherDate);
  void writeProviderHeader(const Registered& p, const std::string& retencion, int category);
  std::set<std::string> providersSeen;

  std::string lineCuarta(const std::vector<std::string>& f);

  // ---- ".for" of frmTransferencia (lines_trainee.cpp) -------------------------------------------

  std::string lineForTrans(const std::vector<std::string>& f);

  // ---- ".for", ".mfe" of frm0601ImportMF (lines_trainee.cpp) ------------------------------------

  std::optional<PersonKey> trainee(int tipDoc, const std::string& docId);
  std::string lineForMF(const std::vector<std::string>& f);
  std::string lineMfe(const std::vector<std::string>& f);

  // ---- ".sct" (lines_sct.cpp) -------------------------------------------------------------------

  std::string lineSct(const std::vector<std::string>& f);

  // ---- the file: structure, lines, work files (importer.cpp) ------------------------------------

  std::string line(Kind kind, const std::vector<std::string>& f);
  void terminatorMessage();

  // A new file: the per-file state starts again, `res` receives the counts.
  void startFile(FileResult& res, Kind kind, const std::filesystem::path& file);
  // Why the whole file is refused before any line is read (the reason was shown); none when
  // the file is readable text with the right separators and terminators.
  std::optional<std::string> structureProblem(Kind kind, const ImportText& text);
  // Every line validated and written or rejected, in one transaction.
  void importLines(Kind kind, const ImportText& text);
  FileResult run(Kind kind, ImportText text, const std::filesystem::path& file);
  void closeWorkFiles();
};

}  // namespace korventa::import
