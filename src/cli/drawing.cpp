#include "cli/drawing.h"

#include <cstdlib>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include <QGuiApplication>

namespace korventa::cli {
namespace {

char appName[] = "korventa-cli";

// Qt warns when XDG_RUNTIME_DIR is unset (a server, a cron job) and makes a folder of its own;
// a private folder under the temporary one does the same without the warning. A folder of that
// name that is not ours alone is left alone (Qt then warns as before).
void privateRuntimeDir() {
  const char* set = std::getenv("XDG_RUNTIME_DIR");
  if (set && *set) return;
  std::string dir = "/tmp/runtime-korventa-" + std::to_string(::getuid());
  ::mkdir(dir.c_str(), 0700);
  struct stat st {};
  if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() || (st.st_mode & 0077) != 0)
    return;
  setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
}

}  // namespace

std::unique_ptr<QGuiApplication> drawingApplication() {
  if (QGuiApplication::instance()) return nullptr;
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  privateRuntimeDir();
  static int argc = 1;
  static char* argv[] = {appName, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace korventa::cli
