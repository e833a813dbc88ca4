#include "skin/controls/sEdit_win.h"

namespace kv {

TsEdit::TsEdit(TComponent* owner) : TEdit(owner) {}

}  // namespace kv
