// The skinned push button under Wine with the synthetic skin: its look per
// state as the real cursor works it, its mask-shaped region, its fades and
// its clean-up. The button's top edge shows the border mask's colour of the
// state painted, which the skin's legend names.
#include <gtest/gtest.h>
#include <vssym32.h>
#include <windows.h>

#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/ImgList.h"
#include "classlib/StdCtrls.h"
#include "classlib/WideText.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/core/sFade_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "support/Counters.h"
#include "support/FreedMemory.h"
#include "support/Mouse.h"
#include "support/Pixels.h"
#include "support/PlatformSeams.h"
#include "support/Pump.h"
#include "support/TestSkin.h"

namespace kv {
namespace {

using kvtest::TTestSkin;
using pump::PumpUntil;
using pump::PumpUntilIdle;

constexpr TColor kFormColour = 0x3C5A78;
constexpr int kRun = TTestSkin::kCornerRun;

COLORREF CacheAt(const TBitmap& bmp, int x, int y) {
  const std::uint8_t* p = bmp.ScanLine(y) + x * bmp.BytesPerPixel();
  return RGB(p[2], p[1], p[0]);
}

// Counts the fade's commands as they reach the button.
class TFadeWatch {
 public:
  explicit TFadeWatch(TsBitBtn* button) : button_(button), previous_(button->WindowProc) {
    button->WindowProc = TWndMethod([this](TMessage& m) {
      if (m.Msg == SM_ALPHACMD && m.WParamHi() == cmdOfferFadeImage) ++offered;
      if (m.Msg == SM_ALPHACMD && m.WParamHi() == cmdFadeFinished) ++finished;
      previous_(m);
    });
  }
  int offered = 0;
  int finished = 0;

 private:
  TsBitBtn* button_;
  TWndMethod previous_;
};

class BitBtnSkinned : public ::testing::Test {
 protected:
  void Load(const kvtest::TTestSkinOptions& options = {}) {
    ASSERT_EQ(DefaultManager, nullptr) << "a manager outlived its test";
    skin = std::make_unique<TTestSkin>(options);
    manager = CreateOwned<TsSkinManager>();
    manager->SetSkinDirectory("c:\\NoSkins");
    TsStoredSkin& stored = manager->InternalSkins.Add();
    stored.Name = "T";
    stored.Data = skin->Packed();
    manager->SetSkinName("T");
    ASSERT_TRUE(manager->CommonSkinData().Active);
    // Owned by the application, as the program's forms: skin changes reach it.
    form = Create<TForm>(Application);
    form->SetBounds(0, 0, 240, 120);
    form->SetColor(kFormColour);
    button = Create<TsBitBtn>(form);
    button->SetParent(form);
    button->SetBounds(20, 20, 90, 32);
    button->SetCaption("");
    form->Show();
    PumpUntilIdle();
  }
  void TearDown() override {
    if (form != nullptr) form->Free();
    manager.reset();
  }

  COLORREF Mask(int state) const { return skin->Colour("BUTTON", "BORDERSMASK", state); }
  // The state whose mask colour the window shows at the middle of its top edge.
  int ShownState() { return ShownState(button); }
  int ShownState(TsBitBtn* b) {
    const kvtest::TPixels shown = kvtest::TPixels::FromClient(b->Handle());
    const kvtest::TSkinItem* item = skin->Legend(shown.At(b->Width() / 2, 2));
    return item != nullptr && item->Key == "BORDERSMASK" ? item->State : -1;
  }
  TsBitBtn* AddButton(int left, const std::string& caption) {
    auto* b = Create<TsBitBtn>(form);
    b->SetParent(form);
    b->SetBounds(left, 70, 60, 32);
    b->SetCaption(caption);
    return b;
  }

  std::unique_ptr<TTestSkin> skin;
  Owned<TsSkinManager> manager;
  TForm* form = nullptr;
  TsBitBtn* button = nullptr;
};

TEST_F(BitBtnSkinned, TheLookFollowsTheRealCursorThroughEnterPressDragAndRelease) {
  Load();
  HWND wnd = button->Handle();
  const POINT centre{45, 16}, outside{45, 80};
  kvtest::HoverOut();
  PumpUntilIdle();
  EXPECT_EQ(ShownState(), 0) << "resting";
  kvtest::MouseMove(wnd, centre);
  EXPECT_EQ(ShownState(), 1) << "entered";
  kvtest::MouseDown(wnd, centre);
  EXPECT_EQ(ShownState(), 2) << "pressed";
  kvtest::MouseMove(wnd, outside);
  EXPECT_NE(ShownState(), 2) << "held, dragged out";
  kvtest::MouseMove(wnd, centre);
  EXPECT_EQ(ShownState(), 2) << "dragged back";
  kvtest::MouseUp(wnd, centre);
  EXPECT_EQ(ShownState(), 1) << "released over the button";
  kvtest::HoverOut();
  PumpUntilIdle();
}

TEST_F(BitBtnSkinned, TransparentCornersShowTheParentAndAreCutFromTheRegionUntilTheSkinGoes) {
  Load();
  button->Repaint();
  const TBitmap& cache = *button->SkinData()->CacheBmp;
  ASSERT_EQ(cache.Width(), button->Width());
  const int w = button->Width(), h = button->Height();
  for (const POINT p : {POINT{0, 0}, POINT{kRun - 1, 0}, POINT{0, kRun - 1}, POINT{w - 1, h - 1}})
    EXPECT_EQ(CacheAt(cache, p.x, p.y), static_cast<COLORREF>(kFormColour)) << p.x << "," << p.y;
  EXPECT_EQ(CacheAt(cache, kRun, 0), Mask(0));

  for (int state : {0, 2}) {
    button->SetDown(state == 2);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(button->Handle(), region), ERROR) << "state " << state;
    EXPECT_FALSE(PtInRegion(region, 0, 0)) << "state " << state;
    EXPECT_FALSE(PtInRegion(region, kRun - 1, 0));
    EXPECT_FALSE(PtInRegion(region, w - 1, h - kRun));
    EXPECT_TRUE(PtInRegion(region, kRun, 0));
    EXPECT_TRUE(PtInRegion(region, 1, 1));
    EXPECT_TRUE(PtInRegion(region, w / 2, h / 2));
    DeleteObject(region);
    EXPECT_EQ(ShownState(), state);
    const kvtest::TPixels printed = kvtest::TPixels::FromPrint(button->Handle(), PRF_CLIENT);
    EXPECT_EQ(printed.At(w / 2, 2), Mask(state)) << "printed, state " << state;
  }

  manager->SetActive(false);
  PumpUntilIdle();
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(button->Handle(), region), ERROR) << "the region outlived the skin";
  DeleteObject(region);
}

// A form animation takes the button's picture into its own context; the
// window's shape is left to the paint on the screen that follows it.
TEST_F(BitBtnSkinned, APictureForAFormAnimationLeavesTheWindowsShapeAlone) {
  Load();
  TsBitBtn* b = AddButton(20, "");
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, b->Width(), b->Height());
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  {
    const TacFlagGuard animating(AnimationActive);
    AnimationDC = dc;
    b->Perform(WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    AnimationDC = nullptr;
  }
  const kvtest::TPixels printed = kvtest::TPixels::FromDC(dc, {0, 0, b->Width(), b->Height()});
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  EXPECT_EQ(printed.At(b->Width() / 2, 2), Mask(0)) << "the animation's picture";
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(b->Handle(), region), ERROR) << "shaped while animating";
  b->Repaint();
  ASSERT_NE(GetWindowRgn(b->Handle(), region), ERROR) << "shaped by its own paint after";
  EXPECT_FALSE(PtInRegion(region, 0, 0));
  DeleteObject(region);
}

TEST_F(BitBtnSkinned, AFadeRunsItsStepsAndEndsOnTheHotPicture) {
  kvtest::TTestSkinOptions options;
  options.Fading = true;
  options.FadingIterations = 4;
  Load(options);
  button->Repaint();
  TFadeWatch watch(button);
  button->Perform(CM_MOUSEENTER, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return watch.finished > 0; })) << "the fade never ended";
  EXPECT_EQ(watch.offered, 4);
  EXPECT_EQ(ShownState(), 1);
}

TEST_F(BitBtnSkinned, DestroyedMidFadeLeavesNoTimerBehind) {
  kvtest::TTestSkinOptions options;
  options.Fading = true;
  options.FadingIterations = 20;
  Load(options);
  button->Repaint();
  const int timers = TTimer::ActiveCount();
  TFadeWatch watch(button);
  button->Perform(CM_MOUSEENTER, 0, 0);
  ASSERT_GT(TTimer::ActiveCount(), timers);
  ASSERT_TRUE(PumpUntil([&] { return watch.offered >= 1; }));
  button->Free();
  button = nullptr;
  EXPECT_EQ(TTimer::ActiveCount(), timers);
  PumpUntilIdle();
}

TEST_F(BitBtnSkinned, ReleasedDuringThePressFadeShowsThePressedPictureFirst) {
  kvtest::TTestSkinOptions options;
  options.Fading = true;
  options.FadingIterations = 40;
  Load(options);
  button->Repaint();
  std::vector<int> built;  // the state of every picture the button builds
  button->OnPaint = [&](TObject*, TBitmap* cache) {
    const kvtest::TSkinItem* item = skin->Legend(CacheAt(*cache, cache->Width() / 2, 2));
    built.push_back(item != nullptr ? item->State : -1);
  };
  HWND wnd = button->Handle();
  const POINT centre{45, 16};
  kvtest::MouseMove(wnd, centre);
  PumpUntil([&] { return !built.empty() && built.back() == 1; });
  kvtest::MouseDown(wnd, centre);
  ASSERT_FALSE(built.empty());
  EXPECT_EQ(built.back(), 2) << "the press fade ends on the pressed picture";
  built.clear();
  kvtest::MouseUp(wnd, centre);
  ASSERT_GE(built.size(), 2u);
  EXPECT_EQ(built[0], 2) << "the pressed picture shows before the release fade";
  EXPECT_EQ(built.back(), 1);
  kvtest::HoverOut();
  PumpUntilIdle();
}

TEST_F(BitBtnSkinned, APaintValidatesEvenWhenNothingIsDrawn) {
  Load();
  button->Repaint();
  HWND wnd = button->Handle();
  SendMessageW(wnd, SM_ALPHACMD, CommandWParam(cmdSetSuspended, 1), 0);
  InvalidateRect(wnd, nullptr, FALSE);
  UpdateWindow(wnd);
  EXPECT_FALSE(GetUpdateRect(wnd, nullptr, FALSE)) << "WM_PAINT would come back for ever";
}

TEST_F(BitBtnSkinned, SkinSwitchesAndRemovalsLeaveNoObjectsBehind) {
  Load();
  // One round first: the plain look's pens, brushes and fonts are made once.
  manager->SetActive(false);
  button->Repaint();
  manager->SetActive(true);
  button->Repaint();
  const kvtest::TObjectBaseline baseline;
  for (int i = 0; i < 50; ++i) {
    manager->SetActive(i % 2 != 0);
    button->Repaint();
  }
  manager->SetActive(true);
  button->Repaint();
  EXPECT_TRUE(baseline.Unchanged());
}

TEST_F(BitBtnSkinned, ADisabledButtonBlendsIntoItsParent) {
  Load();
  button->Repaint();
  const COLORREF enabled = CacheAt(*button->SkinData()->CacheBmp, button->Width() / 2, 2);
  button->SetEnabled(false);
  button->Repaint();
  const COLORREF disabled = CacheAt(*button->SkinData()->CacheBmp, button->Width() / 2, 2);
  EXPECT_EQ(enabled, Mask(0));
  EXPECT_NE(disabled, enabled);
}

TEST_F(BitBtnSkinned, TheFormsActivationLetsAHeldBackButtonPaint) {
  Load();
  button->Repaint();
  int built = 0;
  button->OnPaint = [&](TObject*, TBitmap*) { ++built; };
  SendMessageW(button->Handle(), SM_ALPHACMD, CommandWParam(cmdSetSuspended, 1), 0);
  button->Repaint();
  ASSERT_EQ(built, 0) << "painted while held back";
  button->Perform(CM_UIACTIVATE, 0, 0);
  button->Repaint();
  EXPECT_EQ(built, 1);
  EXPECT_EQ(ShownState(), 0);
}

// A key as the keyboard gives it: down and up, with Alt held or not.
void PostKey(HWND wnd, WORD key, bool alt) {
  const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
  const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16) | (alt ? (1 << 29) : 0);
  const LPARAM up = down | (1u << 30) | (1u << 31);
  PostMessageW(wnd, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, down);
  PostMessageW(wnd, alt ? WM_SYSKEYUP : WM_KEYUP, key, up);
}

TEST_F(BitBtnSkinned, AltAndTheAcceleratorLetterClicksTheButton) {
  Load();
  TsBitBtn* other = AddButton(130, "Other");
  int clicks = 0;
  button->SetCaption("&Go");
  button->OnClick = [&](TObject*) { ++clicks; };
  other->SetFocus();
  PumpUntilIdle();
  PostKey(GetFocus(), 'G', true);
  ASSERT_TRUE(PumpUntil([&] { return clicks > 0; })) << "the accelerator went nowhere";
  PumpUntilIdle();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(ShownState(), 0) << "the clicked button still shows its skin";
}

// A button whose click frees it, clicked from the keyboard: nothing touches
// it afterwards (the freed-memory check makes a look at it crash).
TEST_F(BitBtnSkinned, FreedByItsOwnClickFromTheKeyboardItIsLeftAlone) {
  Load();
  TsBitBtn* other = AddButton(130, "Other");
  const struct {
    const char* name;
    WORD key;
    bool alt, focused;
  } keys[] = {{"space", VK_SPACE, false, true},
              {"Enter", VK_RETURN, false, true},
              {"accelerator", 'G', true, false}};
  for (const auto& k : keys) {
    SCOPED_TRACE(k.name);
    const kvtest::TFreedMemoryCheck freed;
    TsBitBtn* doomed = AddButton(20, "&Go");
    int clicks = 0;
    // Nothing of the handler is used once the button (and the handler) went.
    doomed->OnClick = [&clicks, doomed](TObject*) {
      ++clicks;
      doomed->Free();
    };
    (k.focused ? static_cast<TWinControl*>(doomed) : other)->SetFocus();
    PumpUntilIdle();
    PostKey(GetFocus(), k.key, k.alt);
    ASSERT_TRUE(PumpUntil([&] { return clicks > 0; })) << "the key went nowhere";
    PumpUntilIdle();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(freed.Faults(), 0u) << "the freed button was read";
  }
  EXPECT_NE(ShownState(other), -1) << "the other button still shows its skin";
}

TEST_F(BitBtnSkinned, SpaceOnTheFocusedButtonEndsItsFadeAndRepaints) {
  kvtest::TTestSkinOptions options;
  options.Fading = true;
  options.FadingIterations = 40;
  Load(options);
  button->SetFocus();
  PumpUntilIdle();
  const int timers = TTimer::ActiveCount();
  int built = 0;
  button->OnPaint = [&](TObject*, TBitmap*) { ++built; };
  button->Perform(CM_MOUSEENTER, 0, 0);
  ASSERT_GT(TTimer::ActiveCount(), timers) << "no fade started";
  built = 0;
  // What the form hands round for a character nobody took.
  form->Perform(CM_DIALOGCHAR, VK_SPACE, 0);
  EXPECT_EQ(TTimer::ActiveCount(), timers) << "the fade runs on";
  EXPECT_GE(built, 1) << "no new picture";
  EXPECT_EQ(ShownState(), 1);
}

// The default look moves with the focus: to a button that takes it, and back
// to the default button when an edit takes it. No picture of the old look is
// painted after the move.
TEST_F(BitBtnSkinned, TheDefaultLookFollowsTheFocus) {
  Load();
  TsBitBtn* first = AddButton(20, "First");
  TsBitBtn* second = AddButton(100, "Second");
  auto* edit = Create<TEdit>(form);
  edit->SetParent(form);
  edit->SetBounds(170, 70, 60, 24);
  first->SetDefault(true);
  first->SetFocus();
  PumpUntilIdle();
  ASSERT_EQ(ShownState(first), 1);
  ASSERT_EQ(ShownState(second), 0);
  std::vector<int> firstBuilt, secondBuilt;
  const auto record = [&](std::vector<int>* into) {
    return [&, into](TObject*, TBitmap* cache) {
      const kvtest::TSkinItem* item = skin->Legend(CacheAt(*cache, cache->Width() / 2, 2));
      into->push_back(item != nullptr ? item->State : -1);
    };
  };
  first->OnPaint = record(&firstBuilt);
  second->OnPaint = record(&secondBuilt);
  struct Move {
    TWinControl* to;
    int first, second;
  } moves[] = {{second, 0, 1}, {edit, 1, 0}, {first, 1, 0}};
  for (const Move& move : moves) {
    firstBuilt.clear();
    secondBuilt.clear();
    move.to->SetFocus();
    PumpUntilIdle();
    EXPECT_EQ(ShownState(first), move.first) << "focus on " << move.to->Name();
    EXPECT_EQ(ShownState(second), move.second);
    for (int state : firstBuilt) EXPECT_EQ(state, move.first);
    for (int state : secondBuilt) EXPECT_EQ(state, move.second);
  }
  first->OnPaint = nullptr;
  second->OnPaint = nullptr;
}

TEST_F(BitBtnSkinned, HintsAreOffWhileThePressIsPaintedAndComeBackAsTheyWere) {
  Load();
  button->Repaint();
  HWND wnd = button->Handle();
  const POINT centre{45, 16};
  struct TRestore {
    ~TRestore() { Application->SetShowHint(true); }
  } restore;
  for (const bool hints : {true, false}) {
    Application->SetShowHint(hints);
    std::vector<bool> hintsWhilePressed;  // for each pressed picture built
    button->OnPaint = [&](TObject*, TBitmap* cache) {
      const kvtest::TSkinItem* item = skin->Legend(CacheAt(*cache, cache->Width() / 2, 2));
      if (item != nullptr && item->State == 2) hintsWhilePressed.push_back(Application->ShowHint());
    };
    kvtest::MouseDown(wnd, centre);
    ASSERT_FALSE(hintsWhilePressed.empty());
    EXPECT_FALSE(hintsWhilePressed.front()) << "hints on while the press was painted";
    EXPECT_EQ(Application->ShowHint(), hints) << "not restored after the press";
    kvtest::MouseUp(wnd, centre);
    EXPECT_EQ(Application->ShowHint(), hints) << "not restored after the release";
    button->OnPaint = nullptr;
  }
  kvtest::HoverOut();
  PumpUntilIdle();
}

// Without a skin a 32-bit glyph is the button's own to draw: the class
// library's drawing knows no alpha.
TEST(BitBtnUnskinned, DrawsA32BitGlyphItself) {
  Owned<TForm> form = CreateOwned<TForm>();
  form->SetBounds(0, 0, 200, 100);
  auto* b = Create<TsBitBtn>(form.get());
  b->SetParent(form.get());
  b->SetBounds(10, 10, 100, 40);
  b->SetCaption("");
  TBitmap glyph(16, 16, pf32bit);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      std::uint8_t* p = glyph.ScanLine(y) + 4 * x;
      p[0] = 0, p[1] = 0, p[2] = 230, p[3] = 255;
    }
  b->SetGlyph(glyph);
  form->Show();
  const kvtest::TPixels shown = kvtest::TPixels::FromClient(b->Handle());
  EXPECT_EQ(shown.At(50, 20), RGB(230, 0, 0));
  EXPECT_NE(shown.At(5, 20), RGB(230, 0, 0));
}

// The theme calls a drawing made, in order.
std::vector<std::string> themeCalls;
const HTHEME kTheme = reinterpret_cast<HTHEME>(0x7E57);
constexpr COLORREF kThemedFace = RGB(20, 180, 40);

void UseRecordedTheme(kv::TPlatformCalls& calls, bool active) {
  themeCalls.clear();
  calls.IsThemeActive = active ? +[] { return true; } : +[] { return false; };
  calls.OpenThemeData = [](HWND, LPCWSTR classList) {
    themeCalls.push_back("open " + Narrow(classList));
    return kTheme;
  };
  calls.CloseThemeData = [](HTHEME theme) {
    themeCalls.push_back(theme == kTheme ? "close" : "close other");
    return S_OK;
  };
  calls.DrawThemeParentBackground = [](HWND, HDC, const RECT*) {
    themeCalls.push_back("parent");
    return S_OK;
  };
  calls.DrawThemeBackground = [](HTHEME theme, HDC dc, int part, int state, const RECT* r,
                                 const RECT*) {
    themeCalls.push_back((theme == kTheme ? "part " : "other ") + std::to_string(part) + "/" +
                         std::to_string(state));
    HBRUSH face = CreateSolidBrush(kThemedFace);
    FillRect(dc, r, face);
    DeleteObject(face);
    return S_OK;
  };
}

class BitBtnThemed : public ::testing::Test {
 protected:
  void SetUp() override {
    form = CreateOwned<TForm>();
    form->SetBounds(0, 0, 200, 100);
    button = Create<TsBitBtn>(form.get());
    button->SetParent(form.get());
    button->SetBounds(10, 10, 100, 40);
    button->SetCaption("");
    TBitmap glyph(16, 16, pf32bit);  // only such glyphs are the button's own to draw
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        std::uint8_t* p = glyph.ScanLine(y) + 4 * x;
        p[0] = 0, p[1] = 0, p[2] = 230, p[3] = 255;
      }
    button->SetGlyph(glyph);
    form->Show();
    PumpUntilIdle();
  }
  // The button drawn for the item state into a picture of its own.
  TBitmap Draw(UINT itemState) {
    TBitmap picture(button->Width(), button->Height(), pf24bit);
    TBitmapCanvas canvas(picture);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.hwndItem = button->Handle();
    item.hDC = canvas.Handle();
    item.itemState = itemState;
    item.rcItem = {0, 0, button->Width(), button->Height()};
    button->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&item));
    return picture;
  }
  // Any pixel of the focus rectangle's left side off the themed face.
  static bool FocusShown(const TBitmap& picture) {
    for (int y = 4; y < picture.Height() - 4; ++y)
      if (CacheAt(picture, 4, y) != kThemedFace) return true;
    return false;
  }

  kvtest::TPlatformScope scope;
  Owned<TForm> form;
  TsBitBtn* button = nullptr;
};

TEST_F(BitBtnThemed, DrawsThePushButtonPartInTheStateOfTheMoment) {
  UseRecordedTheme(scope.Calls(), true);
  struct Case {
    const char* name;
    bool enabled, mouseAbove, isDefault;
    UINT itemState;
    int part;
    bool focusShown;
  } cases[] = {
      {"normal", true, false, false, 0, PBS_NORMAL, false},
      {"hot", true, true, false, 0, PBS_HOT, false},
      {"pressed over", true, true, false, ODS_SELECTED, PBS_PRESSED, false},
      {"focused", true, false, false, ODS_FOCUS, PBS_DEFAULTED, false},
      {"default", true, false, true, 0, PBS_DEFAULTED, false},
      {"default focused", true, false, true, ODS_FOCUS, PBS_DEFAULTED, true},
      {"disabled", false, true, true, ODS_SELECTED, PBS_DISABLED, false},
  };
  for (const Case& c : cases) {
    button->SetEnabled(c.enabled);
    button->SetDefault(c.isDefault);
    button->Perform(c.mouseAbove ? CM_MOUSEENTER : CM_MOUSELEAVE, 0, 0);
    themeCalls.clear();
    const TBitmap picture = Draw(c.itemState);
    const std::vector<std::string> expected = {
        "open BUTTON", "parent",
        "part " + std::to_string(BP_PUSHBUTTON) + "/" + std::to_string(c.part), "close"};
    EXPECT_EQ(themeCalls, expected) << c.name;
    EXPECT_EQ(CacheAt(picture, 2, 2), kThemedFace) << c.name;
    EXPECT_NEAR(GetRValue(CacheAt(picture, 50, 20)), 230, 2) << c.name << ": the glyph";
    EXPECT_EQ(FocusShown(picture), c.focusShown) << c.name;
  }
}

TEST_F(BitBtnThemed, WithoutThemesTheFrameControlIsDrawn) {
  UseRecordedTheme(scope.Calls(), false);
  const TBitmap picture = Draw(0);
  EXPECT_TRUE(themeCalls.empty());
  EXPECT_NE(CacheAt(picture, 2, 2), kThemedFace);
  EXPECT_NEAR(GetRValue(CacheAt(picture, 50, 20)), 230, 2);
}

// A 100x40 button without a caption and with a 16x12 glyph.
TsBitBtn* GlyphOnlyButton(TForm* form) {
  auto* b = Create<TsBitBtn>(form);
  b->SetParent(form);
  b->SetBounds(0, 0, 100, 40);
  b->SetCaption("");
  b->Glyph().SetSize(16, 12);
  return b;
}

// Glyph placement needs no skin: the arithmetic of the layouts.
TEST(BitBtnGeometry, GlyphRectFollowsLayoutAlignmentAndMargin) {
  Owned<TForm> form = CreateOwned<TForm>();
  TsBitBtn* b = GlyphOnlyButton(form.get());
  struct Case {
    TButtonLayout layout;
    TAlignment alignment;
    int margin;
    TRect expected;
  } cases[] = {
      {blGlyphLeft, taCenter, -1, {42, 14, 58, 26}},
      {blGlyphLeft, taLeftJustify, -1, {0, 14, 16, 26}},
      {blGlyphLeft, taLeftJustify, 0, {3, 14, 19, 26}},
      {blGlyphRight, taRightJustify, 2, {79, 14, 95, 26}},
      {blGlyphTop, taCenter, -1, {43, 14, 59, 26}},
      {blGlyphBottom, taCenter, -1, {43, 14, 59, 26}},
  };
  for (const Case& c : cases) {
    b->SetLayout(c.layout);
    b->SetAlignment(c.alignment);
    b->SetMargin(c.margin);
    const TRect r = b->CalcGlyphRect();
    EXPECT_EQ(r.Left, c.expected.Left) << c.layout << "/" << c.alignment << "/" << c.margin;
    EXPECT_EQ(r.Top, c.expected.Top) << c.layout << "/" << c.alignment << "/" << c.margin;
    EXPECT_EQ(r.Width(), 16);
    EXPECT_EQ(r.Height(), 12);
  }
  b->SetBlend(150);
  EXPECT_EQ(b->Blend(), 100);
  b->SetBlend(-5);
  EXPECT_EQ(b->Blend(), 0);
}

// An image index outside the list (the count itself, or -1) leaves the
// picture to the button's own glyph.
TEST(BitBtnGeometry, AnIndexOutsideTheImageListFallsBackToTheGlyph) {
  Owned<TForm> form = CreateOwned<TForm>();
  TsBitBtn* b = GlyphOnlyButton(form.get());
  auto* images = Create<TImageList>(form.get());
  images->SetSize(24, 20);
  TBitmap picture(24, 20, pf24bit);
  images->Add(picture);
  b->SetImages(images);
  for (const int index : {0, 1, -1}) {
    b->SetImageIndex(index);
    const TRect r = b->CalcGlyphRect();
    const bool listed = index == 0;
    EXPECT_EQ(r.Width(), listed ? 24 : 16) << "index " << index;
    EXPECT_EQ(r.Height(), listed ? 20 : 12) << "index " << index;
  }
}

}  // namespace
}  // namespace kv
