#pragma once
// frmPreview: the preview of a report file, page by page, with printing and saving as PDF.
// Tool bar tlbPrevia by position: 1 "Guardar PDF", 2 previous page, 3 next page, 4 print,
// 5 close; then the zoom: in, out, fit width (how it opens) and fit page. The status bar shows
// "Pag. n/m" and the zoom.
#include <optional>
#include <string>

#include <QDialog>
#include <QLabel>
#include <QPrinter>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolBar>

#include "data/session.h"
#include "reports/report_document.h"

namespace korventa::reports::ui {

// One preview page, drawn at the screen's resolution on its page colour.
class PagePicture : public QWidget {
  Q_OBJECT
 public:
  explicit PagePicture(QWidget* parent = nullptr);
  void setPage(const Page* page);
  const Page* page() const { return page_; }
  // 1.0 draws the page at its real size on the screen.
  void setZoom(double zoom);
  double zoom() const { return zoom_; }
  // The page's size at zoom 1.0, in pixels.
  QSize naturalSize() const;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  const Page* page_ = nullptr;
  double zoom_ = 1.0;
};

class frmPreview : public QDialog {
  Q_OBJECT
  Q_PROPERTY(QString reportPath READ reportPath WRITE setReportPath)

 public:
  // `range`: the pages chosen in frmImpxPag (inactive: every page).
  explicit frmPreview(Session& session, PageRange range = {}, QWidget* parent = nullptr);

  // Reads the file for the preview (with the page range) and shows its first page.
  // A missing file shows "Archivo Físico del Reporte no Existe." and returns false.
  bool open(const QString& path);
  QString reportPath() const { return path_; }
  void setReportPath(const QString& path) { open(path); }

  // 0 first page, -1 next page, -2 previous page; stops at the first and the last.
  void pMostrar(int direction);
  void tlbPrevia_ButtonClick(int position);
  // Prints the file (its page range) on the default printer, or on the printer given with
  // setPrinter; closes the preview afterwards when a range was chosen.
  bool imprimir();
  // Writes what printing would give into a PDF file.
  bool guardarPdf(const QString& fileName);
  // Prints on this printer instead of the system's default one (not owned).
  void setPrinter(QPrinter* printer) { printer_ = printer; }

  int pageCount() const { return doc_ ? static_cast<int>(doc_->pages.size()) : 0; }
  int currentPage() const { return current_; }
  const Document* document() const { return doc_ ? &*doc_ : nullptr; }

  enum class Fit { None, Width, Page };
  double zoom() const { return picPrevia_->zoom(); }
  Fit fit() const { return fit_; }
  // Zoom in or out by one step (the fit is left), or fit the page's width or the whole page
  // into the window (kept while the window is resized).
  void zoomIn();
  void zoomOut();
  void fitWidth();
  void fitPage();

 protected:
  void resizeEvent(QResizeEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  void chooseAndSavePdf();
  void updateControls();
  void applyFit();
  void setZoom(double zoom);

  Session& session_;
  PageRange range_;
  QString path_;
  std::optional<Document> doc_;
  int current_ = 0;
  QPrinter* printer_ = nullptr;
  QToolBar* tlbPrevia_;
  QAction* actPdf_;
  QAction* actPrev_;
  QAction* actNext_;
  QAction* actPrint_;
  QAction* actClose_;
  QAction* actZoomIn_;
  QAction* actZoomOut_;
  QAction* actFitWidth_;
  QAction* actFitPage_;
  QScrollArea* scroll_;
  PagePicture* picPrevia_;
  QStatusBar* staPrevia_;
  QLabel* lblPagina_;
  QLabel* lblZoom_;
  Fit fit_ = Fit::Width;
};

// Opens the preview of a report file ("Vprevia"), or prints it at once without showing it (any
// other mode, e.g. "Impresora"), with the pages of `range` (inactive: all). Returns false when
// the file is missing or printing failed (the message is shown).
bool MuestraReporte(Session& session, const std::string& path, const std::string& mode, QWidget* parent = nullptr,
                    const PageRange& range = {});

}  // namespace korventa::reports::ui
