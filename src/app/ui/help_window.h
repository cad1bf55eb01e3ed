#pragma once
// The program's guide: SysPath + "0601/Vq601.html" when that file exists, else the guide built
// into the program.
#include <QDialog>
#include <QTextBrowser>
#include <QUrl>

namespace korventa::ui {

class HelpWindow : public QDialog {
  Q_OBJECT
 public:
  // `installedFile`: the guide in the installation folder (may be missing).
  explicit HelpWindow(const QString& installedFile, QWidget* parent = nullptr);
  QTextBrowser* browser() const { return browser_; }
  // Where the guide was read from.
  QUrl source() const { return browser_->source(); }

  static QUrl builtInGuide() { return QUrl("qrc:/help/ayuda_0601.html"); }

 private:
  QTextBrowser* browser_;
};

}  // namespace korventa::ui
