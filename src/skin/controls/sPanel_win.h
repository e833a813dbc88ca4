// The skinned panel. With no skin loaded it paints as the plain panel does.
#pragma once

#include "classlib/ExtCtrls.h"

namespace kv {

class TsPanel : public TPanel {
 public:
  explicit TsPanel(TComponent* owner);
};

}  // namespace kv
