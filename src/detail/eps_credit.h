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
inline bool isPastPeriodBox(std::string_view casilla) { return casilla == "612" || casilla == "428"; }

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

class EpsBoxForm {
 public:
  EpsBoxForm(Session& session, const model::OpenDeclaration& decl, std::string casilla);
  void load();
  const std::string& casilla() const { return casilla_; }
  // A declaration that may no longer change (sent) is shown read-only and its box left alone.
  bool readOnly() const { return readOnly_; }
  const std::vector<EpsInvoice>& rows() const { return rows_; }
  std::string totalText() const;    // TxtTotal602, "#,###,###,##0"
  std::string creditText() const;   // txtCredito
  std::string countText() const;    // "N  Facturas "
  // Delete: the question, then the invoice (nothing without a row or when read-only).
  bool remove(int selected);
  // Closing: the credit total written to the box in DET.
  void close();

 private:
  Session& session_;
  const model::OpenDeclaration& decl_;
  std::string casilla_;
  bool readOnly_ = false;
  std::vector<EpsInvoice> rows_;
  Money total_, credit_;
};

class EpsInvoiceForm {
 public:
  // Mode "NEW" when rowid is empty, "MOD" on that invoice.
  EpsInvoiceForm(Session& session, const model::OpenDeclaration& decl, std::string casilla,
                 std::optional<std::int64_t> rowid = std::nullopt);
  void load();
  bool modifying() const { return rowid_.has_value(); }
  const std::vector<EpsProvider>& providers() const { return providers_; }
  // Boxes 602 and 408 take the invoices of the declared period itself.
  bool periodEditable() const { return isPastPeriodBox(casilla_); }

  EpsInvoice invoice;  // the boxes (periodoFac YYYYMM, dates dd/mm/yyyy, whole amounts)
  // Leaving the series or number box: zero-filled to 4 and 8 characters.
  void fillSeries();
  void fillNumber();
  // Leaving a date box: a non-empty invalid date gets its message; false then.
  bool checkFecEmis();
  bool checkFecPago();

  Outcome ValidaEPS();
  // CmdOpciones (save): ValidaEPS, then the invoice added or updated.
  Outcome save();

 private:
  Session& session_;
  const model::OpenDeclaration& decl_;
  std::string casilla_;
  std::optional<std::int64_t> rowid_;
  std::vector<EpsProvider> providers_;
};

}  // namespace korventa::detail
