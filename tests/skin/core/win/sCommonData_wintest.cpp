// Per-control skin data and the background a child gets from its parent,
// under Wine: skinned boxes on a plain form, with a small synthetic skin.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "../../model/SkinTestUtil.h"
#include "SkinTestForms.h"
#include "classlib/ExtCtrls.h"
#include "classlib/StdCtrls.h"
#include "skin/controls/sGroupBox_win.h"
#include "skin/controls/sPageControl_win.h"
#include "skin/controls/sPanel_win.h"
#include "skin/controls/sScrollBox_win.h"
#include "skin/controls/sSkinnedControl_win.h"
#include "skin/controls/sStatusBar_win.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/sCommonDataRules.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/sFrameAdapter_win.h"
#include "skin/graphics/acGlow.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sSectionPaint.h"

namespace kvtest {
namespace {

constexpr TColor kHalfColor = 100;        // section HALF: red 100, Transparency 50
constexpr TColor kPanelColor = 0x1E140A;  // the plain parent's own colour

const char* const kOptions =
    "[GLOBALINFO]\r\nMASTERBITMAP=MASTER.BMP\r\nCOLOR=3355443\r\n"
    "[GRAD]\r\nCOLOR=255\r\nGRADIENTPERCENT=50\r\n"
    "[HALF]\r\nCOLOR=100\r\nTRANSPARENCY=50\r\n"
    "[CLEAR]\r\nTRANSPARENCY=100\r\n"
    "[PLAIN]\r\nCOLOR=200\r\n"
    // Border masks in the master: corners 3 wide (the top-left pixel
    // transparent), and one whose sides add up to more than 30.
    "[CORNERED]\r\nCOLOR=200\r\nBORDERSMASK=^0000,0000,0012,0012,0003,0003,0003,0003,1,0,0,0\r\n"
    "[WIDE]\r\nCOLOR=200\r\nBORDERSMASK=^0000,0000,0040,0012,0016,0002,0016,0002,1,0,0,0\r\n"
    "[TALL]\r\nCOLOR=200\r\nBORDERSMASK=^0000,0000,0012,0040,0002,0016,0002,0016,1,0,0,0\r\n"
    "[CLEARWIDE]\r\nTRANSPARENCY=100\r\n"
    "BORDERSMASK=^0000,0000,0040,0012,0016,0002,0016,0002,1,0,0,0\r\n"
    "[GLOWING]\r\nCOLOR=200\r\nGLOW=1\r\nGLOWMARGIN=1\r\n"
    "GLOW0=^0000,0000,0012,0012,0004,0004,0004,0004,1,0,0,0\r\n";

// The master bitmap: one colour, with a transparent top-left pixel.
TacBytes MasterBitmap() {
  TBitmap bmp(64, 64, pf24bit);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      std::uint8_t* p = bmp.ScanLine(y) + 3 * x;
      p[0] = 200, p[1] = 100, p[2] = 50;
    }
  std::uint8_t* corner = bmp.ScanLine(0);
  corner[0] = 255, corner[1] = 0, corner[2] = 255;
  return WriteBmp(bmp);
}

TColor PixelAt(const TBitmap& bmp, int x, int y) {
  const std::uint8_t* p = bmp.ScanLine(y) + 3 * x;
  return ColorFromRGB(p[2], p[1], p[0]);
}

// A box on the shared skeleton: commands answered there never reach the
// window's default handling.
class TSkeletonBox : public TsSkinnedControl<TCustomControl> {
 public:
  explicit TSkeletonBox(TComponent* owner) : TsSkinnedControl(owner, 0, true, ccContainer) {}
  int passedOn = 0;  // skin commands that reached the base class

 protected:
  void Dispatch(TMessage& m) override {
    if (m.Msg == SM_ALPHACMD) ++passedOn;
    TsSkinnedControl::Dispatch(m);
  }
};

// A windowless flat button whose hover a container may take back.
class TFlatChild : public TsSkinnedControl<TGraphicControl> {
 public:
  explicit TFlatChild(TComponent* owner) : TsSkinnedControl(owner, 92, false, ccHoverResettable) {}
};

class CommonDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(DefaultManager, nullptr) << "a manager outlived its test";
    manager = CreateOwned<TsSkinManager>();
    manager->SetSkinDirectory("c:\\NoSkins");
    TsStoredSkin& skin = manager->InternalSkins.Add();
    skin.Name = "T";
    skin.Data = kv::test::MakePack(kOptions, {{"MASTER.BMP", MasterBitmap()}});
    manager->SetSkinName("T");
    ASSERT_TRUE(manager->CommonSkinData().Active);
    form = CreateOwned<TForm>();
    form->SetBounds(0, 0, 200, 150);
  }

  // bounds as left, top, right, bottom
  TSkinnedBox* Box(TWinControl* parent, const std::string& section, TRect bounds) {
    auto* box = Create<TSkinnedBox>(form.get());
    box->SetBoundsRect(bounds);
    box->SetParent(parent);
    box->sd.SetSkinSection(section);
    return box;
  }

  // Pixel (x, y) of the cache is RGB(x, y, 7), so a read-back names its place.
  static void FillCoordinates(TBitmap& bmp) {
    for (int y = 0; y < bmp.Height(); ++y)
      for (int x = 0; x < bmp.Width(); ++x) {
        std::uint8_t* p = bmp.ScanLine(y) + 3 * x;
        p[0] = 7, p[1] = static_cast<std::uint8_t>(y), p[2] = static_cast<std::uint8_t>(x);
      }
  }

  Owned<TsSkinManager> manager;
  Owned<TForm> form;
};

TEST_F(CommonDataTest, SectionNamesAndTheDefaultManagerAreStoredAsSpecified) {
  TSkinnedBox* box = Box(form.get(), "edit", {0, 0, 10, 10});
  EXPECT_EQ(box->sd.SkinSection(), "EDIT");
  box->sd.SetSkinSection("");
  EXPECT_EQ(box->sd.SkinSection(), "UNKNOWN");
  EXPECT_EQ(box->sd.SkinIndex, -1);
  box->sd.SetSkinManager(manager.get());
  EXPECT_FALSE(box->sd.SkinManagerStored());
  EXPECT_EQ(box->sd.SkinManager(), manager.get());
}

TEST_F(CommonDataTest, SkinCommandsAnswerAsTheTableSays) {
  TSkinnedBox* box = Box(form.get(), "GRAD", {0, 0, 10, 10});
  box->Handle();
  const LPARAM own = reinterpret_cast<LPARAM>(manager.get());
  Owned<TsSkinManager> other = CreateOwned<TsSkinManager>();
  const LPARAM foreign = reinterpret_cast<LPARAM>(other.get());
  const auto application = reinterpret_cast<LRESULT>(Application);
  struct Case {
    unsigned code, low;
    LPARAM lParam;
    TacCommandOutcome outcome;
    LRESULT result;
  } cases[] = {
      {cmdIsSkinned, 0, 0, coAnswered, 1},
      {cmdGetSectionIndex, 0, 0, coAnswered, box->sd.SkinIndex + 1},
      {cmdSkinRemoved, 0, foreign, coNotOurs, 0},  // another manager's removal: nothing changes
      {cmdGetSectionIndex, 0, 0, coAnswered, box->sd.SkinIndex + 1},
      {cmdGetApplication, 0, 0, coAnswered, application},
      {61, 0, 0, coNotOurs, 0},
      {cmdIsSkinned + 0x100, 0, 0, coNotOurs, 0},
      {cmdSetSuspended, 1, 0, coPassedOn, 0},
      {cmdNeedsRepaint, 0, 0, coAnswered, 1},
      {cmdSkinRemoved, 0, own, coPassedOn, 0},
      {cmdGetSectionIndex, 0, 0, coAnswered, 0},
      {cmdIsBgNonUniform, 0, 0, coAnswered, 0},  // no section: its own plain colour
  };
  for (const Case& c : cases) {
    TMessage m{SM_ALPHACMD, CommandWParam(c.code, c.low), c.lParam, 0};
    EXPECT_EQ(HandleSkinCommand(m, &box->sd), c.outcome) << "code " << c.code;
    if (c.outcome == coAnswered) {
      EXPECT_EQ(m.Result, c.result) << "code " << c.code;
    }
  }
  EXPECT_TRUE(box->sd.Updating);
  TMessage refresh{SM_ALPHACMD, CommandWParam(cmdSkinLoaded), own, 0};
  HandleSkinCommand(refresh, &box->sd);
  EXPECT_GE(box->sd.SkinIndex, 0);
}

TEST_F(CommonDataTest, AnsweredCommandsSurviveTheWayThroughTheWindow) {
  auto* box = Create<TSkeletonBox>(form.get());
  box->SetParent(form.get());
  box->SetBounds(0, 0, 20, 20);
  box->SkinData()->SetSkinSection("HALF");
  auto* panel = Create<TPanel>(form.get());
  panel->SetParent(form.get());
  panel->SetColor(kPanelColor);
  box->SetParent(panel);
  form->Handle();
  struct Case {
    unsigned code;
    LRESULT expected;
    int passedOn;  // reached the base class
  } cases[] = {
      {cmdGetApplication, reinterpret_cast<LRESULT>(Application), 0},
      {cmdGetBgColor, static_cast<LRESULT>(MixBgColorBy256(kPanelColor, kHalfColor, 50)), 0},
      {cmdIsSkinned, 1, 0},
      {cmdSetBgChanged, 0, 1},  // noted and passed on
  };
  for (const Case& c : cases) {
    box->passedOn = 0;
    EXPECT_EQ(SendMessageW(box->Handle(), SM_ALPHACMD, CommandWParam(c.code), 0), c.expected)
        << "code " << c.code;
    EXPECT_EQ(box->passedOn, c.passedOn) << "code " << c.code;
  }
  EXPECT_EQ(SkinDataOf(box), box->SkinData());
  EXPECT_EQ(SkinDataOf(panel), nullptr);
}

// Three see-through containers (a page sheet, a group box in it, a panel in
// that) pass the question to the one below: each adds its own position once.
TEST_F(CommonDataTest, ABackgroundThroughNestedContainersComesFromTheRightPlace) {
  auto container = [&](TWinControl* parent, TRect bounds) {
    auto* c = Create<TSkeletonBox>(form.get());
    c->SetBoundsRect(bounds);
    c->SetParent(parent);
    c->SkinData()->SetSkinSection("CLEAR");
    return c;
  };
  auto* top = Create<TSkeletonBox>(form.get());
  top->SetBounds(0, 0, 120, 100);
  top->SetParent(form.get());
  top->SkinData()->SetSkinSection("GRAD");
  TSkeletonBox* sheet = container(top, {3, 5, 100, 90});
  TSkeletonBox* group = container(sheet, {7, 11, 90, 70});
  TSkeletonBox* panel = container(group, {13, 2, 70, 60});
  TSkinnedBox* child = Box(panel, "HALF", {4, 6, 20, 20});
  form->Handle();
  PrepareCacheBitmap(top->SkinData());
  FillCoordinates(*top->SkinData()->CacheBmp);
  const TPoint panelOrigin{3 + 7 + 13, 5 + 11 + 2};

  TsBgCacheInfo info;
  GetParentBgInfo(&child->sd, info);
  ASSERT_EQ(info.Bmp, top->SkinData()->CacheBmp.get());
  EXPECT_EQ(info.X, panelOrigin.X);
  EXPECT_EQ(info.Y, panelOrigin.Y);

  TBitmap drawn(3, 3, pf24bit);
  TBitmapCanvas canvas(drawn);
  TsBgRequest request;
  request.AskerPos = {child->Left(), child->Top()};
  request.R = {0, 0, 3, 3};
  request.DC = canvas.Handle();
  request.PleaseDraw = true;
  EXPECT_TRUE(GetControlBackgroundInfo(request, panel, true));
  GdiFlush();
  const int x = panelOrigin.X + child->Left(), y = panelOrigin.Y + child->Top();
  EXPECT_EQ(PixelAt(drawn, 0, 0), ColorFromRGB(x, y, 7));
  EXPECT_EQ(PixelAt(drawn, 2, 1), ColorFromRGB(x + 2, y + 1, 7));
  EXPECT_EQ(request.AskerPos.X, child->Left()) << "the asker's own fields come back as given";
  EXPECT_EQ(request.R.Right, 3);
}

// What the core does by a control's capabilities, never by its class.
TEST_F(CommonDataTest, CapabilitiesDecideContainerSheetAndEditBehaviour) {
  struct Case {
    std::uint16_t capabilities;
    bool plainBackgroundForChildren, alwaysOverParent, takesSectionColours;
  } cases[] = {
      {0, false, false, false},
      // The kind of control, not a bit, offers the plain background.
      {ccContainer, false, false, false},
      {ccPageControl, false, false, false},
      {ccPageSheet, false, true, false},
      {ccEditLike, false, false, true},
  };
  for (const Case& c : cases) {
    TSkinnedBox* box = Box(form.get(), "GRAD", {0, 0, 30, 20});
    box->sd.Capabilities = c.capabilities;
    box->sd.SetSkinSection("PLAIN");  // opaque and plain: no cache of its own needed
    form->Handle();
    box->sd.UpdateChildBgFlags(false);
    EXPECT_EQ((box->sd.ChildBgFlags & 1) != 0, c.plainBackgroundForChildren) << c.capabilities;
    box->sd.SetSkinSection("GRAD");
    EXPECT_EQ(DependsOnParentBg(&box->sd), c.alwaysOverParent) << c.capabilities;
    box->SetColor(clWindow);
    TMessage refresh{SM_ALPHACMD, CommandWParam(cmdSkinRefresh),
                     reinterpret_cast<LPARAM>(manager.get()), 0};
    HandleSkinCommand(refresh, &box->sd);
    EXPECT_EQ(box->Color() == static_cast<TColor>(255), c.takesSectionColours) << c.capabilities;
  }
}

// Frames (also one skinned by the frame adapter), panels, scrolling controls
// and page controls let their children take their plain background; group
// boxes and status bars do not, and a background that needs a cache of its
// own is offered by none.
TEST_F(CommonDataTest, FramesPanelsScrollingAndPageControlsOfferTheirPlainBackground) {
  using Made = std::pair<TWinControl*, TsCommonData*>;
  struct Kind {
    const char* name;
    bool offers;
    std::function<Made()> make;
  };
  const auto placed = [&](auto* c) {
    c->SetBounds(0, 0, 60, 40);
    c->SetParent(form.get());
    return c;
  };
  const auto skinned = [&](auto* c) { return Made{placed(c), c->SkinData()}; };
  const Kind kinds[] = {
      {"frame", true,
       [&] {
         TFrame* frame = placed(Create<TFrame>(form.get()));
         return Made{frame, Create<TsFrameAdapter>(frame)->SkinData()};
       }},
      {"panel", true, [&] { return skinned(Create<TsPanel>(form.get())); }},
      {"scroll box", true, [&] { return skinned(Create<TsScrollBox>(form.get())); }},
      {"page control", true, [&] { return skinned(Create<TsPageControl>(form.get())); }},
      {"group box", false, [&] { return skinned(Create<TsGroupBox>(form.get())); }},
      {"status bar", false, [&] { return skinned(Create<TsStatusBar>(form.get())); }},
  };
  for (const Kind& kind : kinds) {
    TsCommonData* sd = kind.make().second;
    ASSERT_NE(sd, nullptr) << kind.name;
    for (const auto& [section, plain] : {std::pair{"PLAIN", true}, {"GRAD", false}}) {
      sd->SetSkinSection(section);
      sd->UpdateChildBgFlags(false);
      EXPECT_EQ((sd->ChildBgFlags & 1) != 0, kind.offers && plain) << kind.name << " " << section;
    }
  }
}

TEST_F(CommonDataTest, AHiddenControlFreesItsCachePixels) {
  TSkinnedBox* box = Box(form.get(), "GRAD", {0, 0, 30, 20});
  PrepareCacheBitmap(&box->sd);
  ASSERT_EQ(box->sd.CacheBmp->Width(), 30);
  box->Hide();
  ASSERT_NE(box->sd.CacheBmp, nullptr);
  EXPECT_TRUE(box->sd.CacheBmp->Empty());
  box->Show();
  EXPECT_TRUE(box->sd.BGChanged);
}

// Out of sight a control keeps no pixels however it got there, and is painted
// afresh when it shows again.
TEST_F(CommonDataTest, AControlOutOfSightFreesItsCachePixelsWhateverHidIt) {
  struct Case {
    const char* hidden;
    std::function<void(TWinControl* form, TWinControl* panel, TWinControl* box, bool show)> set;
  };
  const Case cases[] = {
      {"itself", [](TWinControl*, TWinControl*, TWinControl* box, bool show) { box->SetVisible(show); }},
      {"its parent",
       [](TWinControl*, TWinControl* panel, TWinControl*, bool show) { panel->SetVisible(show); }},
      {"its form", [](TWinControl* form, TWinControl*, TWinControl*, bool show) { form->SetVisible(show); }},
  };
  for (const Case& c : cases) {
    auto* panel = Create<TPanel>(form.get());
    panel->SetBounds(0, 0, 100, 80);
    panel->SetParent(form.get());
    TSkinnedBox* box = Box(panel, "GRAD", {0, 0, 30, 20});
    form->Show();
    ASSERT_TRUE(box->Showing()) << c.hidden;
    PrepareCacheBitmap(&box->sd);
    box->sd.BGChanged = false;
    ASSERT_EQ(box->sd.CacheBmp->Width(), 30) << c.hidden;

    c.set(form.get(), panel, box, false);
    ASSERT_NE(box->sd.CacheBmp, nullptr) << c.hidden;
    EXPECT_TRUE(box->sd.CacheBmp->Empty()) << c.hidden;
    c.set(form.get(), panel, box, true);
    EXPECT_TRUE(box->Showing()) << c.hidden;
    EXPECT_TRUE(box->sd.BGChanged) << c.hidden << ": the picture is made again";
    panel->Free();
  }
}

TEST_F(CommonDataTest, BackgroundColourOfAnUnskinnedParentIsItsOwnNotBlack) {
  auto* panel = Create<TPanel>(form.get());
  panel->SetParent(form.get());
  panel->SetColor(kPanelColor);
  TSkinnedBox* box = Box(panel, "HALF", {5, 5, 20, 20});
  form->Handle();
  EXPECT_EQ(static_cast<TColor>(box->Perform(SM_ALPHACMD, CommandWParam(cmdGetBgColor), 0)),
            MixBgColorBy256(kPanelColor, kHalfColor, 50));
  EXPECT_EQ(SkinnedBgColor(&box->sd, false, nullptr),
            MixBgColorByPercent(kPanelColor, kHalfColor, 50));

  TsBgRequest request;
  EXPECT_FALSE(GetControlBackgroundInfo(request, panel, false));
  EXPECT_EQ(request.BgType, btColor);
  EXPECT_EQ(request.Color, kPanelColor);
}

TEST_F(CommonDataTest, AChildGetsTheParentsCacheAtItsOffset) {
  TSkinnedBox* parent = Box(form.get(), "GRAD", {0, 0, 60, 50});
  TSkinnedBox* clear = Box(parent, "CLEAR", {4, 6, 40, 30});
  TSkinnedBox* child = Box(clear, "HALF", {5, 7, 10, 10});
  form->Handle();
  PrepareCacheBitmap(&parent->sd);
  FillCoordinates(*parent->sd.CacheBmp);

  TsBgCacheInfo info;
  GetParentBgInfo(&clear->sd, info);
  EXPECT_TRUE(info.Ready);
  EXPECT_EQ(info.Bmp, parent->sd.CacheBmp.get());
  GetParentBgInfo(&child->sd, info);
  ASSERT_EQ(info.Bmp, parent->sd.CacheBmp.get()) << "the see-through box passes the question on";
  EXPECT_EQ(info.X, 4);
  EXPECT_EQ(info.Y, 6);

  // Drawn: the child's (0, 0) is the parent's (4 + 5, 6 + 7).
  TBitmap drawn(3, 3, pf24bit);
  TBitmapCanvas canvas(drawn);
  TsBgRequest request;
  request.AskerPos = {child->Left(), child->Top()};
  request.R = {0, 0, 3, 3};
  request.DC = canvas.Handle();
  request.PleaseDraw = true;
  EXPECT_TRUE(GetControlBackgroundInfo(request, clear, true));
  GdiFlush();
  EXPECT_EQ(PixelAt(drawn, 0, 0), ColorFromRGB(9, 13, 7));
  EXPECT_EQ(PixelAt(drawn, 2, 1), ColorFromRGB(11, 14, 7));
}

// A parent's cache is 32-bit while an extended-border window exists; its
// 24-bit child blends over it exactly as over a 24-bit cache.
TEST_F(CommonDataTest, AHalfSeeThroughChildBlendsOverA32BitParentCacheAsOverA24BitOne) {
  TSkinnedBox* parent = Box(form.get(), "GRAD", {0, 0, 60, 50});
  TSkinnedBox* child = Box(parent, "HALF", {5, 7, 15, 17});
  form->Handle();
  PrepareCacheBitmap(&parent->sd);
  FillCoordinates(*parent->sd.CacheBmp);
  const auto paintChild = [&] {
    TsBgCacheInfo info;
    GetParentBgInfo(&child->sd, info);
    EXPECT_EQ(info.Bmp, parent->sd.CacheBmp.get());
    TBitmap cache(10, 10, pf24bit);
    PaintSkinItem(child->sd.SkinIndex, "HALF", info, true, 0, {0, 0, 10, 10},
                  {child->Left(), child->Top()}, &cache, &manager->Skin());
    return cache;
  };
  const TBitmap over24 = paintChild();
  parent->sd.CacheBmp->SetPixelFormat(pf32bit);
  ASSERT_EQ(parent->sd.CacheBmp->BytesPerPixel(), 4);
  const TBitmap over32 = paintChild();
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x)
      EXPECT_EQ(PixelAt(over32, x, y), PixelAt(over24, x, y)) << x << "," << y;
  // Half of each: neither the section's colour nor the parent's pixel.
  EXPECT_NE(PixelAt(over32, 2, 3), kHalfColor);
  EXPECT_NE(PixelAt(over32, 2, 3), ColorFromRGB(7, 10, 7));
}

TEST_F(CommonDataTest, AContainersMouseEnterTakesTheHoverFromASiblingFlatButton) {
  TSkinnedBox* box = Box(form.get(), "GRAD", {0, 0, 80, 60});
  auto* hot = Create<TFlatChild>(form.get());
  auto* cold = Create<TFlatChild>(form.get());
  auto* plain = Create<TSkeletonBox>(form.get());  // hovered, but not a flat button
  TsCommonData& hotData = *hot->SkinData();
  int leaves = 0;
  plain->SetParent(box);
  plain->SkinData()->MouseAbove = true;
  for (TControl* b : std::initializer_list<TControl*>{hot, cold, plain}) {
    b->SetParent(box);
    TWndMethod previous = b->WindowProc;
    b->WindowProc = TWndMethod([b, previous, &leaves](TMessage& m) {
      if (m.Msg == CM_MOUSELEAVE) leaves += b->Left() == 0 ? 1 : 100;
      previous(m);
    });
  }
  cold->SetLeft(30);
  plain->SetLeft(50);
  hotData.MouseAbove = true;
  form->Handle();
  box->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(leaves, 1) << "only the hot button is told";
  EXPECT_TRUE(box->sd.MouseAbove);
  EXPECT_EQ(manager->HotWindow(), box->Handle());
}

TEST_F(CommonDataTest, OnlyVisibleWindowlessChildrenAreKeptOutOfTheClip) {
  auto* panel = Create<TPanel>(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(0, 0, 40, 30);
  auto* label = Create<TLabel>(form.get());
  label->SetParent(panel);
  label->SetBounds(2, 3, 10, 5);
  auto* hidden = Create<TLabel>(form.get());
  hidden->SetParent(panel);
  hidden->SetBounds(20, 3, 10, 5);
  hidden->Hide();
  TSkinnedBox* windowed = Box(panel, "GRAD", {20, 15, 30, 20});
  form->Handle();

  TBitmap target(40, 30, pf24bit);
  TBitmapCanvas canvas(target);
  FillRectWithColor(canvas.Handle(), {0, 0, 40, 30}, 0);
  ExcludeGraphicChildrenClip(canvas.Handle(), panel, 1, 1);
  FillRectWithColor(canvas.Handle(), {0, 0, 40, 30}, 0xFFFFFF);
  GdiFlush();
  EXPECT_EQ(PixelAt(target, 3, 4), 0) << "the label, moved by the offset";
  EXPECT_EQ(PixelAt(target, 12, 8), 0);
  EXPECT_EQ(PixelAt(target, 2, 3), 0xFFFFFF) << "its place without the offset";
  EXPECT_EQ(PixelAt(target, 22, 5), 0xFFFFFF) << "the hidden label";
  EXPECT_EQ(PixelAt(target, windowed->Left() + 2, windowed->Top() + 2), 0xFFFFFF) << "a window";
}

TEST_F(CommonDataTest, CacheCopiesLeaveOutTheChildrenThatPaintThemselves) {
  TSkinnedBox* parent = Box(form.get(), "GRAD", {0, 0, 40, 30});
  TSkinnedBox* window = Box(parent, "GRAD", {10, 10, 20, 20});
  auto* label = Create<TLabel>(form.get());
  label->SetParent(parent);
  label->SetBounds(25, 2, 5, 5);
  form->Show();
  PrepareCacheBitmap(&parent->sd);
  FillCoordinates(*parent->sd.CacheBmp);

  struct Case {
    const char* copy;
    bool byWindow;
    TPoint outside, child;  // a copied pixel and one of a child left out
  } cases[] = {{"by window", true, {5, 5}, {12, 12}}, {"by control", false, {5, 5}, {26, 3}}};
  for (const Case& c : cases) {
    TBitmap target(40, 30, pf24bit);
    TBitmapCanvas canvas(target);
    FillRectWithColor(canvas.Handle(), {0, 0, 40, 30}, 0);
    if (c.byWindow)
      CopyCacheExceptChildWindows(parent->Handle(), &parent->sd, {0, 0}, 0, 0, canvas.Handle(),
                                  {0, 0, 40, 30});
    else
      CopyCacheToDC(parent, &parent->sd, {0, 0}, 0, 0, canvas.Handle(), {0, 0, 40, 30});
    GdiFlush();
    EXPECT_EQ(PixelAt(target, c.outside.X, c.outside.Y), ColorFromRGB(5, 5, 7)) << c.copy;
    EXPECT_EQ(PixelAt(target, c.child.X, c.child.Y), 0) << c.copy;
  }
  (void)window;
}

TEST_F(CommonDataTest, ACopyWithTheCornerEffectShowsThePanelBehindTheTransparentCorner) {
  auto* panel = Create<TPanel>(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(0, 0, 60, 50);
  panel->SetColor(kPanelColor);
  TSkinnedBox* box = Box(panel, "CORNERED", {5, 5, 25, 20});
  form->Handle();
  for (const bool effect : {false, true}) {
    PrepareCacheBitmap(&box->sd);
    TBitmap& cache = *box->sd.CacheBmp;
    for (int y = 0; y < cache.Height(); ++y) std::fill_n(cache.ScanLine(y), 3 * cache.Width(), 0);
    TBitmap target(20, 15, pf24bit);
    TBitmapCanvas canvas(target);
    CopyCacheToDC(box, &box->sd, {0, 0}, 0, 0, canvas.Handle(), {0, 0, 20, 15}, effect);
    GdiFlush();
    EXPECT_EQ(PixelAt(target, 0, 0), effect ? kPanelColor : 0) << "effect " << effect;
    EXPECT_EQ(PixelAt(target, 1, 0), 0) << "an opaque corner pixel, effect " << effect;
    EXPECT_EQ(PixelAt(target, 10, 7), 0) << "effect " << effect;
  }
}

// Children get command 20 (redraw now) on their gradient parent's resize,
// except those that follow its right or bottom edge and repaint anyway.
TEST_F(CommonDataTest, AGradientParentsResizeRepaintsOnlyTheChildrenThatKeepTheirPlace) {
  TSkinnedBox* parent = Box(form.get(), "GRAD", {0, 0, 100, 80});
  std::map<TAlign, int> shifts;
  for (const TAlign align : {alNone, alTop, alBottom, alLeft, alRight, alClient}) {
    auto* child = Create<TPanel>(form.get());
    child->SetParent(parent);
    child->SetBounds(10, 10, 20, 20);
    child->SetAlign(align);
    TWndMethod previous = child->WindowProc;
    child->WindowProc = TWndMethod([align, previous, &shifts](TMessage& m) {
      if (m.Msg == SM_ALPHACMD && m.WParamHi() == cmdBgShifted && m.WParamLo() == 1)
        ++shifts[align];
      previous(m);
    });
  }
  form->Handle();
  shifts.clear();
  parent->SetBounds(0, 0, 120, 90);
  EXPECT_EQ(shifts, (std::map<TAlign, int>{{alNone, 1}}));
}

// Whether a control paints its own picture or may be painted on a plain
// background straight into its window.
TEST_F(CommonDataTest, AControlNeedsAPictureOfItsOwnForWideBordersAndSeeThroughOverPictures) {
  // Panels: the kind of control that offers its children its plain background.
  auto* plainParent = Create<TsPanel>(form.get());
  plainParent->SetBounds(0, 0, 90, 60);
  plainParent->SetParent(form.get());
  plainParent->SkinData()->SetSkinSection("PLAIN");
  auto* gradParent = Create<TsPanel>(form.get());
  gradParent->SetBounds(0, 60, 90, 60);
  gradParent->SetParent(form.get());
  gradParent->SkinData()->SetSkinSection("GRAD");
  form->Handle();
  struct Case {
    const char* section;
    TWinControl* parent;
    bool needed;
  } cases[] = {
      {"PLAIN", plainParent, false},     // opaque, one colour
      {"CORNERED", plainParent, false},  // a narrow border
      {"WIDE", plainParent, true},       // left and right 16 each
      {"TALL", plainParent, true},       // top and bottom 16 each
      {"GRAD", plainParent, true},      {"HALF", plainParent, true},
      {"CLEAR", plainParent, false},  // sees the plain parent's colour
      {"CLEAR", gradParent, true},    // sees the parent's picture
      {"CLEAR", nullptr, true},         {"CLEARWIDE", plainParent, true},
  };
  for (const Case& c : cases) {
    TSkinnedBox* box = Box(c.parent != nullptr ? c.parent : form.get(), c.section, {2, 2, 30, 30});
    if (c.parent == nullptr) box->SetParent(nullptr);
    EXPECT_EQ(NeedsOwnBgCache(&box->sd), c.needed)
        << c.section << (c.parent == gradParent ? " over a gradient" : "");
  }
}

// An MDI child's halo is placed among the top-level windows above its
// skinned main form, not above the child, which is no top-level window.
TEST_F(CommonDataTest, AControlOnAnMDIChildGlowsRightAboveTheMainForm) {
  auto main = CreateOwned<TSkinTestForm>(true);
  main->SetFormStyle(fsMDIForm);
  main->SetBounds(20, 20, 300, 200);
  main->Show();
  auto* child = Create<TForm>(main.get());
  child->SetFormStyle(fsMDIChild);
  child->SetBounds(0, 0, 150, 100);
  child->Show();
  auto cover = CreateOwned<TForm>();  // another window of ours right above the main form
  cover->SetBounds(400, 20, 50, 50);
  cover->Show();
  auto* box = Create<TSkinnedBox>(child);
  box->SetBounds(10, 10, 50, 30);
  box->SetParent(child);
  box->sd.SetSkinSection("GLOWING");
  box->Handle();
  box->sd.MouseAbove = true;
  ShowControlGlow(&box->sd, false, nullptr);
  ASSERT_GE(box->sd.GlowIndex, 0);
  HWND glow = TacGlowEffects[static_cast<size_t>(box->sd.GlowIndex)]->Window();
  HWND below = glow;
  do {  // the next window of this program: others may share the desktop
    below = GetWindow(below, GW_HWNDNEXT);
    DWORD process = 0;
    GetWindowThreadProcessId(below, &process);
    if (process == GetCurrentProcessId()) break;
  } while (below != nullptr);
  EXPECT_EQ(below, main->Handle());
  ClearGlows();
}

LRESULT CALLBACK RedWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

// A window outside the toolkit whose class brush is red: asked to draw, it
// erases into the asker's context, shifted and clipped.
TEST(BackgroundFromForeignWindow, PaintsItselfShiftedAndClippedOrGivesAColour) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = RedWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = CreateSolidBrush(RGB(255, 0, 0));
  wc.lpszClassName = L"kvForeignRed";
  RegisterClassW(&wc);
  HWND wnd = CreateWindowW(L"kvForeignRed", L"", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                           wc.hInstance, nullptr);
  ASSERT_NE(wnd, nullptr);

  TBitmap target(8, 8, pf24bit);
  TBitmapCanvas canvas(target);
  FillRectWithColor(canvas.Handle(), {0, 0, 8, 8}, 0xFFFFFF);
  TsBgRequest request;
  request.AskerPos = {3, 4};
  request.R = {1, 1, 5, 4};
  request.DC = canvas.Handle();
  request.PleaseDraw = true;
  EXPECT_FALSE(GetWindowBackgroundInfo(request, wnd, true));
  EXPECT_EQ(request.BgType, btNoAnswer);
  GdiFlush();
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool inside = x >= 1 && x < 5 && y >= 1 && y < 4;
      const std::uint8_t* p = target.ScanLine(y) + 3 * x;
      EXPECT_EQ(ColorFromRGB(p[2], p[1], p[0]), inside ? 0x0000FF : 0xFFFFFF) << x << "," << y;
    }

  TsBgRequest silent;
  EXPECT_FALSE(GetWindowBackgroundInfo(silent, wnd, false));
  EXPECT_EQ(silent.BgType, btColor);
  EXPECT_EQ(silent.Color, static_cast<TColor>(ColorToRGB(clBtnFace)));

  DestroyWindow(wnd);
  UnregisterClassW(L"kvForeignRed", wc.hInstance);
  DeleteObject(wc.hbrBackground);
}

// The request travels as a pointer, so another process's window is never
// asked, nor told to paint into our context: it gives the colour.
TEST(BackgroundFromForeignWindow, AnotherProcessIsNeverAsked) {
  HWND desktop = GetDesktopWindow();
  DWORD process = 0;
  GetWindowThreadProcessId(desktop, &process);
  if (process == GetCurrentProcessId()) GTEST_SKIP() << "the desktop window is ours here";
  TBitmap target(4, 4, pf24bit);
  TBitmapCanvas canvas(target);
  FillRectWithColor(canvas.Handle(), {0, 0, 4, 4}, 0x123456);
  TsBgRequest request;
  request.R = {0, 0, 4, 4};
  request.DC = canvas.Handle();
  request.PleaseDraw = true;
  EXPECT_FALSE(GetWindowBackgroundInfo(request, desktop, true));
  EXPECT_EQ(request.BgType, btColor);
  GdiFlush();
  EXPECT_EQ(PixelAt(target, 1, 1), 0x123456) << "nothing painted into our context";
}

}  // namespace
}  // namespace kvtest
