#include "data/servicios_comunes.h"

#include <filesystem>

#include "common/dates.h"
#include "common/text.h"

namespace korventa {

bool ServiciosComunes::fileExists(std::string_view path) const {
  std::error_code ec;
  return std::filesystem::is_regular_file(std::filesystem::path(std::string(path)), ec);
}

bool ServiciosComunes::rucValido(std::string_view ruc) {
  if (ruc.size() != 11 || !text::isDigits(ruc)) return false;
  std::string_view prefix = ruc.substr(0, 2);
  if (prefix != "10" && prefix != "15" && prefix != "17" && prefix != "20") return false;
  static const int w[] = {5, 4, 3, 2, 7, 6, 5, 4, 3, 2};
  int sum = 0;
  for (int i = 0; i < 10; ++i) sum += (ruc[i] - '0') * w[i];
  int check = 11 - sum % 11;
  if (check == 10) check = 0;
  if (check == 11) check = 1;
  return check == ruc[10] - '0';
}

bool ServiciosComunes::fechaEnRango(std::string_view date, std::string_view from, std::string_view to) {
  auto d = Date::parseDmy(date), lo = Date::parseDmy(from), hi = Date::parseDmy(to);
  if (!d || !lo || !hi) return false;
  return *d >= *lo && *d <= *hi;
}

std::string ServiciosComunes::anchoFijo(std::string_view t, std::size_t width) {
  return text::fixedWidth(t, width);
}

std::string ServiciosComunes::rellenaCeros(std::string_view t, char fill, std::size_t length) {
  return text::padLeft(text::trim(t), length, fill);
}

int ServiciosComunes::teclaDigito(int k) {
  if ((k >= '0' && k <= '9') || k == 8 || k == 13) return k;
  return 0;
}

int ServiciosComunes::teclaLetra(int k) {
  if (k == 8 || k == 13) return k;
  if ((k >= 'A' && k <= 'Z') || (k >= 'a' && k <= 'z') || k == ' ' || k == '\'' || k == '-' || k == '.') return k;
  // Spanish letters: á é í ó ú ü ñ and their capitals.
  switch (k) {
    case 0xC1:
    case 0xC9:
    case 0xCD:
    case 0xD3:
    case 0xDA:
    case 0xDC:
    case 0xD1:
    case 0xE1:
    case 0xE9:
    case 0xED:
    case 0xF3:
    case 0xFA:
    case 0xFC:
    case 0xF1:
      return k;
    default:
      return 0;
  }
}

int ServiciosComunes::teclaBusqueda(int k) {
  if (k == 8 || k == 13 || k == ' ') return k;
  if (k >= '0' && k <= '9') return k;
  if (k >= 'a' && k <= 'z') return k - 32;
  if (k >= 'A' && k <= 'Z') return k;
  if (k == 0xF1) return 0xD1;  // ñ → Ñ
  if (k == 0xD1) return k;
  return 0;
}

bool ServiciosComunes::teclaCertificado(int k) {
  return k == 8 || k == 13 || (k >= '0' && k <= '9') || (k >= 'A' && k <= 'Z') || (k >= 'a' && k <= 'z') || k == '-';
}

bool ServiciosComunes::caracterValido(char32_t c) {
  if (c < 0x20 || c == 0x7F || c == '|' || c == 0xFFFD) return false;
  if (c >= 0x80 && c < 0xA0) return false;
  return true;
}

void ServiciosComunes::mensaje(std::string_view t, std::string_view title) const {
  if (messenger_) messenger_->show(t, title, MsgIcon::Information);
}

std::string ServiciosComunes::textoVerificacion(std::string_view ruc, std::string_view periodo,
                                                std::string_view correl) {
  return std::string(ruc) + std::string(periodo) + text::padLeft(text::trim(correl), 4, '0');
}

char ServiciosComunes::digitoOrden(std::string_view base, std::string_view checkText) {
  std::string all = std::string(base) + std::string(checkText);
  long long sum = 0;
  int weight = 2;
  for (std::size_t i = all.size(); i-- > 0;) {
    char c = all[i];
    int v = (c >= '0' && c <= '9') ? c - '0' : static_cast<unsigned char>(c) % 10;
    sum += static_cast<long long>(v) * weight;
    weight = weight == 7 ? 2 : weight + 1;
  }
  int d = 11 - static_cast<int>(sum % 11);
  if (d >= 10) d -= 10;
  return static_cast<char>('0' + d);
}

std::string ServiciosComunes::numeroOrden(long long seq, std::string_view checkText) {
  std::string base = text::padLeft(std::to_string(seq), 9, '0');
  return base + digitoOrden(base, checkText);
}

bool ServiciosComunes::Verifica_Digito(std::string_view numero, std::string_view checkText) {
  std::string n = text::trim(numero);
  if (n.size() < 2 || !text::isDigits(n)) return false;
  return digitoOrden(std::string_view(n).substr(0, n.size() - 1), checkText) == n.back();
}

bool ServiciosComunes::documentoValido(std::string_view number, const data::DocumentType& type) {
  std::string n = text::trim(number);
  if (n.empty()) return false;
  std::size_t len = text::length(n);
  if (type.length > 0) {
    if (type.exactLength() ? len != static_cast<std::size_t>(type.length) : len > static_cast<std::size_t>(type.length))
      return false;
  }
  if (type.numeric()) return text::isDigits(n);
  for (char32_t c : text::codepoints(n)) {
    bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' || c == 0xD1 ||
              c == 0xF1;
    if (!ok) return false;
  }
  return true;
}

}  // namespace korventa
