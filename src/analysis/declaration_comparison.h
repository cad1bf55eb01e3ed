#pragma once
// A stored declaration compared with another: the declaration of another period (the one before
// by default) or a sending. Only what the program stored is read: the per-person rows, the
// concept rows with their bases and contributions, the receipts and the boxes (DET/HDET). The
// result lists the persons who entered and left, the persons whose bases or contributions moved
// by more than a threshold, every box that differs, and the reasons the program knows.
#include <optional>
#include <string>
#include <vector>

#include "common/money.h"
#include "data/session.h"
#include "printouts/declaration_data.h"

namespace korventa::analysis {

struct ComparisonRequest {
  printouts::DeclarationRef current;  // the declaration looked at
  printouts::DeclarationRef other;    // what it is compared with; an empty period: the one before
  Money threshold = Money::fromUnits(1);
};

// Person categories as the declaration keeps them (cod_cat_tra).
enum Category : int { kWorker = 1, kPensioner = 2, kProvider = 3, kThirdParty = 4, kTrainee = 5 };

struct ComparedPerson {
  int category = 0;
  long long tipDoc = 0;
  std::string docType;  // short name of the document type ("DNI"), else its number
  std::string doc;
  std::string name;
};

// One base or contribution of a person in both declarations (zero where it is missing).
struct ColumnChange {
  std::string column;   // TEMP_FCONBT column name, or the stored table's
  std::string caption;  // as the consultation of bases shows it
  Money before, after;  // the other declaration's, the current one's
  Money difference() const { return after - before; }
};

enum class PersonState { Entered, Left, Changed };

struct PersonDifference {
  PersonState state = PersonState::Changed;
  ComparedPerson person;
  // Entered and left: every amount the person has. Changed: the columns that moved by more
  // than the threshold.
  std::vector<ColumnChange> columns;
  std::vector<std::string> reasons;
};

struct BoxDifference {
  std::string casilla, caption;
  std::string before, after;  // stored texts (whole soles), "" where the box is empty
  long long difference = 0;
  std::vector<std::string> reasons;
};

struct Comparison {
  printouts::StoredDeclaration current, other;
  Money threshold;
  // Entered, then left, then changed; by category and document within each.
  std::vector<PersonDifference> persons;
  std::vector<BoxDifference> boxes;  // by box number
  bool same() const { return persons.empty() && boxes.empty(); }
  std::vector<const PersonDifference*> withState(PersonState state) const;
};

// The period compared with by default: the one before.
std::string previousPeriod(const std::string& periodo);

// Compares two stored declarations; nullopt (message shown) when either is not stored.
std::optional<Comparison> compareDeclarations(Session& session, const ComparisonRequest& request);

// Texts of the result, in Spanish.
std::string stateText(PersonState state);                           // "Ingresó", "Salió", "Cambió"
std::string categoryText(int category);                             // "Trabajador", "Pensionista", …
std::string declarationText(const printouts::DeclarationRef& ref);  // "06/2012" or "06/2012 enviada (1)"
std::string signedAmount(Money m);                                  // "+100.00", "-13.00"

}  // namespace korventa::analysis
