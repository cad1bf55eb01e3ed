// Declaration lifecycle timings on a large registry: 10,000 workers and 1,000 pensioners with
// their labour periods. Measures a new declaration (load from the registry and save), the refresh
// of the saved declaration once the month's pay of everybody is in it, and opening it until the
// first rows of the workers' grid are shown (in the core and in the declaration form), and the
// validation and the save of the whole payroll. Prints one line per step with its target.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>

#include <unistd.h>

#include <QApplication>
#include <QTableView>

#include "common/messenger.h"
#include "data/schema_installer.h"
#include "data/servicios_comunes.h"
#include "data/session.h"
#include "declaration/declaration_form.h"
#include "declaration/person_list.h"
#include "declaration/ui/frm402.h"
#include "determination/declaration_computation.h"
#include "determination/validation.h"
#include "determination/computation.h"
#include "model/person_data.h"

namespace fs = std::filesystem;
using namespace korventa;

namespace {

const std::string kRuc = "20100070970";

// Wall time, and the processor time of the program (the machine may be busy with other work).
double timed(const char* what, double target, const std::function<void()>& body) {
  auto t0 = std::chrono::steady_clock::now();
  std::clock_t c0 = std::clock();
  body();
  double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  double cpu = static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
  std::printf("%-48s %8.3f s  cpu %6.3f s  (objetivo < %.0f s)%s\n", what, s, cpu, target,
              s < target ? "" : "  ** EXCEDIDO **");
  return s;
}

void registry(data::Database& db, int workers, int pensioners) {
  data::Transaction tx(db);
  db.run(
      "INSERT INTO CONTRVKRS (tip_doc_d, doc_id_d, Nombre, Tipo_ingreso, Usuario, Ind_RegimenLab, ind_adm_publica) "
      "VALUES (6, ?, 'EMPRESA GRANDE S.A.', 2, 'BENCH', 1, 0)",
      {kRuc});
  db.run("INSERT INTO CLAVES (Usuario, tipo) VALUES ('BENCH', '0')");
  db.run(
      "INSERT INTO LOCAL (tip_doc_d, doc_id_d, cod_est, nom_est, cod_tipest, doc_ruc_emp, IND_SCTR) "
      "VALUES (6, ?, 1, 'PLANTA', '05', ?, 1)",
      {kRuc, kRuc});
  static const char* types[] = {"19", "20", "21", "21", "21", "20", "32", "64"};
  for (int i = 1; i <= workers + pensioners; ++i) {
    bool worker = i <= workers;
    int cat = worker ? 1 : 2;
    std::string doc = std::to_string(40000000 + i);
    std::string tipo = worker ? types[i % 8] : "24";
    int pension = worker ? (i % 3 == 0 ? 2 : 21 + i % 4) : 2;
    db.run(
        "INSERT INTO ASEGVKRS (tip_doc_d, doc_id_d, correl_a, cod_cat_tra, tip_doc_a, doc_id_a, fec_nac, apellido_p, "
        "apellido_m, nombre_1, sexo, ind_domicilio, tipo, pension, ESSALUD_Vida, ipss_vida, estado, fec_insc, "
        "ind_cat_trab) VALUES (6, ?, ?, ?, 1, ?, '1980-05-17', ?, 'PEREZ', ?, 'M', '1', ?, ?, ?, ?, 1, '2010-01-01', "
        "1)",
        {kRuc, i, cat, doc, "APELLIDO" + std::to_string(i % 997), "NOMBRE" + std::to_string(i), tipo, pension,
         std::string(i % 10 == 0 ? "1" : "0"), std::string(i % 10 == 0 ? "5.00" : "")});
    db.run(
        "INSERT INTO ASEG_DET_LAB (tip_doc_d, doc_id_d, correl_a, tip_doc_a, doc_id_a, cod_cat_tra, situac, tipo, "
        "pension, ind_afieps, sctr, ind_quinta) VALUES (6, ?, ?, 1, ?, ?, '11', ?, ?, '0', ?, '1')",
        {kRuc, i, doc, cat, tipo, pension, i % 5 == 0 ? 1 : 0});
    // Most have one open period; some left and came back within the month.
    db.run(
        "INSERT INTO PERIODOLAB (tip_doc_d, doc_id_d, correl_a, tip_doc_a, doc_id_a, cod_cat_tra, fec_ini, fec_fin, "
        "tipo) VALUES (6, ?, ?, 1, ?, ?, '2010-01-01', ?, ?)",
        {kRuc, i, doc, cat, i % 7 == 0 ? data::Value(std::string("2012-06-10")) : data::Value(), tipo});
    if (i % 7 == 0)
      db.run(
          "INSERT INTO PERIODOLAB (tip_doc_d, doc_id_d, correl_a, tip_doc_a, doc_id_a, cod_cat_tra, fec_ini, tipo) "
          "VALUES (6, ?, ?, 1, ?, ?, '2012-06-21', ?)",
          {kRuc, i, doc, cat, tipo});
  }
  tx.commit();
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  fs::path dir = fs::temp_directory_path() / ("korventa-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  RecordingMessenger messenger;
  Session s;
  s.messenger = &messenger;
  s.servicios->setMessenger(&messenger);
  s.user = "BENCH";
  s.paths.sysPath = dir.string() + "/";
  s.db = data::createDatabase(dir / "bench.db", false);

  std::printf("Registro: 10000 trabajadores y 1000 pensionistas con sus periodos laborales\n");
  auto t0 = std::chrono::steady_clock::now();
  registry(*s.db, 10000, 1000);
  std::printf("%-48s %8.3f s\n", "(generación del registro)",
              std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());

  {
    declaration::DeclarationForm f(s);
    timed("new: carga desde el registro y grabación", 2, [&] {
      f.newDeclaration();
      f.CmbRuc_Click(kRuc);
      bool ok = true;
      timed("  carga desde el registro (con el cálculo)", 2, [&] { ok = f.acceptPeriod("06/2012").ok; });
      timed("  grabación", 2, [&] { ok = ok && f.save().saved; });
      if (!ok) std::printf("  falló: %s\n", messenger.last().c_str());
    });
    timed("(cálculo de todas las personas, aparte)", 2, [&] {
      data::Transaction tx(*s.db);
      determination::recomputeDeclaration(s, f.declaration());
      tx.commit();
    });
    // The payroll of the month: every worker's basic pay and every pensioner's pension typed as
    // the concept form takes them, then computed and saved (what the refresh and the opening
    // below find on a real declaration).
    timed("(remuneraciones de todos, cálculo y grabación)", 4, [&] {
      {
        data::Transaction tx(*s.db);
        auto persons = model::loadPersons(*s.db, kRuc);
        determination::Computation computation(*s.db, f.declaration());
        for (auto& p : persons) {
          computation.compute(p);
          for (auto& r : p.concepts)
            if (r.codigo == "0121" || (p.key.cod_cat_tra == 2 && r.group() == "01")) {
              r.monto = r.monto_pag = p.key.cod_cat_tra == 1 ? "2850.00" : "1100.00";
              break;
            }
        }
        model::storePersons(*s.db, persons);
        tx.commit();
      }
      determination::recomputeDeclaration(s, f.declaration());
      if (!f.save().saved) std::printf("  falló: %s\n", messenger.last().c_str());
    });
    // "&Validar" and "&Guardar" of the whole payroll: the save runs every check of the validation.
    timed("validación (todas las reglas)", 2,
          [&] { determination::DeclarationValidator(s, f.declaration()).CmdValidar_Click(dir / "Mens.txt"); });
    timed("grabación (con las mismas reglas)", 3, [&] {
      if (!f.save().saved) std::printf("  falló: %s\n", messenger.last().c_str());
    });
    f.closeWithoutSaving();
  }
  std::printf("%-48s %8lld\n", "(filas de conceptos grabadas)",
              static_cast<long long>(s.db->integer("SELECT count(*) FROM F601_REMUNERA")));

  {
    declaration::DeclarationForm f(s);
    f.openDeclaration(kRuc, "201206");
    messenger.queueAnswer(Answer::Yes);
    timed("refresh de la declaración grabada", 2, [&] {
      if (!f.refresh()) std::printf("  falló: %s\n", messenger.last().c_str());
    });
    timed("(grabación después del refresh)", 2, [&] { f.save(); });
    f.closeWithoutSaving();
  }

  // The opening is timed until the first rows are there; closing (emptying the working tables)
  // happens when the user leaves and is not part of it.
  {
    declaration::DeclarationForm f(s);
    timed("abrir la declaración: primeras filas (núcleo)", 1, [&] {
      f.openDeclaration(kRuc, "201206");
      declaration::PersonList workers(*s.db, declaration::Grid::Workers);
      workers.requery();
      for (int i = 0; i < 30; ++i) workers.cells(i);
      if (workers.count() != 10000) std::printf("  filas: %d\n", workers.count());
    });
    f.closeWithoutSaving();
  }

  {
    auto* dlg = new ui::Frm402(s, Mode::New);
    timed("abrir la declaración en Frm402: primeras filas", 1, [&] {
      dlg->openDeclaration(kRuc, "201206");
      dlg->show();
      QApplication::processEvents();
      auto* grid = dlg->findChild<QTableView*>("GrdDatos");
      if (!grid || grid->model()->rowCount() != 10000 ||
          grid->model()->data(grid->model()->index(0, 2)).toString().isEmpty())
        std::printf("  la grilla no muestra las filas\n");
    });
    timed("(cerrar sin guardar)", 1, [&] { dlg->descartar(); });
    delete dlg;
  }

  s.db.reset();
  if (std::getenv("KORVENTA_BENCH_KEEP")) {
    std::printf("Base de datos conservada en %s\n", (dir / "bench.db").c_str());
    return 0;
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
  return 0;
}
