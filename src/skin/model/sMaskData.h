// The records a loaded skin is made of: skin-wide values, one record per
// section, and the image masks and patterns cut from the skin's images.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/Bitmap.h"
#include "base/Types.h"
#include "skin/model/sGradient.h"

namespace kv {

enum TacImgType : std::uint8_t {
  itisaBorder = 0,
  itisaTexture = 1,
  itisaGlyph = 2,
  itisaGlow = 3,
  itisaPngGlyph = 4
};

struct TsMaskData {
  std::shared_ptr<TBitmap> Bmp;  // own image, or null when the mask lies in the master bitmap
  std::string SectionName;
  std::string PropertyName;
  TRect R{};                    // in the master bitmap; (0, 0, w, h) for an own image
  std::int16_t ImageCount = 0;  // frames side by side
  std::int16_t MaskType = 0;    // stacked parts minus one
  std::int16_t BorderWidth = 0;
  std::int16_t StretchMode = 0;
  TacImgType ImgType = itisaBorder;
  std::int16_t WL = 0, WT = 0, WR = 0, WB = 0;
};

struct TsPatternData {
  std::shared_ptr<TBitmap> Img;  // decoded picture
  std::string SectionName;
  std::string PropertyName;
};

using TsMaskArray = std::vector<TsMaskData>;
using TsPatternArray = std::vector<TsPatternData>;

struct TsGeneralData {
  std::string ParentClass;
  std::string ClassName;
  std::int32_t Color = 0xFFFFFF;
  std::array<std::int32_t, 5> FontColor{0, -1, -1, -1, -1};
  std::array<std::int32_t, 5> HotFontColor{0, -1, -1, -1, -1};
  bool GiveOwnFont = false;
  std::int32_t GlowCount = 0;
  std::int32_t GlowMargin = 0;
  bool ReservedBoolean = false;
  std::int32_t Transparency = 0;
  std::int32_t GradientPercent = 0;
  std::string GradientData = " ";
  TsGradArray GradientArray;
  std::int32_t ImagePercent = 0;
  bool ShowFocus = false;
  bool FadingEnabled = false;
  std::int32_t FadingIterations = 5;
  std::int32_t HotColor = 0xFFFFFF;
  std::int32_t HotTransparency = 0;
  std::int32_t HotGradientPercent = 0;
  std::string HotGradientData;
  TsGradArray HotGradientArray;
  std::int32_t HotImagePercent = 0;
  std::int32_t BorderIndex = -1, ImgTopLeft = -1, ImgTopRight = -1, ImgBottomLeft = -1,
               ImgBottomRight = -1;
};

using TsGeneralDataArray = std::vector<TsGeneralData>;

struct TsSkinData {
  std::string SkinPath;
  bool Active = false;
  double Version = 0;
  std::string Author;
  std::string Description;
  std::int32_t Shadow1Color = 0;
  std::int16_t Shadow1Offset = 0;
  std::int16_t Shadow1Blur = -1;
  std::int16_t Shadow1Transparency = 0;
  std::int16_t BorderWidth = 4;
  std::int16_t TitleHeight = 30;
  std::int16_t MaxTitleHeight = 0;
  std::int16_t FormOffset = 8;
  std::int16_t CenterOffset = 0;
  std::int16_t BorderMode = 0;
  std::int32_t BorderColor = 0;
  std::int16_t BISpacing = 0;
  std::int16_t BIVAlign = 0;
  std::int16_t BIRightMargin = 0;
  std::int16_t BILeftMargin = 0;
  std::int16_t BIKeepHue = 0;
  std::int16_t BICloseGlow = 0, BICloseGlowMargin = 0;
  std::int16_t BIMaxGlow = 0, BIMaxGlowMargin = 0;
  std::int16_t BIMinGlow = 0, BIMinGlowMargin = 0;
};

// Width of one frame; 0 when the mask has no frames.
int MaskFrameWidth(const TsMaskData& mask);
// Height of one state; 0 when MaskType is -1.
int MaskStateHeight(const TsMaskData& mask);

}  // namespace kv
