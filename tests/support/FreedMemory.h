#pragma once
// A check for use of freed memory in the Windows builds, which have no
// address sanitizer: while a TFreedMemoryCheck lives, every block given back
// through operator delete is filled with 0xDD and kept, not freed, so that a
// pointer into it reads garbage (and a virtual call through it crashes the
// test) instead of the old values or a new object. The blocks are freed when
// the check ends. Link kv_test_freed_memory to use it.

#include <cstddef>

namespace kvtest {

class TFreedMemoryCheck {
 public:
  TFreedMemoryCheck();
  ~TFreedMemoryCheck();
  TFreedMemoryCheck(const TFreedMemoryCheck&) = delete;
  TFreedMemoryCheck& operator=(const TFreedMemoryCheck&) = delete;

  // Blocks given back while the check ran.
  static std::size_t Kept();
};

}  // namespace kvtest
