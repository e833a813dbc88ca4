#include "classlib/StdCtrls.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cwctype>

#include "classlib/ForeignSubclass.h"
#include "classlib/Forms.h"
#include "classlib/WideText.h"

namespace kv {

namespace {

LRESULT SendText(HWND wnd, UINT msg, WPARAM wParam, const std::string& text) {
  const std::wstring w = Wide(text);
  return SendMessageW(wnd, msg, wParam, reinterpret_cast<LPARAM>(w.c_str()));
}

// A dialog key or character travels on to the children of a container, so
// that a default button inside a panel still answers Enter.
bool IsDialogMessage(UINT msg) { return msg == CM_DIALOGKEY || msg == CM_DIALOGCHAR; }

}  // namespace

// --- labels ------------------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() | csOpaque | csReplicatable);
  SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
  if (value == layout_) return;
  layout_ = value;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  AdjustBounds();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
  if (value == showAccelChar_) return;
  showAccelChar_ = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
  if (value == Transparent()) return;
  SetControlStyle(value ? ControlStyle() & ~csOpaque : ControlStyle() | csOpaque);
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* control) {
  if (focusControl_ != nullptr) focusControl_->RemoveFreeNotification(this);
  focusControl_ = control;
  if (control != nullptr) control->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::DoDrawText(TRect& rect, UINT flags) {
  std::wstring text = Wide(GetLabelText());
  const bool calc = (flags & DT_CALCRECT) != 0;
  if (calc && (text.empty() || (showAccelChar_ && text == L"&"))) text = L" ";
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(*Font());
  HDC dc = canvas->Handle();
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  SetBkMode(dc, TRANSPARENT);
  if (calc) {
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
    rect = Rect(r.left, r.top, r.right, r.bottom);
    return;
  }
  if (!Enabled()) {
    // Embossed: a light copy one pixel down and right, the shadow on top.
    OffsetRect(&r, 1, 1);
    SetTextColor(dc, ColorToRGB(clBtnHighlight));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
    OffsetRect(&r, -1, -1);
    SetTextColor(dc, ColorToRGB(clBtnShadow));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
    return;
  }
  SetTextColor(dc, ColorToRGB(Font()->Color()));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
}

void TCustomLabel::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  if (!Transparent()) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
  }
  canvas->Brush()->SetStyle(bsClear);
  UINT flags = DT_EXPANDTABS;
  if (wordWrap_) flags |= DT_WORDBREAK;
  if (alignment_ == taRightJustify) flags |= DT_RIGHT;
  if (alignment_ == taCenter) flags |= DT_CENTER;
  if (layout_ != tlTop) {
    TRect calc = r;
    DoDrawText(calc, flags | DT_CALCRECT);
    const int dy =
        layout_ == tlBottom ? r.Height() - calc.Height() : (r.Height() - calc.Height()) / 2;
    r.Top += dy;
  }
  DoDrawText(r, flags);
}

void TCustomLabel::AdjustBounds() {
  if (!autoSize_ || HasState(csLoading | csDestroying)) return;
  // Measured on a screen context: the label may not be on a window yet.
  TCanvas* canvas = Canvas();
  if (auto* own = dynamic_cast<TControlCanvas*>(canvas)) own->FreeHandle();
  TRect r = Rect(0, 0, wordWrap_ ? Width() : 0, 0);
  UINT flags = DT_EXPANDTABS | DT_CALCRECT;
  if (wordWrap_) flags |= DT_WORDBREAK;
  {
    const TScreenDC screen;
    const TCanvasBinding binding(*canvas, screen.Handle());
    DoDrawText(r, flags);
  }
  int left = Left();
  if (alignment_ == taRightJustify) left += Width() - r.Width();
  SetBounds(left, Top(), r.Width(), r.Height());
}

void TCustomLabel::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      Invalidate();
      AdjustBounds();
      return;
    case CM_DIALOGCHAR:
      if (focusControl_ != nullptr && Enabled() && showAccelChar_ && IsAccel(m.WParam, Caption()) &&
          focusControl_->CanFocus()) {
        focusControl_->SetFocus();
        m.Result = 1;
      }
      return;
    default:
      TGraphicControl::Dispatch(m);
  }
}

// --- edits -------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  SetControlStyle(csClickEvents | csSetCaption | csDoubleClicks | csFixedHeight);
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  SetColor(clWindow);
}

void TCustomEdit::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, L"EDIT");
  p.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  if (passwordChar_ != 0) p.Style |= ES_PASSWORD;
  if (readOnly_) p.Style |= ES_READONLY;
  if (charCase_ == ecUpperCase) p.Style |= ES_UPPERCASE;
  if (charCase_ == ecLowerCase) p.Style |= ES_LOWERCASE;
  // Without Ctl3D the line is drawn here (PaintNonClient): the system edit
  // would draw WS_BORDER inside its client area.
  if (borderStyle_ != bsNone && ctl3D_) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::SetCtl3D(bool value) {
  if (value == ctl3D_) return;
  ctl3D_ = value;
  RecreateWnd();
}

int TCustomEdit::BevelEdges() const {
  if (bevelKind_ == bkNone) return 0;
  return (bevelInner_ != bvNone ? 1 : 0) + (bevelOuter_ != bvNone ? 1 : 0);
}

void TCustomEdit::SetBevelKind(TBevelKind value) {
  if (value == bevelKind_) return;
  bevelKind_ = value;
  BevelsChanged();
}

void TCustomEdit::SetBevelInner(TBevelCut value) {
  if (value == bevelInner_) return;
  bevelInner_ = value;
  BevelsChanged();
}

void TCustomEdit::SetBevelOuter(TBevelCut value) {
  if (value == bevelOuter_) return;
  bevelOuter_ = value;
  BevelsChanged();
}

// The client area is measured again with the new bevels.
void TCustomEdit::BevelsChanged() {
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

int TCustomEdit::LineWidth() const { return borderStyle_ != bsNone && !ctl3D_ ? 1 : 0; }

void TCustomEdit::PaintNonClient() {
  const int edges = BevelEdges();
  if (edges + LineWidth() == 0) return;
  HDC dc = GetWindowDC(Handle());
  if (dc == nullptr) return;
  RECT window{};
  GetWindowRect(Handle(), &window);
  POINT client{0, 0};
  ::ClientToScreen(Handle(), &client);
  // The bevels lie just outside the client area.
  RECT r{client.x - window.left - edges, client.y - window.top - edges, 0, 0};
  RECT inner{};
  GetClientRect(Handle(), &inner);
  r.right = r.left + inner.right + 2 * edges;
  r.bottom = r.top + inner.bottom + 2 * edges;
  const auto edge = [](TBevelCut cut, bool outer) -> UINT {
    if (cut == bvLowered) return outer ? BDR_SUNKENOUTER : BDR_SUNKENINNER;
    if (cut == bvRaised) return outer ? BDR_RAISEDOUTER : BDR_RAISEDINNER;
    return 0;
  };
  if (LineWidth() > 0) {
    RECT line = r;
    InflateRect(&line, 1, 1);
    FrameRect(dc, &line, GetSysColorBrush(COLOR_WINDOWFRAME));
  }
  const UINT flags = bevelKind_ == bkFlat ? BF_RECT | BF_FLAT : BF_RECT;
  if (bevelOuter_ != bvNone) {
    DrawEdge(dc, &r, edge(bevelOuter_, true), flags);
    InflateRect(&r, -1, -1);
  }
  if (bevelInner_ != bvNone) DrawEdge(dc, &r, edge(bevelInner_, false), flags);
  ReleaseDC(Handle(), dc);
}

void TCustomEdit::CreateHandleDone() {
  HWND wnd = Handle();
  SendMessageW(wnd, EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
  if (passwordChar_ != 0) SendMessageW(wnd, EM_SETPASSWORDCHAR, passwordChar_, 0);
}

void TCustomEdit::SetMaxLength(int value) {
  maxLength_ = std::max(0, value);
  if (HandleAllocated()) SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TCustomEdit::SetPasswordChar(wchar_t value) {
  if (value == passwordChar_) return;
  passwordChar_ = value;
  if (!HandleAllocated()) return;
  SendMessageW(Handle(), EM_SETPASSWORDCHAR, value, 0);
  Invalidate();
}

void TCustomEdit::SetReadOnly(bool value) {
  readOnly_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETREADONLY, value ? TRUE : FALSE, 0);
}

void TCustomEdit::SetBorderStyle(TBorderStyle value) {
  if (value == borderStyle_) return;
  borderStyle_ = value;
  RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
  if (value == charCase_) return;
  charCase_ = value;
  RecreateWnd();
}

bool TCustomEdit::Modified() {
  return HandleAllocated() && SendMessageW(Handle(), EM_GETMODIFY, 0, 0) != 0;
}

void TCustomEdit::SetModified(bool value) {
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETMODIFY, value ? TRUE : FALSE, 0);
}

int TCustomEdit::SelStart() {
  DWORD start = 0, end = 0;
  SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

void TCustomEdit::SetSelStart(int value) { SendMessageW(Handle(), EM_SETSEL, value, value); }

int TCustomEdit::SelLength() {
  DWORD start = 0, end = 0;
  SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
               reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TCustomEdit::SetSelLength(int value) {
  const int start = SelStart();
  SendMessageW(Handle(), EM_SETSEL, start, start + value);
}

void TCustomEdit::SelectAll() { SendMessageW(Handle(), EM_SETSEL, 0, -1); }

void TCustomEdit::DoEnter() {
  if (autoSelect_ && !(GetWindowLongW(Handle(), GWL_STYLE) & ES_MULTILINE)) SelectAll();
  TWinControl::DoEnter();
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::Dispatch(TMessage& m) {
  if (m.Msg == CN_COMMAND && m.WParamHi() == EN_CHANGE) {
    Change();
    return;
  }
  TWinControl::Dispatch(m);
  if (m.Msg == WM_NCCALCSIZE && m.LParam != 0) {
    // Either form of the message starts with the client rectangle.
    const int edges = BevelEdges() + LineWidth();
    InflateRect(reinterpret_cast<RECT*>(m.LParam), -edges, -edges);
  } else if (m.Msg == WM_NCPAINT) {
    PaintNonClient();
  }
}

// --- labelled edit -----------------------------------------------------------------

TBoundLabel::TBoundLabel(TComponent* owner) : TCustomLabel(owner) { SetName("SubLabel"); }

void TBoundLabel::AdjustBounds() {
  TCustomLabel::AdjustBounds();
  if (auto* edit = dynamic_cast<TCustomLabeledEdit*>(Owner())) edit->PlaceLabel();
}

TCustomLabeledEdit::TCustomLabeledEdit(TComponent* owner) : TCustomEdit(owner) {}

void TCustomLabeledEdit::AfterConstruction() {
  TCustomEdit::AfterConstruction();
  editLabel_ = Create<TBoundLabel>(this);
  editLabel_->FreeNotification(this);
  editLabel_->SetFocusControl(this);
}

void TCustomLabeledEdit::Notification(TComponent* component, TOperation operation) {
  TCustomEdit::Notification(component, operation);
  if (operation == opRemove && component == editLabel_) editLabel_ = nullptr;
}

void TCustomLabeledEdit::SetParent(TWinControl* parent) {
  TCustomEdit::SetParent(parent);
  if (editLabel_ == nullptr) return;
  editLabel_->SetParent(parent);
  editLabel_->SetVisible(true);
  PlaceLabel();
}

void TCustomLabeledEdit::SetLabelPosition(TLabelPosition value) {
  labelPosition_ = value;
  PlaceLabel();
}

void TCustomLabeledEdit::SetLabelSpacing(int value) {
  labelSpacing_ = value;
  PlaceLabel();
}

void TCustomLabeledEdit::BoundsChanged() { PlaceLabel(); }

void TCustomLabeledEdit::PlaceLabel() {
  if (editLabel_ == nullptr) return;
  TBoundLabel* l = editLabel_;
  switch (labelPosition_) {
    case lpAbove:
      l->SetBounds(Left(), Top() - l->Height() - labelSpacing_, l->Width(), l->Height());
      break;
    case lpBelow:
      l->SetBounds(Left(), Top() + Height() + labelSpacing_, l->Width(), l->Height());
      break;
    case lpLeft:
      l->SetBounds(Left() - l->Width() - labelSpacing_, Top() + (Height() - l->Height()) / 2,
                   l->Width(), l->Height());
      break;
    case lpRight:
      l->SetBounds(Left() + Width() + labelSpacing_, Top() + (Height() - l->Height()) / 2,
                   l->Width(), l->Height());
      break;
  }
}

void TCustomLabeledEdit::Dispatch(TMessage& m) {
  TCustomEdit::Dispatch(m);
  if (editLabel_ == nullptr) return;
  if (m.Msg == CM_VISIBLECHANGED) editLabel_->SetVisible(Visible());
  if (m.Msg == CM_ENABLEDCHANGED) editLabel_->SetEnabled(Enabled());
}

// --- items -------------------------------------------------------------------------

bool TControlItems::HasWindow() const { return control_->HandleAllocated(); }

void TControlItems::InsertIntoWindow(int index, const std::string& s) {
  SendText(control_->Handle(), msgs_.insert, static_cast<WPARAM>(index), s);
}

int TControlItems::Add(const std::string& s) { return AddObject(s, nullptr); }

int TControlItems::AddObject(const std::string& s, TObject* object) {
  const int before = list_.Count();
  const int index = list_.AddObject(s, object);
  if (list_.Count() != before && HasWindow()) InsertIntoWindow(index, s);
  return index;
}

void TControlItems::Insert(int index, const std::string& s) {
  list_.Insert(index, s);
  if (HasWindow()) InsertIntoWindow(index, s);
}

void TControlItems::Put(int index, const std::string& s) {
  list_.Put(index, s);
  if (!HasWindow()) return;
  // The window has no "replace": delete and insert, keeping the selection.
  HWND wnd = control_->Handle();
  const LRESULT sel = SendMessageW(wnd, msgs_.getCurSel, 0, 0);
  SendMessageW(wnd, msgs_.remove, static_cast<WPARAM>(index), 0);
  InsertIntoWindow(index, s);
  if (sel == index) SendMessageW(wnd, msgs_.setCurSel, static_cast<WPARAM>(index), 0);
}

void TControlItems::Delete(int index) {
  list_.Delete(index);
  if (HasWindow()) SendMessageW(control_->Handle(), msgs_.remove, static_cast<WPARAM>(index), 0);
}

void TControlItems::Clear() {
  list_.Clear();
  if (HasWindow()) SendMessageW(control_->Handle(), msgs_.reset, 0, 0);
}

void TControlItems::Assign(const TStringList& source) {
  BeginUpdate();
  list_.Clear();
  for (int i = 0; i < source.Count(); ++i) list_.AddObject(source[i], source.Objects(i));
  EndUpdate();
  Fill();
}

void TControlItems::AddStrings(const TStringList& source) {
  BeginUpdate();
  for (int i = 0; i < source.Count(); ++i) AddObject(source[i], source.Objects(i));
  EndUpdate();
}

void TControlItems::SetText(std::string_view text) {
  TStringList lines;
  lines.SetText(text);
  Assign(lines);
}

void TControlItems::SetSorted(bool value) {
  if (value == list_.Sorted()) return;
  list_.SetSorted(value);
  Fill();
}

void TControlItems::BeginUpdate() {
  if (updateCount_++ == 0 && HasWindow()) SendMessageW(control_->Handle(), WM_SETREDRAW, FALSE, 0);
}

void TControlItems::EndUpdate() {
  if (--updateCount_ > 0 || !HasWindow()) return;
  HWND wnd = control_->Handle();
  SendMessageW(wnd, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(wnd, nullptr, TRUE);
}

void TControlItems::Fill() {
  if (!HasWindow()) return;
  HWND wnd = control_->Handle();
  SendMessageW(wnd, msgs_.reset, 0, 0);
  for (int i = 0; i < list_.Count(); ++i) InsertIntoWindow(i, list_[i]);
}

// --- memo --------------------------------------------------------------------------

void TMemoStrings::Read(TStringList& list) const { list.SetText(memo_->Text()); }

void TMemoStrings::Write(const TStringList& list) {
  std::string text = list.Text();
  // No line break after the last line: the memo would show an empty one.
  if (text.size() >= 2) text.resize(text.size() - 2);
  memo_->SetText(text);
}

int TMemoStrings::Count() const {
  TStringList list;
  Read(list);
  return list.Count();
}

std::string TMemoStrings::Strings(int index) const {
  TStringList list;
  Read(list);
  return list[index];
}

std::string TMemoStrings::Text() const {
  TStringList list;
  Read(list);
  return list.Text();
}

void TMemoStrings::Put(int index, const std::string& s) {
  TStringList list;
  Read(list);
  list.Put(index, s);
  Write(list);
}

int TMemoStrings::Add(const std::string& s) {
  TStringList list;
  Read(list);
  const int index = list.Add(s);
  Write(list);
  return index;
}

void TMemoStrings::Insert(int index, const std::string& s) {
  TStringList list;
  Read(list);
  list.Insert(index, s);
  Write(list);
}

void TMemoStrings::Delete(int index) {
  TStringList list;
  Read(list);
  list.Delete(index);
  Write(list);
}

void TMemoStrings::Clear() { memo_->SetText(""); }

void TMemoStrings::Assign(const TStringList& source) { Write(source); }

void TMemoStrings::SetText(std::string_view text) {
  TStringList list;
  list.SetText(text);
  Write(list);
}

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner) {
  SetControlStyle(ControlStyle() & ~csFixedHeight);
  SetBounds(0, 0, 185, 89);
}

void TCustomMemo::CreateParams(TCreateParams& p) {
  TCustomEdit::CreateParams(p);
  p.Style |= ES_MULTILINE | ES_WANTRETURN;
  if (!wantReturns_) p.Style &= ~static_cast<DWORD>(ES_WANTRETURN);
  if (scrollBars_ == ssVertical || scrollBars_ == ssBoth) p.Style |= WS_VSCROLL;
  if (scrollBars_ == ssHorizontal || scrollBars_ == ssBoth) p.Style |= WS_HSCROLL;
  // A word-wrapping memo scrolls vertically only.
  if (wordWrap_ && scrollBars_ != ssHorizontal && scrollBars_ != ssBoth)
    p.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
}

void TCustomMemo::SetScrollBars(TScrollStyle value) {
  if (value == scrollBars_) return;
  scrollBars_ = value;
  RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  RecreateWnd();
}

void TCustomMemo::Dispatch(TMessage& m) {
  if (m.Msg == WM_GETDLGCODE) {
    TCustomEdit::Dispatch(m);
    if (!wantTabs_) m.Result &= ~static_cast<LRESULT>(DLGC_WANTTAB);
    if (!wantReturns_) m.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
    return;
  }
  TCustomEdit::Dispatch(m);
}

// --- buttons -----------------------------------------------------------------------

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {
  // Clicks come from the system button's BN_CLICKED, not from our mouse path.
  SetControlStyle((ControlStyle() | csSetCaption) & ~(csClickEvents | csDoubleClicks));
  SetTabStop(true);
}

void TButtonControl::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, L"BUTTON");
  if (wordWrap_) p.Style |= BS_MULTILINE;
  // Double clicks would come as WM_LBUTTONDBLCLK and lose a click.
  p.WindowClass.style &= ~static_cast<UINT>(CS_DBLCLKS);
}

void TButtonControl::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  RecreateWnd();
}

TButton::TButton(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 75, 25); }

void TButton::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  p.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::CreateHandleDone() { active_ = default_; }

void TButton::SetDefault(bool value) {
  if (value == default_) return;
  default_ = value;
  active_ = value;
  if (HandleAllocated()) SetButtonStyle(value);
}

void TButton::SetButtonStyle(bool isDefault) {
  SendMessageW(Handle(), BM_SETSTYLE, isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::Click() {
  if (modalResult_ != 0) {
    if (TCustomForm* form = GetParentForm()) form->SetModalResult(modalResult_);
  }
  TButtonControl::Click();
}

void TButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      if (m.WParamHi() == BN_CLICKED && !ClicksDisabled()) Click();
      return;
    case CM_DIALOGKEY:
      // Enter for the default button (or the focused one), Escape for cancel.
      if (((m.WParam == VK_RETURN && active_) || (m.WParam == VK_ESCAPE && cancel_)) && Visible() &&
          Enabled() && (GetKeyState(VK_MENU) >= 0)) {
        Click();
        m.Result = 1;
      }
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(m.WParam, Caption()) && Visible() && Enabled()) {
        Click();
        m.Result = 1;
      }
      return;
    case CM_FOCUSCHANGED: {
      // A focused button takes Enter; otherwise the default button has it.
      auto* focused = reinterpret_cast<TControl*>(m.LParam);
      const bool active = dynamic_cast<TButton*>(focused) != nullptr ? focused == this : default_;
      if (active != active_) {
        active_ = active;
        if (HandleAllocated()) SetButtonStyle(active);
      }
      return;
    }
    default:
      TButtonControl::Dispatch(m);
  }
}

// --- check box ---------------------------------------------------------------------

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) {
  SetBounds(0, 0, 97, 17);
}

void TCustomCheckBox::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  // The object holds the state: the button must not change it by itself.
  p.Style |= BS_3STATE;
  if (alignment_ == taLeftJustify) p.Style |= BS_LEFTTEXT;
}

void TCustomCheckBox::CreateHandleDone() {
  SendMessageW(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0);
}

void TCustomCheckBox::SetState(TCheckBoxState value) {
  if (value == state_) return;
  state_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, static_cast<WPARAM>(value), 0);
  // The change is told first: the click's handler may free the box.
  Changed();
  if (!ClicksDisabled()) Click();
}

void TCustomCheckBox::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  RecreateWnd();
}

// Unchecked, checked, then grayed when allowed, and round again.
void TCustomCheckBox::Toggle() {
  switch (state_) {
    case cbUnchecked:
      SetState(cbChecked);
      break;
    case cbChecked:
      SetState(allowGrayed_ ? cbGrayed : cbUnchecked);
      break;
    case cbGrayed:
      SetState(cbUnchecked);
      break;
  }
}

void TCustomCheckBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      if (m.WParamHi() == BN_CLICKED) Toggle();
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(m.WParam, Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) Toggle();
        m.Result = 1;
      }
      return;
    default:
      TButtonControl::Dispatch(m);
  }
}

// --- radio button ------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 113, 17); }

void TRadioButton::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  // BS_RADIOBUTTON, not the automatic kind: the siblings are ours to uncheck.
  p.Style |= BS_RADIOBUTTON;
  if (alignment_ == taLeftJustify) p.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateHandleDone() {
  SendMessageW(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  SetTabStop(value);
  if (HandleAllocated())
    SendMessageW(Handle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!value) return;
  if (TWinControl* parent = Parent()) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
      auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i));
      if (sibling != nullptr && sibling != this) sibling->SetChecked(false);
    }
  }
  if (!ClicksDisabled()) Click();
}

void TRadioButton::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  RecreateWnd();
}

void TRadioButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      if (m.WParamHi() == BN_CLICKED || m.WParamHi() == BN_DOUBLECLICKED) SetChecked(true);
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(m.WParam, Caption()) && CanFocus()) {
        SetFocus();
        SetChecked(true);
        m.Result = 1;
      }
      return;
    default:
      TButtonControl::Dispatch(m);
  }
}

// --- combo box ---------------------------------------------------------------------

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWinControl(owner),
      items_(this, {CB_INSERTSTRING, CB_DELETESTRING, CB_RESETCONTENT, CB_GETCURSEL, CB_SETCURSEL}),
      canvas_(std::make_unique<TCanvas>()) {
  SetControlStyle((ControlStyle() | csFixedHeight) & ~csClickEvents);
  SetBounds(0, 0, 145, 21);
  SetTabStop(true);
  SetColor(clWindow);
}

TCustomComboBox::~TCustomComboBox() {
  // The children's hooks call into this object: take them off before it goes.
  if (editHandle_ != nullptr) UnsubclassForeign(editHandle_, this);
  if (listHandle_ != nullptr) UnsubclassForeign(listHandle_, this);
  editHandle_ = listHandle_ = nullptr;
}

void TCustomComboBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, L"COMBOBOX");
  p.Style |= WS_VSCROLL | CBS_AUTOHSCROLL;
  switch (style_) {
    case csDropDown:
      p.Style |= CBS_DROPDOWN;
      break;
    case csSimple:
      p.Style |= CBS_SIMPLE;
      break;
    case csDropDownList:
      p.Style |= CBS_DROPDOWNLIST;
      break;
    case csOwnerDrawFixed:
      p.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;
      break;
    case csOwnerDrawVariable:
      p.Style |= CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE | CBS_HASSTRINGS;
      break;
  }
}

void TCustomComboBox::CreateHandleDone() {
  HWND wnd = Handle();
  ++quiet_;
  items_.Fill();
  SendMessageW(wnd, CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
  if (style_ == csDropDown || style_ == csSimple) {
    SendMessageW(wnd, CB_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
    if (itemIndex_ < 0) SetWindowTextW(wnd, Wide(TextField()).c_str());
  }
  --quiet_;
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (GetComboBoxInfo(wnd, &info)) {
    editHandle_ = info.hwndItem != wnd ? info.hwndItem : nullptr;
    listHandle_ = info.hwndList;
  }
  if (editHandle_ != nullptr) {
    SubclassChild(editHandle_);
    SendMessageW(editHandle_, EM_SETREADONLY, readOnly_ ? TRUE : FALSE, 0);
  }
  if (listHandle_ != nullptr) SubclassChild(listHandle_);
  FitDropDown();
}

void TCustomComboBox::DestroyWnd() {
  if (HandleAllocated()) itemIndex_ = static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
  if (editHandle_ != nullptr) UnsubclassForeign(editHandle_, this);
  if (listHandle_ != nullptr) UnsubclassForeign(listHandle_, this);
  editHandle_ = listHandle_ = nullptr;
  TWinControl::DestroyWnd();
}

void TCustomComboBox::SubclassChild(HWND wnd) {
  SubclassForeign(wnd, this, [this](HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    TMessage m{msg, wp, lp, 0};
    try {
      ComboWndProc(m, w);
    } catch (...) {
      HandleEntryException(this);
    }
    return m.Result;
  });
}

void TCustomComboBox::ComboWndProc(TMessage& m, HWND wnd) {
  // The edit part takes the keys: the combo box's key events see them first.
  if (wnd == editHandle_) {
    if (m.Msg == WM_KEYDOWN || m.Msg == WM_SYSKEYDOWN) {
      WORD key = static_cast<WORD>(m.WParam);
      KeyDown(key, KeyDataToShiftState(m.LParam));
      if (key == 0) return;
      m.WParam = key;
    } else if (m.Msg == WM_CHAR) {
      wchar_t key = static_cast<wchar_t>(m.WParam);
      KeyPress(key);
      if (key == 0) return;
      m.WParam = key;
    }
  }
  m.Result = DefSubclassProc(wnd, m.Msg, m.WParam, m.LParam);
}

void TCustomComboBox::FitDropDown() {
  if (!HandleAllocated() || style_ == csSimple) return;
  HWND wnd = Handle();
  const int itemHeight = static_cast<int>(SendMessageW(wnd, CB_GETITEMHEIGHT, 0, 0));
  const int editHeight =
      static_cast<int>(SendMessageW(wnd, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
  const int rows = std::max(1, std::min(items_.Count(), dropDownCount_));
  // A drop-down combo box's window height sets the height of its list.
  const int height = editHeight + 8 + rows * itemHeight + 2;
  RECT rc;
  GetWindowRect(wnd, &rc);
  SetWindowPos(wnd, nullptr, 0, 0, rc.right - rc.left, height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void TCustomComboBox::SetStyle(TComboBoxStyle value) {
  if (value == style_) return;
  style_ = value;
  RecreateWnd();
}

int TCustomComboBox::ItemIndex() {
  if (!HandleAllocated()) return itemIndex_;
  return static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
}

void TCustomComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= items_.Count()) index = -1;
  itemIndex_ = index;
  if (!HandleAllocated()) {
    if (index >= 0) TextField() = items_[index];
    return;
  }
  ++quiet_;
  SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  --quiet_;
}

void TCustomComboBox::SetDropDownCount(int value) {
  dropDownCount_ = std::max(1, value);
  FitDropDown();
}

bool TCustomComboBox::DroppedDown() {
  return HandleAllocated() && SendMessageW(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void TCustomComboBox::SetDroppedDown(bool value) {
  SendMessageW(Handle(), CB_SHOWDROPDOWN, value ? TRUE : FALSE, 0);
}

int TCustomComboBox::ItemHeight() {
  if (!HandleAllocated()) return itemHeight_;
  return static_cast<int>(SendMessageW(Handle(), CB_GETITEMHEIGHT, 0, 0));
}

void TCustomComboBox::SetItemHeight(int value) {
  itemHeight_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), CB_SETITEMHEIGHT, 0, value);
}

void TCustomComboBox::SetSorted(bool value) {
  const std::string current = ItemIndex() >= 0 ? items_[ItemIndex()] : "";
  const bool had = ItemIndex() >= 0;
  items_.SetSorted(value);
  if (had) SetItemIndex(items_.IndexOf(current));
}

void TCustomComboBox::SetMaxLength(int value) {
  maxLength_ = std::max(0, value);
  if (HandleAllocated()) SendMessageW(Handle(), CB_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TCustomComboBox::SetReadOnly(bool value) {
  readOnly_ = value;
  if (editHandle_ != nullptr) SendMessageW(editHandle_, EM_SETREADONLY, value ? TRUE : FALSE, 0);
}

void TCustomComboBox::Clear() {
  ++quiet_;
  items_.Clear();
  itemIndex_ = -1;
  SetText("");
  --quiet_;
}

void TCustomComboBox::Change() {
  if (quiet_ == 0 && OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect) OnSelect(this);
}

void TCustomComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

void TCustomComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state) {
  canvas_->FillRect(rect);
  if (OnDrawItem) {
    OnDrawItem(this, index, rect, state);
  } else if (index >= 0 && index < items_.Count()) {
    canvas_->TextOut(rect.Left + 2, rect.Top, items_[index]);
  }
}

void TCustomComboBox::MeasureItem(int index, int& height) {
  if (OnMeasureItem) OnMeasureItem(this, index, height);
}

void TCustomComboBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_COMMAND:
      switch (m.WParamHi()) {
        case CBN_SELCHANGE: {
          itemIndex_ = static_cast<int>(SendMessageW(Handle(), CB_GETCURSEL, 0, 0));
          // The edit part shows the new item only after this notification.
          if (itemIndex_ >= 0) TextField() = items_[itemIndex_];
          // OnChange may free the box (a pick that closes its window).
          const TLifeToken life = LifeToken();
          Change();
          if (life.Alive()) Select();
          return;
        }
        case CBN_EDITCHANGE:
          Change();
          return;
        case CBN_DROPDOWN:
          FitDropDown();
          DropDown();
          return;
        case CBN_CLOSEUP:
          CloseUp();
          return;
        default:
          return;
      }
    case CN_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      const TCanvasBinding binding(*canvas_, dis->hDC);
      canvas_->Font()->Assign(*Font());
      const bool selected = (dis->itemState & ODS_SELECTED) != 0;
      canvas_->Brush()->SetColor(selected ? clHighlight : Color());
      canvas_->Font()->SetColor(selected ? clHighlightText : Font()->Color());
      const TRect r =
          Rect(dis->rcItem.left, dis->rcItem.top, dis->rcItem.right, dis->rcItem.bottom);
      DrawItem(static_cast<int>(dis->itemID), r, OwnerDrawState(dis->itemState));
      m.Result = 1;
      return;
    }
    case CN_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
      int height = itemHeight_;
      MeasureItem(static_cast<int>(mis->itemID), height);
      mis->itemHeight = static_cast<UINT>(std::max(1, height));
      m.Result = 1;
      return;
    }
    case WM_SETTEXT:
      ++quiet_;
      try {
        TWinControl::Dispatch(m);
      } catch (...) {
        --quiet_;
        throw;
      }
      --quiet_;
      return;
    default:
      TWinControl::Dispatch(m);
  }
}

// --- list box ----------------------------------------------------------------------

TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner),
      items_(this,
             {LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT, LB_GETCURSEL, LB_SETCURSEL}) {
  SetControlStyle(ControlStyle() & ~csClickEvents);
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetColor(clWindow);
}

void TCustomListBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  CreateSubClass(p, L"LISTBOX");
  p.Style |= LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL;
  if (multiSelect_) p.Style |= LBS_EXTENDEDSEL;
  p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::CreateHandleDone() {
  items_.Fill();
  if (itemHeight_ > 0) SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, itemHeight_);
  SetItemIndex(itemIndex_);
}

int TCustomListBox::ItemIndex() {
  if (!HandleAllocated()) return itemIndex_;
  const UINT msg = multiSelect_ ? LB_GETCARETINDEX : LB_GETCURSEL;
  const int index = static_cast<int>(SendMessageW(Handle(), msg, 0, 0));
  if (multiSelect_ && index >= 0 && !Selected(index)) return -1;
  return index;
}

void TCustomListBox::SetItemIndex(int index) {
  if (index < -1 || index >= items_.Count()) index = -1;
  itemIndex_ = index;
  if (!HandleAllocated()) return;
  if (multiSelect_) {
    SendMessageW(Handle(), LB_SETSEL, FALSE, -1);
    if (index >= 0) SendMessageW(Handle(), LB_SETSEL, TRUE, index);
    SendMessageW(Handle(), LB_SETCARETINDEX, static_cast<WPARAM>(std::max(0, index)), FALSE);
  } else {
    SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
}

void TCustomListBox::SetSorted(bool value) { items_.SetSorted(value); }

void TCustomListBox::SetMultiSelect(bool value) {
  if (value == multiSelect_) return;
  multiSelect_ = value;
  RecreateWnd();
}

bool TCustomListBox::Selected(int index) {
  const LRESULT r = SendMessageW(Handle(), LB_GETSEL, static_cast<WPARAM>(index), 0);
  return r > 0;
}

void TCustomListBox::SetSelected(int index, bool value) {
  if (multiSelect_) {
    SendMessageW(Handle(), LB_SETSEL, value ? TRUE : FALSE, index);
  } else if (value) {
    SetItemIndex(index);
  } else if (ItemIndex() == index) {
    SetItemIndex(-1);
  }
}

int TCustomListBox::SelCount() {
  if (!multiSelect_) return ItemIndex() >= 0 ? 1 : 0;
  return static_cast<int>(SendMessageW(Handle(), LB_GETSELCOUNT, 0, 0));
}

int TCustomListBox::TopIndex() {
  return static_cast<int>(SendMessageW(Handle(), LB_GETTOPINDEX, 0, 0));
}

void TCustomListBox::SetTopIndex(int index) {
  SendMessageW(Handle(), LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
}

void TCustomListBox::SetItemHeight(int value) {
  itemHeight_ = value;
  if (HandleAllocated() && value > 0) SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, value);
}

void TCustomListBox::Dispatch(TMessage& m) {
  if (m.Msg == CN_COMMAND) {
    if (m.WParamHi() == LBN_SELCHANGE) {
      itemIndex_ = ItemIndex();
      Click();
    } else if (m.WParamHi() == LBN_DBLCLK) {
      DblClick();
    }
    return;
  }
  if (m.Msg == WM_DESTROY && HandleAllocated()) itemIndex_ = ItemIndex();
  TWinControl::Dispatch(m);
}

// --- group box ---------------------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls | csSetCaption | csReplicatable);
  SetBounds(0, 0, 185, 105);
}

void TCustomGroupBox::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.ExStyle |= WS_EX_CONTROLPARENT;
}

void TCustomGroupBox::AdjustClientRect(TRect& rect) {
  TCustomControl::AdjustClientRect(rect);
  Canvas()->Font()->Assign(*Font());
  TEXTMETRICW tm{};
  {
    const TScreenDC screen;
    const TSelectedObject font(screen.Handle(), Font()->Handle());
    GetTextMetricsW(screen.Handle(), &tm);
  }
  rect.Top += tm.tmHeight;
  InflateRect(rect, -1, -1);
}

void TCustomGroupBox::Paint() {
  TCanvas* c = Canvas();
  c->Font()->Assign(*Font());
  const int textHeight = c->TextHeight("0");
  TRect r = Rect(0, textHeight / 2, Width(), Height());
  c->Brush()->SetColor(Color());
  c->Brush()->SetStyle(bsSolid);
  c->FillRect(ClientRect());
  // Etched frame: shadow, then highlight one pixel in.
  RECT frame{r.Left, r.Top, r.Right, r.Bottom};
  DrawEdge(c->Handle(), &frame, EDGE_ETCHED, BF_RECT);
  const std::string text = Caption();
  if (text.empty()) return;
  const std::wstring w = Wide(text);
  RECT tr{8, 0, 0, textHeight};
  HDC dc = c->Handle();
  DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &tr, DT_CALCRECT | DT_SINGLELINE);
  tr.left -= 2;
  tr.right += 2;
  FillRect(dc, &tr, c->Brush()->Handle());
  tr.left += 2;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
  DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &tr, DT_SINGLELINE);
}

void TCustomGroupBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      TCustomControl::Dispatch(m);
      Realign();
      Invalidate();
      return;
    default:
      if (IsDialogMessage(m.Msg)) {
        Broadcast(m);
        return;
      }
      TCustomControl::Dispatch(m);
  }
}

}  // namespace kv
