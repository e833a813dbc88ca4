#include "skin/controls/sBitBtn.h"

namespace kv {

TsBitBtn::TsBitBtn(TComponent* owner) : TBitBtn(owner) {}

void TsBitBtn::SetDown(bool value) {
  if (down_ == value) return;
  down_ = value;
  Invalidate();
}

int TsBitBtn::CurrentState() {
  const bool pushed =
      HandleAllocated() && (SendMessageW(Handle(), BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
  if (pushed || down_) return 2;
  return Default() ? 1 : 0;
}

}  // namespace kv
