#pragma once
// EPS credit: the invoices of a health provider (EPS) credited against a box of the declaration
// (602, 612, 408 or 428). FrmInf602 lists the invoices of one box with their totals and writes
// the credit total to the box on close; FrmInfEPS records one invoice after ValidaEPS.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/money.h"
#include "data/session.h"
#include "model/open_declaration.h"
#include "detail/detail_support.h"
#include "model/eps_credit_sums.h"

namespace korventa::detail {

// The EPS forms check their box with the model's rule.
using model::isEpsBox;

// The same for a form opened on a box: false after "La casilla … no tiene detalle de EPS.".
bool checkEpsBox(Messenger& m, std::string_view casilla);
// Boxes of invoices of earlier periods (their own period and date rules).
inline bool isPastPeriodBox(std::string_view casilla) {
  return casilla == "612" || casilla == "428";
}

// ValidaPeriodo: YYYYMM with a year from 1990 and a month 01–12.
bool ValidaPeriodo(std::string_view yyyymm);
// Date rules; each gives its message, or "" when the dates pass. Dates dd/mm/yyyy, periods YYYYMM.
std::string ValidaFecPago(std::string_view fecPago, std::string_view periodo);
std::string ValidaFecEmis(std::string_view fecEmis, std::string_view periodoFac);
std::string ValidaFecEmis612(std::string_view fecEmis, std::string_view periodoFac);
std::string ValidaFecPago612(std::string_view fecPago, std::string_view periodo);
// Series rules by issue date; "" when the series passes.
std::string validaSerie(std::string_view serie, std::string_view fecEmis);

struct EpsProvider {
  std::string ruc, nombre;
};
// The own health service of the employer (list 902), listed with the providers.
EpsProvider ownService(data::Database& db);
bool EsServicioPropio(data::Database& db, std::string_view ruc);
// Providers offered for a box: for 602 and 408 those of list 701 that some worker of the
// declarant is affiliated to; for 612 and 428 the declarant's own provider table. The own
// service is always offered.
std::vector<EpsProvider> epsProviders(data::Database& db, const std::string& ruc, std::string_view casilla);
std::string providerName(data::Database& db, const std::string& ruc, const std::string& rucEps);

struct EpsInvoice {
  std::int64_t rowid = 0;
  std::string rucEps, nombre, periodoFac, numSerie, numFac, fecEmis, fecPago, impTotal, impCred;
};
// An invoice amount as shown once its box is left ("1,000") and as typed (the separators gone).
std::string shownEpsAmount(std::string_view stored);
std::string typedEpsAmount(std::string_view shown);
// The cells of an invoice in the list of its box: EPS, name, period (MM/AAAA), series, number,
// issue and payment dates, total and credit as shown.
std::vector<std::string> invoiceCells(const EpsInvoice& i);

}  // namespace korventa::detail
