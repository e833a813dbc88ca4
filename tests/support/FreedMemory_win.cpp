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
constexpr unsigned char kPoison = 0xDD;
constexpr std::size_t kMaxKept = std::size_t{1} << 16;
struct TKept {
  void* Block;
  std::size_t Size;
};
TKept kept[kMaxKept];
std::size_t keptCount = 0;
std::size_t givenBack = 0;
int checking = 0;
// Reads and writes of freed pages seen while checking. Wine lets a fault
// inside a window procedure end that message quietly, so they are counted
// before any handler sees them.
std::size_t faults = 0;
PVOID faultWatch = nullptr;

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
  if (checking > 0)
    if (void* p = TakePages(size)) return p;
  for (;;) {
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    std::new_handler handler = std::get_new_handler();
    if (handler == nullptr) throw std::bad_alloc();
    handler();
  }
}

void GiveBack(void* p) {
  if (p == nullptr) return;
  if (checking > 0) ++givenBack;
  if (InRegion(p)) {
    // Its pages go; the address is never given out again.
    const std::size_t page = static_cast<std::size_t>(static_cast<char*>(p) - region) / kPage;
    VirtualFree(p, pagesOf[page] * kPage, MEM_DECOMMIT);
    return;
  }
  if (checking == 0 || keptCount == kMaxKept) return std::free(p);
  const std::size_t size = _msize(p);
  std::memset(p, kPoison, size);
  kept[keptCount++] = {p, size};
}

LONG CALLBACK CountFault(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* r = info->ExceptionRecord;
  if (checking > 0 && r->ExceptionCode == EXCEPTION_ACCESS_VIOLATION &&
      r->NumberParameters >= 2 && InRegion(reinterpret_cast<const void*>(r->ExceptionInformation[1])))
    ++faults;
  return EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

TFreedMemoryCheck::TFreedMemoryCheck() {
  if (checking++ > 0) return;
  givenBack = 0;
  faults = 0;
  faultWatch = AddVectoredExceptionHandler(1, CountFault);
}

TFreedMemoryCheck::~TFreedMemoryCheck() {
  if (--checking > 0) return;
  if (faultWatch != nullptr) RemoveVectoredExceptionHandler(faultWatch);
  faultWatch = nullptr;
  for (std::size_t i = 0; i < keptCount; ++i) std::free(kept[i].Block);
  keptCount = 0;
}

std::size_t TFreedMemoryCheck::Kept() const { return givenBack; }

std::size_t TFreedMemoryCheck::Faults() const { return faults; }

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
  return ::testing::AssertionFailure() << written << " of " << keptCount
                                       << " freed blocks were written to after they were freed";
}

}  // namespace kvtest

void* operator new(std::size_t size) { return kvtest::Allocate(size); }
void* operator new[](std::size_t size) { return kvtest::Allocate(size); }
void operator delete(void* p) noexcept { kvtest::GiveBack(p); }
void operator delete(void* p, std::size_t) noexcept { kvtest::GiveBack(p); }
void operator delete[](void* p) noexcept { kvtest::GiveBack(p); }
void operator delete[](void* p, std::size_t) noexcept { kvtest::GiveBack(p); }
