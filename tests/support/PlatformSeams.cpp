#include "support/PlatformSeams.h"

namespace kvtest {
namespace {
TLayeredRecorder* g_active = nullptr;
}

TLayeredRecorder::TLayeredRecorder() {
  g_active = this;
  kv::PlatformCalls().UpdateLayeredWindow = Record;
}

TLayeredRecorder::~TLayeredRecorder() { g_active = nullptr; }

BOOL WINAPI TLayeredRecorder::Record(HWND wnd, HDC dst, POINT* dstPos, SIZE* size, HDC src,
                                     POINT* srcPos, COLORREF key, BLENDFUNCTION* blend,
                                     DWORD flags) {
  if (g_active != nullptr) {
    TLayeredUpdate u{wnd,
                     dstPos ? *dstPos : POINT{0, 0},
                     size ? *size : SIZE{0, 0},
                     blend ? blend->SourceConstantAlpha : BYTE{255},
                     flags,
                     {}};
    if (src != nullptr && size != nullptr) {
      const POINT at = srcPos ? *srcPos : POINT{0, 0};
      u.image = TPixels::FromDC(src, {at.x, at.y, at.x + size->cx, at.y + size->cy});
    }
    g_active->Updates.push_back(std::move(u));
  }
  return kv::RealPlatformCalls().UpdateLayeredWindow(wnd, dst, dstPos, size, src, srcPos, key,
                                                     blend, flags);
}

}  // namespace kvtest
