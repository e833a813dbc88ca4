#pragma once
// A check for use of freed memory in the Windows builds, which have no
// address sanitizer. While a TFreedMemoryCheck lives, each block operator new
// gives out has pages of its own, which operator delete takes away again, so
// that any later read or write of the block faults (and the test program
// crashes) instead of finding the old values or a new object; a block from
// before the check is filled with 0xDD when given back, and kept. Make the
// check before the objects it watches. Link kv_test_freed_memory to use it.

namespace kvtest {

class TFreedMemoryCheck {
 public:
  TFreedMemoryCheck();
  ~TFreedMemoryCheck();
  TFreedMemoryCheck(const TFreedMemoryCheck&) = delete;
  TFreedMemoryCheck& operator=(const TFreedMemoryCheck&) = delete;
};

}  // namespace kvtest
