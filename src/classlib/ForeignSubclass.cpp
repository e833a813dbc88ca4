#include "classlib/ForeignSubclass.h"

#include <commctrl.h>

#include <memory>

#include "classlib/Controls.h"

namespace kv {

namespace {

// The subclass's reference data. A proc may take itself off while it runs
// (a control freed by its own key handler): it is then freed when the
// outermost call returns.
struct TForeignSubclass {
  TForeignProc proc;
  int depth = 0;
  bool removed = false;
};

UINT_PTR IdOf(const void* owner) { return reinterpret_cast<UINT_PTR>(owner); }

LRESULT CALLBACK ForeignSubclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR refData);

// mingw-w64's 64-bit import library lacks GetWindowSubclass: it is looked up
// in comctl32 (by name, else by its ordinal in older versions).
bool FindSubclass(HWND wnd, UINT_PTR id, DWORD_PTR& refData) {
  using TGetWindowSubclass = BOOL(WINAPI*)(HWND, SUBCLASSPROC, UINT_PTR, DWORD_PTR*);
  static const TGetWindowSubclass get = [] {
    HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    FARPROC p = GetProcAddress(comctl, "GetWindowSubclass");
    if (p == nullptr) p = GetProcAddress(comctl, MAKEINTRESOURCEA(411));
    return reinterpret_cast<TGetWindowSubclass>(reinterpret_cast<void*>(p));
  }();
  return get != nullptr && get(wnd, ForeignSubclassProc, id, &refData) != FALSE;
}

void TakeOff(HWND wnd, UINT_PTR id, TForeignSubclass* sub) {
  RemoveWindowSubclass(wnd, ForeignSubclassProc, id);
  sub->removed = true;
}

LRESULT CALLBACK ForeignSubclassProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR refData) {
  auto* sub = reinterpret_cast<TForeignSubclass*>(refData);
  LRESULT result = 0;
  ++sub->depth;
  try {
    result = sub->proc(wnd, msg, wParam, lParam);
  } catch (...) {
    HandleEntryException(nullptr);
  }
  --sub->depth;
  if (msg == WM_NCDESTROY && !sub->removed) TakeOff(wnd, id, sub);
  if (sub->removed && sub->depth == 0) std::unique_ptr<TForeignSubclass> owned(sub);
  return result;
}

}  // namespace

bool SubclassForeign(HWND wnd, const void* owner, TForeignProc proc) {
  if (!IsWindow(wnd) || IsForeignSubclassed(wnd, owner)) return false;
  auto sub = std::make_unique<TForeignSubclass>();
  sub->proc = std::move(proc);
  if (!SetWindowSubclass(wnd, ForeignSubclassProc, IdOf(owner),
                         reinterpret_cast<DWORD_PTR>(sub.get())))
    return false;
  sub.release();  // freed when the subclass comes off
  return true;
}

void UnsubclassForeign(HWND wnd, const void* owner) {
  DWORD_PTR refData = 0;
  if (!FindSubclass(wnd, IdOf(owner), refData)) return;
  auto* sub = reinterpret_cast<TForeignSubclass*>(refData);
  TakeOff(wnd, IdOf(owner), sub);
  if (sub->depth == 0) std::unique_ptr<TForeignSubclass> owned(sub);
}

bool IsForeignSubclassed(HWND wnd, const void* owner) {
  DWORD_PTR refData = 0;
  return FindSubclass(wnd, IdOf(owner), refData);
}

}  // namespace kv
