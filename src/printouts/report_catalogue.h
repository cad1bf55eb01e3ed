#pragma once
// The catalogue of the exported reports: number, title and file-name suffix of each.
#include <string>
#include <vector>

namespace korventa::printouts {

struct ReportEntry {
  int number;
  std::string title;   // "Formato 20: Datos de Ingresos del Trabajador"
  std::string suffix;  // "_20_DAT.TXT"; empty for the printed pay statement
};
const std::vector<ReportEntry>& reportCatalogue();
const ReportEntry* findReport(int number);

}  // namespace korventa::printouts
