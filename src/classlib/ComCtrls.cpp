#include "classlib/ComCtrls.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>

#include "classlib/WideText.h"

namespace kv {

void InitCommonControlClasses() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)done;
}

// --- up-down -----------------------------------------------------------------------

TCustomUpDown::TCustomUpDown(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(ControlStyle() & ~(csClickEvents | csDoubleClicks));
  SetBounds(0, 0, 17, 25);
}

void TCustomUpDown::CreateParams(TCreateParams& p) {
  InitCommonControlClasses();
  TWinControl::CreateParams(p);
  CreateSubClass(p, UPDOWN_CLASSW);
  p.Style |= UDS_SETBUDDYINT;
  if (arrowKeys_) p.Style |= UDS_ARROWKEYS;
  p.Style |= alignButton_ == udLeft ? UDS_ALIGNLEFT : UDS_ALIGNRIGHT;
  if (orientation_ == udHorizontal) p.Style |= UDS_HORZ;
  if (!thousands_) p.Style |= UDS_NOTHOUSANDS;
  if (wrap_) p.Style |= UDS_WRAP;
}

void TCustomUpDown::CreateHandleDone() {
  HWND wnd = Handle();
  SendRange();
  UDACCEL accel{0, static_cast<UINT>(increment_)};
  SendMessageW(wnd, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  if (associate_ != nullptr)
    SendMessageW(wnd, UDM_SETBUDDY, reinterpret_cast<WPARAM>(associate_->Handle()), 0);
  SendMessageW(wnd, UDM_SETPOS32, 0, position_);
}

void TCustomUpDown::SendRange() {
  if (HandleAllocated()) SendMessageW(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
}

void TCustomUpDown::SetMin(int value) {
  min_ = value;
  SendRange();
}

void TCustomUpDown::SetMax(int value) {
  max_ = value;
  SendRange();
}

int TCustomUpDown::Position() {
  if (HandleAllocated()) {
    BOOL error = FALSE;
    const int pos =
        static_cast<int>(SendMessageW(Handle(), UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&error)));
    // The error flag is about the buddy's text; without a buddy Wine sets
    // it always, though the position is right.
    if (!error || associate_ == nullptr) position_ = pos;
  }
  return position_;
}

void TCustomUpDown::SetPosition(int value) {
  position_ = std::clamp(value, std::min(min_, max_), std::max(min_, max_));
  if (HandleAllocated()) SendMessageW(Handle(), UDM_SETPOS32, 0, position_);
}

void TCustomUpDown::SetIncrement(int value) {
  increment_ = std::max(1, value);
  if (!HandleAllocated()) return;
  UDACCEL accel{0, static_cast<UINT>(increment_)};
  SendMessageW(Handle(), UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
}

void TCustomUpDown::SetOrientation(TUDOrientation value) {
  if (value == orientation_) return;
  orientation_ = value;
  SetBounds(Left(), Top(), Height(), Width());
  RecreateWnd();
}

void TCustomUpDown::SetAlignButton(TUDAlignButton value) {
  if (value == alignButton_) return;
  alignButton_ = value;
  RecreateWnd();
}

void TCustomUpDown::SetAssociate(TWinControl* control) {
  if (control == associate_) return;
  if (associate_ != nullptr) associate_->RemoveFreeNotification(this);
  associate_ = control;
  if (control != nullptr) control->FreeNotification(this);
  if (!HandleAllocated()) return;
  SendMessageW(Handle(), UDM_SETBUDDY,
               control != nullptr ? reinterpret_cast<WPARAM>(control->Handle()) : 0, 0);
  // The buddy shows our position at once (its own text may be anything).
  if (control != nullptr) SendMessageW(Handle(), UDM_SETPOS32, 0, position_);
}

void TCustomUpDown::SetArrowKeys(bool value) {
  if (value == arrowKeys_) return;
  arrowKeys_ = value;
  RecreateWnd();
}

void TCustomUpDown::SetThousands(bool value) {
  if (value == thousands_) return;
  thousands_ = value;
  RecreateWnd();
}

void TCustomUpDown::SetWrap(bool value) {
  if (value == wrap_) return;
  wrap_ = value;
  RecreateWnd();
}

void TCustomUpDown::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == associate_) {
    associate_ = nullptr;
    if (HandleAllocated() && !HasState(csDestroying)) SendMessageW(Handle(), UDM_SETBUDDY, 0, 0);
  }
}

bool TCustomUpDown::CanChange(int newValue, TUpDownDirection direction) {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  if (OnChangingEx) OnChangingEx(this, allow, newValue, direction);
  return allow;
}

void TCustomUpDown::ClickButton(TUDBtnType button) {
  if (OnClick) OnClick(this, button);
}

void TCustomUpDown::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_NOTIFY: {
      const auto* hdr = reinterpret_cast<const NMHDR*>(m.LParam);
      if (hdr->code != UDN_DELTAPOS) return;
      const auto* ud = reinterpret_cast<const NMUPDOWN*>(m.LParam);
      lastDelta_ = ud->iDelta;
      const TUpDownDirection dir = ud->iDelta > 0 ? updUp : (ud->iDelta < 0 ? updDown : updNone);
      // Non-zero refuses the change.
      m.Result = CanChange(ud->iPos + ud->iDelta, dir) ? 0 : 1;
      return;
    }
    case CN_HSCROLL:
    case CN_VSCROLL:
      if (m.WParamLo() == SB_THUMBPOSITION) {
        position_ = Position();
        ClickButton(lastDelta_ >= 0 ? btNext : btPrev);
      }
      return;
    default:
      TWinControl::Dispatch(m);
  }
}

// --- progress bar ------------------------------------------------------------------

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 150, 16); }

void TProgressBar::CreateParams(TCreateParams& p) {
  InitCommonControlClasses();
  TWinControl::CreateParams(p);
  CreateSubClass(p, PROGRESS_CLASSW);
  if (smooth_) p.Style |= PBS_SMOOTH;
  if (orientation_ == pbVertical) p.Style |= PBS_VERTICAL;
  if (style_ == pbstMarquee) p.Style |= PBS_MARQUEE;
}

void TProgressBar::CreateHandleDone() {
  HWND wnd = Handle();
  SendMessageW(wnd, PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
  SendMessageW(wnd, PBM_SETSTEP, static_cast<WPARAM>(step_), 0);
  SendMessageW(wnd, PBM_SETPOS, static_cast<WPARAM>(position_), 0);
  if (style_ == pbstMarquee)
    SendMessageW(wnd, PBM_SETMARQUEE, TRUE, static_cast<LPARAM>(marqueeInterval_));
}

void TProgressBar::SetMin(int value) {
  min_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
  SetPosition(position_);
}

void TProgressBar::SetMax(int value) {
  max_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
  SetPosition(position_);
}

int TProgressBar::Position() {
  if (HandleAllocated() && style_ == pbstNormal)
    position_ = static_cast<int>(SendMessageW(Handle(), PBM_GETPOS, 0, 0));
  return position_;
}

void TProgressBar::SetPosition(int value) {
  position_ = std::clamp(value, std::min(min_, max_), std::max(min_, max_));
  if (HandleAllocated()) SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SetStep(int value) {
  step_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), PBM_SETSTEP, static_cast<WPARAM>(step_), 0);
}

void TProgressBar::StepIt() { StepBy(step_); }

void TProgressBar::StepBy(int delta) {
  // Past the end the bar starts again from Min, as the system bar does.
  int next = Position() + delta;
  if (next > max_) next = min_ + (next - max_);
  SetPosition(next);
}

void TProgressBar::SetSmooth(bool value) {
  if (value == smooth_) return;
  smooth_ = value;
  RecreateWnd();
}

void TProgressBar::SetOrientation(TProgressBarOrientation value) {
  if (value == orientation_) return;
  orientation_ = value;
  RecreateWnd();
}

void TProgressBar::SetStyle(TProgressBarStyle value) {
  if (value == style_) return;
  style_ = value;
  RecreateWnd();
}

void TProgressBar::SetMarqueeInterval(int ms) {
  marqueeInterval_ = std::max(1, ms);
  if (HandleAllocated() && style_ == pbstMarquee)
    SendMessageW(Handle(), PBM_SETMARQUEE, TRUE, static_cast<LPARAM>(marqueeInterval_));
}

// --- gauge -------------------------------------------------------------------------

TGauge::TGauge(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() | csFramed | csOpaque);
  SetBounds(0, 0, 100, 100);
}

void TGauge::SetMinValue(int value) {
  minValue_ = value;
  if (maxValue_ < minValue_) maxValue_ = minValue_;
  SetProgress(progress_);
  Invalidate();
}

void TGauge::SetMaxValue(int value) {
  maxValue_ = value;
  if (minValue_ > maxValue_) minValue_ = maxValue_;
  SetProgress(progress_);
  Invalidate();
}

void TGauge::SetProgress(int value) {
  value = std::clamp(value, minValue_, maxValue_);
  if (value == progress_) return;
  progress_ = value;
  Invalidate();
}

int TGauge::PercentDone() const {
  const int64_t range = static_cast<int64_t>(maxValue_) - minValue_;
  if (range <= 0) return 0;
  return static_cast<int>((static_cast<int64_t>(progress_) - minValue_) * 100 / range);
}

void TGauge::SetKind(TGaugeKind value) {
  kind_ = value;
  Invalidate();
}

void TGauge::SetShowText(bool value) {
  showText_ = value;
  Invalidate();
}

void TGauge::SetForeColor(TColor value) {
  foreColor_ = value;
  Invalidate();
}

void TGauge::SetBackColor(TColor value) {
  backColor_ = value;
  Invalidate();
}

void TGauge::SetBorderStyle(TBorderStyle value) {
  borderStyle_ = value;
  Invalidate();
}

std::string TGauge::ProgressText() const { return std::to_string(PercentDone()) + "%"; }

void TGauge::Paint() {
  TCanvas& c = *Canvas();
  TRect r = Rect(0, 0, Width(), Height());
  if (borderStyle_ != bsNone) {
    c.Brush()->SetColor(clBlack);
    c.FrameRect(r);
    InflateRect(r, -1, -1);
  }
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(backColor_);
  c.FillRect(r);
  const int pct = PercentDone();
  c.Brush()->SetColor(foreColor_);
  c.Pen()->SetColor(foreColor_);
  switch (kind_) {
    case gkHorizontalBar:
      c.FillRect(Rect(r.Left, r.Top, r.Left + r.Width() * pct / 100, r.Bottom));
      break;
    case gkVerticalBar:
      c.FillRect(Rect(r.Left, r.Bottom - r.Height() * pct / 100, r.Right, r.Bottom));
      break;
    case gkPie:
    case gkNeedle: {
      // The share of a circle, clockwise from twelve o'clock.
      const double angle = 3.14159265358979 * 2 * pct / 100;
      const TPoint centre = CenterPoint(r);
      const int radius = std::min(r.Width(), r.Height()) / 2;
      const int ex = centre.X + static_cast<int>(radius * std::sin(angle));
      const int ey = centre.Y - static_cast<int>(radius * std::cos(angle));
      if (kind_ == gkPie && pct > 0) {
        HDC dc = c.Handle();
        const TSelectedObject brush(dc, c.Brush()->Handle());
        const TSelectedObject pen(dc, c.Pen()->Handle());
        if (pct >= 100) {
          Ellipse(dc, centre.X - radius, centre.Y - radius, centre.X + radius, centre.Y + radius);
        } else {
          Pie(dc, centre.X - radius, centre.Y - radius, centre.X + radius, centre.Y + radius, ex,
              ey, centre.X, centre.Y - radius);
        }
      } else if (kind_ == gkNeedle) {
        c.MoveTo(centre.X, centre.Y);
        c.LineTo(ex, ey);
      }
      break;
    }
    case gkText:
      break;
  }
  if (!showText_) return;
  const std::wstring text = Wide(ProgressText());
  HDC dc = c.Handle();
  c.Font()->Assign(*Font());
  const TSelectedObject font(dc, Font()->Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Font()->Color()));
  RECT tr{r.Left, r.Top, r.Right, r.Bottom};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &tr,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

// --- status bar --------------------------------------------------------------------

void TStatusPanel::SetText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  bar_->UpdatePanels();
}

void TStatusPanel::SetWidth(int value) {
  width_ = value;
  bar_->UpdatePanels();
}

void TStatusPanel::SetStyle(TStatusPanelStyle value) {
  style_ = value;
  bar_->UpdatePanels();
}

void TStatusPanel::SetAlignment(TAlignment value) {
  alignment_ = value;
  bar_->UpdatePanels();
}

void TStatusPanel::SetBevel(TStatusPanelBevel value) {
  bevel_ = value;
  bar_->UpdatePanels();
}

TStatusPanel* TStatusPanels::Add() {
  panels_.push_back(std::make_unique<TStatusPanel>(bar_, Count()));
  bar_->UpdatePanels();
  return panels_.back().get();
}

static void CheckPanelIndex(int index, int count) {
  if (index < 0 || index >= count)
    throw ERangeError("List index out of bounds (" + std::to_string(index) + ")");
}

TStatusPanel* TStatusPanels::Items(int index) const {
  CheckPanelIndex(index, Count());
  return panels_[static_cast<size_t>(index)].get();
}

void TStatusPanels::Delete(int index) {
  CheckPanelIndex(index, Count());
  panels_.erase(panels_.begin() + index);
  for (int i = 0; i < Count(); ++i) panels_[static_cast<size_t>(i)]->index_ = i;
  bar_->UpdatePanels();
}

void TStatusPanels::Clear() {
  panels_.clear();
  bar_->UpdatePanels();
}

void TStatusPanels::EndUpdate() {
  if (--updateCount_ == 0) bar_->UpdatePanels();
}

TStatusBar::TStatusBar(TComponent* owner)
    : TWinControl(owner), canvas_(std::make_unique<TCanvas>()) {
  SetControlStyle((ControlStyle() | csAcceptsControls) & ~csClickEvents);
  SetBounds(0, 0, 200, 19);
  SetAlign(alBottom);
  SetColor(clBtnFace);
}

void TStatusBar::CreateParams(TCreateParams& p) {
  InitCommonControlClasses();
  TWinControl::CreateParams(p);
  CreateSubClass(p, STATUSCLASSNAMEW);
  // Our alignment places the bar; the system must not move it by itself.
  p.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
  if (sizeGrip_) p.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::CreateHandleDone() { UpdatePanels(); }

void TStatusBar::SetSimplePanel(bool value) {
  simplePanel_ = value;
  UpdatePanels();
}

void TStatusBar::SetSimpleText(const std::string& text) {
  simpleText_ = text;
  if (HandleAllocated() && ShowsSimple()) {
    SendMessageW(Handle(), SB_SETTEXTW, SB_SIMPLEID | SBT_NOBORDERS,
                 reinterpret_cast<LPARAM>(Wide(text).c_str()));
  }
}

void TStatusBar::SetSizeGrip(bool value) {
  if (value == sizeGrip_) return;
  sizeGrip_ = value;
  RecreateWnd();
}

void TStatusBar::UpdatePanels() {
  if (!HandleAllocated() || panels_.Updating()) return;
  HWND wnd = Handle();
  if (ShowsSimple()) {
    SendMessageW(wnd, SB_SIMPLE, TRUE, 0);
    const std::wstring w = Wide(simpleText_);
    SendMessageW(wnd, SB_SETTEXTW, SB_SIMPLEID | SBT_NOBORDERS,
                 reinterpret_cast<LPARAM>(w.c_str()));
    return;
  }
  SendMessageW(wnd, SB_SIMPLE, FALSE, 0);
  const int n = std::min(panels_.Count(), 255);
  std::vector<int> edges(static_cast<size_t>(n));
  int x = 0;
  for (int i = 0; i < n; ++i) {
    x += panels_[i]->Width();
    edges[static_cast<size_t>(i)] = x;
  }
  // The last panel takes what is left.
  edges[static_cast<size_t>(n - 1)] = -1;
  SendMessageW(wnd, SB_SETPARTS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(edges.data()));
  for (int i = 0; i < n; ++i) {
    const TStatusPanel* panel = panels_[i];
    WPARAM flags = static_cast<WPARAM>(i);
    if (panel->Style() == psOwnerDraw) flags |= SBT_OWNERDRAW;
    if (panel->Bevel() == pbNone) flags |= SBT_NOBORDERS;
    if (panel->Bevel() == pbRaised) flags |= SBT_POPOUT;
    if (panel->Style() == psOwnerDraw) {
      SendMessageW(wnd, SB_SETTEXTW, flags, reinterpret_cast<LPARAM>(panel));
      continue;
    }
    // A tab before the text centres it, two put it on the right.
    std::wstring w = Wide(panel->Text());
    if (panel->Alignment() == taCenter) w = L"\t" + w;
    if (panel->Alignment() == taRightJustify) w = L"\t\t" + w;
    SendMessageW(wnd, SB_SETTEXTW, flags, reinterpret_cast<LPARAM>(w.c_str()));
  }
}

std::string TStatusBar::PanelTextShown(int part) {
  HWND wnd = Handle();
  // A simple bar answers for its one part as part 0.
  if (part == SB_SIMPLEID) {
    if (!SendMessageW(wnd, SB_ISSIMPLE, 0, 0)) return {};
    part = 0;
  }
  const LRESULT info = SendMessageW(wnd, SB_GETTEXTLENGTHW, static_cast<WPARAM>(part), 0);
  std::wstring w(static_cast<size_t>(LOWORD(info)) + 1, L'\0');
  SendMessageW(wnd, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(w.data()));
  w.resize(LOWORD(info));
  return Narrow(w);
}

void TStatusBar::DrawPanel(TStatusPanel* panel, const TRect& rect) {
  if (OnDrawPanel) {
    OnDrawPanel(this, panel, rect);
  } else {
    canvas_->FillRect(rect);
  }
}

void TStatusBar::Dispatch(TMessage& m) {
  if (m.Msg == CN_DRAWITEM) {
    const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
    const int index = static_cast<int>(dis->itemID);
    if (index < 0 || index >= panels_.Count()) return;
    const TCanvasBinding binding(*canvas_, dis->hDC);
    canvas_->Font()->Assign(*Font());
    canvas_->Brush()->SetColor(Color());
    const TRect r = Rect(dis->rcItem.left, dis->rcItem.top, dis->rcItem.right, dis->rcItem.bottom);
    DrawPanel(panels_[index], r);
    m.Result = 1;
    return;
  }
  if (m.Msg == WM_SIZE) {
    TWinControl::Dispatch(m);
    UpdatePanels();
    return;
  }
  TWinControl::Dispatch(m);
}

}  // namespace kv
