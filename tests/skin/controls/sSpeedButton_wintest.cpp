// The skinned speed button under Wine with the synthetic skin and the real
// cursor: the state shown (the border mask's colour at the top edge names
// it), groups, the drop-down strip and its menu, separators and dividers,
// siblings painted over it, and its clean-up.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <vssym32.h>

#include <string>
#include <vector>

#include "classlib/ImgList.h"
#include "classlib/Menus.h"
#include "classlib/WideText.h"
#include "sButtonTestForm.h"
#include "skin/controls/sSpeedButton_win.h"
#include "support/Counters.h"
#include "support/MessageBoxHook.h"
#include "support/ModalProbe.h"
#include "support/Mouse.h"
#include "support/PlatformSeams.h"

namespace kv {
namespace {

using kvtest::ClientPixel;
using pump::PumpUntilIdle;

class SpeedButtonSkinned : public kvtest::TSkinnedFormTest {
 protected:
  TsSpeedButton* Add(int left, int top = 20, int width = 60) {
    auto* b = Create<TsSpeedButton>(form);
    b->SetParent(form);
    b->SetBounds(left, top, width, 30);
    return b;
  }
  // A drop-down button with a one-item menu.
  TsSpeedButton* AddDropDown(int left, int width) {
    TsSpeedButton* b = Add(left, 20, width);
    auto* menu = Create<TPopupMenu>(form);
    auto* item = Create<TMenuItem>(menu);
    item->SetCaption("Item");
    menu->Items()->Add(item);
    b->SetDropdownMenu(menu);
    b->SetButtonStyle(tbsDropDown);
    return b;
  }
  // The state whose border colour the button shows at the middle of its top edge.
  int Shown(TsSpeedButton* b) {
    const COLORREF c = ClientPixel(form->Handle(), b->Left() + b->Width() / 2, b->Top() + 2);
    const kvtest::TSkinItem* item = skin->Legend(c);
    return item != nullptr && item->Key == "BORDERSMASK" ? item->State : -1;
  }
  POINT Centre(TsSpeedButton* b) {
    return {b->Left() + b->Width() / 2, b->Top() + b->Height() / 2};
  }
};

// Made from a description with both a glyph and a list picture: the list's
// wins and the stored glyph is let go.
TEST_F(SpeedButtonSkinned, LoadedWithAListPictureItDropsItsStoredGlyph) {
  auto* images = Create<TImageList>(form);
  images->SetSize(16, 16);
  images->Add(TBitmap(16, 16, pf24bit));
  auto* b = Create<TsSpeedButton>(form);
  b->BeginLoading();
  b->Glyph().SetSize(16, 16);
  b->SetImages(images);
  b->SetImageIndex(0);
  b->EndLoading();
  EXPECT_TRUE(b->Glyph().Empty());
  auto* plain = Create<TsSpeedButton>(form);
  plain->BeginLoading();
  plain->Glyph().SetSize(16, 16);
  plain->EndLoading();
  EXPECT_FALSE(plain->Glyph().Empty());
}

TEST_F(SpeedButtonSkinned, TheRealCursorShowsNormalHotAndPressed) {
  Load();
  TsSpeedButton* b = Add(20);
  Show();
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  kvtest::HoverOut();
  EXPECT_EQ(Shown(b), 0);
  kvtest::MouseMove(form->Handle(), Centre(b));
  EXPECT_EQ(Shown(b), 1) << "hot";
  kvtest::MouseDown(form->Handle(), Centre(b));
  EXPECT_EQ(Shown(b), 2) << "pressed";
  kvtest::MouseUp(form->Handle(), Centre(b));
  EXPECT_EQ(Shown(b), 1) << "released over it";
  EXPECT_EQ(clicks, 1);
  kvtest::MouseMove(form->Handle(), {b->Left() + b->Width() + 20, b->Top()});
  EXPECT_EQ(Shown(b), 0) << "left";
  kvtest::HoverOut();
}

TEST_F(SpeedButtonSkinned, HoveringOneButtonThenAnotherLeavesOnlyOneHot) {
  Load();
  TsSpeedButton* first = Add(20);
  TsSpeedButton* second = Add(90);
  Show();
  kvtest::HoverOut();
  kvtest::MouseMove(form->Handle(), Centre(first));
  kvtest::MouseMove(form->Handle(), Centre(second));
  EXPECT_EQ(Shown(first), 0);
  EXPECT_EQ(Shown(second), 1);
  EXPECT_EQ(first->CurrentState(), 0);
  kvtest::HoverOut();
}

TEST_F(SpeedButtonSkinned, AGroupOfThreeKeepsOneDown) {
  Load();
  TsSpeedButton* group[3] = {Add(20), Add(90), Add(160)};
  for (TsSpeedButton* b : group) b->SetGroupIndex(1);
  group[0]->SetDown(true);
  Show();
  kvtest::HoverOut();
  kvtest::Click(form->Handle(), Centre(group[1]));
  kvtest::HoverOut();
  EXPECT_EQ(Shown(group[0]), 0);
  EXPECT_EQ(Shown(group[1]), 2);
  EXPECT_EQ(Shown(group[2]), 0);
  EXPECT_TRUE(group[1]->GetDown());
  kvtest::Click(form->Handle(), Centre(group[1]));
  kvtest::HoverOut();
  EXPECT_TRUE(group[1]->GetDown()) << "without AllowAllUp one stays down";
}

TEST_F(SpeedButtonSkinned, TheDropDownStripOpensItsMenuAndTheStyleKeepsTheWidth) {
  Load();
  TsSpeedButton* b = AddDropDown(20, 80);
  EXPECT_EQ(b->Width(), 96);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  Show();
  kvtest::HoverOut();
  bool shownDown = false, hintsWhileOpen = true;
  Application->SetShowHint(true);
  kvtest::TModalProbe probe(kvtest::kMenuClass, [&](HWND) {
    shownDown = b->MenuShown();
    hintsWhileOpen = Application->ShowHint();
  });
  // The menu's loop takes the release; the press alone opens it.
  const POINT strip{b->Left() + b->Width() - 8, b->Top() + 15};
  kvtest::MouseDown(form->Handle(), strip);
  pump::PumpUntil([&] { return probe.Found() || probe.TimedOut(); });
  EXPECT_TRUE(probe.Found()) << "no menu opened from the strip";
  EXPECT_TRUE(shownDown);
  EXPECT_FALSE(b->MenuShown());
  EXPECT_FALSE(hintsWhileOpen);
  EXPECT_TRUE(Application->ShowHint()) << "the hints stayed off after the menu";
  kvtest::MouseUp(form->Handle(), strip);
  EXPECT_EQ(clicks, 0);
  kvtest::Click(form->Handle(), {b->Left() + 10, b->Top() + 15});
  EXPECT_EQ(clicks, 1) << "with OnClick the main part clicks";
  b->SetButtonStyle(tbsButton);
  EXPECT_EQ(b->Width(), 80);
  kvtest::HoverOut();
}

// A second drop-down button pressed while the first one's menu runs (a
// handler there lets messages through) opens nothing, and the first button
// still comes back up when its menu has gone.
TEST_F(SpeedButtonSkinned, AnotherDropDownPressedMeanwhileLeavesTheFirstComingBackUp) {
  Load();
  TsSpeedButton* first = AddDropDown(20, 60);
  TsSpeedButton* second = AddDropDown(140, 60);
  first->DropdownMenu()->OnPopup = [&](TObject*) { kvtest::Click(form->Handle(), Centre(second)); };
  Show();
  kvtest::HoverOut();
  int menus = 0;
  kvtest::TModalProbe probe(kvtest::kMenuClass, [&](HWND) { ++menus; });
  kvtest::MouseDown(form->Handle(), Centre(first));
  pump::PumpUntil([&] { return probe.Found() || probe.TimedOut(); });
  // The menu's loop took the release; the cursor is over the second button.
  EXPECT_EQ(menus, 1) << "the second button's menu opened too";
  EXPECT_FALSE(first->MenuShown());
  EXPECT_FALSE(second->MenuShown());
  EXPECT_EQ(Shown(first), 0) << "the first button stayed pressed";
  kvtest::MouseUp(form->Handle(), Centre(first));
  kvtest::HoverOut();
}

TEST_F(SpeedButtonSkinned, SeparatorShowsTheParentAndDividerAddsItsMask) {
  Load();
  TsSpeedButton* separator = Add(20, 20, 30);
  TsSpeedButton* divider = Add(90, 20, 30);
  separator->SetButtonStyle(tbsSeparator);
  divider->SetButtonStyle(tbsDivider);
  Show();
  kvtest::HoverOut();
  const kvtest::TPixels shown = kvtest::TPixels::FromClient(form->Handle());
  const RECT area{separator->Left(), separator->Top(), separator->Left() + 30,
                  separator->Top() + 30};
  EXPECT_EQ(shown.CountDiffering(ColorToRGB(kFormColor), area), 0) << "the separator painted";
  EXPECT_EQ(Item(shown.At(divider->Left() + 15, divider->Top() + 2)),
            Name("DIVIDER", "BORDERSMASK", 0));
  EXPECT_EQ(shown.At(divider->Left() + 1, divider->Top() + 15), ColorToRGB(kFormColor));
}

TEST_F(SpeedButtonSkinned, APictureOfTheButtonAsACopyShowsNoBoxAndLeavesSiblingsOut) {
  Load();
  TsSpeedButton* b = Add(20, 20, 80);
  TsSpeedButton* over = Add(40, 25, 30);
  Show();
  // Where the sibling's top edge lies in the button's picture.
  const auto underSibling = [&] {
    const TBitmap& cache = *b->SkinData()->CacheBmp;
    const std::uint8_t* p = cache.ScanLine(over->Top() - b->Top() + 2) +
                            (over->Left() - b->Left() + over->Width() / 2) * cache.BytesPerPixel();
    return Item(RGB(p[2], p[1], p[0]));
  };
  test::MessageBoxHook boxes;
  b->SetControlState(b->ControlState() | csPaintCopy);
  b->Invalidate();
  b->Redraw();
  b->SetControlState(b->ControlState() & ~csPaintCopy);
  EXPECT_TRUE(boxes.Texts().empty()) << "a box was shown";
  EXPECT_EQ(underSibling(), Name("SPEEDBUTTON", "COLOR", 0)) << "a copy painted its sibling";
  b->Invalidate();
  b->Redraw();
  EXPECT_EQ(underSibling(), Name("SPEEDBUTTON", "BORDERSMASK", 0))
      << "the sibling over it is missing from its picture";
}

TEST_F(SpeedButtonSkinned, AFadeRunsOutOnTheHotLookAndDiesWithTheButton) {
  kvtest::TTestSkinOptions options;
  options.Fading = true;
  options.FadingIterations = 4;
  Load(options);
  TsSpeedButton* b = Add(20);
  TsSpeedButton* slow = Add(90);
  Show();
  kvtest::HoverOut();
  const int timers = TTimer::ActiveCount();
  int pictures = 0;
  b->OnPaint = [&](TObject*, TBitmap*) { ++pictures; };
  b->Perform(CM_MOUSEENTER, 0, 0);
  ASSERT_GT(TTimer::ActiveCount(), timers) << "no fade started";
  ASSERT_TRUE(pump::PumpUntil([&] { return TTimer::ActiveCount() == timers; }))
      << "the fade never ended";
  EXPECT_GE(pictures, 1);
  EXPECT_EQ(Shown(b), 1);
  slow->Perform(CM_MOUSEENTER, 0, 0);
  ASSERT_GT(TTimer::ActiveCount(), timers) << "no fade started";
  slow->Free();
  b->Free();
  EXPECT_EQ(TTimer::ActiveCount(), timers) << "a freed button left its fade running";
  kvtest::HoverOut();
}

TEST_F(SpeedButtonSkinned, FiftySkinSwitchesLeaveTheCountersAtTheirBaseline) {
  Load();
  TsSpeedButton* b = Add(20);
  b->SetButtonStyle(tbsDropDown);
  Show();
  EXPECT_TRUE(SkinSwitchesLeaveNoObjects([&] { b->Repaint(); }));
}

// Without a skin and with visual styles on, the themed parts the button
// asks for, in order ("TOOLBAR" for a flat one).
std::vector<std::string> themed;

class SpeedButtonThemed : public ::testing::Test {
 protected:
  void SetUp() override {
    themed.clear();
    auto& calls = scope.Calls();
    calls.IsThemeActive = +[] { return true; };
    calls.OpenThemeData = [](HWND, LPCWSTR classList) {
      themed.push_back(Narrow(classList));
      return reinterpret_cast<HTHEME>(0x7E57);
    };
    calls.CloseThemeData = [](HTHEME) { return S_OK; };
    calls.DrawThemeBackground = [](HTHEME, HDC, int part, int state, const RECT* r, const RECT*) {
      themed.push_back(std::to_string(part) + "/" + std::to_string(state) + " at " +
                       std::to_string(r->left));
      return S_OK;
    };
    form = CreateOwned<TForm>();
    form->SetBounds(0, 0, 240, 100);
    button = Create<TsSpeedButton>(form.get());
    button->SetParent(form.get());
    button->SetBounds(10, 10, 80, 30);
    form->Show();
    PumpUntilIdle();
  }
  std::vector<std::string> Painted() {
    themed.clear();
    button->Repaint();
    PumpUntilIdle();
    return themed;
  }
  static std::string Part(int part, int state, int left) {
    return std::to_string(part) + "/" + std::to_string(state) + " at " + std::to_string(left);
  }

  kvtest::TPlatformScope scope;
  Owned<TForm> form;
  TsSpeedButton* button = nullptr;
};

TEST_F(SpeedButtonThemed, DrawsTheToolBarOrPushButtonPartInTheStateOfTheMoment) {
  button->SetFlat(true);
  EXPECT_EQ(Painted(), (std::vector<std::string>{"TOOLBAR", Part(TP_BUTTON, TS_NORMAL, 0)}));
  button->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(Painted(), (std::vector<std::string>{"TOOLBAR", Part(TP_BUTTON, TS_HOT, 0)}));
  button->Perform(CM_MOUSELEAVE, 0, 0);
  button->SetGroupIndex(1);
  button->SetDown(true);
  EXPECT_EQ(Painted(), (std::vector<std::string>{"TOOLBAR", Part(TP_BUTTON, TS_PRESSED, 0)}));
  button->SetFlat(false);
  button->SetAllowAllUp(true);
  button->SetDown(false);
  button->SetEnabled(false);
  EXPECT_EQ(Painted(), (std::vector<std::string>{"BUTTON", Part(BP_PUSHBUTTON, PBS_DISABLED, 0)}));
  button->SetEnabled(true);
  button->SetButtonStyle(tbsDropDown);
  EXPECT_EQ(Painted(), (std::vector<std::string>{"BUTTON", Part(BP_PUSHBUTTON, PBS_NORMAL, 0),
                                                 Part(BP_PUSHBUTTON, PBS_NORMAL, 80)}))
      << "the strip in the same part";
  button->SetButtonStyle(tbsDivider);
  EXPECT_EQ(Painted(), (std::vector<std::string>{"TOOLBAR", Part(TP_SEPARATOR, TS_NORMAL, 39)}));
}

// Under visual styles the parts are drawn over the parent's own background,
// erased into the button: a push button's and a divider's alike.
TEST_F(SpeedButtonThemed, ThePartsLieOnTheParentsBackground) {
  constexpr COLORREF kParent = RGB(30, 200, 90);
  const TWndMethod previous = form->WindowProc;
  form->WindowProc = TWndMethod([previous](TMessage& m) {
    if (m.Msg != WM_PRINTCLIENT) return previous(m);
    const RECT all{0, 0, 240, 100};
    HBRUSH brush = CreateSolidBrush(kParent);
    FillRect(reinterpret_cast<HDC>(m.WParam), &all, brush);
    DeleteObject(brush);
  });
  for (const TToolButtonStyle style : {tbsButton, tbsDivider}) {
    button->SetButtonStyle(style);
    Painted();
    EXPECT_EQ(kParent, ClientPixel(form->Handle(), 12, 12)) << style;
    EXPECT_EQ(kParent, ClientPixel(form->Handle(), 87, 37)) << style;
  }
  form->WindowProc = previous;
}

// Without a skin or visual styles: the system's frame, the caption laid out
// as the skinned button's, and the held-down button of a group in a mesh.
class SpeedButtonPlain : public ::testing::Test {
 protected:
  static constexpr COLORREF kCaption = RGB(255, 0, 0);
  void SetUp() override {
    scope.Calls().IsThemeActive = +[] { return false; };
    form = CreateOwned<TForm>();
    form->SetBounds(0, 0, 240, 100);
    button = Create<TsSpeedButton>(form.get());
    button->SetParent(form.get());
    button->SetBounds(10, 10, 100, 30);
    button->SetCaption("HIH");
    button->Font()->SetColor(static_cast<TColor>(kCaption));
    form->Show();
    PumpUntilIdle();
  }
  kvtest::TPixels Shown() {
    button->Repaint();
    PumpUntilIdle();
    HDC dc = GetDC(form->Handle());
    const TRect b = button->BoundsRect();
    kvtest::TPixels shown = kvtest::TPixels::FromDC(dc, {b.Left, b.Top, b.Right, b.Bottom});
    ReleaseDC(form->Handle(), dc);
    return shown;
  }
  // The caption's colour, or its smoothed edge.
  static bool Reddish(COLORREF c) {
    return GetRValue(c) > 160 && GetGValue(c) < 120 && GetBValue(c) < 120;
  }
  // The left and right ends of the caption's pixels.
  static std::pair<int, int> CaptionSpan(const kvtest::TPixels& shown) {
    int lo = shown.Width(), hi = -1;
    for (int y = 0; y < shown.Height(); ++y)
      for (int x = 0; x < shown.Width(); ++x)
        if (Reddish(shown.At(x, y))) lo = std::min(lo, x), hi = std::max(hi, x);
    return {lo, hi};
  }

  kvtest::TPlatformScope scope;
  Owned<TForm> form;
  TsSpeedButton* button = nullptr;
};

TEST_F(SpeedButtonPlain, TheCaptionKeepsBesideTheDropDownStripAndFollowsAlignment) {
  button->SetButtonStyle(tbsDropDown);
  const int main = button->Width() - 16;
  auto [lo, hi] = CaptionSpan(Shown());
  ASSERT_GE(hi, 0) << "no caption";
  EXPECT_LT(hi, main) << "under the strip";
  EXPECT_NEAR((lo + hi) / 2, main / 2, 3) << "centred in the main part";
  button->SetAlignment(taLeftJustify);
  std::tie(lo, hi) = CaptionSpan(Shown());
  EXPECT_LT(lo, 8) << "at the left";
}

// Without a skin the glyph goes through the skinned look's painter: its
// blend, its disabled kind and its reflection hold as they do skinned.
TEST_F(SpeedButtonPlain, TheGlyphKeepsItsBlendDisabledKindAndReflection) {
  constexpr COLORREF green = RGB(0, 160, 0);
  // A green square; a strip's bottom-left pixel is its transparent colour.
  const auto glyph = [](TPixelFormat format) {
    TBitmap b(16, 16, format);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        std::uint8_t* p = b.ScanLine(y) + b.BytesPerPixel() * x;
        const bool key = format == pf24bit && x == 0 && y == 15;
        p[0] = p[2] = key ? 255 : 0, p[1] = key ? 0 : 160;
        if (format == pf32bit) p[3] = 255;
      }
    return b;
  };
  const struct {
    const char* what;
    TPixelFormat format;
    int blend;
    bool enabled, reflected;
    int below;   // rows under the glyph's rectangle read (-8: its middle)
    bool whole;  // the glyph's own green, else green mixed with the face
  } rows[] = {{"half blended", pf24bit, 50, true, false, -8, false},
              {"disabled, drawn as it is", pf24bit, 0, false, false, -8, true},
              {"reflected", pf32bit, 0, true, true, 2, false}};
  for (const auto& row : rows) {
    button->Free();
    button = Create<TsSpeedButton>(form.get());
    button->SetParent(form.get());
    button->SetBounds(10, 10, 100, 40);
    button->SetCaption("");
    button->SetGlyph(glyph(row.format));
    button->SetBlend(row.blend);
    button->SetDisabledGlyphKind(0);
    button->SetEnabled(row.enabled);
    button->SetReflected(row.reflected);
    const TRect r = button->CalcGlyphRect();
    const COLORREF c = Shown().At((r.Left + r.Right) / 2, r.Bottom + row.below);
    EXPECT_TRUE(row.whole ? c == green : c != green && GetGValue(c) > GetRValue(c) + 20)
        << row.what << ": 0x" << std::hex << c;
  }
}

TEST_F(SpeedButtonPlain, TheHeldDownButtonOfAGroupShowsTheMesh) {
  button->SetCaption("");
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  ASSERT_NE(light, GetSysColor(COLOR_BTNFACE));
  const auto meshed = [&] {
    const kvtest::TPixels shown = Shown();
    return shown.CountOf(light, {4, 4, shown.Width() - 4, shown.Height() - 4});
  };
  button->SetGroupIndex(1);
  button->SetAllowAllUp(true);
  EXPECT_EQ(meshed(), 0) << "up";
  button->SetDown(true);
  EXPECT_GT(meshed(), 200) << "down";
}

}  // namespace
}  // namespace kv
