#include "import/import_kinds.h"

#include <array>
#include <stdexcept>

#include "common/text.h"

namespace korventa::import {

namespace {

constexpr std::array<KindInfo, 11> kKinds{{
    {Kind::Rem, "rem", 5, true, 1, "PR0043", Form::TranPer},
    {Kind::Pen, "pen", 5, true, 2, "PR0044", Form::TranPer},
    {Kind::Jor, "jor", 6, true, 1, "PR0046", Form::TranPer},
    {Kind::Sub, "sub", 6, true, 1, "PR0030", Form::TranPer},
    {Kind::Not, "not", 5, true, 1, "PR0048", Form::TranPer},
    {Kind::Tes, "tes", 5, true, 1, "PR0047", Form::TranPer},
    {Kind::Cuarta, "4ta", 9, false, 3, "PR0049", Form::Transferencia},
    {Kind::ForTrans, "for", 3, false, 5, "PR0050", Form::Transferencia},
    {Kind::ForMF, "for", 3, false, 5, "PR0050", Form::ImportMF},
    {Kind::Mfe, "mfe", 4, false, 5, "PR0050", Form::ImportMF},
    {Kind::Sct, "sct", 5, false, 4, "PR0051", Form::TransPT},
}};

std::string lower(std::string_view s) {
  std::string out(s);
  for (auto& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

}  // namespace

const KindInfo& info(Kind kind) {
  for (const auto& k : kKinds)
    if (k.kind == kind) return k;
  throw std::logic_error("unknown import kind");
}

const char* formName(Form form) {
  switch (form) {
    case Form::TranPer:
      return "frmTranPer";
    case Form::Transferencia:
      return "frmTransferencia";
    case Form::ImportMF:
      return "frm0601ImportMF";
    case Form::TransPT:
      return "frmTransPT";
  }
  return "";
}

std::optional<Form> formFromName(std::string_view name) {
  for (Form f : {Form::TranPer, Form::Transferencia, Form::ImportMF, Form::TransPT})
    if (lower(name) == lower(formName(f))) return f;
  return std::nullopt;
}

std::string importFileName(std::string_view ruc, std::string_view periodo, Kind kind) {
  return "0601" + std::string(ruc) + std::string(periodo) + "." + info(kind).extension;
}

bool isImportFileName(std::string_view fileName, std::string_view ruc, std::string_view periodo, Kind kind) {
  return lower(fileName) == lower(importFileName(ruc, periodo, kind));
}

std::vector<Kind> kindsOf(Form form, int category) {
  switch (form) {
    case Form::TranPer:
      if (category == 2) return {Kind::Pen};
      return {Kind::Jor, Kind::Tes, Kind::Sub, Kind::Not, Kind::Rem};
    case Form::Transferencia:
      if (category == 5) return {Kind::ForTrans};
      return {Kind::Cuarta};
    case Form::ImportMF:
      return {Kind::ForMF, Kind::Mfe};
    case Form::TransPT:
      return {Kind::Sct};
  }
  return {};
}

std::optional<Kind> kindFromFileName(std::string_view fileName, std::optional<Form> form) {
  auto dot = fileName.rfind('.');
  if (dot == std::string_view::npos) return std::nullopt;
  std::string ext = lower(fileName.substr(dot + 1));
  if (ext == "for") {
    if (form == Form::Transferencia) return Kind::ForTrans;
    return Kind::ForMF;
  }
  for (const auto& k : kKinds)
    if (ext == k.extension) return k.kind;
  return std::nullopt;
}

}  // namespace korventa::import
