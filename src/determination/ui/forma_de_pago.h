#pragma once
// FormaDePagoZEL: the payment data below the determination grid — cash or cheque, the bank
// (list 004; "XX" when none is chosen), the cheque number, and the total to pay that the grid
// writes.
#include <QWidget>

#include "data/database.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

namespace korventa::ui {

class FormaDePagoZEL : public QWidget {
  Q_OBJECT
  Q_PROPERTY(QString tipoPago READ tipoPago WRITE setTipoPago)
  Q_PROPERTY(QString banco READ banco WRITE setBanco)
  Q_PROPERTY(QString nroCheque READ nroCheque WRITE setNroCheque)
  Q_PROPERTY(QString total READ total WRITE setTotal)

 public:
  FormaDePagoZEL(data::Database& db, QWidget* parent = nullptr);
  QString tipoPago() const;  // "E" or "C"
  QString banco() const;     // "XX" when no bank is chosen
  QString nroCheque() const;
  QString total() const;
  void setTipoPago(const QString& t);
  void setBanco(const QString& b);
  void setNroCheque(const QString& n);
  void setTotal(const QString& t);

 signals:
  void changed();

 private:
  void updateEnabled();
  QRadioButton* efectivo_;
  QRadioButton* cheque_;
  QComboBox* banco_;
  QLineEdit* nroCheque_;
  QLineEdit* total_;
};

}  // namespace korventa::ui
