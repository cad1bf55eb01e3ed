#include "app/ui/mdi_frm.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QMdiArea>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStyle>
#include <QToolBar>
#include <QUrl>

#include "app/startup.h"
#include "app/ui/help_window.h"
#include "common/ui/qt_messenger.h"
#include "common/ui/zel_stat_bar.h"
#include "data/db_errors.h"
#include "declaration/ui/catalogue_dialogs.h"
#include "declaration/ui/frm402.h"
#include "analysis/ui/frm_comparar.h"
#include "import/ui/frm_import.h"
#include "printouts/ui/explanation_export.h"
#include "printouts/ui/printout_forms.h"
#include "printouts/ui/frm_reportes.h"
#include "printouts/ui/frm_consulta_bases_trib.h"
#include "reference/ui/frm_consultas.h"
#include "reference/ui/frm_tasasx_trab.h"
#include "reference/ui/frm_acercade.h"
#include "reference/ui/zelpla_mant001.h"

namespace korventa::ui {

MDIFrm::MDIFrm(Session& session, QWidget* parent) : QMainWindow(parent), session_(session) {
  setObjectName("MDIFrm");
  setWindowTitle("Formulario 0601 - Planilla Mensual de Pagos");
  session_.formCode = "0601";
  session_.secondCode = "200508";
  // A fixed frame: no minimise or maximise boxes.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  move(0, 0);
  resize(kWidth, kHeight);

  mdi_ = new QMdiArea(this);
  mdi_->setObjectName("MDIClient");
  mdi_->setBackground(QColor(0x80, 0x80, 0x80));
  mdi_->viewport()->setMouseTracking(true);
  mdi_->viewport()->installEventFilter(this);
  setCentralWidget(mdi_);
  setMouseTracking(true);

  statBar_ = new ZELStatBar(this);
  setStatusBar(statBar_);
  statBar_->setEstilo(1);
  statBar_->setFormulario(qs(session_.formCode));
  statBar_->setMensaje(QString());
  statBar_->setDeclarante(QString());
  statBar_->setPeriodo(QString());

  buildMenus();
  buildToolbar();
}

MDIFrm::~MDIFrm() = default;

QAction* MDIFrm::addCommand(QMenu* menu, const char* name, const QString& caption, std::function<void()> run) {
  auto* a = menu->addAction(caption);
  a->setObjectName(name);
  if (run) connect(a, &QAction::triggered, this, [run = std::move(run)] { run(); });
  commands_.push_back(a);
  return a;
}

QAction* MDIFrm::addButton(int index, const QString& tip, int icon, std::function<void()> run) {
  auto* a = toolBar_->addAction(style()->standardIcon(static_cast<QStyle::StandardPixmap>(icon)), tip);
  a->setObjectName(QString("Toolbar1_%1").arg(index));
  a->setProperty("index", index);
  a->setToolTip(tip);
  connect(a, &QAction::triggered, this, [run = std::move(run)] { run(); });
  commands_.push_back(a);
  return a;
}

// The commands on declarations: what they open, with the operation mode and whether the prepared
// or the sent declarations are meant. The last choice of the two stays for the commands that do
// not make one ("Consulta del &Detalle de la Declaración").
std::function<void()> MDIFrm::chooser(bool sentChooser, Mode mode, bool sent) {
  return [this, sentChooser, mode, sent] {
    sent_ = sent;
    showModal([&] {
      auto chooser = std::make_unique<FrmContAbrir>(session_, sentChooser, mode, sent, this);
      connect(chooser.get(), &FrmContAbrir::declarationFormOpened, this, [this](Frm402* form) {
        import::ui::connectImports(session_, *form);
        analysis::ui::connectCompare(session_, *form);
        printouts::ui::connectExplanationExport(*form);
      });
      return chooser;
    });
  };
}

std::function<void()> MDIFrm::newDeclaration() {
  return [this] {
    showModal([&] {
      auto form = std::make_unique<Frm402>(session_, Mode::New, this);
      import::ui::connectImports(session_, *form);
      analysis::ui::connectCompare(session_, *form);
      printouts::ui::connectExplanationExport(*form);
      return form;
    });
  };
}

std::function<void()> MDIFrm::generalReports(bool sent) {
  return [this, sent] {
    sent_ = sent;
    showModal([&] { return std::make_unique<printouts::ui::frmReportes>(session_, sent, this); });
  };
}

std::function<void()> MDIFrm::declarationPrintouts(bool sent) {
  return [this, sent] {
    sent_ = sent;
    showModal([&] { return std::make_unique<printouts::ui::FrmTipPrn>(session_, sent, this); });
  };
}

template <class Form>
std::function<void()> MDIFrm::plain() {
  return [this] { showModal([&] { return std::make_unique<Form>(session_, this); }); };
}

void MDIFrm::buildMenus() {
  auto consult = [this](const char* code) {
    return [this, code] { showModal([&] { return std::make_unique<FrmConsultas>(session_, code, this); }); };
  };
  auto basesConsultation = [this] {
    showModal([&] { return std::make_unique<printouts::ui::frmConsultaBasesTrib>(session_, sent_, this); });
  };

  QMenu* m = menuBar()->addMenu("&Declaraciones");
  m->setObjectName("mnuDeclaraciones");
  addCommand(m, "mnuNueva", "&Nueva", newDeclaration());
  addCommand(m, "mnuModificar", "&Modificar", chooser(false, Mode::Modify, false));
  addCommand(m, "mnuEliminar", "&Eliminar", chooser(false, Mode::Delete, false));
  m->addSeparator();
  addCommand(m, "mnuImportar", "Impor&tar", nullptr)->setEnabled(false);
  addCommand(m, "mnuCopiar", "&Copiar", chooser(false, Mode::Copy, false));
  addCommand(m, "mnuImprimir", "&Reportes generales", generalReports(false));
  addCommand(m, "mnuImprimirEPS", "&Reportes declaración y anexos EPS", declarationPrintouts(false));
  addCommand(m, "mnuConsDetDec", "Consulta del &Detalle de la Declaración", basesConsultation);
  m->addSeparator();
  addCommand(m, "mnuConceptos", "Mantenimiento de conceptos", plain<zelpla_Mant001>());
  addCommand(m, "mnuSalir", "&Salir", [this] { endProgram(); });

  m = menuBar()->addMenu("Declaraciones &Enviadas");
  m->setObjectName("mnuEnviadas");
  addCommand(m, "mnuModificarE", "&Registrar número de orden", chooser(true, Mode::Modify, true));
  addCommand(m, "mnuEliminarE", "&Eliminar", chooser(false, Mode::Delete, true));
  m->addSeparator();
  addCommand(m, "mnuRecuperarD", "Recuperar &declaración", chooser(true, Mode::Recover, true));
  m->addSeparator();
  addCommand(m, "mnuImprimirE", "&Reportes Generales", generalReports(true));
  addCommand(m, "mnuImprimirEEPS", "&Reportes declaración y anexos EPS", declarationPrintouts(true));

  m = menuBar()->addMenu("&Consultas");
  m->setObjectName("mnuConsultas");
  addCommand(m, "mnuTipoTrab", "&Tipo de trabajador", consult("T"));
  addCommand(m, "mnuSituaTrab", "&Situación del trabajador", consult("S"));
  addCommand(m, "mnuBancos", "&Bancos", consult("B"));
  addCommand(m, "mnuRMV", "&Remuneración Mínima Vital", consult("R"));
  addCommand(m, "mnuUIT", "&Unidad Impositiva Tributaria (UIT)", consult("U"));
  addCommand(m, "mnuTasaxTrab", "T&asas por Tipo de Trabajador", plain<frmTasasxTrab>());
  addCommand(m, "mnuVerVersion", "&Verificar Versión", [this] { verificarVersion(); });
  addCommand(m, "mnuCompacta", "Compacta Base de Datos", nullptr)->setEnabled(false);

  m = menuBar()->addMenu("&Ayuda");
  m->setObjectName("mnuAyuda");
  addCommand(m, "mnuContenido", "&Contenido", [this] { MostrarHelp(); });
  m->addSeparator();
  addCommand(m, "mnuAcercade", "Acerca &de ZEL", plain<frmAcercade>());
}

void MDIFrm::buildToolbar() {
  toolBar_ = addToolBar("Barra de herramientas");
  toolBar_->setObjectName("Toolbar1");
  toolBar_->setMovable(false);
  toolBar_->setIconSize(QSize(24, 24));
  addButton(1, "Nueva declaración", QStyle::SP_FileIcon, newDeclaration());
  addButton(2, "Modificar declaración", QStyle::SP_DialogOpenButton, chooser(false, Mode::Modify, false));
  addButton(3, "Eliminar declaración", QStyle::SP_TrashIcon, chooser(false, Mode::Delete, false));
  addButton(4, "Copiar declaración", QStyle::SP_FileDialogNewFolder, chooser(false, Mode::Copy, false));
  addButton(5, "Reportes generales", QStyle::SP_FileDialogDetailedView, generalReports(false));
  addButton(6, "Salir", QStyle::SP_DialogCloseButton, [this] { endProgram(); });
  toolBar_->addSeparator()->setObjectName("Toolbar1_7");
  addButton(8, "Registrar número de orden", QStyle::SP_DialogApplyButton, chooser(true, Mode::Modify, true));
  toolBar_->addSeparator()->setObjectName("Toolbar1_9");
  addButton(10, "Ayuda", QStyle::SP_DialogHelpButton, [this] { MostrarHelp(); });
}

QAction* MDIFrm::command(const QString& objectName) const {
  for (QAction* a : commands_)
    if (a->objectName() == objectName) return a;
  return nullptr;
}

bool MDIFrm::showModal(const std::function<std::unique_ptr<QDialog>()>& build) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  std::unique_ptr<QDialog> dialog;
  try {
    dialog = build();
  } catch (const data::DbError& e) {
    QApplication::restoreOverrideCursor();
    data::MensajeErrorBD(session_.msg(), e);
    return false;
  } catch (const std::exception& e) {
    QApplication::restoreOverrideCursor();
    session_.msg().critical(e.what(), "Error");
    return false;
  }
  QApplication::restoreOverrideCursor();
  dialog->setAttribute(Qt::WA_DeleteOnClose, false);
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->exec();
  return true;
}

void MDIFrm::MostrarHelp() {
  if (!help_) help_ = new HelpWindow(qs(session_.paths.helpFile), this);
  help_->show();
  help_->raise();
  help_->activateWindow();
}

void MDIFrm::verificarVersion() {
  QUrl url(qs(app::versionPageUrl(session_)));
  if (!QDesktopServices::openUrl(url)) app::browserFailed(session_, session_.msg());
}

bool MDIFrm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseMove) statBar_->setMensaje(QString());
  return QMainWindow::eventFilter(watched, event);
}

void MDIFrm::mouseMoveEvent(QMouseEvent* event) {
  statBar_->setMensaje(QString());
  QMainWindow::mouseMoveEvent(event);
}

void MDIFrm::closeEvent(QCloseEvent* event) {
  if (help_) help_->close();
  // The connection lives as long as the program.
  session_.db.reset();
  // The program ends with its last window (QApplication::quitOnLastWindowClosed).
  event->accept();
}

void MDIFrm::endProgram() {
  close();
}

}  // namespace korventa::ui
