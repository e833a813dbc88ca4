// The skin manager component: owns the loaded skin, decides where a skin is
// found, loads it all or nothing, and tells every window about a new or
// removed skin with the toolkit command message. The first manager created
// is the process-wide default that skinned parts without a manager of their
// own use; it also owns the toolkit's hooks.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/StringList.h"
#include "classlib/Forms.h"
#include "classlib/Graphics.h"
#include "skin/model/sSkinModel.h"
#include "skin/model/sStoredSkins.h"

namespace kv {

class TPNGGraphic;

// Settings of the skinned menus' icon line and extra line.
struct TacMenuSupport {
  std::string IcoLineSkin;
  bool UseExtraLine = false;
  int ExtraLineWidth = 32;
  std::shared_ptr<TFont> ExtraLineFont = std::make_shared<TFont>();
};

class TMenuItem;
// Asked by the menu painter for the extra line down the left of a pop-up
// menu: its section, caption, picture and whether it shows.
using TacGetExtraLineData = std::function<void(TMenuItem* FirstItem, std::string& SkinSection,
                                               std::string& Caption, TBitmap*& Glyph,
                                               bool& LineVisible)>;

using TacSkinningRules = std::uint8_t;
inline constexpr TacSkinningRules srStdForms = 1, srStdDialogs = 2, srThirdParty = 4;

// The toolkit's version text (the "Version" property, the "/acver" box).
inline constexpr const char* ToolkitVersion = "kvconfig skin toolkit 1.00";

class TsSkinManager : public TComponent {
 public:
  explicit TsSkinManager(TComponent* owner);
  ~TsSkinManager() override;
  void AfterConstruction();

  TNotifyEvent OnBeforeChange;
  TNotifyEvent OnAfterChange;
  TacGetExtraLineData OnGetMenuExtraLineData;

  // Published settings.
  bool ExtendedBorders() const;
  void SetExtendedBorders(bool value);
  bool SkinnedPopups() const { return skinnedPopups_; }
  void SetSkinnedPopups(bool value);
  bool AllowGlowing() const;
  void SetAllowGlowing(bool value) { allowGlowing_ = value; }
  TacAnimEffects AnimEffects{this};
  bool IsDefault() const;
  void SetIsDefault(bool value);
  bool Active() const { return active_; }
  void SetActive(bool value);
  const TStringList& CommonSections() const { return commonSections_; }
  void SetCommonSections(const TStringList& value);
  int Saturation() const { return saturation_; }
  void SetSaturation(int value);
  int HueOffset() const { return hueOffset_; }
  void SetHueOffset(int value);
  TsStoredSkins InternalSkins;
  TacMenuSupport MenuSupport;
  const std::string& SkinDirectory() const { return skinDirectory_; }
  void SetSkinDirectory(const std::string& value);
  const std::string& SkinName() const { return skinName_; }
  void SetSkinName(const std::string& value);
  // The loaded skin's version, or "N/A" while no skin is loaded.
  std::string SkinInfo() const;
  TacSkinningRules SkinningRules = srStdForms | srStdDialogs | srThirdParty;
  ThirdPartyList ThirdParty;
  std::string Version() const { return ToolkitVersion; }

  // The loaded skin: sections, masks, patterns and skin-wide values.
  const TsSkinModel& Skin() const { return skin_; }
  TsSkinData& CommonSkinData() { return skin_.CommonSkinData; }
  const TsSkinData& CommonSkinData() const { return skin_.CommonSkinData; }
  bool IsPacked() const { return isPacked_; }
  const TStringList& ThirdLists(int index) const { return *thirdLists_.at(static_cast<size_t>(index)); }

  std::string GetFullSkinDirectory() const;
  // Kind 0: stored skins and skin folders; 1: stored and packed skins; 2: all.
  void FillSkinList(TStringList& list, int kind, std::string& firstName) const;
  void SendNewSkin(bool repaint);
  void SendRemoveSkin();
  void RepaintForms();
  void UpdateCommonIndexes();
  // Extended borders: the shadow margins (left, top, right, bottom) and the
  // 32-bit shadow pictures of an active and an inactive window, set up after
  // every load; zero margins and no pictures while extended borders are off.
  const TRect& ExtBorderMargins() const { return extBorderMargins_; }
  const TBitmap* ExtBorderImage(bool active) const {
    return extBorderImages_[active ? 0 : 1].get();
  }
  void PrepareExtBorders();
  void LoadThirdParty(bool reset);
  void SaveThirdParty();

  // Hooks and the window under the mouse.
  bool MainWindowHook(TMessage& message);
  void InstallCBTHook();
  void RemoveCBTHook();
  bool CBTHookInstalled() const;
  HWND HotWindow() const { return hotWindow_; }

  // Expires when the manager is freed: a holder that keeps the manager
  // tells by it whether the manager is still there.
  std::weak_ptr<char> LifeToken() const { return life_; }
  void SetHotWindow(HWND wnd);

 protected:
  void Loaded() override;
  void BeforeDestruction() override;

 private:
  void LoadSkin(const std::string& previousName);
  void Reload();
  bool TryLoad(const std::string& previousName, std::string& failure);
  void ShowVersionNotice() const;
  void LoadFound();
  TsSkinLoadOptions LoadOptions() const;
  void BecomeDefault();
  // Active with a skin loaded and announced.
  bool HoldsSkin() const;
  bool Streaming() const { return HasState(csLoading | csReading); }
  // Runs one of the change events from a copy; false when its handler freed
  // the manager.
  bool RunChangeEvent(const TNotifyEvent& event);

  bool extendedBorders_ = false;
  bool skinnedPopups_ = true;
  bool allowGlowing_ = true;
  bool active_ = true;
  bool isPacked_ = false;
  int saturation_ = 0;
  int hueOffset_ = 0;
  HWND hotWindow_ = nullptr;
  TStringList commonSections_;
  std::string skinDirectory_;
  std::string skinName_;
  TsSkinModel skin_;
  TRect extBorderMargins_{};
  std::array<std::unique_ptr<TBitmap>, 2> extBorderImages_;  // active, inactive
  std::array<std::unique_ptr<TStringList>, ControlKindCount> thirdLists_;
  // Its events and the boxes a change shows run code that may free the
  // manager; a weak copy taken before tells afterwards.
  std::shared_ptr<char> life_ = std::make_shared<char>();
};

// The process-wide default manager; null when there is none.
extern TsSkinManager* DefaultManager;
// Set while a skin loads, while the new-skin broadcast and while the removal
// broadcast runs; painting and timer code skips its work meanwhile.
extern bool SkinLoading;
extern bool SkinBroadcasting;
extern bool SkinRemoving;

// Toolkit start values.
extern bool IsNTPlatform;
// The form shadow images for the active and the inactive state; null when
// the program carries none.
TPNGGraphic* ShadowActive();
TPNGGraphic* ShadowInactive();

// The packed default skin carried in the program's resources (RCDATA).
inline constexpr const char* DefaultSkinResource = "KVSKIN_VISTA";
// The bytes of an RCDATA resource of the program; empty when it is missing.
TacBytes ResourceBytes(const std::string& name);

}  // namespace kv
