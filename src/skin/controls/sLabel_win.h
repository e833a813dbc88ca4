// The skinned labels: the label, the link label and the bound caption label
// that an edit, combo box or list view shows beside itself. With no skin
// loaded they paint as the plain label does.
#pragma once

#include <memory>
#include <string>

#include "classlib/StdCtrls.h"
#include "skin/core/sCommonDataRules.h"

namespace kv {

class TsCommonData;
class TsBoundLabel;

// A label that takes its font colour from the skin: from the parent's
// section when that section gives its font, else from the skin's global
// one. A skin section, when set, paints its background. A disabled label's
// text is a mix of its colour and its parent's background.
class TsCustomLabel : public TCustomLabel {
 public:
  explicit TsCustomLabel(TComponent* owner);

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  const std::string& SkinSection() const { return skinSection_; }
  void SetSkinSection(const std::string& value);

 protected:
  void WndProc(TMessage& m) override;
  void Paint() override;
  void DoDrawText(TRect& rect, UINT flags) override;
  // The font to paint with, given its skin colour.
  virtual TFont* GetCurrentFont();
  // The skin's font colour for the label; TransparentColor for none.
  TColor SkinFontColor();

 private:
  // Copies the skinned parent's background under a transparent label.
  void PaintParentBackground();

  std::string skinSection_;
};

class TsLabel : public TsCustomLabel {
 public:
  explicit TsLabel(TComponent* owner);

  // Takes the font colour from the skin.
  bool UseSkinColor() const { return useSkinColor_; }
  void SetUseSkinColor(bool value) { useSkinColor_ = value; }

 protected:
  void WndProc(TMessage& m) override;
  TFont* GetCurrentFont() override;

 private:
  bool useSkinColor_ = true;
};

// The label a bound label shows; it tells the bound label when it goes.
class TsEditLabel : public TsLabel {
 public:
  TsEditLabel(TComponent* owner, TsBoundLabel* boundLabel);
  ~TsEditLabel() override;

  TsBoundLabel* BoundLabel() const { return boundLabel_; }

 private:
  friend class TsBoundLabel;
  TsBoundLabel* boundLabel_;
};

// How the shell shows what a web label opens (the SW_ values in order).
enum TsWindowShowMode {
  soHide,
  soNormal,
  soShowMinimized,
  soShowMaximized,
  soShowNoActivate,
  soShow,
  soMinimize,
  soShowMinNoActive,
  soShowNA,
  soRestore,
  soDefault
};

// A link: another font while the mouse is over it; a click has the shell
// open URL (a web or mail address, a file, anything the shell opens).
class TsWebLabel : public TsLabel {
 public:
  explicit TsWebLabel(TComponent* owner);

  // The font when the mouse is not over the label; also the control's.
  TFont* NormalFont() const { return normalFont_.get(); }
  void SetFont(const TFont& value);
  TFont* HoverFont() const { return hoverFont_.get(); }
  void SetHoverFont(const TFont& value) { hoverFont_->Assign(value); }
  const std::string& URL() const { return url_; }
  void SetURL(const std::string& value) { url_ = value; }
  TsWindowShowMode ShowMode() const { return showMode_; }
  void SetShowMode(TsWindowShowMode value) { showMode_ = value; }
  bool Hovered() const { return hovered_; }

 protected:
  void Loaded() override;
  void WndProc(TMessage& m) override;
  TFont* GetCurrentFont() override;

 private:
  void SetHovered(bool value);

  std::unique_ptr<TFont> normalFont_;
  std::unique_ptr<TFont> hoverFont_;
  std::string url_;
  TsWindowShowMode showMode_ = soDefault;
  bool hovered_ = false;
};

// A control's caption label. Its label exists only while Active; the
// label's owner is the control's owner, so either may go first.
class TsBoundLabel : public TPersistent {
 public:
  explicit TsBoundLabel(TsCommonData* skinData);
  ~TsBoundLabel() override;
  TsBoundLabel(const TsBoundLabel&) = delete;
  TsBoundLabel& operator=(const TsBoundLabel&) = delete;

  bool Active() const { return active_; }
  void SetActive(bool value);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  int Indent() const { return indent_; }
  void SetIndent(int value);
  // The label's font while it has one.
  TFont* Font() const;
  void SetFont(const TFont& value);
  TsCaptionLayout Layout() const { return layout_; }
  void SetLayout(TsCaptionLayout value);
  int MaxWidth() const { return maxWidth_; }
  void SetMaxWidth(int value);
  // True without a label.
  bool UseSkinColor() const;
  void SetUseSkinColor(bool value);

  TsEditLabel* Label() const { return label_; }
  // Puts a visible label beside the control by Layout, Indent and MaxWidth.
  void PlaceLabel();
  // After the control handled m: the label follows it when it moved, was
  // shown or hidden, enabled or disabled, or changed its reading order.
  void FollowControl(const TMessage& m);

 private:
  friend class TsEditLabel;
  TControl* BoundControl() const;

  int maxWidth_ = 0;
  std::string caption_;
  TsCaptionLayout layout_ = sclLeft;
  std::unique_ptr<TFont> font_;
  int indent_ = 0;
  bool active_ = false;
  TsEditLabel* label_ = nullptr;
  TsCommonData* skinData_;
};

}  // namespace kv
