// The toolkit's private window message. Every skinned window uses the same
// fixed number: the name "SM_ALPHACMD" is still registered with the system at
// start (by the Win32 side), but its result is not used.
#pragma once

namespace kv {

// Command code in the high word of WParam, a small argument in the low word,
// a further argument in LParam.
inline constexpr unsigned int SM_ALPHACMD = 0xA100;

}  // namespace kv
