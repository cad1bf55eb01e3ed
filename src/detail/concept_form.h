#pragma once
// FrmDetConcep: the concept amounts of one worker or pensioner, group by group, and the
// contributions that follow from them. Edits are kept in memory; accept writes them (and the
// person's summary row) in one transaction; exit writes nothing.
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "data/session.h"
#include "model/open_declaration.h"
#include "determination/computation.h"

namespace korventa::detail {

class ConceptForm {
 public:
  enum class Frame { None, Grid, Worker, Employer };  // Frame5, Frame3, Frame4
  enum class Column { Monto, MontoPag };

  struct GroupItem {
    std::string group;  // "01"
    std::string text;   // "0100  INGRESOS"
  };
  struct GridRow {
    std::string codigo, descrip, monto, monto_pag;
  };
  // One code of a contribution panel.
  struct Box {
    std::string code, label;
    std::string amount, base;
    bool exists = false;  // the person has a row for the code
    bool visible = true;
    bool disabled = true;  // grey
    bool amountLocked = true;
    bool hasBase = false;
    bool baseLocked = true;
  };

  ConceptForm(Session& session, const model::OpenDeclaration& decl, const PersonKey& person);
  ~ConceptForm();

  // Form_Load: the group chooser (CargaConcep), the person's rows and the rules applied.
  // Throws std::runtime_error when the person is not in the working set.
  void load();

  const std::vector<GroupItem>& groups() const { return groups_; }
  // The chooser's click: by group code ("06") or by item text.
  void chooseGroup(std::string_view groupOrItem);
  const std::string& group() const { return group_; }
  Frame frame() const;

  // Grid of the chosen group (not 06 or 08), ordered by code.
  std::vector<GridRow> grid() const;
  bool cellEditable(int row, Column column) const;
  // A cell edit with the grid's entry rules; false when the cell refuses it.
  bool setCell(int row, Column column, std::string_view typed);
  // Totals of the chosen group; for 07 only the paid one counts, for 10 and 20 only the accrued.
  std::string totalMonto() const;
  std::string totalMontoPag() const;
  bool showsTotalMonto() const;
  bool showsTotalMontoPag() const;

  // Whose amounts these are: document number and name, as the declaration's grid shows them.
  std::string personLabel() const;

  // Contribution panels.
  std::string workerCaption() const;
  const std::array<Box, 17>& workerBoxes() const { return worker_; }
  const std::array<Box, 11>& employerBoxes() const { return employer_; }
  // Typing in a panel box (on leaving it); false when the box is locked or the text breaks
  // the entry rules.
  bool setWorkerAmount(int i, std::string_view typed);
  bool setWorkerBase(int i, std::string_view typed);
  bool setEmployerAmount(int j, std::string_view typed);
  bool setEmployerBase(int j, std::string_view typed);
  std::string totalAport() const;  // "########0.00", "" when every box is empty
  std::string totalAportE() const;

  // cmdAceptar: writes every row of the person and the summary row, in one transaction.
  void accept();

  const model::PersonData& person() const { return person_; }

 private:
  void applyRules();
  void fillPanel(Box& box, const std::string& code);
  std::vector<std::size_t> gridRows() const;  // indexes into person_.concepts
  bool setPanel(bool worker, int index, bool base, std::string_view typed);

  Session& session_;
  const model::OpenDeclaration& decl_;
  PersonKey key_;
  std::unique_ptr<determination::Computation> computation_;
  model::PersonData person_;
  determination::PanelRules rules_;
  std::vector<GroupItem> groups_;
  std::string group_;
  std::array<Box, 17> worker_;
  std::array<Box, 11> employer_;
};

}  // namespace korventa::detail
