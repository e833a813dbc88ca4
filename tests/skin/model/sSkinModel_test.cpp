#include "skin/model/sSkinModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <tuple>

#include "SkinTestUtil.h"
#include "base/SysUtils.h"
#include "base/TempFolder.h"

namespace kv {
namespace {

using test::MakePack;
using test::SolidBmp;

const std::string kGlobal = "[GLOBALINFO]\r\nMASTERBITMAP=MASTER.BMP\r\n";

TsSkinModel Load(const std::string& options, int masterW = 100, int masterH = 100,
                 const TsSkinLoadOptions& o = {},
                 std::vector<std::pair<std::string, TacBytes>> more = {}) {
  more.insert(more.begin(), {"master.bmp", SolidBmp(masterW, masterH)});
  TsSkinModel m;
  m.LoadFromPackedData(MakePack(options, std::move(more)), o);
  return m;
}

std::string LoadError(const std::string& options,
                      std::vector<std::pair<std::string, TacBytes>> more = {}) {
  try {
    Load(options, 100, 100, {}, std::move(more));
  } catch (const ESkinError& e) {
    return e.what();
  }
  return "(loaded)";
}

const TsMaskData& Mask(const TsSkinModel& m, const std::string& section, const std::string& key) {
  const int i = m.MaskIndexByNames(section, key);
  EXPECT_GE(i, 0) << section << "." << key;
  static const TsMaskData none;
  return i >= 0 ? m.MaskData[i] : none;
}

TEST(sSkinModel, ReadsTheSkinWideValuesOfGlobalInfo) {
  const TsSkinModel m = Load(kGlobal +
                             "VERSION=7.25\r\nAUTHOR=Us\r\nDESCRIPTION=Skin #2 with a.jpg name\r\n"
                             "TITLEHEIGHT=24\r\nBORDERWIDTH=3\r\nSHADOW1BLUR=6\r\nBIKEEPHUE=1\r\n");
  const TsSkinData& d = m.CommonSkinData;
  EXPECT_TRUE(d.Active);
  EXPECT_DOUBLE_EQ(d.Version, 7.25);
  EXPECT_EQ(d.Author, "Us");
  EXPECT_EQ(d.Description, "Skin #2 with a.jpg name");  // a text, not an image
  EXPECT_EQ(d.TitleHeight, 24);
  EXPECT_EQ(d.MaxTitleHeight, 24);  // MAXHEIGHT absent
  EXPECT_EQ(d.BorderWidth, 3);
  EXPECT_EQ(Load(kGlobal).CommonSkinData.BorderWidth, 4) << "when absent";
  EXPECT_EQ(d.Shadow1Blur, 6);
  EXPECT_EQ(d.BIKeepHue, 1);
  EXPECT_TRUE(m.MaskData.empty());
  ASSERT_TRUE(m.MasterBitmap);
  EXPECT_EQ(m.MasterBitmap->Width(), 100);
  EXPECT_TRUE(m.MasterBitmap->Transparent);
  EXPECT_EQ(m.MasterBitmap->TransparentColor, 0xFF00FF);
}

// Skins made elsewhere put blanks and tabs around "=" and after values; the
// manager's CommonSections text, though, counts as written.
TEST(sSkinModel, OptionsLoseBlanksAroundNamesAndValuesCommonSectionsDoNot) {
  TsSkinLoadOptions o;
  o.CommonSections = "[OWN]\r\nCOLOR = 48\r\nHOTCOLOR=0x20\r\n";
  const TsSkinModel m = Load(
      " [GLOBALINFO] \r\nMASTERBITMAP = MASTER.BMP\r\nAUTHOR =  Someone Else  \r\n"
      "TITLEHEIGHT\t=\t22\r\n[BUTTON]\r\nCOLOR = 255 \r\nBORDERSMASK = ^0000,0000,0030,0030,"
      "0000,0000,0000,0000,3,0,0,0 \r\n",
      100, 100, o);
  EXPECT_EQ(m.CommonSkinData.Author, "Someone Else");
  EXPECT_EQ(m.CommonSkinData.TitleHeight, 22);
  const int button = m.SectionIndexOf("BUTTON");
  ASSERT_GE(button, 0);
  EXPECT_EQ(m.GeneralData[button].Color, 255);
  EXPECT_EQ(Mask(m, "BUTTON", "BORDERSMASK").R.Right, 30);
  const int own = m.SectionIndexOf("OWN");
  ASSERT_GE(own, 0);
  EXPECT_EQ(m.GeneralData[own].Color, 0xFFFFFF) << "\"COLOR \" is no COLOR key there";
  EXPECT_EQ(m.GeneralData[own].HotColor, 0x20);
}

TEST(sSkinModel, SectionsInheritAbsentValuesThroughParentClass) {
  const TsSkinModel m =
      Load(kGlobal +
           "[BUTTON]\r\nCOLOR=255\r\nFONTCOLOR=7\r\nTCLEFT=9\r\nFADINGENABLED=true\r\n"
           "GRADIENTDATA=1;2;100;0;0\r\n"
           "[SPEEDBUTTON]\r\nPARENTCLASS=BUTTON\r\n"
           "[SMALL]\r\nPARENTCLASS=SPEEDBUTTON\r\nCOLOR=-1\r\nFONTCOLOR=3\r\n"
           "[SELF]\r\nPARENTCLASS=SELF\r\nHOTCOLOR=-16777201\r\nCOLOR=-16777201\r\n");
  const TsGeneralData& small = m.GeneralData[m.SectionIndexOf("SMALL")];
  EXPECT_EQ(small.ParentClass, "SPEEDBUTTON");
  EXPECT_EQ(small.Color, 255);
  EXPECT_EQ(small.FontColor[0], 3);
  EXPECT_EQ(small.FontColor[1], 9);
  EXPECT_EQ(small.FontColor[2], -1);
  EXPECT_TRUE(small.FadingEnabled);
  EXPECT_EQ(small.GradientArray.size(), 1u);

  const TsGeneralData& self = m.GeneralData[m.SectionIndexOf("SELF")];
  EXPECT_EQ(self.GradientData, " ");
  EXPECT_TRUE(self.GradientArray.empty());
  EXPECT_EQ(self.FadingIterations, 5);
  EXPECT_EQ(self.HotColor, -16777201);                  // stored as written
  EXPECT_EQ(self.Color, DefaultColorToRGB(-16777201));  // resolved to RGB
  EXPECT_EQ(m.SectionIndexOf("button"), -1);            // look-ups are exact
}

TEST(sSkinModel, ReadsEveryMaskFormatWithItsFields) {
  const TsSkinModel m =
      Load(kGlobal +
               "[A]\r\n"
               "BORDERSMASK=^0010,0020,0030,0040,0000,0000,0000,0000,3,1,0,0\r\n"
               "WIDE=^0000,0000,0090,0040,0001,0002,0003,0004,3,1,5,2\r\n"
               "T23=~0001,0002,0011,0012,02\r\n"
               "T24=~0001,0002,0011,0012,02,\r\n"
               "T25=~0001,0002,0011,0014,02,1\r\n"
               "GLYPHMASK=@0000,0050,0030,0060,3,0\r\n"
               "WORDS=#(10,10,40,30)(3,1)\r\n"
               "WORDS4=#(0,0,20,20)(0,-1,2,7)\r\n"
               "SEP=!SEP.BMP!2!0!9\r\n"
               "SEP8=!SEP.BMP!1!0!0!1!2!3!4\r\n"
               "LOWER=!sep.bmp!1!0!0\r\n"
               "PLAIN=plain.bmp\r\n",
           100, 100, {}, {{"SEP.BMP", SolidBmp(40, 20)}, {"PLAIN.bmp", SolidBmp(90, 60)}});
  const TsMaskData& b = Mask(m, "A", "BORDERSMASK");
  EXPECT_EQ(b.R, Rect(10, 20, 30, 40));
  EXPECT_EQ(b.WL, 2);
  EXPECT_EQ(b.WR, 2);
  EXPECT_EQ(b.WT, 3);
  EXPECT_EQ(b.WB, 3);
  EXPECT_EQ(b.ImgType, itisaBorder);

  const TsMaskData& w = Mask(m, "A", "WIDE");
  EXPECT_EQ(w.WL, 1);
  EXPECT_EQ(w.WB, 4);
  EXPECT_EQ(w.StretchMode, 5);
  EXPECT_EQ(w.BorderWidth, 2);
  EXPECT_EQ(m.GetMaskStateSize(m.MaskIndexByNames("A", "WIDE")), (TSize{30, 20}));

  EXPECT_EQ(Mask(m, "A", "T23").MaskType, 0);
  EXPECT_EQ(Mask(m, "A", "T24").MaskType, 0);  // 24 characters: no state count yet
  EXPECT_EQ(Mask(m, "A", "T24").ImgType, itisaTexture);
  EXPECT_EQ(Mask(m, "A", "T24").StretchMode, 2);
  EXPECT_EQ(Mask(m, "A", "T25").MaskType, 1);
  EXPECT_EQ(Mask(m, "A", "GLYPHMASK").ImgType, itisaGlyph);
  EXPECT_EQ(Mask(m, "A", "GLYPHMASK").ImageCount, 3);

  const TsMaskData& words = Mask(m, "A", "WORDS");
  EXPECT_EQ(words.R, Rect(10, 10, 40, 30));
  EXPECT_EQ(words.StretchMode, 1);
  EXPECT_EQ(words.BorderWidth, 0);
  EXPECT_EQ(Mask(m, "A", "WORDS4").ImageCount, 1);  // at least one frame
  EXPECT_EQ(Mask(m, "A", "WORDS4").MaskType, 0);
  EXPECT_EQ(Mask(m, "A", "WORDS4").BorderWidth, 2);
  EXPECT_EQ(Mask(m, "A", "WORDS4").WL, 2);
  EXPECT_EQ(Mask(m, "A", "WORDS4").StretchMode, 7);

  const TsMaskData& sep = Mask(m, "A", "SEP");
  ASSERT_TRUE(sep.Bmp);
  EXPECT_EQ(sep.ImgType, itisaPngGlyph);  // 9 is capped
  EXPECT_EQ(sep.StretchMode, 4);
  EXPECT_EQ(sep.R, Rect(0, 0, 40, 20));
  EXPECT_EQ(sep.WL, 40 / 6);
  EXPECT_EQ(Mask(m, "A", "SEP8").WR, 3);
  EXPECT_EQ(m.MaskIndexByNames("A", "LOWER"), -1);  // the ".BMP" test is case-sensitive

  const TsMaskData& plain = Mask(m, "A", "PLAIN");
  ASSERT_TRUE(plain.Bmp);
  EXPECT_EQ(plain.ImageCount, 3);
  EXPECT_EQ(plain.MaskType, 1);
  EXPECT_EQ(plain.WL, 10);
  EXPECT_EQ(plain.WT, 10);
  EXPECT_EQ(m.GetMaskStateSize(m.MaskIndexByNames("A", "PLAIN")), (TSize{30, 30}));
}

TEST(sSkinModel, MaskLookUpsFollowParentClassAndMarginsFallBack) {
  const TsSkinModel m = Load(kGlobal +
                             "[BUTTON]\r\nBORDERSMASK=^0000,0000,0060,0020,0000,0000,0000,0000,3,0,"
                             "0,5\r\nPATTERN=~0000,0030,0010,0040,00\r\n"
                             "[SPEEDBUTTON]\r\nPARENTCLASS=BUTTON\r\n"
                             "[LOST]\r\nPARENTCLASS=NOWHERE\r\n");
  const int button = m.SectionIndexOf("BUTTON");
  const int speed = m.SectionIndexOf("SPEEDBUTTON");
  const int mask = m.MaskIndexOf(button, "BUTTON", "BORDERSMASK");
  EXPECT_GE(mask, 0);
  EXPECT_EQ(m.MaskIndexOf(speed, "SPEEDBUTTON", "BORDERSMASK"), mask);
  EXPECT_EQ(m.GeneralData[speed].BorderIndex, mask);
  EXPECT_EQ(m.MaskIndexOf(-1, "BUTTON", "BORDERSMASK"), -1);
  EXPECT_EQ(m.MaskIndexOf(button, "", "BORDERSMASK"), -1);
  EXPECT_EQ(m.MaskIndexByNames("SPEEDBUTTON", "BORDERSMASK"), -1);
  EXPECT_EQ(m.TextureIndexOf(speed, "SPEEDBUTTON", "PATTERN"),
            m.MaskIndexByNames("BUTTON", "PATTERN"));
  EXPECT_EQ(m.TextureIndexOf(speed, "SPEEDBUTTON", "BORDERSMASK"), -1);
  EXPECT_EQ(m.MaskIndexOf(m.SectionIndexOf("LOST"), "LOST", "BORDERSMASK"), -1);
  EXPECT_EQ(m.PatternIndexOf(button, "BUTTON", "PATTERN"), -1);
  // BorderWidth 5 stands in for the zero margins.
  EXPECT_EQ(m.MaskMarginLeft(mask), 5);
  EXPECT_EQ(m.MaskMarginBottom(mask), 5);
  EXPECT_TRUE(m.IsMaskIndexValid(mask));
  EXPECT_FALSE(m.IsMaskIndexValid(static_cast<int>(m.MaskData.size())));
  EXPECT_FALSE(m.IsSectionIndexValid(-1));
  EXPECT_EQ(m.MaskImage(mask), m.MasterBitmap.get());
}

// A zero margin beside others that are not gives way to the border width,
// from 1 up, else to the frame (width per frame, height per state).
TEST(sSkinModel, AZeroMarginFallsBackToTheBorderWidthThenTheFrame) {
  const struct { int borderWidth, left, top; } cases[] = {{0, 10, 10}, {1, 1, 1}, {2, 2, 2}};
  for (const auto& c : cases) {
    const TsSkinModel m =
        Load(kGlobal + "[A]\r\nB=^0000,0000,0030,0020,0000,0000,0005,0000,3,1,0," +
             std::to_string(c.borderWidth) + "\r\n");
    const int i = m.MaskIndexByNames("A", "B");
    EXPECT_EQ(m.MaskMarginLeft(i), c.left) << "border width " << c.borderWidth;
    EXPECT_EQ(m.MaskMarginTop(i), c.top) << "border width " << c.borderWidth;
    EXPECT_EQ(m.MaskMarginRight(i), 5);
  }
}

TEST(sSkinModel, ColourGettersFallBackWhenTheSkinLacksTheirSections) {
  TsSkinModel empty;
  empty.LoadFromPackedData(MakePack("[OTHER]\r\nCOLOR=1\r\n"));
  EXPECT_EQ(empty.GetGlobalInfoColor(), DefaultColorToRGB(clBtnFace));
  EXPECT_EQ(empty.GetGlobalInfoFontColor(), 0xFF00FF);
  EXPECT_EQ(empty.GetGlobalInfoHotColor(), DefaultColorToRGB(clWindow));
  EXPECT_EQ(empty.GetEditHotFontColor(), 0xFF00FF);
  EXPECT_EQ(empty.GetMenuHotColor(), DefaultColorToRGB(clHighlight));
  EXPECT_EQ(empty.GetMenuHotFontColor(), DefaultColorToRGB(clHighlightText));

  const TsSkinModel m = Load(kGlobal +
                             "COLOR=1\r\nFONTCOLOR=2\r\nHOTCOLOR=3\r\n[EDIT]\r\nHOTFONTCOLOR=4\r\n"
                             "[MENUITEM]\r\nHOTCOLOR=5\r\nHOTFONTCOLOR=6\r\n");
  EXPECT_EQ(m.GetGlobalInfoColor(), 1);
  EXPECT_EQ(m.GetGlobalInfoFontColor(), 2);
  EXPECT_EQ(m.GetGlobalInfoHotColor(), 3);
  EXPECT_EQ(m.GetEditHotFontColor(), 4);
  EXPECT_EQ(m.GetMenuHotColor(), 5);
  EXPECT_EQ(m.GetMenuHotFontColor(), 6);

  // A menu item's hot colours that cannot stand out (none, the key colour,
  // white, or black text) give way to the system's highlight colours.
  const TColor highlight = DefaultColorToRGB(clHighlight);
  const TColor highlightText = DefaultColorToRGB(clHighlightText);
  const struct {
    const char* hotColor;
    const char* hotFontColor;
    TColor color, fontColor;
  } menus[] = {{"16777215", "6", highlight, highlightText},
               {"16711935", "6", highlight, highlightText},
               {"5", "16711935", 5, highlightText},
               {"5", "16777215", 5, highlightText},
               {"5", "0", 5, highlightText},
               {"5", "7", 5, 7}};
  for (const auto& c : menus) {
    const TsSkinModel menu = Load(kGlobal + "[MENUITEM]\r\nHOTCOLOR=" + c.hotColor +
                                  "\r\nHOTFONTCOLOR=" + c.hotFontColor + "\r\n");
    EXPECT_EQ(menu.GetMenuHotColor(), c.color) << c.hotColor << " " << c.hotFontColor;
    EXPECT_EQ(menu.GetMenuHotFontColor(), c.fontColor) << c.hotColor << " " << c.hotFontColor;
  }
}

// The well-known sections and masks are found by their own names, and the
// skin-wide section keeps no cached masks of its own.
TEST(sSkinModel, CommonIndexesPointAtTheirOwnSectionsAndMasks) {
  std::string options = kGlobal + "BORDERSMASK=@0000,0000,0030,0010,3,0\r\n";
  const char* const globals[] = {"BOXCHECKED",     "BOXUNCHECKED", "BOXGRAYED",    "RADIOCHECKED",
                                 "RADIOUNCHECKED", "RADIOGRAYED",  "SMALLCHECKED", "SMALLUNCHECKED",
                                 "SMALLGRAYED",    "EXBORDER"};
  for (const char* key : globals) options += std::string(key) + "=@0000,0000,0030,0010,3,0\r\n";
  const char* const tabs[] = {"TABTOP", "TABBOTTOM", "TABLEFT", "TABRIGHT"};
  for (const char* tab : tabs)
    options += std::string("[") + tab + "]\r\nBORDERSMASK=@0000,0000,0030,0010,3,0\r\n";
  const TsSkinModel m = Load(options);
  const TsCommonIndexes& c = m.CommonIndexes;
  const int found[] = {c.BoxChecked,     c.BoxUnchecked, c.BoxGrayed,    c.RadioChecked,
                       c.RadioUnchecked, c.RadioGrayed,  c.SmallChecked, c.SmallUnchecked,
                       c.SmallGrayed,    c.ExBorder};
  for (std::size_t i = 0; i < std::size(globals); ++i)
    EXPECT_EQ(found[i], m.MaskIndexByNames("GLOBALINFO", globals[i])) << globals[i];
  const TsCommonIndexes::Tab* tabIndexes[] = {&c.TabTop, &c.TabBottom, &c.TabLeft, &c.TabRight};
  for (std::size_t i = 0; i < std::size(tabs); ++i) {
    EXPECT_EQ(tabIndexes[i]->Section, m.SectionIndexOf(tabs[i])) << tabs[i];
    EXPECT_EQ(tabIndexes[i]->Border, m.MaskIndexByNames(tabs[i], "BORDERSMASK")) << tabs[i];
    EXPECT_NE(tabIndexes[i]->Border, -1) << tabs[i];
  }
  EXPECT_EQ(c.GlobalInfo, m.SectionIndexOf("GLOBALINFO"));
  EXPECT_EQ(m.GeneralData[c.GlobalInfo].BorderIndex, -1);
  EXPECT_EQ(m.GeneralData[m.SectionIndexOf("TABTOP")].BorderIndex, c.TabTop.Border);
}

TEST(sSkinModel, CommonSectionsAddOnlySectionsTheSkinLacks) {
  TsSkinLoadOptions o;
  o.CommonSections =
      "[BUTTON]\r\nCOLOR=1\r\n[MYBUTTON]\r\nPARENTCLASS=button\r\nFONTCOLOR=0x10\r\n";
  const TsSkinModel m = Load(kGlobal + "[BUTTON]\r\nCOLOR=255\r\nHOTCOLOR=77\r\n", 100, 100, o);
  EXPECT_EQ(m.GeneralData[m.SectionIndexOf("BUTTON")].Color, 255);
  const int mine = m.SectionIndexOf("MYBUTTON");
  ASSERT_GE(mine, 0);
  EXPECT_EQ(m.GeneralData[mine].Color, 255);
  EXPECT_EQ(m.GeneralData[mine].HotColor, 77);
  EXPECT_EQ(m.GeneralData[mine].FontColor[0], 16);
  EXPECT_EQ(m.GeneralData.size(), 3u) << "GLOBALINFO, BUTTON and MYBUTTON only";

  // Every field from the text; what it leaves out comes from the parent.
  o.CommonSections =
      "[SIDES]\r\nPARENTCLASS=Button\r\nTCLEFT=1\r\nTCTOP=2\r\nTCRIGHT=3\r\n"
      "HOTTCLEFT=5\r\nHOTTCTOP=6\r\nHOTTCRIGHT=7\r\nHOTTCBOTTOM=8\r\n"
      "HOTGRADIENTDATA=1;2;100;0;0\r\n";
  const TsSkinModel sides =
      Load(kGlobal + "[BUTTON]\r\nTCBOTTOM=44\r\nHOTGRADIENTDATA=9;9;100;0;0;8;8;100;0;0\r\n",
           100, 100, o);
  const TsGeneralData& s = sides.GeneralData[sides.SectionIndexOf("SIDES")];
  EXPECT_EQ(s.FontColor, (std::array<std::int32_t, 5>{0, 1, 2, 3, 44}));
  EXPECT_EQ(s.HotFontColor, (std::array<std::int32_t, 5>{0, 5, 6, 7, 8}));
  EXPECT_EQ(s.HotGradientData, "1;2;100;0;0");
  ASSERT_EQ(s.HotGradientArray.size(), 1u);
  EXPECT_EQ(s.HotGradientArray[0].Color1, 1);

  o.CommonSections = "[OWN]\r\nHOTCOLOR=0x20\r\nCOLOR=0x30\r\n";
  const TsSkinModel own = Load(kGlobal, 100, 100, o);
  EXPECT_EQ(own.GeneralData[own.SectionIndexOf("OWN")].HotColor, 0x20);
  EXPECT_EQ(own.GeneralData[own.SectionIndexOf("OWN")].Color, 0x30);
}

struct BadOptions {
  const char* what;
  std::string options;
  const char* message;
};

TEST(sSkinModel, RejectsMalformedOptionsNamingTheFault) {
  const std::vector<BadOptions> cases = {
      {"parent cycle",
       kGlobal + "[A]\r\nPARENTCLASS=B\r\n[B]\r\nPARENTCLASS=C\r\n[C]\r\nPARENTCLASS=a\r\n",
       "inherits from itself through PARENTCLASS (A -> B -> C -> a)"},
      {"field that is no number", kGlobal + "[A]\r\nP=~00x0,0050,0060,0060,00\r\n",
       "'00x0' is not a valid integer value"},
      {"value too short", kGlobal + "[A]\r\nP=^0000,0000,0010\r\n", "is not a valid integer"},
      {"own image without counts", kGlobal + "[A]\r\nX=!SEP.BMP\r\n", "not a valid integer"},
      {"frame count past 16 bits", kGlobal + "[A]\r\nW=#(0,0,20,20)(65536,0)\r\n",
       "65536 is out of range"},
      {"global value past 16 bits", kGlobal + "TITLEHEIGHT=40000\r\n", "40000 is out of range"},
      {"gradient word", kGlobal + "[A]\r\nGRADIENTDATA=1;2;z;0;0\r\n",
       "Skin section \"A\" key \"GRADIENTDATA\": 'z' is not a valid integer value"},
      {"global number written as text", kGlobal + "SHADOW1OFFSET=two\r\n",
       "key \"SHADOW1OFFSET\": 'two' is not"},
      {"computed margin past 16 bits", kGlobal + "[A]\r\nW=!WIDE.BMP!1!0!0\r\n",
       "65537 is out of range"},
      {"damaged image", kGlobal + "[A]\r\nX=!BAD.BMP!1!0!0\r\n", "image \"BAD.BMP\""},
  };
  // WIDE.BMP's margins are a third of its width: 65537.
  const std::vector<std::pair<std::string, TacBytes>> images = {{"SEP.BMP", SolidBmp(30, 10)},
                                                                {"BAD.BMP", test::Bytes("BM!")},
                                                                {"WIDE.BMP", SolidBmp(196611, 1)}};
  for (const BadOptions& c : cases) {
    const std::string error = LoadError(c.options, images);
    EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
  }
}

struct Limit {
  const char* what;
  std::string atLimit, pastLimit;
  const char* message;
};

// S0 inherits from S1, ... up to S<length>, which sets COLOR.
std::string ParentChain(int length) {
  std::string text = kGlobal;
  for (int i = 0; i < length; ++i)
    text += "[S" + std::to_string(i) + "]\r\nPARENTCLASS=S" + std::to_string(i + 1) + "\r\n";
  return text + "[S" + std::to_string(length) + "]\r\nCOLOR=77\r\n";
}

std::string Sections(int count) {
  std::string text = kGlobal;
  for (int i = 1; i < count; ++i) text += "[S" + std::to_string(i) + "]\r\n";
  return text;
}

// Every limit of the reader holds at its value and fails one past it, naming
// the fault; the master bitmap is 100 x 100, SEP.BMP 30 x 20.
TEST(sSkinModel, EachLimitHoldsAtItsValueAndFailsOnePast) {
  const Limit limits[] = {
      {"sections", Sections(4096), Sections(4097), "4097 sections, more than 4096"},
      {"PARENTCLASS chain", ParentChain(63), ParentChain(64), "deeper than 64"},
      {"16-bit value", kGlobal + "TITLEHEIGHT=32767\r\n", kGlobal + "TITLEHEIGHT=32768\r\n",
       "32768 is out of range"},
      {"negative 16-bit value", kGlobal + "TITLEHEIGHT=-32768\r\n",
       kGlobal + "TITLEHEIGHT=-32769\r\n", "-32769 is out of range"},
  };
  const std::vector<std::pair<std::string, TacBytes>> images = {{"SEP.BMP", SolidBmp(30, 20)}};
  for (const Limit& l : limits) {
    EXPECT_EQ(LoadError(l.atLimit, images), "(loaded)") << l.what;
    const std::string error = LoadError(l.pastLimit, images);
    EXPECT_NE(error.find(l.message), std::string::npos) << l.what << ": " << error;
  }
  const TsSkinModel m = Load(ParentChain(63));
  EXPECT_EQ(m.GeneralData[m.SectionIndexOf("S0")].Color, 77) << "inherited down the longest chain";
}

struct OddKey {
  const char* what;
  const char* value;
  bool skipped;  // else kept as a mask that paints nothing
};

// One odd key among good ones: the skin loads, every other mask is as
// without it, and the key paints nothing (a rectangle that leaves its image
// costs the key its mask, listed with the missing images).
class sSkinModelOddKey : public ::testing::TestWithParam<OddKey> {};

TEST_P(sSkinModelOddKey, LoadsTheSkinAndTheKeyPaintsNothing) {
  const std::string good = kGlobal +
                           "[A]\r\nB=^0000,0000,0030,0030,0000,0000,0000,0000,1,0,0,0\r\n"
                           "G=@0000,0000,0030,0010,3,0\r\nX=!SEP.BMP!1!0!0\r\n";
  const std::vector<std::pair<std::string, TacBytes>> images = {{"SEP.BMP", SolidBmp(30, 20)}};
  const TsSkinModel plain = Load(good, 100, 100, {}, images);
  const TsSkinModel odd =
      Load(good + "ODD=" + GetParam().value + "\r\n[B]\r\nPARENTCLASS=A\r\n", 100, 100, {},
           images);
  EXPECT_TRUE(odd.CommonSkinData.Active);
  for (const char* key : {"B", "G", "X"}) {
    const TsMaskData &a = Mask(plain, "A", key), &b = Mask(odd, "A", key);
    EXPECT_EQ(std::tie(a.R, a.ImageCount, a.MaskType, a.WL, a.WT, a.WR, a.WB),
              std::tie(b.R, b.ImageCount, b.MaskType, b.WL, b.WT, b.WR, b.WB))
        << key;
  }
  const int index = odd.MaskIndexOf(odd.SectionIndexOf("B"), "B", "ODD");
  const bool listed = !odd.SkippedKeys.empty() && odd.SkippedKeys.back().starts_with("A.ODD (");
  if (GetParam().skipped) {
    EXPECT_EQ(index, -1);
    EXPECT_TRUE(listed);
    return;
  }
  EXPECT_FALSE(listed);
  ASSERT_GE(index, 0) << "the key itself is found";
  const TsMaskData& m = odd.MaskData[index];
  EXPECT_FALSE(m.Bmp);
  EXPECT_EQ(MaskFrameWidth(m), 0);
  EXPECT_EQ(MaskStateHeight(m), 0);
  EXPECT_EQ(odd.MaskMarginLeft(index) + odd.MaskMarginTop(index), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, sSkinModelOddKey,
    ::testing::Values(
        OddKey{"border without frames", "^0000,0000,0030,0030,0000,0000,0000,0000,0,0,0,0", false},
        OddKey{"glyph without frames", "@0000,0000,0030,0030,0,0", false},
        OddKey{"own image without frames", "!SEP.BMP!0!0!0", false},
        OddKey{"own image with negative frames", "!SEP.BMP!-2!0!0", false},
        OddKey{"own image with ten states", "!SEP.BMP!1!10!0", false},
        OddKey{"own image with state count -1", "!SEP.BMP!1!-1!0", false},
        OddKey{"words with ten states", "#(0,0,20,100)(1,10)", false},
        OddKey{"frames under a pixel", "@0000,0000,0002,0010,3,0", false},
        OddKey{"states under a pixel", "@0000,0000,0010,0001,1,1", false},
        OddKey{"negative margin", "^0000,0000,0030,0030,-001,0002,0000,0000,1,0,0,0", false},
        OddKey{"own image with a negative margin", "!SEP.BMP!1!0!0!-1!0!0!0", false},
        OddKey{"empty rectangle", "#(5,0,5,10)(1,0)", false},
        OddKey{"inverted rectangle", "~0050,0050,0010,0060,00", false},
        OddKey{"bad numbers of a missing file", "!GONE.BMP!x!y!z", true},
        OddKey{"rectangle past the right edge", "^0090,0000,0130,0030,0000,0000,0000,0000,1,0,0,0",
               true},
        OddKey{"rectangle past the bottom edge", "~0000,0000,0010,0101,00", true},
        OddKey{"rectangle left of the image", "#(-1,0,10,10)(1,0)", true}),
    [](const ::testing::TestParamInfo<OddKey>& info) {
      std::string name = info.param.what;
      for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      return name;
    });

// System colours (0xFF000000 or 0x80000000 with a COLOR_* index) take the
// classic palette; an index past its last entry gives black, and any other
// value is already RGB.
TEST(sSkinModel, SystemColoursResolveByTheirIndex) {
  const struct {
    std::uint32_t color;
    std::int32_t rgb;
  } cases[] = {{0xFF000000, 0xC8C8C8},  {0xFF00000F, 0xF0F0F0}, {0x8000000F, 0xF0F0F0},
               {0xFF000005, 0xFFFFFF},  {0xFF00001E, 0xF0F0F0}, {0xFF00001D, 0xFF9933},
               {0xFF00001F, 0},         {0xFF0000FF, 0},        {0x00123456, 0x123456},
               {0x7F00000F, 0x7F00000F}};
  for (const auto& c : cases)
    EXPECT_EQ(DefaultColorToRGB(static_cast<std::int32_t>(c.color)), c.rgb) << std::hex << c.color;
}

TEST(sSkinModel, NamesANewerSkinVersionWithoutStoppingTheLoad) {
  const TsSkinModel m = Load(kGlobal + "VERSION=300\r\n");
  EXPECT_TRUE(m.CommonSkinData.Active);
  EXPECT_NE(SkinVersionNotice(m.CommonSkinData).find("Components must be updated"),
            std::string::npos);
  EXPECT_EQ(SkinVersionNotice(Load(kGlobal + "VERSION=7.0\r\n").CommonSkinData), "");
}

TEST(sSkinModel, AFailedLoadLeavesThePreviousSkinUntouched) {
  TsSkinModel m = Load(kGlobal + "TITLEHEIGHT=21\r\n[A]\r\nG=@0000,0000,0030,0010,3,0\r\n");
  EXPECT_THROW(m.LoadFromPackedData(MakePack("[A]\r\nPARENTCLASS=B\r\n[B]\r\nPARENTCLASS=A\r\n")),
               ESkinError);
  EXPECT_THROW(m.LoadFromPackedData(test::Bytes("ASZF")), ESkinError);
  EXPECT_THROW(m.LoadFromPackedData({'A', 'S', 'z', 'f', 0, 0, 0, 0}), ESkinError);
  EXPECT_TRUE(m.CommonSkinData.Active);
  EXPECT_EQ(m.CommonSkinData.TitleHeight, 21);
  EXPECT_GE(m.MaskIndexByNames("A", "G"), 0);
  ASSERT_TRUE(m.MasterBitmap);
}

TEST(sSkinModel, MissingImagesLeaveTheirKeysWithoutMasks) {
  const TsSkinModel m = Load(kGlobal +
                             "[A]\r\nX=!GONE.BMP!1!0!0\r\nY=!PIC.PNG!1!0!0\r\n"
                             "Z=gone.bmp\r\nP=TEX.JPG\r\n");
  EXPECT_TRUE(m.MaskData.empty());
  EXPECT_EQ(m.SkippedKeys.size(), 4u);
}

// A master bitmap named but absent, or never named, is a missing image too:
// the masks cut from it are skipped, the rest of the skin loads, and only a
// field that is no number still fails the load.
TEST(sSkinModel, MasksCutFromAnAbsentMasterBitmapAreSkipped) {
  const std::string masks =
      "[A]\r\nP=~0000,0000,0010,0010,00\r\nG=@0000,0000,0030,0030,1,0\r\n"
      "B=^0000,0000,0030,0030,0000,0000,0000,0000,1,0,0,0\r\nW=#(0,0,20,20)(1,0)\r\n"
      "X=!SEP.BMP!1!0!0\r\n";
  for (const std::string global : {"[GLOBALINFO]\r\nMASTERBITMAP=NONE.BMP\r\nTITLEHEIGHT=21\r\n",
                                   "[GLOBALINFO]\r\nTITLEHEIGHT=21\r\n"}) {
    TsSkinModel m;
    m.LoadFromPackedData(MakePack(global + masks, {{"SEP.BMP", SolidBmp(30, 10)}}));
    EXPECT_TRUE(m.CommonSkinData.Active) << global;
    EXPECT_EQ(m.CommonSkinData.TitleHeight, 21);
    EXPECT_FALSE(m.MasterBitmap);
    ASSERT_EQ(m.MaskData.size(), 1u) << "only the mask with its own image";
    EXPECT_EQ(m.MaskData[0].PropertyName, "X");
    for (const char* key : {"P", "G", "B", "W"}) {
      EXPECT_EQ(m.MaskIndexByNames("A", key), -1) << key;
      EXPECT_NE(std::find_if(
                    m.SkippedKeys.begin(), m.SkippedKeys.end(),
                    [&](const std::string& k) { return k.starts_with(std::string("A.") + key); }),
                m.SkippedKeys.end())
          << key;
    }
    TsSkinModel bad;
    EXPECT_THROW(bad.LoadFromPackedData(MakePack(global + "[A]\r\nP=~00x0,0000,0010,0010,00\r\n")),
                 ESkinError);
  }
}

// A mask rectangle may touch each edge of its 100 x 80 image; one pixel past
// any edge costs the key its mask.
TEST(sSkinModel, MaskRectanglesReachEveryEdgeOfTheirImageButNotPast) {
  const struct {
    const char* rect;  // left, top, right, bottom as the key writes them
    bool admitted;
  } cases[] = {
      {"0000,0000,0100,0080", true},  {"0000,0010,0010,0020", true},
      {"-001,0010,0010,0020", false}, {"0090,0010,0100,0020", true},
      {"0091,0010,0101,0020", false}, {"0010,0000,0020,0010", true},
      {"0010,-001,0020,0009", false}, {"0010,0070,0020,0080", true},
      {"0010,0071,0020,0081", false},
  };
  for (const auto& c : cases) {
    const TsSkinModel m = Load(kGlobal + "[A]\r\nP=~" + c.rect + ",00\r\n", 100, 80);
    EXPECT_EQ(m.MaskIndexByNames("A", "P") >= 0, c.admitted) << c.rect;
    EXPECT_EQ(m.SkippedKeys.empty(), c.admitted) << c.rect;
  }
}

std::shared_ptr<TBitmap> Picture(int w, int h) {
  auto bmp = std::make_shared<TBitmap>(w, h, pf32bit);
  if (w == 0) return bmp;
  std::uint8_t* p = bmp->ScanLine(0);
  p[0] = p[1] = p[2] = 255;  // fully transparent white
  p[3] = 0;
  return bmp;
}

TEST(sSkinModel, PicturesComeThroughTheDecodersGiven) {
  TsSkinLoadOptions o;
  o.DecodePng = [](const TacBytes& b) { return Picture(b.size() == 1 ? 30 : 0, 10); };
  o.DecodeJpeg = [](const TacBytes& b) {
    return Picture(b[0] == 'S' ? 200 : 300, b[0] == 'S' ? 200 : 300);
  };
  const TsSkinModel m =
      Load(kGlobal +
               "[A]\r\nGLOW=!GLOW.PNG!1!0!3\r\nPATTERN=small.jpg\r\n"
               "HOTPATTERN=BIG.JPEG\r\nEMPTY=!EMPTY.PNG!1!0!0\r\n",
           100, 100, o,
           {{"GLOW.PNG", {1}}, {"EMPTY.PNG", {1, 2}}, {"SMALL.JPG", {'S'}}, {"BIG.JPEG", {'B'}}});
  const TsMaskData& glow = Mask(m, "A", "GLOW");
  ASSERT_TRUE(glow.Bmp);
  EXPECT_EQ(glow.ImgType, itisaGlow);
  EXPECT_EQ(glow.Bmp->ScanLine(0)[0], 0);  // transparent white cleared
  EXPECT_EQ(m.MaskIndexByNames("A", "EMPTY"), -1);
  const TsMaskData& small = Mask(m, "A", "PATTERN");
  EXPECT_EQ(small.ImgType, itisaTexture);
  EXPECT_EQ(small.R, Rect(0, 0, 200, 200));
  EXPECT_EQ(small.ImageCount, 1);
  EXPECT_EQ(MaskFrameWidth(small), 200);
  ASSERT_EQ(m.PatternData.size(), 1u);
  EXPECT_EQ(m.PatternData[0].PropertyName, "HOTPATTERN");
  EXPECT_EQ(m.PatternIndexOf(m.SectionIndexOf("A"), "A", "HOTPATTERN"), 0);
}

// A PARENTCLASS naming no section ends every look-up, even where images of
// that section name exist ("#" and picture values upper-case their section).
TEST(sSkinModel, LookUpsStopAtAParentClassThatNamesNoSection) {
  TsSkinLoadOptions o;
  o.DecodeJpeg = [](const TacBytes& b) { return Picture(b[0] * 100, b[0] * 100); };
  const TsSkinModel m = Load(kGlobal +
                                 "[b]\r\nW=#(0,0,30,30)(1,0)\r\nT=small.jpg\r\nP=big.jpg\r\n"
                                 "[A]\r\nPARENTCLASS=B\r\n",
                             100, 100, o, {{"SMALL.JPG", {2}}, {"BIG.JPG", {3}}});
  using LookUp = int (TsSkinModel::*)(int, std::string_view, std::string_view) const;
  const struct {
    LookUp find;
    const char* key;
    bool exists;
  } cases[] = {{&TsSkinModel::MaskIndexOf, "W", m.MaskIndexByNames("B", "W") >= 0},
               {&TsSkinModel::TextureIndexOf, "T", m.MaskIndexByNames("B", "T") >= 0},
               {&TsSkinModel::PatternIndexOf, "P", m.PatternData.size() == 1}};
  for (const auto& c : cases) {
    EXPECT_TRUE(c.exists) << c.key;
    EXPECT_EQ((m.*c.find)(m.SectionIndexOf("A"), "A", c.key), -1) << c.key;
  }
}

// What the format allows loads: a master bitmap named but absent when no mask
// needs it, numbers after blanks, CommonSections bitmaps with no counts
// (read beside the skin, never from the pack).
TEST(sSkinModel, LoadsWhatTheFormatAllows) {
  test::TempFolder tmp;
  TsSkinLoadOptions o;
  o.SkinPath = tmp.Folder("beside");
  test::WriteFile(o.SkinPath + "EXTRA.BMP", SolidBmp(30, 20));
  o.CommonSections = "[EXTRA]\r\nBORDERSMASK=EXTRA.BMP\r\n[PACKED]\r\nBORDERSMASK=INPACK.BMP\r\n";
  TsSkinModel m;
  m.LoadFromPackedData(MakePack("[GLOBALINFO]\r\nMASTERBITMAP=NONE.BMP\r\n"
                                "[A]\r\nGRADIENTDATA=1; 2;3;4;5\r\n",
                                {{"INPACK.BMP", SolidBmp(30, 20)}}),
                       o);
  EXPECT_EQ(m.MaskIndexByNames("PACKED", "BORDERSMASK"), -1);
  EXPECT_EQ(m.CommonSkinData.SkinPath, o.SkinPath);
  EXPECT_FALSE(m.MasterBitmap);
  const TsGeneralData& a = m.GeneralData[m.SectionIndexOf("A")];
  ASSERT_EQ(a.GradientArray.size(), 1u);
  EXPECT_EQ(a.GradientArray[0].Color2, 2);
  const TsMaskData& extra = Mask(m, "EXTRA", "BORDERSMASK");
  ASSERT_TRUE(extra.Bmp);
  EXPECT_EQ(extra.Bmp->Width(), 30);
  EXPECT_EQ(extra.ImageCount, 0);
  EXPECT_EQ(extra.R, TRect{});
}

TEST(sSkinModel, LoadsAFolderSkinWithItsImagesBesideTheOptions) {
  test::TempFolder tmp;
  const std::string dir = tmp.Folder("skin");
  test::WriteFile(dir + "Options.dat", test::Bytes(kGlobal + "[A]\r\nG=@0000,0000,0030,0010,3,0\r\n"
                                                             "X=!SEP.BMP!2!0!0\r\n"));
  test::WriteFile(dir + "MASTER.BMP", SolidBmp(40, 40));
  test::WriteFile(dir + "SEP.BMP", SolidBmp(20, 10));
  TsSkinModel m;
  m.LoadFromFolder(dir);
  EXPECT_EQ(m.CommonSkinData.SkinPath, dir);
  EXPECT_GE(m.MaskIndexByNames("A", "G"), 0);
  ASSERT_GE(m.MaskIndexByNames("A", "X"), 0);
  EXPECT_EQ(Mask(m, "A", "X").Bmp->Width(), 20);

  TsSkinModel none;
  EXPECT_THROW(none.LoadFromFolder("no-such-skin-folder"), ESkinError);
  EXPECT_FALSE(none.CommonSkinData.Active);
}

// The master bitmap's name is matched as written: a pack's entry names are
// upper-cased before the match, a folder's file is opened by that name.
TEST(sSkinModel, ALowerCaseMasterBitmapIsFoundInAFolderButNotInAPack) {
  const std::string options = "[GLOBALINFO]\r\nMASTERBITMAP=master.bmp\r\n";
  TsSkinModel packed;
  packed.LoadFromPackedData(MakePack(options, {{"master.bmp", SolidBmp(40, 40)}}));
  EXPECT_FALSE(packed.MasterBitmap);
  test::TempFolder tmp;
  const std::string dir = tmp.Folder("skin");
  test::WriteFile(dir + "Options.dat", test::Bytes(options));
  test::WriteFile(dir + "master.bmp", SolidBmp(40, 40));
  TsSkinModel folder;
  folder.LoadFromFolder(dir);
  ASSERT_TRUE(folder.MasterBitmap);
  EXPECT_EQ(folder.MasterBitmap->Width(), 40);
}

// -- recolouring --

const std::string kColours =
    kGlobal +
    "BIKEEPHUE=2\r\nBORDERCOLOR=255\r\n"
    "BICONCLOSE=@0000,0000,0030,0010,3,0\r\n"
    "BICONMAX=@0000,0010,0030,0020,3,0\r\n"
    "[A]\r\nCOLOR=255\r\nFONTCOLOR=255\r\nTCLEFT=-1\r\nHOTCOLOR=8421504\r\n"
    "GRADIENTDATA=255;;65280;50;0;0\r\n";

TEST(sSkinModel, NoHueOffsetOrSaturationLeavesTheSkinAsLoaded) {
  TsSkinLoadOptions o;
  const TsSkinModel a = Load(kColours, 100, 100, o);
  o.HueOffset = 360;
  o.Saturation = 101;  // the amount becomes 0
  const TsSkinModel b = Load(kColours, 100, 100, o);
  const TsGeneralData& ga = a.GeneralData[a.SectionIndexOf("A")];
  const TsGeneralData& gb = b.GeneralData[b.SectionIndexOf("A")];
  EXPECT_EQ(ga.Color, gb.Color);
  EXPECT_EQ(ga.GradientArray[0].Color1, gb.GradientArray[0].Color1);
  for (int y = 0; y < 100; ++y) {
    EXPECT_EQ(0, std::memcmp(a.MasterBitmap->ScanLine(y), b.MasterBitmap->ScanLine(y), 300));
  }
}

// The arithmetic itself is ChangeColorHue's; here, what the load turns and what it keeps.
TEST(sSkinModel, HueOffsetTurnsColoursEitherWayAndKeepsGreysAndTheCloseIcon) {
  for (const int degrees : {120, -120}) {
    SCOPED_TRACE(degrees);
    TsSkinLoadOptions o;
    o.HueOffset = degrees;
    const TsSkinModel m = Load(kColours, 100, 100, o);
    const TColor red = degrees > 0 ? clLime : clBlue;  // what red turns into
    const TsGeneralData& g = m.GeneralData[m.SectionIndexOf("A")];
    EXPECT_EQ(g.Color, red);
    EXPECT_EQ(g.FontColor[0], red);
    EXPECT_EQ(g.FontColor[1], -1);
    EXPECT_EQ(g.HotColor, 8421504);  // grey stays grey
    ASSERT_EQ(g.GradientArray.size(), 1u);
    EXPECT_EQ(g.GradientArray[0].Color1, red);
    EXPECT_EQ(m.CommonSkinData.BorderColor, red);
    // The master bitmap is B=200 G=100 R=50: the close icon keeps it, the rest turns.
    const std::uint8_t* icon = m.MasterBitmap->ScanLine(5);
    EXPECT_EQ(icon[0], 200);
    EXPECT_EQ(icon[2], 50);
    EXPECT_NE(m.MasterBitmap->ScanLine(15)[0], 200);
  }
}

// BIKEEPHUE=1 keeps every title icon (and the glow pictures of its own that
// go with them); any other value but 0 only the close icons.
TEST(sSkinModel, TheTitleIconsKeptFromTheHueShiftFollowBIKeepHue) {
  for (const int keep : {0, 1, 2}) {
    SCOPED_TRACE(keep);
    std::string options = kColours;
    options.replace(options.find("BIKEEPHUE=2"), 11, "BIKEEPHUE=" + std::to_string(keep));
    options.insert(options.find("[A]"), "BICONMAXGLOW0=!GLOW.BMP!1!0!3\r\n");
    TsSkinLoadOptions o;
    o.HueOffset = 120;
    const TsSkinModel m = Load(options, 100, 100, o, {{"GLOW.BMP", SolidBmp(6, 6)}});
    // B=200 G=100 R=50 where kept: the close icon's rows 0-9, the maximise icon's 10-19.
    const auto kept = [](const std::uint8_t* p) {
      return p[0] == 200 && p[1] == 100 && p[2] == 50;
    };
    EXPECT_EQ(kept(m.MasterBitmap->ScanLine(5)), keep != 0);
    EXPECT_EQ(kept(m.MasterBitmap->ScanLine(15)), keep == 1);
    EXPECT_FALSE(kept(m.MasterBitmap->ScanLine(25))) << "no icon there";
    const int glow = m.MaskIndexByNames("GLOBALINFO", "BICONMAXGLOW0");
    ASSERT_GE(glow, 0);
    ASSERT_TRUE(m.MaskData[static_cast<size_t>(glow)].Bmp);
    EXPECT_EQ(kept(m.MaskData[static_cast<size_t>(glow)].Bmp->ScanLine(2)), keep == 1);
  }
}

// Recolouring turns the pictures' colours but never their grey or
// transparent-key pixels, and turns the skin-wide shadow colour too.
TEST(sSkinModel, RecolouringKeepsGreyAndKeyPixels) {
  TBitmap master(4, 1, pf24bit);
  // B, G, R: a colour, a grey, the key, and pure red (blue equals green, yet
  // no grey).
  const std::uint8_t pixels[4][3] = {{200, 100, 50}, {90, 90, 90}, {255, 0, 255}, {0, 0, 255}};
  for (int x = 0; x < 4; ++x) std::memcpy(master.ScanLine(0) + 3 * x, pixels[x], 3);
  for (const bool hue : {true, false}) {
    TsSkinLoadOptions o;
    (hue ? o.HueOffset : o.Saturation) = hue ? 120 : -100;
    TsSkinModel m;
    m.LoadFromPackedData(MakePack("[GLOBALINFO]\r\nMASTERBITMAP=MASTER.BMP\r\nSHADOW1COLOR=255\r\n",
                                  {{"MASTER.BMP", WriteBmp(master)}}),
                         o);
    const std::uint8_t* p = m.MasterBitmap->ScanLine(0);
    EXPECT_NE(std::memcmp(p, pixels[0], 3), 0) << (hue ? "hue" : "saturation");
    EXPECT_EQ(std::memcmp(p + 3, pixels[1], 3), 0) << (hue ? "hue" : "saturation");
    EXPECT_EQ(std::memcmp(p + 6, pixels[2], 3), 0) << (hue ? "hue" : "saturation");
    // Red turned by 120 degrees is green; fully unsaturated it is grey.
    const std::uint8_t red[3] = {p[9], p[10], p[11]};
    const std::uint8_t want[2][3] = {{0, 255, 0}, {85, 85, 85}};
    EXPECT_EQ(std::memcmp(red, want[hue ? 0 : 1], 3), 0)
        << (hue ? "hue" : "saturation") << ": " << int(red[0]) << "," << int(red[1]) << ","
        << int(red[2]);
    EXPECT_NE(m.CommonSkinData.Shadow1Color, 255) << (hue ? "hue" : "saturation");
  }
}

TEST(sSkinModel, SaturationMovesColoursTowardGrey) {
  TsSkinLoadOptions o;
  o.Saturation = -100;  // the amount 100 gives grey
  const TsSkinModel m = Load(kColours, 100, 100, o);
  EXPECT_EQ(m.GeneralData[m.SectionIndexOf("A")].Color, 0x555555);
  const std::uint8_t* p = m.MasterBitmap->ScanLine(50);
  EXPECT_EQ(p[0], p[1]);
  EXPECT_EQ(p[1], p[2]);
}

}  // namespace
}  // namespace kv
