#include "detail/amount_entry.h"

#include "common/money.h"
#include "common/text.h"
#include "common/vb_format.h"
#include "data/general.h"

namespace korventa::detail {
namespace {

std::string formatted(std::string_view s) {
  if (s.empty() || s == ".") return {};
  return vbFormat(Money::value(s), "######0.00");
}

}  // namespace

bool amountTextAllowed(std::string_view s) {
  std::size_t point = s.find('.');
  for (std::size_t i = 0; i < s.size(); ++i)
    if (!(s[i] >= '0' && s[i] <= '9') && i != point) return false;
  if (point == std::string_view::npos) return s.size() <= kAmountIntegerDigits;
  return point <= kAmountIntegerDigits && s.size() - point - 1 <= 2;
}

std::string boxTextOnLeave(std::string_view typed) {
  return formatted(text::trim(typed));
}

std::string gridCellText(std::string_view typed) {
  std::string s = text::trim(typed);
  if (s == ".") s = "0.";
  if (s.find('.') == std::string::npos && s.size() > kAmountIntegerDigits) s = s.substr(0, kAmountIntegerDigits);
  return formatted(s);
}

std::optional<std::string> typedAmount(std::string_view typed, Messenger& m) {
  std::string s = text::trim(typed);
  for (char c : s) {
    if (!(c >= '0' && c <= '9') && c != '.') {
      m.show("Ingrese solo dígitos y un punto decimal", "Validación", MsgIcon::Critical);
      return std::nullopt;
    }
  }
  if (!ValidaNumero(s, kAmountIntegerDigits, m)) return std::nullopt;
  if (!amountTextAllowed(s)) {
    m.show("Registre como máximo " + std::to_string(kAmountIntegerDigits) + " enteros y 2 decimales", "Validación",
           MsgIcon::Critical);
    return std::nullopt;
  }
  return formatted(s);
}

}  // namespace korventa::detail
