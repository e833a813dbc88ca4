// The extended-border window's decisions, apart from any window: the
// shadow margins a skin gives, where the companion lies around its owner,
// its region, the shadow test and the hit-test table of its frame.
// Companion coordinates are those of the owner's frame picture: (0, 0) is
// the picture's top-left corner, the owner window starts at FrameOffset.
#pragma once

#include <optional>
#include <span>

#include "base/Bitmap.h"
#include "base/Types.h"
#include "skin/core/sSkinManager.h"
#include "skin/forms/sSystemMenuRules.h"
#include "skin/forms/sTitleButtonsLayout.h"

namespace kv {

// Top-left of the companion on the screen: the owner window lies at
// frameOffset in the frame picture.
TPoint BorderFormOrigin(TPoint ownerTopLeft, TPoint frameOffset);

// The companion's region; nullopt for none (the whole picture). A maximised
// owner shows only the frame strip on screen: the shadow and the part of
// the border that lies beyond the work area are cut away.
struct TacBorderRegionInput {
  TSize Size{};         // the picture
  TRect Shadow{};       // shadow margins
  int ExtraBorder = 0;  // skinned minus system border width
  int FrameBorder = 0;  // system border width
  bool Maximised = false;
};
std::optional<TRect> BorderRegionRect(const TacBorderRegionInput& in);

// A point of the companion lies on the transparent shadow (never for a
// maximised owner, which shows none).
bool InShadow(TPoint p, TSize size, const TRect& shadow, bool maximised);

// What the companion's hit test reads of its owner.
struct TacBorderHitFrame {
  TSize Size{};                                  // the picture
  TRect Shadow{};                                // shadow margins
  int BorderWidth = 0;                           // the skinned border (sizing band width)
  int TitleHeight = 0;                           // skinned title height, 0 without a title
  int MenuHeight = 0;                            // the menu lines below the title
  TRect TitleIcon{};                             // empty without an icon
  TsFormState Form;                              // style bits the buttons' codes depend on
  bool ThickFrame = false;                       // WS_THICKFRAME
  bool Enabled = true;                           // the owner window takes input
  bool HelpButton = false;                       // WS_EX_CONTEXTHELP
  bool DialogOwner = false;                      // a dialog has only close and help
  std::span<const TsPlacedTitleButton> Buttons;  // as laid out, picture coordinates
  std::optional<TRect> Grip;                     // the size grip when shown
};

// HTERROR: no part of the frame.
inline constexpr int BorderHitNone = -1;

struct TacBorderHit {
  int Code = BorderHitNone;
  bool TitleButton = false;  // the hot title button follows the code; cleared otherwise
  friend bool operator==(const TacBorderHit&, const TacBorderHit&) = default;
};
TacBorderHit BorderFormHitTest(const TacBorderHitFrame& f, TPoint p);

// The shadow around the frame of a 32-bit frame picture: the part `source`
// of the shadow picture is stretched nine-part over the whole picture, its
// corners (shadow margin plus formOffset) kept as they are, and written
// (colour and alpha) wherever the picture lies outside the frame, that is
// within the shadow margins. The frame inside is left alone.
void PaintShadowAround(TBitmap& picture, const TBitmap& shadow, const TRect& source,
                       const TRect& margins, int formOffset);

// The frame inside the shadow margins made opaque in a 32-bit picture (the
// system's painting leaves its alpha undefined).
void MakeFrameOpaque(TBitmap& picture, const TRect& margins);

}  // namespace kv
