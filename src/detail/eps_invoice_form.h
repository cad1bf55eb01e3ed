#pragma once
// FrmInfEPS without its window: one EPS invoice, recorded after ValidaEPS.
#include "detail/eps_credit.h"

namespace korventa::detail {

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
