#pragma once
// Timing for benchmarks that need windows (Windows programs run by hand under
// Wine, never tests): a run repeated, the median with the spread printed, so
// that one slow round on a busy machine does not decide the figure.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace kvtest {

struct TTimings {
  std::vector<double> ms;  // sorted
  double Min() const { return ms.empty() ? 0 : ms.front(); }
  double Median() const { return ms.empty() ? 0 : ms[ms.size() / 2]; }
  double Max() const { return ms.empty() ? 0 : ms.back(); }
  void Print(const char* what) const {
    std::printf("%s: rounds %zu  min %.2f ms  median %.2f ms  max %.2f ms\n", what, ms.size(),
                Min(), Median(), Max());
  }
};

inline double MsNow() {
  LARGE_INTEGER freq, t;
  QueryPerformanceFrequency(&freq);
  QueryPerformanceCounter(&t);
  return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

// One untimed warm-up round, then `rounds` timed ones.
inline TTimings TimeRuns(int rounds, const std::function<void()>& run) {
  TTimings t;
  run();
  for (int i = 0; i < rounds; ++i) {
    const double start = MsNow();
    run();
    t.ms.push_back(MsNow() - start);
  }
  std::sort(t.ms.begin(), t.ms.end());
  return t;
}

}  // namespace kvtest
