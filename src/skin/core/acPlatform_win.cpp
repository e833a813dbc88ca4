#include "skin/core/acPlatform.h"

#include "classlib/PlatformCalls.h"

namespace kv {

bool IsDwmCompositionOn() {
  const TPlatformCalls& calls = PlatformCalls();
  return calls.SystemMajorVersion() >= 6 && calls.IsCompositionEnabled();
}

}  // namespace kv
