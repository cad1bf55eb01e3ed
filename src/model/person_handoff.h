#pragma once
// The workers and pensioners a new declaration writes to TEMP1_F601, kept in memory as they are
// written so that the computation that follows takes them instead of reading them back. The
// persons handed over are exactly those loadPersons would read: a value whose stored form cannot
// be told from the value bound (a real, a text in an integer column) or a key held twice
// makes the handoff give up, and the computation reads the persons back.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/database.h"
#include "model/person_data.h"

namespace korventa::model {

class PersonHandoff {
 public:
  // The columns of TEMP1_F601 that PersonData holds, as the writer binds them.
  enum Column : int {
    kTipDocA,
    kDocIdA,
    kCorrelA,
    kCodCatTra,
    kTipo,
    kPension,
    kSituac,
    kSctr,
    kIndDomicilio,
    kIndQuinta,
    kDiasLab,
    kIpssVida,
    kAsegPens,
    kAportTrabPensCol,
    kAportDesCol,
    kColumns
  };
  // A value bound to a column (an unbound column: a null; a blob: bound as its text).
  using Bound = data::Value;

  // The person row just inserted at `rowid` with these values bound. `sctrPension` is the value
  // of ASEG_DET_LAB.sctr_pension of the registry row the person came from.
  // The values are taken.
  void add(std::int64_t rowid, std::array<Bound, kColumns>& values, const data::Value& sctrPension);
  // Room for the persons to come.
  void reserve(std::size_t persons) { persons_.reserve(persons); }
  // The rows were written otherwise: the persons are read back.
  void giveUp() { exact_ = false; }

  // The persons as loadPersons(db, ruc) reads them now, in its order, with their concept rows and
  // the rows of the other working tables read as it reads them; nullopt when they must be read
  // back. The handoff is empty afterwards.
  std::optional<std::vector<PersonData>> take(data::Database& db);

 private:
  std::vector<PersonData> persons_;
  bool exact_ = true;
};

}  // namespace korventa::model
