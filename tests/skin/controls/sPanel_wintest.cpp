// The skinned panel as the background of its children, under Wine with the
// synthetic skin whose PANEL section is a checkerboard.
#include <gtest/gtest.h>
#include <windows.h>

#include "skin/controls/SkinnedContainers.h"
#include "skin/controls/sPanel_win.h"
#include "support/Counters.h"

namespace kv {
namespace {

using kvtest::TPixels;

class PanelSkinned : public SkinnedContainers {
 protected:
  TsPanel* AddPanel(TWinControl* parent, const TRect& bounds, const char* section) {
    auto* panel = Create<TsPanel>(form);
    panel->SetParent(parent);
    panel->SetBevelOuter(bvNone);
    panel->SetCaption("");
    panel->SetBoundsRect(bounds);
    panel->SkinData()->SetSkinSection(section);
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
  TsPanel* plain = AddPanel(root, {30, 30, 130, 90}, "EDIT");
  plain->SkinData()->SetCustomColor(true);
  plain->SetColor(0x00C0C0);
  Show();
  const TPixels shown = TPixels::FromClient(plain->Handle());
  EXPECT_TRUE(kvtest::ColourAt(shown, 50, 30, 0x00C0C0));
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

}  // namespace
}  // namespace kv
