#include "skin/forms/acBorderForm_win.h"

#include <windowsx.h>

#include <cstring>
#include <memory>

#include "classlib/PlatformCalls.h"
#include "skin/core/acPlatform.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/forms/sSkinProviderGeometry.h"
#include "skin/forms/sSkinProviderHitTest.h"
#include "skin/graphics/acGlow.h"
#include "skin/graphics/acPNG.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"

namespace kv {

namespace {

// Never skinned itself.
constexpr intptr_t kAuxFormTag = -98;
// The companion's own answer outside the shadow: every click there is
// non-client and goes to the owner.
constexpr int kHitObject = HTOBJECT;
constexpr UINT kMouseMessages = 10;  // WM_MOUSEFIRST .. WM_MOUSEFIRST + 9

bool IsMouseMessage(UINT msg) {
  return msg >= WM_MOUSEFIRST && msg < WM_MOUSEFIRST + kMouseMessages;
}

TPoint LParamPoint(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

LPARAM PointLParam(TPoint p) { return MAKELPARAM(static_cast<WORD>(p.X), static_cast<WORD>(p.Y)); }

void AddExStyle(HWND wnd, LONG bits) {
  const LONG ex = GetWindowLongW(wnd, GWL_EXSTYLE);
  if ((ex & bits) != bits) SetWindowLongW(wnd, GWL_EXSTYLE, ex | bits);
}

LPCWSTR CursorFor(int code) {
  switch (code) {
    case HTCAPTION:
    case HTMENU:
      return IDC_ARROW;
    case HTLEFT:
    case HTRIGHT:
      return IDC_SIZEWE;
    case HTTOP:
    case HTBOTTOM:
      return IDC_SIZENS;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
      return IDC_SIZENWSE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
      return IDC_SIZENESW;
    default:
      return nullptr;
  }
}

}  // namespace

TRect ExtBorderShadowMargins(const TsSkinManager& manager) { return manager.ExtBorderMargins(); }

// The manager's shadow picture of the window's state round the frame.
void PaintExtBorderShadow(TBitmap& picture, const TsSkinManager& manager, const TRect& margins,
                          bool active, int borderMask) {
  if (picture.PixelFormat() != pf32bit) picture.SetPixelFormat(pf32bit);
  MakeFrameOpaque(picture, margins);
  const TsSkinData& data = manager.CommonSkinData();
  const TBitmap* shadow = manager.ExtBorderImage(active);
  if (data.BorderMode == 1 || shadow == nullptr) return;
  PaintShadowAround(picture, *shadow, Rect(0, 0, shadow->Width(), shadow->Height()), margins,
                    data.FormOffset);
  // The border's see-through corners show the shadow picture's corners
  // rather than an opaque frame colour.
  const TsSkinModel& skin = manager.Skin();
  if (!skin.IsMaskIndexValid(borderMask)) return;
  const int l = skin.MaskMarginLeft(borderMask), t = skin.MaskMarginTop(borderMask);
  const int r = skin.MaskMarginRight(borderMask), d = skin.MaskMarginBottom(borderMask);
  // The top corners take at most 8 pixels each way, the bottom ones the margins.
  const int tl = std::min(l, 8), tt = std::min(t, 8), tr = std::min(r, 8);
  const int cw = picture.Width(), ch = picture.Height();
  const int sw = shadow->Width(), sh = shadow->Height();
  const TRect& s = margins;
  TBitmap* src = const_cast<TBitmap*>(shadow);  // only read
  CopyWhereMaskTransparent(&picture, src, Rect(s.Left, s.Top, s.Left + tl, s.Top + tt), mpTopLeft,
                           &skin, borderMask, {s.Left, s.Top});
  CopyWhereMaskTransparent(&picture, src, Rect(cw - s.Right - tr, s.Top, cw - s.Right, s.Top + tt),
                           mpTopRight, &skin, borderMask, {sw - s.Right - tr, s.Top});
  CopyWhereMaskTransparent(&picture, src,
                           Rect(s.Left, ch - s.Bottom - d, s.Left + l, ch - s.Bottom), mpBottomLeft,
                           &skin, borderMask, {s.Left, sh - s.Bottom - d});
  CopyWhereMaskTransparent(&picture, src,
                           Rect(cw - s.Right - r, ch - s.Bottom - d, cw - s.Right, ch - s.Bottom),
                           mpBottomRight, &skin, borderMask, {sw - s.Right - r, sh - s.Bottom - d});
}

bool BorderWindowDrawsFrame(const TsSkinManager& manager, bool borderForm) {
  return borderForm && manager.CommonSkinData().BorderMode == 1;
}

void PaintBorderModeFrame(TBitmap& picture, const TsSkinManager& manager, const TRect& margins,
                          bool active, int sideBorder, const std::function<void()>& paintTitle) {
  if (picture.PixelFormat() != pf32bit) picture.SetPixelFormat(pf32bit);
  MakeFrameOpaque(picture, margins);
  if (const TBitmap* shadow = manager.ExtBorderImage(active)) {
    const TsSkinModel& skin = manager.Skin();
    const int index = skin.CommonIndexes.ExBorder;
    TRect m{};
    if (skin.IsMaskIndexValid(index)) {
      const TsMaskData& mask = skin.MaskData[static_cast<size_t>(index)];
      m = {std::min<int>(mask.WL, sideBorder + margins.Left), mask.WT,
           std::min<int>(mask.WR, sideBorder + margins.Right), mask.WB};
    }
    const int stretch[4] = {1, 1, 1, 1};
    StretchBitmapNinePart(&picture, const_cast<TBitmap*>(shadow),  // only read
                          Rect(0, 0, picture.Width(), picture.Height()),
                          Rect(0, 0, shadow->Width(), shadow->Height()), m, m, stretch, true, true);
  }
  const TBitmap kept(picture);
  paintTitle();
  for (int y = 0; y < picture.Height(); ++y) {
    std::uint8_t* p = picture.ScanLine(y);
    const std::uint8_t* k = kept.ScanLine(y);
    for (int x = 0; x < picture.Width(); ++x)
      if (std::memcmp(p + 4 * x, k + 4 * x, 4) != 0) p[4 * x + 3] = 255;
  }
}

// The companion form: its window procedure is the border window's.
class TacBorderForm::TCompanion : public TForm {
 public:
  TCompanion(TComponent* owner, TacBorderForm* border) : TForm(owner), border_(border) {}
  // The form's own procedure, which the border window falls back on.
  void SavedWndProc(TMessage& m) { TForm::WndProc(m); }
  // Its procedure runs (a click passed on to the owner may be on the stack).
  bool Busy() const { return depth_ > 0; }
  bool Serves(const TacBorderForm* border) const { return border_ == border; }
  // The border window goes. The window goes with it unless its procedure
  // is on the stack (a click passed on closed the owner): then it is only
  // hidden, knows the border window no more, and frees itself once that
  // procedure has returned. True when it is left to free itself.
  bool Close() {
    border_ = nullptr;
    if (!Busy()) {
      if (HandleAllocated()) DestroyHandle();
      return false;
    }
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
    Release();
    return true;
  }

 protected:
  void WndProc(TMessage& m) override {
    if (border_ == nullptr) {
      TForm::WndProc(m);
      return;
    }
    ++depth_;
    try {
      border_->BorderFormWndProc(m);
    } catch (...) {
      if (Application != nullptr) Application->HandleException(this);
    }
    --depth_;
  }

 private:
  TacBorderForm* border_;
  int depth_ = 0;
};

TacBorderForm::TacBorderForm(TacBorderFormOwner& owner) : owner_(owner) {
  companion_ = CreateOwned<TCompanion>(this);
  companion_->SetTag(kAuxFormTag);
  companion_->SetVisible(false);
  companion_->SetBorderStyle(bsNone);
  AddExStyle(companion_->Handle(), WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
}

TacBorderForm::~TacBorderForm() {
  closing_ = true;
  owner_.FreeButtonAnimations();
  if (companion_ != nullptr && companion_->Close()) companion_.release();
}

HWND TacBorderForm::Handle() const {
  return companion_ != nullptr && companion_->HandleAllocated() ? companion_->Handle() : nullptr;
}

// --- placing ------------------------------------------------------------------------------

BYTE TacBorderForm::OwnerAlpha(int fallback) const {
  // A translucent owner (layered with a constant alpha) gives its alpha to
  // its frame as well.
  HWND wnd = owner_.OwnerWnd();
  BYTE alpha = 0;
  DWORD flags = 0;
  if ((GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0 &&
      GetLayeredWindowAttributes(wnd, nullptr, &alpha, &flags) && (flags & LWA_ALPHA) != 0)
    return alpha;
  return static_cast<BYTE>(std::clamp(fallback, 0, 255));
}

void TacBorderForm::SyncWithOwner(bool repaint, int alpha) {
  HWND wnd = Handle();
  HWND ownerWnd = owner_.OwnerWnd();
  if (wnd == nullptr || syncing_ || closing_ || ownerWnd == nullptr) return;
  if (Application != nullptr && Application->Terminated()) return;
  RECT r{};
  if (!GetWindowRect(ownerWnd, &r)) return;
  switch (owner_.SyncState()) {
    case TacBorderFormOwner::TSync::Skip:
      return;
    case TacBorderFormOwner::TSync::Drop:
      // Inside the companion's own procedure it cannot go yet: hidden now,
      // the owner frees it on its way out.
      if (companion_->Busy()) {
        ShowWindow(wnd, SW_HIDE);
        return;
      }
      owner_.DropBorderForm();  // frees this object
      return;
    case TacBorderFormOwner::TSync::Hide:
      ShowWindow(wnd, SW_HIDE);
      return;
    case TacBorderFormOwner::TSync::Now:
      break;
  }
  syncing_ = true;
  struct TEnd {
    bool& flag;
    ~TEnd() { flag = false; }
  } end{syncing_};

  if (owner_.FrameImageStale()) {
    owner_.PaintFrame();
    repaint = true;
  }
  TBitmap* image = owner_.FrameImage();
  if (image == nullptr || image->Empty()) return;
  const TacBorderFormOwner::TFrameInfo info = owner_.FrameInfo();
  const TPoint origin = BorderFormOrigin({r.left, r.top}, info.Offset);
  TSize size{image->Width(), image->Height()};
  // A maximised owner's bottom shadow and border lie beyond the work area.
  if (info.Maximised) size.cy = std::max(1, size.cy - info.Shadow.Bottom - info.FrameBorder);

  if ((GetWindowLongW(ownerWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0)
    companion_->SetFormStyle(fsStayOnTop);
  UINT flags = SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING;
  const bool moved = origin != lastOrigin_;
  const bool resized = size.cx != lastSize_.cx || size.cy != lastSize_.cy;
  if (!repaint) flags |= SWP_NOREDRAW;
  if (!repaint && !resized) flags |= SWP_NOSIZE;

  auto update = PlatformCalls().UpdateLayeredWindow;
  const bool hidden = !IsWindowVisible(wnd);
  if (update == nullptr || !(repaint || moved || resized || hidden) || forwarding_) {
    SetWindowPos(wnd, ownerWnd, 0, 0, 0, 0, flags | SWP_NOMOVE | SWP_NOSIZE);
    return;
  }
  if (!(repaint || resized || hidden)) {
    // Dragged: the system moves the picture it has.
    SetWindowPos(wnd, ownerWnd, origin.X, origin.Y, 0, 0, flags | SWP_NOSIZE);
    lastOrigin_ = origin;
    return;
  }
  AddExStyle(wnd, WS_EX_LAYERED | WS_EX_NOACTIVATE);
  SetWindowPos(wnd, ownerWnd, origin.X, origin.Y, size.cx, size.cy, flags);
  lastOrigin_ = origin;
  lastSize_ = size;
  SetWindowRgn(wnd, BorderRegion(), FALSE);  // the system owns the region now
  const BYTE constant = OwnerAlpha(alpha);
  Push(wnd, origin, size, constant);
  if (!IsWindowVisible(wnd)) {
    // Fully transparent: the owner stays unseen while its frame comes up.
    const bool hideOwner = constant == 0;
    const LONG style = GetWindowLongW(ownerWnd, GWL_STYLE);
    if (hideOwner) SetWindowLongW(ownerWnd, GWL_STYLE, style & ~WS_VISIBLE);
    ShowWindow(wnd, SW_SHOWNOACTIVATE);
    if (hideOwner)
      SetWindowLongW(ownerWnd, GWL_STYLE, GetWindowLongW(ownerWnd, GWL_STYLE) | WS_VISIBLE);
  }
}

// The picture goes to the system premultiplied, as AC_SRC_ALPHA wants it;
// the owner's picture itself keeps straight alpha for its other readers.
void TacBorderForm::Push(HWND wnd, TPoint origin, TSize size, BYTE alpha) {
  const std::unique_ptr<TBitmap> shown = PremultipliedCopy(*owner_.FrameImage());
  HDC screen = GetDC(nullptr);
  {
    TBitmapCanvas canvas(*shown);
    POINT pos{origin.X, origin.Y};
    SIZE s{size.cx, size.cy};
    POINT src{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
    PlatformCalls().UpdateLayeredWindow(wnd, screen, &pos, &s, canvas.Handle(), &src, 0, &blend,
                                        ULW_ALPHA);
  }
  ReleaseDC(nullptr, screen);
}

HRGN TacBorderForm::BorderRegion() const {
  HWND wnd = Handle();
  if (wnd == nullptr) return nullptr;
  const TacBorderFormOwner::TFrameInfo info = owner_.FrameInfo();
  const TBitmap* image = owner_.FrameImage();
  if (image == nullptr) return nullptr;
  const std::optional<TRect> strip = BorderRegionRect({.Size = {image->Width(), image->Height()},
                                                       .Shadow = info.Shadow,
                                                       .ExtraBorder = info.ExtraBorder,
                                                       .FrameBorder = info.FrameBorder,
                                                       .Maximised = info.Maximised});
  // A translucent owner would show the picture's client part through it.
  const bool translucent = (GetWindowLongW(owner_.OwnerWnd(), GWL_EXSTYLE) & WS_EX_LAYERED) != 0 &&
                           OwnerAlpha(255) != 255;
  if (!strip && !translucent) return nullptr;
  const TRect r = strip ? *strip : Rect(0, 0, image->Width(), image->Height());
  HRGN region = CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
  if (translucent) {
    const TRect& c = info.Client;
    HRGN client = CreateRectRgn(c.Left, c.Top, c.Right, c.Bottom);
    CombineRgn(region, region, client, RGN_XOR);
    DeleteObject(client);
  }
  return region;
}

// --- the mouse ----------------------------------------------------------------------------

TPoint TacBorderForm::ToPicture(TPoint screen) const {
  RECT r{};
  GetWindowRect(Handle(), &r);
  return {screen.X - r.left, screen.Y - r.top};
}

bool TacBorderForm::InShadow(TPoint p) {
  const TBitmap* image = owner_.FrameImage();
  if (image == nullptr) return false;
  const TacBorderFormOwner::TFrameInfo info = owner_.FrameInfo();
  if (!kv::InShadow(p, {image->Width(), image->Height()}, info.Shadow, info.Maximised))
    return false;
  owner_.SetHotButton(-1, true);
  return true;
}

bool TacBorderForm::InShadowAtScreen(TPoint screen) { return InShadow(ToPicture(screen)); }

int TacBorderForm::HitTest(TPoint screen) {
  TMessage m{WM_NCHITTEST, 0, PointLParam(screen), 0};
  return HitTest(m);
}

int TacBorderForm::HitTest(TMessage& m) {
  if (const int code = owner_.ExtHitTest(m); code != 0) return code;
  // A disabled owner (a modal box open) takes no button hot and keeps none.
  const TacBorderHit hit =
      IsWindowEnabled(owner_.OwnerWnd())
          ? BorderFormHitTest(owner_.HitFrame(), ToPicture(LParamPoint(m.LParam)))
          : TacBorderHit{};
  owner_.SetHotButton(hit.TitleButton ? hit.Code : -1, true);
  return hit.Code;
}

// A click on the shadow belongs to the window below. The companion gets a
// one-pixel hole there, so that the system finds that window, which is
// given the message in its own client coordinates.
void TacBorderForm::ForwardToWindowBelow(TMessage& m) {
  HWND wnd = Handle();
  const TPoint client = LParamPoint(m.LParam);
  POINT screen{client.X, client.Y};
  ClientToScreen(wnd, &screen);
  HRGN region = BorderRegion();
  if (region == nullptr) {
    RECT r{};
    GetWindowRect(wnd, &r);
    region = CreateRectRgn(0, 0, r.right - r.left, r.bottom - r.top);
  }
  HRGN hole = CreateRectRgn(client.X, client.Y, client.X + 1, client.Y + 1);
  CombineRgn(region, region, hole, RGN_XOR);
  DeleteObject(hole);
  forwarding_ = true;
  SetWindowRgn(wnd, region, FALSE);
  HWND below = WindowFromPoint(screen);
  if (below == nullptr || below == wnd || below == owner_.OwnerWnd()) {
    forwarding_ = false;
    return;
  }
  POINT target = screen;
  ScreenToClient(below, &target);
  TCompanion* companion = companion_.get();
  m.Result = SendMessageW(below, m.Msg, m.WParam, PointLParam({target.x, target.y}));
  // The window below may have closed the owner, and this object with it.
  if (companion->Serves(this)) forwarding_ = false;
}

void TacBorderForm::DoubleClick(TMessage& m) {
  owner_.EndPendingMove();
  HWND ownerWnd = owner_.OwnerWnd();
  switch (HitTest(m)) {
    case HTCAPTION: {
      if (!owner_.TitleTogglesMaximise()) return;
      const bool restore = IsZoomed(ownerWnd) || IsIconic(ownerWnd);
      TCompanion* companion = companion_.get();
      SendMessageW(ownerWnd, WM_SYSCOMMAND, restore ? SC_RESTORE : SC_MAXIMIZE, 0);
      // The owner may have gone with its window meanwhile, and this object with it.
      if (companion->Serves(this)) owner_.AfterTitleToggle();
      return;
    }
    case HTSYSMENU:
      SendMessageW(ownerWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      return;
    default:
      return;
  }
}

void TacBorderForm::SetCursorFor(TMessage& m) {
  POINT cursor{};
  GetCursorPos(&cursor);
  const TPoint screen{cursor.x, cursor.y};
  LPCWSTR shape = InShadowAtScreen(screen) ? nullptr : CursorFor(HitTest(screen));
  if (shape == nullptr) {
    companion_->SavedWndProc(m);
    return;
  }
  SetCursor(LoadCursorW(nullptr, shape));
  m.Result = TRUE;
}

// A message passed on to the owner may close the owner, which frees this
// object before the send returns: nothing of it is touched after one.
void TacBorderForm::BorderFormWndProc(TMessage& m) {
  HWND ownerWnd = owner_.OwnerWnd();
  if (IsMouseMessage(m.Msg)) {
    if (InShadow(LParamPoint(m.LParam))) {
      ForwardToWindowBelow(m);
      return;
    }
    companion_->SavedWndProc(m);
    return;
  }
  switch (m.Msg) {
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONUP:
      // The owner finds the part itself (-1) from the screen point.
      if (!InShadowAtScreen(LParamPoint(m.LParam)))
        m.Result = SendMessageW(ownerWnd, m.Msg, static_cast<WPARAM>(-1), m.LParam);
      return;
    case WM_NCLBUTTONDBLCLK:
      DoubleClick(m);
      return;
    case WM_NCRBUTTONDOWN:
      if (!InShadowAtScreen(LParamPoint(m.LParam)))
        m.Result = SendMessageW(ownerWnd, m.Msg, static_cast<WPARAM>(HitTest(m)), m.LParam);
      return;
    case WM_NCHITTEST:
      if (!InShadowAtScreen(LParamPoint(m.LParam))) {
        m.Result = kHitObject;
        return;
      }
      companion_->SavedWndProc(m);
      return;
    case WM_MOUSEACTIVATE:
      m.Result = MA_NOACTIVATE;
      SetForegroundWindow(ownerWnd);
      return;
    case WM_SETCURSOR:
      SetCursorFor(m);
      return;
    case WM_WINDOWPOSCHANGED: {
      // A glow would stay where the button was; a new picture in place or
      // a change of order keeps it.
      const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.LParam);
      const bool hiding = pos != nullptr && (pos->flags & SWP_HIDEWINDOW) != 0;
      const bool still = pos != nullptr && (pos->flags & SWP_NOMOVE) != 0 &&
                         (pos->flags & SWP_NOSIZE) != 0;
      if (hiding || !still) owner_.FreeButtonAnimations();
      companion_->SavedWndProc(m);
      // Being hidden is no reason to come back.
      if (!forwarding_ && !hiding) SyncWithOwner(false, 255);
      return;
    }
    case WM_NCPAINT:
      m.Result = 0;
      return;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    default:
      companion_->SavedWndProc(m);
      return;
  }
}

TacBorderFormOwner::TFrameInfo TacBorderFormOwner::FrameInfoOf(const TsFrameGeometry& g) {
  return {.Offset = g.CacheOffset(),
          .Shadow = g.State.ShadowMargins,
          .ExtraBorder = g.ExtraBorderWidth(),
          .FrameBorder = g.FrameBorderWidth(false),
          .Maximised = (g.IsMaximized)(),  // in brackets: windowsx.h has a macro of that name
          .Client = g.ClientRect()};
}

}  // namespace kv
