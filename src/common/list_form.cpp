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

bool canModifyRow(Messenger& m, int rowCount, int selectedRow) {
  return canModify(m, rowCount, selectedRow >= 0 && selectedRow < rowCount);
}

bool confirmDeleteRow(Messenger& m, int rowCount, int selectedRow) {
  return confirmDelete(m, rowCount, selectedRow >= 0 && selectedRow < rowCount);
}

bool mayLeave(Messenger& m, bool changed, const std::function<bool()>& save) {
  if (!changed) return true;
  Answer a = m.ask("¿La información ha sido modificada, desea guardar los cambios?", "Confirmar",
                   MsgButtons::YesNoCancel, Answer::Yes);
  if (a == Answer::Cancel) return false;
  if (a == Answer::No) return true;
  return save();
}

}  // namespace korventa::list_form
