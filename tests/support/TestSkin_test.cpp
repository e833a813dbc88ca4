// The synthetic skin loads through the skin model: every section and mask
// the program asks for resolves, and the pixels of every mask state are the
// legend's colour, with transparent corner runs of the stated length.
#include "support/TestSkin.h"

#include <gtest/gtest.h>

#include "skin/model/sSkinModel.h"
#include "support/SkinNeeds.h"

namespace kvtest {
namespace {

kv::TsSkinModel Load(const TTestSkin& skin) {
  kv::TsSkinModel model;
  model.LoadFromPackedData(skin.Packed());
  return model;
}

int MaskOf(const kv::TsSkinModel& m, const Need& n) {
  return n.exact ? m.MaskIndexByNames(n.section, n.key)
                 : m.MaskIndexOf(m.SectionIndexOf(n.section), n.section, n.key);
}

std::uint32_t PixelAt(const kv::TBitmap& bmp, int x, int y) {
  const std::uint8_t* p = bmp.ScanLine(y) + x * bmp.BytesPerPixel();
  return (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
}

TEST(TestSkin, EverySectionAndMaskResolvesWithNothingSkipped) {
  const TTestSkin skin;
  const kv::TsSkinModel model = Load(skin);
  EXPECT_TRUE(model.SkippedKeys.empty());
  EXPECT_EQ(model.SectionIndexOf("GLOBALINFO"), 0);
  for (const char* section : kSections) {
    const int index = model.SectionIndexOf(section);
    ASSERT_GE(index, 0) << section;
    EXPECT_EQ(static_cast<std::uint32_t>(model.GeneralData[index].Color),
              skin.Colour(section, "COLOR"))
        << section;
    EXPECT_EQ(static_cast<std::uint32_t>(model.GeneralData[index].HotColor),
              skin.Colour(section, "HOTCOLOR", 1))
        << section;
  }
  for (const Need& n : kMasks)
    EXPECT_TRUE(model.IsMaskIndexValid(MaskOf(model, n))) << n.section << "." << n.key;
}

TEST(TestSkin, MaskPixelsMatchTheLegendStateByState) {
  const TTestSkin skin;
  const kv::TsSkinModel model = Load(skin);
  constexpr int run = TTestSkin::kCornerRun;
  for (const Need& n : kMasks) {
    const int index = MaskOf(model, n);
    ASSERT_TRUE(model.IsMaskIndexValid(index));
    const kv::TsMaskData& mask = model.MaskData[index];
    const kv::TBitmap* img = model.MaskImage(index);
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(mask.ImageCount, TTestSkin::kFrames) << n.section << "." << n.key;
    const int w = kv::MaskFrameWidth(mask), h = mask.R.Bottom - mask.R.Top;
    for (int state = 0; state < mask.ImageCount; ++state) {
      const int x0 = mask.R.Left + state * w, y0 = mask.R.Top;
      const std::uint32_t centre = PixelAt(*img, x0 + w / 2, y0 + h / 2);
      const TSkinItem* item = skin.Legend(centre);
      ASSERT_NE(item, nullptr) << n.section << "." << n.key << " state " << state;
      EXPECT_EQ(item->Section, n.section);
      EXPECT_EQ(item->Key, n.key);
      EXPECT_EQ(item->State, state);
      // The run along the top edge ends where stated.
      EXPECT_EQ(PixelAt(*img, x0 + run - 1, y0), TTestSkin::kTransparent);
      EXPECT_EQ(PixelAt(*img, x0 + run, y0), centre) << n.section << "." << n.key;
      EXPECT_EQ(PixelAt(*img, x0 + w - 1, y0 + h - run), TTestSkin::kTransparent);
      EXPECT_EQ(PixelAt(*img, x0 + w - 1, y0 + h - run - 1), centre);
    }
    if (mask.ImgType == kv::itisaBorder) {
      EXPECT_EQ(model.MaskMarginLeft(index), TTestSkin::kMargin);
      EXPECT_EQ(model.MaskMarginBottom(index), TTestSkin::kMargin);
    }
  }
  const int icon = model.MaskIndexByNames("GLOBALINFO", "SICONCLOSE");
  EXPECT_EQ(model.GetMaskStateSize(icon).cx, TTestSkin::kSmallIconW);
  EXPECT_EQ(model.GetMaskStateSize(icon).cy, TTestSkin::kSmallIconH);
}

TEST(TestSkin, PanelPatternIsACheckerboard) {
  TTestSkinOptions o;
  o.Checkerboard = true;
  const TTestSkin skin(o);
  const kv::TsSkinModel model = Load(skin);
  const int panel = model.SectionIndexOf("PANEL");
  EXPECT_EQ(model.GeneralData[panel].ImagePercent, 100);
  const int index = model.MaskIndexOf(panel, "PANEL", "PATTERN");
  ASSERT_TRUE(model.IsMaskIndexValid(index));
  const kv::TsMaskData& m = model.MaskData[index];
  EXPECT_EQ(m.ImgType, kv::itisaTexture);
  constexpr int cell = TTestSkin::kCheckerCell;
  EXPECT_EQ(PixelAt(*model.MasterBitmap, m.R.Left, m.R.Top), TTestSkin::kCheckerA);
  EXPECT_EQ(PixelAt(*model.MasterBitmap, m.R.Left + cell, m.R.Top), TTestSkin::kCheckerB);
  EXPECT_EQ(PixelAt(*model.MasterBitmap, m.R.Left + cell, m.R.Top + cell), TTestSkin::kCheckerA);
}

TEST(TestSkin, SwitchesReachEverySection) {
  TTestSkinOptions o;
  o.Fading = true;
  o.ShowFocus = true;
  o.GiveOwnFont = true;
  o.Glow = true;
  o.Transparency = 40;
  o.Keys = {{"BUTTON", "TRANSPARENCY", "100"}};
  const kv::TsSkinModel model = Load(TTestSkin(o));
  const kv::TsGeneralData& edit = model.GeneralData[model.SectionIndexOf("EDIT")];
  EXPECT_TRUE(edit.FadingEnabled);
  EXPECT_EQ(edit.FadingIterations, 4);
  EXPECT_TRUE(edit.ShowFocus);
  EXPECT_TRUE(edit.GiveOwnFont);
  EXPECT_EQ(edit.Transparency, 40);
  EXPECT_EQ(edit.GlowCount, 1);
  EXPECT_EQ(model.CommonSkinData.BICloseGlow, 1);
  EXPECT_EQ(model.CommonSkinData.BICloseGlowMargin, TTestSkin::kGlowMargin);
  EXPECT_TRUE(model.IsMaskIndexValid(model.MaskIndexByNames("GLOBALINFO", "BICONCLOSEGLOW0")));
  EXPECT_EQ(model.GeneralData[model.SectionIndexOf("BUTTON")].Transparency, 100);
}

TEST(TestSkin, MinimalSkinLacksItemsButInheritsWhereAParentHasThem) {
  TTestSkinOptions o;
  o.Minimal = true;
  const TTestSkin skin(o);
  const kv::TsSkinModel model = Load(skin);
  EXPECT_TRUE(model.SkippedKeys.empty());
  EXPECT_LT(model.SectionIndexOf("CAPTION"), 0);
  EXPECT_LT(model.MaskIndexByNames("GLOBALINFO", "BICONCLOSE"), 0);
  const int form = model.SectionIndexOf("FORM");
  EXPECT_LT(model.MaskIndexOf(form, "FORM", "BORDERSMASK"), 0);
  EXPECT_LT(model.MaskIndexOf(form, "FORM", "TITLEBAR"), 0);
  // The column header falls back on the button's border.
  const int header =
      model.MaskIndexOf(model.SectionIndexOf("COLHEADER"), "COLHEADER", "BORDERSMASK");
  ASSERT_TRUE(model.IsMaskIndexValid(header));
  EXPECT_EQ(model.MaskData[header].SectionName, "BUTTON");
  EXPECT_EQ(skin.Colour("COLHEADER", "BORDERSMASK"), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace kvtest
