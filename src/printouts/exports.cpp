#include "printouts/exports.h"

#include <cmath>
#include <ctime>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>

#include "common/dates.h"
#include "common/money.h"
#include "common/text.h"
#include "common/vb_format.h"
#include "data/param.h"
#include "detail/days_hours.h"
#include "printouts/payslip.h"
#include "printouts/workbook.h"

namespace korventa::printouts {

const std::vector<ReportEntry>& reportCatalogue() {
  static const std::vector<ReportEntry> c = {
      {20, "Formato 20: Datos de Ingresos del Trabajador", "_20_DAT.TXT"},
      {21, "Formato 21: Asignaciones y Bonificaciones del Trabajador y/o Pensionista", "_21_DAT.TXT"},
      {22, "Formato 22: Gratificaciones, Indemnizaciones, Tributos y Aportaciones del Trabajador y/o Pensionista",
       "_22_DAT.TXT"},
      {23, "Formato 23: Descuentos al Trabajador y/o Pensionista, Aportaciones de Cargo del Empleador y Otros Conceptos",
       "_23_DAT.TXT"},
      {24, "Formato 24: Conceptos Varios del Trabajador y/o Pensionista", "_24_DAT.TXT"},
      {25, "Formato 25: Bases declaradas, tributos y aportaciones", "_25_DAT.TXT"},
      {26, "Formato 26: Resumen de ingresos, tributos y descuentos", "_26_DAT.TXT"},
      {27, "Boleta de Pago", ""},
      {28, "Formato 28: Trabajadores - Días Laborados / Horas Trabajadas / SCTR", "_28_DAT.TXT"},
      {29, "Formato 29: Trabajadores - Días no laborados", "_29_DAT.TXT"},
      {30, "Formato 30: Trabajadores - Períodos Subsidiados", "_30_DAT.TXT"},
      {31, "Formato 31: Trabajadores - Establecimientos", "_31_DAT.TXT"},
      {32, "Formato 32: Cuarta Categoría - Recibos", "_32_DAT.TXT"},
      {33, "Formato 33: P.S. Mod. Formativas - Monto subvención económica", "_33_DAT.TXT"},
      {34, "Formato 34: Personal de Terceros ", "_34_DAT.TXT"},
      {35, "Formato 35: Prestadores de Servicios - Modalidades Formativas:  Establecimientos", "_35_DAT.TXT"},
  };
  return c;
}

const ReportEntry* findReport(int number) {
  for (const auto& r : reportCatalogue())
    if (r.number == number) return &r;
  return nullptr;
}

std::string plainAmount(const std::string& stored) {
  std::string t = text::trim(stored);
  if (t.empty()) return {};
  return Money::parse(t) ? data::numberText(t) : t;
}

std::string HorasDecimal_to_HorasMinutos(const std::string& horas) {
  std::string h = detail::LeerHorasMinutos(horas, 'H');
  if (h.empty()) return {};
  std::string m = detail::LeerHorasMinutos(horas, 'M');
  return h + ":" + (m.size() < 2 ? std::string(2 - m.size(), '0') + m : m);
}

std::string SumaHorasNormalesMasSobretiempo(const std::string& normales, const std::string& sobretiempo) {
  if (text::trim(normales).empty() && text::trim(sobretiempo).empty()) return {};
  auto minutes = [](const std::string& v) -> long long {
    std::string h = detail::LeerHorasMinutos(v, 'H'), m = detail::LeerHorasMinutos(v, 'M');
    long long hh = text::isDigits(h) ? std::stoll(h) : 0, mm = text::isDigits(m) ? std::stoll(m) : 0;
    return hh * 60 + mm;
  };
  long long total = minutes(normales) + minutes(sobretiempo);
  return std::to_string(total / 60) + ":" + vbFormat(total % 60, "00");
}

std::filesystem::path exportPrefix(const std::filesystem::path& dir, const DeclarationRef& ref) {
  return dir / ((ref.sent() ? "HPE_601_" : "PE_601_") + ref.ruc);
}

std::filesystem::path workbookPath(const std::filesystem::path& dir, const DeclarationRef& ref,
                                   const std::string& stamp) {
  auto p = exportPrefix(dir, ref);
  return p.parent_path() / (p.filename().string() + "_" + stamp + "_ALL.xlsx");
}

std::string currentStamp() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[16];
  std::strftime(buf, sizeof buf, "%H%M", &tm);
  return Clock::today().yyyymmdd() + "_" + buf;
}

bool workbookAvailable() { return Workbook::available(); }

namespace {

const char* categoryCaption(long long cat) {
  switch (cat) {
    case 1: return "Trabajador";
    case 2: return "Pensionista";
    case 3: return "4ta Categoria";
    case 4: return "Personal de Terceros";
    case 5: return "Modalidad Formativa";
  }
  return "";
}

Cell textCell(std::string t) { return Cell{std::move(t), std::nullopt, false}; }

// An amount: the plain text in the file, the number in the workbook (empty when not declared).
Cell amountCell(const std::string& stored) {
  Cell c;
  c.text = plainAmount(stored);
  c.amount = true;
  if (auto m = Money::parse(text::trim(stored))) c.number = m->toDouble();
  return c;
}

// An amount formatted "###,###,###,##0.00" in the file.
Cell formattedAmount(Money m) {
  return Cell{vbFormat(m, "###,###,###,##0.00"), m.toDouble(), true};
}

Cell countCell(const std::string& stored) {
  Cell c;
  c.text = text::trim(stored);
  if (auto m = Money::parse(c.text)) c.number = m->toDouble();
  return c;
}

std::string dmy(const std::string& v) {
  auto d = Date::parseAny(text::trim(v));
  return d ? d->dmy() : text::trim(v);
}

struct PersonName {
  std::string apellidoP, apellidoM, nombre1;
};

class Ctx {
 public:
  Ctx(Session& s, const StoredDeclaration& d, const std::optional<PersonFilter>& f)
      : db(s.database()), decl(d), filter(f) {
    for (const auto& r : db.rows("SELECT tip_doc_a, doc_id_a, apellido_p, apellido_m, nombre_1 FROM ASEGVKRS "
                                 "WHERE tip_doc_d = 6 AND doc_id_d = ? ORDER BY cod_cat_tra",
                                 {d.ref.ruc})) {
      std::string key = personKey(r.integer(0), r.text(1));
      names.emplace(key, PersonName{text::trim(r.text(2)), text::trim(r.text(3)), text::trim(r.text(4))});
    }
  }

  static std::string personKey(long long tip, const std::string& doc) {
    return std::to_string(tip) + "|" + text::trim(doc);
  }

  // WHERE clause of a table of the declaration (with alias) plus the person filter.
  std::string where(const std::string& alias, data::Params& p) const {
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
  std::string table(const std::string& t) const { return tableFor(decl.ref, t); }

  // Identification cells: type, number, surnames, first name and category caption.
  std::vector<Cell> ident(long long tip, const std::string& doc, long long cat, const PersonName* fallback = nullptr) const {
    PersonName n;
    auto it = names.find(personKey(tip, doc));
    if (it != names.end()) n = it->second;
    else if (fallback) n = *fallback;
    return {textCell(std::to_string(tip)), textCell(text::trim(doc)), textCell(n.apellidoP), textCell(n.apellidoM),
            textCell(n.nombre1), textCell(categoryCaption(cat))};
  }

  data::Database& db;
  const StoredDeclaration& decl;
  const std::optional<PersonFilter>& filter;
  std::map<std::string, PersonName> names;
};

const std::vector<std::string> kIdentColumns = {"Tipo", "Número", "Apellido Paterno", "Apellido Materno", "Nombres",
                                                "Categoría"};

ReportHeader header(int number, const std::string& block, std::vector<std::string> extraBlocks,
                    std::vector<std::string> columns) {
  ReportHeader h;
  h.entry = findReport(number);
  h.blocks = {"Datos del Trabajador / Pensionista", "", "", "", "", ""};
  h.blocks[0] = block;
  h.columns = kIdentColumns;
  h.columns[0] = "Documento de Identidad - Tipo";
  h.columns[1] = "Documento de Identidad - Número";
  for (auto& b : extraBlocks) h.blocks.push_back(std::move(b));
  for (auto& c : columns) h.columns.push_back(std::move(c));
  h.blocks.resize(h.columns.size());
  return h;
}

class Ticker {
 public:
  explicit Ticker(const std::function<void(long)>& tick) : tick_(tick) {}
  void operator()() {
    ++rows_;
    if (tick_ && rows_ % 250 == 0) tick_(rows_);
  }

 private:
  const std::function<void(long)>& tick_;
  long rows_ = 0;
};

// ---- Reports 20 to 24: concept amounts by group ---------------------------------------------

struct GroupInfo {
  const char* group;
  const char* total;
  const char* block;  // heading over the total; nullptr: the group's own heading
};
const GroupInfo kGroups[] = {
    {"01", "Total Ingresos", nullptr},
    {"20", "Total Ingresos Régimen Laboral Público", nullptr},
    {"02", "Total Asignaciones", nullptr},
    {"03", "Total Bonificaciones", nullptr},
    {"04", "Total Gratificaciones", "Gratificaciones /Aguinaldos"},
    {"05", "Total Indemnizaciones", "Indemnizaciones"},
    {"06", "Total Aportaciones del Trabajador", "Aportaciones del trabajador"},
    {"07", "Total Descuentos al Trabajador", "Descuentos al trabajador"},
    {"08", "Total Aportaciones a Cargo del Empleador", "Aportaciones de cargo del empleador"},
    {"10", "Total Otros Conceptos", "Otros conceptos"},
    {"09", "Total Conceptos Varios", nullptr},
};

const GroupInfo& groupInfo(const std::string& g) {
  for (const auto& i : kGroups)
    if (g == i.group) return i;
  throw std::logic_error("grupo de conceptos desconocido " + g);
}

std::vector<std::string> groupsOf(int number) {
  switch (number) {
    case 20: return {"01", "20"};
    case 21: return {"02", "03"};
    case 22: return {"04", "05", "06"};
    case 23: return {"07", "08", "10"};
    case 24: return {"09"};
  }
  return {};
}

std::string conceptDescription(data::Database& db, const std::string& ruc, const std::string& code) {
  std::string d = db.text("SELECT Descripc FROM CONCEPTOS_REM WHERE Codigo = ?", {code});
  if (text::trim(d).empty())
    d = db.text("SELECT desc_concepto FROM conceptos_remu WHERE tip_doc_d = 6 AND doc_id_d = ? AND cod_concepto = ?",
                {ruc, code});
  return text::trim(d);
}

// Goes through concept rows ordered by person: `row` for each of them, then `done` with the
// person once the person's rows are over.
void byPerson(const std::vector<data::Row>& rows, const std::function<void(const data::Row&)>& row,
              const std::function<void(long long tip, const std::string& doc, long long cat)>& done) {
  std::string currentKey, doc;
  long long tip = 0, cat = 0;
  for (const auto& r : rows) {
    std::string key = r.text("tip_doc_a") + "|" + text::trim(r.text("doc_id_a")) + "|" + r.text("correl_a") + "|" +
                      r.text("cod_cat_tra");
    if (key != currentKey) {
      if (!currentKey.empty()) done(tip, doc, cat);
      currentKey = key;
      tip = r.integer("tip_doc_a");
      doc = r.text("doc_id_a");
      cat = r.integer("cod_cat_tra");
    }
    row(r);
  }
  if (!currentKey.empty()) done(tip, doc, cat);
}

void conceptReport(Ctx& c, int number, ReportSink& sink, Ticker& tick) {
  auto groups = groupsOf(number);
  // The concepts the declarant uses, by group, in code order.
  std::map<std::string, std::vector<std::string>> concepts;
  for (const auto& r : c.db.rows("SELECT DISTINCT TRIM(cod_concepto) FROM CON_AFEC WHERE tip_doc_d = 6 AND "
                                 "doc_id_d = ? AND substr(TRIM(cod_concepto), 3, 2) <> '00' ORDER BY 1",
                                 {c.decl.ref.ruc})) {
    std::string code = r.text(0);
    concepts[code.substr(0, 2)].push_back(code);
  }
  std::vector<std::string> blocks, columns;
  struct Column {
    std::string code;  // empty: the group's total
    std::string group;
  };
  std::vector<Column> layout;
  for (const auto& g : groups) {
    const auto& info = groupInfo(g);
    bool contributions = g == "06";
    for (const auto& code : concepts[g]) {
      blocks.push_back(code + " " + conceptDescription(c.db, c.decl.ref.ruc, code));
      blocks.push_back("");
      columns.push_back(contributions ? "Base" : "Devengado");
      columns.push_back(contributions ? "Monto" : "Pagado");
      layout.push_back({code, g});
    }
    blocks.push_back(info.block ? info.block : conceptDescription(c.db, c.decl.ref.ruc, g + "00"));
    columns.push_back(info.total);
    layout.push_back({"", g});
  }
  auto h = header(number, "Datos del Trabajador / Pensionista", blocks, columns);
  if (h.blocks.size() > kIdentColumns.size()) {
    // The concept blocks sit under "Información de Conceptos" where the first heading row has room.
    h.blocks[kIdentColumns.size()] = "Información de Conceptos - " + h.blocks[kIdentColumns.size()];
  }
  sink.begin(h);

  data::Params p;
  std::string where = c.where("", p);
  std::string in;
  for (const auto& g : groups) in += (in.empty() ? "'" : ", '") + g + "'";
  std::string sql = "SELECT tip_doc_a, doc_id_a, correl_a, cod_cat_tra, TRIM(cod_concep) AS cod, base_calculo, monto, "
                    "monto_pag FROM " + c.table("F601_REMUNERA") + " WHERE " + where +
                    " AND substr(TRIM(cod_concep), 1, 2) IN (" + in + ") AND substr(TRIM(cod_concep), 3, 2) <> '00' "
                    "ORDER BY tip_doc_a, doc_id_a, correl_a, cod_cat_tra, cod";
  struct Amounts {
    std::string a, b;
  };
  std::map<std::string, Amounts> values;
  bool anyAmount = false;
  auto flush = [&](long long tip, const std::string& doc, long long cat) {
    // A person whose rows in the report's groups carry no amount (only bases, say) has nothing
    // to report.
    if (!anyAmount) return;
    auto cells = c.ident(tip, doc, cat);
    std::map<std::string, Money> totals;
    std::set<std::string> declared;
    for (const auto& col : layout) {
      if (col.code.empty()) {
        cells.push_back(declared.count(col.group) ? amountCell(totals[col.group].toText(2)) : amountCell(""));
        continue;
      }
      auto it = values.find(col.code);
      Amounts v = it == values.end() ? Amounts{} : it->second;
      cells.push_back(amountCell(v.a));
      cells.push_back(amountCell(v.b));
      // The total of a group: what was paid; a concept with no paid amount, such as an employer's
      // contribution, counts with its accrued amount. Group 06 adds its contribution amounts
      // only: its first column is the base, which is no amount of the worker's.
      const std::string& counted = col.group == "06" || !text::trim(v.b).empty() ? v.b : v.a;
      if (!text::trim(counted).empty()) {
        totals[col.group] += Money::value(counted);
        declared.insert(col.group);
      }
    }
    sink.row(cells);
    tick();
  };
  byPerson(
      c.db.rows(sql, p),
      [&](const data::Row& r) {
        std::string code = r.text("cod");
        bool contributions = code.substr(0, 2) == "06";
        values[code] = contributions ? Amounts{r.text("base_calculo"), r.text("monto")}
                                     : Amounts{r.text("monto"), r.text("monto_pag")};
        if (!text::trim(values[code].a).empty() || !text::trim(values[code].b).empty()) anyAmount = true;
      },
      [&](long long tip, const std::string& doc, long long cat) {
        flush(tip, doc, cat);
        values.clear();
        anyAmount = false;
      });
  sink.end();
}

// ---- Report 25: bases and contributions -----------------------------------------------------

// Concept amounts of persons, for the columns that come from concept rows.
using ConceptMap = std::map<std::string, std::map<std::string, std::pair<std::string, std::string>>>;

ConceptMap conceptsOf(Ctx& c, const std::vector<std::string>& codes) {
  ConceptMap m;
  data::Params p;
  std::string where = c.where("", p);
  std::string in;
  for (const auto& code : codes) in += (in.empty() ? "'" : ", '") + code + "'";
  for (const auto& r : c.db.rows("SELECT tip_doc_a, doc_id_a, correl_a, TRIM(cod_concep), base_calculo, monto FROM " +
                                     c.table("F601_REMUNERA") + " WHERE " + where + " AND TRIM(cod_concep) IN (" + in +
                                     ")",
                                 p))
    m[r.text(0) + "|" + text::trim(r.text(1)) + "|" + r.text(2)][r.text(3)] = {r.text(4), r.text(5)};
  return m;
}

void report25(Ctx& c, ReportSink& sink, Ticker& tick) {
  std::vector<std::string> blocks = {"Base Imponible (B.I.) Cálculo de Aportes/ Tributos"};
  std::vector<std::string> cols = {
      "B.I. EsSalud Seguro Regular",      "Aporte Seguro Regular ",
      "B.I. EsSalud CBSSP",               "Aporte EsSalud -CBSSP",
      "B.I. Seguro Agrario / Acuicultor", "Aporte Seguro Agrario / Acuicultor",
      "B.I. SCTR (ESSALUD)",              "Aporte SCTR (ESSALUD)",
      "B.I. FDSA",                        "Aporte FDSA",
      "B.I. Pensiones (ONP) D.Ley 19990", "Aporte Pensiones (ONP) D.Ley 19990",
      "B.I. Renta 5ta. Cat.Retenciones",  "Renta 5ta. Categoria-Retenciones",
      "B.I. Seguro Regular-Retenciones",  "Aporte EsSalud - Pensionistas",
      "B.I. I.E.S",                       "Aporte I.E.S",
      "B.I. COSAP",                       "Aporte COSAP",
      "BASE FCJMMS",                      "APORTE AL FCJMMS",
      "B Cuota Frac FCJMMS",              "Cuota Frac FCJMMS",
      "Aporte SENATI",                    "Asegura tu Pensión",
      "EsSalud +Vida",                    "Aporte al SPP",
      "B.I. Declarada",                   "Retención"};
  blocks.resize(24);
  blocks.push_back("Otras Contribuciones y Aportes");
  blocks.resize(28);
  blocks.push_back("Cuarta Categoria");
  blocks.push_back("");
  sink.begin(header(25, "Datos del Trabajador / Pensionista", blocks, cols));

  auto concepts = conceptsOf(c, {"0604", "0608", "0612", "0616", "0617", "0807", "0808"});
  // Fourth-category receipts of the same persons.
  std::map<std::string, std::pair<Money, Money>> fourth;
  std::set<std::string> hasFourth;
  {
    data::Params p;
    std::string where = c.where("", p);
    for (const auto& r : c.db.rows("SELECT tip_doc_a, doc_id_a, mto_rec, mto_rta FROM " + c.table("F601RDDET") +
                                       " WHERE " + where,
                                   p)) {
      auto& f = fourth[Ctx::personKey(r.integer(0), r.text(1))];
      f.first += Money::value(r.text(2));
      f.second += Money::value(r.text(3));
    }
  }
  data::Params p;
  std::string where = c.where("", p);
  for (const auto& r : c.db.rows("SELECT * FROM " + c.table("F601_TRAB") + " WHERE " + where +
                                     " ORDER BY tip_doc_a, doc_id_a, correl_a",
                                 p)) {
    long long tip = r.integer("tip_doc_a"), cat = r.integer("cod_cat_tra");
    std::string doc = r.text("doc_id_a");
    int tipo = static_cast<int>(Money::value(r.text("Tipo")).raw() / Money::kScale);
    bool worker = cat == 1;
    auto cells = c.ident(tip, doc, cat);
    auto pair = [&](const std::string& base, const std::string& amount) {
      cells.push_back(amountCell(base));
      cells.push_back(amountCell(amount));
    };
    auto none = [&] { pair("", ""); };
    std::string remSalud = r.text("rem_salud");
    bool cbssp = worker && tipo == 36, agrario = worker && (tipo == 64 || tipo == 65);
    if (worker && !cbssp && !agrario) pair(remSalud, r.text("salud"));
    else none();
    if (cbssp) pair(remSalud, r.text("cbssp"));
    else none();
    if (agrario) pair(remSalud, r.text("salud_agrario"));
    else none();
    pair(r.text("sctr_essalud"), r.text("sctr_tributo"));
    pair(r.text("fondo_dsa"), r.text("aporte_fdsa"));
    pair(r.text("rem_pens"), r.text("pens"));
    pair(r.text("rem_afecta"), r.text("tributo"));
    if (!worker) pair(remSalud, r.text("salud"));
    else none();
    auto cm = concepts.find(r.text("tip_doc_a") + "|" + text::trim(doc) + "|" + r.text("Correl_a"));
    auto conceptOf = [&](const char* code) -> std::pair<std::string, std::string> {
      if (cm == concepts.end()) return {};
      auto it = cm->second.find(code);
      return it == cm->second.end() ? std::pair<std::string, std::string>{} : it->second;
    };
    auto ies = conceptOf("0808");
    pair(ies.first, ies.second);
    pair(r.text("rem_20530"), r.text("trib_20530"));
    // The miners' fund: the summary row, or the concept rows where the summary has none.
    auto f616 = conceptOf("0616"), f617 = conceptOf("0617");
    pair(text::trim(r.text("rem_FCJMMS")).empty() ? f616.first : r.text("rem_FCJMMS"),
         text::trim(r.text("aporte_FCJMMS")).empty() ? f616.second : r.text("aporte_FCJMMS"));
    pair(text::trim(r.text("rem_FracFCJMMS")).empty() ? f617.first : r.text("rem_FracFCJMMS"),
         text::trim(r.text("aporte_FrFCJMMS")).empty() ? f617.second : r.text("aporte_FrFCJMMS"));
    cells.push_back(amountCell(conceptOf("0807").second));
    cells.push_back(amountCell(conceptOf("0612").second));
    std::string vida = conceptOf("0604").second;
    cells.push_back(amountCell(text::trim(vida).empty() ? r.text("ipss_vida") : vida));
    cells.push_back(amountCell(conceptOf("0608").second));
    auto f = fourth.find(Ctx::personKey(tip, doc));
    if (f != fourth.end()) pair(f->second.first.toText(2), f->second.second.toText(2));
    else none();
    sink.row(cells);
    tick();
  }
  sink.end();
}

// ---- Report 26: sums by group ---------------------------------------------------------------

void report26(Ctx& c, ReportSink& sink, Ticker& tick) {
  const std::vector<std::string> groups = {"01", "02", "03", "04", "05", "09", "10", "20", "06", "07"};
  std::vector<std::string> cols = {"Total Ingresos",
                                   "Total Asignaciones",
                                   "Total Bonificaciones",
                                   "Total Gratificaciones",
                                   "Total Indemnizaciones",
                                   "Total Conceptos Varios",
                                   "Total Otros Conceptos",
                                   "Total Régimen Laboral Público",
                                   "Total Aportaciones del Trabajador/Pensionista",
                                   "Total Deducciones del Trabajador",
                                   "Neto a Pagar"};
  std::vector<std::string> blocks(cols.size());
  blocks[0] = "Detalle del Pago o Puesta a Disposición del mismo";
  sink.begin(header(26, "Datos del Trabajador / Pensionista", blocks, cols));
  data::Params p;
  std::string where = c.where("", p);
  std::string sql = "SELECT tip_doc_a, doc_id_a, correl_a, cod_cat_tra, substr(TRIM(cod_concep), 1, 2) AS grp, "
                    "monto_pag FROM " + c.table("F601_REMUNERA") + " WHERE " + where +
                    " AND substr(TRIM(cod_concep), 3, 2) <> '00' ORDER BY tip_doc_a, doc_id_a, correl_a, cod_cat_tra";
  std::map<std::string, Money> sums;
  bool anyAmount = false;
  auto flush = [&](long long tip, const std::string& doc, long long cat) {
    if (!anyAmount) return;
    auto cells = c.ident(tip, doc, cat);
    Money income, deductions;
    for (const auto& g : groups) {
      cells.push_back(formattedAmount(sums[g]));
      if (g == "06" || g == "07") deductions += sums[g];
      else income += sums[g];
    }
    cells.push_back(formattedAmount(income - deductions));
    sink.row(cells);
    tick();
  };
  byPerson(
      c.db.rows(sql, p),
      [&](const data::Row& r) {
        sums[r.text("grp")] += Money::value(r.text("monto_pag"));
        if (!text::trim(r.text("monto_pag")).empty()) anyAmount = true;
      },
      [&](long long tip, const std::string& doc, long long cat) {
        flush(tip, doc, cat);
        sums.clear();
        anyAmount = false;
      });
  sink.end();
}

std::string paramName(data::Database& db, const char* numero, const std::string& key, std::size_t len) {
  std::string f = db.text("SELECT Funcion FROM PARAM WHERE Numero = ? AND TRIM(Argumento) = ?", {numero, key});
  return text::trim(text::left(f, len));
}

// ---- Report 28: days, hours and SCTR --------------------------------------------------------

void report28(Ctx& c, ReportSink& sink, Ticker& tick) {
  std::vector<std::string> cols = {"Situación",
                                   "Días Efectivamente Laborados",
                                   "Días Subsidiados",
                                   "Días no laborados - no subsidiados",
                                   "Horas ordinarias",
                                   "Horas sobretiempo",
                                   "Total horas",
                                   "RUC",
                                   "Centro de Riesgo",
                                   "Tasa"};
  std::vector<std::string> blocks = {"", "Jornada Laboral", "", "", "Horas Trabajadas", "", "", "SCTR - ESSALUD", "", ""};
  sink.begin(header(28, "Datos del Trabajador", blocks, cols));
  std::map<std::string, std::vector<std::string>> sctr;
  {
    data::Params p;
    std::string where = c.where("", p);
    for (const auto& r : c.db.rows("SELECT tip_doc_a, doc_id_a, ruc, centro, tasa FROM " + c.table("F601_SCTR_OTRO") +
                                       " WHERE " + where + " ORDER BY rowid",
                                   p))
      sctr.emplace(Ctx::personKey(r.integer(0), r.text(1)),
                   std::vector<std::string>{text::trim(r.text(2)), text::trim(r.text(3)), text::trim(r.text(4))});
  }
  std::map<std::string, std::string> situations;
  data::Params p;
  std::string where = c.where("", p);
  for (const auto& r : c.db.rows("SELECT * FROM " + c.table("F601_TRAB") + " WHERE " + where +
                                     " AND cod_cat_tra = 1 ORDER BY tip_doc_a, doc_id_a, correl_a",
                                 p)) {
    long long tip = r.integer("tip_doc_a");
    std::string doc = r.text("doc_id_a");
    auto cells = c.ident(tip, doc, 1);
    std::string sit = text::trim(r.text("Situac"));
    auto it = situations.find(sit);
    if (it == situations.end()) it = situations.emplace(sit, paramName(c.db, "714", sit, 60)).first;
    cells.push_back(textCell(sit.empty() ? std::string() : sit + " - " + it->second));
    cells.push_back(countCell(r.text("dias_lab")));
    cells.push_back(countCell(r.text("dias_sub")));
    cells.push_back(countCell(r.text("dias_no_lab")));
    cells.push_back(textCell(HorasDecimal_to_HorasMinutos(r.text("horas_nor"))));
    cells.push_back(textCell(HorasDecimal_to_HorasMinutos(r.text("horas_sob"))));
    cells.push_back(textCell(SumaHorasNormalesMasSobretiempo(r.text("horas_nor"), r.text("horas_sob"))));
    auto s = sctr.find(Ctx::personKey(tip, doc));
    if (s != sctr.end()) {
      cells.push_back(textCell(s->second[0]));
      cells.push_back(textCell(s->second[1]));
      cells.push_back(countCell(s->second[2]));
    } else {
      for (int i = 0; i < 3; ++i) cells.push_back(textCell(""));
    }
    sink.row(cells);
    tick();
  }
  sink.end();
}

// ---- Reports 29 and 30: suspensions ----------------------------------------------------------

void suspensions(Ctx& c, int number, ReportSink& sink, Ticker& tick) {
  bool subsidised = number == 30;
  std::vector<std::string> cols, blocks;
  if (subsidised) {
    cols = {"Tipo de Suspensión", "Número del CITT",      "Fecha de Inicio",
            "Fecha de Fin",       "Días Subsidiados Mes", "Días Subsidiados CITT"};
    blocks = {"Período Subsidiado ESSALUD", "", "", "", "", ""};
  } else {
    cols = {"Tipo de días no laborados", "Fecha de Inicio", "Fecha de Fin", "Días No Laborados",
            "Total Días No Laborados"};
    blocks = {"Días No Laborados", "", "", "", ""};
  }
  sink.begin(header(number, "Datos del Trabajador", blocks, cols));
  data::Params p;
  std::string where = c.where("", p);
  std::string sql = "SELECT * FROM " + c.table("F601DIAS_NOLAB") + " WHERE " + where + " AND TRIM(tipo_suspen) " +
                    (subsidised ? "IN ('21', '22')" : "NOT IN ('21', '22')") +
                    " ORDER BY tip_doc_a, doc_id_a, correl_a, substr(fecha_ini, 7, 4) || substr(fecha_ini, 4, 2) || "
                    "substr(fecha_ini, 1, 2)";
  auto rows = c.db.rows(sql, p);
  // The total of days per person, shown on each of its lines.
  std::map<std::string, Money> totals;
  for (const auto& r : rows) totals[Ctx::personKey(r.integer("tip_doc_a"), r.text("doc_id_a"))] += Money::value(r.text("dias_no_lab"));
  std::map<std::string, std::string> types;
  for (const auto& r : rows) {
    long long tip = r.integer("tip_doc_a");
    std::string doc = r.text("doc_id_a");
    auto cells = c.ident(tip, doc, 1);
    std::string t = text::trim(r.text("tipo_suspen"));
    auto it = types.find(t);
    if (it == types.end()) it = types.emplace(t, paramName(c.db, "852", t, 60)).first;
    cells.push_back(textCell(t + " - " + it->second));
    if (subsidised) {
      cells.push_back(textCell(text::trim(r.text("num_citt"))));
      cells.push_back(textCell(dmy(r.text("fecha_ini"))));
      cells.push_back(textCell(dmy(r.text("fecha_fin"))));
      cells.push_back(countCell(r.text("dias_sub")));
      cells.push_back(countCell(r.text("dias_citt")));
    } else {
      cells.push_back(textCell(dmy(r.text("fecha_ini"))));
      cells.push_back(textCell(dmy(r.text("fecha_fin"))));
      cells.push_back(countCell(r.text("dias_no_lab")));
      cells.push_back(countCell(plainAmount(totals[Ctx::personKey(tip, doc)].toText(2))));
    }
    sink.row(cells);
    tick();
  }
  sink.end();
}

// ---- Reports 31 and 35: establishments -------------------------------------------------------

void establishments(Ctx& c, int number, ReportSink& sink, Ticker& tick) {
  bool trainees = number == 35;
  std::vector<std::string> cols = {"RUC", "Tipo Establecimiento", "Código Establecimiento",
                                   "Denominación Establecimiento"};
  std::vector<std::string> blocks = {"Establecimientos", "", "", ""};
  sink.begin(header(number, trainees ? "Datos del Prestador de Servicio Modalidad Formativa" : "Datos del Trabajador",
                    blocks, cols));
  data::Params p;
  std::string where = c.where("E", p);
  p.add(c.decl.ref.ruc);
  std::string sql = "SELECT E.tip_doc_a, E.doc_id_a, E.cod_estab, L.doc_ruc_emp, L.cod_tipest, L.nom_est FROM " +
                    c.table(trainees ? "F601_ESTABMF" : "F601_ESTAB") + " E LEFT JOIN LOCAL L ON L.tip_doc_d = 6 AND "
                    "L.doc_id_d = E.doc_id_d AND L.cod_est = E.cod_estab WHERE " + where +
                    " AND E.doc_id_d = ? ORDER BY E.tip_doc_a, E.doc_id_a, E.correl_a, E.cod_estab";
  std::map<std::string, std::string> kinds;
  for (const auto& r : c.db.rows(sql, p)) {
    auto cells = c.ident(r.integer("tip_doc_a"), r.text("doc_id_a"), trainees ? 5 : 1);
    std::string kind = text::trim(r.text("cod_tipest"));
    auto it = kinds.find(kind);
    if (it == kinds.end()) it = kinds.emplace(kind, paramName(c.db, "028", kind, 40)).first;
    cells.push_back(textCell(text::trim(r.text("doc_ruc_emp"))));
    cells.push_back(textCell(kind.empty() ? std::string() : kind + " - " + it->second));
    cells.push_back(textCell(text::trim(r.text("cod_estab"))));
    cells.push_back(textCell(text::trim(r.text("nom_est"))));
    sink.row(cells);
    tick();
  }
  sink.end();
}

// ---- Report 32: fourth-category receipts -----------------------------------------------------

std::string voucherKind(const std::string& k) {
  if (k == "R") return "RECIBO x HONORARIOS";
  if (k == "D") return "DIETA";
  if (k == "N") return "NOTA DE CREDITO";
  if (k == "O") return "OTROS";
  return k;
}

void report32(Ctx& c, ReportSink& sink, Ticker& tick) {
  std::vector<std::string> cols = {"Tipo de Comprobate", "Número de Serie",  "Número de Comprobante",
                                   "Fecha de Emisión",   "Fecha de Pago",    "Monto de Comprobante",
                                   "Tiene Retención",    "Porcentaje de Retención", "Monto Retenido"};
  std::vector<std::string> blocks(cols.size());
  sink.begin(header(32, "Datos del Prestador de Servicio", blocks, cols));
  data::Params p;
  std::string where = c.where("D", p);
  std::string sql = "SELECT D.*, C.Des_Pat, C.Des_Mat, C.Des_No1 FROM " + c.table("F601RDDET") + " D LEFT JOIN " +
                    c.table("F601RDCAB") +
                    " C ON C.tip_doc_d = D.tip_doc_d AND C.doc_id_d = D.doc_id_d AND C.periodo = D.periodo AND "
                    "C.correl_a = D.correl_a AND C.tip_retencion = D.tip_retencion AND C.tip_doc_a = D.tip_doc_a AND "
                    "C.doc_id_a = D.doc_id_a" +
                    (c.decl.ref.sent() ? " AND C.correl = D.correl" : "") + " WHERE " + where +
                    " ORDER BY D.tip_doc_a, D.doc_id_a, D.tip_retencion, D.num_ser, D.num_rec";
  for (const auto& r : c.db.rows(sql, p)) {
    PersonName own{text::trim(r.text("Des_Pat")), text::trim(r.text("Des_Mat")), text::trim(r.text("Des_No1"))};
    auto cells = c.ident(r.integer("tip_doc_a"), r.text("doc_id_a"), 3, &own);
    std::string serie = text::trim(r.text("num_ser"));
    cells.push_back(textCell(voucherKind(text::trim(r.text("tip_retencion")))));
    cells.push_back(textCell(serie == "XXX" ? std::string() : serie));
    cells.push_back(textCell(text::trim(r.text("num_rec"))));
    cells.push_back(textCell(dmy(r.text("fec_emi"))));
    cells.push_back(textCell(dmy(r.text("fec_pago"))));
    cells.push_back(formattedAmount(Money::value(r.text("mto_rec"))));
    cells.push_back(textCell(text::trim(r.text("ind_rta")) == "1" ? "SI" : "NO"));
    cells.push_back(amountCell(r.text("por_rta")));
    cells.push_back(amountCell(r.text("mto_rta")));
    sink.row(cells);
    tick();
  }
  sink.end();
}

// ---- Report 33: trainees ---------------------------------------------------------------------

void report33(Ctx& c, ReportSink& sink, Ticker& tick) {
  sink.begin(header(33, "Datos del Prestador de Servicio Modalidad Formativa", {""}, {"Monto subvención económica"}));
  data::Params p;
  std::string where = c.where("", p);
  for (const auto& r : c.db.rows("SELECT * FROM " + c.table("F601MFCAB") + " WHERE " + where +
                                     " ORDER BY tip_retencion, tip_doc_a, doc_id_a",
                                 p)) {
    PersonName own{text::trim(r.text("APELLIDO_P")), text::trim(r.text("APELLIDO_M")), text::trim(r.text("NOMBRE_1"))};
    auto cells = c.ident(r.integer("tip_doc_a"), r.text("doc_id_a"), 5, &own);
    cells.push_back(amountCell(r.text("mto_renta")));
    sink.row(cells);
    tick();
  }
  sink.end();
}

// ---- Report 34: personnel of third parties ---------------------------------------------------

void report34(Ctx& c, ReportSink& sink, Ticker& tick) {
  std::vector<std::string> cols = {"Centro de Riesgo", "Descripción", "Tasa (%)", "Base de cálculo", "SCTR ESSALUD"};
  sink.begin(header(34, "Datos del Personal de Terceros", std::vector<std::string>(cols.size()), cols));
  data::Params p;
  std::string where = c.where("S", p);
  std::string sql = "SELECT S.*, L.nom_est FROM " + c.table("F601_SCTR") +
                    " S LEFT JOIN LOCAL L ON L.tip_doc_d = 6 AND L.doc_id_d = S.doc_id_d AND L.cod_est = S.correl_centro "
                    "WHERE " + where + " ORDER BY S.tip_doc_a, S.doc_id_a, S.correl_a";
  for (const auto& r : c.db.rows(sql, p)) {
    auto cells = c.ident(r.integer("tip_doc_a"), r.text("doc_id_a"), 4);
    cells.push_back(textCell(text::trim(r.text("centro"))));
    cells.push_back(textCell(text::trim(r.text("nom_est"))));
    cells.push_back(amountCell(r.text("tasa")));
    cells.push_back(amountCell(r.text("rem_sctrs")));
    cells.push_back(amountCell(r.text("sctrs")));
    sink.row(cells);
    tick();
  }
  sink.end();
}

// ---- Sinks ---------------------------------------------------------------------------------

class TextSink : public ReportSink {
 public:
  TextSink(std::filesystem::path path, TextEncoding encoding, std::size_t& replaced)
      : path_(std::move(path)), encoding_(encoding), replaced_(replaced) {}
  void begin(const ReportHeader&) override {
    out_.open(path_, std::ios::binary | std::ios::trunc);
    if (!out_) throw std::runtime_error("No se puede crear " + path_.string());
  }
  void row(const std::vector<Cell>& cells) override {
    std::string line;
    for (const auto& c : cells) {
      for (char ch : c.text) line += ch == '|' ? ' ' : ch;  // a "|" in a name would shift the fields
      line += '|';
    }
    line = encodeText(line, encoding_, replaced_) + "\r\n";
    out_.write(line.data(), static_cast<std::streamsize>(line.size()));
  }
  void end() override {
    out_.close();
    if (!out_) throw std::runtime_error("No se pudo escribir " + path_.string());
  }

 private:
  std::filesystem::path path_;
  TextEncoding encoding_;
  std::size_t& replaced_;
  std::ofstream out_;
};

class Tee : public ReportSink {
 public:
  void add(ReportSink* s) { sinks_.push_back(s); }
  void begin(const ReportHeader& h) override {
    for (auto* s : sinks_) s->begin(h);
  }
  void row(const std::vector<Cell>& cells) override {
    for (auto* s : sinks_) s->row(cells);
  }
  void end() override {
    for (auto* s : sinks_) s->end();
  }

 private:
  std::vector<ReportSink*> sinks_;
};

// One sheet per report: title, declaration data, two heading rows, the rows.
class SheetSink : public ReportSink {
 public:
  SheetSink(Workbook& wb, const StoredDeclaration& d) : wb_(wb), d_(d) {}
  void begin(const ReportHeader& h) override {
    wb_.addSheet("Formato " + std::to_string(h.entry->number));
    wb_.setColumnWidths(static_cast<int>(h.columns.size()));
    wb_.writeTitle(0, 0, h.entry->title);
    wb_.writeText(2, 0, "RUC: ");
    wb_.writeText(2, 1, d_.ref.ruc);
    wb_.writeText(3, 0, "Nombre, denominación o Razón Social: ");
    wb_.writeText(3, 1, d_.nombre);
    wb_.writeText(4, 0, "Período Tributario: ");
    wb_.writeText(4, 1, periodToDisplay(d_.ref.periodo));
    wb_.writeText(5, 0, "Numero de Orden: ");
    wb_.writeText(5, 1, d_.norden);
    for (std::size_t i = 0; i < h.columns.size(); ++i) {
      if (i < h.blocks.size() && !h.blocks[i].empty()) wb_.writeHeading(7, static_cast<int>(i), h.blocks[i]);
      wb_.writeHeading(8, static_cast<int>(i), h.columns[i]);
    }
    row_ = 9;
  }
  void row(const std::vector<Cell>& cells) override {
    for (std::size_t i = 0; i < cells.size(); ++i) {
      const auto& c = cells[i];
      if (c.number && c.amount) wb_.writeAmount(row_, static_cast<int>(i), *c.number);
      else if (c.number) wb_.writeNumber(row_, static_cast<int>(i), *c.number);
      else if (!c.text.empty()) wb_.writeText(row_, static_cast<int>(i), c.text);
    }
    ++row_;
  }
  void end() override {}

 private:
  Workbook& wb_;
  const StoredDeclaration& d_;
  int row_ = 0;
};

}  // namespace

void writeReport(Session& session, const StoredDeclaration& decl, int number, ReportSink& sink,
                 const std::optional<PersonFilter>& filter, const std::function<void(long)>& tickFn) {
  Ctx c(session, decl, filter);
  Ticker tick(tickFn);
  switch (number) {
    case 20: case 21: case 22: case 23: case 24: conceptReport(c, number, sink, tick); break;
    case 25: report25(c, sink, tick); break;
    case 26: report26(c, sink, tick); break;
    case 28: report28(c, sink, tick); break;
    case 29: case 30: suspensions(c, number, sink, tick); break;
    case 31: case 35: establishments(c, number, sink, tick); break;
    case 32: report32(c, sink, tick); break;
    case 33: report33(c, sink, tick); break;
    case 34: report34(c, sink, tick); break;
    default: throw std::invalid_argument("Formato " + std::to_string(number) + " no se exporta");
  }
}

ExportResult generateReports(Session& session, const StoredDeclaration& decl, const ExportRequest& request,
                             const ExportProgress* progress) {
  ExportResult result;
  std::vector<const ReportEntry*> chosen;
  for (const auto& entry : reportCatalogue())
    if (!entry.suffix.empty() &&
        std::find(request.formats.begin(), request.formats.end(), entry.number) != request.formats.end())
      chosen.push_back(&entry);
  std::filesystem::path wbPath;
  try {
    std::error_code ec;
    std::filesystem::create_directories(request.dir, ec);
    std::unique_ptr<Workbook> wb;
    if (request.workbook) {
      wbPath = workbookPath(request.dir, decl.ref, request.stamp.empty() ? currentStamp() : request.stamp);
      wb = std::make_unique<Workbook>(wbPath);
    }
    auto prefix = exportPrefix(request.dir, decl.ref);
    int index = 0;
    for (const auto* entry : chosen) {
      if (progress && progress->tick) progress->tick(index, static_cast<int>(chosen.size()), entry->title, 0);
      Tee tee;
      std::unique_ptr<TextSink> text;
      std::unique_ptr<SheetSink> sheet;
      if (request.text) {
        auto path = prefix.parent_path() / (prefix.filename().string() + entry->suffix);
        text = std::make_unique<TextSink>(path, request.encoding, result.replaced);
        tee.add(text.get());
        result.textFiles.push_back(path);
      }
      if (wb) {
        sheet = std::make_unique<SheetSink>(*wb, decl);
        tee.add(sheet.get());
      }
      std::function<void(long)> tick;
      if (progress && progress->tick)
        tick = [&, i = index](long rows) { progress->tick(i, static_cast<int>(chosen.size()), entry->title, rows); };
      writeReport(session, decl, entry->number, tee, request.filter, tick);
      ++index;
    }
    if (wb) {
      if (!wb->close()) {
        std::string shown = wbPath.string();
        shown = shown.substr(0, shown.size() - std::string("_ALL.xlsx").size());
        session.msg().show("El archivo " + shown +
                               "_ALL.xlsx está siendo utilizado. Cerrar el archivo y volver a generar el reporte.",
                           "Error", MsgIcon::Critical);
        return result;
      }
      result.workbook = wbPath;
    }
  } catch (const std::exception&) {
    session.msg().show("No se pudieron generar los reportes.", "Error", MsgIcon::Critical);
    return result;
  }
  result.ok = true;
  return result;
}

void showReportsDone(Session& session, const ExportResult& result) {
  std::string note = replacedNote(result.replaced);
  session.msg().show("Se terminaron de generar los reportes solicitados." + (note.empty() ? note : "\n" + note),
                     "Mensaje", MsgIcon::Information);
}

FrmReportes::FrmReportes(Session& session, bool sent) : s_(session), sent_(sent) {}

std::vector<std::string> FrmReportes::columns() const {
  std::vector<std::string> c = {"RUC", "Razón Social", "Periodo"};
  if (sent_) c.push_back("Correl");
  return c;
}

std::vector<std::string> FrmReportes::cells(const declaration::CatalogueRow& r) const {
  std::vector<std::string> c = {r.ruc, r.nombre, periodToDisplay(r.periodo)};
  if (sent_) c.push_back(r.correl);
  return c;
}

const std::vector<declaration::CatalogueRow>& FrmReportes::requery() {
  rows_ = storedDeclarations(s_, sent_);
  return rows_;
}

std::optional<StoredDeclaration> FrmReportes::declarationAt(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return std::nullopt;
  const auto& r = rows_[static_cast<std::size_t>(row)];
  return readDeclaration(s_, {r.ruc, r.periodo, sent_ ? r.correl : std::string()});
}

ExportResult FrmReportes::cmdAccion(int row, const ExportRequest& request, const ExportProgress* progress) {
  payslipReport.reset();
  if (request.formats.empty()) {
    s_.msg().show("Debe seleccionar por lo menos uno de los reportes que generar.", "Error", MsgIcon::Critical);
    return {};
  }
  bool onlyPayslips = std::all_of(request.formats.begin(), request.formats.end(), [](int n) { return n == 27; });
  if (!onlyPayslips && !request.text && !request.workbook) {
    s_.msg().show("Debe seleccionar por lo menos un modo de salida para los reportes.", "Error", MsgIcon::Critical);
    return {};
  }
  auto d = declarationAt(row);
  if (!d) return {};
  ExportResult result;
  result.ok = true;
  if (!onlyPayslips) result = generateReports(s_, *d, request, progress);
  if (!result.ok) return result;
  if (std::find(request.formats.begin(), request.formats.end(), 27) != request.formats.end())
    payslipReport = producePayslips(s_, *d);
  showReportsDone(s_, result);
  return result;
}

}  // namespace korventa::printouts
