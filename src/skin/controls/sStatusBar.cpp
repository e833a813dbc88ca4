#include "skin/controls/sStatusBar.h"

namespace kv {

TsStatusBar::TsStatusBar(TComponent* owner) : TStatusBar(owner) {}

}  // namespace kv
