#pragma once
// Number formatting with the picture patterns of the stored texts and screens
// ("######0.00", "#,###,###,##0", "##,###,###,##0.00;(#,###,###,##0.00)", "0000", ...).
// Placeholders: '0' always shows a digit, '#' only a significant one; ',' in the integer part
// groups thousands; '.' is the decimal point; other characters are copied. Up to three
// sections "positive;negative;zero"; a negative value formatted with one section gets "-".
// Rounding is half away from zero.
#include <string>
#include <string_view>

#include "common/money.h"

namespace korventa {

std::string vbFormat(Money value, std::string_view pattern);
std::string vbFormat(long long value, std::string_view pattern);
// A text is formatted when it is numeric; the empty text stays empty and any other text is
// returned unchanged (so "not declared" survives formatting).
std::string vbFormatText(std::string_view text, std::string_view pattern);

}  // namespace korventa
