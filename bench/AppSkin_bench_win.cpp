// The configurator's windows in their skin, run by hand under Wine:
//   scripts/wine run build/win32/bench/app_skin_bench.exe [rounds]
// Each figure is the median of the rounds, next to the same window with its
// skin manager switched off as soon as it is made (the plain look; the
// stored skin is still read while the window is built):
// - start to the login window's first frame: the window made, shown and
//   painted;
// - login to the complete main window: the login window freed, the main
//   window made, shown and painted (the access code, no device);
// - a skin switch in the Skins menu, Vista to Ocean (the Ocean.asz the build
//   packs next to the program, else a synthetic skin), with one side-bar
//   frame open, against a full repaint of the plain window;
// - a full repaint of the main window on each page a user can open (each
//   side-bar frame, and each page its buttons show);
// - the same switch with every small window open (phone, relay, channel,
//   timer, message, about, progress);
// - one thumb-drag step on the history grid's skinned scroll bar with its
//   20000 rows filled: the pointer moved and the grid repainted;
// - the peak working set and private bytes of a process that opened the
//   main window and every page, skinned against plain (each in a process of
//   its own, the program started again with "memory skinned|plain").
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "BenchTiming.h"
// after windows.h
#include <psapi.h>

#include "app/About_Frm_win.h"
#include "app/BasicAnimate_Frm_win.h"
#include "app/ConstLang_Unt.h"
#include "app/DoSetting_Frm_win.h"
#include "app/FrameBar_Frms_win.h"
#include "app/KV69_Frm_win.h"
#include "app/Login_Frm_win.h"
#include "app/Message_Frm_win.h"
#include "app/PhoneSetting_Frm_win.h"
#include "app/Skins_Unt_win.h"
#include "app/SoftDiDoTh_Unt.h"
#include "app/SoftHistory_Unt.h"
#include "app/ThSetting_Frm_win.h"
#include "app/TimerSetting_Frm_win.h"
#include "app/Variable_Unt.h"
#include "base/Streams.h"
#include "base/SysUtils.h"
#include "classlib/Forms.h"
#include "skin/adapters/acScrollWnd_win.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/forms/acFormServicesInstall_win.h"
#include "support/TestSkin.h"

using namespace kv;

namespace {

// Every message that showing and painting queued, handled.
void Settle() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void Paint(TCustomForm* form) {
  RedrawWindow(form->Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Settle();
}

TFormLogin* NewLogin(bool skinned) {
  FormLogin = Create<TFormLogin>(Application);
  if (!skinned) FormLogin->sknmngr->SetActive(false);
  FormLogin->Show();
  Paint(FormLogin);
  return FormLogin;
}

TFormKV69* EnterMain(bool skinned) {
  FormLogin->edt_Password->SetText(std::string(AccessCode));
  FormLogin->btn_LoginClick(nullptr);
  TFormKV69* main = ReplaceLoginWithMainWindow();
  if (!skinned) main->sknmngr->SetActive(false);
  main->Show();
  Paint(main);
  return main;
}

void Report(const char* what, double skinnedUs, double plainUs) {
  std::printf("%-46s skinned %8.1f ms   plain %8.1f ms\n", what, skinnedUs / 1000, plainUs / 1000);
}

// A folder with Vista.asz and Ocean.asz.
std::string SkinFolder() {
  const std::string folder = GetTempFolder() + "kv_app_skin_bench\\";
  ForceDirectories(folder);
  const TacBytes vista = ResourceBytes(DefaultSkinResource);
  WriteFileBytes(folder + "Vista.asz", std::string(vista.begin(), vista.end()));
  const std::string shipped =
      ExtractFilePath(Application->ExeName()) + "..\\src\\app\\Skins\\Ocean.asz";
  std::string ocean;
  if (FileExists(shipped)) {
    ocean = ReadFileBytes(shipped);
  } else {
    const TacBytes synthetic = kvtest::TTestSkin().Packed();
    ocean.assign(synthetic.begin(), synthetic.end());
  }
  WriteFileBytes(folder + "Ocean.asz", ocean);
  return folder;
}

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

TMenuItem* SkinItem(TFormKV69* main, const std::string& caption) {
  for (int i = main->N_Skins->Count() - 1; i >= 0; --i)
    if (main->N_Skins->Items(i)->Caption() == caption) return main->N_Skins->Items(i);
  return nullptr;
}

// Each page a user can open: a side-bar title, then each button its frame
// shows; work runs on each with its name.
void ForEachPage(TFormKV69* main, const std::function<void(const std::string&)>& work) {
  for (int i = 0; i < main->FrameBar->Items()->Count(); ++i) {
    TsTitleItem* item = main->FrameBar->Items()->GetItem(i);
    if (item->Frame() == nullptr) main->FrameBar->TitleClick(item);
    Settle();
    work("side-bar page " + std::to_string(i + 1));
    auto* frame = dynamic_cast<TSideBarFrame*>(item->Frame());
    if (frame == nullptr) continue;
    for (int c = 0, b = 0; c < frame->Form->ControlCount(); ++c) {
      auto* button = dynamic_cast<TsBitBtn*>(frame->Form->Controls(c));
      if (button == nullptr || !button->Visible()) continue;
      button->Click();
      Settle();
      work("side-bar page " + std::to_string(i + 1) + "." + std::to_string(++b));
    }
  }
}

// The small windows, shown side by side with the main window (not modal, so
// that the bench goes on while they are open).
std::vector<TCustomForm*> OpenSmallWindows(TFormKV69* main) {
  ModelIndex = 1;
  AssignLanguageTexts(LanguageEnglish, ModelIndex);
  TListRows rows;
  for (const std::string& caption : ThRowCaptions(ModelIndex, LanguageEnglish))
    rows.push_back(TListRow{caption, std::vector<std::string>(ThListColumns - 1)});
  TFormKV69::SetListViewRows(main->lvTh, rows);
  std::vector<TCustomForm*> forms{
      Create<TFormDoSetting>(Application, main->lvDo, 0),
      Create<TFormThSetting>(Application, main->lvTh, rows.front().Caption),
      Create<TFormPhoneSetting>(Application, main->lvTel),
      Create<TFormTimerSetting>(Application, main->lvTimer),
      Create<TFormAbout>(Application),
      Create<TFormBasicAnimate>(main),
  };
  for (TCustomForm* form : forms) form->Show();
  ShowMessageForm("Every window open", "");
  main->SetEnabled(true);
  Settle();
  return forms;
}

// The peak working set and private bytes of this process, in MiB.
void ReportMemory(const char* look) {
  // The committed private memory is the page-file usage (Wine leaves the
  // extended counters' PrivateUsage empty).
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  std::printf("%-8s peak working set %7.1f MiB   private bytes %7.1f MiB (peak %7.1f MiB)\n", look,
              counters.PeakWorkingSetSize / 1048576.0, counters.PagefileUsage / 1048576.0,
              counters.PeakPagefileUsage / 1048576.0);
}

// The main window and every page, skinned or plain, in a process of its own.
int MemoryRun(bool skinned) {
  NewLogin(skinned);
  TFormKV69* window = EnterMain(skinned);
  ForEachPage(window, [&](const std::string&) { Paint(window); });
  ReportMemory(skinned ? "skinned" : "plain");
  window->Free();
  return 0;
}

// This program again with the arguments; its output goes to ours.
void RunSelf(const std::string& arguments) {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command =
      L"\"" + std::wstring(self) + L"\" " + std::wstring(arguments.begin(), arguments.end());
  STARTUPINFOW start{};
  start.cb = sizeof start;
  PROCESS_INFORMATION child{};
  std::fflush(stdout);
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start,
                      &child))
    return;
  WaitForSingleObject(child.hProcess, INFINITE);
  CloseHandle(child.hProcess);
  CloseHandle(child.hThread);
}

}  // namespace

int main(int argc, char** argv) {
  InstallFormServices();
  Application->SetTitle("KV41/2/3 Temperature Humidity Data Logger Configurator");
  LoginPassword.clear();
  if (argc > 2 && std::string(argv[1]) == "memory")
    return MemoryRun(std::string(argv[2]) != "plain");
  const int rounds = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 9;

  double login[2], main[2];
  for (bool skinned : {true, false}) {
    std::vector<double> logins, mains;
    for (int i = 0; i < rounds; ++i) {
      logins.push_back(MedianUs(1, [&] { NewLogin(skinned); }));
      TFormKV69* window = nullptr;
      mains.push_back(MedianUs(1, [&] { window = EnterMain(skinned); }));
      window->Free();
      Settle();
    }
    login[skinned ? 0 : 1] = Median(logins);
    main[skinned ? 0 : 1] = Median(mains);
  }
  Report("start to the login window's first frame", login[0], login[1]);
  Report("login to the complete main window", main[0], main[1]);

  const std::string folder = SkinFolder();
  NewLogin(true);
  TFormKV69* window = EnterMain(true);
  Create<TSoftSkins>(window, window->sknmngr, window->N_Skins, folder);
  window->FrameBar->TitleClick(window->FrameBar->Items()->GetItem(0));
  TMenuItem* vista = SkinItem(window, "Vista");
  TMenuItem* ocean = SkinItem(window, "Ocean");
  if (vista == nullptr || ocean == nullptr) {
    std::fprintf(stderr, "the Skins menu lacks the bench's skins\n");
    return 1;
  }
  bool toOcean = true;
  const double switchUs = MedianUs(rounds, [&] {
    (toOcean ? ocean : vista)->Click();
    Settle();
    toOcean = !toOcean;
  });
  window->sknmngr->SetActive(false);
  Settle();
  const double repaintUs = MedianUs(rounds, [&] { Paint(window); });
  Report("a skin switch (plain: a full repaint)", switchUs, repaintUs);

  // A full repaint on each page, skinned and plain.
  std::vector<std::pair<std::string, double>> pages;
  window->sknmngr->SetActive(true);
  Settle();
  ForEachPage(window, [&](const std::string& page) {
    pages.emplace_back(page, MedianUs(rounds, [&] { Paint(window); }));
  });
  window->sknmngr->SetActive(false);
  Settle();
  size_t page = 0;
  ForEachPage(window, [&](const std::string&) {
    if (page < pages.size())
      Report(("repaint, " + pages[page].first).c_str(), pages[page].second,
             MedianUs(rounds, [&] { Paint(window); }));
    ++page;
  });
  window->sknmngr->SetActive(true);
  Settle();

  // The switch again with every small window open.
  std::vector<TCustomForm*> small = OpenSmallWindows(window);
  toOcean = true;
  const double switchAllUs = MedianUs(rounds, [&] {
    (toOcean ? ocean : vista)->Click();
    Settle();
    toOcean = !toOcean;
  });
  window->sknmngr->SetActive(false);
  Settle();
  const double repaintAllUs = MedianUs(rounds, [&] {
    Paint(window);
    for (TCustomForm* form : small) Paint(form);
    if (FormMessage != nullptr) Paint(FormMessage);
  });
  Report("a switch, every window open (plain: repaint)", switchAllUs, repaintAllUs);
  for (TCustomForm* form : small) form->Free();
  if (FormMessage != nullptr) FormMessage->Hide();
  window->SetEnabled(true);
  Settle();

  // The history grid's thumb dragged a step at a time, 20000 rows filled.
  window->FrameBar->TitleClick(
      window->FrameBar->Items()->GetItem(window->FrameBar->Items()->Count() - 1));
  std::vector<THistoryGridRow> rows;
  for (int r = 1; r <= HistoryDataRows; ++r)
    rows.push_back(THistoryGridRow{
        r, {std::to_string(r), "2026-12-07", "17:05:00", "Record", "21.5", "48.0"}});
  window->ShowHistoryRows(rows);
  Settle();
  double drag[2] = {0, 0};
  int moved[2] = {0, 0}, steps = rounds * 10;
  for (bool skinned : {true, false}) {
    window->sknmngr->SetActive(skinned);
    Settle();
    HWND grid = window->SgHist->Handle();
    RECT wr{};
    GetWindowRect(grid, &wr);
    int x = wr.right - 8, top = wr.top + 24, span = (wr.bottom - wr.top) - 64;
    if (auto* adapter = dynamic_cast<TacScrollWnd*>(AdapterOfWindow(grid))) {
      UpdateScrollBarInfo(adapter, true);
      const TRect bar = VertScrollBarRect(adapter, grid);
      const TacScrollGeometry g =
          ScrollThumbGeometry(adapter->sBarVert, bar,
                              ScrollBarPartSize(adapter, adapter->sBarVert, spsArrowLength, true));
      x = (bar.Left + bar.Right) / 2;
      top = g.ThumbStart + g.ThumbLength / 2;
      span = std::max(2, g.TrackLength() - g.ThumbLength - 2);
    } else if (skinned) {
      std::fprintf(stderr, "the history grid has no skinned scroll bar\n");
    }
    int step = 0;
    if (skinned) {
      SetCursorPos(x, top);
      Settle();
      SendMessageW(grid, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(x, top));
      drag[0] = MedianUs(steps, [&] {
        const int before = window->SgHist->TopRow();
        SetCursorPos(x, top + 1 + (step++ * 7) % span);
        Settle();
        UpdateWindow(grid);
        if (window->SgHist->TopRow() != before) ++moved[0];
      });
      SendMessageW(grid, WM_LBUTTONUP, 0, 0);
    } else {
      // The system's bar tracks a press in a loop of its own: its drag step
      // is the thumb-track message it sends, and the repaint.
      drag[1] = MedianUs(steps, [&] {
        const int before = window->SgHist->TopRow();
        const int row = 1 + (step++ * 997) % HistoryDataRows;
        SendScrollMessage(grid, WM_VSCROLL, SB_THUMBTRACK, row);
        Settle();
        UpdateWindow(grid);
        if (window->SgHist->TopRow() != before) ++moved[1];
      });
    }
    Settle();
  }
  Report("history grid thumb-drag step, 20000 rows", drag[0], drag[1]);
  std::printf("  (the top row moved on %d of %d steps skinned, %d plain)\n", moved[0], steps,
              moved[1]);
  window->Free();
  Settle();

  RunSelf("memory skinned");
  RunSelf("memory plain");
  return 0;
}
