#include "skin/controls/sPageControl.h"

namespace kv {

TsTabSheet::TsTabSheet(TComponent* owner) : TTabSheet(owner) {}

TsPageControl::TsPageControl(TComponent* owner) : TPageControl(owner) {}

}  // namespace kv
