// Fades of skinned controls: the old picture of a control blends into its new
// look on the control's window in steps of 10 ms, and animation steps mixed
// into a control's cache.
#pragma once

#include <windows.h>

#include <memory>

#include "base/Bitmap.h"
#include "classlib/ExtCtrls.h"
#include "skin/core/sFade.h"
#include "skin/model/acToolkitFlags.h"

namespace kv {

class TsSkinManager;

// Sets a process-wide flag for the scope and puts back what it was.
class TacFlagGuard {
 public:
  explicit TacFlagGuard(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~TacFlagGuard() { flag_ = old_; }
  TacFlagGuard(const TacFlagGuard&) = delete;
  TacFlagGuard& operator=(const TacFlagGuard&) = delete;

 private:
  bool& flag_;
  bool old_;
};

// What a fade needs of the faded control's skin data (TsCommonData); the
// fades take a control's skin data as it is.
class TacFadeTarget {
 public:
  // The control the fade runs on (null once it is gone).
  virtual TControl* FadeControl() = 0;
  // The control's cache bitmap, its current look; null when it has none.
  virtual TBitmap* FadeCache() = 0;
  virtual bool FadeSkinAvailable() = 0;
  virtual bool FadingEnabled() = 0;
  virtual int FadingIterations() = 0;
  // The control's BGChanged flag: its cache must be rebuilt.
  virtual bool FadeBGChanged() = 0;
  virtual void SetFadeBGChanged(bool value) = 0;
  virtual void FadeShowGlow(bool /*update*/) {}

 protected:
  ~TacFadeTarget() = default;
};

class TsFadeTimer : public TTimer {
 public:
  explicit TsFadeTimer(TComponent* owner);

  void SetDirection(int direction);
  void Setup(TacFadeTarget* skinData);
  int Direction() const { return direction_; }
  int Step() const { return step_; }
  int Iterations() const { return iterations_; }

 protected:
  void Timer() override;

 private:
  friend void StartFade(TsFadeTimer*&, TacFadeTarget*, bool, int);
  friend void StopFade(TsFadeTimer*&);
  friend void FadeStep(TsFadeTimer*);
  bool Finished();
  TControl* LiveControl() const;

  int direction_ = 0;
  TacFadeTarget* skinData_ = nullptr;
  int iterations_ = 0;
  int step_ = 0;
  TBitmap oldImage_;
  // A timer stopped from inside its own tick is freed when the tick returns.
  int tickDepth_ = 0;
  bool freeAfterTick_ = false;
};

// Animation steps mixed into the control's cache: the control fills Source
// and paints from Work.
class TsAnimTimer : public TTimer {
 public:
  explicit TsAnimTimer(TComponent* owner);

  void Setup(TacFadeTarget* skinData);
  void DoStep();
  TBitmap Source;
  TBitmap Work;
  int Step = 0;
  int Iterations = 0;

 protected:
  void Timer() override;

 private:
  bool Finished();
  void Repaint();

  bool busy_ = false;
  TacFadeTarget* skinData_ = nullptr;
};

// Manager null asks the default manager.
bool AnimEffectEnabled(TacAnimatEvent event, TacAnimatEvents events, TsSkinManager* manager);

void RepaintWithFade(TsFadeTimer*& fadeTimer, TacFadeTarget* skinData, bool fast, int direction,
                     bool allowFade);
void StartFade(TsFadeTimer*& fadeTimer, TacFadeTarget* skinData, bool fast, int direction);
void StopFade(TsFadeTimer*& fadeTimer);
// One step; controls also call it to paint the current state of a fade.
void FadeStep(TsFadeTimer* fadeTimer);

// The animated show of a form whose provider keeps a border window around
// it: the form's new look fades in from transparent on a layered window at
// the border window's place, Steps frames of 8 ms, then the border window
// takes the image. False, with nothing done, when the control is not such a
// form or the system has no layered windows.
bool AnimateShowLayered(TWinControl* control, int steps);

}  // namespace kv
