#pragma once
// The forms' side of long work: a QProgressDialog showing what the core reports through Progress
// (the step as its label, the count as its bar and "5000/10000"), the busy cursor while it
// lives, and the window kept painted. Cancel is offered only for work that can be cancelled
// (one transaction), and answers cancelled().
#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <string>

#include "common/progress.h"

namespace korventa::ui {

class ProgressDialog : public Progress {
 public:
  ProgressDialog(QWidget* parent, bool cancellable);
  ~ProgressDialog() override;
  ProgressDialog(const ProgressDialog&) = delete;
  ProgressDialog& operator=(const ProgressDialog&) = delete;

  void step(std::string_view text) override;
  void advance(long long done, long long total) override;
  bool cancelled() override;

  // The dialog, made at the first step (a question asked before the work shows none behind it).
  QProgressDialog* dialog();
  void setObjectName(const QString& name) { objectName_ = name; }

 private:
  void pump(bool force);
  QPointer<QWidget> parent_;
  QPointer<QProgressDialog> dialog_;
  QString objectName_ = QStringLiteral("prgProgreso");
  QElapsedTimer sincePump_, sinceStart_;
  std::string step_;
  bool cancellable_;
};

}  // namespace korventa::ui
