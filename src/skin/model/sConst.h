// Process-wide toolkit values that every skinning part reads.
#pragma once

#include <array>
#include <cstdint>

#include "base/Types.h"

namespace kv {

class TBitmap;

// Transparent, or no colour, in skin bitmaps, masks and cache bitmaps.
inline constexpr TColor TransparentColor = 0xFF00FF;

// Where a control's background comes from.
struct TsBgCacheInfo {
  TBitmap* Bmp = nullptr;
  std::int32_t X = 0;
  std::int32_t Y = 0;
  TColor FillColor = 0;
  bool Ready = false;  // take the background from Bmp at X, Y
};

// Handed out when a control has no parent background to paint on. Its fill
// colour is "none", so that painters leave the pixels under transparent
// mask pixels alone instead of blackening them.
inline constexpr TsBgCacheInfo EmptyBgCacheInfo{nullptr, -99, -99, TransparentColor, false};

// Length of a skinned scroll bar's arrow buttons: the system's scroll-bar
// arrow width, read when the toolkit starts (16 until then).
extern int DefaultScrollArrowSize;

// The kinds of standard control the skin manager can adapt, with the class
// names it treats as each kind (CR LF separated; a single blank means none).
inline constexpr int ControlKindCount = 18;
extern const std::array<const char*, ControlKindCount> ControlKindNames;
extern const std::array<const char*, ControlKindCount> DefaultClassLists;

}  // namespace kv
