// A picture with water ripples: the mouse drags a trail of small waves, a
// click drops a bigger one, and drops fall by themselves now and then.
#pragma once

#include <functional>
#include <memory>
#include <random>

#include "app/CnWaterEffect.h"
#include "base/Bitmap.h"
#include "classlib/Controls.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Graphics.h"

namespace kv {

using TCnRenderEvent = std::function<void(TObject* Sender, TBitmap& Bitmap)>;

class TCnWaterImage : public TGraphicControl {
 public:
  explicit TCnWaterImage(TComponent* owner);
  ~TCnWaterImage() override;

  // Hooks around each frame: the first may draw on a copy of the picture
  // before it is rippled, the second on the finished frame.
  TCnRenderEvent OnBeforeRender;
  TCnRenderEvent OnAfterRender;

  void AfterConstruction() override;

  TPicture& Picture() { return picture_; }
  // Copies the picture.
  void SetPicture(const TPicture& picture);
  // Rebuilds after the picture was changed in place.
  void PictureChanged();

  int Interval() const { return interval_; }
  void SetInterval(int ms);
  TWaterDamping Damping() const { return effect_.Damping(); }
  void SetDamping(TWaterDamping value) { effect_.WaterSetDamping(value); }
  int Radius() const { return radius_; }
  void SetRadius(int value) { radius_ = value; }
  int TrackBlob() const { return trackBlob_; }
  void SetTrackBlob(int value) { trackBlob_ = value; }
  int ClickBlob() const { return clickBlob_; }
  void SetClickBlob(int value) { clickBlob_ = value; }
  int RandomBlob() const { return randomBlob_; }
  void SetRandomBlob(int value) { randomBlob_ = value; }
  int RandomDelay() const { return randomDelay_; }
  void SetRandomDelay(int value) { randomDelay_ = value; }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);

  // The water and the frame last drawn (for tests and hooks).
  const TCnWaterEffect& Effect() const { return effect_; }
  const TBitmap& Output() const { return output_; }
  // One animation step, as the timer runs it.
  void Tick();

 protected:
  void Paint() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void BoundsChanged() override;
  void Loaded() override;

 private:
  bool HasGraphic() const;
  void Rebuild();
  void FitToPicture();
  int RandomBelow(int limit);

  TPicture picture_;
  TTimer* timer_ = nullptr;
  TBitmap source_;
  TBitmap output_;
  TCnWaterEffect effect_;
  std::minstd_rand random_;
  bool painting_ = false;
  bool constructed_ = false;
  int builtWidth_ = -1;
  int builtHeight_ = -1;
  int interval_ = 50;
  int radius_ = 1;
  int trackBlob_ = 100;
  int clickBlob_ = 250;
  int randomBlob_ = 500;
  int randomDelay_ = 800;
  bool autoSize_ = false;
};

}  // namespace kv
