#pragma once
// The parameter table PARAM: lists addressed by `Numero` and `Argumento`, values read from
// fixed 1-based character positions of `Funcion`.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/money.h"
#include "data/database.h"

namespace korventa::data {

struct ParamRow {
  std::string argumento;
  std::string funcion;
  // Trimmed slice of funcion (1-based start, length in characters).
  std::string field(std::size_t start, std::size_t length) const;
};

struct DocumentType {
  int code = 0;
  std::string description;               // funcion 1–30
  std::string shortName;                 // 32–42
  int length = 0;                        // 46–47
  std::string indicators;                // 49–54
  std::string order;                     // 56–57
  std::string validity;                  // 59–82, one digit per context
  std::string dataType;                  // 128: "1" numeric, other alphanumeric
  std::string lengthType;                // 130: "1" exact length, other maximum
  std::string code2() const;             // two-digit code text
  bool allowedIn(int contextPos) const;  // "1" at that position of funcion (59..82)
  bool numeric() const { return dataType == "1"; }
  bool exactLength() const { return lengthType == "1"; }
};

// Rates of list 713 for one worker type in force for a period; texts as stored (trimmed) and
// values as percentages.
struct Rates713 {
  bool found = false;
  std::string argumento;
  std::string ies, pension, health, artists, life, agrarianHealth, aseguraPension;
  Money iesRate() const { return Money::value(ies); }
  Money pensionRate() const { return Money::value(pension); }
  Money healthRate() const { return Money::value(health); }
  Money artistsRate() const { return Money::value(artists); }
  Money lifeRate() const { return Money::value(life); }
  Money agrarianHealthRate() const { return Money::value(agrarianHealth); }
  Money aseguraPensionRate() const { return Money::value(aseguraPension); }
};

class ParamTable {
 public:
  explicit ParamTable(Database& db) : db_(db) {}

  // Rows of a list ordered by argumento; header rows ("-") left out unless asked.
  std::vector<ParamRow> list(std::string_view numero, bool withHeaders = false);
  std::optional<ParamRow> row(std::string_view numero, std::string_view argumento);
  bool ExisteParam(std::string_view numero, std::string_view argumento);
  // The raw slice of funcion; "" when there is no row.
  std::string ParteFuncion(std::string_view numero, std::string_view argumento, std::size_t start, std::size_t length);

  // Rate in force of list 977 for a period ("-1" when no row starts on or before it).
  std::string TasaVigente977(std::string_view period);
  // Rate in force of a keyed list: key in argumento 1–6, start period in 8–13, rate in funcion 2–7.
  std::string TasaVigente(std::string_view numero, std::string_view key, std::string_view period);
  // funcion 3–6 (3–7 for key "031101019990101") of the row whose trimmed argumento equals the
  // argument, times 100, as text; " " when there is no row.
  std::string TasaParam(std::string_view numero, std::string_view argumento);

  // Value of a list dated by argumento yyyymmdd (404 UIT, 982 RMV) in force in a period: the row
  // with the latest start whose month is not after the period.
  std::optional<Money> datedAmount(std::string_view numero, std::string_view period, std::size_t length);
  std::optional<Money> uit(std::string_view period) { return datedAmount("404", period, 11); }
  std::optional<Money> rmv(std::string_view period) { return datedAmount("982", period, 8); }

  Rates713 rates713(std::string_view tipo, std::string_view period);

  // Version and publication date of a form from list 856; nullopt when the row is missing.
  std::optional<std::pair<std::string, std::string>> version856(std::string_view form);

  std::vector<DocumentType> documentTypes();
  std::optional<DocumentType> documentType(int code);
  std::string FuncionDocumento(int code);
  int LongitudDocumento(int code);
  std::string DescripcionDocumento(int code, bool shortName);
  // Items of a document-type chooser: the types allowed at the context position, by display order.
  std::vector<DocumentType> LlenaTiposDocumento(int contextPos);

 private:
  Database& db_;
  std::optional<std::vector<DocumentType>> docTypes_;
};

// Number text as the platform converts a number back to text: no trailing zeros, no leading
// blank ("0.10" → "0.1", "1500.00" → "1500").
std::string numberText(std::string_view numeric);

}  // namespace korventa::data
