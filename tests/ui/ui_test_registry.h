#pragma once
// Form tests are QTest classes; each file registers its class with
//   KORVENTA_UI_TEST(MyFormTest)
// and the one test_ui executable runs them all (QT_QPA_PLATFORM=offscreen).
#include <functional>
#include <memory>
#include <vector>

#include <QObject>

namespace korventa::uitest {

using Maker = std::function<std::unique_ptr<QObject>()>;
std::vector<std::pair<const char*, Maker>>& registry();
inline bool add(const char* name, Maker m) {
  registry().emplace_back(name, std::move(m));
  return true;
}

}  // namespace korventa::uitest

#define KORVENTA_UI_TEST(Class) \
  static const bool Class##_registered = ::korventa::uitest::add(#Class, [] { return std::make_unique<Class>(); });
