// The road of a declaration through korventa-cli on the demo registry: exit codes, what goes to
// stdout (tables) and the messages on stderr.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/cli_runner.h"
#include "support/test_db.h"

namespace korventa::test {
namespace {

namespace fs = std::filesystem;

// Rows of a tab-separated listing, its header included.
std::vector<std::vector<std::string>> rows(const std::string& listing) {
  std::vector<std::vector<std::string>> out;
  std::istringstream in(listing);
  for (std::string l; std::getline(in, l);) {
    std::vector<std::string> f;
    std::istringstream fields(l);
    for (std::string x; std::getline(fields, x, '\t');) f.push_back(x);
    if (!l.empty() && l.back() == '\t') f.emplace_back();
    out.push_back(std::move(f));
  }
  return out;
}

const std::string kDemoRuc = "20503987610";

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
  std::string demoFile(const std::string& ext) {
    return "'" + (fs::path(KORVENTA_SOURCE_DIR) / "data/demo/import" / ("060120503987610201206." + ext)).string() + "'";
  }
  // A file of our own with the demo file's name, in a folder of the test.
  std::string ownFile(const std::string& ext, const std::string& content) {
    fs::create_directories(runner_.dir() / "correcciones");
    fs::path p = runner_.dir() / "correcciones" / ("060120503987610201206." + ext);
    std::ofstream(p) << content;
    return "'" + p.string() + "'";
  }
  // The stored estado of the demo declaration of a period.
  std::string estado(const std::string& periodo = "201206") {
    auto r = rows(ok("show " + kDemoRuc + " " + periodo));
    if (r.size() < 2) return "<none>";
    auto c = std::find(r[0].begin(), r[0].end(), "estado") - r[0].begin();
    return r[1].at(static_cast<std::size_t>(c));
  }
  // What the validation says and what the last save stored agree: exit 3 with estado 9, exit 0
  // with estado 0. Returns the validation's lines.
  std::string expectValidationAgreesWithTheSave(const std::string& after) {
    auto v = run("validate " + kDemoRuc + " 201206");
    // Answered from the stamp of the last save or not, the validation prints what opening the
    // declaration and validating it prints.
    auto full = run("validate " + kDemoRuc + " 201206 --full");
    EXPECT_EQ(v.rc, full.rc) << after;
    EXPECT_EQ(v.out, full.out) << after;
    EXPECT_EQ(v.err, full.err) << after;
    std::string e = estado();
    EXPECT_TRUE((v.rc == 3 && e == "9") || (v.rc == 0 && e == "0"))
        << after << ": validate exit " << v.rc << ", estado " << e << "\n"
        << v.out;
    return v.out;
  }
  // The corrections a user makes to the new demo declaration until nothing is inconsistent, each
  // one saved by its command: the demo files imported (and their refused lines corrected), the
  // establishment of every worker, the pay of those without, the typed contributions, the
  // amounts to pay.
  void correctTheDemoDeclaration() {
    const std::string rp = kDemoRuc + " 201206 ";
    const std::string work = " --work-dir '" + (runner_.dir() / "trabajo").string() + "'";
    ok("import " + rp + demoFile("jor") + " " + demoFile("tes") + " " + demoFile("sub") + " " + demoFile("not") + " " +
       demoFile("rem") + " " + demoFile("pen") + work);
    ok("import " + rp + demoFile("4ta") + work);
    ok("import " + rp + demoFile("for") + " " + demoFile("mfe") + work);
    ok("import " + rp + demoFile("sct") + work);
    expectValidationAgreesWithTheSave("the demo files");
    ok("import " + rp + ownFile("mfe", "01|73456789|20548761230|6|\n") + " " +
       ownFile("sct", "01|47890345|2|1.53|100.00|\n") + work);
    auto persons = rows(ok("show " + rp + "--persons"));
    for (std::size_t i = 1; i < persons.size(); ++i)
      if (persons[i][5] == "1") ok("establishments " + rp + persons[i][6] + " " + persons[i][7] + " --set 1");
    std::string lines = expectValidationAgreesWithTheSave("the establishments");
    for (std::size_t i = 1; i < persons.size(); ++i) {
      const auto& doc = persons[i][7];
      if (persons[i][5] == "1" &&
          (lines.find("Registrar conceptos del trabajador, documento: " + doc + "\n") != std::string::npos ||
           lines.find("ESSALUD para el trabajador " + doc + "\n") != std::string::npos))
        ok("concept " + rp + "1 " + doc + (persons[i][9] == "98" ? " 0924" : " 0121") + " 2500.00");
    }
    expectValidationAgreesWithTheSave("the pay");
    std::string rem;
    for (const auto& c : rows(ok("show " + rp + "--concepts")))
      if (c[3] == "1" && c[4].rfind("06", 0) == 0 && c[5].empty() && !c[7].empty())
        rem += "01|" + c[1] + "|" + c[4] + "|10.00|10.00|\n";
    ASSERT_FALSE(rem.empty());
    ok("import " + rp + ownFile("rem", rem) + work);
    expectValidationAgreesWithTheSave("the contributions");
    std::string pay;
    for (const auto& b : rows(ok("show " + rp + "--boxes"))) {
      if (b.size() < 11 || b[9].find('=') == std::string::npos || b[10].back() != '=') continue;
      std::string balance = b[9].substr(b[9].find('=') + 1);
      balance.erase(std::remove(balance.begin(), balance.end(), ','), balance.end());
      if (!balance.empty()) pay += " " + b[10] + balance;
    }
    ok("set " + rp + pay + " pago=E");
    EXPECT_EQ(expectValidationAgreesWithTheSave("the amounts to pay"), "");
  }
  CliRunner runner_;
  const fs::path& db_ = runner_.db();
};

// The demo declaration from new to sent: refused while inconsistent, corrected with the commands
// a user types (the validation and the stored estado agreeing after each), sent once clean.
TEST_F(CliTest, TheRoadOfADeclaration) {
  const std::string ruc = kDemoRuc;
  auto r = run("new " + ruc + " 201206 --telefono 4411223");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_NE(r.out.find("Declaración grabada: 20503987610 06/2012 (con inconsistencias, estado 9)"), std::string::npos);
  EXPECT_NE(r.err.find("La información de la declaración fue guardada con inconsistencias. En estas condiciones no "
                       "podrá ser enviada a la ZUMAR."),
            std::string::npos);

  std::string out = ok("list");
  EXPECT_EQ(out.substr(0, out.find('\n')), "DOC_ID_D\tNOMBRE\tPERIODO\tFORMULARIO\tESTADO\tRECTIFICA");
  EXPECT_NE(out.find(ruc + "\tCORPORACIÓN INDUSTRIAL ANDES DEL PACÍFICO S.A.A.\t062012\t0601\t9\t0"),
            std::string::npos);
  EXPECT_NE(ok("show " + ruc + " 201206 --det").find("028\t4411223\t01"), std::string::npos);
  expectValidationAgreesWithTheSave("new");
  r = run("send " + ruc + " 201206");
  EXPECT_EQ(r.rc, 1) << "saved with inconsistencies";
  EXPECT_NE(r.err.find("tiene estado 9"), std::string::npos) << r.err;
  EXPECT_EQ(ok("list --sent").find(ruc), std::string::npos);

  correctTheDemoDeclaration();
  auto v = run("validate " + ruc + " 201206");
  EXPECT_EQ(v.rc, 0);
  EXPECT_NE(v.err.find("La declaración no presenta inconsistencias."), std::string::npos) << v.err;
  r = run("save " + ruc + " 201206");
  EXPECT_EQ(r.rc, 0);
  EXPECT_NE(r.err.find("La declaración fue grabada satisfactoriamente."), std::string::npos) << r.err;
  EXPECT_EQ(estado(), "0");

  ASSERT_EQ(run("copy " + ruc + " 201206 07/2012").rc, 0);
  r = run("send " + ruc + " 201207");
  EXPECT_EQ(r.rc, 1) << "a copy waits for its refresh";
  ASSERT_EQ(run("refresh " + ruc + " 201207").rc, 0);
  // The providers' receipts are not copied: nothing to pay of their retentions in July.
  EXPECT_EQ(run("validate " + ruc + " 201207").out,
            "No registrar importe a pagar en RENTA 4TA CAT. RETENCIONES\nNo debe registrar ningun importe en la "
            "columna de RENTA 4TA CAT. RETENCIONES de Determinacion de la Deuda.\n");
  ok("set " + ruc + " 201207 811=");
  ASSERT_EQ(estado("201207"), "0") << run("validate " + ruc + " 201207").out;
  out = ok("send " + ruc + " 201207");
  auto lines = out.substr(out.find('\n') + 1);
  std::string numero = lines.substr(lines.rfind('\t') + 1);
  numero.erase(numero.find_last_not_of("\n") + 1);
  ASSERT_EQ(numero.size(), 10u);
  EXPECT_EQ(run("send " + ruc + " 201207").rc, 1) << "sent: estado 1 until saved again";

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

// scripts/demo tells the truth: the new declaration is inconsistent and its sending refused; it is
// corrected until the validation finds nothing, saved with estado 0, and only then sent. It reads
// the user's database and writes nothing into the user's folders.
TEST_F(CliTest, ProgressPrintsAFewLinesPerStepOnStderr) {
  // Lines of stderr that start with `step`.
  auto linesOf = [](const std::string& err, const std::string& step) {
    std::vector<std::string> out;
    std::istringstream in(err);
    for (std::string l; std::getline(in, l);)
      if (l.rfind(step, 0) == 0) out.push_back(l);
    return out;
  };
  const std::string loading = "Cargando trabajadores…", computing = "Calculando la declaración…",
                    saving = "Guardando la declaración…";
  auto r = run("--progress new " + kDemoRuc + " 201206");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.out.find(loading), std::string::npos) << "progress goes to stderr only";
  for (const auto& step : {loading, computing, saving}) {
    SCOPED_TRACE(step);
    auto lines = linesOf(r.err, step);
    ASSERT_GE(lines.size(), 2u) << r.err;
    EXPECT_EQ(lines.front(), step);  // the step, then its counts
    EXPECT_LE(lines.size(), 11u) << "one line per tenth at most";
    // The last count is the whole: "N/N".
    std::string last = lines.back().substr(step.size() + 1);
    auto slash = last.find('/');
    ASSERT_NE(slash, std::string::npos) << lines.back();
    EXPECT_EQ(last.substr(0, slash), last.substr(slash + 1)) << lines.back();
  }
  // Without the flag, none of it.
  ASSERT_EQ(run("--yes delete " + kDemoRuc + " 201206").rc, 0);
  r = run("new " + kDemoRuc + " 201206");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_TRUE(linesOf(r.err, loading).empty()) << r.err;
}

TEST_F(CliTest, DemoScriptSendsOnlyAConsistentDeclaration) {
  const fs::path user = runner_.dir() / "usuario";
  fs::create_directories(user / "RPT");
  const fs::path ini = runner_.dir() / "usuario.ini";
  std::ofstream(ini) << "[Options]\nSysPath=" << user.string() << "/\nSysUser=CONTADOR\n";
  const std::string before = slurp(ini);
  const fs::path out = runner_.dir() / "demo.txt";
  std::string cmd = "cd '" + runner_.dir().path().string() + "' && HOME='" + user.string() + "' KORVENTA_INI='" +
                    ini.string() + "' KORVENTA_CLI='" + runner_.cli().string() + "' QT_QPA_PLATFORM=offscreen '" +
                    (fs::path(KORVENTA_SOURCE_DIR) / "scripts/demo").string() + "' '" + db_.string() + "' > '" +
                    out.string() + "' 2>&1";
  int status = std::system(cmd.c_str());
  std::string text = slurp(out);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << text;
  auto at = [&](const std::string& s) { return text.find(s); };
  auto refused = at("(envío rechazado, como se esperaba: código de salida 1)");
  auto clean = at("Validación: La declaración no presenta inconsistencias.");
  auto zero = text.find("\t0\t0\t0\t", at("Cabecera grabada"));  // rectifica, estado, ind_ref
  auto sent = at("Envío de la declaración sin inconsistencias");
  ASSERT_NE(refused, std::string::npos) << text;
  ASSERT_NE(clean, std::string::npos) << text;
  ASSERT_NE(sent, std::string::npos) << text;
  EXPECT_LT(refused, clean);
  EXPECT_LT(clean, zero);
  EXPECT_LT(zero, sent);
  EXPECT_NE(text.find("numero_orden", sent), std::string::npos) << "the receipt";
  EXPECT_EQ(text.find("falló"), std::string::npos) << text;
  // The user's settings, reports and database as they were.
  EXPECT_EQ(slurp(ini), before);
  EXPECT_TRUE(fs::is_empty(user / "RPT"));
  EXPECT_FALSE(fs::exists(user / "TMP"));
  EXPECT_EQ(data::Database::open(db_)->integer("SELECT count(*) FROM CAB"), 0);
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
  EXPECT_EQ(ok("set " + ruc + " 201206 800= pago=E"),
            "Total a pagar: " + std::to_string(total - 5) + " (con inconsistencias, estado 9)\n");

  // A registry change waiting for its refresh stops the validation.
  data::Database::open(db_)->run("UPDATE CAB SET ind_ref = 1");
  r = run("validate " + ruc + " 201206");
  EXPECT_EQ(r.rc, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("Se han cambiado datos del registro, debe refrescar."), std::string::npos) << r.err;
}

// Loading the registry replaces whole tables, so every declaration in preparation waits for a
// refresh, from the command line as from the launcher; a folder without registry files changes
// nothing.
TEST_F(CliTest, RegistryLoadMarksTheDeclarationsForRefresh) {
  ASSERT_EQ(run("new " + kDemoRuc + " 201206").rc, 0);
  auto indRef = [this] {
    auto r = rows(ok("show " + kDemoRuc + " 201206"));
    auto c = std::find(r.at(0).begin(), r.at(0).end(), "ind_ref") - r.at(0).begin();
    return r.at(1).at(static_cast<std::size_t>(c));
  };
  ASSERT_NE(indRef(), "1");
  fs::create_directories(runner_.dir() / "vacia");
  ok("registry load '" + (runner_.dir() / "vacia").string() + "'");
  EXPECT_NE(indRef(), "1") << "nothing was replaced";
  ok("registry load '" + (fs::path(KORVENTA_SOURCE_DIR) / "data/demo").string() + "'");
  EXPECT_EQ(indRef(), "1");
}

}  // namespace
}  // namespace korventa::test
