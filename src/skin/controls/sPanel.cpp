#include "skin/controls/sPanel.h"

namespace kv {

TsPanel::TsPanel(TComponent* owner) : TPanel(owner) {}

}  // namespace kv
