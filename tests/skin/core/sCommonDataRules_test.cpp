#include "skin/core/sCommonDataRules.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

struct SectionCase {
  int type;
  const char* section;  // "" = none: the owner's class name is used
};

class DefaultSectionOfTypeTest : public ::testing::TestWithParam<SectionCase> {};

TEST_P(DefaultSectionOfTypeTest, GivesTheTableRow) {
  EXPECT_EQ(DefaultSectionOfType(GetParam().type), GetParam().section)
      << "type " << GetParam().type;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DefaultSectionOfTypeTest,
    ::testing::Values(
        SectionCase{0, ""}, SectionCase{1, ""}, SectionCase{2, "EDIT"}, SectionCase{8, "EDIT"},
        SectionCase{9, ""}, SectionCase{10, "EDIT"}, SectionCase{97, "EDIT"},
        SectionCase{227, "EDIT"}, SectionCase{11, "COMBOBOX"}, SectionCase{18, "COMBOBOX"},
        SectionCase{82, "COMBOBOX"}, SectionCase{19, "BAR"}, SectionCase{20, "BARTITLE"},
        SectionCase{152, "CHECKBOX"}, SectionCase{33, "RADIOBUTTON"}, SectionCase{73, "PANEL"},
        SectionCase{58, "PANEL_LOW"}, SectionCase{60, "TOOLBAR"}, SectionCase{55, ""},
        SectionCase{57, "TABSHEET"}, SectionCase{226, "GROUPBOX"}, SectionCase{95, "SPEEDBUTTON"},
        SectionCase{94, "BUTTON"}, SectionCase{98, "TOOLBUTTON"}, SectionCase{143, "PAGECONTROL"},
        SectionCase{142, ""}, SectionCase{151, "STATUSBAR"}, SectionCase{161, "GAUGE"},
        SectionCase{165, "TRACKBAR"}, SectionCase{224, ""}, SectionCase{255, ""},
        SectionCase{256, ""}, SectionCase{-1, ""}));

TEST(ControlTypeSets, MembershipAtTheRangeEdges) {
  struct Case {
    const TacControlTypeSet* set;
    int type;
    bool member;
  } cases[] = {
      {&NoHotTrackingTypes, 19, true},   {&NoHotTrackingTypes, 20, false},
      {&NoHotTrackingTypes, 51, true},   {&NoHotTrackingTypes, 74, true},
      {&NoHotTrackingTypes, 75, false},  {&NoHotTrackingTypes, 161, true},
      {&NoHotTrackingTypes, 162, false}, {&NoHotTrackingTypes, 92, false},
      {&NoGlowTypes, 53, false},         {&NoGlowTypes, 54, true},
      {&NoGlowTypes, 55, false},         {&NoGlowTypes, 60, true},
      {&NoGlowTypes, 142, false},        {&NoGlowTypes, 226, true},
      {&NoGlowTypes, 227, false},        {&HoverRepaintTypes, 1, false},
      {&HoverRepaintTypes, 2, true},     {&HoverRepaintTypes, 18, true},
      {&HoverRepaintTypes, 19, false},   {&HoverRepaintTypes, 84, true},
      {&HoverRepaintTypes, 85, false},   {&HoverRepaintTypes, 140, true},
      {&HoverRepaintTypes, 300, false},  {&NoGlowTypes, -5, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(InControlTypes(*c.set, c.type), c.member) << "type " << c.type;
}

// Red channel only, the parent's top byte kept.
struct MixCase {
  TColor parent, own;
  int t;
  TColor byPercent, by256;
};

class BgColorMixTest : public ::testing::TestWithParam<MixCase> {};

TEST_P(BgColorMixTest, PercentAndCommandMixDiffer) {
  const MixCase& c = GetParam();
  EXPECT_EQ(MixBgColorByPercent(c.parent, c.own, c.t), c.byPercent) << "T " << c.t;
  EXPECT_EQ(MixBgColorBy256(c.parent, c.own, c.t), c.by256) << "T " << c.t;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BgColorMixTest,
    ::testing::Values(MixCase{200, 100, 0, 100, 100},    // opaque: the section's colour
                      MixCase{200, 100, 50, 150, 119},   // halfway vs 100 + 100 x 50/256
                      MixCase{0, 255, 50, 128, 205},     // towards a darker parent
                      MixCase{200, 100, 100, 200, 139},  // T/256 never reaches the parent
                      MixCase{0x00FF8040, 0x00000000, 25, 0x00402010, 0x00180C06},
                      MixCase{0x0A0000FF, 0x00000000, 100, 0x0A0000FF, 0x0A000063}));

}  // namespace
}  // namespace kv

namespace kv {
namespace {

TEST(PlaceBoundLabel, EachLayoutAroundTheControl) {
  const TRect control = Bounds(100, 50, 80, 21);
  struct Case {
    TsCaptionLayout layout;
    TSize label;
    int maxWidth;
    TRect expected;
  } cases[] = {
      {sclLeft, {30, 13}, 0, Bounds(64, 53, 30, 13)},
      {sclLeft, {30, 26}, 0, Bounds(64, 47, 30, 26)},  // (21 - 26) / 2 truncates to -2
      {sclTopLeft, {30, 13}, 0, Bounds(100, 35, 30, 13)},
      {sclTopCenter, {30, 13}, 0, Bounds(125, 35, 30, 13)},
      {sclTopRight, {30, 13}, 0, Bounds(150, 35, 30, 13)},
      {sclLeft, {30, 13}, 50, Bounds(64, 53, 50, 21)},
  };
  for (const Case& c : cases) {
    const TsBoundLabelPlace place = PlaceBoundLabel(control, c.label, c.layout, 2, c.maxWidth);
    EXPECT_EQ(place.Bounds, c.expected) << "layout " << int(c.layout) << " max " << c.maxWidth;
    EXPECT_EQ(place.WordWrap, c.maxWidth > 0);
    EXPECT_EQ(place.AutoSize, c.maxWidth == 0);
  }
}

}  // namespace
}  // namespace kv
