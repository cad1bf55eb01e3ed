// The import's rowid lookup by person and concept against the standard hash map: runs of keys of
// one person, persons coming back after others, the same concept in many persons, clearing.
#include <gtest/gtest.h>

#include <random>
#include <unordered_map>

#include "import/rowid_table.h"

namespace korventa::test {
namespace {

using import::RowidTable;

TEST(RowidTable, AgreesWithAHashMap) {
  std::mt19937_64 rng(601);
  RowidTable table;
  std::unordered_map<std::uint64_t, std::int64_t> expected;
  std::uint64_t person = 1;
  auto key = [&] {
    switch (rng() % 5) {
      case 0:  // another person, maybe one seen before
        person = rng() % 50;
        return (person << 16) | (rng() % 40);
      case 1:  // the extreme keys
        return rng() % 2 ? ~std::uint64_t{0} : std::uint64_t{0};
      case 2:  // any key
        return rng();
      default:  // the same person
        return (person << 16) | (rng() % 40);
    }
  };
  for (int round = 0; round < 3; ++round) {
    for (int i = 0; i < 4000; ++i) {
      std::uint64_t k = key();
      auto value = static_cast<std::int64_t>(rng() % 1000) - 500;
      switch (rng() % 3) {
        case 0:
          EXPECT_EQ(table.emplace(k, value), expected.emplace(k, value).first->second);
          break;
        case 1:
          table[k] = value;
          expected[k] = value;
          break;
        default: {
          std::int64_t* found = table.find(k);
          auto it = expected.find(k);
          ASSERT_EQ(found != nullptr, it != expected.end()) << k;
          if (found) {
            EXPECT_EQ(*found, it->second);
            *found = value;
            it->second = value;
          }
        }
      }
      ASSERT_EQ(table.size(), expected.size());
    }
    for (const auto& [k, v] : expected) {
      ASSERT_NE(table.find(k), nullptr) << k;
      EXPECT_EQ(*table.find(k), v);
    }
    if (round == 0)
      table.clear();
    else
      table.release();
    expected.clear();
    EXPECT_EQ(table.size(), 0u);
    EXPECT_EQ(table.find(~std::uint64_t{0}), nullptr);
    EXPECT_EQ(table.find(7), nullptr);
  }
}

}  // namespace
}  // namespace korventa::test
