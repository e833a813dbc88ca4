// The skinned controls the login window uses, with no skin loaded.
#include <gtest/gtest.h>
#include <windows.h>

#include "classlib/Forms.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/controls/sComboBox_win.h"
#include "skin/controls/sSpeedButton_win.h"

namespace kv {
namespace {

class SkinControls : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = CreateOwned<TForm>();
    form_->SetBounds(0, 0, 300, 200);
  }
  Owned<TForm> form_;
};

TEST_F(SkinControls, ComboBoxDropsSixteenItemsAndFindsTextsExactly) {
  auto* box = Create<TsComboBox>(form_.get());
  box->SetParent(form_.get());
  EXPECT_EQ(16, box->DropDownCount());
  box->Items()->Add("COM1");
  box->Items()->Add("com3");
  EXPECT_EQ(1, box->IndexOfItem("com3"));
  EXPECT_EQ(-1, box->IndexOfItem("COM3"));
  EXPECT_EQ(-1, box->ItemIndex());
}

TEST_F(SkinControls, ReadOnlyComboBoxTakesTheFocusButDoesNotDropDown) {
  form_->Show();
  auto* box = Create<TsComboBox>(form_.get());
  box->SetParent(form_.get());
  box->SetStyle(csDropDownList);
  box->SetBounds(10, 10, 120, 24);
  box->Items()->Add("COM1");
  box->SetReadOnly(true);
  box->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 8));
  box->Perform(WM_LBUTTONUP, 0, MAKELPARAM(100, 8));
  EXPECT_FALSE(box->DroppedDown());
  EXPECT_TRUE(box->Focused());
}

TEST_F(SkinControls, SpeedButtonStateFollowsDown) {
  auto* button = Create<TsSpeedButton>(form_.get());
  button->SetParent(form_.get());
  EXPECT_EQ(0, button->CurrentState());
  button->SetGroupIndex(1);
  button->SetAllowAllUp(true);
  button->SetDown(true);
  EXPECT_TRUE(button->GetDown());
  EXPECT_EQ(2, button->CurrentState());
}

TEST_F(SkinControls, BitBtnStateIsPushedWhenDownAndRaisedWhenDefault) {
  auto* button = Create<TsBitBtn>(form_.get());
  button->SetParent(form_.get());
  EXPECT_EQ(0, button->CurrentState());
  button->SetDefault(true);
  EXPECT_EQ(1, button->CurrentState());
  button->SetDown(true);
  EXPECT_TRUE(button->GetDown());
  EXPECT_EQ(2, button->CurrentState());
}

}  // namespace
}  // namespace kv
