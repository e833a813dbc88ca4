// The skinned frame's painting, run by hand under Wine:
//   scripts/wine run build/win32/bench/skin_frame_bench.exe [rounds]
// A full frame-cache paint of an 800 x 600 form, the title-only repaint
// that activation takes when the border looks the same either way, and the
// whole repaint of a main-window-sized frame (1008 x 690) after activation,
// as WM_NCACTIVATE runs it, and a frame painting with nothing changed; the
// full paint of that frame with a main menu of five titles on its menu line.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchPump_win.h"
#include "BenchSkin_win.h"
#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/forms/acFormServicesInstall_win.h"
#include "skin/forms/sSkinProvider_win.h"

using namespace kv;
using Clock = std::chrono::steady_clock;

namespace {

template <class F>
double MedianMs(int rounds, F&& f) {
  std::vector<double> v;
  for (int r = 0; r < rounds; ++r) {
    const auto start = Clock::now();
    f();
    v.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

struct TShownForm {
  Owned<TForm> form = CreateOwned<TForm>();
  TsSkinProvider* provider = nullptr;
  TShownForm(int width, int height, int menuTitles = 0) {
    form->SetBounds(10, 10, width, height);
    form->SetCaption("Skinned frame benchmark");
    if (menuTitles > 0) {
      auto* menu = Create<TMainMenu>(form.get());
      for (int i = 0; i < menuTitles; ++i) {
        auto* title = Create<TMenuItem>(form.get());
        title->SetCaption("&Title " + std::to_string(i + 1));
        menu->Items()->Add(title);
        auto* command = Create<TMenuItem>(form.get());
        command->SetCaption("Command");
        title->Add(command);
      }
      form->SetMenu(menu);
    }
    provider = Create<TsSkinProvider>(form.get());
    form->Show();
    PumpUntilIdle();
  }
};

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  InstallFormServices();
  Owned<TsSkinManager> manager = ManagerWithDefaultSkin();
  manager->AnimEffects.FormShow.Active = false;
  {
    TShownForm f(800, 600);
    TsCommonData* sd = f.provider->SkinData();
    const double full = MedianMs(rounds, [&] {
      f.provider->FrameRepaintNeeded = true;
      sd->BGChanged = true;
      f.provider->PaintFrameCache();
    });
    const double title = MedianMs(rounds, [&] {
      sd->BGChanged = true;
      f.provider->PaintFrameCache();
    });
    const TsMaskData* border = sd->BorderMask();
    const bool fastPath = border == nullptr || border->ImageCount == 1;
    std::printf("full frame-cache paint, 800x600:         %8.3f ms median of %d\n", full, rounds);
    std::printf("repaint after activation, 800x600 (%s): %8.3f ms median\n",
                fastPath ? "title only" : "full: the border changes", title);
  }
  {
    TShownForm f(1008, 690);
    HWND wnd = f.form->Handle();
    bool active = true;
    const double activation = MedianMs(rounds, [&] {
      active = !active;
      SendMessageW(wnd, WM_NCACTIVATE, active ? TRUE : FALSE, 0);
    });
    std::printf("WM_NCACTIVATE with the frame repaint, 1008x690: %8.3f ms median\n", activation);
    // A frame painting with nothing changed copies the cache only.
    const double ncpaint = MedianMs(rounds, [&] { SendMessageW(wnd, WM_NCPAINT, 1, 0); });
    std::printf("WM_NCPAINT of an unchanged frame, 1008x690:     %8.3f ms median\n", ncpaint);
  }
  {
    TShownForm plain(1008, 690), menu(1008, 690, 5);
    const auto fullPaint = [&](TShownForm& f) {
      return MedianMs(rounds, [&] {
        // As a menu change leaves it: the lines counted again, all repainted.
        f.provider->MenuLineCount = -1;
        f.provider->FrameRepaintNeeded = true;
        f.provider->SkinData()->BGChanged = true;
        f.provider->PaintFrameCache();
      });
    };
    const double without = fullPaint(plain), with = fullPaint(menu);
    std::printf("full frame paint, 1008x690, no menu:           %8.3f ms median\n", without);
    std::printf("full frame paint, 1008x690, 5-title menu line: %8.3f ms median (%d line)\n", with,
                menu.provider->MenuLineCount);
  }
  manager.reset();
  return 0;
}
