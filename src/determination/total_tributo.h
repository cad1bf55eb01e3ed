#pragma once
// Column totals of the tax boxes over all persons of the working set.
#include <string>
#include <string_view>

#include "data/database.h"
#include "model/amount_recorder.h"

namespace korventa::determination {

// Total of one tax box (411, 413, 415, 416, 417, 418, 419, 591) in whole soles ("###########0"),
// summed from the persons' summary column; "0" when no person carries it, "" for another box. A
// recorder hears each person's amount and the sum and rounding steps.
std::string Total_Tributo(data::Database& db, std::string_view casilla, model::AmountRecorder* rec = nullptr);

}  // namespace korventa::determination
