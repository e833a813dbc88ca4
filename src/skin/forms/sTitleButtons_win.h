// The glow of a title button: the button's new look faded in or out
// through a borderless layered window over it, one step every 12 ms.
#pragma once

#include <windows.h>

#include <memory>

#include "base/Bitmap.h"
#include "classlib/ExtCtrls.h"
#include "classlib/Forms.h"

namespace kv {

class TsSkinManager;
class TsSkinProvider;
struct TsTitleButtonRecord;

// A window other than a form's whose title buttons glow as a form's do (a
// system dialog's adapter): what the fade needs of it.
class TacGlowHost {
 public:
  virtual ~TacGlowHost() = default;
  virtual HWND GlowOwner() const = 0;
  virtual TsSkinManager* GlowManager() const = 0;
  // Where the owner window lies in the frame picture the button rectangles
  // belong to (0, 0 unless a border window draws the frame).
  virtual POINT GlowFrameOffset() const { return POINT{}; }
  // The button in a state over its title, into a picture its size.
  virtual void DrawGlowButton(TBitmap* target, int hitCode, int state) = 0;
  // The fade-out ended: the button is drawn at rest again.
  virtual void GlowEnded(TsTitleButtonRecord& record) = 0;
};

// Asks the system to tell wnd when the pointer leaves its frame, unless that
// is already the thread's one request: any other window's request takes it
// over without a word, so a remembered "asked" may be stale.
void TrackFrameLeave(HWND wnd);

class TacSBAnimation : public TTimer {
 public:
  static constexpr unsigned StepInterval = 12;

  TacSBAnimation(TComponent* owner, TsSkinProvider* provider, TsTitleButtonRecord* button);
  TacSBAnimation(TComponent* owner, TacGlowHost* host, TsTitleButtonRecord* button);
  ~TacSBAnimation() override;

  // A new glow: fades towards state (0 fades out) in Steps steps; a state
  // already aimed at changes nothing.
  void Start(int state, bool up);
  // A running glow turned towards state in steps: on from the step it
  // shows (a pressed look at once).
  void Retarget(int state, int steps, bool up);
  // One step of the fade; the timer calls it, tests may too.
  void StepNow();

  int Steps = 10;
  int Step = 0;
  int TargetState = -1;
  bool Up = true;
  int AlphaStep() const { return Steps > 0 ? 255 / Steps : 255; }
  // The alpha the glow shows now.
  int Alpha() const { return alpha_; }
  HWND GlowWindow() const;
  bool Running() const { return Enabled(); }
  // The glow window shows the button itself, not the skin's halo round it.
  bool CoversButton() const { return GlowWindow() != nullptr && !halo_; }

 protected:
  void Timer() override { StepNow(); }

 private:
  // The fade is over: no glow, the button drawn at rest.
  void Finish();
  void PaintGlow(int alpha);
  void MakeGlowImage();
  void MakeButtonImage();
  void FreeGlow();
  TRect GlowRect() const;
  // The skin's glow picture of the button's hot state and how far it
  // reaches out; none (-1) when glowing is off or the skin has none.
  struct TGlowSource {
    int Mask = -1;
    int Margin = 0;
  };
  TGlowSource GlowSource() const;

  HWND OwnerWnd() const;
  POINT FrameOffset() const;
  TsSkinManager* Manager() const;

  TsSkinProvider* provider_ = nullptr;
  TacGlowHost* host_ = nullptr;
  TsTitleButtonRecord* button_;
  Owned<TForm> glowForm_;
  std::unique_ptr<TBitmap> glowBmp_;
  bool halo_ = false;   // glowBmp_ is the skin's glow picture
  int haloMargin_ = 0;  // how far it reaches left of and above the button
  int alpha_ = 0;
};

}  // namespace kv
