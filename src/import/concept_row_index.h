#pragma once
// The rowids of the concept rows by key, in one open-addressed table: a large file of concept
// amounts looks up and adds hundreds of thousands of them, one per line.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace korventa::import {

class ConceptRowIndex {
 public:
  // The value of `key`, or null; good until the next insertion.
  std::int64_t* find(std::uint64_t key) {
    if (slots_.empty()) return nullptr;
    for (std::size_t i = home(key);; i = (i + 1) & mask_) {
      Slot& s = slots_[i];
      if (!s.used) return nullptr;
      if (s.key == key) return &s.value;
    }
  }
  // Adds `key` with `value` unless it is there already (whose value stays).
  void emplace(std::uint64_t key, std::int64_t value) {
    Slot& s = slot(key);
    if (!s.used) {
      s = {key, value, true};
      ++size_;
    }
  }
  // The value of `key`, added as 0 when missing.
  std::int64_t& operator[](std::uint64_t key) {
    Slot& s = slot(key);
    if (!s.used) {
      s = {key, 0, true};
      ++size_;
    }
    return s.value;
  }
  std::size_t size() const { return size_; }
  // Room for `count` keys without growing.
  void reserve(std::size_t count) {
    if (count * 2 > slots_.size()) rehash(count * 2);
  }
  void clear() {
    for (auto& s : slots_) s.used = false;
    size_ = 0;
  }
  // Empty, its memory given back.
  void release() {
    std::vector<Slot>().swap(slots_);
    mask_ = 0;
    shift_ = 63;
    size_ = 0;
  }

 private:
  struct Slot {
    std::uint64_t key = 0;
    std::int64_t value = 0;
    bool used = false;
  };
  // The keys of one person (all but the low 16 bits, the concept) share a block of 32 slots,
  // so that the lines of a person, which come one after another, stay in a few cache lines.
  std::size_t home(std::uint64_t key) const {
    auto person = static_cast<std::size_t>(((key >> 16) * 0x9E3779B97F4A7C15ull) >> shift_);
    return ((person & ~std::size_t{31}) | static_cast<std::size_t>(key & 31)) & mask_;
  }
  // The slot of `key`, or the free one where it goes (the table grown first when needed).
  Slot& slot(std::uint64_t key) {
    if ((size_ + 1) * 2 > slots_.size()) rehash((size_ + 1) * 2);
    for (std::size_t i = home(key);; i = (i + 1) & mask_) {
      Slot& s = slots_[i];
      if (!s.used || s.key == key) return s;
    }
  }
  void rehash(std::size_t atLeast) {
    std::size_t n = 64;
    int bits = 6;
    for (; n < atLeast; n *= 2) ++bits;
    if (n <= slots_.size()) return;
    std::vector<Slot> old(n);
    old.swap(slots_);
    mask_ = n - 1;
    shift_ = 64 - bits;
    for (const auto& s : old)
      if (s.used)
        for (std::size_t i = home(s.key);; i = (i + 1) & mask_)
          if (!slots_[i].used) {
            slots_[i] = s;
            break;
          }
  }
  std::vector<Slot> slots_;
  std::size_t mask_ = 0;
  int shift_ = 63;
  std::size_t size_ = 0;
};

}  // namespace korventa::import
