#pragma once
// Header of a fourth-category provider (dialog Frm61501): identity, names and domicile, the
// list of the provider's vouchers with a counter per kind, and the checks that guard them.
// The same header serves trainees (category 5), whose vouchers live in the MF tables.
#include <map>
#include <string>
#include <vector>

#include "data/param.h"
#include "data/session.h"
#include "detail/fourth_category.h"
#include "detail/voucher_entry.h"

namespace korventa::detail {

// A person of the category in the declarant's registry.
struct RegisteredPerson {
  PersonKey key;
  std::string apellidoP, apellidoM, nombre1, nombre2, indDomicilio, ruc;
  std::string caption;  // name + "  -  " + RUC (or document)
};

// CargaComboTipoDoc1: the declarant's registered persons of a category (providers need
// ind_cat_4ta = 1), ordered by document type and number.
std::vector<RegisteredPerson> CargaComboTipoDoc1(data::Database& db, std::string_view ruc, int category);

// The cells of a voucher in the provider's list: kind, series, number, issue and payment dates,
// amount, "SI"/"NO" for the retention, its rate and amount.
std::vector<std::string> voucherCells(const Voucher& v);

// Why a voucher form cannot open on its provider.
inline constexpr const char* kProviderUnreadable = "No se pudo leer el prestador.";
inline constexpr const char* kRucMissing = "Debe ingresar el Número de RUC.";

class ProviderHeader {
 public:
  ProviderHeader(Session& session, const model::OpenDeclaration& decl, int category = kProvider);

  // New provider; or an existing one (its header names, BuscoNombre, and its vouchers).
  void openNew();
  bool openExisting(const PersonKey& person);
  bool isNew() const { return isNew_; }
  // A stored or sent declaration only shows its vouchers.
  bool readOnly() const { return source_ != VoucherSource::Working; }
  int category() const { return category_; }
  const model::OpenDeclaration& declaration() const { return decl_; }

  const std::vector<RegisteredPerson>& registered() const { return registered_; }
  const std::vector<data::DocumentType>& documentTypes() const { return docTypes_; }
  // Picks a registered person: document, names and domicile come from the registry.
  void chooseRegistered(std::size_t index);
  // Leaving the document typed into a new header: a person the declaration already has is
  // opened after saying so (names and vouchers); one of the registry brings its names. True
  // when the header changed.
  bool documentEntered();

  void setTipDoc(int t);
  void setDocId(const std::string& d);
  void setDesPat(const std::string& v) {
    id_.desPat = v;
    touch();
  }
  void setDesMat(const std::string& v) {
    id_.desMat = v;
    touch();
  }
  void setDesNo1(const std::string& v) {
    id_.desNo1 = v;
    touch();
  }
  void setDesNo2(const std::string& v) {
    id_.desNo2 = v;
    touch();
  }
  void setDomiciled(bool domiciled) {
    id_.indDomicilio.assign(1, domiciled ? '1' : '2');
    touch();
  }

  int tipDoc() const { return person_.tip_doc_a; }
  const std::string& docId() const { return person_.doc_id_a; }
  const PersonKey& person() const { return person_; }
  const HeaderIdentity& identity() const { return id_; }
  bool domiciled() const { return id_.indDomicilio != "2"; }

  // Identity checks in order, then the invalid-RUC and empty-first-name questions.
  bool Valida_Cab();

  // Vouchers of the person and the counters per kind.
  const std::vector<Voucher>& vouchers() const { return vouchers_; }
  void Refresh_Recibos();
  int count(const std::string& kind) const;
  // Counter lines: caption + count, one per kind of list 853.
  std::vector<std::string> counterTexts() const;

  // CmdNuevoRec: the context of a new voucher, or nothing after a message.
  std::optional<VoucherContext> newVoucher();
  // CmdModificaRec: the context to modify the selected voucher (index, -1 for none).
  std::optional<VoucherContext> modifyVoucher(int index);
  // CmdEliminaRec: deletes the selected voucher after the question.
  bool Eliminar(int index);

  // Accept: at least one voucher, checks, then Graba_Cab in one transaction.
  bool accept();
  // Leaving: the question about an empty header (deleting it) or about unsaved changes.
  // True when the form may close.
  bool leave();

  bool modified() const { return modified_; }
  const std::string& focus() const { return focus_; }

 private:
  bool fail(const std::string& message, const std::string& focus, const std::string& title = "Mensaje");
  bool Graba_Cab();
  void BuscoNombre();
  void touch() { modified_ = true; }
  VoucherContext contextFor() const;
  void deleteEmptyHeaders();

  Session& s_;
  const model::OpenDeclaration& decl_;
  int category_;
  VoucherSource source_;
  std::vector<RegisteredPerson> registered_;
  std::vector<data::DocumentType> docTypes_;
  bool isNew_ = true;
  PersonKey person_;
  HeaderIdentity id_;
  std::vector<std::string> kindsBefore_;
  std::vector<Voucher> vouchers_;
  std::vector<VoucherKind> kinds_;
  bool modified_ = false;
  bool identityAccepted_ = false;
  std::string focus_;
};

}  // namespace korventa::detail
