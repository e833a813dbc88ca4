#pragma once
// Hidden message-only windows for objects that are no control but need
// messages on the thread that made them: timer ticks, calls from worker
// threads, serial port events.

#include <windows.h>

#include <functional>

#include "base/Classes.h"

namespace kv {

using THiddenWindowHandler = std::function<void(UINT msg, WPARAM wParam, LPARAM lParam)>;

// Messages first..last go to handler and are answered 0, the rest to the
// default procedure; an exception from the handler goes to the application
// with sender as its source. The handler lives until DestroyWindow. Raises
// EOutOfResources when no window could be made.
HWND CreateHiddenWindow(UINT first, UINT last, THiddenWindowHandler handler,
                        TObject* sender = nullptr);

}  // namespace kv
