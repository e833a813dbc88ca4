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
//   frame open, against a full repaint of the plain window.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchTiming.h"
#include "app/KV69_Frm_win.h"
#include "app/Login_Frm_win.h"
#include "app/Skins_Unt_win.h"
#include "app/Variable_Unt.h"
#include "base/Streams.h"
#include "base/SysUtils.h"
#include "classlib/Forms.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sSkinManager_win.h"
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
  std::printf("%-40s skinned %8.1f ms   plain %8.1f ms\n", what, skinnedUs / 1000, plainUs / 1000);
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

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 9;
  InstallFormServices();
  Application->SetTitle("KV41/2/3 Temperature Humidity Data Logger Configurator");
  LoginPassword.clear();

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
  window->Free();
  return 0;
}
