// The skinned edit. With no skin loaded it paints as the plain edit does.
#pragma once

#include "classlib/StdCtrls.h"

namespace kv {

class TsEdit : public TEdit {
 public:
  explicit TsEdit(TComponent* owner);
};

}  // namespace kv
