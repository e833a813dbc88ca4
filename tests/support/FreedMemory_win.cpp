#include "support/FreedMemory.h"

#include <malloc.h>
#include <windows.h>
// The K32 names, in kernel32 itself.
#define PSAPI_VERSION 2
#include <psapi.h>

#include <algorithm>
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
// The size asked for, at each block's first page.
std::uint32_t sizeOf[kPages];

std::size_t PagesFor(std::size_t size) { return size == 0 ? 1 : (size + kPage - 1) / kPage; }

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
  const std::size_t n = PagesFor(size);
  if (region == nullptr || nextPage + n > kPages) return nullptr;
  char* p = region + nextPage * kPage;
  if (VirtualAlloc(p, n * kPage, MEM_COMMIT, PAGE_READWRITE) == nullptr) return nullptr;
  sizeOf[nextPage] = static_cast<std::uint32_t>(size);
  nextPage += n;
  return p;
}

bool InRegion(const void* p) {
  const char* c = static_cast<const char*>(p);
  return region != nullptr && c >= region && c < region + kPages * kPage;
}

std::size_t BlockSize(const void* p) {
  return sizeOf[static_cast<std::size_t>(static_cast<const char*>(p) - region) / kPage];
}

// Takes back a block TakePages gave; its address is never given out again.
void FreePages(void* p) { VirtualFree(p, PagesFor(BlockSize(p)) * kPage, MEM_DECOMMIT); }

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
  if (InRegion(p)) return FreePages(p);
  if (checking == 0 || keptCount == kMaxKept) return std::free(p);
  const std::size_t size = _msize(p);
  std::memset(p, kPoison, size);
  kept[keptCount++] = {p, size};
}

// The system's common controls keep each window's data in a block of their
// own and free it on WM_DESTROY, while the message that destroyed the window
// may still be running inside their procedure. Their heap and local-memory
// calls go through their import table to these, which watch those blocks as
// operator new's are watched. Moveable local memory is left to the system.
using THeapAlloc = LPVOID(WINAPI*)(HANDLE, DWORD, SIZE_T);
using THeapFree = BOOL(WINAPI*)(HANDLE, DWORD, LPVOID);
using THeapReAlloc = LPVOID(WINAPI*)(HANDLE, DWORD, LPVOID, SIZE_T);
using TLocalAlloc = HLOCAL(WINAPI*)(UINT, SIZE_T);
using TLocalFree = HLOCAL(WINAPI*)(HLOCAL);
using TLocalReAlloc = HLOCAL(WINAPI*)(HLOCAL, SIZE_T, UINT);
using TLocalSize = SIZE_T(WINAPI*)(HLOCAL);
using TLocalLock = LPVOID(WINAPI*)(HLOCAL);
using TLocalUnlock = BOOL(WINAPI*)(HLOCAL);
struct TSystemMemory {
  THeapAlloc HeapAlloc = nullptr;
  THeapFree HeapFree = nullptr;
  THeapReAlloc HeapReAlloc = nullptr;
  TLocalAlloc LocalAlloc = nullptr;
  TLocalFree LocalFree = nullptr;
  TLocalReAlloc LocalReAlloc = nullptr;
  TLocalSize LocalSize = nullptr;
  TLocalLock LocalLock = nullptr;
  TLocalUnlock LocalUnlock = nullptr;
} systemMemory;

void* TakeSystemBlock(std::size_t size) { return checking > 0 ? TakePages(size) : nullptr; }

// Moved into a new block of the size asked (or back to the system's own
// memory once the check is over); the old one goes.
void* MoveBlock(void* p, std::size_t size, void* (*take)(std::size_t)) {
  void* moved = TakeSystemBlock(size);
  if (moved == nullptr) moved = take(size);
  if (moved == nullptr) return nullptr;
  std::memcpy(moved, p, std::min(size, BlockSize(p)));
  GiveBack(p);
  return moved;
}

LPVOID WINAPI WatchedHeapAlloc(HANDLE heap, DWORD flags, SIZE_T size) {
  // Fresh pages are zeroed, as HEAP_ZERO_MEMORY asks.
  if (heap == GetProcessHeap())
    if (void* p = TakeSystemBlock(size)) return p;
  return systemMemory.HeapAlloc(heap, flags, size);
}

BOOL WINAPI WatchedHeapFree(HANDLE heap, DWORD flags, LPVOID p) {
  if (!InRegion(p)) return systemMemory.HeapFree(heap, flags, p);
  GiveBack(p);
  return TRUE;
}

LPVOID WINAPI WatchedHeapReAlloc(HANDLE heap, DWORD flags, LPVOID p, SIZE_T size) {
  if (!InRegion(p)) return systemMemory.HeapReAlloc(heap, flags, p, size);
  if ((flags & HEAP_REALLOC_IN_PLACE_ONLY) != 0) return nullptr;
  return MoveBlock(p, size, [](std::size_t n) -> void* {
    return systemMemory.HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, n);
  });
}

HLOCAL WINAPI WatchedLocalAlloc(UINT flags, SIZE_T size) {
  if ((flags & LMEM_MOVEABLE) == 0)
    if (void* p = TakeSystemBlock(size)) return p;
  return systemMemory.LocalAlloc(flags, size);
}

HLOCAL WINAPI WatchedLocalFree(HLOCAL p) {
  if (!InRegion(p)) return systemMemory.LocalFree(p);
  GiveBack(p);
  return nullptr;
}

HLOCAL WINAPI WatchedLocalReAlloc(HLOCAL p, SIZE_T size, UINT flags) {
  if (!InRegion(p)) return systemMemory.LocalReAlloc(p, size, flags);
  if ((flags & LMEM_MODIFY) != 0) return p;
  if ((flags & LMEM_MOVEABLE) == 0) return nullptr;  // a fixed block may not move
  return MoveBlock(
      p, size, [](std::size_t n) -> void* { return systemMemory.LocalAlloc(LMEM_ZEROINIT, n); });
}

SIZE_T WINAPI WatchedLocalSize(HLOCAL p) {
  return InRegion(p) ? BlockSize(p) : systemMemory.LocalSize(p);
}

LPVOID WINAPI WatchedLocalLock(HLOCAL p) { return InRegion(p) ? p : systemMemory.LocalLock(p); }

BOOL WINAPI WatchedLocalUnlock(HLOCAL p) {
  return InRegion(p) ? FALSE : systemMemory.LocalUnlock(p);
}

struct TWatched {
  const char* Name;
  void* Watched;
  void** System;
};

const TWatched kWatched[] = {
    {"HeapAlloc", reinterpret_cast<void*>(&WatchedHeapAlloc),
     reinterpret_cast<void**>(&systemMemory.HeapAlloc)},
    {"HeapFree", reinterpret_cast<void*>(&WatchedHeapFree),
     reinterpret_cast<void**>(&systemMemory.HeapFree)},
    {"HeapReAlloc", reinterpret_cast<void*>(&WatchedHeapReAlloc),
     reinterpret_cast<void**>(&systemMemory.HeapReAlloc)},
    {"LocalAlloc", reinterpret_cast<void*>(&WatchedLocalAlloc),
     reinterpret_cast<void**>(&systemMemory.LocalAlloc)},
    {"LocalFree", reinterpret_cast<void*>(&WatchedLocalFree),
     reinterpret_cast<void**>(&systemMemory.LocalFree)},
    {"LocalReAlloc", reinterpret_cast<void*>(&WatchedLocalReAlloc),
     reinterpret_cast<void**>(&systemMemory.LocalReAlloc)},
    {"LocalSize", reinterpret_cast<void*>(&WatchedLocalSize),
     reinterpret_cast<void**>(&systemMemory.LocalSize)},
    {"LocalLock", reinterpret_cast<void*>(&WatchedLocalLock),
     reinterpret_cast<void**>(&systemMemory.LocalLock)},
    {"LocalUnlock", reinterpret_cast<void*>(&WatchedLocalUnlock),
     reinterpret_cast<void**>(&systemMemory.LocalUnlock)},
};

// Points the module's imports of the functions above at the watched ones.
void WatchMemoryOf(HMODULE module) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (dir.VirtualAddress == 0) return;
  for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
       d->Name != 0; ++d) {
    if (d->OriginalFirstThunk == 0) continue;
    const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const char* name =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
      for (const TWatched& w : kWatched) {
        auto* slot = reinterpret_cast<void**>(&slots->u1.Function);
        if (std::strcmp(name, w.Name) != 0 || *slot == w.Watched) continue;
        if (*w.System == nullptr) *w.System = *slot;
        DWORD was = 0;
        if (!VirtualProtect(slot, sizeof(*slot), PAGE_READWRITE, &was)) continue;
        *slot = w.Watched;
        VirtualProtect(slot, sizeof(*slot), was, &was);
      }
    }
  }
}

// Every common-controls module loaded by now (a program may have two).
void WatchCommonControls() {
  HMODULE modules[512];
  DWORD bytes = 0;
  if (!K32EnumProcessModules(GetCurrentProcess(), modules, sizeof(modules), &bytes)) return;
  const DWORD count = std::min<DWORD>(bytes / sizeof(HMODULE), 512);
  for (DWORD i = 0; i < count; ++i) {
    wchar_t name[MAX_PATH];
    if (K32GetModuleBaseNameW(GetCurrentProcess(), modules[i], name, MAX_PATH) != 0 &&
        _wcsicmp(name, L"comctl32.dll") == 0)
      WatchMemoryOf(modules[i]);
  }
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
  WatchCommonControls();
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
