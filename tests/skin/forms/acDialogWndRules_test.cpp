#include "skin/forms/acDialogWndRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace kv {
namespace {

namespace S = DialogStyleBit;

// Wine's and Windows' message box: a modal frame with caption and system menu.
constexpr std::uint32_t kMessageBox = S::Popup | S::Caption | S::SysMenu | S::ModalFrame;
constexpr std::uint32_t kSizeable =
    S::Popup | S::Caption | S::SysMenu | S::ThickFrame | S::MinimizeBox | S::MaximizeBox;

TacDialogState Dialog(std::uint32_t style, std::uint32_t exStyle = 0) {
  return {style, exStyle, DialogBorderStyle(style)};
}

TsFrameGeometry Frame(const TacDialogState& d, int w = 300, int h = 200) {
  TsFrameSkin skin;
  skin.BIRight = 2;
  skin.BISpace = 1;
  const TsSystemFrameMetrics sys;  // frame 4, dialog frame 3, caption 19
  const int side = (d.Style & S::ThickFrame) != 0 ? sys.CxFrame : sys.CxDlgFrame;
  const int top = (d.Style & S::Caption) == S::Caption ? side + sys.CyCaption : side;
  return DialogFrameGeometry(d, {w, h, w - 2 * side, h - top - side}, sys, skin);
}

TsTitleButtonMetrics Metrics() {
  TsTitleButtonMetrics m;
  m.Close = m.Max = m.Restore = m.Min = m.Help = 16;
  m.Height = 14;
  m.LargeButton = false;
  return m;
}

std::vector<int> Codes(const std::vector<TsPlacedTitleButton>& placed) {
  std::vector<int> codes;
  for (const auto& b : placed) codes.push_back(b.HitCode);
  return codes;
}

struct BorderCase {
  std::uint32_t Style;
  int Expected;
};
class DialogBorderStyleTest : public ::testing::TestWithParam<BorderCase> {};
TEST_P(DialogBorderStyleTest, FollowsTheStyles) {
  EXPECT_EQ(DialogBorderStyle(GetParam().Style), GetParam().Expected)
      << "style 0x" << std::hex << GetParam().Style;
}
INSTANTIATE_TEST_SUITE_P(
    Styles, DialogBorderStyleTest,
    ::testing::Values(BorderCase{kMessageBox, bsNone}, BorderCase{kSizeable, bsDialog},
                      BorderCase{S::Popup | S::Border | S::ModalFrame, bsSizeable},
                      BorderCase{S::Popup, bsSizeable}, BorderCase{S::Caption, bsDialog},
                      BorderCase{S::Caption | S::ModalFrame, bsNone},
                      BorderCase{S::Caption | S::ThickFrame | S::ModalFrame, bsDialog}));

TEST(DialogSysMenu, MessageBoxShowsMoveAndClose) {
  const TsSysMenuItems items = DialogSysMenuItems(Dialog(kMessageBox));
  const TsSysMenuItems expected{.Restore = {false, false},
                                .Move = {true, true},
                                .Size = {false, true},
                                .Minimize = {false, false},
                                .Maximize = {false, false},
                                .Close = {true, true}};
  EXPECT_EQ(items, expected);
}

TEST(DialogSysMenu, UnreadStylesShowOnlyMoveAndSize) {
  const TsSysMenuItems items = DialogSysMenuItems(TacDialogState{});
  const TsSysMenuItems expected{.Restore = {false, false},
                                .Move = {true, true},
                                .Size = {true, false},
                                .Minimize = {false, false},
                                .Maximize = {false, false},
                                .Close = {false, true}};
  EXPECT_EQ(items, expected);
}

TEST(DialogSysMenu, SizeableDialogFollowsItsWindowState) {
  TacDialogState d = Dialog(kSizeable);
  TsSysMenuItems normal = DialogSysMenuItems(d);
  EXPECT_TRUE(normal.Restore.Visible);
  EXPECT_FALSE(normal.Restore.Enabled);
  EXPECT_TRUE(normal.Maximize.Enabled);
  EXPECT_TRUE(normal.Size.Enabled);
  d.Zoomed = true;
  const TsSysMenuItems zoomed = DialogSysMenuItems(d);
  EXPECT_TRUE(zoomed.Restore.Enabled);
  EXPECT_FALSE(zoomed.Maximize.Enabled);
  EXPECT_FALSE(zoomed.Move.Enabled);
  d.Zoomed = false;
  d.Iconic = true;
  const TsSysMenuItems iconic = DialogSysMenuItems(d);
  EXPECT_TRUE(iconic.Restore.Enabled);
  EXPECT_FALSE(iconic.Minimize.Enabled);
  EXPECT_FALSE(iconic.Size.Enabled);
}

TEST(DialogTitleButtons, MessageBoxHasOnlyTheCloseButtonAtTheRight) {
  const TacDialogState d = Dialog(kMessageBox);
  const TsFrameGeometry g = Frame(d);
  const auto placed = PlaceDialogTitleButtons(g, d, Metrics());
  ASSERT_EQ(Codes(placed), std::vector<int>{TitleHit::Close});
  // Right edge: width - BIRIGHT - dialog frame; centred in frame + caption.
  EXPECT_EQ(placed[0].Rect, Rect(300 - 2 - 3 - 16, 4, 300 - 2 - 3, 18));
  EXPECT_TRUE(placed[0].Enabled);
}

TEST(DialogTitleButtons, AllFourFromTheRightWithLargeGaps) {
  const TacDialogState d = Dialog(kSizeable, S::ContextHelp);
  TsTitleButtonMetrics m = Metrics();
  m.LargeButton = true;
  const auto placed = PlaceDialogTitleButtons(Frame(d), d, m);
  ASSERT_EQ(Codes(placed), (std::vector<int>{TitleHit::Close, TitleHit::MaxButton,
                                             TitleHit::MinButton, TitleHit::Help}));
  for (size_t i = 1; i < placed.size(); ++i)
    EXPECT_EQ(placed[i - 1].Rect.Left - placed[i].Rect.Right, 1) << "gap before button " << i;
}

TEST(DialogTitleButtons, NoneWithoutSystemMenuOrTitle) {
  const TacDialogState noMenu = Dialog(kSizeable & ~S::SysMenu);
  EXPECT_TRUE(PlaceDialogTitleButtons(Frame(noMenu), noMenu, Metrics()).empty());
  const TacDialogState noTitle = Dialog(S::Popup | S::Border | S::SysMenu);
  EXPECT_TRUE(PlaceDialogTitleButtons(Frame(noTitle), noTitle, Metrics()).empty());
}

TEST(DialogTitleButtons, ZoomedDialogShowsRestore) {
  TacDialogState d = Dialog(kSizeable);
  d.Zoomed = true;
  const auto placed = PlaceDialogTitleButtons(Frame(d), d, Metrics());
  ASSERT_GE(placed.size(), 2u);
  EXPECT_EQ(placed[1].Mask, TsTitleMask::Restore);
  EXPECT_TRUE(placed[1].Enabled);
}

// With a border window: a maximised dialog's buttons lie lower, and a skin
// whose border picture draws the frame moves them with the icon.
TEST(DialogTitleButtons, BorderWindowMovesThemDown) {
  struct Case {
    bool BorderForm, Zoomed, Large;
    int BorderMode, Down;
  };
  const Case cases[] = {
      {false, true, false, 1, 0},  {true, false, false, 0, 0}, {true, false, false, 1, 5},
      {true, true, false, 0, 2},   {true, true, false, 1, 7},  {true, true, true, 1, 3},
      {true, false, true, 1, 0},   {false, true, true, 1, 0},
  };
  for (const Case& c : cases) {
    TacDialogState d = Dialog(kSizeable);
    d.Zoomed = c.Zoomed;
    TsFrameGeometry g = Frame(d);
    g.Skin.BIVAlign = 1;
    g.Skin.BorderMode = c.BorderMode;
    g.Skin.CenterOffset = 5;
    g.Skin.BorderWidth = 4;
    g.State.BorderForm = c.BorderForm;
    TsTitleButtonMetrics m = Metrics();
    m.LargeButton = c.Large;
    // The place in the same picture, normal and with the plain border mode.
    TacDialogState normal = d;
    normal.Zoomed = false;
    TsFrameGeometry plain = g;
    plain.Skin.BorderMode = 0;
    const int base = PlaceDialogTitleButtons(plain, normal, m).at(0).Rect.Top;
    const TRect icon = DialogTitleIconRect(g, {16, 16});
    const auto placed = PlaceDialogTitleButtons(g, d, m);
    ASSERT_FALSE(placed.empty());
    EXPECT_EQ(placed[0].Rect.Top - base, c.Down)
        << c.BorderForm << c.Zoomed << c.Large << c.BorderMode;
    if (!c.Large && !c.Zoomed)
      EXPECT_EQ(placed[0].Rect.Top - base, icon.Top - DialogTitleIconRect(plain, {16, 16}).Top)
          << "with the icon";
  }
}

// Buttons of different widths: the answer follows the laid-out rectangles,
// not a count of equal slots from the right.
TEST(DialogHitTest, UsesTheLaidOutRectangles) {
  const TacDialogState d = Dialog(kSizeable, S::ContextHelp);
  const TsFrameGeometry g = Frame(d);
  TsTitleButtonMetrics m = Metrics();
  m.Close = 30;
  m.Max = 10;
  const auto placed = PlaceDialogTitleButtons(g, d, m);
  const TRect icon = DialogTitleIconRect(g, {16, 16});
  struct Case {
    int Index;
    int Code;
  };
  for (const Case c : {Case{0, TitleHit::Close}, Case{1, TitleHit::MaxButton},
                       Case{2, TitleHit::MinButton}, Case{3, TitleHit::Help}}) {
    const TRect& r = placed[static_cast<size_t>(c.Index)].Rect;
    for (const TPoint p : {TPoint{r.Left, r.Top}, TPoint{r.Right - 1, r.Bottom - 1}})
      EXPECT_EQ(DialogHitTest(g, d, p, placed, icon), (TacDialogHit{c.Code, c.Code}))
          << "button " << c.Index << " at " << p.X << "," << p.Y;
  }
}

// A minimised dialog's minimise place shows restore and answers as the
// minimise button, though the dialog cannot minimise any more.
TEST(DialogHitTest, AMinimisedDialogsRestoreButtonAnswers) {
  TacDialogState d = Dialog(kSizeable);
  d.Iconic = true;
  const TsFrameGeometry g = Frame(d);
  const auto placed = PlaceDialogTitleButtons(g, d, Metrics());
  const auto restore = std::find_if(placed.begin(), placed.end(), [](const auto& b) {
    return b.HitCode == TitleHit::MinButton;
  });
  ASSERT_NE(restore, placed.end());
  EXPECT_EQ(restore->Mask, TsTitleMask::Restore);
  const TPoint p{restore->Rect.Left + 1, restore->Rect.Top + 1};
  EXPECT_EQ(DialogHitTest(g, d, p, placed, TRect{}),
            (TacDialogHit{TitleHit::MinButton, TitleHit::MinButton}));
}

TEST(DialogHitTest, LeavesCaptionAndBordersToTheDialog) {
  const TacDialogState d = Dialog(kSizeable);
  const TsFrameGeometry g = Frame(d);
  const auto placed = PlaceDialogTitleButtons(g, d, Metrics());
  const TRect icon = DialogTitleIconRect(g, {16, 16});
  for (const TPoint p : {TPoint{150, 10}, TPoint{1, 100}, TPoint{150, 198}, TPoint{298, 100}})
    EXPECT_EQ(DialogHitTest(g, d, p, placed, icon).Code, FrameHit::Nowhere) << p.X << "," << p.Y;
  EXPECT_EQ(DialogHitTest(g, d, {icon.Left + 1, icon.Top + 1}, placed, icon).Code,
            FrameHit::SysMenu);
  EXPECT_FALSE(IsDialogFrameHit(FrameHit::Caption));
  EXPECT_FALSE(IsDialogFrameHit(FrameHit::BottomRight));
  EXPECT_TRUE(IsDialogFrameHit(TitleHit::Close));
}

// With extended borders the points are in the larger picture: the
// zoomed window's edge lies at the cache offset.
TEST(DialogHitTest, ZoomedEdgeFollowsTheCacheOffset) {
  TacDialogState d = Dialog(kSizeable);
  d.Zoomed = true;
  TsFrameGeometry g = Frame(d);
  g.State.BorderForm = true;
  g.Skin.BorderWidth = 6;
  g.State.ShadowMargins = TRect{12, 8, 12, 12};
  const TPoint o = g.CacheOffset();
  ASSERT_GT(o.X, 0);
  struct Case {
    TPoint WindowPoint;
    int Code;
  };
  for (const Case c : {Case{{150, 100}, FrameHit::Nowhere}, Case{{295, 100}, FrameHit::Nowhere},
                       Case{{150, 195}, FrameHit::Nowhere}, Case{{1, 100}, -1},
                       Case{{298, 100}, -1}, Case{{150, 199}, -1}}) {
    const TPoint p{c.WindowPoint.X + o.X, c.WindowPoint.Y + o.Y};
    EXPECT_EQ(DialogHitTest(g, d, p, {}, TRect{}).Code, c.Code)
        << c.WindowPoint.X << "," << c.WindowPoint.Y;
  }
}

TEST(DialogFrameStrips, CoverTheFrameAroundTheClient) {
  const TacDialogState d = Dialog(kMessageBox);
  const TsFrameGeometry g = Frame(d);  // dialog frame 3, title 19
  const auto strips = DialogFrameStrips(g, 300);
  EXPECT_EQ(strips[0], (TacFrameStrip{Rect(0, 0, 300, 22), {0, 0}}));
  EXPECT_EQ(strips[1], (TacFrameStrip{Rect(0, 22, 3, 200), {0, 22}}));
  EXPECT_EQ(strips[2], (TacFrameStrip{Rect(3, 197, 300, 200), {3, 197}}));
  EXPECT_EQ(strips[3], (TacFrameStrip{Rect(297, 22, 300, 200), {297, 22}}));
  EXPECT_EQ(g.ClientLeftOffset(), 3);
  EXPECT_EQ(g.ClientTopOffset(), 22);
}

TEST(DialogBackground, GroupBoxesAndMarkedStaticsLetItThrough) {
  EXPECT_FALSE(ChildCoversDialogBackground("Button", 0x50000007));
  EXPECT_TRUE(ChildCoversDialogBackground("Button", 0x5000000F));  // a command link
  EXPECT_TRUE(ChildCoversDialogBackground("BUTTON", 0x50000001));
  EXPECT_FALSE(ChildCoversDialogBackground("Static", 0x50010000));
  EXPECT_TRUE(ChildCoversDialogBackground("Static", 0x50000007));
  EXPECT_TRUE(ChildCoversDialogBackground("Edit", 0x50010000));
}

}  // namespace
}  // namespace kv
