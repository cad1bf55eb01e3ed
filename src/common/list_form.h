#pragma once
// The checks shared by every list form (new, modify, delete, exit): each answers whether the
// action may go on, after showing the usual message.
#include "common/messenger.h"

namespace korventa::list_form {

// Modify: the list must have rows and one selected.
bool canModify(Messenger& m, int rowCount, bool selected);
// Delete: the list must have rows and one selected, and the user must confirm
// "¿Confirma que va eliminar el registro seleccionado?" (title "Eliminar Registro").
bool confirmDelete(Messenger& m, int rowCount, bool selected);

}  // namespace korventa::list_form
