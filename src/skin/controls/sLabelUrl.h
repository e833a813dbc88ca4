// Which addresses a link label hands to the shell. The shell runs whatever a
// string names, programs included, so a label opens only web and mail
// addresses.
#pragma once

#include <string_view>

namespace kv {

// True for "http://", "https://" and "mailto:" addresses (the scheme in any
// case) with something after the scheme, and without control characters or
// quotes, which could end the address on the command line it is put on.
bool IsOpenableUrl(std::string_view url);

}  // namespace kv
