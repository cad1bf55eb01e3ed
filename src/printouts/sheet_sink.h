#pragma once
// A report as one sheet of the workbook: title, declaration data, two heading rows, the rows.
#include "printouts/declaration_data.h"
#include "printouts/report_sink.h"
#include "printouts/workbook.h"

namespace korventa::printouts {

class SheetSink : public ReportSink {
 public:
  SheetSink(Workbook& wb, const StoredDeclaration& d);
  void begin(const ReportHeader& h) override;
  void row(const std::vector<Cell>& cells) override;
  void end() override {}

 private:
  Workbook& wb_;
  const StoredDeclaration& d_;
  int row_ = 0;
};

}  // namespace korventa::printouts
