#include "common/list_form.h"

namespace korventa::list_form {

bool canModify(Messenger& m, int rowCount, bool selected) {
  if (rowCount <= 0) {
    m.show("No existen registros para modificar", "Mensaje", MsgIcon::Information);
    return false;
  }
  if (!selected) {
    m.show("Tiene que seleccionar registro a modificar", "Mensaje", MsgIcon::Information);
    return false;
  }
  return true;
}

bool confirmDelete(Messenger& m, int rowCount, bool selected) {
  if (rowCount <= 0) {
    m.show("No existen registros para eliminar", "Mensaje", MsgIcon::Information);
    return false;
  }
  if (!selected) {
    m.show("Tiene que Seleccionar un registro", "Mensaje", MsgIcon::Information);
    return false;
  }
  return m.ask("¿Confirma que va eliminar el registro seleccionado?", "Eliminar Registro", MsgButtons::YesNo,
               Answer::No) == Answer::Yes;
}

}  // namespace korventa::list_form
