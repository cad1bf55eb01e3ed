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
#include "app/ui/form_registry.h"
#include "app/ui/help_window.h"
#include "app/ui/qt_messenger.h"
#include "app/ui/zel_stat_bar.h"
#include "data/db_errors.h"

namespace korventa::ui {

namespace {
const char* kUnavailable = "Opción no disponible en esta versión";
}

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
  refreshCommands();
}

MDIFrm::~MDIFrm() = default;

QAction* MDIFrm::addCommand(QMenu* menu, const char* name, const QString& caption, std::string form,
                            std::function<void()> run) {
  auto* a = menu->addAction(caption);
  a->setObjectName(name);
  if (run) connect(a, &QAction::triggered, this, [run = std::move(run)] { run(); });
  commands_.push_back({a, std::move(form)});
  return a;
}

QAction* MDIFrm::addButton(int index, const QString& tip, int icon, std::string form, std::function<void()> run) {
  auto* a = toolBar_->addAction(style()->standardIcon(static_cast<QStyle::StandardPixmap>(icon)), tip);
  a->setObjectName(QString("Toolbar1_%1").arg(index));
  a->setProperty("index", index);
  a->setToolTip(tip);
  connect(a, &QAction::triggered, this, [run = std::move(run)] { run(); });
  commands_.push_back({a, std::move(form)});
  return a;
}

std::function<void()> MDIFrm::opener(std::optional<Mode> mode, std::optional<bool> sent, std::string form) {
  // The command sets what the form reads in its load, then opens it.
  return [this, mode, sent, form = std::move(form)] {
    if (mode) session_.mode = *mode;
    if (sent) session_.sent = *sent;
    openForm(form);
  };
}

void MDIFrm::buildMenus() {
  Session& s = session_;
  auto consult = [this, &s](const char* code) {
    return [this, &s, code] {
      s.consultation = code;
      openForm("FrmConsultas");
    };
  };

  QMenu* m = menuBar()->addMenu("&Declaraciones");
  m->setObjectName("mnuDeclaraciones");
  addCommand(m, "mnuNueva", "&Nueva", "Frm402", opener(Mode::New, std::nullopt, "Frm402"));
  addCommand(m, "mnuModificar", "&Modificar", "FrmContAbrir", opener(Mode::Modify, false, "FrmContAbrir"));
  addCommand(m, "mnuEliminar", "&Eliminar", "FrmContAbrir", opener(Mode::Delete, false, "FrmContAbrir"));
  m->addSeparator();
  addCommand(m, "mnuImportar", "Impor&tar", "", nullptr)->setEnabled(false);
  addCommand(m, "mnuCopiar", "&Copiar", "FrmContAbrir", opener(Mode::Copy, false, "FrmContAbrir"));
  addCommand(m, "mnuImprimir", "&Reportes generales", "frmReportes", opener(std::nullopt, false, "frmReportes"));
  // Prepared declarations: the flag may still be set by the sent-declarations menu.
  addCommand(m, "mnuImprimirEPS", "&Reportes declaración y anexos EPS", "FrmTipPrn",
             opener(std::nullopt, false, "FrmTipPrn"));
  addCommand(m, "mnuConsDetDec", "Consulta del &Detalle de la Declaración", "frmConsultaBasesTrib",
             opener(std::nullopt, std::nullopt, "frmConsultaBasesTrib"));
  m->addSeparator();
  addCommand(m, "mnuConceptos", "Mantenimiento de conceptos", "zelpla_Mant001",
             opener(std::nullopt, std::nullopt, "zelpla_Mant001"));
  addCommand(m, "mnuSalir", "&Salir", "", [this] { endProgram(); });
  connect(m, &QMenu::aboutToShow, this, &MDIFrm::refreshCommands);

  m = menuBar()->addMenu("Declaraciones &Enviadas");
  m->setObjectName("mnuEnviadas");
  addCommand(m, "mnuModificarE", "&Registrar número de orden", "FrmContAbrirE",
             opener(Mode::Modify, true, "FrmContAbrirE"));
  addCommand(m, "mnuEliminarE", "&Eliminar", "FrmContAbrir", opener(Mode::Delete, true, "FrmContAbrir"));
  m->addSeparator();
  addCommand(m, "mnuRecuperarD", "Recuperar &declaración", "FrmContAbrirE", opener(Mode::Recover, true, "FrmContAbrirE"));
  m->addSeparator();
  addCommand(m, "mnuImprimirE", "&Reportes Generales", "frmReportes", opener(std::nullopt, true, "frmReportes"));
  addCommand(m, "mnuImprimirEEPS", "&Reportes declaración y anexos EPS", "FrmTipPrn", opener(std::nullopt, true, "FrmTipPrn"));
  connect(m, &QMenu::aboutToShow, this, &MDIFrm::refreshCommands);

  m = menuBar()->addMenu("&Consultas");
  m->setObjectName("mnuConsultas");
  addCommand(m, "mnuTipoTrab", "&Tipo de trabajador", "FrmConsultas", consult("T"));
  addCommand(m, "mnuSituaTrab", "&Situación del trabajador", "FrmConsultas", consult("S"));
  addCommand(m, "mnuBancos", "&Bancos", "FrmConsultas", consult("B"));
  addCommand(m, "mnuRMV", "&Remuneración Mínima Vital", "FrmConsultas", consult("R"));
  addCommand(m, "mnuUIT", "&Unidad Impositiva Tributaria (UIT)", "FrmConsultas", consult("U"));
  addCommand(m, "mnuTasaxTrab", "T&asas por Tipo de Trabajador", "frmTasasxTrab",
             opener(std::nullopt, std::nullopt, "frmTasasxTrab"));
  addCommand(m, "mnuVerVersion", "&Verificar Versión", "", [this] { verificarVersion(); });
  addCommand(m, "mnuCompacta", "Compacta Base de Datos", "", nullptr)->setEnabled(false);
  connect(m, &QMenu::aboutToShow, this, &MDIFrm::refreshCommands);

  m = menuBar()->addMenu("&Ayuda");
  m->setObjectName("mnuAyuda");
  addCommand(m, "mnuContenido", "&Contenido", "", [this] { MostrarHelp(); });
  m->addSeparator();
  addCommand(m, "mnuAcercade", "Acerca &de ZEL", "frmAcercade", opener(std::nullopt, std::nullopt, "frmAcercade"));
  connect(m, &QMenu::aboutToShow, this, &MDIFrm::refreshCommands);
}

void MDIFrm::buildToolbar() {
  toolBar_ = addToolBar("Barra de herramientas");
  toolBar_->setObjectName("Toolbar1");
  toolBar_->setMovable(false);
  toolBar_->setIconSize(QSize(24, 24));
  addButton(1, "Nueva declaración", QStyle::SP_FileIcon, "Frm402", opener(Mode::New, std::nullopt, "Frm402"));
  addButton(2, "Modificar declaración", QStyle::SP_DialogOpenButton, "FrmContAbrir",
            opener(Mode::Modify, false, "FrmContAbrir"));
  addButton(3, "Eliminar declaración", QStyle::SP_TrashIcon, "FrmContAbrir", opener(Mode::Delete, false, "FrmContAbrir"));
  addButton(4, "Copiar declaración", QStyle::SP_FileDialogNewFolder, "FrmContAbrir",
            opener(Mode::Copy, false, "FrmContAbrir"));
  addButton(5, "Reportes generales", QStyle::SP_FileDialogDetailedView, "frmReportes",
            opener(std::nullopt, false, "frmReportes"));
  addButton(6, "Salir", QStyle::SP_DialogCloseButton, "", [this] { endProgram(); });
  toolBar_->addSeparator()->setObjectName("Toolbar1_7");
  addButton(8, "Registrar número de orden", QStyle::SP_DialogApplyButton, "FrmContAbrirE",
            opener(Mode::Modify, true, "FrmContAbrirE"));
  toolBar_->addSeparator()->setObjectName("Toolbar1_9");
  addButton(10, "Ayuda", QStyle::SP_DialogHelpButton, "", [this] { MostrarHelp(); });
}

QAction* MDIFrm::command(const QString& objectName) const {
  for (const auto& c : commands_)
    if (c.action->objectName() == objectName) return c.action;
  return nullptr;
}

void MDIFrm::refreshCommands() {
  for (const auto& c : commands_) {
    if (c.form.empty()) continue;
    bool available = FormRegistry::has(c.form);
    c.action->setEnabled(available);
    if (!c.action->property("index").isValid()) c.action->setToolTip(available ? c.action->text().remove('&') : kUnavailable);
    c.action->setStatusTip(available ? QString() : QString(kUnavailable));
  }
}

bool MDIFrm::openForm(const std::string& formName) {
  if (!FormRegistry::has(formName)) {
    refreshCommands();
    return false;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QDialog* dialog = nullptr;
  try {
    dialog = FormRegistry::create(formName, session_, this);
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
  if (!dialog) return false;
  dialog->setAttribute(Qt::WA_DeleteOnClose, false);
  dialog->setWindowModality(Qt::ApplicationModal);
  dialog->exec();
  delete dialog;
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
  if (!QDesktopServices::openUrl(url))
    app::browserFailed(session_, session_.msg());
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

void MDIFrm::endProgram() { close(); }

}  // namespace korventa::ui
