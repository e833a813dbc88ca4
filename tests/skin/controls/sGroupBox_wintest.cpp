// The skinned group box on the checkerboard panel, under Wine with the
// synthetic skin: its caption band and see-through body show the panel, its
// own picture is its children's background with CaptionSkin, and the
// caption offset moves the frame and the client area.
#include <gtest/gtest.h>
#include <windows.h>

#include "skin/controls/SkinnedContainers.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/controls/sGroupBox_win.h"
#include "support/Mouse.h"

namespace kv {
namespace {

using kvtest::TPixels;

class GroupBoxSkinned : public SkinnedContainers {
 protected:
  TsGroupBox* AddBox(const TRect& bounds, const std::string& caption) {
    auto* box = Create<TsGroupBox>(form);
    box->SetParent(root);
    box->SetBoundsRect(bounds);
    box->SetCaption(caption);
    return box;
  }
  TsPanel* AddChild(TsGroupBox* box) {
    auto* child = Create<TsPanel>(form);
    child->SetParent(box);
    child->SetBevelOuter(bvNone);
    child->SetCaption("");
    child->SetBounds(17, 35, 60, 40);
    child->SkinData()->SetSkinSection("EDIT");
    return child;
  }
};

TEST_F(GroupBoxSkinned, WithCaptionSkinItsOwnPictureIsTheChildrensBackground) {
  Load({.Keys = {{"GROUPBOX", "TRANSPARENCY", "100"}}});
  TsGroupBox* box = AddBox({20, 20, 220, 160}, "Relay");
  box->SetCaptionSkin("BUTTON");
  TsPanel* child = AddChild(box);
  Show();
  TsBgRequest request;
  GetControlBackgroundInfo(request, box, false);
  EXPECT_EQ(request.Bmp, box->SkinData()->CacheBmp.get());
  EXPECT_EQ(0, request.Offset.X);
  EXPECT_TRUE(BackgroundLinesUp(child));
}

TEST_F(GroupBoxSkinned, WithoutCaptionSkinTheChildLooksThroughToThePanel) {
  Load({.Keys = {{"GROUPBOX", "TRANSPARENCY", "100"}}});
  TsGroupBox* box = AddBox({20, 20, 220, 160}, "Relay");
  TsPanel* child = AddChild(box);
  Show();
  TsBgRequest request;
  GetControlBackgroundInfo(request, box, false);
  EXPECT_EQ(request.Bmp, root->SkinData()->CacheBmp.get()) << "asked below the see-through box";
  EXPECT_TRUE(BackgroundLinesUp(child));
}

TEST_F(GroupBoxSkinned, TheCaptionBandShowsThePanelAndTheFrameStartsMidCaption) {
  Load();
  TsGroupBox* box = AddBox({20, 20, 220, 160}, "");
  Show();
  const COLORREF frame = skin->Colour("GROUPBOX", "BORDERSMASK", 0);
  const int band = box->CaptionRect().Bottom;
  const TPixels shown = TPixels::FromClient(box->Handle());
  const TPixels panel = TPixels::FromClient(root->Handle());
  const int middle = box->Width() / 2;
  EXPECT_EQ(panel.At(20 + middle, 20), shown.At(middle, 0)) << "band over the panel";
  const RECT top = shown.BoundsOf(frame);
  EXPECT_EQ(band / 2, top.top) << "the frame begins at the caption's middle";
  EXPECT_EQ(0, top.left);
}

TEST_F(GroupBoxSkinned, ACaptionOffsetMovesTheClientAreaAndALiftedCaptionTheFrame) {
  Load();
  TsGroupBox* box = AddBox({20, 20, 220, 160}, "Relay");
  TsPanel* filler = AddChild(box);
  filler->SetAlign(alClient);
  Show();
  const int top = filler->Top();
  box->SetCaptionYOffset(6);
  EXPECT_EQ(top + 6, filler->Top()) << "lowered with the caption";
  box->SetCaptionYOffset(-8);
  EXPECT_EQ(top - 8, filler->Top()) << "raised with it";
  filler->SetVisible(false);
  pump::PumpUntilIdle();
  const TPixels lifted = TPixels::FromClient(box->Handle());
  EXPECT_EQ(-8, box->CaptionRect().Top);
  EXPECT_EQ(0, lifted.BoundsOf(skin->Colour("GROUPBOX", "BORDERSMASK", 0)).top)
      << "a lifted caption leaves the frame starting at the top";
}

// Held back while the panel below painted, the box paints once it has.
TEST_F(GroupBoxSkinned, AHeldPaintComesWhenTheParentHasPainted) {
  Load({.Keys = {{"GROUPBOX", "TRANSPARENCY", "40"}}});
  TsGroupBox* box = AddBox({20, 20, 220, 160}, "Relay");
  Show();
  EXPECT_TRUE(HeldPaintComesAfterTheParent(box, box->SkinData()));
}

TEST_F(GroupBoxSkinned, AnswersItsCaptionHeightForFramesLeftOut) {
  Load();
  TsGroupBox* box = AddBox({20, 20, 220, 160}, "Relay");
  Show();
  EXPECT_EQ(box->CaptionRect().Bottom,
            SendMessageW(box->Handle(), SM_ALPHACMD, CommandWParam(cmdGetCaptionHeight), 0));
}

// A skin made elsewhere may have no group box: the box is then plain, and
// the buttons in it keep their skin, at rest and under the pointer.
TEST_F(GroupBoxSkinned, WithoutItsSectionTheButtonsInsideStillPaint) {
  Load({.Lacks = {"GROUPBOX"}});
  TsGroupBox* box = AddBox({20, 20, 220, 160}, "Relay");
  auto* button = Create<TsBitBtn>(form);
  button->SetParent(box);
  button->SetBounds(20, 40, 90, 30);
  button->SetCaption("");
  Show();
  kvtest::HoverOut();
  // The border's state at the middle of the top edge.
  auto shown = [&] {
    const kvtest::TSkinItem* item =
        skin->Legend(TPixels::FromClient(button->Handle()).At(button->Width() / 2, 2));
    return item != nullptr && item->Section == "BUTTON" && item->Key == "BORDERSMASK" ? item->State
                                                                                      : -1;
  };
  EXPECT_EQ(0, shown()) << "at rest";
  kvtest::MouseMove(button->Handle(), {45, 15});
  EXPECT_EQ(1, shown()) << "under the pointer";
  kvtest::HoverOut();
}

// On the checkerboard panel (a picture below) and on the plain form (a
// colour below).
class GroupBoxSeeThrough : public GroupBoxSkinned, public ::testing::WithParamInterface<bool> {};

TEST_P(GroupBoxSeeThrough, TheBodyShowsTheSectionColourOverWhatIsBelow) {
  Load({.Keys = {{"GROUPBOX", "TRANSPARENCY", "40"}}});
  TWinControl* below = GetParam() ? static_cast<TWinControl*>(root) : form;
  TsGroupBox* box = AddBox({20, 20, 220, 160}, "");
  box->SetParent(below);
  root->SetVisible(GetParam());
  Show();
  const TPixels shown = TPixels::FromClient(box->Handle());
  box->SetVisible(false);
  const TPixels under = TPixels::FromClient(below->Handle());
  const COLORREF colour = skin->Colour("GROUPBOX", "COLOR");
  // Inside the frame, on both checker colours.
  // Over a colour only (the plain form) a plain see-through section takes that colour.
  for (POINT p : {POINT{100, 70}, POINT{104, 70}}) {
    const COLORREF back = under.At(20 + p.x, 20 + p.y);
    EXPECT_TRUE(Mixed(shown.At(p.x, p.y), back, GetParam() ? colour : back, 40));
  }
}

INSTANTIATE_TEST_SUITE_P(Below, GroupBoxSeeThrough, ::testing::Bool());

}  // namespace
}  // namespace kv
