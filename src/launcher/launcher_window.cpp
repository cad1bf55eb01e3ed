#include "launcher/launcher_window.h"

#include <filesystem>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

#include "common/ini.h"
#include "data/db_errors.h"
#include "data/schema_installer.h"
#include "data/table_editor.h"
#include "common/list_form.h"
#include "declaration/refresh_marker.h"
#include "declaration/ui/frm_enviar.h"
#include "launcher/registry_model.h"

namespace korventa::launcher {
namespace fs = std::filesystem;
using ui::qs;
using ui::ss;

namespace {

class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

std::string withSlash(std::string s) {
  if (!s.empty() && s.back() != '/') s += '/';
  return s;
}

// Registry changes make the declarant's declarations wait for a refresh in the module.
void markDeclarant(data::Database& db, const std::string& ruc) {
  declaration::InsertaIndicadorRefrescar(db, ruc);
}

// One line edit per column of a new row.
class RowDialog : public QDialog {
 public:
  // `from`: a row whose declarant key (tip_doc_d, doc_id_d) fills the new row's, or -1.
  RowDialog(const data::TableEditor& editor, RegistryModel& model, int from, QWidget* parent)
      : QDialog(parent), model_(model) {
    setWindowTitle(QStringLiteral("Agregar fila a ") + qs(editor.table()));
    setObjectName("FrmAgregarFila");
    auto* outer = new QVBoxLayout(this);
    auto* inner = new QWidget;
    auto* form = new QFormLayout(inner);
    for (std::size_t i = 0; i < editor.columns().size(); ++i) {
      const auto& c = editor.columns()[i];
      auto* edit = new QLineEdit(qs(c.defaultText));
      bool declarantKey = c.name == "tip_doc_d" || c.name == "doc_id_d";
      if (from >= 0 && declarantKey) edit->setText(qs(editor.text(static_cast<std::size_t>(from), i)));
      edit->setObjectName(qs(c.name));
      QString hint = c.integer ? QStringLiteral("entero")
                     : c.date  ? QStringLiteral("dd/mm/aaaa o aaaa-mm-dd")
                               : QString();
      edit->setPlaceholderText(hint);
      QString label = qs(c.name);
      if (c.key || c.notNull) label = "<b>" + label + "</b>";
      form->addRow(label, edit);
      edits_.push_back(edit);
    }
    auto* scroll = new QScrollArea;
    scroll->setWidget(inner);
    scroll->setWidgetResizable(true);
    outer->addWidget(scroll);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Agregar"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    outer->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &RowDialog::tryAccept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(460, 520);
  }

 private:
  void tryAccept() {
    std::vector<std::string> texts;
    for (auto* e : edits_) texts.push_back(ss(e->text()));
    if (model_.insertRecord(texts)) accept();  // on a refusal the message was shown; the dialog stays
  }
  RegistryModel& model_;
  std::vector<QLineEdit*> edits_;
};

// The four settings the module reads, written back to the settings file.
class SettingsDialog : public QDialog {
 public:
  SettingsDialog(const LauncherSettings& s, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Configuración"));
    setObjectName("FrmConfiguracion");
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(new QLabel(QStringLiteral("Archivo: ") + qs(s.iniFile)));
    auto* form = new QFormLayout;
    sysPath = add(form, "SysPath", s.sysPath);
    dbPath = add(form, "DBPath", s.dbPath);
    dbName = add(form, "DBName", s.dbName);
    sysUser = add(form, "SysUser", s.sysUser);
    outer->addLayout(form);
    auto* choose = new QPushButton(QStringLiteral("Elegir archivo de base de datos…"));
    choose->setObjectName("CmdElegirBase");
    outer->addWidget(choose);
    connect(choose, &QPushButton::clicked, this, [this] {
      QString f = QFileDialog::getSaveFileName(
          this, QStringLiteral("Archivo de la base de datos"), dbPath->text() + dbName->text(),
          QStringLiteral("Base de datos (*.db);;Todos (*)"), nullptr, QFileDialog::DontConfirmOverwrite);
      if (f.isEmpty()) return;
      QFileInfo fi(f);
      dbPath->setText(fi.absolutePath() + "/");
      dbName->setText(fi.fileName());
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Save)->setText(QStringLiteral("Guardar"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    outer->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(560, 240);
  }
  QLineEdit *sysPath, *dbPath, *dbName, *sysUser;

 private:
  QLineEdit* add(QFormLayout* form, const char* key, const std::string& value) {
    auto* e = new QLineEdit(qs(value));
    e->setObjectName(QString::fromLatin1(key));
    form->addRow(QString::fromLatin1(key), e);
    return e;
  }
};

QLabel* valueLabel(const QString& objectName) {
  auto* l = new QLabel;
  l->setObjectName(objectName);
  l->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return l;
}

}  // namespace

LauncherSettings LauncherSettings::read() {
  IniFile ini(IniFile::defaultPath());
  LauncherSettings s;
  s.iniFile = ini.path().string();
  s.sysPath = ini.read("Options", "SysPath");
  s.dbPath = ini.read("Options", "DBPath");
  s.dbName = ini.read("Options", "DBName");
  s.sysUser = ini.read("Options", "SysUser");
  return s;
}

LauncherWindow::LauncherWindow(QWidget* parent) : QMainWindow(parent), messenger_(this) {
  setObjectName("Zelvaro");
  // The module finds the launcher by this exact title.
  setWindowTitle(QStringLiteral("Zelvaro"));
  buildUi();
  reload();
}

LauncherWindow::~LauncherWindow() {
  model_->setEditor(nullptr);  // the editor refers to the database
}

void LauncherWindow::buildUi() {
  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);

  auto* settingsBox = new QGroupBox(QStringLiteral("Configuración del módulo 0601"));
  auto* form = new QFormLayout(settingsBox);
  form->addRow(QStringLiteral("Archivo de configuración:"), iniLabel_ = valueLabel("LblArchivoIni"));
  form->addRow(QStringLiteral("SysPath:"), sysPathLabel_ = valueLabel("LblSysPath"));
  form->addRow(QStringLiteral("DBPath:"), dbPathLabel_ = valueLabel("LblDBPath"));
  form->addRow(QStringLiteral("DBName:"), dbNameLabel_ = valueLabel("LblDBName"));
  form->addRow(QStringLiteral("SysUser:"), userLabel_ = valueLabel("LblSysUser"));
  form->addRow(QStringLiteral("Base de datos:"), dbStateLabel_ = valueLabel("LblEstadoBase"));
  layout->addWidget(settingsBox);

  buttonRow_ = new QHBoxLayout;
  buttonRow_->setObjectName("FilaComandos");
  buttonRow_->addStretch(1);
  layout->addLayout(buttonRow_);
  startButton_ = addCommand(QStringLiteral("Iniciar 0601"), "CmdIniciar");
  startButton_->setDefault(true);
  auto* create = addCommand(QStringLiteral("Crear base de datos"), "CmdCrearBase");
  loadButton_ = addCommand(QStringLiteral("Cargar registro…"), "CmdCargarRegistro");
  sendButton_ = addCommand(QStringLiteral("Enviar declaración…"), "CmdEnviar");
  auto* configure = addCommand(QStringLiteral("Configuración…"), "CmdConfiguracion");
  connect(sendButton_, &QPushButton::clicked, this, &LauncherWindow::sendDeclaration);
  connect(startButton_, &QPushButton::clicked, this, &LauncherWindow::startModule);
  connect(create, &QPushButton::clicked, this, &LauncherWindow::createDatabaseFile);
  connect(loadButton_, &QPushButton::clicked, this, &LauncherWindow::loadRegistry);
  connect(configure, &QPushButton::clicked, this, &LauncherWindow::editSettings);

  auto* registryBox = new QGroupBox(QStringLiteral("Registro"));
  auto* reg = new QVBoxLayout(registryBox);
  auto* tools = new QHBoxLayout;
  tools->addWidget(new QLabel(QStringLiteral("Tabla:")));
  tableCombo_ = new QComboBox;
  tableCombo_->setObjectName("CmbTabla");
  tableCombo_->setMinimumContentsLength(16);
  tools->addWidget(tableCombo_);
  countLabel_ = new QLabel;
  countLabel_->setObjectName("LblFilas");
  tools->addWidget(countLabel_);
  tools->addStretch(1);
  addButton_ = new QPushButton(QStringLiteral("Agregar fila…"));
  addButton_->setObjectName("CmdAgregarFila");
  deleteButton_ = new QPushButton(QStringLiteral("Eliminar fila"));
  deleteButton_->setObjectName("CmdEliminarFila");
  refreshButton_ = new QPushButton(QStringLiteral("Actualizar"));
  refreshButton_->setObjectName("CmdActualizar");
  tools->addWidget(addButton_);
  tools->addWidget(deleteButton_);
  tools->addWidget(refreshButton_);
  reg->addLayout(tools);

  model_ = new RegistryModel(messenger_, this);
  view_ = new QTableView;
  view_->setObjectName("GrdRegistro");
  view_->setModel(model_);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed);
  view_->setAlternatingRowColors(true);
  view_->verticalHeader()->setDefaultSectionSize(22);
  reg->addWidget(view_);
  layout->addWidget(registryBox, 1);

  connect(tableCombo_, &QComboBox::currentTextChanged, this, &LauncherWindow::showTable);
  connect(addButton_, &QPushButton::clicked, this, &LauncherWindow::addRow);
  connect(deleteButton_, &QPushButton::clicked, this, &LauncherWindow::deleteRow);
  connect(refreshButton_, &QPushButton::clicked, this, [this] {
    model_->reload();
    updateState();
  });
  connect(model_, &QAbstractItemModel::modelReset, this, &LauncherWindow::updateState);

  setCentralWidget(central);
  resize(980, 660);
}

void LauncherWindow::sendDeclaration() {
  if (!db_) return;
  ui::FrmEnviar dialog(*db_, messenger_, this);
  dialog.exec();
}

QPushButton* LauncherWindow::addCommand(const QString& caption, const QString& objectName) {
  auto* b = new QPushButton(caption);
  b->setObjectName(objectName);
  buttonRow_->insertWidget(buttonRow_->count() - 1, b);  // keep the stretch last
  return b;
}

void LauncherWindow::reload() {
  settings_ = LauncherSettings::read();
  showSettings();
  openDatabase(false);
}

void LauncherWindow::showSettings() {
  auto show = [](QLabel* l, const std::string& v) { l->setText(v.empty() ? QStringLiteral("(vacío)") : qs(v)); };
  iniLabel_->setText(qs(settings_.iniFile) +
                     (fs::exists(settings_.iniFile) ? QString() : QStringLiteral("  (no existe)")));
  show(sysPathLabel_, settings_.sysPath);
  show(dbPathLabel_, settings_.dbPath);
  show(dbNameLabel_, settings_.dbName);
  show(userLabel_, settings_.sysUser);
}

void LauncherWindow::closeDatabase() {
  model_->setEditor(nullptr);
  db_.reset();
}

void LauncherWindow::openDatabase(bool reportFailure) {
  closeDatabase();
  std::string file = settings_.databaseFile();
  QString state;
  if (settings_.dbName.empty()) {
    state = QStringLiteral("sin configurar (DBPath y DBName)");
  } else if (!fs::exists(file)) {
    state = qs(file) + QStringLiteral("  — no existe; use «Crear base de datos»");
  } else {
    try {
      db_ = data::Database::open(file);
      if (!db_->tableExists("PARAM"))
        state = qs(file) + QStringLiteral("  — sin esquema; use «Crear base de datos»");
      else
        state = qs(file);
    } catch (const data::DbError& e) {
      state = qs(file) + QStringLiteral("  — no se puede abrir");
      if (reportFailure)
        messenger_.show(data::connectionErrorText(e), "Error de Conexión", MsgIcon::Critical);
      else
        statusBar()->showMessage(qs(data::connectionErrorText(e)));
    }
  }
  dbStateLabel_->setText(state);
  fillTables();
  emit databaseChanged();
}

void LauncherWindow::fillTables() {
  QString current = tableCombo_->currentText();
  {
    QSignalBlocker block(tableCombo_);
    tableCombo_->clear();
    if (db_) {
      try {
        for (const auto& t : data::registryTables())
          if (db_->tableExists(t)) tableCombo_->addItem(qs(t));
      } catch (const data::DbError& e) {
        statusBar()->showMessage(qs(e.what()));
      }
    }
    int i = tableCombo_->findText(current);
    tableCombo_->setCurrentIndex(i >= 0 ? i : 0);
  }
  showTable(tableCombo_->currentText());
}

void LauncherWindow::showTable(const QString& table) {
  if (!db_ || table.isEmpty()) {
    model_->setEditor(nullptr);
    updateState();
    return;
  }
  try {
    model_->setEditor(std::make_unique<data::TableEditor>(*db_, ss(table), markDeclarant));
  } catch (const data::DbError& e) {
    model_->setEditor(nullptr);
    data::MensajeErrorBD(messenger_, e);
  } catch (const std::exception& e) {
    model_->setEditor(nullptr);
    messenger_.show(e.what(), "Error", MsgIcon::Critical);
  }
  view_->resizeColumnsToContents();
  for (int c = 0; c < model_->columnCount(); ++c)
    if (view_->columnWidth(c) > 260) view_->setColumnWidth(c, 260);
  updateState();
}

void LauncherWindow::updateState() {
  bool hasTable = model_->editor() != nullptr;
  addButton_->setEnabled(hasTable);
  deleteButton_->setEnabled(hasTable && model_->rowCount() > 0);
  refreshButton_->setEnabled(hasTable);
  tableCombo_->setEnabled(db_ != nullptr);
  loadButton_->setEnabled(db_ != nullptr);
  sendButton_->setEnabled(db_ != nullptr && db_->tableExists("CAB"));
  countLabel_->setText(hasTable ? QStringLiteral("%1 filas").arg(model_->rowCount()) : QString());
}

void LauncherWindow::startModule() {
  QString exe = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("korventa"));
  if (!QFileInfo(exe).isExecutable()) {
    messenger_.show("No se encuentra el programa korventa en " + ss(QCoreApplication::applicationDirPath()), "Error",
                    MsgIcon::Critical);
    return;
  }
  QProcess process;
  process.setProgram(exe);
  // The module reads the same settings file: KORVENTA_INI and the rest pass unchanged.
  process.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
  if (!settings_.sysPath.empty() && fs::is_directory(settings_.sysPath))
    process.setWorkingDirectory(qs(settings_.sysPath));
  qint64 pid = 0;
  if (!process.startDetached(&pid)) {
    messenger_.show("No se pudo iniciar korventa: " + ss(process.errorString()), "Error", MsgIcon::Critical);
    return;
  }
  statusBar()->showMessage(QStringLiteral("Módulo 0601 iniciado (proceso %1)").arg(pid), 10000);
}

void LauncherWindow::createDatabaseFile() {
  settings_ = LauncherSettings::read();
  showSettings();
  if (settings_.dbName.empty()) {
    messenger_.show("El archivo de configuración no indica DBPath y DBName. Configúrelos primero.", "Mensaje",
                    MsgIcon::Information);
    editSettings();
    if (settings_.dbName.empty()) return;
  }
  std::string file = settings_.databaseFile();
  Answer demo = messenger_.ask(
      "¿Incluir el registro de demostración (dos declarantes con sus trabajadores, "
      "pensionistas, prestadores, personal de terceros y practicantes)?",
      "Crear base de datos", MsgButtons::YesNoCancel, Answer::Yes, MsgIcon::Question);
  if (demo == Answer::Cancel) return;
  bool exists = fs::exists(file);
  std::string backup = file + ".bak";
  if (exists && messenger_.ask("La base de datos " + file +
                                   " ya existe.\n¿Desea reemplazarla? Su contenido actual se "
                                   "guardará en " +
                                   backup + ".",
                               "Confirmar", MsgButtons::YesNo, Answer::No, MsgIcon::Question) != Answer::Yes)
    return;
  closeDatabase();
  try {
    BusyCursor busy;
    auto db = exists ? data::recreateDatabase(file, demo == Answer::Yes, backup)
                     : data::createDatabase(file, demo == Answer::Yes);
    db.reset();
  } catch (const data::DbError& e) {
    messenger_.show(data::connectionErrorText(e), "Error de Conexión", MsgIcon::Critical);
    openDatabase(false);
    return;
  } catch (const std::exception& e) {
    messenger_.show(std::string("No se pudo crear la base de datos:\n") + e.what(), "Error", MsgIcon::Critical);
    openDatabase(false);
    return;
  }
  openDatabase(true);
  messenger_.show("Base de datos creada: " + file, "Mensaje", MsgIcon::Information);
}

void LauncherWindow::loadRegistry() {
  if (!db_) return;
  QString dir = QFileDialog::getExistingDirectory(this, QStringLiteral("Carpeta del registro (archivos <TABLA>.csv)"),
                                                  lastFolder_.isEmpty() ? QDir::homePath() : lastFolder_);
  if (dir.isEmpty()) return;
  lastFolder_ = dir;
  model_->setEditor(nullptr);
  data::RegistryLoadReport report;
  try {
    BusyCursor busy;
    report = declaration::loadRegistry(*db_, ss(dir));
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(messenger_, e);
    fillTables();
    return;
  } catch (const std::exception& e) {
    messenger_.show(std::string("No se cargó el registro; las tablas quedan como estaban.\n") + e.what(),
                    "Cargar registro", MsgIcon::Critical);
    fillTables();
    return;
  }
  fillTables();
  if (report.tables.empty()) {
    messenger_.show("La carpeta " + ss(dir) + " no tiene archivos <TABLA>.csv del registro.", "Cargar registro",
                    MsgIcon::Information);
    return;
  }
  std::string text = "Registro cargado:";
  for (const auto& [table, n] : report.tables) text += "\n" + table + ": " + std::to_string(n) + " filas";
  messenger_.show(text, "Cargar registro", MsgIcon::Information);
}

void LauncherWindow::editSettings() {
  SettingsDialog dlg(settings_, this);
  if (dlg.exec() != QDialog::Accepted) return;
  IniFile ini(settings_.iniFile);
  std::string sysPath = withSlash(ss(dlg.sysPath->text().trimmed()));
  std::string dbPath = withSlash(ss(dlg.dbPath->text().trimmed()));
  bool ok = ini.write("Options", "SysPath", sysPath) && ini.write("Options", "DBPath", dbPath) &&
            ini.write("Options", "DBName", ss(dlg.dbName->text().trimmed())) &&
            ini.write("Options", "SysUser", ss(dlg.sysUser->text().trimmed()));
  if (!ok) {
    messenger_.show("No se puede escribir " + settings_.iniFile, "Error", MsgIcon::Critical);
    return;
  }
  // The module writes its reports and work files under SysPath.
  if (!sysPath.empty()) {
    std::error_code ec;
    for (const char* sub : {"RPT", "TMP", "BMP"}) fs::create_directories(fs::path(sysPath) / sub, ec);
  }
  reload();
}

void LauncherWindow::addRow() {
  if (!model_->editor()) return;
  auto selected = view_->selectionModel() ? view_->selectionModel()->selectedRows() : QModelIndexList{};
  RowDialog dlg(*model_->editor(), *model_, selected.isEmpty() ? -1 : selected.first().row(), this);
  if (dlg.exec() == QDialog::Accepted) {
    view_->scrollToBottom();
    view_->selectRow(model_->rowCount() - 1);
  }
}

void LauncherWindow::deleteRow() {
  auto rows = view_->selectionModel() ? view_->selectionModel()->selectedRows() : QModelIndexList{};
  if (!list_form::confirmDelete(messenger_, model_->rowCount(), !rows.isEmpty())) return;
  int row = rows.first().row();
  model_->removeRecord(row);
  if (model_->rowCount() > 0) view_->selectRow(std::min(row, model_->rowCount() - 1));
}

}  // namespace korventa::launcher
