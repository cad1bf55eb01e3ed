#pragma once
// What start-up needs from the desktop: finding the launcher's window and knowing whether
// another copy of the program is already running. The GUI gives the real ones; tests inject
// their own.
#include <string>
#include <string_view>

namespace korventa::app {

// Title of the suite launcher's window; the module runs only while it is shown.
inline constexpr std::string_view kLauncherTitle = "Zelvaro";

// Window finder over the desktop's top-level windows. Titles compare exactly (case and accents
// count).
class cWindows {
 public:
  virtual ~cWindows() = default;
  // Whether a visible top-level window with exactly this title exists.
  virtual bool CorreApp(std::string_view title) = 0;
  // Window class of the top-level window with that title ("" when there is none).
  virtual std::string ClassName(std::string_view title) = 0;
  // Asks the window with that class and title to close (never the desktop itself, "Progman").
  virtual void CloseApp(std::string_view title, std::string_view className) = 0;
};

// Previous-instance detection: the first copy to acquire keeps the guard until it ends.
class InstanceGuard {
 public:
  virtual ~InstanceGuard() = default;
  // True when this is the only running copy (and it now holds the guard).
  virtual bool acquire() = 0;
};

}  // namespace korventa::app
