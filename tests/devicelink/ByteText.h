// Test helper: byte arrays written and shown as hex text ("23 08 00").
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "devicelink/Const_Unt.h"

namespace kv::test {

inline TDataPack Hex(std::string_view text) {
  TDataPack bytes;
  std::string digits;
  for (char c : text) {
    if (c == ' ') continue;
    digits += c;
    if (digits.size() == 2) {
      bytes.push_back(static_cast<std::uint8_t>(std::stoul(digits, nullptr, 16)));
      digits.clear();
    }
  }
  return bytes;
}

inline std::string HexText(const TDataPack& bytes) {
  std::string text;
  char cell[4];
  for (std::uint8_t b : bytes) {
    std::snprintf(cell, sizeof cell, "%02X ", b);
    text += cell;
  }
  if (!text.empty()) text.pop_back();
  return text;
}

inline int Last(const TDataPack& frame) { return static_cast<int>(frame.size()) - 1; }

}  // namespace kv::test
