#include "reference/consultas.h"

#include "common/text.h"
#include "common/vb_format.h"

namespace korventa::reference {
namespace {

struct ModeInfo {
  char mode;
  const char* title;
  const char* numero;
  std::size_t length;  // characters of funcion shown
  bool dated;
  const char* picture;  // amount picture for the dated lists
};

constexpr ModeInfo kModes[] = {
    {'B', "Bancos", "004", 36, false, nullptr},
    {'S', "Situación del Trabajador", "714", 80, false, nullptr},
    {'T', "Tipo de Trabajador", "700", 70, false, nullptr},
    {'R', "Remuneración Mínima Vital", "982", 8, true, "#####.00"},
    {'U', "Unidad Impositiva Tributaria (UIT)", "404", 11, true, "########.00"},
};

const ModeInfo* modeInfo(std::string_view mode) {
  std::string m = text::upper(text::trim(mode));
  if (m.size() != 1) return nullptr;
  for (const auto& i : kModes)
    if (i.mode == m[0]) return &i;
  return nullptr;
}

// "yyyymmdd" at 1-based position `start` of a key → "dd/mm/yyyy".
std::string dmyAt(std::string_view key, std::size_t start) {
  return text::mid(key, start + 6, 2) + "/" + text::mid(key, start + 4, 2) + "/" + text::mid(key, start, 4);
}

}  // namespace

std::string consultaTitle(std::string_view mode) {
  const ModeInfo* i = modeInfo(mode);
  return i ? i->title : "";
}

std::optional<Consulta> consultar(data::Database& db, std::string_view mode) {
  const ModeInfo* info = modeInfo(mode);
  if (!info) return std::nullopt;
  Consulta c;
  c.mode = info->mode;
  c.title = info->title;
  c.dated = info->dated;
  c.codeHeading = info->dated ? "Vigencia Desde" : "Código";
  c.descHeading = info->dated ? "Importe" : "Descripción";

  // Header rows ("-") are never shown; the dated lists come newest first.
  std::string sql = "SELECT Argumento, Funcion FROM PARAM WHERE Numero = ? AND trim(Argumento) <> '-'";
  switch (info->mode) {
    case 'B':
      sql += " AND trim(Argumento) <> '00'";
      break;
    case 'T':
      sql += " AND trim(Argumento) NOT IN ('80', '81') AND substr(trim(Argumento), 1, 2) <> '99'";
      break;
    default:
      break;
  }
  sql += info->dated ? " ORDER BY Argumento DESC" : " ORDER BY substr(Argumento, 1, 2), Argumento";
  for (const auto& r : db.rows(sql, {info->numero})) {
    std::string arg = r.text(0), fun = r.text(1);
    ConsultaRow row;
    if (info->dated) {
      row.codigo = dmyAt(arg, 1);
      row.descrip = vbFormatText(text::trim(text::mid(fun, 1, info->length)), info->picture);
    } else {
      row.codigo = text::left(arg, 2);
      row.descrip = text::rtrim(text::mid(fun, 1, info->length));
    }
    c.rows.push_back(std::move(row));
  }
  return c;
}

std::vector<TipoTrabajador> WorkerRatesForm::tipos() {
  std::vector<TipoTrabajador> out;
  auto rows = db_.rows(
      "SELECT Argumento, Funcion FROM PARAM WHERE Numero = '700' AND trim(Argumento) <> '-' "
      "AND substr(Argumento, 1, 2) <> '99' AND trim(Argumento) NOT IN ('80', '81') "
      "ORDER BY substr(Funcion, 1, 35), Argumento");
  for (const auto& r : rows)
    out.push_back({text::trim(text::left(r.text(0), 2)), text::trim(text::mid(r.text(1), 1, 35))});
  return out;
}

std::vector<TasaRow> WorkerRatesForm::tasas(std::string_view tipo) {
  std::vector<TasaRow> out;
  std::string key = text::trim(tipo);
  if (key.empty()) return out;
  auto rows = db_.rows(
      "SELECT Argumento, Funcion FROM PARAM WHERE Numero = '713' AND substr(Argumento, 1, 2) = ? "
      "ORDER BY substr(Argumento, 4, 8) DESC",
      {key});
  for (const auto& r : rows) {
    std::string a = r.text(0), f = r.text(1);
    auto at = [&](std::size_t pos) { return text::trim(text::mid(f, pos, 5)); };
    out.push_back({dmyAt(a, 4), at(42), at(48), at(54), at(60), at(66), at(72), at(78)});
  }
  return out;
}

std::optional<std::vector<TasaRow>> WorkerRatesForm::consultar(std::string_view tipo, Messenger& m) {
  if (text::trim(tipo).empty()) {
    m.warning("Debe Seleccionar el tipo de Trabajador cuyas tasas desea consultar.");
    return std::nullopt;
  }
  return tasas(tipo);
}

std::string textoVersion(std::string_view version) {
  return "Versión " + std::string(version);
}
std::string textoActualizacion(std::string_view publication) {
  return "Actualización al " + std::string(publication);
}

}  // namespace korventa::reference
