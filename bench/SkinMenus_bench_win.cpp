// The skinned menus' speed, run by hand under Wine:
//   scripts/wine run build/win32/bench/skin_menus_bench.exe [rounds]
// With the stored default skin: opening a ten-item pop-up menu until its last
// item is painted (the level's background built, the window shaped, every
// item painted), and painting a main menu line of six items over a
// provider's menu-line background.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "BenchSkin_win.h"
#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/forms/acFormServicesInstall_win.h"
#include "skin/menus/sSkinMenus_win.h"

using namespace kv;

namespace {

using TClock = std::chrono::steady_clock;

struct TBenchProvider : TacFormProvider {
  TBenchProvider() : line(800, 40, pf24bit) {}
  TsSkinManager* SkinManager() const override { return DefaultManager; }
  void SetPaintingLocked(bool) override {}
  TBitmap* MenuLineBmp() const override { return &line; }
  mutable TBitmap line;
};

class TBenchForm : public TForm {
 public:
  using TForm::TForm;
  TBenchProvider provider;

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == SM_ALPHACMD && HIWORD(m.WParam) == cmdGetProvider) {
      m.Result = reinterpret_cast<LRESULT>(&provider);
      return;
    }
    TForm::WndProc(m);
  }
};

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times.empty() ? 0 : times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  InstallFormServices();
  Owned<TsSkinManager> manager = ManagerWithDefaultSkin(false);
  auto* form = Create<TBenchForm>(Application);
  form->SetBounds(40, 40, 600, 300);
  auto* popup = Create<TPopupMenu>(form);
  TMenuItem* last = nullptr;
  for (int i = 0; i < 10; ++i) {
    last = Create<TMenuItem>(form);
    last->SetCaption(i == 4 ? "-" : "Menu item " + std::to_string(i));
    if (i % 3 == 0) last->SetShortCut(ShortCut('A' + i, ssCtrl));
    popup->Items()->Add(last);
  }
  auto* mainMenu = Create<TMainMenu>(form);
  for (const char* caption : {"&Setting", "&History", "&Relay", "&Clock", "&Tools", "&Help"}) {
    auto* top = Create<TMenuItem>(form);
    top->SetCaption(caption);
    mainMenu->Items()->Add(top);
  }
  form->SetMenu(mainMenu);
  form->Show();
  manager->SetSkinName(BenchSkinName);
  TsSkinableMenus* painter = MenuPainterOf(manager.get());
  if (painter == nullptr || !popup->OwnerDraw()) {
    std::printf("the menus were not skinned\n");
    return 1;
  }

  // The menu closes itself once its last item is painted.
  TClock::time_point start, painted;
  painter->OnDrawItem = [&](TObject* sender, TCanvas*, TRect, TOwnerDrawState, TsMenuItemType) {
    if (sender != last || painted > start) return;
    painted = TClock::now();
    EndMenu();
  };
  std::vector<double> opening;
  for (int r = 0; r < rounds; ++r) {
    start = TClock::now();
    painted = start;
    popup->Popup(100, 100);
    if (painted > start)
      opening.push_back(std::chrono::duration<double, std::milli>(painted - start).count());
  }
  std::printf("ten-item pop-up, opened until its last item is painted: %8.3f ms median of %zu\n",
              Median(opening), opening.size());
  painter->OnDrawItem = nullptr;

  // The menu line as the provider paints it: every top item into one context.
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(GetDC(nullptr), 800, 40);
  HGDIOBJ old = SelectObject(dc, bmp);
  std::vector<double> line;
  for (int r = 0; r < rounds; ++r) {
    const auto t0 = TClock::now();
    int x = 0;
    for (int i = 0; i < mainMenu->Items()->Count(); ++i) {
      TMenuItem* item = mainMenu->Items()->Items(i);
      MEASUREITEMSTRUCT mis{ODT_MENU, 0, item->Command(), 0, 0, item->Command()};
      SendMessageW(form->Handle(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mis));
      const int w = static_cast<int>(mis.itemWidth) + 12;
      DRAWITEMSTRUCT dis{ODT_MENU,
                         0,
                         item->Command(),
                         ODA_DRAWENTIRE,
                         0,
                         nullptr,
                         dc,
                         RECT{x, 0, x + w, static_cast<LONG>(mis.itemHeight)},
                         item->Command()};
      SendMessageW(form->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
      x += w;
    }
    line.push_back(std::chrono::duration<double, std::milli>(TClock::now() - t0).count());
  }
  std::printf("main menu line of six items, measured and painted:     %8.3f ms median of %d\n",
              Median(line), rounds);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  form->Free();
  manager.reset();
  return 0;
}
