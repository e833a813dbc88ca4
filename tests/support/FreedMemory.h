#pragma once
// A check for writes to memory after it was freed, for code that runs
// inside window procedures (where the sanitizers of the native build do not
// reach): while a TFreedMemoryCheck lives, every block given back through
// operator delete is filled with a pattern and kept instead of freed, so a
// later read of an object's table finds garbage and a later write changes
// the pattern. A program that uses the check replaces the global operator
// delete (it does nothing while no check lives).

#include <gtest/gtest.h>

#include <cstddef>

namespace kvtest {

class TFreedMemoryCheck {
 public:
  TFreedMemoryCheck();
  // Frees the blocks kept.
  ~TFreedMemoryCheck();
  TFreedMemoryCheck(const TFreedMemoryCheck&) = delete;
  TFreedMemoryCheck& operator=(const TFreedMemoryCheck&) = delete;

  // Every block freed meanwhile still holds the pattern; the failure says
  // how many were written to after they were freed.
  ::testing::AssertionResult Intact() const;
  std::size_t Kept() const;
};

}  // namespace kvtest
