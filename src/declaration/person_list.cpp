#include "declaration/person_list.h"

#include <algorithm>

#include "common/text.h"
#include "declaration/sql_support.h"

namespace korventa::declaration {
namespace {

constexpr int kPage = 64;

struct Column {
  const char* header;
  std::string expr;
};

struct Definition {
  std::string table, where, order, nameExpr, docExpr;
  std::string keyExprs;  // correl_a, tip_doc_a, doc_id_a, cod_cat_tra, retention
  std::vector<Column> columns;
  // The name the table's rows are qualified with: its alias ("TMPF601RDCAB t" → "t") or itself.
  std::string alias() const {
    auto space = table.find(' ');
    return space == std::string::npos ? table : table.substr(space + 1);
  }
};

std::string shortDoc(const std::string& col) {
  return "(SELECT TRIM(substr(p.Funcion, 32, 11)) FROM PARAM p WHERE p.Numero = '044' AND "
         "CAST(p.Argumento AS INTEGER) = " +
         col + ")";
}

Definition workersGrid() {
  return {"TEMP1_F601",
          "cod_cat_tra = 1",
          "Nombre COLLATE ESPANOL, rowid",
          "Nombre",
          "doc_id_a",
          "Correl_a, tip_doc_a, doc_id_a, cod_cat_tra, ''",
          {{"Tipo Doc.", "tip_doc"},
           {"Número de documento", "doc_id_a"},
           {"Apellidos y Nombres", "Nombre"},
           {"Tipo", "Tipo"},
           {"Situación", "Situac"},
           {"Días Lab.", "dias_lab"},
           {"Total Ingresos", "Tot_Ingresos"},
           {"Aportes Trabajador", "AportDes"},
           {"Neto a Pagar", "NetoPagar"},
           {"Aportes Empleador", "AportEmp"}}};
}

Definition pensionersGrid() {
  return {"TEMP1_F601",
          "cod_cat_tra = 2",
          "Nombre COLLATE ESPANOL, rowid",
          "Nombre",
          "doc_id_a",
          "Correl_a, tip_doc_a, doc_id_a, cod_cat_tra, ''",
          {{"Tipo Doc.", "tip_doc"},
           {"Número de documento", "doc_id_a"},
           {"Apellidos y Nombres", "Nombre"},
           {"Tipo", "Tipo"},
           {"Situación", "Situac"},
           {"Total Ingresos", "Tot_Ingresos"},
           {"Aportes Pensionista", "AportDes"},
           {"Neto a Pagar", "NetoPagar"},
           {"Aportes Empleador", "AportEmp"}}};
}

Definition thirdPartiesGrid() {
  return {"TEMP2_F601",
          "1 = 1",
          "NOMBRE COLLATE ESPANOL, rowid",
          "NOMBRE",
          "DOC_ID_A",
          "CORREL_A, tip_doc_a, DOC_ID_A, 4, ''",
          {{"Tipo de documento", "TIP_DOC"},
           {"Número de documento", "DOC_ID_A"},
           {"Fecha de Nac. Dia/Mes/Año", "FEC_NAC"},
           {"Apellido Paterno, Apellido Materno, Nombres", "NOMBRE"},
           {"RUC (CR)", "Ruc"},
           {"Centro de Riesgo", "centro"},
           {"Tasa (%)", "Tasa"},
           {"Base de cálculo", "rem_sctrs"},
           {"Essalud SCTR", "sctrs"}}};
}

Definition providersGrid() {
  const std::string vouchers =
      "FROM TMPF601RDDET v WHERE v.tip_doc_a = t.tip_doc_a AND v.doc_id_a = t.doc_id_a AND "
      "v.tip_retencion = t.tip_retencion AND v.cod_cat_tra = t.cod_cat_tra";
  return {
      "TMPF601RDCAB t",
      "t.cod_cat_tra = 3",
      "t.Des_Pat COLLATE ESPANOL, t.Des_Mat COLLATE ESPANOL, t.Des_No1 COLLATE ESPANOL, t.rowid",
      "TRIM(COALESCE(t.Des_Pat, '') || ' ' || COALESCE(t.Des_Mat, '') || ' ' || COALESCE(t.Des_No1, ''))",
      "t.doc_id_a",
      "COALESCE(t.correl_a, 0), t.tip_doc_a, t.doc_id_a, t.cod_cat_tra, t.tip_retencion",
      {{"Tipo Doc.", shortDoc("t.tip_doc_a")},
       {"Número de documento", "t.doc_id_a"},
       {"Apellido Paterno", "t.Des_Pat"},
       {"Apellido Materno", "t.Des_Mat"},
       {"Nombres", "t.Des_No1"},
       {"Comprobante", "t.tip_retencion"},
       {"Domiciliado", "CASE TRIM(COALESCE(t.ind_domicilio, '')) WHEN '1' THEN 'SI' WHEN '2' THEN 'NO' ELSE '' END"},
       {"Cantidad", "(SELECT count(*) " + vouchers + ")"},
       {"Monto", "(SELECT vbfmt(SUM(v.mto_rec * 1), '##,###,###,##0.00') " + vouchers + ")"},
       {"Retención", "(SELECT vbfmt(SUM(v.mto_rta * 1), '##,###,###,##0.00') " + vouchers + ")"}}};
}

Definition traineesGrid() {
  return {"TMPF601MFCAB t",
          "1 = 1",
          "t.APELLIDO_P COLLATE ESPANOL, t.APELLIDO_M COLLATE ESPANOL, t.NOMBRE_1 COLLATE ESPANOL, t.rowid",
          "TRIM(COALESCE(t.APELLIDO_P, '') || ' ' || COALESCE(t.APELLIDO_M, '') || ' ' || COALESCE(t.NOMBRE_1, ''))",
          "t.doc_id_a",
          "COALESCE(t.correl_a, 0), t.tip_doc_a, t.doc_id_a, 5, ''",
          {{"Tipo Doc.", shortDoc("t.tip_doc_a")},
           {"Número de documento", "t.doc_id_a"},
           {"Apellido Paterno", "t.APELLIDO_P"},
           {"Apellido Materno", "t.APELLIDO_M"},
           {"Nombres", "t.NOMBRE_1"},
           {"Monto", "t.mto_renta"},
           {"Establecimientos",
            "(SELECT count(*) FROM TMPF601_ESTABMF e WHERE e.correl_a = t.correl_a AND e.doc_id_a = t.doc_id_a)"}}};
}

const Definition& definition(Grid g) {
  static const std::map<Grid, Definition> defs = [] {
    std::map<Grid, Definition> d;
    d[Grid::Workers] = workersGrid();
    d[Grid::Pensioners] = pensionersGrid();
    d[Grid::ThirdParties] = thirdPartiesGrid();
    d[Grid::Providers] = providersGrid();
    d[Grid::Trainees] = traineesGrid();
    return d;
  }();
  return defs.at(g);
}

}  // namespace

PersonList::PersonList(data::Database& db, Grid grid) : db_(db), grid_(grid) {}

int PersonList::category() const {
  switch (grid_) {
    case Grid::Workers:
      return kWorker;
    case Grid::Pensioners:
      return kPensioner;
    case Grid::ThirdParties:
      return kThirdParty;
    case Grid::Providers:
      return kProvider;
    case Grid::Trainees:
      return kTrainee;
  }
  return 0;
}

std::vector<std::string> PersonList::headers() const {
  std::vector<std::string> h;
  for (const auto& c : definition(grid_).columns) h.push_back(c.header);
  return h;
}

std::string PersonList::columnExpr(int c) const {
  const auto& columns = definition(grid_).columns;
  return c >= 0 && c < static_cast<int>(columns.size()) ? columns[static_cast<std::size_t>(c)].expr : std::string();
}

void PersonList::requery() {
  ensureSqlFunctions(db_);
  const auto& d = definition(grid_);
  std::string alias = d.alias();
  ids_.clear();
  pages_.clear();
  for (const auto& r :
       db_.rows("SELECT " + alias + ".rowid FROM " + d.table + " WHERE " + d.where + " ORDER BY " + d.order))
    ids_.push_back(r.integer(0));
}

const PersonList::Fetched* PersonList::fetch(int row) {
  if (row < 0 || row >= count()) return nullptr;
  int page = row / kPage;
  auto it = pages_.find(page);
  if (it == pages_.end()) {
    const auto& d = definition(grid_);
    std::string alias = d.alias();
    int first = page * kPage, last = std::min(count(), first + kPage);
    std::string sql = "SELECT " + alias + ".rowid, " + d.keyExprs;
    for (const auto& c : d.columns) sql += ", " + c.expr;
    sql += " FROM " + d.table + " WHERE " + alias + ".rowid IN (";
    data::Params p;
    for (int i = first; i < last; ++i) {
      sql += i == first ? "?" : ", ?";
      p.add(static_cast<std::int64_t>(ids_[static_cast<std::size_t>(i)]));
    }
    sql += ")";
    std::map<std::int64_t, Fetched> byId;
    for (const auto& r : db_.rows(sql, p)) {
      Fetched f;
      f.key = {r.integer(1), static_cast<int>(r.integer(2)), text::trim(r.text(3)), static_cast<int>(r.integer(4))};
      f.retention = r.text(5);
      for (std::size_t c = 6; c < r.size(); ++c) f.cells.push_back(r.text(c));
      byId[r.integer(0)] = std::move(f);
    }
    std::vector<Fetched> rows;
    for (int i = first; i < last; ++i) {
      auto f = byId.find(ids_[static_cast<std::size_t>(i)]);
      rows.push_back(f == byId.end() ? Fetched{std::vector<std::string>(d.columns.size()), {}, {}} : f->second);
    }
    it = pages_.emplace(page, std::move(rows)).first;
  }
  return &it->second[static_cast<std::size_t>(row - page * kPage)];
}

std::vector<std::string> PersonList::cells(int row) {
  auto f = fetch(row);
  return f ? f->cells : std::vector<std::string>{};
}

std::optional<PersonKey> PersonList::key(int row) {
  auto f = fetch(row);
  if (!f) return std::nullopt;
  return f->key;
}

std::string PersonList::retention(int row) {
  auto f = fetch(row);
  return f ? f->retention : std::string();
}

int PersonList::find(SearchBy by, const std::string& t) {
  std::string needle = text::upper(text::trim(t));
  if (needle.empty()) return -1;
  const auto& d = definition(grid_);
  std::string alias = d.alias();
  std::string cond = by == SearchBy::Document ? "upper(" + d.docExpr + ") LIKE ? || '%' ESCAPE '\\'"
                                              : "instr(upper(" + d.nameExpr + "), ?) > 0";
  std::string value = needle;
  if (by == SearchBy::Document) {
    std::string esc;
    for (char c : value) {
      if (c == '%' || c == '_' || c == '\\') esc += '\\';
      esc += c;
    }
    value = esc;
  }
  auto r = db_.row("SELECT " + alias + ".rowid FROM " + d.table + " WHERE " + d.where + " AND " + cond + " ORDER BY " +
                       d.order + " LIMIT 1",
                   {value});
  if (!r) return -1;
  auto it = std::find(ids_.begin(), ids_.end(), r->integer(0));
  return it == ids_.end() ? -1 : static_cast<int>(it - ids_.begin());
}

}  // namespace korventa::declaration
