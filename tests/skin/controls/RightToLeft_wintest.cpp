// Right-to-left reading on a system that reads right to left: a form's
// bdRightToLeft reaches its skinned check box, combo box and group box, which
// put the glyph, the button and the caption on the other side.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "SkinnedForm.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/controls/sCheckBox_win.h"
#include "skin/controls/sComboBox_win.h"
#include "skin/controls/sEdit_win.h"
#include "skin/controls/sGroupBox_win.h"
#include "skin/controls/sLabel_win.h"
#include "skin/controls/sListView_win.h"
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

// A bit button with its glyph on the left shows it on the right when the
// form reads right to left, its caption on the other side, neither covering
// the other.
TEST_F(RightToLeft, TheBitButtonsGlyphAndCaptionChangeSides) {
  constexpr COLORREF kGlyph = RGB(0, 200, 0);
  for (TBiDiMode mode : {bdLeftToRight, bdRightToLeft}) {
    const bool rtl = mode == bdRightToLeft;
    SCOPED_TRACE(rtl ? "right to left" : "left to right");
    form->SetBiDiMode(mode);
    auto* button = Create<TsBitBtn>(form);
    button->SetParent(form);
    button->SetBounds(10, 10, 160, 40);
    button->SetCaption("Stop");
    button->Glyph().SetPixelFormat(pf24bit);
    button->Glyph().SetSize(16, 16);
    {
      TBitmapCanvas canvas(button->Glyph());
      // The bottom-left pixel's colour is the see-through one.
      const RECT all{0, 0, 16, 16}, inside{2, 2, 14, 14};
      FillRect(canvas.Handle(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
      HBRUSH green = CreateSolidBrush(kGlyph);
      FillRect(canvas.Handle(), &inside, green);
      DeleteObject(green);
    }
    const TPixels shot = Shot();
    const RECT glyph = Bounds(shot, button, kGlyph);
    const RECT text = Bounds(shot, button, skin->Colour("BUTTON", "FONTCOLOR", 0));
    ASSERT_LT(glyph.left, glyph.right) << "no glyph";
    ASSERT_LT(text.left, text.right) << "no caption";
    if (rtl)
      EXPECT_LE(text.right, glyph.left) << "caption ends at " << text.right;
    else
      EXPECT_LE(glyph.right, text.left) << "caption starts at " << text.left;
    button->Free();
  }
}

// A disabled label on a skin writes its text in the reading order of its
// form: right to left, the same letters come out in another order.
TEST_F(RightToLeft, ADisabledLabelReadsAsItsForm) {
  std::vector<std::vector<COLORREF>> pictures;
  for (TBiDiMode mode : {bdLeftToRight, bdRightToLeft}) {
    form->SetBiDiMode(mode);
    auto* label = Create<TsLabel>(form);
    label->SetParent(form);
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 120, 20);
    label->SetCaption("(12");
    label->SetEnabled(false);
    const TPixels shot = Shot();
    std::vector<COLORREF> picture;
    for (int y = 10; y < 30; ++y)
      for (int x = 10; x < 130; ++x) picture.push_back(shot.At(x, y));
    pictures.push_back(picture);
    label->Free();
  }
  EXPECT_NE(pictures[0], pictures[1]) << "the text came out in the same order";
}

// A combo box, edit or list view switched to the other reading order takes
// its caption label with it, and back.
TEST_F(RightToLeft, ABoundLabelReadsAsItsControl) {
  const auto labelled = [&](auto* c) {
    c->SetParent(form);
    c->SetBounds(120, 10, 120, 24);
    c->BoundLabel()->SetCaption("Port");
    c->BoundLabel()->SetActive(true);
    return std::pair<TControl*, TsBoundLabel*>(c, c->BoundLabel());
  };
  for (const auto& [control, bound] :
       {labelled(Create<TsComboBox>(form)), labelled(Create<TsEdit>(form)),
        labelled(Create<TsListView>(form))}) {
    SCOPED_TRACE(control->ClassName());
    ASSERT_NE(bound->Label(), nullptr);
    for (TBiDiMode mode : {bdRightToLeft, bdLeftToRight}) {
      control->SetBiDiMode(mode);
      EXPECT_EQ(bound->Label()->BiDiMode(), mode);
    }
    control->Free();
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
