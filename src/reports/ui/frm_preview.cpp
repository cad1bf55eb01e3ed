#include "reports/ui/frm_preview.h"

#include <algorithm>
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

#include "common/file_filters.h"
#include "common/ui/qt_messenger.h"
#include "common/ui/widgets.h"
#include "reports/page_range.h"
#include "reports/print_outcome.h"
#include "reports/report_reader.h"
#include "reports/ui/report_renderer.h"

namespace korventa::reports::ui {
namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kZoomStep = 1.25;
constexpr double kMinZoom = 0.1;
constexpr double kMaxZoom = 4.0;

class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

// The system's default printer, or nullptr with a Spanish message when there is none.
std::unique_ptr<QPrinter> defaultPrinter(QString* error) {
  QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) {
    if (error) *error = QString::fromStdString(reports::printFailureText(reports::PrintFailure::NoDefaultPrinter));
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
  if (!ok) reports::reportPrintFailed(session.msg(), korventa::ui::ss(error));
  return ok;
}

}  // namespace

PagePicture::PagePicture(QWidget* parent) : QWidget(parent) {
  setObjectName("picPrevia");
}

void PagePicture::setPage(const Page* page) {
  page_ = page;
  resize(naturalSize() * zoom_);
  update();
}

void PagePicture::setZoom(double zoom) {
  zoom_ = zoom;
  resize(naturalSize() * zoom_);
  update();
}

QSize PagePicture::naturalSize() const {
  QSizeF twips = page_ ? previewPageSizeTwips(*page_) : QSizeF(kSheetWidthTwips, kSheetHeightTwips);
  return {qRound(twips.width() * logicalDpiX() / kTwipsPerInch),
          qRound(twips.height() * logicalDpiY() / kTwipsPerInch)};
}

void PagePicture::paintEvent(QPaintEvent*) {
  QPainter p(this);
  QColor bg = page_ ? QColor(page_->background.r, page_->background.g, page_->background.b) : QColor(Qt::white);
  p.fillRect(rect(), bg);
  if (!page_) return;
  QPointF origin(kMarginTwips * logicalDpiX() / kTwipsPerInch * zoom_,
                 kMarginTwips * logicalDpiY() / kTwipsPerInch * zoom_);
  paintPage(p, *page_, zoom_, origin);
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
  actZoomIn_ = tlbPrevia_->addAction(st->standardIcon(QStyle::SP_ArrowUp), QStringLiteral("Acercar"));
  actZoomOut_ = tlbPrevia_->addAction(st->standardIcon(QStyle::SP_ArrowDown), QStringLiteral("Alejar"));
  actFitWidth_ = tlbPrevia_->addAction(QStringLiteral("Ancho de página"));
  actFitPage_ = tlbPrevia_->addAction(QStringLiteral("Página completa"));
  actZoomIn_->setObjectName("btnAcercar");
  actZoomOut_->setObjectName("btnAlejar");
  actFitWidth_->setObjectName("btnAncho");
  actFitPage_->setObjectName("btnPagina");
  actZoomIn_->setShortcut(QKeySequence::ZoomIn);
  actZoomOut_->setShortcut(QKeySequence::ZoomOut);
  for (auto* a : {actFitWidth_, actFitPage_}) a->setCheckable(true);
  layout->addWidget(tlbPrevia_);

  connect(actPdf_, &QAction::triggered, this, [this] { tlbPrevia_ButtonClick(1); });
  connect(actPrev_, &QAction::triggered, this, [this] { tlbPrevia_ButtonClick(2); });
  connect(actNext_, &QAction::triggered, this, [this] { tlbPrevia_ButtonClick(3); });
  connect(actPrint_, &QAction::triggered, this, [this] { tlbPrevia_ButtonClick(4); });
  connect(actClose_, &QAction::triggered, this, [this] { tlbPrevia_ButtonClick(5); });
  connect(actZoomIn_, &QAction::triggered, this, &frmPreview::zoomIn);
  connect(actZoomOut_, &QAction::triggered, this, &frmPreview::zoomOut);
  connect(actFitWidth_, &QAction::triggered, this, &frmPreview::fitWidth);
  connect(actFitPage_, &QAction::triggered, this, &frmPreview::fitPage);

  scroll_ = new QScrollArea(this);
  scroll_->setObjectName("fraPrevia");
  scroll_->setBackgroundRole(QPalette::Dark);
  scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  scroll_->verticalScrollBar()->setObjectName("vsbPic");
  scroll_->horizontalScrollBar()->setObjectName("HScroll1");
  picPrevia_ = new PagePicture;
  scroll_->setWidget(picPrevia_);
  layout->addWidget(scroll_, 1);

  staPrevia_ = new QStatusBar(this);
  staPrevia_->setObjectName("staPrevia");
  staPrevia_->setSizeGripEnabled(false);
  lblPagina_ = new QLabel(staPrevia_);
  lblPagina_->setObjectName("lblPagina");
  lblZoom_ = new QLabel(staPrevia_);
  lblZoom_->setObjectName("lblZoom");
  staPrevia_->addWidget(lblPagina_, 1);
  staPrevia_->addPermanentWidget(lblZoom_);
  layout->addWidget(staPrevia_);

  // Wide enough for a landscape page; never beyond the screen, the page scrolls instead.
  korventa::ui::fitToScreen(this, QSize(1300, 1000));
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
  if (direction == 0)
    current_ = 0;
  else if (direction == -1 && current_ + 1 < count)
    ++current_;
  else if (direction == -2 && current_ > 0)
    --current_;
  picPrevia_->setPage(count > 0 ? &doc_->pages[static_cast<std::size_t>(current_)] : nullptr);
  applyFit();
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
  lblPagina_->setText(count > 0 ? QStringLiteral("Pag. %1/%2").arg(current_ + 1).arg(count) : QString());
  lblZoom_->setText(QStringLiteral("%1 %").arg(qRound(zoom() * 100)));
  actZoomIn_->setEnabled(zoom() < kMaxZoom);
  actZoomOut_->setEnabled(zoom() > kMinZoom);
  actFitWidth_->setChecked(fit_ == Fit::Width);
  actFitPage_->setChecked(fit_ == Fit::Page);
}

void frmPreview::setZoom(double zoom) {
  picPrevia_->setZoom(std::clamp(zoom, kMinZoom, kMaxZoom));
  updateControls();
}

void frmPreview::zoomIn() {
  fit_ = Fit::None;
  setZoom(zoom() * kZoomStep);
}

void frmPreview::zoomOut() {
  fit_ = Fit::None;
  setZoom(zoom() / kZoomStep);
}

void frmPreview::fitWidth() {
  fit_ = Fit::Width;
  applyFit();
}

void frmPreview::fitPage() {
  fit_ = Fit::Page;
  applyFit();
}

// The zoom that puts the page's width (or the whole page) inside the scroll area; the vertical
// scroll bar's room is kept aside when fitting the width, as a long page needs it.
void frmPreview::applyFit() {
  QSize page = picPrevia_->naturalSize();
  if (fit_ == Fit::None || page.isEmpty()) return updateControls();
  QSize room = scroll_->contentsRect().size() - QSize(4, 4);
  double zoom = 0;
  if (fit_ == Fit::Width) {
    room.rwidth() -= scroll_->verticalScrollBar()->sizeHint().width();
    zoom = double(room.width()) / page.width();
  } else {
    zoom = std::min(double(room.width()) / page.width(), double(room.height()) / page.height());
  }
  setZoom(zoom);
}

void frmPreview::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  applyFit();
}

void frmPreview::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  applyFit();
}

void frmPreview::tlbPrevia_ButtonClick(int position) {
  switch (position) {
    case 1:
      chooseAndSavePdf();
      break;
    case 2:
      pMostrar(-2);
      break;
    case 3:
      pMostrar(-1);
      break;
    case 4:
      imprimir();
      break;
    case 5:
      close();
      break;
    default:
      break;
  }
}

bool frmPreview::imprimir() {
  auto doc = loadDocument(session_, path_, "IMPRIMIR", range_);
  if (!doc || !printDocument(session_, *doc, printer_)) return false;
  reports::reportPrinted(session_.msg());
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
    reports::reportSaveFailed(session_.msg(), korventa::ui::ss(error));
    return false;
  }
  reports::reportSaved(session_.msg(), korventa::ui::ss(fileName));
  return true;
}

void frmPreview::chooseAndSavePdf() {
  std::filesystem::path report = path_.toStdString();
  std::filesystem::path proposal = report.parent_path() / report.stem();
  QString file =
      QFileDialog::getSaveFileName(this, QStringLiteral("Guardar PDF"),
                                   QString::fromStdString(proposal.string() + ".pdf"), QString::fromUtf8(kPdfFilter));
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
