#pragma once
// Reading an import file: the bytes decoded (UTF-8 with or without byte-order mark, or
// Windows-1252), split into lines (CR LF, LF or CR), guarded against files that are not text,
// and the structural checks that refuse a whole file before any record is read.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace korventa::import {

// Longest line taken, in bytes; a longer one is not a record of any kind.
inline constexpr std::size_t kMaxLineLength = 4096;
// Largest file taken (a million-line file of concept amounts is about 40 MB).
inline constexpr std::uintmax_t kMaxFileSize = 512ull * 1024 * 1024;

struct ImportText {
  std::string text;                     // decoded UTF-8
  std::vector<std::string_view> lines;  // into `text`, without line ends
  std::string problem;                  // why the file cannot be imported; empty when it can
  bool ok() const { return problem.empty(); }

  ImportText() = default;
  // A short text lives inside the string itself and moves with it: the lines follow it.
  ImportText(ImportText&& other) noexcept;
  ImportText& operator=(ImportText&& other) noexcept;
  ImportText(const ImportText&) = delete;
  ImportText& operator=(const ImportText&) = delete;
  ~ImportText() = default;
};

// Reads and decodes the file. Missing, unreadable, empty, too large, binary (NUL or other
// control bytes) and over-long lines give a problem text naming the file (and the line).
ImportText readImportFile(const std::filesystem::path& file);
// The same on bytes already in memory (`name` is used in the messages).
ImportText decodeImportText(std::string bytes, std::string_view name);

// CuentaPye: every line that is not blank holds exactly (`exact`) or at least `separators` "|".
// Returns the 1-based number of the first failing line, 0 when all pass.
std::size_t CuentaPye(const std::vector<std::string_view>& lines, int separators, bool exact);
// Every line that is not blank ends with "|" (after trimming). 1-based failing line, or 0.
std::size_t checkTerminators(const std::vector<std::string_view>& lines);

// The first `count` fields of a line, each trimmed; missing ones are empty.
std::vector<std::string> splitFields(std::string_view line, int count);
// The same into `out`, whose texts keep their room from one line to the next.
void splitFields(std::string_view line, int count, std::vector<std::string>& out);

bool isBlank(std::string_view line);

}  // namespace korventa::import
