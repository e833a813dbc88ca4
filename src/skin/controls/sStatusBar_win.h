// The skinned status bar. With no skin loaded it paints as the plain status bar does.
#pragma once

#include "classlib/ComCtrls.h"

namespace kv {

class TsStatusBar : public TStatusBar {
 public:
  explicit TsStatusBar(TComponent* owner);
};

}  // namespace kv
