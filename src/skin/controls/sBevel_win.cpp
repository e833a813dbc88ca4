#include "skin/controls/sBevel_win.h"

#include "skin/core/sSkinManager_win.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sSectionPaint.h"

namespace kv {

namespace {

// Lines and frames are this thick, whatever the section's border.
constexpr int StripWidth = 3;

}  // namespace

// Control type 92 is the speed button's too; the bevel names its section
// itself, so the default for the type never applies.
TsBevel::TsBevel(TComponent* owner) : TsSkinnedControl<TBevel>(owner, 92, true) {
  LastStyle = Style();
  LastShape = Shape();
}

std::string TsBevel::SectionFor(TBevelShape shape, TBevelStyle style) {
  if (shape == bsFrame) return "GROUPBOX";
  return style == bsRaised ? "PANEL" : "PANEL_LOW";
}

void TsBevel::ChooseSection() {
  LastStyle = Style();
  LastShape = Shape();
  SkinData()->SetSkinSection(SectionFor(LastShape, LastStyle));
}

void TsBevel::AfterConstruction() {
  ChooseSection();
  TsSkinnedControl<TBevel>::AfterConstruction();
}

void TsBevel::Loaded() {
  ChooseSection();
  TsSkinnedControl<TBevel>::Loaded();
}

void TsBevel::Invalidate() {
  if (Style() != LastStyle || Shape() != LastShape) {
    ChooseSection();
    SkinData()->BGChanged = true;
  }
  TsSkinnedControl<TBevel>::Invalidate();
}

void TsBevel::PrepareCache() {
  TsCommonData* sd = SkinData();
  TsSkinManager* manager = sd->SkinManager();
  if (manager == nullptr) return;
  PrepareCacheBitmap24(sd);
  TsBgCacheInfo background;
  GetParentBgInfo(sd, background);
  PaintSkinItem(sd->SkinIndex, sd->SkinSection(), background, true, 0, {0, 0, Width(), Height()},
                {Left(), Top()}, sd->CacheBmp.get(), &manager->Skin(), sd->Texture, sd->HotTexture);
  sd->BGChanged = false;
}

void TsBevel::PaintToDC(HDC dc) {
  TsCommonData* sd = SkinData();
  const int w = Width(), h = Height();
  if (w < 1 || h < 1 || dc == nullptr) return;
  const bool fits = sd->CacheBmp && sd->CacheBmp->Width() == w && sd->CacheBmp->Height() == h;
  if (sd->BGChanged || !fits) PrepareCache();
  if (!sd->CacheBmp || sd->CacheBmp->Empty()) return;
  TBitmapCanvas cache(*sd->CacheBmp);
  HDC src = cache.Handle();
  // Each strip comes from the same place of the item.
  const auto strip = [&](int x, int y, int sw, int sh) {
    if (sw > 0 && sh > 0) BitBlt(dc, x, y, sw, sh, src, x, y, SRCCOPY);
  };
  constexpr int s = StripWidth;
  switch (Shape()) {
    case bsBox:
    case bsFrame:
      CopyBorderStrips(dc, 0, 0, w, h, src, 0, 0, s);
      break;
    case bsTopLine:
      strip(s, 0, w - 2 * s, s);
      break;
    case bsBottomLine:
      strip(s, h - s, w - 2 * s, s);
      break;
    case bsLeftLine:
      strip(0, s, s, h - 2 * s);
      break;
    case bsRightLine:
      strip(w - s, s, s, h - 2 * s);
      break;
    case bsSpacer:
      break;
  }
}

TacCommandOutcome TsBevel::SkinCommand(TMessage& m) {
  TsCommonData* sd = SkinData();
  const bool own = reinterpret_cast<TsSkinManager*>(m.LParam) == sd->SkinManager();
  switch (m.WParamHi()) {
    case cmdRepaintNow:
      sd->Updating = false;
      sd->BGChanged = true;
      Repaint();
      return coAnswered;
    case cmdSkinLoaded:
      if (!own) break;
      HandleSkinCommand(m, sd);
      return coAnswered;
    case cmdSkinRemoved:
    case cmdSkinRefresh:
      if (!own || (m.WParamHi() == cmdSkinRemoved && HasState(csDestroying))) break;
      HandleSkinCommand(m, sd);
      if (Visible()) Repaint();
      return coAnswered;
    default:
      break;
  }
  return HandleSkinCommand(m, sd);
}

bool TsBevel::SkinnedMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED:
      if (Visible()) SkinData()->BGChanged = true;
      return false;
    case WM_PAINT:
      // A spacer paints as the plain bevel does.
      if (Shape() == bsSpacer) return false;
      return TsSkinnedControl<TBevel>::SkinnedMessage(m);
    default:
      return TsSkinnedControl<TBevel>::SkinnedMessage(m);
  }
}

}  // namespace kv
