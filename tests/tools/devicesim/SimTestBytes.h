#pragma once
// Byte strings written the way the protocol tables write them: "23 08 00 ...".

#include <cstdint>
#include <string>

#include "devicesim/SimFrame.h"

namespace kv {

inline SimBytes HexBytes(const std::string& text) {
  SimBytes bytes;
  int high = -1;
  for (char c : text) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    if (v < 0) continue;
    if (high < 0) {
      high = v;
    } else {
      bytes.push_back(std::uint8_t(high << 4 | v));
      high = -1;
    }
  }
  return bytes;
}

inline SimBytes TextBytes(const std::string& text) { return SimBytes(text.begin(), text.end()); }

inline std::string HexText(const SimBytes& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string text;
  for (std::uint8_t b : bytes) {
    text.push_back(digits[b >> 4]);
    text.push_back(digits[b & 15]);
  }
  return text;
}

}  // namespace kv
