#include "support/FreedMemory.h"

#include <malloc.h>
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace kvtest {
namespace {

constexpr std::size_t kPage = 4096;
// Address space for the blocks made while checking, never used twice; once
// it is used up, blocks come from malloc again.
constexpr std::size_t kPages = std::size_t{1} << 16;
char* region = nullptr;
std::size_t nextPage = 0;
std::uint32_t pagesOf[kPages];

// Blocks from malloc given back while checking: filled and kept. A fixed
// store, as the check must not allocate.
constexpr std::size_t kMaxKept = std::size_t{1} << 16;
void* kept[kMaxKept];
std::size_t keptCount = 0;
bool checking = false;

void* TakePages(std::size_t size) {
  if (region == nullptr)
    region = static_cast<char*>(VirtualAlloc(nullptr, kPages * kPage, MEM_RESERVE, PAGE_NOACCESS));
  const std::size_t n = size == 0 ? 1 : (size + kPage - 1) / kPage;
  if (region == nullptr || nextPage + n > kPages) return nullptr;
  char* p = region + nextPage * kPage;
  if (VirtualAlloc(p, n * kPage, MEM_COMMIT, PAGE_READWRITE) == nullptr) return nullptr;
  pagesOf[nextPage] = static_cast<std::uint32_t>(n);
  nextPage += n;
  return p;
}

bool InRegion(const void* p) {
  const char* c = static_cast<const char*>(p);
  return region != nullptr && c >= region && c < region + kPages * kPage;
}

void* Allocate(std::size_t size) {
  if (checking)
    if (void* p = TakePages(size)) return p;
  for (;;) {
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    std::new_handler handler = std::get_new_handler();
    if (handler == nullptr) throw std::bad_alloc();
    handler();
  }
}

void GiveBack(void* p, std::size_t size) {
  if (p == nullptr) return;
  if (InRegion(p)) {
    // Its pages go; the address is never given out again.
    const std::size_t page = static_cast<std::size_t>(static_cast<char*>(p) - region) / kPage;
    VirtualFree(p, pagesOf[page] * kPage, MEM_DECOMMIT);
    return;
  }
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

}  // namespace kvtest

void* operator new(std::size_t size) { return kvtest::Allocate(size); }
void* operator new[](std::size_t size) { return kvtest::Allocate(size); }
void operator delete(void* p) noexcept { kvtest::GiveBack(p, 0); }
void operator delete(void* p, std::size_t size) noexcept { kvtest::GiveBack(p, size); }
void operator delete[](void* p) noexcept { kvtest::GiveBack(p, 0); }
void operator delete[](void* p, std::size_t size) noexcept { kvtest::GiveBack(p, size); }
