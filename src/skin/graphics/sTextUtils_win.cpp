// The device-context half of the text helpers (Windows build only).
#include "skin/graphics/sTextUtils_win.h"

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
  const auto& colors = hot ? g.HotFontColor : g.FontColor;
  static constexpr TPoint kShift[4] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
  for (int side = 0; side < 4; ++side) {
    const TColor c = colors[static_cast<size_t>(side) + 1];
    if (c == -1) continue;
    TRect moved = r;
    OffsetRect(moved, kShift[side].X, kShift[side].Y);
    DrawInColor(canvas, text, moved, flags, c);
  }
  return DrawInColor(canvas, text, r, flags, colors[0]);
}

}  // namespace kv
