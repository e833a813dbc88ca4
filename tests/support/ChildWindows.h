// Every window below a window, at any depth, in the system's order.
#pragma once

#include <windows.h>

#include <vector>

namespace kvtest {

inline BOOL CALLBACK CollectChildWindow(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

inline std::vector<HWND> DescendantWindows(HWND wnd) {
  std::vector<HWND> all;
  EnumChildWindows(wnd, CollectChildWindow, reinterpret_cast<LPARAM>(&all));
  return all;
}

}  // namespace kvtest
