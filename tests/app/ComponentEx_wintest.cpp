// The main window's click-sound controls: which sound a click asks for.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/ComponentEx_win.h"
#include "classlib/Forms.h"

namespace kv {
namespace {

std::vector<std::string> played;

void RecordSound(const std::string& resource) { played.push_back(resource); }

class ClickSounds : public ::testing::Test {
 protected:
  void SetUp() override {
    played.clear();
    previous_ = ComponentEx::SetPlayClickSound(RecordSound);
    form_ = CreateOwned<TForm>();
    form_->SetBounds(0, 0, 400, 300);
    form_->Show();
  }
  void TearDown() override { ComponentEx::SetPlayClickSound(previous_); }

  template <class T>
  T* Place(int top) {
    T* control = Create<T>(form_.get());
    control->SetParent(form_.get());
    control->SetBounds(10, top, 120, 24);
    return control;
  }
  static void Click(TWinControl* control) {
    SendMessageW(control->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(control->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  }

  ComponentEx::TPlayClickSound previous_ = nullptr;
  Owned<TForm> form_;
};

TEST_F(ClickSounds, LeftButtonDownPlaysEachClassItsSound) {
  auto* combo = Place<ComponentEx::TsComboBox>(100);
  combo->SetReadOnly(true);  // a click only focuses it, no drop-down to close
  TWinControl* controls[] = {Place<ComponentEx::TsBitBtn>(10), Place<ComponentEx::TsCheckBox>(40),
                             combo, Place<ComponentEx::TButton>(70),
                             Place<ComponentEx::TLabeledEdit>(160)};
  for (TWinControl* c : controls) Click(c);
  EXPECT_EQ((std::vector<std::string>{"CLICK", "CLICK", "LIST", "CLICK", "LIST"}), played);
}

TEST_F(ClickSounds, ASecondClickAsksForTheSoundAgain) {
  auto* button = Place<ComponentEx::TsBitBtn>(10);
  Click(button);
  Click(button);
  EXPECT_EQ((std::vector<std::string>{"CLICK", "CLICK"}), played);
}

TEST_F(ClickSounds, PlainControlsAndTheKeyboardPlayNothing) {
  Click(Place<TsBitBtn>(10));
  Click(Place<TButton>(40));
  Click(Place<TLabeledEdit>(70));
  auto* button = Place<ComponentEx::TButton>(100);
  auto* edit = Place<ComponentEx::TLabeledEdit>(130);
  SendMessageW(button->Handle(), WM_KEYDOWN, VK_SPACE, 0);
  SendMessageW(button->Handle(), WM_KEYUP, VK_SPACE, 0);
  SendMessageW(edit->Handle(), WM_CHAR, 'a', 0);
  SendMessageW(button->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
  SendMessageW(button->Handle(), WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(played.empty());
  EXPECT_EQ("a", edit->Text());
}

TEST_F(ClickSounds, ClicksStillReachTheControls) {
  auto* box = Place<ComponentEx::TsCheckBox>(10);
  auto* edit = Place<ComponentEx::TLabeledEdit>(40);
  bool clicked = false;
  box->OnClick = [&](TObject*) { clicked = true; };
  Click(box);
  EXPECT_TRUE(clicked);
  EXPECT_TRUE(box->Checked());
  Click(edit);
  EXPECT_TRUE(edit->Focused());
}

TEST_F(ClickSounds, WheelSettingsAreStoredOnly) {
  auto* edit = Place<ComponentEx::TLabeledEdit>(10);
  EXPECT_TRUE(edit->WheelEnabled());
  EXPECT_FALSE(edit->DoWheel());
  edit->SetWheelEnabled(false);
  edit->SetDoWheel(true);
  EXPECT_FALSE(edit->WheelEnabled());
  EXPECT_TRUE(edit->DoWheel());
  edit->SetText("12");
  SendMessageW(edit->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(15, 15));
  EXPECT_EQ("12", edit->Text());
}

}  // namespace
}  // namespace kv
