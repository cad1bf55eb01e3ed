#include "declaration/decl_fixture.h"

#include <algorithm>

#include "declaration/tables.h"
#include "support/demo_entries.h"

namespace korventa::test {

void DeclarationTest::SetUp() {
  Clock::setFixed(Date{2013, 3, 15});
  registry().declarant(kRuc, "EMPRESA DEMO SAC").declarant(kOtherRuc, "OTRA EMPRESA SAC").user("DEMO", "0");
}

void DeclarationTest::TearDown() {
  Clock::setFixed(std::nullopt);
}

void DeclarationTest::standardRegistry() {
  auto r = registry();
  r.person(kRuc, 1, 1, 1, "40000001", "ALVAREZ", "ANA", "21", "11", 2)
      .period(kRuc, 1, 1, 1, "40000001", "21", "2011-01-01", "");
  r.person(kRuc, 2, 1, 1, "40000002", "BENITES", "BRUNO", "20", "11", 21)
      .period(kRuc, 2, 1, 1, "40000002", "20", "2011-06-01", "");
  r.person(kRuc, 3, 1, 1, "40000003", "CASTRO", "CARLA", "98", "11", 2)
      .period(kRuc, 3, 1, 1, "40000003", "98", "2011-06-01", "");
  r.person(kRuc, 4, 2, 1, "40000004", "DIAZ", "DORA", "24", "11", 2)
      .period(kRuc, 4, 2, 1, "40000004", "24", "2010-01-01", "");
  r.person(kRuc, 5, 4, 1, "40000005", "ESPINOZA", "EDGAR", "21", "11", 2);
  db().run("UPDATE ASEG_DET_LAB SET sctr = 1 WHERE correl_a = 5");
  db().run("UPDATE ASEGVKRS SET fec_insc = '2011-01-01' WHERE correl_a = 5");
  r.person(kRuc, 6, 5, 1, "40000006", "FLORES", "FABIO", "", "11", 0)
      .period(kRuc, 6, 5, 1, "40000006", "", "2012-01-01", "");
  db().run(
      "INSERT INTO LOCAL (tip_doc_d, doc_id_d, cod_est, nom_est, cod_tipest, doc_ruc_emp, IND_SCTR) "
      "VALUES (6, ?, 1, 'PLANTA', '05', ?, 1)",
      {kRuc, kRuc});
  db().run(
      "INSERT INTO COR_TASAS_601 (tip_doc_d, doc_id_d, doc_ruc_emp, cod_est, correl_tasa, tasa) VALUES "
      "(6, ?, ?, 1, 1, 1.53)",
      {kRuc, kRuc});
}

bool DeclarationTest::createAndSave(const std::string& periodo, const std::string& ruc) {
  declaration::DeclarationForm f(session());
  f.newDeclaration();
  f.CmbRuc_Click(ruc);
  if (!f.acceptPeriod(periodToDisplay(periodo)).ok) return false;
  bool ok = f.save().saved;
  f.leave();
  return ok;
}

bool DeclarationTest::createConsistent(const std::string& periodo) {
  declaration::DeclarationForm f(session());
  f.newDeclaration();
  f.CmbRuc_Click(kRuc);
  if (!f.acceptPeriod(periodToDisplay(periodo)).ok) return false;
  completeDeclaration(session(), f.declaration());
  auto r = f.save();
  f.leave();
  return r.saved && !r.inconsistent;
}

std::string DeclarationTest::dump(const std::string& table) {
  std::vector<std::string> lines;
  for (const auto& r : db().rows("SELECT * FROM " + table)) {
    std::string l;
    for (std::size_t i = 0; i < r.size(); ++i) l += (i ? "|" : "") + r.text(i);
    lines.push_back(l);
  }
  std::sort(lines.begin(), lines.end());
  std::string out = table + ":\n";
  for (const auto& l : lines) out += l + "\n";
  return out;
}

std::string DeclarationTest::dumpStored() {
  std::string out;
  for (const std::string t : {"CAB", "DET"}) out += dump(t) + dump("H" + t);
  for (const auto& t : declaration::deletedTables()) out += dump(t.name) + dump("H" + std::string(t.name));
  return out;
}

std::string DeclarationTest::fields(const std::string& sql, const data::Params& p) {
  auto r = db().row(sql, p);
  if (!r) return "<no row>";
  std::string out;
  for (std::size_t i = 0; i < r->size(); ++i) out += (i ? "|" : "") + r->text(i);
  return out;
}

long long DeclarationTest::count(const std::string& sql, const data::Params& p) {
  return db().integer(sql, p);
}

void DeclarationTest::failOn(const std::string& table, const std::string& event) {
  db().script("CREATE TEMP TRIGGER fail_" + table + "_" + event + " BEFORE " + event + " ON " + table +
              " BEGIN SELECT RAISE(ABORT, 'falla forzada'); END;");
}

bool DeclarationTest::sawMessage(const std::string& text) {
  for (const auto& e : msg().entries())
    if (e.text == text) return true;
  return false;
}

}  // namespace korventa::test
