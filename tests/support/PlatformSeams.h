#pragma once
// Tests' side of the toolkit's platform table (classlib/PlatformCalls.h):
// a scope that restores the table when it ends, and a recorder of
// UpdateLayeredWindow calls that keeps window, size, alpha and a copy of the
// image, then passes the call on.

#include <windows.h>

#include <vector>

#include "classlib/PlatformCalls.h"
#include "support/Pixels.h"

namespace kvtest {

class TPlatformScope {
 public:
  TPlatformScope() : saved_(kv::PlatformCalls()) {}
  ~TPlatformScope() { kv::PlatformCalls() = saved_; }
  TPlatformScope(const TPlatformScope&) = delete;
  TPlatformScope& operator=(const TPlatformScope&) = delete;
  kv::TPlatformCalls& Calls() { return kv::PlatformCalls(); }

 private:
  kv::TPlatformCalls saved_;
};

struct TLayeredUpdate {
  HWND wnd;
  POINT pos;   // {0, 0} when the call gave none
  SIZE size;   // {0, 0} when the call gave none
  BYTE alpha;  // the blend's constant alpha, 255 without a blend
  DWORD flags;
  TPixels image;  // what the source DC held; empty without one
};

// Only one recorder at a time (the table holds a plain function).
class TLayeredRecorder {
 public:
  TLayeredRecorder();
  ~TLayeredRecorder();
  TLayeredRecorder(const TLayeredRecorder&) = delete;
  TLayeredRecorder& operator=(const TLayeredRecorder&) = delete;

  std::vector<TLayeredUpdate> Updates;

 private:
  static BOOL WINAPI Record(HWND wnd, HDC dst, POINT* dstPos, SIZE* size, HDC src, POINT* srcPos,
                            COLORREF key, BLENDFUNCTION* blend, DWORD flags);
  TPlatformScope scope_;
};

}  // namespace kvtest
