// The device-context half of the text helpers (Windows build only).
#include "skin/core/sTextUtils_win.h"

#include <array>

#include "classlib/WideText.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/graphics/sGraphUtils.h"

namespace kv {

int TCanvasTextMeasurer::TextWidth(std::string_view text) const {
  return CanvasTextWidth(canvas_, text);
}

std::string CutTextWithEllipsis(TCanvas& canvas, std::string_view text, int maxWidth) {
  return CutTextWithEllipsis(TCanvasTextMeasurer(canvas), text, maxWidth);
}

int DrawTextString(HDC dc, std::string_view text, TRect& r, UINT flags) {
  std::wstring w = Wide(text);
  RECT rc{r.Left, r.Top, r.Right, r.Bottom};
  const int height = DrawTextW(dc, w.data(), static_cast<int>(w.size()), &rc, flags);
  r = {rc.left, rc.top, rc.right, rc.bottom};
  return height;
}

int CanvasTextWidth(TCanvas& canvas, std::string_view text) {
  return canvas.TextWidth(std::string(text));
}

void CanvasTextExtent(TCanvas& canvas, std::string_view text, TSize& size) {
  size = canvas.TextExtent(std::string(text));
}

void CanvasTextRect(TCanvas& canvas, const TRect& r, int x, int y, std::string_view text) {
  canvas.TextRect(r, x, y, std::string(text));
}

void GetFontTextExtent(HFONT font, std::string_view text, TSize& size) {
  size = {0, 0};
  HDC dc = GetDC(nullptr);
  if (!dc) return;
  HGDIOBJ old = SelectObject(dc, font);
  const std::wstring w = Wide(text);
  SIZE s{0, 0};
  if (GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &s)) size = {s.cx, s.cy};
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
}

namespace {

int DrawInColor(TCanvas& canvas, std::string_view text, TRect r, UINT flags, TColor color) {
  canvas.Font()->SetColor(color);
  return DrawTextString(canvas.Handle(), text, r, flags);
}

// The contour passes one pixel out on each side (skipping sides of colour
// -1), then the text itself in colors[0].
int DrawContoured(TCanvas& canvas, std::string_view text, const TRect& r, UINT flags,
                  UINT mainFlags, const std::array<std::int32_t, 5>& colors) {
  static constexpr TPoint kShift[4] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
  for (int side = 0; side < 4; ++side) {
    const TColor c = colors[static_cast<size_t>(side) + 1];
    if (c == -1) continue;
    TRect moved = r;
    OffsetRect(moved, kShift[side].X, kShift[side].Y);
    DrawInColor(canvas, text, moved, flags, c);
  }
  return DrawInColor(canvas, text, r, mainFlags, colors[0]);
}

}  // namespace

int WriteSectionText(TCanvas& canvas, std::string_view text, bool enabled, const TRect& r,
                     UINT flags, int sectionIndex, bool hot, TsSkinManager* manager) {
  return WriteSectionTextCore(canvas, text, enabled, r, flags, sectionIndex, hot, manager);
}

int WriteSectionTextCore(TCanvas& canvas, std::string_view text, bool enabled, const TRect& r,
                         UINT flags, int sectionIndex, bool hot, TsSkinManager* manager) {
  TsSkinManager* sm = manager ? manager : DefaultManager;
  // Up to the first NUL, as the text would be drawn.
  text = text.substr(0, text.find('\0'));
  if (!sm || text.empty() || !sm->Skin().IsSectionIndexValid(sectionIndex)) return 0;
  const TsGeneralData& g = sm->Skin().GeneralData[static_cast<size_t>(sectionIndex)];
  canvas.Brush()->SetStyle(bsClear);
  if (!enabled)
    return DrawInColor(canvas, text, r, flags,
                       MixColorsByFraction(ColorToRGB(g.FontColor[0]), ColorToRGB(g.Color), 0.4));
  return DrawContoured(canvas, text, r, flags, flags, hot ? g.HotFontColor : g.FontColor);
}

int WriteSkinText(TCanvas& canvas, std::string_view text, bool enabled, const TRect& r, UINT flags,
                  const TsSkinTextSource& skinData, bool hot, int) {
  return WriteSkinTextCore(canvas, text, enabled, r, flags, skinData, hot);
}

int WriteSkinTextCore(TCanvas& canvas, std::string_view text, bool enabled, const TRect& r,
                      UINT flags, const TsSkinTextSource& skinData, bool hot) {
  TFont& font = *canvas.Font();
  if (skinData.OwnerFont) font.Assign(*skinData.OwnerFont);
  if (hot && skinData.SectionName == "WEBBUTTON") font.SetStyle(font.Style() | fsUnderline);
  // Font and brush are settled before the context is saved, so that the
  // restore leaves the canvas's own objects selected.
  canvas.Brush()->SetStyle(bsClear);
  HDC dc = canvas.Handle();
  const TSavedDC saved(dc);
  IntersectClipRect(dc, r.Left, r.Top, r.Right, r.Bottom);

  const TsSkinModel* skin = skinData.Manager ? &skinData.Manager->Skin() : nullptr;
  int index = skinData.SkinIndex;
  const int code = skinData.CtrlTypeCode;
  const bool showsParent = code == 32 || code == 33 || code == 74 || skinData.IsGraphicControl;
  if (showsParent && skinData.HasParent && skin && skin->IsSectionIndexValid(index)) {
    const TsGeneralData& own = skin->GeneralData[static_cast<size_t>(index)];
    if ((hot ? own.HotTransparency : own.Transparency) > 0) index = skinData.FontSourceIndex;
  }
  const bool valid = skin && skin->IsSectionIndexValid(index);
  const TColor ownColor = font.Color();
  if (!valid) return DrawInColor(canvas, text, r, enabled ? flags | DT_NOCLIP : flags, ownColor);
  const TsGeneralData& g = skin->GeneralData[static_cast<size_t>(index)];
  if (!enabled)
    return DrawInColor(
        canvas, text, r, flags,
        MixColorsByFraction(ColorToRGB(g.FontColor[0]), skin->GetGlobalInfoColor(), 0.4));
  if (skinData.CustomFont) return DrawInColor(canvas, text, r, flags | DT_NOCLIP, ownColor);
  return DrawContoured(canvas, text, r, flags, flags | DT_NOCLIP,
                       hot ? g.HotFontColor : g.FontColor);
}

}  // namespace kv
