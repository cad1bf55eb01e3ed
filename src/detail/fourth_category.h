#pragma once
// Vouchers of fourth-category providers (and of formative-modality trainees, kept in the MF
// tables): the voucher kinds, the tables of each category and the reading of vouchers from the
// working set, the stored declaration or the history.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/database.h"
#include "data/keys.h"
#include "model/open_declaration.h"
#include "model/receipt_sums.h"

namespace korventa::detail {

// Context position of list 044 for the identity documents of providers and trainees (DNI,
// foreigner card, RUC, passport).
inline constexpr int kDocContextIndependent = 66;

struct VoucherKind {
  std::string code;         // R, N, D, O
  std::string description;  // list 853
};

// Voucher kinds of list 853 ordered by code; with `only` just that kind.
std::vector<VoucherKind> CargaComboTipoServ(data::Database& db, std::string_view only = {});
// Caption of the counter of a kind in the header form, e.g. "Cantidad de Dietas: ".
std::string counterCaption(std::string_view kind);
// "PS-4ta" or "Modalidad Formativa".
std::string categoryCaption(int category);

// The tables that hold the headers and vouchers of a category (3 providers, 5 trainees).
struct VoucherTables {
  const char* workCab;
  const char* workDet;
  const char* storedCab;
  const char* storedDet;
};
const VoucherTables& voucherTables(int category);

struct Voucher {
  std::string tip_retencion, num_ser, num_rec, fec_emi, fec_pago, mto_rec;
  std::string ind_rta, por_rta, mto_rta, ind_ies, por_ies, mto_ies, num_for;
  std::int64_t rowid = 0;  // working row, 0 for stored ones
};

// Where the vouchers of a declaration are read from: the working tables while it is edited,
// the stored tables or the history (by its sending sequence) when it is only consulted.
// Vouchers are read from the same sources as the model's sums.
using model::VoucherSource;
VoucherSource sourceFor(const model::OpenDeclaration& decl);

// Vouchers of one person (all kinds) ordered by kind, payment date, series and number.
std::vector<Voucher> listVouchers(data::Database& db, VoucherSource source, const model::OpenDeclaration& decl,
                                  const PersonKey& person);

// Next free number of the series "XXX" of a category's working vouchers, with eight digits.
std::string nextXxxNumber(data::Database& db, int category);

// Header identity kept with every header row of a person.
struct HeaderIdentity {
  std::string desPat, desMat, desNo1, desNo2;
  std::string indDomicilio = "1";  // "1" domiciled, "2" not
  std::string ruc;                 // the provider's own RUC when known
  std::string rucEstado;           // "0" when the RUC was accepted although invalid
};

// Writes (or updates) the working header of a person and kind.
void writeHeader(data::Database& db, const model::OpenDeclaration& decl, const PersonKey& person, std::string_view kind,
                 const HeaderIdentity& id);

}  // namespace korventa::detail
