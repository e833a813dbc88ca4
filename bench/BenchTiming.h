// The median time of a piece of work over a number of rounds, for the
// hand-run Windows benchmarks.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

inline double MedianUs(int rounds, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    times.push_back(
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}
