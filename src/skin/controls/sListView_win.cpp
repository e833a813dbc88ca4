#include "skin/controls/sListView_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "skin/controls/sEdit_win.h"
#include "skin/controls/sLabel_win.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"

namespace kv {

namespace {

constexpr int ControlTypeListView = 10;

// A column given without an image keeps the header from reserving room for
// one. The caller's record is left as it was.
template <class Column>
bool DropEmptyImage(TMessage& m, Column& copy) {
  if (m.LParam == 0) return false;
  copy = *reinterpret_cast<const Column*>(m.LParam);
  if ((copy.mask & LVCF_IMAGE) == 0 || copy.iImage != -1) return false;
  copy.mask &= ~static_cast<UINT>(LVCF_IMAGE);
  m.LParam = reinterpret_cast<LPARAM>(&copy);
  return true;
}

}  // namespace

TsListView::TsListView(TComponent* owner)
    : TsSkinnedControl<TListView>(owner, ControlTypeListView, true, ccEditLike),
      boundLabel_(std::make_unique<TsBoundLabel>(SkinData())) {
  SkinData()->BGChanged = true;
}

TsListView::~TsListView() {
  FreeAdapter(adapter_);
  header_.Release();
  RemoveCustomDraw();
  boundLabel_.reset();
}

// --- colours and custom draw -----------------------------------------------------------

void TsListView::ApplySkinColors() { ApplySectionColorsTo(SkinData(), false); }

void TsListView::InstallCustomDraw() {
  if (drawInstalled_) return;
  userDraw_ = OnAdvancedCustomDraw;
  OnAdvancedCustomDraw = [this](TListView*, const TRect& r, TCustomDrawStage stage,
                                bool& defaultDraw) { CustomDraw(r, stage, defaultDraw); };
  drawInstalled_ = true;
}

void TsListView::RemoveCustomDraw() {
  if (!drawInstalled_) return;
  OnAdvancedCustomDraw = userDraw_;
  userDraw_ = nullptr;
  drawInstalled_ = false;
}

void TsListView::CustomDraw(const TRect& r, TCustomDrawStage stage, bool& defaultDraw) {
  if (userDraw_) return userDraw_(this, r, stage, defaultDraw);
  if (stage == cdPostPaint || stage == cdPostErase) {
    defaultDraw = false;
    return;
  }
  defaultDraw = true;
  TsCommonData* sd = SkinData();
  if (!SkinAvailable(sd, true)) return;
  sd->Updating = PaintingSuspended(sd);
  if (sd->Updating) return;
  if (sd->BGChanged) PrepareCache();
  if (!sd->CustomColor()) {
    const TColor c = SkinnedBgColor(sd, false, Handle());
    if (Color() != c) SetColor(c);
  }
  if (stage == cdPreErase) defaultDraw = false;
}

void TsListView::PrepareCache() {
  TsCommonData* sd = SkinData();
  PrepareCacheBitmap(sd);
  if (sd->CacheBmp->Empty()) return;
  PaintSkinDataItemOnParent(sd, Parent(), true, 0, {0, 0, Width(), Height()}, {Left(), Top()},
                            sd->CacheBmp.get());
  sd->BGChanged = false;
}

// --- window ----------------------------------------------------------------------------

void TsListView::CreateHandleDone() {
  TListView::CreateHandleDone();
  TsCommonData* sd = SkinData();
  SkinDataLoaded(sd);
  // The header is made inside the list's own creation, before any notice.
  if (HWND header = FindListHeader(Handle()); header != nullptr) header_.Hook(header);
  if (SkinAvailable(sd, true)) {
    ApplySkinColors();
    UpdateEditWndAdapter(sd, adapter_);
  }
  InstallCustomDraw();
}

void TsListView::DestroyWnd() {
  header_.Release();
  TListView::DestroyWnd();
}

TacHeaderLook TsListView::Look() const {
  TacHeaderLook look;
  look.Header = header_.Handle();
  look.List = const_cast<TsListView*>(this)->Handle();
  look.Manager = SkinData()->SkinManager();
  look.Hot = ColumnClick() ? hot_ : -1;
  look.Pressed = ColumnClick() ? pressed_ : -1;
  look.Images = SmallImages();
  look.Enabled = Enabled();
  look.Color = Color();
  look.InsetText = false;
  return look;
}

// The list's painting is held while it takes a new look only when it can be
// seen: a list in a hidden or frozen window paints anew when it shows, and
// ending the hold makes the list lay out and invalidate itself again.
bool TsListView::HoldPainting() { return HandleAllocated() && IsWindowVisible(Handle()); }

void TsListView::RepaintHeader() {
  if (header_.Handle() != nullptr) InvalidateRect(header_.Handle(), nullptr, FALSE);
}

void TsListView::SetHot(int column) {
  if (hot_ == column) return;
  hot_ = column;
  RepaintHeader();
}

LRESULT TsListView::HeaderMessage(HWND header, UINT msg, WPARAM wParam, LPARAM lParam) {
  TsCommonData* sd = SkinData();
  if (ViewStyle() != vsReport || sd == nullptr || !SkinAvailable(sd, true))
    return header_.CallPrev(msg, wParam, lParam);
  switch (msg) {
    case WM_NCHITTEST: {
      const LRESULT r = header_.CallPrev(msg, wParam, lParam);
      if (ColumnClick() && highlightHeaders_) {
        POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::ScreenToClient(header, &p);
        SetHot(std::max(HeaderColumnAt(header, {p.x, p.y}), -1));
      }
      return r;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = wParam != 0 ? reinterpret_cast<HDC>(wParam) : BeginPaint(header, &ps);
      PaintHeader(Look(), dc);
      if (wParam == 0) EndPaint(header, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PRINT:
    case WM_PRINTCLIENT:
      if (wParam != 0) PaintHeader(Look(), reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_NCDESTROY: {
      const LRESULT r = header_.CallPrev(msg, wParam, lParam);
      header_.Forget();
      return r;
    }
    case WM_LBUTTONUP:
      if (ColumnClick()) {
        pressed_ = -1;
        dragging_ = false;
        RepaintHeader();
      }
      break;
    case WM_MOUSEMOVE: {
      const LRESULT r = header_.CallPrev(msg, wParam, lParam);
      // A column being sized moves the content under the bars.
      if (dragging_ && adapter_ != nullptr) UpdateScrollBarInfo(adapter_, true);
      return r;
    }
    case WM_LBUTTONDOWN: {
      const LRESULT r = header_.CallPrev(msg, wParam, lParam);
      if (ColumnClick()) {
        dragging_ = true;
        pressed_ = HeaderPressedColumn(header, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        RepaintHeader();
      }
      return r;
    }
    default:
      break;
  }
  return header_.CallPrev(msg, wParam, lParam);
}

void TsListView::WndProc(TMessage& m) {
  LVCOLUMNW column;
  switch (m.Msg) {
    case CM_MOUSEENTER:
      if (m.LParam == 0 && !RunEvent(OnMouseEnter)) return;
      break;
    case CM_MOUSELEAVE:
      if (m.LParam == 0) {
        if (!RunEvent(OnMouseLeave)) return;
        SetHot(-1);
      }
      break;
    case WM_PARENTNOTIFY:
      if (LOWORD(m.WParam) == WM_CREATE || LOWORD(m.WParam) == WM_DESTROY) {
        HWND child = reinterpret_cast<HWND>(m.LParam);
        if (IsHeaderWindow(child)) {
          if (LOWORD(m.WParam) == WM_CREATE)
            header_.Hook(child);
          else if (child == header_.Handle())
            header_.Release();
        }
      }
      break;
    case LVM_SETCOLUMNW:
    case LVM_INSERTCOLUMNW:
      if (SkinAvailable(SkinData(), true)) DropEmptyImage(m, column);
      break;
    default:
      break;
  }
  TsSkinnedControl<TListView>::WndProc(m);
}

// The bound label follows after every message, unless a handler freed the list.
void TsListView::MessageDone(TMessage& m) {
  if (boundLabel_) boundLabel_->FollowControl(m);
}

TacCommandOutcome TsListView::SkinCommand(TMessage& m) {
  TsCommonData* sd = SkinData();
  const bool ownManager = reinterpret_cast<TsSkinManager*>(m.LParam) == sd->SkinManager();
  // The adapter gives back the colours it found: the skin's own.
  const auto plainLook = [&] {
    FreeAdapter(adapter_);
    if (!sd->CustomColor()) SetColor(clWindow);
    if (!sd->CustomFont()) Font()->SetColor(clWindowText);
  };
  switch (m.WParamHi()) {
    case cmdSkinRemoved: {
      if (!ownManager) break;
      const bool hold = HoldPainting();
      if (hold) Items()->BeginUpdate();
      plainLook();
      HandleSkinCommand(m, sd);
      if (hold) Items()->EndUpdate();
      if (HandleAllocated())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
      return coAnswered;
    }
    case cmdSkinLoaded:
    case cmdSkinRefresh: {
      if (!ownManager) break;
      const bool hold = HoldPainting();
      if (hold) Items()->BeginUpdate();
      HandleSkinCommand(m, sd);
      if (SkinAvailable(sd, true) && HandleAllocated()) {
        ApplySkinColors();
        UpdateEditWndAdapter(sd, adapter_);
      } else if (!SkinAvailable(sd, false)) {
        // A skin without the list's section: the plain look, as with no skin.
        plainLook();
      }
      if (hold) Items()->EndUpdate();
      if (HandleAllocated()) {
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
        RepaintHeader();
      }
      return coAnswered;
    }
    case cmdParentPainted:
      RepaintHeader();
      break;
    case cmdBeforeScroll:
      // The skinned bars then send whole positions.
      m.Result = 1;
      return coAnswered;
    default:
      break;
  }
  return HandleSkinCommand(m, sd);
}

bool TsListView::SkinnedMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      // The list's own repaint of the focus is held; the selected row alone
      // is redrawn after, in the skin's colours.
      const TLifeToken life = LifeToken();
      {
        const TRedrawLock lock(this);
        if (!PreviewControlMessage(m, SkinData())) TListView::WndProc(m);
      }
      // OnEnter or OnExit may have freed the list.
      if (!life.Alive()) return true;
      const int selected = static_cast<int>(SendMessageW(
          Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
      RECT row{LVIR_BOUNDS, 0, 0, 0};
      if (selected >= 0 && SendMessageW(Handle(), LVM_GETITEMRECT, static_cast<WPARAM>(selected),
                                        reinterpret_cast<LPARAM>(&row)) != 0)
        RedrawWindow(Handle(), &row, nullptr, RDW_INVALIDATE | RDW_ERASE);
      return true;
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
      if (LOWORD(m.WParam) == SB_THUMBTRACK) {
        ListViewThumbTrack(Handle(), ViewStyle(), m.Msg == WM_VSCROLL, ScrollMessagePosition(m));
        if (adapter_ != nullptr) UpdateScrollBarInfo(adapter_, true);
        if (m.Msg == WM_HSCROLL) RepaintHeader();
        m.Result = 0;
        return true;
      }
      // A non-zero LParam would name a scroll-bar control.
      m.LParam = 0;
      return false;
    case WM_ERASEBKGND:
      if (!PaintingSuspended(SkinData())) return false;
      m.Result = 1;
      return true;
    default:
      // The system list view paints its items itself.
      return false;
  }
}

void TsListView::AfterMessage(TMessage& m) {
  TsCommonData* sd = SkinData();
  switch (m.Msg) {
    case WM_NCPAINT:
      RepaintHeader();
      break;
    case WM_NCHITTEST:
      // The pointer is over the list, not the header.
      if (highlightHeaders_) SetHot(-1);
      break;
    case WM_PRINT:
      if (ViewStyle() == vsReport && adapter_ != nullptr)
        PrintListHeader(Look(), reinterpret_cast<HDC>(m.WParam), adapter_->FrameWidths.Left);
      break;
    case CM_SHOWINGCHANGED:
      // Shown again: flat bars off and a fresh adapter reading the bars anew.
      if (HasState(csDestroying) || !HandleAllocated()) break;
      FreeAdapter(adapter_);
      UpdateEditWndAdapter(sd, adapter_);
      break;
    case WM_MOVE:
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
    case CM_COLORCHANGED:
      // The frame shows the parent's background at the new place, the new
      // state and colour: through the window, so that its adapter paints it.
      if (!HasState(csDestroying) && HandleAllocated()) SendMessageW(Handle(), WM_NCPAINT, 0, 0);
      break;
    case LVM_INSERTITEMW:
    case LVM_DELETEITEM:
    case LVM_DELETEALLITEMS:
    case LVM_UPDATE:
    case WM_STYLECHANGED:
      // A hidden list's bars are read again when it shows.
      if (adapter_ != nullptr && !HasState(csDestroying) && IsWindowVisible(Handle()) &&
          !PaintingSuspended(sd))
        UpdateScrollBarInfo(adapter_, true);
      break;
    default:
      break;
  }
}

}  // namespace kv
