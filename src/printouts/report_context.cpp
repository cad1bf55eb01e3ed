#include "printouts/report_context.h"

#include "common/text.h"
#include "printouts/report_cells.h"

namespace korventa::printouts {

namespace {

const char* categoryCaption(long long cat) {
  switch (cat) {
    case 1:
      return "Trabajador";
    case 2:
      return "Pensionista";
    case 3:
      return "4ta Categoria";
    case 4:
      return "Personal de Terceros";
    case 5:
      return "Modalidad Formativa";
  }
  return "";
}

}  // namespace

Ctx::Ctx(Session& s, const StoredDeclaration& d, const std::optional<PersonFilter>& f)
    : db(s.database()), decl(d), filter(f) {
  for (const auto& r : db.rows("SELECT tip_doc_a, doc_id_a, apellido_p, apellido_m, nombre_1 FROM ASEGVKRS "
                               "WHERE tip_doc_d = 6 AND doc_id_d = ? ORDER BY cod_cat_tra",
                               {d.ref.ruc})) {
    std::string key = personKey(r.integer(0), r.text(1));
    names.emplace(key, PersonName{text::trim(r.text(2)), text::trim(r.text(3)), text::trim(r.text(4))});
  }
}

std::string Ctx::personKey(long long tip, const std::string& doc) {
  return std::to_string(tip) + "|" + text::trim(doc);
}

std::string Ctx::where(const std::string& alias, data::Params& p) const {
  auto k = keyFilter(decl.ref, alias);
  for (const auto& v : k.params) p.add(v);
  std::string w = k.where;
  if (filter) {
    std::string a = alias.empty() ? std::string() : alias + ".";
    w += " AND " + a + "tip_doc_a = ? AND " + a + "doc_id_a LIKE ? ESCAPE '\\'";
    p.add(filter->tipDoc);
    std::string like;
    for (char c : filter->prefix) {
      if (c == '%' || c == '_' || c == '\\') like += '\\';
      like += c;
    }
    p.add(like + "%");
  }
  return w;
}

std::vector<Cell> Ctx::ident(long long tip, const std::string& doc, long long cat, const PersonName* fallback) const {
  PersonName n;
  auto it = names.find(personKey(tip, doc));
  if (it != names.end())
    n = it->second;
  else if (fallback)
    n = *fallback;
  return {textCell(std::to_string(tip)), textCell(text::trim(doc)), textCell(n.apellidoP),
          textCell(n.apellidoM),         textCell(n.nombre1),       textCell(categoryCaption(cat))};
}

}  // namespace korventa::printouts
