#pragma once
// Buttons with pictures: the windowed bit button (an owner-drawn system
// button that keeps the pushed state) and the windowless speed button (a
// graphic control with its own press tracking and group logic).

#include <windows.h>

#include "base/Bitmap.h"
#include "base/ButtonKinds.h"
#include "classlib/Controls.h"
#include "classlib/ImgList.h"
#include "classlib/StdCtrls.h"

namespace kv {

enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

// Where a button's picture and caption go inside its client rectangle.
// margin -1 centres the pair; spacing -1 centres the text in what is left.
struct TButtonPlacement {
  TPoint GlyphPos;
  TRect TextBounds;
};
TButtonPlacement PlaceGlyphAndText(const TRect& client, TSize glyph, TSize text,
                                   TButtonLayout layout, int margin, int spacing);

// The picture of a button: a strip of NumGlyphs images (up, disabled,
// clicked, down) or one image of an image list. A 24-bit glyph's bottom-left
// pixel is its transparent colour; a 32-bit glyph carries alpha.
class TButtonGlyph {
 public:
  TBitmap& Glyph() { return glyph_; }
  const TBitmap& Glyph() const { return glyph_; }
  void SetGlyph(const TBitmap& bitmap);
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int value) { numGlyphs_ = value < 1 ? 1 : (value > 4 ? 4 : value); }
  TCustomImageList* Images() const { return images_; }
  void SetImages(TCustomImageList* images) { images_ = images; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index) { imageIndex_ = index; }

  // The size of one picture; empty when there is none.
  TSize Size() const;
  void Draw(TCanvas& canvas, TPoint at, TButtonState state) const;
  // Picture and caption as a button paints them.
  void DrawButton(TCanvas& canvas, const TRect& client, const std::string& caption,
                  TButtonLayout layout, int margin, int spacing, TButtonState state,
                  bool enabled) const;

 private:
  TBitmap glyph_;
  int numGlyphs_ = 1;
  TCustomImageList* images_ = nullptr;
  int imageIndex_ = -1;
};

class TBitBtn : public TButton {
 public:
  explicit TBitBtn(TComponent* owner);

  void Dispatch(TMessage& message) override;

  TBitmap& Glyph() { return glyph_.Glyph(); }
  // Copies the picture.
  void SetGlyph(const TBitmap& bitmap);
  int NumGlyphs() const { return glyph_.NumGlyphs(); }
  void SetNumGlyphs(int value);
  TCustomImageList* Images() const { return glyph_.Images(); }
  void SetImages(TCustomImageList* images);
  int ImageIndex() const { return glyph_.ImageIndex(); }
  void SetImageIndex(int index);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout value);
  int Margin() const { return margin_; }
  void SetMargin(int value);
  int Spacing() const { return spacing_; }
  void SetSpacing(int value);
  TCanvas* Canvas() { return canvas_.get(); }

 protected:
  void CreateParams(TCreateParams& params) override;
  void SetButtonStyle(bool isDefault) override;
  void Notification(TComponent* component, TOperation operation) override;
  // Paints the button into the canvas (its context set) for the item state.
  virtual void DrawItem(const DRAWITEMSTRUCT& item);

 private:
  TButtonGlyph glyph_;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
  bool isFocused_ = false;
  std::unique_ptr<TCanvas> canvas_;
};

class TSpeedButton : public TGraphicControl {
 public:
  explicit TSpeedButton(TComponent* owner);

  void Dispatch(TMessage& message) override;
  void Click() override;

  // Buttons of one parent with the same non-zero GroupIndex act as radio
  // buttons: pressing one releases the others.
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value);
  bool Down() const { return down_; }
  void SetDown(bool value);
  bool Flat() const { return flat_; }
  void SetFlat(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  TBitmap& Glyph() { return glyph_.Glyph(); }
  void SetGlyph(const TBitmap& bitmap);
  int NumGlyphs() const { return glyph_.NumGlyphs(); }
  void SetNumGlyphs(int value);
  TCustomImageList* Images() const { return glyph_.Images(); }
  void SetImages(TCustomImageList* images);
  int ImageIndex() const { return glyph_.ImageIndex(); }
  void SetImageIndex(int index);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout value);
  int Margin() const { return margin_; }
  void SetMargin(int value);
  int Spacing() const { return spacing_; }
  void SetSpacing(int value);

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void Notification(TComponent* component, TOperation operation) override;
  TButtonState State() const { return state_; }
  void SetState(TButtonState state) { state_ = state; }
  bool MouseInControl() const { return mouseInControl_; }
  const TButtonGlyph& ButtonGlyph() const { return glyph_; }

 private:
  void UpdateExclusive();

  TButtonGlyph glyph_;
  TButtonState state_ = bsUp;
  int groupIndex_ = 0;
  bool allowAllUp_ = false;
  bool down_ = false;
  bool flat_ = false;
  bool transparent_ = true;
  bool dragging_ = false;
  bool mouseInControl_ = false;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
};

}  // namespace kv
