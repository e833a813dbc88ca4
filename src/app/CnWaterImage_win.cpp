// The ripple picture control: the picture stretched to the control, the water
// simulated and rendered on every timer tick, the result drawn as is.
#include "app/CnWaterImage_win.h"

#include <algorithm>

namespace kv {

TCnWaterImage::TCnWaterImage(TComponent* owner) : TGraphicControl(owner) {
  SetControlStyle(ControlStyle() | csOpaque | csReplicatable);
  SetBounds(Left(), Top(), 105, 105);
  random_.seed(GetTickCount());
  picture_.OnChange = [this](TObject*) { PictureChanged(); };
}

TCnWaterImage::~TCnWaterImage() = default;

void TCnWaterImage::AfterConstruction() {
  TGraphicControl::AfterConstruction();
  timer_ = Create<TTimer>(this);
  timer_->SetInterval(static_cast<unsigned>(interval_));
  timer_->OnTimer = [this](TObject*) { Tick(); };
  constructed_ = true;
  if (!HasState(csLoading)) Rebuild();
}

void TCnWaterImage::Loaded() {
  TGraphicControl::Loaded();
  Rebuild();
}

bool TCnWaterImage::HasGraphic() const {
  return picture_.Graphic() != nullptr && !picture_.Graphic()->Empty();
}

void TCnWaterImage::SetPicture(const TPicture& picture) {
  picture_.Assign(picture);
  PictureChanged();
}

void TCnWaterImage::PictureChanged() {
  if (autoSize_ && picture_.Width() >= 1 && picture_.Height() >= 1) FitToPicture();
  builtWidth_ = -1;
  Rebuild();
  if (!painting_) Invalidate();
}

void TCnWaterImage::SetInterval(int ms) {
  interval_ = ms;
  if (timer_ != nullptr) timer_->SetInterval(static_cast<unsigned>(std::max(ms, 1)));
}

void TCnWaterImage::SetAutoSize(bool value) {
  autoSize_ = value;
  if (autoSize_ && HasGraphic()) FitToPicture();
}

// Width follows the picture unless aligned across, height unless aligned down.
void TCnWaterImage::FitToPicture() {
  int w = Width();
  int h = Height();
  if (Align() != alTop && Align() != alBottom && Align() != alClient) w = picture_.Width();
  if (Align() != alLeft && Align() != alRight && Align() != alClient) h = picture_.Height();
  SetBounds(Left(), Top(), w, h);
}

void TCnWaterImage::BoundsChanged() {
  TGraphicControl::BoundsChanged();
  if (Width() != builtWidth_ || Height() != builtHeight_) Rebuild();
}

void TCnWaterImage::Rebuild() {
  if (!constructed_ || HasState(csLoading) || HasState(csDestroying)) return;
  const int w = std::max(Width(), 0);
  const int h = std::max(Height(), 0);
  builtWidth_ = Width();
  builtHeight_ = Height();
  source_ = TBitmap(w, h, pf24bit);
  output_ = TBitmap(w, h, pf24bit);
  effect_.WaterSetSize(w, h);
  if (!HasGraphic() || w < 1 || h < 1) return;
  {
    TBitmapCanvas canvas(source_);
    canvas.StretchDraw(TRect{0, 0, w, h}, *picture_.Graphic());
  }
  output_.Assign(source_);
}

int TCnWaterImage::RandomBelow(int limit) {
  if (limit <= 0) return 0;
  return static_cast<int>(random_() % static_cast<unsigned>(limit));
}

void TCnWaterImage::Tick() {
  if (!Enabled() || !HasGraphic() || source_.Empty()) return;
  if (randomDelay_ >= 1 && randomBlob_ >= 1) {
    const int step = std::max(interval_, 1);
    const int chance = (randomDelay_ + step - 1) / step + 1;
    if (RandomBelow(chance) == 0)
      effect_.WaterBlob(-1, -1, 100 + RandomBelow(randomBlob_), 1 + RandomBelow(2));
  }
  if (OnBeforeRender) {
    TBitmap frame(source_);
    OnBeforeRender(this, frame);
    effect_.WaterCalcAndRender(frame, output_);
  } else {
    effect_.WaterCalcAndRender(source_, output_);
  }
  if (OnAfterRender) OnAfterRender(this, output_);
  Invalidate();
}

void TCnWaterImage::Paint() {
  painting_ = true;
  if (HasState(csDesigning)) {
    Canvas()->Pen()->SetStyle(psDash);
    Canvas()->Brush()->SetStyle(bsClear);
    Canvas()->Rectangle(0, 0, Width(), Height());
  }
  if (HasGraphic() && !output_.Empty()) Canvas()->Draw(0, 0, output_);
  painting_ = false;
}

void TCnWaterImage::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button == mbLeft) effect_.WaterBlob(x, y, clickBlob_, radius_);
}

void TCnWaterImage::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return;
  effect_.WaterBlob(x, y, (shift & ssLeft) != 0 ? clickBlob_ : trackBlob_, radius_);
}

}  // namespace kv
