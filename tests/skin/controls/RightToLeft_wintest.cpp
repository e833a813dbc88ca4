// Right-to-left reading on a system that reads right to left: a form's
// bdRightToLeft reaches its skinned check box, combo box and group box, which
// put the glyph, the button and the caption on the other side.
#include <gtest/gtest.h>
#include <windows.h>

#include "SkinnedForm.h"
#include "skin/controls/sCheckBox_win.h"
#include "skin/controls/sComboBox_win.h"
#include "skin/controls/sGroupBox_win.h"
#include "support/PlatformSeams.h"

namespace kv {
namespace {

using kvtest::TPixels;

class RightToLeft : public kvtest::TSkinnedForm {
 protected:
  void SetUp() override {
    platform.Calls().IsMiddleEastLocale = [] { return true; };
    TSkinnedForm::SetUp();
  }
  // Where a colour shows inside the control, in its own coordinates.
  RECT Bounds(const TPixels& shot, TControl* c, COLORREF colour) {
    const TPixels own =
        shot.Crop({c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()});
    return own.BoundsOf(colour);
  }

  kvtest::TPlatformScope platform;
};

TEST_F(RightToLeft, TheFormsModeMirrorsCheckBoxComboBoxAndGroupBox) {
  for (TBiDiMode mode : {bdLeftToRight, bdRightToLeft}) {
    const bool rtl = mode == bdRightToLeft;
    SCOPED_TRACE(rtl ? "right to left" : "left to right");
    form->SetBiDiMode(mode);
    auto* check = Create<TsCheckBox>(form);
    check->SetParent(form);
    check->SetBounds(10, 10, 120, 24);
    check->SetCaption("Arm");
    auto* combo = Create<TsComboBox>(form);
    combo->SetParent(form);
    combo->SetStyle(csDropDownList);
    combo->SetBounds(10, 50, 120, 24);
    auto* group = Create<TsGroupBox>(form);
    group->SetParent(form);
    group->SetBounds(150, 10, 160, 100);
    group->SetCaption("Relay");
    group->SetCaptionSkin("BUTTON");  // a plate the caption sits on
    ASSERT_EQ(check->UseRightToLeftAlignment(), rtl) << "the form's mode reaches its children";

    const TPixels shot = Shot();
    const RECT glyph = Bounds(shot, check, skin->Colour("GLOBALINFO", "BOXUNCHECKED", 0));
    EXPECT_EQ(glyph.left > check->Width() / 2, rtl) << "check glyph at " << glyph.left;
    const RECT button = Bounds(shot, combo, skin->Colour("COMBOBTN", "BORDERSMASK", 0));
    EXPECT_EQ(button.left, rtl ? 2 : combo->Width() - GetSystemMetrics(SM_CXVSCROLL) - 3);
    const RECT plate = Bounds(shot, group, skin->Colour("BUTTON", "BORDERSMASK", 0));
    ASSERT_LT(plate.left, plate.right) << "the caption's plate shows";
    if (rtl)
      EXPECT_EQ(plate.right, group->Width() - 6) << "caption at the right";
    else
      EXPECT_EQ(plate.left, 6) << "caption at the left";
    for (TControl* c : {static_cast<TControl*>(check), static_cast<TControl*>(combo),
                        static_cast<TControl*>(group)})
      c->Free();
  }
}

// Without a system that reads right to left, the mode alone changes nothing.
TEST_F(RightToLeft, NeedsASystemThatReadsRightToLeft) {
  platform.Calls().IsMiddleEastLocale = [] { return false; };
  form->SetBiDiMode(bdRightToLeft);
  auto* check = Create<TsCheckBox>(form);
  check->SetParent(form);
  EXPECT_EQ(check->BiDiMode(), bdRightToLeft);
  EXPECT_FALSE(check->UseRightToLeftReading());
  EXPECT_EQ(check->GetControlsAlignment(), taRightJustify);
  check->SetBiDiMode(bdLeftToRight);
  form->SetBiDiMode(bdRightToLeftReadingOnly);
  EXPECT_EQ(check->BiDiMode(), bdLeftToRight) << "a mode of its own stays";
  check->SetParentBiDiMode(true);
  EXPECT_EQ(check->BiDiMode(), bdRightToLeftReadingOnly);
}

}  // namespace
}  // namespace kv
