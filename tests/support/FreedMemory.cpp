#include "support/FreedMemory.h"

#include <malloc.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace kvtest {
namespace {

constexpr unsigned char kPoison = 0xDD;
// Enough for the objects of a window or two; past it blocks are freed.
constexpr std::size_t kMaxKept = 1u << 16;

struct TKept {
  void* Block;
  std::size_t Size;
};
// Plain storage: keeping a block must not allocate.
TKept kept[kMaxKept];
std::size_t keptCount = 0;
int armed = 0;

bool Keep(void* block) {
  if (armed == 0 || block == nullptr || keptCount == kMaxKept) return false;
  const std::size_t size = _msize(block);
  std::memset(block, kPoison, size);
  kept[keptCount++] = {block, size};
  return true;
}

void Release(void* block) {
  if (!Keep(block)) std::free(block);
}

}  // namespace

TFreedMemoryCheck::TFreedMemoryCheck() { ++armed; }

TFreedMemoryCheck::~TFreedMemoryCheck() {
  if (--armed > 0) return;
  for (std::size_t i = 0; i < keptCount; ++i) std::free(kept[i].Block);
  keptCount = 0;
}

std::size_t TFreedMemoryCheck::Kept() const { return keptCount; }

::testing::AssertionResult TFreedMemoryCheck::Intact() const {
  std::size_t written = 0;
  for (std::size_t i = 0; i < keptCount; ++i) {
    const auto* p = static_cast<const unsigned char*>(kept[i].Block);
    for (std::size_t b = 0; b < kept[i].Size; ++b)
      if (p[b] != kPoison) {
        ++written;
        break;
      }
  }
  if (written == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << written << " of " << keptCount << " freed blocks were written to after they were freed";
}

}  // namespace kvtest

// The program's operator delete while it links the check.
void operator delete(void* block) noexcept { kvtest::Release(block); }
void operator delete[](void* block) noexcept { kvtest::Release(block); }
void operator delete(void* block, std::size_t) noexcept { kvtest::Release(block); }
void operator delete[](void* block, std::size_t) noexcept { kvtest::Release(block); }
