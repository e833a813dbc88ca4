#include "classlib/Controls.h"

#include <windowsx.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <set>

#include "classlib/ActnList.h"
#include "classlib/Forms.h"
#include "classlib/Menus.h"
#include "classlib/PlatformCalls.h"
#include "classlib/WideText.h"
#include "classlib/WindowProps.h"

namespace kv {

namespace {

constexpr wchar_t kObjectProp[] = L"KvControl";

// The control whose window CreateWindowEx is making: its first messages
// (WM_GETMINMAXINFO, WM_NCCREATE) arrive before the call returns.
thread_local TWinControl* t_creating = nullptr;

// The window with this thread's keyboard focus, as our windows are told it:
// WM_SETFOCUS names the window gaining it, WM_KILLFOCUS the one it goes to
// (ours or not). GetFocus asks the window server every time, a round trip
// under Wine for each control that paints; one of our windows has the focus
// exactly when this names it.
thread_local HWND t_focus = nullptr;

TControl* g_mouseControl = nullptr;
TControl* g_captureControl = nullptr;
std::set<TControlCanvas*> g_canvasesWithDC;

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

// Child window identifiers. WM_COMMAND carries only their low 16 bits, so
// the identifiers of destroyed windows are given out again rather than
// counting on past 0xFFFF in a long session.
class TChildIds {
 public:
  int Acquire() {
    if (free_.empty()) {
      if (next_ > kLast) throw EOutOfResources("No child window identifier left");
      return next_++;
    }
    const int id = *free_.begin();
    free_.erase(free_.begin());
    return id;
  }
  void Release(int id) { free_.insert(id); }

 private:
  static constexpr int kLast = 0xFFFE;  // 0xFFFF is the "no identifier" of static texts
  int next_ = 100;
  std::set<int> free_;
};

TChildIds& ChildIds() {
  static TChildIds ids;
  return ids;
}

bool IsMouseMessage(UINT msg) {
  return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL &&
         msg != WM_MOUSEHWHEEL;
}

}  // namespace

void HandleEntryException(TObject* sender) noexcept {
  try {
    if (Application != nullptr) {
      Application->HandleException(sender);
      return;
    }
  } catch (...) {
  }
  OutputDebugStringW(L"kvconfig: exception at a Win32 entry with no application object\n");
}

HCURSOR CursorHandle(TCursor cursor) {
  const wchar_t* id = IDC_ARROW;
  switch (cursor) {
    case crCross:
      id = IDC_CROSS;
      break;
    case crIBeam:
      id = IDC_IBEAM;
      break;
    case crSizeNESW:
      id = IDC_SIZENESW;
      break;
    case crSizeNS:
      id = IDC_SIZENS;
      break;
    case crSizeNWSE:
      id = IDC_SIZENWSE;
      break;
    case crSizeWE:
      id = IDC_SIZEWE;
      break;
    case crUpArrow:
      id = IDC_UPARROW;
      break;
    case crHourGlass:
      id = IDC_WAIT;
      break;
    case crNo:
      id = IDC_NO;
      break;
    case crAppStart:
      id = IDC_APPSTARTING;
      break;
    case crHelp:
      id = IDC_HELP;
      break;
    case crHandPoint:
      id = IDC_HAND;
      break;
    case crSizeAll:
      id = IDC_SIZEALL;
      break;
    case crNone:
      return nullptr;
    default:
      break;
  }
  return LoadCursorW(nullptr, id);
}

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TShiftState KeyDataToShiftState(LPARAM keyData) {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (keyData & 0x20000000) s |= ssAlt;
  return s;
}

bool IsAccel(WPARAM key, const std::string& caption) {
  const std::wstring w = Wide(caption);
  for (size_t i = 0; i + 1 < w.size(); ++i) {
    if (w[i] != L'&') continue;
    if (w[i + 1] == L'&') {
      ++i;
      continue;
    }
    return std::towupper(w[i + 1]) == std::towupper(static_cast<wint_t>(key));
  }
  return false;
}

// --- the Win32 entry ------------------------------------------------------------------

LRESULT CALLBACK ClassLibWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* control = static_cast<TWinControl*>(GetLocalProp(wnd, kObjectProp));
  if (control == nullptr) {
    control = t_creating;
    if (control == nullptr) return DefWindowProcW(wnd, msg, wParam, lParam);
    t_creating = nullptr;
    control->handle_ = wnd;
    SetLocalProp(wnd, kObjectProp, control);
    ++GdiCounters().Props;
  }
  if (msg == WM_SETFOCUS)
    t_focus = wnd;
  else if (msg == WM_KILLFOCUS)
    t_focus = reinterpret_cast<HWND>(wParam);
  TMessage m{msg, wParam, lParam, 0};
  control->MainWndProc(m);
  return m.Result;
}

namespace {

// Registers (once) the window class a control asks for. All our classes
// share one procedure; the class's own procedure is kept for default handling.
void RegisterControlClass(const TCreateParams& params) {
  WNDCLASSW existing{};
  if (GetClassInfoW(Instance(), params.WinClassName.c_str(), &existing)) return;
  WNDCLASSW wc = params.WindowClass;
  wc.lpfnWndProc = ClassLibWndProc;
  wc.hInstance = Instance();
  wc.lpszClassName = params.WinClassName.c_str();
  wc.style &= ~static_cast<UINT>(CS_GLOBALCLASS);
  if (RegisterClassW(&wc) == 0)
    throw EOutOfResources("Cannot register window class " + Narrow(params.WinClassName));
}

TControl* ControlAtScreenPoint(POINT pt) {
  HWND wnd = WindowFromPoint(pt);
  TWinControl* owner = nullptr;
  while (wnd != nullptr && (owner = TWinControl::FromHandle(wnd)) == nullptr) wnd = GetParent(wnd);
  if (owner == nullptr) return nullptr;
  const TPoint p = owner->ScreenToClient(TPoint{pt.x, pt.y});
  if (TControl* child = owner->ControlAtPos(p, false, false)) return child;
  return owner;
}

void SetMouseControl(TControl* control) {
  if (control == g_mouseControl) return;
  TControl* old = g_mouseControl;
  g_mouseControl = control;
  // A handler may free the control; the chain of parents is taken first.
  if (old != nullptr) {
    std::vector<TControl*> chain;
    for (TControl* p = old->Parent(); p != nullptr; p = p->Parent()) chain.push_back(p);
    old->Perform(CM_MOUSELEAVE, 0, 0);
    for (TControl* p : chain) p->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
  }
  if (control != nullptr && control == g_mouseControl) {
    std::vector<TControl*> chain;
    for (TControl* p = control->Parent(); p != nullptr; p = p->Parent()) chain.push_back(p);
    control->Perform(CM_MOUSEENTER, 0, 0);
    for (TControl* p : chain) p->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(control));
  }
}

}  // namespace

TControl* MouseControl() { return g_mouseControl; }

void CheckMouseControl() {
  POINT pt;
  if (!GetCursorPos(&pt)) return;
  SetMouseControl(ControlAtScreenPoint(pt));
}

// --- window-procedure hooks ----------------------------------------------------------

// One hook in a control's chain. WindowProc, or the link above, calls Call.
struct TWindowProcHook::TLink : std::enable_shared_from_this<TLink> {
  TLink() { ++GdiCounters().WindowProcHooks; }
  ~TLink() { --GdiCounters().WindowProcHooks; }
  TLink(const TLink&) = delete;
  TLink& operator=(const TLink&) = delete;
  TControl* control = nullptr;  // null once removed or detached
  TWndMethod hook;
  TWndMethod previous;
  void Call(TMessage& m) {
    // The hook may remove itself, or free the control, while it runs.
    const std::shared_ptr<TLink> keep = shared_from_this();
    if (control != nullptr)
      hook(m);
    else
      previous(m);
  }
};

TWindowProcHook::TWindowProcHook(std::shared_ptr<TLink> link) : link_(std::move(link)) {}

TWindowProcHook& TWindowProcHook::operator=(TWindowProcHook&& other) noexcept {
  if (this != &other) {
    Remove();
    link_ = std::move(other.link_);
  }
  return *this;
}

void TWindowProcHook::Remove() {
  if (link_ != nullptr && link_->control != nullptr) link_->control->RemoveHook(*link_);
}

bool TWindowProcHook::Installed() const { return link_ != nullptr && link_->control != nullptr; }

void TWindowProcHook::CallPrevious(TMessage& m) const {
  if (link_ != nullptr) link_->previous(m);
}

// --- TControl -------------------------------------------------------------------------

TControl::TControl(TComponent* owner)
    : TComponent(owner), WindowProc(this, &TControl::WndProc), font_(std::make_unique<TFont>()) {
  font_->OnChange = [this](TObject*) { FontChanged(); };
}

TControl::~TControl() {
  if (g_mouseControl == this) g_mouseControl = nullptr;
  if (g_captureControl == this) g_captureControl = nullptr;
  if (parent_ != nullptr) parent_->RemoveControl(this);
  WindowProc = TWndMethod(this, &TControl::WndProc);
  DetachHooks();
  hooks_.clear();
}

void TControl::BeforeDestruction() {
  if (g_mouseControl == this) g_mouseControl = nullptr;
  DetachHooks();
  TComponent::BeforeDestruction();
}

bool TControl::BeingFreed() const {
  for (const TControl* c = this; c != nullptr; c = c->parent_)
    if (c->HasState(csDestroying)) return true;
  return false;
}

void TControl::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component == static_cast<TComponent*>(popupMenu_))
    popupMenu_ = nullptr;
  if (operation == opRemove && component != nullptr && component == Action()) actionLink_.reset();
  TComponent::Notification(component, operation);
}

// --- actions -----------------------------------------------------------------------

class TControlActionLink : public TBasicActionLink {
 public:
  explicit TControlActionLink(TControl* client) : client_(client) {}

 protected:
  void Change() override { client_->ActionChange(Action(), false); }

 private:
  TControl* client_;
};

TBasicAction* TControl::Action() const { return actionLink_ ? actionLink_->Action() : nullptr; }

void TControl::SetAction(TBasicAction* action) {
  if (action == Action()) return;
  if (Action() != nullptr) Action()->RemoveFreeNotification(this);
  actionLink_.reset();
  if (action == nullptr) return;
  actionLink_ = std::make_unique<TControlActionLink>(this);
  actionLink_->SetAction(action);
  action->FreeNotification(this);
  ActionChange(action, action->HasState(csLoading));
}

void TControl::ActionChange(TBasicAction* sender, bool checkDefaults) {
  const auto* action = dynamic_cast<TCustomAction*>(sender);
  if (action == nullptr) return;
  if (!checkDefaults || Caption().empty() || Caption() == Name()) SetCaption(action->Caption());
  if (!checkDefaults || Enabled()) SetEnabled(action->Enabled());
}

void TControl::InitiateAction() {
  TBasicAction* action = Action();
  if (action == nullptr) return;
  action->Update();
  Perform(CM_ACTIONUPDATE, 0, reinterpret_cast<LPARAM>(action));
}

TWindowProcHook TControl::InstallWindowProcHook(TWndMethod hook) {
  auto link = std::make_shared<TWindowProcHook::TLink>();
  link->control = this;
  link->hook = std::move(hook);
  link->previous = WindowProc;
  WindowProc = TWndMethod(link.get(), &TWindowProcHook::TLink::Call);
  hooks_.push_back(link);
  return TWindowProcHook(std::move(link));
}

void TControl::RemoveHook(TWindowProcHook::TLink& link) {
  const TWndMethod entry(&link, &TWindowProcHook::TLink::Call);
  bool spliced = false;
  if (WindowProc == entry) {
    WindowProc = link.previous;
    spliced = true;
  } else {
    // Hooked over by another: that one calls what this one called.
    for (auto& above : hooks_)
      if (above->previous == entry) {
        above->previous = link.previous;
        spliced = true;
      }
  }
  link.control = nullptr;
  // Replaced by hand (WindowProc assigned directly): whoever did that still
  // calls the link, which stays, passing messages on, until the control goes.
  if (spliced) std::erase_if(hooks_, [&](const auto& l) { return l.get() == &link; });
}

void TControl::DetachHooks() {
  for (auto& link : hooks_) link->control = nullptr;
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage m{msg, wParam, lParam, 0};
  WindowProc(m);
  return m.Result;
}

void TControl::WndProc(TMessage& m) {
  if (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_LBUTTONDBLCLK) {
    if (controlStyle_ & csCaptureMouse) SetMouseCapture(true);
    if (controlStyle_ & csClickEvents) controlState_ |= csClicked;
  }
  const bool release = m.Msg == WM_LBUTTONUP && MouseCapture();
  const TLifeToken life = LifeToken();
  Dispatch(m);
  // Released after the handling, so that a wrapped system control still has
  // the capture when it decides about its click. The handler may have freed
  // the control, which then released the capture itself.
  if (release && life.Alive() && g_captureControl == this) SetMouseCapture(false);
}

bool TControl::MouseMessage(TMessage& m, bool down, bool up, TMouseButton button, bool dbl) {
  TShiftState shift = KeysToShiftState(m.WParam);
  if (dbl) shift |= ssDouble;
  const int x = m.XPos(), y = m.YPos();
  // Each event's handler may free the control: nothing of it is touched then.
  const TLifeToken life = LifeToken();
  if (dbl && button == mbLeft && (controlStyle_ & csDoubleClicks)) {
    DblClick();
    if (!life.Alive()) return false;
  }
  if (down) {
    MouseDown(button, shift, x, y);
    if (!life.Alive()) return false;
  }
  if (!up) return true;
  if (button == mbLeft && (controlState_ & csClicked)) {
    controlState_ &= ~csClicked;
    // The release must be inside the control for a click.
    if (x >= 0 && y >= 0 && x < width_ && y < height_) Click();
    if (!life.Alive()) return false;
  }
  MouseUp(button, shift, x, y);
  return life.Alive();
}

void TControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    // The default handling follows: a wrapped system control needs the
    // mouse too, and WM_RBUTTONUP becomes WM_CONTEXTMENU there. A control
    // freed by its own handler is not passed on.
    case WM_LBUTTONDOWN:
      if (MouseMessage(m, true, false, mbLeft, false)) DefaultHandler(m);
      return;
    case WM_LBUTTONDBLCLK:
      if (MouseMessage(m, !(controlStyle_ & csDoubleClicks), false, mbLeft, true))
        DefaultHandler(m);
      return;
    case WM_LBUTTONUP:
      if (MouseMessage(m, false, true, mbLeft, false)) DefaultHandler(m);
      return;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      if (MouseMessage(m, true, false, mbRight, false)) DefaultHandler(m);
      return;
    case WM_RBUTTONUP:
      if (MouseMessage(m, false, true, mbRight, false)) DefaultHandler(m);
      return;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      if (MouseMessage(m, true, false, mbMiddle, false)) DefaultHandler(m);
      return;
    case WM_MBUTTONUP:
      if (MouseMessage(m, false, true, mbMiddle, false)) DefaultHandler(m);
      return;
    case WM_MOUSEMOVE: {
      const TLifeToken life = LifeToken();
      MouseMove(KeysToShiftState(m.WParam), m.XPos(), m.YPos());
      if (life.Alive()) DefaultHandler(m);
      return;
    }
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
    case CM_BIDIMODECHANGED:
      Invalidate();
      return;
    case CM_PARENTFONTCHANGED:
      if (parentFont_ && parent_ != nullptr) {
        updatingFont_ = true;
        font_->Assign(*parent_->Font());
        updatingFont_ = false;
      }
      return;
    case CM_PARENTBIDIMODECHANGED:
      if (parentBiDiMode_ && parent_ != nullptr) {
        SetBiDiMode(parent_->BiDiMode());
        parentBiDiMode_ = true;
      }
      return;
    case CM_PARENTCOLORCHANGED:
      if (parentColor_ && parent_ != nullptr) {
        SetColor(parent_->Color());
        parentColor_ = true;
      }
      return;
    case CM_HITTEST:
      m.Result = 1;
      return;
    default:
      return DefaultHandler(m);
  }
}

void TControl::DefaultHandler(TMessage& m) {
  // A windowless control has no window procedure to fall back on; its text
  // is still answered so that code may ask any control alike.
  if (m.Msg == WM_GETTEXTLENGTH) {
    m.Result = static_cast<LRESULT>(Wide(text_).size());
  } else if (m.Msg == WM_GETTEXT && m.WParam > 0) {
    const std::wstring w = Wide(text_);
    const size_t n = std::min<size_t>(w.size(), m.WParam - 1);
    std::copy_n(w.c_str(), n, reinterpret_cast<wchar_t*>(m.LParam));
    reinterpret_cast<wchar_t*>(m.LParam)[n] = 0;
    m.Result = static_cast<LRESULT>(n);
  }
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}
void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}
void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}
void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}
void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (parent_ != nullptr) parent_->RemoveControl(this);
  if (parent != nullptr) {
    parent->InsertControl(this);
    // Font, colour and reading order follow the new parent unless set for this control.
    Perform(CM_PARENTFONTCHANGED);
    Perform(CM_PARENTCOLORCHANGED);
    Perform(CM_PARENTBIDIMODECHANGED);
  }
}

TCustomForm* TControl::GetParentForm() const {
  const TControl* c = this;
  while (c->parent_ != nullptr) c = c->parent_;
  return dynamic_cast<TCustomForm*>(const_cast<TControl*>(c));
}

void TControl::UpdateBoundsFields(int left, int top, int width, int height) {
  const bool resized = width != width_ || height != height_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  BoundsChanged();
  if (resized) Resize();
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  InvalidateControl(visible_, false);
  const bool resized = width != width_ || height != height_;
  const bool moved = left != left_ || top != top_;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  // A windowless control learns of its new bounds as a window would.
  WINDOWPOS wp{nullptr, nullptr, left, top, width, height, 0};
  Perform(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  if (resized) Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM(width, height));
  if (moved) Perform(WM_MOVE, 0, MAKELPARAM(left, top));
  InvalidateControl(visible_, false);
  BoundsChanged();
  if (resized) Resize();
  RequestAlign();
}

void TControl::RequestAlign() {
  if (parent_ != nullptr && align_ != alNone) parent_->Realign();
}

TRect TControl::ClientRect() { return Rect(0, 0, width_, height_); }

void TControl::SetClientWidth(int w) { SetWidth(width_ - ClientWidth() + w); }
void TControl::SetClientHeight(int h) { SetHeight(height_ - ClientHeight() + h); }

TPoint TControl::ClientOrigin() {
  if (parent_ == nullptr) return TPoint{left_, top_};
  const TPoint o = parent_->ClientOrigin();
  return TPoint{o.X + left_, o.Y + top_};
}

void TControl::SetAlign(TAlign align) {
  if (align == align_) return;
  align_ = align;
  if (parent_ != nullptr) parent_->Realign();
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  if (!visible) InvalidateControl(true, false);
  visible_ = visible;
  Perform(CM_VISIBLECHANGED, visible ? 1 : 0);
  if (visible) InvalidateControl(true, false);
  RequestAlign();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Perform(CM_ENABLEDCHANGED);
}

std::string TControl::Text() { return text_; }

void TControl::SetText(const std::string& text) {
  if (text == Text()) return;
  auto* self = dynamic_cast<TWinControl*>(this);
  if (self != nullptr && self->HandleAllocated()) {
    // The window's WM_SETTEXT handling keeps the field and raises CM_TEXTCHANGED.
    SetWindowTextW(self->Handle(), Wide(text).c_str());
    return;
  }
  text_ = text;
  Perform(CM_TEXTCHANGED);
}

void TControl::FontChanged() {
  if (!updatingFont_) parentFont_ = false;
  Perform(CM_FONTCHANGED);
}

bool UseRightToLeftReading(TBiDiMode mode) {
  return mode != bdLeftToRight && PlatformCalls().IsMiddleEastLocale();
}

bool UseRightToLeftAlignment(TBiDiMode mode) {
  return mode == bdRightToLeft && PlatformCalls().IsMiddleEastLocale();
}

void TControl::SetBiDiMode(TBiDiMode mode) {
  parentBiDiMode_ = false;
  if (mode == biDiMode_) return;
  biDiMode_ = mode;
  Perform(CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool value) {
  if (value == parentBiDiMode_) return;
  parentBiDiMode_ = value;
  if (value) Perform(CM_PARENTBIDIMODECHANGED);
}

void TControl::SetParentFont(bool value) {
  if (value == parentFont_) return;
  parentFont_ = value;
  if (value) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetColor(TColor color) {
  parentColor_ = false;
  if (color == color_) return;
  color_ = color;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
  if (value == parentColor_) return;
  parentColor_ = value;
  if (value) Perform(CM_PARENTCOLORCHANGED);
}

bool TControl::ShowHint() const {
  if (parentShowHint_ && parent_ != nullptr) return parent_->ShowHint();
  return showHint_;
}

void TControl::SetParentShowHint(bool value) {
  if (value == parentShowHint_) return;
  parentShowHint_ = value;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetShowHint(bool value) {
  const bool followed = parentShowHint_;
  parentShowHint_ = false;
  if (value == showHint_ && !followed) return;
  showHint_ = value;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  popupMenu_ = menu;
  if (menu != nullptr) FreeNotification(menu);
}

void TControl::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  Perform(CM_CURSORCHANGED);
}

void TControl::InvalidateControl(bool isVisible, bool isOpaque) {
  if (!isVisible || parent_ == nullptr || !parent_->HandleAllocated()) return;
  if (!IsWindowVisible(parent_->Handle())) return;
  RECT rc{left_, top_, left_ + width_, top_ + height_};
  InvalidateRect(parent_->Handle(), &rc, !(isOpaque || (controlStyle_ & csOpaque)));
}

void TControl::Invalidate() { InvalidateControl(visible_, (controlStyle_ & csOpaque) != 0); }

void TControl::Update() {
  if (parent_ != nullptr) parent_->Update();
}

void TControl::Repaint() {
  if (!visible_ || parent_ == nullptr || !parent_->HandleAllocated()) return;
  Invalidate();
  parent_->Update();
}

void TControl::BringToFront() {
  if (parent_ != nullptr) parent_->SetZOrderOf(this, true);
}

void TControl::SendToBack() {
  if (parent_ != nullptr) parent_->SetZOrderOf(this, false);
}

bool TControl::MouseCapture() const { return g_captureControl == this; }

void TControl::SetMouseCapture(bool value) {
  if (value == MouseCapture()) return;
  if (value) {
    g_captureControl = this;
    TWinControl* w = dynamic_cast<TWinControl*>(this);
    if (w == nullptr) w = parent_;
    if (w != nullptr && w->HandleAllocated()) SetCapture(w->Handle());
  } else {
    g_captureControl = nullptr;
    ReleaseCapture();
  }
}

void TControl::PaintTo(HDC dc, int x, int y) {
  const TSavedDC saved(dc);
  SetWindowOrgEx(dc, -x, -y, nullptr);
  IntersectClipRect(dc, 0, 0, width_, height_);
  Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
}

// --- TWinControl ----------------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) { color_ = clBtnFace; }

TWinControl::~TWinControl() {
  // Leave the parent while this is still known as a windowed control, so
  // that the tab order and the form's focus records forget it.
  if (parent_ != nullptr) parent_->RemoveControl(this);
  // Normally done before destruction; a window of another thread may remain.
  while (!winControls_.empty()) winControls_.back()->Free();
  while (!controls_.empty()) controls_.back()->Free();
  DestroyHandle();
}

void TWinControl::BeforeDestruction() {
  SetState(csDestroying);
  // The hooks see the window go; WindowGone lets them go after WM_NCDESTROY.
  DestroyHandle();
  DetachHooks();
  // Children next, whoever owns them: each leaves its owner as it goes, so
  // nothing is freed twice. Then the owned components.
  while (!winControls_.empty()) winControls_.back()->Free();
  while (!controls_.empty()) controls_.back()->Free();
  TControl::BeforeDestruction();
}

TWinControl* TWinControl::FromHandle(HWND wnd) {
  if (wnd == nullptr) return nullptr;
  // Only the copy this process keeps: another program of ours puts a pointer
  // into its own address space on its window's property.
  return static_cast<TWinControl*>(GetLocalProp(wnd, kObjectProp));
}

void TWinControl::MainWndProc(TMessage& m) {
  try {
    WindowProc(m);
  } catch (...) {
    HandleEntryException(this);
  }
  if (m.Msg == WM_NCDESTROY) WindowGone();
}

void TWinControl::WindowGone() {
  if (handle_ != nullptr && RemoveLocalProp(handle_, kObjectProp) != nullptr) --GdiCounters().Props;
  // The system takes the focus from a destroyed window without a word.
  if (handle_ != nullptr && t_focus == handle_) t_focus = nullptr;
  if (childId_ != 0) ChildIds().Release(childId_);
  childId_ = 0;
  handle_ = nullptr;
  showing_ = false;
  trackingLeave_ = false;
  // Gone for good: the hooks have had their last message.
  if (BeingFreed()) DetachHooks();
}

HWND TWinControl::Handle() {
  HandleNeeded();
  return handle_;
}

void TWinControl::HandleNeeded() {
  if (handle_ != nullptr) return;
  if (parent_ != nullptr) parent_->HandleNeeded();
  if (handle_ == nullptr) CreateWnd();  // the parent may have made ours
}

void TWinControl::CreateParams(TCreateParams& p) {
  p.Caption = Wide(TextField());
  p.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (ControlStyle() & csAcceptsControls) p.Style |= WS_CLIPCHILDREN;
  if (!Enabled()) p.Style |= WS_DISABLED;
  if (tabStop_) p.Style |= WS_TABSTOP;
  p.ExStyle = 0;
  p.X = Left();
  p.Y = Top();
  p.Width = Width();
  p.Height = Height();
  p.WndParent = parent_ != nullptr ? parent_->Handle() : nullptr;
  p.WindowClass = WNDCLASSW{};
  p.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  p.WindowClass.lpfnWndProc = DefWindowProcW;
  p.WindowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  p.WinClassName = Wide(ClassName());
}

void TWinControl::CreateSubClass(TCreateParams& p, const wchar_t* systemClass) {
  WNDCLASSW wc{};
  if (!GetClassInfoW(nullptr, systemClass, &wc) && !GetClassInfoW(Instance(), systemClass, &wc))
    throw EOutOfResources("Unknown window class " + Narrow(systemClass));
  // Our class keeps the system class's style and extra bytes; its procedure
  // becomes the default handling.
  p.WindowClass = wc;
  p.WindowClass.hInstance = Instance();
  wantsNativePaint_ = true;
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  if ((p.Style & WS_CHILD) && p.WndParent == nullptr)
    throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  defWndProc_ = p.WindowClass.lpfnWndProc;
  RegisterControlClass(p);
  // The class may have been registered by another control of the same name:
  // the default handling is the system procedure the class was made from.
  CreateWindowHandle(p);
  if (handle_ == nullptr) throw EOutOfResources("Error creating window for " + ClassName());
  SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()->Handle()), 0);
  CreateChildHandles();
  CreateHandleDone();
  UpdateShowing();
}

void TWinControl::CreateWindowHandle(const TCreateParams& p) {
  TWinControl* saved = t_creating;
  t_creating = this;
  const int id = (p.Style & WS_CHILD) ? ChildIds().Acquire() : 0;
  HWND wnd = CreateWindowExW(p.ExStyle, p.WinClassName.c_str(), p.Caption.c_str(),
                             p.Style & ~static_cast<DWORD>(WS_VISIBLE), p.X, p.Y, p.Width, p.Height,
                             p.WndParent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             Instance(), p.Param);
  t_creating = saved;
  if (wnd == nullptr) {
    if (id != 0) ChildIds().Release(id);
    return;
  }
  childId_ = id;  // given back when the window goes
  if (handle_ == nullptr) {
    handle_ = wnd;
    SetLocalProp(wnd, kObjectProp, this);
    ++GdiCounters().Props;
  }
}

void TWinControl::CreateChildHandles() {
  for (TWinControl* w : winControls_) {
    if (!w->HandleAllocated()) {
      w->CreateWnd();
      SetWindowPos(w->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
}

void TWinControl::DestroyWnd() {
  if (handle_ == nullptr) return;
  if (BeingFreed()) {
    DestroyWindow(handle_);
    return;
  }
  // The text lives in the window while it exists.
  const int len = GetWindowTextLengthW(handle_);
  std::wstring w(static_cast<size_t>(len) + 1, L'\0');
  GetWindowTextW(handle_, w.data(), len + 1);
  w.resize(static_cast<size_t>(len));
  TextField() = Narrow(w);
  DestroyWindow(handle_);
}

void TWinControl::DestroyHandle() {
  if (handle_ == nullptr) return;
  SetControlState(ControlState() | csDestroyingHandle);
  for (TWinControl* w : winControls_) w->DestroyHandle();
  DestroyWnd();
  if (handle_ != nullptr) WindowGone();  // a window of another thread, or already gone
  SetControlState(ControlState() & ~csDestroyingHandle);
}

void TWinControl::RecreateWnd() {
  if (handle_ == nullptr) return;
  Perform(CM_RECREATEWND);
}

void TWinControl::TrackLeave() {
  TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, handle_, 0};
  trackingLeave_ = TrackMouseEvent(&tme) != FALSE;
}

void TWinControl::WndProc(TMessage& m) {
  if (m.Msg == WM_MOUSEMOVE && handle_ != nullptr) {
    if (!trackingLeave_) TrackLeave();
    TControl* target = ControlAtPos(TPoint{m.XPos(), m.YPos()}, false, false);
    TControl* const entered = target != nullptr ? target : this;
    const HWND wnd = handle_;
    SetMouseControl(entered);
    // An OnMouseEnter or OnMouseLeave handler may have freed this control
    // (its window went with it) ...
    if (FromHandle(wnd) != this) return;
    // ... or the control entered, which then stops being the mouse's.
    if (Application != nullptr && (entered == this || MouseControl() == entered))
      Application->HintMouseMessage(entered, ClientToScreen(TPoint{m.XPos(), m.YPos()}));
  }
  // A press or a key puts any hint away.
  if (Application != nullptr &&
      (m.Msg == WM_LBUTTONDOWN || m.Msg == WM_RBUTTONDOWN || m.Msg == WM_MBUTTONDOWN ||
       m.Msg == WM_KEYDOWN || m.Msg == WM_SYSKEYDOWN))
    Application->CancelHint();
  if (IsMouseMessage(m.Msg)) {
    // Windowless children get the mouse over them (or while they hold it).
    TControl* target = nullptr;
    if (g_captureControl != nullptr && g_captureControl->parent_ == this &&
        dynamic_cast<TWinControl*>(g_captureControl) == nullptr) {
      target = g_captureControl;
    } else if (g_captureControl == nullptr) {
      target = ControlAtPos(TPoint{m.XPos(), m.YPos()}, false, false);
    }
    if (target != nullptr) {
      TMessage c = m;
      c.LParam = MAKELPARAM(m.XPos() - target->left_, m.YPos() - target->top_);
      target->WindowProc(c);
      m.Result = c.Result;
      return;
    }
  }
  TControl::WndProc(m);
}

bool TWinControl::ReflectToChild(TMessage& m) {
  HWND child = nullptr;
  switch (m.Msg) {
    case WM_COMMAND:
      child = reinterpret_cast<HWND>(m.LParam);
      break;
    case WM_NOTIFY:
      child = reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom;
      break;
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      if (dis->CtlType != ODT_MENU) child = dis->hwndItem;
      break;
    }
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
      if (mis->CtlType != ODT_MENU && handle_ != nullptr)
        child = GetDlgItem(handle_, static_cast<int>(mis->CtlID));
      break;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_HSCROLL:
    case WM_VSCROLL:
      child = reinterpret_cast<HWND>(m.LParam);
      break;
    default:
      return false;
  }
  TWinControl* target = FromHandle(child);
  if (target == nullptr || target == this) return false;
  m.Result = target->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
  return true;
}

TBrush* TWinControl::Brush() {
  if (!brush_) brush_ = std::make_unique<TBrush>();
  brush_->SetColor(Color());
  return brush_.get();
}

void TWinControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_PAINT:
      return PaintHandler(m);
    case WM_ERASEBKGND: {
      if (wantsNativePaint_) return DefaultHandler(m);
      RECT rc;
      GetClientRect(handle_, &rc);
      FillRect(reinterpret_cast<HDC>(m.WParam), &rc, Brush()->Handle());
      m.Result = 1;
      return;
    }
    case WM_NCCALCSIZE:
      DefaultHandler(m);
      if (borderWidth_ > 0) {
        RECT* r = reinterpret_cast<RECT*>(m.LParam);  // the first rectangle in both forms
        InflateRect(r, -borderWidth_, -borderWidth_);
      }
      return;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (ReflectToChild(m)) return;
      return DefaultHandler(m);
    case CN_CTLCOLORMSGBOX:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      SetTextColor(dc, ColorToRGB(Font()->Color()));
      SetBkColor(dc, ColorToRGB(Color()));
      m.Result = reinterpret_cast<LRESULT>(Brush()->Handle());
      return;
    }
    case WM_SETFOCUS:
      DefaultHandler(m);
      if (TCustomForm* form = GetParentForm(); form != nullptr && form != this)
        form->FocusChanged(this);
      return;
    case WM_KILLFOCUS:
      return DefaultHandler(m);
    // A key handler may free the control (an editor put in place for one
    // entry): its window went with it, and nothing of it is touched then.
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      const HWND wnd = handle_;
      WORD key = static_cast<WORD>(m.WParam);
      KeyDown(key, KeyDataToShiftState(m.LParam));
      if (key == 0 || FromHandle(wnd) != this) return;
      m.WParam = key;
      return DefaultHandler(m);
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      const HWND wnd = handle_;
      WORD key = static_cast<WORD>(m.WParam);
      KeyUp(key, KeyDataToShiftState(m.LParam));
      if (key == 0 || FromHandle(wnd) != this) return;
      m.WParam = key;
      return DefaultHandler(m);
    }
    case WM_CHAR: {
      const HWND wnd = handle_;
      wchar_t key = static_cast<wchar_t>(m.WParam);
      KeyPress(key);
      if (key == 0 || FromHandle(wnd) != this) return;
      m.WParam = key;
      return DefaultHandler(m);
    }
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN: {
      TCustomForm* form = GetParentForm();
      WORD key = static_cast<WORD>(m.WParam);
      if (form != nullptr && form != this && form->KeyPreview()) {
        form->PreviewKeyDown(key, KeyDataToShiftState(m.LParam));
        if (key == 0) {
          m.Result = 1;
          return;
        }
      }
      // A short cut of the form's main menu runs its item instead of reaching the control.
      if (form != nullptr && form->Menu() != nullptr &&
          form->Menu()->IsShortCut(key, KeyDataToShiftState(m.LParam))) {
        m.Result = 1;
        return;
      }
      // Navigation keys go to the form unless the control wants them itself.
      const LRESULT code = handle_ != nullptr ? SendMessageW(handle_, WM_GETDLGCODE, key, 0) : 0;
      bool dialogKey = false;
      switch (key) {
        case VK_TAB:
          dialogKey = !(code & (DLGC_WANTTAB | DLGC_WANTALLKEYS));
          break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
          dialogKey = !(code & (DLGC_WANTARROWS | DLGC_WANTALLKEYS));
          break;
        case VK_RETURN:
        case VK_ESCAPE:
        case VK_CANCEL:
          dialogKey = !(code & DLGC_WANTALLKEYS);
          break;
        default:
          break;
      }
      if (dialogKey && form != nullptr && form->Perform(CM_DIALOGKEY, key, m.LParam) != 0)
        m.Result = 1;
      return;
    }
    case CN_CHAR: {
      TCustomForm* form = GetParentForm();
      if (form != nullptr && form != this && form->KeyPreview()) {
        wchar_t key = static_cast<wchar_t>(m.WParam);
        form->PreviewKeyPress(key);
        if (key == 0) m.Result = 1;
      }
      return;
    }
    case CN_SYSCHAR: {
      TCustomForm* form = GetParentForm();
      if (form != nullptr && form->Perform(CM_DIALOGCHAR, m.WParam, m.LParam) != 0) m.Result = 1;
      return;
    }
    case WM_MOUSEWHEEL:
      m.Result = Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
      if (m.Result == 0) DefaultHandler(m);
      return;
    case CM_MOUSEWHEEL: {
      const TPoint pt{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
      TShiftState shift = KeysToShiftState(GET_KEYSTATE_WPARAM(m.WParam));
      if (DoMouseWheel(shift, GET_WHEEL_DELTA_WPARAM(m.WParam), pt)) {
        m.Result = 1;
      } else if (parent_ != nullptr) {
        m.Result = parent_->Perform(CM_MOUSEWHEEL, m.WParam, m.LParam);
      }
      return;
    }
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(m.WParam) == handle_ && LOWORD(m.LParam) == HTCLIENT) {
        TCursor cursor = Screen != nullptr ? Screen->Cursor() : crDefault;
        if (cursor == crDefault) {
          POINT pt;
          GetCursorPos(&pt);
          ::ScreenToClient(handle_, &pt);
          TControl* c = ControlAtPos(TPoint{pt.x, pt.y}, false, false);
          cursor = c != nullptr ? c->Cursor() : Cursor();
        }
        if (cursor != crDefault) {
          ::SetCursor(CursorHandle(cursor));
          m.Result = 1;
          return;
        }
      }
      return DefaultHandler(m);
    case WM_CONTEXTMENU: {
      if (PopupMenu() != nullptr) {
        int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
        if (x == -1 && y == -1) {  // from the keyboard
          const TPoint o = ClientOrigin();
          x = o.X;
          y = o.Y;
        }
        PopupMenu()->SetPopupComponent(this);
        PopupMenu()->Popup(x, y);
        m.Result = 1;
        return;
      }
      return DefaultHandler(m);
    }
    case WM_WINDOWPOSCHANGED: {
      DefaultHandler(m);
      auto* wp = reinterpret_cast<WINDOWPOS*>(m.LParam);
      if (!(wp->flags & SWP_NOSIZE) || !(wp->flags & SWP_NOMOVE)) {
        RECT rc;
        GetWindowRect(handle_, &rc);
        POINT tl{rc.left, rc.top};
        if (HWND parentWnd = GetParent(handle_);
            parentWnd != nullptr && (GetWindowLongW(handle_, GWL_STYLE) & WS_CHILD))
          ::ScreenToClient(parentWnd, &tl);
        UpdateBoundsFields(tl.x, tl.y, rc.right - rc.left, rc.bottom - rc.top);
      }
      return;
    }
    case WM_SIZE:
      DefaultHandler(m);
      Realign();
      return;
    case WM_SETTEXT: {
      // Compared with what the window showed: typing changes it without us.
      const std::string old = Text();
      DefaultHandler(m);
      TextField() = m.LParam ? Narrow(reinterpret_cast<const wchar_t*>(m.LParam)) : "";
      if (TextField() != old) Perform(CM_TEXTCHANGED);
      return;
    }
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      DefaultHandler(m);
      CheckMouseControl();
      return;
    case WM_CAPTURECHANGED:
      // Another window took the mouse: whoever held it here no longer does.
      if (reinterpret_cast<HWND>(m.LParam) != handle_ && g_captureControl != nullptr &&
          (g_captureControl == this || g_captureControl->parent_ == this))
        g_captureControl = nullptr;
      // A capture ends the leave tracking: arm it again at once, so a mouse
      // that leaves straight after the release is still told (it is told
      // now if it is already out).
      if (handle_ != nullptr) TrackLeave();
      return DefaultHandler(m);
    case WM_CANCELMODE:
      if (g_captureControl != nullptr &&
          (g_captureControl == this || g_captureControl->parent_ == this))
        g_captureControl = nullptr;
      return DefaultHandler(m);
    case CM_ENABLEDCHANGED:
      if (handle_ != nullptr) EnableWindow(handle_, Enabled());
      if (!Enabled() && Focused()) {
        if (TCustomForm* form = GetParentForm(); form != nullptr && form != this)
          form->FocusChanged(nullptr);
      }
      Invalidate();
      return;
    case CM_VISIBLECHANGED:
      UpdateControlState();
      return;
    case CM_SHOWINGCHANGED:
      if (handle_ != nullptr) {
        SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                         (showing_ ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
      }
      return;
    case CM_FONTCHANGED: {
      // A change of colour keeps the handle: the window has its font already,
      // and setting it again makes an edit measure and lay out its text anew.
      if (handle_ != nullptr) {
        const auto font = reinterpret_cast<WPARAM>(Font()->Handle());
        if (static_cast<WPARAM>(SendMessageW(handle_, WM_GETFONT, 0, 0)) != font)
          SendMessageW(handle_, WM_SETFONT, font, 1);
      }
      Invalidate();
      TMessage b{CM_PARENTFONTCHANGED, 0, 0, 0};
      for (int i = 0; i < ControlCount(); ++i) Controls(i)->WindowProc(b);
      return;
    }
    case CM_COLORCHANGED: {
      Invalidate();
      TMessage b{CM_PARENTCOLORCHANGED, 0, 0, 0};
      for (int i = 0; i < ControlCount(); ++i) Controls(i)->WindowProc(b);
      return;
    }
    case CM_BIDIMODECHANGED: {
      Invalidate();
      TMessage b{CM_PARENTBIDIMODECHANGED, 0, 0, 0};
      for (int i = 0; i < ControlCount(); ++i) Controls(i)->WindowProc(b);
      return;
    }
    case CM_PARENTFONTCHANGED:
    case CM_PARENTCOLORCHANGED:
    case CM_PARENTBIDIMODECHANGED:
      return TControl::Dispatch(m);
    case CM_RECREATEWND: {
      if (handle_ == nullptr || recreating_) return;
      recreating_ = true;
      const bool focused = Focused();
      DestroyHandle();
      try {
        if (parent_ != nullptr || dynamic_cast<TCustomForm*>(this) != nullptr) HandleNeeded();
      } catch (...) {
        recreating_ = false;
        throw;
      }
      recreating_ = false;
      if (focused && CanFocus()) SetFocus();
      return;
    }
    case CM_ENTER:
      DoEnter();
      return;
    case CM_EXIT:
      DoExit();
      return;
    case CM_TEXTCHANGED:
    case CM_INVALIDATE:
      return;
    default:
      return TControl::Dispatch(m);
  }
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (m.Msg >= CN_BASE && m.Msg <= CN_BASE + WM_CTLCOLORSTATIC) return;  // unhandled reflection
  if (m.Msg >= CM_BASE && m.Msg <= CM_LAST) return;
  if (handle_ == nullptr) {
    TControl::DefaultHandler(m);
    return;
  }
  m.Result = CallWindowProcW(defWndProc_, handle_, m.Msg, m.WParam, m.LParam);
}

void TWinControl::PaintHandler(TMessage& m) {
  // A wrapped system control paints itself unless it has windowless
  // children or asks for custom painting.
  const bool hasGraphicChildren =
      std::any_of(controls_.begin(), controls_.end(), [](TControl* c) { return c->Visible(); });
  if (wantsNativePaint_ && !hasGraphicChildren && !(ControlState() & csCustomPaint))
    return DefaultHandler(m);
  HDC dc = reinterpret_cast<HDC>(m.WParam);
  PAINTSTRUCT ps{};
  if (dc == nullptr) dc = BeginPaint(handle_, &ps);
  // The paint must end whatever a painter throws, or WM_PAINT comes back for ever.
  struct TPaintEnd {
    HWND wnd;
    const PAINTSTRUCT* ps;
    bool began;
    ~TPaintEnd() {
      if (began) EndPaint(wnd, ps);
    }
  } end{handle_, &ps, m.WParam == 0};
  if (dc == nullptr) return;
  {
    const TSavedDC saved(dc);
    // Opaque windowless children are left out of the window's own painting.
    for (TControl* c : controls_) {
      if (c->Visible() && (c->ControlStyle() & csOpaque))
        ExcludeClipRect(dc, c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height());
    }
    PaintWindow(dc);
  }
  PaintControls(dc, nullptr);
}

void TWinControl::PaintWindow(HDC dc) {
  TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
  DefaultHandler(m);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
  auto it = controls_.begin();
  if (first != nullptr) it = std::find(controls_.begin(), controls_.end(), first);
  for (; it != controls_.end(); ++it) {
    TControl* c = *it;
    if (!c->Visible()) continue;
    RECT clip;
    RECT bounds{c->Left(), c->Top(), c->Left() + c->Width(), c->Top() + c->Height()};
    if (GetClipBox(dc, &clip) == NULLREGION || !IntersectRect(&clip, &clip, &bounds)) continue;
    const TSavedDC saved(dc);
    POINT org;
    GetWindowOrgEx(dc, &org);
    SetWindowOrgEx(dc, org.x - c->Left(), org.y - c->Top(), nullptr);
    IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  }
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
  if (HandleAllocated()) {
    const TSavedDC saved(dc);
    POINT org;
    GetWindowOrgEx(dc, &org);
    SetWindowOrgEx(dc, org.x - x, org.y - y, nullptr);
    IntersectClipRect(dc, 0, 0, Width(), Height());
    SendMessageW(handle_, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  }
  for (TWinControl* w : winControls_)
    if (w->Visible()) w->PaintTo(dc, x + w->Left(), y + w->Top());
}

void TWinControl::InsertControl(TControl* control) {
  if (control == nullptr || control->parent_ == this) return;
  control->parent_ = this;
  auto* w = dynamic_cast<TWinControl*>(control);
  if (w != nullptr) {
    // A window made without this parent (a form's own) cannot become our
    // child, and making another over it would leave it pointing at us.
    w->DestroyHandle();
    winControls_.push_back(w);
    tabList_.push_back(w);
    if (handle_ != nullptr) {
      w->CreateWnd();
      SetWindowPos(w->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  } else {
    controls_.push_back(control);
    control->Invalidate();
  }
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 1);
  if (control->Align() != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* control) {
  if (control == nullptr || control->parent_ != this) return;
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 0);
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    // The window cannot live on without its parent window.
    w->DestroyHandle();
    std::erase(tabList_, w);
    std::erase(winControls_, w);
    if (TCustomForm* form = GetParentForm(); form != nullptr && !form->HasState(csDestroying))
      form->ControlRemoved(w);
  } else {
    control->Invalidate();
    std::erase(controls_, control);
  }
  control->parent_ = nullptr;
  if (control->Align() != alNone && !HasState(csDestroying)) Realign();
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c != nullptr; c = c->Parent())
    if (c == this) return true;
  return false;
}

TControl* TWinControl::Controls(int index) const {
  const auto i = static_cast<size_t>(index);
  if (index >= 0 && i < controls_.size()) return controls_[i];
  return winControls_.at(i - controls_.size());
}

TControl* TWinControl::ControlAtPos(TPoint p, bool allowDisabled, bool allowWinControls) {
  // Top first: the windowed children, then the windowless ones below them.
  const int count = ControlCount();
  const int skipped = allowWinControls ? 0 : static_cast<int>(winControls_.size());
  for (int i = count - 1 - skipped; i >= 0; --i) {
    TControl* c = Controls(i);
    if (!c->Visible() || (!c->Enabled() && !allowDisabled)) continue;
    if (p.X >= c->Left() && p.Y >= c->Top() && p.X < c->Left() + c->Width() &&
        p.Y < c->Top() + c->Height()) {
      TMessage hit{CM_HITTEST, 0, MAKELPARAM(p.X - c->Left(), p.Y - c->Top()), 0};
      c->WindowProc(hit);
      if (hit.Result != 0) return c;
    }
  }
  return nullptr;
}

void TWinControl::Broadcast(TMessage& m) {
  for (int i = 0; i < ControlCount(); ++i) {
    Controls(i)->WindowProc(m);
    if (m.Result != 0) return;
  }
}

void TWinControl::SetTabStop(bool value) {
  if (value == tabStop_) return;
  tabStop_ = value;
  if (handle_ != nullptr) {
    LONG style = GetWindowLongW(handle_, GWL_STYLE);
    SetWindowLongW(handle_, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
  }
}

int TWinControl::TabOrder() const {
  if (parent_ == nullptr) return -1;
  const auto& list = parent_->tabList_;
  const auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (parent_ == nullptr) return;
  auto& list = parent_->tabList_;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  order = std::clamp(order, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + order, this);
}

bool TWinControl::Focused() const { return handle_ != nullptr && t_focus == handle_; }

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c != nullptr; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  ::SetFocus(Handle());
}

void TWinControl::SetBorderWidth(int width) {
  if (width == borderWidth_) return;
  borderWidth_ = width;
  if (handle_ != nullptr)
    SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  Realign();
}

TRect TWinControl::ClientRect() {
  if (handle_ != nullptr) {
    RECT rc;
    GetClientRect(handle_, &rc);
    return Rect(rc.left, rc.top, rc.right, rc.bottom);
  }
  TRect r = TControl::ClientRect();
  r.Right = std::max<int>(0, r.Right - 2 * borderWidth_);
  r.Bottom = std::max<int>(0, r.Bottom - 2 * borderWidth_);
  return r;
}

TPoint TWinControl::ClientOrigin() {
  if (handle_ != nullptr) {
    POINT pt{0, 0};
    ::ClientToScreen(handle_, &pt);
    return TPoint{pt.x, pt.y};
  }
  TPoint o = TControl::ClientOrigin();
  o.X += borderWidth_;
  o.Y += borderWidth_;
  return o;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (left == Left() && top == Top() && width == Width() && height == Height()) return;
  if (handle_ != nullptr) {
    // WM_WINDOWPOSCHANGED brings the new bounds into the fields.
    SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    UpdateBoundsFields(left, top, width, height);
    Realign();
  }
  RequestAlign();
}

void TWinControl::SetEnabled(bool enabled) { TControl::SetEnabled(enabled); }

std::string TWinControl::Text() {
  if (handle_ == nullptr) return TextField();
  const int len = GetWindowTextLengthW(handle_);
  std::wstring w(static_cast<size_t>(len) + 1, L'\0');
  const int got = GetWindowTextW(handle_, w.data(), len + 1);
  w.resize(static_cast<size_t>(std::max(0, got)));
  return Narrow(w);
}

// A window that cannot be seen (hidden itself or under a hidden window, or
// in a window whose drawing is switched off) keeps no update region: it is
// painted whole when it shows. Asking the system for it anyway costs a trip
// to the window server under Wine, for every control of a frozen form.
void TWinControl::Invalidate() {
  if (handle_ == nullptr) return;
  Perform(CM_INVALIDATE);
  if (IsWindowVisible(handle_)) InvalidateRect(handle_, nullptr, !(ControlStyle() & csOpaque));
}

void TWinControl::Update() {
  if (handle_ != nullptr && IsWindowVisible(handle_)) UpdateWindow(handle_);
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::EnableAlign() {
  if (alignLevel_ > 0 && --alignLevel_ == 0) Realign();
}

void TWinControl::Realign() {
  if (alignLevel_ > 0 || HasState(csDestroying)) return;
  TRect r = ClientRect();
  AdjustClientRect(r);
  AlignControls(nullptr, r);
}

void TWinControl::AdjustClientRect(TRect&) {}

void TWinControl::AlignControls(TControl*, TRect& rect) {
  // Top, bottom, left, right and client, each group in child order.
  ++alignLevel_;
  for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* c = Controls(i);
      if (c->Align() != pass || !c->Visible()) continue;
      int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
      switch (pass) {
        case alTop:
          l = rect.Left;
          t = rect.Top;
          w = rect.Width();
          rect.Top += h;
          break;
        case alBottom:
          l = rect.Left;
          t = rect.Bottom - h;
          w = rect.Width();
          rect.Bottom -= h;
          break;
        case alLeft:
          l = rect.Left;
          t = rect.Top;
          h = rect.Height();
          rect.Left += w;
          break;
        case alRight:
          l = rect.Right - w;
          t = rect.Top;
          h = rect.Height();
          rect.Right -= w;
          break;
        case alClient:
          l = rect.Left;
          t = rect.Top;
          w = rect.Width();
          h = rect.Height();
          break;
        default:
          break;
      }
      c->SetBounds(l, t, std::max(0, w), std::max(0, h));
    }
  }
  --alignLevel_;
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}
void TWinControl::KeyUp(WORD& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}
void TWinControl::KeyPress(wchar_t& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}
void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}
bool TWinControl::DoMouseWheel(TShiftState, int, TPoint) { return false; }

void TWinControl::UpdateControlState() {
  UpdateShowing();
  for (size_t i = 0; i < winControls_.size(); ++i) winControls_[i]->UpdateControlState();
}

void TWinControl::UpdateShowing() {
  bool showing = Visible();
  if (parent_ != nullptr)
    showing = showing && parent_->Showing();
  else if (dynamic_cast<TCustomForm*>(this) == nullptr && handle_ != nullptr)
    showing = showing && GetParent(handle_) != nullptr;
  if (showing == showing_) return;
  if (showing && handle_ == nullptr) {
    HandleNeeded();  // creating the window runs UpdateShowing again
    if (showing_ == showing) return;
  }
  showing_ = showing;
  Perform(CM_SHOWINGCHANGED);
  // Child windows follow: a parent shown again (or made again) shows them.
  for (size_t i = 0; i < winControls_.size(); ++i)
    if (winControls_[i]->handle_ != nullptr) winControls_[i]->UpdateShowing();
}

namespace {
template <class T>
void Restack(std::vector<T*>& list, T* item, bool top) {
  std::erase(list, item);
  list.insert(top ? list.end() : list.begin(), item);
}
}  // namespace

void TWinControl::SetZOrderOf(TControl* control, bool top) {
  if (control == nullptr || control->parent_ != this) return;
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    Restack(winControls_, w, top);
    if (w->handle_ != nullptr)
      SetWindowPos(w->handle_, top ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else {
    Restack(controls_, control, top);
    control->Invalidate();
  }
}

// --- canvases and the two control kinds ---------------------------------------------------

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::CreateHandle() {
  if (control_ == nullptr) return;
  if (auto* w = dynamic_cast<TWinControl*>(control_)) {
    if (!w->HandleAllocated()) return;
    dcWindow_ = w->Handle();
    ownDC_ = GetDCEx(dcWindow_, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
  } else {
    TWinControl* parent = control_->Parent();
    if (parent == nullptr || !parent->HandleAllocated()) return;
    dcWindow_ = parent->Handle();
    ownDC_ = GetDCEx(dcWindow_, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
    if (ownDC_ != nullptr) {
      SetWindowOrgEx(ownDC_, -control_->Left(), -control_->Top(), nullptr);
      IntersectClipRect(ownDC_, 0, 0, control_->Width(), control_->Height());
    }
  }
  if (ownDC_ == nullptr) return;
  ++GdiCounters().DCs;
  g_canvasesWithDC.insert(this);
  SetHandle(ownDC_);
}

void TControlCanvas::FreeHandle() {
  if (ownDC_ == nullptr) return;
  SetHandle(nullptr);
  ReleaseDC(dcWindow_, ownDC_);
  ownDC_ = nullptr;
  dcWindow_ = nullptr;
  --GdiCounters().DCs;
  g_canvasesWithDC.erase(this);
}

void TControlCanvas::FreeDeviceContexts() {
  while (!g_canvasesWithDC.empty()) (*g_canvasesWithDC.begin())->FreeHandle();
}

TGraphicControl::TGraphicControl(TComponent* owner)
    : TControl(owner), canvas_(std::make_unique<TControlCanvas>(this)) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::Dispatch(TMessage& m) {
  if (m.Msg == WM_PAINT && m.WParam != 0) {
    // Painted by the parent into its context, moved and clipped to us.
    canvas_->FreeHandle();
    const TCanvasBinding binding(*canvas_, reinterpret_cast<HDC>(m.WParam), true);
    canvas_->Font()->Assign(*Font());
    Paint();
    return;
  }
  TControl::Dispatch(m);
}

TCustomControl::TCustomControl(TComponent* owner)
    : TWinControl(owner), canvas_(std::make_unique<TControlCanvas>(this)) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC dc) {
  canvas_->FreeHandle();
  const TCanvasBinding binding(*canvas_, dc, true);
  canvas_->Font()->Assign(*Font());
  canvas_->Brush()->SetColor(Color());
  Paint();
}

}  // namespace kv
