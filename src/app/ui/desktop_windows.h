#pragma once
// The real window finder. On X11 it walks the top-level windows through xcb: the children of
// the root window and, under a reparenting window manager, the client windows inside their
// frames; a window counts when it is viewable and has a non-empty _NET_WM_NAME (UTF-8) or
// WM_NAME, compared exactly. Where windows of other programs cannot be listed (Wayland, or no X
// connection) it asks the launcher's WindowAnnouncer through a local socket named after the title.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/platform.h"

namespace korventa::ui {

struct TopWindow {
  std::uint32_t id = 0;   // the window to send requests to (the client window)
  std::string title;      // UTF-8
  std::string className;  // class part of WM_CLASS
};

// Top-level windows of an X display; not connected when xcb is missing or the display cannot be
// reached.
class X11Desktop {
 public:
  // `display` as in $DISPLAY; empty = the environment's.
  explicit X11Desktop(const std::string& display = {});
  ~X11Desktop();
  X11Desktop(const X11Desktop&) = delete;
  X11Desktop& operator=(const X11Desktop&) = delete;

  bool connected() const;
  std::vector<TopWindow> visibleWindows();
  // WM_DELETE_WINDOW to the window and _NET_CLOSE_WINDOW to the window manager.
  void requestClose(std::uint32_t window);

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

class DesktopWindows : public app::cWindows {
 public:
  enum class Source { Automatic, X11Only, AnnouncerOnly };
  // Automatic: X11 unless the program runs on Wayland or no X display answers; a title not found
  // among the X windows is also asked of the announcer (a launcher running natively on Wayland
  // beside a module on XWayland).
  explicit DesktopWindows(Source source = Source::Automatic, const std::string& display = {});
  ~DesktopWindows() override;

  bool CorreApp(std::string_view title) override;
  std::string ClassName(std::string_view title) override;
  void CloseApp(std::string_view title, std::string_view className) override;

  bool usesX11() const { return x11_ != nullptr; }

 private:
  // One request to the announcer of `title`; "" when none answers.
  static std::string askAnnouncer(std::string_view title, const std::string& request);
  std::unique_ptr<X11Desktop> x11_;
  bool askAnnouncerToo_ = true;
};

}  // namespace korventa::ui
