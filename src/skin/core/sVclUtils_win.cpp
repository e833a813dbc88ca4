#include "skin/core/sVclUtils_win.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

#include "classlib/Forms.h"
#include "classlib/Graphics.h"
#include "classlib/Tabs.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sFade_win.h"
#include "skin/core/sStyleSimply_win.h"
#include "skin/graphics/sGlyphUtils_win.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/model/sConst.h"

namespace kv {

namespace {

// The addresses the toolkit is sending on this thread, innermost first.
thread_local const TOwnAddress* ownAddresses = nullptr;

}  // namespace

TOwnAddress::TOwnAddress(LPARAM address) : address_(address), outer_(ownAddresses) {
  ownAddresses = this;
}

TOwnAddress::~TOwnAddress() { ownAddresses = outer_; }

bool TOwnAddress::Holds(LPARAM address) {
  for (const TOwnAddress* a = ownAddresses; a != nullptr; a = a->outer_)
    if (a->address_ == address) return true;
  return false;
}

bool CommandCarriesAddress(unsigned code) {
  return code == cmdGetBackground || code == cmdOfferFadeImage || code == cmdAdaptControl;
}

bool RefuseForeignAddress(TMessage& m) {
  if (m.Msg != SM_ALPHACMD || m.LParam == 0 || !CommandCarriesAddress(m.WParamHi())) return false;
  // Sent within this thread (posted ones never get here): the sender's
  // memory is ours.
  if (InSendMessageEx(nullptr) == ISMEX_NOSEND || TOwnAddress::Holds(m.LParam)) return false;
  m.Result = 0;
  return true;
}

namespace {

// Anyone may post to a window, and the toolkit never posts these: they
// become WM_NULL before any loop of the thread dispatches them.
LRESULT CALLBACK DropPostedAddress(int code, WPARAM removal, LPARAM lParam) {
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && removal == PM_REMOVE && msg->message == SM_ALPHACMD &&
      msg->lParam != 0 && CommandCarriesAddress(HIWORD(msg->wParam)))
    msg->message = WM_NULL;
  return CallNextHookEx(nullptr, code, removal, lParam);
}

}  // namespace

void FilterPostedAddressCommands() {
  // Once per thread; the system takes the hook off when the thread ends.
  thread_local const HHOOK hook =
      SetWindowsHookExW(WH_GETMESSAGE, DropPostedAddress, nullptr, GetCurrentThreadId());
  (void)hook;
}

LRESULT SendCommandToWindow(HWND wnd, unsigned code, LPARAM lParam) {
  const TOwnAddress own(lParam);
  return SendMessageW(wnd, SM_ALPHACMD, CommandWParam(code), lParam);
}

namespace {

bool Destroying(const TComponent* c) { return c->HasState(csDestroying); }

}  // namespace

LRESULT SendCommandToControl(TControl* control, unsigned code, LPARAM lParam) {
  if (control == nullptr) return 0;
  auto* win = dynamic_cast<TWinControl*>(control);
  if (win == nullptr) {
    const TOwnAddress own(lParam);
    return control->Perform(SM_ALPHACMD, CommandWParam(code), lParam);
  }
  if (Destroying(win) || !win->HandleAllocated()) return 0;
  return SendCommandToWindow(win->Handle(), code, lParam);
}

LRESULT QueryControlCommand(TControl* control, unsigned code) {
  return SendCommandToControl(control, code, 0);
}

bool WindowAnswersCommand(HWND wnd, unsigned code) {
  return wnd != nullptr && SendCommandToWindow(wnd, code, 0) == 1;
}

void AskFormToAdaptControl(TControl* control) {
  if (control == nullptr || control->HasState(csLoading | csDesigning)) return;
  TCustomForm* form = control->GetParentForm();
  if (form == nullptr || !form->HandleAllocated()) return;
  SendCommandToWindow(form->Handle(), cmdAdaptControl, reinterpret_cast<LPARAM>(control));
}

TColor QueryControlBgColor(TControl* control) {
  if (control == nullptr) return TransparentColor;
  TColor color = control->Color();
  if ((QueryControlCommand(control, cmdIsSkinned) & 0xFF) == 1)
    color = static_cast<TColor>(
        control->Perform(SM_ALPHACMD, CommandWParam(cmdGetBgColor), TransparentColor));
  return static_cast<TColor>(ColorToRGB(color));
}

TColor QueryWindowBgColor(HWND wnd) {
  if (wnd == nullptr) return TransparentColor;
  return static_cast<TColor>(
      ColorToRGB(static_cast<TColor>(SendCommandToWindow(wnd, cmdGetBgColor, TransparentColor))));
}

namespace {

// Compares pointers only: a child freed meanwhile must not be touched.
bool IsChildOf(const TWinControl* parent, const TControl* child) {
  for (int i = 0; i < parent->ControlCount(); ++i)
    if (parent->Controls(i) == child) return true;
  return false;
}

}  // namespace

void BroadcastToChildren(TWinControl* parent, TMessage& message) {
  if (parent == nullptr) return;
  // A receiver may free, add or re-create children (a bar arranging its
  // items, a list re-creating its window): the children of the start each
  // get the message once, and one freed meanwhile is skipped.
  std::vector<TControl*> children;
  children.reserve(static_cast<size_t>(parent->ControlCount()));
  for (int i = 0; i < parent->ControlCount(); ++i) children.push_back(parent->Controls(i));
  for (TControl* child : children) {
    if (!IsChildOf(parent, child)) continue;
    if (Destroying(child)) return;
    auto* win = dynamic_cast<TWinControl*>(child);
    if (win == nullptr || !win->HandleAllocated()) {
      child->Perform(message.Msg, message.WParam, message.LParam);
    } else if (WindowAnswersCommand(win->Handle(), cmdIsSkinned)) {
      SendMessageW(win->Handle(), message.Msg, message.WParam, message.LParam);
    } else if (!StopsChildBroadcast(win)) {
      BroadcastToChildren(win, message);
    }
  }
}

void SendToProviderOfForm(TCustomForm* form, TMessage& message) {
  if (form == nullptr) return;
  for (int i = 0; i < form->ComponentCount(); ++i) {
    TComponent* component = form->Components(i);
    auto* provider = dynamic_cast<TacFormProvider*>(component);
    if (provider == nullptr || Destroying(component)) continue;
    provider->ReceiveMessage(message);
    return;
  }
}

namespace {

struct ChildWindowsCtx {
  HWND parent;
  TMessage* message;
};

BOOL CALLBACK SendToDirectChild(HWND child, LPARAM data) {
  auto* c = reinterpret_cast<ChildWindowsCtx*>(data);
  if (GetParent(child) == c->parent)
    SendMessageW(child, c->message->Msg, c->message->WParam, c->message->LParam);
  return TRUE;
}

}  // namespace

void SendToChildWindows(HWND wnd, TMessage& message) {
  ChildWindowsCtx ctx{wnd, &message};
  EnumChildWindows(wnd, SendToDirectChild, reinterpret_cast<LPARAM>(&ctx));
}

namespace {

bool GraphicChildPaintable(TControl* child, HDC dc) {
  if (dynamic_cast<TGraphicControl*>(child) == nullptr) return false;
  if (!child->Visible() && !child->HasState(csDesigning)) return false;
  if (child->Width() < 1 || child->Height() < 1) return false;
  if ((child->ControlStyle() & csNoDesignVisible) != 0 || Destroying(child)) return false;
  const RECT bounds{child->Left(), child->Top(), child->Left() + child->Width(),
                    child->Top() + child->Height()};
  return RectVisible(dc, &bounds) != FALSE;
}

// Copies r from the picture to DC, leaving out the pixels of the key colour
// (0xFF00FF): a child may leave holes in what it paints.
void CopyWithoutKeyColour(HDC dc, HDC from, const TBitmap& picture, const RECT& r) {
  constexpr std::uint32_t kKey = 0xFF00FF;
  for (int y = r.top; y < r.bottom; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(picture.ScanLine(y));
    int x = r.left;
    while (x < r.right) {
      while (x < r.right && (row[x] & 0xFFFFFF) == kKey) ++x;
      const int start = x;
      while (x < r.right && (row[x] & 0xFFFFFF) != kKey) ++x;
      if (x > start) BitBlt(dc, start, y, x - start, 1, from, start, y, SRCCOPY);
    }
  }
}

}  // namespace

namespace {

// The parent whose aligned graphic children are being told to repaint: a
// child that repaints through its parent's painting must not be told again.
TWinControl* repaintingChildrenOf = nullptr;

// An MDI main form's client window lies over its client area: its aligned
// graphic children (bars along its edges) repaint themselves at once too.
bool RepaintsAlignedChildrenNow(TWinControl* parent) {
  const auto* form = dynamic_cast<TCustomForm*>(parent);
  return form != nullptr && form->FormStyle() == fsMDIForm && repaintingChildrenOf != parent;
}

}  // namespace

void PaintChildGraphics(TWinControl* parent, HDC dc) {
  if (parent == nullptr || dc == nullptr) return;
  if (!parent->Visible() && !parent->HasState(csDesigning)) return;
  if (parent->ControlCount() == 0) return;
  RECT clip{};
  if (GetClipBox(dc, &clip) == NULLREGION) {
    if (parent->HandleAllocated()) SendCommandToWindow(parent->Handle(), cmdSetPaintSkipped, 0);
    return;
  }
  TsBgRequest background;
  GetControlBackgroundInfo(background, parent, false);
  const TRect client = parent->ClientRect();
  if (client.Width() < 1 || client.Height() < 1) return;
  // The parent's client area, made on the first child that paints: each
  // child over its background there, then copied to DC.
  std::unique_ptr<TBitmap> picture;
  std::unique_ptr<TBitmapCanvas> canvas;
  HDC mem = nullptr;
  std::vector<RECT> painted;
  const bool repaintAligned = RepaintsAlignedChildrenNow(parent);
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* child = parent->Controls(i);
    if (dynamic_cast<TGraphicControl*>(child) == nullptr) continue;
    if (!GraphicChildPaintable(child, dc)) {
      if (child->Visible() && !Destroying(child)) SendCommandToControl(child, cmdSetPaintSkipped, 0);
      continue;
    }
    if (repaintAligned && child->Align() != alNone) {
      struct Restore {
        TWinControl* outer;
        ~Restore() { repaintingChildrenOf = outer; }
      } restore{std::exchange(repaintingChildrenOf, parent)};
      child->Perform(SM_ALPHACMD, CommandWParam(cmdRepaintNow), 0);
    }
    if (mem == nullptr) {
      picture = std::make_unique<TBitmap>(client.Width(), client.Height(), pf32bit);
      canvas = std::make_unique<TBitmapCanvas>(*picture);
      mem = canvas->Handle();
    }
    RECT r{child->Left(), child->Top(), child->Left() + child->Width(),
           child->Top() + child->Height()};
    if ((child->ControlStyle() & csOpaque) != 0) {
      TColor color = QueryControlBgColor(child);
      if (color == TransparentColor) color = child->Color();
      FillRectWithColor(mem, Rect(r.left, r.top, r.right, r.bottom),
                        static_cast<TColor>(ColorToRGB(color)));
    } else if (background.BgType == btBitmap && background.Bmp != nullptr) {
      TBitmapCanvas from(*background.Bmp);
      BitBlt(mem, r.left, r.top, r.right - r.left, r.bottom - r.top, from.Handle(),
             background.Offset.X + r.left, background.Offset.Y + r.top, SRCCOPY);
    } else {
      const TColor color = background.BgType == btColor ? background.Color : parent->Color();
      FillRectWithColor(mem, Rect(r.left, r.top, r.right, r.bottom),
                        static_cast<TColor>(ColorToRGB(color)));
    }
    {
      const int saved = SaveDC(mem);
      SetWindowOrgEx(mem, -r.left, -r.top, nullptr);
      IntersectClipRect(mem, 0, 0, child->Width(), child->Height());
      const bool copy = (parent->ControlState() & csPaintCopy) != 0;
      if (copy) child->SetControlState(child->ControlState() | csPaintCopy);
      child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
      if (copy) child->SetControlState(child->ControlState() & ~csPaintCopy);
      RestoreDC(mem, saved);
    }
    painted.push_back(r);
  }
  if (mem == nullptr) return;
  GdiFlush();
  const RECT inside{0, 0, client.Width(), client.Height()};
  for (RECT r : painted) {
    if (IntersectRect(&r, &r, &inside)) CopyWithoutKeyColour(dc, mem, *picture, r);
  }
}

void ResumeChildrenPainting(TWinControl* parent) {
  // Frozen forms repaint as a whole when they are unlocked.
  if (parent == nullptr || GlobalRedrawLock) return;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* child = parent->Controls(i);
    if (Destroying(child) || dynamic_cast<TGraphicControl*>(child) != nullptr) continue;
    auto* win = dynamic_cast<TWinControl*>(child);
    if (win == nullptr)
      SendCommandToControl(child, cmdParentPainted, 0);
    else if (win->HandleAllocated() && win->Showing())
      SendCommandToWindow(win->Handle(), cmdParentPainted, 0);
  }
}

void ResumeChildWindowsPainting(HWND wnd) {
  for (HWND child = GetTopWindow(wnd); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
    if (GetWindowLongW(child, GWL_STYLE) & WS_CHILD)
      SendCommandToWindow(child, cmdParentPainted, 0);
}

bool ControlReadyToPaint(TControl* control) {
  if (control == nullptr || control->Parent() == nullptr) return false;
  if (auto* win = dynamic_cast<TWinControl*>(control); win != nullptr && !win->HandleAllocated())
    return false;
  if (control->ControlState() & (csReadingState | csCreating)) return false;
  return !control->HasState(csLoading | csDestroying);
}

TCustomForm* OwnerForm(TComponent* component) {
  for (TComponent* c = component; c != nullptr; c = c->Owner())
    if (auto* form = dynamic_cast<TCustomForm*>(c)) return form;
  return nullptr;
}

TCustomFrame* OwnerFrame(TComponent* component) {
  for (TComponent* c = component; c != nullptr; c = c->Owner())
    if (auto* frame = dynamic_cast<TCustomFrame*>(c)) return frame;
  return nullptr;
}

UINT DrawTextBiDiModeFlags(const TControl* control, UINT flags) {
  if (control == nullptr) return flags;
  if (control->UseRightToLeftAlignment()) {
    if ((flags & DT_RIGHT) != 0)
      flags &= ~UINT(DT_RIGHT);
    else if ((flags & DT_CENTER) == 0)
      flags |= DT_RIGHT;
  }
  return control->UseRightToLeftReading() ? flags | DT_RTLREADING : flags;
}

UINT AlignmentTextFlags(TControl* control, TAlignment alignment) {
  static constexpr UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  return DrawTextBiDiModeFlags(control, kAlign[alignment] | DT_EXPANDTABS | DT_VCENTER);
}

void ClientRectInWindow(HWND wnd, RECT& rect) {
  RECT window{};
  GetWindowRect(wnd, &window);
  GetClientRect(wnd, &rect);
  POINT origin{0, 0};
  MapWindowPoints(wnd, nullptr, &origin, 1);
  OffsetRect(&rect, origin.x - window.left, origin.y - window.top);
}

int AlignedChildrenSize(TWinControl* parent, TAlign align, bool countGraphic) {
  int size = 0;
  for (int i = 0; parent != nullptr && i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (!c->Visible() || c->Align() != align) continue;
    if (!countGraphic && dynamic_cast<TWinControl*>(c) == nullptr) continue;
    if (align == alTop || align == alBottom) size += c->Height();
    if (align == alLeft || align == alRight) size += c->Width();
  }
  return size;
}

HWND TopParentWindow(HWND wnd) {
  for (HWND parent = GetParent(wnd); parent != nullptr; parent = GetParent(wnd)) wnd = parent;
  return wnd;
}

void CursorPoint(POINT& point) { GetCursorPos(&point); }

// --- animated showing -----------------------------------------------------------------

std::unique_ptr<TBitmap> SnapshotBitmap;
TOutputWindow* SnapshotCover = nullptr;

namespace {

constexpr TColor OutputWindowColor = 0x800080;
constexpr unsigned FrameMs = 8;
// The animation blocks the thread without pumping: never much past a second.
constexpr int MaxAnimationSteps = 1000 / FrameMs;

void CopyToDC(HDC dc, TBitmap& bitmap) {
  TBitmapCanvas canvas(bitmap);
  BitBlt(dc, 0, 0, bitmap.Width(), bitmap.Height(), canvas.Handle(), 0, 0, SRCCOPY);
}

}  // namespace

TOutputWindow::TOutputWindow(TComponent* owner) : TCustomControl(owner) {
  SetText("acOutputWindow");
  SetVisible(false);
  SetColor(OutputWindowColor);
}

TOutputWindow::~TOutputWindow() {
  if (SnapshotCover == this) SnapshotCover = nullptr;
}

void TOutputWindow::CreateParams(TCreateParams& params) {
  TCustomControl::CreateParams(params);
  if (Parent()) return;
  params.Style = WS_POPUP;
  auto* owner = dynamic_cast<TWinControl*>(Owner());
  if (owner && owner->HandleAllocated() &&
      (GetWindowLongPtrW(owner->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST))
    params.ExStyle |= WS_EX_TOPMOST;
  params.WndParent = Application ? Application->Handle() : nullptr;
}

void TOutputWindow::Dispatch(TMessage& message) {
  switch (message.Msg) {
    case WM_ERASEBKGND:
      message.Result = 1;
      return;
    case WM_NCPAINT:
      message.Result = 0;
      return;
    case WM_PAINT: {
      // Nothing is painted, but the update region must go.
      PAINTSTRUCT ps;
      BeginPaint(Handle(), &ps);
      EndPaint(Handle(), &ps);
      return;
    }
    default:
      TCustomControl::Dispatch(message);
  }
}

void SetChildOrderAfter(TWinControl* cover, TWinControl* control) {
  if (!cover->HandleAllocated() || !control->HandleAllocated()) return;
  if (GetParent(cover->Handle()) != GetParent(control->Handle())) return;
  HWND above = GetWindow(control->Handle(), GW_HWNDPREV);
  SetWindowPos(cover->Handle(), above ? above : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void ShowSnapshotCover(TWinControl* control) {
  RECT r;
  GetWindowRect(control->Handle(), &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  // A snapshot left from another control of another size would not fit.
  if (SnapshotBitmap && (SnapshotBitmap->Width() != w || SnapshotBitmap->Height() != h))
    SnapshotBitmap.reset();
  if (!SnapshotBitmap) {
    SnapshotBitmap = NewBitmap24(w, h);
    TBitmapCanvas canvas(*SnapshotBitmap);
    const TScreenDC screen;
    BitBlt(canvas.Handle(), 0, 0, w, h, screen.Handle(), r.left, r.top, SRCCOPY);
  }
  if (!SnapshotCover) SnapshotCover = Create<TOutputWindow>(control);
  if (control->Parent()) {
    SnapshotCover->SetParent(control->Parent());
    SnapshotCover->SetBounds(control->Left(), control->Top(), control->Width(), control->Height());
    SetChildOrderAfter(SnapshotCover, control);
    ShowWindow(SnapshotCover->Handle(), SW_SHOWNA);
  } else {
    SnapshotCover->SetBounds(r.left, r.top, w, h);
    SetWindowPos(SnapshotCover->Handle(), GetWindow(control->Handle(), GW_HWNDPREV), 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
}

namespace {

// Where the window's client area lies inside its window rectangle.
POINT ClientOriginInWindow(HWND wnd) {
  RECT r;
  GetWindowRect(wnd, &r);
  POINT p{0, 0};
  ClientToScreen(wnd, &p);
  return {p.x - r.left, p.y - r.top};
}

// A hidden control shows what its parent has behind it.
void PaintParentBackground(HDC dc, TControl* control, int x, int y) {
  TsBgRequest request;
  GetControlBackgroundInfo(request, control->Parent(), false);
  const int w = control->Width(), h = control->Height();
  if (request.BgType == btBitmap && request.Bmp != nullptr) {
    TBitmapCanvas source(*request.Bmp);
    BitBlt(dc, x, y, w, h, source.Handle(), request.Offset.X + control->Left(),
           request.Offset.Y + control->Top(), SRCCOPY);
    return;
  }
  FillRectWithColor(dc, {x, y, x + w, y + h}, request.Color);
}

void PaintControlTree(HDC dc, TControl* control, int x, int y, TacFormProvider* provider) {
  const bool borderForm = provider != nullptr && provider->HasBorderForm();
  if (!control->Visible()) {
    if (provider == nullptr && control->Parent() != nullptr)
      PaintParentBackground(dc, control, x, y);
    return;
  }
  const TSavedDC saved(dc);
  if (!borderForm) IntersectClipRect(dc, x, y, x + control->Width(), y + control->Height());
  auto* win = dynamic_cast<TWinControl*>(control);
  const bool skinned = (QueryControlCommand(control, cmdIsSkinned) & 0xFF) == 1;
  if (win == nullptr) {
    if (!skinned) return control->PaintTo(dc, x, y);
    POINT org;
    GetWindowOrgEx(dc, &org);
    SetWindowOrgEx(dc, org.x - x, org.y - y, nullptr);
    control->Perform(WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
    return;
  }
  if (!win->HandleAllocated()) return win->PaintTo(dc, x, y);
  const POINT client = ClientOriginInWindow(win->Handle());
  // Unskinned windows paint their own children; (X, Y) is the window's
  // place, as for the skinned ones, so the client area goes inside the frame.
  if (!skinned) return win->PaintTo(dc, x + client.x, y + client.y);
  POINT org;
  GetWindowOrgEx(dc, &org);
  SetWindowOrgEx(dc, org.x - x, org.y - y, nullptr);
  if (auto* form = dynamic_cast<TCustomForm*>(win); form != nullptr && form->FormStyle() == fsMDIForm) {
    RECT frame;
    GetWindowRect(win->Handle(), &frame);
    for (int i = form->MDIChildCount() - 1; i >= 0; --i) {
      TCustomForm* child = form->MDIChildren(i);
      RECT r;
      if (child == nullptr || !child->HandleAllocated() || !GetWindowRect(child->Handle(), &r)) continue;
      PaintControlTree(dc, child, r.left - frame.left, r.top - frame.top, nullptr);
    }
  }
  // A tab sheet's picture starts inside its border.
  const int shift = dynamic_cast<TTabSheet*>(win) != nullptr ? win->BorderWidth() : 0;
  if (shift != 0) OffsetWindowOrgEx(dc, -shift, -shift, nullptr);
  SendMessageW(win->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc),
               PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
  if (shift != 0) OffsetWindowOrgEx(dc, shift, shift, nullptr);
  for (int i = 0; i < win->ControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(win->Controls(i));
    if (child == nullptr || !child->Visible()) continue;
    // A form of its own (no parent window) is not moved into this one.
    const bool own = child->HandleAllocated() && GetParent(child->Handle()) == nullptr;
    PaintControlTree(dc, child, own ? 0 : client.x + child->Left(), own ? 0 : client.y + child->Top(),
                     nullptr);
  }
}

// Alpha 255 over the client area of a window whose frame lies at (X, Y):
// the picture of a form under a border window keeps the frame's and the
// shadow's own alpha everywhere else.
void MakeClientOpaque(TBitmap& bmp, HWND wnd, int x, int y) {
  const POINT client = ClientOriginInWindow(wnd);
  RECT r;
  GetClientRect(wnd, &r);
  const int left = std::max(x + static_cast<int>(client.x), 0);
  const int top = std::max(y + static_cast<int>(client.y), 0);
  const int right = std::min(x + static_cast<int>(client.x + r.right), bmp.Width());
  const int bottom = std::min(y + static_cast<int>(client.y + r.bottom), bmp.Height());
  for (int row = top; row < bottom; ++row) {
    std::uint8_t* p = bmp.ScanLine(row);
    for (int col = left; col < right; ++col) p[4 * col + 3] = 255;
  }
}

}  // namespace

void PaintControlToBitmap(TBitmap* bmp, TControl* control, int x, int y, TacFormProvider* provider) {
  if (bmp == nullptr || bmp->Empty() || control == nullptr) return;
  {
    TBitmapCanvas canvas(*bmp);
    PaintControlTree(canvas.Handle(), control, x, y, provider);
    GdiFlush();
  }
  auto* win = dynamic_cast<TWinControl*>(control);
  if (provider != nullptr && provider->HasBorderForm() && bmp->PixelFormat() == pf32bit &&
      win != nullptr && win->HandleAllocated() && control->Visible())
    MakeClientOpaque(*bmp, win->Handle(), x, y);
}

void AnimateShowControl(TWinControl* control, unsigned time) {
  const int steps = std::min<int>((time & 0xFFFF) >> 3, MaxAnimationSteps);
  if (AnimateShowLayered(control, steps)) return;
  // Frees the cover and the pictures however the animation ends.
  struct Cleanup {
    ~Cleanup() {
      if (SnapshotCover) SnapshotCover->Free();
      SnapshotCover = nullptr;
      SnapshotBitmap.reset();
    }
  } cleanup;
  {
    const TacFlagGuard lock(GlobalRedrawLock);
    auto* form = dynamic_cast<TCustomForm*>(control);
    TacFormProvider* provider = form != nullptr ? ProviderOfForm(form) : nullptr;
    if (steps == 0) {
      // Nothing to fade: the repaint below shows the new look at once, and
      // a picture of it for a cover would only be painted in vain.
      if (provider != nullptr) provider->UpdateFormRegion(false);
    } else {
      if (!SnapshotCover) ShowSnapshotCover(control);
      const int w = control->Width(), h = control->Height();
      auto shown = NewBitmap24(w, h);
      PaintControlToBitmap(shown.get(), control, 0, 0, provider);
      // The cover takes the skinned frame's shape.
      if (provider != nullptr) {
        provider->UpdateFormRegion(false);
        if (HRGN region = provider->BuildFrameRegion(0, 0))
          SetWindowRgn(SnapshotCover->Handle(), region, FALSE);
      }
      auto work = NewBitmap32(w, h);
      const TWindowDC dc(SnapshotCover->Handle());
      if (SnapshotBitmap->Width() == w && SnapshotBitmap->Height() == h) {
        const int d = 255 / steps;
        for (int i = 0, alpha = 255; i <= steps; ++i, alpha -= d) {
          MixBitmapsByMask(work.get(), SnapshotBitmap.get(), shown.get(), nullptr,
                           static_cast<std::uint8_t>(std::max(0, alpha)));
          CopyToDC(dc.Handle(), *work);
          if (i < steps) Sleep(FrameMs);
        }
      }
      CopyToDC(dc.Handle(), *shown);
    }
  }
  SendMessageW(control->Handle(), WM_SETREDRAW, 1, 0);
  RedrawWindow(control->Handle(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  // A cover put up before (a page change) goes with the repaint under it.
  if (SnapshotCover)
    SetWindowPos(
        SnapshotCover->Handle(), nullptr, 0, 0, 0, 0,
        SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOMOVE | SWP_NOSIZE);
}

}  // namespace kv
