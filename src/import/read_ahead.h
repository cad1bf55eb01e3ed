#pragma once
// Import files read on a thread of their own, one file ahead: the first is read and decoded
// while the declaration opens, each next one while the one before is imported. Nothing is
// shown from the thread: a file that cannot be read comes back with its problem text, to be
// reported when its turn comes, exactly as if it had been read then.
#include <cstddef>
#include <filesystem>
#include <future>
#include <vector>

#include "import/import_file.h"

namespace korventa::import {

class ReadAhead {
 public:
  explicit ReadAhead(std::vector<std::filesystem::path> files);
  ~ReadAhead();  // waits for a read under way
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // The text of the `i`-th file (each taken once, in order); what reading it threw is thrown
  // here. Taking it starts reading the next file.
  ImportText take(std::size_t i);

 private:
  void start(std::size_t i);
  std::vector<std::filesystem::path> files_;
  std::vector<std::future<ImportText>> reads_;
};

}  // namespace korventa::import
