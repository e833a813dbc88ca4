#include "skin/geometry/sButtonLayout.h"

#include <algorithm>

namespace kv {

namespace {

bool SideBySide(TButtonLayout layout) { return layout == blGlyphLeft || layout == blGlyphRight; }

// Spacing counts between glyph and caption only when there are both.
int GapWithCaption(const TsButtonMetrics& m) {
  return m.HasCaption && m.Glyph.cx > 0 ? m.Spacing : 0;
}

TRect Moved(TRect r, int dx, int dy) {
  OffsetRect(r, dx, dy);
  return r;
}

}  // namespace

int ArrowWidth(TsButtonStyle style) {
  return style == TsButtonStyle::DropDown ? DropDownArrowWidth : 0;
}

int WidthAfterStyleChange(TsButtonStyle from, TsButtonStyle to, int width, bool loading) {
  if (loading || from == to) return width;
  return width + ArrowWidth(to) - ArrowWidth(from);
}

int MarginOffset(int margin) { return margin < 0 ? 0 : margin + 3; }

int GlyphFrameWidth(int imageWidth, int numGlyphs) {
  if (imageWidth < 1) return 0;
  return imageWidth / std::max(1, numGlyphs);
}

int GlyphFrameHeight(int imageHeight) { return imageHeight < 1 ? 0 : imageHeight; }

TSize MaskFrameSize(int rectWidth, int rectHeight, int imageCount, int maskType) {
  return {std::max(0, rectWidth) / std::max(1, imageCount),
          std::max(0, rectHeight) / (std::max(0, maskType) + 1)};
}

int ButtonCaptionWidth(const TsButtonMetrics& m) {
  if (!m.HasCaption) return 0;
  // The margin as it stands, not its offset: the default -1 widens the room.
  int width = m.Width - m.ArrowWidth - 2 * m.Margin;
  if (SideBySide(m.Layout) && m.Glyph.cx != 0) width -= m.Glyph.cx + m.Spacing;
  return std::max(0, width);
}

TRect ButtonGlyphRect(const TsButtonMetrics& m) {
  const int gw = m.Glyph.cx, gh = m.Glyph.cy, mo = MarginOffset(m.Margin);
  const int tw = m.Caption.cx, th = m.Caption.cy, s = GapWithCaption(m);
  const int w = m.Width - m.ArrowWidth, h = m.Height;
  const int dx = (w - gw - s - tw) / 2 - mo;
  const int dy = (h - gh - s - th) / 2 - mo;
  int x = 0, y = 0;
  switch (m.Layout) {
    case blGlyphLeft:
      x = m.Alignment == taLeftJustify ? mo : m.Alignment == taRightJustify ? mo + 2 * dx : mo + dx;
      y = (h - gh) / 2;
      break;
    case blGlyphRight:
      x = m.Alignment == taLeftJustify    ? w - mo - 2 * dx - s - gw
          : m.Alignment == taRightJustify ? w - gw - mo
                                          : (w - gw + s + tw) / 2;
      y = (h - gh) / 2;
      break;
    case blGlyphTop:
      x = (w - gw) / 2 + 1;
      y = mo + dy;
      break;
    case blGlyphBottom:
      x = (w - gw) / 2 + 1;
      y = h - mo - dy - gh;
      break;
  }
  if (m.State == 2) ++x, ++y;
  return {x, y, x + gw, y + gh};
}

TRect SpeedButtonGlyphRect(const TsButtonMetrics& m, bool reflected) {
  const TRect r = ButtonGlyphRect(m);
  return reflected ? Moved(r, 0, -(r.Height() / 6)) : r;
}

TRect SpeedButtonCaptionRect(const TsButtonMetrics& m) {
  const int gw = m.Glyph.cx, gh = m.Glyph.cy, mo = MarginOffset(m.Margin);
  const int tw = m.Caption.cx, th = m.Caption.cy, aw = m.ArrowWidth;
  const int w = m.Width - aw, h = m.Height;
  const int sg = gw > 0 ? m.Spacing : 0;
  const int sc = GapWithCaption(m);
  int x1 = 0, x2 = 0, top = 0, bottom = 0;
  if (SideBySide(m.Layout)) {
    const int dx = (w - gw - sc - tw) / 2 - mo;
    top = (h - th) / 2;
    bottom = h - top;
    const bool left = m.Layout == blGlyphLeft;
    switch (m.Alignment) {
      case taLeftJustify:
        x1 = left ? gw + m.Margin + sg : mo;
        x2 = left ? w - mo - 2 * dx : x1 + tw;
        break;
      case taRightJustify:
        x1 = left ? mo + 2 * dx + gw + sg : mo + 2 * dx;
        x2 = left ? w - mo : x1 + tw;
        break;
      case taCenter:
        x1 = left ? gw + mo + dx + sg : mo + dx;
        x2 = left ? w - mo - dx : x1 + tw;
        break;
    }
  } else {
    const int dy = (h - gh - sc - th) / 2 - mo;
    x1 = (m.Width - tw - aw) / 2;
    x2 = m.Width - x1 - aw;
    if (m.Layout == blGlyphTop) {
      top = gh + mo + dy + sc;
      bottom = h - dy - mo;
    } else {
      top = mo + dy;
      bottom = h - dy - mo - gh - sc;
    }
  }
  const TRect r{x1 - 1 + m.TextOffset, top, x2 + 2 + m.TextOffset, bottom};
  return m.State == 2 ? Moved(r, 1, 1) : r;
}

TRect ButtonMainPart(int width, int height, int arrowWidth) {
  return {0, 0, width - arrowWidth, height};
}

TRect DropDownStrip(int width, int height, int arrowWidth) {
  return {width - arrowWidth, 0, width, height};
}

TRect DropDownArrowRect(const TRect& strip, TSize frame) {
  const int x = strip.Left + (strip.Width() - frame.cx) / 2 + 1;
  const int y = strip.Top + (strip.Height() - frame.cy) / 2;
  return {x, y, x + frame.cx, y + frame.cy};
}

TsArrowTriangle DropDownTriangle(const TRect& strip, bool pressed) {
  const int shift = pressed ? 1 : 0;
  const int x = strip.Left + (strip.Width() - 5) / 2 + shift;
  const int y = strip.Top + (strip.Height() - 5) / 2 + shift;
  return {{{x, y}, {x + 5, y}, {x + 2, y + 5}}};
}

TRect DividerColumn(int width, int height, int maskWidth) {
  const int left = (width - maskWidth) / 2;
  return {left, 0, left + maskWidth, height};
}

TRect DividerEdge(int width, int height, bool themed) {
  const int left = width / 2 - 1;
  return {left, 0, left + (themed ? 4 : 2), height};
}

TSize CheckGlyphSize(int imageWidth, int imageHeight) {
  return {std::max(0, imageWidth) / 3, std::max(0, imageHeight) / 2};
}

TAlignment CheckControlsAlignment(TAlignment alignment, bool rightToLeft) {
  if (!rightToLeft) return alignment;
  return alignment == taRightJustify ? taLeftJustify : taRightJustify;
}

TRect CheckGlyphRect(const TsCheckMetrics& m) {
  const int top = (m.Height - m.Glyph.cy) / 2;
  const int left = m.GlyphAtLeft ? m.Margin : m.Width - m.Glyph.cx - m.Margin;
  return {left, top, left + m.Glyph.cx, top + m.Glyph.cy};
}

int CheckGlyphState(bool pressed, bool hot, bool readOnly) {
  if (pressed) return 2;
  return hot && !readOnly ? 1 : 0;
}

int CheckCaptionMaxWidth(const TsCheckMetrics& m) {
  return std::max(0, m.Width - (m.Glyph.cx + m.TextIndent + 2 * m.Margin + 2));
}

TRect CheckCaptionRect(const TsCheckMetrics& m, TSize text) {
  const int maxWidth = CheckCaptionMaxWidth(m);
  const int top = std::max((m.Height - text.cy) / 2, m.Margin);
  TRect r{0, top, 0, top + text.cy};
  if (m.GlyphAtLeft) {
    r.Left = m.Width - maxWidth - m.Margin + 2;
    r.Right = m.Radio ? m.Width - m.Margin : r.Left + text.cx;
  } else {
    r.Left = m.Margin;
    r.Right = m.Margin + maxWidth;
  }
  return Moved(r, m.WordWrap ? -1 : 0, -1);
}

TRect CheckFocusRect(const TRect& caption, bool wordWrap) {
  TRect r = caption;
  ++r.Top;
  if (!wordWrap) --r.Bottom;
  InflateRect(r, 1, 1);
  return r;
}

TSize CheckAutoSize(const TsCheckMetrics& m, TSize text, bool hasCaption) {
  const int width = m.Glyph.cx + 2 * m.Margin + (hasCaption ? text.cx + m.TextIndent + 8 : 0);
  const int height = std::max(m.Glyph.cy, (hasCaption ? text.cy : 0) + 2 * m.Margin) + 2;
  return {width, height};
}

}  // namespace kv
