#pragma once
// The program's UTF-8 text at the wide Win32 boundary.

#include <string>
#include <string_view>

#include "base/TextCodec.h"

namespace kv {

inline std::wstring Wide(std::string_view utf8) {
  const std::u16string w = Utf8ToUtf16(utf8);
  return std::wstring(w.begin(), w.end());
}

inline std::string Narrow(std::wstring_view wide) {
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

}  // namespace kv
