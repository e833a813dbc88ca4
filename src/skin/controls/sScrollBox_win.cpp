#include "skin/controls/sScrollBox_win.h"

#include <exception>

#include "skin/core/acBgInfo_win.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/graphics/sGraphUtils.h"

namespace kv {

namespace {

constexpr int ControlTypeScrollBox = 58;
constexpr int ClientEdgeWidth = 2;

// Set while the wheel is offered to the focused control, so that it coming
// back up the parents does not offer it again.
bool wheelForwarding = false;

// The redraw held for a skinned scroll comes back however the scroll ends.
class TThawOnUnwind {
 public:
  explicit TThawOnUnwind(std::function<void()> thaw)
      : thaw_(std::move(thaw)), exceptions_(std::uncaught_exceptions()) {}
  ~TThawOnUnwind() {
    if (std::uncaught_exceptions() > exceptions_) thaw_();
  }
  TThawOnUnwind(const TThawOnUnwind&) = delete;
  TThawOnUnwind& operator=(const TThawOnUnwind&) = delete;

 private:
  std::function<void()> thaw_;
  int exceptions_;
};

// The box's painting held for the scope, once however deep the messages nest.
class TPaintLockScope {
 public:
  TPaintLockScope(TsCommonData* sd, bool& locked) : sd_(sd), locked_(locked) {
    locked_ = true;
    BeginPaintLock(sd_);
  }
  ~TPaintLockScope() {
    EndPaintLock(sd_);
    locked_ = false;
  }
  TPaintLockScope(const TPaintLockScope&) = delete;
  TPaintLockScope& operator=(const TPaintLockScope&) = delete;

 private:
  TsCommonData* sd_;
  bool& locked_;
};

}  // namespace

TsScrollBox::TsScrollBox(TComponent* owner)
    : TsSkinnedControl<TScrollBox>(owner, ControlTypeScrollBox, true, ccContainer | ccScrollBox) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
}

TsScrollBox::~TsScrollBox() { FreeAdapter(adapter_); }

// The form sends the wheel nobody took to the scroll box under the cursor
// while this is on.
void TsScrollBox::SetAutoMouseWheel(bool value) {
  autoMouseWheel_ = value;
  if (value)
    SkinData()->Capabilities |= ccAutoMouseWheel;
  else
    SkinData()->Capabilities &= static_cast<std::uint16_t>(~ccAutoMouseWheel);
}

int TsScrollBox::FrameWidth() const {
  return BorderWidth() + (BorderStyle() != bsNone ? ClientEdgeWidth : 0);
}

TPoint TsScrollBox::ClientOffset() {
  if (!HandleAllocated()) return {FrameWidth(), FrameWidth()};
  RECT window{};
  GetWindowRect(Handle(), &window);
  POINT origin{0, 0};
  ::ClientToScreen(Handle(), &origin);
  return {origin.x - window.left, origin.y - window.top};
}

void TsScrollBox::SetParent(TWinControl* parent) {
  TsSkinnedControl<TScrollBox>::SetParent(parent);
  // Made without a parent it could not ask its form for its skin yet.
  if (parent != nullptr) SkinDataLoaded(SkinData());
}

void TsScrollBox::CreateHandleDone() {
  TScrollBox::CreateHandleDone();
  UpdateScrollWndAdapter(SkinData(), adapter_);
}

// --- painting --------------------------------------------------------------------------

void TsScrollBox::PrepareCache() {
  TsCommonData* sd = SkinData();
  PrepareCacheBitmap(sd);
  TBitmap* cache = sd->CacheBmp.get();
  if (cache->Empty()) return;
  const TRect whole{0, 0, Width(), Height()};
  // The border mask without its centre: inside it the section's own look
  // shows, or, see-through, what lies below.
  if (Parent() != nullptr)
    PaintSkinDataItemOnParent(sd, Parent(), false, 0, whole, {Left(), Top()}, cache);
  else
    PaintSkinDataItem(sd, EmptyBgCacheInfo, false, 0, whole, {0, 0}, cache);
  sd->BGChanged = false;
  if (OnPaint) OnPaint(this, cache);
}

// Over a plain background (or in its own colour) nothing is kept; in the
// middle of a scroll the picture must stay put.
bool TsScrollBox::PlainMode() const {
  const TsCommonData* sd = SkinData();
  return PaintsPlain(sd) && !skinnedScroll_;
}

void TsScrollBox::PaintToDC(HDC dc) {
  TsCommonData* sd = SkinData();
  if (dc == nullptr || !SkinAvailable(sd, false)) return;
  if (PlainMode()) {
    PaintPlainClient(this, sd, dc, ClientOffset());
    ResumeChildrenPainting(this);
    return;
  }
  sd->Updating = PaintingSuspended(sd);
  if (sd->Updating) return;
  if (sd->BGChanged || sd->PaintSkipped || !sd->CacheBmp || sd->CacheBmp->Empty()) PrepareCache();
  RECT clip{};
  GetClipBox(dc, &clip);
  const TRect client = ClientRect();
  sd->PaintSkipped = DependsOnParentBg(sd) && (clip.right - clip.left != client.Width() ||
                                               clip.bottom - clip.top != client.Height());
  CopyCacheToDC(this, sd, ClientOffset(), 0, 0, dc, client);
  PaintChildGraphics(this, dc);
  ResumeChildrenPainting(this);
}

void TsScrollBox::PaintNonClient(HDC dc) {
  TsCommonData* sd = SkinData();
  const int frame = FrameWidth();
  if (frame > 0 && sd->CacheBmp && !sd->CacheBmp->Empty()) {
    TBitmapCanvas canvas(*sd->CacheBmp);
    CopyBorderStrips(dc, 0, 0, Width(), Height(), canvas.Handle(), 0, 0, frame);
  }
  if (adapter_ != nullptr) DrawWindowScrollBars(adapter_, Handle(), dc, -1, nullptr);
}

// Straight into the window: the frame, with the client area and the bars
// inside it left out.
void TsScrollBox::PaintPlainFrame() {
  const int frame = FrameWidth();
  if (frame <= 0 || !HandleAllocated()) return;
  const TWindowDC dc(Handle());
  if (dc.Handle() == nullptr) return;
  {
    const TSavedDC saved(dc.Handle());
    ExcludeClipRect(dc.Handle(), frame, frame, Width() - frame, Height() - frame);
    PaintPlainSkin(this, SkinData(), dc.Handle());
  }
  if (adapter_ != nullptr) DrawWindowScrollBars(adapter_, Handle(), dc.Handle(), -1, nullptr);
}

// --- scrolling -------------------------------------------------------------------------

void TsScrollBox::BeforeScroll(int kind) {
  // The handler may free the box; the scroll then goes to no window.
  if (!RunEvent(OnBeforeScroll)) return;
  TControlScrollBar* bar = kind == SB_VERT ? VertScrollBar() : HorzScrollBar();
  positionBefore_ = bar->Position();
  skinnedScroll_ = true;
  if (NeedsParentCheck(SkinData()) && bar->Tracking() && !frozen_) {
    SendMessageW(Handle(), WM_SETREDRAW, FALSE, 0);
    frozen_ = true;
  }
}

void TsScrollBox::Thaw() {
  skinnedScroll_ = false;
  if (!frozen_) return;
  frozen_ = false;
  if (!HandleAllocated()) return;
  SendMessageW(Handle(), WM_SETREDRAW, TRUE, 0);
  RedrawWindow(Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}

void TsScrollBox::AfterScroll(int kind) {
  const bool wasFrozen = frozen_;
  Thaw();
  if (!wasFrozen && HandleAllocated()) {
    TControlScrollBar* bar = kind == SB_VERT ? VertScrollBar() : HorzScrollBar();
    const int d = positionBefore_ - bar->Position();
    const int w = Width();
    const int h = Height();
    RECT strip{0, 0, w, h};
    // Over a plain background only the strip the move uncovered is new.
    if (!NeedsParentCheck(SkinData()) && bar->Tracking()) {
      if (kind == SB_VERT)
        strip = d >= 0 ? RECT{0, 0, w, d} : RECT{0, h + d, w, h};
      else
        strip = d >= 0 ? RECT{0, 0, d, h} : RECT{w + d, 0, w, h};
    }
    RedrawWindow(Handle(), &strip, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  }
  if (OnAfterScroll) OnAfterScroll(this);
}

bool TsScrollBox::DoMouseWheel(TShiftState shift, int delta, TPoint mousePos) {
  if (!autoMouseWheel_) return TScrollBox::DoMouseWheel(shift, delta, mousePos);
  if (!wheelForwarding) {
    TCustomForm* form = GetParentForm();
    TWinControl* focused = form != nullptr ? form->ActiveControl() : nullptr;
    if (focused != nullptr && focused != this && focused->HandleAllocated()) {
      wheelForwarding = true;
      LRESULT taken = 0;
      try {
        taken =
            SendMessageW(focused->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)),
                         MAKELPARAM(mousePos.X, mousePos.Y));
      } catch (...) {
        wheelForwarding = false;
        throw;
      }
      wheelForwarding = false;
      if (taken != 0) return true;
    }
  }
  TControlScrollBar* bar = VertScrollBar();
  bar->SetPosition(bar->Position() - (delta / WHEEL_DELTA) * bar->Increment());
  return true;
}

// --- messages --------------------------------------------------------------------------

void TsScrollBox::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL: {
      const TThawOnUnwind thaw([this] { Thaw(); });
      if (skinnedScroll_ && m.LParam != 0) {
        // From the skinned bars: the whole position rides in LParam.
        const WORD code = LOWORD(m.WParam);
        TControlScrollBar* bar = m.Msg == WM_VSCROLL ? VertScrollBar() : HorzScrollBar();
        if (code == SB_THUMBPOSITION || (code == SB_THUMBTRACK && bar->Tracking())) {
          bar->SetPosition(static_cast<int>(m.LParam));
          m.Result = 0;
        } else {
          m.LParam = 0;
          TsSkinnedControl<TScrollBox>::WndProc(m);
        }
      } else {
        TsSkinnedControl<TScrollBox>::WndProc(m);
      }
      if (adapter_ != nullptr) UpdateScrollBarInfo(adapter_, true);
      return;
    }
    case WM_WINDOWPOSCHANGED:
    case WM_SIZE:
      // Children moved by the new size wait for the box to paint first.
      if (!paintLocked_ && SkinAvailable(SkinData(), true) && ControlReadyToPaint(this)) {
        const TPaintLockScope lock(SkinData(), paintLocked_);
        TsSkinnedControl<TScrollBox>::WndProc(m);
        return;
      }
      break;
    case CM_MOUSEENTER:
      if (m.LParam == 0 && !RunEvent(OnMouseEnter)) return;
      break;
    case CM_MOUSELEAVE:
      if (m.LParam == 0 && !RunEvent(OnMouseLeave)) return;
      break;
    default:
      break;
  }
  TsSkinnedControl<TScrollBox>::WndProc(m);
}

TacCommandOutcome TsScrollBox::SkinCommand(TMessage& m) {
  TsCommonData* sd = SkinData();
  const bool ownManager = reinterpret_cast<TsSkinManager*>(m.LParam) == sd->SkinManager();
  switch (m.WParamHi()) {
    case cmdSkinLoaded:
      BroadcastToChildren(this, m);
      if (ownManager) HandleSkinCommand(m, sd);
      if (ownManager && HandleAllocated()) UpdateScrollWndAdapter(sd, adapter_);
      return coAnswered;
    case cmdSkinRemoved:
      if (ownManager) {
        FreeAdapter(adapter_);
        HandleSkinCommand(m, sd);
        if (!HasState(csDestroying)) {
          SetControlStyle(ControlStyle() & ~csOpaque);
          if (HandleAllocated())
            RedrawWindow(Handle(), nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        }
      }
      BroadcastToChildren(this, m);
      return coAnswered;
    case cmdSkinRefresh:
      if (ownManager) {
        HandleSkinCommand(m, sd);
        sd->Updating = PaintingSuspended(sd);
        if (HandleAllocated()) {
          UpdateScrollWndAdapter(sd, adapter_);
          RedrawWindow(Handle(), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
        }
      }
      BroadcastToChildren(this, m);
      return coAnswered;
    case cmdParentPainted:
      // A paint held back while the parent was painting comes now, frame
      // and all; the children are told in turn when it runs.
      if (sd->Updating) {
        sd->Updating = false;
        if (HandleAllocated() && Showing())
          RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
      }
      return coAnswered;
    case cmdNeedsRepaint:
      if (!SkinAvailable(sd, true)) break;
      m.Result = NeedsParentCheck(sd) && PaintingSuspended(sd) ? 1 : 0;
      return coAnswered;
    case cmdRepaintNow:
      if (HandleAllocated())
        RedrawWindow(Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      return coAnswered;
    case cmdGetBackground: {
      if (m.LParam == 0) break;
      auto& request = *reinterpret_cast<TsBgRequest*>(m.LParam);
      if (sd->BGChanged && !PlainMode() && !PaintingSuspended(sd) && SkinAvailable(sd, false))
        PrepareCache();
      FillContainerChildBgInfo(sd, request, ClientOffset());
      m.Result = 0;
      return coAnswered;
    }
    case cmdBeforeScroll:
      BeforeScroll(HIWORD(m.LParam) == WM_VSCROLL ? SB_VERT : SB_HORZ);
      m.Result = 1;
      return coAnswered;
    case cmdAfterScroll:
      AfterScroll(HIWORD(m.LParam) == WM_VSCROLL ? SB_VERT : SB_HORZ);
      return coAnswered;
    default:
      break;
  }
  return HandleSkinCommand(m, sd);
}

bool TsScrollBox::SkinnedMessage(TMessage& m) {
  TsCommonData* sd = SkinData();
  switch (m.Msg) {
    case WM_PAINT: {
      const bool plain = !NeedsParentCheck(sd);
      // The plain look comes with the erase: only the windowless children remain.
      if (plain && m.WParam == 0) InvalidateRect(Handle(), nullptr, TRUE);
      const TPaintScope paint(Handle(), reinterpret_cast<HDC>(m.WParam));
      if (paint.Handle() != nullptr) {
        if (plain)
          PaintChildGraphics(this, paint.Handle());
        else
          PaintToDC(paint.Handle());
      }
      m.Result = 0;
      return true;
    }
    case WM_ERASEBKGND: {
      // A see-through box over a picture is painted in WM_PAINT from its
      // cache: erasing first would flicker.
      const bool parentPlain =
          Parent() != nullptr && (QueryControlCommand(Parent(), cmdChildBgFlags) & 1) != 0;
      if (!SectionHasTransparency(sd) || parentPlain) PaintToDC(reinterpret_cast<HDC>(m.WParam));
      m.Result = 1;
      return true;
    }
    case WM_NCPAINT: {
      if (!Visible()) return false;
      if (!NeedsParentCheck(sd)) {
        PaintPlainFrame();
        m.Result = 0;
        return true;
      }
      sd->Updating = PaintingSuspended(sd);
      if (sd->Updating) return true;
      if (sd->BGChanged || !sd->CacheBmp || sd->CacheBmp->Empty()) PrepareCache();
      HDC dc = GetWindowDC(Handle());
      if (dc != nullptr) {
        PaintNonClient(dc);
        ReleaseDC(Handle(), dc);
      }
      m.Result = 0;
      return true;
    }
    case WM_PRINT: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      sd->Updating = false;
      PrepareCache();
      if (dc == nullptr) return true;
      PaintNonClient(dc);
      const TSavedDC saved(dc);
      const TPoint offset = ClientOffset();
      OffsetViewportOrgEx(dc, offset.X, offset.Y, nullptr);
      const TRect client = ClientRect();
      IntersectClipRect(dc, 0, 0, client.Width(), client.Height());
      sd->PaintSkipped = false;
      PaintToDC(dc);
      if (PlainMode()) sd->CacheBmp.reset();
      return true;
    }
    case WM_SIZE:
    case CM_VISIBLECHANGED:
      sd->BGChanged = true;
      return false;
    default:
      return false;
  }
}

void TsScrollBox::AfterMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_SIZE:
      if (HandleAllocated())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
      [[fallthrough]];
    case WM_WINDOWPOSCHANGED:
    case CM_CONTROLLISTCHANGE:
    case WM_MOUSEWHEEL:
      if (adapter_ != nullptr) UpdateScrollBarInfo(adapter_, true);
      return;
    case CM_SHOWINGCHANGED:
      FreeAdapter(adapter_);
      UpdateScrollWndAdapter(SkinData(), adapter_);
      return;
    default:
      return;
  }
}

}  // namespace kv
