#include "app/ui/form_registry.h"

#include <map>

namespace korventa::ui {
namespace {
std::map<std::string, FormRegistry::Factory>& registry() {
  static std::map<std::string, FormRegistry::Factory> r;
  return r;
}
std::map<std::string, FormRegistry::WidgetFactory>& widgets() {
  static std::map<std::string, FormRegistry::WidgetFactory> r;
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

bool FormRegistry::addWidget(const std::string& name, WidgetFactory factory) {
  widgets()[name] = std::move(factory);
  return true;
}

bool FormRegistry::hasWidget(const std::string& name) { return widgets().count(name) > 0; }

FormRegistry::WidgetFactory FormRegistry::takeWidget(const std::string& name) {
  auto it = widgets().find(name);
  if (it == widgets().end()) return {};
  WidgetFactory f = std::move(it->second);
  widgets().erase(it);
  return f;
}

QWidget* FormRegistry::createWidget(const std::string& name, Session& session, QWidget* parent) {
  auto it = widgets().find(name);
  if (it == widgets().end()) return nullptr;
  return it->second(session, parent);
}

}  // namespace korventa::ui
