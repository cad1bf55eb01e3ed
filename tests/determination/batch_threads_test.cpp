#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "determination/working_fixture.h"
#include "support/recording_progress.h"

namespace korventa::test {
namespace {

using determination::Computation;
using determination::Offer;

// Everything the computation writes in a person, as one text.
std::string computed(const model::PersonData& p) {
  std::string s = p.key.doc_id_a;
  for (const auto& r : p.concepts) s += "|" + r.codigo + "=" + r.monto + "/" + r.monto_pag + "/" + r.base_calculo;
  for (const auto& c : p.summary) s += "|" + c;
  return s;
}

struct BatchRun {
  std::vector<std::string> persons;
  std::vector<std::pair<long long, long long>> counts;
  bool cancelled = false;
};

BatchRun computeOn(WorkingFixture& w, int threads, long long cancelAt) {
  auto persons = model::loadPersons(w.t.db(), w.decl.ruc);
  Computation computation(w.t.db(), w.decl);
  RecordingProgress progress = cancelAt < 0 ? RecordingProgress() : RecordingProgress("batch", cancelAt);
  progress.step("batch");
  BatchRun r;
  try {
    determination::computeBatch(computation, persons, Offer::Contributions, progress, threads);
  } catch (const Cancelled&) {
    r.cancelled = true;
  }
  for (const auto& p : persons) r.persons.push_back(computed(p));
  r.counts = progress.steps.back().counts;
  return r;
}

// Workers and pensioners of several types with pay, bonuses and deductions.
void payroll(WorkingFixture& w, int n) {
  const char* types[] = {"21", "20", "98", "64", "68", "24", "26", "19"};
  for (int i = 0; i < n; ++i) {
    WorkerProfile profile;
    profile.tipo = types[i % std::size(types)];
    profile.category = profile.tipo == std::string("24") ? 2 : 1;
    profile.pension = i % 3 == 0 ? 21 : 2;
    profile.ipssVida = i % 5 == 0 ? "1" : "";
    auto k = w.person(std::to_string(40000000 + i), profile);
    w.amount(k, "0121", std::to_string(900 + i * 7 % 2000) + ".50");
    if (i % 2) w.amount(k, "0201", std::to_string(i % 300) + ".00");
    if (i % 7 == 0) w.amount(k, "0704", "35.00");
  }
}

// One thread or two compute the same persons and count them alike, cancelled or not.
TEST(BatchThreads, TwoThreadsComputeWhatOneComputes) {
  struct Case {
    const char* name;
    int persons;
    long long cancelAt;  // -1: not cancelled
  };
  const Case cases[] = {
      {"even batch", 40, -1},
      {"odd batch", 41, -1},
      {"one person", 1, -1},
      {"no one", 0, -1},
      {"cancelled in the first half", 41, 7},
      {"cancelled in the second half", 41, 30},
  };
  for (const auto& c : cases) {
    WorkingFixture w;
    payroll(w, c.persons);
    BatchRun one = computeOn(w, 1, c.cancelAt), two = computeOn(w, 2, c.cancelAt);
    EXPECT_EQ(one.cancelled, c.cancelAt >= 0) << c.name;
    EXPECT_EQ(two.cancelled, one.cancelled) << c.name;
    EXPECT_EQ(two.counts, one.counts) << c.name;
    if (!one.cancelled) {
      EXPECT_EQ(two.persons, one.persons) << c.name;
    }
    EXPECT_EQ(one.persons.size(), static_cast<std::size_t>(c.persons)) << c.name;
  }
}

// A step that fails on either thread fails the batch with its own error, counted up to the
// person that failed as on one thread.
TEST(BatchThreads, AFailingStepFailsTheBatchWhereOneThreadFails) {
  for (std::size_t failing : {std::size_t{5}, std::size_t{33}}) {
    WorkingFixture w;
    payroll(w, 41);
    std::vector<std::vector<std::pair<long long, long long>>> counts;
    for (int threads : {1, 2}) {
      auto persons = model::loadPersons(w.t.db(), w.decl.ruc);
      Computation computation(w.t.db(), w.decl);
      RecordingProgress progress;
      progress.step("batch");
      determination::PersonSteps steps;
      steps.after = [&](std::size_t i) {
        if (i == failing) throw std::runtime_error("person " + std::to_string(i));
      };
      try {
        determination::computeBatch(computation, persons, Offer::Contributions, progress, threads, steps);
        ADD_FAILURE() << "person " << failing << " on " << threads << " threads did not fail the batch";
      } catch (const std::runtime_error& e) {
        EXPECT_EQ(std::string(e.what()), "person " + std::to_string(failing));
      }
      counts.push_back(progress.steps.back().counts);
    }
    EXPECT_EQ(counts[1], counts[0]) << "failing at " << failing;
    ASSERT_FALSE(counts[0].empty());
    EXPECT_EQ(counts[0].back().first, static_cast<long long>(failing));
  }
}

// The copy computed on the other thread never reads: a type whose rates were not read fails
// instead of using the connection.
TEST(BatchThreads, FrozenComputationNeverReads) {
  WorkingFixture w;
  payroll(w, 2);
  auto persons = model::loadPersons(w.t.db(), w.decl.ruc);
  Computation computation(w.t.db(), w.decl);
  computation.rates().forType(persons[0].tipo);
  Computation frozen = computation.frozen();
  EXPECT_NO_THROW(frozen.compute(persons[0], nullptr, Offer::Contributions));
  EXPECT_THROW(frozen.compute(persons[1], nullptr, Offer::Contributions), std::logic_error);
}

}  // namespace
}  // namespace korventa::test
