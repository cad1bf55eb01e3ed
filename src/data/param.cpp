#include "data/param.h"

#include <algorithm>
#include <cstdlib>

#include "common/text.h"
#include "data/numero_control.h"

namespace korventa::data {

std::string ParamRow::field(std::size_t start, std::size_t length) const {
  return text::trim(text::mid(funcion, start, length));
}

std::string numberText(std::string_view numeric) {
  auto m = Money::parse(numeric);
  if (!m) return "0";
  std::string s = m->toText(4);
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  if (s == "-0") s = "0";
  return s;
}

std::vector<ParamRow> ParamTable::list(std::string_view numero, bool withHeaders) {
  std::vector<ParamRow> out;
  for (const auto& r : db_.rows("SELECT Argumento, Funcion FROM PARAM WHERE Numero = ? ORDER BY Argumento", {numero})) {
    ParamRow p{r.text(0), r.text(1)};
    if (!withHeaders && text::trim(p.argumento) == "-") continue;
    out.push_back(std::move(p));
  }
  return out;
}

std::optional<ParamRow> ParamTable::row(std::string_view numero, std::string_view argumento) {
  auto r = db_.row("SELECT Argumento, Funcion FROM PARAM WHERE Numero = ? AND trim(Argumento) = ?",
                   {numero, text::trim(argumento)});
  if (!r) return std::nullopt;
  return ParamRow{r->text(0), r->text(1)};
}

bool ParamTable::ExisteParam(std::string_view numero, std::string_view argumento) {
  return row(numero, argumento).has_value();
}

std::string ParamTable::ParteFuncion(std::string_view numero, std::string_view argumento, std::size_t start,
                                     std::size_t length) {
  auto r = row(numero, argumento);
  return r ? text::mid(r->funcion, start, length) : std::string();
}

std::string ParamTable::TasaVigente977(std::string_view period) {
  std::string rate = "-1";
  std::vector<std::pair<std::string, std::string>> rows;
  for (const auto& p : list("977")) rows.emplace_back(text::left(p.argumento, 6), p.funcion);
  std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [start, funcion] : rows)
    if (start <= period) rate = numberText(text::trim(text::mid(funcion, 1, 9)));
  return rate;
}

std::string ParamTable::TasaVigente(std::string_view numero, std::string_view key, std::string_view period) {
  std::string rate = "-1";
  std::vector<std::pair<std::string, std::string>> rows;
  for (const auto& p : list(numero))
    if (text::trim(text::mid(p.argumento, 1, 6)) == text::trim(key))
      rows.emplace_back(text::mid(p.argumento, 8, 6), p.funcion);
  std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [start, funcion] : rows)
    if (start <= period) rate = numberText(text::trim(text::mid(funcion, 2, 6)));
  return rate;
}

std::string ParamTable::TasaParam(std::string_view numero, std::string_view argumento) {
  auto r = row(numero, argumento);
  if (!r) return " ";
  std::size_t len = text::trim(argumento) == "031101019990101" ? 5 : 4;
  auto m = Money::parse(text::trim(text::mid(r->funcion, 3, len)));
  Money v = m ? m->times(Money::fromUnits(100)) : Money();
  return numberText(v.toText(4));
}

std::optional<Money> ParamTable::datedAmount(std::string_view numero, std::string_view period, std::size_t length) {
  std::optional<Money> found;
  std::string best;
  for (const auto& p : list(numero)) {
    std::string start = text::trim(p.argumento);
    if (text::left(start, 6) <= period && start >= best) {
      best = start;
      found = Money::value(text::trim(text::mid(p.funcion, 1, length)));
    }
  }
  return found;
}

Rates713 ParamTable::rates713(std::string_view tipo, std::string_view period) {
  Rates713 r;
  std::string best;
  for (const auto& p :
       db_.rows("SELECT Argumento, Funcion FROM PARAM WHERE Numero = '713' AND substr(Argumento, 1, 2) = ?", {tipo})) {
    std::string arg = p.text(0);
    std::string start = text::mid(arg, 4, 8);
    if (text::left(start, 6) > period || start < best) continue;
    best = start;
    ParamRow row{arg, p.text(1)};
    r.found = true;
    r.argumento = arg;
    r.ies = row.field(42, 5);
    r.pension = row.field(48, 5);
    r.health = row.field(54, 5);
    r.artists = row.field(60, 5);
    r.life = row.field(66, 5);
    r.agrarianHealth = row.field(72, 5);
    r.aseguraPension = row.field(78, 5);
  }
  return r;
}

std::optional<std::pair<std::string, std::string>> ParamTable::version856(std::string_view form) {
  auto r = row("856", form);
  if (!r) return std::nullopt;
  return std::make_pair(text::trim(text::mid(r->funcion, 1, 4)), text::mid(r->funcion, 5, 10));
}

std::string DocumentType::code2() const {
  return code < 10 ? "0" + std::to_string(code) : std::to_string(code);
}

bool DocumentType::allowedIn(int contextPos) const {
  if (contextPos < 59 || contextPos > 82) return false;
  std::size_t i = static_cast<std::size_t>(contextPos - 59);
  return i < validity.size() && validity[i] == '1';
}

std::vector<DocumentType> ParamTable::documentTypes() {
  if (docTypes_) return *docTypes_;
  std::vector<DocumentType> out;
  for (const auto& p : list("044")) {
    std::string arg = text::trim(p.argumento);
    if (!text::isDigits(arg)) continue;
    DocumentType d;
    d.code = std::atoi(arg.c_str());
    d.description = p.field(1, 30);
    d.shortName = p.field(32, 11);
    d.length = std::atoi(p.field(46, 2).c_str());
    d.indicators = text::mid(p.funcion, 49, 6);
    d.order = p.field(56, 2);
    d.validity = text::mid(p.funcion, 59, 24);
    d.dataType = p.field(128, 1);
    d.lengthType = p.field(130, 1);
    out.push_back(std::move(d));
  }
  docTypes_ = out;
  return out;
}

std::optional<DocumentType> ParamTable::documentType(int code) {
  for (const auto& d : documentTypes())
    if (d.code == code) return d;
  return std::nullopt;
}

std::string ParamTable::FuncionDocumento(int code) {
  for (const auto& p : list("044"))
    if (text::isDigits(text::trim(p.argumento)) && std::atoi(text::trim(p.argumento).c_str()) == code) return p.funcion;
  return {};
}

int ParamTable::LongitudDocumento(int code) {
  auto d = documentType(code);
  return d ? d->length : 0;
}

std::string ParamTable::DescripcionDocumento(int code, bool shortName) {
  auto d = documentType(code);
  if (!d) return {};
  return shortName ? d->shortName : d->description;
}

std::vector<DocumentType> ParamTable::LlenaTiposDocumento(int contextPos) {
  std::vector<DocumentType> out;
  for (const auto& d : documentTypes())
    if (d.allowedIn(contextPos)) out.push_back(d);
  std::stable_sort(out.begin(), out.end(),
                   [](const DocumentType& a, const DocumentType& b) { return a.order < b.order; });
  return out;
}

}  // namespace korventa::data
