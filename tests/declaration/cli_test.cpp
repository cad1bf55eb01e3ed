// The road of a declaration through korventa-cli on the demo registry: exit codes, what goes to
// stdout (tables) and the messages on stderr.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/cli_runner.h"
#include "support/test_db.h"

namespace korventa::test {
namespace {

namespace fs = std::filesystem;

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!runner_.available()) GTEST_SKIP() << "korventa-cli no está construido";
    ASSERT_EQ(run("init --demo").rc, 0);
  }
  CliRun run(const std::string& args) { return runner_.run(args); }
  // Runs a command that must succeed; its standard output.
  std::string ok(const std::string& args) {
    auto r = run(args);
    EXPECT_EQ(r.rc, 0) << args << "\n" << r.err;
    return r.out;
  }
  CliRunner runner_;
  const fs::path& db_ = runner_.db();
};

TEST_F(CliTest, TheRoadOfADeclaration) {
  const std::string ruc = "20503987610";
  auto r = run("new " + ruc + " 201206 --telefono 4411223");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("Declaración grabada: 20503987610 06/2012"), std::string::npos);
  EXPECT_NE(r.err.find("La declaración fue grabada satisfactoriamente."), std::string::npos);

  std::string out = ok("list");
  EXPECT_EQ(out.substr(0, out.find('\n')), "DOC_ID_D\tNOMBRE\tPERIODO\tFORMULARIO\tESTADO\tRECTIFICA");
  EXPECT_NE(out.find(ruc + "\tCORPORACIÓN INDUSTRIAL ANDES DEL PACÍFICO S.A.A.\t062012\t0601\t0\t0"), std::string::npos);
  EXPECT_NE(ok("show " + ruc + " 201206 --det").find("028\t4411223\t01"), std::string::npos);

  ASSERT_EQ(run("copy " + ruc + " 201206 07/2012").rc, 0);

  r = run("send " + ruc + " 201207");
  EXPECT_EQ(r.rc, 1) << "a copy waits for its refresh";
  ASSERT_EQ(run("refresh " + ruc + " 201207").rc, 0);
  out = ok("send " + ruc + " 201207");
  auto lines = out.substr(out.find('\n') + 1);
  std::string numero = lines.substr(lines.rfind('\t') + 1);
  numero.erase(numero.find_last_not_of("\n") + 1);
  ASSERT_EQ(numero.size(), 10u);

  ok("order-number " + ruc + " 201207 1 " + numero);
  EXPECT_NE(ok("--json list --sent").find("\"NORDEN\": \"" + numero + "\""), std::string::npos);

  EXPECT_EQ(run("delete " + ruc + " 201207").rc, 1) << "the question's default answer is No";
  ASSERT_EQ(run("--yes delete " + ruc + " 201207").rc, 0);
  r = run("recover " + ruc + " 201207 1");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.err.find("Se termino de recuperar la información satisfactoriamente."), std::string::npos);
  out = ok("show " + ruc + " 201207");
  EXPECT_NE(out.find("\t9\t1\t"), std::string::npos) << out;  // estado 9, ind_ref 1
  EXPECT_EQ(run("new 20100070970 201206").rc, 1) << "not a declarant of the registry";
}

// Concept amounts typed, computed, saved and listed; the determination boxes, the payment and the
// validation of the same declaration.
TEST_F(CliTest, ConceptsBoxesPaymentAndValidation) {
  const std::string ruc = "20503987610";
  ASSERT_EQ(run("new " + ruc + " 201206").rc, 0);
  auto r = run("validate " + ruc + " 201206");
  EXPECT_EQ(r.rc, 3) << r.err;
  EXPECT_NE(r.out.find("Marcar establecimiento para documento: 41235678\n"), std::string::npos) << r.out;

  // The period as the listings show it (MMYYYY) is taken as well.
  std::string out = ok("concept " + ruc + " 062012 1 41235678 0121 2500.00");
  EXPECT_NE(out.find("\t0121\t2500.00\t2500.00\t"), std::string::npos) << out;
  // Saved: a new run of the program reads the computed EsSalud contribution back.
  out = ok("show " + ruc + " 06/2012 --concepts 41235678");
  EXPECT_NE(out.find("1\t41235678\t1\t1\t0804\t225.00\t225.00\t2500.00\n"), std::string::npos) << out;
  EXPECT_EQ(out.find("10457823"), std::string::npos) << "only the person asked for";
  r = run("concept " + ruc + " 201206 1 99999999 0121 10.00");
  EXPECT_EQ(r.rc, 1);
  EXPECT_NE(r.err.find("no es trabajador ni pensionista"), std::string::npos) << r.err;

  out = ok("compute " + ruc + " 201206");
  EXPECT_NE(out.find("Declaración calculada y grabada: " + ruc + " 06/2012"), std::string::npos) << out;
  EXPECT_EQ(run("show " + ruc + " 2012-06").rc, 1);

  // The other listings of the stored declaration.
  out = ok("show " + ruc + " 201206 --receipts --totals");
  EXPECT_NE(out.find("casilla\tvalor\n320\t"), std::string::npos) << out;

  out = ok("set " + ruc + " 201206 800=5 pago=C banco=02 cheque=123");
  // +Vida and Asegura tu Pensión are paid as they are due: the total holds them and the 5 typed.
  ASSERT_EQ(out.rfind("Total a pagar: ", 0), 0u) << out;
  EXPECT_NE(out.find(" (con inconsistencias, estado 9)\n"), std::string::npos) << out;
  const long long total = std::stoll(out.substr(15));
  EXPECT_GT(total, 5);
  out = ok("show " + ruc + " 201206 --boxes");
  EXPECT_EQ(out.substr(0, out.find('\n')),
            "Tributo\tBase Imponible\tImpuesto Resultante\tCompensaciones\tCrédito EPS (Ley 26790)\tCrédito EPS Per. "
            "Anterior\tOtr. Deducc. Permit. Ley\tPagos Previos\tInterés Moratorio\tSaldo a Pagar\tImporte a Pagar");
  EXPECT_NE(out.find("IMP. EXTRAOR. DE SOLIDARIDAD\t450=\t410=\t600=\t-\t-\t-\t500=\t700=\t710=\t800=5\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("Total a pagar\t\t\t\t\t\t\t\t\t\t" + std::to_string(total) + "\n"), std::string::npos) << out;
  out = ok("show " + ruc + " 201206");
  EXPECT_NE(out.find("\t02\t123\t\t" + std::to_string(total) + "\t0\t9\t"), std::string::npos) << out;  // estado 9

  r = run("set " + ruc + " 201206 711=5");
  EXPECT_EQ(r.rc, 1);
  EXPECT_NE(r.err.find("La casilla 711 no se puede registrar con el valor '5'"), std::string::npos) << r.err;
  EXPECT_EQ(ok("set " + ruc + " 201206 800= pago=E"), "Total a pagar: " + std::to_string(total - 5) + "\n");

  // A registry change waiting for its refresh stops the validation.
  data::Database::open(db_)->run("UPDATE CAB SET ind_ref = 1");
  r = run("validate " + ruc + " 201206");
  EXPECT_EQ(r.rc, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("Se han cambiado datos del registro, debe refrescar."), std::string::npos) << r.err;
}

}  // namespace
}  // namespace korventa::test
