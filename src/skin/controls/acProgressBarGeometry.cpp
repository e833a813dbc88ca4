#include "skin/controls/acProgressBarGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kv {

namespace {

// Nearest integer, halves to even.
int RoundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

// The length of `part` out of the range, rounded; the range is not empty.
int Scaled(const TacProgressBarShape& bar, std::int64_t part, int length) {
  const std::int64_t range = std::int64_t{bar.Max} - bar.Min;
  return RoundHalfEven(static_cast<double>(part) * length / static_cast<double>(range));
}

bool EmptyRange(const TacProgressBarShape& bar) { return bar.Max <= bar.Min; }

std::int64_t Done(const TacProgressBarShape& bar) { return std::int64_t{bar.Position} - bar.Min; }

int InnerLength(const TacProgressBarShape& bar) {
  const TRect inner = ProgressInnerRect(bar);
  return bar.Vertical ? inner.Height() : inner.Width();
}

int BlockLength(const TacProgressBarShape& bar) {
  const TSize block = ProgressBlockSize(bar);
  return bar.Vertical ? block.cy : block.cx;
}

bool BlockPaintable(TSize block) { return block.cx >= 2 && block.cy >= 2; }

}  // namespace

TRect ProgressInnerRect(const TacProgressBarShape& bar) {
  TRect r{0, 0, bar.Width, bar.Height};
  InflateRect(r, -1 - bar.BorderWidth, -1 - bar.BorderWidth);
  return r;
}

TSize ProgressBlockSize(const TacProgressBarShape& bar) {
  const TRect inner = ProgressInnerRect(bar);
  const int thickness = std::max(0, bar.Vertical ? inner.Width() : inner.Height());
  int along;
  if (bar.Marquee) {
    along = MarqueeBlockLength;
  } else if (bar.Smooth) {
    const TRect p = ProgressRect(bar);
    along = bar.Vertical ? p.Height() : p.Width();
  } else {
    along = RoundHalfEven(thickness * 0.66) - 2;
  }
  // Bars of a pixel or less would give negative blocks.
  along = std::max(0, along);
  return bar.Vertical ? TSize{thickness, along} : TSize{along, thickness};
}

TRect ProgressRect(const TacProgressBarShape& bar) {
  TRect r = ProgressInnerRect(bar);
  if (bar.Marquee) {
    if (bar.Vertical) {
      r.Bottom -= bar.MarqueePos;
      r.Top = r.Bottom - bar.MarqueeWidth;
    } else {
      r.Left += bar.MarqueePos;
      r.Right = r.Left + bar.MarqueeWidth;
    }
    return r;
  }
  if (EmptyRange(bar)) return r;
  if (bar.Vertical)
    r.Top = r.Bottom - Scaled(bar, Done(bar), bar.Height - 2 * r.Top);
  else
    r.Right = r.Left + Scaled(bar, Done(bar), bar.Width - 2 * r.Left);
  return r;
}

int ProgressBlockCount(const TacProgressBarShape& bar) {
  if (bar.Marquee || bar.Smooth || EmptyRange(bar)) return 0;
  const int block = BlockLength(bar);
  if (!BlockPaintable(ProgressBlockSize(bar))) return 0;
  return std::max(0, (InnerLength(bar) - 2) / (block + 2));
}

int ProgressFilledBlocks(const TacProgressBarShape& bar) {
  const int blocks = ProgressBlockCount(bar);
  if (blocks == 0) return 0;
  return Scaled(bar, Done(bar), blocks);
}

std::vector<TRect> ProgressPieces(const TacProgressBarShape& bar) {
  std::vector<TRect> pieces;
  const TRect p = ProgressRect(bar);
  const TSize block = ProgressBlockSize(bar);
  if (EmptyRange(bar) || IsRectEmpty(p) || !BlockPaintable(block)) return pieces;
  const int bw = block.cx, bh = block.cy;

  if (bar.Marquee) {
    // The blocks run off one end and come back in at the other.
    for (int i = 0; i < MarqueeBlocks; ++i) {
      if (bar.Vertical) {
        int y = p.Bottom - i * (bh + 1) - bh;
        if (y < 0) y += bar.Height;
        pieces.push_back(Bounds(p.Left, y, bw, bh));
      } else {
        int x = p.Left + i * (bw + 1);
        if (x > bar.Width) x -= bar.Width;
        pieces.push_back(Bounds(x, p.Top, bw, bh));
      }
    }
    return pieces;
  }

  if (bar.Smooth) {
    pieces.push_back(p);
    return pieces;
  }

  if (Done(bar) == 0) return pieces;
  const int length = InnerLength(bar) - 2;
  const int blockLength = bar.Vertical ? bh : bw;
  const int blocks = ProgressBlockCount(bar);
  if (blocks <= 1) return pieces;
  const int gap = (length - blocks * blockLength) / (blocks - 1);
  const int filled = ProgressFilledBlocks(bar);
  for (int i = 0; i < filled; ++i) {
    if (bar.Vertical)
      pieces.push_back(Bounds(p.Left, p.Bottom - i * (bh + gap) - bh, bw, bh));
    else
      pieces.push_back(Bounds(p.Left + i * (bw + gap), p.Top, bw, bh));
  }

  // A full bar also fills the room its last block leaves.
  if (bar.Position == bar.Max && filled > 0) {
    const int room = length - (filled - 1) * (blockLength + gap) - blockLength;
    if (room > 3) {
      if (bar.Vertical) {
        const int inner = ProgressInnerRect(bar).Height();
        pieces.push_back(Bounds(p.Left, p.Top, bw, inner - filled * (bh + gap)));
      } else {
        // Kept inside the bar when the gaps are wider than the frame.
        const int x = p.Left + filled * (bw + gap);
        pieces.push_back({x, p.Top, std::min(x + room, p.Right), p.Top + bh});
      }
    }
  }
  return pieces;
}

bool TacProgressBlockCache::NeedsBuild(const TacProgressBarShape& bar, bool cacheFits) {
  if (bar.Marquee || bar.Smooth) return true;
  const int filled = ProgressFilledBlocks(bar);
  // A cache of another size is built anyway; it shows these blocks then.
  const bool same = cacheFits && filled == LastBlocks && bar.Position != bar.Max;
  LastBlocks = filled;
  return !same;
}

std::string ProgressSectionName(const std::string& progressSkin, bool vertical) {
  if (!progressSkin.empty()) return progressSkin;
  return vertical ? "PROGRESSV" : "PROGRESSH";
}

int MarqueeNextPos(int pos, int step, int direction, int width) {
  pos += direction * step;
  return pos >= width - step ? 0 : pos;
}

}  // namespace kv
