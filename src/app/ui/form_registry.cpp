#include "app/ui/form_registry.h"

#include <map>

namespace korventa::ui {
namespace {
std::map<std::string, FormRegistry::Factory>& registry() {
  static std::map<std::string, FormRegistry::Factory> r;
  return r;
}
}  // namespace

bool FormRegistry::add(const std::string& name, Factory factory) {
  registry()[name] = std::move(factory);
  return true;
}

bool FormRegistry::has(const std::string& name) { return registry().count(name) > 0; }

FormRegistry::Factory FormRegistry::take(const std::string& name) {
  auto it = registry().find(name);
  if (it == registry().end()) return {};
  Factory f = std::move(it->second);
  registry().erase(it);
  return f;
}

QDialog* FormRegistry::create(const std::string& name, Session& session, QWidget* parent) {
  auto it = registry().find(name);
  if (it == registry().end()) return nullptr;
  return it->second(session, parent);
}

}  // namespace korventa::ui
