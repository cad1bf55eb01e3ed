#pragma once
// Settings files in the private-profile format: "[Section]" headers and "Key=Value" lines;
// section and key names compare without regard to case.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace korventa {

class IniFile {
 public:
  explicit IniFile(std::filesystem::path path);

  // Value of a key, cut to 255 characters and trimmed; "" when the key or the file is missing.
  std::string read(std::string_view section, std::string_view key) const;
  // Writes (or adds) one key and saves the file at once; creates the file and its folder.
  // Returns false when the file cannot be written.
  bool write(std::string_view section, std::string_view key, std::string_view value);

  const std::filesystem::path& path() const { return path_; }

  // Where the program's settings file lives: $KORVENTA_INI when set, else
  // $XDG_CONFIG_HOME/korventa/VKRS000.INI (~/.config/korventa/VKRS000.INI).
  static std::filesystem::path defaultPath();

 private:
  std::vector<std::string> lines() const;
  std::filesystem::path path_;
};

}  // namespace korventa
