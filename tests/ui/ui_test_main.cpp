#include <QApplication>
#include <QTest>
#include <string>

#include "ui/ui_test_registry.h"

namespace korventa::uitest {
std::vector<std::pair<const char*, Maker>>& registry() {
  static std::vector<std::pair<const char*, Maker>> r;
  return r;
}
}  // namespace korventa::uitest

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  // "test_ui ClassName [QTest options]" runs one class only.
  std::string only;
  if (argc > 1 && argv[1][0] != '-') {
    only = argv[1];
    for (int i = 1; i + 1 < argc; ++i) argv[i] = argv[i + 1];
    --argc;
  }
  int failures = 0;
  for (auto& [name, make] : korventa::uitest::registry()) {
    std::string n = name;
    if (!only.empty() && n != only && n.substr(n.rfind(':') == std::string::npos ? 0 : n.rfind(':') + 1) != only)
      continue;
    auto obj = make();
    failures += QTest::qExec(obj.get(), argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
