#include <iconv.h>

#include <cstring>

#include "base/TextCodec.h"

namespace kv::detail {

namespace {

// One character through iconv; 0 when it does not map to one UTF-16 unit.
char16_t Convert(iconv_t cd, const char* bytes, size_t len) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char in[2];
  std::memcpy(in, bytes, len);
  char* src = in;
  size_t srcLeft = len;
  char out[8];
  char* dst = out;
  size_t dstLeft = sizeof out;
  if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0 ||
      dst - out != 2) {
    return 0;
  }
  return static_cast<char16_t>(static_cast<unsigned char>(out[0]) |
                               (static_cast<unsigned char>(out[1]) << 8));
}

}  // namespace

void LoadCp936(char16_t* singles, char16_t* pairs) {
  iconv_t cd = iconv_open("UTF-16LE", "CP936");
  if (cd == reinterpret_cast<iconv_t>(-1)) return;  // no mapping: everything becomes '?'
  for (int b = 0x80; b <= 0xFF; ++b) {
    const char c = static_cast<char>(b);
    singles[b - 0x80] = Convert(cd, &c, 1);
  }
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      pairs[(lead - 0x81) * 191 + (trail - 0x40)] = Convert(cd, pair, 2);
    }
  }
  iconv_close(cd);
}

}  // namespace kv::detail
