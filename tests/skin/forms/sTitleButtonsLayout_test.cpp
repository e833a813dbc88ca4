#include "skin/forms/sTitleButtonsLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "skin/forms/FrameKinds.h"

namespace kv {
namespace {

using namespace kv::test;
using M = TsTitleMask;

std::vector<int> Codes(const std::vector<TsPlacedTitleButton>& placed) {
  std::vector<int> codes;
  for (const auto& b : placed) codes.push_back(b.HitCode);
  return codes;
}

// The buttons end at the title's right edge and take exactly the width
// that the caption and the bar behind them reserve.
void ExpectWidthMatchesLayout(const TsFrameGeometry& g, const TsTitleButtonMetrics& m,
                              const std::vector<TsUserTitleButton>& users) {
  const auto placed = PlaceTitleButtons(g, m, users);
  ASSERT_FALSE(placed.empty());
  const int end = g.FrameWidth() - g.State.ShadowMargins.Right - g.FrameBorderWidth(true);
  EXPECT_EQ(placed.front().Rect.Right, end - g.Skin.BIRight);
  EXPECT_EQ(end - placed.back().Rect.Left, TitleButtonsWidth(g, m, users));
}

TEST(TitleButtonsLayout, StandardButtonsFromTheRight) {
  TsFrameGeometry g = Sizeable();
  g.Skin.BIRight = 2;
  g.Skin.BISpace = 1;
  g.State.Form.BorderIcons |= biHelp;
  const TsTitleButtonMetrics m{.Close = 25, .Help = 17};
  const auto placed = PlaceTitleButtons(g, m, {});
  // Top: (4 + 19 - 21) / 2.
  const std::vector<TsPlacedTitleButton> expected{
      {TitleHit::Close, M::Close, true, Rect(369, 1, 394, 22)},
      {TitleHit::MaxButton, M::Max, true, Rect(347, 1, 368, 22)},
      {TitleHit::MinButton, M::Min, true, Rect(325, 1, 346, 22)},
      {TitleHit::Help, M::Help, true, Rect(307, 1, 324, 22)}};
  EXPECT_EQ(placed, expected);
  EXPECT_EQ(VisibleStandardButtons(g), 4);
  ExpectWidthMatchesLayout(g, m, {});
}

TEST(TitleButtonsLayout, RestoreMaskOnMaximisedAndMinimisedForms) {
  const TsTitleButtonMetrics m{.Restore = 19};
  auto maximised = PlaceTitleButtons(Maximised(), m, {});
  ASSERT_EQ(maximised.size(), 3u);
  EXPECT_EQ(maximised[1].Mask, M::Restore);
  EXPECT_EQ(maximised[1].Rect.Width(), 19);
  EXPECT_EQ(maximised[2].Mask, M::Min);
  ExpectWidthMatchesLayout(Maximised(), m, {});

  auto minimised = PlaceTitleButtons(Minimised(), m, {});
  ASSERT_EQ(minimised.size(), 3u);
  EXPECT_EQ(minimised[1].Mask, M::Max);
  // The minimise record keeps its own width; it only draws the restore mask.
  EXPECT_EQ(minimised[2].Mask, M::Restore);
  EXPECT_EQ(minimised[2].Rect.Width(), 21);
  EXPECT_TRUE(minimised[2].Enabled);
}

TEST(TitleButtonsLayout, ToolWindowHasSmallLowerButtonsWithoutGaps) {
  TsFrameGeometry g = Single(bsToolWindow);
  g.Skin.BISpace = 5;
  const TsTitleButtonMetrics m{.Close = 13, .Height = 13, .LargeButton = false};
  const std::vector<TsUserTitleButton> users{{}, {}};
  const auto placed = PlaceTitleButtons(g, m, users);
  EXPECT_EQ(Codes(placed), (std::vector{TitleHit::Close, 1000, 1001}));
  // (3 + 15 - 13) / 2 + 2.
  EXPECT_EQ(placed[0].Rect, Rect(284, 4, 297, 17));
  EXPECT_EQ(placed[1].Rect.Right, 284 - 8);
  EXPECT_EQ(placed[2].Rect.Right, placed[1].Rect.Left);
}

// Small buttons shorter than 16 pixels sit 2 pixels lower; from 16 on they
// are centred.
TEST(TitleButtonsLayout, OnlySmallButtonsUnderSixteenPixelsSitLower) {
  const TsFrameGeometry g = Single(bsToolWindow);
  for (const auto& [height, top] : {std::pair{15, 1 + 2}, std::pair{16, 1}}) {
    const TsTitleButtonMetrics m{.Close = 13, .Height = height, .LargeButton = false};
    const auto placed = PlaceTitleButtons(g, m, {});
    ASSERT_FALSE(placed.empty());
    // (3 + 15 - height) / 2, + 2 below 16.
    EXPECT_EQ(placed[0].Rect.Top, top) << height;
  }
}

// A maximised MDI child's three buttons are a mask's width apart plus one
// pixel, the last one pixel left of the frame's border.
TEST(TitleButtonsLayout, MDIChildButtonsAreTheirWidthPlusOneApart) {
  const TsFrameGeometry g = Sizeable();
  for (const int w : {16, 21}) {
    const auto buttons = MDIChildButtons(g, {w, 14});
    const int right = g.FrameWidth() - g.FrameBorderWidth(true);
    EXPECT_EQ(buttons[2].Rect, Bounds(right - (w + 1), buttons[2].Rect.Top, w, 14)) << w;
    EXPECT_EQ(buttons[1].Rect.Left, right - 2 * (w + 1)) << w;
    EXPECT_EQ(buttons[0].Rect.Left, right - 3 * (w + 1)) << w;
    EXPECT_EQ(buttons[0].Rect.Width(), w);
  }
}

// A hidden user button takes no place in the bar, but its room (width and
// gap) is counted in the buttons' width.
TEST(TitleButtonsLayout, HiddenUserButtonsTakeNoPlaceButCountInTheWidth) {
  TsFrameGeometry g = Sizeable();
  g.Skin.BISpace = 2;
  const TsTitleButtonMetrics m{.UserMask = 18};
  const std::vector<TsUserTitleButton> users{
      {.GlyphWidth = 24}, {.Visible = false}, {.Enabled = false}};
  const auto placed = PlaceTitleButtons(g, m, users);
  // Hit codes are 1000 + the index in the collection, visible or not.
  EXPECT_EQ(Codes(placed), (std::vector{20, 9, 8, 1000, 1002}));
  EXPECT_EQ(placed[3].Rect.Width(), 26);
  EXPECT_EQ(placed[4].Rect.Width(), 18);
  EXPECT_FALSE(placed[4].Enabled);
  const int end = g.FrameWidth() - g.FrameBorderWidth(true);
  EXPECT_EQ(TitleButtonsWidth(g, m, users), end - placed.back().Rect.Left + 18 + 2);
}

// The caption ends before the room of every user button, a hidden one too.
TEST(TitleButtonsLayout, CaptionEndsBeforeTheRoomOfEveryUserButton) {
  const TsFrameGeometry g = Sizeable();
  const std::vector<TsUserTitleButton> users{{}, {.Visible = false}};
  const auto placed = PlaceTitleButtons(g, {}, users);
  const TRect caption = g.CaptionTextRect(TitleButtonsWidth(g, {}, users), false);
  EXPECT_EQ(caption, Rect(4 + 16 + 4, 2, placed.back().Rect.Left + 4 - 6 - 21, 23));
  EXPECT_EQ(g.CaptionTextRect(0, true).Left, caption.Left + 2);
}

// A skin without a close or a help mask gets no such button: nothing is
// there to see or to click, and the buttons after it move up one place.
TEST(TitleButtonsLayout, CloseAndHelpNeedTheirMasks) {
  TsFrameGeometry g = Sizeable();
  g.State.Form.BorderIcons |= biHelp;
  const int right = g.FrameWidth() - g.FrameBorderWidth(true);
  const auto noHelp = PlaceTitleButtons(g, {.HelpMask = false}, {});
  EXPECT_EQ(Codes(noHelp),
            (std::vector{TitleHit::Close, TitleHit::MaxButton, TitleHit::MinButton}));
  const auto noClose = PlaceTitleButtons(g, {.CloseMask = false}, {});
  EXPECT_EQ(Codes(noClose),
            (std::vector{TitleHit::MaxButton, TitleHit::MinButton, TitleHit::Help}));
  EXPECT_EQ(noClose.front().Rect.Right, right);
  // The room left to the caption still follows the border icons.
  EXPECT_EQ(TitleButtonsWidth(g, {.HelpMask = false}, {}), TitleButtonsWidth(g, {}, {}));
}

TEST(TitleButtonsLayout, NoStandardButtonsWithoutCloseButton) {
  TsFrameGeometry g = Sizeable();
  g.State.Form.SysMenuStyleRemoved = false;
  EXPECT_EQ(VisibleStandardButtons(g), 0);
  EXPECT_EQ(Codes(PlaceTitleButtons(g, {}, std::vector<TsUserTitleButton>{{}})),
            (std::vector{1000}));
  EXPECT_TRUE(PlaceTitleButtons(Borderless(), {}, {}).empty());
}

struct MaskCase {
  std::string name;
  bool large, mdiMainForm;
  std::vector<std::string_view> skinKeys;  // a key's mask index is its place here
  TsTitleButtonMasks expected;
};

void PrintTo(const MaskCase& c, std::ostream* os) { *os << c.name; }

class TitleButtonMasks : public testing::TestWithParam<MaskCase> {};

TEST_P(TitleButtonMasks, ChosenBySizeWithFallBacks) {
  const MaskCase& c = GetParam();
  const auto lookup = [&](std::string_view key) {
    const auto found = std::find(c.skinKeys.begin(), c.skinKeys.end(), key);
    return found == c.skinKeys.end() ? -1 : static_cast<int>(found - c.skinKeys.begin());
  };
  EXPECT_EQ(LoadTitleButtonMasks(c.large, c.mdiMainForm, lookup), c.expected);
}

const std::vector<std::string_view> FullSkin{"BICONMIN",   "BICONMAX",  "BICONCLOSE",
                                             "BICONHELP",  "SICONMIN",  "SICONMAX",
                                             "SICONCLOSE", "SICONHELP", "TITLEBUTTON"};
const std::vector<std::string_view> NoSmallMasks{"BICONMIN", "BICONMAX", "BICONCLOSE", "BICONHELP"};
const std::vector<std::string_view> NoSmallHelp{"BICONHELP", "SICONMIN", "SICONMAX", "SICONCLOSE"};

INSTANTIATE_TEST_SUITE_P(
    Skins, TitleButtonMasks,
    testing::Values(
        MaskCase{"Large", true, false, FullSkin, {0, 1, 2, 3, true, 0, 1, 2, true, 8}},
        MaskCase{"Small", false, false, FullSkin, {4, 5, 6, 7, false, 4, 5, 6, true, 8}},
        MaskCase{"SmallHelpFallsBackToLarge",
                 false,
                 false,
                 NoSmallHelp,
                 {1, 2, 3, 0, false, 1, 2, 3, true, -1}},
        MaskCase{"NoSmallCloseTakesLargeSet",
                 false,
                 false,
                 NoSmallMasks,
                 {0, 1, 2, 3, true, -1, -1, -1, true, -1}},
        MaskCase{
            "MDIChildButtonsSmall", true, true, FullSkin, {0, 1, 2, 3, true, 4, 5, 6, false, 8}}),
    [](const testing::TestParamInfo<MaskCase>& info) { return info.param.name; });

}  // namespace
}  // namespace kv
