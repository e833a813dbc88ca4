#include "skin/forms/acBorderFormGeometry.h"

#include <algorithm>
#include <cstring>

#include "skin/forms/sSkinProviderHitTest.h"

namespace kv {

namespace {

// Codes of the companion's own (HTSYSMENU, HTCAPTION, ...) as Windows has them.
constexpr int kHelp = 21;

std::optional<int> ButtonCode(const TacBorderHitFrame& f, const TsPlacedTitleButton& b) {
  switch (b.HitCode) {
    case TitleHit::Close:
      return TitleHit::Close;
    case TitleHit::MaxButton:
      if (f.DialogOwner) return std::nullopt;
      return EnabledMax(f.Form) || EnabledRestore(f.Form) ? TitleHit::MaxButton : FrameHit::Caption;
    case TitleHit::MinButton:
      if (f.DialogOwner) return std::nullopt;
      return EnabledMin(f.Form) || f.Form.Iconic ? TitleHit::MinButton : FrameHit::Caption;
    case TitleHit::Help:
      return f.HelpButton ? std::optional<int>(kHelp) : std::nullopt;
    default:
      if (!IsUserTitleHit(b.HitCode) || f.DialogOwner || !b.Enabled) return std::nullopt;
      return b.HitCode;
  }
}

std::optional<int> SizingBand(const TacBorderHitFrame& f, TPoint p) {
  if (f.Form.WindowState == wsMaximized || f.Form.Zoomed || !f.ThickFrame) return std::nullopt;
  // The bands lie inside the shadow margins.
  const TRect& s = f.Shadow;
  const int b = f.BorderWidth;
  const bool left = p.X < s.Left + b, right = p.X >= f.Size.cx - s.Right - b;
  const bool top = p.Y < s.Top + b, bottom = p.Y >= f.Size.cy - s.Bottom - b;
  if (top) return left ? FrameHit::TopLeft : right ? FrameHit::TopRight : FrameHit::Top;
  if (bottom) return left ? FrameHit::BottomLeft : right ? FrameHit::BottomRight : FrameHit::Bottom;
  if (left) return FrameHit::Left;
  if (right) return FrameHit::Right;
  return std::nullopt;
}

}  // namespace

TPoint BorderFormOrigin(TPoint ownerTopLeft, TPoint frameOffset) {
  return {ownerTopLeft.X - frameOffset.X, ownerTopLeft.Y - frameOffset.Y};
}

std::optional<TRect> BorderRegionRect(const TacBorderRegionInput& in) {
  if (!in.Maximised) return std::nullopt;
  const int side = in.ExtraBorder + in.FrameBorder;
  const TRect& s = in.Shadow;
  return Rect(s.Left + side, s.Top + 4, in.Size.cx - s.Right - side, in.Size.cy - s.Bottom - side);
}

bool InShadow(TPoint p, TSize size, const TRect& shadow, bool maximised) {
  if (maximised) return false;
  return p.X < shadow.Left || p.X >= size.cx - shadow.Right || p.Y < shadow.Top ||
         p.Y >= size.cy - shadow.Bottom;
}

TacBorderHit BorderFormHitTest(const TacBorderHitFrame& f, TPoint p) {
  if (!f.Enabled) return {};
  const bool maximised = f.Form.WindowState == wsMaximized || f.Form.Zoomed;
  if (InShadow(p, f.Size, f.Shadow, maximised)) return {};
  for (const TsPlacedTitleButton& b : f.Buttons) {
    if (!PtInRect(b.Rect, p)) continue;
    if (const auto code = ButtonCode(f, b)) return {*code, true};
  }
  if (const auto code = SizingBand(f, p)) return {*code, false};
  const int titleTop = f.Shadow.Top;
  const int titleBottom = titleTop + f.TitleHeight;
  if (p.Y >= titleTop && p.Y < titleBottom)
    return {PtInRect(f.TitleIcon, p) ? FrameHit::SysMenu : FrameHit::Caption, false};
  if (p.Y >= titleBottom && p.Y < titleBottom + f.MenuHeight) return {FrameHit::Menu, false};
  if (f.Grip && PtInRect(*f.Grip, p)) return {FrameHit::BottomRight, false};
  return {};
}

namespace {

// Source coordinate of a destination one in a nine-part stretch: the first
// `head` and last `tail` of `to` come from the same ends of `from`, the
// middle is stretched.
int NinePartSource(int x, int to, int from, int head, int tail) {
  head = std::min(head, from / 2);
  tail = std::min(tail, from - head);
  if (x < head) return x;
  if (x >= to - tail) return from - (to - x);
  const int middleTo = to - head - tail, middleFrom = from - head - tail;
  if (middleTo <= 0 || middleFrom <= 0) return std::clamp(head, 0, from - 1);
  return head + (x - head) * middleFrom / middleTo;
}

}  // namespace

void PaintShadowAround(TBitmap& picture, const TBitmap& shadow, const TRect& source,
                       const TRect& margins, int formOffset) {
  if (picture.PixelFormat() != pf32bit || shadow.PixelFormat() != pf32bit || picture.Empty())
    return;
  const TRect src =
      Rect(std::max(source.Left, 0), std::max(source.Top, 0),
           std::min(source.Right, shadow.Width()), std::min(source.Bottom, shadow.Height()));
  if (src.Width() <= 0 || src.Height() <= 0) return;
  const int w = picture.Width(), h = picture.Height();
  const TRect& m = margins;
  for (int y = 0; y < h; ++y) {
    const bool shadowRow = y < m.Top || y >= h - m.Bottom;
    const int sy =
        src.Top + NinePartSource(y, h, src.Height(), m.Top + formOffset, m.Bottom + formOffset);
    const std::uint8_t* from = shadow.ScanLine(sy);
    std::uint8_t* to = picture.ScanLine(y);
    for (int x = 0; x < w; ++x) {
      if (!shadowRow && x >= m.Left && x < w - m.Right) {
        x = w - m.Right - 1;  // the frame: on to the right margin
        continue;
      }
      const int sx =
          src.Left + NinePartSource(x, w, src.Width(), m.Left + formOffset, m.Right + formOffset);
      std::memcpy(to + 4 * x, from + 4 * sx, 4);
    }
  }
}

void MakeFrameOpaque(TBitmap& picture, const TRect& margins) {
  if (picture.PixelFormat() != pf32bit) return;
  const int right = picture.Width() - margins.Right;
  const int bottom = picture.Height() - margins.Bottom;
  for (int y = std::max(margins.Top, 0); y < bottom; ++y) {
    std::uint8_t* p = picture.ScanLine(y);
    for (int x = std::max(margins.Left, 0); x < right; ++x) p[4 * x + 3] = 255;
  }
}

}  // namespace kv
