#include "skin/core/sFade.h"

#include <algorithm>

#include "skin/graphics/sGraphUtils.h"

namespace kv {

bool AnimEffectEnabled(TacAnimatEvent event, TacAnimatEvents events, TacBtnEvents managerEvents) {
  if (events & AnimatEventBit(event)) return true;
  if (!(events & AnimatEventBit(aeGlobalDef))) return false;
  switch (event) {
    case aeMouseEnter:
      return managerEvents & beMouseEnter;
    case aeMouseLeave:
      return managerEvents & beMouseLeave;
    case aeMouseDown:
      return managerEvents & beMouseDown;
    default:
      return managerEvents & beMouseUp;
  }
}

std::uint8_t FadeFactor(int step, int iterations) {
  const std::int64_t a = 255 - std::int64_t{step} * 256 / iterations;
  return static_cast<std::uint8_t>(std::clamp<std::int64_t>(a, 0, 255));
}

std::unique_ptr<TBitmap> BlendFadeStep(TBitmap& oldImage, TBitmap& current, std::uint8_t a) {
  const int w = current.Width(), h = current.Height();
  if (current.Empty() || oldImage.Width() != w || oldImage.Height() != h) return nullptr;
  auto result = NewBitmap24(w, h);
  // The blend's shr 8 darkens by one level even at full weight: the ends
  // show their picture as it is.
  if (a == 0 || a == 255) {
    CopyPixels(result.get(), 0, 0, a == 0 ? &current : &oldImage, 0, 0, w, h);
    return result;
  }
  CopyPixels(result.get(), 0, 0, &oldImage, 0, 0, w, h);
  TBitmap* newLook = &current;
  // The blend wants both in one format; a 32-bit cache gives its colours.
  std::unique_ptr<TBitmap> current24;
  if (current.PixelFormat() != pf24bit) {
    current24 = NewBitmap24(w, h);
    CopyPixels(current24.get(), 0, 0, &current, 0, 0, w, h);
    newLook = current24.get();
  }
  BlendSameSizeBitmaps(result.get(), newLook, a);
  return result;
}

}  // namespace kv
