#pragma once
// frmImpxPag: the choice of the pages of a long report before it is previewed.
#include <string>

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "data/session.h"
#include "reports/page_range.h"

namespace korventa::reports::ui {

class frmImpxPag : public QDialog {
  Q_OBJECT
 public:
  frmImpxPag(Session& session, QWidget* parent = nullptr);

  // The report to preview once the pages are accepted, its page count and the proposed last page.
  void setReport(const std::string& path, int totalPages, int lastPage);
  // Validates the pages; on success stores the range, hides the dialog, previews the report and
  // closes. Returns whether the pages were accepted.
  bool cmdAceptar_Click();
  // The pages accepted (inactive until then).
  const PageRange& range() const { return range_; }

 private:
  Session& session_;
  std::string path_;
  PageRange range_;
  QLineEdit* txtTotPaginas_;
  QLineEdit* txtPagDesde_;
  QLineEdit* txtPagHasta_;
  QPushButton* cmdAceptar_;
  QPushButton* cmdCancelar_;
};

// What a caller does once it has written a report and counted its pages: with no dialog planned
// it previews every page at once; otherwise the user chooses the pages in frmImpxPag, whose
// accept previews them.
void previewWithRange(Session& session, const std::string& path, const RangeDialogPlan& plan,
                      QWidget* parent = nullptr);

}  // namespace korventa::reports::ui
