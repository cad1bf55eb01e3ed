#pragma once
// The checks shared by every list form (new, modify, delete, exit): each answers whether the
// action may go on, after showing the usual message.
#include <functional>

#include "common/messenger.h"

namespace korventa::list_form {

// Modify: the list must have rows and one selected.
bool canModify(Messenger& m, int rowCount, bool selected);
// Delete: the list must have rows and one selected, and the user must confirm
// "¿Confirma que va eliminar el registro seleccionado?" (title "Eliminar Registro").
bool confirmDelete(Messenger& m, int rowCount, bool selected);
// The same with the index of the selected row (-1 or out of range: none).
bool canModifyRow(Messenger& m, int rowCount, int selectedRow);
bool confirmDeleteRow(Messenger& m, int rowCount, int selectedRow);

// Leaving a detail form: when `changed`, "¿La información ha sido modificada, desea guardar los
// cambios?" (title "Confirmar", Yes/No/Cancel, Yes first). Cancel stays, No leaves without
// saving, Yes leaves when `save` succeeds. True when the form may close.
bool mayLeave(Messenger& m, bool changed, const std::function<bool()>& save);

}  // namespace korventa::list_form
