#include "reports/print_outcome.h"

namespace korventa::reports {

std::string printFailureText(PrintFailure failure, std::string_view file) {
  switch (failure) {
    case PrintFailure::Start:
      return "No se pudo iniciar la impresión del reporte.";
    case PrintFailure::NextSheet:
      return "No se pudo pasar a la siguiente hoja al imprimir el reporte.";
    case PrintFailure::Finish:
      return "No se pudo terminar la impresión del reporte.";
    case PrintFailure::NoDefaultPrinter:
      return "No hay una impresora predeterminada instalada.";
    case PrintFailure::PdfFile:
      return "No se pudo escribir el archivo PDF " + std::string(file);
  }
  return {};
}

void reportPrinted(Messenger& m) {
  m.show("Reporte se imprimió satisfactoriamente.", "Mensaje", MsgIcon::Information);
}

void reportSaved(Messenger& m, std::string_view file) {
  m.show("Reporte guardado en " + std::string(file), "Mensaje", MsgIcon::Information);
}

void reportPrintFailed(Messenger& m, std::string_view text) {
  m.show(text, "Error al Imprimir", MsgIcon::Critical);
}

void reportSaveFailed(Messenger& m, std::string_view text) {
  m.show(text, "Error", MsgIcon::Critical);
}

}  // namespace korventa::reports
