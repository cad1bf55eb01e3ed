#include "detail/third_parties.h"

#include "common/text.h"
#include "common/vb_format.h"

namespace korventa::detail {

ThirdPartyForm::ThirdPartyForm(Session& session, const model::OpenDeclaration& decl) : session_(session), decl_(decl) {}

void ThirdPartyForm::load() {
  auto& db = session_.database();
  persons_.clear();
  for (const auto& r :
       db.rows("SELECT CORREL_A, tip_doc_a, DOC_ID_A, NOMBRE, TIP_DOC FROM TEMP2_F601 ORDER BY NOMBRE")) {
    ThirdPartyPerson p;
    p.key = PersonKey{r.integer(0), static_cast<int>(r.integer(1)), r.text(2), kThirdParty};
    p.nombre = r.text(3);
    p.tipDoc = r.text(4);
    persons_.push_back(std::move(p));
  }
  rucs_.clear();
  for (const auto& r : db.rows("SELECT DISTINCT doc_ruc_emp FROM LOCAL WHERE tip_doc_d = 6 AND doc_id_d = ? AND "
                               "doc_id_d = doc_ruc_emp ORDER BY doc_ruc_emp",
                               {decl_.ruc}))
    rucs_.push_back({r.text(0), r.text(0)});
  if (person_ >= static_cast<int>(persons_.size())) person_ = -1;
}

int ThirdPartyForm::choosePerson(const PersonKey& key) {
  for (std::size_t i = 0; i < persons_.size(); ++i) {
    const auto& k = persons_[i].key;
    if (k.correl_a == key.correl_a && k.tip_doc_a == key.tip_doc_a && k.doc_id_a == key.doc_id_a) {
      choosePerson(static_cast<int>(i));
      return static_cast<int>(i);
    }
  }
  return -1;
}

void ThirdPartyForm::choosePerson(int index) {
  person_ = index >= 0 && index < static_cast<int>(persons_.size()) ? index : -1;
  ruc_.clear();
  codEst_.clear();
  correlTasa_.clear();
  establishments_.clear();
  rates_.clear();
  rem_.clear();
  sctr_.clear();
  if (person_ < 0) return;
  const auto& k = persons_[static_cast<std::size_t>(person_)].key;
  auto r = session_.database().row(
      "SELECT Ruc, Correl_centro, Correl_tasa, rem_sctrs FROM TEMP2_F601 WHERE CORREL_A = ? "
      "AND tip_doc_a = ? AND DOC_ID_A = ?",
      {k.correl_a, k.tip_doc_a, k.doc_id_a});
  if (!r) return;
  chooseRuc(text::trim(r->text(0)));
  chooseEstablishment(r->text(1));
  chooseRate(r->text(2));
  setRemuneration(r->text(3));
}

void ThirdPartyForm::chooseRuc(const std::string& ruc) {
  ruc_.clear();
  codEst_.clear();
  correlTasa_.clear();
  establishments_.clear();
  rates_.clear();
  for (const auto& c : rucs_)
    if (c.code == ruc) ruc_ = ruc;
  if (ruc_.empty()) return recomputeAmount();
  // Risk establishments of that RUC that have rates.
  for (const auto& r : session_.database().rows(
           "SELECT l.cod_est, l.nom_est FROM LOCAL l WHERE l.tip_doc_d = 6 AND l.doc_id_d = ? AND l.doc_ruc_emp = ? "
           "AND "
           "l.IND_SCTR = 1 AND EXISTS (SELECT 1 FROM COR_TASAS_601 c WHERE c.tip_doc_d = 6 AND c.doc_id_d = l.doc_id_d "
           "AND c.doc_ruc_emp = l.doc_ruc_emp AND c.cod_est = l.cod_est) ORDER BY l.cod_est",
           {decl_.ruc, ruc_}))
    establishments_.push_back({r.text(0), vbFormat(r.integer(0), "0000") + " - " + r.text(1)});
  recomputeAmount();
}

void ThirdPartyForm::chooseEstablishment(const std::string& codEst) {
  codEst_.clear();
  correlTasa_.clear();
  rates_.clear();
  for (const auto& e : establishments_)
    if (e.code == text::trim(codEst)) codEst_ = e.code;
  if (!codEst_.empty())
    for (const auto& r : session_.database().rows(
             "SELECT tasa, correl_tasa FROM COR_TASAS_601 WHERE tip_doc_d = 6 AND doc_id_d = ? AND doc_ruc_emp = ? AND "
             "cod_est = ? ORDER BY tasa ASC",
             {decl_.ruc, ruc_, std::stoll(codEst_)}))
      rates_.push_back({r.text(1), vbFormatText(text::trim(r.text(0)), "#0.00")});
  recomputeAmount();
}

void ThirdPartyForm::chooseRate(const std::string& correlTasa) {
  correlTasa_.clear();
  for (const auto& r : rates_)
    if (r.code == text::trim(correlTasa)) correlTasa_ = r.code;
  recomputeAmount();
}

void ThirdPartyForm::setRemuneration(std::string t) {
  rem_ = text::trim(t);
  recomputeAmount();
}

std::string ThirdPartyForm::rateText() const {
  for (const auto& r : rates_)
    if (r.code == correlTasa_) return r.text;
  return {};
}

void ThirdPartyForm::recomputeAmount() {
  auto rem = Money::parse(rem_);
  if (!rem) {
    sctr_.clear();
    return;
  }
  sctr_ = vbFormat(percentOfRate(rem->rounded(2), Money::value(rateText())), "######0.00");
}

Outcome ThirdPartyForm::save() {
  auto& m = session_.msg();
  if (person_ < 0) return Outcome{false, "CmbNombres"};
  if (ruc_.empty()) return refuse(m, "Debe Seleccionar RUC", "CmbRuc");
  if (codEst_.empty()) return refuse(m, "Debe Seleccionar Código", "CmbCorrelativo");
  if (correlTasa_.empty()) return refuse(m, "Debe Seleccionar tasa", "CmbTasas");
  auto& db = session_.database();
  const auto k = persons_[static_cast<std::size_t>(person_)].key;
  std::string centro = db.text("SELECT nom_est FROM LOCAL WHERE tip_doc_d = 6 AND doc_id_d = ? AND cod_est = ?",
                               {decl_.ruc, std::stoll(codEst_)});
  auto rem = Money::parse(rem_);
  data::Transaction tx(db);
  db.run(
      "UPDATE TEMP2_F601 SET Ruc = ?, centro = ?, Tasa = ?, rem_sctrs = ?, sctrs = ?, Correl_centro = ?, "
      "Correl_tasa = ? WHERE CORREL_A = ? AND tip_doc_a = ? AND DOC_ID_A = ?",
      {ruc_, centro, rateText(), rem ? vbFormat(*rem, "########0.00") : std::string(), sctr_, std::stoll(codEst_),
       std::stoll(correlTasa_), k.correl_a, k.tip_doc_a, k.doc_id_a});
  tx.commit();
  load();
  choosePerson(k);
  return Outcome::success();
}

}  // namespace korventa::detail
