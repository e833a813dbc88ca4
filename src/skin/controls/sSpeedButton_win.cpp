#include "skin/controls/sSpeedButton_win.h"

namespace kv {

TsSpeedButton::TsSpeedButton(TComponent* owner) : TSpeedButton(owner) {}

int TsSpeedButton::CurrentState() const {
  if (Down() || State() == bsDown || State() == bsExclusive) return 2;
  return MouseInControl() ? 1 : 0;
}

}  // namespace kv
