// Title buttons under Wine with the synthetic skin: the states in the
// cache and on the window, the glow's alpha sequence (through the layered
// window recorder), and the user buttons' hit codes.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "SkinnedFormFixture.h"
#include "SystemPointer.h"
#include "classlib/ExtCtrls.h"
#include "skin/core/sStyleSimply_win.h"
#include "skin/forms/acBorderForm_win.h"
#include "skin/forms/sTitleButtons_win.h"
#include "support/Counters.h"
#include "support/MessageLog.h"
#include "support/ModalProbe.h"
#include "support/Mouse.h"
#include "support/Pump.h"

namespace kv {
namespace {

// A skin whose title buttons glow, with glow pictures of their own.
kvtest::TTestSkinOptions GlowingSkin() {
  kvtest::TTestSkinOptions options;
  options.Glow = true;
  options.GlowImageFiles = true;
  return options;
}

// Without a caption the title bar holds only the buttons.
void ShowWithoutCaption(kvtest::TSkinnedFormFixture& f) {
  f.form->SetCaption("");
  f.Provide();
  f.Show();
}

// An icon of one colour, side x side.
HICON SolidIcon(COLORREF colour, int side) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP image = CreateCompatibleBitmap(screen, side, side);
  HGDIOBJ was = SelectObject(dc, image);
  HBRUSH brush = CreateSolidBrush(colour);
  const RECT all{0, 0, side, side};
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  SelectObject(dc, was);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  const std::vector<BYTE> opaque(static_cast<size_t>(side) * ((side + 15) / 16) * 2, 0);
  HBITMAP mask = CreateBitmap(side, side, 1, 1, opaque.data());
  ICONINFO info{TRUE, 0, 0, mask, image};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  DeleteObject(image);
  return icon;
}

using kvtest::TPixels;

// The glow windows of this thread that show: layered, and never taking the
// pointer.
BOOL CALLBACK CountShownGlow(HWND wnd, LPARAM count) {
  const LONG ex = GetWindowLongW(wnd, GWL_EXSTYLE);
  if (IsWindowVisible(wnd) && (ex & WS_EX_LAYERED) != 0 && (ex & WS_EX_TRANSPARENT) != 0)
    ++*reinterpret_cast<int*>(count);
  return TRUE;
}
int ShownGlows() {
  int n = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountShownGlow, reinterpret_cast<LPARAM>(&n));
  return n;
}

// The screen point in the middle of a title button.
POINT OnButton(HWND wnd, const TsTitleButtonRecord& r) {
  RECT w{};
  GetWindowRect(wnd, &w);
  return {w.left + (r.Rect.Left + r.Rect.Right) / 2, w.top + (r.Rect.Top + r.Rect.Bottom) / 2};
}

class TitleButtons : public ::testing::Test, public kvtest::TSkinnedFormFixture {
 protected:
  void SetUp() override {
    form->SetCaption("");
    Provide();
    Show();
  }
  std::string CloseLook(const TPixels& p) {
    const TRect r = provider->ButtonClose().Rect;
    return ItemAt(p, r.Left + r.Width() / 2, r.Top + r.Height() / 2);
  }
  // Runs the glow of a record to its end, one step at a time.
  void RunGlow(TsTitleButtonRecord& r) {
    for (int i = 0; i < 50 && r.Timer != nullptr && r.Timer->Running(); ++i) r.Timer->StepNow();
  }
  std::vector<int> AlphasOf(const kvtest::TLayeredRecorder& rec, size_t from = 0) {
    std::vector<int> alphas;
    for (size_t i = from; i < rec.Updates.size(); ++i) alphas.push_back(rec.Updates[i].alpha);
    return alphas;
  }
};

// Without glowing each state is painted into the cache and onto the window.
TEST_F(TitleButtons, StatesShowInTheCacheAndOnTheWindow) {
  manager->SetAllowGlowing(false);
  struct Step {
    std::function<void()> Change;
    const char* Look;
  };
  const Step steps[] = {
      {[&] { provider->SetHotButton(TitleHit::Close, true); }, "GLOBALINFO.BICONCLOSE#1"},
      {[&] { provider->SetPressedButton(TitleHit::Close); }, "GLOBALINFO.BICONCLOSE#2"},
      {[&] { provider->SetHotButton(0, true); }, "GLOBALINFO.BICONCLOSE#0"},
  };
  for (const Step& s : steps) {
    s.Change();
    EXPECT_EQ(CloseLook(Cache()), s.Look);
    EXPECT_EQ(CloseLook(TPixels::FromWindow(Wnd())), s.Look);
  }
}

// A fade-in of ten steps rises by 255 div 10 to full; the fade-out falls
// from there without a jump; a fade turned round half-way goes on from the
// alpha then shown.
TEST_F(TitleButtons, GlowRisesAndFallsWithoutAJump) {
  kvtest::TLayeredRecorder rec;
  TsTitleButtonRecord& close = provider->ButtonClose();
  provider->SetHotButton(TitleHit::Close, true);
  ASSERT_NE(close.Timer, nullptr);
  RunGlow(close);
  const std::vector<int> in = AlphasOf(rec);
  EXPECT_EQ(in, (std::vector<int>{25, 50, 75, 100, 125, 150, 175, 200, 225, 255}));

  provider->SetHotButton(0, true);
  const size_t outFrom = rec.Updates.size();
  RunGlow(close);
  const std::vector<int> out = AlphasOf(rec, outFrom);
  ASSERT_FALSE(out.empty());
  EXPECT_EQ(out.back(), 0);
  int previous = 255;
  for (int a : out) {
    EXPECT_LE(a, previous);
    EXPECT_LE(previous - a, 30) << "jump from " << previous << " to " << a;
    previous = a;
  }

  provider->SetHotButton(TitleHit::Close, true);
  for (int i = 0; i < 3; ++i) close.Timer->StepNow();
  const int shown = close.Timer->Alpha();
  provider->SetHotButton(0, true);
  const size_t from = rec.Updates.size();
  close.Timer->StepNow();
  ASSERT_GT(rec.Updates.size(), from);
  EXPECT_LT(rec.Updates[from].alpha, shown);
  EXPECT_GE(rec.Updates[from].alpha, shown - 30);

  // Back onto the button while it fades: it rises again from there.
  const int fading = rec.Updates.back().alpha;
  provider->SetHotButton(TitleHit::Close, true);
  close.Timer->StepNow();
  EXPECT_GT(rec.Updates.back().alpha, fading);
  EXPECT_LE(rec.Updates.back().alpha, fading + 30);
}

// The hover is reached from WM_NCHITTEST: starting its glow must not run
// the messages waiting in the queue.
TEST_F(TitleButtons, StartingAGlowLeavesTheQueueAlone) {
  kvtest::TLayeredRecorder rec;
  constexpr UINT kProbe = WM_APP + 31;
  PostMessageW(Wnd(), kProbe, 0, 0);
  provider->SetHotButton(TitleHit::Close, true);
  MSG msg{};
  EXPECT_TRUE(PeekMessageW(&msg, Wnd(), kProbe, kProbe, PM_REMOVE));
}

// A form freed while its button glows takes the glow window, its timer and
// every GDI object with it.
TEST(TitleButtonsGlow, AFormFreedWhileAButtonGlowsLeavesNothingBehind) {
  kvtest::TSkinnedFormFixture f;
  kvtest::TLayeredRecorder rec;
  f.form->Free();
  f.form = nullptr;
  const kvtest::TObjectBaseline baseline;
  const int timers = TTimer::ActiveCount();
  TForm* form = Create<TForm>(nullptr);
  auto* provider = Create<TsSkinProvider>(form);
  form->Show();
  kvtest::PumpUntilIdle();
  provider->SetHotButton(TitleHit::Close, true);
  TsTitleButtonRecord& close = provider->ButtonClose();
  ASSERT_NE(close.Timer, nullptr);
  close.Timer->StepNow();
  const HWND glow = close.Timer->GlowWindow();
  ASSERT_NE(glow, nullptr);
  EXPECT_TRUE(IsWindowVisible(glow));
  form->Free();
  EXPECT_FALSE(IsWindow(glow));
  EXPECT_EQ(TTimer::ActiveCount(), timers);
  EXPECT_TRUE(baseline.Unchanged());
}

// A skin with a glow picture for the close button shows that picture,
// reaching out by the skin's margin, centred on the button as it fades out.
TEST(TitleButtonsGlow, ASkinsGlowPictureReachesOutByItsMargin) {
  kvtest::TTestSkinOptions options;
  options.Glow = true;
  kvtest::TSkinnedFormFixture f(options);
  kvtest::TLayeredRecorder rec;
  ShowWithoutCaption(f);
  f.provider->SetHotButton(TitleHit::Close, true);
  const TsSkinModel& skin = f.manager->Skin();
  const TSize glowSize =
      skin.GetMaskStateSize(skin.MaskIndexByNames("GLOBALINFO", "BICONCLOSEGLOW0"));
  ASSERT_GT(glowSize.cx, 0);
  RECT w{};
  GetWindowRect(f.Wnd(), &w);
  const TRect button = f.provider->ButtonClose().Rect;
  const int margin = kvtest::TTestSkin::kGlowMargin;
  ASSERT_FALSE(rec.Updates.empty());
  const POINT inPos = rec.Updates.back().pos;
  const SIZE inSize = rec.Updates.back().size;
  EXPECT_EQ(inPos.x, w.left + button.Left - margin);
  EXPECT_EQ(inPos.y, w.top + button.Top - margin);
  EXPECT_EQ(inSize.cx, glowSize.cx);
  EXPECT_EQ(inSize.cy, glowSize.cy);
  f.provider->ButtonClose().Timer->StepNow();
  f.provider->SetHotButton(0, true);
  f.provider->ButtonClose().Timer->StepNow();
  const kvtest::TLayeredUpdate& out = rec.Updates.back();
  EXPECT_EQ(out.pos.x + out.size.cx / 2, inPos.x + inSize.cx / 2);
  EXPECT_EQ(out.pos.y + out.size.cy / 2, inPos.y + inSize.cy / 2);
}

// User button i answers hit code 1000 + i in its records and the layout;
// a hidden one takes no place but keeps its room in the buttons' width.
TEST(TitleButtonsUser, UserButtonsAreOneThousandPlusTheirIndex) {
  kvtest::TSkinnedFormFixture f;
  f.form->SetCaption("");
  f.Provide();
  TsTitleButtons buttons;
  buttons.Items.resize(3);
  buttons.Items[0].Visible = false;
  f.provider->SetTitleButtons(buttons);
  f.provider->LoadTitleButtonMasks();
  f.Show();
  std::vector<int> hits;
  for (const TsPlacedTitleButton& b : f.provider->PlacedButtons())
    if (IsUserTitleHit(b.HitCode)) hits.push_back(b.HitCode);
  EXPECT_EQ(hits, (std::vector<int>{1001, 1002}));
  EXPECT_EQ(f.provider->ButtonRecord(1001), f.provider->TitleButtons().Items[1].Record.get());
  EXPECT_EQ(f.provider->ButtonRecord(1001)->HitCode, 1001);
  const int withHidden = f.provider->TitleButtonsWidth();
  f.provider->SetTitleButtonVisible(0, true);
  EXPECT_EQ(f.provider->TitleButtonsWidth(), withHidden);
  EXPECT_EQ(f.provider->PlacedButtons().size(), 3u + 3u);
}

// Without an icon of the window or the application the title shows the
// program file's own icon: the large one for a title icon above 16 pixels.
TEST(TitleIcon, WithoutOtherIconsTheProgramsOwnShowsLargeAboveSixteenPixels) {
  constexpr COLORREF kSmall = RGB(0x31, 0x72, 0x13), kLarge = RGB(0x93, 0x24, 0x55);
  const HICON savedSmall = ProgramSmallIcon, savedLarge = ProgramLargeIcon;
  ProgramSmallIcon = SolidIcon(kSmall, 16);
  ProgramLargeIcon = SolidIcon(kLarge, 32);
  for (const auto& [side, ink] : {std::pair{0, kSmall}, std::pair{20, kLarge}}) {
    SCOPED_TRACE(side);
    kvtest::TSkinnedFormFixture f;
    f.Provide();
    f.provider->TitleIcon.Width = f.provider->TitleIcon.Height = side;
    f.Show();
    const TRect r = f.provider->TitleIconRect();
    EXPECT_EQ(r.Height() > 16, side > 16);
    EXPECT_TRUE(kvtest::ColourAt(f.Cache(), (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2, ink));
  }
  DestroyIcon(ProgramSmallIcon);
  DestroyIcon(ProgramLargeIcon);
  ProgramSmallIcon = savedSmall;
  ProgramLargeIcon = savedLarge;
}

// A user button that takes nothing from the skin still shows its glyph;
// buttons given after the skin came show their mask from the next frame
// painting on and turn hot under the mouse.
TEST(TitleButtonsUser, ButtonsWithoutSkinDataOrGivenLaterAreDrawn) {
  // The pointer left on a title button by another test would make it hot.
  kvtest::HoverOut();
  kvtest::TSkinnedFormFixture f;
  f.manager->SetAllowGlowing(false);
  f.form->SetCaption("");
  f.Provide();
  f.Show();
  constexpr COLORREF kInk = RGB(0x12, 0x34, 0xAB);
  TsTitleButtons buttons;
  buttons.Items.resize(2);
  buttons.Items[0].UseSkinData = false;
  TBitmap& glyph = buttons.Items[0].Glyph;
  glyph = TBitmap(9, 9, pf24bit);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) {
      std::uint8_t* p = glyph.ScanLine(y) + 3 * x;
      const COLORREF c = y == 8 && x == 0 ? RGB(0, 0, 0) : kInk;
      p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
    }
  f.provider->SetTitleButtons(buttons);
  // The frame is painted again when the form's activity changes.
  SendMessageW(f.Wnd(), WM_NCACTIVATE, FALSE, 0);
  f.LookActive();
  const auto centre = [](const TRect& r) {
    return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  };
  const TPoint plain = centre(f.provider->ButtonRecord(TitleHit::FirstUser)->Rect);
  const TPoint masked = centre(f.provider->ButtonRecord(TitleHit::FirstUser + 1)->Rect);
  EXPECT_TRUE(kvtest::ColourAt(f.Cache(), plain.X, plain.Y, kInk));
  EXPECT_EQ(f.ItemAt(f.Cache(), masked.X, masked.Y), "GLOBALINFO.TITLEBUTTON#0");
  RECT w{};
  GetWindowRect(f.Wnd(), &w);
  EXPECT_EQ(SendMessageW(f.Wnd(), WM_NCHITTEST, 0, MAKELPARAM(w.left + masked.X, w.top + masked.Y)),
            TitleHit::FirstUser + 1);
  EXPECT_EQ(f.ItemAt(f.Cache(), masked.X, masked.Y), "GLOBALINFO.TITLEBUTTON#1");
  EXPECT_EQ(f.ItemAt(TPixels::FromWindow(f.Wnd()), masked.X, masked.Y), "GLOBALINFO.TITLEBUTTON#1");
}

// A glyph sits centred on its user button over the button's mask; its
// bottom-left colour is left out.
TEST(TitleButtonsUser, AGlyphIsDrawnCentredLeavingOutItsCornerColour) {
  kvtest::TSkinnedFormFixture f;
  f.form->SetCaption("");
  f.Provide();
  constexpr COLORREF kInk = RGB(0x12, 0x34, 0xAB), kKey = RGB(0x01, 0x02, 0x03);
  TsTitleButtons buttons;
  buttons.Items.resize(1);
  TBitmap& glyph = buttons.Items[0].Glyph;
  glyph = TBitmap(9, 9, pf24bit);
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 9; ++x) {
      std::uint8_t* p = glyph.ScanLine(y) + 3 * x;
      const COLORREF c = x < 2 ? kKey : kInk;
      p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
    }
  f.provider->SetTitleButtons(buttons);
  f.provider->LoadTitleButtonMasks();
  f.Show();
  const TPixels cache = f.Cache();
  const TRect r = f.provider->ButtonRecord(TitleHit::FirstUser)->Rect;
  const int gx = r.Left + (r.Width() - 9) / 2, gy = r.Top + (r.Height() - 9) / 2;
  EXPECT_TRUE(kvtest::ColourAt(cache, gx + 4, gy + 4, kInk));
  EXPECT_EQ(cache.CountOf(kKey, cache.Whole()), 0);
  EXPECT_EQ(f.ItemAt(cache, gx, gy + 4), "GLOBALINFO.TITLEBUTTON#0");
  // Pressed, it moves a pixel right and down.
  f.manager->SetAllowGlowing(false);
  f.provider->SetPressedButton(TitleHit::FirstUser);
  const TPixels pressed = f.Cache();
  EXPECT_EQ(f.ItemAt(pressed, gx + 2, gy + 4), "GLOBALINFO.TITLEBUTTON#2");
  EXPECT_TRUE(kvtest::ColourAt(pressed, gx + 3, gy + 4, kInk));
  EXPECT_TRUE(kvtest::ColourAt(pressed, gx + 4, gy + 9, kInk));
}

// The mouse on a user button: its hint shows by the cursor while it is hot;
// a click presses it and fires its mouse-down and mouse-up with the button
// as sender and the mouse on the button, and leaves it hot again.
TEST(TitleButtonsUser, AClickFiresItsEventsAndItsHintShowsWhileHot) {
  kvtest::TSkinnedFormFixture f;
  f.manager->SetAllowGlowing(false);
  f.form->SetCaption("");
  f.Provide();
  struct TEvent {
    std::string Kind;
    TObject* Sender;
    TMouseButton Button;
    int X, Y;
  };
  std::vector<TEvent> events;
  TsTitleButtons buttons;
  buttons.Items.resize(1);
  buttons.Items[0].Hint = "Read again";
  buttons.Items[0].OnMouseDown = [&](TObject* s, TMouseButton b, TShiftState, int x, int y) {
    events.push_back({"down", s, b, x, y});
  };
  buttons.Items[0].OnMouseUp = [&](TObject* s, TMouseButton b, TShiftState, int x, int y) {
    events.push_back({"up", s, b, x, y});
  };
  f.provider->SetTitleButtons(buttons);
  f.provider->LoadTitleButtonMasks();
  f.Show();
  const TsTitleButtonRecord& record = *f.provider->ButtonRecord(TitleHit::FirstUser);
  RECT w{};
  GetWindowRect(f.Wnd(), &w);
  const POINT at{w.left + record.Rect.Left + 3, w.top + record.Rect.Top + 4};
  SetCursorPos(at.x, at.y);
  ASSERT_TRUE(pump::PumpUntil([&] { return f.provider->ButtonHint() != nullptr; }));
  THintWindow* hint = f.provider->ButtonHint();
  EXPECT_TRUE(hint->Showing());
  EXPECT_EQ(hint->Caption(), "Read again");
  RECT h{};
  GetWindowRect(hint->Handle(), &h);
  EXPECT_EQ(h.left, at.x + 8);
  EXPECT_EQ(h.top, at.y + 16);

  const LPARAM screen = MAKELPARAM(at.x, at.y);
  SendMessageW(f.Wnd(), WM_NCLBUTTONDOWN, TitleHit::FirstUser, screen);
  EXPECT_EQ(record.State, 2);
  EXPECT_EQ(f.provider->ButtonHint(), nullptr) << "a press hides the hint";
  SendMessageW(f.Wnd(), WM_NCLBUTTONUP, TitleHit::FirstUser, screen);
  EXPECT_EQ(record.State, 1);
  ASSERT_EQ(events.size(), 2u);
  const TObject* button = &f.provider->TitleButtons().Items[0];
  for (const TEvent& e : events) {
    EXPECT_EQ(e.Sender, button) << e.Kind;
    EXPECT_EQ(e.Button, mbLeft) << e.Kind;
    EXPECT_EQ(e.X, 3) << e.Kind;
    EXPECT_EQ(e.Y, 4) << e.Kind;
  }
  EXPECT_EQ(events[0].Kind, "down");
  EXPECT_EQ(events[1].Kind, "up");

  // Released away from it, the button only goes back to rest.
  SendMessageW(f.Wnd(), WM_NCLBUTTONDOWN, TitleHit::FirstUser, screen);
  SendMessageW(f.Wnd(), WM_NCLBUTTONUP, HTCAPTION, MAKELPARAM(w.left + 40, at.y));
  EXPECT_EQ(events.size(), 3u);
  kvtest::HoverOut();
  EXPECT_EQ(f.provider->ButtonHint(), nullptr);
}

// The title icon: the provider's glyph (its fuchsia left out) before any
// icon; without one and without an icon of the window, the application's,
// else the program file's, else the system's application icon.
TEST(TitleIcon, AGlyphComesFirstThenTheApplicationsIconThenTheSystems) {
  constexpr COLORREF kInk = RGB(0x21, 0x43, 0x65);
  const auto iconArea = [](kvtest::TSkinnedFormFixture& f) {
    const TRect r = f.provider->TitleIconRect();
    return f.Cache().Crop(RECT{r.Left, r.Top, r.Right, r.Bottom});
  };
  const auto titleOnly = [](kvtest::TSkinnedFormFixture& f, const TPixels& area) {
    int other = 0;
    for (int y = 0; y < area.Height(); ++y)
      for (int x = 0; x < area.Width(); ++x)
        if (f.SectionAt(area, x, y) != "FORMTITLE") ++other;
    return other == 0;
  };
  {
    kvtest::TSkinnedFormFixture f;
    f.Provide();
    TBitmap& glyph = f.provider->TitleIcon.Glyph;
    glyph = TBitmap(4, 4, pf24bit);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) {
        std::uint8_t* p = glyph.ScanLine(y) + 3 * x;
        const COLORREF c = x == 0 ? RGB(0xFF, 0, 0xFF) : kInk;
        p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
      }
    f.Show();
    const TPixels area = iconArea(f);
    ASSERT_GE(area.Width(), 8);
    EXPECT_TRUE(kvtest::ColourAt(area, area.Width() - 1, area.Height() / 2, kInk)) << "stretched";
    EXPECT_EQ(f.SectionAt(area, 0, area.Height() / 2), "FORMTITLE") << "fuchsia left out";
  }
  {
    kvtest::TSkinnedFormFixture f;
    f.Provide();
    f.Show();
    EXPECT_FALSE(titleOnly(f, iconArea(f))) << "the program's or the system's icon";
  }
  HICON icon = SolidIcon(kInk, 16);
  HWND app = Application->Handle();
  const LRESULT old = SendMessageW(app, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  {
    kvtest::TSkinnedFormFixture f;
    f.Provide();
    f.Show();
    const TPixels area = iconArea(f);
    EXPECT_TRUE(kvtest::ColourAt(area, area.Width() / 2, area.Height() / 2, kInk));
  }
  SendMessageW(app, WM_SETICON, ICON_BIG, old);
  DestroyIcon(icon);
}

// A glow picture that is an image of its own (which the reader takes as
// cells) shows whole, reaching out by the margin on the left and top; it is
// the picture of the mask the button shows (a maximised form's restore
// mask), and the frame under the halo shows the button at rest, also when
// the frame is painted again.
struct THalo {
  const char* Name;
  bool Maximised;
  int HitCode;
  const char* Mask;
};
void PrintTo(const THalo& h, std::ostream* os) { *os << h.Name; }

class Halos : public ::testing::TestWithParam<THalo> {};

TEST_P(Halos, ShowWholeOverTheButtonAtRest) {
  const THalo& h = GetParam();
  kvtest::TSkinnedFormFixture f(GlowingSkin());
  kvtest::TLayeredRecorder rec;
  if (h.Maximised) f.form->SetWindowState(wsMaximized);
  ShowWithoutCaption(f);
  f.provider->SetHotButton(h.HitCode, true);
  ASSERT_FALSE(rec.Updates.empty());
  RECT w{};
  GetWindowRect(f.Wnd(), &w);
  const TRect button = f.provider->ButtonRecord(h.HitCode)->Rect;
  const int margin = kvtest::TTestSkin::kGlowMargin;
  const kvtest::TLayeredUpdate& glow = rec.Updates.back();
  EXPECT_EQ(glow.pos.x, w.left + button.Left - margin);
  EXPECT_EQ(glow.pos.y, w.top + button.Top - margin);
  EXPECT_EQ(glow.size.cx, button.Width() + 2 * margin);
  EXPECT_EQ(glow.size.cy, button.Height() + 2 * margin);
  const COLORREF ring = f.skin.Colour("GLOBALINFO", std::string(h.Mask) + "GLOW0");
  EXPECT_GT(glow.image.CountOf(ring, glow.image.Whole()), 0);
  const int cx = button.Left + button.Width() / 2, cy = button.Top + button.Height() / 2;
  const std::string rest = std::string("GLOBALINFO.") + h.Mask + "#0";
  EXPECT_EQ(f.ItemAt(TPixels::FromWindow(f.Wnd()), cx, cy), rest);
  f.provider->InvalidateFrame();
  EXPECT_EQ(f.ItemAt(f.Cache(), cx, cy), rest);
}

const THalo kHalos[] = {{"Close", false, TitleHit::Close, "BICONCLOSE"},
                        {"RestoreOfAMaximisedForm", true, TitleHit::MaxButton, "BICONNORM"}};
INSTANTIATE_TEST_SUITE_P(TitleButtonsGlow, Halos, ::testing::ValuesIn(kHalos),
                         [](const auto& info) { return std::string(info.param.Name); });

// However the hover ends, the glow window goes and the button is at rest:
// the mouse leaving the window straight from the button, a new skin, the
// form hidden.
struct TGlowEnd {
  const char* Name;
  std::function<void(kvtest::TSkinnedFormFixture&)> End;
  bool LeavesButtonAtRest = false;  // nothing can make it hot again
};
void PrintTo(const TGlowEnd& e, std::ostream* os) { *os << e.Name; }

class GlowEnds : public ::testing::TestWithParam<TGlowEnd> {};

TEST_P(GlowEnds, TheGlowWindowGoes) {
  kvtest::TSkinnedFormFixture f(GlowingSkin());
  ShowWithoutCaption(f);
  // The mouse onto the close button, as a user moves it there.
  RECT w{};
  GetWindowRect(f.Wnd(), &w);
  const TRect button = f.provider->ButtonClose().Rect;
  SetCursorPos(w.left + button.Left + button.Width() / 2, w.top + button.Top + button.Height() / 2);
  TsTitleButtonRecord& close = f.provider->ButtonClose();
  const auto glowShown = [&] { return close.Timer != nullptr && close.Timer->GlowWindow(); };
  ASSERT_TRUE(pump::PumpUntil(glowShown));
  const HWND glow = close.Timer->GlowWindow();
  GetParam().End(f);
  EXPECT_TRUE(pump::PumpUntil([&] { return !IsWindow(glow) || !IsWindowVisible(glow); }));
  // A mouse still over a shown button may make it hot again, with a glow of its own.
  if (GetParam().LeavesButtonAtRest) {
    EXPECT_FALSE(glowShown());
    EXPECT_EQ(close.State, 0);
  }
}

const TGlowEnd kGlowEnds[] = {
    {"MouseLeavesTheWindow", [](kvtest::TSkinnedFormFixture&) { kvtest::HoverOut(); }, true},
    {"NewSkin",
     [](kvtest::TSkinnedFormFixture& f) {
       TsStoredSkin& other = f.manager->InternalSkins.Add();
       other.Name = "Other";
       other.Data = kvtest::TTestSkin().Packed();
       f.manager->SetSkinName("Other");
     }},
    {"FormHidden", [](kvtest::TSkinnedFormFixture& f) { f.form->Hide(); }, true},
};
INSTANTIATE_TEST_SUITE_P(TitleButtonsGlow, GlowEnds, ::testing::ValuesIn(kGlowEnds),
                         [](const auto& info) { return std::string(info.param.Name); });

// The pointer, moved by the system, goes onto the close button and then
// off the window: the glow window goes and the button is cold. On an X
// display the pointer's moves also reach the glow window lying under it,
// which must not take the form's leave tracking away.
struct TLeaveWay {
  const char* Name;
  bool PointerReachesGlow;
  bool DipsIntoTheClient;
};
void PrintTo(const TLeaveWay& w, std::ostream* os) { *os << w.Name; }

class PointerLeaves : public ::testing::TestWithParam<TLeaveWay> {};

TEST_P(PointerLeaves, TheGlowGoesAndTheButtonIsCold) {
  kvtest::TSkinnedFormFixture f(GlowingSkin());
  ShowWithoutCaption(f);
  const POINT away = kvtest::AwayFromWindows();
  kvtest::SystemMoveTo(away);
  RECT w{};
  GetWindowRect(f.Wnd(), &w);
  TsTitleButtonRecord& close = f.provider->ButtonClose();
  const POINT on{w.left + (close.Rect.Left + close.Rect.Right) / 2,
                 w.top + (close.Rect.Top + close.Rect.Bottom) / 2};
  kvtest::SystemMoveTo(on);
  // The glow has risen in full.
  ASSERT_TRUE(pump::PumpUntil([&] {
    return close.Timer != nullptr && close.Timer->GlowWindow() != nullptr &&
           !close.Timer->Running() && close.Timer->Alpha() == 255;
  }));
  const HWND glow = close.Timer->GlowWindow();
  EXPECT_EQ(close.State, 1);
  if (GetParam().PointerReachesGlow) {
    // What the X driver delivers to the window under the pointer.
    SendMessageW(glow, WM_NCHITTEST, 0, MAKELPARAM(on.x, on.y));
    POINT client = on;
    ScreenToClient(glow, &client);
    SendMessageW(glow, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
  }
  if (GetParam().DipsIntoTheClient) {
    // Into the client area and back onto the button before the form reads
    // its queue, as a quick hand does on a busy program (the wheel turn of
    // nothing keeps the two moves apart).
    RECT client{};
    GetClientRect(f.Wnd(), &client);
    const POINT in = kvtest::ClientToScreenPoint(f.Wnd(), {client.right / 2, client.bottom / 2});
    INPUT steps[3] = {kvtest::SystemMove(in), kvtest::SystemMove(in), kvtest::SystemMove(on)};
    steps[1].mi.dwFlags |= MOUSEEVENTF_WHEEL;
    ASSERT_EQ(SendInput(3, steps, sizeof(INPUT)), 3u);
    pump::PumpUntilIdle();
    ASSERT_TRUE(pump::PumpUntil([&] { return close.State == 1; }));
    // The client area's leave request, made on the way, has been answered
    // (the pointer is on the frame) or given way to the frame's.
    ASSERT_TRUE(pump::PumpUntil([&] {
      TRACKMOUSEEVENT now{sizeof(now), TME_QUERY, nullptr, 0};
      TrackMouseEvent(&now);
      return now.hwndTrack != f.Wnd() || (now.dwFlags & TME_LEAVE) == 0 ||
             (now.dwFlags & TME_NONCLIENT) != 0;
    }));
  }
  kvtest::SystemMoveTo(away);
  EXPECT_TRUE(pump::PumpUntil([&] { return !IsWindow(glow) || !IsWindowVisible(glow); }, 3000));
  EXPECT_EQ(close.State, 0);
}

const TLeaveWay kLeaveWays[] = {{"StraightOff", false, false},
                                 {"OverTheGlowWindow", true, false},
                                 {"AfterADipIntoTheClient", false, true}};
INSTANTIATE_TEST_SUITE_P(TitleButtonsGlow, PointerLeaves, ::testing::ValuesIn(kLeaveWays),
                         [](const auto& info) { return std::string(info.param.Name); });

// The pointer, moved by the system, leaves a title button while its glow's
// timer runs: just after the rise began, or back on the button after the
// last fade ended and off again before the new rise's first step (the moves
// one input, so the leave comes first), off the window or onto the caption.
// No button ever shows two glows, and the glow goes.
struct TRunningLeave {
  const char* Name;
  bool Sparse;  // a skin without glow pictures: the button glows as itself
  int HitCode;
  bool AfterAnEndedFade;
  bool OntoTheCaption;  // else off the window
};
void PrintTo(const TRunningLeave& c, std::ostream* os) { *os << c.Name; }

class LeaveWhileTheGlowRuns : public ::testing::TestWithParam<TRunningLeave> {};

TEST_P(LeaveWhileTheGlowRuns, TheGlowGoes) {
  const TRunningLeave& c = GetParam();
  kvtest::TSkinnedFormFixture f(c.Sparse ? kvtest::SparseSkinOptions() : GlowingSkin());
  ShowWithoutCaption(f);
  const POINT away = kvtest::AwayFromWindows();
  kvtest::SystemMoveTo(away);
  TsTitleButtonRecord& record = *f.provider->ButtonRecord(c.HitCode);
  const POINT on = OnButton(f.Wnd(), record);
  RECT w{};
  GetWindowRect(f.Wnd(), &w);
  const POINT off =
      c.OntoTheCaption ? POINT{w.left + f.provider->TitleIconRect().Right + 8, on.y} : away;
  const auto still = [&] {
    return record.Timer == nullptr ||
           (!record.Timer->Running() && record.Timer->GlowWindow() == nullptr);
  };
  if (c.AfterAnEndedFade) {
    kvtest::SystemMoveTo(on);
    ASSERT_TRUE(pump::PumpUntil([&] { return record.Timer && record.Timer->Alpha() == 255; }));
    kvtest::SystemMoveTo(away);
    ASSERT_TRUE(pump::PumpUntil(still));
  }
  kvtest::TMessageRecorder hits;
  hits.Filter = [](UINT msg) { return msg == WM_NCHITTEST; };
  hits.AttachWindow(f.Wnd());
  // The wheel turn of nothing keeps the two moves apart.
  INPUT moves[3] = {kvtest::SystemMove(on), kvtest::SystemMove(on), kvtest::SystemMove(off)};
  moves[1].mi.dwFlags |= MOUSEEVENTF_WHEEL;
  ASSERT_EQ(SendInput(3, moves, sizeof(INPUT)), 3u);
  ASSERT_TRUE(pump::PumpUntil([&] {
    for (const kvtest::TRecordedMsg& m : hits.Messages)
      if (m.lParam == MAKELPARAM(on.x, on.y)) return true;
    return false;
  })) << "the pointer never reached the button";
  int most = 0;
  EXPECT_TRUE(pump::PumpUntil(
      [&] {
        most = std::max(most, ShownGlows());
        return still() && ShownGlows() == 0;
      },
      3000));
  EXPECT_LE(most, 1);
  EXPECT_EQ(record.State, 0);
  EXPECT_EQ(f.provider->HotButton(), 0);
  kvtest::SystemMoveTo(away);
}

const TRunningLeave kRunningLeaves[] = {
    {"RiseJustBegun", false, TitleHit::Close, false, false},
    {"RiseAfterAnEndedFade", false, TitleHit::Close, true, false},
    {"RiseAfterAnEndedFadeOntoTheCaption", false, TitleHit::Close, true, true},
    {"SparseSkinsMaximiseOntoTheCaption", true, TitleHit::MaxButton, true, true}};
INSTANTIATE_TEST_SUITE_P(TitleButtonsGlow, LeaveWhileTheGlowRuns,
                         ::testing::ValuesIn(kRunningLeaves),
                         [](const auto& info) { return std::string(info.param.Name); });

// A click, by the system's mouse, on a title button that leaves the form
// open: the close refused by the form, a user button hiding itself from its
// own mouse-up. Right after it the button is as the pointer finds it; once
// the pointer has left, no glow is left over the title and nothing is hot.
struct TClickLeavesOpen {
  const char* Name;
  std::function<int(kvtest::TSkinnedFormFixture&)> Prepare;  // the button's hit code
  int StateAfterClick;
};
void PrintTo(const TClickLeavesOpen& c, std::ostream* os) { *os << c.Name; }

class AClickThatLeavesTheFormOpen : public ::testing::TestWithParam<TClickLeavesOpen> {};

TEST_P(AClickThatLeavesTheFormOpen, LeavesNoGlowOnceThePointerLeft) {
  kvtest::TSkinnedFormFixture f(GlowingSkin());
  f.form->SetCaption("");
  f.Provide();
  const int hit = GetParam().Prepare(f);
  f.Show();
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
  TsTitleButtonRecord& record = *f.provider->ButtonRecord(hit);
  kvtest::SystemMoveTo(OnButton(f.Wnd(), record));
  ASSERT_TRUE(pump::PumpUntil([&] { return record.Timer && record.Timer->GlowWindow(); }));
  kvtest::SystemClick();
  EXPECT_TRUE(IsWindowVisible(f.Wnd()));
  EXPECT_EQ(record.State, GetParam().StateAfterClick);
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
  EXPECT_TRUE(pump::PumpUntil([&] { return ShownGlows() == 0; }, 3000));
  EXPECT_EQ(record.State, 0);
  EXPECT_EQ(f.provider->HotButton(), 0);
}

const TClickLeavesOpen kClicksLeavingOpen[] = {
    {"CloseRefusedByTheQuery",
     [](kvtest::TSkinnedFormFixture& f) {
       f.form->OnCloseQuery = [](TObject*, bool& canClose) { canClose = false; };
       return TitleHit::Close;
     },
     1},
    {"CloseRefusedByTheCloseEvent",
     [](kvtest::TSkinnedFormFixture& f) {
       f.form->OnClose = [](TObject*, TCloseAction& action) { action = caNone; };
       return TitleHit::Close;
     },
     1},
    {"UserButtonHidingItself",
     [](kvtest::TSkinnedFormFixture& f) {
       TsTitleButtons buttons;
       buttons.Items.resize(1);
       buttons.Items[0].OnMouseUp = [&f](TObject*, TMouseButton, TShiftState, int, int) {
         f.provider->SetTitleButtonVisible(0, false);
       };
       f.provider->SetTitleButtons(buttons);
       f.provider->LoadTitleButtonMasks();
       return TitleHit::FirstUser;
     },
     0},
};
INSTANTIATE_TEST_SUITE_P(TitleButtonsGlow, AClickThatLeavesTheFormOpen,
                         ::testing::ValuesIn(kClicksLeavingOpen),
                         [](const auto& info) { return std::string(info.param.Name); });

// A modal box opens over the form while the pointer, moved by the system,
// rests on the glowing close button. The disabled form gets no hit tests,
// yet the button goes cold and its glow goes, whether the pointer stays or
// moves on along the title.
struct TPointerUnderABox {
  const char* Name;
  bool OntoTheCaption;
};
void PrintTo(const TPointerUnderABox& c, std::ostream* os) { *os << c.Name; }

class UnderAModalBox : public ::testing::TestWithParam<TPointerUnderABox> {};

TEST_P(UnderAModalBox, TheHotCloseButtonGoesCold) {
  kvtest::TSkinnedFormFixture f(GlowingSkin());
  ShowWithoutCaption(f);
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
  TsTitleButtonRecord& close = f.provider->ButtonClose();
  const POINT on = OnButton(f.Wnd(), close);
  kvtest::SystemMoveTo(on);
  ASSERT_TRUE(pump::PumpUntil([&] {
    return close.Timer != nullptr && !close.Timer->Running() && close.Timer->Alpha() == 255;
  }));
  ASSERT_EQ(f.provider->HotButton(), TitleHit::Close);
  RECT w{};
  GetWindowRect(f.Wnd(), &w);
  const POINT to =
      GetParam().OntoTheCaption ? POINT{w.left + f.provider->TitleIconRect().Right + 8, on.y} : on;
  bool disabled = false, cold = false;
  {
    kvtest::TModalProbe probe(kvtest::kDialogClass, [&](HWND box) {
      // Out of the way of the title.
      SetWindowPos(box, nullptr, w.right + 20, w.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      disabled = !IsWindowEnabled(f.Wnd());
      kvtest::SystemMoveTo(to);
      cold = pump::PumpUntil([&] {
        return close.State == 0 && f.provider->HotButton() != TitleHit::Close &&
               (close.Timer == nullptr || close.Timer->GlowWindow() == nullptr);
      });
    });
    MessageBoxW(f.Wnd(), L"Text", L"Box", MB_OK);
    ASSERT_TRUE(probe.Found());
  }
  EXPECT_TRUE(disabled);
  EXPECT_TRUE(cold);
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
}

const TPointerUnderABox kPointersUnderABox[] = {{"PointerStaysOnTheButton", false},
                                                {"PointerMovesOntoTheCaption", true}};
INSTANTIATE_TEST_SUITE_P(TitleButtonsGlow, UnderAModalBox, ::testing::ValuesIn(kPointersUnderABox),
                         [](const auto& info) { return std::string(info.param.Name); });

// A form's user buttons handed to another form are the other form's own:
// the pointer makes one glow on the first form, which is then freed in the
// middle of the fade; the second form's button neither shares the hot state
// nor a glow whose form is gone, and its clock ticks on.
TEST(TitleButtonsUser, ACopiedButtonHasItsOwnStateAndOutlivesTheFirstFormsGlow) {
  kvtest::TSkinnedFormFixture f;
  f.form->SetCaption("");
  f.Provide();
  TsTitleButtons buttons;
  buttons.Items.resize(1);
  f.provider->SetTitleButtons(buttons);
  f.provider->LoadTitleButtonMasks();
  f.Show();
  RECT w{};
  GetWindowRect(f.Wnd(), &w);
  TsTitleButtonRecord& first = *f.provider->TitleButtons().Items[0].Record;
  kvtest::SystemMoveTo({w.left + (first.Rect.Left + first.Rect.Right) / 2,
                w.top + (first.Rect.Top + first.Rect.Bottom) / 2});
  ASSERT_TRUE(pump::PumpUntil([&] { return first.Timer != nullptr && first.Timer->Running(); }));
  ASSERT_EQ(first.State, 1);

  TForm* second = Create<TForm>(nullptr);
  second->SetBounds(400, 300, 300, 200);
  TsSkinProvider* other = Create<TsSkinProvider>(second);
  other->SetTitleButtons(f.provider->TitleButtons());
  TsTitleButtons assigned;
  assigned = f.provider->TitleButtons();
  const TsTitleButtonRecord& copy = *other->TitleButtons().Items[0].Record;
  EXPECT_NE(&copy, &first);
  EXPECT_NE(assigned.Items[0].Record.get(), &first);
  EXPECT_EQ(copy.State, 0);
  EXPECT_EQ(copy.Timer, nullptr);

  f.form->Free();
  f.form = nullptr;
  // Ticks of a glow of the freed form would land on freed memory.
  pump::Pump(100);
  EXPECT_EQ(copy.Timer, nullptr);
  EXPECT_EQ(copy.State, 0);
  second->Free();
  kvtest::HoverOut();
}

// On a title too narrow for its buttons, a button reaching over the title
// icon keeps its look at rest when the pointer makes it hot: the icon is
// not painted over.
TEST(TitleButtonsUser, AButtonOverTheTitleIconIsNotRepaintedHot) {
  kvtest::TSkinnedFormFixture f;
  f.manager->SetAllowGlowing(false);
  f.form->SetCaption("");
  f.Provide();
  TsTitleButtons buttons;
  // The last one lies across the icon's right edge.
  buttons.Items.resize(16);
  f.provider->SetTitleButtons(buttons);
  f.provider->LoadTitleButtonMasks();
  f.Show();
  const TsFrameGeometry g = f.provider->Geometry();
  ASSERT_TRUE(g.ShowsTitleIcon());
  const TRect icon = f.provider->TitleIconRect();
  const TsPlacedTitleButton* over = nullptr;
  const TsPlacedTitleButton* clear = nullptr;
  const std::vector<TsPlacedTitleButton> placed = f.provider->PlacedButtons();
  for (const TsPlacedTitleButton& b : placed) {
    if (!IsUserTitleHit(b.HitCode)) continue;
    if (b.Rect.Left <= icon.Right && b.Rect.Right > icon.Right + 2) over = &b;
    if (b.Rect.Left > icon.Right) clear = &b;
  }
  ASSERT_NE(over, nullptr) << "no button reaches over the icon";
  ASSERT_NE(clear, nullptr);
  RECT w{};
  GetWindowRect(f.Wnd(), &w);
  struct TCase {
    const TsPlacedTitleButton* button;
    int state;  // the look of its uncovered part once hot
  };
  for (const TCase& c : {TCase{clear, 1}, TCase{over, 0}}) {
    const TRect r = c.button->Rect;
    const int x = (icon.Right + 1 + r.Right) / 2, y = (r.Top + r.Bottom) / 2;
    kvtest::SystemMoveTo({w.left + x, w.top + y});
    ASSERT_TRUE(pump::PumpUntil(
        [&] { return f.provider->ButtonRecord(c.button->HitCode)->State == 1; }));
    EXPECT_EQ(f.ItemAt(f.Cache(), std::max(x, r.Left + 2), y),
              "GLOBALINFO.TITLEBUTTON#" + std::to_string(c.state))
        << c.button->HitCode;
  }
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
}

// A user button's hint fades in (200 ms of blending) when it is short and
// the system fades its own tooltips in; a long one, or the system's fade
// off, shows it at once. A new button is named by its class.
struct THintFade {
  const char* Name;
  size_t Length;
  BOOL Animation, Fade;
  bool Fades;
};
void PrintTo(const THintFade& c, std::ostream* os) { *os << c.Name; }

struct TAnimateCall {
  HWND Wnd;
  DWORD Time, Flags;
};
std::vector<TAnimateCall>* g_animations = nullptr;
BOOL WINAPI RecordAnimate(HWND wnd, DWORD time, DWORD flags) {
  if (g_animations != nullptr) g_animations->push_back({wnd, time, flags});
  return RealPlatformCalls().AnimateWindow(wnd, time, flags);
}

class HintFades : public ::testing::TestWithParam<THintFade> {};

TEST_P(HintFades, AsTheSystemFadesTooltips) {
  const THintFade& c = GetParam();
  BOOL savedAnimation = FALSE, savedFade = FALSE;
  SystemParametersInfoW(SPI_GETTOOLTIPANIMATION, 0, &savedAnimation, 0);
  SystemParametersInfoW(SPI_GETTOOLTIPFADE, 0, &savedFade, 0);
  SystemParametersInfoW(SPI_SETTOOLTIPANIMATION, 0, reinterpret_cast<PVOID>(INT_PTR{c.Animation}),
                        0);
  SystemParametersInfoW(SPI_SETTOOLTIPFADE, 0, reinterpret_cast<PVOID>(INT_PTR{c.Fade}), 0);
  std::vector<TAnimateCall> animations;
  g_animations = &animations;
  {
    kvtest::TSkinnedFormFixture f;
    f.platform_.Calls().AnimateWindow = RecordAnimate;
    f.manager->SetAllowGlowing(false);
    f.form->SetCaption("");
    f.Provide();
    TsTitleButtons buttons;
    buttons.Items.resize(1);
    EXPECT_EQ(buttons.Items[0].Name, "TsTitleButton");
    buttons.Items[0].Hint = std::string(c.Length, 'h');
    f.provider->SetTitleButtons(buttons);
    f.provider->LoadTitleButtonMasks();
    f.Show();
    RECT w{};
    GetWindowRect(f.Wnd(), &w);
    const TRect r = f.provider->TitleButtons().Items[0].Record->Rect;
    kvtest::SystemMoveTo({w.left + (r.Left + r.Right) / 2, w.top + (r.Top + r.Bottom) / 2});
    ASSERT_TRUE(pump::PumpUntil([&] { return f.provider->ButtonHint() != nullptr; }));
    const HWND hint = f.provider->ButtonHint()->Handle();
    EXPECT_TRUE(IsWindowVisible(hint));
    if (c.Fades) {
      ASSERT_EQ(animations.size(), 1u);
      EXPECT_EQ(animations[0].Wnd, hint);
      EXPECT_EQ(animations[0].Time, 200u);
      EXPECT_EQ(animations[0].Flags, static_cast<DWORD>(AW_BLEND));
    } else {
      EXPECT_TRUE(animations.empty());
    }
    kvtest::SystemMoveTo(kvtest::AwayFromWindows());
  }
  g_animations = nullptr;
  SystemParametersInfoW(SPI_SETTOOLTIPANIMATION, 0,
                        reinterpret_cast<PVOID>(INT_PTR{savedAnimation}), 0);
  SystemParametersInfoW(SPI_SETTOOLTIPFADE, 0, reinterpret_cast<PVOID>(INT_PTR{savedFade}), 0);
}

const THintFade kHintFades[] = {
    {"ShortWithTheSystemsFade", 99, TRUE, TRUE, true},
    {"HundredCharacters", 100, TRUE, TRUE, false},
    {"FadeOff", 10, TRUE, FALSE, false},
    {"AnimationOff", 10, FALSE, TRUE, false},
};
INSTANTIATE_TEST_SUITE_P(TitleButtonsUser, HintFades, ::testing::ValuesIn(kHintFades),
                         [](const auto& info) { return std::string(info.param.Name); });

// An MDI child's hot button glows as itself, without the skin's halo,
// which would reach over the MDI form's other windows.
TEST(TitleButtonsGlow, AnMDIChildsButtonGlowsWithoutAHalo) {
  kvtest::TSkinnedFormFixture f(GlowingSkin());
  f.form->SetFormStyle(fsMDIForm);
  f.form->SetBounds(40, 40, 420, 320);
  ShowWithoutCaption(f);
  TForm* child = Create<TForm>(f.form);
  child->SetFormStyle(fsMDIChild);
  child->SetBounds(0, 0, 220, 140);
  child->SetCaption("");
  child->Show();
  TsSkinProvider* p = Create<TsSkinProvider>(child);
  pump::PumpUntilIdle();
  RECT w{};
  GetWindowRect(child->Handle(), &w);
  TsTitleButtonRecord& close = p->ButtonClose();
  kvtest::SystemMoveTo({w.left + (close.Rect.Left + close.Rect.Right) / 2,
                        w.top + (close.Rect.Top + close.Rect.Bottom) / 2});
  ASSERT_TRUE(pump::PumpUntil(
      [&] { return close.Timer != nullptr && close.Timer->GlowWindow() != nullptr; }));
  EXPECT_TRUE(close.Timer->CoversButton());
  kvtest::SystemMoveTo(kvtest::AwayFromWindows());
}

}  // namespace
}  // namespace kv
