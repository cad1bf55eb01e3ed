#pragma once
// The printed declaration (FrmTipPrn): the declaration pages (pcargar1) with the page header of
// every page (ReporteCab600), the annexes of EPS invoices behind the credit boxes (ImpAnexo),
// written in the report language; and the plain-text variant ("ZEL0600_" file).
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "data/session.h"
#include "declaration/catalogue.h"
#include "printouts/declaration_data.h"
#include "printouts/text_encoding.h"
#include "reports/page_range.h"
#include "reports/report_writer.h"

namespace korventa::printouts {

// optImp: what to print.
enum class PrintWhat : int { Declaracion = 0, Anexos = 1, DeclaracionYAnexos = 2 };

struct PrintChoice {
  PrintWhat what = PrintWhat::Declaracion;
  bool anexo602 = false;  // ChkAnexo(0): boxes 602 and 408
  bool anexo612 = false;  // ChkAnexo(1): boxes 612 and 428
  bool declaration() const { return what != PrintWhat::Anexos; }
  bool annexes() const { return what != PrintWhat::Declaracion; }
  // The annex boxes to print, in order ("602", "408", "612", "428").
  std::vector<std::string> annexBoxes() const;
};

// One EPS invoice of an annex.
struct EpsInvoice {
  std::string ruc, nombre, periodoFac, serie, numero, fecEmis, fecPago, impTotal, impCred;
};

// The EPS invoices of a box of the declaration: a stored declaration reads F600INFEPS (sent:
// HF600INFEPS by Correl); `working` reads the working table of the declaration open in the form.
// The EPS name comes from list 701; an invoice of an EPS missing from the list still prints.
std::vector<EpsInvoice> epsInvoices(Session& session, const DeclarationRef& ref, const std::string& casilla,
                                    bool working = false);

inline constexpr int kAnnexRowsPerPage = 35;

// The pages of a printout, known before it is written (the header shows "Pag. n/total").
struct PrintoutPlan {
  bool declaration = false;
  struct Section {
    std::string casilla;
    std::vector<EpsInvoice> rows;
    int pages = 1;
  };
  std::vector<Section> sections;
  int pages() const;
};
PrintoutPlan planPrintout(Session& session, const StoredDeclaration& decl, const PrintChoice& choice,
                          bool workingInvoices = false);

// Writes the whole printout through `w` (destination "ARCHIVO"); returns the number of pages.
int writeDeclarationPrintout(reports::ReportWriter& w, const StoredDeclaration& decl, const PrintoutPlan& plan);

// Registers a "PR0040" report in SPOOL, writes the printout into it and returns its path.
std::filesystem::path producePrintout(Session& session, const StoredDeclaration& decl, const PrintChoice& choice,
                                      bool workingInvoices = false);

// The plain-text variant (ArchivoCab600, ArchivoDet600), lines without line ends.
std::vector<std::string> declarationTextLines(const StoredDeclaration& decl);
// "ZEL0600_" RUC "_" YYYYMM ".txt".
std::string declarationTextFileName(const StoredDeclaration& decl);
// Writes the text variant into `dir` (CR LF line ends, Windows-1252 unless asked otherwise) and
// shows "La declaración se encuentra en el directorio … con el nombre: …", with the note on
// characters written as "?" when there were any. Returns the file written; a file that cannot be
// written shows "No se pudo escribir el archivo …" and gives nothing.
std::optional<std::filesystem::path> writeDeclarationTextFile(Session& session, const StoredDeclaration& decl,
                                                              const std::filesystem::path& dir,
                                                              TextEncoding encoding = TextEncoding::Windows1252);

// The form FrmTipPrn without its window: the list of declarations (in preparation or sent, as the
// menu chose), the options and the four buttons.
class DeclarationPrintoutForm {
 public:
  // `open`: the declaration open in the declaration form, if any; its row prints what is on screen.
  DeclarationPrintoutForm(Session& session, bool sent, const model::OpenDeclaration* open = nullptr);

  std::vector<std::string> columns() const;
  std::vector<std::string> cells(const declaration::CatalogueRow& r) const;
  const std::vector<declaration::CatalogueRow>& requery();
  const std::vector<declaration::CatalogueRow>& rows() const { return rows_; }
  bool sent() const { return sent_; }

  // optImp: 0 disables and clears both annex boxes, 1 and 2 enable them.
  void setOptImp(int index);
  int optImp() const { return static_cast<int>(choice_.what); }
  bool annexesEnabled() const { return choice_.what != PrintWhat::Declaracion; }
  // ChkAnexo(index); ignored while the annexes are disabled.
  void setChkAnexo(int index, bool checked);
  bool chkAnexo(int index) const { return index == 0 ? choice_.anexo602 : choice_.anexo612; }
  const PrintChoice& choice() const { return choice_; }

  // Whether a row is the declaration in preparation open in the declaration form: its boxes
  // then come from the computation and its EPS invoices from the working table.
  bool isOpenInForm(int row) const;
  // The declaration of a list row read with its boxes; nullopt when the row does not exist.
  std::optional<StoredDeclaration> declarationAt(int row);

  // "&Preliminar" and "&Imprimir": the spool file of the selected declaration (nothing when no row
  // is selected). `plan` receives how the user chooses pages before the preview.
  std::optional<std::filesystem::path> producir(int row, reports::RangeDialogPlan* plan = nullptr);
  // "&Archivo": the text variant into `dir` (the report folder when empty).
  std::optional<std::filesystem::path> archivo(int row, const std::filesystem::path& dir = {});

 private:
  Session& s_;
  bool sent_;
  const model::OpenDeclaration* open_;
  PrintChoice choice_;
  std::vector<declaration::CatalogueRow> rows_;
};

}  // namespace korventa::printouts
