// The combo-box adapters on real standard combo boxes with the synthetic
// skin: the border and the button's states, the selected text on print, the
// list adapted on its first colour request with one brush, its skinned bars
// and the capture rules, the tracking messages (sent by hand: Wine sends
// none), and everything given back when the skin goes.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "classlib/Forms.h"
#include "classlib/StdCtrls.h"
#include "skin/adapters/AdapterFixture.h"
#include "skin/adapters/acComboBoxWnd_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "support/Counters.h"
#include "support/Mouse.h"
#include "support/Pixels.h"
#include "support/Pump.h"

namespace kv {
namespace {

using kvtest::TPixels;

constexpr int kItems = 30;

class ComboWnd : public kvtest::AdapterFixture {
 protected:
  void TearDown() override {
    if (wnd != nullptr && IsWindow(wnd)) SendMessageW(wnd, CB_SHOWDROPDOWN, FALSE, 0);
    FreeAdapter(adapter);
    if (wnd != nullptr && IsWindow(wnd)) DestroyWindow(wnd);
    form.reset();
    AdapterFixture::TearDown();
  }
  void MakeCombo(DWORD style, int items = kItems, int height = 200) {
    wnd = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | style, 10, 10,
                          160, height, host->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    for (int i = 0; i < items; ++i)
      SendMessageW(wnd, CB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>((L"COM" + std::to_wstring(i + 1)).c_str()));
    Adapt();
  }
  void Adapt() {
    adapter = static_cast<TacComboBoxWnd*>(
        CreateComboBoxAdapter(wnd, nullptr, manager.get(), "EDIT", true));
    pump::PumpUntilIdle();
  }
  HWND ListOf() {
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    GetComboBoxInfo(wnd, &info);
    return info.hwndList;
  }
  // Drops the list and waits until it asked for its colours.
  HWND Open() {
    SendMessageW(wnd, CB_SHOWDROPDOWN, TRUE, 0);
    HWND list = ListOf();
    EXPECT_TRUE(pump::PumpUntil([&] { return IsWindowVisible(list) && adapter->ListWnd; }));
    pump::PumpUntilIdle();
    return list;
  }
  TPixels Shown(HWND w) {
    RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    pump::PumpUntilIdle();
    return TPixels::FromWindow(w);
  }
  int ButtonState(const TPixels& shown) {
    const TRect b = adapter->GetButtonRect({shown.Width(), shown.Height()});
    const kvtest::TSkinItem* item = skin->Legend(shown.At(b.Left + b.Width() / 2, b.Top));
    return item != nullptr && item->Section == "COMBOBTN" ? item->State : -1;
  }
  void Command(int command) {
    SendMessageW(wnd, SM_ALPHACMD, MAKEWPARAM(0, command), reinterpret_cast<LPARAM>(manager.get()));
  }
  int Bars(const TPixels& shown) {
    return shown.CountOf(Legend("SCROLLBTNTOP", "BORDERSMASK"), shown.Whole());
  }
  // The list's bar's lower arrow, in screen coordinates.
  POINT LowerArrow(HWND list) {
    RECT r{};
    GetWindowRect(list, &r);
    const int bar = GetSystemMetrics(SM_CXVSCROLL);
    return {r.right - 2 - bar / 2, r.bottom - 2 - bar / 2};
  }

  HWND wnd = nullptr;
  TacComboBoxWnd* adapter = nullptr;
  Owned<TForm> form;
};

TEST_F(ComboWnd, ThreePixelBorderAndTheButtonsStates) {
  MakeCombo(CBS_DROPDOWNLIST);
  const COLORREF border = Legend("EDIT", "BORDERSMASK", 0);
  struct Step {
    const char* what;
    std::function<void()> act;
    int button;
  };
  const Step steps[] = {
      {"resting", [] {}, 0},
      {"hot", [&] { manager->SetHotWindow(wnd); }, 1},
      {"list open", [&] { Open(); }, 2},
      {"list closed", [&] { SendMessageW(wnd, CB_SHOWDROPDOWN, FALSE, 0); }, 1},
      {"cold", [&] { manager->SetHotWindow(nullptr); }, 0},
  };
  for (const Step& step : steps) {
    step.act();
    const TPixels shown = Shown(wnd);
    EXPECT_TRUE(kvtest::ColourAt(shown, 0, shown.Height() / 2, border)) << step.what;
    EXPECT_TRUE(kvtest::ColourAt(shown, 2, shown.Height() / 2, border)) << step.what;
    EXPECT_EQ(ButtonState(shown), step.button) << step.what;
  }
}

TEST_F(ComboWnd, ASimpleBoxHasNoButtonAndASimpleList) {
  MakeCombo(CBS_SIMPLE, kItems, 120);
  EXPECT_EQ(adapter->GetButtonRect({160, 120}).Width(), 0);
  HWND list = ListOf();
  RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_TRUE(pump::PumpUntil([&] { return adapter->ListAdapter() != nullptr; }));
  EXPECT_TRUE(adapter->ListAdapter()->Simple);
  EXPECT_GT(Bars(Shown(list)), 0);
}

// The list's bars take presses sent as the system's list sends them; a
// drop-down list keeps the mouse afterwards (the box tracks on it), a
// simple list lets it go.
struct CaptureCase {
  const char* name;
  DWORD style;
  bool keepsCapture;
};

class ComboListCapture : public ComboWnd, public ::testing::WithParamInterface<CaptureCase> {};

TEST_P(ComboListCapture, AClickOnTheBarScrollsAndFollowsTheCaptureRule) {
  MakeCombo(GetParam().style, kItems, 120);
  HWND list = GetParam().style == CBS_SIMPLE ? ListOf() : Open();
  RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_TRUE(pump::PumpUntil([&] { return adapter->ListAdapter() != nullptr; }));
  SetCapture(list);
  const POINT arrow = LowerArrow(list);
  POINT client = arrow;
  ScreenToClient(list, &client);
  const LRESULT hit = SendMessageW(list, WM_NCHITTEST, 0, MAKELPARAM(arrow.x, arrow.y));
  ASSERT_EQ(hit, HTVSCROLL);
  SendMessageW(list, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(arrow.x, arrow.y));
  SendMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(client.x, client.y));
  EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 1);
  EXPECT_EQ(GetCapture() == list, GetParam().keepsCapture);
  EXPECT_TRUE(IsWindowVisible(list));
  ReleaseCapture();
}

INSTANTIATE_TEST_SUITE_P(Styles, ComboListCapture,
                         ::testing::Values(CaptureCase{"DropDownList", CBS_DROPDOWNLIST, true},
                                           CaptureCase{"Simple", CBS_SIMPLE, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ComboWnd, TheListIsAdaptedOnceAndAnsweredWithOneBrush) {
  MakeCombo(CBS_DROPDOWNLIST);
  HWND list = Open();
  TacComboListWnd* listAdapter = adapter->ListAdapter();
  ASSERT_NE(listAdapter, nullptr);
  EXPECT_EQ(adapter->ListWnd, list);
  EXPECT_EQ(listAdapter->CtrlHandle, list);
  EXPECT_EQ(listAdapter->SkinData->SkinSection(), "EDIT");
  const TPixels whole = Shown(list);
  EXPECT_TRUE(kvtest::ColourAt(whole, 0, whole.Height() / 2, RGB(0, 0, 0))) << "frame";
  EXPECT_GT(Bars(whole), 0) << "skinned bars";
  HDC dc = GetDC(list);
  const auto ask = [&] {
    return reinterpret_cast<HGDIOBJ>(SendMessageW(
        wnd, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(list)));
  };
  HGDIOBJ brush = ask();
  EXPECT_EQ(ask(), brush);
  EXPECT_EQ(GetBkColor(dc), Legend("EDIT", "COLOR"));
  ReleaseDC(list, dc);
  EXPECT_EQ(adapter->ListAdapter(), listAdapter) << "made once";
  SendMessageW(wnd, CB_SHOWDROPDOWN, FALSE, 0);
  FreeAdapter(adapter);
  EXPECT_EQ(GetObjectType(brush), 0u) << "freed with the adapter";
  EXPECT_EQ(AdapterOfWindow(list), nullptr) << "the list's adapter too";
}

TEST_F(ComboWnd, InDialogModeTheListServesInItAndKeepsTheSystemsColours) {
  MakeCombo(CBS_DROPDOWNLIST);
  adapter->DlgMode = true;
  HWND list = Open();
  ASSERT_NE(adapter->ListAdapter(), nullptr);
  EXPECT_TRUE(adapter->ListAdapter()->DlgMode);
  HDC dc = GetDC(list);
  SendMessageW(wnd, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(list));
  EXPECT_NE(GetBkColor(dc), Legend("EDIT", "COLOR"));
  ReleaseDC(list, dc);
  // The seed is down again for adapters made later.
  EXPECT_FALSE(acDlgModeSeed);
}

TEST_F(ComboWnd, TheListsBorderIsLeftAloneOnPrintWhileTheBoxTracks) {
  MakeCombo(CBS_DROPDOWNLIST);
  HWND list = Open();
  ASSERT_NE(adapter->ListAdapter(), nullptr);
  EXPECT_GT(Bars(TPixels::FromPrint(list)), 0);
  SendMessageW(list, 0x1AE, 0, 0);  // the box starts tracking
  EXPECT_TRUE(adapter->ListAdapter()->Tracking);
  EXPECT_EQ(Bars(TPixels::FromPrint(list)), 0);
  SendMessageW(list, 0x1AF, 0, 0);
  EXPECT_FALSE(adapter->ListAdapter()->Tracking);
  EXPECT_GT(Bars(TPixels::FromPrint(list)), 0);
}

// What a drop-down list shows when printed: the selected text, highlighted
// with a focus frame only while the box has the focus.
TEST_F(ComboWnd, PrintShowsTheSelectedTextHighlightedOnlyWithTheFocus) {
  kvtest::HoverOut();  // focus only: the button stays cold
  MakeCombo(CBS_DROPDOWNLIST);
  SendMessageW(wnd, CB_SETCURSEL, 2, 0);
  const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
  const auto textArea = [&](const TPixels& p) {
    const TRect b = adapter->GetButtonRect({p.Width(), p.Height()});
    return RECT{4, 4, b.Left - 1, p.Height() - 4};
  };
  SetFocus(nullptr);
  TPixels printed = TPixels::FromPrint(wnd);
  EXPECT_EQ(printed.CountOf(highlight, textArea(printed)), 0);
  EXPECT_GT(printed.CountDiffering(printed.At(textArea(printed).right - 2, 5), textArea(printed)),
            0)
      << "the text";
  SetForegroundWindow(host->Handle());
  SetFocus(wnd);
  ASSERT_EQ(GetFocus(), wnd);
  printed = TPixels::FromPrint(wnd);
  EXPECT_GT(printed.CountOf(highlight, textArea(printed)), 0);
  EXPECT_EQ(ButtonState(printed), 0);
}

TEST_F(ComboWnd, TheShownTextIsTheSelectedItemsElseTheWindowText) {
  MakeCombo(CBS_DROPDOWN, 0);
  const std::wstring longItem(600, L'W');
  SendMessageW(wnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"COM1"));
  SendMessageW(wnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(longItem.c_str()));
  SetWindowTextW(wnd, L"typed");
  EXPECT_EQ(ComboSelectedText(wnd), "typed");
  SendMessageW(wnd, CB_SETCURSEL, 0, 0);
  EXPECT_EQ(ComboSelectedText(wnd), "COM1");
  // Longer than any fixed buffer: read whole.
  SendMessageW(wnd, CB_SETCURSEL, 1, 0);
  EXPECT_EQ(ComboSelectedText(wnd), std::string(600, 'W'));
}

TEST_F(ComboWnd, SkinRemovalGivesBackTheBoxAndItsList) {
  MakeCombo(CBS_DROPDOWNLIST);
  HWND list = Open();
  ASSERT_NE(adapter->ListAdapter(), nullptr);
  SendMessageW(wnd, CB_SHOWDROPDOWN, FALSE, 0);
  pump::PumpUntilIdle();
  Command(cmdSkinRemoved);
  manager->SetActive(false);
  EXPECT_NE(Shown(wnd).At(0, 10), Legend("EDIT", "BORDERSMASK", 0));
  SendMessageW(wnd, CB_SHOWDROPDOWN, TRUE, 0);
  ASSERT_TRUE(pump::PumpUntil([&] { return IsWindowVisible(list) != FALSE; }));
  EXPECT_EQ(Bars(Shown(list)), 0);
}

TEST_F(ComboWnd, ABoxDestroyedWithItsListOpenLeavesNothingBehind) {
  const kvtest::TObjectBaseline objects;
  MakeCombo(CBS_DROPDOWNLIST);
  HWND list = Open();
  ASSERT_NE(adapter->ListAdapter(), nullptr);
  DestroyWindow(wnd);
  EXPECT_FALSE(IsWindow(list));
  FreeAdapter(adapter);
  EXPECT_TRUE(objects.Unchanged());
}

TEST_F(ComboWnd, AClassLibraryComboTakesTheSkinsColoursAndGetsItsOwnBack) {
  form = CreateOwned<TForm>();
  form->SetBounds(300, 200, 300, 200);
  auto* box = Create<TComboBox>(form.get());
  box->SetParent(form.get());
  box->SetBounds(10, 10, 160, 24);
  box->SetColor(clYellow);
  for (int i = 0; i < kItems; ++i) box->Items()->Add("COM" + std::to_string(i + 1));
  form->Show();
  pump::PumpUntilIdle();
  TsCommonData sd(box, true);
  sd.SetSkinManager(manager.get());
  wnd = box->Handle();
  adapter = static_cast<TacComboBoxWnd*>(CreateComboBoxAdapter(wnd, &sd, manager.get(), "", true));
  pump::PumpUntilIdle();
  Shown(wnd);
  EXPECT_EQ(box->Color(), SkinnedBgColor(&sd, false, wnd));
  HWND list = Open();
  EXPECT_GT(Bars(Shown(list)), 0);
  SendMessageW(wnd, CB_SHOWDROPDOWN, FALSE, 0);
  Command(cmdSkinRemoved);
  EXPECT_EQ(box->Color(), clYellow);
  FreeAdapter(adapter);
}

}  // namespace
}  // namespace kv
