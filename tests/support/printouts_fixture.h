#pragma once
// A small fixed declaration of RUC 20100000001 for period 201203, stored in preparation (CAB, DET
// and the per-person tables) and once sent (the H… twins with correl 1, control and order
// number): three workers (one without allowances or bonuses), a pensioner, a fourth-category
// provider with three receipts, a person of third parties and a trainee, with EPS invoices
// behind boxes 602 and 612.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "support/cli_runner.h"
#include "support/test_db.h"

namespace korventa::test {

inline constexpr const char* kRuc = "20100000001";
inline constexpr const char* kPeriodo = "201203";

void buildFixedDeclaration(data::Database& db);

// Copies the stored declaration into the history tables as sending `correl`.
void sendFixedDeclaration(data::Database& db, const std::string& correl, const std::string& control,
                          const std::string& norden);

inline std::string readFile(const std::filesystem::path& p) {
  return slurp(p);
}

// Compares a produced file with its reference under tests/data/printouts. A missing reference
// fails; KORVENTA_UPDATE_GOLDEN=1 rewrites the references instead.
void expectGolden(const std::filesystem::path& produced, const std::string& reference);

}  // namespace korventa::test
