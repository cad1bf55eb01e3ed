#include <gtest/gtest.h>

#include "common/list_form.h"

using namespace korventa;

// The message of an empty list is checked through the forms (ProviderHeader); what typing sets
// off on leaving, through SuspensionsTest.
TEST(ListForm, NoRowChosenAndTheSaveQuestionOnLeaving) {
  RecordingMessenger m;
  EXPECT_FALSE(list_form::canModifyRow(m, 3, -1));
  EXPECT_EQ(m.last(), "Tiene que seleccionar registro a modificar");
  EXPECT_FALSE(list_form::confirmDeleteRow(m, 2, 5));
  EXPECT_EQ(m.last(), "Tiene que Seleccionar un registro");
  m.queueAnswer(Answer::Yes);
  EXPECT_TRUE(list_form::confirmDeleteRow(m, 2, 1));
  EXPECT_EQ(m.last(), "¿Confirma que va eliminar el registro seleccionado?");

  m.clear();
  int saves = 0;
  auto save = [&saves](bool ok) {
    return [&saves, ok] {
      ++saves;
      return ok;
    };
  };
  EXPECT_TRUE(list_form::mayLeave(m, false, save(true)));
  EXPECT_TRUE(m.entries().empty()) << "an unchanged form leaves without a question";
  m.queueAnswer(Answer::Cancel);
  EXPECT_FALSE(list_form::mayLeave(m, true, save(true)));
  ASSERT_EQ(m.entries().size(), 1u);
  EXPECT_EQ(m.entries()[0].text, "¿La información ha sido modificada, desea guardar los cambios?");
  EXPECT_EQ(m.entries()[0].title, "Confirmar");
  m.queueAnswer(Answer::No);
  EXPECT_TRUE(list_form::mayLeave(m, true, save(true)));
  EXPECT_EQ(saves, 0);
  m.queueAnswer(Answer::Yes);
  EXPECT_FALSE(list_form::mayLeave(m, true, save(false))) << "a refused save keeps the form open";
  EXPECT_EQ(saves, 1);
}
