// The skinned flat button. With no skin loaded it paints as the plain speed
// button does.
#pragma once

#include "classlib/Buttons.h"

namespace kv {

class TsSpeedButton : public TSpeedButton {
 public:
  explicit TsSpeedButton(TComponent* owner);

  bool GetDown() const { return Down(); }
  // 2 while down or pressed, 1 while the mouse is over it, else 0.
  int CurrentState() const;
};

}  // namespace kv
