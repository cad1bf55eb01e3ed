#pragma once
// The concept rows of the working set as the computation of every person last stored them, kept
// with the open declaration so that the checks that follow can take them from memory instead of
// reading the whole working table back. They are good only while nothing has been written on the
// connection since: the working tables are private to it, so its write counts prove it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data/database.h"
#include "data/keys.h"
#include "model/open_declaration.h"
#include "model/person_data.h"

namespace korventa::model {

// A stored row of TMPF601CONCEP, its texts exactly as stored.
struct HeldConcept {
  std::int64_t rowid = 0;
  std::string codigo, monto, montoPag, base;
};

// A person's stored rows, in rowid order; each row carries the person's key.
struct HeldPerson {
  PersonKey key;
  std::vector<HeldConcept> concepts;
};

struct ComputedPersons {
  std::vector<HeldPerson> persons;  // in the order computed
  std::size_t rows = 0;             // all of them
  // With the rows of persons of other categories, which nobody here reads: the table's count.
  std::size_t tableRows = 0;
};

// The stored rows of persons just stored, their texts moved out of `persons` (which is done with);
// the table holds `otherRows` more, of persons of other categories.
std::shared_ptr<const ComputedPersons> takeStored(std::vector<PersonData>& persons, std::size_t otherRows);

// Keeps `persons` with the declaration, as what the working table holds from now on; nothing
// (null) when the last computation did not hold every row.
void holdComputed(const data::Database& db, const OpenDeclaration& decl,
                  std::shared_ptr<const ComputedPersons> persons);

// Whether nothing was written on the connection since the held rows were stored, for this
// declaration.
bool heldUnchanged(const data::Database& db, const OpenDeclaration& decl);

// After a write known to leave the working tables alone: the held rows still are theirs.
void keepHeldAfterWrite(const data::Database& db, const OpenDeclaration& decl);

// The held rows when they still are every row of TMPF601CONCEP (but the other categories'), else
// null.
const ComputedPersons* heldComputed(data::Database& db, const OpenDeclaration& decl);

}  // namespace korventa::model
