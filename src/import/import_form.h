#pragma once
// The controller of the import forms frmTranPer (workers and pensioners), frmTransferencia
// (providers' receipts, trainees' payments), frm0601ImportMF (trainees' amounts and premises)
// and frmTransPT (personnel of third parties): the directory and its files of the category, the
// kinds to import, the run in its order with the counters, the result question and the error
// listing. The dialogs bind widgets to it; the command line uses it as well.
#include <exception>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "data/session.h"
#include "model/open_declaration.h"
#include "import/import_kinds.h"
#include "import/importer.h"

namespace korventa::import {

// Why an import form cannot open.
inline constexpr const char* kImportNeedsDeclaration = "Debe abrir una declaración antes de importar archivos.";
// A failure of an import that is not the database's: "Error Tecnico:" and its text, titled "Error".
void reportTechnicalError(Messenger& m, const std::exception& e);
// The line of a file in the form's result list: "NAME: no transferido", or "NAME: 3 transferidos,
// 1 rechazados" with ", 2 omitidos" when lines were skipped.
std::string resultLine(const FileResult& r);

class ImportForm {
 public:
  ImportForm(Session& session, const model::OpenDeclaration& decl, Form form, int category);

  Form form() const { return form_; }
  int category() const { return category_; }
  std::string caption() const;
  // Pattern of the file list: "*.JOR;*.TES;*.SUB;*.NOT;*.REM" for workers, "*.PEN" for
  // pensioners; the exact file names for the other forms.
  std::string pattern() const;
  // The kinds the form offers, in the order a run imports them.
  const std::vector<Kind>& kinds() const { return kinds_; }
  std::string expectedFileName(Kind kind) const;

  // Choosing the directory refreshes the file list and ticks the kinds whose file is there.
  void setDirectory(const std::filesystem::path& dir);
  const std::filesystem::path& directory() const { return dir_; }
  // Import files of the declaration's RUC and period found in the directory (names as on disk).
  const std::vector<std::string>& files() const { return files_; }
  void setChecked(Kind kind, bool on) { checked_[kind] = on; }
  bool checked(Kind kind) const;

  // Folder of the ".Log" and ".Err" work files (default: the session's temporary folder).
  void setWorkDir(std::filesystem::path dir) { workDir_ = std::move(dir); }

  // What shows the error listing once it is written (the forms: the preview). Without it the
  // listing is only written.
  std::function<void(const std::filesystem::path&)> showListing;

  // Called after each file, once the counters include it and before its message or question,
  // so that a form shows them as the run goes.
  std::function<void()> countsChanged;

  // cmdTransferir: imports the ticked kinds in order, one transaction per file, each followed
  // by its result message or question naming the file (and on Yes the listing). Returns the
  // results per file. The run as a whole is one transaction too: cancelled on `progress`, every
  // file of it is rolled back, the counters go back to 0 and no results come back.
  std::vector<FileResult> cmdTransferir_Click(Progress& progress = Progress::none());
  // Whether the last run was cancelled.
  bool cancelled() const { return cancelled_; }

  // lblTransferidos, lblRechazados: the totals of the files imported so far in the run.
  const std::string& lblTransferidos() const { return transferidos_; }
  const std::string& lblRechazados() const { return rechazados_; }
  // Further result label: "Independientes : n" (frmTransferencia, providers) or "Número de
  // Registros : n" (frm0601ImportMF, all its files); empty for the other forms.
  const std::string& lblResultado() const { return resultado_; }
  // The listings written in the last run.
  const std::vector<std::filesystem::path>& listings() const { return listings_; }

 private:
  void reportResult(const FileResult& r);
  void resetCounts();

  Session& s_;
  const model::OpenDeclaration& d_;
  Form form_;
  int category_;
  std::vector<Kind> kinds_;
  std::filesystem::path dir_, workDir_;
  std::vector<std::string> files_;
  std::map<Kind, bool> checked_;
  std::string transferidos_ = "0", rechazados_ = "0", resultado_;
  int totalTransferred_ = 0, totalRejected_ = 0;
  bool cancelled_ = false;
  std::vector<std::filesystem::path> listings_;
};

}  // namespace korventa::import
