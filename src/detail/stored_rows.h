#pragma once
// What a saved declaration keeps of the suspensions and of the EPS invoices, for listing
// (korventa-cli show --days / --eps): F601DIAS_NOLAB and F600INFEPS, or their history twins
// for a sending.
#include <string>
#include <vector>

#include "data/database.h"

namespace korventa::detail {

struct StoredRows {
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
};

// Throws std::runtime_error when the declaration (or the sending `correl`) does not exist.
StoredRows storedSuspensions(data::Database& db, const std::string& ruc, const std::string& periodo,
                             const std::string& correl = {});
StoredRows storedInvoices(data::Database& db, const std::string& ruc, const std::string& periodo,
                          const std::string& correl = {});

}  // namespace korventa::detail
