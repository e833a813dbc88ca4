// The skinned page control and its sheets. With no skin loaded they paint as
// the plain page control and sheets do.
#pragma once

#include "classlib/Tabs.h"

namespace kv {

class TsTabSheet : public TTabSheet {
 public:
  explicit TsTabSheet(TComponent* owner);
};

class TsPageControl : public TPageControl {
 public:
  explicit TsPageControl(TComponent* owner);
};

}  // namespace kv
