#include "skin/controls/sLabel_win.h"

#include "skin/core/sCommonData_win.h"

namespace kv {

namespace {

TAlignment AlignmentOf(TsCaptionLayout layout) {
  switch (layout) {
    case sclTopLeft:
      return taLeftJustify;
    case sclTopCenter:
      return taCenter;
    case sclLeft:
    case sclTopRight:
      break;
  }
  return taRightJustify;
}

}  // namespace

TsLabel::TsLabel(TComponent* owner) : TLabel(owner) {}

TsEditLabel::TsEditLabel(TComponent* owner, TsBoundLabel* boundLabel)
    : TsLabel(owner), boundLabel_(boundLabel) {}

TsEditLabel::~TsEditLabel() {
  // Freed with its owner before the bound label: the bound label must not
  // free it again.
  if (boundLabel_ != nullptr && boundLabel_->label_ == this) boundLabel_->label_ = nullptr;
}

TsBoundLabel::TsBoundLabel(TsCommonData* skinData)
    : font_(std::make_unique<TFont>()), skinData_(skinData) {}

TsBoundLabel::~TsBoundLabel() { SetActive(false); }

TControl* TsBoundLabel::BoundControl() const {
  return skinData_ != nullptr ? skinData_->OwnerControl : nullptr;
}

void TsBoundLabel::SetActive(bool value) {
  active_ = value;
  if (!value) {
    if (TsEditLabel* label = std::exchange(label_, nullptr)) {
      label->boundLabel_ = nullptr;
      label->Free();
    }
    return;
  }
  TControl* control = BoundControl();
  if (control == nullptr || label_ != nullptr) return;
  label_ = Create<TsEditLabel>(control->Owner(), this);
  label_->SetVisible(false);
  label_->SetParent(control->Parent());
  if (auto* focus = dynamic_cast<TWinControl*>(control)) label_->SetFocusControl(focus);
  label_->SetAlignment(AlignmentOf(layout_));
  label_->SetName(control->Name() + "Label");
  if (caption_.empty()) caption_ = control->Name();
  label_->SetCaption(caption_);
  label_->SetVisible(control->Visible());
  label_->SetEnabled(control->Enabled());
  PlaceLabel();
}

void TsBoundLabel::SetCaption(const std::string& value) {
  caption_ = value;
  if (!active_ || label_ == nullptr) return;
  // A new caption is shown, not only stored.
  label_->SetCaption(value);
  PlaceLabel();
}

void TsBoundLabel::SetIndent(int value) {
  indent_ = value;
  if (active_) PlaceLabel();
}

void TsBoundLabel::SetMaxWidth(int value) {
  maxWidth_ = value;
  if (active_) PlaceLabel();
}

void TsBoundLabel::SetLayout(TsCaptionLayout value) {
  layout_ = value;
  if (label_ != nullptr) label_->SetAlignment(AlignmentOf(value));
  if (active_) PlaceLabel();
}

TFont* TsBoundLabel::Font() const { return label_ != nullptr ? label_->Font() : font_.get(); }

void TsBoundLabel::SetFont(const TFont& value) {
  font_->Assign(value);
  if (label_ == nullptr) return;
  label_->SetFont(value);
  label_->SetParentFont(false);
  PlaceLabel();
}

bool TsBoundLabel::UseSkinColor() const {
  return label_ != nullptr ? label_->UseSkinColor() : true;
}

void TsBoundLabel::SetUseSkinColor(bool value) {
  if (label_ != nullptr) label_->SetUseSkinColor(value);
}

void TsBoundLabel::PlaceLabel() {
  TControl* control = BoundControl();
  if (label_ == nullptr || control == nullptr || !label_->Visible()) return;
  label_->SetAutoSize(true);
  const TsBoundLabelPlace place = PlaceBoundLabel(
      control->BoundsRect(), {label_->Width(), label_->Height()}, layout_, indent_, maxWidth_);
  if (!place.AutoSize) {
    label_->SetAutoSize(false);
    label_->SetWordWrap(place.WordWrap);
  }
  label_->SetBoundsRect(place.Bounds);
}

}  // namespace kv
