#include "reports/ui/frm_preview.h"

#include <filesystem>
#include <memory>

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinterInfo>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include "app/ui/qt_messenger.h"
#include "reports/page_range.h"
#include "reports/report_reader.h"
#include "reports/ui/report_renderer.h"

namespace korventa::reports::ui {
namespace {

constexpr double kTwipsPerInch = 1440.0;

class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

// The system's default printer, or nullptr with a Spanish message when there is none.
std::unique_ptr<QPrinter> defaultPrinter(QString* error) {
  QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) {
    if (error) *error = QStringLiteral("No hay una impresora predeterminada instalada.");
    return nullptr;
  }
  return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

// Reads the file; the hourglass shows while reading, not while a message is up.
std::optional<Document> loadDocument(Session& session, const QString& path, const char* mode, const PageRange& range) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path.toStdString(), ec))
    return pDesencripta(path.toStdString(), mode, range, session.msg());  // shows the message
  BusyCursor busy;
  return pDesencripta(path.toStdString(), mode, range, session.msg());
}

// Prints a print document on the chosen printer or the default one; shows a failure.
bool printDocument(Session& session, const Document& doc, QPrinter* chosen) {
  QString error;
  bool ok;
  {
    BusyCursor busy;
    std::unique_ptr<QPrinter> owned;
    QPrinter* printer = chosen;
    if (!printer) {
      owned = defaultPrinter(&error);
      printer = owned.get();
    }
    ok = printer && paintSheets(*printer, doc, &error);
  }
  if (!ok) session.msg().show(korventa::ui::ss(error), "Error al Imprimir", MsgIcon::Critical);
  return ok;
}


}  // namespace

PagePicture::PagePicture(QWidget* parent) : QWidget(parent) { setObjectName("picPrevia"); }

void PagePicture::setPage(const Page* page) {
  page_ = page;
  QSizeF twips = page ? previewPageSizeTwips(*page) : QSizeF(kSheetWidthTwips, kSheetHeightTwips);
  resize(qRound(twips.width() * logicalDpiX() / kTwipsPerInch), qRound(twips.height() * logicalDpiY() / kTwipsPerInch));
  update();
}

void PagePicture::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QColor bg = page_ ? QColor(page_->background.r, page_->background.g, page_->background.b) : QColor(Qt::white);
  p.fillRect(rect(), bg);
  if (!page_) return;
  QPointF origin(kMarginTwips * logicalDpiX() / kTwipsPerInch, kMarginTwips * logicalDpiY() / kTwipsPerInch);
  paintPage(p, *page_, 1.0, origin);
}

frmPreview::frmPreview(Session& session, PageRange range, QWidget* parent)
    : QDialog(parent), session_(session), range_(range) {
  setObjectName("frmPreview");
  setWindowTitle(QStringLiteral("Vista Preliminar"));
  setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  tlbPrevia_ = new QToolBar(this);
  tlbPrevia_->setObjectName("tlbPrevia");
  tlbPrevia_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  auto* st = style();
  actPdf_ = tlbPrevia_->addAction(st->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("Guardar PDF"));
  actPrev_ = tlbPrevia_->addAction(st->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("Anterior"));
  actNext_ = tlbPrevia_->addAction(st->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("Siguiente"));
  actPrint_ = tlbPrevia_->addAction(st->standardIcon(QStyle::SP_FileIcon), QStringLiteral("Imprimir"));
  actClose_ = tlbPrevia_->addAction(st->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("Cerrar"));
  actPdf_->setObjectName("btnGuardarPdf");
  actPrev_->setObjectName("btnAnterior");
  actNext_->setObjectName("btnSiguiente");
  actPrint_->setObjectName("btnImprimir");
  actClose_->setObjectName("btnCerrar");
  tlbPrevia_->addSeparator();
  lblPagina_ = new QLabel(this);
  lblPagina_->setObjectName("lblPagina");
  tlbPrevia_->addWidget(lblPagina_);
  layout->addWidget(tlbPrevia_);

  connect(actPdf_, &QAction::triggered, this, [this] { tlbPrevia_ButtonClick(1); });
  connect(actPrev_, &QAction::triggered, this, [this] { tlbPrevia_ButtonClick(2); });
  connect(actNext_, &QAction::triggered, this, [this] { tlbPrevia_ButtonClick(3); });
  connect(actPrint_, &QAction::triggered, this, [this] { tlbPrevia_ButtonClick(4); });
  connect(actClose_, &QAction::triggered, this, [this] { tlbPrevia_ButtonClick(5); });

  scroll_ = new QScrollArea(this);
  scroll_->setObjectName("fraPrevia");
  scroll_->setBackgroundRole(QPalette::Dark);
  scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  scroll_->verticalScrollBar()->setObjectName("vsbPic");
  scroll_->horizontalScrollBar()->setObjectName("HScroll1");
  picPrevia_ = new PagePicture;
  scroll_->setWidget(picPrevia_);
  layout->addWidget(scroll_, 1);

  QSize want(1000, 850);
  if (auto* screen = QGuiApplication::primaryScreen()) want = want.boundedTo(screen->availableSize());
  resize(want);
  updateControls();
}

bool frmPreview::open(const QString& path) {
  path_ = path;
  doc_ = loadDocument(session_, path, "PresPrevia", range_);
  current_ = 0;
  picPrevia_->setPage(nullptr);
  if (!doc_) {
    updateControls();
    return false;
  }
  pMostrar(0);
  return true;
}

void frmPreview::pMostrar(int direction) {
  int count = pageCount();
  if (direction == 0) current_ = 0;
  else if (direction == -1 && current_ + 1 < count) ++current_;
  else if (direction == -2 && current_ > 0) --current_;
  picPrevia_->setPage(count > 0 ? &doc_->pages[static_cast<std::size_t>(current_)] : nullptr);
  scroll_->verticalScrollBar()->setValue(0);
  scroll_->horizontalScrollBar()->setValue(0);
  updateControls();
}

void frmPreview::updateControls() {
  int count = pageCount();
  actPrev_->setEnabled(current_ > 0);
  actNext_->setEnabled(current_ + 1 < count);
  actPrint_->setEnabled(doc_.has_value());
  actPdf_->setEnabled(doc_.has_value());
  lblPagina_->setText(count > 0 ? QStringLiteral("  Página %1 de %2  ").arg(current_ + 1).arg(count) : QString());
}

void frmPreview::tlbPrevia_ButtonClick(int position) {
  switch (position) {
    case 1: chooseAndSavePdf(); break;
    case 2: pMostrar(-2); break;
    case 3: pMostrar(-1); break;
    case 4: imprimir(); break;
    case 5: close(); break;
    default: break;
  }
}

bool frmPreview::imprimir() {
  auto doc = loadDocument(session_, path_, "IMPRIMIR", range_);
  if (!doc || !printDocument(session_, *doc, printer_)) return false;
  session_.msg().show("Reporte se imprimió satisfactoriamente.", "Mensaje", MsgIcon::Information);
  if (range_.active) close();
  return true;
}

bool frmPreview::guardarPdf(const QString& fileName) {
  auto doc = loadDocument(session_, path_, "IMPRIMIR", range_);
  if (!doc) return false;
  QString error;
  bool ok;
  {
    BusyCursor busy;
    ok = writePdf(*doc, fileName, &error);
  }
  if (!ok) {
    session_.msg().show(korventa::ui::ss(error), "Error", MsgIcon::Critical);
    return false;
  }
  session_.msg().show("Reporte guardado en " + korventa::ui::ss(fileName), "Mensaje", MsgIcon::Information);
  return true;
}

void frmPreview::chooseAndSavePdf() {
  std::filesystem::path report = path_.toStdString();
  std::filesystem::path proposal = report.parent_path() / report.stem();
  QString file = QFileDialog::getSaveFileName(this, QStringLiteral("Guardar PDF"),
                                              QString::fromStdString(proposal.string() + ".pdf"),
                                              QStringLiteral("Documentos PDF (*.pdf)"));
  if (file.isEmpty()) return;
  if (!file.endsWith(".pdf", Qt::CaseInsensitive)) file += ".pdf";
  guardarPdf(file);
}

bool MuestraReporte(Session& session, const std::string& path, const std::string& mode, QWidget* parent,
                    const PageRange& range) {
  if (mode == "Vprevia") {
    frmPreview preview(session, range, parent);
    if (!preview.open(QString::fromStdString(path))) return false;
    preview.exec();
    return true;
  }
  auto doc = loadDocument(session, QString::fromStdString(path), "IMPRIMIR", range);
  return doc && printDocument(session, *doc, nullptr);
}

}  // namespace korventa::reports::ui
