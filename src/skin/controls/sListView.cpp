#include "skin/controls/sListView.h"

namespace kv {

TsListView::TsListView(TComponent* owner) : TListView(owner) {}

}  // namespace kv
