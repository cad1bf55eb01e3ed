#include "detail/concept_form.h"

#include <algorithm>
#include <stdexcept>

#include "common/text.h"
#include "common/vb_format.h"
#include "detail/amount_entry.h"
#include "model/person_data.h"

namespace korventa::detail {

using model::ConceptRow;

namespace {

using text::blank;

std::string sumText(const std::vector<const std::string*>& amounts, const char* pattern) {
  Money sum;
  bool any = false;
  for (const auto* a : amounts) {
    if (blank(*a)) continue;
    sum += Money::value(*a).rounded(2);
    any = true;
  }
  return any ? vbFormat(sum, pattern) : std::string();
}

}  // namespace

ConceptForm::ConceptForm(Session& session, const model::OpenDeclaration& decl, const PersonKey& person)
    : session_(session), decl_(decl), key_(person) {}

ConceptForm::~ConceptForm() = default;

void ConceptForm::load() {
  auto& db = session_.database();
  computation_ = std::make_unique<determination::Computation>(db, decl_);
  auto persons = model::loadPersons(db, decl_.ruc, key_);
  if (persons.empty()) throw std::runtime_error("La persona " + key_.doc_id_a + " no está en la declaración.");
  person_ = std::move(persons.front());

  // CargaConcep: the group headings; "0600" names the person's category and only workers and
  // pensioners see it.
  groups_.clear();
  for (const auto& r : db.rows("SELECT Codigo, Descripc FROM CONCEPTOS_REM WHERE substr(Codigo, 3, 2) = '00' "
                               "ORDER BY Codigo")) {
    std::string code = text::trim(r.text(0));
    std::string descr = r.text(1);
    if (code == "0600") {
      if (key_.cod_cat_tra != kWorker && key_.cod_cat_tra != kPensioner) continue;
      descr = workerCaption();
    }
    groups_.push_back({code.substr(0, 2), code + "  " + descr});
  }
  for (int i = 0; i < determination::kWorkerPanelSize; ++i) worker_[i].code = determination::workerPanelCode(i);
  for (int j = 0; j < determination::kEmployerPanelSize; ++j) employer_[j].code = determination::employerPanelCode(j);
  auto label = [&](Box& b) {
    b.label = b.code;
    for (const auto& d : computation_->context().catalogue)
      if (d.codigo == b.code) b.label = d.codigo + " " + d.descrip;
  };
  for (auto& b : worker_) label(b);
  for (auto& b : employer_) label(b);
  applyRules();
}

std::string ConceptForm::personLabel() const {
  std::string name = session_.database().text(
      "SELECT Nombre FROM TEMP1_F601 WHERE Correl_a = ? AND tip_doc_a = ? AND doc_id_a = ? AND cod_cat_tra = ?",
      {key_.correl_a, key_.tip_doc_a, key_.doc_id_a, key_.cod_cat_tra});
  return text::trim(key_.doc_id_a + "  " + text::trim(name));
}

std::string ConceptForm::workerCaption() const {
  return key_.cod_cat_tra == kPensioner ? "APORTACIONES DEL PENSIONISTA" : "APORTACIONES DEL TRABAJADOR";
}

void ConceptForm::chooseGroup(std::string_view item) {
  std::string g = text::left(text::trim(item), 2);
  group_ = g;
}

ConceptForm::Frame ConceptForm::frame() const {
  if (group_.empty()) return Frame::None;
  if (group_ == "06") return Frame::Worker;
  if (group_ == "08") return Frame::Employer;
  return Frame::Grid;
}

std::vector<std::size_t> ConceptForm::gridRows() const {
  std::vector<std::size_t> out;
  if (frame() != Frame::Grid) return out;
  for (std::size_t i = 0; i < person_.concepts.size(); ++i)
    if (person_.concepts[i].group() == group_) out.push_back(i);
  std::sort(out.begin(), out.end(),
            [&](std::size_t a, std::size_t b) { return person_.concepts[a].codigo < person_.concepts[b].codigo; });
  return out;
}

std::vector<ConceptForm::GridRow> ConceptForm::grid() const {
  std::vector<GridRow> out;
  for (std::size_t i : gridRows()) {
    const ConceptRow& r = person_.concepts[i];
    out.push_back({r.codigo, r.descrip, r.monto, r.monto_pag});
  }
  return out;
}

bool ConceptForm::cellEditable(int row, Column) const {
  auto rows = gridRows();
  if (row < 0 || static_cast<std::size_t>(row) >= rows.size()) return false;
  // Administrative service contracts are declared under 2040; 2039 stays closed for them.
  return !(person_.tipo == 67 && person_.concepts[rows[static_cast<std::size_t>(row)]].codigo == "2039");
}

bool ConceptForm::setCell(int row, Column column, std::string_view typed) {
  if (!cellEditable(row, column)) return false;
  std::string s = text::trim(typed);
  std::size_t point = s.find('.');
  for (std::size_t i = 0; i < s.size(); ++i)
    if (!(s[i] >= '0' && s[i] <= '9') && i != point) return false;
  if (point != std::string::npos && (point > kAmountIntegerDigits || s.size() - point - 1 > 2)) return false;
  ConceptRow& r = person_.concepts[gridRows()[static_cast<std::size_t>(row)]];
  (column == Column::Monto ? r.monto : r.monto_pag) = gridCellText(s);
  // Administrative service contracts declare accrued amounts only, except in 07, 10 and 20.
  if (person_.tipo == 67 && group_ != "07" && group_ != "10" && group_ != "20") r.monto_pag.clear();
  applyRules();
  return true;
}

std::string ConceptForm::totalMonto() const {
  std::vector<const std::string*> a;
  for (std::size_t i : gridRows()) a.push_back(&person_.concepts[i].monto);
  return sumText(a, "########0.00");
}

std::string ConceptForm::totalMontoPag() const {
  std::vector<const std::string*> a;
  for (std::size_t i : gridRows()) a.push_back(&person_.concepts[i].monto_pag);
  return sumText(a, "########0.00");
}

bool ConceptForm::showsTotalMonto() const {
  return frame() == Frame::Grid && group_ != "07";
}
bool ConceptForm::showsTotalMontoPag() const {
  return frame() == Frame::Grid && group_ != "10" && group_ != "20";
}

void ConceptForm::fillPanel(Box& box, const std::string& code) {
  const ConceptRow* row = person_.find(code);
  const determination::PanelRule* found = rules_.find(code);
  determination::PanelRule rule = found ? *found : determination::PanelRule{};
  box.exists = row != nullptr;
  box.visible = rule.visible;
  box.disabled = !box.exists || rule.disabled || !rule.visible;
  box.amountLocked = box.disabled || rule.amountComputed;
  box.hasBase = determination::hasBaseBox(code);
  box.baseLocked = box.disabled || !box.hasBase || rule.baseComputed;
  box.amount = row ? row->monto : std::string();
  box.base = row && box.hasBase ? row->base_calculo : std::string();
}

void ConceptForm::applyRules() {
  rules_ = computation_->compute(person_);
  for (auto& b : worker_) fillPanel(b, b.code);
  for (auto& b : employer_) fillPanel(b, b.code);
}

bool ConceptForm::setPanel(bool worker, int index, bool base, std::string_view typed) {
  Box* box = nullptr;
  if (worker && index >= 0 && index < determination::kWorkerPanelSize) box = &worker_[static_cast<std::size_t>(index)];
  if (!worker && index >= 0 && index < determination::kEmployerPanelSize)
    box = &employer_[static_cast<std::size_t>(index)];
  if (!box || (base ? box->baseLocked : box->amountLocked)) return false;
  std::string s = text::trim(typed);
  if (s != "." && !amountTextAllowed(s)) return false;
  ConceptRow* row = person_.find(box->code);
  if (!row) return false;
  if (base) {
    row->base_calculo = boxTextOnLeave(s);
  } else {
    row->monto = row->monto_pag = boxTextOnLeave(s);
  }
  applyRules();
  return true;
}

bool ConceptForm::setWorkerAmount(int i, std::string_view t) {
  return setPanel(true, i, false, t);
}
bool ConceptForm::setWorkerBase(int i, std::string_view t) {
  return setPanel(true, i, true, t);
}
bool ConceptForm::setEmployerAmount(int j, std::string_view t) {
  return setPanel(false, j, false, t);
}
bool ConceptForm::setEmployerBase(int j, std::string_view t) {
  return setPanel(false, j, true, t);
}

std::string ConceptForm::totalAport() const {
  std::vector<const std::string*> a;
  for (const auto& b : worker_) a.push_back(&b.amount);
  return sumText(a, "########0.00");
}

std::string ConceptForm::totalAportE() const {
  std::vector<const std::string*> a;
  for (const auto& b : employer_) a.push_back(&b.amount);
  return sumText(a, "########0.00");
}

void ConceptForm::accept() {
  // Codes without a base box never carry a base.
  for (const auto& b : worker_)
    if (!b.hasBase)
      if (auto* r = person_.find(b.code)) r->base_calculo.clear();
  for (const auto& b : employer_)
    if (!b.hasBase)
      if (auto* r = person_.find(b.code)) r->base_calculo.clear();
  // The rules once more, so that a forbidden code is cleared even if something was typed.
  applyRules();
  auto& db = session_.database();
  data::Transaction tx(db);
  std::vector<model::PersonData> one;
  one.push_back(std::move(person_));
  try {
    model::storePersons(db, one);
  } catch (...) {
    person_ = std::move(one.front());
    throw;
  }
  person_ = std::move(one.front());
  tx.commit();
}

}  // namespace korventa::detail
