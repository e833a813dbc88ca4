// Captions of adapted statics and buttons in a skin's text colours: the
// mnemonic underlined, tabs expanded, the contour passes, the disabled mix;
// and a check box clicked never shows the system's own picture first.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "SkinnedFormFixture.h"
#include "skin/adapters/acButtonWnd_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/graphics/sGraphUtils.h"
#include "support/MessageLog.h"
#include "support/ModalProbe.h"
#include "support/Mouse.h"

namespace kv {
namespace {

// A contour on the left of every text, in a colour no legend uses.
constexpr COLORREF kContour = RGB(0x01, 0xFE, 0x02);

// Pixels of area within a small distance of c: text edges are smoothed.
int CountNear(const kvtest::TPixels& img, COLORREF c, const RECT& area) {
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) {
      const COLORREF p = img.At(x, y);
      if (std::abs(GetRValue(p) - GetRValue(c)) + std::abs(GetGValue(p) - GetGValue(c)) +
              std::abs(GetBValue(p) - GetBValue(c)) <=
          6)
        ++n;
    }
  return n;
}

class StaticText : public SkinnedFormFixture {
 protected:
  void SetUp() override {
    SkinnedFormFixture::SetUp();
    // Big and bold: its strokes have pixels of the text colour itself.
    font = CreateFontW(-24, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                       L"Tahoma");
    dialog = CreateWindowExW(0, L"#32770", L"", WS_POPUP | WS_VISIBLE, 60, 60, 320, 200, nullptr,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(dialog, nullptr);
  }
  void TearDown() override {
    for (TacMainWnd*& a : adapters) FreeAdapter(a);
    DestroyWindow(dialog);
    DeleteObject(font);
    SkinnedFormFixture::TearDown();
  }
  // An adapted child of the dialog, in the big font.
  template <class Adapter>
  HWND Adapted(const wchar_t* cls, const wchar_t* text, DWORD style, int y,
               const char* section = "CHECKBOX") {
    HWND wnd = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 10, y, 200, 28, dialog,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(wnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    data.push_back(std::make_unique<TsCommonData>(nullptr, true));
    data.back()->SetSkinManager(manager.get());
    adapters.push_back(CreateAdapter<Adapter>(wnd, true, data.back().get(), manager.get(), section));
    return wnd;
  }
  HWND Static(const wchar_t* text, DWORD style = 0, int y = 10) {
    return Adapted<TacStaticWnd>(L"STATIC", text, style, y);
  }
  // Where the text's pixels lie (those unlike the top-left one).
  static RECT Ink(HWND wnd) {
    const kvtest::TPixels img = Shown(wnd);
    const COLORREF background = img.At(0, 0);
    RECT r{img.Width(), img.Height(), -1, -1};
    for (int y = 0; y < img.Height(); ++y)
      for (int x = 0; x < img.Width(); ++x)
        if (img.At(x, y) != background) {
          r.left = std::min<LONG>(r.left, x);
          r.top = std::min<LONG>(r.top, y);
          r.right = std::max<LONG>(r.right, x + 1);
          r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    return r;
  }
  const TsGeneralData& Section(const char* name) const {
    const TsSkinModel& m = manager->Skin();
    return m.GeneralData[static_cast<size_t>(m.SectionIndexOf(name))];
  }

  HWND dialog = nullptr;
  HFONT font = nullptr;
  std::vector<std::unique_ptr<TsCommonData>> data;
  std::vector<TacMainWnd*> adapters;
};

TEST_F(StaticText, UnderlinesTheMnemonicExpandsTabsAndKeepsTheAmpersandOnlyWhenAsked) {
  const RECT plain = Ink(Static(L"Wx", 0, 10));
  const RECT mnemonic = Ink(Static(L"&Wx", 0, 40));
  const RECT literal = Ink(Static(L"&Wx", SS_NOPREFIX, 70));
  const RECT tabbed = Ink(Static(L"W\tx", 0, 100));
  EXPECT_EQ(mnemonic.left, plain.left) << "no \"&\" before the W";
  EXPECT_EQ(mnemonic.right, plain.right);
  EXPECT_GT(mnemonic.bottom, plain.bottom) << "the W underlined";
  EXPECT_GT(literal.right - literal.left, plain.right - plain.left + 3) << "SS_NOPREFIX shows \"&\"";
  EXPECT_GT(tabbed.right - tabbed.left, plain.right - plain.left + 8) << "the tab expanded";
}

TEST_F(StaticText, AlignmentAndTheSunkenEdgeFollowTheStyle) {
  const RECT left = Ink(Static(L"W", 0, 10));
  const RECT right = Ink(Static(L"W", SS_RIGHT, 40));
  const RECT centred = Ink(Static(L"W", SS_CENTER, 70));
  EXPECT_LT(left.right, 40);
  EXPECT_GT(right.left, 150);
  EXPECT_NEAR((centred.left + centred.right) / 2, 100, 6);
  // A sunken static keeps the system's look: none of the skin's colours.
  HWND sunken = CreateWindowExW(WS_EX_STATICEDGE, L"STATIC", L"W", WS_CHILD | WS_VISIBLE, 10, 130,
                                200, 24, dialog, nullptr, GetModuleHandleW(nullptr), nullptr);
  TsCommonData sd(nullptr, true);
  sd.SetSkinManager(manager.get());
  auto* adapter = CreateAdapter<TacStaticWnd>(sunken, true, &sd, manager.get(), "CHECKBOX");
  const kvtest::TPixels img = Shown(sunken);
  EXPECT_EQ(skin().Legend(img.At(100, 10) & 0xFFFFFF), nullptr) << SectionAt(img, 100, 10);
  FreeAdapter(adapter);
}

TEST_F(StaticText, ADisabledCaptionMixesTheFontColourWithTheMainColour) {
  HWND wnd = Static(L"WWW");
  const TsGeneralData& g = Section("CHECKBOX");
  const COLORREF font = static_cast<COLORREF>(ColorToRGB(g.FontColor[0]));
  const auto mixed = static_cast<COLORREF>(
      MixColorsByFraction(static_cast<TColor>(font), manager->Skin().GetGlobalInfoColor(), 0.4));
  const kvtest::TPixels enabled = Shown(wnd);
  EXPECT_GT(CountNear(enabled, font, enabled.Whole()), 0) << std::hex << font;
  EnableWindow(wnd, FALSE);
  const kvtest::TPixels img = Shown(wnd);
  EXPECT_GT(CountNear(img, mixed, img.Whole()), 0) << std::hex << mixed;
  EXPECT_EQ(CountNear(img, font, img.Whole()), 0);
  EXPECT_EQ(CountNear(img, GetSysColor(COLOR_GRAYTEXT), img.Whole()), 0);
}

// Every caption goes through the skin's text output: a section with a
// left contour colour shows it beside statics, buttons and check boxes.
class ContouredText : public StaticText {
 protected:
  kvtest::TTestSkinOptions SkinOptions() const override {
    kvtest::TTestSkinOptions o;
    for (const char* s : {"CHECKBOX", "BUTTON", "PANEL", "GROUPBOX"})
      o.Keys.push_back({s, "TCLEFT", std::to_string(kContour)});
    return o;
  }
};

TEST_F(ContouredText, EachAdaptedCaptionShowsTheContour) {
  const std::vector<std::pair<const char*, HWND>> windows = {
      {"static", Static(L"Wx")},
      {"button", Adapted<TacBtnWnd>(L"BUTTON", L"Wx", BS_PUSHBUTTON, 40, "BUTTON")},
      {"check box", Adapted<TacCheckBoxWnd>(L"BUTTON", L"Wx", BS_AUTOCHECKBOX, 70)},
  };
  for (const auto& [name, wnd] : windows) {
    SCOPED_TRACE(name);
    const kvtest::TPixels img = Shown(wnd);
    EXPECT_GT(CountNear(img, kContour, img.Whole()), 0);
  }
}

TEST_F(ContouredText, AMessageBoxTextIsContoured) {
  int contour = -1;
  {
    kvtest::TModalProbe probe(kvtest::kDialogClass, [&](HWND box) {
      pump::PumpUntilIdle();
      for (HWND c = GetWindow(box, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        wchar_t cls[32]{};
        GetClassNameW(c, cls, 32);
        if (lstrcmpiW(cls, L"Static") != 0 || GetWindowTextLengthW(c) == 0) continue;
        SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
        const kvtest::TPixels img = Shown(c);
        contour = std::max(contour, CountNear(img, kContour, img.Whole()));
      }
    });
    // The hook skins a dialog only while no other one is showing.
    ShowWindow(dialog, SW_HIDE);
    MessageBoxW(nullptr, L"Write the setting?", L"KV42", MB_OKCANCEL);
    ASSERT_TRUE(probe.Found());
  }
  EXPECT_GT(contour, 0) << "the message's static";
}

// A radio button that reports itself indeterminate (the system's own never
// does) has no grayed radio mask: it shows the box's.
LRESULT CALLBACK IndeterminateCheck(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg == BM_GETCHECK) return BST_INDETERMINATE;
  return DefSubclassProc(wnd, msg, wp, lp);
}

TEST_F(StaticText, AnIndeterminateRadioButtonShowsTheGrayedBox) {
  HWND radio = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_RADIOBUTTON, 10, 10,
                               200, 28, dialog, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowSubclass(radio, IndeterminateCheck, 1, 0);
  TsCommonData sd(nullptr, true);
  sd.SetSkinManager(manager.get());
  auto* adapter = CreateAdapter<TacCheckBoxWnd>(radio, true, &sd, manager.get(), "CHECKBOX");
  const kvtest::TPixels img = Shown(radio);
  FreeAdapter(adapter);
  EXPECT_GT(img.CountOf(Legend("GLOBALINFO", "BOXGRAYED"), img.Whole()), 0);
  EXPECT_EQ(img.CountOf(Legend("GLOBALINFO", "RADIOUNCHECKED"), img.Whole()), 0);
}

// What reaches the system's own button procedure, below the adapter, and
// whether the window could be drawn on then.
struct TSystemSide {
  struct TSeen {
    UINT message;
    bool drawable;
  };
  void Attach(HWND wnd) {
    recorder.Filter = [this, wnd](UINT m) {
      seen.push_back({m, IsWindowVisible(wnd) != FALSE});
      return true;
    };
    recorder.AttachWindow(wnd);
  }
  // State messages the system answers by drawing the button itself.
  std::string DrawnOn() const {
    std::string found;
    for (const TSeen& s : seen)
      if (s.drawable && (s.message == BM_SETSTATE || s.message == BM_SETCHECK ||
                         s.message == WM_SETFOCUS || s.message == WM_KILLFOCUS))
        found += kvtest::MessageName(s.message) + " ";
    return found;
  }
  kvtest::TMessageRecorder recorder;
  std::vector<TSeen> seen;
};

TEST_F(StaticText, AClickedCheckBoxShowsOnlyItsSkinnedPicture) {
  HWND box = CreateWindowExW(0, L"BUTTON", L"Relay", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 10,
                             10, 200, 24, dialog, nullptr, GetModuleHandleW(nullptr), nullptr);
  TSystemSide system;
  system.Attach(box);
  TsCommonData sd(nullptr, true);
  sd.SetSkinManager(manager.get());
  auto* adapter = CreateAdapter<TacCheckBoxWnd>(box, true, &sd, manager.get(), "CHECKBOX");
  Shown(box);
  system.seen.clear();
  kvtest::Click(box, {8, 12});
  pump::PumpUntilIdle();
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  int states = 0;
  for (const auto& s : system.seen) states += s.message == BM_SETSTATE || s.message == BM_SETCHECK;
  EXPECT_GE(states, 3) << "pressed, released, checked";
  EXPECT_EQ(system.DrawnOn(), "") << "the system drew these itself";
  EXPECT_EQ(system.recorder.Count(WM_PAINT), 0) << "every paint is the adapter's";
  const kvtest::TPixels img = kvtest::TPixels::FromClient(box);
  EXPECT_GT(img.CountOf(Legend("GLOBALINFO", "BOXCHECKED", 1), img.Whole()), 0);
  FreeAdapter(adapter);
  system.recorder.DetachAll();
}

TEST_F(StaticText, APushButtonChangesStateWithRedrawingOff) {
  HWND push = CreateWindowExW(0, L"BUTTON", L"Go", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10,
                              120, 30, dialog, nullptr, GetModuleHandleW(nullptr), nullptr);
  TSystemSide system;
  system.Attach(push);
  TsCommonData sd(nullptr, true);
  sd.SetSkinManager(manager.get());
  auto* adapter = CreateAdapter<TacBtnWnd>(push, true, &sd, manager.get(), "BUTTON");
  Shown(push);
  system.seen.clear();
  SetFocus(push);
  SendMessageW(push, BM_SETSTATE, TRUE, 0);
  EXPECT_EQ(StateAt(kvtest::TPixels::FromClient(push), 60, 4), 2) << "pushed, painted at once";
  SendMessageW(push, BM_SETSTATE, FALSE, 0);
  EnableWindow(push, FALSE);
  SetWindowTextW(push, L"Stop");
  EXPECT_EQ(system.DrawnOn(), "");
  EXPECT_TRUE(IsWindowVisible(push)) << "redrawing back on";
  FreeAdapter(adapter);
  system.recorder.DetachAll();
}

}  // namespace
}  // namespace kv
