#include "skin/controls/sListView_win.h"

namespace kv {

TsListView::TsListView(TComponent* owner) : TListView(owner) {}

}  // namespace kv
