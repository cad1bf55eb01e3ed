#pragma once
// Small checks shared by the forms: days of a month, dates not in the future, number entry.
#include <string>
#include <string_view>

#include "common/dates.h"
#include "common/messenger.h"

namespace korventa {

// false when the date (dd/mm/yyyy) lies after today; a malformed date is not future.
bool FechaNoFutura(std::string_view dmy);
// Number entry check: empty passes; more than N integer digits or a second point fail with
// their messages (title "Validación").
bool ValidaNumero(std::string_view number, int maxIntegerDigits, Messenger& m);
// Key filter of amount boxes: digits, backspace (8) and enter (13) pass; others become 0.
int SoloDigitos(int keyAscii);

}  // namespace korventa
