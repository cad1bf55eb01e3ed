#pragma once
// What the command line reads of a declaration: whether a stored one (or a sending) exists, its
// header, person rows and boxes as listings, and the persons of the open working set.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "data/database.h"
#include "data/keys.h"

namespace korventa::declaration {

// Column names and text cells of a stored table's rows, in the order they were written.
struct StoredListing {
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
};

// Whether the declaration RUC/PERIODO is stored: in CAB, or in HCAB as the sending `correl`.
bool declarationExists(data::Database& db, const std::string& ruc, const std::string& periodo,
                       const std::string& correl = {});

// The header (CAB), the person rows (F601_TRAB) and the stored boxes (Casilla, i_valor,
// idcasilla, cNumero of DET) of a declaration; their history twins for a sending. An empty
// listing still names its columns.
StoredListing storedHeader(data::Database& db, const std::string& ruc, const std::string& periodo,
                           const std::string& correl = {});
StoredListing storedPersonRows(data::Database& db, const std::string& ruc, const std::string& periodo,
                               const std::string& correl = {});
StoredListing storedBoxRows(data::Database& db, const std::string& ruc, const std::string& periodo,
                            const std::string& correl = {});

// Box → value of the stored boxes (DET or HDET), both trimmed.
std::map<std::string, std::string> storedBoxValues(data::Database& db, const std::string& ruc,
                                                   const std::string& periodo, const std::string& correl = {});

// Workers and pensioners of the open declaration's working set.
std::int64_t declaredPersonCount(data::Database& db);

// The worker with this document in the open declaration's working set, or (unless `workersOnly`)
// the pensioner when there is no such worker.
std::optional<PersonKey> findDeclaredPerson(data::Database& db, int tipDoc, const std::string& doc, bool workersOnly);

}  // namespace korventa::declaration
