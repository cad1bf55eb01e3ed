#pragma once
// What printing a report or writing it to PDF reports: the failures the renderer can meet and
// the messages the preview and the report lists show afterwards.
#include <string>
#include <string_view>

#include "common/messenger.h"

namespace korventa::reports {

enum class PrintFailure { Start, NextSheet, Finish, NoDefaultPrinter, PdfFile };

// The text of a failure; PdfFile names the file.
std::string printFailureText(PrintFailure failure, std::string_view file = {});

// "Reporte se imprimió satisfactoriamente."
void reportPrinted(Messenger& m);
// "Reporte guardado en " and the file.
void reportSaved(Messenger& m, std::string_view file);
// A failure (a text of printFailureText) when printing, titled "Error al Imprimir", or when
// writing the PDF, titled "Error".
void reportPrintFailed(Messenger& m, std::string_view text);
void reportSaveFailed(Messenger& m, std::string_view text);

}  // namespace korventa::reports
