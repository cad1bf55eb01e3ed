#pragma once
// Frm601Detalle: the SCTR of the personnel of third parties (category 4) working at the
// declarant's premises — centre, rate, remuneration and the SCTR amount — kept in TEMP2_F601.
#include <string>
#include <vector>

#include "data/session.h"
#include "model/open_declaration.h"
#include "detail/detail_support.h"
#include "detail/sctr.h"

namespace korventa::detail {

struct ThirdPartyPerson {
  PersonKey key;
  std::string nombre, tipDoc;
};

class ThirdPartyForm {
 public:
  ThirdPartyForm(Session& session, const model::OpenDeclaration& decl);
  // The persons ordered by name and the declarant's own RUCs with risk establishments.
  void load();
  const std::vector<ThirdPartyPerson>& persons() const { return persons_; }  // CmbNombres
  const std::vector<Choice>& rucs() const { return rucs_; }                  // CmbRuc
  const std::vector<Choice>& establishments() const { return establishments_; }
  const std::vector<Choice>& rates() const { return rates_; }

  // Choosing a person shows the stored choice; -1 when the key is not listed.
  int choosePerson(const PersonKey& key);
  void choosePerson(int index);
  int person() const { return person_; }
  void chooseRuc(const std::string& ruc);
  void chooseEstablishment(const std::string& codEst);
  void chooseRate(const std::string& correlTasa);
  const std::string& ruc() const { return ruc_; }
  const std::string& establishment() const { return codEst_; }
  const std::string& rate() const { return correlTasa_; }

  // TxtRemSctr and the amount that follows it (TxtSCTR = remuneration × rate / 100, "######0.00").
  void setRemuneration(std::string text);
  const std::string& remuneration() const { return rem_; }
  const std::string& sctrAmount() const { return sctr_; }

  // CmdGrabar: the checks and the person's row updated; the list re-read.
  Outcome save();

 private:
  void recomputeAmount();
  std::string rateText() const;

  Session& session_;
  const model::OpenDeclaration& decl_;
  std::vector<ThirdPartyPerson> persons_;
  std::vector<Choice> rucs_, establishments_, rates_;
  int person_ = -1;
  std::string ruc_, codEst_, correlTasa_, rem_, sctr_;
};

}  // namespace korventa::detail
