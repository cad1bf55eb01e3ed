#pragma once
// The forms' side of long work: a QProgressDialog showing what the core reports through Progress
// (the step as its label, the count as its bar and "5000/10000"), the busy cursor while it
// lives, and the window kept painted. Cancel is offered only for work that can be cancelled
// (one transaction), and answers cancelled(). The dialog carries the caption of the form it
// serves, and gives way to every message box: it closes before the box shows and comes back
// when the work goes on after it.
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

  // Closes the dialogs of the work under way, before a message box shows: a message never sits
  // in front of (or behind) a progress dialog. Those that were showing come back at the work's
  // next step or count.
  static void makeWayForMessage();

 private:
  void pump(bool force);
  void close();
  QPointer<QWidget> parent_;
  QPointer<QProgressDialog> dialog_;
  QString objectName_ = QStringLiteral("prgProgreso");
  QElapsedTimer sincePump_, sinceStart_;
  std::string step_;
  bool cancellable_;
  // Cancel was pressed on a dialog closed since; the dialog closed was showing.
  bool cancelPressed_ = false;
  bool reopen_ = false;
};

}  // namespace korventa::ui
