// Suspensions of a worker: the checks of the detail forms in their order, the totals the lists
// keep in the working row and the certificate kept beside a subsidised suspension.
#include <gtest/gtest.h>

#include "detail/suspensions.h"
#include "detail/suspension_detail_form.h"
#include "detail/suspension_list_form.h"
#include "detail/days_fixture.h"

namespace korventa::test {
namespace {

using detail::SuspensionDetailForm;
using detail::SuspensionKind;
using detail::SuspensionListForm;

struct Fields {
  const char* tipo;
  const char* ini;
  const char* fin;
  const char* citt;
  const char* dias;
};

class SuspensionsTest : public DaysFixture {
 protected:
  // Worker 2 (female, open period since 2009) and worker 1 (male) of the demo registry.
  detail::Outcome enter(SuspensionKind kind, const Fields& f, const PersonKey& p) {
    SuspensionDetailForm d(session(), decl_, p, kind);
    d.load();
    d.setTipoSuspen(f.tipo);
    d.setFechaIni(f.ini);
    d.setFechaFin(f.fin);
    d.setNumCitt(f.citt);
    d.setDias(f.dias);
    return d.save();
  }
  long long rows() { return db().integer("SELECT count(*) FROM TMPF601DIAS_NOLAB"); }
};

TEST_F(SuspensionsTest, ChecksInOrder) {
  PersonKey maria = addWorker(2);
  PersonKey juan = addWorker(1);
  ASSERT_TRUE(enter(SuspensionKind::NotSubsidised, {"23", "10/06/2012", "15/06/2012", "", "6"}, juan).ok);
  // Already recorded: a suspension with certificate A-100 from 01/06 to 05/06, and a certificate
  // of another source from 20/06 to 25/06.
  ASSERT_TRUE(enter(SuspensionKind::Subsidised, {"21", "01/06/2012", "05/06/2012", "A-100", "5"}, maria).ok);
  db().run(
      "INSERT INTO TMPF600SUBSID (correl_a, tip_doc_a, doc_id_a, num_citt, fecha_SD, fecha_SH) VALUES "
      "(?, ?, ?, 'B-200', '20/06/2012', '25/06/2012')",
      {maria.correl_a, maria.tip_doc_a, maria.doc_id_a});
  PersonKey luis = addWorker(3);
  db().run("UPDATE ASEGVKRS SET fec_baja = '2012-06-27', sexo = 'F' WHERE doc_id_d = ? AND correl_a = 3",
           {std::string(kDemoRuc)});

  constexpr auto kSub = SuspensionKind::Subsidised;
  constexpr auto kNot = SuspensionKind::NotSubsidised;
  struct Case {
    const char* name;
    SuspensionKind kind;
    PersonKey who;
    Fields f;
    const char* message;
    const char* focus;
  } cases[] = {
      {"no_type", kSub, maria, Fields{"", "10/06/2012", "12/06/2012", "C1", "3"}, "Debe ingresar tipo de suspensión.",
       "CmbTipoSuspen"},
      {"start_not_a_date", kSub, maria, Fields{"21", "31/06/2012", "12/06/2012", "C1", "3"},
       "La fecha de inicio no es válida", "MskFechaIni"},
      {"same_type_and_start", kSub, maria, Fields{"21", "01/06/2012", "12/06/2012", "C1", "3"},
       "Ya se ingresó esta suspensión", "MskFechaIni"},
      {"end_not_a_date", kSub, maria, Fields{"21", "10/06/2012", "", "C1", "3"}, "La fecha fin no es válida",
       "MskFechaFin"},
      {"no_certificate", kSub, maria, Fields{"21", "10/06/2012", "12/06/2012", "", "3"},
       "Debe ingresar el número de CITT ", "TxtNumCitt"},
      {"certificate_zero", kSub, maria, Fields{"21", "10/06/2012", "12/06/2012", "000", "3"},
       "El número del  CITT no puede ser cero", "TxtNumCitt"},
      {"end_before_start", kSub, maria, Fields{"21", "10/06/2012", "09/06/2012", "C1", "3"},
       "La  fecha de fin no puede ser menor a la fecha Inicio", "MskFechaFin"},
      {"start_after_the_period", kSub, maria, Fields{"21", "01/07/2012", "03/07/2012", "C1", "3"},
       "La fecha no debe ser mayor al período que se declara", "MskFechaIni"},
      {"overlaps_another_certificate", kSub, maria, Fields{"21", "18/06/2012", "21/06/2012", "C1", "3"},
       "Fechas se cruzan con otros registros ingresados", "MskFechaIni"},
      {"start_after_leaving", kSub, luis, Fields{"21", "28/06/2012", "29/06/2012", "C1", "2"},
       "La fecha inicio no debe ser mayor a la fecha de baja del trabajador 27/06/2012", "MskFechaIni"},
      {"end_after_leaving", kSub, luis, Fields{"21", "26/06/2012", "29/06/2012", "C1", "2"},
       "La fecha fin no debe ser mayor a la fecha de baja del trabajador 27/06/2012", "MskFechaFin"},
      {"same_certificate", kSub, maria, Fields{"22", "10/06/2012", "12/06/2012", "A-100", "3"},
       "Ya se ingresó este CITT", "TxtNumCitt"},
      {"no_days", kSub, maria, Fields{"21", "10/06/2012", "12/06/2012", "C1", ""},
       "Ingrese la cantidad de dias subsidiados en el mes", "TxtDias"},
      {"more_days_than_the_certificate", kSub, maria, Fields{"21", "10/06/2012", "12/06/2012", "C1", "4"},
       "La cantidad de dias subsidiados en el mes no puede ser mayor a 3", "TxtDias"},
      {"more_days_than_the_month", kSub, maria, Fields{"21", "10/04/2012", "31/05/2012", "C1", "31"},
       "La cantidad de dias subsidiados en el mes no puede ser mayor a 30", "TxtDias"},
      {"maternity_of_a_man_after_all_date_checks", kSub, juan, Fields{"22", "10/06/2012", "12/06/2012", "C1", "3"},
       "No puede registrar dias subsidiados por maternidad. El trabajador es de sexo masculno", "CmbTipoSuspen"},
      {"not_two_months_before_the_period", kNot, juan, Fields{"07", "30/04/2012", "02/05/2012", "", "1"},
       "La fecha de inicio no es válida", "MskFechaIni"},
      {"not_end_not_a_date", kNot, juan, Fields{"07", "01/06/2012", "", "", "1"}, "La fecha fin  no es válida",
       "MskFechaFin"},
      {"not_next_month_is_after_the_period", kNot, juan, Fields{"07", "01/07/2012", "02/07/2012", "", "1"},
       "La fecha no debe ser mayor al período que se declara", "MskFechaIni"},
      {"not_start_inside_another_range", kNot, juan, Fields{"07", "15/06/2012", "20/06/2012", "", "1"},
       "Ya se ingresó información para este rango de fechas", "MskFechaIni"},
      {"not_range_around_another", kNot, juan, Fields{"07", "05/06/2012", "20/06/2012", "", "1"},
       "Ya se ingresó información para este rango de fechas", "MskFechaIni"},
      {"not_no_days", kNot, juan, Fields{"07", "20/06/2012", "22/06/2012", "", ""},
       "Ingrese la cantidad de dias no trabajados y no subsidiados en el mes", "TxtDias"},
      {"not_more_days_than_in_the_month", kNot, juan, Fields{"07", "28/05/2012", "02/06/2012", "", "3"},
       "La cantidad de dias no laborados y no trabajados en el mes no puede ser mayor a 2", "TxtDias"},
  };
  for (const auto& c : cases) {
    msg().clear();
    auto before = rows();
    auto r = enter(c.kind, c.f, c.who);
    EXPECT_FALSE(r.ok) << c.name;
    EXPECT_EQ(msg().last(), c.message) << c.name;
    EXPECT_EQ(r.focus, c.focus) << c.name;
    EXPECT_EQ(rows(), before) << c.name << ": nothing written";
  }
  EXPECT_TRUE(enter(SuspensionKind::Subsidised, {"22", "10/06/2012", "12/06/2012", "C1", "3"}, maria).ok)
      << "maternity of a woman";
  EXPECT_TRUE(enter(SuspensionKind::NotSubsidised, {"07", "28/05/2012", "02/06/2012", "", "2"}, juan).ok)
      << "the month before the period is allowed";
  EXPECT_EQ(worker(juan, "dias_no_lab"), "8");
}

TEST_F(SuspensionsTest, ModifyListsTheWorkersTotalsAndTheCertificate) {
  PersonKey p = addWorker(2);
  ASSERT_TRUE(enter(SuspensionKind::Subsidised, {"21", "01/06/2012", "05/06/2012", "A-100", "5"}, p).ok);
  EXPECT_EQ(rowTexts(db().row("SELECT fecha_SD, fecha_SH, dias_citt FROM TMPF600SUBSID WHERE num_citt = 'A-100'")),
            (std::vector<std::string>{"01/06/2012", "05/06/2012", "5"}));
  {
    // Modifying keeps the key and moves the certificate.
    SuspensionDetailForm d(session(), decl_, p, SuspensionKind::Subsidised, detail::SuspensionKey{"21", "01/06/2012"});
    d.load();
    EXPECT_EQ(d.diasCitt(), "5");
    EXPECT_EQ(d.diasMax(), "5");
    d.setNumCitt("A-200");
    d.setFechaFin("08/06/2012");
    d.setDias("8");
    ASSERT_TRUE(d.save().ok) << msg().last();
  }
  EXPECT_EQ(rows(), 1);
  EXPECT_EQ(db().text("SELECT group_concat(num_citt) FROM TMPF600SUBSID"), "A-200");
  EXPECT_EQ(worker(p, "dias_sub"), "8");
  ASSERT_TRUE(enter(SuspensionKind::Subsidised, {"21", "11/06/2012", "12/06/2012", "A-101", "2"}, p).ok);
  ASSERT_TRUE(enter(SuspensionKind::NotSubsidised, {"07", "20/06/2012", "20/06/2012", "", "1"}, p).ok);
  EXPECT_EQ(worker(p, "dias_sub"), "10");
  EXPECT_EQ(worker(p, "dias_no_lab"), "1");

  SuspensionListForm sub(session(), decl_, p, SuspensionKind::Subsidised);
  sub.refresh();
  ASSERT_EQ(sub.rows().size(), 2u);
  EXPECT_EQ(sub.rows()[0].descripcion, "INCAPACIDAD TEMPORAL (SUBSIDIADO)");
  // The selection and delete questions are ListForm's (tests/common).
  msg().queueAnswer(Answer::Yes);
  EXPECT_TRUE(sub.remove(0));
  EXPECT_EQ(worker(p, "dias_sub"), "2");
  EXPECT_FALSE(db().exists("SELECT 1 FROM TMPF600SUBSID WHERE num_citt = 'A-200'"));
  msg().queueAnswer(Answer::Yes);
  EXPECT_TRUE(sub.remove(0));
  EXPECT_EQ(worker(p, "dias_sub"), "") << "no suspension left: not declared";
  EXPECT_EQ(worker(p, "dias_no_lab"), "1") << "the other list is untouched";
}

// The question and its Cancel/No answers are ListForm's (tests/common); here what typing sets off.
TEST_F(SuspensionsTest, LeavingWithChangesAsksAndSavesOnYes) {
  PersonKey p = addWorker(2);
  SuspensionDetailForm d(session(), decl_, p, SuspensionKind::Subsidised);
  d.load();
  EXPECT_TRUE(d.close()) << "nothing typed yet";
  EXPECT_TRUE(msg().entries().empty());
  d.setTipoSuspen("21");
  d.setFechaIni("01/06/2012");
  d.setFechaFin("02/06/2012");
  d.setNumCitt("X1");
  d.setDias("2");
  msg().queueAnswer(Answer::Yes);
  EXPECT_TRUE(d.close());
  EXPECT_TRUE(msg().entries().front().question);
  EXPECT_EQ(rows(), 1);
}

// The days of a range within the month bound the days typed in ChecksInOrder (from the month
// before, around the month, inside it).
TEST_F(SuspensionsTest, LongCertificatesAreAnnounced) {
  PersonKey p = addWorker(2);
  SuspensionDetailForm d(session(), decl_, p, SuspensionKind::Subsidised);
  d.load();
  d.setFechaIni("01/01/2012");
  d.setFechaFin("31/12/2012");
  EXPECT_EQ(d.diasCitt(), "366");
  EXPECT_EQ(msg().last(), "Los días subsidiados del CITT son mayores a 345 ");
  EXPECT_EQ(msg().entries().back().icon, MsgIcon::Information);
}

}  // namespace
}  // namespace korventa::test
