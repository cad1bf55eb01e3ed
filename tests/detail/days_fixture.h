#pragma once
// A demo database with an open declaration of the demo industrial declarant and working rows
// filled directly, as the declaration form leaves them before a detail form opens.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/dates.h"
#include "model/open_declaration.h"
#include "support/test_db.h"

namespace korventa::test {

inline constexpr const char* kDemoRuc = "20503987610";

// Every column of a stored row as text, to compare the whole row at once (nothing when missing).
inline std::vector<std::string> rowTexts(const std::optional<data::Row>& r) {
  std::vector<std::string> out;
  for (std::size_t i = 0; r && i < r->size(); ++i) out.push_back(r->text(i));
  return out;
}

class DaysFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    Clock::setFixed(Date{2013, 1, 15});
    t_ = std::make_unique<TestDb>(true);
    decl_.ruc = kDemoRuc;
    decl_.name = "CORPORACIÓN INDUSTRIAL ANDES DEL PACÍFICO S.A.A.";
    decl_.periodo = "201206";
  }
  void TearDown() override {
    t_.reset();
    Clock::setFixed(std::nullopt);
  }

  Session& session() { return t_->session(); }
  data::Database& db() { return t_->db(); }
  RecordingMessenger& msg() { return t_->messenger(); }
  void setPeriod(const std::string& p) { decl_.periodo = p; }

  // The demo person's working row, copied from the registry (category 1 unless told).
  PersonKey addWorker(long correl, int category = 1) {
    auto r =
        db().row("SELECT tip_doc_a, doc_id_a FROM ASEGVKRS WHERE doc_id_d = ? AND correl_a = ? AND cod_cat_tra = ?",
                 {std::string(kDemoRuc), correl, category});
    EXPECT_TRUE(r.has_value()) << "demo person " << correl;
    db().run(
        "INSERT INTO TEMP1_F601 (Tip_doc_d, doc_id_d, Correl_a, periodo, formulario, cod_cat_tra, tip_doc_a, "
        "doc_id_a, Situac, Tipo, sctr, pension, Nombre, tip_doc) SELECT 6, d.doc_id_d, d.correl_a, ?, '0601', "
        "d.cod_cat_tra, d.tip_doc_a, d.doc_id_a, d.situac, d.tipo, d.sctr, d.pension, "
        "a.apellido_p || ' ' || a.apellido_m || ', ' || a.nombre_1, 'DNI' FROM ASEG_DET_LAB d JOIN ASEGVKRS a ON "
        "a.tip_doc_d = d.tip_doc_d AND a.doc_id_d = d.doc_id_d AND a.correl_a = d.correl_a AND a.cod_cat_tra = "
        "d.cod_cat_tra WHERE d.doc_id_d = ? AND d.correl_a = ? AND d.cod_cat_tra = ?",
        {decl_.periodo, std::string(kDemoRuc), correl, category});
    PersonKey k{correl, static_cast<int>(r->integer(0)), r->text(1), category};
    return k;
  }

  void addConcept(const PersonKey& p, const std::string& codigo, const std::string& monto,
                  const std::string& montoPag = {}) {
    db().run(
        "INSERT INTO TMPF601CONCEP (tip_doc_a, doc_id_a, correl_a, codigo, cod_cat_tra, monto, monto_pag) "
        "VALUES (?, ?, ?, ?, 1, ?, ?)",
        {p.tip_doc_a, p.doc_id_a, p.correl_a, codigo, monto, montoPag.empty() ? monto : montoPag});
  }

  std::string worker(const PersonKey& p, const std::string& column) {
    return db().text("SELECT " + column + " FROM TEMP1_F601 WHERE correl_a = ? AND cod_cat_tra = 1", {p.correl_a});
  }

  std::string conceptValue(const PersonKey& p, const std::string& codigo, const std::string& column) {
    return db().text("SELECT " + column + " FROM TMPF601CONCEP WHERE correl_a = ? AND codigo = ?",
                     {p.correl_a, codigo});
  }

  std::unique_ptr<TestDb> t_;
  model::OpenDeclaration decl_;
};

}  // namespace korventa::test
