#include "printouts/payslip.h"

#include <functional>
#include <map>

#include "common/dates.h"
#include "common/money.h"
#include "common/text.h"
#include "common/vb_format.h"
#include "printouts/exports.h"
#include "reports/spool.h"

namespace korventa::printouts {
namespace {

using reports::ReportWriter;

struct ConceptLine {
  std::string code, description, ingreso, descuento, aporte;
  bool heading = false;
};

struct Statement {
  long long cat = 1;
  std::string apellidoP, apellidoM, nombres, codigo, tipDoc, doc, tipo, fecIng, correo, afp, cuspp;
  std::string diasLab, diasNoLab, diasSub, horasNor, horasSob;
  std::vector<ConceptLine> lines;
  Money ingresos, descuentos, aportes;
  int pages() const {
    return std::max<int>(1, static_cast<int>((lines.size() + kPayslipRowsPerPage - 1) / kPayslipRowsPerPage));
  }
};

std::string afpName(long long pension) {
  switch (pension) {
    case 21:
      return "INTEGRA";
    case 22:
      return "HORIZONTE";
    case 23:
      return "PROFUTURO";
    case 24:
      return "PRIMA";
  }
  return {};
}

std::string isoDmy(const std::string& v) {
  auto d = Date::parseAny(v);
  return d ? d->dmy() : v;
}

std::string money(Money m) {
  return text::padLeft(vbFormat(m, "###,###,##0.00"), 14);
}

class Page {
 public:
  Page(ReportWriter& w, int page) : w_(w), index_(std::to_string(page - 1)) {}
  void pos(int x, int y, const std::string& t, bool bold = false, int size = 8) {
    w_.ImprimeLinea("pPos|" + std::to_string(x) + "|" + std::to_string(y) + "|" + reports::commandText(t) + "|" +
                    (bold ? "True" : "False") + "|" + std::to_string(size) + "|" + index_ + "|");
  }
  void box(int x1, int y1, int x2, int y2) {
    w_.ImprimeLinea("pCuadro|" + std::to_string(x1) + "|" + std::to_string(y1) + "|" + std::to_string(x2) + "|" +
                    std::to_string(y2) + "|" + index_ + "|");
  }
  // A row of labelled boxes: label in bold at the top, value below.
  void fields(int y, const std::vector<std::pair<int, int>>& xs,
              const std::vector<std::pair<std::string, std::string>>& f) {
    for (std::size_t i = 0; i < xs.size() && i < f.size(); ++i) {
      box(xs[i].first, y, xs[i].second, y + 480);
      pos(xs[i].first + 60, y + 30, f[i].first, true, 7);
      pos(xs[i].first + 60, y + 250, f[i].second, false, 8);
    }
  }

 private:
  ReportWriter& w_;
  std::string index_;
};

// What the registry holds on the declarant's persons, read once for all statements: names by
// person and category, codes by person, the latest date of entry by person and category.
struct Registry {
  using Key = std::pair<long long, long long>;  // correl_a, cod_cat_tra
  std::map<Key, data::Row> names;
  std::map<long long, data::Row> codes;
  std::map<Key, std::string> entered;

  Registry(data::Database& db, const std::string& ruc) {
    for (auto& r : db.rows("SELECT correl_a, cod_cat_tra, apellido_p, apellido_m, nombre_1, Nombre_2 FROM ASEGVKRS "
                           "WHERE tip_doc_d = 6 AND doc_id_d = ?",
                           {ruc}))
      names.emplace(Key{r.integer(0), r.integer(1)}, std::move(r));
    for (auto& r : db.rows("SELECT Correl, cod_trabajador, correo, cuspp FROM COMP WHERE tip_doc_d = 6 AND "
                           "doc_id_d = ?",
                           {ruc}))
      codes.emplace(r.integer(0), std::move(r));
    for (auto& r : db.rows("SELECT correl_a, cod_cat_tra, max(fec_ini) FROM PERIODOLAB WHERE tip_doc_d = 6 AND "
                           "doc_id_d = ? GROUP BY correl_a, cod_cat_tra",
                           {ruc}))
      entered.emplace(Key{r.integer(0), r.integer(1)}, r.text(2));
  }
};

// The person of a statement: names, codes, date of entry, type, pension system, days and hours.
void readPerson(data::Database& db, const Registry& reg, const data::Row& r, long long correl, Statement& s,
                std::map<std::string, std::string>& tipos) {
  if (auto a = reg.names.find({correl, s.cat}); a != reg.names.end()) {
    s.apellidoP = text::trim(a->second.text(2));
    s.apellidoM = text::trim(a->second.text(3));
    s.nombres = text::trim(text::trim(a->second.text(4)) + " " + text::trim(a->second.text(5)));
  }
  if (auto c = reg.codes.find(correl); c != reg.codes.end()) {
    s.codigo = text::trim(c->second.text(1));
    s.correo = text::trim(c->second.text(2));
    s.cuspp = text::trim(c->second.text(3));
  }
  auto e = reg.entered.find({correl, s.cat});
  s.fecIng = isoDmy(e == reg.entered.end() ? std::string() : text::trim(e->second));
  std::string tipo = text::trim(r.text("Tipo"));
  auto ti = tipos.find(tipo);
  if (ti == tipos.end())
    ti = tipos
             .emplace(tipo, text::trim(text::left(db.text("SELECT Funcion FROM PARAM WHERE Numero = '700' AND "
                                                          "TRIM(Argumento) = ?",
                                                          {tipo}),
                                                  40)))
             .first;
  s.tipo = tipo.empty() ? std::string() : tipo + " " + ti->second;
  s.afp = afpName(r.integer("pension"));
  s.diasLab = text::trim(r.text("dias_lab"));
  s.diasNoLab = text::trim(r.text("dias_no_lab"));
  s.diasSub = text::trim(r.text("dias_sub"));
  s.horasNor = HorasDecimal_to_HorasMinutos(r.text("horas_nor"));
  s.horasSob = HorasDecimal_to_HorasMinutos(r.text("horas_sob"));
}

// The concept lines of a statement in their sections: income, deductions, the worker's
// (pensioner's) contributions, the employer's.
void addConceptLines(Statement& s, const std::vector<data::Row>& concepts,
                     const std::function<std::string(const std::string&)>& description) {
  std::vector<ConceptLine> income, deductions, own, employer;
  for (const auto& c : concepts) {
    std::string code = c.text("cod"), g = code.substr(0, 2);
    std::string paid = text::trim(c.text("monto_pag")).empty() ? c.text("monto") : c.text("monto_pag");
    std::string amount = g == "06" || g == "08" ? c.text("monto") : paid;
    if (text::trim(amount).empty()) continue;
    Money m = Money::value(amount);
    ConceptLine l{code, description(code), {}, {}, {}};
    if (g == "08") {
      l.aporte = money(m);
      s.aportes += m;
      employer.push_back(l);
    } else if (g == "06" || g == "07") {
      l.descuento = money(m);
      s.descuentos += m;
      (g == "06" ? own : deductions).push_back(l);
    } else {
      l.ingreso = money(m);
      s.ingresos += m;
      income.push_back(l);
    }
  }
  auto section = [&](const char* title, std::vector<ConceptLine>& v) {
    if (v.empty()) return;
    ConceptLine h;
    h.description = title;
    h.heading = true;
    s.lines.push_back(h);
    for (auto& l : v) s.lines.push_back(std::move(l));
  };
  section("Ingresos", income);
  section("Descuentos", deductions);
  section(s.cat == 2 ? "Aportes Pensionista" : "Aportes Trabajador", own);
  section("Aportes Empleador", employer);
}

std::vector<Statement> readStatements(Session& session, const StoredDeclaration& d) {
  auto& db = session.database();
  auto key = keyFilter(d.ref);
  data::Params p;
  for (const auto& v : key.params) p.add(v);
  std::map<std::string, std::string> tipos;
  // Concepts by person.
  std::map<std::string, std::vector<data::Row>> concepts;
  for (auto& r : db.rows("SELECT tip_doc_a, doc_id_a, correl_a, cod_cat_tra, TRIM(cod_concep) AS cod, monto, monto_pag "
                         "FROM " +
                             tableFor(d.ref, "F601_REMUNERA") + " WHERE " + key.where +
                             " AND substr(TRIM(cod_concep), 3, 2) <> '00' ORDER BY cod",
                         p))
    concepts[r.text("correl_a") + "|" + r.text("cod_cat_tra")].push_back(std::move(r));
  std::map<std::string, std::string> descriptions;
  auto description = [&](const std::string& code) {
    auto it = descriptions.find(code);
    if (it != descriptions.end()) return it->second;
    std::string t = text::trim(db.text("SELECT Descripc FROM CONCEPTOS_REM WHERE Codigo = ?", {code}));
    if (t.empty())
      t =
          text::trim(db.text("SELECT desc_concepto FROM conceptos_remu WHERE tip_doc_d = 6 AND doc_id_d = ? AND "
                             "cod_concepto = ?",
                             {d.ref.ruc, code}));
    return descriptions[code] = t;
  };

  const Registry registry(db, d.ref.ruc);
  std::vector<Statement> out;
  for (const auto& r : db.rows("SELECT * FROM " + tableFor(d.ref, "F601_TRAB") + " WHERE " + key.where +
                                   " AND cod_cat_tra IN (1, 2) ORDER BY tip_doc_a, doc_id_a, Correl_a",
                               p)) {
    Statement s;
    s.cat = r.integer("cod_cat_tra");
    long long correl = r.integer("Correl_a");
    s.tipDoc = r.text("tip_doc_a");
    s.doc = text::trim(r.text("doc_id_a"));
    readPerson(db, registry, r, correl, s, tipos);

    addConceptLines(s, concepts[std::to_string(correl) + "|" + std::to_string(s.cat)], description);
    s.tipDoc = vbFormat(static_cast<long long>(r.integer("tip_doc_a")), "00");
    out.push_back(std::move(s));
  }
  return out;
}

void statementPage(ReportWriter& w, const StoredDeclaration& d, const Statement& s, const std::string& regimen,
                   int page, std::size_t from, bool last) {
  Page c(w, page);
  c.pos(4100, 400, "Boleta de Pago", true, 14);
  c.pos(400, 900, "RUC: " + d.ref.ruc, true, 8);
  c.pos(400, 1150, "Nombre, denominación o razón social: " + d.nombre, true, 8);
  c.pos(400, 1400, "Período Tributario: " + periodToDisplay(d.ref.periodo), true, 8);
  c.fields(1800, {{300, 2975}, {2975, 5650}, {5650, 8325}, {8325, 11000}},
           {{"Apellido Paterno", s.apellidoP},
            {"Apellido Materno", s.apellidoM},
            {"Nombres", s.nombres},
            {s.cat == 2 ? "Código del Pensionista" : "Cód. Trabajador", s.codigo}});
  c.fields(2280, {{300, 2440}, {2440, 4580}, {4580, 6720}, {6720, 8860}, {8860, 11000}},
           {{"Tipo Docum.", s.tipDoc},
            {"Número Documento", s.doc},
            {"Rég. Laboral", regimen},
            {"Tipo de Trabajador", text::left(s.tipo, 20)},
            {"Fec.Ing./Reing.", s.fecIng}});
  c.fields(2760, {{300, 4900}, {4900, 7900}, {7900, 11000}},
           {{"Correo electrónico", s.correo}, {"AFP", s.afp}, {"CUSPP", s.cuspp}});
  c.fields(3240, {{300, 2440}, {2440, 4580}, {4580, 6720}, {6720, 8860}, {8860, 11000}},
           {{"Días Laborados", s.diasLab},
            {"Días No Laborados", s.diasNoLab},
            {"Días Subsidiados", s.diasSub},
            {"Horas Ordinarias", s.horasNor},
            {"Horas Sobretiempo", s.horasSob}});
  int top = 3900;
  c.box(300, top, 11000, top + 280);
  c.pos(350, top + 40, "Código", true, 8);
  c.pos(1200, top + 40, "Conceptos", true, 8);
  c.pos(5850, top + 40, "Ingresos S/.", true, 8);
  c.pos(7250, top + 40, "Descuentos S/.", true, 8);
  c.pos(8750, top + 40, "Aportes Empleador S/.", true, 8);
  int y = top + 330;
  std::size_t end = std::min(s.lines.size(), from + kPayslipRowsPerPage);
  for (std::size_t i = from; i < end; ++i) {
    const auto& l = s.lines[i];
    if (l.heading) {
      c.pos(1200, y, l.description, true, 8);
    } else {
      c.pos(350, y, l.code, false, 8);
      c.pos(1200, y, text::left(l.description, 45), false, 8);
      c.pos(5700, y, l.ingreso, false, 8);
      c.pos(7200, y, l.descuento, false, 8);
      c.pos(8900, y, l.aporte, false, 8);
    }
    y += 220;
  }
  int bottom = top + 330 + kPayslipRowsPerPage * 220;
  c.box(300, top, 11000, bottom);
  if (last) {
    int t = bottom + 100;
    c.box(300, t, 11000, t + 920);
    c.pos(1200, t + 50, "Total Ingresos", true, 8);
    c.pos(5700, t + 50, money(s.ingresos), true, 8);
    c.pos(1200, t + 270, "Total Descuentos", true, 8);
    c.pos(7200, t + 270, money(s.descuentos), true, 8);
    c.pos(1200, t + 490, "Total Aportes Empleador", true, 8);
    c.pos(8900, t + 490, money(s.aportes), true, 8);
    c.pos(1200, t + 710, "Neto a Pagar", true, 8);
    c.pos(5700, t + 710, money(s.ingresos - s.descuentos), true, 8);
  }
}

}  // namespace

int writePayslips(Session& session, ReportWriter& w, const StoredDeclaration& decl, Progress& progress) {
  progress.step(steps::kPayStatements);
  auto statements = readStatements(session, decl);
  int pages = 0;
  for (const auto& s : statements) pages += s.pages();
  std::string regimen =
      text::trim(session.database().text("SELECT Ind_RegimenLab FROM CONTRVKRS WHERE tip_doc_d = 6 AND doc_id_d = ?",
                                         {decl.ref.ruc})) == "2"
          ? "PÚBLICO"
          : "PRIVADO";
  w.ImprimeLinea("<!font!>Courier New<!/font!>");
  w.ImprimeLinea("<!fontsize!>8<!/fontsize!>");
  w.ImprimeLinea("<!Orientacion!>V<!/Orientacion!>");
  w.ImprimeLinea("<!Color!>&H80000005&<!/Color!>");
  w.ImprimeLinea("<!nHojas!>" + std::to_string(pages) + "<!/nHojas!>");
  int page = 1;
  const auto total = static_cast<long long>(statements.size());
  long long done = 0;
  for (const auto& s : statements) {
    progress.tick(done++, total);
    int n = s.pages();
    for (int i = 0; i < n; ++i) {
      if (page > 1) w.ImprimeLinea("pNuevaHoja");
      statementPage(w, decl, s, regimen, page, static_cast<std::size_t>(i) * kPayslipRowsPerPage, i == n - 1);
      ++page;
    }
  }
  progress.advance(total, total);
  return pages;
}

std::filesystem::path producePayslips(Session& session, const StoredDeclaration& decl, Progress& progress) {
  reports::SpoolReport report(session, "PR0045", 6, decl.ref.ruc);
  writePayslips(session, report.writer(), decl, progress);
  return report.commit();
}

}  // namespace korventa::printouts
