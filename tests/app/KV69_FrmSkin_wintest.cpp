// The main window in its own skin (the shipped "Vista"), read back from the
// real windows: the file dialogs it opens and a dialog the hook skins show
// their edits, lists and combo boxes on the window colour inside a line of
// the skin's border colour, and the history grid shows the skin's scroll
// bars from its first paint.
#include <gtest/gtest.h>
#include <windows.h>
// Needs the types of windows.h.
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "ViewOnlyWindow.h"
#include "app/KV69_Frm_win.h"
#include "app/Variable_Unt.h"
#include "skin/controls/sFrameBar_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/DialogTemplate.h"
#include "skin/forms/acDials_win.h"
#include "skin/forms/acFormServicesInstall_win.h"
#include "support/ChildWindows.h"
#include "support/ModalProbe.h"
#include "support/Pixels.h"
#include "support/Pump.h"

namespace kv {
namespace {

using kvtest::TPixels;

// The side bar's item that opens the history page.
constexpr int kHistoryItem = 5;

class MainWindowSkin : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = FormServices();
    InstallFormServices();
    form_.reset(test::OpenViewOnlyMainWindow());
    pump::PumpUntilIdle();
    ASSERT_TRUE(form_->sknmngr->CommonSkinData().Active);
  }
  void TearDown() override {
    form_.reset();
    LoginPassword.clear();
    FormServices() = saved_;
  }
  COLORREF BorderColour() const {
    return static_cast<COLORREF>(form_->sknmngr->CommonSkinData().BorderColor);
  }
  void ShowHistoryPage() {
    TsFrameBar* bar = form_->FrameBar;
    bar->TitleClick(bar->Items()->GetItem(kHistoryItem));
    pump::PumpUntilIdle();
  }

  Owned<TFormKV69> form_;

 private:
  TacFormServices saved_{};
};

// Of a dialog's visible children of these classes, the ones whose frame is
// not the window colour inside one line of the border colour, and how many
// were looked at. The right edge is left out: a combo box has its button
// there.
struct TFrameLook {
  int looked = 0;
  std::vector<std::string> wrong;
};

TFrameLook DialogModeFrames(HWND dialog, const std::vector<std::string>& classes,
                            COLORREF border) {
  const COLORREF window = GetSysColor(COLOR_WINDOW);
  TFrameLook look;
  for (HWND child : kvtest::DescendantWindows(dialog)) {
    const std::string name = WindowClassName(child);
    bool wanted = false;
    for (const std::string& c : classes) wanted = wanted || _stricmp(name.c_str(), c.c_str()) == 0;
    if (!wanted || !IsWindowVisible(child)) continue;
    ++look.looked;
    const TPixels p = TPixels::FromWindow(child);
    const int w = p.Width(), h = p.Height();
    const bool line = p.At(0, h / 2) == border && p.At(w / 2, 0) == border &&
                      p.At(w / 2, h - 1) == border;
    const bool inside = p.At(1, h / 2) == window && p.At(w / 2, 1) == window;
    if (!line || !inside) look.wrong.push_back(name);
  }
  return look;
}

std::string Names(const std::vector<std::string>& names) {
  std::string all;
  for (const std::string& n : names) all += n + " ";
  return all;
}

struct TFileDialogCase {
  const char* what;
  std::function<void(TFormKV69&)> open;
};

class FileDialogFrames : public MainWindowSkin,
                         public ::testing::WithParamInterface<TFileDialogCase> {};

TEST_P(FileDialogFrames, ShowTheirCombosAndListOnTheWindowColourInTheBorderColoursLine) {
  TFrameLook look;
  {
    kvtest::TModalProbe probe(kvtest::kDialogClass, [&](HWND dialog) {
      pump::PumpUntilIdle();
      look = DialogModeFrames(dialog, {"ComboBox", "SysListView32"}, BorderColour());
    });
    GetParam().open(*form_);
    ASSERT_TRUE(probe.Found());
  }
  EXPECT_GE(look.looked, 3) << "file type, file name and the file list";
  EXPECT_TRUE(look.wrong.empty()) << Names(look.wrong);
}

INSTANTIATE_TEST_SUITE_P(
    OfTheProgram, FileDialogFrames,
    ::testing::Values(TFileDialogCase{"ImportCsv",
                                      [](TFormKV69& f) {
                                        TsFrameBar* bar = f.FrameBar;
                                        bar->TitleClick(bar->Items()->GetItem(kHistoryItem));
                                        f.btn_Hist_Open_CSV->Click();
                                      }},
                      TFileDialogCase{"LoadProfile", [](TFormKV69& f) { f.N_Open->Click(); }}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(MainWindowSkin, ADialogTheHookSkinsShowsItsEditListAndComboInTheBorderColoursLine) {
  const kvtest::TTestDialog dialog(
      WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_VISIBLE, 0, L"KV42",
      {{L"Edit", WS_TABSTOP | ES_AUTOHSCROLL, 10, 10, 120, 14, 100, WS_EX_CLIENTEDGE},
       {L"ListBox", WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 10, 30, 120, 40, 101, WS_EX_CLIENTEDGE},
       {L"ComboBox", CBS_DROPDOWNLIST | WS_VSCROLL, 10, 76, 120, 60, 102}});
  ASSERT_NE(nullptr, dialog.Handle());
  pump::PumpUntilIdle();
  ASSERT_EQ(1, SendCommandToWindow(dialog.Handle(), cmdIsSkinned, 0)) << "the hook skins it";
  const TFrameLook look =
      DialogModeFrames(dialog.Handle(), {"Edit", "ListBox", "ComboBox"}, BorderColour());
  EXPECT_EQ(3, look.looked);
  EXPECT_TRUE(look.wrong.empty()) << Names(look.wrong);
}

// What the window shows once each of its first paints has returned.
struct TPaintShots {
  std::vector<TPixels> shots;
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                               DWORD_PTR data) {
    const LRESULT result = DefSubclassProc(wnd, msg, wp, lp);
    auto* self = reinterpret_cast<TPaintShots*>(data);
    if ((msg == WM_NCPAINT || msg == WM_PAINT) && IsWindowVisible(wnd) && self->shots.size() < 4) {
      RECT r{};
      GetWindowRect(wnd, &r);
      HDC dc = GetWindowDC(wnd);
      self->shots.push_back(TPixels::FromDC(dc, {0, 0, r.right - r.left, r.bottom - r.top}));
      ReleaseDC(wnd, dc);
    }
    return result;
  }
};

// The grid's two bars in window coordinates: right of and below the client.
std::vector<RECT> BarRects(HWND grid) {
  RECT window{}, client{};
  GetWindowRect(grid, &window);
  GetClientRect(grid, &client);
  MapWindowPoints(grid, nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -window.left, -window.top);
  return {{client.right, client.top, client.right + GetSystemMetrics(SM_CXVSCROLL), client.bottom},
          {client.left, client.bottom, client.right,
           client.bottom + GetSystemMetrics(SM_CYHSCROLL)}};
}

// The grid holds its 20000 numbered rows and 320 columns from the start: both
// bars can scroll when the page first shows.
TEST_F(MainWindowSkin, TheHistoryGridShowsTheSkinsBarsFromItsFirstPaint) {
  HWND grid = form_->SgHist->Handle();
  TPaintShots first;
  ASSERT_TRUE(SetWindowSubclass(grid, TPaintShots::Proc, 1, reinterpret_cast<DWORD_PTR>(&first)));
  ShowHistoryPage();
  RemoveWindowSubclass(grid, TPaintShots::Proc, 1);
  ASSERT_FALSE(first.shots.empty()) << "the grid painted as its page showed";
  const std::vector<RECT> bars = BarRects(grid);
  // Printed, the grid draws its skinned bars in any case.
  const TPixels skinned = TPixels::FromPrint(grid);
  for (const RECT& bar : bars)
    EXPECT_TRUE(kvtest::SameImage(first.shots.front().Crop(bar), skinned.Crop(bar)));
  // The skin's bars are not the system's.
  form_->sknmngr->SetActive(false);
  pump::PumpUntilIdle();
  const TPixels plain = TPixels::FromWindow(form_->SgHist->Handle());
  for (const RECT& bar : bars) EXPECT_TRUE(kvtest::ImagesDiffer(plain.Crop(bar), skinned.Crop(bar)));
}

}  // namespace
}  // namespace kv
