#pragma once
// Entry rules of the amount boxes and grid cells of the per-person forms: digits and one
// decimal point, at most 7 integer digits and 2 decimals.
#include <optional>
#include <string>
#include <string_view>

#include "common/messenger.h"

namespace korventa::detail {

inline constexpr int kAmountIntegerDigits = 7;

// Whether a text may stand in an amount box while it is typed (a key that would make it
// break the rules is refused): digits and at most one point, 7 integer digits, 2 decimals.
bool amountTextAllowed(std::string_view text);
// A box on leaving: a lone "." is nothing; anything else is shown "######0.00".
std::string boxTextOnLeave(std::string_view typed);
// A grid cell after editing: a lone "." reads "0."; without a point only the first 7
// characters count; the stored text is "######0.00" ("" for nothing).
std::string gridCellText(std::string_view typed);
// An amount given whole (command line): the stored text, or nullopt after the message of the
// broken rule ("Registre como máximo 7 enteros y 2 decimales", "No registre mas de un punto
// decimal", or that only digits and a point are allowed).
std::optional<std::string> typedAmount(std::string_view typed, Messenger& m);

}  // namespace korventa::detail
