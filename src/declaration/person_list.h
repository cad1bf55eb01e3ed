#pragma once
// The persons of one page of the declaration form, read on demand: the order of the rows is
// read once (row ids), the cells of a row only when it is shown, a page of rows at a time.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "data/database.h"
#include "data/keys.h"

namespace korventa::declaration {

enum class Grid { Workers, Pensioners, ThirdParties, Providers, Trainees };
enum class SearchBy { Document, Name };

class PersonList {
 public:
  PersonList(data::Database& db, Grid grid);

  Grid grid() const { return grid_; }
  int category() const;
  std::vector<std::string> headers() const;
  // What column `c` shows (the TEMP1_F601 column for the workers and pensioners); "" past the end.
  std::string columnExpr(int c) const;
  // Re-reads which rows there are and their order; forgets the cells read so far.
  void requery();
  int count() const { return static_cast<int>(ids_.size()); }
  std::string totalLabel() const { return "Total registros : " + std::to_string(count()); }

  std::vector<std::string> cells(int row);
  std::optional<PersonKey> key(int row);
  std::string retention(int row);  // voucher kind of a provider row
  // First row (in the shown order) whose document starts with, or whose name contains, the text; -1 when none.
  int find(SearchBy by, const std::string& text);

 private:
  struct Fetched {
    std::vector<std::string> cells;
    PersonKey key;
    std::string retention;
  };
  const Fetched* fetch(int row);

  data::Database& db_;
  Grid grid_;
  std::vector<std::int64_t> ids_;
  std::map<int, std::vector<Fetched>> pages_;
};

}  // namespace korventa::declaration
