// The launcher check against real desktops: an X server of its own (Xvfb) with windows made
// through xcb, and the local-socket announcer used where windows cannot be listed.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include "app/ui/desktop_windows.h"
#include "app/ui/instance_lock.h"
#include "app/ui/window_announcer.h"
#include "ui/ui_test_registry.h"

#ifdef KORVENTA_HAVE_XCB
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>
#endif

namespace korventa::uitest {

#ifdef KORVENTA_HAVE_XCB
namespace {

// A client of the test's X server that makes top-level windows the way toolkits and window
// managers do.
class XClient {
 public:
  explicit XClient(const std::string& display) {
    c_ = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(c_)) return;
    root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    netWmName_ = atom("_NET_WM_NAME");
    utf8_ = atom("UTF8_STRING");
    wmState_ = atom("WM_STATE");
    wmProtocols_ = atom("WM_PROTOCOLS");
    wmDelete_ = atom("WM_DELETE_WINDOW");
  }
  ~XClient() {
    if (c_) xcb_disconnect(c_);
  }
  bool ok() const { return c_ && !xcb_connection_has_error(c_); }

  xcb_window_t window(xcb_window_t parent = 0, bool map = true) {
    xcb_window_t w = xcb_generate_id(c_);
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, w, parent ? parent : root_, 0, 0, 100, 80, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    if (map) xcb_map_window(c_, w);
    return w;
  }
  void netName(xcb_window_t w, const std::string& utf8) { set(w, netWmName_, utf8_, 8, utf8.data(), utf8.size()); }
  void wmName(xcb_window_t w, const std::string& latin1) {
    set(w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8, latin1.data(), latin1.size());
  }
  void wmClass(xcb_window_t w, const std::string& instance, const std::string& klass) {
    std::string v = instance + '\0' + klass + '\0';
    set(w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, v.data(), v.size());
  }
  void wmState(xcb_window_t w) {
    uint32_t state[2] = {1, 0};  // NormalState
    set(w, wmState_, wmState_, 32, state, 2);
  }
  void acceptsDelete(xcb_window_t w) { set(w, wmProtocols_, XCB_ATOM_ATOM, 32, &wmDelete_, 1); }
  void destroy(xcb_window_t w) { xcb_destroy_window(c_, w); }
  // Waits until the server has done everything asked so far.
  void sync() {
    xcb_flush(c_);
    std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
  }
  // The WM_DELETE_WINDOW request received for a window, within a second.
  bool deleteRequested(xcb_window_t w) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 1000) {
      while (xcb_generic_event_t* e = xcb_poll_for_event(c_)) {
        bool hit = false;
        if ((e->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
          auto* m = reinterpret_cast<xcb_client_message_event_t*>(e);
          hit = m->window == w && m->type == wmProtocols_ && m->data.data32[0] == wmDelete_;
        }
        std::free(e);
        if (hit) return true;
      }
      QTest::qSleep(10);
    }
    return false;
  }

 private:
  xcb_atom_t atom(const char* name) {
    auto* r = xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, uint16_t(std::strlen(name)), name), nullptr);
    xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
  }
  void set(xcb_window_t w, xcb_atom_t prop, xcb_atom_t type, uint8_t format, const void* data, std::size_t n) {
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, prop, type, format, uint32_t(n), data);
  }
  xcb_connection_t* c_ = nullptr;
  xcb_window_t root_ = 0;
  xcb_atom_t netWmName_ = 0, utf8_ = 0, wmState_ = 0, wmProtocols_ = 0, wmDelete_ = 0;
};

}  // namespace
#endif

class WindowFinderTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
#ifdef KORVENTA_HAVE_XCB
    QString xvfb = QStandardPaths::findExecutable("Xvfb");
    if (xvfb.isEmpty()) return;
    // -noreset: the server must not restart between tests, when its last client has gone.
    server_.start(xvfb, {"-displayfd", "1", "-noreset", "-screen", "0", "640x480x24", "-nolisten", "tcp"});
    if (!server_.waitForStarted(5000)) return;
    QElapsedTimer clock;
    clock.start();
    QByteArray out;
    while (!out.contains('\n') && clock.elapsed() < 10000)
      if (server_.waitForReadyRead(200)) out += server_.readAllStandardOutput();
    bool ok = false;
    int n = out.trimmed().toInt(&ok);
    if (ok) display_ = ":" + std::to_string(n);
#endif
  }

  void cleanupTestCase() {
    if (server_.state() != QProcess::NotRunning) {
      server_.terminate();
      if (!server_.waitForFinished(3000)) server_.kill();
    }
  }

  void x11LauncherCheckClassAndClose() {
#ifndef KORVENTA_HAVE_XCB
    QSKIP("built without xcb");
#else
    if (display_.empty()) QSKIP("Xvfb is not available");
    XClient x(display_);
    QVERIFY(x.ok());
    using Make = std::function<std::vector<xcb_window_t>(XClient&)>;
    // A top-level window titled through _NET_WM_NAME (UTF-8) or only WM_NAME (Latin-1).
    auto net = [](std::string title, bool shown = true) -> Make {
      return [=](XClient& x) {
        auto w = x.window(0, shown);
        x.netName(w, title);
        return std::vector{w};
      };
    };
    auto latin1 = [](std::string title) -> Make {
      return [=](XClient& x) {
        auto w = x.window();
        x.wmName(w, title);
        return std::vector{w};
      };
    };
    // The titled client inside a window manager's frame.
    Make framed = [](XClient& x) {
      auto frame = x.window();
      auto client = x.window(frame);
      x.wmState(client);
      x.netName(client, "Zelvaro");
      return std::vector{frame};
    };
    struct Case {
      const char* name;
      Make make;
      const char* title;  // asked for, UTF-8
      bool found;
    };
    const Case cases[] = {
        {"UTF-8 name", net("Zelvaro"), "Zelvaro", true},
        {"lower case is another title", net("zelvaro"), "Zelvaro", false},
        {"accented is another title", net("Zélvaro"), "Zelvaro", false},
        {"accented Latin-1 title found by its UTF-8 text", latin1("Z\xe9lvaro"), "Zélvaro", true},
        {"longer title does not count", net("Zelvaro - Integrador"), "Zelvaro", false},
        {"window not shown", net("Zelvaro", false), "Zelvaro", false},
        {"client inside a window manager frame", framed, "Zelvaro", true},
    };
    for (const auto& c : cases) {
      auto made = c.make(x);
      x.sync();
      ui::DesktopWindows finder(ui::DesktopWindows::Source::X11Only, display_);
      QVERIFY2(finder.CorreApp(c.title) == c.found, c.name);
      for (auto w : made) x.destroy(w);
      x.sync();
    }

    // The class of a found window, and the request to close it.
    auto frame = x.window();
    auto client = x.window(frame);
    x.wmState(client);
    x.netName(client, "Zelvaro");
    x.wmClass(client, "zelvaro", "Zelvaro");
    x.acceptsDelete(client);
    x.sync();
    ui::DesktopWindows finder(ui::DesktopWindows::Source::X11Only, display_);
    QCOMPARE(finder.ClassName("Zelvaro"), std::string("Zelvaro"));
    // The desktop itself is never asked to close, nor a window of another class.
    finder.CloseApp("Zelvaro", "Progman");
    finder.CloseApp("Zelvaro", "OtraClase");
    QVERIFY(!x.deleteRequested(client));
    finder.CloseApp("Zelvaro", "Zelvaro");
    QVERIFY(x.deleteRequested(client));
    x.destroy(frame);
    x.sync();
#endif
  }

  void announcerWhereWindowsCannotBeListed() {
    QString title = QString("ZelvaroPrueba%1").arg(QCoreApplication::applicationPid());
    QWidget window;
    window.setWindowTitle(title);
    window.show();
    auto announcer = std::make_unique<ui::WindowAnnouncer>(title, &window);
    QVERIFY(announcer->isListening());
    ui::DesktopWindows finder(ui::DesktopWindows::Source::AnnouncerOnly);
    QVERIFY(!finder.usesX11());
    QVERIFY(finder.CorreApp(title.toStdString()));
    QVERIFY(!finder.CorreApp(title.toLower().toStdString()));
    QVERIFY(!finder.CorreApp(""));
    QCOMPARE(finder.ClassName(title.toStdString()), QCoreApplication::applicationName().toStdString());
    // Only a shown window counts.
    window.hide();
    QVERIFY(!finder.CorreApp(title.toStdString()));
    window.show();
    QVERIFY(finder.CorreApp(title.toStdString()));
    // With an X server, the automatic finder asks the announcer for the titles X does not show.
    if (!display_.empty()) {
      ui::DesktopWindows automatic(ui::DesktopWindows::Source::Automatic, display_);
      QVERIFY(automatic.usesX11());
      QVERIFY(automatic.CorreApp(title.toStdString()));
      QVERIFY(!ui::DesktopWindows(ui::DesktopWindows::Source::X11Only, display_).CorreApp(title.toStdString()));
    }
    finder.CloseApp(title.toStdString(), "Progman");
    QVERIFY(window.isVisible());
    finder.CloseApp(title.toStdString(), QCoreApplication::applicationName().toStdString());
    QVERIFY(!window.isVisible());
    // A program that has ended announces nothing.
    window.show();
    QVERIFY(finder.CorreApp(title.toStdString()));
    announcer.reset();
    QVERIFY(!finder.CorreApp(title.toStdString()));
  }

  void singleInstance() {
    QTemporaryDir dir;
    QString file = dir.filePath("sub/korventa-0601.lock");
    auto first = std::make_unique<ui::InstanceLock>(file);
    QVERIFY(first->acquire());
    QVERIFY(first->acquire());  // asking again while holding it
    ui::InstanceLock second(file);
    QVERIFY(!second.acquire());
    first.reset();
    ui::InstanceLock third(file);
    QVERIFY(third.acquire());
  }

 private:
  QProcess server_;
  std::string display_;
};

KORVENTA_UI_TEST(WindowFinderTest)

}  // namespace korventa::uitest

#include "window_finder_test.moc"
