#pragma once
// File-dialog filters of the files the program writes, the same in every form.

namespace korventa {

inline constexpr const char* kWorkbookFilter = "Libro de hoja de cálculo (*.xlsx)";
inline constexpr const char* kPdfFilter = "Documentos PDF (*.pdf)";

}  // namespace korventa
