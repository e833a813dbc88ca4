#include "skin/core/sStyleSimply_win.h"

#include <algorithm>

#include "classlib/PlatformCalls.h"
#include "classlib/WideText.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/acUtils_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"

namespace kv {

std::vector<TCustomForm*> HookedForms;
bool GlobalRedrawLock = false;
HICON ProgramSmallIcon = nullptr;
HICON ProgramLargeIcon = nullptr;

namespace {

struct LockedForm {
  TCustomForm* form;
  TsSkinManager* manager;
};
// The forms frozen now; unlocking takes exactly these.
std::vector<LockedForm> lockedForms;

bool ApplicationMinimized() {
  if (Application == nullptr) return false;
  TCustomForm* main = Application->MainForm();
  if (main != nullptr && main->HandleAllocated() && IsIconic(main->Handle())) return true;
  return IsIconic(Application->Handle()) != FALSE;
}

bool IsHooked(TCustomForm* form) {
  return std::find(HookedForms.begin(), HookedForms.end(), form) != HookedForms.end();
}

// A form whose window is not made yet is told through its window procedure,
// without making the window: its controls keep what they took from the skin
// as well, and the window made later must not show the skin before.
LRESULT SendToFormItself(TCustomForm* form, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (form->HandleAllocated()) return SendMessageW(form->Handle(), msg, wParam, lParam);
  return form->Perform(msg, wParam, lParam);
}

void SendToForm(TCustomForm* form, TMessage& message) {
  SendToFormItself(form, message.Msg, message.WParam, message.LParam);
  BroadcastToChildren(form, message);
  if (form->FormStyle() == fsMDIForm && form->ClientHandle() != nullptr)
    SendMessageW(form->ClientHandle(), message.Msg, message.WParam, message.LParam);
}

bool QualifiesForLock(TCustomForm* form) {
  return form != nullptr && form->HandleAllocated() && !IsIconic(form->Handle()) &&
         form->FormStyle() != fsMDIChild && form->Parent() == nullptr &&
         IsWindowVisible(form->Handle());
}

}  // namespace

int AddHookedForm(TCustomForm* form) {
  HookedForms.push_back(form);
  return static_cast<int>(HookedForms.size());
}

void RemoveHookedForm(TCustomForm* form) {
  // The last entry fills each freed slot; a form listed twice leaves no gap.
  for (std::size_t i = 0; i < HookedForms.size();) {
    if (HookedForms[i] != form) {
      ++i;
      continue;
    }
    HookedForms[i] = HookedForms.back();
    HookedForms.pop_back();
  }
  std::erase_if(lockedForms, [form](const LockedForm& l) { return l.form == form; });
}

TacFormProvider* ProviderOfForm(TCustomForm* form) {
  if (form == nullptr || !form->HandleAllocated()) return nullptr;
  return reinterpret_cast<TacFormProvider*>(SendCommandToWindow(form->Handle(), cmdGetProvider, 0));
}

void LockForms(TsSkinManager* manager) {
  if (ApplicationMinimized()) return;
  if (manager == DefaultManager && manager->AnimEffects.SkinChanging.Active)
    GlobalRedrawLock = true;
  for (TCustomForm* form : std::vector<TCustomForm*>(HookedForms)) {
    if (!IsHooked(form) || !QualifiesForLock(form)) continue;
    TacFormProvider* provider = ProviderOfForm(form);
    if (provider == nullptr || provider->SkinManager() != manager) continue;
    provider->SetPaintingLocked(true);
    SendMessageW(form->Handle(), WM_SETREDRAW, 0, 0);
    lockedForms.push_back({form, manager});
  }
}

void UnlockForms(TsSkinManager* manager) {
  if (manager == DefaultManager) GlobalRedrawLock = false;
  std::vector<TCustomForm*> forms;
  for (const LockedForm& l : lockedForms)
    if (l.manager == manager) forms.push_back(l.form);
  std::erase_if(lockedForms, [manager](const LockedForm& l) { return l.manager == manager; });
  const TacAnimEffects& effects = manager->AnimEffects;
  for (TCustomForm* form : forms) {
    if (!IsHooked(form) || !form->HandleAllocated()) continue;
    HWND wnd = form->Handle();
    TacFormProvider* provider = ProviderOfForm(form);
    const bool frame = provider != nullptr && provider->DrawNonClientArea();
    const bool animated = effects.SkinChanging.Active && provider != nullptr;
    if (animated) {
      // The animation thaws the form and ends with a complete repaint of it:
      // the provider paints its frame in it, inside the new skin's region.
      if (frame) provider->FindRegionHoles();
      provider->SetPaintingLocked(false);
      FormServices().AnimateShowControl(
          form, frame ? static_cast<unsigned>(effects.SkinChanging.Time) : 0u);
    }
    const bool zoomedInBorder = provider != nullptr && provider->HasBorderForm() && IsZoomed(wnd);
    if (zoomedInBorder) {
      // Maximising again lets the border form take its place around the form.
      HWND active = GetActiveWindow();
      SetWindowLongW(wnd, GWL_STYLE, GetWindowLongW(wnd, GWL_STYLE) & ~WS_VISIBLE);
      ShowWindow(wnd, SW_MAXIMIZE);
      SetWindowLongW(wnd, GWL_STYLE, GetWindowLongW(wnd, GWL_STYLE) | WS_VISIBLE);
      if (active != nullptr) SetActiveWindow(active);
    }
    SendMessageW(wnd, WM_SETREDRAW, 1, 0);
    if (provider != nullptr) provider->SetPaintingLocked(false);
    // What the animation painted is what a second repaint would paint again.
    const bool shown = animated && !zoomedInBorder && !provider->HasBorderForm() &&
                       PlatformCalls().SystemMajorVersion() >= 6;
    if (shown) continue;
    if (frame) {
      if (PlatformCalls().SystemMajorVersion() < 6) SetWindowRgn(wnd, nullptr, FALSE);
      provider->FindRegionHoles();
      provider->UpdateFormRegion(true);
      RedrawWindow(wnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      if (provider->HasBorderForm()) provider->SyncBorderForm(true, 255);
    } else {
      RedrawWindow(wnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
  }
}

TacFormsLock::TacFormsLock(TsSkinManager* manager, bool active)
    : manager_(manager), active_(active) {
  if (active_) LockForms(manager_);
}

TacFormsLock::~TacFormsLock() {
  if (active_) UnlockForms(manager_);
}

void BroadcastToForms(TMessage& message) {
  if (Application != nullptr) {
    for (int i = Application->ComponentCount() - 1; i >= 0; --i) {
      // A receiver may have freed forms meanwhile.
      if (i >= Application->ComponentCount()) break;
      auto* form = dynamic_cast<TCustomForm*>(Application->Components(i));
      if (form == nullptr || form->FormStyle() == fsMDIChild || IsHooked(form) ||
          form->HasState(csLoading | csDestroying))
        continue;
      if (SendToFormItself(form, SM_ALPHACMD, CommandWParam(cmdIsSkinned), 0) == 1) continue;
      SendToForm(form, message);
    }
  }
  BroadcastToHookedForms(message);
}

void BroadcastToHookedForms(TMessage& message) {
  // A snapshot, checked against the live list before each delivery: a form
  // freed by an earlier receiver is skipped, and the swap that closes its gap
  // cannot make another form miss the message or get it twice.
  for (TCustomForm* form : std::vector<TCustomForm*>(HookedForms)) {
    if (!IsHooked(form) || form->HasState(csDestroying)) continue;
    SendToForm(form, message);
  }
  if (HookedWindows == nullptr) return;
  std::vector<HWND> windows;
  for (const auto& w : *HookedWindows) windows.push_back(w->Handle());
  for (HWND wnd : windows)
    if (IsWindow(wnd) && IsWindowVisible(wnd))
      SendMessageW(wnd, message.Msg, message.WParam, message.LParam);
}

void LoadProgramIcons() {
  wchar_t name[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, name, MAX_PATH);
  const std::string exe = Narrow(name);
  if (ProgramSmallIcon == nullptr) ProgramSmallIcon = FileIconOf(exe, 1);
  if (ProgramLargeIcon == nullptr) ProgramLargeIcon = FileIconOf(exe, 0);
}

void FreeProgramIcons() {
  for (HICON* icon : {&ProgramSmallIcon, &ProgramLargeIcon}) {
    if (*icon != nullptr) DestroyIcon(*icon);
    *icon = nullptr;
  }
}

}  // namespace kv
