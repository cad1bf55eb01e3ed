#include "data/general.h"

namespace korventa {

bool FechaNoFutura(std::string_view dmy) {
  auto d = Date::parseDmy(dmy);
  if (!d) return true;
  return !(*d > Clock::today());
}

bool ValidaNumero(std::string_view number, int n, Messenger& m) {
  if (number.empty()) return true;
  auto point = number.find('.');
  std::string_view intPart = point == std::string_view::npos ? number : number.substr(0, point);
  if (static_cast<int>(intPart.size()) > n) {
    m.show("Registre como máximo " + std::to_string(n) + " enteros y 2 decimales", "Validación", MsgIcon::Critical);
    return false;
  }
  if (point != std::string_view::npos && number.find('.', point + 1) != std::string_view::npos) {
    m.show("No registre mas de un punto decimal", "Validación", MsgIcon::Critical);
    return false;
  }
  return true;
}

int SoloDigitos(int k) {
  if ((k >= '0' && k <= '9') || k == 8 || k == 13) return k;
  return 0;
}

}  // namespace korventa
