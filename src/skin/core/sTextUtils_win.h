#pragma once
// Text in skin colours and the text helpers that need a device context.
// Texts are UTF-8 and go out through the wide functions.

#include <windows.h>

#include <string>
#include <string_view>

#include "base/Types.h"
#include "classlib/Graphics.h"
#include "skin/graphics/sTextUtils.h"

namespace kv {

class TsSkinManager;

// Measures in the canvas's current font.
class TCanvasTextMeasurer : public ITextMeasurer {
 public:
  explicit TCanvasTextMeasurer(TCanvas& canvas) : canvas_(canvas) {}
  int TextWidth(std::string_view text) const override;

 private:
  TCanvas& canvas_;
};

std::string CutTextWithEllipsis(TCanvas& canvas, std::string_view text, int maxWidth);

// DrawText of the whole text; returns the drawn height (R changes with DT_CALCRECT).
int DrawTextString(HDC dc, std::string_view text, TRect& r, UINT flags);
int CanvasTextWidth(TCanvas& canvas, std::string_view text);
void CanvasTextExtent(TCanvas& canvas, std::string_view text, TSize& size);
void CanvasTextRect(TCanvas& canvas, const TRect& r, int x, int y, std::string_view text);
// Measured on the screen's context; 0 x 0 when that fails.
void GetFontTextExtent(HFONT font, std::string_view text, TSize& size);

// Text in the font colours of a skin section: the contour passes (left, top,
// right, bottom, one pixel out, each skipped when its colour is -1), then the
// text in the font colour, hot colours when Hot. Disabled text is drawn once
// in 40 % font colour and 60 % section colour. Manager null means the default
// one. Returns the drawn height, 0 when nothing was drawn.
int WriteSectionText(TCanvas& canvas, std::string_view text, bool enabled, const TRect& r,
                     UINT flags, int sectionIndex, bool hot, TsSkinManager* manager);
int WriteSectionTextCore(TCanvas& canvas, std::string_view text, bool enabled, const TRect& r,
                         UINT flags, int sectionIndex, bool hot, TsSkinManager* manager);

// What a control's caption is drawn from; skinned controls fill it from
// their skin data.
struct TsSkinTextSource {
  TsSkinManager* Manager = nullptr;
  int SkinIndex = -1;
  std::string SectionName;
  int CtrlTypeCode = 0;  // check boxes 32, 33, group boxes 74
  bool IsGraphicControl = false;
  bool HasParent = false;
  // The section whose font colours a see-through control shows.
  int FontSourceIndex = -1;
  bool CustomFont = false;
  TFont* OwnerFont = nullptr;  // the owner control's font, null without one
};

// A control's caption in its skin's colours, clipped to R: contour passes
// and main colour as WriteSectionText (the font's own colour with
// CustomFont or without a section), disabled in 40 % font colour and 60 %
// of the skin's global colour. A hot "WEBBUTTON" is underlined. Returns the
// drawn height.
int WriteSkinText(TCanvas& canvas, std::string_view text, bool enabled, const TRect& r, UINT flags,
                  const TsSkinTextSource& skinData, bool hot, int unused = 0);
int WriteSkinTextCore(TCanvas& canvas, std::string_view text, bool enabled, const TRect& r,
                      UINT flags, const TsSkinTextSource& skinData, bool hot);

}  // namespace kv
