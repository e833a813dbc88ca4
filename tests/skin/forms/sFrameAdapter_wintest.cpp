// A frame with a frame adapter on a skinned form, under Wine with the
// synthetic skin: it paints as the skin's group box, answers the toolkit's
// questions for the frame and gives its children their background.
#include <gtest/gtest.h>
#include <windows.h>

#include "SkinnedFormFixture.h"
#include "classlib/Menus.h"
#include "skin/controls/sSpeedButton_win.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/sFrameAdapter_win.h"
#include "skin/menus/sSkinMenus_win.h"
#include "support/Counters.h"
#include "support/MessageBoxHook.h"
#include "support/Pump.h"

namespace kv {
namespace {

using kvtest::TPixels;

class FrameAdapter : public ::testing::Test, public kvtest::TSkinnedFormFixture {
 protected:
  FrameAdapter() = default;
  explicit FrameAdapter(const kvtest::TTestSkinOptions& options) : TSkinnedFormFixture(options) {}
  void SetUp() override {
    frame = Create<TFrame>(form);
    frame->SetParent(form);
    frame->SetBounds(20, 20, 160, 100);
    adapter = Create<TsFrameAdapter>(frame);
    Provide();
    Show();
    kvtest::PumpUntilIdle();
  }
  TFrame* frame = nullptr;
  TsFrameAdapter* adapter = nullptr;
};

TEST_F(FrameAdapter, ServesItsFrameAsASkinnedGroupBox) {
  EXPECT_EQ(adapter->Frame, frame);
  EXPECT_EQ(adapter->SkinData()->SkinSection(), "GROUPBOX");
  EXPECT_EQ(adapter->SkinData()->ControlType, 226);
  EXPECT_EQ(SendCommandToWindow(frame->Handle(), cmdIsSkinned, 0), 1);
  EXPECT_EQ(SendCommandToWindow(frame->Handle(), cmdGetSectionIndex, 0),
            adapter->SkinData()->SkinIndex + 1);
}

TEST_F(FrameAdapter, PaintsLikeAGroupBox) {
  const TPixels p = TPixels::FromClient(frame->Handle());
  EXPECT_EQ(SectionAt(p, p.Width() / 2, p.Height() / 2), "GROUPBOX");
  EXPECT_EQ(ItemAt(p, 1, p.Height() / 2), "GROUPBOX.BORDERSMASK#0") << "left border";
}

TEST_F(FrameAdapter, GivesItsChildrenTheGroupBoxBackground) {
  TsBgRequest request;
  request.AskerPos = {40, 30};
  request.R = Rect(0, 0, 10, 10);
  SendMessageW(frame->Handle(), SM_ALPHACMD, CommandWParam(cmdGetBackground),
               reinterpret_cast<LPARAM>(&request));
  ASSERT_NE(request.BgType, btNoAnswer);
  if (request.BgType == btColor) {
    EXPECT_EQ(ColorToRGB(request.Color), skin.Colour("GROUPBOX", "COLOR"));
  } else {
    ASSERT_NE(request.Bmp, nullptr);
    const TPixels p = TPixels::FromBitmap(*request.Bmp);
    EXPECT_EQ(SectionAt(p, request.Offset.X + 40, request.Offset.Y + 30), "GROUPBOX");
  }
}

TEST_F(FrameAdapter, TheMouseEnteringTheFrameTakesTheHotLookFromItsSpeedButtons) {
  auto* button = Create<TsSpeedButton>(frame);
  button->SetParent(frame);
  button->SetBounds(4, 4, 40, 20);
  button->SkinData()->MouseAbove = true;
  frame->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_FALSE(button->SkinData()->MouseAbove);
}

TEST_F(FrameAdapter, TheSkinGoingAndComingBackLeavesTheObjectCountersAtBaseline) {
  // Once round first: what is made once per program is not a leak.
  manager->SetActive(false);
  manager->SetActive(true);
  kvtest::PumpUntilIdle();
  const kvtest::TObjectBaseline baseline;
  for (int i = 0; i < 5; ++i) {
    manager->SetActive(false);
    kvtest::PumpUntilIdle();
    manager->SetActive(true);
    kvtest::PumpUntilIdle();
    TPixels::FromClient(frame->Handle());
  }
  EXPECT_TRUE(baseline.Unchanged());
}

// A frame on a plain group box is painted the quick way: printed, it still
// shows its skinned border and its windowless children on its colour.
TEST_F(FrameAdapter, PrintedTheQuickWayItShowsItsBorderAndItsWindowlessChildren) {
  ASSERT_FALSE(NeedsParentCheck(adapter->SkinData())) << "a plain section";
  auto* button = Create<TsSpeedButton>(frame);
  button->SetParent(frame);
  button->SetBounds(60, 40, 40, 24);
  kvtest::PumpUntilIdle();
  const TPixels p = TPixels::FromPrint(frame->Handle(), PRF_CLIENT | PRF_ERASEBKGND);
  EXPECT_EQ(SectionAt(p, 30, p.Height() / 2), "GROUPBOX");
  EXPECT_EQ(ItemAt(p, 1, p.Height() / 2), "GROUPBOX.BORDERSMASK#0") << "left border";
  EXPECT_EQ(SectionAt(p, 80, 52), "SPEEDBUTTON") << "the speed button on it";
}

// A textured or see-through frame answers a child's question for its plain
// colour with "none" (0xFF00FF), so the child falls back on the frame's own
// Color.
enum class TSeeThrough { Textured, HalfSeeThrough };

kvtest::TTestSkinOptions GroupBoxThat(TSeeThrough kind) {
  kvtest::TTestSkinOptions o;
  if (kind == TSeeThrough::Textured)
    o.Textured = {"GROUPBOX"};
  else
    o.Keys.push_back({"GROUPBOX", "TRANSPARENCY", "50"});
  return o;
}

class SeeThroughFrameAdapter : public FrameAdapter,
                               public ::testing::WithParamInterface<TSeeThrough> {
 protected:
  SeeThroughFrameAdapter() : FrameAdapter(GroupBoxThat(GetParam())) {}
};

TEST_P(SeeThroughFrameAdapter, AnswersNoPlainColourForItsChildren) {
  ASSERT_TRUE(NeedsParentCheck(adapter->SkinData()));
  EXPECT_EQ(QueryControlBgColor(frame), TransparentColor);
}

TEST_F(FrameAdapter, APlainFrameAnswersItsSectionsColour) {
  EXPECT_EQ(static_cast<COLORREF>(QueryControlBgColor(frame)), skin.Colour("GROUPBOX", "COLOR"));
}

INSTANTIATE_TEST_SUITE_P(Skins, SeeThroughFrameAdapter,
                         ::testing::Values(TSeeThrough::Textured, TSeeThrough::HalfSeeThrough),
                         [](const ::testing::TestParamInfo<TSeeThrough>& info) {
                           return std::string(
                               info.param == TSeeThrough::Textured ? "Textured" : "HalfSeeThrough");
                         });

// A pop-up menu of the frame's own takes the skinned drawing when the
// frame's stream is read and again with every new skin.
TEST_F(FrameAdapter, ItsPopupMenusAreSkinnedWhenLoadedAndWithEachNewSkin) {
  manager->SetSkinnedPopups(true);
  auto* popup = Create<TPopupMenu>(frame);
  auto* item = Create<TMenuItem>(popup);
  item->SetCaption("Item");
  popup->Items()->Add(item);
  TsSkinableMenus* painter = MenuPainterOf(manager.get());
  ASSERT_NE(painter, nullptr);
  painter->SetMenuSkinned(popup, false);
  adapter->BeginLoading();
  adapter->EndLoading();
  EXPECT_TRUE(popup->OwnerDraw()) << "loaded";
  painter->SetMenuSkinned(popup, false);
  SendMessageW(frame->Handle(), SM_ALPHACMD, CommandWParam(cmdSkinLoaded),
               reinterpret_cast<LPARAM>(manager.get()));
  EXPECT_TRUE(popup->OwnerDraw()) << "a new skin";
  popup->Free();
}

TEST(FrameAdapterPlacement, OnAnythingButAFrameItSaysSoAndStaysInert) {
  kv::test::MessageBoxHook boxes;
  Owned<TForm> form = CreateOwned<TForm>();
  auto* adapter = Create<TsFrameAdapter>(form.get());
  EXPECT_EQ(adapter->Frame, nullptr);
  ASSERT_EQ(boxes.Texts().size(), 1u);
  EXPECT_NE(boxes.Texts()[0].find("must be placed on the handled frame"), std::string::npos);
}

}  // namespace
}  // namespace kv
