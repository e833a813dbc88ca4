#include "skin/controls/sPageControl_win.h"

namespace kv {

TsTabSheet::TsTabSheet(TComponent* owner) : TTabSheet(owner) {}

TsPageControl::TsPageControl(TComponent* owner) : TPageControl(owner) {}

}  // namespace kv
