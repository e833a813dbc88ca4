#include "skin/controls/sGroupBox.h"

namespace kv {

TsGroupBox::TsGroupBox(TComponent* owner) : TGroupBox(owner) {}

}  // namespace kv
