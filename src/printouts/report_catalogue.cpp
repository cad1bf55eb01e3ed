#include "printouts/report_catalogue.h"

namespace korventa::printouts {

const std::vector<ReportEntry>& reportCatalogue() {
  static const std::vector<ReportEntry> c = {
      {20, "Formato 20: Datos de Ingresos del Trabajador", "_20_DAT.TXT"},
      {21, "Formato 21: Asignaciones y Bonificaciones del Trabajador y/o Pensionista", "_21_DAT.TXT"},
      {22, "Formato 22: Gratificaciones, Indemnizaciones, Tributos y Aportaciones del Trabajador y/o Pensionista",
       "_22_DAT.TXT"},
      {23,
       "Formato 23: Descuentos al Trabajador y/o Pensionista, Aportaciones de Cargo del Empleador y Otros Conceptos",
       "_23_DAT.TXT"},
      {24, "Formato 24: Conceptos Varios del Trabajador y/o Pensionista", "_24_DAT.TXT"},
      {25, "Formato 25: Bases declaradas, tributos y aportaciones", "_25_DAT.TXT"},
      {26, "Formato 26: Resumen de ingresos, tributos y descuentos", "_26_DAT.TXT"},
      {27, "Boleta de Pago", ""},
      {28, "Formato 28: Trabajadores - Días Laborados / Horas Trabajadas / SCTR", "_28_DAT.TXT"},
      {29, "Formato 29: Trabajadores - Días no laborados", "_29_DAT.TXT"},
      {30, "Formato 30: Trabajadores - Períodos Subsidiados", "_30_DAT.TXT"},
      {31, "Formato 31: Trabajadores - Establecimientos", "_31_DAT.TXT"},
      {32, "Formato 32: Cuarta Categoría - Recibos", "_32_DAT.TXT"},
      {33, "Formato 33: P.S. Mod. Formativas - Monto subvención económica", "_33_DAT.TXT"},
      {34, "Formato 34: Personal de Terceros ", "_34_DAT.TXT"},
      {35, "Formato 35: Prestadores de Servicios - Modalidades Formativas:  Establecimientos", "_35_DAT.TXT"},
  };
  return c;
}

const ReportEntry* findReport(int number) {
  for (const auto& r : reportCatalogue())
    if (r.number == number) return &r;
  return nullptr;
}

}  // namespace korventa::printouts
