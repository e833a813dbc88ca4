// The button and check-box adapters on a skinned form: the section state
// each button state shows, the focus frame, the disabled blending, the
// check glyph of each check state and the hover glow.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "SkinnedFormFixture.h"
#include "TestGlyphs.h"
#include "classlib/Buttons.h"
#include "classlib/StdCtrls.h"
#include "skin/adapters/acButtonWnd_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/graphics/acGlow.h"
#include "skin/model/acSkinPack.h"
#include "support/Counters.h"
#include "support/ModalProbe.h"
#include "support/Mouse.h"

namespace kv {
namespace {

class ButtonAdapter : public SkinnedFormFixture {
 protected:
  // Whether the channels of c lie between those of a and b, and c is
  // neither.
  static bool Between(COLORREF c, COLORREF a, COLORREF b) {
    if (c == a || c == b) return false;
    const auto within = [](int v, int x, int y) {
      return v >= std::min(x, y) && v <= std::max(x, y);
    };
    return within(GetRValue(c), GetRValue(a), GetRValue(b)) &&
           within(GetGValue(c), GetGValue(a), GetGValue(b)) &&
           within(GetBValue(c), GetBValue(a), GetBValue(b));
  }
  // Pixels of the window's middle band that differ from its background
  // (the pixel at x, y of that band's left).
  static int MarkedPixels(HWND wnd) {
    const kvtest::TPixels img = Shown(wnd);
    RECT r{};
    GetClientRect(wnd, &r);
    const RECT band{8, 4, r.right - 8, r.bottom - 4};
    return img.CountDiffering(img.At(band.left, band.top), band);
  }
  void Focus(TWinControl* c) {
    SetFocus(c->Handle());
    pump::PumpUntilIdle();
  }
};

TEST_F(ButtonAdapter, EachButtonStateShowsItsSectionState) {
  auto* button = Add<TButton>(10, 10, 90, 30);
  auto* other = Add<TButton>(10, 60, 90, 30);
  button->SetCaption("");
  ShowSkinned();
  HWND wnd = button->Handle();
  struct Case {
    const char* name;
    std::function<void()> make, undo;
    int state;
  };
  const Case cases[] = {
      {"normal", [] {}, [] {}, 0},
      {"hot", [&] { manager->SetHotWindow(wnd); }, [&] { manager->SetHotWindow(nullptr); }, 1},
      {"pressed", [&] { SendMessageW(wnd, BM_SETSTATE, TRUE, 0); },
       [&] { SendMessageW(wnd, BM_SETSTATE, FALSE, 0); }, 2},
      {"focused", [&] { Focus(button); }, [&] { Focus(other); }, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.make();
    const kvtest::TPixels img = Shown(button);
    EXPECT_EQ(SectionAt(img, 45, 15).substr(0, 7), "BUTTON.");
    EXPECT_EQ(StateAt(img, 45, 15), c.state);
    c.undo();
  }
}

TEST_F(ButtonAdapter, DisabledButtonsAndCheckBoxesAreBlendedWithTheirParent) {
  auto* button = Add<TButton>(60, 10, 90, 30);
  auto* box = Add<TCheckBox>(60, 60, 120, 22);
  button->SetCaption("");
  box->SetCaption("");
  ShowSkinned();
  struct Case {
    TWinControl* control;
    POINT at;
    const char* section;
  };
  const Case cases[] = {{button, {45, 15}, "BUTTON"}, {box, {80, 11}, "CHECKBOX"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.section);
    const COLORREF enabled = Shown(c.control).At(c.at.x, c.at.y);
    ASSERT_TRUE(
        SectionAt(Shown(c.control), c.at.x, c.at.y).starts_with(std::string(c.section) + "."));
    const COLORREF parent = Shown(form).At(c.control->Left() - 4, c.control->Top() + c.at.y);
    c.control->SetEnabled(false);
    const COLORREF disabled = Shown(c.control).At(c.at.x, c.at.y);
    EXPECT_TRUE(Between(disabled, enabled, parent))
        << std::hex << disabled << " between " << enabled << " and " << parent;
  }
}

TEST_F(ButtonAdapter, ACheckBoxShowsTheGlyphOfItsCheckAndButtonState) {
  auto* box = Add<TCheckBox>(10, 10, 120, 22);
  auto* radio = Add<TRadioButton>(10, 40, 120, 22);
  box->SetAllowGrayed(true);
  ShowSkinned();
  struct Case {
    TWinControl* control;
    TCheckBoxState check;
    const char* press;  // "", "hot" or "pressed"
    const char* key;
    int state;
  };
  const Case cases[] = {
      {box, cbUnchecked, "", "BOXUNCHECKED", 0},
      {box, cbChecked, "hot", "BOXCHECKED", 1},
      {box, cbGrayed, "pressed", "BOXGRAYED", 2},
      {radio, cbUnchecked, "hot", "RADIOUNCHECKED", 1},
      {radio, cbChecked, "pressed", "RADIOCHECKED", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " " + c.press);
    HWND wnd = c.control->Handle();
    if (c.control == box)
      box->SetState(c.check);
    else
      radio->SetChecked(c.check == cbChecked);
    if (std::string(c.press) == "hot") manager->SetHotWindow(wnd);
    if (std::string(c.press) == "pressed") SendMessageW(wnd, BM_SETSTATE, TRUE, 0);
    const kvtest::TPixels img = Shown(c.control);
    EXPECT_GT(img.CountOf(Legend("GLOBALINFO", c.key, c.state), img.Whole()), 0);
    SendMessageW(wnd, BM_SETSTATE, FALSE, 0);
    manager->SetHotWindow(nullptr);
  }
}

TEST_F(ButtonAdapter, AFocusedCheckBoxFramesItsText) {
  auto* box = Add<TCheckBox>(10, 10, 160, 24);
  auto* other = Add<TCheckBox>(10, 40, 160, 24);
  box->SetCaption("Relay");
  ShowSkinned();
  // Hot keeps the background of the focused state.
  manager->SetHotWindow(box->Handle());
  const int plain = MarkedPixels(box->Handle());
  Focus(box);
  ASSERT_EQ(GetFocus(), box->Handle());
  EXPECT_GT(MarkedPixels(box->Handle()), plain + 8) << "a dotted frame round the text";
  Focus(other);
  manager->SetHotWindow(nullptr);
}

// Where the pixels of colour c lie.
RECT BoundsOf(const kvtest::TPixels& img, COLORREF c) {
  RECT r{img.Width(), img.Height(), -1, -1};
  for (int y = 0; y < img.Height(); ++y)
    for (int x = 0; x < img.Width(); ++x)
      if (img.At(x, y) == c) {
        r.left = std::min<LONG>(r.left, x);
        r.top = std::min<LONG>(r.top, y);
        r.right = std::max<LONG>(r.right, x + 1);
        r.bottom = std::max<LONG>(r.bottom, y + 1);
      }
  return r;
}

// Where the pixels unlike back lie.
RECT InkOf(const kvtest::TPixels& img, COLORREF back, RECT area = {0, 0, 0, 0}) {
  if (IsRectEmpty(&area)) area = img.Whole();
  RECT r{img.Width(), img.Height(), 0, 0};
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (img.At(x, y) != back) {
        r.left = std::min<LONG>(r.left, x);
        r.right = std::max<LONG>(r.right, x + 1);
        r.top = std::min<LONG>(r.top, y);
        r.bottom = std::max<LONG>(r.bottom, y + 1);
      }
  return r;
}

// The message font, underlined, as links write with it; null if the
// system gives no metrics. The caller deletes it.
HFONT UnderlinedMessageFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
  metrics.lfMessageFont.lfUnderline = TRUE;
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

// The caption wraps only when it is wider than the button and both its
// default margins (-1 each): a caption a pixel wider than the button stays
// on one line.
TEST_F(ButtonAdapter, ABitButtonsCaptionMayRunIntoItsDefaultMargins) {
  auto* button = Add<TBitBtn>(10, 10, 100, 60);
  button->SetCaption("Write setting");
  ASSERT_EQ(button->Margin(), -1);
  ShowSkinned();
  HWND wnd = button->Handle();
  SetWindowLongW(wnd, GWL_STYLE, GetWindowLongW(wnd, GWL_STYLE) | BS_MULTILINE);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, button->Font()->Handle());
  SIZE text{};
  GetTextExtentPoint32W(dc, L"Write setting", 13, &text);
  SelectObject(dc, old);
  DeleteDC(dc);
  button->SetBounds(10, 10, text.cx - 1, 60);
  const kvtest::TPixels img = Shown(button);
  // Inside the border mask's margins the button is one colour but for the text.
  const int inside = kvtest::TTestSkin::kMargin + 1;
  const RECT ink = InkOf(img, img.At(inside, inside),
                         {inside, inside, img.Width() - inside, img.Height() - inside});
  ASSERT_LT(ink.top, ink.bottom);
  EXPECT_LT(ink.bottom - ink.top, text.cy + 2) << "one line";
}

TEST_F(ButtonAdapter, ABitButtonPlacesItsGlyphByItsLayoutAndShiftsItWhenPushed) {
  constexpr COLORREF kGlyph = RGB(0x12, 0x34, 0x56);
  auto* button = Add<TBitBtn>(10, 10, 160, 80);
  button->SetCaption("Send");
  TBitmap glyph(12, 12, pf24bit);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) {
      // The bottom-left pixel is the transparent colour: keep it different.
      const COLORREF c = x == 0 && y == 11 ? RGB(255, 255, 255) : kGlyph;
      std::uint8_t* p = glyph.ScanLine(y) + 3 * x;
      p[0] = GetBValue(c), p[1] = GetGValue(c), p[2] = GetRValue(c);
    }
  button->SetGlyph(glyph);
  ShowSkinned();
  struct Case {
    TButtonLayout layout;
    const char* name;
    bool left, right, above, below;  // of the button's centre
  };
  const Case cases[] = {{blGlyphLeft, "left", true, false, false, false},
                        {blGlyphRight, "right", false, true, false, false},
                        {blGlyphTop, "top", false, false, true, false},
                        {blGlyphBottom, "bottom", false, false, false, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    button->SetLayout(c.layout);
    const RECT r = BoundsOf(Shown(button), kGlyph);
    ASSERT_EQ(r.right - r.left, 12);
    EXPECT_EQ(r.right <= 80, c.left);
    EXPECT_EQ(r.left >= 80, c.right);
    EXPECT_EQ(r.bottom <= 40, c.above);
    EXPECT_EQ(r.top >= 40, c.below);
    SendMessageW(button->Handle(), BM_SETSTATE, TRUE, 0);
    const RECT pushed = BoundsOf(Shown(button), kGlyph);
    EXPECT_EQ(pushed.left, r.left + 1);
    EXPECT_EQ(pushed.top, r.top + 1);
    SendMessageW(button->Handle(), BM_SETSTATE, FALSE, 0);
  }
}

// Drawn by DrawButtonGlyph (graphics), which must keep a one-frame
// 32-bit glyph's alpha; the adapter passes the glyph on as it is.
TEST_F(ButtonAdapter, ABitButtonsAlphaGlyphShowsNoDarkFringe) {
  auto* button = Add<TBitBtn>(10, 10, 160, 80);
  button->SetCaption("");
  button->SetGlyph(kvtest::AlphaGlyph());
  ASSERT_EQ(pf32bit, button->Glyph().PixelFormat()) << "the glyph keeps its alpha";
  ShowSkinned();
  const kvtest::TPixels shown = Shown(button);
  const RECT ink = BoundsOf(shown, kvtest::kAlphaInk);
  ASSERT_EQ(8, ink.right - ink.left);
  // The glyph's top-left is 4 pixels up and left of its ink.
  const int gx = ink.left - 4, gy = ink.top - 4;
  const COLORREF under = shown.At(gx + 1, gy + 8);
  const COLORREF fringe = shown.At(gx + kvtest::kFringeAt.x, gy + kvtest::kFringeAt.y);
  EXPECT_TRUE(kvtest::BlendedOver(fringe, under))
      << std::hex << "fringe 0x" << fringe << " over 0x" << under;
}

// A skin whose BUTTON border mask (24-bit, no mask plane) has see-through
// pixels along its edges, not only in its corner runs, as hand-drawn
// skins have round their rounded frames.
class SeeThroughButtonEdges : public ButtonAdapter {
 protected:
  void SetUp() override {
    ButtonAdapter::SetUp();
    TBitmap master = skin().Master();
    const kvtest::TTestSkin::TBox box = skin().MaskBox("BUTTON", "BORDERSMASK");
    const int frame = (box.Right - box.Left) / kvtest::TTestSkin::kFrames;
    const auto key = [&](int x, int y) {
      std::uint8_t* p = master.ScanLine(y) + 3 * x;
      p[0] = 0xFF, p[1] = 0x00, p[2] = 0xFF;
    };
    // The outermost row and column of each frame's four edges.
    for (int f = 0; f < kvtest::TTestSkin::kFrames; ++f) {
      const int left = box.Left + f * frame, right = left + frame - 1;
      for (int i = kvtest::TTestSkin::kMargin; i < frame - kvtest::TTestSkin::kMargin; ++i) {
        key(left + i, box.Top), key(left + i, box.Bottom - 1);
        key(left, box.Top + i), key(right, box.Top + i);
      }
    }
    const std::string& options = skin().OptionsText();
    TsStoredSkin& stored = manager->InternalSkins.Add();
    stored.Name = "EDGES";
    stored.Data = BuildPackedSkin({{"Options.dat", TacBytes(options.begin(), options.end())},
                                   {kvtest::TTestSkin::kMasterName, WriteBmp(master)}});
    manager->SetSkinName("EDGES");
    ASSERT_TRUE(manager->CommonSkinData().Active);
  }
};

// A message box's buttons, adapted by the dialog hook: the mask's
// see-through pixels show the dialog behind them (its plain DIALOG colour),
// never 0xFF00FF.
TEST_F(SeeThroughButtonEdges, ASystemDialogsButtonsShowTheDialogThroughTheirMasksEdges) {
  const COLORREF dialogColour = Legend("DIALOG", "COLOR");
  int buttons = 0, keyed = 0, unlikeDialog = 0;
  {
    kvtest::TModalProbe probe(kvtest::kDialogClass, [&](HWND dlg) {
      for (HWND child = GetWindow(dlg, GW_CHILD); child != nullptr;
           child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[16] = {};
        GetClassNameW(child, cls, 16);
        if (lstrcmpiW(cls, L"Button") != 0) continue;
        ++buttons;
        const kvtest::TPixels img = Shown(child);
        const int w = img.Width(), h = img.Height();
        // The middles of the four edges and two corners.
        for (const POINT at : {POINT{w / 2, 0}, POINT{w / 2, h - 1}, POINT{0, h / 2},
                               POINT{w - 1, h / 2}, POINT{0, 0}, POINT{w - 1, h - 1}}) {
          const COLORREF pixel = img.At(at.x, at.y);
          keyed += pixel == RGB(0xFF, 0x00, 0xFF) ? 1 : 0;
          unlikeDialog += pixel != dialogColour ? 1 : 0;
        }
      }
    });
    MessageBoxW(nullptr, L"Write the setting?", L"KV42", MB_OKCANCEL);
    ASSERT_TRUE(probe.Found());
  }
  ASSERT_EQ(buttons, 2);
  EXPECT_EQ(keyed, 0) << "pixels left in the mask's 0xFF00FF";
  EXPECT_EQ(unlikeDialog, 0) << "pixels unlike the dialog behind them";
}

// Dialog children: plain windows with no control behind them.
class DialogButtonAdapter : public ButtonAdapter {
 protected:
  void SetUp() override {
    ButtonAdapter::SetUp();
    dialog = CreateWindowExW(0, L"#32770", L"", WS_POPUP | WS_VISIBLE, 60, 60, 320, 200, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(dialog, nullptr);
  }
  void TearDown() override {
    DestroyWindow(dialog);
    ButtonAdapter::TearDown();
  }
  HWND Child(const wchar_t* cls, const std::wstring& text, DWORD style, int y) {
    return CreateWindowExW(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 10, y, 280, 24,
                           dialog, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  HWND dialog = nullptr;
};

TEST_F(DialogButtonAdapter, ALongCaptionIsReadWhole) {
  const std::wstring text(3000, L'W');
  HWND push = Child(L"BUTTON", text, BS_PUSHBUTTON, 10);
  TsCommonData sd(nullptr, true);
  sd.SetSkinManager(manager.get());
  auto* adapter = CreateAdapter<TacBtnWnd>(push, true, &sd, manager.get(), "BUTTON");
  EXPECT_EQ(adapter->Caption.size(), text.size());
  SetWindowTextW(push, (text + L"WW").c_str());
  EXPECT_EQ(adapter->Caption.size(), text.size() + 2);
  FreeAdapter(adapter);
}

TEST_F(DialogButtonAdapter, PaintingLinksAndPicturesLeavesNoObjectsBehind) {
  HWND link = Child(L"SysLink", L"See <a>the manual</a>", 0, 10);
  HWND picture = Child(L"STATIC", L"", SS_BITMAP, 40);
  ASSERT_NE(link, nullptr);
  HBITMAP bitmap = CreateBitmap(16, 16, 1, 32, nullptr);
  SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  const kvtest::TObjectBaseline baseline;
  {
    TsCommonData linkData(nullptr, true), pictureData(nullptr, true);
    linkData.SetSkinManager(manager.get());
    pictureData.SetSkinManager(manager.get());
    auto* linkAdapter = CreateAdapter<TacLinkWnd>(link, true, &linkData, manager.get(), "CHECKBOX");
    auto* pictureAdapter =
        CreateAdapter<TacIconWnd>(picture, true, &pictureData, manager.get(), "CHECKBOX");
    for (int i = 0; i < 10; ++i) {
      EXPECT_GT(Shown(link).CountDiffering(Shown(link).At(278, 1), {0, 0, 280, 24}), 0);
      Shown(picture);
    }
    FreeAdapter(linkAdapter);
    FreeAdapter(pictureAdapter);
  }
  EXPECT_TRUE(baseline.Unchanged());
  DestroyWindow(picture);
  DeleteObject(bitmap);
}

TEST_F(DialogButtonAdapter, ALinkShowsItsTextWithoutTagsUnderlined) {
  HWND link = Child(L"SysLink", L"See <a>the manual</a>", 0, 10);
  ASSERT_NE(link, nullptr);
  TsCommonData linkData(nullptr, true);
  linkData.SetSkinManager(manager.get());
  auto* adapter = CreateAdapter<TacLinkWnd>(link, true, &linkData, manager.get(), "CHECKBOX");
  const kvtest::TPixels img = Shown(link);
  const COLORREF back = img.At(278, 1);
  const RECT ink = InkOf(img, back);
  ASSERT_LT(ink.left, ink.right) << "the text is written";
  // As long as the bare text in the underlined message font.
  HFONT font = UnderlinedMessageFont();
  ASSERT_NE(font, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE bare{};
  GetTextExtentPoint32W(dc, L"See the manual", 14, &bare);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(font);
  EXPECT_LE(ink.right - ink.left, bare.cx);
  EXPECT_GE(ink.right - ink.left, bare.cx * 3 / 4);
  // A line under the whole text.
  int longestRun = 0;
  for (int y = ink.top; y < ink.bottom; ++y) {
    int run = 0;
    for (int x = ink.left; x < ink.right; ++x) run += img.At(x, y) != back ? 1 : 0;
    longestRun = std::max(longestRun, run);
  }
  EXPECT_GE(longestRun, (ink.right - ink.left) * 9 / 10);
  FreeAdapter(adapter);
}

// The link's text starts at the window's top-left, as DrawText puts it
// there in the same font.
TEST_F(DialogButtonAdapter, ALinksTextStartsAtTheWindowsCorner) {
  HWND link = Child(L"SysLink", L"<a>Manual</a>", 0, 10);
  ASSERT_NE(link, nullptr);
  TsCommonData linkData(nullptr, true);
  linkData.SetSkinManager(manager.get());
  auto* adapter = CreateAdapter<TacLinkWnd>(link, true, &linkData, manager.get(), "CHECKBOX");
  const kvtest::TPixels img = Shown(link);
  const RECT ink = InkOf(img, img.At(278, 22));
  HFONT font = UnderlinedMessageFont();
  ASSERT_NE(font, nullptr);
  kvtest::TPixels reference(280, 24, RGB(255, 255, 255));
  {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 280, 24);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, font);
    RECT all{0, 0, 280, 24};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, L"Manual", 6, &all, DT_WORDBREAK | DT_EXPANDTABS | DT_NOCLIP);
    reference = kvtest::TPixels::FromDC(dc, {0, 0, 280, 24});
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(font);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  const RECT expected = InkOf(reference, RGB(255, 255, 255));
  ASSERT_LT(expected.left, expected.right);
  EXPECT_NEAR(ink.left, expected.left, 1);
  EXPECT_NEAR(ink.top, expected.top, 1);
  EXPECT_NEAR(ink.bottom, expected.bottom, 1);
  FreeAdapter(adapter);
}

// On a dialog that offers no picture, a disabled button keeps 0.4 of its
// own colours over the dialog's colour; pixels of the see-through colour
// (a picture's) are left as they are.
TEST_F(DialogButtonAdapter, ADisabledButtonOnAPlainDialogIsTintedTowardsItsColour) {
  HWND button = Child(L"BUTTON", L"", BS_PUSHBUTTON | BS_BITMAP, 10);
  HBITMAP picture = CreateBitmap(8, 8, 1, 32, nullptr);
  {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, picture);
    RECT all{0, 0, 8, 8};
    HBRUSH key = CreateSolidBrush(RGB(0xFF, 0x00, 0xFF));
    FillRect(dc, &all, key);
    DeleteObject(key);
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  SendMessageW(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
  TsCommonData sd(nullptr, true);
  sd.SetSkinManager(manager.get());
  auto* adapter = CreateAdapter<TacBitBtnWnd>(button, true, &sd, manager.get(), "BUTTON");
  const COLORREF own = Shown(button).At(40, 12);
  ASSERT_NE(SectionAt(Shown(button), 40, 12), "?");
  TsBgCacheInfo behind;
  GetParentBgInfoByHandle(button, behind);
  ASSERT_FALSE(behind.Ready) << "a colour, not a picture";
  const COLORREF parent = ColorToRGB(behind.FillColor);
  EnableWindow(button, FALSE);
  const kvtest::TPixels img = Shown(button);
  const auto tint = [](int c, int p) { return static_cast<int>(std::lround((c - p) * 0.4 + p)); };
  const COLORREF expected =
      RGB(tint(GetRValue(own), GetRValue(parent)), tint(GetGValue(own), GetGValue(parent)),
          tint(GetBValue(own), GetBValue(parent)));
  EXPECT_EQ(img.At(40, 12), expected)
      << std::hex << "0x" << img.At(40, 12) << " from 0x" << own << " towards 0x" << parent;
  EXPECT_EQ(img.CountOf(RGB(0xFF, 0x00, 0xFF), img.Whole()), 64) << "the picture untouched";
  FreeAdapter(adapter);
  DestroyWindow(button);
  DeleteObject(picture);
}

// Only a focused or hovered class-library box shows its hot background; a
// dialog's focused box does not. The glyph sits at the window's edge.
TEST_F(DialogButtonAdapter, ADialogsFocusedCheckBoxStaysNormalWithItsGlyphAtTheEdge) {
  for (const DWORD leftText : {DWORD{0}, DWORD{BS_LEFTTEXT}}) {
    SCOPED_TRACE(leftText != 0 ? "text left" : "text right");
    HWND box = Child(L"BUTTON", L"Relay", BS_AUTOCHECKBOX | WS_TABSTOP | leftText, 10);
    TsCommonData sd(nullptr, true);
    sd.SetSkinManager(manager.get());
    auto* adapter = CreateAdapter<TacCheckBoxWnd>(box, true, &sd, manager.get(), "CHECKBOX");
    SetFocus(box);
    pump::PumpUntilIdle();
    ASSERT_EQ(GetFocus(), box);
    const kvtest::TPixels img = Shown(box);
    const int backX = leftText != 0 ? 140 : 270;
    EXPECT_EQ(SectionAt(img, backX, 2), "CHECKBOX.COLOR");
    EXPECT_EQ(StateAt(img, backX, 2), 0);
    // Focused: the glyph's hot frame.
    const RECT glyph = img.BoundsOf(Legend("GLOBALINFO", "BOXUNCHECKED", 1));
    ASSERT_LT(glyph.left, glyph.right);
    if (leftText != 0)
      EXPECT_EQ(glyph.right, 280);
    else
      EXPECT_EQ(glyph.left, 0);
    FreeAdapter(adapter);
    DestroyWindow(box);
  }
}

class FocusShowingButtonAdapter : public ButtonAdapter {
 protected:
  kvtest::TTestSkinOptions SkinOptions() const override {
    kvtest::TTestSkinOptions o;
    o.ShowFocus = true;
    return o;
  }
};

TEST_F(FocusShowingButtonAdapter, AFocusedButtonFramesItsCaption) {
  auto* button = Add<TButton>(10, 10, 120, 30);
  auto* other = Add<TButton>(10, 50, 120, 30);
  button->SetCaption("Go");
  ShowSkinned();
  manager->SetHotWindow(button->Handle());
  const int plain = MarkedPixels(button->Handle());
  Focus(button);
  ASSERT_EQ(GetFocus(), button->Handle());
  EXPECT_GT(MarkedPixels(button->Handle()), plain + 8) << "a dotted frame round the caption";
  Focus(other);
  manager->SetHotWindow(nullptr);
}

class GlowingButtonAdapter : public ButtonAdapter {
 protected:
  // Glows everywhere, and the buttons' glow mask is the close icon's.
  kvtest::TTestSkinOptions SkinOptions() const override {
    kvtest::TTestSkinOptions o;
    o.Glow = true;
    const std::string text = kvtest::TTestSkin(o).OptionsText();
    const std::string key = "BICONCLOSEGLOW0=";
    const size_t at = text.find(key);
    if (at != std::string::npos) {
      const size_t from = at + key.size();
      const std::string mask = text.substr(from, text.find("\r\n", from) - from);
      o.Keys.push_back({"BUTTON", "GLOW0", mask});
      o.Keys.push_back({"CHECKBOX", "GLOW0", mask});
    }
    return o;
  }
  static int Glows() {
    return static_cast<int>(std::count_if(TacGlowEffects.begin(), TacGlowEffects.end(),
                                          [](const auto& g) { return g != nullptr; }));
  }
};

TEST_F(GlowingButtonAdapter, TheButtonGlowsWhileThePointerIsOverIt) {
  auto* button = Add<TButton>(100, 100, 120, 40);
  ShowSkinned();
  ClearGlows();
  kvtest::HoverIn(button->Handle());
  EXPECT_EQ(manager->HotWindow(), button->Handle());
  EXPECT_EQ(Glows(), 1);
  kvtest::HoverOut();
  kvtest::MouseMove(form->Handle(), {5, 5});
  EXPECT_NE(manager->HotWindow(), button->Handle());
  EXPECT_EQ(Glows(), 0);
}

TEST_F(GlowingButtonAdapter, ACheckBoxUnderThePointerShowsNoHalo) {
  auto* box = Add<TCheckBox>(100, 100, 120, 30);
  box->SetCaption("Relay");
  ShowSkinned();
  ClearGlows();
  kvtest::HoverIn(box->Handle());
  EXPECT_EQ(manager->HotWindow(), box->Handle());
  EXPECT_EQ(Glows(), 0);
  kvtest::HoverOut();
}

// A dialog whose buttons' hot look is see-through.
class SeeThroughHotButton : public DialogButtonAdapter {
 protected:
  kvtest::TTestSkinOptions SkinOptions() const override {
    kvtest::TTestSkinOptions o;
    o.Keys.push_back({"BUTTON", "HOTTRANSPARENCY", "50"});
    return o;
  }
};

TEST_F(SeeThroughHotButton, AHotButtonPaintsAgainWhenMovedAndAPlainOneDoesNot) {
  constexpr COLORREF kMark = RGB(0x5A, 0xA5, 0x5A);
  HWND button = Child(L"BUTTON", L"Go", BS_PUSHBUTTON, 10);
  HWND other = Child(L"BUTTON", L"No", BS_PUSHBUTTON, 150);
  TsCommonData sd(nullptr, true), otherSd(nullptr, true);
  sd.SetSkinManager(manager.get());
  otherSd.SetSkinManager(manager.get());
  auto* adapter = CreateAdapter<TacBtnWnd>(button, true, &sd, manager.get(), "BUTTON");
  auto* otherAdapter = CreateAdapter<TacBtnWnd>(other, true, &otherSd, manager.get(), "BUTTON");
  for (const bool hot : {true, false}) {
    SCOPED_TRACE(hot ? "hot" : "plain");
    SetFocus(hot ? button : other);
    Shown(button);
    const int y = hot ? 50 : 100;
    // Where the button goes the dialog shows a mark until the button paints.
    HDC dc = GetDC(dialog);
    SetPixel(dc, 70, y + 12, kMark);
    ReleaseDC(dialog, dc);
    // Moved as layout code moves windows: the move itself repaints nothing.
    MoveWindow(button, 10, y, 280, 24, FALSE);
    pump::PumpUntilIdle();
    dc = GetDC(button);
    const COLORREF now = GetPixel(dc, 60, 12);
    ReleaseDC(button, dc);
    EXPECT_EQ(!hot, now == kMark) << "what the window shows";
  }
  FreeAdapter(adapter);
  FreeAdapter(otherAdapter);
}

}  // namespace
}  // namespace kv
