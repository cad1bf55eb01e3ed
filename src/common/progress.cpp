#include "common/progress.h"

namespace korventa {

void Progress::checkpoint() {
  if (cancelled()) throw Cancelled{};
}

Progress& Progress::none() {
  static Progress quiet;
  return quiet;
}

std::string steps::importing(std::string_view fileName) {
  std::string s = "Importando ";
  s += fileName;
  s += "…";
  return s;
}

}  // namespace korventa
