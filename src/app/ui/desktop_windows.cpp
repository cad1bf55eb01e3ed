#include "app/ui/desktop_windows.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QLocalSocket>
#include <QTimer>

#include "app/ui/window_announcer.h"

#ifdef KORVENTA_HAVE_XCB
#include <cstdlib>
#include <cstring>
#include <deque>
#include <xcb/xcb.h>
#endif

namespace korventa::ui {

// ---------------------------------------------------------------------------------------------
// X11

#ifdef KORVENTA_HAVE_XCB

namespace {

std::string latin1ToUtf8(const char* p, std::size_t n) {
  std::string out;
  for (std::size_t i = 0; i < n; ++i) {
    auto c = static_cast<unsigned char>(p[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace

struct X11Desktop::Impl {
  xcb_connection_t* c = nullptr;
  xcb_window_t root = 0;
  xcb_atom_t netWmName = 0, utf8String = 0, wmState = 0, wmProtocols = 0, wmDeleteWindow = 0, netCloseWindow = 0;

  xcb_atom_t atom(const char* name) {
    auto cookie = xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, cookie, nullptr);
    xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return a;
  }

  // Raw value of a property and its type; empty when missing.
  std::string property(xcb_window_t w, xcb_atom_t prop, xcb_atom_t* type = nullptr) {
    auto cookie = xcb_get_property(c, 0, w, prop, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024);
    xcb_get_property_reply_t* r = xcb_get_property_reply(c, cookie, nullptr);
    std::string out;
    if (r) {
      if (type) *type = r->type;
      int len = xcb_get_property_value_length(r);
      if (len > 0) out.assign(static_cast<const char*>(xcb_get_property_value(r)), static_cast<std::size_t>(len));
      std::free(r);
    }
    return out;
  }

  bool hasProperty(xcb_window_t w, xcb_atom_t prop) {
    auto cookie = xcb_get_property(c, 0, w, prop, XCB_GET_PROPERTY_TYPE_ANY, 0, 0);
    xcb_get_property_reply_t* r = xcb_get_property_reply(c, cookie, nullptr);
    bool has = r && r->type != XCB_ATOM_NONE;
    std::free(r);
    return has;
  }

  std::string title(xcb_window_t w) {
    std::string t = property(w, netWmName);
    if (!t.empty()) return t;
    xcb_atom_t type = XCB_ATOM_NONE;
    t = property(w, XCB_ATOM_WM_NAME, &type);
    if (t.empty()) return t;
    // WM_NAME is Latin-1 unless the window says UTF-8.
    if (type == utf8String) return t;
    return latin1ToUtf8(t.data(), t.size());
  }

  std::string className(xcb_window_t w) {
    std::string v = property(w, XCB_ATOM_WM_CLASS);
    // "instance\0class\0"
    auto nul = v.find('\0');
    if (nul == std::string::npos) return {};
    std::string klass = v.substr(nul + 1);
    if (auto end = klass.find('\0'); end != std::string::npos) klass.resize(end);
    if (klass.size() > 256) klass.resize(256);
    return klass;
  }

  bool viewable(xcb_window_t w) {
    auto cookie = xcb_get_window_attributes(c, w);
    xcb_get_window_attributes_reply_t* r = xcb_get_window_attributes_reply(c, cookie, nullptr);
    bool v = r && r->map_state == XCB_MAP_STATE_VIEWABLE && r->_class != XCB_WINDOW_CLASS_INPUT_ONLY;
    std::free(r);
    return v;
  }

  std::vector<xcb_window_t> children(xcb_window_t w) {
    std::vector<xcb_window_t> out;
    auto cookie = xcb_query_tree(c, w);
    xcb_query_tree_reply_t* r = xcb_query_tree_reply(c, cookie, nullptr);
    if (r) {
      xcb_window_t* ch = xcb_query_tree_children(r);
      out.assign(ch, ch + xcb_query_tree_children_length(r));
      std::free(r);
    }
    return out;
  }

  // The client window inside a window manager's frame: the first descendant with WM_STATE
  // (frames nest a few levels at most).
  xcb_window_t clientOf(xcb_window_t frame) {
    std::deque<std::pair<xcb_window_t, int>> queue;
    for (auto ch : children(frame)) queue.emplace_back(ch, 1);
    while (!queue.empty()) {
      auto [w, depth] = queue.front();
      queue.pop_front();
      if (hasProperty(w, wmState)) return w;
      if (depth < 4)
        for (auto ch : children(w)) queue.emplace_back(ch, depth + 1);
    }
    return 0;
  }
};

X11Desktop::X11Desktop(const std::string& display) : d_(std::make_unique<Impl>()) {
  int screenNumber = 0;
  d_->c = xcb_connect(display.empty() ? nullptr : display.c_str(), &screenNumber);
  if (!d_->c || xcb_connection_has_error(d_->c)) {
    if (d_->c) xcb_disconnect(d_->c);
    d_->c = nullptr;
    return;
  }
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(d_->c));
  for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
  if (!it.rem) {
    xcb_disconnect(d_->c);
    d_->c = nullptr;
    return;
  }
  d_->root = it.data->root;
  d_->netWmName = d_->atom("_NET_WM_NAME");
  d_->utf8String = d_->atom("UTF8_STRING");
  d_->wmState = d_->atom("WM_STATE");
  d_->wmProtocols = d_->atom("WM_PROTOCOLS");
  d_->wmDeleteWindow = d_->atom("WM_DELETE_WINDOW");
  d_->netCloseWindow = d_->atom("_NET_CLOSE_WINDOW");
}

X11Desktop::~X11Desktop() {
  if (d_ && d_->c) xcb_disconnect(d_->c);
}

bool X11Desktop::connected() const {
  return d_->c != nullptr;
}

std::vector<TopWindow> X11Desktop::visibleWindows() {
  std::vector<TopWindow> out;
  if (!d_->c) return out;
  for (xcb_window_t top : d_->children(d_->root)) {
    if (!d_->viewable(top)) continue;
    std::string t = d_->title(top);
    if (!t.empty()) out.push_back({top, t, d_->className(top)});
    // Under a reparenting window manager the title sits on the client window inside the frame.
    if (xcb_window_t client = d_->clientOf(top); client && client != top && d_->viewable(client)) {
      std::string ct = d_->title(client);
      if (!ct.empty()) out.push_back({client, ct, d_->className(client)});
    }
  }
  return out;
}

void X11Desktop::requestClose(std::uint32_t window) {
  if (!d_->c) return;
  xcb_client_message_event_t ev{};
  ev.response_type = XCB_CLIENT_MESSAGE;
  ev.format = 32;
  ev.window = window;
  ev.type = d_->wmProtocols;
  ev.data.data32[0] = d_->wmDeleteWindow;
  ev.data.data32[1] = XCB_CURRENT_TIME;
  xcb_send_event(d_->c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&ev));
  xcb_client_message_event_t wm{};
  wm.response_type = XCB_CLIENT_MESSAGE;
  wm.format = 32;
  wm.window = window;
  wm.type = d_->netCloseWindow;
  wm.data.data32[0] = XCB_CURRENT_TIME;
  wm.data.data32[1] = 2;  // source: pager / other program
  xcb_send_event(d_->c, 0, d_->root, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                 reinterpret_cast<const char*>(&wm));
  xcb_flush(d_->c);
}

#else  // no xcb: nothing to list

struct X11Desktop::Impl {};
X11Desktop::X11Desktop(const std::string&) : d_(std::make_unique<Impl>()) {}
X11Desktop::~X11Desktop() = default;
bool X11Desktop::connected() const {
  return false;
}
std::vector<TopWindow> X11Desktop::visibleWindows() {
  return {};
}
void X11Desktop::requestClose(std::uint32_t) {}

#endif

// ---------------------------------------------------------------------------------------------
// Finder

namespace {

bool onWayland() {
  return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

}  // namespace

DesktopWindows::DesktopWindows(Source source, const std::string& display)
    : askAnnouncerToo_(source != Source::X11Only) {
  if (source == Source::AnnouncerOnly) return;
  if (source == Source::Automatic && onWayland()) return;
  auto x = std::make_unique<X11Desktop>(display);
  if (x->connected()) x11_ = std::move(x);
}

DesktopWindows::~DesktopWindows() = default;

std::string DesktopWindows::askAnnouncer(std::string_view title, const std::string& request) {
  QString name = WindowAnnouncer::socketName(QString::fromUtf8(title.data(), qsizetype(title.size())));
  QLocalSocket socket;
  QEventLoop loop;
  QByteArray reply;
  bool done = false;
  QObject::connect(&socket, &QLocalSocket::connected, &loop,
                   [&] { socket.write(QByteArray::fromStdString(request) + '\n'); });
  QObject::connect(&socket, &QLocalSocket::readyRead, &loop, [&] {
    reply += socket.readAll();
    if (reply.contains('\n')) {
      done = true;
      loop.quit();
    }
  });
  QObject::connect(&socket, &QLocalSocket::errorOccurred, &loop, [&] { loop.quit(); });
  QObject::connect(&socket, &QLocalSocket::disconnected, &loop, [&] { loop.quit(); });
  QTimer::singleShot(2000, &loop, &QEventLoop::quit);
  socket.connectToServer(name);
  // The announcer may live in this very process (tests), so wait in an event loop, not blocking.
  if (socket.state() != QLocalSocket::UnconnectedState) loop.exec(QEventLoop::ExcludeUserInputEvents);
  if (!done && socket.bytesAvailable() > 0) reply += socket.readAll();
  socket.abort();
  int nl = reply.indexOf('\n');
  if (nl < 0) return {};
  return reply.left(nl).toStdString();
}

bool DesktopWindows::CorreApp(std::string_view title) {
  if (title.empty()) return false;
  if (x11_) {
    for (const auto& w : x11_->visibleWindows())
      if (w.title == title) return true;
    if (!askAnnouncerToo_) return false;
  }
  std::string answer = askAnnouncer(title, announce::kQuery);
  auto tab = answer.find('\t');
  return answer.substr(0, tab) == title;
}

std::string DesktopWindows::ClassName(std::string_view title) {
  if (x11_) {
    for (const auto& w : x11_->visibleWindows())
      if (w.title == title) return w.className;
    if (!askAnnouncerToo_) return {};
  }
  std::string answer = askAnnouncer(title, announce::kQuery);
  auto tab = answer.find('\t');
  if (tab == std::string::npos || answer.substr(0, tab) != title) return {};
  std::string klass = answer.substr(tab + 1);
  if (klass.size() > 256) klass.resize(256);
  return klass;
}

void DesktopWindows::CloseApp(std::string_view title, std::string_view className) {
  // Never the desktop itself.
  if (className == "Progman") return;
  if (x11_) {
    for (const auto& w : x11_->visibleWindows())
      if (w.title == title && w.className == className) {
        x11_->requestClose(w.id);
        return;
      }
    if (!askAnnouncerToo_) return;
  }
  askAnnouncer(title, std::string(announce::kClose) + " " + std::string(className));
}

}  // namespace korventa::ui
