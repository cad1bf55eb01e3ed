// Every inconsistency rule of the validation, one named row each: the working tables (and the
// registry) set up once with the rule's condition, where its line must be listed, and once just
// outside it, where it must not. The warnings, the EPS limit of box 602, the payment data and the
// file of the report have their own tests (validation_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>

#include "declaration/save.h"
#include "determination/validation.h"
#include "determination/working_fixture.h"

namespace korventa::test {
namespace {

const std::string kDoc = "40000001";

struct Rule {
  const char* name;
  std::string line;  // the inconsistency listed
  // Working rows and registry of the case: with the rule's condition (on) or just outside it.
  void (*setup)(WorkingFixture& f, bool on);
  std::string periodOn = "201206", periodOff = "201206";
};

void PrintTo(const Rule& r, std::ostream* os) {
  *os << r.name;
}

WorkerProfile profile(const std::string& tipo, const std::string& situac = "11", int pension = 2, int category = 1) {
  WorkerProfile p;
  p.tipo = tipo;
  p.situac = situac;
  p.pension = pension;
  p.category = category;
  return p;
}

// The person in the registry (ASEGVKRS, ASEG_DET_LAB) with one labour period.
void registered(WorkingFixture& f, const PersonKey& p, const std::string& tipo, const std::string& situac, int pension,
                const std::string& fecIni = "2011-01-01", const std::string& fecFin = "") {
  RegistryBuilder{f.t.db()}
      .person(f.decl.ruc, p.correl_a, p.cod_cat_tra, p.tip_doc_a, p.doc_id_a, "PEREZ", "ANA", tipo, situac, pension)
      .period(f.decl.ruc, p.correl_a, p.cod_cat_tra, p.tip_doc_a, p.doc_id_a, tipo, fecIni, fecFin);
}

void set(WorkingFixture& f, const std::string& assignments) {
  f.t.db().run("UPDATE TEMP1_F601 SET " + assignments + " WHERE doc_id_a = ?", {kDoc});
}

// A concept row with the texts given (the amount entered equal to the paid one).
void conceptRow(WorkingFixture& f, const PersonKey& p, const std::string& code, const std::string& monto,
                const std::string& base) {
  f.amount(p, code, monto);
  f.t.db().run("UPDATE TMPF601CONCEP SET base_calculo = ? WHERE doc_id_a = ? AND codigo = ?", {base, p.doc_id_a, code});
}

void typed(WorkingFixture& f, std::initializer_list<std::pair<const char*, const char*>> boxes) {
  determination::DebtDetermination g(f.t.session(), f.decl);
  g.load();
  for (const auto& [b, v] : boxes) g.setBox(b, v);
  f.decl.typedBoxes = g.typedBoxes();
}

// A worker of type 67 (or another) with an amount in one concept.
void withAmount(WorkingFixture& f, const std::string& tipo, const std::string& code) {
  conceptRow(f, f.person(kDoc, profile(tipo)), code, "10.00", "");
}

void eps(WorkingFixture& f, const std::string& workingAfi, const std::string& workingRuc, const std::string& workingCod,
         const std::string& regAfi, const std::string& regRuc, const std::string& regCod) {
  auto p = f.person(kDoc);
  registered(f, p, "21", "11", 2);
  set(f, "ind_afieps = '" + workingAfi + "', rucEps = '" + workingRuc + "', cod_eps = '" + workingCod + "'");
  f.t.db().run("UPDATE ASEG_DET_LAB SET ind_afieps = ?, ruceps = ?, cod_eps = ?", {regAfi, regRuc, regCod});
}

const std::vector<Rule>& rules() {
  static const std::string pensions = "SISTEMA NACIONAL PENSIONES DL 19990";
  static const std::vector<Rule> r = {
      {"R05_TelephoneZero", "El teléfono no puede ser 0",
       [](WorkingFixture& f, bool on) { f.decl.telephone = on ? "000" : "100"; }},
      {"R06_WorkerWithoutEstablishment", "Marcar establecimiento para documento: " + kDoc,
       [](WorkingFixture& f, bool on) {
         auto p = f.person(kDoc);
         f.decl.establishments = 1;
         f.t.db().run(
             "INSERT INTO TMP_ESTTURNOS_JL (correl_a, tip_doc_a, doc_id_a, cod_est, Indica) VALUES (?, 1, ?, 1, ?)",
             {p.correl_a, kDoc, on ? 0 : 1});
       }},
      {"R07_LabourPeriodAfterTheMonth",
       "Fechas de períodos de ingreso/reingreso y/o baja no son consistentes con el período de la declaración del "
       "trabajador: " +
           kDoc,
       [](WorkingFixture& f, bool on) {
         registered(f, f.person(kDoc), "21", "11", 2, on ? "2012-07-01" : "2012-06-30");
       }},
      {"R07_LabourPeriodEndedBeforeTheMonth",
       "Fechas de períodos de ingreso/reingreso y/o baja no son consistentes con el período de la declaración del "
       "trabajador: " +
           kDoc,
       [](WorkingFixture& f, bool on) {
         registered(f, f.person(kDoc), "21", "11", 2, "2011-01-01", on ? "2012-05-31" : "2012-06-01");
       }},
      {"R08_MoreDaysThanThePeriodCovers",
       "Ha ingresado más dias de lo permitido, verifique Jornada Laboral del trabajador: " + kDoc,
       [](WorkingFixture& f, bool on) {
         registered(f, f.person(kDoc), "21", "11", 2, "2012-06-16");  // 15 days of June
         set(f, on ? "dias_lab = '16'" : "dias_lab = '15'");
       }},
      {"R09_TwoOpenLabourPeriods",
       kDoc + " está registrado con dos periodos laborales con fecha de baja en blanco. Ingrese a los datos, corrija y "
              "grabe.",
       [](WorkingFixture& f, bool on) {
         auto p = f.person(kDoc);
         registered(f, p, "21", "11", 2, "2010-01-01", on ? "" : "2010-12-31");
         RegistryBuilder{f.t.db()}.period(f.decl.ruc, p.correl_a, 1, 1, kDoc, "21", "2011-01-01", "");
       }},
      {"R10_ReplacedTypeFrom200901", "Ingresar al registro y cambiar el tipo del trabajador: " + kDoc,
       [](WorkingFixture& f, bool) { f.person(kDoc, profile("23")); }, "200901", "200812"},
      {"R10_NewTypeBefore200901", "Ingresar al registro y cambiar el tipo del trabajador: " + kDoc,
       [](WorkingFixture& f, bool) { f.person(kDoc, profile("67")); }, "200812", "200901"},
      {"R11_PensionerLabourPeriod",
       "Fechas de períodos de ingreso/reingreso y/o baja no son consistentes con el período de la declaración del "
       "pensionista: " +
           kDoc,
       [](WorkingFixture& f, bool on) {
         registered(f, f.person(kDoc, profile("24", "11", 2, 2)), "24", "11", 2, on ? "2012-07-01" : "2012-06-30");
       }},
      {"R12_ProviderDomicileChanged",
       "Debe grabar y refrescar, se ha cambiado la condición de domicilio para 10411223341",
       [](WorkingFixture& f, bool on) {
         f.t.db().run(
             "INSERT INTO ASEGVKRS (tip_doc_d, doc_id_d, correl_a, cod_cat_tra, tip_doc_a, doc_id_a, "
             "ind_domicilio) VALUES (6, ?, 7, 3, 6, '10411223341', ?)",
             {f.decl.ruc, on ? "2" : "1"});
         f.t.db().run(
             "INSERT INTO TMPF601RDCAB (correl_a, cod_cat_tra, tip_retencion, tip_doc_a, doc_id_a, "
             "ind_domicilio) VALUES (7, 3, 'R', 6, '10411223341', '1')");
       }},
      {"R13_TraineeWithoutAmount", "Registrar monto para PS Modalidad Formativa, documento: 70000001",
       [](WorkingFixture& f, bool on) {
         f.t.db().run(
             "INSERT INTO TMPF601MFCAB (correl_a, cod_cat_tra, tip_doc_a, doc_id_a, mto_renta) VALUES "
             "(9, 5, 1, '70000001', ?)",
             {on ? "" : "930.00"});
       }},
      {"R14_TraineeWithoutEstablishment",
       "Registrar establecimiento(s) para PS Modalidad Formativa, documento: 70000001",
       [](WorkingFixture& f, bool on) {
         f.t.db().run(
             "INSERT INTO TMPF601MFCAB (correl_a, cod_cat_tra, tip_doc_a, doc_id_a, mto_renta) VALUES "
             "(9, 5, 1, '70000001', '930.00')");
         if (!on)
           f.t.db().run(
               "INSERT INTO TMPF601_ESTABMF (correl_a, tip_doc_a, doc_id_a, cod_est, indica) VALUES "
               "(9, 1, '70000001', 1, 1)");
       }},
      {"R15_ThirdPartyWithoutSctrRate", "Registrar información de personal de terceros, 45000001",
       [](WorkingFixture& f, bool on) {
         f.t.db().run(
             "INSERT INTO COR_TASAS_601 (tip_doc_d, doc_id_d, doc_ruc_emp, cod_est, correl_tasa, tasa) "
             "VALUES (6, ?, ?, 2, 1, 1.53)",
             {f.decl.ruc, f.decl.ruc});
         f.t.db().run(
             "INSERT INTO TEMP2_F601 (CORREL_A, DOC_ID_A, tip_doc_a, Ruc, Correl_centro, Tasa, rem_sctrs) "
             "VALUES (5, '45000001', 1, ?, 2, ?, '1800.00')",
             {f.decl.ruc, on ? "" : "1.53"});
       }},
      {"R16_ThirdPartyRateNoLongerTheEstablishments",
       "Registrar información de personal de terceros. Ha cambiado establecimientos o tasas, documento 45000001",
       [](WorkingFixture& f, bool on) {
         f.t.db().run(
             "INSERT INTO COR_TASAS_601 (tip_doc_d, doc_id_d, doc_ruc_emp, cod_est, correl_tasa, tasa) "
             "VALUES (6, ?, ?, 2, 1, 1.53)",
             {f.decl.ruc, f.decl.ruc});
         f.t.db().run(
             "INSERT INTO TEMP2_F601 (CORREL_A, DOC_ID_A, tip_doc_a, Ruc, Correl_centro, Tasa, rem_sctrs) "
             "VALUES (5, '45000001', 1, ?, 2, ?, '1800.00')",
             {f.decl.ruc, on ? "1.23" : "1.530"});
       }},
      {"R17_VidaOfType67Before200901", "Concepto 0604 no válido para el periodo, documento: " + kDoc + " . Refrescar.",
       [](WorkingFixture& f, bool) { withAmount(f, "67", "0604"); }, "200812", "200901"},
      {"R18_EmployerContributionWithBaseWithoutAmount", "Registrar monto en concepto 0804, documento: " + kDoc,
       [](WorkingFixture& f, bool on) { conceptRow(f, f.person(kDoc), "0804", on ? "" : "90.00", "1000.00"); }},
      {"R19_AmountWithoutBase", "Ha ingresado monto en concepto 0804, base imponible no puede ser nula, " + kDoc,
       [](WorkingFixture& f, bool on) { conceptRow(f, f.person(kDoc), "0804", "90.00", on ? "" : "1000.00"); }},
      {"R20_WorkedDaysWithoutEssaludAmount",
       "Tiene días laborados, registrar importe en algún concepto afecto al ESSALUD para el trabajador " + kDoc,
       [](WorkingFixture& f, bool on) { f.amount(f.person(kDoc), "0121", on ? "0.00" : "0.01"); }},
      {"R21_ActiveWithoutEssaludConcept",
       "Registrar concepto afecto a EsSalud, pudiendo ser cero cuando esté subsidiado por el período, para el "
       "trabajador " +
           kDoc,
       [](WorkingFixture& f, bool on) {
         WorkerProfile p;
         p.diasLab = "0";
         auto k = f.person(kDoc, p);
         if (!on) f.amount(k, "0121", "0.00");  // zero counts for a worker without days
       }},
      {"R22_IncomeWithBaseWithoutAmount",
       "Monto del documento: " + kDoc + " no puede ser nulo. Tiene base de cálculo en concepto 0121",
       [](WorkingFixture& f, bool on) { conceptRow(f, f.person(kDoc), "0121", on ? "" : "100.00", "100.00"); }},
      {"R23_Essalud0804OfType67Before200901", "Concepto 0804 no válido para el periodo, documento: " + kDoc,
       [](WorkingFixture& f, bool) { withAmount(f, "67", "0804"); }, "200812", "200901"},
      {"R23_Sctr0806OfType67Before200901", "Concepto 0806 no válido para el periodo, documento: " + kDoc,
       [](WorkingFixture& f, bool) { withAmount(f, "67", "0806"); }, "200812", "200901"},
      {"R23_Snp0607OfType67Before200806", "Concepto 0607 no válido para el periodo, documento: " + kDoc,
       [](WorkingFixture& f, bool) { withAmount(f, "67", "0607"); }, "200805", "200806"},
      {"R23_Fcjmms0616Before201205", "Concepto 0616 no válido para el periodo, documento: " + kDoc,
       [](WorkingFixture& f, bool) { withAmount(f, "37", "0616"); }, "201204", "201205"},
      {"R23_Fcjmms0617Before201208", "Concepto 0617 no válido para el periodo, documento: " + kDoc,
       [](WorkingFixture& f, bool) { withAmount(f, "37", "0617"); }, "201207", "201208"},
      {"R23_Fcjmms0616OfAnotherType", "Concepto 0616 no válido para el periodo, documento: " + kDoc,
       [](WorkingFixture& f, bool on) { withAmount(f, on ? "21" : "38", "0616"); }},
      {"R24_Sctr0806OfTypes68And69",
       "No registrar montos en concepto 806 para trabajadores tipo 68 y 69, documento : " + kDoc,
       [](WorkingFixture& f, bool on) { withAmount(f, on ? "69" : "70", "0806"); }},
      {"R25_WorkerContributionWithoutAmount", "Monto en concepto 0607 del trabajador doc=" + kDoc + " esta vacío.",
       [](WorkingFixture& f, bool on) { conceptRow(f, f.person(kDoc), "0607", on ? "" : "130.00", "1000.00"); }},
      {"R25_PensionerContributionWithoutAmount", "Monto en concepto 0607 del pensionista doc=" + kDoc + " esta vacío.",
       [](WorkingFixture& f, bool on) {
         conceptRow(f, f.person(kDoc, profile("24", "11", 2, 2)), "0607", on ? "" : "130.00", "1000.00");
       }},
      {"R26_BaseNotGreaterThanAmount", "La base de calculo debe ser mayor al Monto en concepto 0607",
       [](WorkingFixture& f, bool on) { conceptRow(f, f.person(kDoc), "0607", on ? "100.00" : "99.99", "100.00"); }},
      {"R26_BaseNotPositive", "Si ingresa valor en base de cálculo debe ser mayor a cero en concepto 0607",
       [](WorkingFixture& f, bool on) { conceptRow(f, f.person(kDoc), "0607", "", on ? "0.00" : "0.01"); }},
      {"R26_AmountNotPositive", "Si ingresa valor en Monto debe ser mayor a cero en concepto 0607",
       [](WorkingFixture& f, bool on) { conceptRow(f, f.person(kDoc), "0607", on ? "0.00" : "0.01", "100.00"); }},
      {"R27_EssaludIncomeWithout0804", "Tiene conceptos afectos a ESSALUD, verificar trabajador " + kDoc,
       [](WorkingFixture& f, bool on) {
         auto p = f.person(kDoc);
         f.amount(p, "0121", "1000.00");
         if (!on) conceptRow(f, p, "0804", "90.00", "1000.00");
       }},
      {"R27_ExemptTypes", "Tiene conceptos afectos a ESSALUD, verificar trabajador " + kDoc,
       [](WorkingFixture& f, bool on) { f.amount(f.person(kDoc, profile(on ? "21" : "68")), "0121", "1000.00"); }},
      {"R27_Type67From200901", "Tiene conceptos afectos a ESSALUD, verificar trabajador " + kDoc,
       [](WorkingFixture& f, bool) { f.amount(f.person(kDoc, profile("67")), "0121", "1000.00"); }, "200901", "200812"},
      {"R28_PerfectSuspensionAllMonth",
       "Actualizar situación, todos los días del período corresponden a días de Suspensión Perfecta, documento " + kDoc,
       [](WorkingFixture& f, bool on) {
         auto p = f.person(kDoc);
         // As the import of a ".not" file leaves it: type 05, the month's days in dias_no_lab.
         f.t.db().run(
             "INSERT INTO TMPF601DIAS_NOLAB (correl_a, tip_doc_a, doc_id_a, tipo_suspen, fecha_ini, fecha_fin, "
             "dias_no_lab) VALUES (?, 1, ?, '05', ?, '30/06/2012', ?)",
             {p.correl_a, kDoc, on ? "01/06/2012" : "02/06/2012", on ? "30" : "29"});
       }},
      {"R29_SuspendedWithOtherDays",
       "Ha declarado dias que no corresponden a suspensión perfecta para el trabajador " + kDoc,
       [](WorkingFixture& f, bool on) {
         WorkerProfile w = profile("21", "15");
         w.diasLab = "0";
         auto p = f.person(kDoc, w);
         f.t.db().run(
             "INSERT INTO TMPF601DIAS_NOLAB (correl_a, tip_doc_a, doc_id_a, tipo_suspen, dias_no_lab) VALUES "
             "(?, 1, ?, ?, '3')",
             {p.correl_a, kDoc, on ? "21" : "05"});
       }},
      {"R30_SuspendedWithWorkedDays",
       "Los dias laborados y los dias subsidiados deben ser cero cuando se registra suspensión perfecta para el "
       "trabajador " +
           kDoc,
       [](WorkingFixture& f, bool on) {
         WorkerProfile w = profile("21", "15");
         w.diasLab = on ? "1" : "0";
         f.person(kDoc, w);
       }},
      {"R32_TypeDiffersFromTheRegistry",
       "El Tipo es distinto al ingresado en el registro para el trabajador " + kDoc +
           " Guardar, luego refrescar y guardar nuevamente.",
       [](WorkingFixture& f, bool on) { registered(f, f.person(kDoc), on ? "20" : "21", "11", 2); }},
      {"R32_SituationDiffersFromTheRegistry",
       "La Situación es distinta a la ingresada en el registro para el trabajador " + kDoc +
           " Guardar, luego refrescar y guardar nuevamente.",
       [](WorkingFixture& f, bool on) { registered(f, f.person(kDoc), "21", on ? "10" : "11", 2); }},
      {"R32_PensionDiffersFromTheRegistry",
       "El régimen pensionario es distinto al ingresado en el registro para el trabajador " + kDoc +
           " Guardar, luego refrescar y guardar nuevamente.",
       [](WorkingFixture& f, bool on) { registered(f, f.person(kDoc), "21", "11", on ? 21 : 2); }},
      {"R33_MoreWorkedDaysThanTheMonth",
       "Los dias laborados exceden los dias del mes. Corregir los periodos laborales en el registro del trabajador " +
           kDoc,
       [](WorkingFixture& f, bool on) {
         WorkerProfile w;
         w.diasLab = on ? "31" : "30";
         f.person(kDoc, w);
       }},
      {"R34_AffiliatedWithoutEpsRuc", "No ha registrado RUC de la EPS del trabajador " + kDoc,
       [](WorkingFixture& f, bool on) { eps(f, "1", on ? "" : "20100000001", "1", "1", "20100000001", "1"); }},
      {"R34_AffiliationDiffers",
       "El indicador de afiliación a EPS del trabajador " + kDoc +
           " no corresponde. Ingrese a los datos del registro del trabajador, verifique y grabe.",
       [](WorkingFixture& f, bool on) { eps(f, "1", "20100000001", "1", on ? "0" : "1", "20100000001", "1"); }},
      {"R34_RucWithoutAffiliation",
       "No debe registrar RUC de la EPS del trabajador " + kDoc +
           ". Ingrese a los datos del registro del trabajador, verifique y grabe.",
       [](WorkingFixture& f, bool on) { eps(f, "0", on ? "20100000001" : "", "", "0", "", ""); }},
      {"R34_EpsCodeMissing",
       "El código de EPS del trabajador " + kDoc +
           " no corresponde. Ingrese a los datos del registro del trabajador, verifique y grabe.",
       [](WorkingFixture& f, bool on) { eps(f, "1", "20100000001", on ? "" : "1", "1", "20100000001", "1"); }},
      {"R34_EpsRucDiffers", "Esta registrado con un RUC de EPS incorrecto para el trabajador " + kDoc,
       [](WorkingFixture& f, bool on) {
         eps(f, "1", on ? "20100000002" : "20100000001", "1", "1", "20100000001", "1");
       }},
      {"R34_EpsCodeDiffers", "Esta registrado con código de EPS incorrecto para el trabajador " + kDoc,
       [](WorkingFixture& f, bool on) { eps(f, "1", "20100000001", on ? "2" : "1", "1", "20100000001", "1"); }},
      {"R35_WorkerWithoutConcepts", "Registrar conceptos del trabajador, documento: " + kDoc,
       [](WorkingFixture& f, bool on) {
         auto p = f.person(kDoc);
         if (!on) f.amount(p, "0201", "0.00");
       }},
      {"R36_FcjmmsToRecomputeFrom201205",
       "Para regularizar su declaración de 05/2012 debe refrescar la declaración, así podrá recalcular el nuevo "
       "tributo FCJMMS",
       [](WorkingFixture& f, bool) {
         f.person(kDoc, profile("37"));
         set(f, "Tot_Ingresos = '1000.00', aporte_FCJMMS = ''");
       },
       "201205", "201204"},
      {"R37_AseguraTuPensionWithout0612",
       "Han habido cambios en el registro referente a Asegura tu pensión. Debe refrescar.",
       [](WorkingFixture& f, bool on) {
         WorkerProfile w;
         w.asegPens = "5.00";
         auto p = f.person(kDoc, w);
         if (!on) f.amount(p, "0612", "5.00");
       }},
      {"R38_FifthCategoryOfType67",
       "No debe registrar información de 5ta para tipo 67, documento: " + kDoc + " . Debe refrescar.",
       [](WorkingFixture& f, bool on) {
         f.person(kDoc, profile("67"));
         set(f, on ? "rem_afecta = '1000.00'" : "rem_afecta = ''");
       },
       "200805", "200805"},
      {"R38_FifthCategoryOfType67Before200806",
       "No debe registrar información de 5ta para tipo 67, documento: " + kDoc + " . Debe refrescar.",
       [](WorkingFixture& f, bool) {
         f.person(kDoc, profile("67"));
         set(f, "rem_afecta = '1000.00'");
       },
       "200805", "200806"},
      {"R39_PensionerWithoutIncome", "Registrar información del pensionista, documento: " + kDoc,
       [](WorkingFixture& f, bool on) {
         f.amount(f.person(kDoc, profile("24", "11", 2, 2)), "0101", "900.00");
         set(f, on ? "Tot_Ingresos = ''" : "Tot_Ingresos = '900.00'");
       }},
      {"R39_PensionerWithoutConcepts", "Registrar conceptos del pensionista, documento: " + kDoc,
       [](WorkingFixture& f, bool on) {
         auto p = f.person(kDoc, profile("24", "11", 2, 2));
         set(f, "Tot_Ingresos = '900.00'");
         if (!on) f.amount(p, "0101", "900.00");
       }},
      {"R41_CreditOfBox408AboveItsLimit",
       "El importe consignado en la casilla 408 no debe ser mayor al 25% del tributo EsSalud correspondiente a todos "
       "los trabajadores 26 o 36 afiliados a una EPS: (S/. 100)",
       [](WorkingFixture& f, bool on) {
         f.worker(kDoc, "rem_salud = '4444', cbssp = '400', ind_afieps = '1', rucEps = '20100000001'", "36");
         typed(f, {{"408", on ? "101" : "100"}});
       }},
      {"R42_BalanceWithoutAmountToPay", "Registrar importe a pagar en " + pensions,
       [](WorkingFixture& f, bool on) {
         f.worker(kDoc, "rem_pens = '9000', pens = '1200'");
         typed(f, {{"801", on ? "" : "1"}});
       }},
      {"R43_AmountToPayWithoutBalance", "No registrar importe a pagar en IMP. EXTRAOR. DE SOLIDARIDAD",
       [](WorkingFixture& f, bool on) {
         typed(f, {{"800", on ? "1" : ""}});
       }},
      {"R44_BoxOfAColumnNobodyCarries",
       "No debe registrar ningun importe en la columna de IMP. EXTRAOR. DE SOLIDARIDAD de Determinacion de la Deuda.",
       [](WorkingFixture& f, bool on) {
         typed(f, {{"500", on ? "1" : ""}});
       }},
      {"R45_TaxWithoutItsBase",
       "Debe existir base, impuesto y saldo a pagar en " + pensions + " en Determinación de la Deuda. Refrescar.",
       [](WorkingFixture& f, bool on) { f.worker(kDoc, on ? "pens = '1200'" : "rem_pens = '9000', pens = '1200'"); }},
      {"R46_AmountToPayAboveTheBalance", "El importe a Pagar no debe ser mayor que el Saldo a Pagar en " + pensions,
       [](WorkingFixture& f, bool on) {
         f.worker(kDoc, "rem_pens = '9000', pens = '1200'");
         typed(f, {{"801", on ? "1201" : "1200"}});
       }},
      {"R47_NothingToPay", "Debe declarar algun tributo",
       [](WorkingFixture& f, bool on) {
         f.worker(kDoc, "rem_pens = '9000', pens = '1200'");
         typed(f, {{"801", on ? "" : "1200"}});
       }},
      {"R48_NoPaymentType", "Registrar forma de pago.",
       [](WorkingFixture& f, bool on) { f.decl.payment.type = on ? "" : "E"; }},
      {"R49_ChequeWithoutBank", "Seleccione el banco.",
       [](WorkingFixture& f, bool on) {
         f.decl.payment = {"C", on ? "XX" : "02", "123", ""};
       }},
      {"R50_ChequeWithoutNumber", "Ingrese el número de cheque.",
       [](WorkingFixture& f, bool on) {
         f.decl.payment = {"C", "02", on ? "" : "1", ""};
       }},
      {"R51_ChequeNumberZero", "Ingrese un número de cheque diferente de '0'.",
       [](WorkingFixture& f, bool on) {
         f.decl.payment = {"C", "02", on ? "000" : "010", ""};
       }},
      {"R53_SavedWithAnOlderParameterVersion",
       "Debe refrescar antes de guardar. Declaración ha sido grabada con versión anterior.",
       [](WorkingFixture& f, bool on) {
         f.t.db().run(
             "INSERT INTO DET (tip_doc_d, doc_id_d, periodo, Formulario, Casilla, i_valor) VALUES (6, ?, ?, "
             "'0601', '722', ?)",
             {f.decl.ruc, f.decl.periodo, on ? std::string("0") : determination::parameterVersion(f.t.db())});
       }},
      {"SctrRateNoLongerTheEstablishments",
       "Registrar SCTR del trabajador. Ha cambiado establecimientos o tasas, documento " + kDoc,
       [](WorkingFixture& f, bool on) {
         f.t.db().run(
             "INSERT INTO COR_TASAS_601 (tip_doc_d, doc_id_d, doc_ruc_emp, cod_est, correl_tasa, tasa) "
             "VALUES (6, ?, ?, 1, 1, 1.53)",
             {f.decl.ruc, f.decl.ruc});
         f.sctrChoice(f.person(kDoc), on ? "1.54" : "1.53");
       }},
  };
  return r;
}

class ValidationRules : public ::testing::TestWithParam<Rule> {
 protected:
  // The lines of the validation of a declaration set up by the case.
  static std::vector<std::string> linesOf(const Rule& rule, bool on) {
    WorkingFixture f(on ? rule.periodOn : rule.periodOff);
    f.decl.typedBoxesRead = true;
    rule.setup(f, on);
    auto r = determination::DeclarationValidator(f.t.session(), f.decl).CmdValidar_Click(f.t.dir() / "Mens.txt");
    EXPECT_FALSE(r.stopped) << r.stopMessage;
    return r.lines;
  }
};

TEST_P(ValidationRules, ListedUnderItsConditionOnly) {
  const Rule& rule = GetParam();
  auto has = [&](const std::vector<std::string>& lines) {
    return std::find(lines.begin(), lines.end(), rule.line) != lines.end();
  };
  auto on = linesOf(rule, true);
  EXPECT_TRUE(has(on)) << "not listed with its condition:\n" << testing::PrintToString(on);
  EXPECT_FALSE(has(linesOf(rule, false))) << "listed just outside its condition";
}

INSTANTIATE_TEST_SUITE_P(Table, ValidationRules, ::testing::ValuesIn(rules()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace korventa::test
