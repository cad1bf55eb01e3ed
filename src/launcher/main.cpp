// zelvaro: the suite's launcher stand-in. Its window "Zelvaro" must stay open while the 0601
// module runs; the module refuses to start without it.
#include <QApplication>

#include "launcher/launcher_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("zelvaro"));
  korventa::launcher::LauncherWindow window;
  window.show();
  return QApplication::exec();
}
