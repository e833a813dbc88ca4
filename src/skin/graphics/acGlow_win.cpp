// The glow windows themselves (Windows build only).
#include <windows.h>

#include "classlib/PlatformCalls.h"
#include "skin/graphics/acGlow.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/model/sSkinModel.h"

namespace kv {

std::vector<std::unique_ptr<TacGlowEffect>> TacGlowEffects;

namespace {

constexpr wchar_t kGlowClass[] = L"TacGlowEffect";
constexpr BLENDFUNCTION GlowBlend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};

// The mouse goes through the halo to whatever lies below it.
LRESULT CALLBACK GlowWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCHITTEST) return HTTRANSPARENT;
  return DefWindowProcW(wnd, msg, wParam, lParam);
}

void RegisterGlowClass() {
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = GlowWndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kGlowClass;
    return RegisterClassW(&wc) != 0;
  }();
  (void)registered;
}

// Just above the parent, or among the topmost windows when it is one of them.
HWND GlowPlace(HWND parent) {
  if (parent && (GetWindowLongPtrW(parent, GWL_EXSTYLE) & WS_EX_TOPMOST)) return HWND_TOPMOST;
  HWND above = parent ? GetWindow(parent, GW_HWNDPREV) : nullptr;
  return above ? above : HWND_TOP;
}

// Moves the new glow window right above its parent. The window looked up
// above the parent may belong to another program and go away before the
// move, which then fails and leaves the glow on top of everything: the
// place is looked up again until the glow sits where it belongs.
void PlaceGlow(HWND glow, HWND parent, const TacGlowPlacement& p) {
  constexpr int kAttempts = 4;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const HWND place = GlowPlace(parent);
    if (place != glow)
      SetWindowPos(glow, place, p.X, p.Y, p.Width, p.Height, SWP_NOACTIVATE);
    if (!parent || place == HWND_TOPMOST || GetWindow(parent, GW_HWNDPREV) == glow) return;
  }
}

// Pushes the picture (premultiplied only now) to the layered window.
void UpdateGlowPixels(HWND wnd, const TBitmap& picture, const TacGlowPlacement& p) {
  const auto pre = PremultipliedCopy(picture);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(mem, reinterpret_cast<HBITMAP>(pre->Handle()));
  POINT dst{p.X, p.Y}, src{0, 0};
  SIZE size{p.Width, p.Height};
  BLENDFUNCTION blend = GlowBlend;
  PlatformCalls().UpdateLayeredWindow(wnd, screen, &dst, &size, mem, &src, 0, &blend, ULW_ALPHA);
  SelectObject(mem, old);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
}

}  // namespace

TacGlowEffect::TacGlowEffect(const TsSkinModel& skin, int maskIndex)
    : MaskIndex(maskIndex), master_(skin.MasterBitmap) {
  if (!skin.IsMaskIndexValid(maskIndex)) return;
  mask_ = skin.MaskData[maskIndex];
  maskMargins_ = {skin.MaskMarginLeft(maskIndex), skin.MaskMarginTop(maskIndex),
                  skin.MaskMarginRight(maskIndex), skin.MaskMarginBottom(maskIndex)};
}

TacGlowEffect::~TacGlowEffect() {
  if (window_) DestroyWindow(window_);
}

void TacGlowEffect::MakeGlowBitmap(int width, int height) {
  TacGlowPlacement whole;
  whole.FullWidth = whole.Width = width;
  whole.FullHeight = whole.Height = height;
  bitmap_ = MakeGlowPicture(whole, mask_, master_.get());
}

bool TacGlowEffect::Build(const TRect& r, const TRect& clipR, HWND parentWnd, int) {
  if (window_) return true;
  const TacGlowPlacement p = GlowPlacement(r, clipR, maskMargins_, Margin);
  if (p.Empty()) return false;
  MakeGlowBitmap(p.FullWidth, p.FullHeight);
  bitmap_ = CutGlowPicture(std::move(bitmap_), p);
  if (!bitmap_) return false;
  RegisterGlowClass();
  window_ = CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                            kGlowClass, L"", WS_POPUP, p.X, p.Y, p.Width, p.Height, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window_) return false;
  PlaceGlow(window_, parentWnd, p);
  UpdateGlowPixels(window_, *bitmap_, p);
  ShowWindow(window_, SW_SHOWNOACTIVATE);
  bitmap_.reset();  // the window keeps its own copy
  return true;
}

int ShowGlow(const TRect& r, const TRect& clipR, const std::string& sectionName,
             const TsSkinModel* skin, HWND parentWnd, int alpha, int margin,
             const std::string& maskName) {
  if (!LayeredWindowsAvailable() || !skin) return -1;
  const int index = skin->MaskIndexByNames(sectionName, maskName + "0");
  if (index < 0) return -1;
  auto glow = std::make_unique<TacGlowEffect>(*skin, index);
  glow->Margin = margin;
  if (!glow->Build(r, clipR, parentWnd, alpha)) return -1;
  TacGlowEffects.push_back(std::move(glow));
  return static_cast<int>(TacGlowEffects.size()) - 1;
}

void HideGlow(int index) {
  if (index < 0 || index >= static_cast<int>(TacGlowEffects.size())) return;
  TacGlowEffects[index].reset();
}

void ClearGlows() { TacGlowEffects.clear(); }

}  // namespace kv
