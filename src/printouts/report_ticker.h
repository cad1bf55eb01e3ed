#pragma once
// Counts the rows of a report and reports them every 250 rows.
#include <functional>

namespace korventa::printouts {

class Ticker {
 public:
  explicit Ticker(const std::function<void(long)>& tick) : tick_(tick) {}
  void operator()() {
    ++rows_;
    if (tick_ && rows_ % 250 == 0) tick_(rows_);
  }

 private:
  const std::function<void(long)>& tick_;
  long rows_ = 0;
};

}  // namespace korventa::printouts
