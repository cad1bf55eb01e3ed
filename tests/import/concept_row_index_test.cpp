// The open-addressed table of concept rowids against a plain map fed the same operations.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "import/concept_row_index.h"

namespace korventa::test {
namespace {

using import::ConceptRowIndex;

TEST(ConceptRowIndex, BehavesAsAMapThroughGrowthAndClearing) {
  struct Case {
    const char* name;
    std::size_t reserve;  // 0: none
    int keys;
    std::uint64_t spread;  // keys drawn below it (small: many repeated)
  };
  const std::vector<Case> cases = {
      {"empty", 0, 0, 10},
      {"few, repeated", 0, 200, 7},
      {"grows many times", 0, 50000, 1ull << 40},
      {"reserved ahead", 60000, 50000, 1ull << 40},
      {"keys of one person's concepts", 0, 3000, 1ull << 20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::mt19937_64 rng(601);
    ConceptRowIndex index;
    std::map<std::uint64_t, std::int64_t> expected;
    if (c.reserve) index.reserve(c.reserve);
    EXPECT_EQ(index.find(0), nullptr);
    for (int i = 0; i < c.keys; ++i) {
      std::uint64_t key = rng() % c.spread;
      auto value = static_cast<std::int64_t>(rng() % 1000) - 500;
      switch (i % 3) {
        case 0:  // added unless there
          index.emplace(key, value);
          expected.emplace(key, value);
          break;
        case 1:  // set
          index[key] = value;
          expected[key] = value;
          break;
        default:  // changed through find
          if (auto* v = index.find(key)) *v = value;
          if (auto it = expected.find(key); it != expected.end()) it->second = value;
      }
    }
    ASSERT_EQ(index.size(), expected.size());
    for (const auto& [key, value] : expected) {
      auto* v = index.find(key);
      ASSERT_NE(v, nullptr) << key;
      EXPECT_EQ(*v, value) << key;
    }
    EXPECT_EQ(index.find(c.spread), nullptr) << "a key never added";
    EXPECT_EQ(index[c.spread], 0) << "added as 0";
    index.clear();
    EXPECT_EQ(index.size(), 0u);
    for (const auto& entry : expected) EXPECT_EQ(index.find(entry.first), nullptr);
    index.emplace(7, 70);
    index.release();
    EXPECT_EQ(index.find(7), nullptr);
    index[7] = 71;
    EXPECT_EQ(*index.find(7), 71) << "usable again once released";
  }
}

}  // namespace
}  // namespace korventa::test
