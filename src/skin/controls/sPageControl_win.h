// The skinned page control, its sheets and the stand-in close button. The
// control keeps its tab band, its inactive tabs and its page area in its
// cache and draws the active tab last, straight onto the window, so nothing
// ever covers it; the sheets show the page area from that cache. With no
// skin loaded they paint as the plain page control and sheets do.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "classlib/Tabs.h"
#include "skin/controls/sSkinnedControl_win.h"
#include "skin/controls/sSpeedButton_win.h"
#include "skin/controls/sUpDown_win.h"
#include "skin/core/sFade.h"
#include "skin/geometry/sPageControlGeometry.h"
#include "skin/model/acToolkitFlags.h"

namespace kv {

class TsTabSheet;
class TsPageControl;

enum TacCloseAction { acaHide, acaFree };
using TacCloseBtnClick =
    std::function<void(TComponent* Sender, int TabIndex, bool& CanClose, TacCloseAction& Action)>;

// Published with the sheet for forms that set it; the page control does not
// read it.
class TsTabSkinData : public TPersistent {
 public:
  bool CustomColor() const { return customColor_; }
  void SetCustomColor(bool value) { customColor_ = value; }
  bool CustomFont() const { return customFont_; }
  void SetCustomFont(bool value) { customFont_ = value; }
  const std::string& SkinSection() const { return skinSection_; }
  void SetSkinSection(const std::string& value) { skinSection_ = value; }

 private:
  bool customColor_ = false;
  bool customFont_ = false;
  std::string skinSection_;
};

// The close button on a tab while no skin is active.
class TsTabBtn : public TsSpeedButton {
 public:
  explicit TsTabBtn(TComponent* owner);
  TsTabSheet* Page = nullptr;

 protected:
  // Under visual styles the system's small close button; else the flat "X".
  void Paint() override;
};

class TsTabSheet : public TTabSheet {
 public:
  explicit TsTabSheet(TComponent* owner);

  // The section of this sheet's tab; empty for the page control's choice.
  const std::string& TabSkin() const { return tabSkin_; }
  void SetTabSkin(const std::string& value);
  const std::string& ButtonSkin() const { return buttonSkin_; }
  void SetButtonSkin(const std::string& value);
  bool UseCloseBtn() const { return useCloseBtn_; }
  void SetUseCloseBtn(bool value);
  TsTabSkinData* SkinData() { return &skinData_; }

  // The close button while no skin is active; null otherwise.
  TsTabBtn* CloseBtn = nullptr;

 protected:
  void WndProc(TMessage& m) override;

 private:
  // The page control while it shows a skin, else null.
  TsPageControl* SkinnedPageControl() const;
  void EraseFromPageControl(TsPageControl* pc, HDC dc);
  bool SkinCommand(TMessage& m, TsPageControl* pc);

  std::string tabSkin_;
  std::string buttonSkin_;
  bool useCloseBtn_ = true;
  TsTabSkinData skinData_;
};

class TsPageControl : public TsSkinnedControl<TPageControl> {
 public:
  explicit TsPageControl(TComponent* owner);
  ~TsPageControl() override;

  // Asked whether a tab may close and whether its sheet goes or hides.
  TacCloseBtnClick OnCloseBtnClick;

  TsTabSheet* ActivePage() const { return dynamic_cast<TsTabSheet*>(TPageControl::ActivePage()); }
  TacAnimatEvents AnimatEvents() const { return animatEvents_; }
  void SetAnimatEvents(TacAnimatEvents value) { animatEvents_ = value; }
  bool ShowCloseBtns() const { return showCloseBtns_; }
  void SetShowCloseBtns(bool value);
  const std::string& CloseBtnSkin() const { return closeBtnSkin_; }
  void SetCloseBtnSkin(const std::string& value);

  // The page under the mouse with a hot tab; -1 for none. Never the active page.
  int HotTab() const { return hotTab_; }
  // The section the page area was painted with at the last paint.
  const std::string& PageSection() const { return pageSection_; }

  // The tab layout of the moment, read from the tab control.
  TsTabLayout Layout();
  TRect SkinTabRect(int tabIndex, bool active) {
    return kv::SkinTabRect(Layout(), tabIndex, active);
  }
  int TabAtPos(TPoint point) { return kv::TabAtPos(Layout(), point); }
  // Whether a skinned scroller should replace the native one: one row of top
  // or bottom tabs with some out of view.
  bool NeedsScroller();
  // The skinned tab scroller; null while none is wanted.
  TsUpDown* Scroller() const { return scroller_; }
  // The close button's rectangle on a tab; empty without a skin.
  TRect CloseBtnRect(int tabIndex);

  // One tab painted into bitmap, moved by offset; state 0 normal, 1 hot, 2 active.
  void DrawTab(int pageIndex, int state, TPoint offset, TBitmap* bitmap);
  // One tab and its close button onto dc.
  void DrawTabToDC(int pageIndex, int state, HDC dc);
  // One tab onto the window now, the active tab left alone.
  void PaintTabNow(int pageIndex, int state);
  virtual void DrawCloseBtn(HDC dc, const TRect& tabRect, TBitmap* background, int state);

 protected:
  void WndProc(TMessage& m) override;
  void Loaded() override;
  void UpdateActivePage() override;
  void Notification(TComponent* component, TOperation operation) override;

  TacCommandOutcome SkinCommand(TMessage& m) override;
  bool UnskinnedMessage(TMessage& m) override;
  bool SkinnedMessage(TMessage& m) override;
  void AfterMessage(TMessage& m) override;
  void PrepareCache() override;
  void PaintToDC(HDC dc) override;

 private:
  friend class TsTabSheet;
  struct TTabLook {
    int Section = -1;
    std::string Name;
  };
  TTabLook TabLook(int pageIndex);
  // The page area's section by the tab position; SkinIndex becomes its index.
  void ChoosePageSection();
  // The band's background and the inactive tabs, row by row, into the cache.
  void PaintTabsBand(TBitmap* cache, const TsBgCacheInfo& background);
  void PaintCaption(TCanvas& canvas, int pageIndex, const TRect& r, int state, int section);
  void PaintControl(HDC dc);
  // An inactive tab clipped to its item, the active tab left out.
  void DrawInactiveTab(int pageIndex, int state, HDC dc);
  // The cache brought up to date unless painting is held back.
  void EnsureCache();
  void PaintCloseButtons(HDC dc);
  void UpdateCloseBtnSkin();
  void UpdateCloseButtons();
  void FreeOrphanCloseButtons();
  // The one place that decides about the tab scroller (see the source).
  void UpdateScroller();
  void CreateScroller();
  void PlaceScroller();
  // Frees the scroller, or, inside its own click, hides it until the click
  // is over.
  void FreeScroller();
  // Once a scroller's click is over: frees the scrollers let go in it and
  // makes the window anew if that was asked for meanwhile.
  void FinishScrollerClicks();
  void DestroyNativeScroller();
  void ScrollerClick(TObject* sender, TUDBtnType button);
  void TrackHotTab(TMessage& m);
  void PaintPageFrame();
  // The manager skins foreign controls (its rules say so).
  bool ThirdPartySkinned() const;
  bool OverCloseBtn(int pageIndex, TPoint point);
  void ResetHotTab();
  bool CloseBtnMouse(TMessage& m);
  // One close button on the window now, over its tab in tabState.
  void PaintCloseBtnState(int pageIndex, int btnState, int tabState);
  void CloseTab(int pageIndex, int eventIndex, bool skinned);
  void CloseBtnClick(TObject* sender);
  void ClosePostedTab(WPARAM sheet);
  bool Notify(TMessage& m);
  // CM_HINTSHOW: over a tab, the hint is its sheet's.
  bool TabHint(TMessage& m);
  void DropCover();

  TsUpDown* scroller_ = nullptr;
  // Scrollers let go inside a scroller's click, freed once it is over.
  std::vector<TsUpDown*> leftScrollers_;
  int scrollerClicks_ = 0;
  // A new window asked for inside a scroller's click, which it would destroy.
  bool recreateAfterClick_ = false;
  int tabCountAtPaint_ = 0;
  std::string pageSection_;
  TacAnimatEvents animatEvents_ = DefaultAnimatEvents;
  bool showCloseBtns_ = false;
  std::string closeBtnSkin_;
  int hotTab_ = -1;
  // The page whose close button shows hot; -1 for none.
  int litCloseBtn_ = -1;
  int closeBtnIndex_ = -1;
  int closeBtnWidth_ = 0;
  int closeBtnHeight_ = 0;
  // A snapshot covers the control from a change's start to its end.
  bool coverShown_ = false;
};

}  // namespace kv
