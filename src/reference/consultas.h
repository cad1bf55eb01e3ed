#pragma once
// Read-only consultations of the parameter lists: banks, worker situations, worker types, the
// minimum wage and tax unit histories, the contribution rates by worker type, and the version
// shown in the about box.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/messenger.h"
#include "data/database.h"

namespace korventa::reference {

struct ConsultaRow {
  std::string codigo;
  std::string descrip;
};

struct Consulta {
  char mode = 0;            // 'B', 'S', 'T', 'R' or 'U'
  std::string title;        // window title
  bool dated = false;       // R and U: codigo is the date from which the value applies
  std::string codeHeading;  // "Código" or "Vigencia Desde"
  std::string descHeading;  // "Descripción" or "Importe"
  std::vector<ConsultaRow> rows;
};

// The rows of one consultation; nullopt for an unknown mode letter.
std::optional<Consulta> consultar(data::Database& db, std::string_view mode);
// Title of a mode ("" when unknown), without reading the database.
std::string consultaTitle(std::string_view mode);

// One row of list 713 for a worker type: the date from which it applies (dd/mm/yyyy) and its
// rates as stored (5-character texts, trimmed).
struct TasaRow {
  std::string vigencia, ies, pension, salud, artistas, vida, saludA, asegtpe;
};

struct TipoTrabajador {
  std::string codigo;       // two characters
  std::string descripcion;  // funcion 1–35, trimmed
  std::string display() const { return codigo + " - " + descripcion; }
};

// Rates by worker type.
class WorkerRatesForm {
 public:
  explicit WorkerRatesForm(data::Database& db) : db_(db) {}
  // Worker types for the chooser, by description; types 80 and 81 and codes beginning "99" are
  // never offered.
  std::vector<TipoTrabajador> tipos();
  // Rate history of a type, newest first; empty when the type has no rows.
  std::vector<TasaRow> tasas(std::string_view tipo);
  // tasas() after the check that a type was chosen ("" = none): without one, the message
  // "Debe Seleccionar el tipo de Trabajador cuyas tasas desea consultar." and nullopt.
  std::optional<std::vector<TasaRow>> consultar(std::string_view tipo, Messenger& m);

 private:
  data::Database& db_;
};

// Texts of the about box, from the version globals.
std::string textoVersion(std::string_view version);            // "Versión 1.8"
std::string textoActualizacion(std::string_view publication);  // "Actualización al 31/05/2012"

}  // namespace korventa::reference
