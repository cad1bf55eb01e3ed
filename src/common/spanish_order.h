#pragma once
// Order of names as a Spanish reader expects it.
#include <string_view>

namespace korventa::text {

// Case and accents are ignored ("CÁCERES" sorts with "CACERES"), Ñ is a letter of its own after
// N; texts equal so compare by their bytes. <0, 0 or >0. (Defined with the other text helpers.)
int compareSpanish(std::string_view a, std::string_view b);

}  // namespace korventa::text
