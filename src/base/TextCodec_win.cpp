#include <windows.h>

#include "base/TextCodec.h"

namespace kv::detail {

namespace {

constexpr UINT kCodePage = 936;

// One character, strictly: 0 when it maps to no single UTF-16 unit.
char16_t Convert(const char* bytes, int len) {
  wchar_t out[4];
  const int n = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes, len, out, 4);
  return n == 1 ? static_cast<char16_t>(out[0]) : 0;
}

}  // namespace

void LoadCp936(char16_t* singles, char16_t* pairs) {
  for (int b = 0x80; b <= 0xFF; ++b) {
    const char c = static_cast<char>(b);
    // A lead byte on its own is no character.
    singles[b - 0x80] = (b >= 0x81 && b <= 0xFE) ? 0 : Convert(&c, 1);
  }
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      pairs[(lead - 0x81) * 191 + (trail - 0x40)] = Convert(pair, 2);
    }
  }
}

}  // namespace kv::detail
