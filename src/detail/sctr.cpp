#include "detail/sctr.h"
#include "detail/establishments_form.h"

#include <algorithm>

#include "common/text.h"
#include "common/vb_format.h"
#include "data/param.h"

namespace korventa::detail {
namespace {

bool flagged(const std::string& affectation, std::size_t position) {
  return text::mid(affectation, position, 1) == "1";
}

std::string rateText(const std::string& stored) {
  return vbFormatText(text::trim(stored), "#0.00");
}

}  // namespace

std::optional<Money> CalcularTotal_806(data::Database& db, const std::string& ruc, const PersonKey& person) {
  Money general, own, deductions;
  bool any = false;
  for (const auto& r :
       db.rows("SELECT c.codigo, c.monto, c.monto_pag, p.FUNCION, t.afectacion FROM TMPF601CONCEP c "
               "LEFT JOIN PARAM_REMUNERA p ON p.CODIGO = c.codigo "
               "LEFT JOIN TRIBUT_AFECTA t ON t.tip_doc_d = 6 AND t.doc_id_d = ? AND t.codigo = c.codigo "
               "WHERE " +
                   personWhere("c") + " AND c.cod_cat_tra = 1",
               {ruc, person.correl_a, person.tip_doc_a, person.doc_id_a})) {
    std::string codigo = text::trim(r.text(0));
    std::string monto = text::trim(r.text(1)), pagado = text::trim(r.text(2));
    if (!monto.empty()) {
      Money m = Money::value(monto).rounded(2);
      if (flagged(r.text(3), 4)) general += m, any = true;
      if (flagged(r.text(4), 4)) own += m, any = true;
    }
    if ((codigo == "0704" || codigo == "0705" || codigo == "0707") && !pagado.empty())
      deductions += Money::value(pagado).rounded(2);
  }
  Money total = general;
  if (own > Money()) total += own;
  if (!any || total.isZero()) return std::nullopt;
  total -= deductions;
  return total.isNegative() ? Money() : total;
}

void updateAportEmp(data::Database& db, const PersonKey& person) {
  Money total;
  bool any = false;
  for (const auto& r :
       db.rows("SELECT monto FROM TMPF601CONCEP WHERE " + personWhere() +
                   " AND substr(codigo, 1, 2) = '08' AND cod_cat_tra = 1 AND COALESCE(TRIM(monto), '') <> ''",
               personParams(person))) {
    total += Money::value(r.text(0));
    any = true;
  }
  db.run("UPDATE TEMP1_F601 SET AportEmp = ? WHERE " + personWhere() + " AND cod_cat_tra = 1",
         {any ? vbFormat(total, "######0.00") : std::string(), person.correl_a, person.tip_doc_a, person.doc_id_a});
}

void removeSctrChoice(data::Database& db, const PersonKey& person) {
  auto p = personParams(person);
  db.run("DELETE FROM TMP_F601_SCTR_OTRO WHERE " + personWhere(), p);
  db.run("UPDATE TMPF601CONCEP SET monto = '', monto_pag = '', base_calculo = '' WHERE " + personWhere() +
             " AND codigo = '0806' AND cod_cat_tra = 1",
         p);
  db.run("UPDATE TEMP1_F601 SET sctr_essalud = '', sctr_tributo = '' WHERE " + personWhere() + " AND cod_cat_tra = 1",
         p);
  updateAportEmp(db, person);
}

SctrForm::SctrForm(Session& session, const model::OpenDeclaration& decl, const PersonKey& person)
    : session_(session), decl_(decl), person_(person) {}

void SctrForm::load() {
  auto& db = session_.database();
  rucs_.clear();
  for (const auto& r : db.rows("SELECT DISTINCT doc_ruc_emp FROM LOCAL WHERE tip_doc_d = 6 AND doc_id_d = ? AND "
                               "IND_SCTR = 1 ORDER BY doc_ruc_emp",
                               {decl_.ruc}))
    rucs_.push_back({r.text(0), r.text(0)});
  auto row = db.row("SELECT ruc, correl_centro, correl_tasa FROM TMP_F601_SCTR_OTRO WHERE " + personWhere(),
                    personParams(person_));
  stored_ = row.has_value();
  if (row) {
    chooseRuc(text::trim(row->text(0)));
    chooseEstablishment(row->text(1));
    chooseRate(row->text(2));
  }
}

void SctrForm::chooseRuc(const std::string& ruc) {
  auto& db = session_.database();
  ruc_ = ruc;
  codEst_.clear();
  correlTasa_.clear();
  rates_.clear();
  establishments_.clear();
  if (ruc_ == decl_.ruc)
    rucName_ = db.text("SELECT Nombre FROM CONTRVKRS WHERE tip_doc_d = 6 AND doc_id_d = ?", {decl_.ruc});
  else
    rucName_ = db.text("SELECT nom_razon FROM INTERMEDIACION WHERE tip_doc_d = 6 AND doc_id_d = ? AND NUM_RUC_INT = ?",
                       {decl_.ruc, ruc_});
  // Only the establishments marked for the worker (MarcoEstab): the choice lives as long as one of
  // them stays marked.
  for (const auto& r : db.rows("SELECT cod_est, nom_est FROM LOCAL WHERE tip_doc_d = 6 AND doc_id_d = ? AND "
                               "doc_ruc_emp = ? AND IND_SCTR = 1 AND cod_est IN (SELECT cod_est FROM TMP_ESTTURNOS_JL "
                               "WHERE " +
                                   personWhere() + " AND Indica = 1) ORDER BY cod_est",
                               {decl_.ruc, ruc_, person_.correl_a, person_.tip_doc_a, person_.doc_id_a}))
    establishments_.push_back({r.text(0), vbFormat(r.integer(0), "0000") + " - " + r.text(1)});
}

void SctrForm::chooseEstablishment(const std::string& codEst) {
  codEst_.clear();
  correlTasa_.clear();
  rates_.clear();
  for (const auto& e : establishments_)
    if (e.code == text::trim(codEst)) codEst_ = e.code;
  if (codEst_.empty()) return;
  for (const auto& r : session_.database().rows(
           "SELECT tasa, correl_tasa FROM COR_TASAS_601 WHERE tip_doc_d = 6 AND doc_id_d = ? AND doc_ruc_emp = ? AND "
           "cod_est = ? ORDER BY tasa ASC",
           {decl_.ruc, ruc_, std::stoll(codEst_)}))
    rates_.push_back({r.text(1), rateText(r.text(0))});
}

void SctrForm::chooseRate(const std::string& correlTasa) {
  correlTasa_.clear();
  for (const auto& r : rates_)
    if (r.code == text::trim(correlTasa)) correlTasa_ = r.code;
}

Outcome SctrForm::save() {
  auto& m = session_.msg();
  if (codEst_.empty()) return refuse(m, "Debe Seleccionar Correlativo", "CmbCorrelativo");
  if (correlTasa_.empty()) return refuse(m, "Debe Seleccionar tasa", "CmbTasas");
  std::string tasa;
  for (const auto& r : rates_)
    if (r.code == correlTasa_) tasa = r.text;
  auto& db = session_.database();
  std::string centro = db.text("SELECT nom_est FROM LOCAL WHERE tip_doc_d = 6 AND doc_id_d = ? AND cod_est = ?",
                               {decl_.ruc, std::stoll(codEst_)});

  data::Transaction tx(db);
  auto p = personParams(person_);
  if (db.exists("SELECT 1 FROM TMP_F601_SCTR_OTRO WHERE " + personWhere(), p))
    db.run("UPDATE TMP_F601_SCTR_OTRO SET ruc = ?, tasa = ?, correl_centro = ?, correl_tasa = ?, centro = ? WHERE " +
               personWhere(),
           {ruc_, tasa, std::stoll(codEst_), std::stoll(correlTasa_), centro, person_.correl_a, person_.tip_doc_a,
            person_.doc_id_a});
  else
    db.run(
        "INSERT INTO TMP_F601_SCTR_OTRO (tip_doc_a, doc_id_a, correl_a, ruc, tasa, correl_centro, correl_tasa, "
        "centro) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
        {person_.tip_doc_a, person_.doc_id_a, person_.correl_a, ruc_, tasa, std::stoll(codEst_),
         std::stoll(correlTasa_), centro});

  auto b = CalcularTotal_806(db, decl_.ruc, person_);
  if (b && *b > Money()) {
    base = vbFormat(*b, "######0.00");
    amount = vbFormat(percentOfRate(*b, Money::value(tasa)), "######0.00");
  } else {
    base.clear();
    amount.clear();
  }
  if (!db.exists("SELECT 1 FROM TMPF601CONCEP WHERE " + personWhere() + " AND codigo = '0806' AND cod_cat_tra = 1",
                 p) &&
      !base.empty())
    db.run(
        "INSERT INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, codigo, cod_cat_tra, descrip) VALUES "
        "(?, ?, ?, '0806', 1, COALESCE((SELECT Descripc FROM CONCEPTOS_REM WHERE Codigo = '0806'), ''))",
        {person_.tip_doc_a, person_.doc_id_a, person_.correl_a});
  db.run("UPDATE TMPF601CONCEP SET monto = ?, monto_pag = ?, base_calculo = ? WHERE " + personWhere() +
             " AND codigo = '0806' AND cod_cat_tra = 1",
         {amount, amount, base, person_.correl_a, person_.tip_doc_a, person_.doc_id_a});
  db.run("UPDATE TEMP1_F601 SET sctr_essalud = ?, sctr_tributo = ? WHERE " + personWhere() + " AND cod_cat_tra = 1",
         {base, amount, person_.correl_a, person_.tip_doc_a, person_.doc_id_a});
  // The choice computes what it changes itself (0806, the SCTR columns, AportEmp): that is this
  // accept's computation of the person.
  updateAportEmp(db, person_);
  tx.commit();
  stored_ = true;
  return Outcome::success();
}

void SctrForm::remove() {
  auto& db = session_.database();
  data::Transaction tx(db);
  removeSctrChoice(db, person_);
  recomputeWrittenPerson(db, decl_, person_);
  tx.commit();
  stored_ = false;
  base.clear();
  amount.clear();
}

std::string EstablishmentItem::text() const {
  return vbFormat(codEst, "0000") + "  " + tipo + "  " + rucEmp + "  " + nombre;
}

EstablishmentsForm::EstablishmentsForm(Session& session, const model::OpenDeclaration& decl, const PersonKey& person)
    : session_(session), decl_(decl), person_(person) {}

void EstablishmentsForm::load() {
  auto& db = session_.database();
  data::ParamTable param(db);
  items_.clear();
  auto add = [&](const data::Row& r, bool selected) {
    EstablishmentItem it;
    it.codEst = r.integer(0);
    it.codTipest = text::trim(r.text(1));
    it.tipo = text::trim(text::left(param.ParteFuncion("028", it.codTipest, 1, 24), 24));
    it.rucEmp = r.text(2);
    it.nombre = r.text(3);
    it.selected = selected;
    items_.push_back(std::move(it));
  };
  for (const auto& r :
       db.rows("SELECT l.cod_est, l.cod_tipest, l.doc_ruc_emp, l.nom_est, j.Indica FROM TMP_ESTTURNOS_JL j "
               "JOIN LOCAL l ON l.tip_doc_d = 6 AND l.doc_id_d = ? AND l.cod_est = j.cod_est WHERE " +
                   personWhere("j") + " ORDER BY l.cod_est",
               {decl_.ruc, person_.correl_a, person_.tip_doc_a, person_.doc_id_a}))
    add(r, r.integer(4) == 1);
  for (const auto& r : db.rows("SELECT cod_est, cod_tipest, doc_ruc_emp, nom_est FROM LOCAL WHERE tip_doc_d = 6 AND "
                               "doc_id_d = ? AND cod_est NOT IN (SELECT cod_est FROM TMP_ESTTURNOS_JL WHERE " +
                                   personWhere() + ") ORDER BY cod_est",
                               {decl_.ruc, person_.correl_a, person_.tip_doc_a, person_.doc_id_a}))
    add(r, false);
}

bool EstablishmentsForm::markOnly(const std::vector<long long>& codes) {
  for (long long code : codes)
    if (std::none_of(items_.begin(), items_.end(), [code](const EstablishmentItem& it) { return it.codEst == code; })) {
      session_.msg().critical("El establecimiento " + std::to_string(code) + " no está registrado para el declarante.");
      return false;
    }
  for (auto& it : items_) it.selected = std::find(codes.begin(), codes.end(), it.codEst) != codes.end();
  return true;
}

int EstablishmentsForm::accept() {
  auto& db = session_.database();
  data::Transaction tx(db);
  auto p = personParams(person_);
  db.run("DELETE FROM TMP_ESTTURNOS_JL WHERE " + personWhere(), p);
  int count = 0;
  for (const auto& it : items_) {
    if (it.selected) {
      db.run(
          "INSERT INTO TMP_ESTTURNOS_JL (correl_a, tip_doc_a, doc_id_a, cod_est, cod_tipest, Indica) VALUES "
          "(?, ?, ?, ?, ?, 1)",
          {person_.correl_a, person_.tip_doc_a, person_.doc_id_a, it.codEst, it.codTipest});
      ++count;
    } else if (db.exists("SELECT 1 FROM TMP_F601_SCTR_OTRO WHERE " + personWhere() + " AND correl_centro = ?",
                         {person_.correl_a, person_.tip_doc_a, person_.doc_id_a, it.codEst})) {
      removeSctrChoice(db, person_);
    }
  }
  if (count == 0 && db.exists("SELECT 1 FROM TMP_F601_SCTR_OTRO WHERE " + personWhere(), p))
    removeSctrChoice(db, person_);
  recomputeWrittenPerson(db, decl_, person_);
  tx.commit();
  return count;
}

}  // namespace korventa::detail
