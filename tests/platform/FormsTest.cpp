#include "Forms.h"

#include <gtest/gtest.h>

TEST(FormsTest, ParentFormIsTheNearestFormAbove) {
  TForm form;
  QWidget panel(&form);
  QWidget button(&panel);
  EXPECT_EQ(GetParentForm(&button), &form);
  QWidget loose;
  EXPECT_EQ(GetParentForm(&loose), nullptr);
  EXPECT_EQ(GetParentForm(nullptr), nullptr);
}
