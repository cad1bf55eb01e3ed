#pragma once
// What the fuzz targets share: a check that stops the run with the reader's broken invariant
// (libFuzzer then keeps the input as a crash), a way to split one input into a few texts, and
// a database built once per process from the schema, the reference data and the demo registry.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include "data/database.h"
#include "data/schema_installer.h"

namespace korventa::fuzz {

[[noreturn]] inline void fail(const char* file, int line, const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s\n%s\n", file, line, what, detail.c_str());
  std::abort();
}

}  // namespace korventa::fuzz

// FUZZ_CHECK(cond, detail): `detail` is built only when the check fails.
#define FUZZ_CHECK(cond, detail)                                              \
  do {                                                                        \
    if (!(cond)) ::korventa::fuzz::fail(__FILE__, __LINE__, #cond, (detail)); \
  } while (false)

namespace korventa::fuzz {

// The input as bytes.
inline std::string_view bytes(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Takes the text up to the next NUL (or to the end) off the front of `in`.
inline std::string_view takePart(std::string_view& in) {
  auto p = in.find('\0');
  std::string_view part = in.substr(0, p);
  in.remove_prefix(p == std::string_view::npos ? in.size() : p + 1);
  return part;
}

// An in-memory database with schema and reference data (and the demo registry when asked);
// targets build it once and keep each input's writes in a transaction they roll back.
inline std::unique_ptr<data::Database> memoryDatabase(bool withDemo) {
  return data::createDatabase(":memory:", withDemo);
}

}  // namespace korventa::fuzz
