#pragma once
// Common controls: the up-down buttons, the progress bar, the painted gauge
// the skinned gauge builds on, and the status bar with its panels.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/GaugeKind.h"
#include "classlib/Controls.h"
#include "classlib/StdCtrls.h"

namespace kv {

// Loads the common-control window classes once.
void InitCommonControlClasses();

// --- up-down -----------------------------------------------------------------------

enum TUDOrientation { udHorizontal, udVertical };
enum TUDAlignButton { udLeft, udRight };
enum TUDBtnType { btNext, btPrev };
enum TUpDownDirection { updNone, updUp, updDown };

using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;
using TUDChangingEventEx = std::function<void(TObject* Sender, bool& AllowChange, int NewValue,
                                              TUpDownDirection Direction)>;

class TCustomUpDown : public TWinControl {
 public:
  explicit TCustomUpDown(TComponent* owner);

  // Raised after a button changed the position (hides the plain OnClick).
  TUDClickEvent OnClick;
  // Asked before a button changes the position; false refuses it.
  TUDChangingEvent OnChanging;
  TUDChangingEventEx OnChangingEx;

  void Dispatch(TMessage& message) override;

  int Min() const { return min_; }
  void SetMin(int value);
  int Max() const { return max_; }
  void SetMax(int value);
  int Position();
  void SetPosition(int value);
  int Increment() const { return increment_; }
  void SetIncrement(int value);
  TUDOrientation Orientation() const { return orientation_; }
  void SetOrientation(TUDOrientation value);
  TUDAlignButton AlignButton() const { return alignButton_; }
  void SetAlignButton(TUDAlignButton value);
  // The edit beside the buttons; it shows the position.
  TWinControl* Associate() const { return associate_; }
  void SetAssociate(TWinControl* control);
  bool ArrowKeys() const { return arrowKeys_; }
  void SetArrowKeys(bool value);
  bool Thousands() const { return thousands_; }
  void SetThousands(bool value);
  bool Wrap() const { return wrap_; }
  void SetWrap(bool value);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual bool CanChange(int newValue, TUpDownDirection direction);
  virtual void ClickButton(TUDBtnType button);

 private:
  void SendRange();
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int increment_ = 1;
  TUDOrientation orientation_ = udVertical;
  TUDAlignButton alignButton_ = udRight;
  TWinControl* associate_ = nullptr;
  bool arrowKeys_ = true;
  bool thousands_ = true;
  bool wrap_ = false;
  int lastDelta_ = 0;
};

class TUpDown : public TCustomUpDown {
 public:
  using TCustomUpDown::TCustomUpDown;
};

// --- progress bar ------------------------------------------------------------------

enum TProgressBarOrientation { pbHorizontal, pbVertical };
enum TProgressBarStyle { pbstNormal, pbstMarquee };

class TProgressBar : public TWinControl {
 public:
  explicit TProgressBar(TComponent* owner);

  int Min() const { return min_; }
  void SetMin(int value);
  int Max() const { return max_; }
  void SetMax(int value);
  int Position();
  // Kept within Min..Max.
  void SetPosition(int value);
  int Step() const { return step_; }
  void SetStep(int value);
  void StepIt();
  void StepBy(int delta);
  bool Smooth() const { return smooth_; }
  void SetSmooth(bool value);
  TProgressBarOrientation Orientation() const { return orientation_; }
  void SetOrientation(TProgressBarOrientation value);
  // A marquee bar moves on its own; Position means nothing then.
  TProgressBarStyle Style() const { return style_; }
  void SetStyle(TProgressBarStyle value);
  int MarqueeInterval() const { return marqueeInterval_; }
  void SetMarqueeInterval(int ms);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;

 private:
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int step_ = 10;
  bool smooth_ = false;
  TProgressBarOrientation orientation_ = pbHorizontal;
  TProgressBarStyle style_ = pbstNormal;
  int marqueeInterval_ = 10;
};

// --- gauge -------------------------------------------------------------------------


// A painted progress indicator with its percentage as text.
class TGauge : public TGraphicControl {
 public:
  explicit TGauge(TComponent* owner);

  int MinValue() const { return minValue_; }
  void SetMinValue(int value);
  int MaxValue() const { return maxValue_; }
  void SetMaxValue(int value);
  int Progress() const { return progress_; }
  // Kept within MinValue..MaxValue.
  void SetProgress(int value);
  void AddProgress(int value) { SetProgress(progress_ + value); }
  // 0..100; 0 when the range is empty.
  int PercentDone() const;
  TGaugeKind Kind() const { return kind_; }
  void SetKind(TGaugeKind value);
  bool ShowText() const { return showText_; }
  void SetShowText(bool value);
  TColor ForeColor() const { return foreColor_; }
  void SetForeColor(TColor value);
  TColor BackColor() const { return backColor_; }
  void SetBackColor(TColor value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);

 protected:
  void Paint() override;
  // The text painted over the gauge ("42%").
  virtual std::string ProgressText() const;

 private:
  int minValue_ = 0;
  int maxValue_ = 100;
  int progress_ = 0;
  TGaugeKind kind_ = gkHorizontalBar;
  bool showText_ = true;
  TColor foreColor_ = clBlack;
  TColor backColor_ = clWhite;
  TBorderStyle borderStyle_ = bsSingle;
};

// --- status bar --------------------------------------------------------------------

enum TStatusPanelStyle { psText, psOwnerDraw };
enum TStatusPanelBevel { pbNone, pbLowered, pbRaised };

class TStatusBar;

class TStatusPanel {
 public:
  TStatusPanel(TStatusBar* bar, int index) : bar_(bar), index_(index) {}
  int Index() const { return index_; }
  const std::string& Text() const { return text_; }
  void SetText(const std::string& text);
  int Width() const { return width_; }
  void SetWidth(int value);
  TStatusPanelStyle Style() const { return style_; }
  void SetStyle(TStatusPanelStyle value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TStatusPanelBevel Bevel() const { return bevel_; }
  void SetBevel(TStatusPanelBevel value);

 private:
  friend class TStatusPanels;
  TStatusBar* bar_;
  int index_;
  std::string text_;
  int width_ = 50;
  TStatusPanelStyle style_ = psText;
  TAlignment alignment_ = taLeftJustify;
  TStatusPanelBevel bevel_ = pbLowered;
};

class TStatusPanels {
 public:
  explicit TStatusPanels(TStatusBar* bar) : bar_(bar) {}
  int Count() const { return static_cast<int>(panels_.size()); }
  // Index errors raise ERangeError.
  TStatusPanel* Items(int index) const;
  TStatusPanel* operator[](int index) const { return Items(index); }
  TStatusPanel* Add();
  void Delete(int index);
  void Clear();
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();
  bool Updating() const { return updateCount_ > 0; }

 private:
  TStatusBar* bar_;
  std::vector<std::unique_ptr<TStatusPanel>> panels_;
  int updateCount_ = 0;
};

using TDrawPanelEvent =
    std::function<void(TStatusBar* StatusBar, TStatusPanel* Panel, const TRect& Rect)>;

class TStatusBar : public TWinControl {
 public:
  explicit TStatusBar(TComponent* owner);

  TDrawPanelEvent OnDrawPanel;

  void Dispatch(TMessage& message) override;

  TStatusPanels* Panels() { return &panels_; }
  // With no panels the simple text is shown as well.
  bool SimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool value);
  const std::string& SimpleText() const { return simpleText_; }
  void SetSimpleText(const std::string& text);
  bool SizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(bool value);
  TCanvas* Canvas() { return canvas_.get(); }
  // Sends the panels to the window (after a change).
  void UpdatePanels();
  // The text the window shows in a part (SB_SIMPLEID for the simple one).
  std::string PanelTextShown(int part);

 protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandleDone() override;
  virtual void DrawPanel(TStatusPanel* panel, const TRect& rect);

 private:
  bool ShowsSimple() const { return simplePanel_ || panels_.Count() == 0; }
  TStatusPanels panels_{this};
  bool simplePanel_ = false;
  std::string simpleText_;
  bool sizeGrip_ = true;
  std::unique_ptr<TCanvas> canvas_;
};

}  // namespace kv
