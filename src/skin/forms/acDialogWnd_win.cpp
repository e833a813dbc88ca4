// The dialog adapter: frame cache, title buttons, hit test and mouse, system
// menu and client background of a skinned system dialog.
#include "skin/forms/acDialogWnd_win.h"

#include <windowsx.h>

#include <algorithm>
#include <string>

#include "classlib/PlatformCalls.h"
#include "classlib/WideText.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/acPlatform.h"
#include "skin/core/acUtils.h"
#include "skin/core/sCommonData_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sTextUtils_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/sSkinProvider_win.h"
#include "skin/graphics/acGlow.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"
#include "skin/graphics/sSectionPaint.h"

namespace kv {

namespace {

constexpr UINT kCaptionFlags = DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER;
// Asked before a region is set: a window that answers with the same value
// keeps a region of its own.
constexpr UINT kOwnRegionQuery = 0xBC4D;
constexpr WPARAM kOwnRegionAnswer = 0x41A2;
// Sent by the system when a dialog's controls were remade.
constexpr UINT kControlsChanged = 0x52E;
constexpr UINT kRewrapChildren = WM_USER + 1;
constexpr WPARAM kMoveByCaption = SC_MOVE | HTCAPTION;
// The task bar asks for a window's system menu at a screen point.
constexpr UINT kSysMenuFromTaskbar = 0x313;
constexpr UINT kStaticItem = 5;  // ODT_STATIC
// The hook asks a dialog to have its children wrapped again.
constexpr unsigned kCmdRewrapChildren = 28;

// The system's menu loop drops the keys it does not use itself, so a
// short-cut of an item (Alt+F4 for Close) pressed while the dialog's menu is
// open is caught on the way in: the menu closes and the item acts after.
class TMenuShortCuts {
 public:
  explicit TMenuShortCuts(TMenu* menu) : menu_(menu), outer_(current_) {
    current_ = this;
    hook_ = SetWindowsHookExW(WH_MSGFILTER, &Filter, nullptr, GetCurrentThreadId());
  }
  ~TMenuShortCuts() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    current_ = outer_;
  }
  TMenuShortCuts(const TMenuShortCuts&) = delete;
  TMenuShortCuts& operator=(const TMenuShortCuts&) = delete;
  // The item of the short-cut pressed, clicked once the menu is closed.
  void ClickPressed() {
    if (key_ != 0) menu_->IsShortCut(key_, shift_);
  }

 private:
  static LRESULT CALLBACK Filter(int code, WPARAM wParam, LPARAM lParam) {
    TMenuShortCuts* self = current_;
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (self != nullptr && code == MSGF_MENU && msg != nullptr &&
        (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) &&
        self->Catch(static_cast<WORD>(msg->wParam), KeyDataToShiftState(msg->lParam)))
      return TRUE;
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  bool Catch(WORD key, TShiftState shift) {
    if (key == VK_MENU || key == VK_SHIFT || key == VK_CONTROL || key_ != 0) return false;
    const TShortCut sc = ShortCut(key, shift & (ssShift | ssCtrl | ssAlt));
    if (sc == scNone || menu_->FindItem(sc, fkShortCut) == nullptr) return false;
    key_ = key;
    shift_ = shift;
    EndMenu();
    return true;
  }

  static inline TMenuShortCuts* current_ = nullptr;
  TMenu* menu_;
  TMenuShortCuts* outer_;
  HHOOK hook_ = nullptr;
  WORD key_ = 0;
  TShiftState shift_ = 0;
};

int StateOf(bool active) { return active ? 1 : 0; }

std::wstring ClassNameOf(HWND wnd) {
  wchar_t name[64] = {};
  GetClassNameW(wnd, name, 64);
  return name;
}

TsSystemFrameMetrics SystemFrameMetrics() {
  return {GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CXDLGFRAME),
          GetSystemMetrics(SM_CYCAPTION), GetSystemMetrics(SM_CYSMCAPTION),
          GetSystemMetrics(SM_CYMENU)};
}

}  // namespace

std::unique_ptr<TacDialogBorder> (*MakeDialogBorder)(TacDialogWnd& dialog) = nullptr;

// --- creation ---------------------------------------------------------------------------

TacDialogWnd::TacDialogWnd(TsCommonData* skinData, TsSkinManager* manager,
                           std::string_view skinSection)
    : TacScrollWnd(skinData, manager, skinSection) {
  const int codes[] = {TitleHit::MinButton, TitleHit::MaxButton, TitleHit::Close, TitleHit::Help};
  for (size_t i = 0; i < buttons_.size(); ++i) buttons_[i].HitCode = codes[i];
  ButtonBg = NewBitmap24(0, 0);
  SkipPaint = PlatformCalls().SystemMajorVersion() >= 6;
  SystemMenu = CreateOwned<TacSystemMenu>();
  SystemMenu->DialogWnd = this;
  SystemMenu->UpdateItems();
  if (SkinData != nullptr) SetPaintingSuspended(SkinData, true);
}

TacDialogWnd::~TacDialogWnd() {
  borderForm_.reset();
  StopButtonAnimations();
  HideButtonGlow();
  FreeBrush();
  SystemMenu.reset();
}

void TacDialogWnd::SaveOriginalState() {
  if (CtrlHandle == nullptr) return;
  hadSysMenu_ = (GetWindowLongW(CtrlHandle, GWL_STYLE) & WS_SYSMENU) != 0;
}

void TacDialogWnd::RestoreOriginalState() {
  if (CtrlHandle == nullptr || !IsWindow(CtrlHandle)) return;
  if (hadSysMenu_)
    SetWindowLongW(CtrlHandle, GWL_STYLE, GetWindowLongW(CtrlHandle, GWL_STYLE) | WS_SYSMENU);
  if (regionSet_) {
    // The skin's corners go with the skin.
    regionSet_ = false;
    SetWindowRgn(CtrlHandle, nullptr, IsWindowVisible(CtrlHandle));
  }
}

void TacDialogWnd::InitDialog() {
  HWND wnd = CtrlHandle;
  if (wnd == nullptr) return;
  Style = static_cast<DWORD>(GetWindowLongW(wnd, GWL_STYLE));
  ExStyle = static_cast<DWORD>(GetWindowLongW(wnd, GWL_EXSTYLE));
  BorderStyle = DialogBorderStyle(Style);
  TitleIcon = reinterpret_cast<HICON>(SendMessageW(wnd, WM_GETICON, ICON_SMALL, 0));
  if (TitleIcon == nullptr)
    TitleIcon = reinterpret_cast<HICON>(SendMessageW(wnd, WM_GETICON, ICON_BIG, 0));
  LoadTitleButtonMasks();
  if ((Style & WS_SYSMENU) != 0) {
    // The system creates its menu only while the style is there.
    GetSystemMenu(wnd, FALSE);
    SetWindowLongW(wnd, GWL_STYLE, static_cast<LONG>(Style & ~WS_SYSMENU));
  }
  if (IsDwmCompositionOn()) SetDwmTransitions(wnd, true);
  if (SkinManager != nullptr && SkinManager->SkinnedPopups())
    FormServices().SetMenuSkinned(SkinManager, SystemMenu->Handle(), true);
  SkinData->BGChanged = true;
  RegionChanged = true;
  // The styles are known only now.
  SystemMenu->UpdateItems();
}

TacDialogState TacDialogWnd::DialogState() const {
  TacDialogState d;
  d.Style = Style;
  d.ExStyle = ExStyle;
  d.BorderStyle = BorderStyle;
  if (CtrlHandle != nullptr) {
    d.Iconic = IsIconic(CtrlHandle) != 0;
    d.Zoomed = IsZoomed(CtrlHandle) != 0;
    d.NoCloseClass = (GetClassLongPtrW(CtrlHandle, GCL_STYLE) & CS_NOCLOSE) != 0;
  }
  return d;
}

TsFrameGeometry TacDialogWnd::Geometry() const {
  TacDialogWindow w;
  if (CtrlHandle != nullptr) {
    RECT r{}, c{};
    GetWindowRect(CtrlHandle, &r);
    GetClientRect(CtrlHandle, &c);
    w = {r.right - r.left, r.bottom - r.top, c.right, c.bottom};
  }
  TsFrameSkin skin;
  if (SkinManager != nullptr) skin = FrameSkinOf(SkinManager->CommonSkinData());
  TsFrameGeometry g = DialogFrameGeometry(DialogState(), w, SystemFrameMetrics(), skin);
  if (borderForm_ != nullptr) {
    g.State.BorderForm = true;
    g.State.ShadowMargins = borderForm_->ShadowMargins();
  }
  return g;
}

int TacDialogWnd::TitleHeight(bool useSkin) const { return Geometry().TitleBarHeight(useSkin); }

TRect TacDialogWnd::TitleIconRect() const {
  return DialogTitleIconRect(Geometry(),
                             {GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)});
}

// --- title buttons ----------------------------------------------------------------------

void TacDialogWnd::LoadTitleButtonMasks() {
  if (SkinManager == nullptr) return;
  const TsSkinModel& skin = SkinManager->Skin();
  if (skin.SectionIndexOf("GLOBALINFO") < 0) return;
  masks_ = kv::LoadTitleButtonMasks(UsesLargeTitleButtons(BorderStyle), false, [&](auto key) {
    return skin.MaskIndexByNames("GLOBALINFO", key);
  });
  restoreMask_ = skin.MaskIndexByNames("GLOBALINFO", "BICONNORM");
  if (restoreMask_ < 0 && skin.IsSectionIndexValid(SkinData->SkinIndex))
    restoreMask_ = skin.MaskIndexOf(
        SkinData->SkinIndex, skin.GeneralData[static_cast<size_t>(SkinData->SkinIndex)].ClassName,
        "BICONNORM");
}

int TacDialogWnd::MaskIndex(TsTitleMask mask) const {
  return StandardTitleMask(masks_, restoreMask_, mask);
}

TsTitleButtonMetrics TacDialogWnd::ButtonMetrics() const {
  if (SkinManager == nullptr) return {};
  return StandardTitleMetrics(SkinManager->Skin(), masks_, restoreMask_);
}

TacDialogWnd::TButtonRecord* TacDialogWnd::Record(int hitCode) {
  for (TButtonRecord& r : buttons_)
    if (r.HitCode == hitCode && hitCode != 0) return &r;
  return nullptr;
}

int TacDialogWnd::ButtonState(int hitCode) const {
  for (const TButtonRecord& r : buttons_)
    if (r.HitCode == hitCode) return r.State;
  return 0;
}

const std::vector<TsPlacedTitleButton>& TacDialogWnd::PlacedButtons() {
  if (placed_.empty())
    placed_ = PlaceDialogTitleButtons(Geometry(), DialogState(), ButtonMetrics());
  return placed_;
}

void TacDialogWnd::DrawTitleButton(TBitmap* target, const TsPlacedTitleButton& b, int state,
                                   TPoint at) {
  const TsSkinModel& skin = SkinManager->Skin();
  const int index = MaskIndex(b.Mask);
  if (target == nullptr || !skin.IsMaskIndexValid(index)) return;
  const TRect& r = b.Rect;
  if (at.X < 0 || at.Y < 0) at = r.TopLeft();
  // The mask's see-through pixels show the title, not the button's last state.
  const int width = std::min({r.Width(), ButtonBg->Width() - r.Left, target->Width() - at.X});
  const int height = std::min({r.Height(), ButtonBg->Height() - r.Top, target->Height() - at.Y});
  if (width > 0 && height > 0 && r.Left >= 0 && r.Top >= 0)
    CopyPixels(target, at.X, at.Y, ButtonBg.get(), r.Left, r.Top, width, height);
  // An inactive dialog shows its buttons faded hot or pressed too.
  DrawMaskState(target, at, state, MakeBgCacheInfo(target, 0, 0),
                skin.MaskData[static_cast<size_t>(index)], skin.MasterBitmap.get(),
                Active && b.Enabled ? 1 : 2);
}

void TacDialogWnd::PaintTitleButtons(TBitmap* cache) {
  placed_ = PlaceDialogTitleButtons(Geometry(), DialogState(), ButtonMetrics());
  // Once a button glows, its glow shows its state: the frame keeps it at rest.
  for (const TsPlacedTitleButton& b : placed_)
    if (const TButtonRecord* record = Record(b.HitCode))
      DrawTitleButton(cache, b, record->Timer != nullptr ? 0 : record->State);
}

void TacDialogWnd::PaintTitleButton(int hitCode) {
  TBitmap* cache = SkinData != nullptr ? SkinData->CacheBmp.get() : nullptr;
  TButtonRecord* record = Record(hitCode);
  if (cache == nullptr || cache->Empty() || record == nullptr || !SkinUsable()) return;
  const auto& placed = PlacedButtons();
  const auto b = std::find_if(placed.begin(), placed.end(),
                              [&](const TsPlacedTitleButton& p) { return p.HitCode == hitCode; });
  if (b == placed.end()) return;
  if (SkinManager->AllowGlowing()) {
    // The new look fades in over the button, as on a form's title, with or
    // without a border window showing the frame.
    StartButtonAnimation(*record, *b);
    return;
  }
  // A title too narrow for its buttons: the icon is not painted over.
  if (b->Rect.Left < TitleIconRect().Right) return;
  DrawTitleButton(cache, *b, record->State);
  if (!IsWindowVisible(CtrlHandle)) return;
  CopyButtonToWindow(b->Rect);
  UpdateButtonGlow(*b, record->State);
}

POINT TacDialogWnd::GlowFrameOffset() const {
  const TPoint o = Geometry().CacheOffset();
  return {o.X, o.Y};
}

void TacDialogWnd::CopyButtonToWindow(const TRect& r) {
  TBitmap* cache = SkinData != nullptr ? SkinData->CacheBmp.get() : nullptr;
  if (cache == nullptr || cache->Empty() || !IsWindowVisible(CtrlHandle)) return;
  // With a border window the cache is bigger than the window, which shows
  // only its part of the button; the border window is given the whole.
  const POINT o = GlowFrameOffset();
  HDC dc = GetWindowDC(CtrlHandle);
  {
    TBitmapCanvas canvas(*cache);
    BitBlt(dc, r.Left - o.x, r.Top - o.y, r.Width(), r.Height(), canvas.Handle(), r.Left, r.Top,
           SRCCOPY);
  }
  ReleaseDC(CtrlHandle, dc);
  SyncBorderForm(true);
}

void TacDialogWnd::StartButtonAnimation(TButtonRecord& record, const TsPlacedTitleButton& b) {
  constexpr int kHotSteps = 10, kPressedSteps = 1;
  record.Rect = b.Rect;
  record.ImageIndex = MaskIndex(b.Mask);
  const int steps = record.State == 2 ? kPressedSteps : kHotSteps;
  if (record.Timer != nullptr) {
    record.Timer->Retarget(record.State, steps, record.State != 0);
    return;
  }
  record.Timer = CreateOwned<TacSBAnimation>(static_cast<TacGlowHost*>(this), &record);
  record.Timer->Steps = steps;
  record.Timer->Start(record.State, true);
  // From now on the frame shows the button at rest (the glow shows its state).
  DrawTitleButton(SkinData->CacheBmp.get(), b, 0);
  CopyButtonToWindow(b.Rect);
}

void TacDialogWnd::StopButtonAnimations() {
  for (TButtonRecord& record : buttons_) record.Timer.reset();
}

TacSBAnimation* TacDialogWnd::ButtonAnimation(int hitCode) const {
  for (const TButtonRecord& record : buttons_)
    if (record.HitCode == hitCode) return record.Timer.get();
  return nullptr;
}

void TacDialogWnd::DrawGlowButton(TBitmap* target, int hitCode, int state) {
  for (const TsPlacedTitleButton& b : PlacedButtons())
    if (b.HitCode == hitCode) DrawTitleButton(target, b, state, {0, 0});
}

void TacDialogWnd::GlowEnded(TsTitleButtonRecord& record) {
  for (const TsPlacedTitleButton& b : PlacedButtons()) {
    if (b.HitCode != record.HitCode) continue;
    DrawTitleButton(SkinData->CacheBmp.get(), b, 0);
    CopyButtonToWindow(b.Rect);
  }
}

// A hot close, maximise or minimise button glows.
void TacDialogWnd::UpdateButtonGlow(const TsPlacedTitleButton& b, int state) {
  HideButtonGlow();
  if (state != 1) return;
  const std::optional<int> margin = TitleButtonGlowMargin(SkinManager->CommonSkinData(), b.HitCode);
  if (!margin) return;
  const TsSkinModel& skin = SkinManager->Skin();
  const int index = MaskIndex(b.Mask);
  if (!skin.IsMaskIndexValid(index)) return;
  RECT w{};
  GetWindowRect(CtrlHandle, &w);
  const POINT o = GlowFrameOffset();
  const TRect& r = b.Rect;
  glowIndex_ = ShowGlow(Bounds(w.left + r.Left - o.x, w.top + r.Top - o.y, r.Width(), r.Height()),
                        Rect(0, 0, r.Width(), r.Height()), "GLOBALINFO", &skin, CtrlHandle, 255,
                        *margin, skin.MaskData[static_cast<size_t>(index)].PropertyName + "GLOW");
}

void TacDialogWnd::HideButtonGlow() {
  HideGlow(glowIndex_);
  glowIndex_ = -1;
}

void TacDialogWnd::SetHotButton(int hitCode, bool repaint) {
  if (hitCode == HotButton) return;
  if (TButtonRecord* previous = Record(HotButton)) {
    previous->State = 0;
    if (repaint) PaintTitleButton(previous->HitCode);
  }
  HotButton = hitCode;
  PressedButtonActive = false;
  if (TButtonRecord* record = Record(hitCode)) {
    record->State = 1;
    if (repaint) PaintTitleButton(hitCode);
    TrackLeave();
  }
}

void TacDialogWnd::SetPressedButton(int hitCode) {
  if (HotButton != hitCode) {
    if (TButtonRecord* previous = Record(HotButton)) {
      previous->State = 0;
      PaintTitleButton(previous->HitCode);
    }
  }
  HotButton = hitCode;
  TButtonRecord* record = Record(hitCode);
  if (record == nullptr) return;
  const TacDialogState d = DialogState();
  if (hitCode == TitleHit::MaxButton && !CanMaximize(d) && !(d.Zoomed && CanRestore(d))) return;
  record->State = 2;
  PressedButtonActive = true;
  PaintTitleButton(hitCode);
}

// The leave of the non-client area clears the hot button.
void TacDialogWnd::TrackLeave() { TrackFrameLeave(CtrlHandle); }

// --- painting ---------------------------------------------------------------------------

void TacDialogWnd::PaintTitle(const TsFrameGeometry& g, TBitmap* cache) {
  const TsSkinModel& skin = SkinManager->Skin();
  const int bandBottom = std::min(g.TitleBandBottom(), cache->Height());
  const int titleSection = skin.SectionIndexOf("FORMTITLE");
  // A border picture that draws the frame draws the title band too.
  if (skin.IsSectionIndexValid(titleSection) &&
      (borderForm_ == nullptr || !borderForm_->DrawsFrame()))
    PaintSkinItem(titleSection, "FORMTITLE", MakeBgCacheInfo(cache, 0, 0), true, StateOf(Active),
                  g.TitleBandRect(), {0, 0}, cache, &skin);
  TBitmapCanvas canvas(*cache);
  const TRect icon = TitleIconRect();
  HICON shown = TitleIcon;
  if (shown == nullptr) shown = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  if (shown != nullptr)
    DrawIconEx(canvas.Handle(), icon.Left, icon.Top, shown, icon.Width(), icon.Height(), 0, nullptr,
               DI_NORMAL);
  TRect r = DialogCaptionRect(g, shown != nullptr ? icon.Width() : 0, placed_);
  if (r.Right <= r.Left) return;
  UseCaptionFont(canvas);
  int section = titleSection;
  if (skin.IsSectionIndexValid(CaptionIndex) && !Caption.empty()) {
    TRect plate = r;
    DrawTextString(canvas.Handle(), Caption, plate, kCaptionFlags | DT_CALCRECT);
    const int textHeight = plate.Height();
    plate.Top = r.Top + (r.Height() - textHeight) / 2;
    plate.Bottom = plate.Top + textHeight;
    InflateRect(plate, 4, 2);
    plate.Right = std::min(plate.Right, r.Right);
    plate.Top = std::max(plate.Top, 0);
    plate.Bottom = std::min(plate.Bottom, bandBottom);
    // The plate lies over the title as painted so far.
    const std::unique_ptr<TBitmap> under = NewBitmap24(cache->Width(), bandBottom);
    CopyPixels(under.get(), 0, 0, cache, 0, 0, cache->Width(), bandBottom);
    PaintSkinItem(CaptionIndex, skin.GeneralData[static_cast<size_t>(CaptionIndex)].ClassName,
                  MakeBgCacheInfo(under.get(), 0, 0), true, StateOf(Active), plate, {0, 0}, cache,
                  &skin);
    section = CaptionIndex;
  }
  WriteSectionText(canvas, Caption, true, r, kCaptionFlags, section, Active, SkinManager);
}

void TacDialogWnd::PaintAll() {
  TsCommonData* sd = SkinData;
  if (sd == nullptr || !SkinUsable() || CtrlHandle == nullptr) return;
  const TsFrameGeometry g = Geometry();
  const int w = g.FrameWidth(), h = g.FrameCacheHeight();
  if (w <= 0 || h <= 0) return;
  if (sd->CacheBmp == nullptr) PrepareCacheBitmap24(sd);
  TBitmap* cache = sd->CacheBmp.get();
  if (!sd->BGChanged && cache->Width() == w && cache->Height() == h) return;
  if (cache->Width() != w || cache->Height() != h) RegionChanged = true;
  cache->SetSize(w, h);
  const TsSkinModel& skin = SkinManager->Skin();
  const bool drawsFrame = borderForm_ != nullptr && borderForm_->DrawsFrame();
  if (skin.IsSectionIndexValid(sd->SkinIndex)) {
    const TRect frame = g.FrameRect();
    // One background whatever the activity: the client copied from here
    // never goes stale.
    PaintSkinDataBackground(sd, EmptyBgCacheInfo, 0, frame, {0, 0}, cache);
    if (!drawsFrame) {
      if (const TsMaskData* border = sd->BorderMask(); border != nullptr)
        PaintMaskNinePart(cache, frame, false, MakeBgCacheInfo(cache, 0, 0), *border,
                          skin.MasterBitmap.get(), StateOf(Active), true);
      // The corner pictures lie over the border.
      PaintCornerImages(skin, sd->SkinIndex, StateOf(Active), frame, cache);
    }
    if (g.TitleBarHeight(true) > 0)
      placed_ = PlaceDialogTitleButtons(g, DialogState(), ButtonMetrics());
  }
  const bool titled = skin.IsSectionIndexValid(sd->SkinIndex) && g.TitleBarHeight(true) > 0;
  const auto paintTitle = [&] {
    if (titled) PaintTitle(g, cache);
    const int band = std::min(g.TitleBandBottom(), h);
    ButtonBg->SetSize(w, std::max(band, 0));
    if (band > 0) CopyPixels(ButtonBg.get(), 0, 0, cache, 0, 0, w, band);
    if (g.TitleBarHeight(true) > 0) PaintTitleButtons(cache);
  };
  if (drawsFrame) {
    // The border picture is the frame; the title goes on it.
    borderForm_->PaintFramePicture(*cache, g.State.ShadowMargins, Active, g.SideBorderWidth(true),
                                   paintTitle);
  } else {
    paintTitle();
    if (borderForm_ != nullptr) borderForm_->PaintShadow(*cache, g.State.ShadowMargins, Active);
  }
  sd->BGChanged = false;
}

void TacDialogWnd::UpdateRegion(bool repaint) {
  HWND wnd = CtrlHandle;
  const TacDialogState d = DialogState();
  // A pop-up without a full caption keeps the system's shape.
  if (!d.Iconic && BorderStyle == bsSizeable) return;
  if (SendMessageW(wnd, kOwnRegionQuery, kOwnRegionAnswer, 0) ==
      static_cast<LRESULT>(kOwnRegionAnswer))
    return;
  if (borderForm_ != nullptr) {
    // The companion shows the skinned borders and title round the window,
    // which keeps only its client area: the caption and frame the system
    // draws at each activation and title change stay out of sight.
    HRGN inner = nullptr;
    RECT w{}, c{};
    if (!d.Iconic && GetWindowRect(wnd, &w) && GetClientRect(wnd, &c)) {
      MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&c), 2);
      // A menu bar stays in sight.
      MENUBARINFO bar{};
      bar.cbSize = sizeof bar;
      if (GetMenu(wnd) != nullptr && GetMenuBarInfo(wnd, OBJID_MENU, 0, &bar))
        c.top = std::min(c.top, bar.rcBar.top);
      inner = CreateRectRgn(c.left - w.left, c.top - w.top, c.right - w.left, c.bottom - w.top);
    }
    // Minimised, the companion hides and the window shows its own frame.
    if (inner != nullptr || regionSet_) SetWindowRgn(wnd, inner, repaint);
    regionSet_ = inner != nullptr;
    return;
  }
  const TsFrameGeometry g = Geometry();
  RegionHoles.clear();
  const TsSkinModel& skin = SkinManager->Skin();
  FindFrameRegionHoles(RegionHoles, skin, SkinData->BorderMask(), skin.SectionIndexOf("FORMTITLE"),
                       g.FrameWidth(), g.State.Height);
  // The system owns the region from here on.
  SetWindowRgn(wnd, FrameRegionWithoutHoles(RegionHoles, 0, 0, g.State.Width, g.State.Height),
               repaint);
  regionSet_ = true;
}

void TacDialogWnd::PaintFrame() {
  HWND wnd = CtrlHandle;
  if (RegionChanged) {
    RegionChanged = false;
    UpdateRegion(false);
  }
  PaintAll();
  TBitmap* cache = SkinData->CacheBmp.get();
  if (cache == nullptr || cache->Empty()) return;
  HDC dc = GetWindowDC(wnd);
  if (dc == nullptr) return;
  const TsFrameGeometry g = Geometry();
  if (g.State.BorderForm) {
    // The window shows the part of the companion's picture it covers.
    const TPoint o = g.CacheOffset();
    const int left = g.ClientLeftOffset() - o.X, top = g.ClientTopOffset() - o.Y;
    ExcludeClipRect(dc, left, top, left + g.State.ClientWidth, top + g.State.ClientHeight);
    TBitmapCanvas canvas(*cache);
    BitBlt(dc, 0, 0, g.State.Width, g.State.Height, canvas.Handle(), o.X, o.Y, SRCCOPY);
  } else {
    TBitmapCanvas canvas(*cache);
    for (const TacFrameStrip& s : DialogFrameStrips(g, cache->Width()))
      BitBlt(dc, s.Dest.Left, s.Dest.Top, s.Dest.Width(), s.Dest.Height(), canvas.Handle(),
             s.Source.X, s.Source.Y, SRCCOPY);
  }
  ReleaseDC(wnd, dc);
  SetPaintingSuspended(SkinData, false);
}

void TacDialogWnd::PaintClient(HDC dc) {
  HWND wnd = CtrlHandle;
  PaintAll();
  TBitmap* cache = SkinData->CacheBmp.get();
  if (dc == nullptr || cache == nullptr || cache->Empty()) return;
  RECT client{};
  GetClientRect(wnd, &client);
  const int saved = SaveDC(dc);
  // Children that paint their own background are left out, so nothing
  // flickers under them.
  for (HWND child = GetWindow(wnd, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    const auto style = static_cast<std::uint32_t>(GetWindowLongW(child, GWL_STYLE));
    if ((style & WS_VISIBLE) == 0 ||
        !ChildCoversDialogBackground(Narrow(ClassNameOf(child)), style))
      continue;
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, wnd, reinterpret_cast<POINT*>(&r), 2);
    ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
  }
  const TsFrameGeometry g = Geometry();
  {
    TBitmapCanvas canvas(*cache);
    BitBlt(dc, 0, 0, client.right, client.bottom, canvas.Handle(), g.ClientLeftOffset(),
           g.ClientTopOffset(), SRCCOPY);
  }
  RestoreDC(dc, saved);
}

HBRUSH TacDialogWnd::DialogBrush() {
  TColor color = clBtnFace;
  if (SkinManager != nullptr) {
    const TsSkinModel& skin = SkinManager->Skin();
    const int global = skin.SectionIndexOf("GLOBALINFO");
    if (skin.IsSectionIndexValid(global))
      color = static_cast<TColor>(skin.GeneralData[static_cast<size_t>(global)].Color);
  }
  if (brush_ != nullptr && brushColor_ == color) return brush_;
  FreeBrush();
  brush_ = CreateSolidBrush(ColorToRGB(color));
  brushColor_ = color;
  return brush_;
}

void TacDialogWnd::FreeBrush() {
  if (brush_ != nullptr) DeleteObject(brush_);
  brush_ = nullptr;
  brushColor_ = clNone;
}

void TacDialogWnd::UpdateBorderForm(bool use) {
  if (use && MakeDialogBorder != nullptr && SkinUsable()) {
    if (borderForm_ != nullptr) return;
    borderForm_ = MakeDialogBorder(*this);
    if (borderForm_ == nullptr) return;
    SkinData->BGChanged = true;
    RegionChanged = true;
    placed_.clear();
    PrepareCacheBitmap(SkinData);
    if (IsWindowVisible(CtrlHandle)) borderForm_->Sync(true);
    RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    return;
  }
  if (borderForm_ == nullptr) return;
  borderForm_.reset();
  SkinData->BGChanged = true;
  RegionChanged = true;
  placed_.clear();
  PrepareCacheBitmap24(SkinData);
  if (!Destroyed && IsWindow(CtrlHandle))
    RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

void TacDialogWnd::SyncBorderForm(bool repaint) {
  // Hidden or minimised, the companion hides with it.
  if (borderForm_ != nullptr) borderForm_->Sync(repaint);
}

void TacDialogWnd::WrapChildren() {
  if (OnWrapChildren) OnWrapChildren();
}

void TacDialogWnd::RefreshSkin() {
  SkinData->RefreshSkinIndexes();
  SkinData->BGChanged = true;
  RegionChanged = true;
  CaptionIndex = SkinManager->Skin().SectionIndexOf("CAPTION");
  LoadTitleButtonMasks();
  FreeBrush();
  placed_.clear();
}

// --- the window procedure ---------------------------------------------------------------

TPoint TacDialogWnd::WindowPoint(LPARAM screen) const {
  RECT r{};
  GetWindowRect(CtrlHandle, &r);
  // Title buttons and icon are laid out in the frame cache.
  const TPoint o = Geometry().CacheOffset();
  return {GET_X_LPARAM(screen) - r.left + o.X, GET_Y_LPARAM(screen) - r.top + o.Y};
}

void TacDialogWnd::SendSysCommand(WPARAM command) {
  SendMessageW(CtrlHandle, WM_SYSCOMMAND, command, 0);
}

void TacDialogWnd::DropSysMenu(int x, int y) {
  // Its entries follow the styles and the state of the moment.
  SystemMenu->UpdateItems();
  if (SkinManager != nullptr && SkinManager->SkinnedPopups())
    FormServices().SetMenuSkinned(SkinManager, SystemMenu->Handle(), true);
  SystemMenu->SetWindowHandle(CtrlHandle);
  TMenuShortCuts shortCuts(SystemMenu.get());
  SystemMenu->Popup(x, y);
  shortCuts.ClickPressed();
}

void TacDialogWnd::DropSysMenuUnderIcon() {
  RECT r{};
  GetWindowRect(CtrlHandle, &r);
  const TsFrameGeometry g = Geometry();
  // The icon lies in the frame picture, which a border window shows
  // larger than the window.
  const TPoint o = g.CacheOffset();
  DropSysMenu(r.left - o.X + g.State.ShadowMargins.Left + g.FrameBorderWidth(true),
              r.top - o.Y + TitleIconRect().Top + GetSystemMetrics(SM_CYSMICON));
}

bool TacDialogWnd::DialogCommand(TMessage& m) {
  TsCommonData* sd = SkinData;
  const bool ours = reinterpret_cast<TsSkinManager*>(m.LParam) == SkinManager;
  switch (m.WParamHi()) {
    case cmdSkinLoaded:
      UpdateBorderForm(SkinManager->ExtendedBorders());
      if (!ours) return false;
      RefreshSkin();
      SendToChildWindows(CtrlHandle, m);
      return true;
    case cmdSkinRefresh:
      if (!ours) return false;
      RefreshSkin();
      UpdateBorderForm(SkinManager->ExtendedBorders());
      if (IsWindowVisible(CtrlHandle))
        RedrawWindow(CtrlHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
      SyncBorderForm(true);
      return true;
    case cmdRepaintNow:
      SyncBorderForm(true);
      return false;
    case cmdSetSuspended:
      SetPaintingSuspended(sd, m.WParamLo() == 1);
      if (m.WParamLo() == 1) sd->BGChanged = true;
      return false;
    case cmdNeedsRepaint:
      m.Result = sd->Updating ? 1 : 0;
      return true;
    case cmdIsBgNonUniform: {
      const TsSkinModel& skin = SkinManager->Skin();
      m.Result = 0;
      if (skin.IsSectionIndexValid(sd->SkinIndex)) {
        const TsGeneralData& s = skin.GeneralData[static_cast<size_t>(sd->SkinIndex)];
        m.Result = s.GradientPercent + s.ImagePercent > 0 ? 1 : 0;
      }
      return true;
    }
    case cmdGetBgColor:
      m.Result = static_cast<LRESULT>(SkinnedBgColor(sd, false, CtrlHandle));
      return true;
    case kCmdRewrapChildren:
      WrapChildren();
      return false;
    case cmdGetBackground: {
      auto* request = reinterpret_cast<TsBgRequest*>(m.LParam);
      if (request == nullptr) return true;
      const TsFrameGeometry g = Geometry();
      if (sd->BGChanged || sd->CacheBmp == nullptr) PaintAll();
      // The cache holds the whole window; the children stand in the client.
      FillContainerChildBgInfo(sd, *request, {g.ClientLeftOffset(), g.ClientTopOffset()});
      m.Result = 1;
      return true;
    }
    case cmdGetFrameSizes: {
      const TsFrameGeometry g = Geometry();
      m.Result = MAKELONG(g.ClientLeftOffset(), g.ClientTopOffset());
      return true;
    }
    default:
      return false;
  }
}

void TacDialogWnd::NcLButtonDown(TMessage& m) {
  const TacDialogHit hit = DialogHitTest(Geometry(), DialogState(), WindowPoint(m.LParam),
                                         PlacedButtons(), TitleIconRect());
  // Only our own buttons and icon change the code: a press on the caption
  // or a border stays the system's drag or sizing.
  if (IsDialogFrameHit(hit.Code) && m.WParam != HTBOTTOMRIGHT) m.WParam = hit.Code;
  const int code = static_cast<int>(m.WParam);
  switch (code) {
    case HTSYSMENU:
      SetHotButton(0);
      DropSysMenuUnderIcon();
      m.Result = 0;
      return;
    case HTMINBUTTON:
    case HTMAXBUTTON:
    case HTCLOSE:
    case HTHELP:
      SetPressedButton(code);
      m.Result = 0;
      return;
    default:
      break;
  }
  SetHotButton(0);
  if (IsIconic(CtrlHandle) && code == HTCAPTION) {
    SendSysCommand(kMoveByCaption);
    m.Result = 0;
    return;
  }
  if (IsZoomed(CtrlHandle) && code == HTCAPTION) {
    // A maximised dialog stays where it is: the press only brings it the focus.
    if (!Active) SetFocus(CtrlHandle);
    m.Result = 0;
    return;
  }
  ScrollWndProc(m);
}

void TacDialogWnd::ButtonUp(TMessage& m) {
  if (!PressedButtonActive) {
    SetHotButton(0);
    ScrollWndProc(m);
    return;
  }
  LPARAM screen = m.LParam;
  if (m.Msg == WM_LBUTTONUP) {
    POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    ClientToScreen(CtrlHandle, &p);
    screen = MAKELPARAM(p.x, p.y);
  }
  const int pressed = HotButton;
  const TacDialogHit hit = DialogHitTest(Geometry(), DialogState(), WindowPoint(screen),
                                         PlacedButtons(), TitleIconRect());
  PressedButtonActive = false;
  if (hit.Code != pressed) {
    // Released away from the button: nothing happens.
    SetHotButton(0);
    ScrollWndProc(m);
    return;
  }
  if (TButtonRecord* record = Record(pressed)) record->State = 1;
  PaintTitleButton(pressed);
  m.Result = 0;
  const TacDialogState d = DialogState();
  switch (pressed) {
    case HTMINBUTTON:
      SendSysCommand(d.Iconic ? SC_RESTORE : SC_MINIMIZE);
      break;
    case HTMAXBUTTON:
      SendSysCommand(d.Zoomed ? SC_RESTORE : SC_MAXIMIZE);
      if (IsWindow(CtrlHandle)) SystemMenu->UpdateItems();
      break;
    case HTCLOSE: {
      SetHotButton(0);
      SendSysCommand(SC_CLOSE);
      // Refused (the dialog stays): hot again while the pointer is on it.
      POINT cursor{};
      if (IsWindow(CtrlHandle) && IsWindowVisible(CtrlHandle) && GetCursorPos(&cursor))
        SendMessageW(CtrlHandle, WM_NCHITTEST, 0, MAKELPARAM(cursor.x, cursor.y));
      break;
    }
    case HTHELP:
      SendSysCommand(SC_CONTEXTHELP);
      if (IsWindow(CtrlHandle)) {
        SystemMenu->UpdateItems();
        SkinData->BGChanged = true;
        SendMessageW(CtrlHandle, WM_NCPAINT, 1, 0);
      }
      break;
    default:
      break;
  }
}

void TacDialogWnd::WndProc(TMessage& m) {
  if (m.Msg == WM_NCDESTROY || m.Msg == WM_DESTROY || Destroyed || !SkinUsable() || Calculating) {
    if (m.Msg == WM_DESTROY || m.Msg == WM_NCDESTROY) {
      StopButtonAnimations();
      HideButtonGlow();
      // The companion goes before its owner.
      borderForm_.reset();
    }
    if (m.Msg == WM_NCDESTROY) FreeBrush();
    ScrollWndProc(m);
    return;
  }
  HWND wnd = CtrlHandle;
  const bool visible = IsWindowVisible(wnd) != 0;
  // A click the companion passed on (-1) is tested on its picture.
  if (borderForm_ != nullptr && static_cast<int>(m.WParam) == -1 &&
      (m.Msg == WM_NCLBUTTONDOWN || m.Msg == WM_NCLBUTTONUP || m.Msg == WM_NCRBUTTONUP))
    m.WParam = static_cast<WPARAM>(std::max(borderForm_->HitTest(m), 0));
  switch (m.Msg) {
    case SM_ALPHACMD:
      if (DialogCommand(m)) return;
      break;
    case WM_GETDLGCODE:
      m.Result = 0;
      return;
    case WM_SIZE:
      SkinData->BGChanged = true;
      RegionChanged = true;
      placed_.clear();
      CallPrev(m);
      SyncBorderForm(false);
      RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
      return;
    case WM_SETFOCUS:
      CallPrev(m);
      RedrawWindow(wnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      return;
    case WM_ENABLE:
    case WM_SETTEXT:
      ScrollWndProc(m);
      if (m.Msg == WM_SETTEXT) {
        const int length = GetWindowTextLengthW(wnd);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(wnd, text.data(), length + 1)));
        Caption = Narrow(text);
      }
      SkinData->BGChanged = true;
      if (borderForm_ != nullptr)
        SyncBorderForm(true);
      else if (visible)
        SendMessageW(wnd, WM_NCPAINT, 1, 0);
      return;
    case WM_MOUSEMOVE:
      // Over a dialog no skinned control of a form is hot any more.
      if (DefaultManager != nullptr && IsWindowEnabled(wnd)) DefaultManager->SetHotWindow(nullptr);
      break;
    case WM_PAINT:
      if (!SkipPaint) break;
      {
        PAINTSTRUCT ps{};
        BeginPaint(wnd, &ps);
        EndPaint(wnd, &ps);
      }
      m.Result = 0;
      return;
    case WM_ERASEBKGND:
      if (!ChildrenWrapped) {
        ChildrenWrapped = true;
        WrapChildren();
      }
      PaintClient(reinterpret_cast<HDC>(m.WParam));
      m.Result = 1;
      return;
    case WM_PRINTCLIENT:
      PaintClient(reinterpret_cast<HDC>(m.WParam));
      m.Result = 0;
      return;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
      if (item != nullptr && item->CtlType == kStaticItem) SetBkMode(item->hDC, TRANSPARENT);
      break;
    }
    case WM_WINDOWPOSCHANGED:
      SkinData->BGChanged = true;
      CallPrev(m);
      SyncBorderForm(false);
      return;
    case WM_NCHITTEST: {
      const TacDialogHit hit = DialogHitTest(Geometry(), DialogState(), WindowPoint(m.LParam),
                                             PlacedButtons(), TitleIconRect());
      SetHotButton(hit.HotButton);
      if (hit.Code != HTNOWHERE) {
        m.Result = hit.Code;
        return;
      }
      break;
    }
    case WM_NCPAINT:
      if (!visible) break;
      WrapChildren();
      PaintFrame();
      m.Result = 0;
      return;
    case WM_NCACTIVATE:
      if (!visible) {
        Active = m.WParam != 0;
        break;
      }
      // The system would draw its own caption meanwhile.
      SendMessageW(wnd, WM_SETREDRAW, 0, 0);
      CallPrev(m);
      Active = m.WParam != 0;
      SendMessageW(wnd, WM_SETREDRAW, 1, 0);
      SkinData->BGChanged = true;
      RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_FRAME);
      SyncBorderForm(true);
      return;
    case WM_NCLBUTTONDOWN:
      return NcLButtonDown(m);
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP:
      return ButtonUp(m);
    case WM_NCLBUTTONDBLCLK: {
      const TacDialogState d = DialogState();
      if (m.WParam == HTCAPTION) {
        if (CanMaximize(d) || CanRestore(d)) {
          SendSysCommand(d.Zoomed || d.Iconic ? SC_RESTORE : SC_MAXIMIZE);
          if (IsWindow(wnd)) SystemMenu->UpdateItems();
        }
        m.Result = 0;
        return;
      }
      if (m.WParam == HTSYSMENU) {
        SendSysCommand(SC_CLOSE);
        m.Result = 0;
        return;
      }
      break;
    }
    case WM_NCRBUTTONDOWN:
      // The menu comes on the release; anything else goes on once.
      if (m.WParam == HTCAPTION || m.WParam == HTSYSMENU) {
        m.Result = 0;
        return;
      }
      break;
    case kSysMenuFromTaskbar:
      if (!hadSysMenu_) break;
      DropSysMenu(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
      m.Result = 0;
      return;
    case WM_NCRBUTTONUP:
      if (m.WParam == HTCAPTION || m.WParam == HTSYSMENU) {
        SetHotButton(0);
        DropSysMenu(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
        m.Result = 0;
        return;
      }
      break;
    case WM_NCMOUSELEAVE:
    case WM_MOUSELEAVE:
      SetHotButton(0);
      break;
    case WM_SHOWWINDOW: {
      // A hidden dialog's fades have nothing to show on.
      if (m.WParam == 0) StopButtonAnimations();
      if (!IsDwmCompositionOn()) break;
      const LONG ex = GetWindowLongW(wnd, GWL_EXSTYLE);
      SetWindowLongW(wnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
      ScrollWndProc(m);
      SetWindowLongW(wnd, GWL_EXSTYLE, GetWindowLongW(wnd, GWL_EXSTYLE) & ~WS_EX_LAYERED);
      return;
    }
    case WM_CTLCOLORDLG:
      m.Result = reinterpret_cast<LRESULT>(DialogBrush());
      return;
    case kRewrapChildren:
      ScrollWndProc(m);
      WrapChildren();
      return;
    case kControlsChanged:
      CallPrev(m);
      WrapChildren();
      RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      return;
    default:
      break;
  }
  ScrollWndProc(m);
  if (m.Msg == WM_MOVE || m.Msg == WM_SIZING || m.Msg == WM_WINDOWPOSCHANGING)
    SyncBorderForm(false);
  if (m.Msg == WM_SYSCOMMAND) {
    if (m.WParam == kMoveByCaption) {
      UpdateWindow(wnd);
      SyncBorderForm(false);
    }
    const WPARAM command = m.WParam & 0xFFF0;
    // Alt+Space: the system finds no WS_SYSMENU and opens nothing.
    if (command == SC_KEYMENU && m.LParam == VK_SPACE && hadSysMenu_ && IsWindow(wnd) &&
        (GetWindowLongW(wnd, GWL_STYLE) & WS_SYSMENU) == 0)
      DropSysMenuUnderIcon();
    if (command == SC_MAXIMIZE || command == SC_RESTORE) {
      if (HasMaxBox(DialogState())) HotButton = TitleHit::MaxButton;
      SetHotButton(0);
    }
  }
}

// --- what the hook holds ----------------------------------------------------------------

namespace {

class TacDialogHolder : public TacHookedWindow {
 public:
  TacDialogHolder(TacDialogWnd* dialog, HWND handle) : dialog_(dialog), handle_(handle) {}
  ~TacDialogHolder() override { FreeAdapter(dialog_); }
  HWND Handle() const override { return handle_; }
  TacDialogWnd* Dialog() const { return dialog_; }

 private:
  TacDialogWnd* dialog_;
  HWND handle_;
};

}  // namespace

TacDialogWnd* AttachDialogWnd(HWND dialog, TsSkinManager* manager) {
  if (dialog == nullptr) return nullptr;
  auto* adapter = CreateAdapter<TacDialogWnd>(dialog, false, nullptr, manager, "DIALOG");
  if (adapter->Destroyed) {
    FreeAdapter(adapter);
    return nullptr;
  }
  adapter->InitDialog();
  return adapter;
}

std::unique_ptr<TacHookedWindow> NewDialogWnd(HWND dialog, TsSkinManager* manager) {
  TacDialogWnd* adapter = AttachDialogWnd(dialog, manager);
  if (adapter == nullptr) return nullptr;
  if (adapter->SkinUsable()) {
    SendMessageW(dialog, SM_ALPHACMD, CommandWParam(cmdSkinLoaded),
                 reinterpret_cast<LPARAM>(adapter->SkinManager.Get()));
  }
  if (IsWindowVisible(dialog))
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  return std::make_unique<TacDialogHolder>(adapter, dialog);
}

TacDialogWnd* DialogWndOf(TacHookedWindow* hooked) {
  auto* holder = dynamic_cast<TacDialogHolder*>(hooked);
  return holder != nullptr ? holder->Dialog() : nullptr;
}

}  // namespace kv
