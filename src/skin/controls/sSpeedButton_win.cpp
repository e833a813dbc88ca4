#include "skin/controls/sSpeedButton_win.h"

#include <vssym32.h>

#include <algorithm>
#include <memory>

#include "classlib/ActnList.h"
#include "classlib/Forms.h"
#include "classlib/WideText.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/acUtils.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sTextUtils_win.h"
#include "skin/graphics/sGlyphUtils_win.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"

namespace kv {

namespace {

// Shared with the bevel, which names its section itself.
constexpr int ControlTypeSpeedButton = 92;

// The button whose drop-down menu is open, and whether one is.
TsSpeedButton* droppedButton = nullptr;
bool dropDownMenuOpen = false;

UINT AlignmentFlags(TAlignment alignment) {
  switch (alignment) {
    case taLeftJustify:
      return DT_LEFT;
    case taRightJustify:
      return DT_RIGHT;
    default:
      return DT_CENTER;
  }
}

bool Pressed(TButtonState state) { return state == bsDown || state == bsExclusive; }

// The parent's background under `place` of the cache, or its colour.
void CopyBackground(TBitmap& cache, const TsBgCacheInfo& background, TPoint at) {
  if (background.Ready && background.Bmp != nullptr) {
    CopyPixels(&cache, 0, 0, background.Bmp, background.X + at.X, background.Y + at.Y,
               cache.Width(), cache.Height());
    return;
  }
  TBitmapCanvas canvas(cache);
  FillRectWithColor(canvas.Handle(), {0, 0, cache.Width(), cache.Height()},
                    background.FillColor == TransparentColor ? clBtnFace : background.FillColor);
}

// Fills r with a one-pixel checkerboard of the button face and highlight.
void FillRectWithMesh(HDC dc, const RECT& r) {
  HBITMAP mesh = CreateBitmap(8, 8, 1, 32, nullptr);
  {
    HDC mdc = CreateCompatibleDC(dc);
    const HGDIOBJ old = SelectObject(mdc, mesh);
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x)
        SetPixel(mdc, x, y, GetSysColor((x + y) % 2 == 0 ? COLOR_BTNFACE : COLOR_BTNHIGHLIGHT));
    SelectObject(mdc, old);
    DeleteDC(mdc);
  }
  HBRUSH brush = CreatePatternBrush(mesh);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  DeleteObject(mesh);
}

}  // namespace

void DrawParentBackground(TControl* control, HDC dc) {
  TWinControl* parent = control->Parent();
  if (parent == nullptr || !parent->HandleAllocated()) return;
  const TSavedDC saved(dc);
  IntersectClipRect(dc, 0, 0, control->Width(), control->Height());
  OffsetWindowOrgEx(dc, control->Left(), control->Top(), nullptr);
  SendMessageW(parent->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  SendMessageW(parent->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
}

// The glyph painter's view of the button, kept apart so that its names do
// not hide the button's own.
class TsSpeedButton::TGlyphSource : public TsButtonGlyphSource<TsSpeedButton> {
 public:
  using TsButtonGlyphSource<TsSpeedButton>::TsButtonGlyphSource;
};

TsSpeedButton::TsSpeedButton(TComponent* owner)
    : TsSkinnedControl<TSpeedButton>(owner, ControlTypeSpeedButton, true, ccHoverResettable),
      glyphSource_(std::make_unique<TGlyphSource>(this)) {}

TsSpeedButton::~TsSpeedButton() {
  if (droppedButton == this) droppedButton = nullptr;
  StopAnimation();
}

void TsSpeedButton::AfterConstruction() {
  TsSkinnedControl<TSpeedButton>::AfterConstruction();
  if (SkinAvailable(SkinData(), true)) SetControlStyle(ControlStyle() | csOpaque);
}

void TsSpeedButton::Invalidate() {
  if (SkinData() != nullptr) SkinData()->BGChanged = true;
  TsSkinnedControl<TSpeedButton>::Invalidate();
}

void TsSpeedButton::Loaded() {
  TsSkinnedControl<TSpeedButton>::Loaded();
  if (SkinAvailable(SkinData(), true)) SetControlStyle(ControlStyle() | csOpaque);
  // The list's picture is the glyph: a stored one would only take memory.
  if (UsesImageList()) Glyph().SetSize(0, 0);
}

void TsSpeedButton::Notification(TComponent* component, TOperation operation) {
  TsSkinnedControl<TSpeedButton>::Notification(component, operation);
  if (operation == opRemove && component == dropdownMenu_) dropdownMenu_ = nullptr;
}

// --- state and properties -------------------------------------------------------------

int TsSpeedButton::CurrentState() const {
  if (Down() || Pressed(State())) return 2;
  return ControlIsHot(SkinData()) ? 1 : 0;
}

void TsSpeedButton::SetSkinValue(bool changed) {
  if (!changed || (!Visible() && !HasState(csDesigning))) return;
  SkinData()->BGChanged = true;
  Redraw();
}

#define KV_SPEED_SETTER(Name, field, Type)    \
  void TsSpeedButton::Set##Name(Type value) { \
    const bool changed = field != value;      \
    field = value;                            \
    SetSkinValue(changed);                    \
  }
KV_SPEED_SETTER(DisabledKind, disabledKind_, TsDisabledKind)
KV_SPEED_SETTER(DisabledGlyphKind, disabledGlyphKind_, int)
KV_SPEED_SETTER(Grayed, grayed_, bool)
KV_SPEED_SETTER(TextOffset, textOffset_, int)
KV_SPEED_SETTER(Alignment, alignment_, TAlignment)
KV_SPEED_SETTER(DrawOverBorder, drawOverBorder_, bool)
KV_SPEED_SETTER(Reflected, reflected_, bool)
#undef KV_SPEED_SETTER

void TsSpeedButton::SetBlend(int value) {
  value = std::clamp(value, 0, 100);
  const bool changed = blend_ != value;
  blend_ = value;
  SetSkinValue(changed);
}

void TsSpeedButton::SetTextAlignment(TAlignment value) {
  if (textAlignment_ == value) return;
  textAlignment_ = value;
  SkinData()->BGChanged = true;
  Repaint();
}

void TsSpeedButton::SetShowCaption(bool value) {
  if (showCaption_ == value) return;
  showCaption_ = value;
  if (!value) {
    savedCaption_ = Caption();
    SetCaption("");
  } else {
    SetCaption(savedCaption_);
    savedCaption_.clear();
  }
  SetSkinValue(true);
}

void TsSpeedButton::ActionChange(TBasicAction* sender, bool checkDefaults) {
  TsSkinnedControl<TSpeedButton>::ActionChange(sender, checkDefaults);
  const auto* action = dynamic_cast<TCustomAction*>(sender);
  if (action == nullptr) return;
  if (action->ActionList() != nullptr) SetImages(action->ActionList()->Images());
  SetImageIndex(action->ImageIndex());
  if (!showCaption_ && !Caption().empty()) {
    savedCaption_ = Caption();
    SetCaption("");
  }
  SkinData()->BGChanged = true;
  Repaint();
}

void TsSpeedButton::SetButtonStyle(TToolButtonStyle value) {
  if (buttonStyle_ == value) return;
  const int width =
      WidthAfterStyleChange(static_cast<TsButtonStyle>(buttonStyle_),
                            static_cast<TsButtonStyle>(value), Width(), HasState(csLoading));
  buttonStyle_ = value;
  if (width != Width()) SetBounds(Left(), Top(), width, Height());
  SetSkinValue(true);
}

void TsSpeedButton::SetDropdownMenu(TPopupMenu* menu) {
  if (dropdownMenu_ == menu) return;
  if (dropdownMenu_ != nullptr) dropdownMenu_->RemoveFreeNotification(this);
  dropdownMenu_ = menu;
  if (menu != nullptr) menu->FreeNotification(this);
}

void TsSpeedButton::SetImages(TCustomImageList* images) {
  const bool changed = images != Images();
  TSpeedButton::SetImages(images);
  SetSkinValue(changed);
}

void TsSpeedButton::SetImageIndex(int index) {
  const bool changed = index != ImageIndex();
  TSpeedButton::SetImageIndex(index);
  SetSkinValue(changed);
}

// --- geometry --------------------------------------------------------------------------

int TsSpeedButton::ArrowWidth() const {
  return kv::ArrowWidth(static_cast<TsButtonStyle>(buttonStyle_));
}

bool TsSpeedButton::UsesImageList() const {
  const int count = ImageCountOf(Images());
  return count > 0 && ImageIndex() >= 0 && ImageIndex() < count;
}

int TsSpeedButton::GlyphWidth() const {
  const int width = UsesImageList() ? Images()->Width() : ButtonGlyph().Glyph().Width();
  return GlyphFrameWidth(width, NumGlyphs());
}

int TsSpeedButton::GlyphHeight() const {
  return GlyphFrameHeight(UsesImageList() ? Images()->Height() : ButtonGlyph().Glyph().Height());
}

TsButtonMetrics TsSpeedButton::Metrics() {
  TsButtonMetrics m;
  m.Width = Width();
  m.Height = Height();
  m.ArrowWidth = ArrowWidth();
  m.Glyph = {GlyphWidth(), GlyphHeight()};
  m.HasCaption = showCaption_ && !Caption().empty();
  m.Layout = Layout();
  m.Alignment = alignment_;
  m.Margin = Margin();
  m.Spacing = Spacing();
  m.State = ButtonState();
  m.TextOffset = textOffset_;
  return m;
}

int TsSpeedButton::CaptionWidth() { return ButtonCaptionWidth(Metrics()); }

TSize TsSpeedButton::CaptionSize() {
  const std::string caption = Caption();
  if (caption.empty()) return {0, 0};
  TRect r{0, 0, CaptionWidth(), 0};
  HDC dc = CreateCompatibleDC(nullptr);
  {
    const TSelectedObject font(dc, Font()->Handle());
    DrawTextString(dc, caption, r, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
  }
  DeleteDC(dc);
  return {r.Width(), r.Height()};
}

TRect TsSpeedButton::CalcGlyphRect() {
  TsButtonMetrics m = Metrics();
  m.Caption = CaptionSize();
  return SpeedButtonGlyphRect(m, reflected_);
}

TRect TsSpeedButton::CaptionRect() {
  TsButtonMetrics m = Metrics();
  m.Caption = CaptionSize();
  return SpeedButtonCaptionRect(m);
}

// --- painting --------------------------------------------------------------------------

void TsSpeedButton::WriteCaptionText(TCanvas& canvas, const TRect& r, UINT flags, bool skinned) {
  const std::string caption = Caption();
  if (skinned) {
    const TsSkinTextSource source = ControlTextSource(this, SkinData());
    WriteSkinText(canvas, caption, true, r, flags, source, ButtonState() != 0);
    return;
  }
  const std::wstring text = Wide(caption);
  const auto draw = [&](TRect place, TColor color) {
    RECT rc{place.Left, place.Top, place.Right, place.Bottom};
    SetBkMode(canvas.Handle(), TRANSPARENT);
    SetTextColor(canvas.Handle(), ColorToRGB(color));
    const TSelectedObject font(canvas.Handle(), canvas.Font()->Handle());
    DrawTextW(canvas.Handle(), text.c_str(), static_cast<int>(text.size()), &rc, flags);
  };
  if (Enabled()) return draw(r, themedTextColor_ != clNone ? themedTextColor_ : Font()->Color());
  TRect shifted = r;
  OffsetRect(shifted, 1, 1);
  draw(shifted, clBtnHighlight);
  draw(r, clBtnShadow);
}

void TsSpeedButton::DrawCaption(TCanvas& canvas, bool skinned) {
  if (!showCaption_ || Caption().empty()) return;
  canvas.Font()->Assign(*Font());
  canvas.Brush()->SetStyle(bsClear);
  WriteCaptionText(canvas, CaptionRect(),
                   AlignmentFlags(textAlignment_) | DT_EXPANDTABS | DT_WORDBREAK, skinned);
}

void TsSpeedButton::DrawGlyph(TBitmap* target) { PaintButtonGlyph(glyphSource_.get(), target); }

void TsSpeedButton::PaintDropDownPart(TBitmap& cache, const TsBgCacheInfo& background) {
  TsCommonData* sd = SkinData();
  const TsSkinModel& skin = sd->SkinManager()->Skin();
  const TRect strip = DropDownStrip(Width(), Height(), ArrowWidth());
  const int state = menuShown_ || Down() || Pressed(State()) ? 2 : ControlIsHot(sd) ? 1 : 0;
  PaintSkinDataItem(sd, background, false, state, strip, {Left() + strip.Left, Top()}, &cache);
  const int arrow = skin.CommonIndexes.BtnBottom.Glyph;
  if (!skin.IsMaskIndexValid(arrow)) return;
  const TsMaskData& mask = skin.MaskData[arrow];
  const TSize frame =
      MaskFrameSize(mask.R.Width(), mask.R.Height(), mask.ImageCount, mask.MaskType);
  if (frame.cx < 1 || frame.cy < 1) return;
  const TRect place = DropDownArrowRect(strip, frame);
  DrawMaskState(&cache, {place.Left, place.Top}, state, MakeBgCacheInfo(&cache, 0, 0), mask,
                skin.MasterBitmap.get(), 1);
}

void TsSpeedButton::PrepareCache() {
  TsCommonData* sd = SkinData();
  TsSkinManager* manager = sd->SkinManager();
  if (manager == nullptr) return;
  PrepareCacheBitmap(sd);
  TBitmap* cache = sd->CacheBmp.get();
  sd->BGChanged = false;
  if (Width() < 1 || Height() < 1) return;
  TsBgRequest request;
  TsBgCacheInfo background = EmptyBgCacheInfo;
  if (Parent() != nullptr) {
    GetControlBackgroundInfo(request, Parent(), false);
    BackgroundInfoToCacheInfo(request, background);
  }
  if (background.Ready && background.Bmp != nullptr && background.Bmp->Width() == 0) return;
  const TsSkinModel& skin = manager->Skin();
  if (buttonStyle_ == tbsSeparator || buttonStyle_ == tbsDivider) {
    CopyBackground(*cache, background, {Left(), Top()});
    if (buttonStyle_ == tbsSeparator) return;
    const int index = skin.MaskIndexOf(skin.SectionIndexOf("DIVIDER"), "DIVIDER", "BORDERSMASK");
    if (!skin.IsMaskIndexValid(index)) return;
    const TsMaskData& mask = skin.MaskData[index];
    const int width = MaskFrameSize(mask.R.Width(), mask.R.Height(), mask.ImageCount, 0).cx;
    const TRect column = DividerColumn(Width(), Height(), width);
    if (column.Width() < 1) return;
    // Painted aside first: the mask's see-through pixels keep the background.
    TBitmap line(column.Width(), column.Height(), pf24bit);
    {
      TBitmapCanvas canvas(line);
      FillRectWithColor(canvas.Handle(), {0, 0, line.Width(), line.Height()}, TransparentColor);
    }
    PaintMaskNinePart(&line, {0, 0, line.Width(), line.Height()}, true, EmptyBgCacheInfo, mask,
                      skin.MasterBitmap.get(), 0, false);
    CopyRectWithTransparency(column, {0, 0, line.Width(), line.Height()}, cache, &line,
                             EmptyBgCacheInfo, false);
    return;
  }
  const int state = ButtonState();
  const TRect main = ButtonMainPart(Width(), Height(), ArrowWidth());
  {
    if (drawOverBorder_) {
      PaintSkinDataItem(sd, background, false, state, main, {Left(), Top()}, cache);
      RefreshCacheCorners(sd, state);
    } else {
      PaintSkinDataBackground(sd, background, state, main, {Left(), Top()}, cache);
    }
    TBitmapCanvas canvas(*cache);
    DrawCaption(canvas, true);
  }
  DrawGlyph(nullptr);
  if (const TsMaskData* border = sd->BorderMask(); !drawOverBorder_ && border != nullptr)
    PaintMaskNinePart(cache, main, false, background, *border, skin.MasterBitmap.get(), state,
                      true);
  if (buttonStyle_ == tbsDropDown) PaintDropDownPart(*cache, background);
  if (!Enabled()) {
    TsBgCacheInfo parentBg;
    GetParentBgInfo(sd, parentBg);
    ApplyDisabledKind(cache, disabledKind_, this, {Left(), Top()}, parentBg);
  }
  if (OnPaint) OnPaint(this, cache);
}

bool TsSpeedButton::AnimationShowing() const {
  return AnimTimer != nullptr && AnimTimer->Enabled() && AnimTimer->Work.Width() == Width();
}

void TsSpeedButton::PaintToDC(HDC dc) {
  TsCommonData* sd = SkinData();
  if (sd->SkinIndex < 0) sd->RefreshSkinIndexes();
  if (Width() < 1 || Height() < 1) return;
  if (AnimationShowing()) {
    TBitmapCanvas work(AnimTimer->Work);
    BitBlt(dc, 0, 0, Width(), Height(), work.Handle(), 0, 0, SRCCOPY);
    return;
  }
  if (Down() != lastDown_ || NumGlyphs() != lastNumGlyphs_ || Spacing() != lastSpacing_ ||
      sd->PaintSkipped)
    sd->BGChanged = true;
  lastDown_ = Down();
  lastNumGlyphs_ = NumGlyphs();
  lastSpacing_ = Spacing();
  sd->PaintSkipped = DependsOnParentBg(sd);
  if (sd->BGChanged && !sd->ParentBgForced) PrepareCache();
  RefreshCacheCorners(sd, 0);
  CopyWholeCache(sd, dc);
}

void TsSpeedButton::Paint() {
  if (!ControlReadyToPaint(this) || !SkinAvailable(SkinData(), true)) return PaintUnskinned(true);
  PaintToDC(Canvas()->Handle());
}

void TsSpeedButton::PaintUnskinned(bool drawFrame) {
  if (!Enabled()) {
    SetState(bsDisabled);
  } else if (State() == bsDisabled) {
    SetState(Down() && GroupIndex() != 0 ? bsExclusive : bsUp);
  }
  HDC dc = Canvas()->Handle();
  if (buttonStyle_ == tbsSeparator) return;
  HWND parent = Parent() != nullptr && Parent()->HandleAllocated() ? Parent()->Handle() : nullptr;
  if (buttonStyle_ == tbsDivider) {
    const TThemeData theme(parent, L"TOOLBAR");
    const TRect edge = DividerEdge(Width(), Height(), theme.Handle() != nullptr);
    RECT r{edge.Left, edge.Top, edge.Right, edge.Bottom};
    if (theme.Handle() != nullptr) {
      DrawParentBackground(this, dc);
      PlatformCalls().DrawThemeBackground(theme.Handle(), dc, TP_SEPARATOR, TS_NORMAL, &r, nullptr);
    } else {
      DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    }
    return;
  }
  const bool pressed = Pressed(State());
  const bool stripPressed = (menuShown_ && dropdownMenu_ != nullptr) || Down() || pressed;
  const TRect strip = DropDownStrip(Width(), Height(), ArrowWidth());
  const TThemeData theme(parent, Flat() ? L"TOOLBAR" : L"BUTTON");
  if (drawFrame) {
    if (theme.Handle() == nullptr)
      PaintPlainFrame(pressed);
    else
      PaintThemed(theme.Handle(), pressed, stripPressed);
  }
  // The caption and glyph are laid out as the skinned button's: beside the
  // drop-down strip, by Alignment and TextOffset, from the image list.
  // A pressed flat button under visual styles writes in the selection's
  // text colour.
  themedTextColor_ = theme.Handle() != nullptr && Flat() && pressed ? clHighlightText : clNone;
  DrawCaption(*Canvas(), false);
  themedTextColor_ = clNone;
  // The glyph painter, as skinned: Blend, Grayed, DisabledGlyphKind and
  // Reflected hold without a skin too.
  glyphSource_->PaintOnDC(dc, Width(), Height());
  if (buttonStyle_ != tbsDropDown) return;
  RECT r{strip.Left, strip.Top, strip.Right, strip.Bottom};
  if (theme.Handle() == nullptr) {
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &r, stripPressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
  const TsArrowTriangle t = DropDownTriangle(strip, stripPressed && theme.Handle() != nullptr);
  const POINT corners[3] = {{t.P[0].X, t.P[0].Y}, {t.P[1].X, t.P[1].Y}, {t.P[2].X, t.P[2].Y}};
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT));
  {
    const TSelectedObject selectedBrush(dc, GetSysColorBrush(COLOR_BTNTEXT));
    const TSelectedObject selectedPen(dc, pen);
    Polygon(dc, corners, 3);
  }
  DeleteObject(pen);
}

void TsSpeedButton::PaintThemed(HTHEME theme, bool pressed, bool stripPressed) {
  HDC dc = Canvas()->Handle();
  // The themed parts have see-through corners.
  DrawParentBackground(this, dc);
  const bool hot = SkinData()->MouseAbove;
  const int part = Flat() ? static_cast<int>(TP_BUTTON) : static_cast<int>(BP_PUSHBUTTON);
  const auto look = [&](bool down) -> int {
    if (Flat()) return !Enabled() ? TS_DISABLED : down ? TS_PRESSED : hot ? TS_HOT : TS_NORMAL;
    return !Enabled() ? PBS_DISABLED : down ? PBS_PRESSED : hot ? PBS_HOT : PBS_NORMAL;
  };
  const TRect main = ButtonMainPart(Width(), Height(), ArrowWidth());
  const RECT r{main.Left, main.Top, main.Right, main.Bottom};
  PlatformCalls().DrawThemeBackground(theme, dc, part, look(pressed), &r, nullptr);
  if (buttonStyle_ == tbsDropDown) {
    const TRect strip = DropDownStrip(Width(), Height(), ArrowWidth());
    const RECT s{strip.Left, strip.Top, strip.Right, strip.Bottom};
    PlatformCalls().DrawThemeBackground(theme, dc, part, look(stripPressed), &s, nullptr);
  }
}

// The frame of the plain look without visual styles, over the whole button.
void TsSpeedButton::PaintPlainFrame(bool pressed) {
  HDC dc = Canvas()->Handle();
  RECT r{0, 0, Width(), Height()};
  const bool hot = SkinData()->MouseAbove;
  if (Flat()) {
    if (pressed || (hot && Enabled()) || HasState(csDesigning)) {
      DrawEdge(dc, &r, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
               BF_RECT | (Transparent() ? 0 : BF_MIDDLE));
    } else if (!Transparent()) {
      FillRectWithColor(dc, {r.left, r.top, r.right, r.bottom}, Color());
    }
    InflateRect(&r, -1, -1);
  } else {
    DrawFrameControl(dc, &r, DFC_BUTTON,
                     DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pressed ? DFCS_PUSHED : 0));
  }
  // The button held down in its group shows a mesh of face and highlight.
  if (State() == bsExclusive && (!Flat() || !hot)) FillRectWithMesh(dc, r);
}

void TsSpeedButton::PaintSiblingsOver(TBitmap& cache) {
  // A copy being painted (a sibling's picture) leaves the others out: two
  // overlapping buttons would otherwise paint each other for ever.
  if ((ControlState() & csPaintCopy) != 0 || Parent() == nullptr) return;
  const TRect self = BoundsRect();
  const auto inside = [&](int x, int y) {
    return x >= self.Left && x < self.Right && y >= self.Top && y < self.Bottom;
  };
  TBitmapCanvas canvas(cache);
  HDC dc = canvas.Handle();
  for (int i = 0; i < Parent()->ControlCount(); ++i) {
    TControl* c = Parent()->Controls(i);
    if (c == this || !c->Visible() || dynamic_cast<TWinControl*>(c) != nullptr) continue;
    if (!inside(c->Left(), c->Top()) &&
        !inside(c->Left() + c->Width() - 1, c->Top() + c->Height() - 1))
      continue;
    const TSavedDC saved(dc);
    SetWindowOrgEx(dc, Left() - c->Left(), Top() - c->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    c->SetControlState(c->ControlState() | csPaintCopy);
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    c->SetControlState(c->ControlState() & ~csPaintCopy);
  }
}

void TsSpeedButton::Redraw() {
  if (HasState(csLoading | csDestroying) || (ControlState() & csCreating) != 0) return;
  if (Parent() == nullptr || !Parent()->Visible() || !Parent()->HandleAllocated()) return;
  TsCommonData* sd = SkinData();
  if (!SkinAvailable(sd, true) || !ControlReadyToPaint(this) || HasState(csDesigning)) {
    Repaint();
    return;
  }
  if (!Visible()) return;
  if (sd->BGChanged) {
    PrepareCache();
    PaintSiblingsOver(*sd->CacheBmp);
  }
  HDC dc = Canvas()->Handle();
  if (AnimationShowing()) {
    TBitmapCanvas work(AnimTimer->Work);
    BitBlt(dc, 0, 0, Width(), Height(), work.Handle(), 0, 0, SRCCOPY);
  } else {
    CopyWholeCache(sd, dc);
  }
}

// --- animation -------------------------------------------------------------------------

void TsSpeedButton::RepaintWithAnim(bool halved, bool allowed) {
  TsCommonData* sd = SkinData();
  const TsGeneralData* section = sd->Section();
  const bool animate = allowed && !SkinChanging && SkinAvailable(sd, true) && section != nullptr &&
                       section->FadingEnabled && !AnimationsOff && !sd->BGChanged;
  sd->BGChanged = true;
  if (animate) {
    StartAnimation(halved);
  } else {
    if (AnimTimer != nullptr) {
      AnimTimer->Free();
      AnimTimer = nullptr;
    }
    Redraw();
  }
  ShowControlGlow(sd, halved, nullptr);
}

void TsSpeedButton::StartAnimation(bool halved) {
  TsCommonData* sd = SkinData();
  int position = 1;
  if (AnimTimer != nullptr) {
    // A new fade starts where the running one would have ended up.
    position = std::max(1, AnimTimer->Iterations - AnimTimer->Step);
    AnimTimer->Free();
    AnimTimer = nullptr;
  }
  // Not owned by the button: freeing the button frees its components first.
  TsAnimTimer* timer = Create<TsAnimTimer>(nullptr);
  timer->Setup(sd);
  if (halved) timer->Iterations = std::max(1, timer->Iterations / 2);
  timer->Step = std::min(position, timer->Iterations);
  TBitmap* cache = sd->CacheBmp.get();
  timer->Source.Assign(*cache);
  PrepareCache();
  PaintSiblingsOver(*cache);
  RefreshCacheCorners(sd, 1);
  AnimTimer = timer;
  timer->SetEnabled(true);
  timer->DoStep();
}

void TsSpeedButton::StopAnimation() {
  if (AnimTimer == nullptr) return;
  TsAnimTimer* timer = AnimTimer;
  AnimTimer = nullptr;
  timer->SetEnabled(false);
  const bool stepped = timer->Step > 0;
  timer->Free();
  if (stepped && !HasState(csDestroying)) {
    SkinData()->BGChanged = true;
    Repaint();
  }
}

// --- mouse and drop-down menu -----------------------------------------------------------

void TsSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (Enabled() && !HasState(csDesigning)) HideHintsForPress();
  const bool dropDown =
      button == mbLeft && Enabled() && buttonStyle_ == tbsDropDown && dropdownMenu_ != nullptr;
  // With a click handler only the strip opens the menu.
  if (dropDown && !(x <= Width() - DropDownArrowWidth && OnClick)) return DropDown();
  TsSkinnedControl<TSpeedButton>::MouseDown(button, shift, x, y);
}

void TsSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  RestoreHintsAfterPress();
  if (button == mbLeft && Enabled() && buttonStyle_ == tbsDropDown) {
    menuShown_ = false;
    if (droppedButton == this) droppedButton = nullptr;
  }
  TsSkinnedControl<TSpeedButton>::MouseUp(button, shift, x, y);
}

void TsSpeedButton::DropDown() {
  droppedButton = this;
  StopAnimation();
  if (dropDownMenuOpen) return;
  const bool showDown = !OnClick;
  const TLifeToken life = LifeToken();
  {
    const TacFlagGuard open(dropDownMenuOpen);
    menuShown_ = true;
    SkinData()->BGChanged = true;
    if (showDown) SetState(bsDown);
    Redraw();
    dropdownMenu_->SetPopupComponent(this);
    const TPoint at = ClientToScreen({0, Height() + 1});
    dropdownMenu_->Popup(at.X, at.Y);
  }
  // The menu took the release that would have brought the hints back.
  RestoreHintsAfterPress();
  // Another drop-down button pressed meanwhile (a chosen item's handler let
  // messages run) changes nothing of this one's way back to up.
  droppedButton = nullptr;
  if (!life.Alive()) return;
  menuShown_ = false;
  POINT cursor;
  GetCursorPos(&cursor);
  const TPoint p = ScreenToClient({cursor.x, cursor.y});
  if (p.X < 0 || p.Y < 0 || p.X >= Width() || p.Y >= Height()) Perform(CM_MOUSELEAVE, 0, 0);
  if (showDown) SetState(Down() ? bsExclusive : bsUp);
  SkinData()->BGChanged = true;
  Redraw();
}

// --- messages --------------------------------------------------------------------------

TacCommandOutcome TsSpeedButton::SkinCommand(TMessage& m) {
  TsCommonData* sd = SkinData();
  const auto ownManager = [&] {
    return reinterpret_cast<TsSkinManager*>(m.LParam) == sd->SkinManager();
  };
  const bool skinned = SkinAvailable(sd, true);
  switch (m.WParamHi()) {
    case cmdRepaintNow:
      sd->Updating = false;
      if (!AnimationShowing()) sd->BGChanged = true;
      Redraw();
      return coAnswered;
    case cmdParentPainted:
      if (!sd->Updating) break;
      sd->Updating = false;
      Redraw();
      return coAnswered;
    case cmdSkinLoaded:
      if (!ownManager()) break;
      HandleSkinCommand(m, sd);
      if (SkinAvailable(sd, true)) SetControlStyle(ControlStyle() | csOpaque);
      return coAnswered;
    case cmdSkinRemoved:
      if (!ownManager() || HasState(csDestroying)) break;
      StopAnimation();
      HandleSkinCommand(m, sd);
      SetControlStyle(ControlStyle() & ~csOpaque);
      if (Visible()) Repaint();
      return coAnswered;
    case cmdSkinRefresh:
      if (!ownManager()) break;
      HandleSkinCommand(m, sd);
      if (Visible()) Repaint();
      return coAnswered;
    case cmdNeedsRepaint:
      if (!skinned) break;
      m.Result = sd->Updating ? 1 : 0;
      return coAnswered;
    case cmdInvalidateUnnamed:
      if (!skinned) break;
      HandleSkinCommand(m, sd);
      Redraw();
      return coAnswered;
    case cmdFadeFinished:
      StopAnimation();
      return coAnswered;
    default:
      break;
  }
  return HandleSkinCommand(m, sd);
}

bool TsSpeedButton::UnskinnedMessage(TMessage& m) {
  TsCommonData* sd = SkinData();
  if (m.Msg != CM_MOUSEENTER && m.Msg != CM_MOUSELEAVE) return false;
  if (!Enabled() || HasState(csDesigning) || m.LParam != 0) return false;
  const bool enter = m.Msg == CM_MOUSEENTER;
  sd->MouseAbove = enter;
  if (!enter && State() == bsDown) SetState(bsUp);
  return !RunEvent(enter ? OnMouseEnter : OnMouseLeave);
}

bool TsSpeedButton::SkinnedMessage(TMessage& m) {
  TsCommonData* sd = SkinData();
  const bool designing = HasState(csDesigning);
  switch (m.Msg) {
    case CM_TEXTCHANGED:
      if (!showCaption_) return false;
      sd->BGChanged = true;
      Redraw();
      return true;
    case CM_MOUSEENTER:
      if (m.LParam != 0 || !Enabled() || designing || sd->MouseAbove) return false;
      if (!RunEvent(OnMouseEnter)) return true;
      sd->MouseAbove = true;
      RepaintWithAnim(false, AnimEffectEnabled(aeMouseEnter, animatEvents_, nullptr));
      return false;
    case CM_MOUSELEAVE:
      if (m.LParam != 0 || !Enabled() || !sd->MouseAbove) return false;
      if (!RunEvent(OnMouseLeave)) return true;
      sd->MouseAbove = false;
      if (State() == bsDown) SetState(bsUp);
      if (Visible())
        RepaintWithAnim(false, AnimEffectEnabled(aeMouseLeave, animatEvents_, nullptr));
      return false;
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      if (Visible()) sd->BGChanged = true;
      return false;
    case WM_ERASEBKGND:
      return true;
    case WM_PAINT:
      // The class library's painting binds the canvas and calls Paint.
      return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP: {
      const bool up = m.Msg == WM_LBUTTONUP;
      if (up && !designing && AnimationShowing()) {
        StopAnimation();
        PrepareCache();
        Redraw();
      }
      // A click may free the button, a drop-down menu may run meanwhile.
      const TLifeToken life = LifeToken();
      if (!PreviewControlMessage(m, sd)) TSpeedButton::WndProc(m);
      if (!life.Alive() || designing) return true;
      RepaintWithAnim(true,
                      AnimEffectEnabled(up ? aeMouseUp : aeMouseDown, animatEvents_, nullptr));
      return true;
    }
    default:
      return false;
  }
}

void TsSpeedButton::AfterMessage(TMessage& m) {
  TsCommonData* sd = SkinData();
  switch (m.Msg) {
    case CM_VISIBLECHANGED:
      sd->MouseAbove = false;
      return;
    case CM_ENABLEDCHANGED:
      if (!Visible() && !HasState(csDesigning)) return;
      sd->BGChanged = true;
      if (!HasState(csLoading)) Redraw();
      return;
    case CM_BUTTONPRESSED:
      sd->BGChanged = true;
      Redraw();
      return;
    default:
      return;
  }
}

}  // namespace kv
