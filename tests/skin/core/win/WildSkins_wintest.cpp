// Skins made elsewhere, under Wine: masks with a mask plane whose transparent
// corners lie over the parent, and a picture pattern in a skin whose first
// mask is a plain glyph. Skinned panels on a plain form are read back.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "../../controls/SkinnedForm.h"
#include "../../model/StoredFromModel.h"
#include "classlib/ExtCtrls.h"
#include "classlib/ListViews.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/controls/sEdit_win.h"
#include "skin/controls/sListView_win.h"
#include "skin/controls/sPanel_win.h"
#include "skin/core/sVclUtils_win.h"
#include "base/Streams.h"
#include "base/TempFolder.h"
#include "support/MessageBoxHook.h"
#include "support/Pixels.h"
#include "support/Pump.h"
#include "support/TestSkin.h"

namespace kv {
namespace {

using kvtest::TPixels;
using kvtest::TTestSkin;

class WildSkins : public kvtest::TSkinnedFormTest {
 protected:
  TsPanel* AddPanel(const char* section, const TRect& bounds) {
    auto* panel = Create<TsPanel>(form);
    panel->SetParent(form);
    panel->SetBevelOuter(bvNone);
    panel->SetCaption("");
    panel->SetBoundsRect(bounds);
    panel->SkinData()->SetSkinSection(section);
    return panel;
  }
};

bool Near(COLORREF a, COLORREF b, int tolerance) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
        tolerance)
      return false;
  return true;
}

// Under the corners' transparent pixels the plane holds magenta (which
// zeroed the green) or black (which showed raw magenta): either way the
// corner shows what lies behind the control.
class MaskPlaneCorners : public WildSkins, public ::testing::WithParamInterface<std::uint32_t> {};

TEST_P(MaskPlaneCorners, ShowTheParentUnderTheTransparentPixels) {
  Load({.MaskPlanes = true, .PlaneUnderCorners = GetParam()});
  TsPanel* panel = AddPanel("BUTTON", {20, 20, 120, 70});
  Show();
  const TPixels shown = TPixels::FromClient(panel->Handle());
  const int w = shown.Width(), h = shown.Height();
  for (const POINT p : {POINT{0, 0}, POINT{TTestSkin::kCornerRun - 1, 0}, POINT{0, h - 1},
                        POINT{w - 1, 0}, POINT{w - 1, h - 1}})
    EXPECT_EQ(shown.At(p.x, p.y), kvtest::kFormColour) << p.x << "," << p.y;
  // Where the image is opaque the plane lets it through unchanged.
  EXPECT_EQ(shown.At(w / 2, 0), Colour("BUTTON", "BORDERSMASK", 0));
}

INSTANTIATE_TEST_SUITE_P(PlaneUnderCorners, MaskPlaneCorners,
                         ::testing::Values(0xFF00FFu, 0x000000u));

// The pattern is the skin's picture number 0 and mask number 0 is a glyph
// without a plane: the panel shows the picture, not a tile of the glyph.
TEST_F(WildSkins, APicturePatternIsTiledNotTheFirstMask) {
  Load({.JpegPatterns = {"PANEL"}});
  const TsSkinModel& model = manager->Skin();
  ASSERT_EQ(model.PatternData.size(), 1u);
  ASSERT_FALSE(model.MaskData.empty());
  ASSERT_EQ(model.MaskData[0].MaskType, 0);
  TsPanel* panel = AddPanel("PANEL", {10, 10, 210, 130});
  Show();
  const TPixels shown = TPixels::FromClient(panel->Handle());
  const int m = TTestSkin::kMargin;
  for (const POINT p : {POINT{m + 1, m + 1}, POINT{100, 60}, POINT{190, 110}})
    EXPECT_TRUE(Near(shown.At(p.x, p.y), TTestSkin::kJpegColour, 3))
        << p.x << "," << p.y << ": 0x" << std::hex << shown.At(p.x, p.y);
}

// An edit, a button and a list long enough for both scroll bars.
struct TPlainLookControls {
  TsEdit* edit;
  TsBitBtn* button;
  TsListView* list;
  std::vector<TPixels> Pictures() const {
    std::vector<TPixels> shots;
    for (TWinControl* c : {static_cast<TWinControl*>(edit), static_cast<TWinControl*>(button),
                           static_cast<TWinControl*>(list)}) {
      RedrawWindow(c->Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
      shots.push_back(TPixels::FromWindow(c->Handle()));
    }
    return shots;
  }
};

TPlainLookControls AddPlainLookControls(TForm* form) {
  auto* edit = Create<TsEdit>(form);
  edit->SetParent(form);
  edit->SetBounds(10, 10, 150, 24);
  auto* button = Create<TsBitBtn>(form);
  button->SetParent(form);
  button->SetBounds(170, 10, 80, 26);
  auto* list = Create<TsListView>(form);
  list->SetParent(form);
  list->SetBounds(10, 50, 200, 120);
  list->SetViewStyle(vsReport);
  for (int c = 0; c < 4; ++c) list->Columns()->Add()->SetWidth(80);
  for (int r = 0; r < 30; ++r) list->Items()->Add()->SetCaption(std::to_string(r));
  return {edit, button, list};
}

// A dark skin, then a sparse one lacking the sections of edits, buttons and
// scroll bars: each control looks as it does when the program starts in the
// sparse skin, not as the dark one left it.
TEST_F(WildSkins, ASkinLackingSectionsGivesTheirControlsThePlainLookOfAFreshStart) {
  const kvtest::TTestSkinOptions sparseSkin{.Only = {"FORM", "DIALOG", "PANEL"}};
  Load(sparseSkin);
  const TPlainLookControls first = AddPlainLookControls(form);
  Show();
  const std::vector<TPixels> fresh = first.Pictures();
  for (const char* section : {"EDIT", "BUTTON", "SCROLLBAR1H", "SCROLLSLIDERV"})
    ASSERT_FALSE(manager->Skin().IsSectionIndexValid(manager->Skin().SectionIndexOf(section)))
        << section;
  form->Free();

  const std::string dark = "2105376", light = "15790320";  // 0x202020, 0xF0F0F0
  Load({.Keys = {{"EDIT", "COLOR", dark},
                 {"EDIT", "FONTCOLOR", light},
                 {"BUTTON", "COLOR", dark},
                 {"BUTTON", "FONTCOLOR", light},
                 {"SCROLLBAR1H", "COLOR", dark},
                 {"SCROLLBAR1V", "COLOR", dark}}});
  const TPlainLookControls controls = AddPlainLookControls(form);
  Show();
  ASSERT_EQ(controls.edit->Color(), 0x202020);
  TsStoredSkin& sparse = manager->InternalSkins.Add();
  sparse.Name = "Sparse";
  sparse.Data = TTestSkin(sparseSkin).Packed();
  manager->SetSkinName("Sparse");
  pump::PumpUntilIdle();
  EXPECT_EQ(controls.edit->Color(), clWindow);
  EXPECT_EQ(controls.edit->Font()->Color(), clWindowText);
  const std::vector<TPixels> switched = controls.Pictures();
  const char* names[] = {"edit", "button", "list"};
  for (std::size_t i = 0; i < fresh.size(); ++i)
    EXPECT_TRUE(kvtest::SameImage(switched[i], fresh[i])) << names[i];
}

// The picture an animated show fades in: a skinned panel with its frame,
// a child at its place in the client area, and a hidden child as the
// background behind it.
TEST_F(WildSkins, AControlsPictureHoldsItsChildrenAtTheirPlacesAndHiddenOnesAsBackground) {
  Load();
  TsPanel* outer = AddPanel("PANEL", {10, 10, 210, 150});
  outer->SetBorderWidth(5);
  auto* inner = Create<TsPanel>(form);
  inner->SetParent(outer);
  inner->SetBevelOuter(bvNone);
  inner->SetCaption("");
  inner->SetBounds(30, 20, 80, 60);
  inner->SkinData()->SetSkinSection("BUTTON");
  Show();
  const TPixels window = TPixels::FromWindow(outer->Handle());
  TBitmap picture(outer->Width(), outer->Height(), pf24bit);
  PaintControlToBitmap(&picture, outer, 0, 0);
  const TPixels painted = TPixels::FromBitmap(picture);
  RECT frame;
  GetWindowRect(outer->Handle(), &frame);
  RECT at;
  GetWindowRect(inner->Handle(), &at);
  const int ix = at.left - frame.left, iy = at.top - frame.top;
  for (const POINT p : {POINT{ix + 40, iy + 1}, POINT{ix + 40, iy + 30}, POINT{3, 3},
                        POINT{100, 130}})
    EXPECT_EQ(painted.At(p.x, p.y), window.At(p.x, p.y)) << p.x << "," << p.y;
  // Hidden, the inner panel is pictured as what lies behind it.
  inner->SetVisible(false);
  pump::PumpUntilIdle();
  const TPixels behind = TPixels::FromWindow(outer->Handle());
  TBitmap hidden(inner->Width(), inner->Height(), pf24bit);
  PaintControlToBitmap(&hidden, inner, 0, 0);
  const TPixels shownHidden = TPixels::FromBitmap(hidden);
  for (const POINT p : {POINT{40, 1}, POINT{40, 30}})
    EXPECT_EQ(shownHidden.At(p.x, p.y), behind.At(ix + p.x, iy + p.y)) << p.x << "," << p.y;
}

// A skin from elsewhere with one odd BUTTON.BORDERSMASK, chosen from its
// file as the Skins menu chooses one: it loads without a word, the odd key
// paints nothing (as the key left empty) and every other part paints as in
// the same skin without it. A rectangle outside its image is listed with
// the keys skipped for a missing file.
struct TOddKey {
  const char* what;
  const char* value;
  bool listed;
};
void PrintTo(const TOddKey& key, std::ostream* os) { *os << key.what; }

class OddKeySkin : public WildSkins, public ::testing::WithParamInterface<TOddKey> {
 protected:
  // The synthetic skin with the key, and a picture of its own, in Name.asz.
  void Choose(const std::string& name, const char* value) {
    kvtest::TTestSkinOptions options{.Checkerboard = true};
    if (value != nullptr) options.Keys = {{"BUTTON", "BORDERSMASK", value}};
    const kvtest::TTestSkin made(options);
    const std::string text = made.OptionsText();
    const TacBytes packed =
        BuildPackedSkin({{"Options.dat", {text.begin(), text.end()}},
                         {kvtest::TTestSkin::kMasterName, WriteBmp(made.Master())},
                         {"SEP.BMP", WriteBmp(TBitmap(30, 20, pf24bit))}});
    WriteFileBytes(folder.File(name + ".asz"), {packed.begin(), packed.end()});
    manager->SetSkinDirectory(folder.Path());
    manager->SetSkinName(name);
    pump::PumpUntilIdle();
  }
  std::vector<TPixels> Pictures() const {
    std::vector<TPixels> shots;
    for (TsPanel* panel : panels) {
      RedrawWindow(panel->Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
      shots.push_back(TPixels::FromWindow(panel->Handle()));
    }
    return shots;
  }
  kv::test::TempFolder folder;
  std::vector<TsPanel*> panels;
};

TEST_P(OddKeySkin, LoadsFromItsFileAndPaintsEveryOtherKeyAsBefore) {
  Load();
  panels = {AddPanel("BUTTON", {10, 10, 110, 60}), AddPanel("PANEL", {120, 10, 220, 60}),
            AddPanel("EDIT", {10, 70, 110, 120})};
  Show();
  kv::test::MessageBoxHook boxes;
  Choose("Plain", nullptr);
  const std::vector<TPixels> plain = Pictures();
  Choose("Without", "");
  const std::vector<TPixels> without = Pictures();
  Choose("Odd", GetParam().value);
  ASSERT_EQ(manager->SkinName(), "Odd");
  EXPECT_TRUE(manager->CommonSkinData().Active);
  const std::vector<TPixels> odd = Pictures();
  EXPECT_TRUE(boxes.Texts().empty()) << boxes.Texts().front();
  EXPECT_TRUE(kvtest::ImagesDiffer(plain[0], without[0])) << "the key paints in the plain skin";
  EXPECT_TRUE(kvtest::SameImage(odd[0], without[0])) << "the odd key";
  for (std::size_t i = 1; i < panels.size(); ++i)
    EXPECT_TRUE(kvtest::SameImage(odd[i], plain[i])) << panels[i]->SkinData()->SkinSection();
  const std::vector<std::string>& skipped = manager->Skin().SkippedKeys;
  const bool listed = std::any_of(skipped.begin(), skipped.end(), [](const std::string& k) {
    return k.starts_with("BUTTON.BORDERSMASK (");
  });
  EXPECT_EQ(listed, GetParam().listed);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, OddKeySkin,
    ::testing::Values(
        TOddKey{"NoFrames", "^0000,0000,0030,0030,0000,0000,0000,0000,0,0,0,0", false},
        TOddKey{"TwelveStatesOfAPicture", "!SEP.BMP!1!12!0", false},
        TOddKey{"FramesUnderAPixel", "@0000,0000,0002,0030,3,0", false},
        TOddKey{"StatesUnderAPixel", "@0000,0000,0010,0001,1,1", false},
        TOddKey{"NegativeMargin", "^0000,0000,0030,0030,-001,0002,0000,0000,1,0,0,0", false},
        TOddKey{"BadNumbersOfAMissingPicture", "!GONE.BMP!x!y!z", true},
        TOddKey{"RectangleOutsideTheImage", "^9990,0000,9999,0030,0000,0000,0000,0000,1,0,0,0",
                true}),
    [](const ::testing::TestParamInfo<TOddKey>& info) { return std::string(info.param.what); });

// A stored skin given only as collections paints as the same skin packed:
// panels with a border, a checkerboard texture and a picture pattern.
TEST_F(WildSkins, AStoredSkinOfCollectionsPaintsAsTheSameSkinPacked) {
  Load({.Checkerboard = true, .JpegPatterns = {"GROUPBOX"}});
  AddPanel("BUTTON", {10, 10, 110, 60});
  AddPanel("PANEL", {120, 10, 220, 100});
  AddPanel("GROUPBOX", {230, 10, 310, 110});
  Show();
  const TPixels packed = TPixels::FromClient(form->Handle());
  TsStoredSkin& stored = manager->InternalSkins.Add();
  stored = test::StoredFromModel(manager->Skin(), "Collections");
  ASSERT_TRUE(stored.Data.empty());
  manager->SetSkinName("Collections");
  pump::PumpUntilIdle();
  ASSERT_EQ(manager->SkinName(), "Collections");
  ASSERT_TRUE(manager->CommonSkinData().Active);
  const TPixels collections = TPixels::FromClient(form->Handle());
  ASSERT_EQ(packed.Width(), collections.Width());
  int differing = 0;
  for (int y = 0; y < packed.Height(); ++y)
    for (int x = 0; x < packed.Width(); ++x) differing += packed.At(x, y) != collections.At(x, y);
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(collections.At(60, 10), Colour("BUTTON", "BORDERSMASK", 0));
}

}  // namespace
}  // namespace kv
