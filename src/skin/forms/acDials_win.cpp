#include "skin/forms/acDials_win.h"

#include <algorithm>
#include <cwctype>
#include <memory>
#include <utility>

#include "classlib/Forms.h"
#include "classlib/WideText.h"
#include "skin/adapters/acCtrlAdapter_win.h"
#include "skin/adapters/acMainWndTables.h"
#include "skin/adapters/acMnuWnd_win.h"
#include "skin/core/acPlatform.h"
#include "skin/core/sDialogs_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/acDialogWndBorder_win.h"
#include "skin/forms/acDialogWnd_win.h"
#include "skin/forms/acDialsRules.h"
#include "skin/forms/sSkinProvider_win.h"

namespace kv {

TacDialogAdapterFactory DialogAdapterFactory = nullptr;
LONG_PTR DialogStyle = 0;

namespace {

using K = TacAdapterKind;

bool AnswersSkinned(HWND wnd) { return WindowAnswersCommand(wnd, cmdIsSkinned); }

std::wstring LowerClassName(HWND wnd) {
  wchar_t name[128] = {};
  const int length = GetClassNameW(wnd, name, 128);
  std::wstring lower(name, static_cast<size_t>(std::max(length, 0)));
  for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(c));
  return lower;
}

// Takes a provider out of the list, which frees it once the list is whole
// again.
void RemoveProvider(TacProvider* provider) {
  if (HookedWindows == nullptr) return;
  std::unique_ptr<TacHookedWindow> gone;
  for (auto& slot : *HookedWindows)
    if (slot.get() == provider) gone = std::move(slot);
  std::erase(*HookedWindows, nullptr);
}

template <class F>
void ForEachProvider(F f) {
  if (HookedWindows == nullptr) return;
  for (const auto& slot : *HookedWindows)
    if (auto* p = dynamic_cast<TacProvider*>(slot.get()); p != nullptr) f(p);
}

}  // namespace

// --- the provider ----------------------------------------------------------------------

TacProvider::~TacProvider() {
  // Children first: the dialog's adapter may still ask them for backgrounds.
  while (!Adapters.empty()) {
    TacMainWnd* adapter = Adapters.back();
    Adapters.pop_back();
    FreeAdapter(adapter);
  }
  FreeAdapter(DialogWnd);
}

bool TacProvider::Released() const {
  return !IsWindow(CtrlHandle) || (DialogWnd != nullptr && DialogWnd->Destroyed);
}

TsSkinProvider* TacProvider::InitForForm(TCustomForm* form) {
  auto* provider = Create<TsSkinProvider>(form);
  if (IsDwmCompositionOn() && form->HandleAllocated()) {
    // The set-up a provider streamed with its form would have had.
    if (provider->Adapter() == nullptr) {
      provider->BeginLoading();
      provider->EndLoading();
    }
    HWND wnd = form->Handle();
    // Activated while being shown: the style bit lets the skinned frame
    // paint now, before the system shows the window with its own.
    if (form->Visible())
      SetWindowLongPtrW(wnd, GWL_STYLE, GetWindowLongPtrW(wnd, GWL_STYLE) | WS_VISIBLE);
    RedrawWindow(wnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
  }
  provider->MakeSkinMenu = false;
  return provider;
}

bool TacProvider::InitForDialog(HWND wnd) {
  CtrlHandle = wnd;
  TsSkinManager* manager = DefaultManager;
  if (DialogWnd != nullptr || manager == nullptr || !manager->Active()) return true;
  DialogStyle = GetWindowLongPtrW(wnd, GWL_STYLE);
  const std::string name = WindowClassName(wnd);
  if (name != "#32770" && name != "TMessageForm") return true;
  UpdateDialogAdapter(wnd, DialogWnd);
  if (MessageBoxX != -1 || MessageBoxY != -1)
    SetWindowPos(wnd, nullptr, MessageBoxX, MessageBoxY, 0, 0,
                 SWP_NOSIZE | SWP_NOREDRAW | SWP_NOOWNERZORDER);
  if (!WrapChildren(wnd)) return false;
  if (DialogWnd != nullptr)
    SendCommandToWindow(wnd, cmdSkinLoaded, reinterpret_cast<LPARAM>(manager));
  return true;
}

bool TacProvider::WrapChildren(HWND wnd) {
  for (HWND child = GetTopWindow(wnd); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!WrapChildren(child)) return false;
    if ((GetWindowLongW(child, GWL_STYLE) & WS_CHILD) != 0 && !WrapChildWindow(this, child))
      return false;
  }
  return true;
}

bool WrapChildWindow(TacProvider* provider, HWND wnd) {
  if (AnswersSkinned(wnd)) return true;
  const auto style = static_cast<std::uint32_t>(GetWindowLongW(wnd, GWL_STYLE));
  // Its own visibility: the dialog being activated is not shown yet.
  const TacDialogChild how =
      DialogChildAdapter(WindowClassName(wnd), style, (style & WS_VISIBLE) != 0);
  // An edit or a combo box anywhere in the dialog, also one that comes
  // later, has parts of it painted by the dialog's own painting.
  if (how.ClearSkipPaint)
    if (auto* dialog = dynamic_cast<TacDialogWnd*>(provider->DialogWnd)) dialog->SkipPaint = false;
  if (how.Kind == K::None) return true;
  TsSkinManager* manager =
      provider->DialogWnd != nullptr ? provider->DialogWnd->SkinManager.Get() : DefaultManager;
  const bool seed = std::exchange(acDlgModeSeed, how.DlgMode);
  TacMainWnd* adapter = nullptr;
  try {
    // The child's adapter makes its own skin data.
    if (const TacAdapterFactory make = AdapterFactoryOf(how.Kind))
      adapter = make(wnd, nullptr, manager, how.Section);
  } catch (...) {
    acDlgModeSeed = seed;
    throw;
  }
  acDlgModeSeed = seed;
  if (adapter == nullptr) return true;
  provider->Adapters.push_back(adapter);
  if (how.FillPosition)
    GetWindowPosInParent(wnd, adapter->ParentWnd, adapter->WndRect, adapter->ParentRect,
                         adapter->WndSize, adapter->WndPos);
  return true;
}

void UpdateDialogAdapter(HWND wnd, TacMainWnd*& dialogWnd) {
  TsSkinManager* manager = DefaultManager;
  if (manager == nullptr || !manager->Active()) {
    FreeAdapter(dialogWnd);
    return;
  }
  if (dialogWnd != nullptr && dialogWnd->Destroyed) FreeAdapter(dialogWnd);
  if (dialogWnd == nullptr && DialogAdapterFactory != nullptr)
    dialogWnd = DialogAdapterFactory(wnd, manager);
}

// --- the list ----------------------------------------------------------------------------

void FreeReleasedProviders() {
  if (HookedWindows == nullptr) return;
  // Out of the list first, freed after: freeing may reach the list again.
  std::vector<std::unique_ptr<TacHookedWindow>> gone;
  for (auto& slot : *HookedWindows)
    if (auto* p = dynamic_cast<TacProvider*>(slot.get()); p != nullptr && p->Released())
      gone.push_back(std::move(slot));
  std::erase(*HookedWindows, nullptr);
}

TacProvider* FindProvider(HWND wnd) {
  TacProvider* found = nullptr;
  ForEachProvider([&](TacProvider* p) {
    if (found == nullptr && p->CtrlHandle == wnd && !p->Released()) found = p;
  });
  return found;
}

TCustomForm* FindFormByHandle(HWND wnd) {
  if (Screen == nullptr || wnd == nullptr) return nullptr;
  for (int i = Screen->FormCount() - 1; i >= 0; --i) {
    TCustomForm* form = Screen->Forms(i);
    if (form->HandleAllocated() && form->Handle() == wnd) return form;
    // An MDI child is activated inside its MDI form, not by the system.
    if (form->FormStyle() != fsMDIForm) continue;
    for (int c = 0; c < form->MDIChildCount(); ++c) {
      TCustomForm* child = form->MDIChildren(c);
      if (child->HandleAllocated() && child->Handle() == wnd) return child;
    }
  }
  return nullptr;
}

int VisibleDialogCount() {
  int count = 0;
  ForEachProvider([&](TacProvider* p) {
    if (!p->Released() && IsWindowVisible(p->CtrlHandle)) ++count;
  });
  return count;
}

// --- the hook ----------------------------------------------------------------------------

bool AddProvider(HWND wnd) {
  TsSkinManager* manager = DefaultManager;
  TCustomForm* form = FindFormByHandle(wnd);
  const std::string name = WindowClassName(wnd);
  TacActivation w;
  w.Skinned = AnswersSkinned(wnd);
  w.HasManager = manager != nullptr;
  w.HasProvider = FindProvider(wnd) != nullptr;
  w.IsForm = form != nullptr;
  w.FormTag = form != nullptr ? form->Tag() : 0;
  w.ClassName = name;
  if (manager != nullptr) {
    w.SkinStdForms = (manager->SkinningRules & srStdForms) != 0;
    w.SkinStdDialogs = (manager->SkinningRules & srStdDialogs) != 0;
  }
  if (!w.IsForm && name == "#32770") {
    w.VisibleDialogs = VisibleDialogCount();
    w.HasToolBar = HasDescendantOfClass(wnd, L"toolbarwindow32");
  }
  switch (ProviderCaseOf(w)) {
    case TacProviderCase::Refused:
      return false;
    case TacProviderCase::Form:
      // The form owns its provider and frees it with itself.
      TacProvider::InitForForm(form);
      // The MDI children share their form's look, whatever their class.
      if (form->FormStyle() == fsMDIForm)
        for (int c = 0; c < form->MDIChildCount(); ++c) {
          TCustomForm* child = form->MDIChildren(c);
          if (!child->HandleAllocated() || !AnswersSkinned(child->Handle()))
            TacProvider::InitForForm(child);
        }
      return true;
    case TacProviderCase::Dialog: {
      if (HookedWindows == nullptr) return false;
      auto provider = std::make_unique<TacProvider>();
      TacProvider* p = provider.get();
      HookedWindows->push_back(std::move(provider));
      if (!p->InitForDialog(wnd)) RemoveProvider(p);
      return true;
    }
  }
  return false;
}

LRESULT CALLBACK CBTHookProc(int code, WPARAM wParam, LPARAM lParam) {
  // The chain first: the hook never keeps a window from what others decide.
  const LRESULT result = CallNextHookEx(nullptr, code, wParam, lParam);
  try {
    auto* wnd = reinterpret_cast<HWND>(wParam);
    switch (code) {
      case HCBT_CREATEWND: {
        TsSkinManager* manager = DefaultManager;
        // Only a menu window is asked anything while it is being created.
        wchar_t name[8] = {};
        if (manager == nullptr || GetClassNameW(wnd, name, 8) != 6 ||
            std::wstring_view(name) != L"#32768")
          break;
        if (!MenuWindowGetsAdapter("#32768", IsDwmCompositionOn(), manager->SkinnedPopups(),
                                   AnswersSkinned(wnd)))
          break;
        TacMainWnd* adapter = CreateMenuWndAdapter(wnd, nullptr, manager, "MAINMENU", false);
        MenuAdapters.push_back(static_cast<TacMnuWnd*>(adapter));
        break;
      }
      case HCBT_DESTROYWND:
        FreeReleasedProviders();
        break;
      case HCBT_ACTIVATE:
        AddProvider(wnd);
        break;
      default:
        break;
    }
  } catch (...) {
    HandleEntryException(nullptr);
  }
  return result;
}

void ClearMenuAdapters() { MenuAdapters.clear(); }

namespace {

// The dialog's own adapter; children that appear later (a file dialog's list,
// its nested template) are wrapped when the adapter asks.
TacMainWnd* AttachHookedDialog(HWND dialog, TsSkinManager* manager) {
  TacDialogWnd* adapter = AttachDialogWnd(dialog, manager);
  if (adapter != nullptr)
    adapter->OnWrapChildren = [dialog] {
      if (TacProvider* provider = FindProvider(dialog)) provider->WrapChildren(dialog);
    };
  return adapter;
}

}  // namespace

void InstallDialogServices(TacFormServices& services) {
  DialogAdapterFactory = AttachHookedDialog;
  MakeDialogBorder = NewDialogBorder;
  services.CBTHookProc = CBTHookProc;
  services.ClearMenuAdapters = ClearMenuAdapters;
}

// --- window helpers ----------------------------------------------------------------------

bool HasDescendantOfClass(HWND wnd, std::wstring_view lowerClassName) {
  for (HWND child = GetTopWindow(wnd); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (LowerClassName(child) == lowerClassName || HasDescendantOfClass(child, lowerClassName))
      return true;
  }
  return false;
}

std::string WindowClassName(HWND wnd) {
  wchar_t name[128] = {};
  const int length = GetClassNameW(wnd, name, 128);
  return Narrow(std::wstring_view(name, static_cast<size_t>(std::max(length, 0))));
}

void SendToChildWindowsInZOrder(HWND wnd, TMessage& message) {
  for (HWND child = GetTopWindow(wnd); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
    SendMessageW(child, message.Msg, message.WParam, message.LParam);
}

}  // namespace kv
