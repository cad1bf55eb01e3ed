#include "common/ini.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "common/text.h"

namespace korventa {
namespace {

// "[Name]" → "Name"; other lines → "" with isSection false.
bool sectionName(std::string_view line, std::string& name) {
  std::string t = text::trim(line);
  if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
    name = text::trim(std::string_view(t).substr(1, t.size() - 2));
    return true;
  }
  return false;
}

bool keyValue(std::string_view line, std::string& key, std::string& value) {
  auto eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = text::trim(line.substr(0, eq));
  value = std::string(line.substr(eq + 1));
  return true;
}

}  // namespace

IniFile::IniFile(std::filesystem::path path) : path_(std::move(path)) {}

std::vector<std::string> IniFile::lines() const {
  std::vector<std::string> out;
  std::ifstream in(path_, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
  }
  return out;
}

std::string IniFile::read(std::string_view section, std::string_view key) const {
  bool inSection = false;
  for (const auto& line : lines()) {
    std::string name, k, v;
    if (sectionName(line, name)) {
      inSection = text::equalsIgnoreCase(name, section);
    } else if (inSection && keyValue(line, k, v) && text::equalsIgnoreCase(k, key)) {
      return text::trim(text::left(v, 255));
    }
  }
  return {};
}

bool IniFile::write(std::string_view section, std::string_view key, std::string_view value) {
  auto ls = lines();
  bool inSection = false, sectionSeen = false, done = false;
  std::size_t insertAt = ls.size();
  for (std::size_t i = 0; i < ls.size() && !done; ++i) {
    std::string name, k, v;
    if (sectionName(ls[i], name)) {
      if (inSection) {
        insertAt = i;
        break;
      }
      inSection = text::equalsIgnoreCase(name, section);
      if (inSection) {
        sectionSeen = true;
        insertAt = i + 1;
      }
    } else if (inSection) {
      if (keyValue(ls[i], k, v) && text::equalsIgnoreCase(k, key)) {
        ls[i] = std::string(k) + "=" + std::string(value);
        done = true;
      } else if (!text::trim(ls[i]).empty()) {
        insertAt = i + 1;
      }
    }
  }
  if (!done) {
    if (!sectionSeen) {
      ls.push_back("[" + std::string(section) + "]");
      insertAt = ls.size();
    }
    ls.insert(ls.begin() + static_cast<std::ptrdiff_t>(insertAt), std::string(key) + "=" + std::string(value));
  }
  std::error_code ec;
  if (path_.has_parent_path()) std::filesystem::create_directories(path_.parent_path(), ec);
  std::ofstream out(path_, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  for (const auto& l : ls) out << l << "\r\n";
  return static_cast<bool>(out);
}

std::filesystem::path IniFile::defaultPath() {
  if (const char* env = std::getenv("KORVENTA_INI"); env && *env) return env;
  std::filesystem::path base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    base = xdg;
  else if (const char* home = std::getenv("HOME"); home && *home)
    base = std::filesystem::path(home) / ".config";
  else
    base = std::filesystem::temp_directory_path();
  return base / "korventa" / "VKRS000.INI";
}

}  // namespace korventa
