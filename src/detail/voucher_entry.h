#pragma once
// One voucher of a fourth-category provider (dialog Frm61502): kind, series, number, the four
// dates, the amount and the retentions, checked in order and written to the working vouchers.
#include <string>
#include <vector>

#include "common/money.h"
#include "data/session.h"
#include "detail/fourth_category.h"

namespace korventa::detail {

struct VoucherContext {
  const model::OpenDeclaration* decl = nullptr;
  PersonKey person;
  HeaderIdentity identity;
  bool headerIsNew = false;              // the header form is adding a person
  std::vector<std::string> kindsBefore;  // kinds the person had when the header form opened
};

class VoucherEntry {
 public:
  VoucherEntry(Session& session, VoucherContext context);

  void startNew();
  void load(const Voucher& v);
  bool isNew() const { return rowid_ == 0; }
  const VoucherContext& context() const { return ctx_; }

  const std::vector<VoucherKind>& kinds() const { return kinds_; }
  // Percentages offered (texts with two decimals) for the income tax and for IES.
  const std::vector<std::string>& rateChoices() const { return rates_; }
  const std::vector<std::string>& iesRateChoices() const { return iesRates_; }

  // Fields as typed. Dates are "dd/mm/yyyy" texts, possibly with the mask's "_".
  void setKind(const std::string& code);
  void setSeries(const std::string& s) {
    series_ = s;
    touch();
  }
  void setNumber(const std::string& s) {
    number_ = s;
    touch();
  }
  void setIssueDate(const std::string& d) {
    issue_ = d;
    touch();
  }
  void setStartDate(const std::string& d) {
    start_ = d;
    touch();
  }
  void setEndDate(const std::string& d) {
    end_ = d;
    touch();
  }
  void setPaymentDate(const std::string& d) {
    payment_ = d;
    touch();
  }
  void setAmount(const std::string& a);
  void setRetain(bool retain);
  void setRate(const std::string& rate);
  void setIesRetain(bool retain);
  void setIesRate(const std::string& rate);
  void setNumFor(const std::string& n) {
    numFor_ = n;
    touch();
  }

  // Key filter of the series box: the character to use, or 0 after "Caracter no permitido".
  int seriesKey(int key);
  // Leaving the amount: the S/. 1,500 question for fee receipts and the enabling of the
  // retention frame.
  void amountLeft();
  // Leaving the form number: shown with eight digits.
  void numForLeft();

  const std::string& kind() const { return kind_; }
  const std::string& series() const { return series_; }
  const std::string& number() const { return number_; }
  const std::string& issueDate() const { return issue_; }
  const std::string& startDate() const { return start_; }
  const std::string& endDate() const { return end_; }
  const std::string& paymentDate() const { return payment_; }
  const std::string& amount() const { return amount_; }
  bool retain() const { return retain_; }
  const std::string& rate() const { return rate_; }
  bool iesRetain() const { return iesRetain_; }
  const std::string& iesRate() const { return iesRate_; }
  const std::string& numFor() const { return numFor_; }
  Money retention() const { return mtoRta_; }
  Money ies() const { return mtoIes_; }

  // Displays: amount "##,###,###,##0.00"; retentions with negatives in parentheses.
  std::string amountDisplay() const;
  std::string retentionDisplay() const;
  std::string iesDisplay() const;

  bool seriesEnabled() const { return kind_ != "D" && kind_ != "O"; }
  bool retentionEnabled() const { return retentionEnabled_; }
  bool rateEnabled() const { return retentionEnabled_ && retain_; }
  bool iesVisible() const;
  bool numForEnabled() const;
  std::string suspensionCaption() const;
  std::string iesSuspensionCaption() const;

  // Field checks on leaving each date (they show their message).
  bool Valida_mskFec_Emi();
  bool Valida_mskFec_ini();
  bool Valida_mskFec_Fin();
  bool Valida_mskFec_Pago();
  // Every check of the voucher, in order, stopping at the first failure.
  bool Valida_Recibo();
  // Valida_Recibo, then Graba_Recibo in one transaction. True when the voucher was written.
  bool accept();

  bool modified() const { return modified_; }
  const std::string& focus() const { return focus_; }

  void Calcula_Rta();
  void Calcula_Rta_Dietas() { Calcula_Rta(); }

 private:
  bool fail(const std::string& message, const std::string& focus, const std::string& title = "Mensaje");
  bool checkDate(const std::string& value, const std::string& focus, const char* emptyMsg, const char* invalidMsg,
                 const char* periodMsg, bool mustMatchPeriod);
  bool Graba_Recibo();
  bool authorisationFormAccepted();
  void touch() { modified_ = true; }
  void HabRetenciones() { retentionEnabled_ = true; }
  void DesRetenciones() { retentionEnabled_ = false; }
  const std::string& periodo() const { return ctx_.decl->periodo; }

  Session& s_;
  VoucherContext ctx_;
  std::vector<VoucherKind> kinds_;
  std::vector<std::string> rates_, iesRates_;
  std::int64_t rowid_ = 0;
  std::string kind_, series_, number_, issue_, start_, end_, payment_, amount_;
  bool retain_ = true, iesRetain_ = false;
  std::string rate_, iesRate_, numFor_;
  Money mtoRta_, mtoIes_;
  bool retentionEnabled_ = true;
  bool modified_ = false;
  std::string focus_;
};

// "yyyymmdd" of a date box's text, "" when empty (only mask characters), "?" when it is not a
// valid date between 01/01/1850 and 01/01/2500.
std::string dateBoxYmd(const std::string& text);

}  // namespace korventa::detail
