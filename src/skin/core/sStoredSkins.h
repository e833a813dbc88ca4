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

#include "skin/core/acSkinPack.h"
#include "skin/core/sConst.h"

namespace kv {

// One stored skin: its packed bytes ("Data") and the values kept beside them.
class TsStoredSkin {
 public:
  std::string Name;
  TacBytes Data;  // a packed skin; empty means no skin content
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

class TsStoredSkins {
 public:
  TsStoredSkin& Add();
  int Count() const { return static_cast<int>(items_.size()); }
  TsStoredSkin& Items(int index) { return *items_.at(static_cast<size_t>(index)); }
  const TsStoredSkin& Items(int index) const { return *items_.at(static_cast<size_t>(index)); }
  void Delete(int index);
  void Clear() { items_.clear(); }
  // The first skin named exactly Name (letter case counts); -1 when none.
  int IndexOf(std::string_view name) const;
  std::vector<std::string> Names() const;

 private:
  std::vector<std::unique_ptr<TsStoredSkin>> items_;
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
