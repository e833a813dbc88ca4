// The gauge of the progress window: its range rules, the shown percentage
// and the bar it paints.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/SysUtils.h"
#include "classlib/Forms.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/controls/sGauge_win.h"
#include "skin/core/sSkinManager_win.h"
#include "support/Pump.h"
#include "support/TestSkin.h"

namespace kv {
namespace {

struct Gauge : ::testing::Test {
  void SetUp() override {
    form = Create<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 240, 60);
    form->SetColor(clWhite);
    gauge = Create<TsGauge>(form);
    gauge->SetParent(form);
    gauge->SetBounds(10, 10, 200, 30);
  }
  void TearDown() override { form->Free(); }

  void Draw() {
    form->Show();
    RedrawWindow(form->Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  }
  // A pixel of the gauge as drawn last.
  COLORREF Pixel(int x, int y) {
    HDC dc = GetDC(form->Handle());
    const COLORREF c = GetPixel(dc, 10 + x, 10 + y);
    ReleaseDC(form->Handle(), dc);
    return c;
  }

  TForm* form = nullptr;
  TsGauge* gauge = nullptr;
};

TEST_F(Gauge, ProgressIsClampedIntoTheRangeWithoutComplaint) {
  gauge->SetMinValue(0);
  gauge->SetMaxValue(14);
  gauge->SetProgress(15);
  EXPECT_EQ(14, gauge->Progress());
  gauge->SetProgress(-3);
  EXPECT_EQ(0, gauge->Progress());
}

TEST_F(Gauge, LimitsOutsideTheOtherLimitRaiseNamingTheAllowedRange) {
  gauge->SetMinValue(0);
  gauge->SetMaxValue(100);
  try {
    gauge->SetMinValue(101);
    FAIL() << "a minimum above the maximum was taken";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ("Value must be between -2147483647 and 99", e.Message());
  }
  try {
    gauge->SetMaxValue(-1);
    FAIL() << "a maximum below the minimum was taken";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ("Value must be between 1 and 2147483647", e.Message());
  }
  EXPECT_EQ(0, gauge->MinValue());
  EXPECT_EQ(100, gauge->MaxValue());
}

TEST_F(Gauge, NewLimitsTakeTheProgressAlong) {
  gauge->SetMaxValue(100);
  gauge->SetProgress(50);
  gauge->SetMinValue(60);
  EXPECT_EQ(60, gauge->Progress());
  gauge->SetMaxValue(80);
  gauge->SetProgress(80);
  gauge->SetMaxValue(70);
  EXPECT_EQ(70, gauge->Progress());
}

TEST_F(Gauge, PercentRoundsHalvesToEvenAndIsZeroForAnEmptyRange) {
  const struct {
    int max, progress, percent;
  } rows[] = {{8, 1, 12}, {8, 3, 38}, {8, 5, 62}, {14, 7, 50}, {14, 14, 100}, {3, 1, 33}};
  gauge->SetMinValue(0);
  for (const auto& row : rows) {
    gauge->SetMaxValue(row.max);
    gauge->SetProgress(row.progress);
    EXPECT_EQ(row.percent, gauge->Percent()) << row.progress << " of " << row.max;
  }
  gauge->SetProgress(0);
  gauge->SetMaxValue(0);
  EXPECT_EQ(0, gauge->Percent());
  EXPECT_EQ("0%", gauge->ShownText());
}

TEST_F(Gauge, ShownTextIsTheNumberAndTheSuffix) {
  gauge->SetMaxValue(14);
  gauge->SetProgress(7);
  EXPECT_EQ("50%", gauge->ShownText());
  gauge->SetSuffix(" pct");
  EXPECT_EQ("50 pct", gauge->ShownText());
}

TEST_F(Gauge, OnChangeFollowsEveryProgressAssignment) {
  int changes = 0;
  gauge->OnChange = [&](TObject*) { ++changes; };
  gauge->SetProgress(10);
  gauge->SetProgress(10);
  EXPECT_EQ(2, changes);
}

TEST_F(Gauge, PaintsTheFilledPartInForeColourAndTheRestInBackColour) {
  gauge->SetForeColor(clRed);
  gauge->SetBackColor(clWhite);
  gauge->SetShowText(false);
  gauge->SetMaxValue(100);
  gauge->SetProgress(50);
  Draw();
  // A one-pixel border; the inner 198 pixels are half filled.
  EXPECT_EQ(RGB(0, 0, 0), Pixel(0, 15));
  EXPECT_EQ(RGB(255, 0, 0), Pixel(2, 15));
  EXPECT_EQ(RGB(255, 0, 0), Pixel(99, 15));
  EXPECT_EQ(RGB(255, 255, 255), Pixel(101, 15));
  EXPECT_EQ(RGB(255, 255, 255), Pixel(197, 15));
  gauge->SetProgress(0);
  Draw();
  EXPECT_EQ(RGB(255, 255, 255), Pixel(2, 15)) << "an empty gauge has no bar";
}

TEST_F(Gauge, TextInvertsWhatLiesUnderIt) {
  gauge->SetForeColor(clBlack);
  gauge->SetBackColor(clWhite);
  gauge->SetMaxValue(100);
  gauge->SetProgress(100);
  Draw();
  // In the middle the text's pixels lighten the black bar (white text, or
  // its smoothed edges, laid over by XOR).
  int lightened = 0;
  for (int x = 70; x < 130; ++x)
    for (int y = 3; y < 27; ++y) lightened += Pixel(x, y) != RGB(0, 0, 0);
  EXPECT_GT(lightened, 10);
  EXPECT_EQ(RGB(0, 0, 0), Pixel(5, 15)) << "away from the text the bar is untouched";
}

TEST_F(Gauge, OtherKindsFillTheirOwnShape) {
  gauge->SetForeColor(clRed);
  gauge->SetBackColor(clWhite);
  gauge->SetColor(clBlue);
  gauge->SetShowText(false);
  gauge->SetProgress(25);
  const struct {
    TsGaugeKind kind;
    int x, y;
    COLORREF colour;
  } rows[] = {{gkVerticalBar, 100, 26, RGB(255, 0, 0)},
              {gkVerticalBar, 100, 5, RGB(255, 255, 255)},
              {gkPie, 130, 8, RGB(255, 0, 0)},
              {gkPie, 70, 8, RGB(255, 255, 255)},
              {gkPie, 1, 1, RGB(0, 0, 255)},
              {gkText, 10, 15, RGB(255, 255, 255)}};
  for (const auto& row : rows) {
    gauge->SetKind(row.kind);
    Draw();
    EXPECT_EQ(row.colour, Pixel(row.x, row.y)) << "kind " << row.kind << " at " << row.x;
  }
}

TEST_F(Gauge, LimitsMayCrossWhileLoading) {
  gauge->BeginLoading();
  gauge->SetMinValue(200);
  gauge->EndLoading();
  EXPECT_EQ(200, gauge->MinValue());
  EXPECT_THROW(gauge->SetMaxValue(150), EInvalidOperation);
}

// With the synthetic skin: the "GAUGE" section in its hot colours, the bar
// in "PROGRESSH" or "PROGRESSV" over it.
struct SkinnedGauge : Gauge {
  void SetUp() override {
    ASSERT_EQ(DefaultManager, nullptr) << "a manager outlived its test";
    manager = CreateOwned<TsSkinManager>();
    manager->SetSkinDirectory("c:\\NoSkins");
    skin = std::make_unique<kvtest::TTestSkin>(Options());
    TsStoredSkin& stored = manager->InternalSkins.Add();
    stored.Name = "T";
    stored.Data = skin->Packed();
    manager->SetSkinName("T");
    ASSERT_TRUE(manager->CommonSkinData().Active);
    Gauge::SetUp();
    gauge->SetShowText(false);
  }
  void TearDown() override {
    Gauge::TearDown();
    manager.reset();
  }
  // The section and state a painted pixel belongs to, "-" for none.
  std::string ItemAt(int x, int y) const {
    const kvtest::TSkinItem* item = skin->Legend(const_cast<SkinnedGauge*>(this)->Pixel(x, y));
    return item != nullptr ? item->Section + "#" + std::to_string(item->State) : "-";
  }

  virtual kvtest::TTestSkinOptions Options() const { return {}; }

  std::unique_ptr<kvtest::TTestSkin> skin;
  Owned<TsSkinManager> manager;
};

TEST_F(SkinnedGauge, AnEmptyRangeShowsNoBarAndNoFault) {
  gauge->SetMaxValue(0);
  gauge->SetProgress(0);
  gauge->SetShowText(true);
  Draw();
  EXPECT_EQ(gauge->ShownText(), "0%");
  EXPECT_EQ(ItemAt(100, 15), "GAUGE#1");
  EXPECT_EQ(ItemAt(3, 15), "GAUGE#1");
}

TEST_F(SkinnedGauge, BarsFillTheirPartInTheProgressSection) {
  gauge->SetProgress(50);
  struct Case {
    TsGaugeKind kind;
    std::string bar;
    POINT filled, empty;
  } cases[] = {
      {gkHorizontalBar, "PROGRESSH#0", {50, 15}, {150, 15}},
      {gkVerticalBar, "PROGRESSV#0", {100, 25}, {100, 4}},
      {gkText, "GAUGE#1", {50, 15}, {150, 15}},  // never a bar
  };
  for (const Case& c : cases) {
    gauge->SetKind(c.kind);
    Draw();
    EXPECT_EQ(ItemAt(c.filled.x, c.filled.y), c.bar);
    EXPECT_EQ(ItemAt(c.empty.x, c.empty.y), "GAUGE#1") << c.bar;
  }
  EXPECT_TRUE(gauge->SkinData()->CacheBmp->Empty()) << "the gauge keeps no pixels";
}

// The skinned text is written over the whole gauge and again on the filled
// part: left of the bar's end it is in the progress section's font colour,
// right of it in the gauge section's.
TEST_F(SkinnedGauge, TheTextChangesColourWhereTheBarEnds) {
  gauge->SetAnimated(false);
  gauge->SetShowText(true);
  gauge->Font()->SetSize(16);
  gauge->SetProgress(50);
  Draw();
  const auto count = [&](int from, int to, const std::string& section) {
    int n = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = from; x < to; ++x) {
        const COLORREF c = Pixel(x, y);
        n += c == skin->Colour(section, "FONTCOLOR", 0) || c == skin->Colour(section, "FONTCOLOR", 1);
      }
    return n;
  };
  EXPECT_GT(count(60, 100, "PROGRESSH"), 0) << "the text on the bar";
  EXPECT_EQ(count(100, 140, "PROGRESSH"), 0);
  EXPECT_GT(count(100, 140, "GAUGE"), 0) << "the text beside the bar";
  EXPECT_EQ(count(60, 100, "GAUGE"), 0);
}

// With CustomColor the section's face gives way to the control's own Color:
// the gauge and, beside it on the same form, a bit button.
TEST_F(SkinnedGauge, WithCustomColorTheGaugeAndABitButtonShowTheirOwnColour) {
  constexpr TColor own = 0x2468AC;
  gauge->SetKind(gkText);
  auto* button = Create<TsBitBtn>(form);
  button->SetParent(form);
  button->SetBounds(10, 10, 200, 30);
  button->SetCaption("");
  for (TControl* c : {static_cast<TControl*>(gauge), static_cast<TControl*>(button)}) {
    TsCommonData* sd = c == gauge ? gauge->SkinData() : button->SkinData();
    SCOPED_TRACE(sd->SkinSection());
    gauge->SetVisible(c == gauge);
    button->SetVisible(c == button);
    sd->SetCustomColor(true);
    c->SetColor(own);
    Draw();
    EXPECT_EQ(Pixel(100, 15), static_cast<COLORREF>(own)) << ItemAt(100, 15);
  }
}

// The sweep, a tick at a time: it starts 300 pixels left of the bar, moves
// at least 15 pixels a tick and lightens the filled part it passes.
TEST_F(SkinnedGauge, TheGlowSweepsAlongTheFilledBar) {
  gauge->SetProgress(100);
  Draw();
  const COLORREF plain = Pixel(100, 15);
  ASSERT_EQ(ItemAt(100, 15), "PROGRESSH#0");
  EXPECT_EQ(gauge->GlowPosition(), 9999) << "no glow before the first sweep";
  gauge->GlowStep();
  EXPECT_EQ(gauge->GlowPosition(), -300 + 15);
  bool lit = false;
  for (int tick = 0; tick < 40 && !lit; ++tick) {
    gauge->GlowStep();
    lit = Pixel(100, 15) != plain;
  }
  EXPECT_TRUE(lit) << "the glow never passed the middle";
  const int at = gauge->GlowPosition();
  gauge->SetAnimated(false);
  Draw();
  EXPECT_EQ(Pixel(100, 15), plain) << "a gauge no longer animated shows no glow";
  EXPECT_EQ(gauge->GlowPosition(), at);
}

// Made in code and put on a form, as the progress window makes it, the gauge
// sweeps by itself: its timer moves the glow while messages flow.
TEST_F(SkinnedGauge, AGaugeMadeInCodeSweepsByItself) {
  gauge->SetProgress(100);
  Draw();
  std::vector<int> seen;
  const bool moved = pump::PumpUntil(
      [&] {
        if (seen.empty() || seen.back() != gauge->GlowPosition())
          seen.push_back(gauge->GlowPosition());
        return seen.size() >= 4;
      },
      5000);
  EXPECT_TRUE(moved) << "glow positions seen: " << seen.size() << ", last " << seen.back();
}

// The bar is kept between ticks; neither the glow nor an old length stays on it.
TEST_F(SkinnedGauge, TheGlowLeavesNoTrailBehind) {
  gauge->SetProgress(100);
  Draw();
  const COLORREF plain = Pixel(20, 15);
  bool lit = false;
  int ticks = 0;
  for (; ticks < 200 && !lit; ++ticks) {
    gauge->GlowStep();
    lit = Pixel(20, 15) != plain;
  }
  ASSERT_TRUE(lit) << "the glow never reached the start of the bar";
  // Past the pixel by the glow's whole length, still within the bar.
  for (; ticks < 400 && gauge->GlowPosition() <= 20; ++ticks) gauge->GlowStep();
  ASSERT_GT(gauge->GlowPosition(), 20);
  ASSERT_LT(gauge->GlowPosition(), 200);
  EXPECT_EQ(Pixel(20, 15), plain) << "the glow left its light behind";
  gauge->SetProgress(50);
  Draw();
  EXPECT_EQ(ItemAt(150, 15), "GAUGE#1") << "the kept bar outlived its length";
}

// The bar's section with or without an "LRGN" mask. With it the glow shows
// only where the mask is opaque: its transparent corners keep the bar's look.
struct GlowInRegion : SkinnedGauge, ::testing::WithParamInterface<bool> {
  kvtest::TTestSkinOptions Options() const override {
    kvtest::TTestSkinOptions options;
    options.ProgressRegion = GetParam();
    return options;
  }
};

TEST_P(GlowInRegion, TheGlowShowsOnlyInsideTheMask) {
  const bool region = GetParam();
  // The bar's right end lies inside the gauge, clear of the gauge's own corners.
  gauge->SetProgress(50);
  Draw();
  const int end = gauge->Width() / 2 - 1, bottom = gauge->Height() - 1;
  const std::vector<POINT> corners = {
      {end, 0}, {end - 2, 0}, {end, 2}, {end, bottom}, {end - 2, bottom}};
  const std::vector<POINT> inside = {
      {end - 1, 1}, {end - 3, 0}, {end, 3}, {end - 1, bottom - 1}, {end - 10, 15}};
  const auto colours = [&](const std::vector<POINT>& points) {
    std::vector<COLORREF> out;
    for (const POINT p : points) out.push_back(Pixel(p.x, p.y));
    return out;
  };
  const std::vector<COLORREF> plainCorners = colours(corners), plainInside = colours(inside);
  // The glow's bright middle over the bar's end.
  gauge->GlowStep();
  while (gauge->GlowPosition() < end - 160) gauge->GlowStep();
  gauge->GlowStep();
  const std::vector<COLORREF> litCorners = colours(corners), litInside = colours(inside);
  for (size_t i = 0; i < corners.size(); ++i)
    EXPECT_EQ(litCorners[i] == plainCorners[i], region)
        << "corner " << corners[i].x << "," << corners[i].y;
  for (size_t i = 0; i < inside.size(); ++i)
    EXPECT_NE(litInside[i], plainInside[i]) << "inside " << inside[i].x << "," << inside[i].y;
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutMask, GlowInRegion, ::testing::Bool());

}  // namespace
}  // namespace kv
