// The skinned flat button, a windowless control. It paints its section's
// item for the state (0 normal, 1 hot, 2 pressed) with caption and glyph into
// its cache, and windowless siblings lying over it on top, so that a repaint
// outside the parent's painting does not hide them; state changes fade with
// an animation timer. Styles: a plain button, a drop-down button with a
// 16-pixel arrow strip opening its pop-up menu, a separator and a divider.
// With no skin loaded it paints as the plain speed button does.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <uxtheme.h>

#include <memory>
#include <string>

#include "classlib/Buttons.h"
#include "classlib/Menus.h"
#include "skin/controls/sBitBtn_win.h"
#include "skin/controls/sSkinnedControl_win.h"
#include "skin/core/sFade.h"
#include "skin/geometry/sButtonLayout.h"
#include "skin/model/acToolkitFlags.h"

namespace kv {

enum TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };

// A windowless control's background as a window's themed parent background
// is drawn: its parent erases and paints its own client area into dc, moved
// to the control's place and clipped to it.
void DrawParentBackground(TControl* control, HDC dc);

class TsSpeedButton : public TsSkinnedControl<TSpeedButton> {
 public:
  explicit TsSpeedButton(TComponent* owner);
  ~TsSpeedButton() override;

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  // Called with the finished cache bitmap.
  TBmpPaintEvent OnPaint;

  bool GetDown() const { return Down(); }
  // 2 while down or pressed, 1 while hot (the mouse over it), else 0.
  int CurrentState() const;
  // The state painted; descendants give their own look.
  virtual int ButtonState() const { return CurrentState(); }

  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind value);
  int DisabledGlyphKind() const { return disabledGlyphKind_; }
  void SetDisabledGlyphKind(int value);
  bool Grayed() const { return grayed_; }
  void SetGrayed(bool value);
  int Blend() const { return blend_; }
  // Clamped into 0..100.
  void SetBlend(int value);
  int TextOffset() const { return textOffset_; }
  void SetTextOffset(int value);
  bool ShowCaption() const { return showCaption_; }
  // Off, the caption is kept aside and none is shown.
  void SetShowCaption(bool value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TAlignment TextAlignment() const { return textAlignment_; }
  void SetTextAlignment(TAlignment value);
  bool DrawOverBorder() const { return drawOverBorder_; }
  void SetDrawOverBorder(bool value);
  bool Reflected() const { return reflected_; }
  void SetReflected(bool value);
  TacAnimatEvents AnimatEvents() const { return animatEvents_; }
  void SetAnimatEvents(TacAnimatEvents value) { animatEvents_ = value; }
  TToolButtonStyle ButtonStyle() const { return buttonStyle_; }
  // The drop-down strip widens the button by its width, and narrows it again.
  void SetButtonStyle(TToolButtonStyle value);
  TPopupMenu* DropdownMenu() const { return dropdownMenu_; }
  void SetDropdownMenu(TPopupMenu* menu);
  bool MenuShown() const { return menuShown_; }
  void SetImages(TCustomImageList* images);
  void SetImageIndex(int index);

  int ArrowWidth() const;
  bool UsesImageList() const;
  int MarginOffset() const { return kv::MarginOffset(Margin()); }
  int CaptionWidth();
  // Paints the button now, without waiting for its parent.
  void Redraw();
  // Whatever changed, the next paint builds a new picture.
  void Invalidate() override;
  void AfterConstruction() override;

  // In the order descendants override them.
  virtual void WriteCaptionText(TCanvas& canvas, const TRect& r, UINT flags, bool skinned);
  virtual void DrawCaption(TCanvas& canvas, bool skinned);
  virtual TSize CaptionSize();
  virtual void DrawGlyph(TBitmap* target);
  virtual int GlyphWidth() const;
  virtual int GlyphHeight() const;
  void PrepareCache() override;
  virtual void PaintUnskinned(bool drawFrame);
  virtual TRect CaptionRect();
  virtual TRect CalcGlyphRect();

 protected:
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  // Also the action list's images and the action's image; a hidden caption
  // keeps the action's for when it shows.
  void ActionChange(TBasicAction* sender, bool checkDefaults) override;
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

  TacCommandOutcome SkinCommand(TMessage& m) override;
  bool UnskinnedMessage(TMessage& m) override;
  bool SkinnedMessage(TMessage& m) override;
  void AfterMessage(TMessage& m) override;
  void PaintToDC(HDC dc) override;

 private:
  class TGlyphSource;
  TsButtonMetrics Metrics();
  bool AnimationShowing() const;
  void PaintSiblingsOver(TBitmap& cache);
  void PaintDropDownPart(TBitmap& cache, const TsBgCacheInfo& background);
  void RepaintWithAnim(bool halved, bool allowed);
  void StartAnimation(bool halved);
  void StopAnimation();
  void DropDown();
  void SetSkinValue(bool changed);
  void PaintThemed(HTHEME theme, bool pressed, bool stripPressed);
  void PaintPlainFrame(bool pressed);

  TsAnimTimer* AnimTimer = nullptr;
  TsDisabledKind disabledKind_ = dkBlended;
  int disabledGlyphKind_ = dkBlended;
  bool grayed_ = false;
  int blend_ = 0;
  int textOffset_ = 0;
  bool showCaption_ = true;
  TAlignment alignment_ = taCenter;
  TAlignment textAlignment_ = taCenter;
  bool drawOverBorder_ = true;
  bool reflected_ = false;
  TacAnimatEvents animatEvents_ = DefaultAnimatEvents;
  TToolButtonStyle buttonStyle_ = tbsButton;
  TPopupMenu* dropdownMenu_ = nullptr;
  bool menuShown_ = false;
  bool lastDown_ = false;
  int lastNumGlyphs_ = 1;
  int lastSpacing_ = 4;
  std::string savedCaption_;
  TColor themedTextColor_ = clNone;
  std::unique_ptr<TGlyphSource> glyphSource_;
};

}  // namespace kv
