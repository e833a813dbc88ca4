// The skinned bevel under Wine with the synthetic skin: the strips each shape
// cuts from its section's item, and the section following shape and style.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "skin/controls/SkinnedForm.h"
#include "skin/controls/sBevel_win.h"

namespace kv {
namespace {

using kvtest::TPixels;

constexpr int kLeft = 20, kTop = 10, kWidth = 100, kHeight = 60;

class Bevel : public kvtest::TSkinnedForm {
 protected:
  void SetUp() override {
    TSkinnedForm::SetUp();
    bevel = Create<TsBevel>(form);
    bevel->SetParent(form);
    bevel->SetBounds(kLeft, kTop, kWidth, kHeight);
  }
  TPixels BevelShot() { return Shot().Crop({kLeft, kTop, kLeft + kWidth, kTop + kHeight}); }

  TsBevel* bevel = nullptr;
};

// Inside the strips the section's item shows, everywhere else the form. The
// section follows shape and style as they change (a top line becoming a
// frame takes "GROUPBOX").
TEST_F(Bevel, EachShapeShowsItsStripsOfTheSection) {
  constexpr int w = kWidth, h = kHeight;
  const struct {
    TBevelShape shape;
    TBevelStyle style;
    std::string section;
    std::vector<RECT> strips;
  } rows[] = {
      {bsTopLine, bsLowered, "PANEL_LOW", {{3, 0, w - 3, 3}}},
      {bsBottomLine, bsRaised, "PANEL", {{3, h - 3, w - 3, h}}},
      {bsLeftLine, bsLowered, "PANEL_LOW", {{0, 3, 3, h - 3}}},
      {bsRightLine, bsLowered, "PANEL_LOW", {{w - 3, 3, w, h - 3}}},
      {bsBox, bsRaised, "PANEL", {{0, 0, w, 3}, {0, h - 3, w, h}, {0, 0, 3, h}, {w - 3, 0, w, h}}},
      {bsFrame,
       bsLowered,
       "GROUPBOX",
       {{0, 0, w, 3}, {0, h - 3, w, h}, {0, 0, 3, h}, {w - 3, 0, w, h}}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "shape " << row.shape << ", style " << row.style);
    bevel->SetShape(row.shape);
    bevel->SetStyle(row.style);
    EXPECT_EQ(bevel->SkinData()->SkinSection(), row.section);
    const TPixels shot = BevelShot();
    int outside = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const bool inStrip = std::any_of(row.strips.begin(), row.strips.end(), [&](const RECT& r) {
          return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
        });
        const std::string section = SectionOf(shot.At(x, y));
        // Transparent mask corners show the form too.
        if (inStrip && section != row.section) {
          EXPECT_EQ(shot.At(x, y), ColorToRGB(kvtest::kFormColour)) << x << "," << y;
        }
        if (!inStrip) outside += shot.At(x, y) != ColorToRGB(kvtest::kFormColour);
      }
    EXPECT_EQ(0, outside) << "painted outside its strips";
    if (row.strips.empty()) continue;
    const RECT& first = row.strips.front();
    EXPECT_EQ(SectionOf(shot.At((first.left + first.right) / 2, (first.top + first.bottom) / 2)),
              row.section);
  }
}

}  // namespace
}  // namespace kv
