#pragma once
// A message log in the manner of Wine's user32 message tests: code under
// test appends what it saw, the test compares the log with an expected table.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "classlib/Forms.h"

namespace kvtest {

struct TMessageLog {
  std::vector<std::string> entries;
  void Add(const std::string& e) { entries.push_back(e); }
  void Clear() { entries.clear(); }
};

inline ::testing::AssertionResult SequenceIs(const TMessageLog& log,
                                             const std::vector<std::string>& expected) {
  const size_t n = std::max(log.entries.size(), expected.size());
  for (size_t i = 0; i < n; ++i) {
    const std::string got = i < log.entries.size() ? log.entries[i] : "(end)";
    const std::string want = i < expected.size() ? expected[i] : "(end)";
    if (got != want) {
      std::string all;
      for (const auto& e : log.entries) all += "\n  " + e;
      return ::testing::AssertionFailure()
             << "step " << i << ": expected " << want << ", got " << got << "; whole log:" << all;
    }
  }
  return ::testing::AssertionSuccess();
}

// Runs the application's pump until pred holds or ms pass.
inline bool PumpUntil(const std::function<bool()>& pred, int ms = 2000) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  while (!pred()) {
    if (static_cast<int>(end - GetTickCount()) <= 0) return false;
    kv::Application->ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

inline void Pump(int ms) {
  PumpUntil([] { return false; }, ms);
}

}  // namespace kvtest
