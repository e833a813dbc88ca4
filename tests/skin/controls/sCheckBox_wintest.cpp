// The skinned check box and radio button under Wine with the synthetic skin
// and the real cursor: the glyph names the skin mask and state it was cut
// from, clicks and the space key change the state (or, read-only, do not),
// and the system look comes back with the real state when the skin goes.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "classlib/ImgList.h"
#include "sButtonTestForm.h"
#include "skin/controls/sCheckBox_win.h"
#include "skin/core/sMessages.h"
#include "support/Counters.h"
#include "support/FreedMemory.h"
#include "support/Mouse.h"
#include "support/PlatformSeams.h"

namespace kv {
namespace {

using kvtest::ClientPixel;
using pump::PumpUntil;
using pump::PumpUntilIdle;

class CheckBoxSkinned : public kvtest::TSkinnedFormTest {
 protected:
  void Add() {
    box = Create<TsCheckBox>(form);
    box->SetParent(form);
    box->SetBounds(20, 20, 140, 24);
    box->SetCaption("Box");
  }
  POINT GlyphCentre() {
    const TRect r = box->CheckRect();
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  // What the glyph's middle shows on the screen.
  std::string Glyph() {
    const POINT p = GlyphCentre();
    return Item(ClientPixel(box->Handle(), p.x, p.y));
  }
  void PostSpace() {
    const LPARAM down = 1 | (static_cast<LPARAM>(MapVirtualKeyW(VK_SPACE, MAPVK_VK_TO_VSC)) << 16);
    PostMessageW(box->Handle(), WM_KEYDOWN, VK_SPACE, down);
    PostMessageW(box->Handle(), WM_KEYUP, VK_SPACE, down | (1u << 30) | (1u << 31));
    PumpUntilIdle();
  }

  TsCheckBox* box = nullptr;
};

TEST_F(CheckBoxSkinned, TheGlyphIsTheMaskOfEachState) {
  Load();
  Add();
  box->SetAllowGrayed(true);
  Show();
  kvtest::HoverOut();
  const struct {
    TCheckBoxState state;
    const char* mask;
  } rows[] = {{cbUnchecked, "BOXUNCHECKED"}, {cbChecked, "BOXCHECKED"}, {cbGrayed, "BOXGRAYED"}};
  for (const auto& row : rows) {
    box->SetState(row.state);
    PumpUntilIdle();
    EXPECT_EQ(Glyph(), Name("GLOBALINFO", row.mask, 0)) << row.mask;
  }
  EXPECT_EQ(Item(ClientPixel(box->Handle(), box->Width() - 2, 1)), Name("CHECKBOX", "COLOR", 0))
      << "the section's background";
}

TEST_F(CheckBoxSkinned, TheRealCursorMakesItHotPressedAndToggled) {
  Load();
  Add();
  Show();
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  kvtest::HoverOut();
  const POINT p = GlyphCentre();
  kvtest::MouseMove(box->Handle(), p);
  EXPECT_EQ(Glyph(), Name("GLOBALINFO", "BOXUNCHECKED", 1)) << "hot";
  kvtest::MouseDown(box->Handle(), p);
  EXPECT_EQ(Glyph(), Name("GLOBALINFO", "BOXUNCHECKED", 2)) << "pressed";
  EXPECT_TRUE(box->Focused()) << "a click focuses";
  kvtest::MouseUp(box->Handle(), p);
  EXPECT_EQ(box->State(), cbChecked);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(Glyph(), Name("GLOBALINFO", "BOXCHECKED", 1)) << "released, still hot";
  PostSpace();
  EXPECT_EQ(box->State(), cbUnchecked) << "space toggles back";
  EXPECT_EQ(clicks, 2);
  kvtest::HoverOut();
}

// A click on a read-only box is swallowed whole: no state, no focus (so no
// OnEnter); focused from the keyboard it shows the focus but ignores space.
TEST_F(CheckBoxSkinned, ReadOnlyIgnoresClickAndSpaceAndAClickTakesNoFocus) {
  Load();
  Add();
  box->SetReadOnly(true);
  auto* other = Create<TsCheckBox>(form);
  other->SetParent(form);
  other->SetBounds(20, 60, 140, 24);
  int entered = 0;
  box->OnEnter = [&](TObject*) { ++entered; };
  Show();
  other->SetFocus();
  kvtest::HoverOut();
  const POINT p = GlyphCentre();
  kvtest::MouseMove(box->Handle(), p);
  EXPECT_EQ(Glyph(), Name("GLOBALINFO", "BOXUNCHECKED", 0)) << "no hot look";
  kvtest::Click(box->Handle(), p);
  EXPECT_FALSE(box->Focused());
  EXPECT_EQ(entered, 0);
  EXPECT_EQ(box->State(), cbUnchecked);
  box->SetFocus();
  EXPECT_TRUE(box->Focused());
  PostSpace();
  EXPECT_EQ(box->State(), cbUnchecked);
  EXPECT_EQ(Glyph(), Name("GLOBALINFO", "BOXUNCHECKED", 0));
  kvtest::HoverOut();
}

// With AllowGrayed a click and the space key go unchecked, checked, grayed
// and round again.
TEST_F(CheckBoxSkinned, WithAllowGrayedClicksAndSpaceGoCheckedThenGrayed) {
  Load();
  Add();
  box->SetAllowGrayed(true);
  Show();
  kvtest::Click(box->Handle(), GlyphCentre());
  EXPECT_EQ(box->State(), cbChecked);
  PostSpace();
  EXPECT_EQ(box->State(), cbGrayed);
  kvtest::Click(box->Handle(), GlyphCentre());
  EXPECT_EQ(box->State(), cbUnchecked);
  kvtest::HoverOut();
}

// The dotted focus frame round the caption shows only while the box has the
// focus and ShowFocus is on.
TEST_F(CheckBoxSkinned, TheFocusFrameShowsOnlyWhileFocusedWithShowFocus) {
  Load();
  Add();
  auto* other = Create<TsCheckBox>(form);
  other->SetParent(form);
  other->SetBounds(20, 60, 140, 24);
  Show();
  kvtest::HoverOut();
  const auto dots = [&] {
    PumpUntilIdle();
    const kvtest::TPixels shown = kvtest::TPixels::FromClient(box->Handle());
    return shown.CountOf(RGB(0, 0, 0), shown.Whole());
  };
  other->SetFocus();
  const int rest = dots();
  box->SetFocus();
  EXPECT_GT(dots(), rest + 4) << "focused";
  other->SetFocus();
  EXPECT_EQ(dots(), rest) << "focus gone";
  box->SetShowFocus(false);
  box->SetFocus();
  EXPECT_EQ(dots(), rest) << "focused without ShowFocus";
}

TEST_F(CheckBoxSkinned, ReadOnlyWithoutASkinIgnoresTheSystemButtonsClick) {
  Load();
  manager->SetActive(false);
  Add();
  box->SetReadOnly(true);
  Show();
  kvtest::Click(box->Handle(), GlyphCentre());
  EXPECT_EQ(box->State(), cbUnchecked);
  EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  kvtest::HoverOut();
}

TEST_F(CheckBoxSkinned, AutoSizeTakesGlyphCaptionMarginAndIndent) {
  Load();
  Add();
  Show();
  const int glyph = kvtest::TTestSkin::kGlyphSize;
  const int width = box->Width();
  EXPECT_GT(width, glyph + 2 * 2 + 8) << "the caption is left out";
  EXPECT_LT(width, 140) << "the size given was kept";
  EXPECT_GE(box->Height(), glyph + 2);
  box->SetTextIndent(10);
  EXPECT_EQ(box->Width(), width + 10);
  box->SetMargin(5);
  EXPECT_EQ(box->Width(), width + 10 + 6);
  box->SetAutoSize(false);
  box->SetMargin(2);
  EXPECT_EQ(box->Width(), width + 16) << "without AutoSize the size stays";
}

// A skin chosen before the form's window is made is the one its controls
// show: not the items that the skin before had at the same indexes.
TEST_F(CheckBoxSkinned, ASkinChosenBeforeTheFormIsShownIsTheOneShown) {
  Load();
  Add();
  ASSERT_FALSE(form->HandleAllocated());
  skin = std::make_unique<kvtest::TTestSkin>(kvtest::TTestSkinOptions{.Lacks = {"FORMTITLE"}});
  TsStoredSkin& other = manager->InternalSkins.Add();
  other.Name = "U";
  other.Data = skin->Packed();
  manager->SetSkinName("U");
  Show();
  kvtest::HoverOut();
  EXPECT_EQ(Glyph(), Name("GLOBALINFO", "BOXUNCHECKED", 0));
  EXPECT_EQ(Item(ClientPixel(box->Handle(), box->Width() - 3, box->Height() / 2)),
            Name("CHECKBOX", "COLOR", 0));
}

// Without a skin an auto-sized check box or radio button keeps its size:
// the one the skin gave it, the one a caller sets, through a new caption;
// the skin coming back sizes it again.
TEST_F(CheckBoxSkinned, AutoSizedShownPlainKeepsItsSize) {
  Load();
  Show();
  const std::function<TWinControl*()> makers[] = {
      [&]() -> TWinControl* { return Create<TsCheckBox>(form); },
      [&]() -> TWinControl* { return Create<TsRadioButton>(form); }};
  for (const auto& make : makers) {
    TWinControl* c = make();
    SCOPED_TRACE(c->ClassName());
    c->SetParent(form);
    c->SetBounds(20, 20, 140, 24);
    c->SetCaption("Box");
    PumpUntilIdle();
    const TRect skinned = c->BoundsRect();
    ASSERT_LT(skinned.Width(), 140) << "skinned, the size follows glyph and caption";
    manager->SetActive(false);
    PumpUntilIdle();
    EXPECT_EQ(c->BoundsRect(), skinned) << "the skin's going";
    c->SetBounds(20, 20, 140, 24);
    EXPECT_EQ(c->BoundsRect(), (TRect{20, 20, 160, 44})) << "the size a caller gives";
    c->SetCaption("A caption much longer than the first");
    PumpUntilIdle();
    EXPECT_EQ(c->BoundsRect(), (TRect{20, 20, 160, 44})) << "a new caption";
    manager->SetActive(true);
    PumpUntilIdle();
    EXPECT_GT(c->Width(), skinned.Width()) << "skinned again, sized by the new caption";
    c->Free();
  }
}

TEST_F(CheckBoxSkinned, TheStateLoadedSurvivesLoaded) {
  Load();
  box = Create<TsCheckBox>(form);
  box->BeginLoading();
  box->SetParent(form);
  box->SetState(cbChecked);
  box->SetChecked(false);  // ignored while loading
  box->EndLoading();
  Show();
  EXPECT_TRUE(box->Checked());
  EXPECT_EQ(Glyph(), Name("GLOBALINFO", "BOXCHECKED", 0));
  box->SetChecked(false);
  PumpUntilIdle();
  EXPECT_EQ(Glyph(), Name("GLOBALINFO", "BOXUNCHECKED", 0)) << "loaded, it follows again";
}

// An image strip of three solid states (with a mask half below) per image.
TBitmap StateStrip(int frame, const COLORREF (&colours)[3], TPixelFormat format) {
  TBitmap strip(frame * 3, frame * 2, format);
  for (int y = 0; y < strip.Height(); ++y)
    for (int x = 0; x < strip.Width(); ++x) {
      std::uint8_t* p = strip.ScanLine(y) + x * strip.BytesPerPixel();
      const COLORREF c = colours[x / frame];
      p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
      if (format == pf32bit) p[3] = 255;
    }
  return strip;
}

TEST_F(CheckBoxSkinned, ImagesGiveTheGlyphOnlyWithBothIndexes) {
  Load();
  Add();
  auto* images = Create<TImageList>(form);
  images->SetSize(36, 24);
  images->Add(StateStrip(12, {RGB(200, 40, 40), RGB(40, 200, 40), RGB(40, 40, 200)}, pf24bit));
  images->Add(StateStrip(12, {RGB(90, 90, 30), RGB(30, 90, 90), RGB(90, 30, 90)}, pf24bit));
  box->SetImages(images);
  box->SetImgChecked(0);
  box->SetImgUnchecked(1);
  box->SetChecked(true);
  Show();
  kvtest::HoverOut();
  EXPECT_EQ(box->CheckRect().Width(), 12);
  const POINT p = GlyphCentre();
  EXPECT_EQ(ClientPixel(box->Handle(), p.x, p.y), RGB(200, 40, 40));
  box->SetImgUnchecked(-1);
  PumpUntilIdle();
  EXPECT_EQ(Glyph(), Name("GLOBALINFO", "BOXCHECKED", 0)) << "one index -1: the skin's mask";
}

TEST_F(CheckBoxSkinned, ACustomGlyphIsPaintedFromACopyAndKeepsItsFormat) {
  Load();
  Add();
  const COLORREF checked[3] = {RGB(210, 60, 20), RGB(20, 210, 60), RGB(60, 20, 210)};
  box->SetGlyphChecked(StateStrip(10, checked, pf32bit));
  box->SetChecked(true);
  Show();
  kvtest::HoverOut();
  const POINT p = GlyphCentre();
  EXPECT_EQ(ClientPixel(box->Handle(), p.x, p.y), checked[0]);
  EXPECT_EQ(box->GlyphChecked().PixelFormat(), pf32bit);
  box->SetChecked(false);
  PumpUntilIdle();
  EXPECT_EQ(Item(ClientPixel(box->Handle(), p.x, p.y)), Name("CHECKBOX", "COLOR", 0))
      << "no unchecked glyph: none shown";
}

TEST_F(CheckBoxSkinned, WithoutTheSkinTheSystemButtonShowsTheRealState) {
  Load();
  Add();
  Show();
  box->SetChecked(true);
  EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED)
      << "skinned, the system button is not told";
  const kvtest::TPixels printed = kvtest::TPixels::FromPrint(box->Handle(), PRF_CLIENT);
  const POINT p = GlyphCentre();
  EXPECT_EQ(Item(printed.At(p.x, p.y)), Name("GLOBALINFO", "BOXCHECKED", 0))
      << "printed, the skinned look";
  kvtest::TPlatformScope platform;
  static std::vector<HWND> themed;
  themed.clear();
  platform.Calls().SetWindowTheme = [](HWND wnd, LPCWSTR app, LPCWSTR) {
    if (app == nullptr) themed.push_back(wnd);
    return S_OK;
  };
  manager->SetActive(false);
  PumpUntilIdle();
  EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_NE(std::find(themed.begin(), themed.end(), box->Handle()), themed.end())
      << "the visual style was not given back";
  EXPECT_EQ(Glyph(), "none");
}

TEST_F(CheckBoxSkinned, AFadeEndsOnTheHotGlyphAndDiesWithTheBox) {
  kvtest::TTestSkinOptions options;
  options.Fading = true;
  options.FadingIterations = 4;
  Load(options);
  Add();
  Show();
  kvtest::HoverOut();
  const int timers = TTimer::ActiveCount();
  box->Perform(CM_MOUSEENTER, 0, 0);
  ASSERT_GT(TTimer::ActiveCount(), timers) << "no fade started";
  ASSERT_TRUE(pump::PumpUntil([&] { return TTimer::ActiveCount() == timers; }))
      << "the fade never ended";
  EXPECT_EQ(Glyph(), Name("GLOBALINFO", "BOXUNCHECKED", 1));
  box->Perform(CM_MOUSELEAVE, 0, 0);
  ASSERT_GT(TTimer::ActiveCount(), timers) << "leaving starts no fade";
  box->Free();
  box = nullptr;
  EXPECT_EQ(TTimer::ActiveCount(), timers);
  kvtest::HoverOut();
}

class RadioSkinned : public kvtest::TSkinnedFormTest {
 protected:
  TsRadioButton* AddRadio(int top) {
    auto* radio = Create<TsRadioButton>(form);
    radio->SetParent(form);
    radio->SetBounds(20, top, 140, 24);
    radio->SetCaption("Radio");
    return radio;
  }
  std::string Glyph(TsRadioButton* radio) {
    const TRect r = radio->CheckRect();
    return Item(ClientPixel(radio->Handle(), (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
  }
};

TEST_F(RadioSkinned, CheckingOneByTheCursorUnchecksTheOther) {
  Load();
  TsRadioButton* first = AddRadio(20);
  TsRadioButton* second = AddRadio(60);
  first->SetChecked(true);
  Show();
  kvtest::HoverOut();
  EXPECT_EQ(Glyph(first), Name("GLOBALINFO", "RADIOCHECKED", 0));
  EXPECT_EQ(Glyph(second), Name("GLOBALINFO", "RADIOUNCHECKED", 0));
  const TRect r = second->CheckRect();
  kvtest::Click(second->Handle(), {r.Left + 2, r.Top + 2});
  kvtest::HoverOut();
  EXPECT_FALSE(first->Checked());
  EXPECT_TRUE(second->Checked());
  EXPECT_EQ(Glyph(first), Name("GLOBALINFO", "RADIOUNCHECKED", 0));
  EXPECT_EQ(Glyph(second), Name("GLOBALINFO", "RADIOCHECKED", 1)) << "focused, it looks hot";
  EXPECT_EQ(SendMessageW(second->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

// A word-wrapped caption is centred in its rectangle (the radio button's
// reaches its right margin); a single line starts at the rectangle's left.
TEST_F(RadioSkinned, AWrappedCaptionIsCentredAndASingleLineStartsAtTheLeft) {
  Load();
  TsRadioButton* radio = AddRadio(20);
  radio->SetAutoSize(false);
  radio->SetBounds(20, 20, 220, 40);
  Show();
  kvtest::HoverOut();
  const COLORREF text = skin->Colour("RADIOBUTTON", "FONTCOLOR", 0);
  const auto textLeft = [&](bool wrap) {
    radio->SetWordWrap(wrap);
    radio->Repaint();
    return kvtest::TPixels::FromClient(radio->Handle()).BoundsOf(text).left;
  };
  const int single = textLeft(false), wrapped = textLeft(true);
  EXPECT_LT(single, radio->CheckRect().Right + 12) << "beside the glyph";
  EXPECT_GT(wrapped, single + 50) << "in the middle of the room";
}

TEST_F(RadioSkinned, AClickOnAReadOnlyOneNeitherChecksNorFocusesIt) {
  Load();
  TsRadioButton* first = AddRadio(20);
  TsRadioButton* second = AddRadio(60);
  second->SetReadOnly(true);
  Show();
  first->SetFocus();
  const TRect r = second->CheckRect();
  kvtest::Click(second->Handle(), {r.Left + 2, r.Top + 2});
  kvtest::HoverOut();
  EXPECT_FALSE(second->Checked());
  EXPECT_TRUE(first->Focused());
}

// A check box or radio button whose click frees it: by the cursor, the
// space key, the program setting Checked, or (radio) a BM_SETCHECK from
// outside (CheckRadioButton): nothing touches it afterwards (the
// freed-memory check makes a look at it crash).
TEST_F(RadioSkinned, FreedByItsOwnClickItIsLeftAlone) {
  enum TWay { Cursor, Space, Program, Outside };
  const struct {
    bool radio;
    TWay way;
    const char* what;
  } rows[] = {
      {false, Cursor, "check box, click"},
      {false, Space, "check box, space"},
      {false, Program, "check box, Checked"},
      {true, Cursor, "radio, click"},
      {true, Space, "radio, space"},
      {true, Program, "radio, Checked"},
      {true, Outside, "radio, CheckRadioButton"},
  };
  Load();
  Show();
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const kvtest::TFreedMemoryCheck freed;
    TButtonControl* c = nullptr;
    TRect glyph;
    if (row.radio) {
      TsRadioButton* r = AddRadio(20);
      c = r, glyph = r->CheckRect();
    } else {
      auto* b = Create<TsCheckBox>(form);
      b->SetParent(form);
      b->SetBounds(20, 20, 140, 24);
      b->SetCaption("Box");
      c = b, glyph = b->CheckRect();
    }
    int clicks = 0;
    c->OnClick = [&](TObject*) {
      ++clicks;
      c->Free();
    };
    PumpUntilIdle();
    const HWND wnd = c->Handle();
    switch (row.way) {
      case Cursor:
        kvtest::Click(wnd, {(glyph.Left + glyph.Right) / 2, (glyph.Top + glyph.Bottom) / 2});
        break;
      case Space: {
        c->SetFocus();
        const LPARAM down =
            1 | (static_cast<LPARAM>(MapVirtualKeyW(VK_SPACE, MAPVK_VK_TO_VSC)) << 16);
        PostMessageW(wnd, WM_KEYDOWN, VK_SPACE, down);
        PostMessageW(wnd, WM_KEYUP, VK_SPACE, down | (1u << 30) | (1u << 31));
        break;
      }
      case Program:
        if (row.radio)
          static_cast<TsRadioButton*>(c)->SetChecked(true);
        else
          static_cast<TsCheckBox*>(c)->SetChecked(true);
        break;
      case Outside: {
        const int id = GetDlgCtrlID(wnd);
        CheckRadioButton(GetParent(wnd), id, id, id);
        break;
      }
    }
    ASSERT_TRUE(PumpUntil([&] { return clicks > 0; })) << "no click";
    PumpUntilIdle();
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(freed.Faults(), 0u) << "the freed control was read";
    kvtest::HoverOut();
  }
}

TEST_F(RadioSkinned, ItsOwnWindowClassDropsTheRedrawStylesAndTheSystemsKeepsThem) {
  Load();
  TsRadioButton* radio = AddRadio(20);
  Show();
  const auto style = GetClassLongPtrW(radio->Handle(), GCL_STYLE);
  EXPECT_EQ(style & (CS_HREDRAW | CS_VREDRAW), 0u);
  WNDCLASSW system{};
  ASSERT_TRUE(GetClassInfoW(nullptr, L"BUTTON", &system));
  EXPECT_NE(system.style & (CS_HREDRAW | CS_VREDRAW), 0u);
}

TEST_F(RadioSkinned, FiftySkinSwitchesLeaveTheCountersAtTheirBaseline) {
  Load();
  TsRadioButton* radio = AddRadio(20);
  auto* box = Create<TsCheckBox>(form);
  box->SetParent(form);
  box->SetBounds(20, 60, 140, 24);
  Show();
  EXPECT_TRUE(SkinSwitchesLeaveNoObjects([&] {
    radio->Repaint();
    box->Repaint();
  }));
}

}  // namespace
}  // namespace kv
