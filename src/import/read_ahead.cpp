#include "import/read_ahead.h"

#include <stdexcept>
#include <system_error>
#include <utility>

namespace korventa::import {

ReadAhead::ReadAhead(std::vector<std::filesystem::path> files) : files_(std::move(files)), reads_(files_.size()) {
  if (!files_.empty()) start(0);
}

ReadAhead::~ReadAhead() {
  for (auto& r : reads_)
    if (r.valid()) r.wait();
}

void ReadAhead::start(std::size_t i) {
  if (i >= files_.size() || reads_[i].valid()) return;
  try {
    reads_[i] = std::async(std::launch::async, [file = files_[i]] { return readImportFile(file); });
  } catch (const std::system_error&) {
    // No thread to be had: the file is read when it is taken.
    reads_[i] = {};
  }
}

ImportText ReadAhead::take(std::size_t i) {
  if (i >= files_.size()) throw std::out_of_range("ReadAhead::take");
  ImportText text = reads_[i].valid() ? reads_[i].get() : readImportFile(files_[i]);
  start(i + 1);
  return text;
}

}  // namespace korventa::import
