// Platform answers the toolkit asks by their own names; each is read through
// the one table of classlib/PlatformCalls.h, which tests set.
#pragma once

namespace kv {

// True when the system's major version is 6 or more and the desktop window
// manager reports composition on.
bool IsDwmCompositionOn();

}  // namespace kv
