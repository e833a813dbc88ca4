#include "skin/controls/sSkinnedControl_win.h"

namespace kv {

void CopyWholeCache(const TsCommonData* sd, HDC dc) {
  TBitmap* cache = sd->CacheBmp.get();
  if (cache == nullptr || cache->Empty() || dc == nullptr) return;
  TBitmapCanvas canvas(*cache);
  const TSavedDC saved(dc);
  BitBlt(dc, 0, 0, cache->Width(), cache->Height(), canvas.Handle(), 0, 0, SRCCOPY);
}

}  // namespace kv
