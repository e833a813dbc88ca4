// Where the skinned buttons put glyph and caption, apart from any window: the
// speed button (with its drop-down strip, separator and divider) and the check
// box and radio button. The controls measure text and glyphs; these functions
// only place them.
#pragma once

#include "base/ButtonKinds.h"
#include "base/Types.h"

namespace kv {

// A speed button's kind.
enum class TsButtonStyle { Button, Check, DropDown, Separator, Divider };

// Width of the drop-down strip at a tbsDropDown button's right.
constexpr int DropDownArrowWidth = 16;

// What a button's placement depends on. Glyph is one frame of the glyph (0 x 0
// without one) and Caption the measured caption; HasCaption is ShowCaption
// with a non-empty caption.
struct TsButtonMetrics {
  int Width = 0;
  int Height = 0;
  int ArrowWidth = 0;
  TSize Glyph;
  TSize Caption;
  bool HasCaption = false;
  TButtonLayout Layout = blGlyphLeft;
  TAlignment Alignment = taCenter;
  int Margin = -1;
  int Spacing = 4;
  int State = 0;  // 2 draws everything one pixel down and right
  int TextOffset = 0;
};

int ArrowWidth(TsButtonStyle style);
// A button's width after its style changed: the drop-down strip is added or
// taken away, so switching there and back gives the width back.
int WidthAfterStyleChange(TsButtonStyle from, TsButtonStyle to, int width, bool loading);
// 0 for a negative margin (the pair is centred), else margin + 3.
int MarginOffset(int margin);
// One frame of a strip of numGlyphs side by side; 0 without a picture. A
// count below 1 counts as 1.
int GlyphFrameWidth(int imageWidth, int numGlyphs);
int GlyphFrameHeight(int imageHeight);
// One frame of a skin mask: imageCount frames side by side, maskType + 1
// parts stacked. Counts below 1 (and mask types below 0) count as one part.
TSize MaskFrameSize(int rectWidth, int rectHeight, int imageCount, int maskType);

// The width the caption may wrap in; never below 0.
int ButtonCaptionWidth(const TsButtonMetrics& m);
// The glyph's rectangle inside the main part (Width less ArrowWidth).
TRect ButtonGlyphRect(const TsButtonMetrics& m);
// As above; a reflected glyph rises by a sixth of its height to leave room
// for its reflection.
TRect SpeedButtonGlyphRect(const TsButtonMetrics& m, bool reflected);
TRect SpeedButtonCaptionRect(const TsButtonMetrics& m);

// The main part and the drop-down strip of a width x height button.
TRect ButtonMainPart(int width, int height, int arrowWidth);
TRect DropDownStrip(int width, int height, int arrowWidth);
// Where a frame of the drop-down arrow goes: centred in the strip, one pixel
// to the right.
TRect DropDownArrowRect(const TRect& strip, TSize frame);
// The unskinned arrow, a 5-pixel triangle centred in the strip: its three
// corners, one pixel down and right when pressed.
struct TsArrowTriangle {
  TPoint P[3];
};
TsArrowTriangle DropDownTriangle(const TRect& strip, bool pressed);
// The skin's divider mask, a column maskWidth wide centred over the height.
TRect DividerColumn(int width, int height, int maskWidth);
// The unskinned divider: a sunken edge 2 wide, or the themed separator 4 wide.
TRect DividerEdge(int width, int height, bool themed);

// What the check box and radio button place. Glyph is the check glyph's
// size; GlyphAtLeft is the controls' alignment taRightJustify (caption to
// the right of the glyph).
struct TsCheckMetrics {
  int Width = 0;
  int Height = 0;
  TSize Glyph{16, 16};
  int Margin = 2;
  int TextIndent = 0;
  bool WordWrap = false;
  bool GlyphAtLeft = true;
  bool Radio = false;
};

// A custom or image-list check glyph holds three states side by side over its
// mask half.
TSize CheckGlyphSize(int imageWidth, int imageHeight);
// The controls' alignment: right-to-left swaps the glyph to the other side.
TAlignment CheckControlsAlignment(TAlignment alignment, bool rightToLeft);
TRect CheckGlyphRect(const TsCheckMetrics& m);
// 2 while pressed, 1 when hot and not read-only, else 0.
int CheckGlyphState(bool pressed, bool hot, bool readOnly);
// The width the caption is measured in; never below 0 on narrow controls.
int CheckCaptionMaxWidth(const TsCheckMetrics& m);
// Where the caption measured as `text` is drawn.
TRect CheckCaptionRect(const TsCheckMetrics& m, TSize text);
// The dotted frame around the caption drawn at `caption`.
TRect CheckFocusRect(const TRect& caption, bool wordWrap);
// The auto size for a caption whose extent is `text` (none when !hasCaption).
TSize CheckAutoSize(const TsCheckMetrics& m, TSize text, bool hasCaption);

}  // namespace kv
