// The skinned check box. With no skin loaded it paints as the plain check box
// does; Checked set from code raises no click of another box.
#pragma once

#include "classlib/StdCtrls.h"

namespace kv {

class TsCheckBox : public TCheckBox {
 public:
  explicit TsCheckBox(TComponent* owner);
};

}  // namespace kv
