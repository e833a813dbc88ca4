#pragma once
// A message log in the manner of Wine's user32 message tests: code under
// test appends what it saw, the test compares the log with an expected table.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "classlib/Forms.h"
#include "support/Pump.h"

namespace kvtest {

using kv::pump::Pump;
using kv::pump::PumpUntil;

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


}  // namespace kvtest
