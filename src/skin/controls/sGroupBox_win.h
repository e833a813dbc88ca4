// The skinned group box. With no skin loaded it paints as the plain group box does.
#pragma once

#include "classlib/StdCtrls.h"

namespace kv {

class TsGroupBox : public TGroupBox {
 public:
  explicit TsGroupBox(TComponent* owner);
};

}  // namespace kv
