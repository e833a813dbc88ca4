// The skinned label, and the bound caption label that an edit, combo box or
// list view shows beside itself. With no skin loaded they paint as the plain
// label does.
#pragma once

#include <memory>
#include <string>

#include "classlib/StdCtrls.h"
#include "skin/core/sCommonDataRules.h"

namespace kv {

class TsCommonData;
class TsBoundLabel;

class TsLabel : public TLabel {
 public:
  explicit TsLabel(TComponent* owner);

  // Takes the font colour from the skin.
  bool UseSkinColor() const { return useSkinColor_; }
  void SetUseSkinColor(bool value) { useSkinColor_ = value; }

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
