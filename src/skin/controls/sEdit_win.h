// The skinned single-line edit. While enabled the system edit paints its own
// text and caret in the skin's colours; the skin paints the frame. The cached
// picture fills the client area only while the edit is disabled or printed.
// With no skin loaded it paints as the plain edit does.
#pragma once

#include <windows.h>

#include <memory>

#include "classlib/StdCtrls.h"
#include "skin/controls/sSkinnedControl_win.h"

namespace kv {

class TsBoundLabel;

class TsEdit : public TsSkinnedControl<TEdit> {
 public:
  explicit TsEdit(TComponent* owner);
  ~TsEdit() override;

  TsBoundLabel* BoundLabel() const { return boundLabel_.get(); }
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind value);

  // Width of the border: 2 for the client edge, 1 for the line without
  // Ctl3D, 0 with none.
  int FrameWidth() const;
  // The whole frame round the client area: the border and the bevels.
  int Inset() const;

 protected:
  void MessageDone(TMessage& m) override;
  TacCommandOutcome SkinCommand(TMessage& m) override;
  bool SkinnedMessage(TMessage& m) override;
  void AfterMessage(TMessage& m) override;
  void PrepareCache() override;
  void PaintToDC(HDC dc) override;
  virtual void DrawEditText();

 private:
  void PaintFrame();
  void ApplySkinColors();
  void RedrawFrame();

  TsDisabledKind disabledKind_ = dkBlended;
  // Set while the skin's colours are given to the edit: that font change
  // is not the user's and must not end the hot look.
  bool applyingColors_ = false;
  std::unique_ptr<TsBoundLabel> boundLabel_;
};

// An edit-like control takes its section's colours (hot ones when hot) as
// its Color and font colour, unless it keeps its own. An unchanged colour is
// not set again, so this starts no paint by itself.
void ApplySectionColorsTo(TsCommonData* sd, bool hot);

}  // namespace kv
