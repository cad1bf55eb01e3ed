#pragma once
// A spreadsheet workbook (Office Open XML) written with libxlsxwriter: sheets, text and number
// cells, the amount number format, and saving under a given name.
#include <filesystem>
#include <memory>
#include <string>

namespace korventa::printouts {

class Workbook {
 public:
  static bool available();  // false when the program was built without the workbook writer

  // Starts a workbook to be saved as `path`. Throws std::runtime_error when unavailable.
  explicit Workbook(const std::filesystem::path& path);
  ~Workbook();
  Workbook(const Workbook&) = delete;
  Workbook& operator=(const Workbook&) = delete;

  // Adds a sheet (names longer than 31 characters are cut) and makes it the current one.
  void addSheet(const std::string& name);
  void setColumnWidths(int columns);
  void writeTitle(int row, int col, const std::string& text);
  void writeHeading(int row, int col, const std::string& text);
  void writeText(int row, int col, const std::string& text);
  void writeNumber(int row, int col, double value);
  // Number format "#########,###.00".
  void writeAmount(int row, int col, double value);
  // Saves the file; false when it could not be written (in use, no permission, no folder).
  bool close();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace korventa::printouts
