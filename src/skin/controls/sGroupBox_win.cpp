#include "skin/controls/sGroupBox_win.h"

namespace kv {

TsGroupBox::TsGroupBox(TComponent* owner) : TGroupBox(owner) {}

}  // namespace kv
