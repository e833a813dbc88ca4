// Frame painting of TsSkinProvider: the frame cache (borders, title bar,
// title icon, caption, menu line), its copy onto the window's non-client
// area, and the client background taken from the same cache.
#include <algorithm>

#include "base/TextCodec.h"
#include "classlib/Menus.h"
#include "skin/core/acPlatform.h"
#include "skin/core/acUtils.h"
#include "skin/core/acUtils_win.h"
#include "skin/core/sMessages.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sStyleSimply_win.h"
#include "skin/core/sTextUtils_win.h"
#include "skin/core/sVclUtils_win.h"
#include "skin/forms/sMDIForm_win.h"
#include "skin/forms/sSkinProvider_win.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"
#include "skin/graphics/sSectionPaint.h"

namespace kv {

namespace {

constexpr UINT kCaptionFlags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
// Room between the caption and the added title.
constexpr int kAddedTitleGap = 4;

int StateOf(bool active) { return active ? 1 : 0; }

// A border mask that looks the same active and inactive: the title band
// alone can then be repainted on activation.
bool SingleImage(const TsMaskData* mask) { return mask == nullptr || mask->ImageCount == 1; }

int TextHeight(TCanvas& canvas, const std::string& text) {
  TSize size{};
  CanvasTextExtent(canvas, text.empty() ? std::string("W") : text, size);
  return size.cy;
}

}  // namespace

void UseCaptionFont(TCanvas& canvas) {
  HFONT font = CreateCaptionFont();
  if (font == nullptr) return;
  LOGFONTW lf{};
  if (GetObjectW(font, sizeof(lf), &lf) != 0) {
    TFont& f = *canvas.Font();
    f.SetName(Utf16ToUtf8(reinterpret_cast<const char16_t*>(lf.lfFaceName)));
    f.SetHeight(lf.lfHeight);
    f.SetStyle(lf.lfWeight >= FW_BOLD ? TFontStyles(fsBold) : TFontStyles());
    f.SetCharset(lf.lfCharSet);
  }
  DeleteObject(font);
}

// --- the cache --------------------------------------------------------------------------

bool TsSkinProvider::FrameCacheOutdated() const {
  const TBitmap* cache = skinData_->CacheBmp.get();
  if (cache == nullptr) return true;
  const TsFrameGeometry g = Geometry();
  if (mdiForm_ != nullptr && mdiForm_->FrameLooksStale()) return true;
  return cache->Width() != g.FrameWidth() || cache->Height() != g.FrameCacheHeight();
}

void TsSkinProvider::InvalidateFrame() {
  skinData_->BGChanged = true;
  FrameRepaintNeeded = true;
  MenuLineCount = -1;
  if (Showing()) SendMessageW(FormHandle(), WM_NCPAINT, 0, 0);
}

// The geometry with the menu line counted, as the painting needs it.
TsFrameGeometry TsSkinProvider::PaintGeometry() {
  TsFrameGeometry g = Geometry();
  if (g.State.HasMenu) g.State.MenuLineCount = std::max(CountMenuLines(), 1);
  return g;
}

void TsSkinProvider::PaintFrameCache() {
  if (form_ == nullptr || (form_->ControlState() & csCreating) != 0) return;
  TsCommonData* sd = skinData_.get();
  TsSkinManager* manager = SkinManager();
  if (manager == nullptr) return;
  if (sd->CacheBmp == nullptr) {
    sd->CacheBmp = HasBorderForm() ? NewBitmap32(0, 0) : NewBitmap24(0, 0);
    sd->UpdateChildBgFlags(false);
    if (!form_->HasState(csLoading)) {
      TMessage m{SM_ALPHACMD, CommandWParam(cmdChildBgFlags), 1, 0};
      BroadcastToChildren(form_, m);
    }
  }
  // A maximised child still being shown repaints this frame when it is up.
  if (FrameRepaintNeeded) {
    HWND child = MaximisedActiveChild();
    TControl* shown = child != nullptr ? TWinControl::FromHandle(child) : nullptr;
    const auto* childForm = dynamic_cast<TCustomForm*>(shown);
    if (childForm != nullptr && (childForm->FormState() & fsShowing) != 0) return;
  }
  // A stale size is as stale as a changed look.
  if (sd->BGChanged || FrameCacheOutdated()) {
    const TsFrameGeometry g = PaintGeometry();
    // Only a cache of the frame's size can take the title alone: after a
    // resize the whole frame moves.
    const bool titleOnly = !FrameRepaintNeeded && SingleImage(sd->BorderMask()) &&
                           !FrameCacheOutdated() && SavedTitleFits(g) &&
                           g.TitleBarHeight(true) != 0 && !g.State.BorderForm;
    if (titleOnly)
      RepaintTitleArea(g);
    else
      PaintWholeFrame(g);
    FrameRepaintNeeded = false;
    sd->BGChanged = false;
    if (form_->OnPaint && NeedsParentCheck(sd)) {
      TBitmapCanvas canvas(*sd->CacheBmp);
      HDC dc = canvas.Handle();
      const TSavedDC saved(dc);
      SetWindowOrgEx(dc, -g.ClientLeftOffset(), -g.ClientTopOffset(), nullptr);
      const TCanvasBinding binding(*form_->Canvas(), dc, true);
      form_->OnPaint(form_);
    }
  }
  FramePainted = true;
  sd->BGChanged = false;
  SetPaintingSuspended(sd, false);
}

void TsSkinProvider::PaintWholeFrame(const TsFrameGeometry& g) {
  TsCommonData* sd = skinData_.get();
  const TsSkinModel& skin = SkinManager()->Skin();
  TBitmap* cache = sd->CacheBmp.get();
  // The region follows size and skin changes, which mark it themselves.
  cache->SetSize(g.FrameWidth(), g.FrameCacheHeight());
  // A border form's shadow goes round the frame, not over its edge.
  const TRect frame = g.FrameRect();
  const int state = StateOf(formActive_);
  if (skin.IsSectionIndexValid(sd->SkinIndex)) {
    if (sd->CustomColor()) {
      TBitmapCanvas canvas(*cache);
      FillRectWithColor(canvas.Handle(), frame, ColorToRGB(FormColor()));
    } else {
      // The background keeps one colour whatever the activity, so that
      // the client copied from here never goes stale on activation.
      TRect back = frame;
      if (g.State.Form.Iconic) back.Bottom = std::min(back.Bottom, g.TitleBandBottom());
      PaintSkinDataBackground(sd, EmptyBgCacheInfo, 0, back, {0, 0}, cache);
    }
    if (g.HasTitleBar() && !BorderWindowDrawsFrame(g)) {
      if (const TsMaskData* border = sd->BorderMask(); border != nullptr)
        PaintMaskNinePart(cache, frame, false, MakeBgCacheInfo(cache, 0, 0), *border,
                          skin.MasterBitmap.get(), state, true);
      // The corner pictures lie over the border.
      PaintCornerImages(skin, sd->SkinIndex, state, frame, cache);
    }
    if (GripWanted() && NeedsParentCheck(sd)) {
      sd->BGChanged = false;
      PaintGrip(cache);
    }
  }
  // With BORDERMODE 1 title and caption go onto the border picture.
  if (!BorderWindowDrawsFrame(g)) PaintTitleBar(g, cache);
  if (g.State.HasMenu && g.HasVisibleMenu() && g.MenuHeight() > 0) PaintMenuLine(g, cache);
  if (mdiForm_ != nullptr) {
    mdiForm_->PaintMDIArea(g, cache);
    mdiForm_->PaintChildButtons(g, cache);
  }
  if (SingleImage(sd->BorderMask()) && !SavedTitleFits(g)) SaveTitleBar(g);
  if (!BorderWindowDrawsFrame(g)) {
    PaintCaptionText(g, cache, true);
    PaintTitleBarButtons(g);
  }
  PaintBorderShadow(g);
}

void TsSkinProvider::PaintTitleBarButtons(const TsFrameGeometry& g) {
  if (g.TitleBarHeight(true) == 0 || !drawNonClientArea_) return;
  SaveButtonStrip(g);
  PaintTitleButtons(g);
}

// The saved title band has the frame's width and the title's height (a
// maximised or restyled title may be taller or shorter).
bool TsSkinProvider::SavedTitleFits(const TsFrameGeometry& g) const {
  const TBitmap* cache = skinData_->CacheBmp.get();
  return savedTitleBmp_ != nullptr && cache != nullptr &&
         savedTitleBmp_->Width() == cache->Width() &&
         savedTitleBmp_->Height() == std::min(g.TitleBandBottom(), cache->Height());
}

void TsSkinProvider::SaveTitleBar(const TsFrameGeometry& g) {
  TBitmap* cache = skinData_->CacheBmp.get();
  const int height = std::min(g.TitleBandBottom(), cache->Height());
  if (height <= 0) return;
  savedTitleBmp_ = NewBitmap24(cache->Width(), height);
  CopyPixels(savedTitleBmp_.get(), 0, 0, cache, 0, 0, cache->Width(), height);
}

// Activation of a form whose borders do not change: the title band comes
// back from the saved copy and only its own items are painted again.
void TsSkinProvider::RepaintTitleArea(const TsFrameGeometry& g) {
  TBitmap* cache = skinData_->CacheBmp.get();
  CopyPixels(cache, 0, 0, savedTitleBmp_.get(), 0, 0, savedTitleBmp_->Width(),
             savedTitleBmp_->Height());
  if (!drawNonClientArea_) return;
  PaintTitleBar(g, cache);
  SaveButtonStrip(g);
  PaintTitleButtons(g);
  PaintCaptionText(g, cache, false);
}

void TsSkinProvider::PaintTitleBar(const TsFrameGeometry& g, TBitmap* cache) {
  if (g.TitleBarHeight(true) <= 0 || !drawNonClientArea_) return;
  const TsSkinModel& skin = SkinManager()->Skin();
  if (skin.IsSectionIndexValid(TitleSectionIndex) && !BorderWindowDrawsFrame(g)) {
    const TRect band = g.TitleBandRect();
    const std::string& name = skin.GeneralData[static_cast<size_t>(TitleSectionIndex)].ClassName;
    PaintSkinItem(TitleSectionIndex, name, MakeBgCacheInfo(cache, 0, 0), true, StateOf(formActive_),
                  band, {0, 0}, cache, &skin);
  }
  PaintTitleIcon(g, cache);
  PaintTitleBarMask(g, cache);
}

// The icon the title shows: the window's own, the class's, the application's,
// the program file's (its large one for a title icon above 16 pixels), else
// the system's.
HICON TsSkinProvider::TitleIconHandle(int iconHeight) const {
  HWND wnd = FormHandle();
  if (wnd == nullptr) return nullptr;
  HICON icon = reinterpret_cast<HICON>(SendMessageW(wnd, WM_GETICON, ICON_SMALL, 0));
  if (icon == nullptr) icon = reinterpret_cast<HICON>(SendMessageW(wnd, WM_GETICON, ICON_BIG, 0));
  if (icon == nullptr) icon = reinterpret_cast<HICON>(GetClassLongPtrW(wnd, GCLP_HICONSM));
  if (icon == nullptr) icon = reinterpret_cast<HICON>(GetClassLongPtrW(wnd, GCLP_HICON));
  if (icon == nullptr && Application != nullptr)
    icon = reinterpret_cast<HICON>(SendMessageW(Application->Handle(), WM_GETICON, ICON_SMALL2, 0));
  if (icon == nullptr) icon = iconHeight > 16 ? ProgramLargeIcon : ProgramSmallIcon;
  if (icon == nullptr) icon = LoadIconW(nullptr, IDI_APPLICATION);
  return icon;
}

void TsSkinProvider::PaintTitleIcon(const TsFrameGeometry& g, TBitmap* cache) {
  if (!g.ShowsTitleIcon()) return;
  const TRect r = g.TitleIconRect();
  if (r.Width() <= 0 || r.Height() <= 0) return;
  TBitmap& glyph = TitleIcon.Glyph;
  if (!glyph.Empty()) {
    if (glyph.PixelFormat() == pf32bit) {
      CopyRectWithTransparency(Bounds(r.Left, r.Top, glyph.Width(), glyph.Height()),
                               Rect(0, 0, glyph.Width(), glyph.Height()), cache, &glyph,
                               EmptyBgCacheInfo, false);
      return;
    }
    // Stretched pixel for pixel, so that the see-through colour stays exact.
    std::unique_ptr<TBitmap> sized = NewBitmap24(r.Width(), r.Height());
    {
      TBitmap source(glyph);
      source.SetPixelFormat(pf24bit);
      TBitmapCanvas from(source), to(*sized);
      SetStretchBltMode(to.Handle(), COLORONCOLOR);
      StretchBlt(to.Handle(), 0, 0, r.Width(), r.Height(), from.Handle(), 0, 0, source.Width(),
                 source.Height(), SRCCOPY);
    }
    CopyBitmapSkipTransparent(cache, sized.get(), r.Left, r.Top, clFuchsia);
    return;
  }
  HICON icon = TitleIconHandle(r.Height());
  if (icon == nullptr) return;
  TBitmapCanvas canvas(*cache);
  DrawIconEx(canvas.Handle(), r.Left, r.Top, icon, r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
}

void TsSkinProvider::PaintTitleBarMask(const TsFrameGeometry& g, TBitmap* cache) {
  if (VisibleStandardButtons(g) == 0) return;
  const TsSkinModel& skin = SkinManager()->Skin();
  const TsCommonData* sd = skinData_.get();
  if (!skin.IsSectionIndexValid(sd->SkinIndex)) return;
  const int index = skin.MaskIndexOf(
      sd->SkinIndex, skin.GeneralData[static_cast<size_t>(sd->SkinIndex)].ClassName, "TITLEBAR");
  if (!skin.IsMaskIndexValid(index)) return;
  const TsMaskData& mask = skin.MaskData[static_cast<size_t>(index)];
  const int width = TitleButtonsWidth() + 2 * (MaskFrameWidth(mask) / 3);
  const int right = cache->Width() - g.State.ShadowMargins.Right;
  const TRect r = Rect(right - width, 0, right, std::min(g.TitleBandBottom(), cache->Height()));
  PaintMaskNinePart(cache, r, true, MakeBgCacheInfo(cache, 0, 0), mask, skin.MasterBitmap.get(),
                    StateOf(formActive_), true);
}

int TsSkinProvider::CaptionTextHeight() const {
  const std::unique_ptr<TBitmap> probe = NewBitmap24(1, 1);
  TBitmapCanvas canvas(*probe);
  UseCaptionFont(canvas);
  return TextHeight(canvas, form_ != nullptr ? form_->Caption() : std::string());
}

void TsSkinProvider::PaintCaptionText(const TsFrameGeometry& g, TBitmap* cache, bool withPlate) {
  if (g.TitleBarHeight(true) <= 0 || !drawNonClientArea_) return;
  TsSkinManager* manager = SkinManager();
  const TsSkinModel& skin = manager->Skin();
  const bool plate = withPlate && skin.IsSectionIndexValid(CaptionSectionIndex);
  TRect r = g.CaptionTextRect(TitleButtonsWidth(), plate);
  if (r.Right <= r.Left || r.Bottom <= r.Top) return;
  TBitmapCanvas canvas(*cache);
  UseCaptionFont(canvas);
  const std::string text = form_->Caption();
  r = CentredRows(r, TextHeight(canvas, text));
  const UINT flags = kCaptionFlags | AlignmentTextFlags(form_, captionAlignment_);
  TRect textRect = r;
  if (plate && !text.empty()) {
    TRect measured = r;
    DrawTextString(canvas.Handle(), text, measured, flags | DT_CALCRECT);
    const int free = r.Width() - measured.Width();
    // Where the text goes: a right-to-left form mirrors the alignment.
    if ((flags & DT_CENTER) != 0)
      OffsetRect(measured, free / 2, 0);
    else if ((flags & DT_RIGHT) != 0)
      OffsetRect(measured, free, 0);
    InflateRect(measured, 4, 2);
    measured.Right = std::min(measured.Right, cache->Width());
    measured.Bottom = std::min(measured.Bottom, cache->Height());
    const std::string& name = skin.GeneralData[static_cast<size_t>(CaptionSectionIndex)].ClassName;
    // The plate lies over the title as painted so far; only the title band
    // is copied, the plate never leaves it.
    const int band = std::min(cache->Height(), std::max(measured.Bottom, g.TitleBandBottom()));
    const std::unique_ptr<TBitmap> under = NewBitmap32(cache->Width(), band);
    CopyPixels(under.get(), 0, 0, cache, 0, 0, cache->Width(), band);
    measured.Bottom = std::min(measured.Bottom, band);
    PaintSkinItem(CaptionSectionIndex, name, MakeBgCacheInfo(under.get(), 0, 0), true,
                  StateOf(formActive_), measured, {0, 0}, cache, &skin);
  }
  const int section = plate ? CaptionSectionIndex : TitleSectionIndex;
  WriteSectionText(canvas, text, true, textRect, flags, section, formActive_, manager);
  // Also on the title-only repaint, or activation would take the text away.
  if (!AddedTitle.Text().empty()) {
    TRect measured = textRect;
    if (!text.empty()) DrawTextString(canvas.Handle(), text, measured, flags | DT_CALCRECT);
    TRect added = textRect;
    added.Left = (text.empty() ? textRect.Left : measured.Right) + kAddedTitleGap;
    // The cache's one canvas: a bitmap is selected into one context at a time.
    PaintAddedTitle(canvas, added);
  }
}

// The added title after the caption: its own font, in the title's font
// colour unless it names one (mixed with the title for an inactive form).
void TsSkinProvider::PaintAddedTitle(TCanvas& canvas, TRect r) {
  if (r.Left + 8 >= r.Right) return;
  const TsSkinModel& skin = SkinManager()->Skin();
  TColor colour = AddedTitle.Font().Color();
  TColor titleFont = clWindowText, titleColour = clWindowText;
  if (skin.IsSectionIndexValid(TitleSectionIndex)) {
    const TsGeneralData& title = skin.GeneralData[static_cast<size_t>(TitleSectionIndex)];
    titleFont = static_cast<TColor>(formActive_ ? title.HotFontColor[0] : title.FontColor[0]);
    titleColour = static_cast<TColor>(title.Color);
  }
  if (colour == clNone || colour == clWindowText)
    colour = titleFont;
  else if (!formActive_)
    colour = MixColorsByFraction(ColorToRGB(colour), ColorToRGB(titleColour), 0.5);
  canvas.Font()->Assign(AddedTitle.Font());
  canvas.Font()->SetColor(colour);
  canvas.Brush()->SetStyle(bsClear);
  r = CentredRows(r, TextHeight(canvas, AddedTitle.Text()));
  HDC dc = canvas.Handle();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(colour));
  DrawTextString(dc, AddedTitle.Text(), r, kCaptionFlags);
}

void TsSkinProvider::PaintMenuLine(const TsFrameGeometry& g, TBitmap* cache) {
  const TsSkinModel& skin = SkinManager()->Skin();
  int section = menuLineSkin_.empty() ? -1 : skin.SectionIndexOf(menuLineSkin_);
  if (!skin.IsSectionIndexValid(section)) section = skin.SectionIndexOf("MENULINE");
  const int m = g.MenuLinesHeight();
  const TRect band = Rect(g.State.ShadowMargins.Left, g.TitleBandBottom(),
                          cache->Width() - g.State.ShadowMargins.Right, g.TitleBandBottom() + m);
  if (skin.IsSectionIndexValid(section) && band.Bottom <= cache->Height())
    PaintSkinItem(section, skin.GeneralData[static_cast<size_t>(section)].ClassName,
                  MakeBgCacheInfo(cache, 0, 0), true, 0, band, {0, 0}, cache, &skin);
  // The menu painter draws each item over this background.
  if (menuLineBmp_ == nullptr) menuLineBmp_ = NewBitmap24(0, 0);
  menuLineBmp_->SetSize(g.FrameWidth() - g.State.ShadowMargins.Left, m);
  CopyPixels(menuLineBmp_.get(), 0, 0, cache, band.Left, band.Top, band.Width(), m);
  menuLineOrigin_ = {band.Left, band.Top};
  PaintMenuLineItems(cache);
}

bool TsSkinProvider::RebuildFormMenu() {
  // A rebuild can come back here through the menu's change notification.
  static bool rebuilding = false;
  TMainMenu* menu = form_ != nullptr ? form_->Menu() : nullptr;
  if (rebuilding || menu == nullptr || menu->Items()->Count() == 0) return false;
  rebuilding = true;
  menu->Rebuild();
  rebuilding = false;
  return true;
}

// --- onto the window --------------------------------------------------------------------

void TsSkinProvider::CopyFrameToDC(HDC dc) {
  TsCommonData* sd = skinData_.get();
  // Only a stale cache is painted again: every change of the frame's look
  // marks it, and a frame painting with nothing changed is a copy.
  if (sd->BGChanged || FrameCacheOutdated()) PaintFrameCache();
  TBitmap* cache = sd->CacheBmp.get();
  if (cache == nullptr || cache->Empty() || dc == nullptr) return;
  const TsFrameGeometry g = Geometry();
  TBitmapCanvas canvas(*cache);
  HDC src = canvas.Handle();
  const int w = g.State.Width, h = g.State.Height;
  int top = g.CaptionHeight(), side = g.SideBorderWidth(true);
  int bottom = g.BottomBorderWidth(true);
  // Without a border form the cache lies on the window point for point;
  // with one the window shows the part of the picture it covers.
  const TPoint o = g.CacheOffset();
  if (g.State.BorderForm) {
    // Below a menu bar the picture's client starts a row higher than the
    // window's: the window's own place of its client counts.
    const TPoint client = ClientPlace();
    top = client.Y;
    side = client.X;
    bottom = std::max(0, h - top - g.State.ClientHeight);
  }
  BitBlt(dc, 0, 0, w, top, src, o.X, o.Y, SRCCOPY);
  BitBlt(dc, 0, top, side, h - top, src, o.X, o.Y + top, SRCCOPY);
  BitBlt(dc, side, h - bottom, w - side, bottom, src, o.X + side, o.Y + h - bottom, SRCCOPY);
  BitBlt(dc, w - side, top, side, h - top, src, o.X + w - side, o.Y + top, SRCCOPY);
}

TPoint TsSkinProvider::ClientPlace() const {
  HWND wnd = FormHandle();
  RECT window{};
  POINT client{0, 0};
  if (wnd == nullptr || !GetWindowRect(wnd, &window) || !ClientToScreen(wnd, &client)) return {};
  return {client.x - window.left, client.y - window.top};
}

void TsSkinProvider::PaintNonClientArea() {
  if (GlobalRedrawLock || !drawNonClientArea_) return;
  HWND wnd = FormHandle();
  if (wnd == nullptr) return;
  if (ResizeMode == rmBorder && IsDwmCompositionOn()) ResizeMode = rmStandard;
  // Under an active maximised child nothing of this child shows.
  if (CoveredByMaximisedChild()) return;
  if (!MenuRebuilt && RebuildFormMenu()) MenuRebuilt = true;
  TsCommonData* sd = skinData_.get();
  SetPaintingSuspended(sd, false);
  if (sd->CacheBmp != nullptr && sd->CacheBmp->Width() == 0) sd->BGChanged = true;
  const bool stale = sd->BGChanged || FrameCacheOutdated();
  HDC dc = GetWindowDC(wnd);
  if (dc == nullptr) return;
  {
    const TSavedDC saved(dc);
    const TsFrameGeometry g = Geometry();
    if (!g.HasTitleBar() && g.State.ThickFrame && !g.State.Form.Iconic) {
      // A sizeable form without a title: only its borders.
      if (sd->BGChanged || FrameCacheOutdated()) PaintFrameCache();
      TBitmap* cache = sd->CacheBmp.get();
      if (cache != nullptr && !cache->Empty()) {
        TBitmapCanvas canvas(*cache);
        CopyBorderStrips(dc, 0, 0, g.State.Width, g.State.Height, canvas.Handle(), 0, 0,
                         g.SideBorderWidth(true));
      }
    } else {
      CopyFrameToDC(dc);
    }
  }
  ReleaseDC(wnd, dc);
  InRegionUpdate = false;
  SyncBorderForm(stale, 255);
}

// --- client -----------------------------------------------------------------------------

void TsSkinProvider::PaintClientBackground(HDC dc, bool full) {
  TsCommonData* sd = skinData_.get();
  HWND wnd = FormHandle();
  if (dc == nullptr || wnd == nullptr) return;
  RECT client{};
  GetClientRect(wnd, &client);
  if (sd->CustomColor() || form_->FormStyle() == fsMDIForm) {
    FillRectWithColor(dc, Rect(0, 0, client.right, client.bottom), FormColor());
    return;
  }
  if (!FramePainted || sd->BGChanged || FrameCacheOutdated()) PaintFrameCache();
  TBitmap* cache = sd->CacheBmp.get();
  if (cache == nullptr || cache->Empty()) {
    FillRectWithColor(dc, Rect(0, 0, client.right, client.bottom), FormColor());
    return;
  }
  const TRect whole = Rect(0, 0, client.right, client.bottom);
  CopyCacheToDC(form_, sd, {ClientLeftOffset(), ClientTopOffset()}, 0, 0, dc, whole);
  // The class library paints the windowless children next; a see-through one
  // needs the background under it, or it is drawn over what was there before.
  for (int i = 0; i < form_->ControlCount(); ++i) {
    TControl* child = form_->Controls(i);
    if (!child->Visible() || dynamic_cast<TGraphicControl*>(child) == nullptr ||
        (child->ControlStyle() & csOpaque) != 0)
      continue;
    TRect under = child->BoundsRect();
    if (!IntersectRect(under, under, whole)) continue;
    CopyCacheToDC(nullptr, sd, {ClientLeftOffset() + under.Left, ClientTopOffset() + under.Top}, 0,
                  0, dc, under);
  }
  if (full) ResumeChildrenPainting(form_);
}

void TsSkinProvider::PaintFormWindow(TMessage& m) {
  HWND wnd = FormHandle();
  if (wnd == nullptr) return;
  HDC given = reinterpret_cast<HDC>(m.WParam);
  PAINTSTRUCT ps{};
  HDC dc = given != nullptr ? given : BeginPaint(wnd, &ps);
  if (dc == nullptr) return;
  SetPaintingSuspended(skinData_.get(), false);
  // An MDI child other than the active one is painted when it comes up.
  const TsSkinProvider* main = form_->FormStyle() == fsMDIChild ? MDIMainProvider() : nullptr;
  const bool childHidden = form_->FormStyle() == fsMDIChild &&
                           (main == nullptr || main->Form()->ActiveMDIChild() != form_);
  if (!showAnimating_ && !HasState(csDesigning) && !childHidden) PaintClientBackground(dc, true);
  // The class library paints the graphic children and OnPaint over it.
  TMessage inner{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
  CallOld(inner);
  if (given == nullptr) EndPaint(wnd, &ps);
  m.Result = 0;
}

void TsSkinProvider::PaintFormTo(HDC dc) {
  HWND wnd = FormHandle();
  if (wnd == nullptr) return;
  const bool own = dc == nullptr;
  if (own) dc = GetDC(wnd);
  PaintClientBackground(dc, false);
  if (GripWanted()) PaintGripTo(dc);
  if (own) ReleaseDC(wnd, dc);
}

}  // namespace kv
