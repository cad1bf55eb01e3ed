#include "printouts/declaration_printout.h"

#include <fstream>
#include <map>

#include "common/dates.h"
#include "common/money.h"
#include "common/text.h"
#include "common/vb_format.h"
#include "data/db_errors.h"
#include "detail/eps_credit.h"
#include "reports/spool.h"

namespace korventa::printouts {
namespace {

using reports::ReportWriter;

constexpr const char* kAmount = "#######0.00;(#######0.00)";

std::string fmtAmount(const std::string& v) {
  if (text::trim(v).empty()) return {};
  auto m = Money::parse(v);
  return m ? vbFormat(*m, kAmount) : text::trim(v);
}

std::string fmtCount(const std::string& v) {
  auto m = Money::parse(v);
  return vbFormat(m ? *m : Money(), "######0");
}

std::string monthYear(const std::string& periodo, const std::string& sep) {
  return periodMonth(periodo) + sep + periodYear(periodo);
}

std::string dmy(const std::string& v) {
  auto d = Date::parseAny(text::trim(v));
  return d ? d->dmy() : text::trim(v);
}

// Commands of one page, each ending with the page index (page number - 1).
class PageCommands {
 public:
  PageCommands(ReportWriter& w, int page) : w_(w), index_(std::to_string(page - 1)) {}
  void pos(int x, int y, const std::string& t, bool bold, int size) {
    w_.ImprimeLinea("pPos|" + std::to_string(x) + "|" + std::to_string(y) + "|" + reports::commandText(t) + "|" +
                    (bold ? "True" : "False") + "|" + std::to_string(size) + "|" + index_ + "|");
  }
  void box(int x1, int y1, int x2, int y2) {
    w_.ImprimeLinea("pCuadro|" + std::to_string(x1) + "|" + std::to_string(y1) + "|" + std::to_string(x2) + "|" +
                    std::to_string(y2) + "|" + index_ + "|");
  }

 private:
  ReportWriter& w_;
  std::string index_;
};

// The employer's name in its box (4600–9250, written from 4720). Courier is 0.6 em wide, so a
// character of p points takes p × 12 twips; a twentieth more is kept for the screen, whose
// font sizes round up to whole pixels, and 60 twips before the box's right side. A long name
// is written smaller rather than cut; only a name too long at 6 points loses its end.
std::pair<std::string, int> employerNameInBox(const std::string& name) {
  constexpr int kRoom = 9250 - 60 - 4720;
  auto fits = [](int size) { return static_cast<std::size_t>(kRoom / (size * 12 * 1.05)); };
  std::size_t n = text::length(name);
  for (int size : {8, 7, 6})
    if (n <= fits(size)) return {name, size};
  return {text::left(name, fits(6)), 6};
}

// ReporteCab600.
void ReporteCab600(ReportWriter& w, const StoredDeclaration& d, int page, int pages) {
  PageCommands c(w, page);
  c.pos(300, 350, "ZUMAR", true, 14);
  c.pos(300, 750, "DECLARACION", false, 8);
  c.pos(550, 1100, "PAGO", false, 8);
  c.pos(550, 1330, "601", true, 12);
  c.box(150, 300, 1700, 1640);
  c.pos(6800, 400, "KORVENTA", true, 8);
  c.pos(3600, 750, "RETENCIONES Y/O APORTACIONES A LAS REMUNERACIONES", true, 8);
  c.box(1700, 300, 13500, 1640);
  // Identification row.
  c.box(3500, 1100, 12900, 1370);
  c.pos(1750, 1120, "RUC", true, 8);
  c.box(1700, 1100, 2200, 1370);
  c.pos(2300, 1120, d.ref.ruc, false, 8);
  c.box(2200, 1100, 3500, 1370);
  c.pos(3600, 1120, "EMPLEADOR", true, 8);
  auto [name, nameSize] = employerNameInBox(d.nombre);
  c.pos(4720, 1120, name, false, nameSize);
  c.box(4600, 1100, 9250, 1370);
  c.pos(9450, 1120, "PER.TRIB.", true, 8);
  c.pos(10700, 1120, monthYear(d.ref.periodo, " / "), false, 8);
  c.box(10500, 1100, 11850, 1370);
  c.pos(11900, 1120, "RECTIFICA", true, 8);
  c.pos(13000, 1120, d.rectifica ? "SI" : "NO", false, 8);
  c.box(11850, 1100, 13500, 1370);
  c.pos(13600, 1120,
        "Pag. " + vbFormat(static_cast<long long>(page), "00") + "/" + vbFormat(static_cast<long long>(pages), "00"),
        false, 8);
  // Right block.
  c.pos(13600, 400, "Copia para el", false, 8);
  c.pos(13600, 700, "Contribuyente", false, 8);
  c.box(13500, 300, 15300, 1100);
  c.box(13500, 1100, 15300, 1640);
  // Bottom row.
  c.pos(230, 1700, "Nro. Control: " + d.control, false, 8);
  c.box(150, 1640, 2700, 1950);
  c.pos(13250, 1700, "Nro. Orden: " + d.norden, false, 8);
  c.box(13200, 1640, 15300, 1950);
  if (d.rectifica && !d.rectifiedColumns.empty()) {
    std::string joined;
    for (const auto& col : d.rectifiedColumns) joined += (joined.empty() ? "" : "-") + col;
    c.pos(2800, 1700, "CONCEPTOS A LOS QUE RECTIFICA: " + joined, false, 8);
  }
}

// A block of the determination grid.
struct GridRow {
  const char* label;
  std::vector<const char*> boxes;  // one per column, "" when the column has no such box
};
struct GridBlock {
  std::vector<std::pair<const char*, const char*>> headings;  // two lines per column
  std::vector<GridRow> rows;
};

const std::vector<const char*> kRowLabels = {
    "Base Imponible",         "Impuesto Resultante",       "Compensaciones",
    "Crédito EPS(Ley 26790)", "Crédito EPS Per.Anterior.", "Otr.Deducc.Permit.Ley",
    "Pagos Previos",          "Interés Moratorio",         "Saldo a Pagar",
    "Importe a Pagar"};

const GridBlock& block1() {
  static const GridBlock b{{{"IMP. EXTRAOR.", "DE SOLIDARIDAD"},
                            {"SISTEMA NACIONAL", "PENSIONES DL 19990"},
                            {"ESSALUD SEGURO", "REGULAR-TRAB."},
                            {"AGRARIO/ACUIC.", ""},
                            {"FONDO DERECHOS", "SOCIALES ARTISTA"},
                            {"    ESSALUD     ", "     +VIDA  "}},
                           {{kRowLabels[0], {"450", "451", "452", "456", "453", "454"}},
                            {kRowLabels[1], {"410", "411", "412", "416", "413", "414"}},
                            // 600 is the compensation of the solidarity tax, so it prints in that column.
                            {kRowLabels[2], {"600", "", "", "", "", ""}},
                            {kRowLabels[3], {"", "", "602", "", "", ""}},
                            {kRowLabels[4], {"", "", "612", "", "", ""}},
                            {kRowLabels[5], {"", "", "", "", "", ""}},
                            {kRowLabels[6], {"500", "501", "502", "506", "503", "504"}},
                            {kRowLabels[7], {"700", "701", "702", "706", "703", "704"}},
                            {kRowLabels[8], {"710", "711", "712", "716", "713", "714"}},
                            {kRowLabels[9], {"800", "801", "802", "806", "803", "804"}}}};
  return b;
}

const GridBlock& block2() {
  static const GridBlock b{{{"RENTA 5TA CAT.", "RETENCIONES"},
                            {"CONTRIB. SOLID.", "ASIST. PREVIS."},
                            {"ESSALUD CBSSP", "SEG. TRAB. PESQ."},
                            {"ESSALUD SEG.", "REG. PENSIONISTA"},
                            {"  ESSALUD", "    SCTR"},
                            {"RENTA 4TA CAT.", " RETENCIONES"}},
                           {{kRowLabels[0], {"455", "457", "458", "459", "460", "461"}},
                            {kRowLabels[1], {"415", "417", "418", "419", "420", "421"}},
                            {kRowLabels[2], {"", "427", "", "", "", ""}},
                            {kRowLabels[3], {"", "", "408", "", "", ""}},
                            {kRowLabels[4], {"", "", "428", "", "", ""}},
                            {kRowLabels[5], {"605", "", "", "", "", ""}},
                            {kRowLabels[6], {"505", "507", "508", "509", "510", "511"}},
                            {kRowLabels[7], {"705", "707", "708", "740", "741", "742"}},
                            {kRowLabels[8], {"715", "717", "718", "743", "744", "745"}},
                            {kRowLabels[9], {"805", "807", "808", "809", "810", "811"}},
                            {"IGV", {"", "", "", "", "812", ""}}}};
  return b;
}

const GridBlock& block3() {
  static const GridBlock b{{{" ASEGURA TU  ", "   PENSION    "},
                            {"   APORTE AL", "FCJMMS-LEY 29741"},
                            {"  CUOTA FRACCIONADO", "     FONDO CJMMS"}},
                           {{kRowLabels[0], {"462", "590", "530"}},
                            {kRowLabels[1], {"422", "591", "531"}},
                            {kRowLabels[2], {"", "", ""}},
                            {kRowLabels[3], {"", "", ""}},
                            {kRowLabels[4], {"", "", ""}},
                            {kRowLabels[5], {"", "", ""}},
                            {kRowLabels[6], {"512", "592", "532"}},
                            {kRowLabels[7], {"", "593", "533"}},
                            {kRowLabels[8], {"747", "594", "534"}},
                            {kRowLabels[9], {"814", "595", "535"}}}};
  return b;
}

constexpr int kEdges[] = {2600, 4625, 6650, 8675, 10700, 12725, 14750};
constexpr int kValueOffset[] = {800, 800, 800, 800, 850, 900};
constexpr int kRowStep = 250;

// Draws a block with its top at `top`; returns the y below it.
int drawBlock(PageCommands& c, const GridBlock& b, const StoredDeclaration& d, int top) {
  int cols = static_cast<int>(b.headings.size());
  int right = kEdges[cols];
  int headTop = top;
  int rowsTop = top + 2 * 220 + 60;
  int bottom = rowsTop + static_cast<int>(b.rows.size()) * kRowStep;
  c.box(250, headTop, right, bottom);
  c.box(250, headTop, kEdges[0], rowsTop);
  for (int i = 0; i < cols; ++i) {
    c.box(kEdges[i], headTop, kEdges[i + 1], bottom);
    c.pos(kEdges[i] + 50, headTop + 40, b.headings[static_cast<std::size_t>(i)].first, true, 8);
    c.pos(kEdges[i] + 50, headTop + 260, b.headings[static_cast<std::size_t>(i)].second, true, 8);
  }
  int y = rowsTop;
  for (const auto& row : b.rows) {
    c.box(250, y, right, y + kRowStep);
    c.pos(300, y + 30, row.label, false, 7);
    for (int i = 0; i < cols; ++i) {
      std::string casilla = row.boxes[static_cast<std::size_t>(i)];
      if (casilla.empty()) continue;
      c.pos(kEdges[i] + 50, y + 30, casilla, true, 7);
      c.pos(kEdges[i] + kValueOffset[i], y + 30, fmtAmount(d.box(casilla)), false, 8);
    }
    y += kRowStep;
  }
  return bottom;
}

void writeTags(ReportWriter& w, int pages) {
  w.ImprimeLinea("<!font!>Courier New<!/font!>");
  w.ImprimeLinea("<!nHojas!>" + std::to_string(pages) + "<!/nHojas!>");
  w.ImprimeLinea("<!Orientacion!>H<!/Orientacion!>");
  w.ImprimeLinea("<!Color!>&H80000005&<!/Color!>");
}

// pcargar1: the two declaration pages, from page `first`.
void pcargar1(ReportWriter& w, const StoredDeclaration& d, int first, int pages) {
  ReporteCab600(w, d, first, pages);
  PageCommands c(w, first);
  // Totals of persons. The save keeps the pensioners in 736 and the fourth-category providers
  // in 733; each prints under its own label.
  struct Total {
    const char* label;
    const char* casilla;
  };
  const Total totals[2][3] = {
      {{"TOTAL DE TRABAJADORES:", "720"}, {"TOTAL DE PENSIONISTAS:", "736"}, {"TOTAL DE P.S. 4TA CATEGORÍA:", "733"}},
      {{"TOTAL DE P.S. MODALIDADES FORMATIVAS:", "738"},
       {"TOTAL PERSONAL DE TERCEROS:", "739"},
       {"TOTAL OTROS-NORMAS ESPECIALESE:", "737"}}};
  const int labelX[] = {250, 5750, 10500};
  const int valueX[] = {3750, 8500, 13750};
  int y = 2100;
  for (const auto& row : totals) {
    for (int i = 0; i < 3; ++i) {
      c.pos(labelX[i], y, row[i].label, true, 7);
      c.pos(valueX[i], y, fmtCount(d.box(row[i].casilla)), false, 8);
    }
    y += 250;
  }
  c.pos(250, 2700, "DETERMINACION DE LA DEUDA", true, 10);
  int below = drawBlock(c, block1(), d, 2950);
  drawBlock(c, block2(), d, below + 200);
  w.ImprimeLinea("pNuevaHoja");
  ReporteCab600(w, d, first + 1, pages);
  PageCommands c2(w, first + 1);
  c2.pos(250, 2100, "DETERMINACION DE LA DEUDA", true, 10);
  drawBlock(c2, block3(), d, 2350);
}

// ImpAnexo: one section per box, starting on a new page.
int ImpAnexo(ReportWriter& w, const StoredDeclaration& d, const PrintoutPlan::Section& s, int page, int pages,
             bool first) {
  struct Col {
    int x;
    const char* caption;
  };
  const Col cols[] = {{240, "RUC de EPS"}, {1450, "Razón Social EPS"}, {5500, "Per.Fac."},
                      {6400, "N.Serie"},   {7300, "Num.Orden"},        {8400, "Fec.Emision"},
                      {9700, "Fec.Pago"},  {11600, "Importe Total"},   {13000, "Importe Crédito"}};
  std::size_t next = 0;
  for (int p = 0; p < s.pages; ++p) {
    if (!(first && p == 0)) w.ImprimeLinea("pNuevaHoja");
    ReporteCab600(w, d, page, pages);
    PageCommands c(w, page);
    c.pos(230, 2100, "Detalle de Casilla " + s.casilla, true, 10);
    int top = 2400;
    for (const auto& col : cols) c.pos(col.x, top + 40, col.caption, true, 8);
    int y = top + 300;
    std::size_t end = std::min(s.rows.size(), next + kAnnexRowsPerPage);
    for (; next < end; ++next) {
      const auto& r = s.rows[next];
      c.pos(240, y, r.ruc, false, 8);
      c.pos(1450, y, text::left(r.nombre, 40), false, 8);
      c.pos(5600, y, r.periodoFac.size() == 6 ? monthYear(r.periodoFac, "/") : r.periodoFac, false, 8);
      c.pos(6400, y, r.serie, false, 8);
      c.pos(7300, y, r.numero, false, 8);
      c.pos(8400, y, dmy(r.fecEmis), false, 8);
      c.pos(9700, y, dmy(r.fecPago), false, 8);
      c.pos(10900, y, text::padLeft(vbFormat(Money::value(r.impTotal), "###,###,###,###,###"), 15), false, 8);
      c.pos(12500, y, text::padLeft(vbFormat(Money::value(r.impCred), "###,###,###,###,###"), 15), false, 8);
      y += 230;
    }
    c.box(230, top, 15000, std::max(y + 50, top + 600));
    c.box(230, top, 15000, top + 280);
    ++page;
  }
  return page;
}

}  // namespace

std::vector<std::string> PrintChoice::annexBoxes() const {
  std::vector<std::string> b;
  if (!annexes()) return b;
  if (anexo602) {
    b.push_back("602");
    b.push_back("408");
  }
  if (anexo612) {
    b.push_back("612");
    b.push_back("428");
  }
  return b;
}

std::vector<EpsInvoice> epsInvoices(Session& session, const DeclarationRef& ref, const std::string& casilla,
                                    bool working) {
  auto& db = session.database();
  std::string table = working ? "TMPF600INFEPS" : (ref.sent() ? "HF600INFEPS" : "F600INFEPS");
  data::Params p{ref.ruc, ref.periodo, casilla};
  std::string sql =
      "SELECT A.RUC_EPS, A.Num_Serie, A.Periodo_fac, A.Num_Fac, A.Fec_Emis, A.Imp_total, A.Imp_cred, A.Fec_pago "
      "FROM " +
      table + " A WHERE A.tip_doc_d = 6 AND A.doc_id_d = ? AND A.periodo = ? AND A.Casilla = ?";
  if (ref.sent() && !working) {
    sql += " AND A.Correl = ?";
    p.add(ref.correl);
  }
  sql += " ORDER BY A.RUC_EPS, A.Periodo_fac, A.Num_Serie, A.Num_Fac";
  std::vector<EpsInvoice> out;
  // The provider's name as the invoice list of the EPS form shows it: an EPS of list 701, the
  // declarant's own health service or a provider of the declarant's own table.
  std::map<std::string, std::string> names;
  auto nameOf = [&](const std::string& rucEps) -> const std::string& {
    auto it = names.find(rucEps);
    if (it == names.end()) it = names.emplace(rucEps, detail::providerName(db, ref.ruc, rucEps)).first;
    return it->second;
  };
  for (const auto& r : db.rows(sql, p))
    out.push_back({text::trim(r.text("RUC_EPS")), nameOf(text::trim(r.text("RUC_EPS"))),
                   text::trim(r.text("Periodo_fac")), text::trim(r.text("Num_Serie")), text::trim(r.text("Num_Fac")),
                   text::trim(r.text("Fec_Emis")), text::trim(r.text("Fec_pago")), text::trim(r.text("Imp_total")),
                   text::trim(r.text("Imp_cred"))});
  return out;
}

int PrintoutPlan::pages() const {
  int n = declaration ? 2 : 0;
  for (const auto& s : sections) n += s.pages;
  return n;
}

PrintoutPlan planPrintout(Session& session, const StoredDeclaration& decl, const PrintChoice& choice,
                          bool workingInvoices) {
  PrintoutPlan plan;
  plan.declaration = choice.declaration();
  for (const auto& casilla : choice.annexBoxes()) {
    PrintoutPlan::Section s;
    s.casilla = casilla;
    s.rows = epsInvoices(session, decl.ref, casilla, workingInvoices);
    s.pages = std::max<int>(1, static_cast<int>((s.rows.size() + kAnnexRowsPerPage - 1) / kAnnexRowsPerPage));
    plan.sections.push_back(std::move(s));
  }
  return plan;
}

int writeDeclarationPrintout(ReportWriter& w, const StoredDeclaration& decl, const PrintoutPlan& plan) {
  int pages = plan.pages();
  writeTags(w, pages);
  int page = 1;
  if (plan.declaration) {
    pcargar1(w, decl, page, pages);
    page += 2;
  }
  bool first = !plan.declaration;
  for (const auto& s : plan.sections) {
    page = ImpAnexo(w, decl, s, page, pages, first);
    first = false;
  }
  return pages;
}

std::filesystem::path producePrintout(Session& session, const StoredDeclaration& decl, const PrintChoice& choice,
                                      bool workingInvoices) {
  auto plan = planPrintout(session, decl, choice, workingInvoices);
  reports::SpoolReport report(session, "PR0040", 6, decl.ref.ruc);
  writeDeclarationPrintout(report.writer(), decl, plan);
  return report.commit();
}

namespace {

std::string pad(const std::string& s, std::size_t width) {
  std::size_t n = text::length(s);
  return n >= width ? s : s + std::string(width - n, ' ');
}

void textBlock(std::vector<std::string>& out, const GridBlock& b, const StoredDeclaration& d) {
  // Text labels of the determination rows, in the grid's order.
  static const char* labels[] = {"BASE IMPONIBLE",
                                 "IMPUESTO RESULTANTE",
                                 "COMPENSACIONES",
                                 "CREDITO POR EPS - LEY 26790",
                                 "CREDITO POR EPS PERIODOS ANTERIORES",
                                 "Otras Deduc. Permitidas por Ley",
                                 "PAGOS ANTICIP.(EFECT,CHEQUE,DOC.VAL.)",
                                 "INTERES MORATORIO",
                                 "SALDO A PAGAR",
                                 "IMPORTE A PAGAR"};
  constexpr std::size_t kLabel = 40, kCol = 20;
  std::string h1 = pad("", kLabel), h2 = pad("", kLabel);
  for (const auto& h : b.headings) {
    h1 += text::padLeft(text::trim(h.first), kCol);
    h2 += text::padLeft(text::trim(h.second), kCol);
  }
  out.push_back(h1);
  out.push_back(h2);
  for (std::size_t r = 0; r < b.rows.size(); ++r) {
    const auto& row = b.rows[r];
    std::string line = pad(r < 10 ? labels[r] : row.label, kLabel);
    for (const char* casilla : row.boxes) {
      std::string cell;
      if (*casilla) {
        std::string v = d.box(casilla);
        std::string amount;
        if (!text::trim(v).empty()) {
          auto m = Money::parse(v);
          amount = m ? vbFormat(*m, "######0.00;(######0.00)") : text::trim(v);
        }
        cell = std::string("[") + casilla + "] " + amount;
      }
      line += text::padLeft(cell, kCol);
    }
    out.push_back(text::rtrim(line));
  }
  out.push_back("");
}

}  // namespace

std::vector<std::string> declarationTextLines(const StoredDeclaration& d) {
  std::vector<std::string> out;
  // ArchivoCab600.
  out.push_back("ZUMAR");
  out.push_back("DECLARACION PAGO");
  out.push_back("RETENCIONES Y/O APORTACIONES A LAS REMUNERACIONES");
  out.push_back("601");
  out.push_back("RUC : " + d.ref.ruc);
  out.push_back("EMPLEADOR : " + d.nombre);
  out.push_back("PER.TRIB. : " + monthYear(d.ref.periodo, "/"));
  out.push_back(std::string("RECTIFICA : ") + (d.rectifica ? "SI" : "NO"));
  if (d.rectifica) {
    std::string joined;
    for (const auto& col : d.rectifiedColumns) joined += (joined.empty() ? "" : "-") + col;
    out.push_back("                 CONCEPTOS A LOS QUE RECTIFICA: " + joined);
  }
  if (d.ref.sent()) {
    out.push_back("NRO. CONTROL : " + d.control);
    out.push_back("NRO. ORDEN : " + d.norden);
  }
  out.push_back("");
  // ArchivoDet600.
  auto count = [&](const char* casilla) {
    auto m = Money::parse(d.box(casilla));
    return text::padLeft(vbFormat(m ? *m : Money(), "####,##0"), 10);
  };
  out.push_back(pad("TOTAL DE TRABAJADORES", 40) + count("720"));
  out.push_back(pad("TOTAL DE PENSIONISTAS", 40) + count("736"));
  out.push_back(pad("TOTAL DE P.S. 4TA CATEGORIA", 40) + count("733"));
  out.push_back(pad("TOTAL DE P.S. MODALIDADES FORMATIVAS", 40) + count("738"));
  out.push_back(pad("TOTAL PERSONAL DE TERCEROS", 40) + count("739"));
  out.push_back(pad("TOTAL OTROS-NORMAS ESPECIALES", 40) + count("737"));
  out.push_back("");
  out.push_back("DETERMINACION DE LA DEUDA");
  out.push_back("");
  textBlock(out, block1(), d);
  textBlock(out, block2(), d);
  textBlock(out, block3(), d);
  return out;
}

std::string declarationTextFileName(const StoredDeclaration& d) {
  return "ZEL0600_" + d.ref.ruc + "_" + d.ref.periodo + ".txt";
}

std::optional<std::filesystem::path> writeDeclarationTextFile(Session& session, const StoredDeclaration& decl,
                                                              const std::filesystem::path& dir, TextEncoding encoding) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  auto path = dir / declarationTextFileName(decl);
  std::size_t replaced = 0;
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const auto& line : declarationTextLines(decl)) out << encodeText(line, encoding, replaced) << "\r\n";
    out.flush();
    if (!out) {
      session.msg().show("No se pudo escribir el archivo " + path.string(), "Error", MsgIcon::Critical);
      return std::nullopt;
    }
  }
  std::string note = replacedNote(replaced);
  session.msg().show("La declaración se encuentra en el directorio " + dir.string() +
                         " con el nombre: " + declarationTextFileName(decl) + (note.empty() ? note : "\n" + note),
                     "Mensaje", MsgIcon::Information);
  return path;
}

DeclarationPrintoutForm::DeclarationPrintoutForm(Session& session, bool sent, const model::OpenDeclaration* open)
    : s_(session), sent_(sent), open_(open) {}

std::vector<std::string> DeclarationPrintoutForm::columns() const {
  std::vector<std::string> c = {"RUC", "Razón Social", "Periodo", "Formulario", "Rectificatoria"};
  if (sent_) {
    c.push_back("Correl");
    c.push_back("Nro. Orden");
  }
  return c;
}

std::vector<std::string> DeclarationPrintoutForm::cells(const declaration::CatalogueRow& r) const {
  std::vector<std::string> c = {r.ruc, r.nombre, periodToDisplay(r.periodo), r.formulario,
                                text::trim(r.rectifica) == "1" ? "SI" : "NO"};
  if (sent_) {
    c.push_back(r.correl);
    c.push_back(r.norden);
  }
  return c;
}

const std::vector<declaration::CatalogueRow>& DeclarationPrintoutForm::requery() {
  rows_ = storedDeclarations(s_, sent_);
  return rows_;
}

void DeclarationPrintoutForm::setOptImp(int index) {
  if (index < 0 || index > 2) return;
  choice_.what = static_cast<PrintWhat>(index);
  if (choice_.what == PrintWhat::Declaracion) {
    choice_.anexo602 = false;
    choice_.anexo612 = false;
  }
}

void DeclarationPrintoutForm::setChkAnexo(int index, bool checked) {
  if (!annexesEnabled()) return;
  (index == 0 ? choice_.anexo602 : choice_.anexo612) = checked;
}

bool DeclarationPrintoutForm::isOpenInForm(int row) const {
  if (row < 0 || row >= static_cast<int>(rows_.size()) || sent_ || !open_) return false;
  const auto& r = rows_[static_cast<std::size_t>(row)];
  const auto& open = *open_;
  return !open.sent() && open.ruc == r.ruc && open.periodo == r.periodo;
}

std::optional<StoredDeclaration> DeclarationPrintoutForm::declarationAt(int row) {
  if (row < 0 || row >= static_cast<int>(rows_.size())) return std::nullopt;
  // The declaration being prepared in the declaration form prints as it stands now.
  if (isOpenInForm(row)) return fromOpenDeclaration(s_, *open_);
  const auto& r = rows_[static_cast<std::size_t>(row)];
  return readDeclaration(s_, {r.ruc, r.periodo, sent_ ? r.correl : std::string()});
}

std::optional<std::filesystem::path> DeclarationPrintoutForm::producir(int row, reports::RangeDialogPlan* plan) {
  auto d = declarationAt(row);
  if (!d) return std::nullopt;
  auto path = producePrintout(s_, *d, choice_, isOpenInForm(row));
  if (plan) *plan = reports::planForDeclarationPrintout(reports::LeeNroHojas(path));
  return path;
}

std::optional<std::filesystem::path> DeclarationPrintoutForm::archivo(int row, const std::filesystem::path& dir) {
  auto d = declarationAt(row);
  if (!d) return std::nullopt;
  return writeDeclarationTextFile(s_, *d, dir.empty() ? std::filesystem::path(s_.paths.rptDir) : dir);
}

}  // namespace korventa::printouts
