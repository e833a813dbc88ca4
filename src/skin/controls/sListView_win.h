// The skinned report list view. With no skin loaded it paints as the plain list view does.
#pragma once

#include "classlib/ListViews.h"

namespace kv {

class TsListView : public TListView {
 public:
  explicit TsListView(TComponent* owner);
};

}  // namespace kv
