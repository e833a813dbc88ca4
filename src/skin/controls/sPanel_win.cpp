#include "skin/controls/sPanel_win.h"

namespace kv {

TsPanel::TsPanel(TComponent* owner) : TPanel(owner) {}

}  // namespace kv
