#include "classlib/ExtCtrls.h"

#include <windows.h>

#include <algorithm>
#include <map>

#include "classlib/Controls.h"
#include "classlib/HiddenWindow.h"
#include "classlib/WideText.h"

namespace kv {

// One hidden window serves all timers; ticks find their timer by number, so
// a tick for a timer freed meanwhile finds nothing.
struct TimerWindow {
  static std::map<UINT_PTR, TTimer*>& Timers() {
    static std::map<UINT_PTR, TTimer*> timers;
    return timers;
  }

  static HWND Handle() {
    // An exception goes to the application with no sender: the timer may be gone.
    static HWND wnd = CreateHiddenWindow(WM_TIMER, WM_TIMER, [](UINT, WPARAM id, LPARAM) {
      auto it = Timers().find(id);
      if (it != Timers().end()) it->second->Timer();
    });
    return wnd;
  }
};

TTimer::TTimer(TComponent* owner) : TComponent(owner) { UpdateTimer(); }

TTimer::~TTimer() {
  enabled_ = false;
  UpdateTimer();
}

int TTimer::ActiveCount() { return static_cast<int>(TimerWindow::Timers().size()); }

void TTimer::UpdateTimer() {
  if (id_ != 0) {
    KillTimer(TimerWindow::Handle(), id_);
    --GdiCounters().Timers;
    TimerWindow::Timers().erase(id_);
    id_ = 0;
  }
  if (!enabled_ || interval_ == 0 || HasState(csLoading | csDestroying)) return;
  static UINT_PTR nextId = 1;
  const UINT_PTR id = nextId++;
  if (SetTimer(TimerWindow::Handle(), id, interval_, nullptr) == 0)
    throw EOutOfResources("Not enough timers available");
  id_ = id;
  ++GdiCounters().Timers;
  TimerWindow::Timers()[id] = this;
}

void TTimer::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned ms) {
  if (ms == interval_) return;
  interval_ = ms;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
  OnTimer = std::move(handler);
  UpdateTimer();
}

void TTimer::Timer() {
  // A copy: a handler that frees the timer destroys OnTimer while it runs.
  TNotifyEvent handler = OnTimer;
  if (handler) handler(this);
}

// --- panel -------------------------------------------------------------------------

void Frame3D(TCanvas& canvas, TRect& rect, TColor topLeft, TColor bottomRight, int width) {
  HDC dc = canvas.Handle();
  HBRUSH top = CreateSolidBrush(ColorToRGB(topLeft));
  HBRUSH bottom = CreateSolidBrush(ColorToRGB(bottomRight));
  for (int i = 0; i < width && rect.Width() > 1 && rect.Height() > 1; ++i) {
    RECT t{rect.Left, rect.Top, rect.Right - 1, rect.Top + 1};
    RECT l{rect.Left, rect.Top, rect.Left + 1, rect.Bottom - 1};
    RECT b{rect.Left, rect.Bottom - 1, rect.Right, rect.Bottom};
    RECT r{rect.Right - 1, rect.Top, rect.Right, rect.Bottom};
    FillRect(dc, &t, top);
    FillRect(dc, &l, top);
    FillRect(dc, &b, bottom);
    FillRect(dc, &r, bottom);
    InflateRect(rect, -1, -1);
  }
  DeleteObject(top);
  DeleteObject(bottom);
}

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls | csSetCaption | csOpaque | csReplicatable);
  SetBounds(0, 0, 185, 41);
}

void TCustomPanel::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.ExStyle |= WS_EX_CONTROLPARENT;
  if (borderStyle_ != bsNone) p.Style |= WS_BORDER;
}

int TCustomPanel::BevelSize() const {
  int n = 0;
  if (bevelOuter_ != bvNone) n += bevelWidth_;
  if (bevelInner_ != bvNone) n += bevelWidth_;
  return n;
}

void TCustomPanel::AdjustClientRect(TRect& rect) {
  TCustomControl::AdjustClientRect(rect);
  InflateRect(rect, -BevelSize(), -BevelSize());
}

void TCustomPanel::SetBevelInner(TBevelCut value) {
  bevelInner_ = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
  bevelOuter_ = value;
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelWidth(int value) {
  bevelWidth_ = std::max(1, value);
  Realign();
  Invalidate();
}

void TCustomPanel::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomPanel::SetAlignment(TAlignment value) {
  alignment_ = value;
  Invalidate();
}

void TCustomPanel::Paint() {
  TCanvas& c = *Canvas();
  TRect r = ClientRect();
  auto bevel = [&](TBevelCut cut) {
    if (cut == bvNone) return;
    if (cut == bvSpace) {
      InflateRect(r, -bevelWidth_, -bevelWidth_);
      return;
    }
    const bool lowered = cut == bvLowered;
    Frame3D(c, r, lowered ? clBtnShadow : clBtnHighlight, lowered ? clBtnHighlight : clBtnShadow,
            bevelWidth_);
  };
  bevel(bevelOuter_);
  InflateRect(r, -BorderWidth(), -BorderWidth());
  bevel(bevelInner_);
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(Color());
  c.FillRect(r);
  const std::wstring text = Wide(Caption());
  if (text.empty()) return;
  HDC dc = c.Handle();
  c.Font()->Assign(*Font());
  const TSelectedObject font(dc, Font()->Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS;
  if (alignment_ == taCenter) flags |= DT_CENTER;
  if (alignment_ == taRightJustify) flags |= DT_RIGHT;
  RECT tr{r.Left, r.Top, r.Right, r.Bottom};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr, flags);
}

void TCustomPanel::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
      // A default button inside the panel still answers Enter.
      Broadcast(m);
      return;
    case CM_TEXTCHANGED:
      Invalidate();
      return;
    case WM_SIZE:
      TCustomControl::Dispatch(m);
      if (fullRepaint_) Invalidate();
      return;
    default:
      TCustomControl::Dispatch(m);
  }
}

// --- bevel -------------------------------------------------------------------------

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() | csReplicatable);
  SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape value) {
  shape_ = value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle value) {
  style_ = value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas& c = *Canvas();
  const TColor first = style_ == bsLowered ? clBtnShadow : clBtnHighlight;
  const TColor second = style_ == bsLowered ? clBtnHighlight : clBtnShadow;
  const int w = Width(), h = Height();
  auto line = [&](TColor color, int x1, int y1, int x2, int y2) {
    c.Pen()->SetColor(color);
    c.Pen()->SetWidth(1);
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
  };
  switch (shape_) {
    case bsBox: {
      TRect r = Rect(0, 0, w, h);
      Frame3D(c, r, first, second, 1);
      break;
    }
    case bsFrame: {
      // Two nested rectangles, offset by one pixel: an etched frame.
      c.Brush()->SetStyle(bsClear);
      c.Pen()->SetColor(first);
      c.Rectangle(0, 0, w - 1, h - 1);
      c.Pen()->SetColor(second);
      c.Rectangle(1, 1, w, h);
      break;
    }
    case bsTopLine:
      line(first, 0, 0, w, 0);
      line(second, 0, 1, w, 1);
      break;
    case bsBottomLine:
      line(first, 0, h - 2, w, h - 2);
      line(second, 0, h - 1, w, h - 1);
      break;
    case bsLeftLine:
      line(first, 0, 0, 0, h);
      line(second, 1, 0, 1, h);
      break;
    case bsRightLine:
      line(first, w - 2, 0, w - 2, h);
      line(second, w - 1, 0, w - 1, h);
      break;
    case bsSpacer:
      break;
  }
}

// --- image -------------------------------------------------------------------------

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() | csReplicatable);
  SetBounds(0, 0, 105, 105);
  picture_.OnChange = [this](TObject*) { PictureChanged(); };
}

void TImage::SetStretch(bool value) {
  stretch_ = value;
  Invalidate();
}

void TImage::SetCenter(bool value) {
  center_ = value;
  Invalidate();
}

void TImage::SetProportional(bool value) {
  proportional_ = value;
  Invalidate();
}

void TImage::SetTransparent(bool value) {
  transparent_ = value;
  if (picture_.Graphic() != nullptr) picture_.Graphic()->SetTransparent(value);
  Invalidate();
}

void TImage::SetAutoSize(bool value) {
  autoSize_ = value;
  if (value) PictureChanged();
}

void TImage::PictureChanged() {
  if (TGraphic* g = picture_.Graphic(); g != nullptr && transparent_) g->SetTransparent(true);
  if (autoSize_ && picture_.Width() > 0 && picture_.Height() > 0)
    SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
  Invalidate();
}

TRect TImage::DestRect() {
  int w = picture_.Width(), h = picture_.Height();
  const int cw = ClientWidth(), ch = ClientHeight();
  if (stretch_ || (proportional_ && (w > cw || h > ch))) {
    if (proportional_ && w > 0 && h > 0) {
      // Fit inside the control, keeping the picture's shape.
      if (static_cast<int64_t>(cw) * h < static_cast<int64_t>(ch) * w) {
        h = static_cast<int>(static_cast<int64_t>(h) * cw / w);
        w = cw;
      } else {
        w = static_cast<int>(static_cast<int64_t>(w) * ch / h);
        h = ch;
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  TRect r = Rect(0, 0, w, h);
  if (center_) OffsetRect(r, (cw - w) / 2, (ch - h) / 2);
  return r;
}

void TImage::Paint() {
  TGraphic* g = picture_.Graphic();
  if (g == nullptr || g->Empty()) return;
  TCanvas& c = *Canvas();
  const TRect r = DestRect();
  if (r.Width() == g->Width() && r.Height() == g->Height()) {
    c.Draw(r.Left, r.Top, *g);
  } else {
    c.StretchDraw(r, *g);
  }
}

// --- scrolling ---------------------------------------------------------------------

int TControlScrollBar::PageSize() const {
  const TRect r = control_->ClientRect();
  return kind_ == sbHorizontal ? r.Width() : r.Height();
}

void TControlScrollBar::SetPosition(int value) {
  const int maxPos = std::max(0, range_ - PageSize());
  value = std::clamp(value, 0, maxPos);
  if (value == position_) return;
  const int delta = position_ - value;
  position_ = value;
  if (kind_ == sbHorizontal) {
    control_->ScrollBy(delta, 0);
  } else {
    control_->ScrollBy(0, delta);
  }
  if (control_->HandleAllocated())
    SetScrollPos(control_->Handle(), kind_ == sbHorizontal ? SB_HORZ : SB_VERT, position_, TRUE);
}

void TControlScrollBar::SetRange(int value) {
  control_->autoScroll_ = false;
  range_ = std::max(0, value);
  control_->UpdateScrollBars();
}

void TControlScrollBar::SetVisible(bool value) {
  visible_ = value;
  control_->UpdateScrollBars();
}

void TControlScrollBar::Update() {
  const int bar = kind_ == sbHorizontal ? SB_HORZ : SB_VERT;
  const int page = PageSize();
  shown_ = visible_ && range_ > page && page > 0;
  if (!shown_ && position_ > 0) SetPosition(0);
  if (!control_->HandleAllocated()) return;
  HWND wnd = control_->Handle();
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  if (shown_) {
    si.nMin = 0;
    si.nMax = range_ - 1;
    si.nPage = static_cast<UINT>(page);
    si.nPos = position_;
  }
  SetScrollInfo(wnd, bar, &si, TRUE);
  ShowScrollBar(wnd, bar, shown_ ? TRUE : FALSE);
  if (shown_ && position_ > range_ - page) SetPosition(range_ - page);
}

void TControlScrollBar::Scroll(WORD code, int thumb) {
  const int page = PageSize();
  int pos = position_;
  switch (code) {
    case SB_LINEUP:
      pos -= increment_;
      break;
    case SB_LINEDOWN:
      pos += increment_;
      break;
    case SB_PAGEUP:
      pos -= page;
      break;
    case SB_PAGEDOWN:
      pos += page;
      break;
    case SB_THUMBTRACK:
      if (!tracking_) return;
      pos = thumb;
      break;
    case SB_THUMBPOSITION:
      pos = thumb;
      break;
    case SB_TOP:
      pos = 0;
      break;
    case SB_BOTTOM:
      pos = range_;
      break;
    default:
      return;
  }
  SetPosition(pos);
}

TScrollingWinControl::TScrollingWinControl(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
}

void TScrollingWinControl::SetAutoScroll(bool value) {
  autoScroll_ = value;
  UpdateScrollBars();
}

void TScrollingWinControl::ScrollBy(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  ++updating_;
  DisableAlign();
  try {
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* c = Controls(i);
      c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
    }
  } catch (...) {
    --updating_;
    EnableAlign();
    throw;
  }
  --updating_;
  EnableAlign();
  Invalidate();
}

void TScrollingWinControl::CalcAutoRange() {
  int right = 0, bottom = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (!c->Visible() || c->Align() != alNone) continue;
    // Children sit at their scrolled positions; the range is unscrolled.
    right = std::max(right, c->Left() + c->Width() + horz_.position_);
    bottom = std::max(bottom, c->Top() + c->Height() + vert_.position_);
  }
  horz_.SetRangeQuiet(right);
  vert_.SetRangeQuiet(bottom);
}

void TScrollingWinControl::UpdateScrollBars() {
  if (updating_ > 0) return;
  ++updating_;
  try {
    if (autoScroll_) CalcAutoRange();
    // Showing one bar narrows the page of the other: two rounds settle it.
    for (int round = 0; round < 2; ++round) {
      horz_.Update();
      vert_.Update();
    }
  } catch (...) {
    --updating_;
    throw;
  }
  --updating_;
}

void TScrollingWinControl::ScrollInView(TControl* control) {
  if (control == nullptr || control->Parent() != this) return;
  const TRect client = ClientRect();
  if (control->Left() < 0) {
    horz_.SetPosition(horz_.position_ + control->Left());
  } else if (control->Left() + control->Width() > client.Width()) {
    horz_.SetPosition(horz_.position_ + control->Left() + control->Width() - client.Width());
  }
  if (control->Top() < 0) {
    vert_.SetPosition(vert_.position_ + control->Top());
  } else if (control->Top() + control->Height() > client.Height()) {
    vert_.SetPosition(vert_.position_ + control->Top() + control->Height() - client.Height());
  }
}

void TScrollingWinControl::CreateHandleDone() { UpdateScrollBars(); }

void TScrollingWinControl::AlignControls(TControl* control, TRect& rect) {
  TWinControl::AlignControls(control, rect);
  UpdateScrollBars();
}

bool TScrollingWinControl::DoMouseWheel(TShiftState shift, int delta, TPoint mousePos) {
  if (TWinControl::DoMouseWheel(shift, delta, mousePos)) return true;
  TControlScrollBar& bar = (shift & ssShift) || !vert_.shown_ ? horz_ : vert_;
  if (!bar.shown_) return false;
  bar.SetPosition(bar.position_ - delta / WHEEL_DELTA * bar.increment_ * 3);
  return true;
}

void TScrollingWinControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_HSCROLL:
    case WM_VSCROLL:
      // The window's own bars (a scroll bar control is reflected to itself).
      if (m.LParam == 0) {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_TRACKPOS;
        GetScrollInfo(Handle(), m.Msg == WM_HSCROLL ? SB_HORZ : SB_VERT, &si);
        TControlScrollBar& bar = m.Msg == WM_HSCROLL ? horz_ : vert_;
        bar.Scroll(m.WParamLo(), si.nTrackPos);
        m.Result = 0;
        return;
      }
      return TWinControl::Dispatch(m);
    case WM_SIZE:
      TWinControl::Dispatch(m);
      UpdateScrollBars();
      return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
      Broadcast(m);
      return;
    default:
      TWinControl::Dispatch(m);
  }
}

TScrollBox::TScrollBox(TComponent* owner) : TScrollingWinControl(owner) {
  SetBounds(0, 0, 185, 41);
}

void TScrollBox::CreateParams(TCreateParams& p) {
  TScrollingWinControl::CreateParams(p);
  p.ExStyle |= WS_EX_CONTROLPARENT;
  if (borderStyle_ != bsNone) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

}  // namespace kv
