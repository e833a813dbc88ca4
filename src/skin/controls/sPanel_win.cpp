#include "skin/controls/sPanel_win.h"

#include <optional>

#include "classlib/Graphics.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sTextUtils_win.h"
#include "skin/graphics/sGraphUtils.h"

namespace kv {

namespace {

constexpr int ControlTypePanel = 51;

UINT AlignmentFlags(TAlignment alignment) {
  switch (alignment) {
    case taLeftJustify:
      return DT_LEFT;
    case taRightJustify:
      return DT_RIGHT;
    default:
      return DT_CENTER;
  }
}

}  // namespace

TsPanel::TsPanel(TComponent* owner)
    : TsSkinnedControl<TPanel>(owner, ControlTypePanel, true, ccContainer) {}

int TsPanel::Inset() const {
  const int bevels = (BevelInner() != bvNone ? 1 : 0) + (BevelOuter() != bvNone ? 1 : 0);
  return bevels * BevelWidth() + BorderWidth();
}

TPoint TsPanel::ClientOffset() {
  // Only the non-client border moves the client origin; bevels lie inside.
  if (!HandleAllocated()) return {BorderWidth(), BorderWidth()};
  RECT window{};
  GetWindowRect(Handle(), &window);
  POINT origin{0, 0};
  ::ClientToScreen(Handle(), &origin);
  return {origin.x - window.left, origin.y - window.top};
}

bool TsPanel::CachedMode() { return !PaintsPlain(SkinData()); }

void TsPanel::WriteCaption(TRect r, TCanvas* canvas, HDC dc) {
  if (Caption().empty()) return;
  if (canvas == nullptr && dc == nullptr) return;
  TCanvas temporary;
  std::optional<TCanvasBinding> binding;
  if (canvas == nullptr) binding.emplace(temporary, dc);
  TCanvas* target = canvas != nullptr ? canvas : &temporary;
  target->Font()->Assign(*Font());
  target->Brush()->SetStyle(bsClear);
  const int height = target->TextHeight("W");
  r.Top = r.Top + (r.Height() - height) / 2;
  r.Bottom = r.Top + height;
  TsCommonData* sd = SkinData();
  TsSkinTextSource source;
  source.Manager = sd->SkinManager();
  source.SkinIndex = sd->SkinIndex;
  source.SectionName = sd->SkinSection();
  source.CtrlTypeCode = sd->ControlType;
  source.HasParent = Parent() != nullptr;
  source.FontSourceIndex = FontSourceSectionIndex(this, sd->SkinIndex, sd->SkinManager());
  source.CustomFont = sd->CustomFont();
  source.OwnerFont = Font();
  WriteSkinText(*target, Caption(), Enabled(), r,
                AlignmentFlags(Alignment()) | DT_SINGLELINE | DT_VCENTER, source, false);
}

void TsPanel::PrepareCache() {
  TsCommonData* sd = SkinData();
  PrepareCacheBitmap(sd);
  TBitmap* cache = sd->CacheBmp.get();
  const TRect whole{0, 0, Width(), Height()};
  // The border mask without its centre: inside the border the section's own
  // look shows (or, see-through, what lies below).
  if (Parent() != nullptr)
    PaintSkinDataItemOnParent(sd, Parent(), false, 0, whole, {Left(), Top()}, cache);
  else
    PaintSkinDataItem(sd, EmptyBgCacheInfo, false, 0, whole, {0, 0}, cache);
  TBitmapCanvas canvas(*cache);
  WriteCaption(CaptionRect(), &canvas, nullptr);
  if (OnPaint) OnPaint(this, &canvas);
  sd->BGChanged = false;
}

void TsPanel::PaintToDC(HDC dc, bool resumeChildren) {
  TsCommonData* sd = SkinData();
  if (dc == nullptr || !SkinAvailable(sd, false)) return;
  if (CachedMode()) {
    sd->Updating = PaintingSuspended(sd);
    if (sd->Updating) return;
    const bool changed = sd->PaintSkipped || sd->BGChanged;
    RECT clip{};
    GetClipBox(dc, &clip);
    const TRect client = ClientRect();
    sd->PaintSkipped = DependsOnParentBg(sd) && (clip.right - clip.left != client.Width() ||
                                                 clip.bottom - clip.top != client.Height());
    if (changed && !sd->ParentBgForced) PrepareCache();
    CopyCacheToDC(this, sd, ClientOffset(), 0, 0, dc, ClientRect());
    PaintChildGraphics(this, dc);
  } else if (!AnimationActive) {
    PaintDirect(dc);
  }
  if (resumeChildren) ResumeChildrenPainting(this);
}

// Nothing is kept: the look follows the parent at every paint.
void TsPanel::PaintDirect(HDC dc) {
  TsCommonData* sd = SkinData();
  if (OnPaint) {
    const TCanvasBinding binding(*Canvas(), dc);
    OnPaint(this, Canvas());
    return;
  }
  PaintPlainClient(this, sd, dc, ClientOffset(),
                   [this](HDC target) { WriteCaption(CaptionRect(), nullptr, target); });
}

// The client area less the bevels, in the window's coordinates.
TRect TsPanel::CaptionRect() {
  TRect text = ClientRect();
  const TPoint offset = ClientOffset();
  OffsetRect(text, offset.X, offset.Y);
  const int inset = Inset() - BorderWidth();
  InflateRect(text, -inset, -inset);
  return text;
}

void TsPanel::PaintBorderStrips() {
  TsCommonData* sd = SkinData();
  const int border = BorderWidth();
  if (border <= 0 || !HandleAllocated()) return;
  const TWindowDC dc(Handle());
  if (dc.Handle() == nullptr) return;
  if (!CachedMode()) {
    if (AnimationActive || OnPaint) return;
    const TPoint offset = ClientOffset();
    const TRect client = ClientRect();
    ExcludeClipRect(dc.Handle(), offset.X, offset.Y, offset.X + client.Width(),
                    offset.Y + client.Height());
    PaintPlainSkin(this, sd, dc.Handle());
    return;
  }
  if (!sd->CacheBmp || sd->CacheBmp->Empty()) return;
  TBitmapCanvas canvas(*sd->CacheBmp);
  CopyBorderStrips(dc.Handle(), 0, 0, Width(), Height(), canvas.Handle(), 0, 0, border);
}

void TsPanel::Paint() {
  if (Showing() && OnPaint) {
    OnPaint(this, Canvas());
    return;
  }
  TPanel::Paint();
}

TacCommandOutcome TsPanel::SkinCommand(TMessage& m) {
  TsCommonData* sd = SkinData();
  const bool ownManager = reinterpret_cast<TsSkinManager*>(m.LParam) == sd->SkinManager();
  switch (m.WParamHi()) {
    case cmdSkinLoaded:
      SetControlStyle(ControlStyle() & ~csOpaque);
      BroadcastToChildren(this, m);
      if (ownManager) HandleSkinCommand(m, sd);
      return coAnswered;
    case cmdSkinRemoved:
      SetControlStyle(ControlStyle() & ~csOpaque);
      if (ownManager) {
        HandleSkinCommand(m, sd);
        Invalidate();
      }
      BroadcastToChildren(this, m);
      return coAnswered;
    case cmdSkinRefresh:
      if (ownManager) {
        HandleSkinCommand(m, sd);
        if (HandleAllocated() && !HasState(csLoading))
          RedrawWindow(Handle(), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
      }
      BroadcastToChildren(this, m);
      return coAnswered;
    case cmdNeedsRepaint:
      if (!SkinAvailable(sd, true)) break;
      m.Result = PaintingSuspended(sd) ? 1 : 0;
      return coAnswered;
    case cmdGetBackground: {
      if (m.LParam == 0) break;
      auto& request = *reinterpret_cast<TsBgRequest*>(m.LParam);
      if (sd->BGChanged && CachedMode() && !PaintingSuspended(sd) && SkinAvailable(sd, false))
        PrepareCache();
      FillContainerChildBgInfo(sd, request, ClientOffset());
      m.Result = 0;
      return coAnswered;
    }
    default:
      break;
  }
  return HandleSkinCommand(m, sd);
}

bool TsPanel::UnskinnedMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      if (!OnPaint) return false;
      m.Result = 1;
      return true;
    case WM_PRINT:
      if (!OnPaint || m.WParam == 0) return false;
      {
        const TCanvasBinding binding(*Canvas(), reinterpret_cast<HDC>(m.WParam));
        OnPaint(this, Canvas());
      }
      return true;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      // The event comes last, as on the skinned path: its handler may free
      // the panel.
      TPanel::WndProc(m);
      AfterMessage(m);
      return true;
    default:
      return false;
  }
}

bool TsPanel::SkinnedMessage(TMessage& m) {
  TsCommonData* sd = SkinData();
  switch (m.Msg) {
    case SM_ALPHACMD:
      if (m.WParamHi() != cmdParentPainted) return false;
      if (sd->Updating && ResumePaintingAfterParent(sd)) Invalidate();
      ResumeChildrenPainting(this);
      return true;
    case WM_WINDOWPOSCHANGING:
      if (const TsGeneralData* section = sd->Section();
          section != nullptr && section->Transparency != 0)
        sd->BGChanged = true;
      return false;
    case WM_SIZE:
      sd->BGChanged = true;
      return false;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TPanel::WndProc(m);
      return true;
    case WM_PAINT: {
      if (!Visible() && !HasState(csDesigning)) return false;
      const TPaintScope paint(Handle(), reinterpret_cast<HDC>(m.WParam));
      sd->Updating = PaintingSuspended(sd);
      if (!sd->Updating && paint.Handle() != nullptr && (CachedMode() || !ParentBackground()))
        PaintToDC(paint.Handle(), true);
      m.Result = 0;
      return true;
    }
    case WM_ERASEBKGND:
      // Painting happens in WM_PAINT, children left out: erasing would
      // flicker. A panel painting straight into its window that leaves
      // WM_PAINT to its parent's background paints here instead.
      sd->Updating = PaintingSuspended(sd);
      if (!sd->Updating && m.WParam != 0 && !CachedMode() && ParentBackground())
        PaintToDC(reinterpret_cast<HDC>(m.WParam), true);
      m.Result = 1;
      return true;
    case WM_NCPAINT:
      TPanel::WndProc(m);
      PaintBorderStrips();
      return true;
    case WM_PRINT: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      sd->Updating = false;
      PrepareCache();
      const bool whole = (m.LParam & PRF_NONCLIENT) != 0 && BorderWidth() > 0;
      if (dc != nullptr && !whole) {
        PaintToDC(dc, false);
      } else if (dc != nullptr) {
        // The whole window: the cache as it is, the windowless children at
        // the client area's place.
        CopyWholeCache(sd, dc);
        const TSavedDC saved(dc);
        const TPoint offset = ClientOffset();
        OffsetViewportOrgEx(dc, offset.X, offset.Y, nullptr);
        PaintChildGraphics(this, dc);
      }
      if (!CachedMode()) sd->CacheBmp.reset();
      return true;
    }
    case CM_VISIBLECHANGED:
      sd->BGChanged = true;
      sd->Updating = false;
      TPanel::WndProc(m);
      return true;
    case CM_COLORCHANGED:
      if (sd->CustomColor()) sd->BGChanged = true;
      return false;
    case CM_TEXTCHANGED:
      if (Parent() != nullptr) InvalidateControlSkin(sd);
      return true;
    default:
      return false;
  }
}

void TsPanel::AfterMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_SETFONT:
    case CM_ENABLEDCHANGED:
      InvalidateControlSkin(SkinData());
      return;
    case CM_MOUSEENTER:
      RunEvent(OnMouseEnter);
      return;
    case CM_MOUSELEAVE:
      RunEvent(OnMouseLeave);
      return;
    default:
      return;
  }
}

}  // namespace kv
