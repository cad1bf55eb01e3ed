#pragma once
// Files of the data/ folder compiled into the program (schema, reference data, demo registry).
#include <span>
#include <string_view>

namespace korventa::embedded {

struct EmbeddedFile {
  const char* path;  // relative to data/, e.g. "seed/PARAM.713.csv"
  std::string_view data;
};

std::span<const EmbeddedFile> files();

}  // namespace korventa::embedded
