#include "printouts/declaration_data.h"

#include <map>

#include "common/text.h"
#include "data/db_errors.h"
#include "determination/declaration_checks.h"

namespace korventa::printouts {

std::string StoredDeclaration::box(const std::string& casilla) const {
  auto it = boxes.find(casilla);
  return it == boxes.end() ? std::string() : it->second;
}

std::string declarantName(data::Database& db, const std::string& ruc) {
  auto r = db.row("SELECT Nombre, APELLIDO_P, APELLIDO_M, NOMBRE_1 FROM CONTRVKRS WHERE tip_doc_d = 6 AND doc_id_d = ?",
                  {ruc});
  if (!r) return {};
  std::string n = text::trim(r->text(0));
  if (!n.empty()) return n;
  std::string s = text::trim(text::trim(r->text(1)) + " " + text::trim(r->text(2)));
  if (!text::trim(r->text(3)).empty()) s += ", " + text::trim(r->text(3));
  return s;
}

KeyFilter keyFilter(const DeclarationRef& ref, const std::string& alias) {
  std::string a = alias.empty() ? std::string() : alias + ".";
  KeyFilter k;
  k.where = a + "tip_doc_d = 6 AND " + a + "doc_id_d = ? AND " + a + "periodo = ?";
  k.params = {ref.ruc, ref.periodo};
  if (ref.sent()) {
    k.where += " AND " + a + "correl = ?";
    k.params.push_back(ref.correl);
  }
  return k;
}

std::string tableFor(const DeclarationRef& ref, const std::string& table) {
  return ref.sent() ? "H" + table : table;
}

namespace {

data::Params paramsOf(const KeyFilter& k) {
  data::Params p;
  for (const auto& v : k.params) p.add(v);
  return p;
}

}  // namespace

namespace {

// The tax columns a rectification may concern, with their base and tax boxes.
struct RectifiableColumn {
  const char* label;
  const char* base;
  const char* tax;
};
constexpr RectifiableColumn kRectifiable[] = {{"IES", "450", "410"},
                                              {"PENS D.LEY 19990", "451", "411"},
                                              {"SEG.REGULAR", "452", "412"},
                                              {"AGRARIO/ACUICULTOR", "456", "416"},
                                              {"FONDO DER.ARTISTA", "453", "413"},
                                              {"ESSALUD +VIDA", "454", "414"},
                                              {"RETENC.5TA", "455", "415"},
                                              {"COSAP", "457", "417"},
                                              {"CBSSP", "458", "418"}};

}  // namespace

std::vector<std::string> rectifiedColumns(Session& session, const StoredDeclaration& d) {
  std::vector<std::string> out;
  if (!d.rectifica) return out;
  auto& db = session.database();
  // The sending it rectifies: the latest one of the period before this declaration.
  data::Params p{d.ref.ruc, d.ref.periodo};
  std::string sql =
      "SELECT correl FROM HCAB WHERE tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND Formulario = '0601'";
  if (d.ref.sent()) {
    sql += " AND CAST(correl AS INTEGER) < CAST(? AS INTEGER)";
    p.add(d.ref.correl);
  }
  sql += " ORDER BY CAST(correl AS INTEGER) DESC LIMIT 1";
  std::string previous = text::trim(db.text(sql, p));
  if (previous.empty()) return out;
  std::map<std::string, std::string> before;
  for (const auto& r : db.rows("SELECT Casilla, i_valor FROM HDET WHERE tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? "
                               "AND Formulario = '0601' AND correl = ?",
                               {d.ref.ruc, d.ref.periodo, previous}))
    before[text::trim(r.text(0))] = text::trim(r.text(1));
  auto value = [](const std::map<std::string, std::string>& m, const char* box) {
    auto it = m.find(box);
    return it == m.end() ? std::string() : it->second;
  };
  for (const auto& c : kRectifiable)
    if (value(d.boxes, c.base) != value(before, c.base) || value(d.boxes, c.tax) != value(before, c.tax))
      out.push_back(c.label);
  return out;
}

std::optional<StoredDeclaration> readDeclaration(Session& session, const DeclarationRef& ref) {
  auto& db = session.database();
  auto key = keyFilter(ref);
  std::string where = key.where + " AND Formulario = '0601'";
  auto cab = db.row(std::string("SELECT * FROM ") + (ref.sent() ? "HCAB" : "CAB") + " WHERE " + where, paramsOf(key));
  if (!cab) return std::nullopt;
  StoredDeclaration d;
  d.ref = ref;
  d.nombre = declarantName(db, ref.ruc);
  d.rectifica = text::trim(cab->text("rectifica")) == "1";
  if (ref.sent()) {
    d.control = text::trim(cab->text("control"));
    d.norden = text::trim(cab->text("norden"));
  }
  for (const auto& r :
       db.rows(std::string("SELECT Casilla, i_valor FROM ") + (ref.sent() ? "HDET" : "DET") + " WHERE " + where,
               paramsOf(key)))
    d.boxes[text::trim(r.text(0))] = text::trim(r.text(1));
  d.rectifiedColumns = rectifiedColumns(session, d);
  return d;
}

StoredDeclaration fromOpenDeclaration(Session& session, const model::OpenDeclaration& decl) {
  StoredDeclaration d;
  d.ref = {decl.ruc, decl.periodo, decl.correl};
  d.nombre = decl.name.empty() ? declarantName(session.database(), decl.ruc) : decl.name;
  d.rectifica = decl.rectifica;
  d.norden = decl.numOrden;
  for (const auto& b : determination::determinationBoxes(session, decl)) d.boxes[b.casilla] = text::trim(b.valor);
  if (decl.sent()) {
    // Control and order number belong to the sending; the header keeps them.
    auto stored = readDeclaration(session, d.ref);
    if (stored) {
      d.control = stored->control;
      if (d.norden.empty()) d.norden = stored->norden;
      // Count boxes are not part of the determination grid; take them from the sending.
      for (const auto& [k, v] : stored->boxes) d.boxes.emplace(k, v);
    }
  } else if (auto stored = readDeclaration(session, d.ref)) {
    for (const auto& [k, v] : stored->boxes) d.boxes.emplace(k, v);
  }
  d.rectifiedColumns = rectifiedColumns(session, d);
  return d;
}

std::vector<declaration::CatalogueRow> storedDeclarations(Session& session, bool sent) {
  std::vector<declaration::CatalogueRow> rowsession;
  auto& db = session.database();
  data::Params p;
  std::string sql = std::string("SELECT A.doc_id_d, A.periodo, A.Formulario, A.estado, A.rectifica") +
                    (sent ? ", A.correl, A.norden, A.control, A.fec_env" : "") + " FROM " + (sent ? "HCAB" : "CAB") +
                    " A JOIN CONTRVKRS B ON B.doc_id_d = A.doc_id_d AND B.tip_doc_d = 6 "
                    "WHERE A.tip_doc_d = 6 AND A.Formulario = ?";
  p.add(session.formCode);
  if (data::TipoUsuario(db, session.user) != "0") {
    sql += " AND B.Usuario = ?";
    p.add(session.user);
  }
  sql += " ORDER BY A.periodo DESC, A.doc_id_d";
  if (sent) sql += ", CAST(A.correl AS INTEGER) DESC";
  for (const auto& r : db.rows(sql, p)) {
    declaration::CatalogueRow c;
    c.ruc = text::trim(r.text("doc_id_d"));
    c.nombre = declarantName(db, c.ruc);
    c.periodo = text::trim(r.text("periodo"));
    c.formulario = text::trim(r.text("Formulario"));
    c.estado = text::trim(r.text("estado"));
    c.rectifica = text::trim(r.text("rectifica"));
    if (sent) {
      c.correl = text::trim(r.text("correl"));
      c.norden = text::trim(r.text("norden"));
      c.control = text::trim(r.text("control"));
      c.fecEnv = text::trim(r.text("fec_env"));
    }
    rowsession.push_back(std::move(c));
  }
  return rowsession;
}

}  // namespace korventa::printouts
