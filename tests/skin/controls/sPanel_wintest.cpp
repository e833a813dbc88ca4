// The skinned panel as the background of its children, under Wine with the
// synthetic skin whose PANEL section is a checkerboard.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

#include "skin/controls/SkinnedContainers.h"
#include "skin/controls/sPanel_win.h"
#include "skin/core/sSectionPaint_win.h"
#include "support/Counters.h"
#include "support/FreedMemory.h"
#include "support/Mouse.h"

namespace kv {
namespace {

using kvtest::TPixels;

class PanelSkinned : public SkinnedContainers {
 protected:
  std::string SectionKey(COLORREF colour) const {
    const kvtest::TSkinItem* item = skin->Legend(colour);
    return item == nullptr ? "-" : item->Section + "." + item->Key;
  }
  TsPanel* AddPanel(TWinControl* parent, const TRect& bounds, const char* section) {
    auto* panel = Create<TsPanel>(form);
    panel->SetParent(parent);
    panel->SetBevelOuter(bvNone);
    panel->SetCaption("");
    panel->SetBoundsRect(bounds);
    panel->SkinData()->SetSkinSection(section);
    return panel;
  }
  // An EDIT panel painted in a colour of its own.
  TsPanel* AddCustomColoured(TWinControl* parent, const TRect& bounds, TColor colour) {
    TsPanel* panel = AddPanel(parent, bounds, "EDIT");
    panel->SkinData()->SetCustomColor(true);
    panel->SetColor(colour);
    return panel;
  }
};

TEST_F(PanelSkinned, AChildsBackgroundLinesUpWithTheCheckerboardInsideABorder) {
  Load();
  root->SetBorderWidth(3);
  TsPanel* child = AddPanel(root, {21, 13, 81, 53}, "EDIT");
  Show();
  EXPECT_TRUE(BackgroundLinesUp(child));
  // The border strips come from the same picture as the client area.
  const TPixels window = TPixels::FromWindow(root->Handle());
  const TPixels cache = TPixels::FromBitmap(*root->SkinData()->CacheBmp);
  for (const POINT p : {POINT{1, 150}, POINT{200, 1}, POINT{root->Width() - 2, 150}})
    EXPECT_EQ(cache.At(p.x, p.y), window.At(p.x, p.y)) << p.x << "," << p.y;
}

TEST_F(PanelSkinned, AFullyTransparentSectionShowsItsParentsPicture) {
  Load({.Keys = {{"EDIT", "TRANSPARENCY", "100"}}});
  TsPanel* glass = AddPanel(root, {30, 30, 130, 90}, "EDIT");
  Show();
  glass->SetVisible(false);
  const TPixels under = TPixels::FromClient(root->Handle()).Crop({30, 30, 130, 90});
  glass->SetVisible(true);
  pump::PumpUntilIdle();
  const TPixels shown = TPixels::FromClient(glass->Handle());
  // Inside the mask's margins the parent shows through unchanged.
  const int m = kvtest::TTestSkin::kMargin;
  const RECT inner{m, m, glass->Width() - m, glass->Height() - m};
  EXPECT_TRUE(kvtest::SameImage(shown.Crop(inner), under.Crop(inner)));
  // And a child of the glass panel is given that same picture.
  TsPanel* inside = AddPanel(glass, {10, 10, 50, 40}, "EDIT");
  pump::PumpUntilIdle();
  EXPECT_TRUE(BackgroundLinesUp(inside));
}

TEST_F(PanelSkinned, AChildStickingOutOfItsParentRebuildsItsCacheAtTheNextPaint) {
  Load({.Keys = {{"EDIT", "TRANSPARENCY", "100"}}});
  const struct {
    TRect bounds;
    bool rebuilt;
  } rows[] = {{{40, 40, 140, 100}, false}, {{330, 40, 430, 100}, true}};
  for (const auto& row : rows) {
    TsPanel* child = AddPanel(root, row.bounds, "EDIT");
    if (!form->Visible()) Show();
    child->Repaint();
    TsCommonData* sd = child->SkinData();
    ASSERT_FALSE(sd->BGChanged);
    EXPECT_EQ(row.rebuilt, sd->PaintSkipped) << row.bounds.Left;
    MarkCache(sd);
    child->Repaint();
    EXPECT_EQ(row.rebuilt, !CacheMarked(sd)) << "at " << row.bounds.Left;
    child->Free();
  }
}

TEST_F(PanelSkinned, ACustomColouredPanelPaintsItsOwnColourOverTheCheckerboard) {
  Load();
  TsPanel* plain = AddCustomColoured(root, {30, 30, 130, 90}, 0x00C0C0);
  Show();
  const TPixels shown = TPixels::FromClient(plain->Handle());
  EXPECT_TRUE(kvtest::ColourAt(shown, 50, 30, 0x00C0C0));
}

// A PATTERN and HOTPATTERN in two states (the second image below the first)
// are found by name: the panel's background shows the first image in the
// normal and in the hot state.
TEST_F(PanelSkinned, ATwoStateTextureIsPaintedInTheNormalAndTheHotState) {
  const kvtest::TTestSkin::TBox b =
      kvtest::TTestSkin({.Checkerboard = true}).MaskBox("PANEL", "PATTERN");
  char twoStates[32];
  std::snprintf(twoStates, sizeof twoStates, "~%04d,%04d,%04d,%04d,00,1", b.Left, b.Top, b.Right,
                b.Bottom);
  Load({.Keys = {{"PANEL", "PATTERN", twoStates},
                 {"PANEL", "HOTPATTERN", twoStates},
                 {"PANEL", "HOTIMAGEPERCENT", "100"}}});
  Show();
  for (int state : {0, 1}) {
    TBitmap picture(40, 40, pf24bit);
    PaintSkinDataBackground(root->SkinData(), EmptyBgCacheInfo, state, {0, 0, 40, 40}, {},
                            &picture);
    const kvtest::TPixels shown = kvtest::TPixels::FromBitmap(picture);
    EXPECT_EQ(shown.At(1, 1), kvtest::TTestSkin::kCheckerA) << "state " << state;
    EXPECT_EQ(shown.At(5, 1), kvtest::TTestSkin::kCheckerB) << "state " << state;
  }
}

// A custom-coloured panel over the plain form still asks the form for its
// background: the transparent corners of its border show the form's colour.
TEST_F(PanelSkinned, ACustomColouredPanelsBorderCornersShowTheFormBehind) {
  Load();
  TsPanel* own = AddCustomColoured(form, {10, 10, 130, 90}, 0x00C0C0);
  Show();
  own->Repaint();
  const TPixels shown = TPixels::FromWindow(own->Handle());
  const int w = shown.Width(), h = shown.Height();
  for (const POINT p : {POINT{0, 0}, POINT{w - 1, 0}, POINT{0, h - 1}, POINT{w - 1, h - 1}})
    EXPECT_EQ(shown.At(p.x, p.y), kFormColor) << p.x << "," << p.y;
  EXPECT_EQ(0x00C0C0u, shown.At(kvtest::TTestSkin::kMargin + 4, 40));
}

// A see-through panel on the checkerboard panel (a picture below) and on the
// plain form (only a colour below) mixes its section colour over either.
class PanelSeeThrough : public PanelSkinned, public ::testing::WithParamInterface<bool> {};

TEST_P(PanelSeeThrough, ShowsTheSectionColourOverWhatIsBelow) {
  Load({.Keys = {{"EDIT", "TRANSPARENCY", "40"}}});
  TWinControl* below = GetParam() ? static_cast<TWinControl*>(root) : form;
  TsPanel* glass = AddPanel(below, {20, 20, 220, 160}, "EDIT");
  root->SetVisible(GetParam());
  Show();
  const TPixels shown = TPixels::FromClient(glass->Handle());
  glass->SetVisible(false);
  const TPixels under = TPixels::FromClient(below->Handle());
  const COLORREF colour = skin->Colour("EDIT", "COLOR");
  // Inside the mask's margins, on both checker colours.
  // Over a colour only (the plain form) a plain see-through section takes that colour.
  for (POINT p : {POINT{100, 70}, POINT{104, 70}}) {
    const COLORREF back = under.At(20 + p.x, 20 + p.y);
    EXPECT_TRUE(Mixed(shown.At(p.x, p.y), back, GetParam() ? colour : back, 40));
  }
}

INSTANTIATE_TEST_SUITE_P(Below, PanelSeeThrough, ::testing::Bool());

// Over a plain background the panel paints straight into its window and
// keeps no picture: the border mask at the edge, the section's colour inside,
// its own colour when it has one, the border width's band included.
TEST_F(PanelSkinned, OverAPlainBackgroundItPaintsStraightIntoTheWindowAndKeepsNoPicture) {
  Load();
  TsPanel* plain = AddPanel(form, {10, 10, 130, 90}, "EDIT");
  TsPanel* framed = AddPanel(form, {150, 10, 270, 90}, "EDIT");
  framed->SetBorderWidth(3);
  TsPanel* own = AddCustomColoured(form, {290, 10, 400, 90}, 0x00C0C0);
  Show();
  const int m = kvtest::TTestSkin::kMargin;
  for (TsPanel* panel : {plain, framed, own}) {
    panel->Repaint();
    SendMessageW(panel->Handle(), WM_NCPAINT, 1, 0);
    EXPECT_EQ(nullptr, panel->SkinData()->CacheBmp) << panel->Left();
    const TPixels shown = TPixels::FromWindow(panel->Handle());
    EXPECT_EQ("EDIT.BORDERSMASK", SectionKey(shown.At(1, 40))) << panel->Left();
    const COLORREF inside = shown.At(m + 4, 40);
    if (panel == own)
      EXPECT_EQ(0x00C0C0u, inside);
    else
      EXPECT_EQ(skin->Colour("EDIT", "COLOR"), inside) << panel->Left();
  }
}

// The same with the parent's background asked for: the panel is painted
// when its window is erased, whatever the screen held before.
TEST_F(PanelSkinned, OverAPlainBackgroundWithTheParentsBackgroundItIsPaintedToo) {
  Load();
  TsPanel* panel = AddPanel(form, {10, 10, 130, 90}, "EDIT");
  panel->SetParentBackground(true);
  Show();
  HDC dc = GetDC(panel->Handle());
  const RECT all{0, 0, panel->Width(), panel->Height()};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ReleaseDC(panel->Handle(), dc);
  const TPixels shown = TPixels::FromClient(panel->Handle());
  EXPECT_EQ(nullptr, panel->SkinData()->CacheBmp);
  EXPECT_EQ(skin->Colour("EDIT", "COLOR"), shown.At(kvtest::TTestSkin::kMargin + 4, 40));
}

// A see-through panel on the checkerboard keeps a picture that waits for its
// parent: held back, it paints once the parent has painted.
TEST_F(PanelSkinned, AHeldPaintComesWhenTheParentHasPainted) {
  Load({.Keys = {{"EDIT", "TRANSPARENCY", "40"}}});
  TsPanel* glass = AddPanel(root, {20, 20, 220, 160}, "EDIT");
  Show();
  EXPECT_TRUE(HeldPaintComesAfterTheParent(glass, glass->SkinData()));
}

// Windowless children are painted over the container's picture whatever the
// DC held before (a screen's stale pixels): a see-through label shows the
// checkerboard round its text, an opaque one its own colour.
TEST_F(PanelSkinned, WindowlessChildrenArePaintedOverThePictureNotOverWhatTheDcHeld) {
  Load();
  TsPanel* inner = AddPanel(root, {40, 40, 300, 200}, "PANEL");
  const auto label = [&](bool transparent, int top) {
    auto* l = Create<TLabel>(form);
    l->SetParent(inner);
    l->SetAutoSize(false);
    l->SetTransparent(transparent);
    l->SetColor(0xC80000);
    l->SetBounds(10, top, 150, 30);
    l->SetCaption("WWWW MMMM");
    return l;
  };
  TLabel* see = label(true, 10);
  TLabel* opaque = label(false, 60);
  Show();
  constexpr COLORREF kStale = RGB(255, 0, 0);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = inner->Width();
  info.bmiHeader.biHeight = -inner->Height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP target = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(nullptr, target);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, target);
  HBRUSH stale = CreateSolidBrush(kStale);
  const RECT all{0, 0, inner->Width(), inner->Height()};
  FillRect(dc, &all, stale);
  DeleteObject(stale);
  SendMessageW(inner->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  SelectObject(dc, old);
  DeleteDC(dc);
  const TPixels shown = TPixels::FromBitmap(target);
  DeleteObject(target);
  EXPECT_TRUE(kvtest::NoColourInside(shown, kStale, all));
  const RECT seeRect{see->Left(), see->Top(), see->Left() + see->Width(),
                     see->Top() + see->Height()};
  const RECT opaqueRect{opaque->Left(), opaque->Top(), opaque->Left() + opaque->Width(),
                        opaque->Top() + opaque->Height()};
  EXPECT_GT(shown.CountOf(kvtest::TTestSkin::kCheckerA, seeRect), 0);
  EXPECT_GT(shown.CountOf(kvtest::TTestSkin::kCheckerB, seeRect), 0);
  EXPECT_EQ(0, shown.CountOf(0xC80000, seeRect));
  EXPECT_GT(shown.CountOf(0xC80000, opaqueRect), 100);
  EXPECT_EQ(0, shown.CountOf(kvtest::TTestSkin::kCheckerA, opaqueRect));
}

TEST_F(PanelSkinned, SkinCommandsReachGrandchildrenAndSwitchesLeaveNoObjectsBehind) {
  Load();
  TsPanel* middle = AddPanel(root, {20, 20, 200, 160}, "PANEL");
  TsPanel* inner = AddPanel(middle, {10, 10, 90, 70}, "PANEL");
  TsPanel* leaf = AddPanel(inner, {10, 10, 50, 40}, "EDIT");
  Show();
  // One round first: the plain look's pens, brushes and fonts are made once.
  manager->SetActive(false);
  EXPECT_FALSE(SkinAvailable(leaf->SkinData(), true));
  form->Repaint();
  manager->SetActive(true);
  EXPECT_TRUE(SkinAvailable(leaf->SkinData(), true));
  form->Repaint();
  const kvtest::TObjectBaseline baseline;
  for (int i = 0; i < 50; ++i) {
    manager->SetActive(i % 2 != 0);
    form->Repaint();
  }
  manager->SetActive(true);
  form->Repaint();
  EXPECT_TRUE(baseline.Unchanged());
  EXPECT_TRUE(BackgroundLinesUp(leaf));
}

// A panel that a skin without its section leaves plain, freed by its own
// OnMouseEnter or OnMouseLeave: nothing of it is touched afterwards.
class PanelFreedByOwnHandler : public PanelSkinned, public ::testing::WithParamInterface<bool> {};

TEST_P(PanelFreedByOwnHandler, IsLeftAlone) {
  const bool entering = GetParam();
  Load();
  Show();
  kvtest::HoverOut();
  const kvtest::TFreedMemoryCheck freed;
  TsPanel* panel = AddPanel(root, {20, 20, 140, 100}, "NOSUCHSECTION");
  int calls = 0;
  (entering ? panel->OnMouseEnter : panel->OnMouseLeave) = [&](TObject*) {
    if (calls++ == 0) panel->Free();
  };
  pump::PumpUntilIdle();
  kvtest::MouseMove(panel->Handle(), {60, 40});
  if (!entering) kvtest::MouseMove(root->Handle(), {2, 2});
  ASSERT_EQ(calls, 1) << "the handler did not run";
  kvtest::HoverOut();
  EXPECT_EQ(freed.Faults(), 0u) << "the freed panel was read";
}

INSTANTIATE_TEST_SUITE_P(EnterOrLeave, PanelFreedByOwnHandler, ::testing::Bool());

}  // namespace
}  // namespace kv
