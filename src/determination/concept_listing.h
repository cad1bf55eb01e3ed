#pragma once
// The concept rows of a stored declaration (F601_REMUNERA, or HF601_REMUNERA of a sending), for
// the command line's listing: person key, code, amounts and base.
#include <string>
#include <vector>

#include "data/database.h"

namespace korventa::determination {

struct ConceptListing {
  std::vector<std::string>
      columns;  // tip_doc_a, doc_id_a, correl_a, cod_cat_tra, codigo, monto, monto_pag, base_calculo
  std::vector<std::vector<std::string>> rows;
};

// Every concept row of the declaration, or only those of the person with document `doc` when it
// is not empty; ordered by person and code. `correl` empty = the declaration in preparation.
ConceptListing conceptListing(data::Database& db, const std::string& ruc, const std::string& periodo,
                              const std::string& correl = {}, const std::string& doc = {});
// The same from the working tables of the open declaration.
ConceptListing workingConceptListing(data::Database& db, const std::string& doc = {});

}  // namespace korventa::determination
