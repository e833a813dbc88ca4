// Text conversions. The program keeps text as UTF-8 in std::string; the W
// functions of Win32 want UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace kv {

// Ill-formed input (a stray continuation byte, a cut sequence, an encoded
// surrogate, an overlong form) becomes U+FFFD, one per bad byte.
std::u16string Utf8ToUtf16(std::string_view text);

// An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace kv
