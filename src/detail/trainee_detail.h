#pragma once
// One formative-modality trainee (dialog Frm601MFDET): identity, the amount paid in the month
// and the declarant's establishments where the trainee trains.
#include <string>
#include <vector>

#include "data/param.h"
#include "data/session.h"
#include "detail/fourth_category.h"
#include "detail/provider_header.h"

namespace korventa::detail {

struct TraineeEstablishment {
  std::int64_t cod_est = 0;
  std::string nom_est, cod_tipest, tipoDescripcion, doc_ruc_emp;
  bool selected = false;
  std::string caption;  // code, type, owner's RUC and name separated by two spaces
};

// Descrip_Tipo: the first 24 characters of list 028 for an establishment type.
std::string Descrip_Tipo(data::Database& db, std::string_view codTipest);

class TraineeDetail {
 public:
  TraineeDetail(Session& session, const model::OpenDeclaration& decl);

  void openNew();
  bool openExisting(const PersonKey& person);
  bool isNew() const { return isNew_; }
  bool readOnly() const { return source_ != VoucherSource::Working; }

  const std::vector<RegisteredPerson>& registered() const { return registered_; }
  const std::vector<data::DocumentType>& documentTypes() const { return docTypes_; }
  void chooseRegistered(std::size_t index);

  void setTipDoc(int t);
  void setDocId(const std::string& d);
  void setApellidoP(const std::string& v) {
    apellidoP_ = v;
    touch();
  }
  void setApellidoM(const std::string& v) {
    apellidoM_ = v;
    touch();
  }
  void setNombre1(const std::string& v) {
    nombre1_ = v;
    touch();
  }
  void setAmount(const std::string& a) {
    amount_ = a;
    touch();
  }
  // Leaving the amount box shows it with "##,###,###,##0.00"; Enter in an empty box complains.
  std::string amountDisplay() const;
  bool amountEnter();

  const PersonKey& person() const { return person_; }
  const std::string& apellidoP() const { return apellidoP_; }
  const std::string& apellidoM() const { return apellidoM_; }
  const std::string& nombre1() const { return nombre1_; }
  const std::string& amount() const { return amount_; }

  // lstHorario: the trainee's establishments (selected) and the declarant's other ones.
  const std::vector<TraineeEstablishment>& establishments() const { return establishments_; }
  void setSelected(std::size_t index, bool selected);
  int selectedCount() const;

  bool Valida_Cab();
  bool Valida_Cab2();
  // CmdAceptaRec: checks, at least one establishment, then Graba_Cab in one transaction.
  bool accept();
  // Deletes the trainee (and his establishments) after the question.
  bool Eliminar();
  // Leaving: the question about unsaved changes. True when the form may close.
  bool leave();

  bool modified() const { return modified_; }
  const std::string& focus() const { return focus_; }

 private:
  bool fail(const std::string& message, const std::string& focus, const std::string& title = "Mensaje");
  void loadEstablishments();
  void Graba_Cab();
  void touch() { modified_ = true; }
  std::string docText() const;

  Session& s_;
  const model::OpenDeclaration& decl_;
  VoucherSource source_;
  std::vector<RegisteredPerson> registered_;
  std::vector<data::DocumentType> docTypes_;
  bool isNew_ = true;
  PersonKey person_;
  std::string apellidoP_, apellidoM_, nombre1_, amount_;
  std::vector<TraineeEstablishment> establishments_;
  bool modified_ = false;
  std::string focus_;
};

}  // namespace korventa::detail
