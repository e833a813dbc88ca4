#include "base/Types.h"

#include <algorithm>

namespace kv {

bool IsRectEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

bool PtInRect(const TRect& r, TPoint p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

bool EqualRect(const TRect& a, const TRect& b) { return a == b; }

void SetRect(TRect& r, int32_t left, int32_t top, int32_t right, int32_t bottom) {
  r = {left, top, right, bottom};
}

void SetRectEmpty(TRect& r) { r = {}; }

bool OffsetRect(TRect& r, int32_t dx, int32_t dy) {
  r.Left += dx;
  r.Right += dx;
  r.Top += dy;
  r.Bottom += dy;
  return true;
}

bool InflateRect(TRect& r, int32_t dx, int32_t dy) {
  r.Left -= dx;
  r.Right += dx;
  r.Top -= dy;
  r.Bottom += dy;
  return true;
}

bool IntersectRect(TRect& dst, const TRect& a, const TRect& b) {
  const TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                std::min(a.Bottom, b.Bottom)};
  if (IsRectEmpty(r)) {
    dst = {};
    return false;
  }
  dst = r;
  return true;
}

bool UnionRect(TRect& dst, const TRect& a, const TRect& b) {
  const bool aEmpty = IsRectEmpty(a);
  const bool bEmpty = IsRectEmpty(b);
  if (aEmpty && bEmpty) {
    dst = {};
    return false;
  }
  if (aEmpty) {
    dst = b;
  } else if (bEmpty) {
    dst = a;
  } else {
    dst = {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
           std::max(a.Bottom, b.Bottom)};
  }
  return true;
}

bool SubtractRect(TRect& dst, const TRect& a, const TRect& b) {
  TRect r = a;
  TRect common;
  if (IntersectRect(common, a, b)) {
    const bool fullWidth = common.Left == a.Left && common.Right == a.Right;
    const bool fullHeight = common.Top == a.Top && common.Bottom == a.Bottom;
    if (fullWidth && common.Top == a.Top) {
      r.Top = common.Bottom;
    } else if (fullWidth && common.Bottom == a.Bottom) {
      r.Bottom = common.Top;
    } else if (fullHeight && common.Left == a.Left) {
      r.Left = common.Right;
    } else if (fullHeight && common.Right == a.Right) {
      r.Right = common.Left;
    }
  }
  if (IsRectEmpty(r)) {
    dst = {};
    return false;
  }
  dst = r;
  return true;
}

TPoint CenterPoint(const TRect& r) {
  return {static_cast<int32_t>((static_cast<int64_t>(r.Left) + r.Right) / 2),
          static_cast<int32_t>((static_cast<int64_t>(r.Top) + r.Bottom) / 2)};
}

}  // namespace kv
