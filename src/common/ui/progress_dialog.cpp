#include "common/ui/progress_dialog.h"

#include <QApplication>
#include <QCursor>
#include <algorithm>
#include <vector>

namespace korventa::ui {

namespace {
// The window is repainted (and Cancel looked at) at most this often: a 10,000-person loop asks
// 10,000 times.
constexpr qint64 kPumpMs = 50;
constexpr int kDelayMs = 500;

// The work under way, innermost last.
std::vector<ProgressDialog*>& underWay() {
  static std::vector<ProgressDialog*> all;
  return all;
}
}  // namespace

ProgressDialog::ProgressDialog(QWidget* parent, bool cancellable) : parent_(parent), cancellable_(cancellable) {
  underWay().push_back(this);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  sincePump_.start();
  sinceStart_.start();
}

ProgressDialog::~ProgressDialog() {
  std::erase(underWay(), this);
  QApplication::restoreOverrideCursor();
  delete dialog_.data();
}

QProgressDialog* ProgressDialog::dialog() {
  if (dialog_) return dialog_;
  dialog_ = new QProgressDialog(parent_);
  dialog_->setObjectName(objectName_);
  // Titled as the form it serves, not with the program's name.
  if (QWidget* form = parent_ ? parent_->window() : nullptr; form && !form->windowTitle().isEmpty())
    dialog_->setWindowTitle(form->windowTitle());
  dialog_->setWindowModality(Qt::WindowModal);
  // Short work shows no dialog at all.
  dialog_->setMinimumDuration(kDelayMs);
  dialog_->setAutoReset(false);
  dialog_->setAutoClose(false);
  if (cancellable_)
    dialog_->setCancelButtonText("&Cancelar");  // Qt's own caption is in English
  else
    dialog_->setCancelButton(nullptr);
  dialog_->setRange(0, 0);
  dialog_->setValue(0);
  if (reopen_) {
    // It was showing before a message closed it: the work goes on, so does the dialog.
    reopen_ = false;
    dialog_->setLabelText(QString::fromStdString(step_));
    dialog_->show();
  }
  return dialog_;
}

void ProgressDialog::close() {
  if (!dialog_) return;
  cancelPressed_ = cancelPressed_ || dialog_->wasCanceled();
  reopen_ = dialog_->isVisible();
  // Reset rather than only hidden: a dialog not yet shown would still show itself once its delay
  // is over, in front of the message. Deleted later: the message may come from an event the
  // dialog itself is handing out (its setValue lets events through).
  QProgressDialog* closing = dialog_;
  dialog_ = nullptr;
  closing->reset();
  closing->hide();
  closing->deleteLater();
}

void ProgressDialog::makeWayForMessage() {
  for (ProgressDialog* p : underWay()) p->close();
}

void ProgressDialog::step(std::string_view text) {
  step_.assign(text);
  dialog()->setLabelText(QString::fromStdString(step_));
  dialog_->setRange(0, 0);
  pump(true);
}

void ProgressDialog::advance(long long done, long long total) {
  if (sincePump_.elapsed() < kPumpMs && done < total) return;
  dialog();
  if (total > 0) {
    // QProgressDialog counts in int; the counts here are persons, lines or reports.
    dialog_->setRange(0, static_cast<int>(total));
    dialog_->setValue(static_cast<int>(std::min(done, total)));
    dialog_->setLabelText(QString::fromStdString(step_ + " " + std::to_string(done) + "/" + std::to_string(total)));
  }
  pump(true);
}

bool ProgressDialog::cancelled() {
  pump(false);
  return cancellable_ && (cancelPressed_ || (dialog_ && dialog_->wasCanceled()));
}

void ProgressDialog::pump(bool force) {
  // Work shorter than the dialog's delay runs without an event loop, as it did before: nothing
  // else (a queued timer, a message box's answer) gets in between its steps.
  if (sinceStart_.elapsed() < kDelayMs) return;
  if (!force && sincePump_.elapsed() < kPumpMs) return;
  sincePump_.restart();
  // Until the dialog shows, clicks and keys wait: the form behind it must not start anything else
  // half-way through this work. Once shown, it is window-modal, so only its Cancel is reachable.
  const bool shown = dialog_ && dialog_->isVisible();
  QApplication::processEvents(shown ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
}

}  // namespace korventa::ui
