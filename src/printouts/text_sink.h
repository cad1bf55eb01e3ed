#pragma once
// A report as a pipe-separated text file, one line per row ended by CR LF.
#include <cstddef>
#include <filesystem>
#include <fstream>

#include "printouts/report_sink.h"
#include "printouts/text_encoding.h"

namespace korventa::printouts {

class TextSink : public ReportSink {
 public:
  // `replaced` counts the characters written as "?" in `encoding`.
  TextSink(std::filesystem::path path, TextEncoding encoding, std::size_t& replaced);
  void begin(const ReportHeader&) override;
  void row(const std::vector<Cell>& cells) override;
  void end() override;

 private:
  std::filesystem::path path_;
  TextEncoding encoding_;
  std::size_t& replaced_;
  std::ofstream out_;
};

}  // namespace korventa::printouts
