#include "skin/controls/sLabel_win.h"

#include "classlib/PlatformCalls.h"
#include "classlib/WideText.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/graphics/sGraphUtils.h"

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

namespace {

// Set while a label paints: the font changes it makes then must not
// repaint it again.
bool labelPainting = false;

// The default manager while its skin is usable by labels.
TsSkinManager* ActiveDefaultManager() {
  if (DefaultManager == nullptr || DefaultManager->HasState(csDestroying)) return nullptr;
  return DefaultManager->CommonSkinData().Active ? DefaultManager : nullptr;
}

// Five font colours of the skin's global section; index 2 and 4 are the
// contour colours a link shows hovered and not.
const TsGeneralData* GlobalInfoSection(TsSkinManager* manager) {
  const int index = manager->Skin().SectionIndexOf("GLOBALINFO");
  if (!manager->Skin().IsSectionIndexValid(index)) return nullptr;
  return &manager->Skin().GeneralData[static_cast<size_t>(index)];
}

}  // namespace

// --- label -----------------------------------------------------------------------------

TsCustomLabel::TsCustomLabel(TComponent* owner) : TCustomLabel(owner) { SetTransparent(true); }

void TsCustomLabel::SetSkinSection(const std::string& value) {
  if (skinSection_ == value) return;
  skinSection_ = value;
  Invalidate();
}

TColor TsCustomLabel::SkinFontColor() {
  TsSkinManager* manager = ActiveDefaultManager();
  if (manager == nullptr) return TransparentColor;
  const int index = FontSourceSectionIndex(this, -1, manager);
  if (manager->Skin().IsSectionIndexValid(index))
    return static_cast<TColor>(
        manager->Skin().GeneralData[static_cast<size_t>(index)].FontColor[0]);
  return static_cast<TColor>(manager->Skin().GetGlobalInfoFontColor());
}

TFont* TsCustomLabel::GetCurrentFont() {
  const TColor color = SkinFontColor();
  if (color != TransparentColor) Font()->SetColor(color);
  return Font();
}

void TsCustomLabel::Paint() {
  if (HasState(csDestroying)) return;
  TsSkinManager* manager = ActiveDefaultManager();
  const int section = manager != nullptr && !skinSection_.empty()
                          ? manager->Skin().SectionIndexOf(skinSection_)
                          : -1;
  const bool skinned = manager != nullptr && manager->Skin().IsSectionIndexValid(section);
  {
    const TacFlagGuard guard(labelPainting);
    TFont* font = GetCurrentFont();
    if (font != Font()) Font()->Assign(*font);
    if (skinned)
      Font()->SetColor(static_cast<TColor>(
          manager->Skin().GeneralData[static_cast<size_t>(section)].FontColor[0]));
  }
  if (skinned && Parent() != nullptr) {
    TsBgRequest request;
    GetControlBackgroundInfo(request, Parent(), false);
    TsBgCacheInfo background = EmptyBgCacheInfo;
    BackgroundInfoToCacheInfo(request, background);
    PaintSkinItemToDC(section, skinSection_, background, true, 0, {0, 0, Width(), Height()},
                      {Left(), Top()}, Canvas()->Handle(), &manager->Skin());
  } else if (manager != nullptr && Transparent() && Parent() != nullptr) {
    PaintParentBackground();
  }
  TCustomLabel::Paint();
}

void TsCustomLabel::PaintParentBackground() {
  // A skinned parent leaves its windowless children out of its own
  // background, so a see-through label shows nothing unless it copies it.
  TsBgRequest request;
  if (!GetControlBackgroundInfo(request, Parent(), false)) return;
  HDC dc = Canvas()->Handle();
  if (request.BgType == btBitmap && request.Bmp != nullptr) {
    TBitmapCanvas from(*request.Bmp);
    BitBlt(dc, 0, 0, Width(), Height(), from.Handle(), request.Offset.X + Left(),
           request.Offset.Y + Top(), SRCCOPY);
  } else if (request.BgType == btColor) {
    FillRectWithColor(dc, {0, 0, Width(), Height()},
                      static_cast<TColor>(ColorToRGB(request.Color)));
  }
}

void TsCustomLabel::DoDrawText(TRect& rect, UINT flags) {
  TsSkinManager* manager = ActiveDefaultManager();
  if (Enabled() || manager == nullptr || (flags & DT_CALCRECT) != 0)
    return TCustomLabel::DoDrawText(rect, flags);
  // Disabled on a skin: 40 % of the text colour over 60 % of the background.
  if (!ShowAccelChar()) flags |= DT_NOPREFIX;
  if (UseRightToLeftReading()) flags |= DT_RTLREADING;
  TColor background = Parent() != nullptr ? QueryControlBgColor(Parent()) : TransparentColor;
  if (background == TransparentColor && Parent() != nullptr)
    background = static_cast<TColor>(ColorToRGB(Parent()->Color()));
  const TColor color =
      MixColorsByFraction(static_cast<TColor>(ColorToRGB(Font()->Color())), background, 0.4);
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(*Font());
  HDC dc = canvas->Handle();
  const std::wstring text = Wide(GetLabelText());
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(color));
  const TSelectedObject font(dc, canvas->Font()->Handle());
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
}

void TsCustomLabel::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_FONTCHANGED:
      if (HasState(csDestroying)) break;
      if (labelPainting) return;
      if (AutoSize()) AdjustBounds();
      Invalidate();
      return;
    case CM_MOUSEENTER:
      if (!RunOwnEvent(LifeToken(), OnMouseEnter, this)) return;
      break;
    default:
      break;
  }
  TCustomLabel::WndProc(m);
  if (m.Msg == CM_MOUSELEAVE) {
    RunOwnEvent(LifeToken(), OnMouseLeave, this);
    return;
  }
  if (m.Msg == SM_ALPHACMD && m.WParamHi() == cmdSkinRemoved && DefaultManager != nullptr &&
      reinterpret_cast<TsSkinManager*>(m.LParam) == DefaultManager && !HasState(csDestroying))
    Font()->SetColor(clWindowText);
}

TsLabel::TsLabel(TComponent* owner) : TsCustomLabel(owner) {}

TFont* TsLabel::GetCurrentFont() {
  return useSkinColor_ ? TsCustomLabel::GetCurrentFont() : Font();
}

void TsLabel::WndProc(TMessage& m) {
  // A label with its own colour keeps it when the skin goes too.
  if (!useSkinColor_ && m.Msg == SM_ALPHACMD && m.WParamHi() == cmdSkinRemoved) return;
  TsCustomLabel::WndProc(m);
}

// --- web label -------------------------------------------------------------------------

TsWebLabel::TsWebLabel(TComponent* owner)
    : TsLabel(owner),
      normalFont_(std::make_unique<TFont>()),
      hoverFont_(std::make_unique<TFont>()) {
  normalFont_->Assign(*Font());
  SetCursor(crHandPoint);
  SetTransparent(true);
}

void TsWebLabel::Loaded() {
  TsLabel::Loaded();
  TCustomLabel::SetFont(*normalFont_);
}

void TsWebLabel::SetFont(const TFont& value) {
  normalFont_->Assign(value);
  TCustomLabel::SetFont(value);
  Invalidate();
}

TFont* TsWebLabel::GetCurrentFont() {
  TsSkinManager* manager = UseSkinColor() ? ActiveDefaultManager() : nullptr;
  const TsGeneralData* global = manager != nullptr ? GlobalInfoSection(manager) : nullptr;
  const bool hover = hovered_ && !HasState(csDesigning);
  TFont* source = hover ? hoverFont_.get() : normalFont_.get();
  std::int32_t color = source->Color();
  if (global != nullptr) color = global->FontColor[hover ? 2 : 4];
  // A skin without the colour gives the usual link colours.
  if (color == -1) color = hover ? 0x0000FF : 0xFF0000;
  Font()->Assign(*source);
  Font()->SetColor(static_cast<TColor>(color));
  return Font();
}

void TsWebLabel::SetHovered(bool value) {
  hovered_ = value;
  {
    const TacFlagGuard guard(labelPainting);
    GetCurrentFont();
  }
  if (AutoSize()) {
    Invalidate();
    AdjustBounds();
  }
  if (Parent() != nullptr && Parent()->HandleAllocated()) {
    const RECT r{Left(), Top(), Left() + Width(), Top() + Height()};
    InvalidateRect(Parent()->Handle(), &r, TRUE);
  }
}

void TsWebLabel::WndProc(TMessage& m) {
  // The label's own handlers run first and may free it.
  const TLifeToken life = LifeToken();
  TsLabel::WndProc(m);
  if (!life.Alive()) return;
  switch (m.Msg) {
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      SetHovered(m.Msg == CM_MOUSEENTER);
      return;
    case WM_LBUTTONDOWN:
      // The address is the program's own: whatever it names, the shell opens.
      if (!url_.empty())
        PlatformCalls().ShellExecute(Application->Handle(), L"open", Wide(url_).c_str(), nullptr,
                                     nullptr, static_cast<INT>(showMode_));
      return;
    default:
      return;
  }
}

// --- edit label ------------------------------------------------------------------------

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

void TsBoundLabel::FollowControl(const TMessage& m) {
  TControl* control = BoundControl();
  if (label_ == nullptr || control == nullptr) return;
  switch (m.Msg) {
    case CM_VISIBLECHANGED:
      label_->SetVisible(control->Visible());
      break;
    case CM_ENABLEDCHANGED:
      label_->SetEnabled(control->Enabled());
      break;
    case CM_BIDIMODECHANGED:
      label_->SetBiDiMode(control->BiDiMode());
      break;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      break;
    default:
      return;
  }
  PlaceLabel();
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
