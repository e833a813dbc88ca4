#include "skin/controls/sCheckBox.h"

namespace kv {

TsCheckBox::TsCheckBox(TComponent* owner) : TCheckBox(owner) {}

}  // namespace kv
