#include "skin/controls/sGroupBox_win.h"

#include <algorithm>

#include "classlib/Graphics.h"
#include "skin/core/acBgInfo_win.h"
#include "skin/core/acUtils.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sTextUtils_win.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sSectionPaint.h"

namespace kv {

namespace {

constexpr int ControlTypeGroupBox = 74;
constexpr UINT CaptionFlags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

}  // namespace

TsGroupBox::TsGroupBox(TComponent* owner)
    : TsSkinnedControl<TGroupBox>(owner, ControlTypeGroupBox, true, ccContainer) {
  SetControlStyle(ControlStyle() & ~csOpaque);
}

void TsGroupBox::SetCaptionLayout(TsGroupCaptionLayout value) {
  captionLayout_ = value;
  if (!Caption().empty()) InvalidateControlSkin(SkinData());
}

void TsGroupBox::SetCaptionYOffset(int value) {
  if (captionYOffset_ == value) return;
  captionYOffset_ = value;
  Realign();
  InvalidateControlSkin(SkinData());
}

void TsGroupBox::SetCaptionSkin(const std::string& value) {
  if (captionSkin_ == value) return;
  captionSkin_ = value;
  InvalidateControlSkin(SkinData());
}

void TsGroupBox::AdjustClientRect(TRect& rect) {
  TGroupBox::AdjustClientRect(rect);
  if (!HasState(csDestroying)) rect.Top += captionYOffset_;
}

TRect TsGroupBox::CaptionRect() {
  TsGroupCaptionMetrics m;
  {
    const TScreenDC screen;
    TCanvas canvas;
    const TCanvasBinding binding(canvas, screen.Handle());
    canvas.Font()->Assign(*Font());
    m.TextWidth = CanvasTextWidth(canvas, Caption());
    m.TextHeight = canvas.TextHeight("W");
  }
  m.Width = Width();
  m.YOffset = captionYOffset_;
  m.BorderWidth = BorderWidth();
  m.Skinned = SkinAvailable(SkinData(), true);
  m.Layout = captionLayout_;
  m.RightToLeft = UseRightToLeftAlignment();
  return GroupCaptionRect(m);
}

void TsGroupBox::PaintCaptionPlate(TBitmap* cache, const TRect& caption,
                                   const TsBgCacheInfo& background) {
  TsCommonData* sd = SkinData();
  const TsSkinModel& skin = sd->SkinManager()->Skin();
  // A caption lifted above the box is painted only where the cache reaches.
  TRect plate;
  if (!IntersectRect(plate, caption, TRect{0, 0, cache->Width(), cache->Height()})) return;
  const int state = Focused() ? 1 : 0;
  if (captionSkin_.empty()) {
    if (!background.Ready) {
      TBitmapCanvas canvas(*cache);
      FillRectWithColor(canvas.Handle(), plate, background.FillColor);
      return;
    }
    PaintSkinItem(skin.SectionIndexOf("CHECKBOX"), "CHECKBOX", background, true, state, plate,
                  {Left() + plate.Left, Top() + plate.Top}, cache, &skin);
    return;
  }
  PaintSkinItem(skin.SectionIndexOf(captionSkin_), captionSkin_, MakeBgCacheInfo(cache, 0, 0), true,
                state, plate, {plate.Left, plate.Top}, cache, &skin);
}

void TsGroupBox::PrepareCache() {
  TsCommonData* sd = SkinData();
  if (sd->SkinManager() == nullptr) return;
  PrepareCacheBitmap(sd);
  TBitmap* cache = sd->CacheBmp.get();
  TsBgCacheInfo background;
  GetParentBgInfo(sd, background);
  const TRect caption = CaptionRect();
  const int band = std::clamp(caption.Bottom, 0, Height());
  const int frameTop = std::min(GroupFrameTop(caption, captionYOffset_), Height());
  {
    TBitmapCanvas canvas(*cache);
    if (background.Ready && background.Bmp != nullptr) {
      TBitmapCanvas source(*background.Bmp);
      BitBlt(canvas.Handle(), 0, 0, Width(), band, source.Handle(), background.X + Left(),
             background.Y + Top(), SRCCOPY);
    } else if (Parent() != nullptr) {
      FillRectWithColor(canvas.Handle(), {0, 0, Width(), band}, background.FillColor);
    }
  }
  // The frame without the mask's centre, as the panel's.
  PaintSkinDataItem(sd, background, false, 0, {0, frameTop, Width(), Height()},
                    {Left(), Top() + frameTop}, cache);
  if (!Caption().empty()) {
    PaintCaptionPlate(cache, caption, background);
    TBitmapCanvas canvas(*cache);
    canvas.Font()->Assign(*Font());
    canvas.Brush()->SetStyle(bsClear);
    TsSkinTextSource source;
    source.Manager = sd->SkinManager();
    source.SkinIndex = sd->SkinIndex;
    source.SectionName = sd->SkinSection();
    source.CtrlTypeCode = sd->ControlType;
    source.HasParent = Parent() != nullptr;
    source.FontSourceIndex = FontSourceSectionIndex(this, sd->SkinIndex, sd->SkinManager());
    source.CustomFont = sd->CustomFont();
    source.OwnerFont = Font();
    WriteSkinText(canvas, Caption(), true, caption, CaptionFlags, source, false);
  }
  sd->BGChanged = false;
}

void TsGroupBox::PaintToDC(HDC dc) {
  TsCommonData* sd = SkinData();
  if (dc == nullptr || !SkinAvailable(sd, true) || HasState(csDestroying)) return;
  if (!Visible() && !HasState(csDesigning)) return;
  sd->Updating = PaintingSuspended(sd);
  if (sd->Updating) return;
  if (DependsOnParentBg(sd) && Parent() != nullptr) {
    const TRect client = Parent()->ClientRect();
    const TPoint first{Left() + 1, Top() + 1};
    const TPoint last{Left() + Width() - 1, Top() + Height() - 1};
    sd->PaintSkipped = !PtInRect(client, first) || !PtInRect(client, last);
  } else {
    sd->PaintSkipped = false;
  }
  if (!sd->ParentBgForced) PrepareCache();
  CopyCacheToDC(this, sd, {0, 0}, 0, 0, dc, ClientRect());
  PaintChildGraphics(this, dc);
  ResumeChildrenPainting(this);
}

void TsGroupBox::Paint() {
  if (!SkinAvailable(SkinData(), true)) return TGroupBox::Paint();
  PaintToDC(Canvas()->Handle());
}

TacCommandOutcome TsGroupBox::SkinCommand(TMessage& m) {
  TsCommonData* sd = SkinData();
  const bool ownManager = reinterpret_cast<TsSkinManager*>(m.LParam) == sd->SkinManager();
  switch (m.WParamHi()) {
    case cmdSkinLoaded:
      BroadcastToChildren(this, m);
      if (ownManager) HandleSkinCommand(m, sd);
      return coAnswered;
    case cmdSkinRemoved:
    case cmdSkinRefresh:
      if (ownManager) HandleSkinCommand(m, sd);
      BroadcastToChildren(this, m);
      if (ownManager && !HasState(csDestroying)) Repaint();
      return coAnswered;
    case cmdSetParentBgForced:
      HandleSkinCommand(m, sd);
      // The picture on the new terms now; it is shown unchanged while forced.
      if (sd->ParentBgForced && SkinAvailable(sd, true)) PrepareCache();
      return coPassedOn;
    case cmdGetCaptionHeight:
      m.Result = std::max(CaptionRect().Bottom, 0);
      return coAnswered;
    case cmdGetBackground: {
      if (captionSkin_.empty() || m.LParam == 0 || !SkinAvailable(sd, false)) break;
      auto& request = *reinterpret_cast<TsBgRequest*>(m.LParam);
      if (sd->BGChanged && !PaintingSuspended(sd)) PrepareCache();
      request.BgType = btBitmap;
      request.Bmp = sd->CacheBmp.get();
      request.Offset = {0, 0};
      if (request.PleaseDraw && request.DC != nullptr)
        CopyCacheToDC(nullptr, sd,
                      {request.AskerPos.X + request.R.Left, request.AskerPos.Y + request.R.Top}, 0,
                      0, request.DC, request.R);
      m.Result = 0;
      return coAnswered;
    }
    default:
      break;
  }
  return HandleSkinCommand(m, sd);
}

bool TsGroupBox::SkinnedMessage(TMessage& m) {
  TsCommonData* sd = SkinData();
  switch (m.Msg) {
    case SM_ALPHACMD:
      if (m.WParamHi() != cmdParentPainted) return false;
      if (sd->Updating && ResumePaintingAfterParent(sd) && Showing())
        RedrawWindow(Handle(), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
      return true;
    case WM_PAINT: {
      const TPaintScope paint(Handle(), reinterpret_cast<HDC>(m.WParam));
      PaintToDC(paint.Handle());
      m.Result = 0;
      return true;
    }
    case WM_PRINT:
      sd->Updating = false;
      PaintToDC(reinterpret_cast<HDC>(m.WParam));
      return true;
    case WM_ERASEBKGND:
      if (HasState(csDesigning)) return false;
      m.Result = 1;
      return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TGroupBox::WndProc(m);
      return true;
    case WM_MOVE:
      sd->BGChanged = sd->BGChanged || DependsOnParentBg(sd);
      return false;
    case WM_WINDOWPOSCHANGED:
    case CM_VISIBLECHANGED:
      sd->BGChanged = true;
      return false;
    case CM_TEXTCHANGED:
      InvalidateControlSkin(sd);
      return true;
    default:
      return false;
  }
}

void TsGroupBox::AfterMessage(TMessage& m) {
  if (m.Msg == CM_FONTCHANGED && !Caption().empty()) InvalidateControlSkin(SkinData());
}

}  // namespace kv
