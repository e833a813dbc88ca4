// The protocol's own byte examples, which the configurator's frame codec and
// the device simulator's must both build and take apart byte for byte.
#pragma once

#include <cstdint>

namespace kv::test {

struct FrameExample {
  const char* what;
  std::uint8_t command;
  std::uint32_t address;
  const char* data;
  const char* frame;
};

inline constexpr FrameExample kFrameExamples[] = {
    {"read device clock", 0x08, 0, "", "23 08 00 00 00 00 00 00 08"},
    {"set clock 2024-12-31 23:59", 0x03, 0, "18 0C 1F 17 3B 00",
     "23 03 00 00 00 00 00 06 18 0C 1F 17 3B 00 22"},
    {"read history block 1", 0x83, 0x4100, "", "23 83 00 00 41 00 00 00 C2"},
    {"relay status and channel values", 0x06, 0, "", "23 06 00 00 00 00 00 00 06"},
    {"password 1234", 0x01, 0, "31 32 33 34", "23 01 00 00 00 00 00 04 31 32 33 34 01"},
    {"read version", 0x05, 0, "00", "23 05 00 00 00 00 00 01 00 04"},
    {"read history record 1", 0x83, 0x4000, "", "23 83 00 00 40 00 00 00 C3"},
    {"read configuration block 13", 0x83, 13 * 256, "", "23 83 00 00 0D 00 00 00 8E"},
    {"clear history", 0x85, 0, "", "23 85 00 00 00 00 00 00 85"},
    {"high address byte", 0x83, 0xA1B2C3D4, "", "23 83 A1 B2 C3 D4 00 00 87"},
};

}  // namespace kv::test
