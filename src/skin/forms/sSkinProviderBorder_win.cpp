// Extended borders of TsSkinProvider: the border window around the form,
// the shadow margins and the frame picture it shows, and the provider's
// side of the border window's questions.
#include <algorithm>

#include "skin/core/acFormServices_win.h"
#include "skin/core/acPlatform.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/acBorderForm_win.h"
#include "skin/forms/sSkinProvider_win.h"
#include "skin/graphics/acPNG.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"

namespace kv {

// The provider as the border window's owner.
class TacProviderBorderOwner : public TacBorderFormOwner {
 public:
  explicit TacProviderBorderOwner(TsSkinProvider& p) : p_(p) {}

  HWND OwnerWnd() const override { return p_.FormHandle(); }

  TSync SyncState() const override {
    if (p_.FormDestroying()) return TSync::Drop;
    HWND wnd = p_.FormHandle();
    if ((p_.form_->FormState() & fsShowing) != 0 || p_.suspended_ ||
        PaintingSuspended(p_.skinData_.get()) || !p_.drawNonClientArea_)
      return TSync::Skip;
    if (!IsWindowVisible(wnd) || IsIconic(wnd)) return TSync::Hide;
    return TSync::Now;
  }
  void DropBorderForm() override { p_.UpdateExtendedBorders(false); }

  TBitmap* FrameImage() const override { return p_.skinData_->CacheBmp.get(); }
  bool FrameImageStale() const override {
    return p_.skinData_->BGChanged || p_.FrameCacheOutdated();
  }
  void PaintFrame() override { p_.PaintFrameCache(); }

  TFrameInfo FrameInfo() const override { return FrameInfoOf(p_.Geometry()); }

  TacBorderHitFrame HitFrame() const override {
    const TsFrameGeometry g = p_.Geometry();
    buttons_ = p_.PlacedButtons();
    TacBorderHitFrame f;
    if (const TBitmap* image = FrameImage()) f.Size = {image->Width(), image->Height()};
    f.Shadow = g.State.ShadowMargins;
    f.BorderWidth = g.FrameBorderWidth(true);
    f.TitleHeight = g.TitleBarHeight(true);
    f.MenuHeight = g.MenuLinesHeight();
    if (g.ShowsTitleIcon()) f.TitleIcon = g.TitleIconRect();
    f.Form = g.State.Form;
    f.ThickFrame = g.State.ThickFrame;
    HWND wnd = OwnerWnd();
    f.Enabled = IsWindowEnabled(wnd) != FALSE;
    f.HelpButton = (GetWindowLongW(wnd, GWL_EXSTYLE) & WS_EX_CONTEXTHELP) != 0;
    f.Buttons = buttons_;
    f.Grip = GripRect();
    return f;
  }

  int ExtHitTest(TMessage& m) override {
    if (!p_.OnExtHitTest) return 0;
    m.Result = 0;
    p_.OnExtHitTest(m);
    return static_cast<int>(m.Result);
  }
  void SetHotButton(int hitCode, bool repaint) override { p_.SetHotButton(hitCode, repaint); }
  void FreeButtonAnimations() override { p_.FreeButtonAnimations(false); }

  bool TitleTogglesMaximise() const override {
    const TsFormState f = p_.FormState();
    if (!p_.IsCaptionedForm()) return f.Iconic;
    return VisibleClose(f) && (EnabledMax(f) || EnabledRestore(f));
  }
  void AfterTitleToggle() override {
    if (TsSystemMenu* menu = p_.SystemMenuObject()) menu->UpdateItems(false);
  }
  void EndPendingMove() override {
    if (GetCapture() == OwnerWnd()) ReleaseCapture();
  }

 private:
  std::optional<TRect> GripRect() const {
    TsSkinManager* manager = p_.SkinManager();
    if (manager == nullptr || !p_.GripWanted()) return std::nullopt;
    const int mask = manager->Skin().MaskIndexByNames("GLOBALINFO", "GRIPIMAGE");
    if (!manager->Skin().IsMaskIndexValid(mask)) return std::nullopt;
    const TsMaskData& m = manager->Skin().MaskData[static_cast<size_t>(mask)];
    const TPoint at = p_.GripPosition(mask);
    return Bounds(at.X, at.Y, MaskFrameWidth(m), MaskStateHeight(m));
  }

  TsSkinProvider& p_;
  mutable std::vector<TsPlacedTitleButton> buttons_;
};

// --- the seam -------------------------------------------------------------------------------

bool TsSkinProvider::HasBorderForm() const { return borderForm_ != nullptr; }

HWND TsSkinProvider::BorderFormWindow() const {
  return borderForm_ != nullptr ? borderForm_->Handle() : nullptr;
}

void TsSkinProvider::SyncBorderForm(bool repaint, std::uint8_t alpha) {
  if (borderForm_ != nullptr) borderForm_->SyncWithOwner(repaint, alpha);
}

RECT TsSkinProvider::ShadowMargins() const {
  const TRect r = ShadowMarginsRect();
  return RECT{r.Left, r.Top, r.Right, r.Bottom};
}

POINT TsSkinProvider::FrameCacheOffset() const {
  const TPoint p = Geometry().CacheOffset();
  return POINT{p.X, p.Y};
}

// --- shadow margins and picture --------------------------------------------------------------

TRect TsSkinProvider::ShadowMarginsRect() const {
  const TsSkinManager* manager = SkinManager();
  if (borderForm_ == nullptr || manager == nullptr) return {};
  return ExtBorderShadowMargins(*manager);
}

bool TsSkinProvider::BorderWindowDrawsFrame(const TsFrameGeometry& g) const {
  const TsSkinManager* manager = SkinManager();
  return manager != nullptr && kv::BorderWindowDrawsFrame(*manager, g.State.BorderForm);
}

void TsSkinProvider::PaintBorderShadow(const TsFrameGeometry& g) {
  TsSkinManager* manager = SkinManager();
  TBitmap* cache = skinData_->CacheBmp.get();
  if (borderForm_ == nullptr || manager == nullptr || cache == nullptr) return;
  if (BorderWindowDrawsFrame(g)) {
    PaintBorderModeFrame(*cache, *manager, g.State.ShadowMargins, formActive_,
                         g.SideBorderWidth(true), [&] {
                           PaintTitleBar(g, cache);
                           PaintCaptionText(g, cache, true);
                           PaintTitleBarButtons(g);
                         });
    return;
  }
  PaintExtBorderShadow(*cache, *manager, g.State.ShadowMargins, formActive_,
                       skinData_->BorderIndex);
}

// --- creating and freeing -------------------------------------------------------------------

void TsSkinProvider::UpdateExtendedBorders(bool use) {
  const bool wanted = use && form_ != nullptr && !FormDestroying() && FormHandle() != nullptr &&
                      IsCaptionedForm() && drawNonClientArea_ && allowExtBorders_ &&
                      form_->Parent() == nullptr && form_->FormStyle() != fsMDIChild;
  TBitmap* cache = skinData_->CacheBmp.get();
  if (wanted) {
    if (borderForm_ != nullptr) return;
    borderOwner_ = std::make_unique<TacProviderBorderOwner>(*this);
    borderForm_ = std::make_unique<TacBorderForm>(*borderOwner_);
    if (cache != nullptr) cache->SetPixelFormat(pf32bit);
  } else {
    if (borderForm_ == nullptr) return;
    // Out of the member first: the window it destroys may ask for it.
    std::unique_ptr<TacBorderForm> gone = std::move(borderForm_);
    gone.reset();
    borderOwner_.reset();
    if (cache != nullptr) cache->SetPixelFormat(pf24bit);
  }
  // The frame changes its size and its place in the cache.
  skinData_->BGChanged = true;
  FrameRepaintNeeded = true;
  RgnChanged = true;
  MenuLineCount = -1;
  if (borderForm_ != nullptr) borderForm_->SyncWithOwner(true, 255);
  if (!FormDestroying() && Showing()) SendMessageW(FormHandle(), WM_NCPAINT, 0, 0);
}

// --- messages -------------------------------------------------------------------------------

void TsSkinProvider::BorderFormMessage(const TMessage& m) {
  if (borderForm_ == nullptr) {
    // A window made again (a new border style) gets its border window back
    // when it is first painted.
    if (m.Msg == WM_NCPAINT && !FormDestroying() && SkinAvailable(skinData_.get(), true) &&
        SkinManager()->ExtendedBorders() && Showing())
      UpdateExtendedBorders(true);
    return;
  }
  switch (m.Msg) {
    case WM_DESTROY:
      // Never outlives the window it lies around.
      UpdateExtendedBorders(false);
      return;
    case WM_SHOWWINDOW:
      if (m.WParam == 0) ShowWindow(borderForm_->Handle(), SW_HIDE);
      return;
    default:
      return;
  }
}

void TsSkinProvider::BorderFormFollows(const TMessage& m) {
  if (borderForm_ == nullptr) {
    if (m.Msg == WM_WINDOWPOSCHANGED) MaximisedTitle = false;
    return;
  }
  switch (m.Msg) {
    case WM_WINDOWPOSCHANGED: {
      HWND wnd = FormHandle();
      const bool was = MaximisedTitle;
      MaximisedTitle = wnd != nullptr && IsZoomed(wnd) &&
                       Geometry().TitleBarHeight(true) < Geometry().TitleBarHeight(false) + 4;
      if (was != MaximisedTitle) skinData_->BGChanged = true;
      borderForm_->SyncWithOwner(false, 255);
      return;
    }
    case CM_VISIBLECHANGED:
      borderForm_->SyncWithOwner(m.WParam == 1, 255);
      return;
    default:
      borderForm_->SyncWithOwner(false, 255);
      return;
  }
}

// A non-client click the border window passed on: -1 asks for its hit
// test; its own code (HTOBJECT) is none of the frame's.
bool TsSkinProvider::ResolveBorderHit(TMessage& m) {
  if (borderForm_ == nullptr) return false;
  switch (m.Msg) {
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONUP:
    case WM_NCLBUTTONDBLCLK:
      break;
    default:
      return false;
  }
  if (static_cast<int>(m.WParam) == -1) m.WParam = static_cast<WPARAM>(borderForm_->HitTest(m));
  return static_cast<int>(m.WParam) == HTOBJECT;
}

namespace {

// The frame of a window: its provider's when it has one, else its style
// with the default manager's skin.
TsFrameGeometry FrameGeometryOf(HWND wnd) {
  if (wnd != nullptr && IsWindow(wnd)) {
    auto* provider = dynamic_cast<TsSkinProvider*>(
        reinterpret_cast<TacFormProvider*>(SendCommandToWindow(wnd, cmdGetProvider, 0)));
    if (provider != nullptr) return provider->Geometry();
  }
  TsFrameGeometry g;
  if (DefaultManager != nullptr) g.Skin = FrameSkinOf(DefaultManager->CommonSkinData());
  g.Sys = {GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CXDLGFRAME),
           GetSystemMetrics(SM_CYCAPTION), GetSystemMetrics(SM_CYSMCAPTION),
           GetSystemMetrics(SM_CYMENU)};
  if (wnd != nullptr) {
    const LONG style = GetWindowLongW(wnd, GWL_STYLE);
    g.State.ThickFrame = (style & WS_THICKFRAME) != 0;
    g.State.BorderBit = (style & WS_BORDER) != 0;
  }
  return g;
}

}  // namespace

void InstallFrameSizeServices(TacFormServices& services) {
  services.FrameBorderWidth = [](HWND wnd, bool borderForm, bool useSkin) {
    TsFrameGeometry g = FrameGeometryOf(wnd);
    g.State.BorderForm = borderForm;
    return g.FrameBorderWidth(useSkin);
  };
  services.SkinTitleHeight = [](bool borderForm) {
    TsFrameGeometry g = FrameGeometryOf(nullptr);
    g.State.BorderForm = borderForm;
    return g.SkinTitleHeight();
  };
  services.SkinFrameWidth = [](bool borderForm) {
    TsFrameGeometry g = FrameGeometryOf(nullptr);
    g.State.BorderForm = borderForm;
    return g.SkinFrameWidth();
  };
}

}  // namespace kv
