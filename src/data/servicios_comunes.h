#pragma once
// Shared services of the suite: identity and date checks, text shaping, key filters, the
// order-number verification text.
#include <string>
#include <string_view>

#include "common/messenger.h"
#include "data/param.h"

namespace korventa {

class ServiciosComunes {
 public:
  explicit ServiciosComunes(Messenger* messenger = nullptr) : messenger_(messenger) {}
  void setMessenger(Messenger* m) { messenger_ = m; }

  bool fileExists(std::string_view path) const;
  // 11 digits, a known prefix (10, 15, 17, 20) and the modulus-11 check digit.
  static bool rucValido(std::string_view ruc);
  // Date dd/mm/yyyy inside [from, to] (dd/mm/yyyy texts); a malformed date is outside.
  static bool fechaEnRango(std::string_view date, std::string_view from = "01/01/1900",
                           std::string_view to = "01/01/2500");
  static std::string anchoFijo(std::string_view text, std::size_t width);
  static std::string rellenaCeros(std::string_view text, char fill, std::size_t length);

  // Key filters: the code to use, or 0 to cancel the key. Codes are Unicode code points;
  // 8 (backspace) and 13 (enter) always pass.
  static int teclaDigito(int key);
  static int teclaLetra(int key);         // surnames and given names
  static int teclaBusqueda(int key);      // search and series boxes: letters upper-cased, digits, blank
  static bool teclaCertificado(int key);  // CITT numbers: letters, digits and "-"
  // A character allowed in an imported field (printable, not the separator "|").
  static bool caracterValido(char32_t c);

  void mensaje(std::string_view text, std::string_view title) const;

  // Text from which the order number of a sent declaration is verified.
  static std::string textoVerificacion(std::string_view ruc, std::string_view periodo, std::string_view correl);
  // Check digit of an order number's leading digits for that text.
  static char digitoOrden(std::string_view base, std::string_view checkText);
  // The order number given to a sending with sequence `seq` (the authority's receipt).
  static std::string numeroOrden(long long seq, std::string_view checkText);
  // Whether an order number belongs to the declaration the check text describes.
  static bool Verifica_Digito(std::string_view numeroOrden, std::string_view checkText);

  // Document number against its type: numeric or alphanumeric, exact or maximum length.
  static bool documentoValido(std::string_view number, const data::DocumentType& type);

 private:
  Messenger* messenger_;
};

}  // namespace korventa
