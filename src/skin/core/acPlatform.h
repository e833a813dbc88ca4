// Answers of the platform that tests need to set: each is read through one
// settable function pointer, which starts out asking the system.
#pragma once

namespace kv {

using TacPlatformQuery = bool (*)();

// True when the system's major version is 6 or more and the desktop window
// manager reports composition on (dwmapi loaded on demand).
bool SystemDwmCompositionOn();
extern TacPlatformQuery DwmCompositionQuery;
inline bool IsDwmCompositionOn() { return DwmCompositionQuery(); }

}  // namespace kv
