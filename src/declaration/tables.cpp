#include "declaration/tables.h"

#include "common/text.h"

namespace korventa::declaration {
namespace {

// Every stored detail table with its count. Those the save writes beyond the workers' own tables
// (F601_SCTR_OTRO, F601MFDET, F621RDDET, F600SUBSID, F600INFEPS, CUENTA) travel with the
// declaration too, so that deleting, sending and recovering never leave rows behind.
const std::vector<StoredTable>& all() {
  static const std::vector<StoredTable> t = {{"DET", 6},
                                             {"F601_ESTAB", 8},
                                             {"F601RDDET", 10},
                                             {"F601RDCAB", 8},
                                             {"F601_SCTR", 5},
                                             {"F601DIAS_NOLAB", 9},
                                             {"F601_605", 8},
                                             {"F601_ESTABMF", 8},
                                             {"F601MFCAB", 8},
                                             {"F601_REMUNERA", 9},
                                             {"F601_TRAB", 6},
                                             {"CAB", 5},
                                             {"F601_SCTR_OTRO", 7},
                                             {"F601MFDET", 10},
                                             {"F621RDDET", 10},
                                             {"F600SUBSID", 7},
                                             {"F600INFEPS", 9},
                                             {"CUENTA", 7}};
  return t;
}

}  // namespace

int controlCount(std::string_view table) {
  std::string u = text::upper(table);
  for (const auto& s : all()) {
    std::string n = text::upper(s.name);
    if (u == n || u == "H" + n) return s.n;
  }
  return 0;
}

const std::vector<StoredTable>& deletedTables() {
  static const std::vector<StoredTable> t = {
      {"F601_ESTAB", 8}, {"F601_ESTABMF", 8}, {"F601_REMUNERA", 9},  {"F601RDCAB", 8},
      {"F601RDDET", 10}, {"F601_SCTR", 5},    {"F601DIAS_NOLAB", 9}, {"F601_605", 8},
      {"F601MFCAB", 8},  {"F601_TRAB", 6},    {"F601_SCTR_OTRO", 7}, {"F601MFDET", 10},
      {"F621RDDET", 10}, {"F600INFEPS", 9},   {"F600SUBSID", 7},     {"CUENTA", 7}};
  return t;
}

const std::vector<StoredTable>& copiedTables() {
  static const std::vector<StoredTable> t = {{"DET", 6},          {"F601_ESTAB", 8}, {"F601_REMUNERA", 9},
                                             {"F601_SCTR", 5},    {"F601_605", 8},   {"F601_TRAB", 6},
                                             {"F601_ESTABMF", 8}, {"F601MFCAB", 8}};
  return t;
}

const std::vector<StoredTable>& recoveredTables() {
  static const std::vector<StoredTable> t = {{"DET", 6},           {"F601_ESTAB", 8},   {"F601RDDET", 10},
                                             {"F601RDCAB", 8},     {"F601_SCTR", 5},    {"F601DIAS_NOLAB", 9},
                                             {"F601_605", 8},      {"F601_ESTABMF", 8}, {"F601MFCAB", 8},
                                             {"F601_REMUNERA", 9}, {"F601_TRAB", 6},    {"F601_SCTR_OTRO", 7},
                                             {"F601MFDET", 10},    {"F621RDDET", 10},   {"F600SUBSID", 7},
                                             {"F600INFEPS", 9},    {"CUENTA", 7}};
  return t;
}

KeyClause preparationKey(const std::string& ruc, const std::string& periodo) {
  return {"tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND formulario = '0601'", data::Params{ruc, periodo}};
}

KeyClause sentKey(const std::string& ruc, const std::string& periodo, const std::string& correl) {
  return {"tip_doc_d = 6 AND doc_id_d = ? AND periodo = ? AND formulario = '0601' AND correl = ?",
          data::Params{ruc, periodo, correl}};
}

std::string copyOrder(std::string_view table) {
  std::string u = text::upper(table);
  if (u == "F601_REMUNERA" || u == "HF601_REMUNERA") return {};
  return " ORDER BY rowid";
}

std::string conceptHasContent(const std::string& alias) {
  std::string a = alias.empty() ? std::string() : alias + ".";
  return "(COALESCE(TRIM(" + a + "monto), '') <> '' OR COALESCE(TRIM(" + a + "monto_pag), '') <> '' OR COALESCE(TRIM(" +
         a + "base_calculo), '') <> '')";
}

const char* const kChangedPersons = "(correl_a, cod_cat_tra) IN (SELECT correl_a, cod_cat_tra FROM TMPF601_CAMBIOS)";

}  // namespace korventa::declaration
