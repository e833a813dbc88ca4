#pragma once
// Timers: a component that raises OnTimer at an interval through the GUI
// thread's message queue. Panels, bevels, pictures and scroll boxes.

#include "base/Classes.h"
#include "classlib/Controls.h"
#include "classlib/Graphics.h"
#include "classlib/StdCtrls.h"

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

// --- panel -------------------------------------------------------------------------

// Draws a 3D frame of `width` pixels just inside rect and shrinks rect by it.
void Frame3D(TCanvas& canvas, TRect& rect, TColor topLeft, TColor bottomRight, int width);

class TCustomPanel : public TCustomControl {
 public:
  explicit TCustomPanel(TComponent* owner);

  void Dispatch(TMessage& message) override;

  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  bool ParentBackground() const { return parentBackground_; }
  void SetParentBackground(bool value) { parentBackground_ = value; }
  bool FullRepaint() const { return fullRepaint_; }
  void SetFullRepaint(bool value) { fullRepaint_ = value; }

 protected:
  void CreateParams(TCreateParams& params) override;
  void AdjustClientRect(TRect& rect) override;
  void Paint() override;

 private:
  int BevelSize() const;
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvRaised;
  int bevelWidth_ = 1;
  TBorderStyle borderStyle_ = bsNone;
  TAlignment alignment_ = taCenter;
  bool parentBackground_ = false;
  bool fullRepaint_ = true;
};

class TPanel : public TCustomPanel {
 public:
  using TCustomPanel::TCustomPanel;
};

// --- bevel -------------------------------------------------------------------------

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
 public:
  explicit TBevel(TComponent* owner);
  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape value);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle value);

 protected:
  void Paint() override;

 private:
  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};

// --- image -------------------------------------------------------------------------

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);

  TPicture& Picture() { return picture_; }
  void SetPicture(const TPicture& picture) { picture_.Assign(picture); }
  // The picture fills the control.
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  bool Center() const { return center_; }
  void SetCenter(bool value);
  // Stretching keeps the picture's aspect and never enlarges it.
  bool Proportional() const { return proportional_; }
  void SetProportional(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  // Where the picture is drawn, in client coordinates.
  TRect DestRect();

 protected:
  void Paint() override;
  virtual void PictureChanged();

 private:
  TPicture picture_;
  bool stretch_ = false;
  bool center_ = false;
  bool proportional_ = false;
  bool transparent_ = false;
  bool autoSize_ = false;
};

// --- scrolling ---------------------------------------------------------------------

enum TScrollBarKind { sbHorizontal, sbVertical };

class TScrollingWinControl;

// One scroll bar of a scrolling control: Range is the size of the content,
// Position how far it is scrolled.
class TControlScrollBar {
 public:
  TControlScrollBar(TScrollingWinControl* control, TScrollBarKind kind)
      : control_(control), kind_(kind) {}

  TScrollBarKind Kind() const { return kind_; }
  int Position() const { return position_; }
  void SetPosition(int value);
  int Range() const { return range_; }
  // Setting a range by hand turns the control's AutoScroll off.
  void SetRange(int value);
  int Increment() const { return increment_; }
  void SetIncrement(int value) { increment_ = value > 0 ? value : 1; }
  bool Tracking() const { return tracking_; }
  void SetTracking(bool value) { tracking_ = value; }
  bool Visible() const { return visible_; }
  void SetVisible(bool value);
  // Shown now (the content is larger than the client area).
  bool IsScrollBarVisible() const { return shown_; }

 private:
  friend class TScrollingWinControl;
  int PageSize() const;
  void Update();
  void Scroll(WORD code, int thumb);
  void SetRangeQuiet(int value) { range_ = value; }

  TScrollingWinControl* control_;
  TScrollBarKind kind_;
  int position_ = 0;
  int range_ = 0;
  int increment_ = 8;
  bool tracking_ = false;
  bool visible_ = true;
  bool shown_ = false;
};

class TScrollingWinControl : public TWinControl {
 public:
  explicit TScrollingWinControl(TComponent* owner);

  void Dispatch(TMessage& message) override;

  TControlScrollBar* HorzScrollBar() { return &horz_; }
  TControlScrollBar* VertScrollBar() { return &vert_; }
  // The ranges follow the children's extent.
  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool value);
  // Moves every child by (dx, dy).
  void ScrollBy(int dx, int dy);
  // Recomputes the ranges (AutoScroll) and shows or hides the bars.
  void UpdateScrollBars();
  // Scrolls so that the control is in view.
  void ScrollInView(TControl* control);

 protected:
  void CreateHandleDone() override;
  void AlignControls(TControl* control, TRect& rect) override;
  bool DoMouseWheel(TShiftState shift, int delta, TPoint mousePos) override;

 private:
  friend class TControlScrollBar;
  void CalcAutoRange();
  TControlScrollBar horz_{this, sbHorizontal};
  TControlScrollBar vert_{this, sbVertical};
  bool autoScroll_ = true;
  int updating_ = 0;
};

class TScrollBox : public TScrollingWinControl {
 public:
  explicit TScrollBox(TComponent* owner);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  TBorderStyle borderStyle_ = bsSingle;
};

}  // namespace kv
