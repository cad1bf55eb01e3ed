#include "import/ui/frm_import.h"

#include <stdexcept>

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "common/ui/progress_dialog.h"
#include "data/db_errors.h"
#include "declaration/ui/frm402.h"
#include "model/open_declaration.h"
#include "reports/page_range.h"
#include "reports/spool.h"
#include "reports/ui/frm_impx_pag.h"

namespace korventa::import::ui {

namespace {

QString qs(const std::string& s) {
  return QString::fromStdString(s);
}

// The folder chosen last in this run of the program; the next import form starts there.
QString& lastDirectory() {
  static QString dir = QDir::homePath();
  return dir;
}

const char* checkName(Form form) {
  return form == Form::ImportMF ? "chkFile_" : "Check1_";
}

Form formOf(int category) {
  switch (category) {
    case kThirdParty:
      return Form::TransPT;
    case kProvider:
      return Form::Transferencia;
    case kTrainee:
      return Form::ImportMF;
    default:
      return Form::TranPer;  // workers (also their subsidies) and pensioners
  }
}

}  // namespace

void connectImports(Session& session, korventa::ui::Frm402& form) {
  QObject::connect(&form, &korventa::ui::Frm402::importRequested, &form, [&session, &form](int category) {
    FrmImport import(session, form.controller().declaration(), formOf(category), category, &form);
    import.exec();
    // Closed without a run that imported files, nothing changed: nothing to compute again.
    if (import.imported()) form.afterImport(category, import.touched());
  });
}

FrmImport::FrmImport(Session& session, const model::OpenDeclaration& decl, Form form, int category, QWidget* parent)
    : QDialog(parent), s_(session) {
  if (category == 0) category = info(kindsOf(form, 0).front()).category;
  ctl_ = std::make_unique<ImportForm>(session, decl, form, category);
  setObjectName(formName(form));
  setWindowTitle(qs(ctl_->caption()));

  auto* layout = new QVBoxLayout(this);
  auto* prompt = new QLabel("Seleccionar directorio donde se encuentran\nlos archivos a transferir", this);
  layout->addWidget(prompt);

  auto* top = new QHBoxLayout;
  buildFolders(top);
  buildFiles(top, form);
  layout->addLayout(top);

  buildResults(layout);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  cmdTransferir_ = new QPushButton("&Transferir", this);
  cmdTransferir_->setObjectName("cmdTransferir");
  cmCancelar_ = new QPushButton("&Cancelar", this);
  cmCancelar_->setObjectName("cmCancelar");
  buttons->addWidget(cmdTransferir_);
  buttons->addWidget(cmCancelar_);
  layout->addLayout(buttons);

  connect(drive_, &QComboBox::currentTextChanged, this, [this](const QString& d) { setDirectory(d); });
  connect(dirList_, &QTreeView::clicked, this, [this](const QModelIndex& i) { setDirectory(dirs_->filePath(i)); });
  // The folders are read in the background: once the chosen one's are in, it is shown.
  connect(dirs_, &QFileSystemModel::directoryLoaded, this, [this] {
    if (dirList_->currentIndex().isValid())
      dirList_->scrollTo(dirList_->currentIndex(), QAbstractItemView::PositionAtCenter);
  });
  connect(cmdTransferir_, &QPushButton::clicked, this, &FrmImport::cmdTransferir_Click);
  connect(cmCancelar_, &QPushButton::clicked, this, &QDialog::reject);

  // The counters grow file by file while the run goes on.
  ctl_->countsChanged = [this] {
    lblTransferidos_->setText(qs(ctl_->lblTransferidos()));
    lblRechazados_->setText(qs(ctl_->lblRechazados()));
    lblResultado_->setText(qs(ctl_->lblResultado()));
    for (auto* l : {lblTransferidos_, lblRechazados_, lblResultado_}) l->repaint();
  };
  ctl_->showListing = [this](const std::filesystem::path& path) {
    std::string p = path.string();
    reports::ui::previewWithRange(s_, p, reports::planForImportResult(reports::LeeNroHojas(path)), this);
  };
  setDirectory(lastDirectory());
}

// The drive and the folder tree on the left.
void FrmImport::buildFolders(QHBoxLayout* top) {
  auto* left = new QVBoxLayout;
  drive_ = new QComboBox(this);
  drive_->setObjectName("Drive1");
  for (const auto& d : QDir::drives()) drive_->addItem(d.absolutePath());
  left->addWidget(drive_);
  dirs_ = new QFileSystemModel(this);
  dirs_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
  dirs_->setRootPath(drive_->currentText());
  dirList_ = new QTreeView(this);
  dirList_->setObjectName("DirDirectorio");
  dirList_->setModel(dirs_);
  for (int c = 1; c < dirs_->columnCount(); ++c) dirList_->hideColumn(c);
  dirList_->setHeaderHidden(true);
  dirList_->setMinimumSize(280, 220);
  left->addWidget(dirList_);
  top->addLayout(left);
}

// The files of the folder and the kinds to import on the right.
void FrmImport::buildFiles(QHBoxLayout* top, Form form) {
  auto* right = new QVBoxLayout;
  auto* pattern = new QLabel(qs(ctl_->pattern()), this);
  pattern->setObjectName("lblPatron");
  right->addWidget(pattern);
  files_ = new QListWidget(this);
  files_->setObjectName("File1");
  files_->setMinimumWidth(300);
  right->addWidget(files_);
  auto* kinds = new QGroupBox("Archivos a importar", this);
  auto* kindsLayout = new QVBoxLayout(kinds);
  for (Kind k : ctl_->kinds()) {
    auto* box = new QCheckBox(qs(ctl_->expectedFileName(k)), kinds);
    box->setObjectName(QString(checkName(form)) + info(k).extension);
    connect(box, &QCheckBox::toggled, this, [this, k](bool on) { ctl_->setChecked(k, on); });
    checks_[k] = box;
    kindsLayout->addWidget(box);
  }
  right->addWidget(kinds);
  top->addLayout(right);
}

// The counts and the result lines of the last transfer.
void FrmImport::buildResults(QVBoxLayout* layout) {
  auto* counts = new QGridLayout;
  lblTransferidos_ = new QLabel("0", this);
  lblTransferidos_->setObjectName("lblTransferidos");
  lblRechazados_ = new QLabel("0", this);
  lblRechazados_->setObjectName("lblRechazados");
  lblResultado_ = new QLabel(this);
  lblResultado_->setObjectName("lblResultado");
  counts->addWidget(lblTransferidos_, 0, 0);
  counts->addWidget(lblRechazados_, 0, 1);
  counts->addWidget(lblResultado_, 0, 2);
  layout->addLayout(counts);
  lstResultados_ = new QListWidget(this);
  lstResultados_->setObjectName("lstResultados");
  lstResultados_->setMaximumHeight(110);
  layout->addWidget(lstResultados_);
}

QString FrmImport::directory() const {
  return qs(ctl_->directory().string());
}

void FrmImport::setDirectory(const QString& dir) {
  lastDirectory() = dir;
  ctl_->setDirectory(dir.toStdString());
  QModelIndex index = dirs_->index(dir);
  if (index.isValid()) {
    dirList_->setCurrentIndex(index);
    dirList_->scrollTo(index);
  }
  showFiles();
}

void FrmImport::showFiles() {
  files_->clear();
  for (const auto& f : ctl_->files()) files_->addItem(qs(f));
  for (auto& [k, box] : checks_) {
    QSignalBlocker block(box);
    box->setChecked(ctl_->checked(k));
  }
}

void FrmImport::cmdTransferir_Click() {
  cmdTransferir_->setEnabled(false);
  lblTransferidos_->setText("0");
  lblRechazados_->setText("0");
  lblResultado_->clear();
  lstResultados_->clear();
  std::vector<FileResult> results;
  // Busy cursor and progress until the run ends; Cancel takes the whole run back.
  korventa::ui::ProgressDialog progress(this, true);
  try {
    results = ctl_->cmdTransferir_Click(progress);
  } catch (const data::DbError& e) {
    data::MensajeErrorBD(s_.msg(), e);
  } catch (const std::exception& e) {
    reportTechnicalError(s_.msg(), e);
  }
  lblTransferidos_->setText(qs(ctl_->lblTransferidos()));
  lblRechazados_->setText(qs(ctl_->lblRechazados()));
  lblResultado_->setText(qs(ctl_->lblResultado()));
  for (const auto& r : results) {
    lstResultados_->addItem(qs(resultLine(r)));
    if (!r.refused) imported_ = true;
  }
  // The persons of every run that went in, each once.
  for (const auto& r : results) {
    FileResult kept;
    kept.affected = r.affected;
    touchedBy_.push_back(std::move(kept));
  }
  touched_ = affectedPersons(touchedBy_);
  cmdTransferir_->setEnabled(true);
}

}  // namespace korventa::import::ui
