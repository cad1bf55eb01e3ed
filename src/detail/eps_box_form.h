#pragma once
// FrmInf602 without its window: the EPS invoices of one box with their totals; the credit
// total is written to the box on close.
#include "detail/eps_credit.h"

namespace korventa::detail {

class EpsBoxForm {
 public:
  EpsBoxForm(Session& session, const model::OpenDeclaration& decl, std::string casilla);
  void load();
  const std::string& casilla() const { return casilla_; }
  // A declaration that may no longer change (sent) is shown read-only and its box left alone.
  bool readOnly() const { return readOnly_; }
  const std::vector<EpsInvoice>& rows() const { return rows_; }
  std::string totalText() const;   // TxtTotal602, "#,###,###,##0"
  std::string creditText() const;  // txtCredito
  std::string countText() const;   // "N  Facturas "
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

}  // namespace korventa::detail
