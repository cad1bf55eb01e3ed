#include "import/import_form.h"

#include <algorithm>
#include <system_error>

#include "common/text.h"
#include "data/db_errors.h"
#include "import/error_listing.h"

namespace korventa::import {

std::string resultLine(const FileResult& r) {
  std::string line = r.file.filename().string() + ": ";
  if (r.refused) return line + "no transferido";
  line += std::to_string(r.transferred) + " transferidos, " + std::to_string(r.rejected) + " rechazados";
  if (r.skipped) line += ", " + std::to_string(r.skipped) + " omitidos";
  return line;
}

void reportTechnicalError(Messenger& m, const std::exception& e) {
  m.critical(std::string("Error Tecnico:") + e.what(), "Error");
}

namespace {

std::string upper(std::string s) {
  for (auto& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

}  // namespace

ImportForm::ImportForm(Session& session, const model::OpenDeclaration& decl, Form form, int category)
    : s_(session), d_(decl), form_(form), category_(category), kinds_(kindsOf(form, category)) {}

std::string ImportForm::caption() const {
  switch (form_) {
    case Form::TranPer:
      return category_ == kPensioner ? "Detalle de pensiones" : "Detalle de remuneración";
    case Form::Transferencia:
      return category_ == kTrainee ? "Importación de pagos de modalidad formativa"
                                   : "Importación de comprobantes de cuarta categoría";
    case Form::ImportMF:
      return "Importación de modalidad formativa";
    case Form::TransPT:
      return "Importación de personal de terceros - SCTR";
  }
  return {};
}

std::string ImportForm::pattern() const {
  if (form_ == Form::TranPer) return category_ == kPensioner ? "*.PEN" : "*.JOR;*.TES;*.SUB;*.NOT;*.REM";
  std::string p;
  for (Kind k : kinds_) {
    if (!p.empty()) p += "; ";
    p += expectedFileName(k);
  }
  return p;
}

std::string ImportForm::expectedFileName(Kind kind) const {
  return importFileName(d_.ruc, d_.periodo, kind);
}

void ImportForm::setDirectory(const std::filesystem::path& dir) {
  dir_ = dir;
  files_.clear();
  std::error_code ec;
  std::vector<std::string> names;
  for (auto it = std::filesystem::directory_iterator(dir, ec); !ec && it != std::filesystem::directory_iterator();
       it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  for (Kind k : kinds_) checked_[k] = false;
  for (const auto& n : names) {
    std::string u = upper(n);
    for (Kind k : kinds_) {
      // The run takes the file named after the declaration.
      bool own = isImportFileName(n, d_.ruc, d_.periodo, k);
      std::string ext = "." + upper(info(k).extension);
      // frmTranPer lists every file of its extensions; the other forms only the declaration's.
      bool listed = form_ == Form::TranPer
                        ? u.size() >= ext.size() && u.compare(u.size() - ext.size(), ext.size(), ext) == 0
                        : own;
      if (listed) {
        if (std::find(files_.begin(), files_.end(), n) == files_.end()) files_.push_back(n);
        if (own) checked_[k] = true;
      }
    }
  }
}

bool ImportForm::checked(Kind kind) const {
  auto it = checked_.find(kind);
  return it != checked_.end() && it->second;
}

void ImportForm::resetCounts() {
  listings_.clear();
  transferidos_ = "0";
  rechazados_ = "0";
  resultado_.clear();
  totalTransferred_ = totalRejected_ = 0;
}

std::vector<FileResult> ImportForm::cmdTransferir_Click(Progress& progress) {
  std::vector<FileResult> results;
  resetCounts();
  cancelled_ = false;
  bool any = std::any_of(kinds_.begin(), kinds_.end(), [&](Kind k) { return checked(k); });
  if (!any) {
    s_.msg().critical("Debe seleccionar por lo menos un archivo a importar", "Mensaje");
    return results;
  }
  Importer importer(s_, d_, form_, workDir_);
  try {
    // Each file is a savepoint of the run's transaction: a failed file goes alone, a cancelled
    // run takes the files before it along.
    data::Transaction run(s_.database());
    for (Kind k : kinds_) {
      if (!checked(k)) continue;
      // The file on disk may differ in case from the expected name.
      std::filesystem::path file = dir_ / expectedFileName(k);
      for (const auto& n : files_)
        if (isImportFileName(n, d_.ruc, d_.periodo, k)) file = dir_ / n;
      FileResult r = importer.importFile(k, file, progress);
      reportResult(r);
      results.push_back(std::move(r));
    }
    run.commit();
  } catch (const Cancelled&) {
    cancelled_ = true;
    results.clear();
    resetCounts();
    if (countsChanged) countsChanged();
    s_.msg().info(kCancelledText, "Mensaje");
  } catch (const data::DbError& e) {
    // The commit of the run itself failed: nothing of it stayed.
    results.clear();
    resetCounts();
    if (countsChanged) countsChanged();
    data::MensajeErrorBD(s_.msg(), e);
  }
  return results;
}

void ImportForm::reportResult(const FileResult& r) {
  if (r.refused) {
    // A refused file adds nothing; the totals of the files before it stay up.
    if (totalTransferred_ == 0 && totalRejected_ == 0) {
      transferidos_ = "0          Registros Transferidos";
      rechazados_ = "0          Registros Rechazados";
    }
    if (countsChanged) countsChanged();
    return;
  }
  totalTransferred_ += r.transferred;
  totalRejected_ += r.rejected;
  transferidos_ = std::to_string(totalTransferred_) + " Transferidos";
  rechazados_ = std::to_string(totalRejected_) + " Rechazados";
  if (form_ == Form::Transferencia && r.kind == Kind::Cuarta)
    resultado_ = "Independientes : " + std::to_string(r.providers);
  if (form_ == Form::ImportMF) resultado_ = "Número de Registros : " + std::to_string(totalTransferred_);
  if (countsChanged) countsChanged();
  std::string name = r.file.filename().string();
  if (r.rejected == 0) {
    s_.msg().info("Archivo : " + name + " transferido", "Mensaje");
    return;
  }
  // Several files may be asked about in one run: each question names its file.
  std::string question =
      form_ == Form::Transferencia
          ? name + ": !Algunos registros han sido rechazados!\nVerifique Archivo Log: " + r.logFile.string() +
                "\n¿Desea visualizar reporte de errores?"
          : name + ": ¡Algunos registros han sido rechazados!\n¿Desea visualizar reporte de errores?";
  if (!s_.msg().yesNo(question, "Confirmar")) return;
  try {
    auto path = printErrorListing(s_, d_, r.errFile, info(r.kind).spool);
    if (!path) return;
    listings_.push_back(*path);
    if (showListing) showListing(*path);
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(s_.msg(), e);
  } catch (const std::exception& e) {
    reportTechnicalError(s_.msg(), e);
  }
}

}  // namespace korventa::import
