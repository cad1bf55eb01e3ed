// The settings file. The input is a section, a key and a value (each NUL-terminated) and then
// the file. The file is read for the keys the programs use, one key is written, and the file
// is read again: the written key reads back as written (cut to 255 characters, trimmed) and
// every other key keeps its value.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <utility>
#include <vector>

#include "common/ini.h"
#include "common/text.h"
#include "fuzz_support.h"

namespace korventa::fuzz {
namespace {

namespace fs = std::filesystem;

const fs::path& iniFile() {
  static const fs::path file = fs::temp_directory_path() / ("korventa-fuzz-" + std::to_string(::getpid()) + ".INI");
  return file;
}

struct Cleanup {
  ~Cleanup() {
    std::error_code ec;
    fs::remove(iniFile(), ec);
  }
} cleanup;

const std::pair<const char*, const char*> kKeys[] = {
    {"Options", "SysPath"}, {"Options", "DBPath"},   {"Options", "DBName"},
    {"Options", "SysUser"}, {"Options", "SystemDB"}, {"OPTIONS", "sysmenu"},
};

// Names that a settings file can hold as they are: no line breaks, nothing a line would be
// read as something else by, and no blanks around them (names are trimmed when read).
bool plainName(std::string_view s, bool isKey) {
  if (s.find_first_of("\r\n") != std::string_view::npos) return false;
  if (text::trim(s) != s) return false;
  if (isKey && (s.find('=') != std::string_view::npos || (!s.empty() && s.front() == '['))) return false;
  return true;
}

}  // namespace
}  // namespace korventa::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korventa;
  using namespace korventa::fuzz;
  std::string_view in = bytes(data, size);
  std::string_view section = takePart(in), key = takePart(in), value = takePart(in);
  {
    std::ofstream out(iniFile(), std::ios::binary | std::ios::trunc);
    out.write(in.data(), static_cast<std::streamsize>(in.size()));
  }
  IniFile ini(iniFile());
  std::vector<std::string> before;
  for (const auto& [s, k] : kKeys) {
    std::string v = ini.read(s, k);
    FUZZ_CHECK(text::length(v) <= 255 && text::trim(v) == v, v);
    before.push_back(std::move(v));
  }
  FUZZ_CHECK(ini.write(section, key, value), "the settings file could not be written");
  bool plain =
      plainName(section, false) && plainName(key, true) && value.find_first_of("\r\n") == std::string_view::npos;
  if (plain) {
    std::string back = ini.read(section, key);
    FUZZ_CHECK(back == text::trim(text::left(value, 255)),
               "wrote \"" + std::string(value) + "\", read \"" + back + "\"");
  }
  for (std::size_t i = 0; i < std::size(kKeys); ++i) {
    const auto& [s, k] = kKeys[i];
    if (text::equalsIgnoreCase(s, section) && text::equalsIgnoreCase(k, key)) continue;
    // A broken name (a line break in it) may turn into lines of its own; the others stay.
    if (!plain) continue;
    std::string after = ini.read(s, k);
    FUZZ_CHECK(after == before[i], std::string(k) + " was \"" + before[i] + "\", now \"" + after + "\"");
  }
  return 0;
}
