#pragma once
// FrmConsist ("Inconsistencias detectadas"): the inconsistency file of the last validation in a
// read-only fixed-pitch box, "&Imprimir" through the report engine and "&Aceptar".
#include <filesystem>

#include <QDialog>

#include "data/session.h"
#include "model/open_declaration.h"

class QPlainTextEdit;

namespace korventa::ui {

class FrmConsist : public QDialog {
  Q_OBJECT
 public:
  FrmConsist(Session& session, std::filesystem::path mens, QWidget* parent = nullptr);
  // "&Validar" of the declaration form: the rules run over `decl`; this form shows the report
  // when an inconsistency was found (the clean and stopping messages are shown by the rules).
  // True when the declaration was checked and found consistent.
  static bool validar(Session& session, const model::OpenDeclaration& decl, QWidget* parent = nullptr);
  QString text() const;

 private:
  void cmdImprimir_Click();
  Session& s_;
  std::filesystem::path mens_;
  QPlainTextEdit* txt_;
};

}  // namespace korventa::ui
