#include "support/FreedMemory.h"

#include <malloc.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace kvtest {
namespace {

// A fixed store: the check must not allocate while it keeps blocks.
constexpr std::size_t kMaxKept = 1 << 16;
void* kept[kMaxKept];
std::size_t keptCount = 0;
bool checking = false;

void GiveBack(void* p, std::size_t size) {
  if (p == nullptr) return;
  if (!checking || keptCount == kMaxKept) return std::free(p);
  std::memset(p, 0xDD, size != 0 ? size : _msize(p));
  kept[keptCount++] = p;
}

}  // namespace

TFreedMemoryCheck::TFreedMemoryCheck() { checking = true; }

TFreedMemoryCheck::~TFreedMemoryCheck() {
  checking = false;
  for (std::size_t i = 0; i < keptCount; ++i) std::free(kept[i]);
  keptCount = 0;
}

std::size_t TFreedMemoryCheck::Kept() { return keptCount; }

}  // namespace kvtest

// operator new takes its blocks from malloc (the library's own does too).
void operator delete(void* p) noexcept { kvtest::GiveBack(p, 0); }
void operator delete(void* p, std::size_t size) noexcept { kvtest::GiveBack(p, size); }
void operator delete[](void* p) noexcept { kvtest::GiveBack(p, 0); }
void operator delete[](void* p, std::size_t size) noexcept { kvtest::GiveBack(p, size); }
