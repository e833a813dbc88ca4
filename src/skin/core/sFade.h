// The arithmetic of fades: which mouse events animate, the blend factor of a
// step and the blended picture of a step.
#pragma once

#include <cstdint>
#include <memory>

#include "base/Bitmap.h"
#include "skin/model/sStoredSkins.h"

namespace kv {

enum TacAnimatEvent { aeMouseEnter, aeMouseLeave, aeMouseDown, aeMouseUp, aeGlobalDef };
// A set of animation events, one bit each.
using TacAnimatEvents = std::uint8_t;
constexpr TacAnimatEvents AnimatEventBit(TacAnimatEvent event) { return 1u << event; }
inline constexpr TacAnimatEvents DefaultAnimatEvents = AnimatEventBit(aeGlobalDef);

// An event in the control's own set animates; without aeGlobalDef nothing
// else does; with it the manager's button events decide.
bool AnimEffectEnabled(TacAnimatEvent event, TacAnimatEvents events, TacBtnEvents managerEvents);

// Weight of the old picture at `step` of `iterations` (not 0): 255 - step *
// 256 / iterations, kept within a byte; the last step weighs it 0.
std::uint8_t FadeFactor(int step, int iterations);

// A new 24-bit picture: per channel (current * (255 - a) + old * a + 127)
// shr 8, and a = 0 or 255 exactly the current or the old picture. Either
// picture may be 24 or 32 bit; null when their sizes differ
// (the control was resized mid-fade) or either is empty.
std::unique_ptr<TBitmap> BlendFadeStep(TBitmap& oldImage, TBitmap& current, std::uint8_t a);

}  // namespace kv
