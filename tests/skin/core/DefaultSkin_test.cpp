// The shipped skins, the default "Vista" and "Ocean": every section and mask
// the program's controls, forms, menus, scroll bars and dialogs ask for must
// resolve, and every mask must lie inside its image.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "skin/core/acUtils.h"
#include "skin/graphics/sMaskPaint.h"
#include "skin/model/sSkinModel.h"
#include "support/SkinNeeds.h"

namespace kv {
namespace {

using kvtest::kMasks;
using kvtest::kSections;
using kvtest::Need;

struct ShippedSkinFiles {
  const char* name;
  const char* packed;
  const char* folder;
};

const ShippedSkinFiles kShippedSkins[] = {
    {"Vista", KV_DEFAULT_SKIN_FILE, KV_DEFAULT_SKIN_DIR},
    {"Ocean", KV_OCEAN_SKIN_FILE, KV_OCEAN_SKIN_DIR},
};

TacBytes ReadFile(const char* name) {
  std::ifstream in(name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  return TacBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Each packed skin is loaded once for the whole program.
const TsSkinModel& Packed(const char* file) {
  static std::map<std::string, TsSkinModel> skins;
  auto [it, added] = skins.try_emplace(file);
  if (added) it->second.LoadFromPackedData(ReadFile(file));
  return it->second;
}

class ShippedSkin : public testing::TestWithParam<ShippedSkinFiles> {
 protected:
  const TsSkinModel& Skin() const { return Packed(GetParam().packed); }
};

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedSkin, testing::ValuesIn(kShippedSkins),
                         [](const testing::TestParamInfo<ShippedSkinFiles>& info) {
                           return std::string(info.param.name);
                         });

TEST_P(ShippedSkin, LoadsWithNothingSkipped) {
  const TsSkinModel& skin = Skin();
  EXPECT_TRUE(skin.CommonSkinData.Active);
  EXPECT_TRUE(skin.SkippedKeys.empty());
  ASSERT_TRUE(skin.MasterBitmap);
  EXPECT_EQ(skin.SectionIndexOf("GLOBALINFO"), 0);  // a tab section at 0 would read as none
  EXPECT_GT(skin.CommonSkinData.Version, 6.0);
}

TEST_P(ShippedSkin, HasEverySectionTheProgramAsksFor) {
  const TsSkinModel& skin = Skin();
  for (const char* section : kSections) {
    EXPECT_GE(skin.SectionIndexOf(section), 0) << "missing section " << section;
  }
}

TEST_P(ShippedSkin, ResolvesEveryMaskTheProgramAsksFor) {
  const TsSkinModel& skin = Skin();
  for (const Need& n : kMasks) {
    const int section = skin.SectionIndexOf(n.section);
    const int mask = n.exact ? skin.MaskIndexByNames(n.section, n.key)
                             : skin.MaskIndexOf(section, n.section, n.key);
    EXPECT_TRUE(skin.IsMaskIndexValid(mask)) << n.section << "." << n.key;
  }
  const TsCommonIndexes& c = skin.CommonIndexes;
  for (int index : {c.BoxChecked, c.BoxUnchecked, c.RadioChecked, c.TabTop.Border, c.BtnTop.Glyph,
                    c.SliderV.Border, c.Bar1H.Border, c.ComboBtnBorder, c.ComboGlyph}) {
    EXPECT_GE(index, 0);
  }
  EXPECT_GT(c.TabTop.Section, 0);
}

TEST_P(ShippedSkin, EveryMaskLiesInsideItsImageWithWholeFrames) {
  const TsSkinModel& skin = Skin();
  for (std::size_t i = 0; i < skin.MaskData.size(); ++i) {
    const TsMaskData& m = skin.MaskData[i];
    const TBitmap* img = skin.MaskImage(static_cast<int>(i));
    ASSERT_TRUE(img);
    const std::string name = m.SectionName + "." + m.PropertyName;
    EXPECT_GE(m.R.Left, 0) << name;
    EXPECT_GE(m.R.Top, 0) << name;
    EXPECT_LE(m.R.Right, img->Width()) << name;
    EXPECT_LE(m.R.Bottom, img->Height()) << name;
    EXPECT_GE(m.ImageCount, 1) << name;
    EXPECT_EQ(m.R.Width() % m.ImageCount, 0) << name << ": frames of unequal width";
    if (m.ImgType != itisaBorder) continue;  // only borders are cut in nine parts
    EXPECT_LT(skin.MaskMarginLeft(static_cast<int>(i)) + skin.MaskMarginRight(static_cast<int>(i)),
              MaskFrameWidth(m) + 1)
        << name;
    EXPECT_LT(skin.MaskMarginTop(static_cast<int>(i)) + skin.MaskMarginBottom(static_cast<int>(i)),
              MaskStateHeight(m) + 1)
        << name;
  }
}

// A border mask without a mask plane has its edges copied opaque: a
// transparent pixel there would show as 0xFF00FF. Only corners may hold it.
TEST_P(ShippedSkin, BorderMasksAreTransparentOnlyInTheirCorners) {
  const TsSkinModel& skin = Skin();
  for (std::size_t i = 0; i < skin.MaskData.size(); ++i) {
    const TsMaskData& m = skin.MaskData[i];
    if (m.ImgType != itisaBorder || m.MaskType != 0) continue;
    const TBitmap* img = skin.MaskImage(static_cast<int>(i));
    const int index = static_cast<int>(i);
    const int l = skin.MaskMarginLeft(index), t = skin.MaskMarginTop(index);
    const int r = skin.MaskMarginRight(index), b = skin.MaskMarginBottom(index);
    const int fw = MaskFrameWidth(m), fh = MaskStateHeight(m);
    const bool centre = (m.StretchMode & 4) != 0;
    int found = 0;
    for (int frame = 0; frame < m.ImageCount; ++frame)
      for (int y = 0; y < fh; ++y)
        for (int x = 0; x < fw; ++x) {
          const bool inCorner = (x < l || x >= fw - r) && (y < t || y >= fh - b);
          const bool inCentre = x >= l && x < fw - r && y >= t && y < fh - b;
          if (inCorner || (inCentre && !centre)) continue;
          const std::uint8_t* p =
              img->ScanLine(m.R.Top + y) + (m.R.Left + frame * fw + x) * img->BytesPerPixel();
          found += p[0] == 0xFF && p[1] == 0x00 && p[2] == 0xFF;
        }
    EXPECT_EQ(found, 0) << m.SectionName << "." << m.PropertyName;
  }
}

// A speed button's divider is a line down the mask's middle columns: a tall
// divider shows it along its whole height, not only at its ends.
TEST_P(ShippedSkin, ADividerShowsItsLineAlongItsWholeHeight) {
  const TsSkinModel& skin = Skin();
  const int index = skin.MaskIndexByNames("DIVIDER", "BORDERSMASK");
  ASSERT_TRUE(skin.IsMaskIndexValid(index));
  const TsMaskData& m = skin.MaskData[static_cast<std::size_t>(index)];
  const int width = MaskFrameWidth(m);
  TBitmap bitmap(width, 60, pf24bit);
  PaintMaskNinePart(&bitmap, {0, 0, width, 60}, true, MakeBgCacheInfo(&bitmap, 0, 0), m,
                    skin.MasterBitmap.get(), 0, false);
  const TBitmap* img = skin.MaskImage(index);
  const int bpp = img->BytesPerPixel();
  for (int x = skin.MaskMarginLeft(index); x < width - skin.MaskMarginRight(index); ++x) {
    // The mask's own colour of that column halfway down.
    const std::uint8_t* want =
        img->ScanLine(m.R.Top + MaskStateHeight(m) / 2) + (m.R.Left + x) * bpp;
    for (const int y : {10, 30, 50}) {
      const std::uint8_t* got = bitmap.ScanLine(y) + x * 3;
      EXPECT_TRUE(got[0] == want[0] && got[1] == want[1] && got[2] == want[2])
          << "column " << x << ", row " << y;
    }
  }
}

TEST_P(ShippedSkin, MenuAndWindowColoursAreTheSkinsOwn) {
  const TsSkinModel& skin = Skin();
  EXPECT_NE(skin.GetMenuHotColor(), DefaultColorToRGB(clHighlight));
  EXPECT_NE(skin.GetMenuHotFontColor(), DefaultColorToRGB(clHighlightText));
  EXPECT_NE(skin.GetGlobalInfoFontColor(), 0xFF00FF);
  EXPECT_NE(skin.GetEditHotFontColor(), 0xFF00FF);
}

TEST_P(ShippedSkin, ItsSourceFolderLoadsToTheSameSkin) {
  TsSkinModel folder;
  folder.LoadFromFolder(GetParam().folder);
  const TsSkinModel& packed = Skin();
  ASSERT_EQ(folder.GeneralData.size(), packed.GeneralData.size());
  ASSERT_EQ(folder.MaskData.size(), packed.MaskData.size());
  for (std::size_t i = 0; i < packed.MaskData.size(); ++i) {
    EXPECT_EQ(folder.MaskData[i].R, packed.MaskData[i].R);
  }
}

// Ocean is Vista's shapes in other colours: the same sections and masks in
// the same places, a different look where a user sees it.
class OceanAgainstVista : public testing::Test {
 protected:
  const TsSkinModel& vista = Packed(KV_DEFAULT_SKIN_FILE);
  const TsSkinModel& ocean = Packed(KV_OCEAN_SKIN_FILE);

  static int Luminance(std::int32_t tcolor) {
    return ((tcolor & 0xFF) * 299 + ((tcolor >> 8) & 0xFF) * 587 + ((tcolor >> 16) & 0xFF) * 114) /
           1000;
  }
  // The colour of a mask's frame at its centre, as a TColor.
  static std::int32_t MaskCentre(const TsSkinModel& skin, const char* section, const char* key,
                                 int frame) {
    const int index = skin.MaskIndexByNames(section, key);
    EXPECT_TRUE(skin.IsMaskIndexValid(index)) << section << "." << key;
    if (!skin.IsMaskIndexValid(index)) return -1;
    const TsMaskData& m = skin.MaskData[static_cast<std::size_t>(index)];
    const TBitmap* img = skin.MaskImage(index);
    const std::uint8_t* p =
        img->ScanLine(m.R.Top + MaskStateHeight(m) / 2) +
        (m.R.Left + frame * MaskFrameWidth(m) + MaskFrameWidth(m) / 2) * img->BytesPerPixel();
    return p[2] | (p[1] << 8) | (p[0] << 16);
  }
};

TEST_F(OceanAgainstVista, HasTheSameSectionsAndMasksInTheSamePlaces) {
  ASSERT_EQ(ocean.GeneralData.size(), vista.GeneralData.size());
  for (std::size_t i = 0; i < vista.GeneralData.size(); ++i) {
    EXPECT_EQ(ocean.GeneralData[i].ClassName, vista.GeneralData[i].ClassName);
    EXPECT_EQ(ocean.GeneralData[i].ParentClass, vista.GeneralData[i].ParentClass);
  }
  ASSERT_EQ(ocean.MaskData.size(), vista.MaskData.size());
  for (std::size_t i = 0; i < vista.MaskData.size(); ++i) {
    const std::string name = vista.MaskData[i].SectionName + "." + vista.MaskData[i].PropertyName;
    EXPECT_EQ(ocean.MaskData[i].SectionName + "." + ocean.MaskData[i].PropertyName, name);
    EXPECT_EQ(ocean.MaskData[i].R, vista.MaskData[i].R) << name;
    EXPECT_EQ(ocean.MaskData[i].ImageCount, vista.MaskData[i].ImageCount) << name;
    EXPECT_EQ(ocean.MaskData[i].StretchMode, vista.MaskData[i].StretchMode) << name;
  }
  EXPECT_EQ(ocean.CommonSkinData.TitleHeight, vista.CommonSkinData.TitleHeight);
}

TEST_F(OceanAgainstVista, HasADarkTitleBarWhereVistasIsBlue) {
  const int title = vista.SectionIndexOf("FORMTITLE");
  ASSERT_GE(title, 0);
  ASSERT_EQ(ocean.SectionIndexOf("FORMTITLE"), title);
  const std::int32_t vistaTitle = vista.GeneralData[static_cast<std::size_t>(title)].Color;
  const std::int32_t oceanTitle = ocean.GeneralData[static_cast<std::size_t>(title)].Color;
  EXPECT_NE(oceanTitle, vistaTitle);
  EXPECT_LT(Luminance(oceanTitle), 64);
  struct Band {
    const char* section;
    const char* key;
  };
  for (const Band& band : {Band{"FORMTITLE", "BORDERSMASK"}, Band{"FORM", "TITLEBAR"}}) {
    const std::int32_t active = MaskCentre(ocean, band.section, band.key, 1);
    EXPECT_NE(active, MaskCentre(vista, band.section, band.key, 1)) << band.section;
    EXPECT_LT(Luminance(active), 64) << band.section;
  }
}

// Faces and accents change colour; what stays readable stays readable.
TEST_F(OceanAgainstVista, PaintsItsFacesAndAccentsInOtherColours) {
  for (const char* section : {"FORM", "BUTTON", "PANEL", "MENULINE"}) {
    const int index = vista.SectionIndexOf(section);
    ASSERT_GE(index, 0) << section;
    const TsGeneralData& v = vista.GeneralData[static_cast<std::size_t>(index)];
    const TsGeneralData& o = ocean.GeneralData[static_cast<std::size_t>(index)];
    EXPECT_NE(o.Color, v.Color) << section;
    EXPECT_GT(Luminance(o.Color) - Luminance(o.FontColor[0]), 128) << section;
  }
  for (const char* section : {"BUTTON", "TABTOP", "SCROLLSLIDERV"}) {
    EXPECT_NE(MaskCentre(ocean, section, "BORDERSMASK", 1),
              MaskCentre(vista, section, "BORDERSMASK", 1))
        << section;
  }
}

}  // namespace
}  // namespace kv
