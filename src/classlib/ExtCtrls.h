#pragma once
// Timers: a component that raises OnTimer at an interval through the GUI
// thread's message queue.

#include "base/Classes.h"
#include "classlib/Graphics.h"

namespace kv {

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  // The timer may be freed from inside its own OnTimer.
  TNotifyEvent OnTimer;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned ms);
  void SetOnTimer(TNotifyEvent handler);

  // Timers running now (for leak checks).
  static int ActiveCount();

 protected:
  // One tick; descendants override it. Nothing of the timer may be used
  // after this returns when a handler freed it.
  virtual void Timer();
  void Loaded() override { UpdateTimer(); }

 private:
  friend struct TimerWindow;
  void UpdateTimer();

  bool enabled_ = true;
  unsigned interval_ = 1000;
  UINT_PTR id_ = 0;
};

}  // namespace kv
