#include "skin/controls/sStatusBar_win.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "skin/core/acUtils.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sTextUtils_win.h"
#include "skin/geometry/sStatusBarGeometry.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"
#include "skin/graphics/sSectionPaint.h"

namespace kv {

namespace {

// A status text is one line; centred on it vertically.
constexpr UINT PanelTextFlags = DT_SINGLELINE | DT_NOPREFIX;

}  // namespace

TsStatusBar::TsStatusBar(TComponent* owner)
    : TsSkinnedControl<TStatusBar>(owner, 151, true, ccContainer) {
  SetControlStyle(ControlStyle() | csAcceptsControls | csOpaque);
}

bool TsStatusBar::SkinUsable() {
  return ControlReadyToPaint(this) && SkinAvailable(SkinData(), true);
}

// --- the cache ---------------------------------------------------------------------

bool TsStatusBar::RenderCache() {
  TsCommonData* sd = SkinData();
  sd->Updating = PaintingSuspended(sd);
  if (sd->Updating) return false;
  if (Parent() != nullptr) {
    // Half visible: a corner lies outside the parent's client area.
    const TRect client = Parent()->ClientRect();
    const auto inside = [&](int x, int y) {
      return x >= client.Left && x <= client.Right && y >= client.Top && y <= client.Bottom;
    };
    sd->PaintSkipped = !inside(Left(), Top()) || !inside(Left() + Width(), Top() + Height());
  }
  const TBitmap* cache = sd->CacheBmp.get();
  const bool fits = cache != nullptr && cache->Width() == Width() && cache->Height() == Height();
  const bool needed = sd->BGChanged || sd->PaintSkipped || !fits ||
                      (Parent() != nullptr && QueryControlCommand(Parent(), cmdGetPaintSkipped));
  if (needed && !sd->ParentBgForced) PrepareCache();
  return true;
}

void TsStatusBar::PrepareCache() {
  TsCommonData* sd = SkinData();
  if (sd->SkinManager() == nullptr) return;
  TsBgCacheInfo background;
  GetParentBgInfo(sd, background);
  PrepareCacheBitmap24(sd);
  PaintSkinDataItem(sd, background, true, 0, {0, 0, Width(), Height()}, {Left(), Top()},
                    sd->CacheBmp.get(), true);
  PaintPanels();
  if (SizeGrip()) PaintGrip();
  sd->BGChanged = false;
}

void TsStatusBar::PaintPanels() {
  TBitmapCanvas canvas(*SkinData()->CacheBmp);
  canvas.Font()->Assign(*Font());
  canvas.Brush()->SetStyle(bsClear);
  cacheCanvas_ = &canvas;
  struct TReset {
    TCanvas*& canvas;
    ~TReset() { canvas = nullptr; }
  } reset{cacheCanvas_};
  // The bar's own canvas draws on the cache while the panels are painted.
  const TCanvasBinding onCache(*Canvas(), canvas.Handle());
  TStatusPanels& panels = *Panels();
  if (SimplePanel() || panels.Count() == 0) {
    PaintSkinnedPanel(nullptr, StatusSimplePlace(Width(), Height()).Bounds);
    return;
  }
  std::vector<int> widths;
  for (int i = 0; i < panels.Count(); ++i) widths.push_back(panels[i]->Width());
  const auto places = StatusPanelPlaces(widths, Width(), Height(), 0);
  for (int i = 0; i < panels.Count(); ++i) DrawPanel(panels[i], places[i].Bounds);
}

void TsStatusBar::DrawPanel(TStatusPanel* panel, const TRect& rect) {
  if (cacheCanvas_ == nullptr || !SkinUsable()) return TStatusBar::DrawPanel(panel, rect);
  TRect drawn = rect;
  InflateRect(drawn, -1, -1);
  PaintSkinnedPanel(panel, drawn);
}

void TsStatusBar::PaintSkinnedPanel(TStatusPanel* panel, const TRect& drawn) {
  TsCommonData* sd = SkinData();
  const TsSkinModel& skin = sd->SkinManager()->Skin();
  TBitmap* cache = sd->CacheBmp.get();
  const TRect frame = StatusPanelFrame(drawn);
  if (skin.IsSectionIndexValid(sd->SkinIndex)) {
    const int mask = skin.MaskIndexOf(sd->SkinIndex, sd->SkinSection(), "STATUSPANELMASK");
    if (skin.IsMaskIndexValid(mask)) {
      const TRect r = panel != nullptr ? frame : TRect{0, 0, Width(), Height()};
      PaintMaskNinePart(cache, r, true, MakeBgCacheInfo(cache, 0, 0),
                        skin.MaskData[static_cast<size_t>(mask)], skin.MasterBitmap.get(), 0, true);
    } else if (panel != nullptr && panel->Index() + 1 < Panels()->Count()) {
      PaintDivider(drawn.Right);
    }
  }
  if (panel != nullptr && panel->Style() == psOwnerDraw && OnDrawPanel) {
    OnDrawPanel(this, panel, frame);
    return;
  }
  const TRect text = StatusPanelText(drawn);
  const std::string shown = CutTextWithEllipsis(
      *cacheCanvas_, panel != nullptr ? panel->Text() : SimpleText(), text.Width());
  if (shown.empty()) return;
  TsSkinTextSource source;
  source.Manager = sd->SkinManager();
  source.SkinIndex = sd->SkinIndex;
  source.SectionName = sd->SkinSection();
  source.CtrlTypeCode = sd->ControlType;
  source.HasParent = Parent() != nullptr;
  source.CustomFont = sd->CustomFont();
  source.OwnerFont = Font();
  const TAlignment alignment = panel != nullptr ? panel->Alignment() : taLeftJustify;
  WriteSkinText(*cacheCanvas_, shown, true, text,
                AlignmentTextFlags(this, alignment) | PanelTextFlags, source, false);
}

void TsStatusBar::PaintDivider(int right) {
  TsCommonData* sd = SkinData();
  const TsSkinModel& skin = sd->SkinManager()->Skin();
  const int section = skin.SectionIndexOf("DIVIDER");
  if (!skin.IsSectionIndexValid(section)) return;
  const int mask = skin.MaskIndexOf(section, "DIVIDER", "BORDERSMASK");
  if (!skin.IsMaskIndexValid(mask)) return;
  const TsMaskData& m = skin.MaskData[static_cast<size_t>(mask)];
  const TRect place = StatusDividerRect(right, Height(), m.WL + m.WR);
  // A bar too low for a divider shows none.
  if (IsRectEmpty(place)) return;
  TBitmap* cache = sd->CacheBmp.get();
  TBitmap divider(place.Width(), place.Height(), pf24bit);
  PaintSkinItem(section, "DIVIDER", MakeBgCacheInfo(cache, 0, 0), true, 0,
                {0, 0, place.Width(), place.Height()}, place.TopLeft(), &divider, &skin);
  CopyPixels(cache, place.Left, place.Top, &divider, 0, 0, place.Width(), place.Height());
}

void TsStatusBar::PaintGrip() {
  TsCommonData* sd = SkinData();
  const TsSkinModel& skin = sd->SkinManager()->Skin();
  int mask = skin.MaskIndexByNames("GLOBALINFO", "GRIPIMAGE");
  if (!skin.IsMaskIndexValid(mask)) mask = skin.MaskIndexByNames("FORM", "GRIPIMAGE");
  if (!skin.IsMaskIndexValid(mask)) return;
  const TsMaskData& m = skin.MaskData[static_cast<size_t>(mask)];
  const bool own = m.Bmp != nullptr;
  const TSize glyph = StatusGripGlyphSize(own, own ? m.Bmp->Width() : 0, own ? m.Bmp->Height() : 0,
                                          m.R, m.ImageCount, m.MaskType);
  if (glyph.cx < 1 || glyph.cy < 1) return;
  TBitmap* cache = sd->CacheBmp.get();
  const TPoint at = StatusGripPos(Width(), Height(), BorderWidth(), glyph);
  DrawMaskState(cache, at, 0, MakeBgCacheInfo(cache, 0, 0), m, skin.MasterBitmap.get(), 1);
}

// --- painting ----------------------------------------------------------------------

void TsStatusBar::PaintWindow(HDC dc) {
  if (!SkinUsable()) return TStatusBar::PaintWindow(dc);
  const TSavedDC saved(dc);
  if (!RenderCache()) return;
  TsCommonData* sd = SkinData();
  const int border = BorderWidth();
  CopyCacheToDC(this, sd, {border, border}, 0, 0, dc, ClientRect());
  ResumeChildrenPainting(this);
  sd->BGChanged = false;
}

// WM_PRINT and the background erase: the cache and the windowless children.
void TsStatusBar::PaintToDC(HDC dc) {
  if (dc == nullptr || !RenderCache()) return;
  const int border = BorderWidth();
  CopyCacheToDC(this, SkinData(), {border, border}, 0, 0, dc, ClientRect());
  PaintChildGraphics(this, dc);
}

void TsStatusBar::CopyBorders(HDC dc) {
  const int border = BorderWidth();
  if (border <= 0 || !SkinData()->CacheBmp) return;
  TBitmapCanvas cache(*SkinData()->CacheBmp);
  CopyBorderStrips(dc, 0, 0, Width(), Height(), cache.Handle(), 0, 0, border);
}

// --- messages ----------------------------------------------------------------------

TacCommandOutcome TsStatusBar::SkinCommand(TMessage& m) {
  TsCommonData* sd = SkinData();
  const bool own = reinterpret_cast<TsSkinManager*>(m.LParam) == sd->SkinManager();
  switch (m.WParamHi()) {
    case cmdParentPainted:
      if (!sd->Updating) break;
      sd->Updating = false;
      Repaint();
      Perform(WM_NCPAINT, 1, 0);
      return coAnswered;
    case cmdSkinLoaded:
    case cmdSkinRefresh:
      if (!own) break;
      BroadcastToChildren(this, m);
      HandleSkinCommand(m, sd);
      if (m.WParamHi() == cmdSkinRefresh) {
        Repaint();
        Perform(WM_NCPAINT, 1, 0);
      }
      return coAnswered;
    case cmdSkinRemoved:
      if (!own) break;
      HandleSkinCommand(m, sd);
      // The system bar takes over again in a fresh window; panels and texts
      // are sent to it anew.
      RecreateWnd();
      BroadcastToChildren(this, m);
      return coAnswered;
    default:
      break;
  }
  return HandleSkinCommand(m, sd);
}

bool TsStatusBar::SkinnedMessage(TMessage& m) {
  TsCommonData* sd = SkinData();
  switch (m.Msg) {
    case WM_ERASEBKGND:
      sd->Updating = PaintingSuspended(sd);
      if (!sd->Updating && !sd->BGChanged && m.WParam != 0)
        PaintToDC(reinterpret_cast<HDC>(m.WParam));
      m.Result = 1;
      return true;
    case WM_MOVE:
      if (const TsGeneralData* section = sd->Section();
          section != nullptr && (section->Transparency > 0 || section->HotTransparency > 0))
        sd->BGChanged = true;
      return false;
    case WM_PAINT:
      // The class library's painting runs, with ours as the window's part.
      SetControlState(ControlState() | csCustomPaint);
      if (!PreviewControlMessage(m, sd)) TStatusBar::WndProc(m);
      SetControlState(ControlState() & ~csCustomPaint);
      return true;
    case WM_NCPAINT:
      if (BorderWidth() == 0 || !Visible()) return false;
      sd->Updating = PaintingSuspended(sd);
      if (!sd->Updating && RenderCache()) {
        HDC dc = GetWindowDC(Handle());
        CopyBorders(dc);
        ReleaseDC(Handle(), dc);
      }
      return true;
    case WM_PRINT: {
      if (!Visible() || m.WParam == 0) return true;
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      if (!RenderCache()) return true;
      CopyBorders(dc);
      const int border = BorderWidth();
      const TSavedDC saved(dc);
      POINT origin;
      GetWindowOrgEx(dc, &origin);
      SetWindowOrgEx(dc, origin.x - border, origin.y - border, nullptr);
      IntersectClipRect(dc, 0, 0, ClientWidth(), ClientHeight());
      PaintToDC(dc);
      return true;
    }
    default:
      return false;
  }
}

void TsStatusBar::AfterMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_SIZE:
      if (Visible() && BorderWidth() > 0) Perform(WM_NCPAINT, 1, 0);
      break;
    case SB_SETTEXTW:
    case SB_SETTEXTA:
    case SB_SIMPLE:
    case SB_GETRECT:
    case SB_SETPARTS:
      SkinData()->BGChanged = true;
      break;
    default:
      break;
  }
}

}  // namespace kv
