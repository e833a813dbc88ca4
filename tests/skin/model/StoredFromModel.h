// A loaded skin written back as a stored skin's collections, so that a test
// can load the same skin both ways and compare.
#pragma once

#include <string>

#include "skin/model/sSkinModel.h"
#include "skin/model/sStoredSkins.h"

namespace kv::test {

inline std::string ColourText(const std::array<std::int32_t, 5>& c) {
  std::string text;
  for (std::int32_t v : c) text += (text.empty() ? "" : " ") + std::to_string(v);
  return text;
}

inline TsStoredSkin StoredFromModel(const TsSkinModel& m, const std::string& name) {
  TsStoredSkin st;
  st.Name = name;
  const TsSkinData& d = m.CommonSkinData;
  st.Version = d.Version;
  st.Author = d.Author;
  st.Description = d.Description;
  st.Shadow1Color = d.Shadow1Color;
  st.Shadow1Offset = d.Shadow1Offset;
  st.Shadow1Blur = d.Shadow1Blur;
  st.Shadow1Transparency = d.Shadow1Transparency;
  st.BorderColor = d.BorderColor;
  if (m.MasterBitmap) st.MasterBitmap = *m.MasterBitmap;
  for (const TsGeneralData& g : m.GeneralData) {
    TsSkinGeneral& item = st.GeneralData.Add();
    item.SectionName = g.ClassName;
    item.ParentClass = g.ParentClass;
    item.Color = g.Color;
    item.FontColor = ColourText(g.FontColor);
    item.HotFontColor = ColourText(g.HotFontColor);
    item.GiveOwnFont = g.GiveOwnFont;
    item.GlowCount = g.GlowCount;
    item.GlowMargin = g.GlowMargin;
    item.ReservedBoolean = g.ReservedBoolean;
    item.Transparency = g.Transparency;
    item.GradientPercent = g.GradientPercent;
    item.GradientData = g.GradientData;
    item.ImagePercent = g.ImagePercent;
    item.ShowFocus = g.ShowFocus;
    item.FadingEnabled = g.FadingEnabled;
    item.FadingIterations = g.FadingIterations;
    item.HotColor = g.HotColor;
    item.HotTransparency = g.HotTransparency;
    item.HotGradientPercent = g.HotGradientPercent;
    item.HotGradientData = g.HotGradientData;
    item.HotImagePercent = g.HotImagePercent;
  }
  for (const TsMaskData& mk : m.MaskData) {
    TsSkinImage& item = st.Images.Add();
    item.SectionName = mk.SectionName;
    item.PropertyName = mk.PropertyName;
    if (mk.Bmp) item.Image = *mk.Bmp;
    item.Left = mk.R.Left;
    item.Top = mk.R.Top;
    item.Right = mk.R.Right;
    item.Bottom = mk.R.Bottom;
    item.ImageCount = mk.ImageCount;
    item.MaskType = mk.MaskType;
    item.BorderWidth = mk.BorderWidth;
    item.StretchMode = mk.StretchMode;
    item.ImgType = mk.ImgType;
    item.WL = mk.WL;
    item.WT = mk.WT;
    item.WR = mk.WR;
    item.WB = mk.WB;
  }
  for (const TsPatternData& p : m.PatternData) {
    TsSkinPattern& item = st.Patterns.Add();
    item.SectionName = p.SectionName;
    item.PropertyName = p.PropertyName;
    item.Image = *p.Img;
  }
  return st;
}

}  // namespace kv::test
