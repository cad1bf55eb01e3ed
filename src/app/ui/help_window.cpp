#include "app/ui/help_window.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QPushButton>
#include <QVBoxLayout>

// The built-in guide is a resource of the forms library; a static library registers its
// resources when asked to.
static void registerHelpResource() {
  Q_INIT_RESOURCE(help);
}

namespace korventa::ui {

HelpWindow::HelpWindow(const QString& installedFile, QWidget* parent) : QDialog(parent) {
  registerHelpResource();
  setObjectName("HelpWindow");
  setWindowTitle("Ayuda - Formulario 0601");
  setWindowFlag(Qt::WindowMinMaxButtonsHint, true);
  resize(760, 560);
  browser_ = new QTextBrowser(this);
  browser_->setObjectName("txtAyuda");
  browser_->setOpenExternalLinks(true);
  auto* close = new QPushButton("&Cerrar", this);
  close->setObjectName("CmdCerrar");
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(browser_);
  layout->addLayout(buttons);

  QFileInfo installed(installedFile);
  if (!installedFile.isEmpty() && installed.isFile() && installed.isReadable())
    browser_->setSource(QUrl::fromLocalFile(installed.absoluteFilePath()));
  else
    browser_->setSource(builtInGuide());
}

}  // namespace korventa::ui
