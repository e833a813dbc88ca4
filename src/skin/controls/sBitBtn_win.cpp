#include "skin/controls/sBitBtn_win.h"

#include <vssym32.h>

#include <algorithm>

#include "classlib/ActnList.h"
#include "classlib/Forms.h"
#include "classlib/PlatformCalls.h"
#include "classlib/WideText.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sTextUtils_win.h"
#include "skin/geometry/sButtonLayout.h"
#include "skin/graphics/acGlow.h"
#include "skin/graphics/sBorders_win.h"
#include "skin/graphics/sGlyphUtils_win.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sSectionPaint.h"

namespace kv {

namespace {

constexpr int ControlTypeBitBtn = 94;
// How long a release during the press fade keeps the pressed picture.
constexpr DWORD PressedPictureMs = 30;
// Fade directions: towards the new state, or back.
constexpr int FadeIn = 1, FadeOut = 2;

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

// Set while a button takes the focus: the focus news it sends round meanwhile
// must not switch its redraw back on early.
bool focusGuard = false;

// A memory context with a font selected, for measuring text.
class TMeasureDC {
 public:
  explicit TMeasureDC(HFONT font)
      : dc_(CreateCompatibleDC(nullptr)), old_(SelectObject(dc_, font)) {}
  ~TMeasureDC() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
  }
  TMeasureDC(const TMeasureDC&) = delete;
  TMeasureDC& operator=(const TMeasureDC&) = delete;
  HDC Handle() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace

// The glyph painter's view of the button, kept apart so that its names do
// not hide the button's own.
class TsBitBtn::TGlyphSource : public TsButtonGlyphSource<TsBitBtn> {
 public:
  using TsButtonGlyphSource<TsBitBtn>::TsButtonGlyphSource;
};

TsBitBtn::TsBitBtn(TComponent* owner)
    : TsSkinnedControl<TBitBtn>(owner, ControlTypeBitBtn, true),
      glyphSource_(std::make_unique<TGlyphSource>(this)) {
  SetWordWrap(true);
  SetControlStyle(ControlStyle() & ~csOpaque);
}

TsBitBtn::~TsBitBtn() {
  StopFade(FadeTimer);
  DropRegion();
}

void TsBitBtn::ActionChange(TBasicAction* sender, bool checkDefaults) {
  TsSkinnedControl<TBitBtn>::ActionChange(sender, checkDefaults);
  const auto* action = dynamic_cast<TCustomAction*>(sender);
  if (action == nullptr) return;
  if (action->ActionList() != nullptr) SetImages(action->ActionList()->Images());
  SetImageIndex(action->ImageIndex());
  if (!HasState(csLoading | csDestroying)) InvalidateControlSkin(SkinData());
}

void TsBitBtn::Loaded() {
  TsSkinnedControl<TBitBtn>::Loaded();
  if (UsesImageList()) Glyph().SetSize(0, 0);
}

// --- properties ------------------------------------------------------------------------

void TsBitBtn::SetDown(bool value) {
  if (down_ == value) return;
  down_ = value;
  SkinData()->BGChanged = true;
  Repaint();
}

#define KV_SKIN_SETTER(Name, field, Type) \
  void TsBitBtn::Set##Name(Type value) {  \
    if (field == value) return;           \
    field = value;                        \
    InvalidateControlSkin(SkinData());    \
  }
KV_SKIN_SETTER(DisabledKind, disabledKind_, TsDisabledKind)
KV_SKIN_SETTER(DisabledGlyphKind, disabledGlyphKind_, int)
KV_SKIN_SETTER(Grayed, grayed_, bool)
KV_SKIN_SETTER(ShowCaption, showCaption_, bool)
KV_SKIN_SETTER(ShowFocus, showFocus_, bool)
KV_SKIN_SETTER(Alignment, alignment_, TAlignment)
KV_SKIN_SETTER(TextAlignment, textAlignment_, TAlignment)
KV_SKIN_SETTER(DrawOverBorder, drawOverBorder_, bool)
KV_SKIN_SETTER(Reflected, reflected_, bool)
#undef KV_SKIN_SETTER

void TsBitBtn::SetBlend(int value) {
  value = std::clamp(value, 0, 100);
  if (blend_ == value) return;
  blend_ = value;
  InvalidateControlSkin(SkinData());
}

void TsBitBtn::SetTextOffset(int value) {
  if (textOffset_ == value) return;
  textOffset_ = value;
  if (Visible() || HasState(csDesigning)) InvalidateControlSkin(SkinData());
}

void TsBitBtn::SetImages(TCustomImageList* images) {
  if (images == Images()) return;
  TBitBtn::SetImages(images);
  InvalidateControlSkin(SkinData());
}

void TsBitBtn::SetImageIndex(int index) {
  if (index == ImageIndex()) return;
  TBitBtn::SetImageIndex(index);
  InvalidateControlSkin(SkinData());
}

void TsBitBtn::SetButtonStyle(bool isDefault) {
  // The class library keeps the flag (Active) that the button's look reads.
  TBitBtn::SetButtonStyle(isDefault);
  InvalidateControlSkin(SkinData());
}

// --- geometry --------------------------------------------------------------------------

bool TsBitBtn::UsesImageList() {
  const int count = ImageCountOf(Images());
  return count > 0 && ImageIndex() >= 0 && ImageIndex() < count;
}

int TsBitBtn::GlyphWidth() {
  const int width = UsesImageList() ? Images()->Width() : Glyph().Width();
  if (width < 1) return 0;
  return width / std::max(1, NumGlyphs());
}

int TsBitBtn::GlyphHeight() {
  const int height = UsesImageList() ? Images()->Height() : Glyph().Height();
  return height < 1 ? 0 : height;
}

int TsBitBtn::CaptionWidth() {
  if (!showCaption_ || Caption().empty()) return 0;
  int width = Width() - 2 * Margin();
  const int glyph = GlyphWidth();
  if ((Layout() == blGlyphLeft || Layout() == blGlyphRight) && glyph != 0)
    width -= glyph + Spacing();
  return width;
}

TSize TsBitBtn::CaptionSize() {
  const std::wstring text = Wide(Caption());
  if (text.empty()) return {0, 0};
  RECT r{0, 0, CaptionWidth(), 0};
  const TMeasureDC dc(Font()->Handle());
  DrawTextW(dc.Handle(), text.c_str(), static_cast<int>(text.size()), &r,
            DT_CALCRECT | DT_EXPANDTABS | (WordWrap() ? DT_WORDBREAK : 0) |
                AlignmentFlags(textAlignment_));
  return {r.right - r.left, r.bottom - r.top};
}

TRect TsBitBtn::CalcGlyphRect() {
  TsButtonMetrics m;
  m.Width = Width();
  m.Height = Height();
  m.Glyph = {GlyphWidth(), GlyphHeight()};
  m.Caption = CaptionSize();
  m.HasCaption = showCaption_ && !Caption().empty();
  m.Layout = MirroredLayout();
  m.Alignment = alignment_;
  m.Margin = Margin();
  m.Spacing = Spacing();
  m.State = ButtonState();
  TRect r = ButtonGlyphRect(m);
  // The bit button's reflection rises by a sixth of the glyph's width.
  if (reflected_) OffsetRect(r, 0, -(r.Width() / 6));
  return r;
}

// The caption's layout swaps a glyph on the left or right for a mirrored
// button; the glyph goes to the other side with it, so that neither covers
// the other.
TButtonLayout TsBitBtn::MirroredLayout() const {
  if (!UseRightToLeftAlignment()) return Layout();
  switch (Layout()) {
    case blGlyphLeft:
      return blGlyphRight;
    case blGlyphRight:
      return blGlyphLeft;
    default:
      return Layout();
  }
}

TRect TsBitBtn::CaptionRect(int state) {
  TPoint glyphPos{};
  TRect text{};
  const TSize size = CaptionSize();
  LayoutGlyphAndCaption({0, 0, Width(), Height()}, {GlyphWidth(), GlyphHeight()},
                        {size.cx, size.cy}, static_cast<std::uint8_t>(Layout()),
                        static_cast<std::uint8_t>(alignment_), Margin(), Spacing(), glyphPos, text,
                        static_cast<int>(BiDiTextFlags(*this)));
  if (state == 2) OffsetRect(text, 1, 1);
  return text;
}

// --- state -----------------------------------------------------------------------------

int TsBitBtn::ButtonState() {
  TsCommonData* sd = SkinData();
  const bool pushed =
      HandleAllocated() && (SendMessageW(Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
  // Held with the mouse dragged outside, the button does not look pressed.
  if ((pushed || ButtonPressedOverride) && (sd->MouseAbove || !MouseDownFlag)) return 2;
  if (down_) return 2;
  const bool defStyle =
      HandleAllocated() && (GetWindowLongW(Handle(), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
  if (Active() || defStyle || ControlIsHot(sd) || (HasState(csDesigning) && Default())) return 1;
  return 0;
}

// --- painting --------------------------------------------------------------------------

void TsBitBtn::DrawCaption(TCanvas& canvas, int state, bool skinned) {
  if (!showCaption_ || Caption().empty()) return;
  canvas.Font()->Assign(*Font());
  canvas.Brush()->SetStyle(bsClear);
  TRect r = CaptionRect(state);
  const UINT flags =
      AlignmentFlags(textAlignment_) | DT_EXPANDTABS | (WordWrap() ? DT_WORDBREAK : 0);
  if (!skinned) {
    const std::wstring text = Wide(Caption());
    const auto draw = [&](TRect place, TColor color) {
      RECT rc{place.Left, place.Top, place.Right, place.Bottom};
      SetBkMode(canvas.Handle(), TRANSPARENT);
      SetTextColor(canvas.Handle(), ColorToRGB(color));
      const TSelectedObject font(canvas.Handle(), canvas.Font()->Handle());
      DrawTextW(canvas.Handle(), text.c_str(), static_cast<int>(text.size()), &rc, flags);
    };
    if (Enabled()) {
      draw(r, Font()->Color());
    } else {
      TRect shifted = r;
      OffsetRect(shifted, 1, 1);
      draw(shifted, clBtnHighlight);
      draw(r, clBtnShadow);
    }
    return;
  }
  TsCommonData* sd = SkinData();
  const TsSkinTextSource source = ControlTextSource(this, sd);
  WriteSkinText(canvas, Caption(), true, r, flags, source, state != 0);
  const TsGeneralData* section = sd->Section();
  if (Enabled() && Focused() && section != nullptr && section->ShowFocus && showFocus_) {
    InflateRect(r, focusMargin_, focusMargin_);
    DrawDottedFocusRect(canvas.Handle(), r);
  }
}

void TsBitBtn::DropRegion() {
  if (Region != nullptr) DeleteObject(Region);
  Region = nullptr;
}

void TsBitBtn::CutRegion(int state) {
  TsCommonData* sd = SkinData();
  const TsMaskData* mask = sd->BorderMask();
  if (mask == nullptr) return;
  if (state == 0 && (mask->StretchMode & 2) != 0) return;
  BuildRegionFromMask(sd->CacheBmp.get(), Region, false, state, *mask,
                      sd->SkinManager()->Skin().MasterBitmap.get());
}

void TsBitBtn::PrepareCache() {
  TsCommonData* sd = SkinData();
  TsSkinManager* manager = sd->SkinManager();
  if (manager == nullptr) return;
  const int state = ButtonState();
  TsBgRequest request;
  if (Parent() != nullptr) GetControlBackgroundInfo(request, Parent(), false);
  TsBgCacheInfo background = EmptyBgCacheInfo;
  if (Parent() != nullptr) BackgroundInfoToCacheInfo(request, background);
  PrepareCacheBitmap(sd);
  TBitmap* cache = sd->CacheBmp.get();
  PaintSkinDataBackground(sd, background, state, {0, 0, Width(), Height()}, {Left(), Top()}, cache);
  // A region cut for a state never shown is of no use.
  DropRegion();
  Region = CreateRectRgn(0, 0, Width(), Height());
  if (drawOverBorder_) CutRegion(state);
  {
    TBitmapCanvas canvas(*cache);
    DrawCaption(canvas, state, true);
  }
  PaintButtonGlyph(glyphSource_.get(), nullptr);
  if (!drawOverBorder_) CutRegion(state);
  const auto* action = dynamic_cast<TCustomAction*>(Action());
  if (!Enabled() || (action != nullptr && !action->Enabled())) {
    TsBgCacheInfo parentBg;
    GetParentBgInfo(sd, parentBg);
    ApplyDisabledKind(cache, disabledKind_, this, {Left(), Top()}, parentBg);
  }
  if (OnPaint) OnPaint(this, cache);
  sd->BGChanged = false;
}

void TsBitBtn::ApplyRegion(bool redraw) {
  if (Region == nullptr || !HandleAllocated() || HasState(csDesigning)) return;
  const TRect bounds = BoundsRect();
  SetWindowRgn(Handle(), Region, redraw ? TRUE : FALSE);
  Region = nullptr;  // the window owns it now
  regionNeverSet_ = false;
  // The parent repaints the corners a smaller button no longer covers.
  const TsMaskData* mask = SkinData()->BorderMask();
  const bool shrunk =
      bounds.Width() < LastRegionRect.Width() || bounds.Height() < LastRegionRect.Height();
  if (mask != nullptr && shrunk && Parent() != nullptr && Parent()->HandleAllocated()) {
    TsBgRequest request;
    GetControlBackgroundInfo(request, Parent(), false);
    if (request.BgType != btBitmap) {
      const TRect& o = LastRegionRect;
      const RECT corners[] = {{o.Right - mask->WR, o.Top, o.Right, o.Top + mask->WT},
                              {o.Right - mask->WR, o.Bottom - mask->WB, o.Right, o.Bottom},
                              {o.Left, o.Bottom - mask->WB, o.Left + mask->WL, o.Bottom}};
      for (const RECT& r : corners) InvalidateRect(Parent()->Handle(), &r, TRUE);
    }
  }
  LastRegionRect = bounds;
}

void TsBitBtn::PaintToDC(HDC dc) {
  // A form animation painting into its own context is served alone.
  if (AnimationActive && dc != AnimationDC) return;
  TsCommonData* sd = SkinData();
  sd->Updating = PaintingSuspended(sd);
  if (sd->Updating) return;
  if (FadeTimer != nullptr && FadeTimer->Enabled()) return;  // the fade paints
  if (Parent() != nullptr) {
    const TRect client = Parent()->ClientRect();
    const TRect bounds = BoundsRect();
    sd->PaintSkipped = bounds.Left < client.Left || bounds.Top < client.Top ||
                       bounds.Right > client.Right || bounds.Bottom > client.Bottom;
  }
  const bool redrawOnRegion = regionNeverSet_ || SkinChanging;
  sd->BGChanged = true;
  PrepareCache();
  RefreshCacheCorners(sd, ButtonState());
  // A form animation's picture is not the window: its shape waits for the
  // paint on the screen.
  const bool animationPicture = AnimationActive && dc == AnimationDC;
  if ((ControlState() & csAlignmentNeeded) == 0 && !animationPicture) ApplyRegion(redrawOnRegion);
  CopyWholeCache(sd, dc);
}

void TsBitBtn::DrawUnskinned(const DRAWITEMSTRUCT& item) {
  const int width = item.rcItem.right - item.rcItem.left;
  const int height = item.rcItem.bottom - item.rcItem.top;
  if (width < 1 || height < 1) return;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool focused = (item.itemState & ODS_FOCUS) != 0;
  TBitmap picture(width, height, pf24bit);
  const TThemeData theme(Handle(), L"BUTTON");
  {
    TBitmapCanvas canvas(picture);
    HDC dc = canvas.Handle();
    RECT r{0, 0, width, height};
    if (theme.Handle() != nullptr) {
      const int state = !Enabled()               ? PBS_DISABLED
                        : pressed                ? PBS_PRESSED
                        : SkinData()->MouseAbove ? PBS_HOT
                        : Active() || focused    ? PBS_DEFAULTED
                                                 : PBS_NORMAL;
      PlatformCalls().DrawThemeParentBackground(Handle(), dc, &r);
      PlatformCalls().DrawThemeBackground(theme.Handle(), dc, BP_PUSHBUTTON, state, &r, nullptr);
    } else {
      if (Active() || focused) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&r, -1, -1);
      }
      if (pressed) {
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
        FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
      } else {
        DrawFrameControl(dc, &r, DFC_BUTTON,
                         DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (Enabled() ? 0 : DFCS_INACTIVE));
      }
    }
    DrawCaption(canvas, pressed ? 2 : 0, false);
    // A themed button shows the focus only where Enter would press it.
    if (focused && (theme.Handle() == nullptr || Active())) {
      RECT f{4, 4, width - 4, height - 4};
      DrawFocusRect(dc, &f);
    }
  }
  glyphSource_->Target = &picture;
  PaintButtonGlyph(glyphSource_.get(), nullptr);
  glyphSource_->Target = nullptr;
  TBitmapCanvas canvas(picture);
  BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, width, height, canvas.Handle(), 0, 0,
         SRCCOPY);
}

// --- messages --------------------------------------------------------------------------

void TsBitBtn::Fade(TacAnimatEvent event, bool halved) {
  TsCommonData* sd = SkinData();
  sd->BGChanged = false;
  const int direction = event == aeMouseEnter || event == aeMouseDown ? FadeIn : FadeOut;
  RepaintWithFade(FadeTimer, sd, halved, direction,
                  AnimEffectEnabled(event, animatEvents_, nullptr));
}

// The last skin's shape goes with its look.
void TsBitBtn::PlainLook() {
  DropRegion();
  if (HandleAllocated()) SetWindowRgn(Handle(), nullptr, FALSE);
  LastRegionRect = {};
  Repaint();
}

TacCommandOutcome TsBitBtn::SkinCommand(TMessage& m) {
  TsCommonData* sd = SkinData();
  const auto ownManager = [&] {
    return reinterpret_cast<TsSkinManager*>(m.LParam) == sd->SkinManager();
  };
  switch (m.WParamHi()) {
    case cmdFadeFinished:
      StopFade(FadeTimer);
      return coAnswered;
    case cmdFadeStep:
      PrepareCache();
      return coPassedOn;
    case cmdOfferFadeImage:
      DropRegion();
      return coPassedOn;
    case cmdSetParentBgForced:
      // The picture on the old terms first, then the new flag.
      if (sd->ParentBgForced) PrepareCache();
      HandleSkinCommand(m, sd);
      return coAnswered;
    case cmdSkinLoaded:
      if (!ownManager()) break;
      StopFade(FadeTimer);
      HandleSkinCommand(m, sd);
      // A skin without the button's section: the plain look, as with no skin.
      if (!SkinAvailable(sd, false)) PlainLook();
      return coAnswered;
    case cmdSkinRemoved:
      if (!ownManager() || HasState(csDestroying)) break;
      StopFade(FadeTimer);
      HandleSkinCommand(m, sd);
      PlainLook();
      return coAnswered;
    case cmdSkinRefresh:
      if (!ownManager()) break;
      StopFade(FadeTimer);
      HandleSkinCommand(m, sd);
      regionNeverSet_ = true;
      Repaint();
      return coAnswered;
    default:
      break;
  }
  return HandleSkinCommand(m, sd);
}

bool TsBitBtn::UnskinnedMessage(TMessage& m) {
  TsCommonData* sd = SkinData();
  switch (m.Msg) {
    case CM_MOUSEENTER:
      sd->MouseAbove = true;
      return Enabled() && !HasState(csDesigning) && !RunEvent(OnMouseEnter);
    case CM_MOUSELEAVE:
      sd->MouseAbove = false;
      return Enabled() && !HasState(csDesigning) && !RunEvent(OnMouseLeave);
    case CN_DRAWITEM:
      if (!UsesImageList() && Glyph().PixelFormat() != pf32bit) return false;
      DrawUnskinned(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam));
      m.Result = 1;
      return true;
    default:
      return false;
  }
}

void TsBitBtn::Pressed() {
  TsCommonData* sd = SkinData();
  if (!Enabled() || HasState(csDesigning)) return;
  sd->Updating = false;
  MouseDownFlag = true;
  if (down_) return;
  sd->Updating = PaintingSuspended(sd);
  Fade(aeMouseDown, true);
}

void TsBitBtn::Released() {
  TsCommonData* sd = SkinData();
  if (Enabled() && !HasState(csDesigning)) RestoreHintsAfterPress();
  if (!MouseDownFlag) {
    StopFade(FadeTimer);
    return;
  }
  if (HasState(csDestroying)) return;
  MouseDownFlag = false;
  if (!Enabled() || HasState(csDesigning)) return;
  if (FadeTimer != nullptr && FadeTimer->Step() < FadeTimer->Iterations()) {
    // Released during the press fade: the pressed picture first, briefly.
    StopFade(FadeTimer);
    sd->BGChanged = true;
    {
      const TacFlagGuard pressed(ButtonPressedOverride);
      RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    Sleep(PressedPictureMs);
  }
  sd->Updating = false;
  Fade(aeMouseUp, true);
}

bool TsBitBtn::SkinnedMessage(TMessage& m) {
  TsCommonData* sd = SkinData();
  const bool shown = Visible() || HasState(csDesigning);
  switch (m.Msg) {
    case WM_PAINT:
      if (!shown) break;
      if (Parent() == nullptr) {
        // Nothing to paint on, but the window must be validated.
        const TPaintScope paint(Handle(), reinterpret_cast<HDC>(m.WParam));
        return true;
      }
      return TsSkinnedControl<TBitBtn>::SkinnedMessage(m);
    case WM_PRINT:
      return TsSkinnedControl<TBitBtn>::SkinnedMessage(m);
    case WM_ERASEBKGND:
    case WM_UPDATEUISTATE:
      if (!shown) break;
      m.Result = 0;
      return true;
    case WM_ENABLE:
      return true;
    case WM_MOVE: {
      const TsGeneralData* section = sd->Section();
      if (section != nullptr &&
          (section->Transparency > 0 || (section->HotTransparency >= 1 && ControlIsHot(sd)))) {
        sd->BGChanged = true;
        Repaint();
      }
      break;
    }
    case WM_WINDOWPOSCHANGED:
      sd->BGChanged = true;
      break;
    case WM_SETTEXT: {
      if (!Visible()) break;
      StopFade(FadeTimer);
      const TRedrawLock lock(this);
      TBitBtn::WndProc(m);
      return true;
    }
    case WM_SETFOCUS:
    case CM_ENTER: {
      if (!Visible() || HasState(csDesigning | csDestroying) || !Enabled() || focusGuard) break;
      const TLifeToken life = LifeToken();
      {
        const TRedrawLock lock(this);
        const TacFlagGuard guard(focusGuard);
        TBitBtn::WndProc(m);
      }
      if (!life.Alive()) return true;
      if (FadeTimer != nullptr)
        FadeStep(FadeTimer);
      else
        InvalidateControlSkin(sd);
      return true;
    }
    case WM_KILLFOCUS:
    case CM_EXIT: {
      if (HasState(csDestroying)) return true;
      if (!Visible() || HasState(csDesigning) || !Enabled()) break;
      StopFade(FadeTimer);
      const TLifeToken life = LifeToken();
      {
        const TRedrawLock lock(this);
        TBitBtn::WndProc(m);
      }
      if (!life.Alive()) return true;
      sd->Focused = false;
      InvalidateControlSkin(sd);
      return true;
    }
    case CM_FOCUSCHANGED: {
      if (!Visible()) break;
      // The default look may move to or from this button: painted once, after.
      const int before = ButtonState();
      const TLifeToken life = LifeToken();
      {
        const TRedrawLock lock(this, !focusGuard);
        if (!PreviewControlMessage(m, sd)) TBitBtn::WndProc(m);
      }
      if (!life.Alive()) return true;
      // What was invalidated while redraw was off may be lost: asked for again.
      if (!focusGuard && ButtonState() != before) InvalidateControlSkin(sd);
      return true;
    }
    case CM_DIALOGCHAR:
      // Space on the focused button presses it: the pressed look, not a fade.
      if (Enabled() && Focused() && m.WParam == VK_SPACE) {
        StopFade(FadeTimer);
        sd->BGChanged = true;
        if (sd->GlowIndex != -1) {
          HideGlow(sd->GlowIndex);
          sd->GlowIndex = -1;
        }
        Repaint();
      }
      break;
    case CM_TEXTCHANGED:
      if (HasState(csDestroying) || !shown) break;
      InvalidateControlSkin(sd);
      return true;
    case CM_MOUSEENTER:
      if (Enabled() && !HasState(csDesigning) && !sd->MouseAbove && !SuppressMouseEnter) {
        if (!RunEvent(OnMouseEnter)) return true;
        sd->MouseAbove = true;
        Fade(aeMouseEnter, false);
      }
      break;
    case CM_MOUSELEAVE:
      if (Enabled() && !HasState(csDesigning)) {
        if (!RunEvent(OnMouseLeave)) return true;
        sd->MouseAbove = false;
        Fade(aeMouseLeave, false);
      }
      break;
    case WM_MOUSEMOVE:
      // Held, the button keeps the mouse and hears of no leave: it follows
      // the mouse out and back itself, so it looks pressed only over itself.
      if (MouseDownFlag && Enabled()) {
        const bool over =
            m.XPos() >= 0 && m.YPos() >= 0 && m.XPos() < Width() && m.YPos() < Height();
        if (over != sd->MouseAbove) {
          sd->MouseAbove = over;
          Fade(over ? aeMouseEnter : aeMouseLeave, false);
        }
      }
      break;
    case CN_DRAWITEM:
      // The system button drew a state change; the skin paints from the cache.
      if (FadeTimer == nullptr && m.LParam != 0) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
        PaintToDC(item->hDC);
      }
      m.Result = 1;
      return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      // The system button takes the pushed state in its own handling, so
      // the new look is painted after it; a click may free the button. It
      // paints the pushed state itself too: hints go off before it.
      const bool pressing = Enabled() && !HasState(csDesigning);
      if (pressing) HideHintsForPress();
      const TLifeToken life = LifeToken();
      TBitBtn::WndProc(m);
      if (life.Alive()) Pressed();
      if (pressing) RestoreHintsAfterPress();
      return true;
    }
    case WM_LBUTTONUP: {
      const TLifeToken life = LifeToken();
      TBitBtn::WndProc(m);
      if (life.Alive()) Released();
      return true;
    }
    case CM_UIACTIVATE:
      // The form is active again: what was held back may paint now.
      sd->Updating = false;
      break;
    case SM_ALPHACMD:
      if (m.WParamHi() == cmdParentPainted && sd->Updating) {
        sd->Updating = false;
        Repaint();
        return true;
      }
      break;
    default:
      break;
  }
  return false;
}

void TsBitBtn::AfterMessage(TMessage& m) {
  TsCommonData* sd = SkinData();
  switch (m.Msg) {
    case WM_SETFONT:
      if (!Visible() && !HasState(csDesigning)) return;
      sd->Updating = false;
      InvalidateControlSkin(sd);
      return;
    case CM_VISIBLECHANGED:
      if (HasState(csDestroying) || !Visible()) return;
      sd->BGChanged = true;
      sd->Updating = false;
      Repaint();
      return;
    case CM_ENABLEDCHANGED:
      if (HasState(csDestroying) || (!Visible() && !HasState(csDesigning))) return;
      sd->Updating = false;
      InvalidateControlSkin(sd);
      return;
    case WM_KEYUP:
      if (m.WParam != VK_SPACE) return;
      sd->BGChanged = true;
      Repaint();
      return;
    case CM_ACTIONUPDATE:
      if (const auto* action = dynamic_cast<TCustomAction*>(Action()))
        SetEnabled(action->Enabled());
      return;
    default:
      return;
  }
}

}  // namespace kv
