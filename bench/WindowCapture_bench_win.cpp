// Cost of reading a window back in the window tests: through its DC after a
// synchronous repaint, through PrintWindow and through WM_PRINT, for a
// 640x480 window. A Windows program run by hand under Wine:
//   scripts/wine run build/win32/bench/window_capture_bench.exe [ROUNDS]
#include <cstdlib>

#include "support/HostWindow.h"
#include "support/Pixels.h"
#include "support/Timing.h"

int main(int argc, char** argv) {
  using namespace kvtest;
  const int rounds = argc > 1 && std::atoi(argv[1]) > 0 ? std::atoi(argv[1]) : 20;
  THostWindow host(640, 480);
  TimeRuns(rounds, [&] { TPixels::FromClient(host.Handle()); }).Print("client DC 640x480");
  TimeRuns(rounds, [&] { TPixels::FromPrintWindow(host.Handle()); }).Print("PrintWindow 640x480");
  TimeRuns(rounds, [&] { TPixels::FromPrint(host.Handle()); }).Print("WM_PRINT 640x480");
  return 0;
}
