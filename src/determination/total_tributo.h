#pragma once
// Column totals of the tax boxes over all persons of the working set.
#include <string>
#include <string_view>

#include "data/database.h"

namespace korventa::determination {

// Total of one tax box (411, 413, 415, 416, 417, 418, 419, 591) in whole soles ("###########0"),
// summed from the persons' summary column; "0" when no person carries it, "" for another box.
std::string Total_Tributo(data::Database& db, std::string_view casilla);

}  // namespace korventa::determination
