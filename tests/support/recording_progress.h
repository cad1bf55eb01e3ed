#pragma once
// A Progress for tests: keeps every step and count, and cancels once a chosen step has counted
// a chosen number of items (as a person pressing Cancel half-way through it).
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/progress.h"

namespace korventa::test {

class RecordingProgress : public Progress {
 public:
  struct Step {
    std::string text;
    std::vector<std::pair<long long, long long>> counts;  // (done, total) as reported
  };

  RecordingProgress() = default;
  // Cancels in the step whose text is `step` once `done` reaches `at`.
  RecordingProgress(std::string step, long long at) : cancelStep_(std::move(step)), cancelAt_(at) {}

  void step(std::string_view text) override { steps.push_back({std::string(text), {}}); }
  void advance(long long done, long long total) override {
    if (steps.empty()) steps.push_back({"<no step>", {}});
    steps.back().counts.emplace_back(done, total);
  }
  bool cancelled() override {
    if (cancelStep_.empty() || steps.empty() || steps.back().text != cancelStep_) return false;
    const auto& c = steps.back().counts;
    return !c.empty() && c.back().first >= cancelAt_;
  }

  std::vector<Step> steps;

 private:
  std::string cancelStep_;
  long long cancelAt_ = 0;
};

}  // namespace korventa::test
