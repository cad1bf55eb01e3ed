// The main window: menus, toolbar, the commands and the forms they open, the consultations, the
// about box, the guide and the version page.
#include <map>

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>
#include <QTextBrowser>

#include <fstream>

#include "app/ui/help_window.h"
#include "app/ui/mdi_frm.h"
#include "declaration/ui/catalogue_dialogs.h"
#include "declaration/ui/frm402.h"
#include "printouts/ui/printout_forms.h"
#include "printouts/ui/frm_reportes.h"
#include "printouts/ui/frm_consulta_bases_trib.h"
#include "ui/form_test_kit.h"

namespace korventa::uitest {
namespace {

using ui::MDIFrm;

// What an opened form works on: the operation mode, and whether it lists the sent declarations
// (nullopt where the form has no such choice).
std::optional<Mode> modeOf(QDialog* d) {
  if (auto* c = qobject_cast<ui::FrmContAbrir*>(d)) return c->mode();
  if (auto* f = qobject_cast<ui::Frm402*>(d)) return f->controller().mode();
  return std::nullopt;
}
std::optional<bool> sentOf(QDialog* d) {
  if (auto* c = qobject_cast<ui::FrmContAbrir*>(d)) return c->sent();
  if (auto* r = qobject_cast<printouts::ui::frmReportes*>(d)) return r->form().sent();
  if (auto* p = qobject_cast<printouts::ui::FrmTipPrn*>(d)) return p->form().sent();
  if (auto* b = qobject_cast<printouts::ui::frmConsultaBasesTrib*>(d)) return b->sent();
  return std::nullopt;
}

// Triggers a command and, while the modal form it opens is up, lets `inspect` look at it, then
// closes it. Returns whether a modal form came up.
bool withModal(const std::function<void()>& trigger, const std::function<void(QDialog*)>& inspect) {
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!d) return;
    seen = true;
    inspect(d);
    if (d->isVisible()) d->reject();
  });
  trigger();
  QCoreApplication::processEvents();  // the look still runs when no form came up
  return seen;
}

QStringList gridColumn(QTableWidget* g, int column) {
  QStringList out;
  for (int r = 0; r < g->rowCount(); ++r) out << (g->item(r, column) ? g->item(r, column)->text() : QString());
  return out;
}

class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;
 public slots:
  void open(const QUrl& url) { urls << url; }
};

}  // namespace

class MdiFrmTest : public QObject {
  Q_OBJECT

 private slots:
  // The captions of every menu in their order ("-" a separator); the commands are found by name
  // in the test below.
  void menusCaptionsAndSeparators() {
    test::TestDb t;
    MDIFrm frame(t.session());
    const QList<QStringList> expected = {
        {"&Declaraciones", "&Nueva", "&Modificar", "&Eliminar", "-", "Impor&tar", "&Copiar", "&Reportes generales",
         "&Reportes declaración y anexos EPS", "Consulta del &Detalle de la Declaración", "-",
         "Mantenimiento de conceptos", "&Salir"},
        {"Declaraciones &Enviadas", "&Registrar número de orden", "&Eliminar", "-", "Recuperar &declaración", "-",
         "&Reportes Generales", "&Reportes declaración y anexos EPS"},
        {"&Consultas", "&Tipo de trabajador", "&Situación del trabajador", "&Bancos", "&Remuneración Mínima Vital",
         "&Unidad Impositiva Tributaria (UIT)", "T&asas por Tipo de Trabajador", "&Verificar Versión",
         "Compacta Base de Datos"},
        {"&Ayuda", "&Contenido", "-", "Acerca &de ZEL"},
    };
    QList<QStringList> shown;
    for (QAction* top : frame.menuBar()->actions()) {
      QVERIFY(top->menu());
      QStringList captions{top->text()};
      for (QAction* a : top->menu()->actions()) captions << (a->isSeparator() ? QString("-") : a->text());
      shown << captions;
    }
    QCOMPARE(shown, expected);
    // Inactive entries stay inactive.
    QVERIFY(!frame.command("mnuImportar")->isEnabled());
    QVERIFY(!frame.command("mnuCompacta")->isEnabled());
  }

  // Each command opens its form on the operation mode and the prepared or sent declarations
  // (the consultations, the rates and the about box are opened and looked at below).
  void commandsSetModeAndOpenTheirForm() {
    test::TestDb t;
    Session& s = t.session();
    struct Case {
      const char* command;
      const char* form;
      std::optional<Mode> mode;  // nullopt: the form has no mode
      std::optional<bool> sent;  // nullopt: the choice of the previous command
    };
    const Case cases[] = {
        {"mnuNueva", "Frm402", Mode::New, std::nullopt},
        {"mnuModificar", "FrmContAbrir", Mode::Modify, false},
        {"mnuEliminar", "FrmContAbrir", Mode::Delete, false},
        {"mnuCopiar", "FrmContAbrir", Mode::Copy, false},
        {"mnuImprimir", "frmReportes", std::nullopt, false},
        {"mnuImprimirEPS", "FrmTipPrn", std::nullopt, false},
        {"mnuConsDetDec", "frmConsultaBasesTrib", std::nullopt, std::nullopt},
        {"mnuConceptos", "zelpla_Mant001", std::nullopt, std::nullopt},
        {"mnuModificarE", "FrmContAbrirE", Mode::Modify, true},
        {"mnuConsDetDec", "frmConsultaBasesTrib", std::nullopt, std::nullopt},
        {"mnuEliminarE", "FrmContAbrir", Mode::Delete, true},
        {"mnuRecuperarD", "FrmContAbrirE", Mode::Recover, true},
        {"mnuImprimirE", "frmReportes", std::nullopt, true},
        {"mnuImprimirEEPS", "FrmTipPrn", std::nullopt, true},
        {"Toolbar1_1", "Frm402", Mode::New, std::nullopt},
        {"Toolbar1_2", "FrmContAbrir", Mode::Modify, false},
        {"mnuConsDetDec", "frmConsultaBasesTrib", std::nullopt, std::nullopt},
        {"Toolbar1_3", "FrmContAbrir", Mode::Delete, false},
        {"Toolbar1_4", "FrmContAbrir", Mode::Copy, false},
        {"Toolbar1_5", "frmReportes", std::nullopt, false},
        {"Toolbar1_8", "FrmContAbrirE", Mode::Modify, true},
    };
    MDIFrm frame(s);
    bool lastSent = false;
    for (const auto& c : cases) {
      QAction* a = frame.command(c.command);
      QVERIFY2(a && a->isEnabled(), c.command);
      QString form;
      std::optional<Mode> mode;
      std::optional<bool> sent;
      QVERIFY2(withModal([&] { a->trigger(); },
                         [&](QDialog* d) {
                           form = d->objectName();
                           mode = modeOf(d);
                           sent = sentOf(d);
                         }),
               c.command);
      QCOMPARE(form, QString(c.form));
      QCOMPARE(mode.has_value(), c.mode.has_value());
      if (c.mode) QCOMPARE(int(*mode), int(*c.mode));
      // Frm402 and the concepts have no such choice; the others list what the command chose.
      bool hasSent = form != "Frm402" && form != "zelpla_Mant001";
      QCOMPARE(sent.has_value(), hasSent);
      if (hasSent) QCOMPARE(*sent, c.sent.value_or(lastSent));
      if (c.sent) lastSent = *c.sent;
    }
  }

  void eachConsultation() {
    test::TestDb t;
    MDIFrm frame(t.session());
    struct Case {
      const char* command;
      const char* title;
      const char* heading;
      const char* firstCode;
      const char* firstDesc;
      QStringList absent;
    };
    const Case cases[] = {
        {"mnuBancos", "Bancos", "Código", "02", "BANCO DE CRÉDITO DEL PERÚ", {"00"}},
        {"mnuSituaTrab", "Situación del Trabajador", "Código", "10", nullptr, {}},
        {"mnuTipoTrab", "Tipo de Trabajador", "Código", "19", "EJECUTIVO", {"80", "81", "99"}},
        {"mnuRMV", "Remuneración Mínima Vital", "Vigencia Desde", "01/06/2012", "750.00", {}},
        {"mnuUIT", "Unidad Impositiva Tributaria (UIT)", "Vigencia Desde", "01/01/2013", "3700.00", {}},
    };
    for (const auto& c : cases) {
      QString title, heading;
      QStringList codes, descs;
      bool salir = false;
      QVERIFY(withModal([&] { frame.command(c.command)->trigger(); },
                        [&](QDialog* d) {
                          title = d->windowTitle();
                          auto* g = child<QTableWidget>(d, "grdConsulta");
                          heading = g->horizontalHeaderItem(0)->text();
                          codes = gridColumn(g, 0);
                          descs = gridColumn(g, 1);
                          auto* b = child<QPushButton>(d, "CmdSalir");
                          QCOMPARE(b->text(), QString("&Salir"));
                          b->click();
                          salir = !d->isVisible();
                        }));
      QCOMPARE(title, QString::fromUtf8(c.title));
      QCOMPARE(heading, QString::fromUtf8(c.heading));
      QVERIFY(!codes.isEmpty());
      QCOMPARE(codes.first(), QString(c.firstCode));
      if (c.firstDesc) QCOMPARE(descs.first(), QString::fromUtf8(c.firstDesc));
      for (const auto& a : c.absent) QVERIFY2(!codes.contains(a), qPrintable(a));
      QVERIFY2(salir, c.command);
    }
  }

  void ratesByWorkerType() {
    test::TestDb t;
    t.db().run("INSERT INTO PARAM (Numero, Argumento, Funcion) VALUES ('700', '77', 'TIPO SIN TASAS')");
    auto& messages = t.messenger();
    MDIFrm frame(t.session());
    QVERIFY(withModal(
        [&] { frame.command("mnuTasaxTrab")->trigger(); },
        [&](QDialog* d) {
          QCOMPARE(d->windowTitle(), QString("Tasas por Tipo de Trabajador"));
          auto* combo = child<QComboBox>(d, "cboTipoTrab");
          auto* grid = child<QTableWidget>(d, "grdTasas");
          auto* consultar = child<QPushButton>(d, "CmdConsultar");
          QCOMPARE(combo->currentIndex(), -1);
          for (const char* hidden : {"80", "81", "99"}) QCOMPARE(combo->findData(QString(hidden)), -1);
          // Nothing chosen yet.
          consultar->click();
          QCOMPARE(messages.texts(),
                   std::vector<std::string>{"Debe Seleccionar el tipo de Trabajador cuyas tasas desea consultar."});
          QCOMPARE(grid->rowCount(), 0);
          combo->setCurrentIndex(combo->findData(QString("19")));
          QVERIFY(combo->currentText().startsWith("19 - "));
          consultar->click();
          QCOMPARE(grid->rowCount(), 3);
          QCOMPARE(gridColumn(grid, 0), QStringList({"01/12/2004", "01/01/2004", "01/01/2000"}));
          QCOMPARE(grid->item(1, 1)->text(), QString("1.70"));
          QCOMPARE(grid->item(0, 2)->text(), QString("13.00"));
          // A type without rates shows an empty grid, without a message.
          combo->setCurrentIndex(combo->findData(QString("77")));
          consultar->click();
          QCOMPARE(grid->rowCount(), 0);
          QCOMPARE(messages.entries().size(), std::size_t(1));
        }));
  }

  void guide() {
    test::TestDb t;
    Session& s = t.session();
    s.paths.helpFile = s.paths.sysPath + "0601/Vq601.html";
    {
      MDIFrm frame(s);
      frame.command("mnuContenido")->trigger();
      ui::HelpWindow* help = frame.helpWindow();
      QVERIFY(help && help->isVisible());
      QCOMPARE(help->source(), ui::HelpWindow::builtInGuide());
      QVERIFY(help->browser()->toPlainText().contains(QString::fromUtf8("El camino de una declaración")));
    }
    // A guide installed beside the program wins.
    std::filesystem::create_directories(s.paths.sysPath + "0601");
    std::ofstream(s.paths.helpFile) << "<html><body><h1>Guía instalada</h1></body></html>";
    MDIFrm frame(s);
    frame.MostrarHelp();
    QCOMPARE(frame.helpWindow()->source(), QUrl::fromLocalFile(qstr(s.paths.helpFile)));
    QVERIFY(frame.helpWindow()->browser()->toPlainText().contains(QString::fromUtf8("Guía instalada")));
  }

  // The about box and the version page show the version the program started with.
  void aboutBoxAndVersionPage() {
    test::TestDb t;
    Session& s = t.session();
    s.version = "1.8";
    s.publicationDate = "15/10/2012";
    s.versionHost = "descargas.ejemplo.pe";
    MDIFrm frame(s);
    QVERIFY(withModal([&] { frame.command("mnuAcercade")->trigger(); },
                      [&](QDialog* d) {
                        QCOMPARE(d->windowTitle(), QString("Acerca de ZEL"));
                        QCOMPARE(d->findChild<QLabel*>("lblVersion")->text(), QString::fromUtf8("Versión 1.8"));
                        QCOMPARE(d->findChild<QLabel*>("lblFecha")->text(),
                                 QString::fromUtf8("Actualización al 15/10/2012"));
                        child<QPushButton>(d, "CmdSalir")->click();
                        QVERIFY(!d->isVisible());
                      }));
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("http", &catcher, "open");
    frame.command("mnuVerVersion")->trigger();
    QDesktopServices::unsetUrlHandler("http");
    QCOMPARE(catcher.urls.size(), 1);
    QCOMPARE(
        catcher.urls[0].toString(),
        QString(
            "http://descargas.ejemplo.pe/zel/zeldown/independientes/independientes.htm?p=0601&v=1.8&f=15102012#p601"));
  }

  void salirEndsTheProgram() {
    for (const char* command : {"mnuSalir", "Toolbar1_6"}) {
      test::TestDb t;
      MDIFrm frame(t.session());
      frame.show();
      QVERIFY(QTest::qWaitForWindowExposed(&frame));
      frame.command(command)->trigger();
      QVERIFY2(!frame.isVisible(), command);
      // The connection is released with the window.
      QVERIFY2(t.session().db == nullptr, command);
    }
  }
};

KORVENTA_UI_TEST(MdiFrmTest)

}  // namespace korventa::uitest

#include "mdi_frm_test.moc"
