#include "skin/controls/acProgressBar_win.h"

#include <commctrl.h>

#include "classlib/PlatformCalls.h"
#include "skin/controls/sGauge_win.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sSectionPaint.h"

namespace kv {

namespace {

// The system's own marquee needs visual styles (and a system of XP or later).
bool SystemMarqueeAvailable() {
  return PlatformCalls().IsThemeActive() && PlatformCalls().SystemMajorVersion() >= 5;
}

// WM_SETREDRAW off for a scope: the system bar's own repaint is not wanted.
class TRedrawOff {
 public:
  explicit TRedrawOff(HWND wnd) : wnd_(wnd) { SendMessageW(wnd_, WM_SETREDRAW, FALSE, 0); }
  ~TRedrawOff() { SendMessageW(wnd_, WM_SETREDRAW, TRUE, 0); }
  TRedrawOff(const TRedrawOff&) = delete;
  TRedrawOff& operator=(const TRedrawOff&) = delete;

 private:
  HWND wnd_;
};

}  // namespace

TsProgressBar::TsProgressBar(TComponent* owner)
    : TsSkinnedControl<TProgressBar>(owner, 161, false) {
  SetControlStyle(ControlStyle() | csOpaque);
}

void TsProgressBar::SetProgressSkin(const std::string& value) {
  if (value == progressSkin_) return;
  progressSkin_ = value;
  blocks_.LastBlocks = -1;
  InvalidateControlSkin(SkinData());
}

void TsProgressBar::SetStyle(TProgressBarStyle value) {
  if (value == Style()) return;
  if (value == pbstMarquee) savedPosition_ = Position();
  SetMarqueeRunning(false);
  TProgressBar::SetStyle(value);
  if (value == pbstNormal) SetPosition(savedPosition_);
  blocks_.LastBlocks = -1;
  SkinData()->BGChanged = true;
  SetMarqueeRunning(MarqueeWanted());
}

bool TsProgressBar::MarqueeWanted() {
  // Not the skin's Active flag: a new skin announces itself before it is set.
  return Style() == pbstMarquee && !HasState(csDesigning) && SkinAvailable(SkinData(), false);
}

void TsProgressBar::SetMarqueeRunning(bool on) {
  if (on && !HandleAllocated()) on = false;
  if (on == marqueeRunning_) return;
  marqueeRunning_ = on;
  if (!HandleAllocated()) return;
  if (on)
    SetTimer(Handle(), MarqueeTimerId, MarqueeTick, nullptr);
  else
    KillTimer(Handle(), MarqueeTimerId);
}

void TsProgressBar::CreateParams(TCreateParams& params) {
  TProgressBar::CreateParams(params);
  if (!SystemMarqueeAvailable()) params.Style &= ~static_cast<DWORD>(PBS_MARQUEE);
}

void TsProgressBar::CreateHandleDone() {
  TProgressBar::CreateHandleDone();
  // A new window has no timer of the old one.
  marqueeRunning_ = false;
  SetMarqueeRunning(MarqueeWanted());
}

void TsProgressBar::Loaded() {
  TsSkinnedControl<TProgressBar>::Loaded();
  SetMarqueeRunning(MarqueeWanted());
}

TacProgressBarShape TsProgressBar::Shape() {
  TacProgressBarShape shape;
  shape.Width = Width();
  shape.Height = Height();
  shape.BorderWidth = BorderWidth();
  shape.Vertical = Orientation() == pbVertical;
  shape.Smooth = Smooth();
  shape.Marquee = Style() == pbstMarquee;
  shape.Min = Min();
  shape.Max = Max();
  shape.Position = Position();
  shape.MarqueePos = marqueePos_;
  shape.MarqueeWidth = marqueeWidth_;
  return shape;
}

void TsProgressBar::MarqueeStep() {
  if (!SkinAvailable(SkinData(), true)) {
    SetMarqueeRunning(false);
    return;
  }
  if (!Visible() || !HandleAllocated()) return;
  PrepareCache();
  HDC dc = GetDC(Handle());
  CopyWholeCache(SkinData(), dc);
  ReleaseDC(Handle(), dc);
  marqueePos_ = MarqueeNextPos(marqueePos_, MarqueeStepLength, marqueeDirection_, Width());
}

// --- painting ----------------------------------------------------------------------

void TsProgressBar::PrepareCache() {
  TsCommonData* sd = SkinData();
  TsSkinManager* manager = sd->SkinManager();
  if (manager == nullptr) return;
  PrepareCacheBitmap24(sd);
  TBitmap& cache = *sd->CacheBmp;
  TsBgCacheInfo background;
  GetParentBgInfo(sd, background);
  PaintSkinItem(sd->SkinIndex, sd->SkinSection(), background, true, 0, {0, 0, Width(), Height()},
                {Left(), Top()}, &cache, &manager->Skin(), sd->Texture, sd->HotTexture);
  PaintProgress(cache, Shape());
  sd->BGChanged = false;
}

void TsProgressBar::PaintProgress(TBitmap& cache, const TacProgressBarShape& shape) {
  // An empty range or a bar too thin for a block shows background and frame only.
  const std::vector<TRect> pieces = ProgressPieces(shape);
  if (pieces.empty()) return;
  const TsSkinModel& skin = SkinData()->SkinManager()->Skin();
  const std::string section = ProgressSectionName(progressSkin_, shape.Vertical);
  const int index = skin.SectionIndexOf(section);
  if (!skin.IsSectionIndexValid(index)) return;
  for (const TRect& place : pieces) {
    if (place.Width() < 1 || place.Height() < 1) continue;
    TBitmap piece(place.Width(), place.Height(), pf24bit);
    PaintProgressPiece(piece, cache, place.TopLeft(), index, section, skin);
    CopyPixels(&cache, place.Left, place.Top, &piece, 0, 0, piece.Width(), piece.Height());
  }
}

void TsProgressBar::PaintToDC(HDC dc) {
  if (Width() < 1 || Height() < 1 || dc == nullptr) return;
  TsCommonData* sd = SkinData();
  sd->Updating = PaintingSuspended(sd);
  if (sd->Updating) return;
  if (Parent() != nullptr) {
    sd->BGChanged =
        sd->BGChanged || sd->PaintSkipped || QueryControlCommand(Parent(), cmdGetPaintSkipped) != 0;
    const TRect client = Parent()->ClientRect();
    const TRect bounds = BoundsRect();
    sd->PaintSkipped = bounds.Left < client.Left || bounds.Top < client.Top ||
                       bounds.Right > client.Right || bounds.Bottom > client.Bottom;
  }
  const TBitmap* cache = sd->CacheBmp.get();
  const bool fits = cache != nullptr && cache->Width() == Width() && cache->Height() == Height();
  // Asked every time, so that it always knows the blocks last shown.
  const bool blocksMoved = blocks_.NeedsBuild(Shape(), fits);
  if (sd->BGChanged || blocksMoved) PrepareCache();
  if (!sd->CacheBmp || sd->CacheBmp->Empty()) return;
  RefreshCacheCorners(sd, 0);
  CopyWholeCache(sd, dc);
}

// --- messages ----------------------------------------------------------------------

TacCommandOutcome TsProgressBar::SkinCommand(TMessage& m) {
  TsCommonData* sd = SkinData();
  const bool own = reinterpret_cast<TsSkinManager*>(m.LParam) == sd->SkinManager();
  switch (m.WParamHi()) {
    case cmdGetBackground: {
      if (m.LParam == 0 || !sd->CacheBmp || sd->CacheBmp->Empty()) break;
      auto& request = *reinterpret_cast<TsBgRequest*>(m.LParam);
      request.BgType = btBitmap;
      request.Bmp = sd->CacheBmp.get();
      request.Offset = {0, 0};
      m.Result = 0;
      return coAnswered;
    }
    case cmdParentPainted:
      if (!sd->Updating) break;
      sd->Updating = false;
      Repaint();
      return coAnswered;
    case cmdSkinLoaded:
      if (!own) break;
      HandleSkinCommand(m, sd);
      SetMarqueeRunning(MarqueeWanted());
      blocks_.LastBlocks = -1;
      return coAnswered;
    case cmdSkinRemoved:
      if (!own) break;
      SetMarqueeRunning(false);
      HandleSkinCommand(m, sd);
      if (HandleAllocated())
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
      return coAnswered;
    case cmdSkinRefresh:
      if (!own) break;
      HandleSkinCommand(m, sd);
      Repaint();
      blocks_.LastBlocks = -1;
      return coAnswered;
    default:
      break;
  }
  return HandleSkinCommand(m, sd);
}

bool TsProgressBar::UnskinnedMessage(TMessage& m) {
  // A tick left over from a skin that went: the marquee stops.
  if (m.Msg == WM_TIMER && m.WParam == MarqueeTimerId) {
    SetMarqueeRunning(false);
    return true;
  }
  return false;
}

bool TsProgressBar::SkinnedMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_TIMER:
      if (m.WParam != MarqueeTimerId) return false;
      MarqueeStep();
      return true;
    case WM_NCPAINT:
      m.Result = 0;
      return true;
    case WM_PRINT:
      SkinData()->Updating = false;
      if (m.WParam != 0) PaintToDC(reinterpret_cast<HDC>(m.WParam));
      return true;
    case PBM_SETPOS:
      if (Style() != pbstMarquee) return false;
      {
        const TRedrawOff quiet(Handle());
        TProgressBar::WndProc(m);
      }
      return true;
    case WM_MOVE:
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      blocks_.LastBlocks = -1;
      return false;
    default:
      return TsSkinnedControl<TProgressBar>::SkinnedMessage(m);
  }
}

}  // namespace kv
