// The skinned label. With no skin loaded it paints as the plain label does.
#pragma once

#include "classlib/StdCtrls.h"

namespace kv {

class TsLabel : public TLabel {
 public:
  explicit TsLabel(TComponent* owner);
};

}  // namespace kv
