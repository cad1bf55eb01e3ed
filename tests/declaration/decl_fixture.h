#pragma once
// A small registry for the declaration tests: declarant 20100070970 with workers, pensioners,
// personnel of third parties and trainees, the clock fixed in March 2013, and helpers to create,
// save and inspect declarations.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/dates.h"
#include "data/session.h"
#include "declaration/declaration_form.h"
#include "support/test_db.h"

namespace korventa::test {

inline const std::string kRuc = "20100070970";
inline const std::string kOtherRuc = "20555555556";

class DeclarationTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  data::Database& db() { return t_.db(); }
  Session& session() { return t_.session(); }
  RecordingMessenger& msg() { return t_.messenger(); }
  RegistryBuilder registry() { return RegistryBuilder{db()}; }

  // The standard registry: 3 workers (one of type 98), 1 pensioner, 1 third party with SCTR,
  // 1 trainee; all active from 2011.
  void standardRegistry();
  // New declaration through the form controller, loaded and saved; returns whether it saved.
  bool createAndSave(const std::string& periodo, const std::string& ruc = kRuc);
  // The same with every person's pay, establishment and the payment entered before saving: a
  // declaration without inconsistencies (estado 0), which can be sent. Returns whether it saved so.
  bool createConsistent(const std::string& periodo);
  // Text of every row of a table (sorted), for before/after comparisons.
  std::string dump(const std::string& table);
  // All stored and history tables of declarations.
  std::string dumpStored();
  long long count(const std::string& sql, const data::Params& p = {});
  // The first row of a query, its fields joined by '|' ("<no row>" when there is none).
  std::string fields(const std::string& sql, const data::Params& p = {});
  // Makes every INSERT (or DELETE) on a table fail, until the test ends.
  void failOn(const std::string& table, const std::string& event = "INSERT");
  bool sawMessage(const std::string& text);

  TestDb t_{false};
};

}  // namespace korventa::test
