#include <gtest/gtest.h>

#include "common/list_form.h"

using namespace korventa;

// The messages of an empty list and of no row chosen, the delete question and the answers to the
// save question on leaving are checked through the detail forms (ProviderHeader,
// SuspensionsTest); here the cases those forms do not reach.
TEST(ListForm, NoRowChosenAndARefusedSaveOnLeaving) {
  RecordingMessenger m;
  EXPECT_FALSE(list_form::canModifyRow(m, 3, -1));
  EXPECT_EQ(m.last(), "Tiene que seleccionar registro a modificar");
  EXPECT_FALSE(list_form::confirmDeleteRow(m, 2, 5));
  EXPECT_EQ(m.last(), "Tiene que Seleccionar un registro");
  m.queueAnswer(Answer::Yes);
  EXPECT_TRUE(list_form::confirmDeleteRow(m, 2, 1));

  m.clear();
  int saves = 0;
  auto refused = [&saves] {
    ++saves;
    return false;
  };
  EXPECT_TRUE(list_form::mayLeave(m, false, refused));
  EXPECT_TRUE(m.entries().empty()) << "an unchanged form leaves without a question";
  m.queueAnswer(Answer::Yes);
  EXPECT_FALSE(list_form::mayLeave(m, true, refused)) << "a refused save keeps the form open";
  ASSERT_EQ(m.entries().size(), 1u);
  EXPECT_EQ(m.entries()[0].title, "Confirmar");
  EXPECT_EQ(saves, 1);
}
