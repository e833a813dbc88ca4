// The skinned status bar under Wine with the synthetic skin: its panels and
// their frames or dividers, texts kept inside their panels, the grip, owner
// drawing, the check boxes the main window puts on it, and the plain bar it
// becomes again when the skin goes.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "skin/controls/SkinnedForm.h"
#include "skin/controls/sCheckBox_win.h"
#include "skin/controls/sStatusBar_win.h"
#include "skin/geometry/sStatusBarGeometry.h"

namespace kv {
namespace {

using kvtest::TPixels;

constexpr int kBarHeight = 22;
const std::vector<int> kWidths = {60, 90, 40};

class StatusBar : public kvtest::TSkinnedForm {
 protected:
  void SetUp() override {
    TSkinnedForm::SetUp();
    bar = Create<TsStatusBar>(form);
    bar->SetParent(form);
    bar->SetAlign(alBottom);
    bar->SetHeight(kBarHeight);
  }
  void AddPanels(const std::vector<std::string>& texts = {"", "", ""}) {
    for (size_t i = 0; i < kWidths.size(); ++i) {
      TStatusPanel* panel = bar->Panels()->Add();
      panel->SetWidth(kWidths[i]);
      panel->SetText(texts[i]);
    }
  }
  // The bar alone, cut out of the form.
  TPixels BarShot() {
    const TPixels all = Shot();
    return all.Crop({0, bar->Top(), bar->Width(), bar->Top() + bar->Height()});
  }
  std::vector<TsStatusPanelPlace> Places(int dividerWidth) const {
    return StatusPanelPlaces(kWidths, bar->Width(), bar->Height(), dividerWidth);
  }

  TsStatusBar* bar = nullptr;
};

TEST_F(StatusBar, PanelsAreFramedSideBySideAndTheLastReachesTheRightEdge) {
  AddPanels();
  const TPixels shot = BarShot();
  const int y = 5;  // above the grip
  for (const TsStatusPanelPlace& p : Places(0)) {
    SCOPED_TRACE(testing::Message() << "panel from " << p.Bounds.Left << " to " << p.Bounds.Right);
    EXPECT_EQ(ItemAt(shot, p.Frame.Left, y), "STATUSBAR.STATUSPANELMASK#0");
    EXPECT_EQ(ItemAt(shot, p.Frame.Right - 1, y), "STATUSBAR.STATUSPANELMASK#0");
    EXPECT_EQ(ItemAt(shot, p.Bounds.Right - 1, y), "STATUSBAR.COLOR#0") << "between panels";
  }
  EXPECT_EQ(ItemAt(shot, bar->Width() - 3, y), "STATUSBAR.STATUSPANELMASK#0")
      << "the last panel stretched to the edge";
  const int g = kvtest::TTestSkin::kGlyphSize;
  const TPoint grip = StatusGripPos(bar->Width(), kBarHeight, 0, {g, g});
  EXPECT_EQ(ItemAt(shot, grip.X + g / 2, grip.Y + g / 2), "GLOBALINFO.GRIPIMAGE#0");
}

TEST_F(StatusBar, WithoutAPanelMaskDividersStandOnlyBetweenPanels) {
  kvtest::TTestSkinOptions minimal;
  minimal.Minimal = true;
  Load(minimal);
  bar->SetSizeGrip(false);
  AddPanels();
  const TPixels shot = BarShot();
  const int mid = kBarHeight / 2;
  const TRect box = {0, 0, shot.Width(), shot.Height()};
  const auto places = Places(2 * kvtest::TTestSkin::kMargin);
  const COLORREF divider = skin->Colour("DIVIDER", "BORDERSMASK");
  for (size_t i = 0; i + 1 < places.size(); ++i) {
    const TRect& d = places[i].Divider;
    EXPECT_EQ(ItemAt(shot, (d.Left + d.Right) / 2, mid), "DIVIDER.BORDERSMASK#0") << "after " << i;
  }
  const TRect& last = places[places.size() - 2].Divider;
  EXPECT_TRUE(kvtest::NoColourInside(shot, divider, {last.Right, box.Top, box.Right, box.Bottom}))
      << "a divider after the last panel";
  EXPECT_TRUE(kvtest::NoColourInside(shot, divider, {0, 0, places[0].Divider.Left, box.Bottom}));
}

// Against the same panels without texts: every pixel a text changed lies
// inside the text's room in its own panel.
TEST_F(StatusBar, LongTextsAreCutToTheirPanel) {
  bar->SetSizeGrip(false);
  AddPanels();
  const TPixels empty = BarShot();
  const std::string longText(40, 'W');
  bar->Panels()->Items(0)->SetText(longText);
  bar->Panels()->Items(2)->SetText(longText);
  const TPixels shot = BarShot();
  const auto places = Places(0);
  std::vector<int> changed(places.size());
  for (int y = 0; y < shot.Height(); ++y)
    for (int x = 0; x < shot.Width(); ++x) {
      if (shot.At(x, y) == empty.At(x, y)) continue;
      const auto in = std::find_if(places.begin(), places.end(), [&](const TsStatusPanelPlace& p) {
        return x >= p.Text.Left && x < p.Text.Right && y >= p.Text.Top && y < p.Text.Bottom;
      });
      ASSERT_NE(in, places.end()) << "text outside its room at " << x << "," << y;
      ++changed[static_cast<size_t>(in - places.begin())];
    }
  EXPECT_GT(changed[0], 20);
  EXPECT_EQ(changed[1], 0) << "the empty panel shows text";
  EXPECT_GT(changed[2], 20);
}

TEST_F(StatusBar, OwnerDrawnPanelsGetTheSkinnedFrameAndTheirOwnPainting) {
  bar->SetSizeGrip(false);
  AddPanels({"", "never shown", ""});
  bar->Panels()->Items(1)->SetStyle(psOwnerDraw);
  std::vector<TRect> asked;
  bar->OnDrawPanel = [&](TStatusBar* sender, TStatusPanel* panel, const TRect& r) {
    EXPECT_EQ(panel->Index(), 1);
    asked.push_back(r);
    sender->Canvas()->Brush()->SetColor(clRed);
    sender->Canvas()->FillRect({r.Left + 4, r.Top + 4, r.Left + 14, r.Bottom - 4});
  };
  const TPixels shot = BarShot();
  const TsStatusPanelPlace p = Places(0)[1];
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(asked.back(), p.Frame);
  EXPECT_TRUE(kvtest::ColourAt(shot, p.Frame.Left + 8, kBarHeight / 2, RGB(255, 0, 0)));
  EXPECT_EQ(ItemAt(shot, p.Frame.Right - 2, kBarHeight / 2), "STATUSBAR.STATUSPANELMASK#0");
}

// A bar sticking out of its parent shows whatever the parent painted under
// it: each paint builds its cache anew. A mark put into the cache shows
// while the cache is kept.
TEST_F(StatusBar, ABarOutsideItsParentRebuildsItsCacheAtEveryPaint) {
  bar->SetSizeGrip(false);
  AddPanels();
  BarShot();
  TBitmap& cache = *bar->SkinData()->CacheBmp;
  const auto markShown = [&] {
    std::uint8_t* p = cache.ScanLine(10) + 100 * cache.BytesPerPixel();
    p[0] = 0x12, p[1] = 0x34, p[2] = 0x56;
    RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return Read().At(100, bar->Top() + 10) == RGB(0x56, 0x34, 0x12);
  };
  EXPECT_TRUE(markShown()) << "a bar inside its parent keeps its cache";
  bar->SetAlign(alNone);
  bar->SetBounds(0, form->ClientHeight() - kBarHeight / 2, form->ClientWidth(), kBarHeight);
  Shot();
  EXPECT_FALSE(markShown()) << "the cache of a half-visible bar was kept";
}

// The main window's bar: a simple text and two check boxes on it.
TEST_F(StatusBar, CheckBoxesOnTheBarStayOverItsBackground) {
  bar->SetSimplePanel(true);
  bar->SetSimpleText("COM1");
  TsCheckBox* boxes[2];
  for (int i = 0; i < 2; ++i) {
    boxes[i] = Create<TsCheckBox>(form);
    boxes[i]->SetParent(bar);
    boxes[i]->SetCaption("Auto");
    boxes[i]->SetBounds(120 + 80 * i, 3, 70, 16);
  }
  const TPixels before = BarShot();
  const TPixels boxShot = before.Crop({120, 3, 190, 19});
  EXPECT_EQ(ItemAt(before, 110, kBarHeight / 2), "STATUSBAR.STATUSPANELMASK#0");
  const COLORREF frame = skin->Colour("STATUSBAR", "STATUSPANELMASK");
  EXPECT_GT(before.CountDiffering(frame, {4, 3, 60, 19}), 10) << "no simple text";
  // A repaint of the bar alone must not paint over its children.
  RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  const TPixels after = Read().Crop({0, bar->Top(), bar->Width(), bar->Top() + kBarHeight});
  EXPECT_TRUE(kvtest::SameImage(after.Crop({120, 3, 190, 19}), boxShot));
  EXPECT_NE(ItemAt(after, 125, 10), "STATUSBAR.STATUSPANELMASK#0") << "the box was painted over";
  EXPECT_NE(ItemAt(after, 205, 10), "STATUSBAR.STATUSPANELMASK#0") << "the box was painted over";
}

// Removing the skin gives the system bar back in a new window, with the
// panels, their texts and the children it held.
TEST_F(StatusBar, SkinRemovalRecreatesTheBarKeepingPanelsTextsAndChildren) {
  AddPanels({"one", "two", "three"});
  auto* box = Create<TsCheckBox>(form);
  box->SetParent(bar);
  box->SetBounds(70, 3, 60, 16);
  Shot();
  const HWND old = bar->Handle();
  manager->SetActive(false);
  ASSERT_TRUE(bar->HandleAllocated());
  EXPECT_NE(bar->Handle(), old) << "not recreated";
  EXPECT_FALSE(IsWindow(old));
  EXPECT_EQ(bar->PanelTextShown(0), "one");
  EXPECT_EQ(bar->PanelTextShown(2), "three");
  EXPECT_EQ(GetParent(box->Handle()), bar->Handle());
  const TPixels plain = BarShot();
  EXPECT_EQ(ItemAt(plain, 20, kBarHeight / 2), "-") << "skinned after the skin went";
  manager->SetActive(true);
  EXPECT_EQ(ItemAt(BarShot(), 20, kBarHeight / 2), "STATUSBAR.STATUSPANELMASK#0");
}

}  // namespace
}  // namespace kv
