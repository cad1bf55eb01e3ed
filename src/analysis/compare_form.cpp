#include "analysis/compare_form.h"

#include "common/dates.h"
#include "common/text.h"
#include "reports/print_outcome.h"
#include "reports/report_reader.h"

namespace korventa::analysis {
namespace {

constexpr const char* kTitle = "Comparar declaraciones";

}  // namespace

CompareForm::CompareForm(Session& session, printouts::DeclarationRef current, bool unsaved)
    : s_(session), current_(std::move(current)), unsaved_(unsaved) {
  otherPeriod = periodToDisplay(previousPeriod(current_.periodo));
}

const CompareCaptions& CompareForm::captions() {
  static const CompareCaptions c;
  return c;
}

std::string CompareForm::caption() const {
  return "Comparar la declaración " + declarationText(current_) + " - RUC " + current_.ruc;
}

std::string CompareForm::note() const {
  std::string t = "Se compara la declaración grabada.";
  if (unsaved_) t += " Los cambios aún no guardados no se consideran: guarde la declaración antes de comparar.";
  return t;
}

std::string CompareForm::tabCaption(int tab) const {
  static const char* names[] = {"Ingresaron", "Salieron", "Cambiaron", "Casillas"};
  if (tab < 0 || tab > 3) return {};
  std::string t = names[tab];
  if (!result_) return t;
  std::size_t n = tab == 3 ? result_->boxes.size()
                           : result_
                                 ->withState(tab == 0   ? PersonState::Entered
                                             : tab == 1 ? PersonState::Left
                                                        : PersonState::Changed)
                                 .size();
  return t + " (" + std::to_string(n) + ")";
}

bool CompareForm::comparar() {
  focus.clear();
  auto& m = s_.msg();
  std::string period = periodFromDisplay(text::trim(otherPeriod));
  if (!isPeriod(period)) {
    m.critical("El período no es válido.", kTitle);
    focus = "MkePeriodo";
    return false;
  }
  std::string correl = text::trim(otherCorrel);
  if (!correl.empty() && !text::isDigits(correl)) {
    m.critical("El correlativo de la declaración enviada no es válido.", kTitle);
    focus = "TxtCorrel";
    return false;
  }
  auto amount = Money::parse(text::trim(threshold));
  if (!amount || amount->isNegative()) {
    m.critical("El umbral debe ser un importe no negativo.", kTitle);
    focus = "TxtUmbral";
    return false;
  }
  ComparisonRequest req;
  req.current = current_;
  req.other = {current_.ruc, period, correl};
  req.threshold = *amount;
  result_ = compareDeclarations(s_, req);
  if (!result_) focus = correl.empty() ? "MkePeriodo" : "TxtCorrel";
  return result_.has_value();
}

ComparisonListing CompareForm::listing(int tab) const {
  if (!result_) return {};
  switch (tab) {
    case 0:
      return personListing(*result_, PersonState::Entered);
    case 1:
      return personListing(*result_, PersonState::Left);
    case 2:
      return personListing(*result_, PersonState::Changed);
    default:
      return boxListing(*result_);
  }
}

std::string CompareForm::summary() const {
  if (!result_) return {};
  return comparisonTitle(*result_) + ": " + comparisonSummary(*result_);
}

std::string CompareForm::proposedFile(const std::string& extension) const {
  std::string other = result_ ? result_->other.ref.periodo : previousPeriod(current_.periodo);
  return "COMPARA_" + current_.ruc + "_" + current_.periodo + "_" + other + "." + extension;
}

bool CompareForm::exportWorkbook(const std::filesystem::path& file) {
  if (!result_) return false;
  if (!writeComparisonWorkbook(*result_, file)) {
    s_.msg().critical("No se pudo grabar el libro " + file.string(), kTitle);
    return false;
  }
  s_.msg().info("Comparación exportada en " + file.string(), kTitle);
  return true;
}

std::optional<reports::Document> CompareForm::pdfDocument() {
  if (!result_) return std::nullopt;
  auto prn = comparisonReportFile(s_, *result_);
  return reports::pDesencripta(prn, "IMPRIMIR", reports::PageRange{}, s_.msg());
}

void CompareForm::pdfWritten(const std::filesystem::path& file, bool ok, const std::string& error) {
  if (ok)
    reports::reportSaved(s_.msg(), file.string());
  else
    reports::reportSaveFailed(s_.msg(), error);
}

}  // namespace korventa::analysis
