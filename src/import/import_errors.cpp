#include "import/import_errors.h"

#include <utility>

#include "common/text.h"

namespace korventa::import {

namespace {

using Entry = std::pair<const char*, const char*>;

constexpr Entry kTranPer[] = {
    {"0900", "El tipo de documento no es válido"},
    {"0901", "El número de documento no es válido"},
    {"0902", "El número de días trabajados es mayor al número de días del mes "},
    {"0903", "La fecha de inicio no es válida"},
    {"0904", "La fecha de fin no es válida"},
    {"0905", "El número de CITT no es válido "},
    {"0906", "El número de horas normales trabajadas no debe ser mayor a 744"},
    {"0907", "La fecha de fin no puede ser menor a la de inicio"},
    {"0908", "No esta registrado este trabajador"},
    {"0909", "El número de horas trabajadas en sobre tiempo no debe ser mayor a 744"},
    {"0910", "No utilizar puntos decimales en el ingreso de las horas y minutos"},
    {"0911", "El total de horas trabajadas no puede ser mayor a 744."},
    {"0912", "El tipo de suspensión no es válido "},
    {"0913", "La parte lesionada no es válida"},
    {"0914", "El tipo de documento no puede estar vacio "},
    {"0915", "El número de documento no puede estar vacío "},
    {"0916", "El número CITT no puede estar vacío "},
    {"0917", "El número de días trabajados no puede estar vacío "},
    {"0918", "Las horas normales trabajadas no puede estar vacia"},
    {"0919", "Las horas trabajadas en sobre tiempo no puede estar vacia"},
    {"0920", "Si el número de CITT es cero no debe ingresar fechas "},
    {"0921", "El código de establecimineto no es válido"},
    {"0923", "No debe ingresar información en campo parte lesionada"},
    {"0924", "El concepto no es válido"},
    {"0925", "El monto no es válido"},
    {"0926", "El monto no es numérico"},
    {"0927", "El monto debe tener un solo punto decimal"},
    {"0928", "El monto debe tener siete(7) números enteros"},
    {"0929", "El monto es muy grande"},
    {"0930", "Ingrese el monto"},
    {"0931", "Ingrese monto positivo"},
    {"0932", "El correlativo de establecimiento no es válido"},
    {"0933", "El tipo de pago no es válido"},
    {"0934", "Concepto no válido o no seleccionado"},
    {"0935", "Tasa no es válida"},
    {"0936", "Tasa no se encuentra registrada"},
    {"0937", "Concepto válido para regimen pensionario 21, 22, 23 y 24"},
    {"0938", "Fechas se cruzan con otros registros ingresados"},
    {"0939", "Fecha final debe ser del período que se esta declarando"},
    {"0940", "Fecha de inicio no es válida"},
    {"0941", "Fecha no debe ser mayor al período que se declara"},
    {"0942", "El concepto no es válido para tipo 98"},
    {"0943", "No ingresar monto para concepto 0605 para un no domiciliado"},
    {"0944", "El concepto no es válido. Declarante no tiene registrado SENATI."},
    {"0945", "El concepto no es válido. Trabajador no tiene señalado SCTR-Pensiones."},
    {"0946", "El concepto no es válido. Trabajador no tiene señalado régimen pensionario D.L. 20530."},
    {"0947", "Los minutos normales trabajados no puede estar vacio"},
    {"0948", "Los minutos trabajados en sobre tiempo no puede estar vacio"},
    {"0949", "El número de minutos normales trabajados no debe ser mayor a 59"},
    {"0950", "Ya ingreso CITT para este trabajador "},
    {"0951", "La cantidad de días del CITT es demasiado grande "},
    {"0952", "El número de minutos trabajados en sobre tiempo no debe ser mayor a 59"},
    {"0953", "El tipo y/o la situación del trabajador no le permiten estar subsidiado"},
    {"0954", "Los montos devengado y pagado deben ser iguales para los conceptos 06XX y 08XX"},
    {"0955", "No debe registrar establecimientos para este tipo de trabajador"},
    {"0956", "No debe registrar establecimientos para situacion 18 y 19"},
    {"0957", "El trabajador no esta señalado con SCTR de ESSALUD"},
    {"0958",
     "El concepto no es válido. Trabajador no tiene señalado régimen pensionario 30 - Sistema Pensiones "
     "Sociales"},
    {"0959", "Monto pagado puede ingresar en conceptos 1000 o 2040 para trabajador tipo 67"},
    {"0960", "No ingresar concepto 0605 para tipo 67 en este periodo"},
    {"0961",
     "El concepto no es válido. Este concepto es válido para el Ministerio de RR.EE y el Reg. pensionario "
     "tipo 13."},
    {"0962", "El concepto 615 solo es válido para el tipo de trabajador 89."},
    {"0963", "El concepto 617 solo es válido para los tipos de trabajador 32, 37 y 38."},
    {"0964", "El Concepto 617 sólo es válido para tipos de pensión 2, 21, 22, 23 y 24."},
};

constexpr Entry kTransferencia[] = {
    {"0201", "Faltan campos en su archivo de transferencia"},
    {"0878", "El indicador de renta debe ser 1"},
    {"0879", "El indicador de IES debe ser 1"},
    {"0901", "Falta indicador de Renta"},
    {"0902", "Falta Porcentaje de renta"},
    {"0903", "Falta Indicador de IES"},
    {"0904", "Para este período no existe IES"},
    {"0934", "El tipo de recibo es inválido"},
    {"0935", "La fecha de pago no es válida"},
    {"0936", "La fecha de pago del recibo es mayor al período declarado"},
    {"0941", "La fecha de emisión debe ser menor a la fecha de pago."},
    {"0851", "El período tributario no es válido"},
    {"0937", "Trabajador no ha sido ingresado como Prestador de servicio - Modalidad formativa"},
    {"0938", "Tipo de documento no es válido para no domiciliados"},
    {"0939", "No debe registrar un mismo comprobante con distintas fechas de emisión"},
    {"0940", "El comprobante ya ha sido registrado, o esta duplicado en el archivo de importación."},
    {"0789", "El comprobante tiene campos en blanco."},
    {"9999", "Trabajador no ha sido ingresado como Prestador de servicio 4ta."},
};

constexpr Entry kImportMF[] = {
    {"0201", "Faltan campos en su archivo de transferencia"},
    {"0937", "Trabajador no ha sido ingresado como Prestador de servicio - Modalidad formativa"},
    {"0938", "Tipo de documento no es válido "},
    {"0939", "Número de  documento no es válido "},
    {"0940", "El monto es incorrecto."},
    {"0941", "Número de RUC es inválido."},
    {"0942", "El número de RUC de la empresa a la que destaco o desplazo no existe."},
    {"0943", "Código de local es incorrecto."},
    {"0944", "Local no existe."},
};

constexpr Entry kTransPT[] = {
    {"0900", "El tipo de documento no es válido"},
    {"0901", "El número de documento no es válido"},
    {"0908", "No esta registrado este trabajador"},
    {"0914", "El tipo de documento no puede estar vacio "},
    {"0915", "El número de documento no puede estar vacío "},
    {"0924", "El correlativo del centro de riesgo no es válido"},
    {"0925", "La tasa no es válida"},
    {"0926", "El monto no es numérico"},
    {"0927", "El monto debe tener un solo punto decimal"},
    {"0928", "El monto debe tener doce(12) números enteros"},
    {"0929", "El monto es muy grande"},
    {"0930", "Ingrese el monto"},
    {"0931", "Ingrese monto positivo"},
    {"0860", "El monto no es válido"},
    {"0932", "La tasa ingresada no es válida"},
    {"0933", "La tasa ingresada debe tener un solo punto decimal"},
    {"0934", "La tasa debe ser máximo de 3 números enteros"},
    {"0935", "La tasa ingresada no es numérica"},
};

template <std::size_t N>
const char* find(const Entry (&table)[N], std::string_view code) {
  for (const auto& [c, m] : table)
    if (code == c) return m;
  return nullptr;
}

}  // namespace

const char* fixedMessage(Form form, std::string_view code) {
  switch (form) {
    case Form::TranPer:
      return find(kTranPer, code);
    case Form::Transferencia:
      return find(kTransferencia, code);
    case Form::ImportMF:
      return find(kImportMF, code);
    case Form::TransPT:
      return find(kTransPT, code);
  }
  return nullptr;
}

ErrorCatalog::ErrorCatalog(data::Database& db, Form form) : form_(form) {
  for (const auto& r : db.rows("SELECT CodError, DescError FROM ERROR"))
    table_.emplace(text::trim(r.text(0)), r.text(1));
}

std::string ErrorCatalog::message(std::string_view code) const {
  if (const char* m = fixedMessage(form_, code)) return m;
  auto it = table_.find(std::string(code));
  if (it != table_.end()) return it->second;
  return kOtroError;
}

}  // namespace korventa::import
