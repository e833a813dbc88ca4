#include "skin/model/sGradient.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>
#include <tuple>
#include <vector>

#include "base/Bitmap.h"
#include "skin/model/acSkinErrors.h"
#include "skin/model/sMaskData.h"

namespace kv {
namespace {

// Stops as (Color1, Color2, Percent, Mode).
using Stop = std::tuple<int, int, int, int>;

std::vector<Stop> Parsed(std::string_view text) {
  TsGradArray a{TsGradStop{1, 2, 3, 4}};  // replaced, not appended to
  ParseGradientData(text, a);
  std::vector<Stop> out;
  for (const TsGradStop& s : a) out.emplace_back(s.Color1, s.Color2, s.Percent, s.Mode);
  return out;
}

TEST(sGradient, ParsesGroupsOfFiveSkippingEmptyFieldsAndClampingValues) {
  const struct {
    const char* text;
    std::vector<Stop> stops;
  } cases[] = {
      {"", {}},
      {"255;65280;50;1;0;1;2;3;4", {{255, 65280, 50, 1}}},  // an incomplete group is dropped
      {";255;;65280;50;;1;0;", {{255, 65280, 50, 1}}},
      {"-5;7;150;0;0;1;2;-3;2;0", {{0, 7, 100, 0}, {1, 2, 0, 2}}},
  };
  for (const auto& c : cases) EXPECT_EQ(Parsed(c.text), c.stops) << c.text;
}

TEST(sGradient, AWordThatIsNoNumberRaises) {
  TsGradArray a;
  try {
    ParseGradientData("1;2;x;0;0", a);
    ADD_FAILURE() << "accepted";
  } catch (const ESkinError& e) {
    EXPECT_STREQ(e.what(), "'x' is not a valid integer value");
  }
}

// The stops parsed before the bad word stay; the one it is in and the rest are zero.
TEST(sGradient, AFailedParseKeepsTheStopsBeforeTheBadWord) {
  TsGradArray a;
  EXPECT_THROW(ParseGradientData("1;2;30;1;0;5;y;7;1;0;8;9;10;1;0", a), ESkinError);
  std::vector<Stop> got;
  for (const TsGradStop& s : a) got.emplace_back(s.Color1, s.Color2, s.Percent, s.Mode);
  EXPECT_EQ(got, (std::vector<Stop>{{1, 2, 30, 1}, {5, 0, 0, 0}, {0, 0, 0, 0}}));
}

TEST(sMaskData, FrameAndStateSizesNeverDivideByZero) {
  TsMaskData m;
  m.R = {0, 0, 90, 40};
  m.ImageCount = 3;
  m.MaskType = 1;
  EXPECT_EQ(MaskFrameWidth(m), 30);
  EXPECT_EQ(MaskStateHeight(m), 20);
  m.ImageCount = 0;
  m.MaskType = -1;
  EXPECT_EQ(MaskFrameWidth(m), 0);
  EXPECT_EQ(MaskStateHeight(m), 0);
}

std::uint32_t PixelAt(const TBitmap& bmp, int x, int y) {
  const std::uint8_t* p = bmp.ScanLine(y) + bmp.BytesPerPixel() * x;
  return p[2] | (p[1] << 8) | (p[0] << 16);
}

TsGradArray Stops(std::string_view text) {
  TsGradArray a;
  ParseGradientData(text, a);
  return a;
}

TEST(sGradient, VerticalBandsShareTheirBoundaryRowWithTheLaterStop) {
  TBitmap bmp(4, 100, pf24bit);
  // Stop 1: red to blue; stop 2: green to white.
  PaintGradientArray(bmp, Rect(0, 0, 4, 100), Stops("255;16711680;50;0;0;65280;16777215;50;0;0"),
                     0);
  EXPECT_EQ(PixelAt(bmp, 0, 0), 0x0000FFu);
  EXPECT_EQ(PixelAt(bmp, 3, 49), 0xFA0005u);  // 49/50 of the way to blue
  EXPECT_EQ(PixelAt(bmp, 0, 50), 0x00FF00u);
  EXPECT_EQ(PixelAt(bmp, 0, 99), 0xFFFFFFu);
}

// Percents that add up to less than 100: the last band still runs to the
// bottom row, ending in its second colour.
TEST(sGradient, TheLastVerticalBandReachesTheBottomWhateverThePercents) {
  for (const char* stops : {"255;16711680;30;0;0;65280;16777215;30;0;0",
                            "255;16711680;10;0;0;65280;16777215;0;0;0", "65280;16777215;1;0;0"}) {
    TBitmap bmp(3, 50, pf24bit);
    PaintGradientArray(bmp, Rect(0, 0, 3, 50), Stops(stops), 0);
    EXPECT_EQ(PixelAt(bmp, 1, 49), 0xFFFFFFu) << stops;
    for (int y = 0; y < 50; ++y) EXPECT_NE(PixelAt(bmp, 2, y), 0u) << stops << ", row " << y;
  }
}

TEST(sGradient, HorizontalBandsRunLeftToRightOnEveryRow) {
  TBitmap bmp(11, 3, pf32bit);
  PaintGradientArray(bmp, Rect(0, 0, 11, 3), Stops("0;16777215;100;1;0"), 0);
  for (int y = 0; y < 3; ++y) {
    EXPECT_EQ(PixelAt(bmp, 0, y), 0u);
    EXPECT_EQ(PixelAt(bmp, 5, y), 0x808080u);  // 127.5 rounds to even
    EXPECT_EQ(PixelAt(bmp, 10, y), 0xFFFFFFu);
    EXPECT_EQ(bmp.ScanLine(y)[4 * 5 + 3], 255);
  }
}

// Each row alike, and only inside the rectangle: what lies beside it and a
// rectangle too narrow for any band keep what they had.
TEST(sGradient, HorizontalBandsStayInsideTheirRectangle) {
  for (TPixelFormat format : {pf24bit, pf32bit}) {
    TBitmap bmp(12, 5, format);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 12; ++x) bmp.ScanLine(y)[bmp.BytesPerPixel() * x] = 0x11;
    PaintGradientArray(bmp, Rect(3, 1, 9, 4), Stops("0;16777215;50;1;0;255;255;50;1;0"), 0);
    PaintGradientArray(bmp, Rect(10, 0, 11, 5), Stops("255;255;100;1;0"), 0);
    for (int y = 0; y < 5; ++y) {
      const bool inside = y >= 1 && y < 4;
      EXPECT_EQ(PixelAt(bmp, 2, y), 0x110000u) << y;
      EXPECT_EQ(PixelAt(bmp, 9, y), 0x110000u) << y;
      EXPECT_EQ(PixelAt(bmp, 10, y), 0x110000u) << "one column: no band fits";
      EXPECT_EQ(PixelAt(bmp, 3, y), inside ? 0u : 0x110000u) << y;
      EXPECT_EQ(PixelAt(bmp, 8, y), inside ? 0x0000FFu : 0x110000u) << y;
      if (inside) {
        EXPECT_EQ(PixelAt(bmp, 5, y), PixelAt(bmp, 5, 1)) << "rows alike";
      }
    }
  }
}

TEST(sGradient, TrianglesTakeOneColourPerCorner) {
  TBitmap bmp(40, 40, pf24bit);
  PaintGradientArray(bmp, Rect(0, 0, 40, 40), Stops("255;0;0;2;0;65280;0;0;0;0;16711680;0;0;0;0"),
                     0);
  auto channel = [&](int x, int y, int shift) { return (PixelAt(bmp, x, y) >> shift) & 0xFF; };
  EXPECT_GT(channel(0, 0, 0), 200u);    // red at the top-left corner
  EXPECT_GT(channel(20, 20, 8), 200u);  // green at the centre
  EXPECT_GT(channel(39, 0, 16), 200u);  // blue at the top-right corner
  // Vertices 3 and 4 repeat the last colour given.
  EXPECT_GT(channel(39, 39, 16), 200u);
  EXPECT_GT(channel(0, 39, 16), 200u);
}

TEST(sGradient, PaintsOnlyInsideTheBitmapWhateverRectangleAndOffset) {
  TBitmap bmp(8, 8, pf24bit);
  const TsGradArray down = Stops("255;255;60;0;0;65280;65280;40;0;0");
  for (int offset : {-1000000, -20, -3, 0, 5, 1000000, INT32_MIN, INT32_MAX}) {
    PaintGradientArray(bmp, Rect(-5, -5, 20, 20), down, offset);
    PaintGradientArray(bmp, Rect(6, 6, 2, 2), down, offset);
  }
  PaintGradientArray(bmp, Rect(-50, 2, 50, 4), Stops("255;255;100;1;0"), 0);
  PaintGradientArray(bmp, Rect(-50, -50, 50, 50), Stops("255;0;0;2;0"), 0);
  EXPECT_EQ(PixelAt(bmp, 0, 3), 0x0000FFu);
}

TEST(sGradient, UnknownKindsAndEmptyArraysPaintNothing) {
  TBitmap bmp(4, 4, pf24bit);
  PaintGradientArray(bmp, Rect(0, 0, 4, 4), Stops("255;255;100;7;0"), 0);
  PaintGradientArray(bmp, Rect(0, 0, 4, 4), {}, 0);
  EXPECT_EQ(PixelAt(bmp, 1, 1), 0u);
}

}  // namespace
}  // namespace kv
