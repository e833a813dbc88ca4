#include "skin/adapters/acMainWnd_win.h"

#include <map>
#include <memory>
#include <utility>

#include "classlib/Forms.h"
#include "classlib/PlatformCalls.h"
#include "classlib/WideText.h"
#include "classlib/WindowProps.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/acFormServices_win.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/graphics/acGlow.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/model/acToolkitFlags.h"

namespace kv {

bool acDlgModeSeed = false;
bool acAdaptersFreeing = false;

namespace {

// Windows whose adapter left while another subclass sat on top of it: our
// procedure stays in their chain and passes everything to what it replaced
// until the window is destroyed.
std::map<HWND, WNDPROC>& PassThrough() {
  static std::map<HWND, WNDPROC> table;
  return table;
}

std::string WindowCaption(HWND wnd) {
  const int length = GetWindowTextLengthW(wnd);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(wnd, text.data(), length + 1)));
  return Narrow(text);
}

bool Designing(const TsSkinManager* manager) {
  return manager != nullptr && manager->HasState(csDesigning);
}

}  // namespace

// --- creation and release ------------------------------------------------------------

TacMainWnd::TacMainWnd(TsCommonData* skinData, TsSkinManager* manager, std::string_view skinSection)
    : SkinManager(manager), SkinData(skinData), section_(skinSection) {
  if (SkinData != nullptr) {
    if (SkinManager == nullptr) SkinManager = SkinData->SkinManager();
  } else {
    OwnSkinData = true;
    ownSkinData_ = std::make_unique<TsCommonData>(nullptr, true);
    SkinData = ownSkinData_.get();
    if (manager != nullptr) SkinData->SetSkinManager(manager);
    if (SkinManager == nullptr) SkinManager = SkinData->SkinManager();
  }
}

TacMainWnd::~TacMainWnd() {
  // Deleted without FreeAdapter: nothing may keep calling into this object.
  if (!Destroyed) GiveBackHandler();
  SkinData = nullptr;
  SkinManager = nullptr;
}

bool TacMainWnd::TurnsThemeOff(std::string_view section) const { return section != "DIALOG"; }

void TacMainWnd::ThemeOff() {
  if (themeOff_ || CtrlHandle == nullptr || !TurnsThemeOff(section_)) return;
  PlatformCalls().SetWindowTheme(CtrlHandle, L" ", L" ");
  themeOff_ = true;
}

void TacMainWnd::ThemeBack() {
  if (!themeOff_) return;
  themeOff_ = false;
  if (CtrlHandle != nullptr && IsWindow(CtrlHandle))
    PlatformCalls().SetWindowTheme(CtrlHandle, nullptr, nullptr);
}

void TacMainWnd::Attach(HWND handle, bool repaint) {
  if (handle == nullptr || hookMode_ != TacHookMode::None || Destroyed) return;
  // One adapter per window: a second one stays off it, transparent.
  if (TacMainWnd* other = AdapterOfWindow(handle); other != nullptr && other != this) {
    Destroyed = true;
    return;
  }
  CtrlHandle = handle;
  ThemeOff();
  if (SkinData->SkinSection().empty()) SkinData->SetSkinSection(section_);
  DlgMode = acDlgModeSeed;
  SaveOriginalState();
  StateApplied = false;
  if (ReadsCaption()) Caption = WindowCaption(handle);
  HookWindow(handle, repaint);
  if (SkinData->OwnerControl != nullptr && MakesOwnerOpaque())
    SkinData->OwnerControl->SetControlStyle(SkinData->OwnerControl->ControlStyle() | csOpaque);
}

void TacMainWnd::HookWindow(HWND handle, bool /*repaint*/) { HookWnd(this, handle); }

void HookWnd(TacMainWnd* adapter, HWND handle) {
  if (adapter == nullptr || handle == nullptr) return;
  // One adapter per window: a second one stays unhooked and transparent.
  if (TacMainWnd* other = AdapterOfWindow(handle); other != nullptr && other != adapter) return;
  adapter->ScrollBusy = false;
  adapter->CtrlHandle = handle;
  SetLocalProp(handle, acAdapterProperty, adapter);
  TsCommonData* sd = adapter->SkinData;
  TControl* target = nullptr;
  if (sd != nullptr && sd->OwnerProvider != nullptr && sd->OwnerProvider->Form() != nullptr) {
    target = sd->OwnerProvider->Form();
    adapter->hookMode_ = TacHookMode::Provider;
  } else if (sd != nullptr && sd->OwnerControl != nullptr) {
    target = sd->OwnerControl;
    adapter->hookMode_ = TacHookMode::Control;
  }
  if (target != nullptr) {
    adapter->hook_ =
        target->InstallWindowProcHook(TWndMethod([adapter](TMessage& m) { adapter->Dispatch(m); }));
    return;
  }
  adapter->hookMode_ = TacHookMode::Subclass;
  // Where an earlier adapter left our procedure in the chain, this one takes
  // its place rather than stacking a second copy that would find itself.
  auto& table = PassThrough();
  if (auto it = table.find(handle); it != table.end()) {
    adapter->oldProc_ = it->second;
    table.erase(it);
    return;
  }
  adapter->oldProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(handle, GWLP_WNDPROC));
  SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AdapterProc));
}

bool TacMainWnd::Hooked() const { return oldProc_ != nullptr || hook_.Installed(); }

bool TacMainWnd::GiveBackHandler() {
  bool restored = true;
  switch (hookMode_) {
    case TacHookMode::Provider:
    case TacHookMode::Control:
      hook_.Remove();
      break;
    case TacHookMode::Subclass:
      if (oldProc_ == nullptr) break;
      if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(CtrlHandle, GWLP_WNDPROC)) == &AdapterProc) {
        SetWindowLongPtrW(CtrlHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc_));
      } else {
        // Putting ours back would cut out whoever subclassed on top.
        PassThrough()[CtrlHandle] = oldProc_;
        restored = false;
      }
      oldProc_ = nullptr;
      break;
    case TacHookMode::None:
      return true;
  }
  if (CtrlHandle != nullptr && GetLocalProp(CtrlHandle, acAdapterProperty) == this)
    RemoveLocalProp(CtrlHandle, acAdapterProperty);
  return restored;
}

void TacMainWnd::UnhookWindow(bool repaint) {
  if (Destroyed) return;
  ThemeBack();
  GiveBackHandler();
  RestoreOriginalState();
  if (IsWindowVisible(CtrlHandle)) RefreshWindowFrame(CtrlHandle, repaint);
  Destroyed = true;
}

void TacMainWnd::ReleaseDyingWindow() {
  if (Destroyed) return;
  if (hookMode_ == TacHookMode::Subclass && oldProc_ != nullptr &&
      reinterpret_cast<WNDPROC>(GetWindowLongPtrW(CtrlHandle, GWLP_WNDPROC)) != &AdapterProc) {
    // The window gets no message after this one: nothing to pass through.
    oldProc_ = nullptr;
  }
  GiveBackHandler();
  themeOff_ = false;
  RestoreOriginalState();
  Destroyed = true;
}

void TacMainWnd::Detach() {
  if (Destroyed) return;
  ThemeBack();
  // The hook always goes back, so a surviving window never calls a freed
  // adapter; only the window's own state is left alone during mass freeing.
  GiveBackHandler();
  if (!acAdaptersFreeing || SkinRemoving) RestoreOriginalState();
  Destroyed = true;
}

void FreeAdapter(TacMainWnd*& adapter) {
  TacMainWnd* a = std::exchange(adapter, nullptr);
  if (a == nullptr) return;
  a->Detach();
  if (a->depth_ > 0) {
    a->freePending_ = true;
    return;
  }
  delete a;
}

void UnhookWnd(HWND /*wnd*/, bool freeAdapter, bool repaint, TacMainWnd*& adapter) {
  if (adapter == nullptr) return;
  adapter->UnhookWindow(repaint);
  if (freeAdapter) FreeAdapter(adapter);
}

// --- message entry -------------------------------------------------------------------

// A manager being freed announces its removal last: the adapter lets it go
// and falls back to the default one, as its skin data does.
void TacMainWnd::ForgetDestroyedManager(const TMessage& m) {
  if (m.Msg != SM_ALPHACMD || m.WParamHi() != cmdSkinRemoved || SkinManager == nullptr ||
      m.LParam != reinterpret_cast<LPARAM>(SkinManager.Get()) || !SkinManager->HasState(csDestroying))
    return;
  const TsSkinManager* going = SkinManager;
  SkinData->ForgetDestroyedManager();
  SkinManager = SkinData->SkinManager();
  // The default manager going: it stays the default until its removal ends.
  if (SkinManager == going) SkinManager = nullptr;
}

LRESULT CALLBACK AdapterProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* adapter = static_cast<TacMainWnd*>(GetLocalProp(wnd, acAdapterProperty));
  if (adapter != nullptr && adapter->hookMode_ == TacHookMode::Subclass && !adapter->Destroyed) {
    TMessage m{msg, wParam, lParam, 0};
    adapter->Dispatch(m);
    return m.Result;
  }
  auto& table = PassThrough();
  const auto it = table.find(wnd);
  if (it == table.end()) return DefWindowProcW(wnd, msg, wParam, lParam);
  const WNDPROC previous = it->second;
  if (msg == WM_NCDESTROY) table.erase(it);
  return CallWindowProcW(previous, wnd, msg, wParam, lParam);
}

LRESULT TacMainWnd::CallPrevWndProc(HWND handle, UINT msg, WPARAM wParam, LPARAM& lParam) {
  if (hook_.Installed()) {
    TMessage m{msg, wParam, lParam, 0};
    hook_.CallPrevious(m);
    lParam = m.LParam;
    return m.Result;
  }
  if (oldProc_ != nullptr) return CallWindowProcW(oldProc_, handle, msg, wParam, lParam);
  return 0;
}

void TacMainWnd::CallPrev(TMessage& message) {
  message.Result = CallPrevWndProc(CtrlHandle, message.Msg, message.WParam, message.LParam);
}

bool TacMainWnd::SkinUsable() const {
  return SkinData != nullptr && SkinManager != nullptr && SkinManager->Active();
}

bool TacMainWnd::SectionAvailable() const { return SkinUsable() && SkinAvailable(SkinData, false); }

// --- the root's window procedure -----------------------------------------------------

void TacMainWnd::WndProc(TMessage& message) { MainWndProc(message); }

void TacMainWnd::MainWndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_DESTROY:
    case WM_NCDESTROY:
      if (SkinData != nullptr && SkinData->GlowIndex >= 0) {
        HideGlow(SkinData->GlowIndex);
        SkinData->GlowIndex = -1;
      }
      CallPrev(m);
      if (m.Msg == WM_NCDESTROY && Hooked()) ReleaseDyingWindow();
      return;
    case WM_UPDATEUISTATE:
      return;
    case WM_PRINT:
      m.Result = SendMessageW(CtrlHandle, WM_PAINT, m.WParam, m.LParam);
      return;
    case WM_SIZE:
      if (SkinData != nullptr) SkinData->BGChanged = true;
      break;
    case WM_SETTEXT:
      // Once: a second delivery would fire the edit's change notice twice.
      CallPrev(m);
      Caption = WindowCaption(CtrlHandle);
      return;
    case WM_MOUSEMOVE:
      if (DefaultManager != nullptr && !Designing(DefaultManager) && IsWindowEnabled(CtrlHandle) &&
          DefaultManager->HotWindow() != CtrlHandle)
        DefaultManager->SetHotWindow(CtrlHandle);
      break;
    default:
      break;
  }
  if (!SkinUsable()) return CallPrev(m);
  if (m.Msg == SM_ALPHACMD && RootCommand(m)) return;
  CallPrev(m);
}

bool TacMainWnd::RootCommand(TMessage& m) {
  TsCommonData* sd = SkinData;
  const bool ours = reinterpret_cast<TsSkinManager*>(m.LParam) == SkinManager;
  switch (m.WParamHi()) {
    case cmdSkinLoaded:
      if (!ours) return false;
      sd->RefreshSkinIndexes();
      sd->BGChanged = true;
      ThemeOff();
      SendToChildren(sd->OwnerControl, CtrlHandle, m);
      return false;
    case cmdSkinRemoved:
      if (!ours) return false;
      RestoreOriginalState();
      ThemeBack();
      return false;
    case cmdSkinRefresh:
      if (!ours) return false;
      sd->RefreshSkinIndexes();
      sd->BGChanged = true;
      SetPaintingSuspended(sd, false);
      // A window of a frozen form (a skin change) or of a hidden one is
      // painted when it shows; painting it now would be done again then.
      if (IsWindowVisible(CtrlHandle)) SendMessageW(CtrlHandle, WM_PAINT, 0, 0);
      return true;
    case cmdParentPainted:
      if (!sd->Updating) return false;
      if (ResumePaintingAfterParent(sd))
        RedrawWindow(CtrlHandle, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
      return true;
    case cmdIsSkinned:
      m.Result = 1;
      return true;
    case cmdGetSectionIndex:
      m.Result = sd->SkinIndex + 1;
      return true;
    case cmdNeedsRepaint:
      m.Result = sd->Updating ? 1 : 0;
      return true;
    case cmdIsBgNonUniform:
      if (sd->OwnerControl == nullptr) return false;
      return HandleSkinCommand(m, sd) == coAnswered;
    case cmdGetBgColor:
      CallPrev(m);
      if (m.Result == 0) m.Result = static_cast<LRESULT>(SkinnedBgColor(sd, false, CtrlHandle));
      return true;
    case cmdFadeStep:
      PaintAdapterFrame(sd, CtrlHandle, false);
      return false;
    case cmdGetBackground:
      if (m.LParam == 0) return false;
      FillChildBgInfo(sd, *reinterpret_cast<TsBgRequest*>(m.LParam), false, CtrlHandle);
      return true;
    case cmdGetApplication:
      m.Result = reinterpret_cast<LRESULT>(Application);
      return true;
    default:
      return false;
  }
}

// --- shared operations ---------------------------------------------------------------

TacMainWnd* AdapterOfWindow(HWND wnd) {
  if (wnd == nullptr) return nullptr;
  return static_cast<TacMainWnd*>(GetLocalProp(wnd, acAdapterProperty));
}

void SendToChildren(TControl* control, HWND wnd, TMessage& message) {
  if (auto* parent = dynamic_cast<TWinControl*>(control); parent != nullptr) {
    BroadcastToChildren(parent, message);
    return;
  }
  if (wnd != nullptr) SendToChildWindows(wnd, message);
}

void RefreshWindowFrame(HWND wnd, bool repaint) {
  if (repaint)
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  else
    SendMessageW(wnd, WM_NCPAINT, 1, 0);
}

void TacMainWnd::RefreshGeometry() {
  GetWindowPosInParent(CtrlHandle, ParentWnd, WndRect, ParentRect, WndSize, WndPos);
}

void GetWindowPosInParent(HWND wnd, HWND& parentWnd, TRect& wndRect, TRect& parentRect,
                          TSize& wndSize, TPoint& wndPos) {
  RECT r{};
  GetWindowRect(wnd, &r);
  wndRect = {r.left, r.top, r.right, r.bottom};
  parentWnd = GetParent(wnd);
  RECT p{};
  if (parentWnd != nullptr) GetWindowRect(parentWnd, &p);
  parentRect = {p.left, p.top, p.right, p.bottom};
  wndSize = {r.right - r.left, r.bottom - r.top};
  POINT pos{r.left, r.top};
  if (parentWnd != nullptr) ScreenToClient(parentWnd, &pos);
  wndPos = {pos.x, pos.y};
}

bool PaintSectionCache(TsCommonData* sd, HWND wnd, int state, const TsBgCacheInfo& background) {
  RECT r{};
  GetWindowRect(wnd, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  PrepareCacheBitmap24(sd);
  TBitmap* cache = sd->CacheBmp.get();
  cache->SetSize(w, h);
  HWND parent = GetParent(wnd);
  POINT pos{r.left, r.top};
  if (parent == nullptr || !ScreenToClient(parent, &pos)) return false;
  TsSkinManager* manager = sd->SkinManager();
  if (manager != nullptr && manager->Skin().IsSectionIndexValid(sd->SkinIndex))
    PaintSkinDataItem(sd, background, true, state, {0, 0, w, h}, {pos.x, pos.y}, cache);
  return true;
}

void PaintAdapterFrame(TsCommonData* sd, HWND wnd, bool dialogMode) {
  if (sd == nullptr || !sd->BGChanged || wnd == nullptr) return;
  RECT r{};
  GetWindowRect(wnd, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  TsBgCacheInfo background;
  GetParentBgInfoByHandle(wnd, background);
  TsSkinManager* manager = sd->SkinManager();
  const TColor border = manager != nullptr ? manager->CommonSkinData().BorderColor : 0;
  if (!dialogMode || border == TransparentColor) {
    if (!PaintSectionCache(sd, wnd, sd->Focused || sd->MouseAbove ? 1 : 0, background)) return;
  } else {
    PrepareCacheBitmap24(sd);
    sd->CacheBmp->SetSize(w, h);
    TBitmapCanvas canvas(*sd->CacheBmp);
    HDC dc = canvas.Handle();
    FillRectWithColor(dc, {0, 0, w, h}, static_cast<TColor>(GetSysColor(COLOR_WINDOW)));
    const RECT all{0, 0, w, h};
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(border));
    FrameRect(dc, &all, brush);
    DeleteObject(brush);
  }
  TControl* owner = sd->OwnerControl;
  if (owner != nullptr && !owner->Enabled()) {
    GlobalDisabledKind = dkBlended;
    SendMessageW(wnd, SM_ALPHACMD, MAKEWPARAM(0, cmdAdapterPrivate35), 0);
    TsBgCacheInfo parentBg;
    GetParentBgInfo(sd, parentBg);
    ApplyDisabledKind(sd->CacheBmp.get(), GlobalDisabledKind, owner, {owner->Left(), owner->Top()}, parentBg);
  }
  sd->BGChanged = false;
}

void AssignLogFont(TFont& font, const LOGFONTW& lf) {
  font.SetName(Narrow(lf.lfFaceName));
  font.SetHeight(lf.lfHeight);
  font.SetCharset(lf.lfCharSet);
  TFontStyles style = 0;
  if (lf.lfWeight >= FW_BOLD) style |= fsBold;
  if (lf.lfItalic != 0) style |= fsItalic;
  if (lf.lfUnderline != 0) style |= fsUnderline;
  if (lf.lfStrikeOut != 0) style |= fsStrikeOut;
  font.SetStyle(style);
}

void AssignWindowFont(TFont& font, HWND wnd) {
  auto handle = reinterpret_cast<HFONT>(SendMessageW(wnd, WM_GETFONT, 0, 0));
  if (handle == nullptr) handle = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  LOGFONTW lf{};
  if (GetObjectW(handle, sizeof lf, &lf) != 0) AssignLogFont(font, lf);
}

namespace {

// The font-colour section for a see-through window with no control behind
// it: the parents are asked for their sections, past the see-through ones.
int WindowFontSourceIndex(HWND wnd, int defaultIndex, TsSkinManager* manager) {
  HWND parent = GetParent(wnd);
  if (parent == nullptr || manager == nullptr) return defaultIndex;
  const TsSkinModel& skin = manager->Skin();
  const auto sectionOf = [](HWND w) {
    return static_cast<int>(SendMessageW(w, SM_ALPHACMD, MAKEWPARAM(0, cmdGetSectionIndex), 0)) -
           1;
  };
  int index = sectionOf(parent);
  while (skin.IsSectionIndexValid(index) &&
         skin.GeneralData[static_cast<size_t>(index)].Transparency > 50 &&
         GetParent(parent) != nullptr) {
    parent = GetParent(parent);
    index = sectionOf(parent);
  }
  if (!skin.IsSectionIndexValid(index)) return defaultIndex;
  return skin.GeneralData[static_cast<size_t>(index)].GiveOwnFont ? index : defaultIndex;
}

}  // namespace

TsSkinTextSource AdapterTextSource(const TacMainWnd& adapter, int ctrlTypeCode) {
  TsCommonData* sd = adapter.SkinData;
  TControl* owner = sd->OwnerControl;
  TsSkinTextSource source;
  source.Manager = adapter.SkinManager;
  source.SkinIndex = sd->SkinIndex;
  source.SectionName = sd->SkinSection();
  source.CtrlTypeCode = ctrlTypeCode;
  source.HasParent = GetParent(adapter.CtrlHandle) != nullptr;
  source.FontSourceIndex =
      owner != nullptr
          ? FontSourceSectionIndex(owner, sd->SkinIndex, adapter.SkinManager)
          : WindowFontSourceIndex(adapter.CtrlHandle, sd->SkinIndex, adapter.SkinManager);
  source.CustomFont = sd->CustomFont();
  source.OwnerFont = owner != nullptr ? owner->Font() : nullptr;
  return source;
}

}  // namespace kv
