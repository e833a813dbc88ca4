// The skinned scroll bars' speed with the default skin, run by hand:
//   scripts/wine run <build>/bench/skin_scroll_bench.exe [rounds]
// One thumb-drag step on a list box of 20000 lines, from the pointer's move
// to the bar and the list repainted; and both bars and the corner of a
// 600 x 400 edit painted.
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
#include "skin/adapters/acScrollWnd_win.h"
#include "skin/core/sSkinManager_win.h"

using namespace kv;

namespace {

double MedianUs(int rounds, const std::function<void(int)>& work) {
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work(i);
    times.push_back(
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void DrainMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

HWND Host() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"KvScrollBenchHost";
  RegisterClassW(&wc);
  HWND host = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 100, 100, 640, 440,
                              nullptr, nullptr, wc.hInstance, nullptr);
  return host;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 200;
  Owned<TsSkinManager> manager = ManagerWithDefaultSkin();
  HWND host = Host();

  HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 10, 10,
                              300, 400, host, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(list, LB_INITSTORAGE, 20000, 20000 * 16);
  for (int i = 0; i < 20000; ++i)
    SendMessageW(list, LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>((L"history record " + std::to_wstring(i)).c_str()));
  auto* listAdapter = CreateAdapter<TacScrollWnd>(list, true, nullptr, manager.get(), "EDIT");
  DrainMessages();
  UpdateScrollBarInfo(listAdapter, true);
  const TRect bar = VertScrollBarRect(listAdapter, list);
  const TacScrollBar& vbar = listAdapter->sBarVert;
  const TacScrollGeometry g =
      ScrollThumbGeometry(vbar, bar, ScrollBarPartSize(listAdapter, vbar, spsArrowLength, true));
  const int x = (bar.Left + bar.Right) / 2;
  const int y = g.ThumbStart + g.ThumbLength / 2;
  SetCursorPos(x, y);
  DrainMessages();
  SendMessageW(list, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(x, y));
  const int span = std::max(2, g.TrackLength() - g.ThumbLength - 2);
  const double drag = MedianUs(rounds, [&](int i) {
    SetCursorPos(x, y + 1 + (i * 7) % span);
    DrainMessages();
    UpdateWindow(list);
  });
  const LRESULT top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
  SendMessageW(list, WM_LBUTTONUP, 0, 0);
  DrainMessages();

  HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                              WS_CHILD | WS_VISIBLE | ES_MULTILINE | WS_VSCROLL | WS_HSCROLL, 20,
                              20, 600, 400, host, nullptr, GetModuleHandleW(nullptr), nullptr);
  std::wstring text;
  for (int i = 0; i < 200; ++i)
    text += L"configuration line " + std::to_wstring(i) + std::wstring(120, L'x') + L"\r\n";
  SetWindowTextW(edit, text.c_str());
  auto* editAdapter = CreateAdapter<TacScrollWnd>(edit, true, nullptr, manager.get(), "EDIT");
  DrainMessages();
  const double paint =
      MedianUs(rounds, [&](int) { DrawWindowScrollBars(editAdapter, edit, nullptr, -1, nullptr); });

  std::printf("thumb-drag step, 20000-line list box:     %8.1f us median of %d (top line %d)\n",
              drag, rounds, static_cast<int>(top));
  std::printf("both bars and corner of a 600x400 edit:   %8.1f us median of %d\n", paint, rounds);
  FreeAdapter(listAdapter);
  FreeAdapter(editAdapter);
  DestroyWindow(host);
  return 0;
}
