// The skin data every skinned part owns (published on controls as SkinData):
// which manager and section it paints with, the section's indexes, the
// control's cache bitmap and paint state, and the message handling every
// skinned control shares: the toolkit command answers, hover and focus, the
// background colour and background picture it offers its children.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "base/Bitmap.h"
#include "classlib/Controls.h"
#include "skin/core/sFade_win.h"
#include "skin/model/acToolkitFlags.h"
#include "skin/model/sConst.h"
#include "skin/model/sMaskData.h"

namespace kv {

class TsSkinManager;
class TacFormProvider;
struct TsBgRequest;

// A manager kept by a holder that no removal broadcast may reach (a control
// not placed yet, a window adapted by hand): the manager's life token kept
// with the pointer tells whether it is still there. Read, it is the manager
// while it lives, the default one once it is freed, null when none is held.
class TManagerRef {
 public:
  TManagerRef() = default;
  TManagerRef(TsSkinManager* manager) { *this = manager; }  // NOLINT: stands in for the pointer
  TManagerRef& operator=(TsSkinManager* manager);
  TsSkinManager* Get() const;
  operator TsSkinManager*() const { return Get(); }  // NOLINT
  TsSkinManager* operator->() const { return Get(); }
  TsSkinManager& operator*() const { return *Get(); }
  // The manager held and still there; null otherwise.
  TsSkinManager* Alive() const { return Freed() ? nullptr : held_; }
  // A manager was held and has been freed since.
  bool Freed() const { return held_ != nullptr && life_.expired(); }

 private:
  TsSkinManager* held_ = nullptr;
  std::weak_ptr<char> life_;
};

// What the core needs to know of a control's kind; each skinned class sets
// its own in its constructor.
enum TacControlCapability : std::uint16_t {
  ccEditLike = 1,          // takes the section's colours as its own Color and font colour
  ccContainer = 2,         // holds other controls
  ccPageControl = 4,       // a page control
  ccPageSheet = 8,         // a page control's sheet: always paints over its parent
  ccHoverResettable = 16,  // a flat button a container takes the hover from
  ccScrollBox = 32,        // a skinned scroll box: the form's wheel may go to it
  ccAutoMouseWheel = 64,   // that scroll box takes the wheel when under the cursor
};

// The three outcomes of a skin command.
enum TacCommandOutcome : std::uint8_t {
  coNotOurs,   // no skinned control's business: the message goes on untouched
  coPassedOn,  // noted; the control passes the message on (the result is not an answer)
  coAnswered,  // Result holds the answer: the message must not go on
};

// Also the fade target of its control: fades read its cache and flags.
class TsCommonData : public TPersistent, public TacFadeTarget {
 public:
  // The owner control is recorded when owner is a TControl; with
  // createCacheBmp the cache starts as an empty 24-bit bitmap.
  TsCommonData(TObject* owner, bool createCacheBmp);
  ~TsCommonData() override;
  TsCommonData(const TsCommonData&) = delete;
  TsCommonData& operator=(const TsCommonData&) = delete;

  // Published.
  bool CustomColor() const { return customColor_; }
  void SetCustomColor(bool value);
  bool CustomFont() const { return customFont_; }
  void SetCustomFont(bool value);
  // The explicit manager, else the default one (null when neither exists).
  TsSkinManager* SkinManager() const;
  // The default manager is stored as none, so a later default is followed.
  void SetSkinManager(TsSkinManager* value);
  bool SkinManagerStored() const { return manager_.Alive() != nullptr; }
  // A manager going away is no longer kept as the explicit one.
  void ForgetDestroyedManager();
  const std::string& SkinSection() const { return skinSection_; }
  void SetSkinSection(const std::string& value);

  // A form's provider as owner: colours and commands go to its form.
  void SetOwnerProvider(TacFormProvider* provider) { OwnerProvider = provider; }

  void RefreshSkinIndexes();
  void UpdatePaintStateFlags();
  void UpdateChildBgFlags(bool recurse);
  void SetDefaultSkinSection();

  // The section record, or null while the index is not valid.
  const TsGeneralData* Section() const;
  const TsMaskData* BorderMask() const;

  int GlowIndex = -1;
  bool Updating = false;
  int BorderIndex = -1;
  int SkinIndex = -1;
  int Texture = -1;  // mask indexes of PATTERN and HOTPATTERN textures
  int HotTexture = -1;
  bool ParentBgForced = false;
  bool BGChanged = true;
  bool PaintSkipped = true;  // also known as half-visible
  TControl* OwnerControl = nullptr;
  TObject* OwnerObject = nullptr;
  TacFormProvider* OwnerProvider = nullptr;
  std::unique_ptr<TBitmap> CacheBmp;
  int ControlType = 0;
  std::uint16_t Capabilities = 0;  // TacControlCapability bits
  bool Focused = false;
  bool MouseAbove = false;
  std::uint16_t ChildBgFlags = 0;     // bit 0: children may paint on a plain background
  std::uint16_t PaintStateFlags = 0;  // bits 0-1 gradient kind, bit 2 texture

  bool Has(TacControlCapability capability) const { return (Capabilities & capability) != 0; }

 private:
  TControl* FadeControl() override;
  TBitmap* FadeCache() override;
  bool FadeSkinAvailable() override;
  bool FadingEnabled() override;
  int FadingIterations() override;
  bool FadeBGChanged() override { return BGChanged; }
  void SetFadeBGChanged(bool value) override { BGChanged = value; }
  void FadeShowGlow(bool update) override;

  std::string skinSection_;
  bool customFont_ = false;
  bool customColor_ = false;
  TManagerRef manager_;
};

// The skin data a control owns, asked of the control; null when it has none.
TsCommonData* SkinDataOf(TControl* control);

bool SkinAvailable(const TsCommonData* sd, bool checkActive);
bool PaintingSuspended(const TsCommonData* sd);
bool NeedsParentCheck(const TsCommonData* sd);
bool ControlIsHot(const TsCommonData* sd);
bool SectionHasTransparency(const TsCommonData* sd);
int MaxBorderWidth(const TsCommonData* sd);
bool DependsOnParentBg(const TsCommonData* sd);
int ParentBgNonUniform(const TsCommonData* sd);
bool NeedsOwnBgCache(const TsCommonData* sd);
TColor SkinnedBgColor(const TsCommonData* sd, bool hot, HWND handle);
// The command-21 answer: the section colour moved towards the parent's by
// T/256; 0xFF00FF-free (see the source).
TColor CommandBgColor(const TsCommonData* sd);

// The section whose font colour the control takes: its parent's (climbing
// past parents more than half see-through) when that section gives its font;
// defaultIndex otherwise.
int FontSourceSectionIndex(TControl* control, int defaultIndex, TsSkinManager* manager);

void SkinDataLoaded(TsCommonData* sd);
void PrepareCacheBitmap(TsCommonData* sd);
void PrepareCacheBitmap24(TsCommonData* sd);
void InvalidateControlSkin(TsCommonData* sd);
void SetPaintingSuspended(TsCommonData* sd, bool value);
// When the parent says it has painted: asks again whether painting must
// wait, the control's own old answer set aside (it would keep the control
// waiting for ever). True when painting may go on.
bool ResumePaintingAfterParent(TsCommonData* sd);
void BeginPaintLock(TsCommonData* sd);
void EndPaintLock(TsCommonData* sd);

// Shows the section's hover glow around the control (or the window of
// handle when there is no owner control), or hides it when it should not show.
void ShowControlGlow(TsCommonData* sd, bool update, HWND handle);

// The cache's corners under the border mask's transparent pixels (frame of
// state) repainted from the parent's background; corners as the mask
// painter's corner set.
void FillCacheCorners(TsCommonData* sd, int state, int corners);
void RefreshCacheCorners(TsCommonData* sd, int state);
// The disabled look of a control's cache, on the background given, the
// control's background colour standing in for a missing one.
void ApplyDisabledKind(TBitmap* bitmap, TsDisabledKind kinds, TControl* control, TPoint point,
                       const TsBgCacheInfo& background);

void FillChildBgInfo(TsCommonData* sd, TsBgRequest& request, bool hot, HWND handle);
// The same for a container whose cache holds its whole window while its
// children stand in the client area, clientOffset from the window's corner.
void FillContainerChildBgInfo(TsCommonData* sd, TsBgRequest& request, TPoint clientOffset);
void GetParentBgInfo(const TsCommonData* sd, TsBgCacheInfo& info);
void GetParentBgInfoByHandle(HWND handle, TsBgCacheInfo& info);

// The first handler of a skinned control's window procedure; true when the
// message is consumed.
bool PreviewControlMessage(TMessage& message, TsCommonData* sd);
// The common handling of the toolkit command message. An answered command
// must not reach the control's default handling, which would overwrite it.
TacCommandOutcome HandleSkinCommand(TMessage& message, TsCommonData* sd);

// Copies the cache from srcPoint into destRect of dc, leaving out the
// visible graphic and opaque children of parent that the rectangle touches.
// With applyEffect the cache's corners are first given what lies behind the
// control (its border mask's normal frame).
void CopyCacheToDC(TWinControl* parent, TsCommonData* sd, TPoint srcPoint, int offsetY, int offsetX,
                   HDC dc, const TRect& destRect, bool applyEffect = false);

// The same for a window: every visible child window is left out at its
// place; a group box only by its frame strips.
void CopyCacheExceptChildWindows(HWND handle, TsCommonData* sd, TPoint srcPoint, int offsetY,
                                 int offsetX, HDC dc, const TRect& destRect,
                                 bool applyEffect = false);

}  // namespace kv
