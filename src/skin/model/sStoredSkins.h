// What a skin manager carries with it besides the skin it loads: the skins
// stored with the program ("InternalSkins"), the lists of foreign control
// classes to skin, and the animation settings.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/Bitmap.h"
#include "skin/model/acSkinPack.h"
#include "skin/model/sConst.h"
#include "skin/model/sMaskData.h"

namespace kv {

// A list of items that keep their place while others are added (Add hands
// out a reference); copies copy the items.
template <class Item>
class TsItemCollection {
 public:
  TsItemCollection() = default;
  TsItemCollection(const TsItemCollection& other) { *this = other; }
  TsItemCollection& operator=(const TsItemCollection& other) {
    if (this == &other) return *this;
    items_.clear();
    for (const auto& item : other.items_) items_.push_back(std::make_unique<Item>(*item));
    return *this;
  }
  TsItemCollection(TsItemCollection&&) = default;
  TsItemCollection& operator=(TsItemCollection&&) = default;

  Item& Add() {
    items_.push_back(std::make_unique<Item>());
    return *items_.back();
  }
  int Count() const { return static_cast<int>(items_.size()); }
  Item& Items(int index) { return *items_.at(static_cast<size_t>(index)); }
  const Item& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
  void Delete(int index) {
    if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
  }
  void Clear() { items_.clear(); }

 private:
  std::vector<std::unique_ptr<Item>> items_;
};

// One section of a skin kept as values rather than as an options text.
// FontColor and HotFontColor are five numbers separated by blanks: the
// main colour, then the left, top, right and bottom side colours.
struct TsSkinGeneral {
  std::string SectionName;
  std::string ParentClass;
  TColor Color = 0;
  bool ReservedBoolean = false;
  std::string FontColor;
  std::string HotFontColor;
  std::int32_t Transparency = 0;
  std::int32_t GlowCount = 0;
  std::int32_t GlowMargin = 0;
  std::int32_t GradientPercent = 0;
  std::string GradientData;
  std::int32_t ImagePercent = 0;
  bool ShowFocus = false;
  bool FadingEnabled = false;
  std::int32_t FadingIterations = 0;
  TColor HotColor = 0;
  std::int32_t HotTransparency = 0;
  std::int32_t HotGradientPercent = 0;
  std::string HotGradientData;
  std::int32_t HotImagePercent = 0;
  std::string Name;
  bool GiveOwnFont = false;
};

// One mask: a picture of its own (Image), or a rectangle of the stored
// skin's master bitmap when Image is empty.
struct TsSkinImage {
  std::string SectionName;
  TBitmap Image;
  std::string Name;
  std::string PropertyName;
  std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  std::int32_t ImageCount = 0;
  std::int32_t MaskType = 0;
  std::int32_t BorderWidth = 0;
  std::int32_t StretchMode = 0;
  TacImgType ImgType = itisaBorder;
  std::int32_t WL = 0, WR = 0, WT = 0, WB = 0;
};

// One pattern: the decoded picture of a JPEG texture.
struct TsSkinPattern {
  std::string SectionName;
  TBitmap Image;
  std::string Name;
  std::string PropertyName;
};

using TsSkinGenerals = TsItemCollection<TsSkinGeneral>;
using TsSkinImages = TsItemCollection<TsSkinImage>;
using TsSkinPatterns = TsItemCollection<TsSkinPattern>;

// One stored skin: its packed bytes ("Data") and the values kept beside
// them. With "Data" empty the collections are the skin.
class TsStoredSkin {
 public:
  std::string Name;
  TacBytes Data;  // a packed skin; empty means the collections hold the skin
  TsSkinGenerals GeneralData;
  TsSkinImages Images;
  TsSkinPatterns Patterns;
  TBitmap MasterBitmap;
  TColor Shadow1Color = 0;
  std::int32_t Shadow1Offset = 0;
  std::int32_t Shadow1Blur = -1;
  std::int32_t Shadow1Transparency = 0;
  TColor BorderColor = TransparentColor;
  double Version = 0;
  std::string Author;
  std::string Description;

  void Assign(const TsStoredSkin& source) { *this = source; }
};

class TsStoredSkins : public TsItemCollection<TsStoredSkin> {
 public:
  // The first skin named exactly Name (letter case counts); -1 when none.
  int IndexOf(std::string_view name) const;
  std::vector<std::string> Names() const;
};

// Class names (one per line) of foreign controls skinned as each control
// kind, in the kinds' order (edits, buttons, bit buttons, check boxes, combo
// boxes, grids, group boxes, list views, panels, tree views, WW edits, Eh
// grids, virtual trees, page controls, tab controls, tool bars, status bars,
// speed buttons).
class ThirdPartyList {
 public:
  const std::string& GetItem(int index) const { return items_.at(static_cast<size_t>(index)); }
  void SetItem(int index, std::string value) { items_.at(static_cast<size_t>(index)) = std::move(value); }

  const std::string& ThirdEdits() const { return items_[0]; }
  const std::string& ThirdButtons() const { return items_[1]; }
  const std::string& ThirdBitBtns() const { return items_[2]; }
  const std::string& ThirdCheckBoxes() const { return items_[3]; }
  const std::string& ThirdComboBoxes() const { return items_[4]; }
  const std::string& ThirdGrids() const { return items_[5]; }
  const std::string& ThirdGroupBoxes() const { return items_[6]; }
  const std::string& ThirdListViews() const { return items_[7]; }
  const std::string& ThirdPanels() const { return items_[8]; }
  const std::string& ThirdTreeViews() const { return items_[9]; }
  const std::string& ThirdWWEdits() const { return items_[10]; }
  const std::string& ThirdGridEh() const { return items_[11]; }
  const std::string& ThirdVirtualTrees() const { return items_[12]; }
  const std::string& ThirdPageControl() const { return items_[13]; }
  const std::string& ThirdTabControl() const { return items_[14]; }
  const std::string& ThirdToolBar() const { return items_[15]; }
  const std::string& ThirdStatusBar() const { return items_[16]; }
  const std::string& ThirdSpeedButton() const { return items_[17]; }

 private:
  std::array<std::string, ControlKindCount> items_;
};

// Button animation events, as a set.
using TacBtnEvents = std::uint8_t;
inline constexpr TacBtnEvents beMouseEnter = 1, beMouseLeave = 2, beMouseDown = 4, beMouseUp = 8;

struct TacBtnEffects {
  TacBtnEvents Events = beMouseEnter | beMouseLeave | beMouseDown | beMouseUp;
};

struct TacFormAnimation {
  bool Active = true;
  std::uint16_t Time = 0;  // milliseconds
};
struct TacFormShow : TacFormAnimation {};
struct TacPageChange : TacFormAnimation {};
struct TacDialogShow : TacFormAnimation {};
struct TacSkinChanging : TacFormAnimation {
  TacSkinChanging() { Time = 100; }
};

class TsSkinManager;

struct TacAnimEffects {
  explicit TacAnimEffects(TsSkinManager* manager = nullptr) : Manager(manager) {}
  TsSkinManager* Manager;
  TacBtnEffects Buttons;
  TacDialogShow DialogShow;
  TacFormShow FormShow;
  TacPageChange PageChange;
  TacSkinChanging SkinChanging;
};

}  // namespace kv
