#include <QApplication>
#include <QTest>

#include "ui/ui_test_registry.h"

namespace korventa::uitest {
std::vector<std::pair<const char*, Maker>>& registry() {
  static std::vector<std::pair<const char*, Maker>> r;
  return r;
}
}  // namespace korventa::uitest

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  int failures = 0;
  for (auto& [name, make] : korventa::uitest::registry()) {
    auto obj = make();
    failures += QTest::qExec(obj.get(), argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
