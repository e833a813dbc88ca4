// A loaded skin: the options of "Options.dat" turned into skin-wide values,
// section records, masks and patterns, with the look-ups every skinned part
// uses. The skin manager owns one and replaces it as a whole.
//
// Loading is all or nothing: every Load... builds a new model aside and only
// replaces this one when the skin is sound. A malformed skin raises
// ESkinError naming the entry, section or key at fault, and the previous skin
// stays as it was.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/Bitmap.h"
#include "skin/model/acSkinPack.h"
#include "skin/model/sConst.h"
#include "skin/model/sIniText.h"
#include "skin/model/sMaskData.h"
#include "skin/model/sStoredSkins.h"

namespace kv {

// Decoders for pictures the model cannot read itself (PNG, JPEG); an image
// without a decoder counts as missing: its key gets no mask.
using TsImageDecoder = std::function<std::shared_ptr<TBitmap>(const TacBytes&)>;

struct TsSkinLoadOptions {
  std::int32_t HueOffset = 0;
  std::int32_t Saturation = 0;
  std::string CommonSections;  // extra sections as INI text
  // Where the skin lies when the load itself does not say (a pack or a
  // stored skin); CommonSections pictures are read from here.
  std::string SkinPath;
  TsImageDecoder DecodePng;
  TsImageDecoder DecodeJpeg;
  // Turns system colours into RGB; null uses a fixed classic palette.
  std::function<std::int32_t(std::int32_t)> ColorToRGB;
};

// Indexes of well-known sections and masks, -1 when the skin lacks them.
struct TsCommonIndexes {
  int GlobalInfo = -1;
  int ExBorder = -1, BoxChecked = -1, BoxUnchecked = -1, BoxGrayed = -1;
  int RadioChecked = -1, RadioUnchecked = -1, RadioGrayed = -1;
  int SmallChecked = -1, SmallUnchecked = -1, SmallGrayed = -1;
  struct Tab {
    int Section = -1, Border = -1;
  };
  Tab TabTop, TabBottom, TabLeft, TabRight;
  struct ScrollPart {
    int Section = -1, Border = -1, Glyph = -1, Pattern = -1, HotPattern = -1;
  };
  ScrollPart BtnTop, BtnBottom, BtnLeft, BtnRight, SliderV, SliderH;
  ScrollPart Bar1H, Bar1V, Bar2H, Bar2V;
  int ComboBtn = -1, ComboBtnBorder = -1, ComboBtnPattern = -1, ComboBtnHotPattern = -1;
  int ComboGlyph = -1;
};

class TsSkinModel {
 public:
  // Move-only: masks hold their images by shared pointer, and a copy that
  // shared them would change with the original.
  TsSkinModel() = default;
  TsSkinModel(const TsSkinModel&) = delete;
  TsSkinModel& operator=(const TsSkinModel&) = delete;
  TsSkinModel(TsSkinModel&&) = default;
  TsSkinModel& operator=(TsSkinModel&&) = default;

  // A packed skin: a file's bytes or the data of a skin stored in a form.
  void LoadFromPackedData(const TacBytes& packed, const TsSkinLoadOptions& options = {});
  // A convertor already read; SkinPath stays empty.
  void LoadFromConvertor(const TacSkinConvertor& convertor, const TsSkinLoadOptions& options = {});
  // A skin folder holding "Options.dat" and its images.
  void LoadFromFolder(const std::string& folder, const TsSkinLoadOptions& options = {});
  // A stored skin whose collections hold the skin ("Data" is not read).
  void LoadFromStoredSkin(const TsStoredSkin& stored, const TsSkinLoadOptions& options = {});
  void Clear();

  TsSkinData CommonSkinData;
  TsGeneralDataArray GeneralData;
  TsMaskArray MaskData;
  TsPatternArray PatternData;
  std::shared_ptr<TBitmap> MasterBitmap;
  TsCommonIndexes CommonIndexes;
  // Keys whose image was missing or undecodable (skipped as the format allows).
  std::vector<std::string> SkippedKeys;

  // Look-ups: names compared exactly, the first match wins, -1 when absent.
  int SectionIndexOf(std::string_view name) const;
  int MaskIndexOf(int sectionIndex, std::string_view sectionName, std::string_view key) const;
  int TextureIndexOf(int sectionIndex, std::string_view sectionName, std::string_view key) const;
  int PatternIndexOf(int sectionIndex, std::string_view sectionName, std::string_view key) const;
  int MaskIndexByNames(std::string_view sectionName, std::string_view key) const;
  bool IsMaskIndexValid(int index) const;
  bool IsSectionIndexValid(int index) const;
  TSize GetMaskStateSize(int index) const;
  int MaskMarginLeft(int index) const;
  int MaskMarginTop(int index) const;
  int MaskMarginRight(int index) const;
  int MaskMarginBottom(int index) const;
  // The image a mask is cut from: its own, else the master bitmap.
  const TBitmap* MaskImage(int index) const;

  // Colour getters (RGB).
  std::int32_t GetGlobalInfoColor() const;
  std::int32_t GetGlobalInfoFontColor() const;
  std::int32_t GetGlobalInfoHotColor() const;
  std::int32_t GetEditHotFontColor() const;
  std::int32_t GetMenuHotColor() const;
  std::int32_t GetMenuHotFontColor() const;

  void UpdateCommonIndexes();
  void UpdateSectionMaskIndexes();
  // Recolouring of the freshly loaded skin (the loaders call them).
  void ApplyHueOffset(int degrees);
  void ApplySaturation(int value);

 private:
  friend class TsSkinLoader;
  std::int32_t ToRGB(std::int32_t color) const;
  std::function<std::int32_t(std::int32_t)> colorToRGB_;
};

// The notice for a skin made for a newer toolkit (VERSION above 255), for the
// manager to show; empty otherwise. Loading goes on either way.
std::string SkinVersionNotice(const TsSkinData& data);

// The classic system palette used when no resolver is given: system colours
// (0x80000000 or 0xFF000000 plus an index) map to fixed RGB values.
std::int32_t DefaultColorToRGB(std::int32_t color);

}  // namespace kv
