#include "skin/core/sVclUtils_win.h"

#include "classlib/Graphics.h"
#include "skin/core/sConst.h"

namespace kv {

LRESULT SendCommandToWindow(HWND wnd, unsigned code, LPARAM lParam) {
  return SendMessageW(wnd, SM_ALPHACMD, CommandWParam(code), lParam);
}

namespace {

bool Destroying(const TComponent* c) { return c->HasState(csDestroying); }

}  // namespace

LRESULT SendCommandToControl(TControl* control, unsigned code, LPARAM lParam) {
  if (control == nullptr) return 0;
  auto* win = dynamic_cast<TWinControl*>(control);
  if (win == nullptr) return control->Perform(SM_ALPHACMD, CommandWParam(code), lParam);
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

void BroadcastToChildren(TWinControl* parent, TMessage& message) {
  if (parent == nullptr) return;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* child = parent->Controls(i);
    if (Destroying(child)) return;
    auto* win = dynamic_cast<TWinControl*>(child);
    if (win == nullptr || !win->HandleAllocated()) {
      child->Perform(message.Msg, message.WParam, message.LParam);
    } else if (WindowAnswersCommand(win->Handle(), cmdIsSkinned)) {
      SendMessageW(win->Handle(), message.Msg, message.WParam, message.LParam);
    } else {
      BroadcastToChildren(win, message);
    }
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

void ResumeChildrenPainting(TWinControl* parent) {
  if (parent == nullptr) return;
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
    if (GetWindowLongW(child, GWL_STYLE) & WS_CHILD) SendCommandToWindow(child, cmdParentPainted, 0);
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

UINT AlignmentTextFlags(TControl* /*control*/, TAlignment alignment) {
  // Our controls draw left to right only, so no right-to-left adjustment.
  static constexpr UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  return kAlign[alignment] | DT_EXPANDTABS | DT_VCENTER;
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

TSetWindowTheme SetWindowThemeEntry() {
  // Looked up once; the library stays loaded for the program's life.
  static const TSetWindowTheme entry = [] {
    HMODULE lib = LoadLibraryW(L"uxtheme.dll");
    return lib == nullptr ? nullptr
                          : reinterpret_cast<TSetWindowTheme>(
                                reinterpret_cast<void*>(GetProcAddress(lib, "SetWindowTheme")));
  }();
  return entry;
}

}  // namespace kv
