// Windowless children's pixels copied over a container's picture.
#include "skin/core/sVclUtils.h"

#include <gtest/gtest.h>

#include "skin/graphics/sGraphUtils.h"

namespace kv {
namespace {

void Fill(TBitmap& b, TRect r, std::uint32_t bgr) {
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x) {
      std::uint8_t* p = b.ScanLine(y) + 3 * x;
      p[0] = bgr & 0xFF, p[1] = (bgr >> 8) & 0xFF, p[2] = bgr >> 16;
    }
}

std::uint32_t At(const TBitmap& b, int x, int y) {
  const std::uint8_t* p = b.ScanLine(y) + 3 * x;
  return p[0] | p[1] << 8 | p[2] << 16;
}

TEST(CopyPaintedChildren, CopiesChildRectanglesExceptUnpaintedPixels) {
  auto target = NewBitmap24(20, 10);
  auto painted = NewBitmap24(20, 10);
  Fill(*target, {0, 0, 20, 10}, 0x111111);
  Fill(*painted, {0, 0, 20, 10}, 0x222222);  // background, also outside the children
  Fill(*painted, {3, 3, 5, 5}, 0xFF00FF);    // a hole in the first child
  CopyPaintedChildren(target.get(), painted.get(), {{2, 2, 6, 6}, {15, 8, 25, 12}, {9, 0, 9, 5}});
  const struct {
    int x, y;
    std::uint32_t colour;
  } rows[] = {{2, 2, 0x222222}, {5, 5, 0x222222}, {3, 3, 0x111111},  {4, 4, 0x111111},
              {6, 6, 0x111111}, {1, 2, 0x111111}, {15, 8, 0x222222}, {19, 9, 0x222222},
              {9, 0, 0x111111}, {14, 8, 0x111111}};
  for (const auto& r : rows) EXPECT_EQ(r.colour, At(*target, r.x, r.y)) << r.x << "," << r.y;
}

}  // namespace
}  // namespace kv
