// The skinned check box and radio button. Both keep the system BUTTON window,
// but while a skin is usable it never paints itself: the control paints its
// section, caption, focus frame and check glyph into its cache and takes the
// clicks and the space key itself. With no skin loaded the system button
// paints as the plain check box does; Checked set from code raises no click
// of another box.
#pragma once

#include <windows.h>

#include <memory>

#include "base/Bitmap.h"
#include "classlib/StdCtrls.h"
#include "skin/controls/sSkinnedControl_win.h"
#include "skin/core/sFade.h"
#include "skin/geometry/sButtonLayout.h"
#include "skin/model/acToolkitFlags.h"

namespace kv {

class TCustomImageList;

// The side of the room a plain check box or radio button keeps for its box.
inline constexpr int kPlainBoxSize = 16;

// What the check box and the radio button share; Base is the class
// library's check box or radio button.
template <class Base>
class TsCheckControl : public TsSkinnedControl<Base> {
 public:
  // Room around glyph and caption.
  int Margin() const { return margin_; }
  void SetMargin(int value);
  TacAnimatEvents AnimatEvents() const { return animatEvents_; }
  void SetAnimatEvents(TacAnimatEvents value) { animatEvents_ = value; }
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind value);
  // Three states side by side (normal, hot, pressed) over a mask half; the
  // control keeps its own copies.
  const TBitmap& GlyphChecked() const { return glyphChecked_; }
  void SetGlyphChecked(const TBitmap& value);
  const TBitmap& GlyphUnChecked() const { return glyphUnChecked_; }
  void SetGlyphUnChecked(const TBitmap& value);
  // A read-only control takes the focus but no click or space.
  virtual bool GetReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value) { readOnly_ = value; }
  bool ShowFocus() const { return showFocus_; }
  void SetShowFocus(bool value);
  int TextIndent() const { return textIndent_; }
  void SetTextIndent(int value);
  // With AutoSize the skinned control takes the size of its glyph and
  // caption; shown plain, it keeps its size.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  void AdjustSize();
  // With AutoSize the control keeps its auto size.
  void SetBounds(int left, int top, int width, int height) override;
  // The size AutoSize gives; false when the control keeps its own.
  virtual bool CanAutoSize(int& newWidth, int& newHeight);

  // Where the check glyph goes.
  TRect CheckRect();
  // The side the glyph is on: taRightJustify puts it at the left; right-to-left
  // alignment swaps the sides.
  TAlignment GetControlsAlignment() const {
    return CheckControlsAlignment(this->Alignment(), this->UseRightToLeftAlignment());
  }

 protected:
  TsCheckControl(TComponent* owner, int controlType);
  ~TsCheckControl() override;

  void Loaded() override;
  TacCommandOutcome SkinCommand(TMessage& m) override;
  bool UnskinnedMessage(TMessage& m) override;
  bool SkinnedMessage(TMessage& m) override;
  void PrepareCache() override;
  void PaintToDC(HDC dc) override;

  // The glyph's skin mask for the present state, -1 when the skin has none.
  virtual int GlyphMaskIndex() = 0;
  // The one glyph mask the layout measures.
  virtual int LayoutMaskIndex() = 0;
  // An image-list glyph into `picture` (the whole image); false for none.
  virtual bool ImageListGlyph(TBitmap& /*picture*/) { return false; }
  virtual TSize ImageListGlyphSize() { return {0, 0}; }
  // The user's click or space: the next state of the control.
  virtual void UserCheck() = 0;
  virtual bool IsRadio() const = 0;
  // The state the system button must show when the skin goes.
  virtual WPARAM CheckState() = 0;
  virtual bool SkinnedCheckMessage(TMessage& /*m*/) { return false; }

  void Fade(TacAnimatEvent event, bool halved);
  bool pressed_ = false;

 private:
  int GlyphState();
  TSize GlyphSize();
  void DrawGlyph(TBitmap& cache);
  void DrawCaption(TBitmap& cache, bool hot);
  // The focus taken by a click or the space key, without a click of its own.
  void TakeFocus();
  bool Interactive() const;

  int margin_ = 2;
  TacAnimatEvents animatEvents_ = DefaultAnimatEvents;
  TsDisabledKind disabledKind_ = dkBlended;
  TBitmap glyphChecked_;
  TBitmap glyphUnChecked_;
  bool readOnly_ = false;
  bool showFocus_ = true;
  int textIndent_ = 0;
  bool autoSize_ = true;
};

class TsCheckBox : public TsCheckControl<TCheckBox> {
 public:
  explicit TsCheckBox(TComponent* owner);

  // Ignored while loading: the loaded State holds the state.
  void SetChecked(bool value) override;
  // An image of Images as the glyph, when both indexes are 0 or above.
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* value);
  int ImgChecked() const { return imgChecked_; }
  void SetImgChecked(int value);
  int ImgUnchecked() const { return imgUnchecked_; }
  void SetImgUnchecked(int value);

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  void ActionChange(TBasicAction* sender, bool checkDefaults) override;
  int GlyphMaskIndex() override;
  int LayoutMaskIndex() override;
  bool ImageListGlyph(TBitmap& picture) override;
  TSize ImageListGlyphSize() override;
  void UserCheck() override { Toggle(); }
  bool IsRadio() const override { return false; }
  WPARAM CheckState() override { return static_cast<WPARAM>(State()); }
  bool SkinnedCheckMessage(TMessage& m) override;

 private:
  bool UsesImages() const;
  TCustomImageList* images_ = nullptr;
  int imgChecked_ = 0;
  int imgUnchecked_ = 0;
};

class TsRadioButton : public TsCheckControl<TRadioButton> {
 public:
  explicit TsRadioButton(TComponent* owner);

  // With AutoSize the caption does not wrap.
  void Invalidate() override;
  // A mouse release checks the button only when this answers true.
  virtual bool CanChangeState() { return true; }

 protected:
  // Its own window class, without the system button's redraw-on-resize
  // styles: the whole control is repainted from the cache anyway.
  void CreateParams(TCreateParams& params) override;
  int GlyphMaskIndex() override;
  int LayoutMaskIndex() override { return GlyphMaskIndex(); }
  void UserCheck() override { SetChecked(true); }
  bool IsRadio() const override { return true; }
  WPARAM CheckState() override { return Checked() ? BST_CHECKED : BST_UNCHECKED; }
  bool SkinnedCheckMessage(TMessage& m) override;
};

}  // namespace kv
