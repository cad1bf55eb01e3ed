#pragma once
// The suite's status bar: one numeric property (the panel style, 1 = normal) and four texts —
// the form code, a hint that mouse moves over the main window clear, the declarant and the
// period of the open declaration.
#include <QLabel>
#include <QStatusBar>

namespace korventa::ui {

class ZELStatBar : public QStatusBar {
  Q_OBJECT
  Q_PROPERTY(int Estilo READ Estilo WRITE setEstilo)
  Q_PROPERTY(QString Formulario READ Formulario WRITE setFormulario)
  Q_PROPERTY(QString Mensaje READ Mensaje WRITE setMensaje)
  Q_PROPERTY(QString Declarante READ Declarante WRITE setDeclarante)
  Q_PROPERTY(QString Periodo READ Periodo WRITE setPeriodo)
 public:
  explicit ZELStatBar(QWidget* parent = nullptr);

  int Estilo() const { return estilo_; }
  QString Formulario() const { return formulario_->text(); }
  QString Mensaje() const { return mensaje_->text(); }
  QString Declarante() const { return declarante_->text(); }
  QString Periodo() const { return periodo_->text(); }

  void setEstilo(int v);
  void setFormulario(const QString& v) { formulario_->setText(v); }
  void setMensaje(const QString& v) { mensaje_->setText(v); }
  void setDeclarante(const QString& v) { declarante_->setText(v); }
  void setPeriodo(const QString& v) { periodo_->setText(v); }

 private:
  int estilo_ = 0;
  QLabel* formulario_;
  QLabel* mensaje_;
  QLabel* declarante_;
  QLabel* periodo_;
};

}  // namespace korventa::ui
