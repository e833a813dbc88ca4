// Title buttons of TsSkinProvider: their masks, their place and look in the
// frame cache, the hot and pressed states, and the glow that fades a new
// state in and out.
#include "skin/forms/sTitleButtons_win.h"

#include <windowsx.h>

#include <algorithm>

#include "classlib/PlatformCalls.h"
#include "skin/core/acUtils.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/forms/sMDIForm_win.h"
#include "skin/forms/sSkinProvider_win.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"

namespace kv {

TsTitleButtonRecord::TsTitleButtonRecord() = default;
TsTitleButtonRecord::~TsTitleButtonRecord() = default;
TsTitleButtonRecord::TsTitleButtonRecord(TsTitleButtonRecord&&) noexcept = default;
TsTitleButtonRecord& TsTitleButtonRecord::operator=(TsTitleButtonRecord&&) noexcept = default;

namespace {

constexpr int kHotSteps = 10;
constexpr size_t kFadedHintLength = 100;  // longer hints show at once
constexpr DWORD kHintFadeTime = 200;
constexpr int kPressedSteps = 1;

// Without a border form the glow is opaque wherever it lies.
void MakeOpaque(TBitmap& bmp) {
  for (int y = 0; y < bmp.Height(); ++y) {
    std::uint8_t* row = bmp.ScanLine(y);
    for (int x = 0; x < bmp.Width(); ++x) row[x * 4 + 3] = 255;
  }
}

constexpr intptr_t kAuxFormTag = -98;

// The glow lies over the button but never takes the pointer: the form
// under it keeps its hit tests and its leave tracking.
class TGlowForm : public TForm {
 public:
  using TForm::TForm;

 protected:
  void WndProc(TMessage& m) override {
    const bool mouse = (m.Msg >= WM_MOUSEFIRST && m.Msg <= WM_MOUSELAST) ||
                       (m.Msg >= WM_NCMOUSEMOVE && m.Msg <= WM_NCXBUTTONDBLCLK) ||
                       m.Msg == WM_MOUSELEAVE || m.Msg == WM_NCMOUSELEAVE;
    if (m.Msg == WM_NCHITTEST) {
      m.Result = HTTRANSPARENT;
      return;
    }
    if (m.Msg == WM_MOUSEACTIVATE) {
      m.Result = MA_NOACTIVATE;
      return;
    }
    if (mouse) {
      m.Result = 0;
      return;
    }
    TForm::WndProc(m);
  }
};

bool IsStandardHit(int code) {
  return code == TitleHit::MinButton || code == TitleHit::MaxButton || code == TitleHit::Close ||
         code == TitleHit::Help;
}

}  // namespace

// --- masks and sizes --------------------------------------------------------------------

void TsSkinProvider::LoadTitleButtonMasks() {
  TsSkinManager* manager = SkinManager();
  if (manager == nullptr) return;
  const TsSkinModel& skin = manager->Skin();
  if (skin.SectionIndexOf("GLOBALINFO") < 0) return;
  const TsFrameGeometry g = Geometry();
  const bool mdiMain = form_ != nullptr && form_->FormStyle() == fsMDIForm;
  buttonMasks_ = kv::LoadTitleButtonMasks(g.UsesBorderIconSpacing(), mdiMain, [&](auto key) {
    return skin.MaskIndexByNames("GLOBALINFO", key);
  });
  restoreMask_ = skin.MaskIndexByNames("GLOBALINFO", "BICONNORM");
  if (restoreMask_ < 0 && skin.IsSectionIndexValid(skinData_->SkinIndex))
    restoreMask_ = skin.MaskIndexOf(
        skinData_->SkinIndex, skin.GeneralData[static_cast<size_t>(skinData_->SkinIndex)].ClassName,
        "BICONNORM");
  const int hits[] = {TitleHit::MinButton, TitleHit::MaxButton, TitleHit::Close, TitleHit::Help};
  const int masks[] = {buttonMasks_.Min, buttonMasks_.Max, buttonMasks_.Close, buttonMasks_.Help};
  for (size_t i = 0; i < buttons_.size(); ++i) {
    buttons_[i].HitCode = hits[i];
    buttons_[i].ImageIndex = masks[i];
    buttons_[i].LargeButton = buttonMasks_.LargeButton;
  }
  UpdateUserButtonRecords();
}

// Read at every frame painting: buttons given or changed after the skin
// came take their mask and hit code from the settings they have now.
void TsSkinProvider::UpdateUserButtonRecords() {
  const TsSkinManager* manager = SkinManager();
  const bool masked =
      manager != nullptr && manager->Skin().IsMaskIndexValid(buttonMasks_.TitleButton);
  for (size_t i = 0; i < titleButtons_.Items.size(); ++i) {
    TsTitleButton& b = titleButtons_.Items[i];
    b.MaskIndex = b.UseSkinData && masked ? buttonMasks_.TitleButton : -1;
    b.Record->HitCode = TitleHit::FirstUser + static_cast<int>(i);
    b.Record->ImageIndex = b.MaskIndex;
  }
}

int TsSkinProvider::TitleMaskIndex(TsTitleMask kind, int hitCode) const {
  if (kind != TsTitleMask::User) return StandardTitleMask(buttonMasks_, restoreMask_, kind);
  const size_t i = static_cast<size_t>(hitCode - TitleHit::FirstUser);
  return i < titleButtons_.Items.size() ? titleButtons_.Items[i].MaskIndex : -1;
}

TsTitleButtonMetrics TsSkinProvider::TitleButtonMetrics() const {
  TsSkinManager* manager = SkinManager();
  if (manager == nullptr) return {};
  return StandardTitleMetrics(manager->Skin(), buttonMasks_, restoreMask_);
}

std::vector<TsUserTitleButton> TsSkinProvider::UserButtons() const {
  std::vector<TsUserTitleButton> users;
  for (const TsTitleButton& b : titleButtons_.Items)
    users.push_back({b.Visible, b.Enabled, b.Glyph.Empty() ? 0 : b.Glyph.Width()});
  return users;
}

int TsSkinProvider::TitleButtonsWidth() const {
  return kv::TitleButtonsWidth(Geometry(), TitleButtonMetrics(), UserButtons());
}

TsTitleButtonRecord* TsSkinProvider::ButtonRecord(int hitCode) {
  for (TsTitleButtonRecord& r : buttons_)
    if (r.HitCode == hitCode && hitCode != 0) return &r;
  if (IsUserTitleHit(hitCode)) {
    const size_t i = static_cast<size_t>(hitCode - TitleHit::FirstUser);
    if (i < titleButtons_.Items.size()) return titleButtons_.Items[i].Record.get();
  }
  if (mdiForm_ != nullptr) return mdiForm_->ButtonRecord(hitCode);
  return nullptr;
}

void TsSkinProvider::SetTitleButtonVisible(int index, bool visible) {
  if (index < 0 || static_cast<size_t>(index) >= titleButtons_.Items.size()) return;
  titleButtons_.Items[static_cast<size_t>(index)].Visible = visible;
  FrameRepaintNeeded = true;
  RepaintFrameNow();
  // Hidden while hot (from its own click, say): no hot state, and no glow,
  // is left where it was.
  if (!visible && hotButton_ == TitleHit::FirstUser + index) SetHotButton(0, true);
}

// --- painting ---------------------------------------------------------------------------

void TsSkinProvider::SaveButtonStrip(const TsFrameGeometry& g) {
  TBitmap* cache = skinData_->CacheBmp.get();
  const int height = std::min(g.TitleBandBottom(), cache->Height());
  if (height <= 0) return;
  if (buttonStripBmp_ == nullptr) buttonStripBmp_ = NewBitmap24(0, 0);
  buttonStripBmp_->SetSize(cache->Width(), height);
  CopyPixels(buttonStripBmp_.get(), 0, 0, cache, 0, 0, cache->Width(), height);
}

void TsSkinProvider::RestoreButtonStrip(const TRect& r) {
  TBitmap* cache = skinData_->CacheBmp.get();
  if (buttonStripBmp_ == nullptr || cache == nullptr) return;
  const int right = std::min({r.Right, buttonStripBmp_->Width(), cache->Width()});
  const int bottom = std::min({r.Bottom, buttonStripBmp_->Height(), cache->Height()});
  const int left = std::max(r.Left, 0), top = std::max(r.Top, 0);
  if (right > left && bottom > top)
    CopyPixels(cache, left, top, buttonStripBmp_.get(), left, top, right - left, bottom - top);
}

void TsSkinProvider::PaintTitleButtons(const TsFrameGeometry& g) {
  UpdateUserButtonRecords();
  const std::vector<TsUserTitleButton> users = UserButtons();
  placedButtons_ = PlaceTitleButtons(g, TitleButtonMetrics(), users);
  if (mdiForm_ != nullptr)
    placedButtons_.insert(placedButtons_.end(), mdiForm_->ChildButtons().begin(),
                          mdiForm_->ChildButtons().end());
  for (const TsPlacedTitleButton& b : placedButtons_) {
    TsTitleButtonRecord* record = ButtonRecord(b.HitCode);
    if (record == nullptr) continue;
    record->Rect = b.Rect;
    // A maximised form's restore button is the record's look, and its glow's.
    if (b.HitCode == TitleHit::MaxButton) record->ImageIndex = TitleMaskIndex(b.Mask, b.HitCode);
    // Once a button glows, its glow shows its state: the frame keeps it at rest.
    DrawTitleButton(b, record->State, record->Timer != nullptr);
  }
}

void TsSkinProvider::DrawTitleButton(const TsPlacedTitleButton& b, int state, bool animating) {
  if (mdiForm_ != nullptr && mdiForm_->DrawChildButton(b, state)) return;
  TBitmap* cache = skinData_->CacheBmp.get();
  const TsSkinModel& skin = SkinManager()->Skin();
  const int index = TitleMaskIndex(b.Mask, b.HitCode);
  const bool masked = skin.IsMaskIndexValid(index);
  // A user button without a mask still shows its glyph.
  if (cache == nullptr || (!masked && b.Mask != TsTitleMask::User)) return;
  // The mask's see-through pixels show the title, not the last state.
  RestoreButtonStrip(b.Rect);
  if (masked)
    DrawMaskState(cache, b.Rect.TopLeft(), animating ? 0 : state, MakeBgCacheInfo(cache, 0, 0),
                  skin.MaskData[static_cast<size_t>(index)], skin.MasterBitmap.get(),
                  TitleButtonDrawMode(formActive_, b.Enabled, state, animating));
  if (b.Mask == TsTitleMask::User)
    DrawUserGlyph(b, cache, b.Rect.TopLeft(), animating ? 0 : state, true);
}

// A user button's glyph centred on it (a pressed one a pixel lower, and
// right as well on the frame): a 32-bit glyph by its alpha, any other with
// its bottom-left colour left out.
void TsSkinProvider::DrawUserGlyph(const TsPlacedTitleButton& b, TBitmap* target, TPoint origin,
                                   int state, bool pushRight) {
  const size_t i = static_cast<size_t>(b.HitCode - TitleHit::FirstUser);
  if (i >= titleButtons_.Items.size()) return;
  TBitmap& glyph = titleButtons_.Items[i].Glyph;
  if (glyph.Empty() || target == nullptr) return;
  const int push = state == 2 ? 1 : 0;
  const int x = origin.X + (b.Rect.Width() - glyph.Width()) / 2 + (pushRight ? push : 0);
  const int y = origin.Y + (b.Rect.Height() - glyph.Height()) / 2 + push;
  if (glyph.PixelFormat() == pf32bit) {
    CopyRectWithTransparency(Bounds(x, y, glyph.Width(), glyph.Height()),
                             Rect(0, 0, glyph.Width(), glyph.Height()), target, &glyph,
                             EmptyBgCacheInfo, false);
    return;
  }
  TBitmap copy(glyph);
  copy.SetPixelFormat(pf24bit);
  const std::uint8_t* p = copy.ScanLine(copy.Height() - 1);
  const TColor bottomLeft = static_cast<TColor>(p[0] << 16 | p[1] << 8 | p[2]);
  CopyBitmapSkipTransparent(target, &copy, x, y, bottomLeft);
}

void TsSkinProvider::CopyButtonToWindow(const TRect& r) {
  HWND wnd = FormHandle();
  TBitmap* cache = skinData_->CacheBmp.get();
  if (wnd == nullptr || cache == nullptr || cache->Empty() || !IsWindowVisible(wnd)) return;
  // With a border form the cache is bigger than the window, which shows
  // only its part of the button; the border window shows the whole.
  const POINT o = FrameCacheOffset();
  HDC dc = GetWindowDC(wnd);
  {
    TBitmapCanvas canvas(*cache);
    BitBlt(dc, r.Left - o.x, r.Top - o.y, r.Width(), r.Height(), canvas.Handle(), r.Left, r.Top,
           SRCCOPY);
  }
  ReleaseDC(wnd, dc);
  SyncBorderForm(true, 255);
}

void TsSkinProvider::PaintTitleButton(int hitCode) {
  TsTitleButtonRecord* record = ButtonRecord(hitCode);
  TsSkinManager* manager = SkinManager();
  if (record == nullptr || manager == nullptr) return;
  auto placed = std::find_if(placedButtons_.begin(), placedButtons_.end(),
                             [&](const TsPlacedTitleButton& b) { return b.HitCode == hitCode; });
  if (placed == placedButtons_.end()) {
    // A button no longer laid out (hidden) takes its glow away with it.
    record->Timer.reset();
    return;
  }
  const bool glowing = (manager->AllowGlowing() || HasBorderForm()) &&
                       (IsStandardHit(hitCode) || IsUserTitleHit(hitCode));
  if (glowing) {
    const int state = record->State;
    StartButtonAnimation(*record, state, state == 2 ? kPressedSteps : kHotSteps, state != 0);
    return;
  }
  // A title too narrow for its buttons: the icon is not painted over.
  const TsFrameGeometry g = Geometry();
  if (g.ShowsTitleIcon() && placed->Rect.Left <= g.TitleIconRect().Right) return;
  DrawTitleButton(*placed, record->State, false);
  CopyButtonToWindow(record->Rect);
}

void TsSkinProvider::StartButtonAnimation(TsTitleButtonRecord& record, int state, int steps,
                                          bool up) {
  // No message pumping here: this is reached from WM_NCHITTEST.
  if (record.Timer != nullptr) {
    record.Timer->Retarget(state, steps, up);
    return;
  }
  record.Timer = CreateOwned<TacSBAnimation>(this, &record);
  record.Timer->Steps = steps;
  record.Timer->Start(state, true);
  // From now on the frame shows the button at rest (the glow shows its state).
  auto placed =
      std::find_if(placedButtons_.begin(), placedButtons_.end(),
                   [&](const TsPlacedTitleButton& b) { return b.HitCode == record.HitCode; });
  if (placed == placedButtons_.end()) return;
  DrawTitleButton(*placed, 0, true);
  CopyButtonToWindow(record.Rect);
}

void TsSkinProvider::FreeButtonAnimations(bool resetStates) {
  std::vector<TsTitleButtonRecord*> records;
  for (TsTitleButtonRecord& r : buttons_) records.push_back(&r);
  for (TsTitleButton& b : titleButtons_.Items) records.push_back(b.Record.get());
  for (TsTitleButtonRecord* r : records) {
    const bool had = r->Timer != nullptr;
    r->Timer.reset();
    if (resetStates) r->State = 0;
    if (!had || resetStates) continue;
    // A glow of the button leaves the frame showing it at rest.
    auto placed = std::find_if(placedButtons_.begin(), placedButtons_.end(),
                               [&](const TsPlacedTitleButton& b) { return b.HitCode == r->HitCode; });
    if (placed == placedButtons_.end() || skinData_->CacheBmp == nullptr) continue;
    DrawTitleButton(*placed, r->State, false);
    CopyButtonToWindow(r->Rect);
  }
  if (resetStates) {
    hotButton_ = 0;
    HideButtonHint();
  }
}

void TrackFrameLeave(HWND wnd) {
  if (wnd == nullptr) return;
  TRACKMOUSEEVENT now{sizeof(now), TME_QUERY, nullptr, 0};
  const DWORD wanted = TME_LEAVE | TME_NONCLIENT;
  if (TrackMouseEvent(&now) && now.hwndTrack == wnd && (now.dwFlags & wanted) == wanted) return;
  TRACKMOUSEEVENT t{sizeof(t), wanted, wnd, 0};
  TrackMouseEvent(&t);
}

// Leaving the window straight from the button sends no hit test, so the
// leave is asked for while a button is hot.
void TsSkinProvider::TrackTitleLeave() {
  if (hotButton_ > 0) TrackFrameLeave(FormHandle());
}

// The mouse left the frame: a hot button it is no longer over goes cold.
void TsSkinProvider::TitleMouseLeft() {
  if (hotButton_ <= 0) return;
  const TsTitleButtonRecord* record = ButtonRecord(hotButton_);
  POINT p{};
  RECT w{};
  HWND wnd = FormHandle();
  if (record != nullptr && wnd != nullptr && GetCursorPos(&p) && GetWindowRect(wnd, &w)) {
    const POINT o = FrameCacheOffset();
    const TRect& r = record->Rect;
    const int x = p.x - w.left + o.x, y = p.y - w.top + o.y;
    if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) return;
  }
  SetHotButton(0, true);
}

// The glow of a faded-out button is gone: the button is drawn at rest.
void TsSkinProvider::GlowEnded(TsTitleButtonRecord& record) {
  auto placed =
      std::find_if(placedButtons_.begin(), placedButtons_.end(),
                   [&](const TsPlacedTitleButton& b) { return b.HitCode == record.HitCode; });
  if (placed == placedButtons_.end()) return;
  DrawTitleButton(*placed, record.State, record.Timer != nullptr);
  CopyButtonToWindow(record.Rect);
}

// --- states -----------------------------------------------------------------------------

TsTitleButton* TsSkinProvider::UserButton(int hitCode) {
  if (!IsUserTitleHit(hitCode)) return nullptr;
  const size_t i = static_cast<size_t>(hitCode - TitleHit::FirstUser);
  return i < titleButtons_.Items.size() ? &titleButtons_.Items[i] : nullptr;
}

void TsSkinProvider::SetHotButton(int hitCode, bool repaint) {
  if (!drawNonClientArea_) return;
  if (hitCode == hotButton_ || (hotButton_ == -1 && hitCode == 0)) return;
  if (hotButton_ > 0) {
    if (UserButton(hotButton_) != nullptr) HideButtonHint();
    if (TsTitleButtonRecord* previous = ButtonRecord(hotButton_)) {
      previous->State = 0;
      if (repaint) PaintTitleButton(hotButton_);
    }
  }
  hotButton_ = hitCode;
  if (TsTitleButtonRecord* record = ButtonRecord(hitCode)) {
    record->State = 1;
    PressedButtonActive = false;
    if (repaint) PaintTitleButton(hitCode);
    if (const TsTitleButton* user = UserButton(hitCode)) ShowButtonHint(*user);
    TrackTitleLeave();
    return;
  }
  PressedButtonActive = false;
}

void TsSkinProvider::SetPressedButton(int hitCode) {
  if (hotButton_ != hitCode && hotButton_ > 0) {
    if (TsTitleButtonRecord* previous = ButtonRecord(hotButton_)) {
      previous->State = 0;
      PaintTitleButton(hotButton_);
    }
  }
  HideButtonHint();
  hotButton_ = hitCode;
  TsTitleButtonRecord* record = ButtonRecord(hitCode);
  if (record == nullptr) return;
  if (hitCode == TitleHit::MaxButton) {
    const TsFormState f = FormState();
    if (!EnabledMax(f) && !(f.WindowState == wsMaximized && EnabledRestore(f))) {
      hotButton_ = 0;
      return;
    }
  }
  record->State = 2;
  PressedButtonActive = true;
  PaintTitleButton(hitCode);
}

// --- user buttons' hints and events -----------------------------------------------------

void TsSkinProvider::ShowButtonHint(const TsTitleButton& button) {
  HideButtonHint();
  if (button.Hint.empty()) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  buttonHint_ = CreateOwned<THintWindow>();
  buttonHint_->SetColor(clInfoBk);
  TRect r = buttonHint_->CalcHintRect(800, button.Hint);
  OffsetRect(r, cursor.x + 8, cursor.y + 16);
  // Kept on the form's work area, moved back by what would stick out.
  const TRect work = TScreen::MonitorWorkArea(FormHandle());
  OffsetRect(r, std::min(0, work.Right - r.Right), std::min(0, work.Bottom - r.Bottom));
  r.Bottom += 4;
  // A short hint fades in when the system fades its own tooltips in.
  BOOL animation = FALSE, fade = FALSE;
  SystemParametersInfoW(SPI_GETTOOLTIPANIMATION, 0, &animation, 0);
  SystemParametersInfoW(SPI_GETTOOLTIPFADE, 0, &fade, 0);
  if (button.Hint.size() >= kFadedHintLength || !animation || !fade) {
    buttonHint_->ActivateHint(r, button.Hint);
    return;
  }
  buttonHint_->SetCaption(button.Hint);
  buttonHint_->SetBounds(r.Left, r.Top, r.Width(), r.Height());
  HWND hint = buttonHint_->Handle();
  SetWindowPos(hint, HWND_TOPMOST, r.Left, r.Top, r.Width(), r.Height(), SWP_NOACTIVATE);
  PlatformCalls().AnimateWindow(hint, kHintFadeTime, AW_BLEND);
  ShowWindow(hint, SW_SHOWNOACTIVATE);
  buttonHint_->Invalidate();
}

void TsSkinProvider::HideButtonHint() { buttonHint_.reset(); }

void TsSkinProvider::UserButtonMouse(int hitCode, LPARAM screen, bool down) {
  TsTitleButton* button = UserButton(hitCode);
  const TsTitleButtonRecord* record = ButtonRecord(hitCode);
  RECT w{};
  if (button == nullptr || record == nullptr || !GetWindowRect(FormHandle(), &w)) return;
  const POINT o = FrameCacheOffset();
  const int x = GET_X_LPARAM(screen) - w.left + o.x - record->Rect.Left;
  const int y = GET_Y_LPARAM(screen) - w.top + o.y - record->Rect.Top;
  const WPARAM keys = (GetKeyState(VK_SHIFT) < 0 ? MK_SHIFT : 0) |
                     (GetKeyState(VK_CONTROL) < 0 ? MK_CONTROL : 0) | (down ? MK_LBUTTON : 0);
  if (down)
    button->MouseDown(mbLeft, KeysToShiftState(keys), x, y);
  else
    button->MouseUp(mbLeft, KeysToShiftState(keys), x, y);
}

// --- the glow ---------------------------------------------------------------------------

TacSBAnimation::TacSBAnimation(TComponent* owner, TsSkinProvider* provider,
                               TsTitleButtonRecord* button)
    : TTimer(owner), provider_(provider), button_(button) {
  SetEnabled(false);
  SetInterval(StepInterval);
}

TacSBAnimation::TacSBAnimation(TComponent* owner, TacGlowHost* host, TsTitleButtonRecord* button)
    : TTimer(owner), host_(host), button_(button) {
  SetEnabled(false);
  SetInterval(StepInterval);
}

HWND TacSBAnimation::OwnerWnd() const {
  return host_ != nullptr ? host_->GlowOwner() : provider_->FormHandle();
}

POINT TacSBAnimation::FrameOffset() const {
  return host_ != nullptr ? host_->GlowFrameOffset() : provider_->FrameCacheOffset();
}

TsSkinManager* TacSBAnimation::Manager() const {
  return host_ != nullptr ? host_->GlowManager() : provider_->SkinManager();
}

TacSBAnimation::~TacSBAnimation() {
  SetEnabled(false);
  FreeGlow();
}

HWND TacSBAnimation::GlowWindow() const {
  return glowForm_ != nullptr && glowForm_->HandleAllocated() ? glowForm_->Handle() : nullptr;
}

void TacSBAnimation::Start(int state, bool up) {
  if (state == TargetState) return;
  TargetState = state;
  Up = state != 0 && up;
  if (state == 0) {
    SetEnabled(true);
    return;
  }
  glowBmp_.reset();
  MakeGlowImage();
  Step = 1;
  PaintGlow(Steps > 1 ? std::min(AlphaStep(), 255) : 255);
  if (Steps > 1) SetEnabled(true);
}

void TacSBAnimation::Retarget(int state, int steps, bool up) {
  Steps = steps;
  Up = up;
  if (!up) {
    // Turned down before its first step (a rise asked for after the last
    // fade ended): nothing shows, and none may rise later.
    if (Step == 0)
      Finish();
    else
      SetEnabled(true);
    return;
  }
  if (state != TargetState) {
    TargetState = state;
    glowBmp_.reset();  // the new state's look, built as it is shown
  }
  if (state == 2) {
    Step = Steps;
    PaintGlow(255);
  }
  SetEnabled(true);
}

// Step is the level shown: a glow turned round goes on from there.
void TacSBAnimation::StepNow() {
  if (Up) {
    if (Step + 1 < Steps) {
      ++Step;
      PaintGlow(std::clamp(AlphaStep() * Step, 0, 255));
      return;
    }
    Step = Steps;
    SetEnabled(false);
    PaintGlow(255);
    // The mouse may have left while the glow rose.
    HWND wnd = OwnerWnd();
    POINT p{};
    RECT w{};
    if (wnd != nullptr && GetCursorPos(&p) && GetWindowRect(wnd, &w)) {
      const TRect& r = button_->Rect;
      const POINT o = FrameOffset();
      const int x = p.x - w.left + o.x, y = p.y - w.top + o.y;
      if (x < r.Left || x >= r.Right || y < r.Top || y >= r.Bottom)
        PostMessageW(wnd, WM_MOUSELEAVE, 0, 0);
    }
    return;
  }
  if (Step > 0) {
    --Step;
    PaintGlow(std::clamp(AlphaStep() * Step, 0, 255));
    if (Step > 0) return;
  }
  Finish();
}

void TacSBAnimation::Finish() {
  SetEnabled(false);
  TargetState = -1;
  FreeGlow();
  if (host_ != nullptr)
    host_->GlowEnded(*button_);
  else
    provider_->GlowEnded(*button_);
}

TacSBAnimation::TGlowSource TacSBAnimation::GlowSource() const {
  TsSkinManager* manager = Manager();
  if (manager == nullptr || !manager->AllowGlowing() || TargetState != 1) return {};
  // A halo would reach over the parent's or the MDI form's other windows.
  if (provider_ != nullptr && provider_->Form() != nullptr &&
      (provider_->Form()->FormStyle() == fsMDIChild || provider_->Form()->Parent() != nullptr))
    return {};
  const std::optional<int> margin =
      TitleButtonGlowMargin(manager->CommonSkinData(), button_->HitCode);
  if (!margin) return {};
  const TsSkinModel& skin = manager->Skin();
  if (!skin.IsMaskIndexValid(button_->ImageIndex)) return {};
  const std::string key =
      skin.MaskData[static_cast<size_t>(button_->ImageIndex)].PropertyName + "GLOW0";
  const int mask = skin.MaskIndexByNames("GLOBALINFO", key);
  if (!skin.IsMaskIndexValid(mask)) return {};
  return {mask, *margin};
}

// The halo keeps its place while it fades out, the button's glow lies on it.
TRect TacSBAnimation::GlowRect() const {
  RECT w{};
  GetWindowRect(OwnerWnd(), &w);
  // Button rectangles are the frame cache's, which starts left and above
  // the window when a border form draws the frame.
  const POINT o = FrameOffset();
  OffsetRect(&w, -o.x, -o.y);
  const TRect& r = button_->Rect;
  if (!halo_ || glowBmp_ == nullptr)
    return Bounds(w.left + r.Left, w.top + r.Top, r.Width(), r.Height());
  return Bounds(w.left + r.Left - haloMargin_, w.top + r.Top - haloMargin_, glowBmp_->Width(),
                glowBmp_->Height());
}

void TacSBAnimation::MakeGlowImage() {
  const TGlowSource glow = GlowSource();
  halo_ = false;
  if (glow.Mask < 0) {
    MakeButtonImage();
    return;
  }
  // The skin's whole glow picture (an image of its own is read as cells,
  // but a glow has one look): its own alpha, or see-through where it holds
  // the transparent colour.
  const TsMaskData& mask = Manager()->Skin().MaskData[static_cast<size_t>(glow.Mask)];
  const TBitmap* source = mask.Bmp ? mask.Bmp.get() : Manager()->Skin().MasterBitmap.get();
  const TRect r = mask.Bmp ? Rect(0, 0, source->Width(), source->Height()) : mask.R;
  if (source == nullptr || r.Width() <= 0 || r.Height() <= 0 || r.Right > source->Width() ||
      r.Bottom > source->Height()) {
    MakeButtonImage();
    return;
  }
  glowBmp_ = NewBitmap32(r.Width(), r.Height());
  const bool alpha = source->PixelFormat() == pf32bit;
  for (int y = 0; y < r.Height(); ++y) {
    std::uint8_t* out = glowBmp_->ScanLine(y);
    const std::uint8_t* in = source->ScanLine(r.Top + y) + (alpha ? 4 : 3) * r.Left;
    for (int x = 0; x < r.Width(); ++x, out += 4, in += alpha ? 4 : 3) {
      const bool clear = !alpha && in[0] == 0xFF && in[1] == 0 && in[2] == 0xFF;
      // Layered windows take colours multiplied by alpha.
      const int a = alpha ? in[3] : clear ? 0 : 255;
      for (int c = 0; c < 3; ++c) out[c] = static_cast<std::uint8_t>((in[c] * a + 127) / 255);
      out[3] = static_cast<std::uint8_t>(a);
    }
  }
  halo_ = true;
  haloMargin_ = glow.Margin;
}

// Without a glow picture: the button in its new state over the title.
void TacSBAnimation::MakeButtonImage() {
  if (host_ != nullptr) {
    const TRect& r = button_->Rect;
    if (r.Width() <= 0 || r.Height() <= 0) return;
    glowBmp_ = NewBitmap32(r.Width(), r.Height());
    host_->DrawGlowButton(glowBmp_.get(), button_->HitCode, std::max(TargetState, 0));
    MakeOpaque(*glowBmp_);
    return;
  }
  TBitmap* cache = provider_->SkinData()->CacheBmp.get();
  const TRect& r = button_->Rect;
  if (cache == nullptr || r.Width() <= 0 || r.Height() <= 0) return;
  glowBmp_ = NewBitmap32(r.Width(), r.Height());
  CopyPixels(glowBmp_.get(), 0, 0,
             provider_->buttonStripBmp_ ? provider_->buttonStripBmp_.get() : cache, r.Left, r.Top,
             r.Width(), r.Height());
  const TsSkinModel& skin = provider_->SkinManager()->Skin();
  auto placed =
      std::find_if(provider_->placedButtons_.begin(), provider_->placedButtons_.end(),
                   [&](const TsPlacedTitleButton& b) { return b.HitCode == button_->HitCode; });
  if (placed != provider_->placedButtons_.end()) {
    const int index = provider_->TitleMaskIndex(placed->Mask, placed->HitCode);
    if (skin.IsMaskIndexValid(index))
      DrawMaskState(glowBmp_.get(), {0, 0}, std::max(TargetState, 0),
                    MakeBgCacheInfo(glowBmp_.get(), 0, 0),
                    skin.MaskData[static_cast<size_t>(index)], skin.MasterBitmap.get(), 1);
  }
  if (placed != provider_->placedButtons_.end() && placed->Mask == TsTitleMask::User)
    provider_->DrawUserGlyph(*placed, glowBmp_.get(), {0, 0}, TargetState, false);
  MakeOpaque(*glowBmp_);
}

void TacSBAnimation::PaintGlow(int alpha) {
  alpha_ = alpha;
  auto update = PlatformCalls().UpdateLayeredWindow;
  HWND owner = OwnerWnd();
  if (update == nullptr || owner == nullptr) return;
  if (glowBmp_ == nullptr) MakeGlowImage();
  if (glowBmp_ == nullptr) return;
  if (glowForm_ == nullptr) {
    glowForm_ = CreateOwned<TGlowForm>();
    glowForm_->SetTag(kAuxFormTag);
    glowForm_->SetBorderStyle(bsNone);
  }
  HWND glow = glowForm_->Handle();
  const TRect r = GlowRect();
  SetWindowLongW(glow, GWL_EXSTYLE,
                 GetWindowLongW(glow, GWL_EXSTYLE) | WS_EX_NOACTIVATE | WS_EX_LAYERED |
                     WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW);
  HWND above = GetWindow(owner, GW_HWNDPREV);
  SetWindowPos(glow, above != nullptr ? above : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOSENDCHANGING);
  TBitmapCanvas canvas(*glowBmp_);
  HDC screen = GetDC(nullptr);
  POINT pos{r.Left, r.Top}, origin{0, 0};
  SIZE size{glowBmp_->Width(), glowBmp_->Height()};
  BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(alpha), AC_SRC_ALPHA};
  update(glow, screen, &pos, &size, canvas.Handle(), &origin, 0, &blend, ULW_ALPHA);
  ReleaseDC(nullptr, screen);
  if (!IsWindowVisible(glow)) ShowWindow(glow, SW_SHOWNOACTIVATE);
}

void TacSBAnimation::FreeGlow() {
  glowForm_.reset();
  glowBmp_.reset();
}

}  // namespace kv
