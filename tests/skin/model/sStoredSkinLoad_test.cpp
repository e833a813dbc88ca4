// A stored skin whose "Data" is empty: its collections are the skin.
#include <gtest/gtest.h>

#include <sstream>

#include "SkinTestUtil.h"
#include "StoredFromModel.h"
#include "skin/model/sSkinModel.h"
#include "support/TestSkin.h"

namespace kv {
namespace {

std::string Describe(const TsGeneralData& g) {
  std::ostringstream s;
  s << g.ClassName << " parent " << g.ParentClass << " color " << g.Color << " font "
    << test::ColourText(g.FontColor) << " hot font " << test::ColourText(g.HotFontColor)
    << " own " << g.GiveOwnFont << " glow " << g.GlowCount << "/" << g.GlowMargin << " res "
    << g.ReservedBoolean << " tr " << g.Transparency << " grad " << g.GradientPercent << " ["
    << g.GradientData << "] " << g.GradientArray.size() << " img " << g.ImagePercent
    << " focus " << g.ShowFocus << " fade " << g.FadingEnabled << "/" << g.FadingIterations
    << " hot " << g.HotColor << " " << g.HotTransparency << " " << g.HotGradientPercent << " ["
    << g.HotGradientData << "] " << g.HotGradientArray.size() << " " << g.HotImagePercent
    << " masks " << g.BorderIndex << " " << g.ImgTopLeft << " " << g.ImgTopRight << " "
    << g.ImgBottomLeft << " " << g.ImgBottomRight;
  return s.str();
}

std::string Pixels(const TBitmap* bmp) {
  if (bmp == nullptr) return "none";
  TBitmap copy(*bmp);
  copy.SetPixelFormat(pf24bit);
  std::string bytes = std::to_string(copy.Width()) + "x" + std::to_string(copy.Height()) + ":";
  for (int y = 0; y < copy.Height(); ++y)
    bytes.append(reinterpret_cast<const char*>(copy.ScanLine(y)), 3 * std::size_t(copy.Width()));
  return bytes;
}

// Margins only when asked: a stored skin completes the margins the options
// text leaves at 0 for textures and glyphs.
std::string Describe(const TsMaskData& m, bool margins = true) {
  std::ostringstream s;
  s << m.SectionName << "." << m.PropertyName << " R " << m.R.Left << "," << m.R.Top << ","
    << m.R.Right << "," << m.R.Bottom << " n " << m.ImageCount << " t " << m.MaskType << " bw "
    << m.BorderWidth << " st " << m.StretchMode << " img " << int(m.ImgType) << " own "
    << (m.Bmp != nullptr);
  if (margins) s << " w " << m.WL << "," << m.WT << "," << m.WR << "," << m.WB;
  return s.str() + (m.Bmp ? Pixels(m.Bmp.get()) : "");
}

void ExpectSameSkin(const TsSkinModel& a, const TsSkinModel& b) {
  ASSERT_EQ(a.GeneralData.size(), b.GeneralData.size());
  for (std::size_t i = 0; i < a.GeneralData.size(); ++i)
    EXPECT_EQ(Describe(a.GeneralData[i]), Describe(b.GeneralData[i]));
  ASSERT_EQ(a.MaskData.size(), b.MaskData.size());
  for (std::size_t i = 0; i < a.MaskData.size(); ++i) {
    const TsMaskData& m = a.MaskData[i];
    const bool ownMargins = m.WL + m.WT + m.WR + m.WB != 0;
    EXPECT_EQ(Describe(m, ownMargins), Describe(b.MaskData[i], ownMargins)) << i;
  }
  ASSERT_EQ(a.PatternData.size(), b.PatternData.size());
  for (std::size_t i = 0; i < a.PatternData.size(); ++i) {
    EXPECT_EQ(a.PatternData[i].SectionName + a.PatternData[i].PropertyName,
              b.PatternData[i].SectionName + b.PatternData[i].PropertyName);
    EXPECT_EQ(Pixels(a.PatternData[i].Img.get()), Pixels(b.PatternData[i].Img.get()));
  }
  EXPECT_TRUE(Pixels(a.MasterBitmap.get()) == Pixels(b.MasterBitmap.get()));
  ASSERT_TRUE(b.MasterBitmap);
  EXPECT_TRUE(b.MasterBitmap->Transparent);
  EXPECT_EQ(b.MasterBitmap->TransparentColor, TransparentColor);
  EXPECT_EQ(a.CommonIndexes.ExBorder, b.CommonIndexes.ExBorder);
  EXPECT_EQ(a.CommonIndexes.BtnTop.Glyph, b.CommonIndexes.BtnTop.Glyph);
  EXPECT_EQ(a.CommonIndexes.ComboBtnBorder, b.CommonIndexes.ComboBtnBorder);
  EXPECT_TRUE(b.CommonSkinData.Active);
}

TEST(StoredSkinCollections, LoadLikeTheSameSkinPacked) {
  const std::vector<kvtest::TTestSkinOptions> skins = {
      {},
      {.Glow = true, .GlowImageFiles = true},
      {.Checkerboard = true, .Textured = {"BUTTON"}, .Gradient = {"PANEL"}},
      {.CornerImages = {"PANEL"}, .MaskPlanes = true},
  };
  for (std::size_t i = 0; i < skins.size(); ++i) {
    SCOPED_TRACE(i);
    TsSkinModel packed;
    packed.LoadFromPackedData(kvtest::TTestSkin(skins[i]).Packed());
    const TsStoredSkin stored = test::StoredFromModel(packed, "S");
    ASSERT_TRUE(stored.Data.empty());
    TsSkinModel collections;
    collections.LoadFromStoredSkin(stored);
    ExpectSameSkin(packed, collections);
  }
}

// The skin-wide values come from the stored skin itself, the others keep
// their defaults.
TEST(StoredSkinCollections, TakeTheSkinWideValuesFromTheStoredSkin) {
  TsStoredSkin st;
  st.Version = 300.5;
  st.Author = "Us";
  st.Description = "Kept";
  st.Shadow1Color = 0x123456;
  st.Shadow1Offset = 3;
  st.Shadow1Blur = 5;
  st.Shadow1Transparency = 40;
  st.BorderColor = 0x0000FF;
  st.GeneralData.Add().SectionName = "GLOBALINFO";
  TsSkinModel m;
  m.LoadFromStoredSkin(st);
  const TsSkinData& d = m.CommonSkinData;
  EXPECT_DOUBLE_EQ(d.Version, 300.5);
  EXPECT_EQ(d.Author, "Us");
  EXPECT_EQ(d.Description, "Kept");
  EXPECT_EQ(d.Shadow1Color, 0x123456);
  EXPECT_EQ(d.Shadow1Offset, 3);
  EXPECT_EQ(d.Shadow1Blur, 5);
  EXPECT_EQ(d.Shadow1Transparency, 40);
  EXPECT_EQ(d.BorderColor, 0x0000FF);
  EXPECT_EQ(d.TitleHeight, 30);
  EXPECT_EQ(d.MaxTitleHeight, 30);
  EXPECT_FALSE(SkinVersionNotice(d).empty());
  EXPECT_FALSE(m.MasterBitmap);
}

// Font colour texts give the four side colours only with all five numbers.
TEST(StoredSkinCollections, SplitFontColourTextsOfFiveNumbers) {
  struct Case {
    const char* text;
    std::array<std::int32_t, 5> colours;
  };
  const std::vector<Case> cases = {{"1 2 3 4 5", {1, 2, 3, 4, 5}},
                                   {"7  8 9 10 11 12", {7, 8, 9, 10, 11}},
                                   {"7 8", {7, -1, -1, -1, -1}},
                                   {"255", {255, -1, -1, -1, -1}},
                                   {"", {0, -1, -1, -1, -1}}};
  for (const Case& c : cases) {
    TsStoredSkin st;
    TsSkinGeneral& g = st.GeneralData.Add();
    g.SectionName = "EDIT";
    g.FontColor = c.text;
    g.HotFontColor = c.text;
    TsSkinModel m;
    m.LoadFromStoredSkin(st);
    EXPECT_EQ(m.GeneralData[0].FontColor, c.colours) << c.text;
    EXPECT_EQ(m.GeneralData[0].HotFontColor, c.colours) << c.text;
  }
  TsStoredSkin bad;
  TsSkinGeneral& g = bad.GeneralData.Add();
  g.SectionName = "EDIT";
  g.FontColor = "1 2 x 4 5";
  TsSkinModel m;
  EXPECT_THROW(m.LoadFromStoredSkin(bad), ESkinError);
}

TEST(StoredSkinCollections, MakeMasksAndPatternsFromTheirItems) {
  TsStoredSkin st;
  st.GeneralData.Add().SectionName = "BUTTON";
  st.MasterBitmap = TBitmap(200, 100, pf24bit);
  TsSkinImage& inMaster = st.Images.Add();  // no counts: three frames, two states
  inMaster.SectionName = "button";
  inMaster.PropertyName = "bordersmask";
  inMaster.Left = 10;
  inMaster.Top = 20;
  inMaster.Right = 100;
  inMaster.Bottom = 80;
  TsSkinImage& own = st.Images.Add();
  own.SectionName = "BUTTON";
  own.PropertyName = "GLYPH";
  own.Image = TBitmap(30, 12, pf32bit);
  own.Left = own.Top = 1;  // the picture's bounds count
  own.ImageCount = 3;
  own.ImgType = static_cast<TacImgType>(9);
  own.WL = 1;
  own.WR = 2;
  own.WT = 3;
  own.WB = 4;
  // Cut from the master with no margins: completed as for borders.
  const auto cut = [&](const char* key, TacImgType type, int count, int states, int width) {
    TsSkinImage& item = st.Images.Add();
    item.SectionName = "BUTTON";
    item.PropertyName = key;
    item.Right = 60;
    item.Bottom = 24;
    item.ImageCount = count;
    item.MaskType = states;
    item.BorderWidth = width;
    item.ImgType = type;
  };
  cut("GLYPHMASK", itisaGlyph, 2, 1, 0);
  cut("TEXTURE", itisaTexture, 1, 0, 0);
  cut("GLOW", itisaGlow, 1, 0, 5);
  cut("PNGGLYPH", itisaPngGlyph, 4, 0, 0);
  auto pattern = [&](const char* section, const char* key, int size) {
    TsSkinPattern& p = st.Patterns.Add();
    p.SectionName = section;
    p.PropertyName = key;
    p.Image = TBitmap(size, size, pf24bit);
  };
  pattern("Button", "Pattern", 200);
  pattern("BUTTON", "HOTPATTERN", 300);
  TsSkinModel m;
  m.LoadFromStoredSkin(st);

  const int border = m.MaskIndexOf(0, "BUTTON", "BORDERSMASK");
  ASSERT_GE(border, 0);
  const TsMaskData& b = m.MaskData[border];
  EXPECT_EQ(b.R, (TRect{10, 20, 100, 80}));
  EXPECT_EQ(b.ImageCount, 3);
  EXPECT_EQ(b.MaskType, 1);
  EXPECT_EQ(b.WL, 10);  // 90 / 9
  EXPECT_EQ(b.WT, 10);  // 60 / 6
  EXPECT_FALSE(b.Bmp);

  const int glyph = m.MaskIndexOf(0, "BUTTON", "GLYPH");
  ASSERT_GE(glyph, 0);
  const TsMaskData& g = m.MaskData[glyph];
  ASSERT_TRUE(g.Bmp);
  EXPECT_EQ(g.Bmp->PixelFormat(), pf24bit);
  EXPECT_EQ(g.R, (TRect{0, 0, 30, 12}));
  EXPECT_EQ(g.ImgType, itisaPngGlyph);
  EXPECT_EQ((std::array<int, 4>{g.WL, g.WT, g.WR, g.WB}), (std::array<int, 4>{1, 3, 2, 4}));

  const struct {
    const char* key;
    std::array<int, 4> margins;
  } cut_margins[] = {{"GLYPHMASK", {10, 4, 10, 4}},  // 60 / (2 x 3), 24 / (2 x 3)
                     {"TEXTURE", {20, 8, 20, 8}},
                     {"GLOW", {5, 5, 5, 5}},  // the border width
                     {"PNGGLYPH", {5, 8, 5, 8}}};
  for (const auto& c : cut_margins) {
    const int i = m.MaskIndexByNames("BUTTON", c.key);
    ASSERT_GE(i, 0) << c.key;
    const TsMaskData& k = m.MaskData[i];
    EXPECT_EQ((std::array<int, 4>{k.WL, k.WT, k.WR, k.WB}), c.margins) << c.key;
  }

  const int texture = m.TextureIndexOf(0, "BUTTON", "PATTERN");
  ASSERT_GE(texture, 0) << "a small picture tiles as a texture mask";
  EXPECT_EQ(m.MaskData[texture].Bmp->Width(), 200);
  ASSERT_EQ(m.PatternData.size(), 1u);
  EXPECT_EQ(m.PatternIndexOf(0, "BUTTON", "HOTPATTERN"), 0);
}

// Without packed data the collections are the skin, empty ones too.
TEST(StoredSkinCollections, EmptyCollectionsLoadASkinWithoutSections) {
  TsStoredSkin st;
  st.Name = "Empty";
  st.Shadow1Blur = 5;
  TsSkinModel m;
  m.LoadFromPackedData(test::MakePack("[FORM]\r\nCOLOR=1\r\n"));
  ASSERT_EQ(m.SectionIndexOf("FORM"), 0);
  m.LoadFromStoredSkin(st);
  EXPECT_TRUE(m.GeneralData.empty());
  EXPECT_TRUE(m.MaskData.empty());
  EXPECT_EQ(m.SectionIndexOf("FORM"), -1);
  EXPECT_EQ(m.CommonSkinData.Shadow1Blur, 5);
}

TEST(StoredSkinCollections, CopyTheirItems) {
  TsStoredSkin a;
  a.GeneralData.Add().SectionName = "A";
  a.Images.Add().PropertyName = "K";
  TsStoredSkin b;
  b.Assign(a);
  a.GeneralData.Items(0).SectionName = "changed";
  EXPECT_EQ(b.GeneralData.Items(0).SectionName, "A");
  EXPECT_EQ(b.Images.Count(), 1);
}

}  // namespace
}  // namespace kv
