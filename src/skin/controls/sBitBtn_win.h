// The skinned push button with glyph and caption. It rebuilds its cache at
// every paint, shapes its window by the border mask of each state and fades
// between states; with no skin it paints as the plain bit button does.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "classlib/Buttons.h"
#include "skin/controls/sSkinnedControl_win.h"
#include "skin/core/sFade.h"
#include "skin/model/acToolkitFlags.h"

namespace kv {

using TBmpPaintEvent = std::function<void(TObject* sender, TBitmap* bmp)>;

class TsBitBtn : public TsSkinnedControl<TBitBtn> {
 public:
  explicit TsBitBtn(TComponent* owner);
  ~TsBitBtn() override;

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  // Called with the finished cache bitmap.
  TBmpPaintEvent OnPaint;

  // A stored pushed-in state, as a skin paints it.
  bool GetDown() const { return down_; }
  void SetDown(bool value);
  // 0 normal, 1 hot, 2 pressed.
  virtual int ButtonState();
  int CurrentState() { return ButtonState(); }

  int FocusMargin() const { return focusMargin_; }
  void SetFocusMargin(int value) { focusMargin_ = value; }
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
  void SetShowCaption(bool value);
  bool ShowFocus() const { return showFocus_; }
  void SetShowFocus(bool value);
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
  void SetImages(TCustomImageList* images);
  void SetImageIndex(int index);

  // True when the glyph comes from Images.
  bool UsesImageList();
  int GlyphWidth();
  int GlyphHeight();
  int MarginOffset() const { return Margin() < 0 ? 0 : Margin() + 3; }
  int CaptionWidth();
  TSize CaptionSize();
  // Where the glyph goes in the button for the present state.
  TRect CalcGlyphRect();

 protected:
  void Loaded() override;
  void SetButtonStyle(bool isDefault) override;
  // Also the action list's images and the action's image.
  void ActionChange(TBasicAction* sender, bool checkDefaults) override;

  TacCommandOutcome SkinCommand(TMessage& m) override;
  bool UnskinnedMessage(TMessage& m) override;
  bool SkinnedMessage(TMessage& m) override;
  void AfterMessage(TMessage& m) override;
  void PrepareCache() override;
  void PaintToDC(HDC dc) override;

  // Paints the button without a skin for image-list and 32-bit glyphs.
  void DrawUnskinned(const DRAWITEMSTRUCT& item);

 private:
  class TGlyphSource;
  void DrawCaption(TCanvas& canvas, int state, bool skinned);
  TRect CaptionRect(int state);
  TButtonLayout MirroredLayout() const;
  void CutRegion(int state);
  void ApplyRegion(bool redraw);
  void DropRegion();
  void PlainLook();
  void Fade(TacAnimatEvent event, bool halved);
  void Pressed();
  void Released();

  bool MouseDownFlag = false;
  bool down_ = false;
  int focusMargin_ = 1;
  TsDisabledKind disabledKind_ = dkBlended;
  int disabledGlyphKind_ = dkBlended;
  bool grayed_ = false;
  int blend_ = 0;
  int textOffset_ = 0;
  bool showCaption_ = true;
  bool showFocus_ = true;
  TAlignment alignment_ = taCenter;
  TAlignment textAlignment_ = taCenter;
  bool drawOverBorder_ = true;
  bool reflected_ = false;
  TacAnimatEvents animatEvents_ = DefaultAnimatEvents;
  TRect LastRegionRect{};
  // The region cut for the state last prepared, not yet given to the window.
  HRGN Region = nullptr;
  // No region was applied since construction: the first one redraws.
  bool regionNeverSet_ = true;
  std::unique_ptr<TGlyphSource> glyphSource_;
};

}  // namespace kv
