#pragma once
// The import engine: one file of one kind into the working tables of the open declaration.
// The whole file is checked for its structure first (separators, terminators, text); then
// every line is validated field by field and either written or rejected. A rejected line goes
// to the ".Log" work file as read and, with the person's document and the message, to the
// ".Err" work file from which the error listing is printed. Each file runs in one transaction:
// a failure half-way leaves the working tables as they were before the file.
#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "common/progress.h"
#include "data/keys.h"
#include "data/session.h"
#include "model/open_declaration.h"
#include "model/person_data.h"
#include "import/import_file.h"
#include "import/import_kinds.h"

namespace korventa::import {

struct LineError {
  std::size_t line = 0;  // 1-based line of the file
  std::string tipDoc, docId, code, message;
};

struct FileResult {
  Kind kind = Kind::Rem;
  std::filesystem::path file;
  // The file was not imported at all (missing, not text, wrong structure, technical error);
  // the reason was shown and is kept here.
  bool refused = false;
  std::string refusal;
  int transferred = 0;
  int rejected = 0;
  int skipped = 0;                // lines of workers whose type or situation takes no such data
  int providers = 0;              // ".4ta": providers that received receipts
  std::vector<LineError> errors;  // the first kMaxKeptErrors rejections (all are in the ".Err" file)
  std::filesystem::path logFile, errFile;
  std::vector<PersonKey> affected;  // workers and pensioners whose data changed
};

inline constexpr std::size_t kMaxKeptErrors = 10000;

class Importer {
 public:
  // `workDir` holds the ".Log" and ".Err" files; empty = the session's temporary folder.
  Importer(Session& session, const model::OpenDeclaration& decl, Form form, std::filesystem::path workDir = {});
  ~Importer();
  Importer(const Importer&) = delete;
  Importer& operator=(const Importer&) = delete;

  // Imports one file. Refusals ("El archivo de importación no tiene el número de campos
  // correctos", "Cada línea del archivo debe terminar con el separador |", a missing file, a
  // file that is not text, a technical error) are shown through the session's messenger. The
  // lines are counted on `progress`; a cancellation rolls the file back and throws Cancelled.
  FileResult importFile(Kind kind, const std::filesystem::path& file, Progress& progress = Progress::none());
  // The same on a file already read (readImportFile, ReadAhead).
  FileResult importRead(Kind kind, ImportText text, const std::filesystem::path& file,
                        Progress& progress = Progress::none());
  // The same on the bytes of a file (`name` as its file name).
  FileResult importBytes(Kind kind, std::string bytes, const std::string& name, Progress& progress = Progress::none());

  // Concept rows of ".rem" and ".pen" files that are new to the working set are kept in memory
  // instead of written, for the computation that follows (recomputeAfterImport) to write them
  // once with their bases. Whoever turns this on must hand them over, or they are lost.
  void deferNewConceptRows(bool on = true);
  // The rows kept so far, in the order they were read; the importer keeps none afterwards.
  model::ImportedConcepts takeNewConceptRows();

  const std::filesystem::path& workDir() const { return workDir_; }
  std::filesystem::path errFile() const;  // period + ".Err"

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::filesystem::path workDir_;
};

// The persons of several results, once each.
std::vector<PersonKey> affectedPersons(const std::vector<FileResult>& results);

// After an import: the affected workers and pensioners are computed again, the others left as
// they are (so that the save rewrites only the persons the files touched).
void recomputeAfterImport(Session& session, const model::OpenDeclaration& decl, const std::vector<PersonKey>& affected,
                          Progress& progress = Progress::none());
// The same, writing the concept rows the importers kept (deferNewConceptRows) with their bases;
// `savedAndClosed` when the working set is only saved and closed afterwards.
void recomputeAfterImport(Session& session, const model::OpenDeclaration& decl, const std::vector<PersonKey>& affected,
                          model::ImportedConcepts newRows, Progress& progress = Progress::none(),
                          bool savedAndClosed = false);

}  // namespace korventa::import
