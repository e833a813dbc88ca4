#pragma once
// A check for use of freed memory in the Windows builds, which have no
// address sanitizer, for code that runs inside window procedures. While a
// TFreedMemoryCheck lives, each block operator new gives out has pages of
// its own, which operator delete takes away again, so that any later read or
// write of the block faults instead of finding the old values or a new
// object; `Faults` counts those faults, also the ones the system swallows
// inside a window procedure. A block from before the check is
// filled with a pattern when given back, and kept: `Intact` tells whether
// one was written to afterwards. Make the check before the objects it
// watches where it can be. The blocks the system's common controls take
// from the process heap for their windows are watched the same way. Link
// kv_test_freed_memory to use it; without a live check the program's memory
// behaves as usual.

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

  // Every block kept still holds the pattern; the failure says how many
  // were written to after they were freed.
  ::testing::AssertionResult Intact() const;
  // How many blocks were given back while the check ran.
  std::size_t Kept() const;
  // How many reads or writes of a freed block faulted, counted even where
  // the system ended the message quietly instead of the program.
  std::size_t Faults() const;
};

}  // namespace kvtest
