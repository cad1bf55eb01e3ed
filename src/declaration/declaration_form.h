#pragma once
// Controller of the declaration form Frm402: the state of the open declaration (declarant,
// period, telephone, rectification, order number, modified flag), the checks of the header in
// their order, the loads (new from the registry, stored, sent), the refresh, the save and the
// close, and what the detail and import forms need before and after they are shown.
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/progress.h"
#include "data/declarants.h"
#include "data/session.h"
#include "model/open_declaration.h"
#include "declaration/save.h"

namespace korventa::declaration {

// Answer of a step: whether it went through and, when not, the field to put the focus on, and
// whether the person cancelled it (nothing of it stayed).
struct Outcome {
  bool ok = true;
  std::string focus;
  bool cancelled = false;
  static Outcome fail(std::string f) { return {false, std::move(f)}; }
};

// Completes the declarant's concept set: the concepts its labour regime needs, 0616 and 0617,
// and — while the set lacks the defaults — the catalogue's default concepts (0614 only for the
// general declarant). Runs in its own transaction.
void Adicionar_CON_AFEC(Session& session, const std::string& ruc);

// ValidaPeriodo of the declaration form: a complete "MM/YYYY" must lie between 01/2008 and the
// current month, before 01/2013, with a month 01–12. Shows the message; incomplete text passes.
bool ValidaPeriodoDeclaracion(Messenger& m, const std::string& mmyyyy);

class DeclarationForm {
 public:
  // markOpen: a declaration opened or started is marked open in the file for the other sessions
  // to see, which neither open nor write it meanwhile (the module). Commands that run in one
  // transaction, or only read, pass false: the save still refuses what another session changed
  // or holds.
  explicit DeclarationForm(Session& session, bool markOpen = true);
  ~DeclarationForm();
  DeclarationForm(const DeclarationForm&) = delete;
  DeclarationForm& operator=(const DeclarationForm&) = delete;

  static const char* caption() { return "0601 Korventa"; }

  // Mode 0: an empty form waiting for declarant and period.
  void newDeclaration();
  // Mode 1: the declaration in preparation; false (with the message shown) when it cannot be read.
  bool openDeclaration(const std::string& ruc, const std::string& periodo);
  // The order-number path: a sent declaration read from the history.
  bool openSent(const std::string& ruc, const std::string& periodo, const std::string& correl);

  Mode mode() const { return mode_; }
  bool loaded() const { return loaded_; }
  bool modified() const { return modified_; }
  void setModified() { modified_ = true; }
  model::OpenDeclaration& declaration() { return d_; }
  const model::OpenDeclaration& declaration() const { return d_; }

  // Header.
  std::vector<data::DeclarantItem> declarants();            // items of CmbRuc
  Outcome CmbRuc_Click(const std::string& ruc);             // name, concept set, focus to the period
  Outcome MkePeriodo_LostFocus(const std::string& mmyyyy);  // ValidaPeriodo
  // Whether leaving the period field checks it (again): while nothing is loaded, when what the
  // check reads — the text, the declarant, the telephone — is not what it was at the last check.
  // A refused period is so read again once the declarant or the telephone is put right, without
  // retyping it; leaving it unchanged for another field does not repeat the same message.
  bool periodNeedsCheck(const std::string& mmyyyy) const;
  // Mode 0: the period accepted; entry checks, then the load from the registry and the computation,
  // reported on `progress`. Cancelled, nothing is loaded and the form stays empty.
  Outcome acceptPeriod(const std::string& mmyyyy, Progress& progress = Progress::none());
  void setTelefono(const std::string& t) {
    d_.telephone = t;
    modified_ = modified_ || loaded_;
  }
  void setRectifica(bool r) {
    d_.rectifica = r;
    modified_ = modified_ || loaded_;
  }
  void setNumOrden(const std::string& n) {
    d_.numOrden = n;
    modified_ = true;
  }
  // Payment data (from the payment-form component): type "E"/"C", bank ("XX" none), cheque, total.
  void setPaymentType(const std::string& t) { d_.payment.type = t; }
  void setBank(const std::string& b) { d_.payment.bank = b; }
  void setChequeNumber(const std::string& c) { d_.payment.chequeNumber = c; }
  void setTotal(const std::string& t) { d_.payment.total = t; }

  // Boxes 320, 321, 322 and 547 of the fourth-category tab as shown, summed from the receipts of
  // the working set; empty texts without receipts or before a declaration is loaded.
  std::vector<std::pair<std::string, std::string>> fourthCategoryBoxes();

  // "&Refrescar" (asks first); true when refreshed. Cancelled, the working set stays as it was.
  bool refresh(Progress& progress = Progress::none());
  // Whether the last load or refresh was cancelled.
  bool cancelled() const { return cancelled_; }
  // "&Guardar". Cancelled, nothing is written (SaveResult::cancelled).
  SaveResult save(Progress& progress = Progress::none());
  // "&Salir": asks to save a modified declaration; true when the form may close (working tables emptied).
  bool leave();
  // Closes without asking (batch use): the working tables are emptied, nothing is saved.
  void closeWithoutSaving();
  // While the form is open, every minute: the mark that tells other sessions the declaration is
  // open here is renewed (without waiting for a busy file).
  void renewHold() const;

  // Before a detail form opens on this declaration (the form receives the person it works on).
  void prepareDetail();
  // After a detail form of a person closed: the declaration counts as modified when the form
  // wrote something (its accept already computed and stored the person).
  void afterDetail(const PersonKey& person);
  // After an import form of a category imported files (a form closed with nothing imported, or
  // whose runs were all cancelled, changed nothing and calls nothing). Only the persons the files
  // touched are computed again, reported on `progress` (not cancelled: the files are in).
  void afterImport(int category, const std::vector<PersonKey>& touched, Progress& progress = Progress::none());
  // "E&liminar" of the providers' page: the provider header of that kind and its vouchers.
  bool removeProvider(int rowCount, const std::optional<PersonKey>& provider, const std::string& retention);

 private:
  // Runs `body` in one transaction; a failure or a cancellation is reported and rolls it back.
  bool runLoad(const char* what, const std::function<void()>& body);
  // Opening (or starting) a declaration marks, reads and loads it in one transaction: a busy file
  // is waited for once, and a step that fails leaves neither the mark nor anything else behind.
  bool opening(const std::function<bool()>& steps);
  bool openInTransaction(model::OpenDeclaration d);
  Outcome startNew(const std::string& periodo, Progress& progress);
  Outcome acceptPeriodUnmarked(const std::string& mmyyyy, Progress& progress);
  // The declaration marked open for this session (shown to other sessions), and the mark removed.
  bool hold(const std::string& ruc, const std::string& periodo);
  void release();
  // Opening a stored or sent declaration: the state reset, the header fields both share, and the
  // working tables loaded from it.
  model::OpenDeclaration startOpening(const std::string& ruc, const std::string& periodo);
  void readHeader(model::OpenDeclaration& d, const data::Row& cab);
  bool loadOpened(model::OpenDeclaration d);
  Session& s_;
  model::OpenDeclaration d_;
  Mode mode_ = Mode::New;
  std::int64_t changesBeforeDetail_ = -1;  // rows written by the connection when a detail form opened
  bool loaded_ = false;
  bool modified_ = false;
  bool cancelled_ = false;
  bool markOpen_ = true;
  std::optional<std::pair<std::string, std::string>> held_;  // RUC and period marked open
  struct PeriodCheck {
    std::string text, ruc, telephone;
  };
  std::optional<PeriodCheck> lastPeriodCheck_;  // the last check of the period field
  Outcome checked(const std::string& text, Outcome o);
};

}  // namespace korventa::declaration
