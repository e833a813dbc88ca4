// Toolkit-wide switches that painting and timer code reads, in one place.
// Each says who sets it. All belong to the GUI thread and are read without
// locks. The manager's own flags (SkinLoading, SkinBroadcasting,
// SkinRemoving, DefaultManager) and the forms' redraw lock stay with the
// manager and the hooked forms.
#pragma once

#include <cstdint>

struct HDC__;

namespace kv {

// Set while a form or control is shown animated; AnimationDC is the context
// the animation paints into meanwhile.
extern bool AnimationActive;
extern HDC__* AnimationDC;
// Set while the default manager runs a skin change with animation; fades do
// not start meanwhile.
extern bool SkinChanging;
// While set, fading repaints happen at once (the frame bar sets it while it
// arranges its items).
extern bool AnimationsOff;
// While set the bit button reports itself pressed.
extern bool ButtonPressedOverride;
// While set the bit button ignores the mouse entering (the frame bar sets it
// while it arranges its items).
extern bool SuppressMouseEnter;
// Set by the manager while it broadcasts a new skin; cleared by each
// control that takes the new skin.
extern bool NewSkinInProgress;
// Major version of the running system (0 until the start-up asks).
extern int WindowsMajorVersion;

// Sets a flag for a scope, clearing it whatever leaves the scope.
class TacFlagScope {
 public:
  explicit TacFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~TacFlagScope() { flag_ = false; }
  TacFlagScope(const TacFlagScope&) = delete;
  TacFlagScope& operator=(const TacFlagScope&) = delete;

 private:
  bool& flag_;
};

// How a disabled control is painted: bit values, combinable.
using TsDisabledKind = std::uint8_t;
inline constexpr TsDisabledKind dkBlended = 1, dkGrayed = 2;
extern TsDisabledKind GlobalDisabledKind;

}  // namespace kv
