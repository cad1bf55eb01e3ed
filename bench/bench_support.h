#pragma once
// What the computation and import benchmarks share: a declarant with its concepts and its
// workers in the working tables of a declaration of 06/2012.
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "data/database.h"

namespace korventa::bench {

inline double seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The declarant (private, labour regime 1, SENATI) using the concepts given.
inline void declarant(data::Database& db, const std::string& ruc, const std::vector<const char*>& concepts) {
  db.run(
      "INSERT INTO CONTRVKRS (tip_doc_d, doc_id_d, Nombre, Tipo_ingreso, Ind_RegimenLab, ind_adm_publica, "
      "Ind_senati) VALUES (6, ?, 'EMPRESA DE PRUEBA', 2, 1, 0, 1)",
      {ruc});
  for (const char* c : concepts) db.run("INSERT INTO CON_AFEC VALUES (6, ?, ?, 'G')", {ruc, c});
}

// Workers 1 to `persons` of the working set (every tenth a miner of type 37, the others
// employees of type 21, with the pension system `pension(i)`), each followed by `each(i, doc)`
// for what the worker carries besides.
inline void workers(data::Database& db, const std::string& ruc, int persons, const std::function<int(int)>& pension,
                    const std::function<void(int, const std::string&)>& each) {
  auto& person = db.prepared(
      "INSERT INTO TEMP1_F601 (Tip_doc_d, doc_id_d, Correl_a, periodo, formulario, cod_cat_tra, tip_doc_a, doc_id_a, "
      "Situac, Tipo, dias_lab, pension, ind_domicilio, sctr, ipss_vida) VALUES (6, ?, ?, '201206', '0601', 1, 1, ?, "
      "'11', ?, '30', ?, '1', 0, '')");
  for (int i = 1; i <= persons; ++i) {
    char doc[16];
    std::snprintf(doc, sizeof doc, "%08d", 10000000 + i);
    person.reset();
    person.clearBindings();
    person.bind(1, ruc);
    person.bind(2, static_cast<int64_t>(i));
    person.bind(3, doc);
    person.bind(4, i % 10 == 0 ? "37" : "21");
    person.bind(5, static_cast<int64_t>(pension(i)));
    person.exec();
    each(i, doc);
  }
}

}  // namespace korventa::bench
