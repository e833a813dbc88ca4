// The history grid's sizes: a 20001 x 320 string grid created, cut to 24
// columns, filled with 20000 rows, painted, scrolled and emptied cell by
// cell. Prints time and memory for each step; run under Wine by hand.
#include <windows.h>
// after windows.h
#include <psapi.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "classlib/Forms.h"
#include "classlib/Grids.h"

using namespace kv;

// Every C++ allocation of the program is counted: Wine reports no private
// bytes, and the working set says little about one container.
std::atomic<long long> g_heapBytes{0};

void* operator new(std::size_t size) {
  auto* p = static_cast<std::size_t*>(std::malloc(size + sizeof(std::max_align_t)));
  if (p == nullptr) throw std::bad_alloc();
  *p = size;
  g_heapBytes += static_cast<long long>(size);
  return reinterpret_cast<char*>(p) + sizeof(std::max_align_t);
}

void operator delete(void* ptr) noexcept {
  if (ptr == nullptr) return;
  auto* p = reinterpret_cast<std::size_t*>(static_cast<char*>(ptr) - sizeof(std::max_align_t));
  g_heapBytes -= static_cast<long long>(*p);
  std::free(p);
}

void operator delete(void* ptr, std::size_t) noexcept { operator delete(ptr); }

namespace {

double PrivateMiB() { return static_cast<double>(g_heapBytes.load()) / (1024.0 * 1024.0); }

double WorkingSetMiB() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
  return static_cast<double>(pmc.WorkingSetSize) / (1024.0 * 1024.0);
}

class TStep {
 public:
  explicit TStep(const char* name) : name_(name), mem_(PrivateMiB()) {}
  ~TStep() {
    const auto ms = std::chrono::duration<double, std::milli>(Clock::now() - start_).count();
    std::printf("%-46s %9.2f ms %+9.3f MiB heap (now %.3f MiB; working set %.1f MiB)\n", name_, ms,
                PrivateMiB() - mem_, PrivateMiB(), WorkingSetMiB());
  }

 private:
  using Clock = std::chrono::steady_clock;
  const char* name_;
  double mem_;
  Clock::time_point start_ = Clock::now();
};

void PaintNow(TStringGrid* grid) {
  InvalidateRect(grid->Handle(), nullptr, FALSE);
  UpdateWindow(grid->Handle());
}

}  // namespace

int main() {
  try {
    std::printf("start: %.3f MiB heap\n", PrivateMiB());
    Owned<TForm> form = CreateOwned<TForm>();
    form->SetBounds(0, 0, 1024, 700);
    form->Show();
    TStringGrid* grid = nullptr;
    {
      TStep s("create 20001 x 320 grid, shown");
      grid = Create<TStringGrid>(form.get());
      grid->SetColCount(320);
      grid->SetRowCount(20001);
      grid->SetParent(form.get());
      grid->SetAlign(alClient);
      grid->Handle();
    }
    {
      TStep s("empty-text writes into all 6.4 M empty cells");
      for (int r = 1; r < 20001; ++r)
        for (int c = 1; c < 320; ++c) grid->SetCells(c, r, "");
    }
    {
      TStep s("cut to 24 columns, header texts");
      grid->SetColCount(24);
      for (int c = 0; c < 24; ++c) grid->SetCells(c, 0, "Temp" + std::to_string(c));
    }
    {
      TStep s("fill 20000 rows x 24 columns");
      for (int r = 1; r <= 20000; ++r) {
        grid->SetCells(0, r, std::to_string(r));
        grid->SetCells(1, r, "2024/12/31");
        grid->SetCells(2, r, "23:59:59");
        grid->SetCells(3, r, "31");
        grid->SetCells(4, r, "Disarm");
        grid->SetCells(5, r, "Open");
        grid->SetCells(6, r, "Close");
        grid->SetCells(7, r, "Interval");
        for (int c = 8; c < 24; ++c) grid->SetCells(c, r, "-12.5");
      }
    }
    {
      TStep s("paint the whole client area x 100");
      for (int i = 0; i < 100; ++i) PaintNow(grid);
    }
    {
      TStep s("page down x 500, no painting");
      for (int i = 0; i < 500; ++i) SendMessageW(grid->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
      grid->SetTopRow(1);
      ValidateRect(grid->Handle(), nullptr);
    }
    {
      TStep s("page down and paint x 500");
      for (int i = 0; i < 500; ++i) {
        SendMessageW(grid->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
        UpdateWindow(grid->Handle());
      }
    }
    {
      TStep s("thumb to the bottom and paint");
      grid->SetTopRow(19990);
      PaintNow(grid);
    }
    {
      TStep s("empty every data cell one by one");
      for (int r = 1; r <= 20000; ++r)
        for (int c = 1; c < 24; ++c) grid->SetCells(c, r, "");
    }
    {
      TStep s("empty column 0 too");
      for (int r = 1; r <= 20000; ++r) grid->SetCells(0, r, "");
    }
    std::printf("end: %.3f MiB heap\n", PrivateMiB());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "failed: %s\n", e.what());
    return 1;
  }
}
