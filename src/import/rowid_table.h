#pragma once
// Rowids by a 64-bit key in one flat array (open addressing): a large ".rem" brings a concept row
// per line, and a node per row (allocated, hashed, freed one by one) costs more than the lookup.
// Keys that differ only in their low 16 bits (the concepts of one person) are placed within a
// few cache lines of each other: a file brings a person's lines one after another.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace korventa::import {

class RowidTable {
 public:
  // Room for `n` entries in all without growing.
  void reserve(std::size_t n) {
    if (n > limit_ || slots_.empty()) rehash(capacityFor(n));
  }
  std::size_t size() const { return size_; }

  // The value of `key`, or null; valid until the next insertion.
  std::int64_t* find(std::uint64_t key) {
    if (key == kEmpty) return hasEmptyKey_ ? &emptyKeyValue_ : nullptr;
    if (slots_.empty()) return nullptr;
    for (std::size_t i = home(key);; i = (i + 1) & mask_) {
      if (slots_[i].key == key) return &slots_[i].value;
      if (slots_[i].key == kEmpty) return nullptr;
    }
  }

  // The value of `key`, added as `value` when the key is new (an existing one is kept).
  std::int64_t& emplace(std::uint64_t key, std::int64_t value) {
    if (key == kEmpty) {
      if (!hasEmptyKey_) {
        hasEmptyKey_ = true;
        emptyKeyValue_ = value;
        ++size_;
      }
      return emptyKeyValue_;
    }
    if (size_ + 1 > limit_) rehash(capacityFor(size_ + 1));
    std::size_t i = home(key);
    for (; slots_[i].key != kEmpty; i = (i + 1) & mask_)
      if (slots_[i].key == key) return slots_[i].value;
    slots_[i] = {key, value};
    ++size_;
    return slots_[i].value;
  }
  std::int64_t& operator[](std::uint64_t key) { return emplace(key, 0); }

  // Empty, keeping the room.
  void clear() {
    for (auto& s : slots_) s.key = kEmpty;
    size_ = 0;
    hasEmptyKey_ = false;
  }
  // Empty, giving the room back.
  void release() { *this = RowidTable(); }

 private:
  static constexpr std::uint64_t kEmpty = ~std::uint64_t{0};
  struct Slot {
    std::uint64_t key = kEmpty;
    std::int64_t value = 0;
  };
  // At most seven entries in ten slots.
  static std::size_t capacityFor(std::size_t n) {
    std::size_t cap = 16;
    while (cap * 7 / 10 < n) cap *= 2;
    return cap;
  }
  std::size_t home(std::uint64_t key) const {
    const std::uint64_t group = (key >> 16) * 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>((group >> shift_) + (key & 63)) & mask_;
  }
  void rehash(std::size_t cap) {
    std::vector<Slot> old;
    old.swap(slots_);
    slots_.assign(cap, Slot{});
    mask_ = cap - 1;
    shift_ = 64;
    for (std::size_t c = cap; c > 1; c >>= 1) --shift_;
    limit_ = cap * 7 / 10;
    for (const auto& s : old)
      if (s.key != kEmpty) {
        std::size_t i = home(s.key);
        while (slots_[i].key != kEmpty) i = (i + 1) & mask_;
        slots_[i] = s;
      }
  }

  std::vector<Slot> slots_;
  std::size_t mask_ = 0, limit_ = 0, size_ = 0;
  int shift_ = 64;
  bool hasEmptyKey_ = false;
  std::int64_t emptyKeyValue_ = 0;
};

}  // namespace korventa::import
