#pragma once
// Leak checks on the class library's own object counters (Wine's
// GetGuiResources answers 0): a baseline taken at the start, compared kind by
// kind at the end.

#include <gtest/gtest.h>

#include "classlib/Graphics.h"

namespace kvtest {

class TObjectBaseline {
 public:
  TObjectBaseline() : start_(kv::GdiCounters()) {}
  // Every counter back where it started; the failure lists the kinds that
  // moved, with both values.
  ::testing::AssertionResult Unchanged() const;

 private:
  kv::TGdiCounters start_;
};

}  // namespace kvtest
