// The tool-bar and status-bar adapters on real standard windows with the
// synthetic skin: buttons, separators and drop-down arrows, panels with
// their frames or dividers, and the system's look back once the skin goes.
#include <gtest/gtest.h>
#include <windows.h>
// Needs the types of windows.h.
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <string>

#include "classlib/Buttons.h"
#include "classlib/ComCtrls.h"
#include "classlib/Forms.h"
#include "skin/adapters/AdapterFixture.h"
#include "skin/adapters/TestGlyphs.h"
#include "skin/adapters/acToolBarWnd_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/graphics/sGraphUtils.h"
#include "support/Mouse.h"
#include "support/Pixels.h"
#include "support/Pump.h"

namespace kv {
namespace {

using kvtest::TPixels;

RECT ItemRect(HWND bar, UINT message, int index) {
  RECT r{};
  SendMessageW(bar, message, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

RECT Inset(RECT r, int d) {
  InflateRect(&r, -d, -d);
  return r;
}

class BarWnd : public kvtest::AdapterFixture {
 protected:
  void SetUp() override {
    AdapterFixture::SetUp();
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
  }
  void TearDown() override {
    kvtest::HoverOut();
    FreeAdapter(adapter);
    if (wnd != nullptr && IsWindow(wnd)) DestroyWindow(wnd);
    form.reset();
    AdapterFixture::TearDown();
  }
  TPixels Client() {
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    pump::PumpUntilIdle();
    return TPixels::FromClient(wnd);
  }
  // As the manager does: inactive first, then the removal told.
  void RemoveSkin() {
    manager->SetActive(false);
    SendMessageW(wnd, SM_ALPHACMD, MAKEWPARAM(0, cmdSkinRemoved),
                 reinterpret_cast<LPARAM>(manager.get()));
  }
  // The minimal skin: no panel frame, so panels are parted by dividers.
  void UseMinimalSkin() {
    kvtest::TTestSkinOptions options;
    options.Minimal = true;
    minimal = std::make_unique<kvtest::TTestSkin>(options);
    TsStoredSkin& stored = manager->InternalSkins.Add();
    stored.Name = "M";
    stored.Data = minimal->Packed();
    manager->SetSkinName("M");
  }

  HWND MakeToolBar() {
    wnd = CreateWindowExW(
        0, TOOLBARCLASSNAMEW, L"",
        WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NORESIZE | CCS_NODIVIDER, 0, 0,
        300, 40, host->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(wnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    static const wchar_t* texts[] = {L"Open", L"", L"Send"};
    TBBUTTON buttons[3]{};
    buttons[0] = {
        I_IMAGENONE, 101, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, reinterpret_cast<INT_PTR>(texts[0])};
    buttons[1] = {0, 0, TBSTATE_ENABLED, BTNS_SEP, {}, 0, 0};
    buttons[2] = {I_IMAGENONE,
                  102,
                  TBSTATE_ENABLED,
                  BTNS_BUTTON | BTNS_WHOLEDROPDOWN,
                  {},
                  0,
                  reinterpret_cast<INT_PTR>(texts[2])};
    SendMessageW(wnd, TB_ADDBUTTONSW, 3, reinterpret_cast<LPARAM>(buttons));
    SendMessageW(wnd, TB_SETBUTTONSIZE, 0, MAKELPARAM(60, 30));
    SendMessageW(wnd, TB_AUTOSIZE, 0, 0);
    adapter = CreateToolBarAdapter(wnd, nullptr, manager.get(), "CHECKBOX", true);
    return wnd;
  }
  HWND MakeStatusBar(int parts) {
    wnd = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                          host->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    int edges[3] = {80, 160, -1};
    SendMessageW(wnd, SB_SETPARTS, static_cast<WPARAM>(parts), reinterpret_cast<LPARAM>(edges));
    for (int i = 0; i < parts; ++i)
      SendMessageW(wnd, SB_SETTEXTW, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(L"A long panel text that does not fit"));
    adapter = CreateStatusBarAdapter(wnd, nullptr, manager.get(), "", true);
    return wnd;
  }

  HWND wnd = nullptr;
  TacMainWnd* adapter = nullptr;
  Owned<TForm> form;
  std::unique_ptr<TsCommonData> sd;
  std::unique_ptr<kvtest::TTestSkin> minimal;
};

TEST_F(BarWnd, AToolBarShowsSkinnedButtonsSeparatorsAndArrowsUntilTheSkinGoes) {
  MakeToolBar();
  const COLORREF button = Legend("TOOLBUTTON", "BORDERSMASK");
  const COLORREF divider = Legend("DIVIDER", "BORDERSMASK");
  const COLORREF arrow = Legend("SCROLLBTNBOTTOM", "GLYPHMASK");
  TPixels shown = Client();
  const RECT open = ItemRect(wnd, TB_GETITEMRECT, 0), sep = ItemRect(wnd, TB_GETITEMRECT, 1),
             send = ItemRect(wnd, TB_GETITEMRECT, 2);
  EXPECT_GT(shown.CountOf(button, Inset(open, 3)), 0);
  EXPECT_GT(shown.CountOf(divider, sep), 0);
  EXPECT_EQ(0, shown.CountOf(divider, open));
  EXPECT_GT(shown.CountOf(arrow, send), 0);
  EXPECT_EQ(0, shown.CountOf(arrow, open));
  // The button texts are written (read with their length first).
  EXPECT_GT(shown.CountDiffering(button, Inset(open, 4)), 0);
  RemoveSkin();
  shown = Client();
  EXPECT_EQ(0, shown.CountOf(button, shown.Whole()));
  EXPECT_EQ(0, shown.CountOf(divider, shown.Whole()));
}

TEST_F(BarWnd, AToolButtonIsHotUnderThePointerAndPressedWhenPressed) {
  MakeToolBar();
  const RECT open = ItemRect(wnd, TB_GETITEMRECT, 0), send = ItemRect(wnd, TB_GETITEMRECT, 2);
  kvtest::MouseMove(wnd, {open.left + 4, (open.top + open.bottom) / 2});
  TPixels shown = Client();
  EXPECT_GT(shown.CountOf(Legend("TOOLBUTTON", "BORDERSMASK", 1), open), 0);
  EXPECT_EQ(0, shown.CountOf(Legend("TOOLBUTTON", "BORDERSMASK", 1), send));
  kvtest::HoverOut();
  SendMessageW(wnd, TB_PRESSBUTTON, 102, TRUE);
  shown = Client();
  EXPECT_GT(shown.CountOf(Legend("TOOLBUTTON", "BORDERSMASK", 2), send), 0);
  EXPECT_EQ(0, shown.CountOf(Legend("TOOLBUTTON", "BORDERSMASK", 1), open));
}

TEST_F(BarWnd, WithoutADividerInTheSkinSeparatorsAreLeftOut) {
  skin = std::make_unique<kvtest::TTestSkin>(
      kvtest::TTestSkinOptions{.Keys = {{"DIVIDER", "BORDERSMASK", ""}}});
  TsStoredSkin& stored = manager->InternalSkins.Add();
  stored.Name = "N";
  stored.Data = skin->Packed();
  manager->SetSkinName("N");
  ASSERT_LT(manager->Skin().MaskIndexByNames("DIVIDER", "BORDERSMASK"), 0);
  MakeToolBar();
  const TPixels shown = Client();
  EXPECT_GT(shown.CountOf(Legend("TOOLBUTTON", "BORDERSMASK"), shown.Whole()), 0);
  EXPECT_EQ(0, shown.CountOf(Legend("DIVIDER", "COLOR"), ItemRect(wnd, TB_GETITEMRECT, 1)));
}

TEST_F(BarWnd, StatusPanelsGetTheSkinsPanelFrameAndShortenedTexts) {
  MakeStatusBar(3);
  const COLORREF frame = Legend("STATUSBAR", "STATUSPANELMASK");
  const TPixels shown = Client();
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const RECT part = ItemRect(wnd, SB_GETRECT, i);
    EXPECT_GT(shown.CountOf(frame, part), 0);
    // The text stays inside its own panel.
    EXPECT_GT(shown.CountDiffering(frame, Inset(part, 3)), 0);
  }
  const RECT last = ItemRect(wnd, SB_GETRECT, 2);
  EXPECT_TRUE(kvtest::ColourAt(shown, last.right - 4, (last.top + last.bottom) / 2, frame));
}

// The frame fills the part less one pixel on each side, and the text starts
// right inside it.
TEST_F(BarWnd, APanelsFrameAndTextFillItsPartLessOnePixel) {
  MakeStatusBar(3);
  const COLORREF frame = Legend("STATUSBAR", "STATUSPANELMASK");
  const TPixels shown = Client();
  const RECT part = ItemRect(wnd, SB_GETRECT, 1);
  const int midY = (part.top + part.bottom) / 2, midX = (part.left + part.right) / 2;
  EXPECT_EQ(shown.At(part.left + 1, midY), frame);
  EXPECT_EQ(shown.At(part.right - 2, midY), frame);
  EXPECT_EQ(shown.At(midX, part.top + 1), frame);
  EXPECT_EQ(shown.At(midX, part.bottom - 2), frame);
  int inkLeft = part.right;
  for (int y = part.top + 1; y < part.bottom - 1; ++y)
    for (int x = part.left + 1; x < part.right - 1; ++x)
      if (const kvtest::TSkinItem* item = skin->Legend(shown.At(x, y) & 0xFFFFFF);
          item == nullptr || item->Key.find("FONTCOLOR") != std::string::npos)
        inkLeft = std::min(inkLeft, x);
  EXPECT_LT(inkLeft, part.left + 4) << "the text from the frame's left edge";
}

TEST_F(BarWnd, AnAmpersandInAPanelTextUnderlinesTheLetterAfterIt) {
  MakeStatusBar(3);
  HFONT big = CreateFontW(-18, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                          L"Tahoma");
  SendMessageW(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(big), 0);
  SendMessageW(wnd, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"File"));
  SendMessageW(wnd, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L"&File"));
  const TPixels shown = Client();
  // The box of the text: pixels no skin item stands for (smoothed edges),
  // or in a font colour.
  const auto ink = [&](int part) {
    const RECT r = Inset(ItemRect(wnd, SB_GETRECT, part), 2);
    RECT box{r.right, r.bottom, r.left, r.top};
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (const kvtest::TSkinItem* item = skin->Legend(shown.At(x, y) & 0xFFFFFF);
            item == nullptr || item->Key.find("FONTCOLOR") != std::string::npos) {
          box.left = std::min<LONG>(box.left, x);
          box.top = std::min<LONG>(box.top, y);
          box.right = std::max<LONG>(box.right, x + 1);
          box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    return box;
  };
  const RECT plain = ink(0), mnemonic = ink(1);
  ASSERT_LT(plain.left, plain.right);
  kvtest::ExpectMnemonicUnderlined(plain, mnemonic);
  FreeAdapter(adapter);
  DestroyWindow(wnd);
  wnd = nullptr;
  DeleteObject(big);
}

TEST_F(BarWnd, WithoutAPanelFrameOnlyInnerPanelEdgesGetDividers) {
  UseMinimalSkin();
  MakeStatusBar(3);
  const auto divider = static_cast<COLORREF>(minimal->Colour("DIVIDER", "BORDERSMASK"));
  const TPixels shown = Client();
  RECT first = ItemRect(wnd, SB_GETRECT, 0), second = ItemRect(wnd, SB_GETRECT, 1),
       last = ItemRect(wnd, SB_GETRECT, 2);
  EXPECT_GT(shown.CountOf(divider, {first.right - 6, 0, first.right + 2, shown.Height()}), 0);
  EXPECT_GT(shown.CountOf(divider, {second.right - 6, 0, second.right + 2, shown.Height()}), 0);
  EXPECT_EQ(0, shown.CountOf(divider, {last.left + 8, 0, shown.Width(), shown.Height()}));
}

TEST_F(BarWnd, ASimpleStatusBarShowsItsTextInOnePanel) {
  MakeStatusBar(3);
  SendMessageW(wnd, SB_SIMPLE, TRUE, 0);
  SendMessageW(wnd, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(L"Ready"));
  const COLORREF frame = Legend("STATUSBAR", "STATUSPANELMASK");
  const TPixels shown = Client();
  // One frame over the whole bar: its colour at its top and right end (the
  // text starts at its left), the text inside.
  EXPECT_TRUE(kvtest::ColourAt(shown, shown.Width() / 2, 0, frame));
  EXPECT_TRUE(kvtest::ColourAt(shown, shown.Width() - 2, shown.Height() / 2, frame));
  EXPECT_GT(shown.CountDiffering(frame, {4, 3, 80, shown.Height() - 3}), 0);
}

TEST_F(BarWnd, PartsBeyondTheClassLibrarysPanelsShowNoText) {
  form = CreateOwned<TForm>();
  form->SetBounds(300, 200, 300, 200);
  auto* bar = Create<TStatusBar>(form.get());
  bar->SetParent(form.get());
  bar->Panels()->Add()->SetText("Only");
  form->Show();
  pump::PumpUntilIdle();
  wnd = bar->Handle();
  // The window is told of more parts than the bar has panels.
  int edges[3] = {80, 160, -1};
  SendMessageW(wnd, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(edges));
  sd = std::make_unique<TsCommonData>(bar, true);
  sd->SetSkinManager(manager.get());
  adapter = CreateStatusBarAdapter(wnd, sd.get(), manager.get(), "", true);
  const COLORREF frame = Legend("STATUSBAR", "STATUSPANELMASK");
  const TPixels shown = Client();
  EXPECT_GT(shown.CountDiffering(frame, Inset(ItemRect(wnd, SB_GETRECT, 0), 3)), 0);
  EXPECT_EQ(0, shown.CountDiffering(frame, Inset(ItemRect(wnd, SB_GETRECT, 2), 3)));
}

TEST_F(BarWnd, ADisabledClassLibraryStatusBarIsNotFaded) {
  form = CreateOwned<TForm>();
  form->SetBounds(300, 200, 300, 200);
  auto* bar = Create<TStatusBar>(form.get());
  bar->SetParent(form.get());
  bar->Panels()->Add()->SetWidth(100);
  bar->Panels()->Add();
  form->Show();
  pump::PumpUntilIdle();
  wnd = bar->Handle();
  sd = std::make_unique<TsCommonData>(bar, true);
  sd->SetSkinManager(manager.get());
  adapter = CreateStatusBarAdapter(wnd, sd.get(), manager.get(), "", true);
  // Outside the panel frames, where the bar's own section shows.
  const POINT at{Client().Width() / 2, 0};
  const COLORREF enabled = Client().At(at.x, at.y);
  ASSERT_NE(skin->Legend(enabled & 0xFFFFFF), nullptr) << "a colour of the skin";
  bar->SetEnabled(false);
  EXPECT_EQ(Client().At(at.x, at.y), enabled);
}

TEST_F(BarWnd, ASpeedButtonShowsTheSkinsStatesWhileItsHandlerLasts) {
  form = CreateOwned<TForm>();
  form->SetBounds(300, 200, 300, 200);
  auto* button = Create<TSpeedButton>(form.get());
  button->SetParent(form.get());
  button->SetBounds(20, 20, 90, 30);
  button->SetCaption("Go");
  button->SetGroupIndex(1);
  button->SetAllowAllUp(true);
  form->Show();
  pump::PumpUntilIdle();
  const RECT place{20, 20, 110, 50};
  const auto shot = [&] {
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    pump::PumpUntilIdle();
    return TPixels::FromClient(form->Handle());
  };
  auto handler = CreateSpeedButtonHandler(button, "BUTTON", manager.get(), nullptr);
  const struct {
    const char* name;
    std::function<void()> act;
    int state;
  } steps[] = {{"normal", [] {}, 0},
               {"hot", [&] { button->Perform(CM_MOUSEENTER, 0, 0); }, 1},
               {"down", [&] { button->SetDown(true); }, 2},
               {"up and left",
                [&] {
                  button->SetDown(false);
                  button->Perform(CM_MOUSELEAVE, 0, 0);
                },
                0}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.name);
    step.act();
    const TPixels shown = shot();
    EXPECT_GT(shown.CountOf(Legend("BUTTON", "BORDERSMASK", step.state), place), 0);
    // The caption is written over it.
    EXPECT_GT(shown.CountDiffering(Legend("BUTTON", "BORDERSMASK", step.state), {40, 25, 90, 45}),
              0);
  }
  handler.reset();
  EXPECT_EQ(0, shot().CountOf(Legend("BUTTON", "BORDERSMASK", 0), place));
}

// A class-library speed button on a shown form, its handler made.
class SpeedButtonWnd : public BarWnd {
 protected:
  TSpeedButton* MakeButton(const std::string& caption) {
    form = CreateOwned<TForm>();
    form->SetBounds(300, 200, 300, 200);
    button = Create<TSpeedButton>(form.get());
    button->SetParent(form.get());
    button->SetBounds(20, 20, 90, 30);
    button->SetCaption(caption);
    form->Show();
    pump::PumpUntilIdle();
    return button;
  }
  TPixels Shot() {
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    pump::PumpUntilIdle();
    return TPixels::FromClient(form->Handle());
  }
  static constexpr RECT kPlace{20, 20, 110, 50};
  TSpeedButton* button = nullptr;
};

constexpr COLORREF kGlyphInk = RGB(0x12, 0x34, 0x56);

// A one-frame glyph of size x size in kGlyphInk; its bottom-left pixel, the
// transparent colour, is another.
TBitmap SolidGlyph(int size) {
  TBitmap glyph(size, size, pf24bit);
  TBitmapCanvas canvas(glyph);
  FillRectWithColor(canvas.Handle(), {0, 0, size, size}, static_cast<TColor>(kGlyphInk));
  SetPixel(canvas.Handle(), 0, size - 1, RGB(0xFF, 0, 0xFF));
  return glyph;
}

TEST_F(SpeedButtonWnd, APlainButtonHeldDownByTheMouseShowsPressedUntilReleased) {
  MakeButton("Go");
  auto handler = CreateSpeedButtonHandler(button, "BUTTON", manager.get(), nullptr);
  const POINT inside{65, 35};
  kvtest::MouseMove(form->Handle(), inside);
  kvtest::MouseDown(form->Handle(), inside);
  EXPECT_GT(Shot().CountOf(Legend("BUTTON", "BORDERSMASK", 2), kPlace), 0) << "held down";
  kvtest::MouseUp(form->Handle(), inside);
  EXPECT_EQ(0, Shot().CountOf(Legend("BUTTON", "BORDERSMASK", 2), kPlace)) << "released";
  EXPECT_FALSE(button->Down());
}

TEST_F(SpeedButtonWnd, TheGlyphKeepsItsMarginFromItsSide) {
  MakeButton("");
  button->SetGlyph(SolidGlyph(16));
  auto handler = CreateSpeedButtonHandler(button, "BUTTON", manager.get(), nullptr);
  struct Case {
    TButtonLayout layout;
    int margin;
    int x, y;  // where the glyph's top-left shows on the button
  } cases[] = {{blGlyphLeft, 0, 0, 7},
               {blGlyphLeft, 5, 5, 7},
               {blGlyphRight, 4, 90 - 16 - 4, 7},
               {blGlyphTop, 3, 37, 3},
               {blGlyphLeft, -1, 37, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.layout) + " margin " + std::to_string(c.margin));
    button->SetLayout(c.layout);
    button->SetMargin(c.margin);
    const TPixels shown = Shot();
    EXPECT_TRUE(kvtest::ColourAt(shown, kPlace.left + c.x, kPlace.top + c.y, kGlyphInk));
    EXPECT_TRUE(kvtest::ColourAt(shown, kPlace.left + c.x + 15, kPlace.top + c.y + 14, kGlyphInk));
    EXPECT_FALSE(kvtest::ColourAt(shown, kPlace.left + c.x - 1, kPlace.top + c.y + 8, kGlyphInk));
  }
}

// Drawn by DrawButtonGlyph (graphics), which must keep a one-frame
// 32-bit glyph's alpha; the handler passes the glyph on as it is.
TEST_F(SpeedButtonWnd, AnAlphaGlyphShowsNoDarkFringe) {
  MakeButton("");
  button->SetGlyph(kvtest::AlphaGlyph());
  ASSERT_EQ(pf32bit, button->Glyph().PixelFormat()) << "the glyph keeps its alpha";
  auto handler = CreateSpeedButtonHandler(button, "BUTTON", manager.get(), nullptr);
  const TPixels shown = Shot();
  // Centred: the glyph's top-left lies at (37, 7) of the button.
  const int gx = kPlace.left + 37, gy = kPlace.top + 7;
  EXPECT_TRUE(kvtest::ColourAt(shown, gx + 8, gy + 8, kvtest::kAlphaInk));
  const COLORREF under = shown.At(gx + 1, gy + 8);
  const COLORREF fringe = shown.At(gx + kvtest::kFringeAt.x, gy + kvtest::kFringeAt.y);
  EXPECT_TRUE(kvtest::BlendedOver(fringe, under))
      << std::hex << "fringe 0x" << fringe << " over 0x" << under;
}

}  // namespace
}  // namespace kv
