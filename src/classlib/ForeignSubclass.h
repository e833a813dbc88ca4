#pragma once
// Subclassing of windows that are not ours (children that system controls
// create, standard windows a skin adapter draws) through comctl32's subclass
// chain: a window may carry several subclasses, taken off in any order, and
// each is taken off and freed on WM_NCDESTROY.

#include <windows.h>

#include <functional>

namespace kv {

// Sees every message first; calls DefSubclassProc(wnd, msg, wParam, lParam)
// for the window's own handling.
using TForeignProc = std::function<LRESULT(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)>;

// Adds owner's subclass to wnd. False, and nothing changes, when wnd is no
// window or owner already subclasses it.
bool SubclassForeign(HWND wnd, const void* owner, TForeignProc proc);
// Takes owner's subclass off wnd, also from inside its own proc.
void UnsubclassForeign(HWND wnd, const void* owner);
bool IsForeignSubclassed(HWND wnd, const void* owner);

}  // namespace kv
