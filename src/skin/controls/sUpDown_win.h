// The skinned up-down: two arrow buttons painted over the system up-down
// from the default skin manager's scroll-button sections (or ButtonSkin),
// hot and pressed as the mouse moves and presses, and shown inaccessible at
// the limit each moves toward. It keeps no skin data of its own; without an
// active default manager the system up-down paints.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "classlib/ComCtrls.h"
#include "skin/model/acToolkitFlags.h"

namespace kv {

class TBitmap;

class TsUpDown : public TCustomUpDown {
 public:
  explicit TsUpDown(TComponent* owner);

  void WndProc(TMessage& message) override;

  // A section of the skin for both buttons; empty or absent: the skin's
  // scroll-button sections.
  const std::string& ButtonSkin() const { return buttonSkin_; }
  void SetButtonSkin(const std::string& value);
  TsDisabledKind DisabledKind() const { return disabledKind_; }
  void SetDisabledKind(TsDisabledKind value);
  bool ShowInaccessibility() const { return showInaccessibility_; }
  void SetShowInaccessibility(bool value);

  // 0 none, 1 first button hot, 2 second hot, 3 first pressed, 4 second
  // pressed; the first is the top or left one.
  int ButtonState() const { return buttonState_; }

 private:
  bool Skinned() const;
  void SetButtonState(int value);
  void PaintButtons(HDC dc);
  void PaintButton(TBitmap& bitmap, bool first, const TRect& place);

  std::string buttonSkin_;
  TsDisabledKind disabledKind_ = dkBlended;
  bool showInaccessibility_ = true;
  int buttonState_ = 0;
  bool mouseDown_ = false;
};

}  // namespace kv
