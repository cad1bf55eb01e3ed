#pragma once
// Rowids by a 64-bit key whose high bits name a group (a person) and whose low 16 bits a member
// (a concept). A large ".rem" brings a concept row per line, a person's lines one after another:
// the person is looked up once per run of lines, its few concepts are then searched in a short
// array, instead of hashing every key and allocating a node per row.
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace korventa::import {

class RowidTable {
 public:
  std::size_t size() const { return size_; }

  // The value of `key`, or null; valid until the next insertion.
  std::int64_t* find(std::uint64_t key) {
    std::vector<Member>* g = group(key >> 16, false);
    if (!g) return nullptr;
    const auto low = static_cast<std::uint16_t>(key);
    for (auto& m : *g)
      if (m.low == low) return &m.value;
    return nullptr;
  }

  // The value of `key`, added as `value` when the key is new (an existing one is kept).
  std::int64_t& emplace(std::uint64_t key, std::int64_t value) {
    std::vector<Member>& g = *group(key >> 16, true);
    const auto low = static_cast<std::uint16_t>(key);
    for (auto& m : g)
      if (m.low == low) return m.value;
    ++size_;
    g.push_back({low, value});
    return g.back().value;
  }
  std::int64_t& operator[](std::uint64_t key) { return emplace(key, 0); }

  void clear() {
    index_.clear();
    groups_.clear();
    size_ = 0;
    last_ = kNone;
  }
  // Empty, giving the room back.
  void release() { *this = RowidTable(); }

 private:
  static constexpr std::size_t kNone = ~std::size_t{0};
  struct Member {
    std::uint16_t low;
    std::int64_t value;
  };
  // The members of group `high` (added when `add`), or null; the group found last is kept at hand.
  std::vector<Member>* group(std::uint64_t high, bool add) {
    if (last_ != kNone && lastHigh_ == high) return &groups_[last_];
    auto it = index_.find(high);
    if (it == index_.end()) {
      if (!add) return nullptr;
      it = index_.emplace(high, groups_.size()).first;
      groups_.emplace_back();
    }
    last_ = it->second;
    lastHigh_ = high;
    return &groups_[last_];
  }

  std::unordered_map<std::uint64_t, std::size_t> index_;
  std::vector<std::vector<Member>> groups_;
  std::size_t size_ = 0;
  std::size_t last_ = kNone;
  std::uint64_t lastHigh_ = 0;
};

}  // namespace korventa::import
