// The toolkit's private window message. Every skinned window uses the same
// fixed number: the name "SM_ALPHACMD" is still registered with the system
// when the toolkit starts (sSkinManager_win.cpp), but its result is not used.
#pragma once

namespace kv {

// Command code in the high word of WParam, a small argument in the low word,
// a further argument in LParam.
inline constexpr unsigned int SM_ALPHACMD = 0xA100;

// Command codes. A window outside the toolkit answers 0 to all of them.
enum TacCommand : unsigned short {
  cmdSkinLoaded = 1,             // LParam = manager
  cmdSkinRemoved = 2,            // LParam = manager
  cmdSkinRefresh = 3,            // LParam = manager
  cmdGetProvider = 4,            // Result = the form's provider
  cmdAdapterPrivate5 = 5,        // between a window adapter and its window
  cmdParentPainted = 6,
  cmdIsSkinned = 7,              // Result 1 from every skinned window
  cmdSetSuspended = 8,           // low word 0/1
  cmdSetParentBgForced = 9,      // low word 0/1
  cmdNeedsRepaint = 10,
  cmdGetPaintSkipped = 11,       // also known as the half-visible flag
  cmdTransparentBgChanged = 12,  // low word 1
  cmdInvalidateUnnamed = 13,
  cmdMenuPrivate14 = 14,         // skinned menus to a pop-up menu window
  cmdFadeFinished = 16,
  cmdSetBgChanged = 17,
  cmdRepaintNow = 18,
  cmdIsBgNonUniform = 19,
  cmdBgShifted = 20,             // low word 1 = redraw now
  cmdGetBgColor = 21,            // LParam = default colour
  cmdSetPaintSkipped = 22,
  cmdFadeStep = 23,
  cmdOfferFadeImage = 24,        // LParam = bitmap
  cmdAdaptControl = 25,          // LParam = control
  cmdGetSectionIndex = 26,       // Result = section index + 1
  cmdGetCaptionHeight = 27,      // a group box's top frame strip
  cmdMouseEnter = 29,
  cmdMouseLeave = 30,
  cmdBeginPaintLock = 31,
  cmdEndPaintLock = 32,
  cmdGetBackground = 34,         // LParam = background request
  cmdAdapterPrivate35 = 35,
  cmdChildBgFlags = 36,          // LParam 1 = recompute
  cmdProviderPrivate37 = 37,
  cmdBeforeScroll = 51,
  cmdAfterScroll = 52,
  cmdGetApplication = 60,
  cmdGetFrameSizes = 61,
  cmdGetSkinData = 62,           // Result = the control's skin data
};

}  // namespace kv
