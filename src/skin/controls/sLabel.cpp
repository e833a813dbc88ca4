#include "skin/controls/sLabel.h"

namespace kv {

TsLabel::TsLabel(TComponent* owner) : TLabel(owner) {}

}  // namespace kv
