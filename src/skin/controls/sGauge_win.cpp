#include "skin/controls/sGauge_win.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "base/SysUtils.h"
#include "classlib/WideText.h"
#include "skin/controls/acProgressBarGeometry.h"
#include "skin/core/acUtils.h"
#include "skin/core/sSectionPaint_win.h"
#include "skin/core/sSkinManager_win.h"
#include "skin/core/sTextUtils_win.h"
#include "skin/graphics/acPNG.h"
#include "skin/graphics/sGraphUtils.h"
#include "skin/graphics/sMaskPaint.h"
#include "skin/graphics/sMaskPaintControl.h"
#include "skin/graphics/sSectionPaint.h"

namespace kv {

namespace {

// A memory bitmap of the control's size, all black, selected into its own DC.
class TBlackBitmap {
 public:
  TBlackBitmap(HDC reference, int width, int height)
      : dc_(CreateCompatibleDC(reference)),
        bitmap_(CreateCompatibleBitmap(reference, width, height)),
        old_(SelectObject(dc_, bitmap_)) {
    PatBlt(dc_, 0, 0, width, height, BLACKNESS);
  }
  ~TBlackBitmap() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  TBlackBitmap(const TBlackBitmap&) = delete;
  TBlackBitmap& operator=(const TBlackBitmap&) = delete;
  HDC Dc() const { return dc_; }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

// The sweep: a tick every 22 ms, a new sweep 2222 ms after the last began,
// the glow 300 pixels long.
constexpr unsigned GlowTick = 22;
constexpr int GlowPeriod = 2222;
constexpr int GlowLength = 300;

void Fill(HDC dc, const RECT& r, TColor color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

}  // namespace

TsGauge::TsGauge(TComponent* owner) : TsSkinnedControl<TGraphicControl>(owner, 161, true) {
  glowTimer_ = Create<TTimer>(this);
  glowTimer_->SetEnabled(false);
  glowTimer_->SetInterval(GlowTick);
  glowTimer_->SetOnTimer([this](TObject*) { GlowStep(); });
  SetControlStyle(ControlStyle() | csOpaque);
  SetBounds(0, 0, 120, 30);
}

void TsGauge::SetKind(TsGaugeKind value) {
  kind_ = value;
  Invalidate();
}

void TsGauge::SetCalcPercents(bool value) {
  calcPercents_ = value;
  InvalidateControlSkin(SkinData());
}

void TsGauge::SetProgressSkin(const std::string& value) {
  if (value == progressSkin_) return;
  progressSkin_ = value;
  SkinData()->BGChanged = true;
  Repaint();
}

void TsGauge::SetAnimated(bool value) {
  if (value == animated_) return;
  animated_ = value;
  if (HasState(csDesigning)) return;
  barCache_.reset();
  glowTimer_->SetEnabled(value);
}

void TsGauge::Loaded() {
  TsSkinnedControl<TGraphicControl>::Loaded();
  StartGlow();
}

void TsGauge::SetParent(TWinControl* parent) {
  TsSkinnedControl<TGraphicControl>::SetParent(parent);
  // A gauge made in code is never loaded: it starts its sweep once it has a
  // window to paint on. One being loaded waits for its Loaded.
  if (parent != nullptr && !HasState(csLoading)) StartGlow();
}

void TsGauge::StartGlow() {
  if (!HasState(csDesigning) && animated_ && !glowTimer_->Enabled()) glowTimer_->SetEnabled(true);
}

void TsGauge::SetMinValue(int value) {
  const int old = range_.MinValue;
  range_.SetMinValue(value, HasState(csLoading));
  if (range_.MinValue != old) Invalidate();
}

void TsGauge::SetMaxValue(int value) {
  const int old = range_.MaxValue;
  range_.SetMaxValue(value, HasState(csLoading));
  if (range_.MaxValue != old) Invalidate();
}

void TsGauge::SetProgress(int value) {
  const int shown = Percent();
  // Painting is the slow part: only a new percentage is worth it.
  if (range_.SetProgress(value) && Percent() != shown) {
    SkinData()->BGChanged = true;
    Invalidate();
  }
  if (OnChange) OnChange(this);
}

void TsGauge::SetSuffix(const std::string& value) {
  if (value == suffix_) return;
  suffix_ = value;
  InvalidateControlSkin(SkinData());
}

void TsGauge::SetShowText(bool value) {
  showText_ = value;
  Invalidate();
}

void TsGauge::SetForeColor(TColor value) {
  foreColor_ = value;
  Invalidate();
}

void TsGauge::SetBackColor(TColor value) {
  backColor_ = value;
  Invalidate();
}

void TsGauge::SetBorderStyle(TBorderStyle value) {
  borderStyle_ = value;
  Invalidate();
}

std::string TsGauge::ShownText() const {
  return GaugeText(calcPercents_ ? Percent() : Progress(), suffix_);
}

void TsGauge::PaintKind(HDC dc, const RECT& area) const {
  const int percent = Percent();
  if (kind_ == gkText || kind_ == gkHorizontalBar || kind_ == gkVerticalBar) {
    Fill(dc, area, backColor_);
    const TRect f = GaugeBarFill(kind_, {area.left, area.top, area.right, area.bottom}, percent);
    if (f.Width() > 0 && f.Height() > 0) Fill(dc, {f.Left, f.Top, f.Right, f.Bottom}, foreColor_);
    return;
  }
  const int width = Width(), height = Height();
  Fill(dc, {0, 0, width, height}, Color());
  const int grow = borderStyle_ == bsSingle ? 1 : 0;
  HBRUSH back = CreateSolidBrush(ColorToRGB(backColor_));
  HBRUSH fore = CreateSolidBrush(ColorToRGB(foreColor_));
  HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(foreColor_));
  {
    const TSelectedObject penIn(dc, pen);
    const TSelectedObject brushIn(dc, back);
    if (kind_ == gkPie) {
      Ellipse(dc, 0, 0, width + grow, height + grow);
      if (percent > 0) {
        const TSelectedObject foreIn(dc, fore);
        const TPoint start = GaugePieStart(percent, width, height);
        Pie(dc, 0, 0, width + grow, height + grow, start.X, start.Y, width / 2, 0);
      }
    } else {
      // The upper half of an ellipse as high as the gauge, on its base line.
      const int base = height - 1;
      Chord(dc, 0, 0, width + grow, 2 * base + grow, width, base, 0, base);
      MoveToEx(dc, 0, base, nullptr);
      LineTo(dc, width, base);
      if (percent > 0) {
        const TPoint end = GaugeNeedleEnd(percent, width, height);
        MoveToEx(dc, width / 2, base, nullptr);
        LineTo(dc, end.X, end.Y);
      }
    }
  }
  DeleteObject(pen);
  DeleteObject(fore);
  DeleteObject(back);
}

void TsGauge::Paint() {
  const int width = Width();
  const int height = Height();
  if (width < 1 || height < 1) return;
  HDC target = Canvas()->Handle();
  TBlackBitmap picture(target, width, height);

  RECT r{0, 0, width, height};
  if (borderStyle_ == bsSingle) InflateRect(&r, -1, -1);
  {
    TBlackBitmap shape(target, width, height);
    PaintKind(shape.Dc(), r);
    BitBlt(picture.Dc(), 0, 0, width, height, shape.Dc(), 0, 0, SRCINVERT);
  }
  if (showText_) {
    // White text on black, laid over by XOR: it inverts the bar and the
    // background alike.
    TBlackBitmap text(target, width, height);
    const TSelectedObject font(text.Dc(), Font()->Handle());
    SetBkMode(text.Dc(), TRANSPARENT);
    SetTextColor(text.Dc(), RGB(255, 255, 255));
    RECT all{0, 0, width, height};
    const std::wstring shown = Wide(ShownText());
    DrawTextW(text.Dc(), shown.c_str(), static_cast<int>(shown.size()), &all,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    BitBlt(picture.Dc(), 0, 0, width, height, text.Dc(), 0, 0, SRCINVERT);
  }
  BitBlt(target, 0, 0, width, height, picture.Dc(), 0, 0, SRCCOPY);
}

// --- skinned -----------------------------------------------------------------------

void PaintProgressPiece(TBitmap& piece, TBitmap& cache, TPoint place, int sectionIndex,
                        const std::string& section, const TsSkinModel& skin) {
  PaintSkinItem(sectionIndex, section, MakeBgCacheInfo(&cache, 0, 0), true, 0,
                {0, 0, piece.Width(), piece.Height()}, place, &piece, &skin);
}

namespace {

constexpr UINT GaugeTextFlags = DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_CENTER;

TsSkinTextSource TextSource(TsSkinManager* manager, int index, const std::string& section,
                            TControl* control) {
  TsSkinTextSource source;
  source.Manager = manager;
  source.SkinIndex = index;
  source.SectionName = section;
  source.CtrlTypeCode = 161;
  source.IsGraphicControl = true;
  source.HasParent = control->Parent() != nullptr;
  source.OwnerFont = control->Font();
  return source;
}

}  // namespace

TacCommandOutcome TsGauge::SkinCommand(TMessage& m) {
  TsCommonData* sd = SkinData();
  const bool own = reinterpret_cast<TsSkinManager*>(m.LParam) == sd->SkinManager();
  switch (m.WParamHi()) {
    case cmdSkinLoaded:
      if (!own) break;
      barCache_.reset();
      HandleSkinCommand(m, sd);
      return coAnswered;
    case cmdSkinRemoved:
      if (!own) break;
      if (animated_) glowTimer_->SetEnabled(false);
      barCache_.reset();
      HandleSkinCommand(m, sd);
      Repaint();
      return coAnswered;
    case cmdSkinRefresh:
      if (!own) break;
      barCache_.reset();
      HandleSkinCommand(m, sd);
      Repaint();
      if (!HasState(csDesigning) && animated_) glowTimer_->SetEnabled(true);
      return coAnswered;
    case cmdParentPainted:
      if (!sd->Updating) break;
      sd->Updating = false;
      Repaint();
      return coAnswered;
    default:
      break;
  }
  return HandleSkinCommand(m, sd);
}

bool TsGauge::SkinnedMessage(TMessage& m) {
  if (m.Msg == WM_PAINT && (Width() < 1 || Height() < 1)) return true;
  return TsSkinnedControl<TGraphicControl>::SkinnedMessage(m);
}

void TsGauge::PaintToDC(HDC dc) {
  TsCommonData* sd = SkinData();
  if (PaintingSuspended(sd)) {
    SetPixel(dc, 0, 0, RGB(255, 0, 255));
    return;
  }
  PrepareCache();
  RefreshCacheCorners(sd, 1);
  CopyWholeCache(sd, dc);
  // The gauge keeps no pixels between paints.
  sd->CacheBmp->SetSize(0, 0);
}

void TsGauge::PrepareCache() {
  TsCommonData* sd = SkinData();
  TsSkinManager* manager = sd->SkinManager();
  PrepareCacheBitmap(sd);
  TBitmap& cache = *sd->CacheBmp;
  TsBgCacheInfo background;
  GetParentBgInfo(sd, background);
  const TRect all{0, 0, Width(), Height()};
  // The border mask's centre is the section's face, which an own colour
  // (CustomColor) replaces.
  PaintSkinDataItem(sd, background, !sd->CustomColor(), 1, all, {Left(), Top()}, &cache);
  if (showText_) {
    TBitmapCanvas canvas(cache);
    canvas.Font()->Assign(*Font());
    canvas.Brush()->SetStyle(bsClear);
    WriteSkinTextCore(canvas, GaugeText(Percent(), suffix_), true, all, GaugeTextFlags,
                      TextSource(manager, sd->SkinIndex, sd->SkinSection(), this), false);
  }
  if (kind_ == gkHorizontalBar || kind_ == gkVerticalBar)
    PaintSkinnedBar(cache);
  else if (kind_ == gkPie || kind_ == gkNeedle)
    PaintSkinnedShape(cache);
  sd->BGChanged = false;
}

void TsGauge::PaintSkinnedBar(TBitmap& cache) {
  TsSkinManager* manager = SkinData()->SkinManager();
  const bool vertical = kind_ == gkVerticalBar;
  const std::string section = ProgressSectionName(progressSkin_, vertical);
  const int index = manager->Skin().SectionIndexOf(section);
  if (!manager->Skin().IsSectionIndexValid(index)) return;
  const int fill = GaugeFillLength(Percent(), vertical ? Height() : Width());
  if (fill <= 0) return;
  const TRect place =
      vertical ? TRect{0, Height() - fill, Width(), Height()} : TRect{0, 0, fill, Height()};
  TBitmap bar(place.Width(), place.Height(), pf24bit);
  const auto paintBar = [&](TBitmap& into) {
    PaintProgressPiece(into, cache, {place.Left, place.Top}, index, section, manager->Skin());
  };
  if (animated_ && !vertical) {
    if (!barCache_ || barCache_->Width() != bar.Width() || barCache_->Height() != bar.Height()) {
      barCache_ = std::make_unique<TBitmap>(bar.Width(), bar.Height(), pf24bit);
      paintBar(*barCache_);
    }
    bar.Assign(*barCache_);
    PaintGlow(bar, index, section);
  } else {
    paintBar(bar);
  }
  TBitmapCanvas canvas(bar);
  if (showText_) {
    // The second text, in the bar's colours, lines up with the first.
    canvas.Font()->Assign(*Font());
    canvas.Brush()->SetStyle(bsClear);
    const TRect text{-place.Left, -place.Top, Width() - place.Left, Height() - place.Top};
    WriteSkinTextCore(canvas, GaugeText(Percent(), suffix_), true, text, GaugeTextFlags,
                      TextSource(manager, index, section, this), false);
  }
  TBitmapCanvas target(cache);
  BitBlt(target.Handle(), place.Left, place.Top, bar.Width(), bar.Height(), canvas.Handle(), 0, 0,
         SRCCOPY);
}

// Pie and needle keep their plain shapes: outlines in the section's font
// colour, the pie's filled part in the bar section's colour.
void TsGauge::PaintSkinnedShape(TBitmap& cache) const {
  const TsCommonData* sd = SkinData();
  const TsGeneralData* section = sd->Section();
  const TColor fore = section != nullptr ? section->FontColor[0] : foreColor_;
  const TsSkinModel& skin = sd->SkinManager()->Skin();
  const int barIndex = skin.SectionIndexOf(progressSkin_.empty() ? "PROGRESSH" : progressSkin_);
  const TColor fill = skin.IsSectionIndexValid(barIndex)
                          ? skin.GeneralData[static_cast<size_t>(barIndex)].Color
                          : fore;
  TBitmapCanvas canvas(cache);
  HDC dc = canvas.Handle();
  const int width = Width(), height = Height(), percent = Percent();
  HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(fore));
  HBRUSH brush = CreateSolidBrush(ColorToRGB(fill));
  {
    const TSelectedObject penIn(dc, pen);
    const TSelectedObject brushIn(dc, GetStockObject(NULL_BRUSH));
    if (kind_ == gkPie) {
      Ellipse(dc, 0, 0, width, height);
      if (percent > 0) {
        const TSelectedObject fill(dc, brush);
        const TPoint start = GaugePieStart(percent, width, height);
        Pie(dc, 0, 0, width, height, start.X, start.Y, width / 2, 0);
      }
    } else {
      const int base = height - 1;
      Arc(dc, 0, 0, width, 2 * base, width, base, 0, base);
      MoveToEx(dc, 0, base, nullptr);
      LineTo(dc, width, base);
      if (percent > 0) {
        const TPoint end = GaugeNeedleEnd(percent, width, height);
        MoveToEx(dc, width / 2, base, nullptr);
        LineTo(dc, end.X, end.Y);
      }
    }
  }
  DeleteObject(brush);
  DeleteObject(pen);
}

namespace {

// The glow picture fitted to a bar `thickness` high: a PNG taller than that
// loses rows equally at top and bottom first. Null without the picture.
std::unique_ptr<TBitmap> MakeGlow(int thickness) {
  static const std::unique_ptr<TPNGGraphic> picture = [] {
    const TacBytes bytes = ResourceBytes("ACGL");
    auto png = std::make_unique<TPNGGraphic>();
    try {
      if (bytes.empty()) return std::unique_ptr<TPNGGraphic>();
      png->LoadFromMemory(bytes.data(), bytes.size());
      png->SetPixelFormat(pf32bit);
    } catch (const std::exception&) {
      return std::unique_ptr<TPNGGraphic>();
    }
    return png;
  }();
  if (!picture || picture->Empty() || thickness < 1) return nullptr;
  int top = 0, rows = picture->Height();
  if (rows > thickness) {
    const int cut = (rows - thickness) / 2 + 1;
    if (rows - 2 * cut > 0) top = cut, rows -= 2 * cut;
  }
  auto glow = std::make_unique<TBitmap>(GlowLength, thickness, pf32bit);
  for (int y = 0; y < thickness; ++y) {
    const std::uint8_t* src = picture->ScanLine(top + y * rows / thickness);
    std::uint8_t* dst = glow->ScanLine(y);
    for (int x = 0; x < GlowLength; ++x)
      std::memcpy(dst + 4 * x, src + 4 * (x * picture->Width() / GlowLength), 4);
  }
  return glow;
}

// The part of the glow over bar columns left..right, kept out of the pixels
// where the mask, painted nine-part at the bar's size, is transparent.
std::unique_ptr<TBitmap> ConfinedGlow(const TBitmap& glow, int glowPos, int left, int right,
                                      const TBitmap& bar, const TsSkinModel& skin, int maskIndex) {
  const int width = right - left, height = bar.Height();
  TBitmap mask(bar.Width(), height, pf24bit);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* p = mask.ScanLine(y);
    for (int x = 0; x < mask.Width(); ++x, p += 3)
      p[0] = ColorB(TransparentColor), p[1] = ColorG(TransparentColor),
      p[2] = ColorR(TransparentColor);
  }
  PaintMaskNinePart(&mask, {0, 0, mask.Width(), height}, true, EmptyBgCacheInfo,
                    skin.MaskData[static_cast<size_t>(maskIndex)], skin.MasterBitmap.get(), 0,
                    false);
  auto out = std::make_unique<TBitmap>(width, height, pf32bit);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* src = glow.ScanLine(y) + 4 * (left - glowPos);
    const std::uint8_t* m = mask.ScanLine(y) + 3 * left;
    std::uint8_t* dst = out->ScanLine(y);
    for (int x = 0; x < width; ++x, src += 4, m += 3, dst += 4) {
      const bool outside = m[0] == ColorB(TransparentColor) && m[1] == ColorG(TransparentColor) &&
                           m[2] == ColorR(TransparentColor);
      if (outside)
        std::memset(dst, 0, 4);
      else
        std::memcpy(dst, src, 4);
    }
  }
  return out;
}

}  // namespace

void TsGauge::PaintGlow(TBitmap& bar, int sectionIndex, const std::string& section) {
  if (!animated_ || glowPos_ >= GlowLength + bar.Width()) return;
  if (!glow_ || glow_->Height() != bar.Height()) glow_ = MakeGlow(bar.Height());
  if (!glow_) return;
  // Only the filled part glows.
  const int left = std::max(glowPos_, 0);
  const int right = std::min(glowPos_ + GlowLength, bar.Width());
  if (right <= left) return;
  const TRect onBar{left, 0, right, bar.Height()};
  const TsSkinModel& skin = SkinData()->SkinManager()->Skin();
  const int maskIndex = skin.MaskIndexOf(sectionIndex, section, "LRGN");
  if (!skin.IsMaskIndexValid(maskIndex)) {
    PaintAlphaBitmap(onBar, {left - glowPos_, 0, right - glowPos_, bar.Height()}, &bar, false, 0,
                     clNone, false, EmptyBgCacheInfo, glow_.get());
    return;
  }
  const std::unique_ptr<TBitmap> confined =
      ConfinedGlow(*glow_, glowPos_, left, right, bar, skin, maskIndex);
  PaintAlphaBitmap(onBar, {0, 0, right - left, bar.Height()}, &bar, false, 0, clNone, false,
                   EmptyBgCacheInfo, confined.get());
}

void TsGauge::GlowStep() {
  TsCommonData* sd = SkinData();
  if (!SkinAvailable(sd, true)) {
    glowTimer_->SetEnabled(false);
    return;
  }
  if (glowCounter_ > GlowPeriod) {
    glowPos_ = -GlowLength;
    glowCounter_ = 0;
  }
  glowCounter_ += static_cast<int>(GlowTick);
  const int length = kind_ == gkVerticalBar ? Height() : Width();
  if (length <= glowPos_) return;
  if (Visible() && Progress() >= 1 && ControlReadyToPaint(this)) PaintToDC(Canvas()->Handle());
  glowPos_ += std::max(15, static_cast<int>(std::lround(length / (GlowPeriod / 44.0))));
}

}  // namespace kv
