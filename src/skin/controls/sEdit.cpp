#include "skin/controls/sEdit.h"

namespace kv {

TsEdit::TsEdit(TComponent* owner) : TEdit(owner) {}

}  // namespace kv
