#pragma once
// Messages of the rejection codes: each import form has its fixed texts; a code outside them
// takes DescError of table ERROR; a code found in neither gives the "Otro Error" text.
#include <string>
#include <string_view>
#include <unordered_map>

#include "data/database.h"
#include "import/import_kinds.h"

namespace korventa::import {

inline constexpr const char* kOtroError = "Otro Error : Verifique Estructura de Tablas y datos a transferir";

// The fixed text of a code for a form; nullptr when the form has none for it.
const char* fixedMessage(Form form, std::string_view code);

class ErrorCatalog {
 public:
  // Reads table ERROR once.
  ErrorCatalog(data::Database& db, Form form);
  // The message of a code: fixed text, else ERROR.DescError, else kOtroError.
  std::string message(std::string_view code) const;

 private:
  Form form_;
  std::unordered_map<std::string, std::string> table_;
};

}  // namespace korventa::import
