// The skinned progress bar under Wine with the synthetic skin: its section
// with the progress pieces where the bar's arithmetic puts them, the empty
// range of the configurator's own bar, the cache kept while no block
// boundary is crossed, and the marquee stepped by its timer's messages.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "skin/controls/SkinnedForm.h"
#include "skin/controls/acProgressBarGeometry.h"
#include "skin/controls/acProgressBar_win.h"

namespace kv {
namespace {

using kvtest::TPixels;

constexpr int kLeft = 10, kTop = 10;

class ProgressBar : public kvtest::TSkinnedForm {
 protected:
  void SetUp() override {
    TSkinnedForm::SetUp();
    bar = Create<TsProgressBar>(form);
    bar->SetParent(form);
    bar->SetBounds(kLeft, kTop, 202, 22);
  }
  // The bar alone, cut out of the form.
  TPixels BarShot() {
    return Shot().Crop({kLeft, kTop, kLeft + bar->Width(), kTop + bar->Height()});
  }
  TacProgressBarShape ShapeOf() const {
    TacProgressBarShape shape;
    shape.Width = bar->Width();
    shape.Height = bar->Height();
    shape.Vertical = bar->Orientation() == pbVertical;
    shape.Smooth = bar->Smooth();
    shape.Marquee = bar->Style() == pbstMarquee;
    shape.Min = bar->Min();
    shape.Max = bar->Max();
    shape.Position = bar->Position();
    shape.MarqueePos = bar->MarqueePos();
    return shape;
  }
  // Every piece's middle shows the progress section, and no pixel outside
  // the pieces does.
  void ExpectPieces(const TPixels& shot, const std::string& section) {
    const std::vector<TRect> pieces = ProgressPieces(ShapeOf());
    for (const TRect& p : pieces) {
      const int x = std::clamp((p.Left + p.Right) / 2, 0, shot.Width() - 1);
      EXPECT_EQ(SectionOf(shot.At(x, (p.Top + p.Bottom) / 2)), section)
          << "piece at " << p.Left << "," << p.Top;
    }
    int outside = 0, inside = 0;
    for (int y = 0; y < shot.Height(); ++y)
      for (int x = 0; x < shot.Width(); ++x) {
        if (SectionOf(shot.At(x, y)) != section) continue;
        const bool in = std::any_of(pieces.begin(), pieces.end(), [&](const TRect& p) {
          return x >= p.Left && x < p.Right && y >= p.Top && y < p.Bottom;
        });
        ++(in ? inside : outside);
      }
    EXPECT_EQ(0, outside) << "pixels of " << section << " outside the pieces";
    EXPECT_EQ(pieces.empty(), inside == 0);
  }

  TsProgressBar* bar = nullptr;
};

TEST_F(ProgressBar, ShowsItsSectionWithBlocksAtNoneHalfAndFull) {
  for (const int position : {0, 50, 100}) {
    SCOPED_TRACE(testing::Message() << "at " << position);
    bar->SetPosition(position);
    const TPixels shot = BarShot();
    EXPECT_EQ(SectionOf(shot.At(0, 11)), "GAUGE");
    EXPECT_EQ(SectionOf(shot.At(201, 11)), "GAUGE") << "the frame";
    ExpectPieces(shot, "PROGRESSH");
  }
  EXPECT_EQ(16u, ProgressPieces(ShapeOf()).size()) << "a full bar fills its rest";
}

TEST_F(ProgressBar, SmoothAndVerticalBarsPaintTheirOwnPieces) {
  bar->SetSmooth(true);
  bar->SetPosition(30);
  ExpectPieces(BarShot(), "PROGRESSH");
  bar->SetSmooth(false);
  bar->SetOrientation(pbVertical);
  bar->SetBounds(kLeft, kTop, 22, 100);
  bar->SetPosition(70);
  ExpectPieces(Shot().Crop({kLeft, kTop, kLeft + 22, kTop + 100}), "PROGRESSV");
  bar->SetProgressSkin("BUTTON");
  ExpectPieces(Shot().Crop({kLeft, kTop, kLeft + 22, kTop + 100}), "BUTTON");
}

// The configurator's own bar: Max = Min = 0. Nothing to divide by, so only
// the bar's own section shows.
TEST_F(ProgressBar, AnEmptyRangeShowsBackgroundAndFrameOnly) {
  bar->SetMax(0);
  bar->SetMin(0);
  for (const bool smooth : {false, true}) {
    bar->SetSmooth(smooth);
    const TPixels shot = BarShot();
    for (int x = 0; x < shot.Width(); ++x)
      ASSERT_EQ(SectionOf(shot.At(x, 11)), "GAUGE") << "at " << x << ", smooth " << smooth;
  }
}

// A mark put into the cache survives a repaint exactly while no new block
// has to show.
TEST_F(ProgressBar, TheCacheIsRebuiltOnlyWhenABlockBoundaryIsCrossed) {
  bar->SetPosition(50);
  BarShot();
  TBitmap& cache = *bar->SkinData()->CacheBmp;
  const auto mark = [&] {
    std::uint8_t* p = cache.ScanLine(11) + 150 * cache.BytesPerPixel();
    p[0] = 0x12, p[1] = 0x34, p[2] = 0x56;
  };
  const auto marked = [&] { return BarShot().At(150, 11) == RGB(0x56, 0x34, 0x12); };
  const struct {
    int position;
    bool rebuilt;
  } steps[] = {{52, false}, {56, false}, {57, true}, {60, false}, {100, true}, {100, true}};
  for (const auto& step : steps) {
    mark();
    bar->SetPosition(step.position);
    EXPECT_EQ(step.rebuilt, !marked()) << "moving to " << step.position;
  }
}

TEST_F(ProgressBar, MarqueeStepsOnItsTimerAndStartsAgainAtTheLeft) {
  bar->SetPosition(40);
  bar->SetStyle(pbstMarquee);
  EXPECT_FALSE(bar->MarqueeRunning()) << "a timer without a window";
  BarShot();
  ASSERT_TRUE(bar->MarqueeRunning());
  BarShot();
  EXPECT_EQ(0, bar->MarqueePos());
  SendMessageW(bar->Handle(), WM_TIMER, TsProgressBar::MarqueeTimerId, 0);
  EXPECT_EQ(6, bar->MarqueePos());
  ExpectPieces(BarShot(), "PROGRESSH");
  // Another timer's tick is not the marquee's.
  SendMessageW(bar->Handle(), WM_TIMER, TsProgressBar::MarqueeTimerId + 1, 0);
  EXPECT_EQ(6, bar->MarqueePos());
  int steps = 1;
  while (bar->MarqueePos() != 0 && steps < 100) {
    SendMessageW(bar->Handle(), WM_TIMER, TsProgressBar::MarqueeTimerId, 0);
    ++steps;
  }
  EXPECT_EQ(33, steps) << "the window wraps once it reaches the width less a step";
  // The marquee paints at each step; a step is what the screen shows.
  SendMessageW(bar->Handle(), WM_TIMER, TsProgressBar::MarqueeTimerId, 0);
  const TPixels stepped = Read().Crop({kLeft, kTop, kLeft + 202, kTop + 22});
  EXPECT_EQ(SectionOf(stepped.At(5, 11)), "PROGRESSH");
  // Without a skin the marquee stops; a skin loaded starts it again.
  manager->SetActive(false);
  EXPECT_FALSE(bar->MarqueeRunning());
  const int at = bar->MarqueePos();
  SendMessageW(bar->Handle(), WM_TIMER, TsProgressBar::MarqueeTimerId, 0);
  EXPECT_EQ(at, bar->MarqueePos()) << "an unskinned bar stepped";
  manager->SetActive(true);
  EXPECT_TRUE(bar->MarqueeRunning());
  bar->SetStyle(pbstNormal);
  EXPECT_FALSE(bar->MarqueeRunning());
  EXPECT_EQ(40, bar->Position()) << "the position before the marquee";
}

}  // namespace
}  // namespace kv
