// The history page with a full device history: reading the records through
// the main window next to the wire time of their bytes, the program's memory
// with a full grid, and the times of emptying the grid, the filter and the
// CSV export and import. Run through scripts/serial-test with
// "--sim-arg --history --sim-arg 20000"; prints one line per figure.
//
//   app_history_bench [COUNT] [--fast]
//
// --fast shortens the port's read interval to 10 ms (for a simulator started
// with --no-pace).
#include <windows.h>
// after windows.h
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

#include "devicelink/SerialTestSupport.h"
#include "app/ConstLang_Unt.h"
#include "app/KV69_Frm_win.h"
#include "app/SoftHistory_Unt.h"
#include "app/Variable_Unt.h"
#include "base/DateTime.h"
#include "base/SysUtils.h"
#include "classlib/Forms.h"
#include "devicelink/HistoryProtocol_Unt.h"

namespace {

double Seconds(const std::function<void()>& work) {
  LARGE_INTEGER freq, t0, t1;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&t0);
  work();
  QueryPerformanceCounter(&t1);
  return double(t1.QuadPart - t0.QuadPart) / double(freq.QuadPart);
}

double MiB(SIZE_T bytes) { return double(bytes) / (1024.0 * 1024.0); }

void PrintMemory(const char* when) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return;
  std::printf("working set %s: %.1f MiB (peak %.1f MiB), private %.1f MiB\n", when,
              MiB(counters.WorkingSetSize), MiB(counters.PeakWorkingSetSize),
              MiB(counters.PagefileUsage));
}

int FilledRows(const kv::TStringGrid& grid) {
  int n = 0;
  for (int r = 1; r < grid.RowCount(); ++r)
    if (!grid.Cells(kv::HistColDate, r).empty()) ++n;
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace kv;
  int count = HistoryDataRows;
  bool fast = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--fast") == 0) {
      fast = true;
    } else if (std::atoi(argv[i]) > 0) {
      count = std::atoi(argv[i]);
    }
  }
  const std::string port = test::Env("KV_SERIAL_PORT");
  if (port.empty()) {
    std::fprintf(stderr, "run through scripts/serial-test\n");
    return 2;
  }
  LoginPassword = "9173";
  LoginComPort = port;
  PrintMemory("before the main window");
  Owned<TFormKV69> form(Create<TFormKV69>(nullptr));
  form->Show();
  TStringGrid& grid = *form->SgHist;
  // Until the version reply sets the model's columns the grid has its 320 design columns.
  const double wideClear = Seconds([&] { form->HistoryGridClear(); });
  std::printf("empty the grid (%d x %d cells, gauge after each): %.3f s\n", grid.RowCount() - 1,
              grid.ColCount() - 1, wideClear);
  if (!test::PumpUntil([] { return ModelIndex >= 0; }, 15000)) {
    std::fprintf(stderr, "no version reply\n");
    return 1;
  }
  form->SetHistoryChannelHeader(ModelIndex, LanguageFlag);
  if (fast) form->ComPort->SetReadIntervalTimeout(10);
  PrintMemory("with the main window");

  form->lbledt_ReadQty->SetText(std::to_string(count));
  const double read = Seconds([&] { form->btn_ReadHistroyFull->Click(); });
  const int rows = FilledRows(grid);
  const int blocks = HistoryBlockCount(count);
  TDataPack request;
  THistoryProtocol().BuildHistoryBlockRequest(0, request);
  const std::size_t reply = TBasicProtocol::FrameOverhead + TBasicProtocol::BlockSize;
  const double wire = double(blocks) * double(request.size() + reply) * 10.0 / 115200.0;
  std::printf("read %d records (%d rows filled) in %d blocks: %.1f s, %.1f ms a block\n", count,
              rows, blocks, read, 1000.0 * read / blocks);
  std::printf(
      "wire time of the same bytes (%zu + %zu bytes a block, 10 bits each, 115200 baud): "
      "%.1f s, %.1f ms a block\n",
      request.size(), reply, wire, 1000.0 * wire / blocks);
  std::printf("read interval %lu ms\n",
              static_cast<unsigned long>(form->ComPort->ReadIntervalTimeout()));
  PrintMemory("with a full grid");

  const std::string base = GetTempFolder() + "kv_history_bench";
  std::string file;
  const double save = Seconds([&] { file = form->SaveHistoryCsv(base); });
  std::printf("export %d rows to CSV: %.3f s\n", grid.RowCount() - 1, save);
  const double load = Seconds([&] { form->LoadHistoryCsv(file); });
  std::printf("import the CSV: %.3f s (%d rows filled)\n", load, FilledRows(grid));
  // Everything from the second day of the history on.
  form->dtp_Hist_Begin_Date->SetDateTime(EncodeDate(2024, 5, 8));
  form->dtp_Hist_Begin_Time->SetDateTime(0);
  form->dtp_Hist_End_Date->SetDateTime(EncodeDate(2030, 1, 1));
  form->dtp_Hist_End_Time->SetDateTime(0);
  const double filter = Seconds([&] { form->btn_History_Filter->Click(); });
  std::printf("filter: %.3f s (%d rows kept)\n", filter, FilledRows(grid));
  const double clear = Seconds([&] { form->HistoryGridClear(); });
  std::printf("empty the grid (%d x %d cells, gauge after each): %.3f s\n", grid.RowCount() - 1,
              grid.ColCount() - 1, clear);
  PrintMemory("at the end");
  DeleteFileUtf8(file);
  return rows == count ? 0 : 1;
}
