#pragma once
// A declaration's working tables filled directly: a declarant with the whole catalogue as its
// concept set, workers and pensioners in TEMP1_F601 and their concept amounts.
#include <map>
#include <optional>
#include <string>

#include "data/keys.h"
#include "model/open_declaration.h"
#include "data/param.h"
#include "determination/declaration_computation.h"
#include "determination/computation.h"
#include "model/person_data.h"
#include "support/test_db.h"

namespace korventa::test {

struct WorkerProfile {
  std::string tipo = "21";
  int pension = 2;
  int category = 1;
  std::string situac = "11";
  int sctr = 0;
  std::string domicilio = "1";
  std::string diasLab = "30", diasNoLab = "", diasSub = "";
  std::string ipssVida = "", asegPens = "";
};

class WorkingFixture {
 public:
  explicit WorkingFixture(const std::string& periodo = "201206", bool withDemo = false,
                          const std::string& ruc = "20111111110");
  TestDb t;
  model::OpenDeclaration decl;

  PersonKey person(const std::string& doc, const WorkerProfile& profile = {});
  // A worker of the type whose summary columns are set directly, e.g. "pens = '1200'".
  PersonKey worker(const std::string& doc, const std::string& assignments, const std::string& tipo = "21");
  // Sets (adding the row when missing) the accrued and paid amounts of a concept.
  void amount(const PersonKey& p, const std::string& code, const std::string& monto, const std::string& montoPag);
  void amount(const PersonKey& p, const std::string& code, const std::string& monto) { amount(p, code, monto, monto); }
  void sctrChoice(const PersonKey& p, const std::string& tasa);
  // One column of the person's stored concept row ("" when the row is missing: the working set
  // keeps only the rows that declare something).
  std::string conceptText(const PersonKey& p, const std::string& code, const std::string& column = "monto");
  // The person's row of a concept as the computation offers it (stored or not), or nothing when
  // the person is not offered the concept.
  std::optional<model::ConceptRow> offered(const PersonKey& p, const std::string& code);
  std::string base(const PersonKey& p, const std::string& code) { return conceptText(p, code, "base_calculo"); }
  std::string summary(const PersonKey& p, const std::string& column);
  void recompute();

 private:
  long next_ = 1;
};

inline WorkingFixture::WorkingFixture(const std::string& periodo, bool withDemo, const std::string& ruc) : t(withDemo) {
  auto& db = t.db();
  if (!db.exists("SELECT 1 FROM CONTRVKRS WHERE doc_id_d = ?", {ruc})) {
    RegistryBuilder{db}.declarant(ruc, "EMPRESA DE PRUEBA S.A.C.", 1, 0, 0);
    db.run(
        "INSERT INTO CON_AFEC (tip_doc_d, doc_id_d, cod_concepto, ind_origen) SELECT 6, ?, Codigo, ind_origen "
        "FROM CONCEPTOS_REM WHERE substr(Codigo, 3, 2) <> '00'",
        {ruc});
  }
  decl.ruc = ruc;
  decl.name = db.text("SELECT Nombre FROM CONTRVKRS WHERE doc_id_d = ?", {ruc});
  decl.periodo = periodo;
  data::ParamTable param(db);
  decl.uit = param.uit(periodo).value_or(Money());
  decl.rmv = param.rmv(periodo).value_or(Money());
}

inline PersonKey WorkingFixture::person(const std::string& doc, const WorkerProfile& s) {
  PersonKey k{next_++, 1, doc, s.category};
  t.db().run(
      "INSERT INTO TEMP1_F601 (Tip_doc_d, doc_id_d, Correl_a, periodo, formulario, cod_cat_tra, tip_doc_a, "
      "doc_id_a, Situac, Tipo, dias_lab, dias_no_lab, dias_sub, pension, ind_domicilio, sctr, ipss_vida, "
      "aseg_pens, ind_quinta, Nombre, tip_doc) VALUES (6, ?, ?, ?, '0601', ?, 1, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
      "'1', ?, 'DNI')",
      {decl.ruc, k.correl_a, decl.periodo, s.category, doc, s.situac, s.tipo, s.diasLab, s.diasNoLab, s.diasSub,
       s.pension, s.domicilio, s.sctr, s.ipssVida, s.asegPens, "PERSONA " + doc});
  return k;
}

inline PersonKey WorkingFixture::worker(const std::string& doc, const std::string& assignments,
                                        const std::string& tipo) {
  WorkerProfile profile;
  profile.tipo = tipo;
  auto p = person(doc, profile);
  t.db().run("UPDATE TEMP1_F601 SET " + assignments + " WHERE doc_id_a = ?", {p.doc_id_a});
  return p;
}

inline void WorkingFixture::amount(const PersonKey& p, const std::string& code, const std::string& monto,
                                   const std::string& montoPag) {
  auto& db = t.db();
  int n = db.run(
      "UPDATE TMPF601CONCEP SET monto = ?, monto_pag = ? WHERE tip_doc_a = ? AND doc_id_a = ? AND "
      "correl_a = ? AND cod_cat_tra = ? AND codigo = ?",
      {monto, montoPag, p.tip_doc_a, p.doc_id_a, p.correl_a, p.cod_cat_tra, code});
  if (n == 0)
    db.run(
        "INSERT INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, cod_cat_tra, codigo, monto, monto_pag, "
        "base_calculo) VALUES (?, ?, ?, ?, ?, ?, ?, '')",
        {p.tip_doc_a, p.doc_id_a, p.correl_a, p.cod_cat_tra, code, monto, montoPag});
}

inline void WorkingFixture::sctrChoice(const PersonKey& p, const std::string& tasa) {
  t.db().run(
      "INSERT INTO TMP_F601_SCTR_OTRO (tip_doc_a, doc_id_a, correl_a, ruc, tasa, correl_centro, correl_tasa) "
      "VALUES (?, ?, ?, ?, ?, 1, 1)",
      {p.tip_doc_a, p.doc_id_a, p.correl_a, decl.ruc, tasa});
}

inline std::string WorkingFixture::conceptText(const PersonKey& p, const std::string& code, const std::string& column) {
  auto r = t.db().row("SELECT " + column +
                          " FROM TMPF601CONCEP WHERE tip_doc_a = ? AND doc_id_a = ? AND correl_a = ? "
                          "AND cod_cat_tra = ? AND codigo = ?",
                      {p.tip_doc_a, p.doc_id_a, p.correl_a, p.cod_cat_tra, code});
  return r ? r->text(0) : "";
}

inline std::optional<model::ConceptRow> WorkingFixture::offered(const PersonKey& p, const std::string& code) {
  auto persons = model::loadPersons(t.db(), decl.ruc, p);
  if (persons.empty()) return std::nullopt;
  determination::Computation(t.db(), decl).compute(persons.front());
  if (const auto* r = persons.front().find(code)) return *r;
  return std::nullopt;
}

inline std::string WorkingFixture::summary(const PersonKey& p, const std::string& column) {
  return t.db().text("SELECT " + column +
                         " FROM TEMP1_F601 WHERE tip_doc_a = ? AND doc_id_a = ? AND Correl_a = ? AND "
                         "cod_cat_tra = ?",
                     {p.tip_doc_a, p.doc_id_a, p.correl_a, p.cod_cat_tra});
}

inline void WorkingFixture::recompute() {
  determination::recomputeDeclaration(t.session(), decl);
}

}  // namespace korventa::test
