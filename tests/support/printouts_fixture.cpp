#include "support/printouts_fixture.h"

#include <cstdlib>

#include "common/text.h"

namespace korventa::test {
namespace {

void person(data::Database& db, long correl, int cat, int tipDoc, const std::string& doc, const std::string& ap,
            const std::string& am, const std::string& n1, const std::string& tipo, int pension) {
  db.run(
      "INSERT INTO ASEGVKRS (tip_doc_d, doc_id_d, correl_a, cod_cat_tra, tip_doc_a, doc_id_a, fec_nac, apellido_p, "
      "apellido_m, nombre_1, Nombre_2, sexo, ind_domicilio, estado, tipo, pension, ind_cat_trab, ind_cat_pen) "
      "VALUES (6, ?, ?, ?, ?, ?, '1980-01-01', ?, ?, ?, '', 'M', '1', 1, ?, ?, ?, ?)",
      {kRuc, correl, cat, tipDoc, doc, ap, am, n1, tipo, pension, cat == 1 ? 1 : 0, cat == 2 ? 1 : 0});
  db.run(
      "INSERT INTO PERIODOLAB (tip_doc_d, doc_id_d, correl_a, tip_doc_a, doc_id_a, cod_cat_tra, fec_ini, tipo) "
      "VALUES (6, ?, ?, ?, ?, ?, '2010-01-15', ?)",
      {kRuc, correl, tipDoc, doc, cat, tipo});
  db.run(
      "INSERT INTO PERIODOLAB (tip_doc_d, doc_id_d, correl_a, tip_doc_a, doc_id_a, cod_cat_tra, fec_ini, fec_fin, "
      "tipo) "
      "VALUES (6, ?, ?, ?, ?, ?, '2005-03-01', '2008-12-31', ?)",
      {kRuc, correl, tipDoc, doc, cat, tipo});
}

void trab(data::Database& db, long correl, int cat, const std::string& doc, const std::string& tipo, int pension,
          const std::string& dias, const std::string& horasNor, const std::string& horasSob,
          const std::vector<std::pair<std::string, std::string>>& values) {
  db.run(
      "INSERT INTO F601_TRAB (Tip_doc_d, doc_id_d, Correl_a, periodo, formulario, cod_cat_tra, tip_doc_a, doc_id_a, "
      "Situac, Tipo, dias_lab, dias_no_lab, dias_sub, horas_nor, horas_sob, pension) "
      "VALUES (6, ?, ?, ?, '0601', ?, 1, ?, '11', ?, ?, '1', '', ?, ?, ?)",
      {kRuc, correl, kPeriodo, cat, doc, tipo, dias, horasNor, horasSob, pension});
  for (const auto& [col, v] : values)
    db.run("UPDATE F601_TRAB SET " + col + " = ? WHERE Correl_a = ? AND cod_cat_tra = ?", {v, correl, cat});
}

void conceptRow(data::Database& db, long correl, int cat, int tipDoc, const std::string& doc, const std::string& code,
                const std::string& base, const std::string& monto, const std::string& pagado) {
  db.run(
      "INSERT INTO F601_REMUNERA (tip_doc_d, doc_id_d, correl_a, cod_cat_tra, tip_doc_a, doc_id_a, periodo, "
      "formulario, cod_concep, base_calculo, monto, monto_pag, monto_dif) VALUES (6, ?, ?, ?, ?, ?, ?, '0601', ?, ?, "
      "?, ?, '')",
      {kRuc, correl, cat, tipDoc, doc, kPeriodo, code, base, monto, pagado});
}

void box(data::Database& db, const std::string& casilla, const std::string& valor) {
  db.run(
      "INSERT INTO DET (tip_doc_d, doc_id_d, periodo, Formulario, Casilla, i_valor, idcasilla) VALUES (6, ?, ?, "
      "'0601', ?, ?, '01')",
      {kRuc, kPeriodo, casilla, valor});
}

void eps(data::Database& db, const std::string& casilla, const std::string& ruc, const std::string& num,
         const std::string& total, const std::string& cred) {
  db.run(
      "INSERT INTO F600INFEPS (tip_doc_d, doc_id_d, periodo, formulario, Casilla, Correl, RUC_EPS, Periodo_fac, "
      "Num_Serie, Num_Fac, Fec_Emis, Fec_pago, Imp_total, Imp_cred) VALUES (6, ?, ?, '0601', ?, '', ?, '201202', "
      "'001', ?, '05/03/2012', '10/03/2012', ?, ?)",
      {kRuc, kPeriodo, casilla, ruc, num, total, cred});
}

}  // namespace

void buildFixedDeclaration(data::Database& db) {
  data::Transaction tx(db);
  db.run(
      "INSERT INTO CONTRVKRS (tip_doc_d, doc_id_d, Nombre, nom_razon, Tipo_ingreso, Usuario, Ind_RegimenLab) "
      "VALUES (6, ?, 'EMPRESA DE PRUEBA S.A.C.', 'EMPRESA DE PRUEBA S.A.C.', 2, 'DEMO', 1)",
      {kRuc});
  for (const char* c : {"0121", "0118", "0201", "0312", "0406", "0605", "0607", "0608", "0701", "0804", "0904"})
    db.run("INSERT INTO CON_AFEC (tip_doc_d, doc_id_d, cod_concepto, ind_origen) VALUES (6, ?, ?, 'G')", {kRuc, c});
  person(db, 1, 1, 1, "41000001", "PEREZ", "GOMEZ", "ANA", "21", 2);
  person(db, 2, 1, 1, "41000002", "ROJAS", "DÍAZ", "LUIS", "21", 21);
  person(db, 3, 1, 4, "X12345", "O'BRIEN", "SMITH", "JOHN", "21", 2);
  person(db, 4, 2, 1, "08000004", "QUISPE", "MAMANI", "ROSA", "24", 2);
  person(db, 5, 3, 1, "10000005", "TORRES", "VEGA", "CARLOS", "", 0);
  person(db, 6, 4, 1, "20000006", "SALAS", "RUIZ", "PEDRO", "", 0);
  person(db, 7, 5, 1, "30000007", "LUNA", "PAZ", "SOFIA", "", 0);
  db.run(
      "INSERT INTO COMP (tip_doc_d, doc_id_d, Correl, cod_trabajador, correo, cuspp) VALUES (6, ?, 2, 'T0002', "
      "'luis.rojas@prueba.pe', '567890LRD1A2')",
      {kRuc});
  db.run(
      "INSERT INTO LOCAL (tip_doc_d, doc_id_d, cod_est, nom_est, cod_tipest, doc_ruc_emp, IND_SCTR) VALUES (6, ?, 1, "
      "'PLANTA ATE', '01', ?, 1)",
      {kRuc, kRuc});

  db.run(
      "INSERT INTO CAB (tip_doc_d, doc_id_d, periodo, Formulario, fec_pro, rectifica, estado, ind_ref) VALUES (6, ?, "
      "?, '0601', '15/04/2012', '0', 0, 0)",
      {kRuc, kPeriodo});
  for (auto [c, v] : std::vector<std::pair<const char*, const char*>>{
           {"720", "3"},    {"736", "1"},    {"733", "1"},   {"738", "1"},    {"739", "1"},   {"737", "0"},
           {"451", "3200"}, {"411", "416"},  {"501", ""},    {"711", "416"},  {"801", "416"}, {"452", "5450"},
           {"412", "491"},  {"602", "120"},  {"612", "30"},  {"712", "341"},  {"802", "341"}, {"455", "5450"},
           {"415", "95"},   {"715", "95"},   {"805", "95"},  {"459", "1500"}, {"419", "60"},  {"743", "60"},
           {"809", "60"},   {"461", "2600"}, {"421", "208"}, {"745", "208"},  {"811", "208"}, {"460", "800"},
           {"420", "12"},   {"744", "12"},   {"810", "12"},  {"812", "2"},    {"462", "0"},   {"600", "-15"}}) {
    box(db, c, v);
  }
  // Worker 1: ONP, salary, family allowance, bonus, gratification.
  trab(db, 1, 1, "41000001", "21", 2, "30", "192.50", "10.25",
       {{"rem_salud", "2500.00"},
        {"salud", "225.00"},
        {"rem_pens", "2500.00"},
        {"pens", "325.00"},
        {"rem_afecta", "2500.00"},
        {"tributo", "45.00"},
        {"NetoPagar", "2130.00"}});
  conceptRow(db, 1, 1, 1, "41000001", "0121", "", "2400.00", "2400.00");
  conceptRow(db, 1, 1, 1, "41000001", "0201", "", "75.00", "75.00");
  conceptRow(db, 1, 1, 1, "41000001", "0312", "", "25.50", "25.50");
  conceptRow(db, 1, 1, 1, "41000001", "0607", "2500.00", "325.00", "");
  conceptRow(db, 1, 1, 1, "41000001", "0605", "2500.00", "45.00", "");
  conceptRow(db, 1, 1, 1, "41000001", "0701", "", "100.00", "100.00");
  conceptRow(db, 1, 1, 1, "41000001", "0804", "2500.00", "225.00", "");
  // Worker 2: AFP, salary and a gratification.
  trab(db, 2, 1, "41000002", "21", 21, "30", "192", "",
       {{"rem_salud", "2950.00"}, {"salud", "265.50"}, {"rem_afecta", "2950.00"}, {"tributo", "50.00"}});
  conceptRow(db, 2, 1, 1, "41000002", "0121", "", "2950.00", "2950.00");
  conceptRow(db, 2, 1, 1, "41000002", "0406", "", "1000.00", "1000.00");
  conceptRow(db, 2, 1, 1, "41000002", "0608", "3950.00", "395.00", "");
  // A contribution of the other pension regime: its base, no amount.
  conceptRow(db, 2, 1, 1, "41000002", "0605", "3950.00", "", "");
  conceptRow(db, 2, 1, 1, "41000002", "0804", "2950.00", "265.50", "");
  // Worker 3: carnet, salary only (no allowances or bonuses: absent from report 21).
  trab(db, 3, 1, "X12345", "21", 2, "29", "", "", {{"rem_pens", "700.00"}, {"pens", "91.00"}});
  db.run("UPDATE F601_TRAB SET tip_doc_a = 4 WHERE Correl_a = 3");
  conceptRow(db, 3, 1, 4, "X12345", "0121", "", "700.00", "700.00");
  conceptRow(db, 3, 1, 4, "X12345", "0607", "700.00", "91.00", "");
  // Every person gets a row for each concept of the declarant; these carry no amount.
  conceptRow(db, 3, 1, 4, "X12345", "0201", "", "", "");
  conceptRow(db, 3, 1, 4, "X12345", "0312", "", "", "");
  // Pensioner.
  trab(db, 4, 2, "08000004", "24", 2, "", "", "", {{"rem_salud", "1500.00"}, {"salud", "60.00"}});
  conceptRow(db, 4, 2, 1, "08000004", "0121", "", "1500.00", "1500.00");
  // Suspensions of worker 1: one unpaid absence, one subsidised.
  db.run(
      "INSERT INTO F601DIAS_NOLAB (tip_doc_d, doc_id_d, correl_a, tip_doc_a, doc_id_a, periodo, formulario, "
      "tipo_suspen, fecha_ini, fecha_fin, num_citt, dias_sub, dias_citt, dias_lab, dias_no_lab) VALUES "
      "(6, ?, 1, 1, '41000001', ?, '0601', '07', '05/03/2012', '05/03/2012', '', '', '', '', '1'),"
      "(6, ?, 1, 1, '41000001', ?, '0601', '21', '20/03/2012', '23/03/2012', 'A-123456', '4', '4', '', '')",
      {kRuc, kPeriodo, kRuc, kPeriodo});
  db.run(
      "INSERT INTO F601_ESTAB (tip_doc_d, doc_id_d, correl_a, tip_doc_a, doc_id_a, periodo, formulario, cod_estab) "
      "VALUES (6, ?, 2, 1, '41000002', ?, '0601', 1)",
      {kRuc, kPeriodo});
  db.run(
      "INSERT INTO F601_SCTR_OTRO (tip_doc_d, doc_id_d, periodo, formulario, correl_a, tip_doc_a, doc_id_a, ruc, "
      "centro, tasa, correl_centro, correl_tasa, rem_sctrs) VALUES (6, ?, ?, '0601', 2, 1, '41000002', ?, "
      "'PLANTA ATE', '1.53', 1, 1, '2950.00')",
      {kRuc, kPeriodo, kRuc});
  // Fourth-category provider with three receipts.
  db.run(
      "INSERT INTO F601RDCAB (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, tip_retencion, "
      "tip_doc_a, doc_id_a, Des_Pat, Des_Mat, Des_No1) VALUES (6, ?, ?, '0601', 5, 3, 'R', 1, '10000005', 'TORRES', "
      "'VEGA', 'CARLOS')",
      {kRuc, kPeriodo});
  int n = 0;
  for (auto [num, amount, rta] : std::vector<std::tuple<const char*, const char*, const char*>>{
           {"101", "1000.00", "100.00"}, {"102", "1200.00", "120.00"}, {"103", "400.00", ""}}) {
    db.run(
        "INSERT INTO F601RDDET (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, tip_retencion, "
        "tip_doc_a, doc_id_a, num_ser, num_rec, fec_emi, fec_pago, mto_rec, ind_rta, por_rta, mto_rta) VALUES "
        "(6, ?, ?, '0601', 5, 3, 'R', 1, '10000005', ?, ?, '01/03/2012', '15/03/2012', ?, ?, ?, ?)",
        {kRuc, kPeriodo, ++n == 3 ? "XXX" : "0001", num, amount, *rta ? "1" : "0", *rta ? "10.00" : "", rta});
  }
  // Trainee and its premises.
  db.run(
      "INSERT INTO F601MFCAB (tip_doc_d, doc_id_d, periodo, formulario, correl_a, cod_cat_tra, tip_retencion, "
      "tip_doc_a, doc_id_a, APELLIDO_P, APELLIDO_M, NOMBRE_1, mto_renta) VALUES (6, ?, ?, '0601', 7, 5, '1', 1, "
      "'30000007', 'LUNA', 'PAZ', 'SOFIA', '750.00')",
      {kRuc, kPeriodo});
  db.run(
      "INSERT INTO F601_ESTABMF (tip_doc_d, doc_id_d, correl_a, tip_doc_a, doc_id_a, periodo, formulario, cod_estab) "
      "VALUES (6, ?, 7, 1, '30000007', ?, '0601', 1)",
      {kRuc, kPeriodo});
  // Personnel of third parties.
  db.run(
      "INSERT INTO F601_SCTR (tip_doc_d, doc_id_d, periodo, formulario, correl_a, tip_doc_a, doc_id_a, centro, tasa, "
      "rem_sctrs, sctrs, correl_centro) VALUES (6, ?, ?, '0601', 6, 1, '20000006', '01', '1.50', '800.00', '12.00', 1)",
      {kRuc, kPeriodo});
  // EPS invoices: two behind 602 (one of an EPS missing from list 701), one behind 612.
  eps(db, "602", "20514372251", "5001", "1500.00", "90.00");
  eps(db, "602", "20999999991", "5002", "500.00", "30.00");
  eps(db, "612", "20514372251", "4999", "1234567.00", "30.00");
  tx.commit();
}

void sendFixedDeclaration(data::Database& db, const std::string& correl, const std::string& control,
                          const std::string& norden) {
  data::Transaction tx(db);
  std::string cab;
  for (const auto& c : db.columns("CAB")) cab += (cab.empty() ? "" : ", ") + c;
  db.run("INSERT INTO HCAB (" + cab + ", norden, fec_env, control, correl) SELECT " + cab +
             ", ?, '20/04/2012', ?, ? FROM CAB WHERE doc_id_d = ?",
         {norden, control, correl, kRuc});
  db.run("UPDATE HCAB SET estado = 1 WHERE doc_id_d = ? AND correl = ?", {kRuc, correl});
  for (const char* t : {"DET", "F601_TRAB", "F601_REMUNERA", "F601DIAS_NOLAB", "F601_ESTAB", "F601_SCTR_OTRO",
                        "F601RDCAB", "F601RDDET", "F601MFCAB", "F601_ESTABMF", "F601_SCTR"}) {
    std::string cols;
    for (const auto& c : db.columns(t)) cols += (cols.empty() ? "" : ", ") + c;
    std::string sql = std::string("INSERT INTO H") + t + " (" + cols + ", correl) SELECT " + cols + ", ? FROM " + t +
                      " WHERE doc_id_d = ?";
    db.run(sql, {correl, kRuc});
  }
  db.run(
      "INSERT INTO HF600INFEPS SELECT tip_doc_d, doc_id_d, periodo, formulario, Casilla, ?, RUC_EPS, Periodo_fac, "
      "Num_Serie, Num_Fac, Fec_Emis, Fec_pago, Imp_total, Imp_cred, cNumero FROM F600INFEPS WHERE doc_id_d = ?",
      {correl, kRuc});
  tx.commit();
}

void expectGolden(const std::filesystem::path& produced, const std::string& reference) {
  auto ref = std::filesystem::path(KORVENTA_TEST_DATA_DIR) / "printouts" / reference;
  ASSERT_TRUE(std::filesystem::exists(produced)) << produced;
  const char* update = std::getenv("KORVENTA_UPDATE_GOLDEN");
  if (update && std::string(update) == "1") {
    std::filesystem::copy_file(produced, ref, std::filesystem::copy_options::overwrite_existing);
    return;
  }
  ASSERT_TRUE(std::filesystem::exists(ref)) << "Falta el archivo de referencia " << ref;
  // On a difference, the first differing line rather than two whole files.
  auto got = text::split(readFile(produced), '\n');
  auto want = text::split(readFile(ref), '\n');
  for (std::size_t i = 0; i < std::max(got.size(), want.size()); ++i) {
    std::string g = i < got.size() ? got[i] : "<fin>", w = i < want.size() ? want[i] : "<fin>";
    if (g != w) {
      ADD_FAILURE() << "Difiere de la referencia " << ref << " en la línea " << i + 1 << ":\n  producido: " << g
                    << "\n  referencia: " << w;
      return;
    }
  }
}

}  // namespace korventa::test
