// The command of a menu item found by the captions a user reads, from the
// menu bar's title down ("Setting", "Read Setting"); 0 when there is none.
#pragma once

#include <windows.h>

#include <initializer_list>

#include "classlib/WideText.h"

namespace kv::test {

inline UINT MenuCommandOf(HMENU menu, std::initializer_list<const char*> path) {
  UINT id = 0;
  for (const char* caption : path) {
    const int count = GetMenuItemCount(menu);
    HMENU next = nullptr;
    for (int i = 0; i < count; ++i) {
      wchar_t text[128] = {};
      GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
      if (Narrow(text) != caption) continue;
      id = GetMenuItemID(menu, i);
      next = GetSubMenu(menu, i);
      break;
    }
    if (next == nullptr && caption != *(path.end() - 1)) return 0;
    menu = next;
  }
  return id;
}

}  // namespace kv::test
