#pragma once
// The kinds of import file: extension, separators per line, person category, the form that
// imports them and the spool code of their error listing.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korventa::import {

// The four import forms; each has its own fixed message table and separator rules.
enum class Form { TranPer, Transferencia, ImportMF, TransPT };

enum class Kind { Rem, Pen, Jor, Sub, Not, Tes, Cuarta, ForTrans, ForMF, Mfe, Sct };

struct KindInfo {
  Kind kind;
  const char* extension;  // without the point, lower case ("rem")
  int separators;         // "|" per line
  bool exact;             // exactly that many (worker and pensioner files) or at least that many
  int category;           // person category of the lines
  const char* spool;      // SPOOL.CodRep of the error listing
  Form form;
};

const KindInfo& info(Kind kind);
const char* formName(Form form);  // "frmTranPer", "frmTransferencia", "frm0601ImportMF", "frmTransPT"
std::optional<Form> formFromName(std::string_view name);

// "0601" + RUC + period + "." + extension.
std::string importFileName(std::string_view ruc, std::string_view periodo, Kind kind);
// Whether a file name (without folder) is the declaration's file of that kind: importFileName,
// compared without regard to case, as the forms find it in a folder (".REM" written by Windows
// programs is the same file as ".rem").
bool isImportFileName(std::string_view fileName, std::string_view ruc, std::string_view periodo, Kind kind);

// The kinds a form imports for a category, in the order a run imports them: workers ".jor",
// ".tes", ".sub", ".not", ".rem"; pensioners ".pen"; providers ".4ta"; trainees ".for" (and
// ".mfe" in frm0601ImportMF); personnel of third parties ".sct".
std::vector<Kind> kindsOf(Form form, int category);

// The kind of a file name by its extension (any case). ".for" belongs to two forms: `form`
// chooses; without it the trainee amounts of frm0601ImportMF are meant.
std::optional<Kind> kindFromFileName(std::string_view fileName, std::optional<Form> form = std::nullopt);

}  // namespace korventa::import
