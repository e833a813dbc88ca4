#include "skin/forms/sSkinProvider_win.h"

#include <algorithm>

#include "classlib/PlatformCalls.h"
#include "skin/core/acPlatform.h"
#include "skin/core/sDialogs_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sStyleSimply_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/acBorderForm_win.h"
#include "skin/forms/sMDIForm_win.h"
#include "skin/forms/sTitleButtons_win.h"
#include "skin/graphics/sBorders.h"

namespace kv {

TsSkinProvider* LastActiveProvider = nullptr;

namespace {

constexpr intptr_t kAuxFormTag = -98;

bool HasSkin(const TsSkinManager* m) { return m != nullptr && m->CommonSkinData().Active; }

}  // namespace

// --- life cycle -------------------------------------------------------------------------

TsSkinProvider::TsSkinProvider(TComponent* owner) : TComponent(owner) {
  // On a frame the provider serves nothing: it only says where it belongs.
  if (dynamic_cast<TCustomFrame*>(owner) != nullptr) {
    WarningBox("TsSkinProvider component must be used with forms only!");
  } else {
    form_ = OwnerForm(owner);
  }
  skinData_ = std::make_unique<TsCommonData>(this, true);
  skinData_->SetOwnerProvider(this);
  skinData_->SetSkinSection("FORM");
  skinData_->ControlType = ProviderControlType;
  if (form_ != nullptr && form_->ControlState() != 0) skinData_->Updating = true;
  TFont added;
  added.SetName("MS Sans Serif");
  added.SetHeight(-11);
  added.SetColor(clNone);
  AddedTitle.SetFont(added);
  if (form_ == nullptr) return;

  // The newest provider on a form wins.
  for (int i = 0; i < form_->ComponentCount(); ++i) {
    auto* other = dynamic_cast<TsSkinProvider*>(form_->Components(i));
    if (other == nullptr || other == this || other->form_ == nullptr) continue;
    other->Free();
    break;
  }
  firstSetupPending_ = true;
  hook_ = form_->InstallWindowProcHook(TWndMethod(this, &TsSkinProvider::FormWndProc));
  hooked_ = true;
  AddHookedForm(form_);
  formActive_ = true;
}

void TsSkinProvider::AfterConstruction() {
  if (HasSkin(SkinManager())) PrepareForm();
}

void TsSkinProvider::Loaded() {
  TComponent::Loaded();
  if (SkinManager() == nullptr || !SkinAvailable(skinData_.get(), true)) return;
  if (form_ != nullptr && form_->HandleAllocated()) SetDwmTransitions(form_->Handle(), true);
  CreateAdapter();
  PrepareForm();
  LoadTitleButtonMasks();
}

void TsSkinProvider::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (skinData_ == nullptr) return;
  // A control the form takes over with its window made (and whose window
  // may have told its parent nothing) is skinned as it joins.
  auto* win = dynamic_cast<TWinControl*>(component);
  if (operation == opInsert && win != nullptr && adapter_ != nullptr &&
      adapter_->IsControlSupported(win))
    adapter_->AddItem(win);
  auto* manager = dynamic_cast<TsSkinManager*>(component);
  if (manager == nullptr) return;
  if (operation == opInsert && !skinData_->SkinManagerStored())
    skinData_->SetSkinManager(manager);
  else if (operation == opRemove)
    skinData_->ForgetDestroyedManager();
}

void TsSkinProvider::BeforeDestruction() {
  // What hooked the form after the provider goes first, so nothing it gives
  // back can be the provider's procedure; then the provider's own hook.
  UpdateExtendedBorders(false);
  RemoveAdapter();
  HideCoverForm();
  HideMDIIcons();
  if (form_ != nullptr) {
    RemoveHookedForm(form_);
    hook_.Remove();
    hooked_ = false;
  }
  if (LastActiveProvider == this) LastActiveProvider = nullptr;
  TComponent::BeforeDestruction();
}

// --- the control adapter ----------------------------------------------------------------

void TsSkinProvider::CreateAdapter() {
  if (HasState(csDesigning) || !SkinAvailable(skinData_.get(), true)) return;
  MakeMDIForm(true);
  if (adapter_ != nullptr) return;
  adapter_ = std::make_unique<TacCtrlAdapter>(this, &OnSkinItem);
  adapter_->AdaptAllControls(nullptr);
}

void TsSkinProvider::AdaptControls(TWinControl* parent) {
  if (adapter_ == nullptr) {
    CreateAdapter();
    return;
  }
  // A control named on its own is adapted itself, then what it holds.
  if (parent != nullptr && adapter_->IsControlSupported(parent)) adapter_->AddItem(parent);
  adapter_->AdaptAllControls(parent);
}

void TsSkinProvider::RemoveAdapter() {
  MakeMDIForm(false);
  if (adapter_ == nullptr || HasState(csDesigning)) return;
  TMessage m{SM_ALPHACMD, CommandWParam(cmdSkinRemoved), reinterpret_cast<LPARAM>(SkinManager()),
             0};
  BroadcastToAdapter(m);
  adapter_.reset();
}

void TsSkinProvider::BroadcastToAdapter(TMessage& message) {
  if (adapter_ != nullptr && !HasState(csDesigning)) adapter_->BroadcastMessage(message);
}

TsSkinProvider::~TsSkinProvider() {
  // Every glow this provider started stops with it: its ticks reach back here.
  for (TsTitleButtonRecord& r : buttons_) r.Timer.reset();
  for (TsTitleButton& b : titleButtons_.Items) b.Record->Timer.reset();
  HideButtonHint();
  hook_.Remove();
  if (LastActiveProvider == this) LastActiveProvider = nullptr;
}

// --- added title ----------------------------------------------------------------------

TacAddedTitle::TacAddedTitle(TsSkinProvider* provider) : provider_(provider) {
  font_.SetColor(clNone);
}

void TacAddedTitle::SetText(const std::string& value) {
  text_ = value;
  Repaint();
}

void TacAddedTitle::SetFont(const TFont& value) {
  font_.Assign(value);
  Repaint();
}

void TacAddedTitle::Repaint() {
  if (provider_ != nullptr && !provider_->HasState(csLoading)) provider_->RepaintFrameNow();
}

// --- the seam ---------------------------------------------------------------------------

TsSkinManager* TsSkinProvider::SkinManager() const {
  return skinData_ != nullptr ? skinData_->SkinManager() : nullptr;
}

bool TsSkinProvider::IsOwnManager(LPARAM lParam) const {
  const TsSkinManager* manager = SkinManager();
  return manager != nullptr && lParam == reinterpret_cast<LPARAM>(manager);
}

void TsSkinProvider::SetPaintingLocked(bool locked) {
  if (locked)
    BeginPaintLock(skinData_.get());
  else
    EndPaintLock(skinData_.get());
}

void TsSkinProvider::ReceiveMessage(TMessage& message) {
  // The skin data's manager changed: the form takes it as a whole.
  if (form_ != nullptr && form_->HandleAllocated() && !FormDestroying())
    message.Result = SendMessageW(form_->Handle(), message.Msg, message.WParam, message.LParam);
}

// --- set-up -----------------------------------------------------------------------------

bool TsSkinProvider::FormDestroying() const {
  return form_ == nullptr || form_->HasState(csDestroying) || HasState(csDestroying);
}

HWND TsSkinProvider::FormHandle() const {
  return form_ != nullptr && form_->HandleAllocated() ? form_->Handle() : nullptr;
}

bool TsSkinProvider::Showing() const {
  HWND wnd = FormHandle();
  return wnd != nullptr && form_->Showing() && IsWindowVisible(wnd);
}

void TsSkinProvider::PrepareForm() {
  TsSkinManager* m = SkinManager();
  HWND wnd = FormHandle();
  if (m == nullptr || wnd == nullptr) return;
  SkinDataLoaded(skinData_.get());
  // Wine makes a window's system menu only while it has WS_SYSMENU: it is
  // obtained before the style comes off, so the skinned menu and the title
  // icon have it. A window made again (a new border style or icons) has a
  // menu and a style of its own; the old menu went with the old window.
  if (wnd != systemMenuWnd_) {
    systemMenuWnd_ = wnd;
    systemMenu_ = GetSystemMenu(wnd, FALSE);
    sysMenuStyleRemoved_ = false;
  }
  UpdateSysMenuStyle(HasSkin(m));
  if (firstSetupPending_ && HasSkin(m)) firstSetupPending_ = false;
  NewSkinIndexes();
  if (!form_->HasState(csLoading | csReading) && !HasState(csLoading)) ApplyGlobalColor();
  SkinFormMenus(SkinAvailable(skinData_.get(), true));
  if (!MenuRebuilt && RebuildFormMenu()) MenuRebuilt = true;
  if (!form_->HasState(csLoading)) UpdateExtendedBorders(m->ExtendedBorders());
}

void TsSkinProvider::NewSkinIndexes() {
  skinData_->RefreshSkinIndexes();
  const TsSkinModel& skin = SkinManager()->Skin();
  TitleSectionIndex = skin.SectionIndexOf(titleSkin_.empty() ? "FORMTITLE" : titleSkin_);
  CaptionSectionIndex = skin.SectionIndexOf("CAPTION");
  LoadTitleButtonMasks();
  skinData_->BGChanged = true;
  FrameRepaintNeeded = true;
  RgnChanged = true;
}

void TsSkinProvider::ApplyGlobalColor() {
  if (form_ == nullptr) return;
  if (useGlobalColor_ && SkinAvailable(skinData_.get(), true) && !skinData_->CustomColor())
    form_->SetColor(static_cast<TColor>(SkinManager()->Skin().GetGlobalInfoColor()));
}

void TsSkinProvider::UpdateSysMenuStyle(bool skinned) {
  HWND wnd = FormHandle();
  if (wnd == nullptr) return;
  const LONG style = GetWindowLongW(wnd, GWL_STYLE);
  if (skinned) {
    if ((style & WS_SYSMENU) == 0 && !sysMenuStyleRemoved_) return;
    const LONG wanted = drawNonClientArea_ ? (style & ~WS_SYSMENU) : (style | WS_SYSMENU);
    if (wanted != style) SetWindowLongW(wnd, GWL_STYLE, wanted);
    sysMenuStyleRemoved_ = true;
  } else if (sysMenuStyleRemoved_) {
    SetWindowLongW(wnd, GWL_STYLE, style | WS_SYSMENU);
    sysMenuStyleRemoved_ = false;
  }
}

// --- setters ----------------------------------------------------------------------------

void TsSkinProvider::SetCaptionAlignment(TAlignment value) {
  if (value == captionAlignment_) return;
  captionAlignment_ = value;
  InvalidateFrame();
}

void TsSkinProvider::SetShowAppIcon(bool value) {
  if (value == showAppIcon_) return;
  showAppIcon_ = value;
  InvalidateFrame();
}

void TsSkinProvider::SetTitleSkin(const std::string& value) {
  if (value == titleSkin_) return;
  titleSkin_ = value;
  if (TsSkinManager* m = SkinManager())
    TitleSectionIndex = m->Skin().SectionIndexOf(titleSkin_.empty() ? "FORMTITLE" : titleSkin_);
  // The title's transparent corners are holes in the region.
  RgnChanged = true;
  InvalidateFrame();
}

void TsSkinProvider::SetMenuLineSkin(const std::string& value) { menuLineSkin_ = value; }

void TsSkinProvider::SetUseGlobalColor(bool value) {
  if (value == useGlobalColor_) return;
  useGlobalColor_ = value;
  if (form_ == nullptr) return;
  if (value && SkinAvailable(skinData_.get(), true) && !skinData_->CustomColor())
    ApplyGlobalColor();
  else
    form_->SetColor(clBtnFace);
}

void TsSkinProvider::SetAllowExtBorders(bool value) {
  if (value == allowExtBorders_) return;
  allowExtBorders_ = value;
  if (HasState(csLoading)) return;
  // Allowed again, the next frame painting brings the border window back.
  if (!value) UpdateExtendedBorders(false);
  skinData_->BGChanged = true;
  if (HWND wnd = FormHandle()) RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

void TsSkinProvider::SetDrawNonClientArea(bool value) {
  if (value == drawNonClientArea_) return;
  drawNonClientArea_ = value;
  HWND wnd = FormHandle();
  if (value) {
    UpdateSysMenuStyle(true);
    if (Showing() && SkinAvailable(skinData_.get(), true)) {
      skinData_->BGChanged = true;
      savedTitleBmp_.reset();
      // The menu bar is part of the frame again.
      SkinFormMenus(true);
      RgnChanged = true;
      UpdateExtendedBorders(SkinManager()->ExtendedBorders());
      PlaceMaximised();
      RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
      UpdateFormScrollAdapter();
    }
    return;
  }
  UpdateExtendedBorders(false);
  // The system draws the menu bar of a frame it draws.
  SkinFormMenus(SkinAvailable(skinData_.get(), true));
  if (wnd == nullptr) return;
  PlatformCalls().SetWindowTheme(wnd, nullptr, nullptr);
  if (sysMenuStyleRemoved_)
    SetWindowLongW(wnd, GWL_STYLE, GetWindowLongW(wnd, GWL_STYLE) | WS_SYSMENU);
  if (Showing()) SetWindowRgn(wnd, nullptr, TRUE);
  PlaceMaximised();
}

// --- geometry ---------------------------------------------------------------------------

TsFrameGeometry TsSkinProvider::Geometry() const {
  TsFrameGeometry g;
  if (TsSkinManager* m = SkinManager()) g.Skin = FrameSkinOf(m->CommonSkinData());
  g.Sys = {GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CXDLGFRAME),
           GetSystemMetrics(SM_CYCAPTION), GetSystemMetrics(SM_CYSMCAPTION),
           GetSystemMetrics(SM_CYMENU)};
  if (form_ == nullptr) return g;
  TsFrameState& s = g.State;
  s.Form.BorderStyle = form_->BorderStyle();
  s.Form.BorderIcons = form_->BorderIcons();
  s.Form.MDIChild = form_->FormStyle() == fsMDIChild;
  s.Form.SysMenuStyleRemoved = sysMenuStyleRemoved_;
  s.BorderWidth = form_->BorderWidth();
  s.BorderForm = HasBorderForm();
  s.ShadowMargins = ShadowMarginsRect();
  s.MaximisedTitle = MaximisedTitle;
  s.ShowAppIcon = showAppIcon_;
  s.HasSystemMenu = systemMenu_ != nullptr;
  s.TitleIconSize = {TitleIcon.Width, TitleIcon.Height};
  s.HasMenu = form_->Menu() != nullptr;
  s.MenuItemVisible = HasVisibleMenuItem();
  s.MenuLineCount = std::max(MenuLineCount, 1);
  HWND wnd = FormHandle();
  if (wnd == nullptr) {
    s.Width = form_->Width();
    s.Height = form_->Height();
    return g;
  }
  const LONG style = GetWindowLongW(wnd, GWL_STYLE);
  s.Form.Iconic = IsIconic(wnd) != FALSE;
  s.Form.Zoomed = IsZoomed(wnd) != FALSE;
  s.Form.WindowState = s.Form.Iconic ? wsMinimized : s.Form.Zoomed ? wsMaximized : wsNormal;
  s.CaptionStyle = (style & WS_CAPTION) == WS_CAPTION;
  s.ThickFrame = (style & WS_THICKFRAME) != 0;
  s.BorderBit = (style & WS_BORDER) != 0;
  RECT r{}, c{};
  GetWindowRect(wnd, &r);
  GetClientRect(wnd, &c);
  s.Width = r.right - r.left;
  s.Height = r.bottom - r.top;
  s.ClientWidth = c.right;
  s.ClientHeight = c.bottom;
  return g;
}

bool TsSkinProvider::IsCaptionedForm() const { return Geometry().HasTitleBar(); }

int TsSkinProvider::TitleBarHeight(bool useSkin) const {
  return Geometry().TitleBarHeight(useSkin);
}

int TsSkinProvider::ClientLeftOffset() const { return Geometry().ClientLeftOffset(); }

int TsSkinProvider::ClientTopOffset() const { return Geometry().ClientTopOffset(); }

TColor TsSkinProvider::FormColor() const {
  if (form_ == nullptr) return clBtnFace;
  if (!SkinAvailable(skinData_.get(), true) || skinData_->CustomColor()) return form_->Color();
  return static_cast<TColor>(skinData_->Section()->Color);
}

// --- region -----------------------------------------------------------------------------

void FindFrameRegionHoles(std::vector<TRect>& holes, const TsSkinModel& skin,
                          const TsMaskData* borderMask, int titleSection, int width, int height) {
  TBitmap* master = skin.MasterBitmap.get();
  if (borderMask != nullptr) {
    AddMaskTransparentRects(holes, width, *borderMask, master, 0, false);
    AddMaskTransparentRects(holes, width, *borderMask, master, height - borderMask->WB, true);
  }
  if (skin.IsSectionIndexValid(titleSection)) {
    const int title = skin.MaskIndexOf(
        titleSection, skin.GeneralData[static_cast<size_t>(titleSection)].ClassName, "BORDERSMASK");
    if (skin.IsMaskIndexValid(title))
      AddMaskTransparentRects(holes, width, skin.MaskData[title], master, 0, false);
  }
}

HRGN FrameRegionWithoutHoles(const std::vector<TRect>& holes, int x, int y, int width, int height) {
  HRGN region = CreateRectRgn(x, y, x + width, y + height);
  for (const TRect& hole : holes) {
    HRGN cut = CreateRectRgn(hole.Left + x, hole.Top + y, hole.Right + x, hole.Bottom + y);
    CombineRgn(region, region, cut, RGN_DIFF);
    DeleteObject(cut);
  }
  return region;
}

void TsSkinProvider::FindRegionHoles() {
  regionHoles_.clear();
  TsSkinManager* m = SkinManager();
  if (m == nullptr || form_ == nullptr) return;
  const TsFrameGeometry g = Geometry();
  FindFrameRegionHoles(regionHoles_, m->Skin(), skinData_->BorderMask(), TitleSectionIndex,
                       g.FrameWidth(), g.State.Height);
}

HRGN TsSkinProvider::BuildFrameRegion(int x, int y) {
  const TsFrameGeometry g = Geometry();
  return FrameRegionWithoutHoles(regionHoles_, x, y, g.FrameWidth(), g.State.Height);
}

void TsSkinProvider::UpdateFormRegion(bool repaint) { SetFormRegion(repaint, !repaint); }

// A frame the region is cut for: a title, a sizing border or an icon. A
// frameless window (a form placed inside a control) keeps its corners.
bool TsSkinProvider::FrameCutsRegion() const {
  HWND wnd = FormHandle();
  return wnd != nullptr && (IsCaptionedForm() || IsWindowSizeable(wnd) || IsIconic(wnd));
}

namespace {

bool WindowHasRegion(HWND wnd, HRGN region) {
  HRGN current = CreateRectRgn(0, 0, 0, 0);
  const bool same = GetWindowRgn(wnd, current) != ERROR && EqualRgn(current, region);
  DeleteObject(current);
  return same;
}

}  // namespace

bool TsSkinProvider::SetFormRegion(bool repaint, bool keepSame) {
  HWND wnd = FormHandle();
  if (!drawNonClientArea_ || RegionUpdatesBlocked || wnd == nullptr) return false;
  const TsFrameGeometry g = Geometry();
  if (form_->BorderStyle() == bsNone && !g.State.Form.MDIChild && !g.State.Form.Iconic)
    return false;
  // A window procedure outside the toolkit may keep a region of its own.
  if (!FramePainted && SendMessageW(wnd, 0xBC4D, 0x41A2, 0) == 0x41A2) return false;
  // Only a docked form would lose its region; the class library docks none.
  InRegionUpdate = true;
  HRGN region;
  if (g.State.BorderForm) {
    // The border window below draws frame and title: the window shows its
    // client and menu bar only, never the system's own caption.
    const TRect r = g.BorderFormRegion(g.State.Width, g.State.Height);
    region = CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
  } else if (g.IsMaximized() && !g.State.Form.MDIChild) {
    // What stays visible is the work area, as WM_GETMINMAXINFO placed it.
    const TRect r = MaxPlacement().Region;
    region = CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
  } else {
    region = BuildFrameRegion(0, 0);
  }
  // The flag is left as the caller set it: marking the region changed here
  // would rebuild it, and skip the frame, on every frame painting.
  regionSize_ = TPoint{g.State.Width, g.State.Height};
  // The same region again would only make the system work the frame out and
  // repaint the window.
  if (keepSame && WindowHasRegion(wnd, region)) {
    DeleteObject(region);
    InRegionUpdate = false;
    return false;
  }
  // The system owns the region from here on.
  SetWindowRgn(wnd, region, repaint);
  InRegionUpdate = false;
  return true;
}

// --- painting ---------------------------------------------------------------------------

void TsSkinProvider::RepaintFrameNow() {
  if (suspended_ || !drawNonClientArea_ || !Showing()) return;
  skinData_->BGChanged = true;
  // A maximised child's title is part of the MDI form's frame.
  if (form_->FormStyle() == fsMDIChild && IsZoomed(FormHandle()))
    if (TsSkinProvider* main = MDIMainProvider(); main != nullptr && main->Showing()) {
      main->skinData_->BGChanged = true;
      HDC dc = GetWindowDC(main->FormHandle());
      main->CopyFrameToDC(dc);
      ReleaseDC(main->FormHandle(), dc);
      return;
    }
  SendMessageW(FormHandle(), WM_NCPAINT, 0, 0);
}

void TsSkinProvider::SuspendFormPainting() {
  BeginPaintLock(skinData_.get());
  if (HWND wnd = FormHandle()) SendMessageW(wnd, WM_SETREDRAW, 0, 0);
}

void TsSkinProvider::ResumeFormPainting() {
  EndPaintLock(skinData_.get());
  if (HWND wnd = FormHandle()) SendMessageW(wnd, WM_SETREDRAW, 1, 0);
}

// --- cover form -------------------------------------------------------------------------

namespace {

// Paints nothing, so that the screen under it stays as it was.
class TCoverForm : public TForm {
 public:
  using TForm::TForm;

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_ERASEBKGND || m.Msg == WM_PAINT || m.Msg == WM_NCPAINT) {
      if (m.Msg == WM_PAINT) ValidateRect(Handle(), nullptr);
      m.Result = 1;
      return;
    }
    TForm::WndProc(m);
  }
};

}  // namespace

void TsSkinProvider::ShowCoverForm() {
  if (!drawNonClientArea_ || suspended_ || redrawLockCount_ > 0 || !Showing()) return;
  if (coverForm_ == nullptr) {
    coverForm_ = Create<TCoverForm>(Application);
    coverForm_->SetTag(kAuxFormTag);
    coverForm_->SetBorderStyle(bsNone);
  }
  HWND wnd = FormHandle();
  RECT r{};
  GetWindowRect(wnd, &r);
  // The system draws the menu bar with the title: both lie under the cover.
  const TsFrameGeometry g = Geometry();
  TRect band = Rect(r.left, r.top, r.right, r.top + g.CaptionHeight());
  if (g.State.BorderForm) {
    // The frame the border window shows, down to the client: its title and
    // the menu bar below, which the window shows itself.
    const TPoint o = g.CacheOffset();
    const TRect& s = g.State.ShadowMargins;
    band = Rect(r.left - o.X + s.Left, r.top - o.Y + s.Top, r.left - o.X + g.FrameWidth() - s.Right,
                r.top + ClientPlace().Y);
  }
  band.Bottom = std::max(band.Bottom, band.Top + 1);
  const bool topmost = (GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
  HWND above = GetWindow(wnd, GW_HWNDPREV);
  SetWindowPos(
      coverForm_->Handle(), topmost ? HWND_TOPMOST : (above ? above : HWND_TOP), band.Left,
      band.Top, band.Width(), band.Height(),
      SWP_NOREDRAW | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
}

void TsSkinProvider::HideCoverForm() {
  if (coverForm_ == nullptr) return;
  TCustomForm* cover = coverForm_;
  coverForm_ = nullptr;
  cover->Free();
}

// --- platform helpers -------------------------------------------------------------------

void SetDwmTransitions(HWND wnd, bool disable) {
  if (wnd == nullptr || !IsDwmCompositionOn()) return;
  using SetAttribute = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
  // Loaded on first need and kept for the process.
  static const SetAttribute set = [] {
    HMODULE dwm = LoadLibraryW(L"dwmapi.dll");
    return dwm != nullptr ? reinterpret_cast<SetAttribute>(reinterpret_cast<void*>(
                                GetProcAddress(dwm, "DwmSetWindowAttribute")))
                          : nullptr;
  }();
  if (set == nullptr) return;
  const BOOL value = disable ? TRUE : FALSE;
  constexpr DWORD kTransitionsForceDisabled = 3;
  set(wnd, kTransitionsForceDisabled, &value, sizeof(value));
}

bool SetLayered(HWND wnd, bool on) {
  if (wnd == nullptr) return false;
  const LONG ex = GetWindowLongW(wnd, GWL_EXSTYLE);
  if (!on) {
    SetWindowLongW(wnd, GWL_STYLE, GetWindowLongW(wnd, GWL_STYLE) & ~WS_VISIBLE);
    SetWindowLongW(wnd, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
    return false;
  }
  auto update = PlatformCalls().UpdateLayeredWindow;
  if ((ex & WS_EX_LAYERED) != 0 || update == nullptr) return false;
  SetWindowLongW(wnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
  // Fully transparent until the animation gives the picture.
  BLENDFUNCTION blend{AC_SRC_OVER, 0, 10, AC_SRC_ALPHA};
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  SIZE size{0, 0};
  POINT origin{0, 0};
  update(wnd, screen, nullptr, &size, memory, &origin, 0, &blend, ULW_ALPHA);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return true;
}

bool IsWindowSizeable(HWND wnd) { return (GetWindowLongW(wnd, GWL_STYLE) & WS_THICKFRAME) != 0; }

void SnapCoordinate(int& pos, int edge, int buffer, int size) {
  if (std::abs(pos + size - edge) < buffer) pos = edge - size;
}

}  // namespace kv
