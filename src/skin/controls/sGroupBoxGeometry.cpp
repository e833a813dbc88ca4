#include "skin/controls/sGroupBoxGeometry.h"

#include <algorithm>

namespace kv {

TRect GroupCaptionRect(const TsGroupCaptionMetrics& m) {
  const int height = std::max(4, m.TextHeight) + 2;
  TRect r;
  r.Top = 0;
  r.Bottom = height;
  if (m.Skinned) {
    r.Bottom = height + m.YOffset;
    if (m.YOffset < 0) r.Top = m.YOffset;
  }
  const bool nearEdge =
      (m.Layout == clTopLeft && !m.RightToLeft) || (m.Layout == clTopRight && m.RightToLeft);
  if (m.Layout == clTopCenter)
    r.Left = (m.Width - m.TextWidth - 10) / 2;
  else if (nearEdge)
    r.Left = 6;
  else
    r.Left = m.Width - m.TextWidth - 14;
  r.Left = std::max(r.Left, 0);
  r.Right = std::min(r.Left + m.TextWidth + 8, m.Width);
  if (r.Width() < 2 * m.BorderWidth) {
    r.Left -= m.BorderWidth;
    r.Right += m.BorderWidth;
  }
  return r;
}

int GroupFrameTop(const TRect& caption, int yOffset) {
  return yOffset >= 0 ? caption.Height() / 2 : 0;
}

}  // namespace kv
