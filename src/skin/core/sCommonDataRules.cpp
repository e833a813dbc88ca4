#include "skin/core/sCommonDataRules.h"

#include <cstdint>
#include <initializer_list>

#include "skin/core/acUtils.h"

namespace kv {

namespace {

struct TypeRange {
  int first, last;
};

TacControlTypeSet MakeTypeSet(std::initializer_list<TypeRange> ranges) {
  TacControlTypeSet set;
  for (const TypeRange& r : ranges)
    for (int code = r.first; code <= r.last; ++code) set.set(static_cast<size_t>(code));
  return set;
}

struct SectionRow {
  std::initializer_list<TypeRange> codes;
  std::string_view section;
};

const SectionRow kDefaultSections[] = {
    {{{2, 8},
      {10, 10},
      {41, 41},
      {76, 76},
      {78, 78},
      {83, 84},
      {96, 97},
      {131, 131},
      {140, 140},
      {227, 227}},
     "EDIT"},
    {{{11, 18}, {81, 82}}, "COMBOBOX"},
    {{{19, 19}}, "BAR"},
    {{{20, 20}}, "BARTITLE"},
    {{{32, 32}, {152, 152}}, "CHECKBOX"},
    {{{33, 33}}, "RADIOBUTTON"},
    {{{51, 51}, {59, 59}, {68, 68}, {73, 73}}, "PANEL"},
    {{{52, 52}, {58, 58}}, "PANEL_LOW"},
    {{{53, 54}, {60, 60}}, "TOOLBAR"},
    {{{56, 56}}, "DRAGBAR"},
    {{{57, 57}}, "TABSHEET"},
    {{{74, 74}, {226, 226}}, "GROUPBOX"},
    {{{75, 75}}, "SPLITTER"},
    {{{92, 92}, {95, 95}}, "SPEEDBUTTON"},
    {{{93, 94}}, "BUTTON"},
    {{{98, 98}}, "TOOLBUTTON"},
    {{{141, 141}, {143, 143}}, "PAGECONTROL"},
    {{{151, 151}}, "STATUSBAR"},
    {{{161, 161}}, "GAUGE"},
    {{{165, 165}}, "TRACKBAR"},
};

std::uint8_t MixChannel256(int parent, int own, int transparency) {
  return static_cast<std::uint8_t>(ClampToByte((transparency * (parent - own) + own * 256) >> 8));
}

}  // namespace

const TacControlTypeSet NoHotTrackingTypes =
    MakeTypeSet({{19, 19}, {51, 74}, {110, 110}, {141, 161}});
const TacControlTypeSet NoGlowTypes = MakeTypeSet({{51, 52},
                                                   {54, 54},
                                                   {56, 60},
                                                   {68, 68},
                                                   {73, 74},
                                                   {110, 110},
                                                   {141, 141},
                                                   {143, 143},
                                                   {151, 151},
                                                   {161, 161},
                                                   {226, 226}});
const TacControlTypeSet HoverRepaintTypes =
    MakeTypeSet({{2, 18}, {41, 41}, {76, 84}, {96, 97}, {131, 140}});

std::string_view DefaultSectionOfType(int controlType) {
  for (const SectionRow& row : kDefaultSections)
    for (const TypeRange& r : row.codes)
      if (controlType >= r.first && controlType <= r.last) return row.section;
  return {};
}

TColor MixBgColorBy256(TColor parentColor, TColor sectionColor, int transparency) {
  const auto p = static_cast<std::uint32_t>(parentColor);
  const auto o = static_cast<std::uint32_t>(sectionColor);
  std::uint32_t result = p & 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8)
    result |= static_cast<std::uint32_t>(MixChannel256(static_cast<int>((p >> shift) & 0xFF),
                                                       static_cast<int>((o >> shift) & 0xFF),
                                                       transparency))
              << shift;
  return static_cast<TColor>(result);
}

TsBoundLabelPlace PlaceBoundLabel(const TRect& control, TSize labelSize, TsCaptionLayout layout,
                                  int indent, int maxWidth) {
  const int w = labelSize.cx, h = labelSize.cy;
  TsBoundLabelPlace place;
  int left = control.Left;
  int top = control.Top - h - indent;
  switch (layout) {
    case sclLeft:
      left = control.Left - w - 4 - indent;
      top = control.Top + (control.Height() - h) / 2 - 1;
      break;
    case sclTopLeft:
      break;
    case sclTopCenter:
      left = control.Left + (control.Width() - w) / 2;
      break;
    case sclTopRight:
      left = control.Left + control.Width() - w;
      break;
  }
  place.Bounds = Bounds(left, top, w, h);
  if (maxWidth > 0) {
    place.AutoSize = false;
    place.WordWrap = true;
    place.Bounds = Bounds(left, top, maxWidth, LargerOf(h, control.Height()));
  }
  return place;
}

}  // namespace kv
