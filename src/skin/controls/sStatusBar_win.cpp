#include "skin/controls/sStatusBar_win.h"

namespace kv {

TsStatusBar::TsStatusBar(TComponent* owner) : TStatusBar(owner) {}

}  // namespace kv
