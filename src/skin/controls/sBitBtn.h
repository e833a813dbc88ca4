// The skinned push button with glyph and caption. With no skin loaded it
// paints as the plain bit button does.
#pragma once

#include "classlib/Buttons.h"

namespace kv {

class TsBitBtn : public TBitBtn {
 public:
  explicit TsBitBtn(TComponent* owner);

  // A stored pushed-in state, as a skin paints it.
  bool GetDown() const { return down_; }
  void SetDown(bool value);
  // 2 while pushed or down, 1 for the default button, else 0.
  int CurrentState();

 private:
  bool down_ = false;
};

}  // namespace kv
