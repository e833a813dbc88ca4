#include "skin/controls/sCheckBox_win.h"

namespace kv {

TsCheckBox::TsCheckBox(TComponent* owner) : TCheckBox(owner) {}

}  // namespace kv
