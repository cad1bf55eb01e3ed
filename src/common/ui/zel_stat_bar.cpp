#include "common/ui/zel_stat_bar.h"

namespace korventa::ui {

ZELStatBar::ZELStatBar(QWidget* parent) : QStatusBar(parent) {
  setObjectName("ZELStatBar");
  auto label = [this](const char* name, int minWidth) {
    auto* l = new QLabel(this);
    l->setObjectName(name);
    l->setMinimumWidth(minWidth);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return l;
  };
  formulario_ = label("lblFormulario", 60);
  mensaje_ = label("lblMensaje", 200);
  declarante_ = label("lblDeclarante", 110);
  periodo_ = label("lblPeriodo", 70);
  addWidget(formulario_);
  addWidget(mensaje_, 1);
  addPermanentWidget(declarante_);
  addPermanentWidget(periodo_);
  setEstilo(1);
}

void ZELStatBar::setEstilo(int v) {
  estilo_ = v;
  // 1: sunken panels; any other value: flat.
  auto style = v == 1 ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame;
  for (QLabel* l : {formulario_, mensaje_, declarante_, periodo_}) l->setFrameStyle(style);
}

}  // namespace korventa::ui
