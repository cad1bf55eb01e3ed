#pragma once
// The launcher's side of the window check where the desktop does not let one program list
// another's windows (Wayland, or no X connection): a local socket named after the window title
// answers who is there. Create one beside the launcher's main window:
//   WindowAnnouncer announcer("Zelvaro", &mainWindow);
// The 0601 module's window finder connects to it (see desktop_windows.h).
#include <QLocalServer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace korventa::ui {

class WindowAnnouncer : public QObject {
  Q_OBJECT
 public:
  // Starts listening at once. With a window, the title is only announced while that window is
  // shown and a close request closes it; without one, the title is always announced.
  explicit WindowAnnouncer(QString title, QWidget* window = nullptr, QObject* parent = nullptr);
  ~WindowAnnouncer() override;

  bool isListening() const { return server_.isListening(); }
  const QString& title() const { return title_; }
  void setWindow(QWidget* window) { window_ = window; }

  // Socket name used for a title.
  static QString socketName(const QString& title);

 private:
  void answer();
  QString title_;
  QPointer<QWidget> window_;
  bool hasWindow_ = false;
  QLocalServer server_;
};

// Wire protocol between the announcer and the finder: one request line, one answer line.
namespace announce {
inline constexpr char kQuery[] = "QUERY";  // answer: "<title>\t<class>" or "" when not shown
inline constexpr char kClose[] = "CLOSE";  // "CLOSE <class>": closes the window; answer "OK"
}  // namespace announce

}  // namespace korventa::ui
