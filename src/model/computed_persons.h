#pragma once
// The concept rows of the working set as the computation of every person last stored them, kept
// with the open declaration so that the checks that follow can take them from memory instead of
// reading the whole working table back. They are good only while nothing has been written on the
// connection since: the working tables are private to it, so its write counts prove it.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/database.h"
#include "data/keys.h"
#include "model/open_declaration.h"
#include "model/person_data.h"

namespace korventa::model {

// A stored row of TMPF601CONCEP: its rowid and where its texts, exactly as stored, are kept (one
// buffer for all rows instead of four strings a row: a large payroll has hundreds of thousands).
struct HeldConcept {
  std::int64_t rowid = 0;
  std::uint32_t at = 0;                 // in ComputedPersons::texts
  std::array<std::uint16_t, 4> size{};  // of codigo, monto, monto_pag and base_calculo, one after another
  std::uint32_t descrip = 0;            // of a row not written yet: in ComputedPersons::descrips
};

// A person's stored rows, in rowid order; each row carries the person's key.
struct HeldPerson {
  PersonKey key;
  std::vector<HeldConcept> concepts;
};

struct ComputedPersons {
  std::vector<HeldPerson> persons;  // in the order computed
  std::string texts;
  // A text of a row: 0 codigo, 1 monto, 2 monto_pag, 3 base_calculo.
  std::string_view text(const HeldConcept& c, int i) const {
    std::size_t at = c.at;
    for (int k = 0; k < i; ++k) at += c.size[k];
    return std::string_view(texts).substr(at, c.size[i]);
  }
  std::size_t rows = 0;  // all of them
  // With the rows of persons of other categories, which nobody here reads: the table's count.
  std::size_t tableRows = 0;
  // Rows added by a computation whose working set is only saved and closed afterwards are kept
  // here and not written to the table: those from rowid `unwrittenFrom` on (0: none), with their
  // descriptions. Whoever reads the table instead of these rows writes them first
  // (writeHeldRows).
  std::int64_t unwrittenFrom = 0;
  std::size_t unwritten = 0;
  std::vector<std::string> descrips;
  // Every text exactly as the table holds it (a row read back with a NULL, a blob or a code with
  // surrounding spaces is held otherwise): the rows can then be stored from here.
  bool plainTexts = false;
};

// The stored rows of persons just stored; the table holds `otherRows` more, of persons of other
// categories. Null when a text is too long to be kept so (none of a real declaration is).
std::shared_ptr<const ComputedPersons> takeStored(const std::vector<PersonData>& persons, std::size_t otherRows,
                                                  bool plainTexts = false, const UnwrittenRows* unwritten = nullptr);

// Keeps `persons` with the declaration, as what the working table holds from now on; nothing
// (null) when the last computation did not hold every row.
void holdComputed(const data::Database& db, const OpenDeclaration& decl,
                  std::shared_ptr<const ComputedPersons> persons);

// Whether nothing was written on the connection since the held rows were stored, for this
// declaration.
bool heldUnchanged(const data::Database& db, const OpenDeclaration& decl);

// After a write known to leave the working tables alone: the held rows still are theirs.
void keepHeldAfterWrite(const data::Database& db, const OpenDeclaration& decl);

// The held rows when they still are every row of TMPF601CONCEP (but the other categories'), those
// not written yet included, else null.
const ComputedPersons* heldComputed(data::Database& db, const OpenDeclaration& decl);

// Writes to TMPF601CONCEP, with their own rowids, the held rows not written yet (but the 0807 rows
// without amounts once the save removed those): for whoever reads the table instead of the held
// rows. Inside the caller's transaction; nothing when there are none or they are written already.
void writeHeldRows(data::Database& db, const OpenDeclaration& decl);
// The save removed the 0807 rows without amounts from the table: those not written yet go too.
void dropEmpty0807(const OpenDeclaration& decl);

}  // namespace korventa::model
