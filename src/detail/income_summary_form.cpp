#include "detail/income_summary_form.h"

#include <map>
#include <stdexcept>

#include "common/text.h"
#include "common/vb_format.h"
#include "determination/declaration_computation.h"
#include "determination/computation.h"
#include "model/person_data.h"

namespace korventa::detail {

IncomeSummaryForm::IncomeSummaryForm(Session& session, const model::OpenDeclaration& decl, const PersonKey& person)
    : session_(session), decl_(decl), key_(person) {}

std::string IncomeSummaryForm::caption() const {
  return key_.cod_cat_tra == kPensioner ? "Pensionistas" : "Trabajadores";
}

void IncomeSummaryForm::load() {
  auto& db = session_.database();
  determination::Computation computation(db, decl_);
  auto persons = model::loadPersons(db, decl_.ruc, key_);
  if (persons.empty()) throw std::runtime_error("La persona " + key_.doc_id_a + " no está en la declaración.");
  model::PersonData& p = persons.front();
  computation.compute(p);
  summary = p.summary;

  razon = decl_.name;
  auto id = db.row("SELECT Nombre, tip_doc, doc_id_a FROM TEMP1_F601 WHERE rowid = ?", {p.rowid});
  nombre = id ? id->text(0) : std::string();
  tipoDoc = id && !text::trim(id->text(1)).empty() ? id->text(1) : std::to_string(key_.tip_doc_a);
  numDoc = key_.doc_id_a;

  // Group totals, accrued and paid; deductions (07) count their paid amounts in both.
  std::map<std::string, Money> accrued, paid;
  std::map<std::string, bool> hasAccrued, hasPaid;
  for (const auto& r : p.concepts) {
    std::string g = r.group();
    const std::string& a = g == "07" ? r.monto_pag : r.monto;
    if (!text::trim(a).empty()) {
      accrued[g] += Money::value(a).rounded(2);
      hasAccrued[g] = true;
    }
    if (!text::trim(r.monto_pag).empty()) {
      paid[g] += Money::value(r.monto_pag).rounded(2);
      hasPaid[g] = true;
    }
  }
  auto box = [](std::map<std::string, Money>& sums, std::map<std::string, bool>& has, const char* g) {
    return has[g] ? vbFormat(sums[g], "#########0.00") : std::string();
  };
  auto total = [](std::map<std::string, Money>& sums, std::map<std::string, bool>& has,
                  std::initializer_list<const char*> groups) {
    Money m;
    bool any = false;
    for (const char* g : groups) {
      m += sums[g];
      any = any || has[g];
    }
    return any ? vbFormat(m, "########0.00") : std::string();
  };
  const char* income[] = {"01", "02", "03", "04", "05", "20"};
  for (int i = 0; i < 6; ++i) {
    ingresos[i] = box(accrued, hasAccrued, income[i]);
    ingresosPag[i] = box(paid, hasPaid, income[i]);
  }
  const char* others[] = {"07", "10", "06", "09"};
  for (int i = 0; i < 4; ++i) {
    aportDescOtros[i] = box(accrued, hasAccrued, others[i]);
    aportDescOtrosPag[i] = box(paid, hasPaid, others[i]);
  }
  totalIng = total(accrued, hasAccrued, {"01", "02", "03", "04", "05", "09", "10", "20"});
  totalIngPag = total(paid, hasPaid, {"01", "02", "03", "04", "05", "09", "10", "20"});
  totalAporDesc = total(accrued, hasAccrued, {"07", "06"});
  totalAporDescPag = total(paid, hasPaid, {"07", "06"});
}

void IncomeSummaryForm::accept() {
  determination::recomputePerson(session_, decl_, key_);
}

}  // namespace korventa::detail
