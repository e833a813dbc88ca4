#pragma once
// The logger's binary frame, decoded and built by the simulator's own code:
// "#", command, 4-byte address (big-endian), 2-byte length (big-endian), data,
// XOR checksum from the command byte to the last data byte.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kv {

using SimBytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kSimFrameStart = 0x23;
constexpr std::size_t kSimFrameOverhead = 9;
// The configurator sends at most 256 data bytes; anything claiming far more is
// taken for line noise rather than waited for.
constexpr std::size_t kSimMaxRequestData = 4096;

struct SimFrame {
  std::uint8_t command = 0;
  std::uint32_t address = 0;
  SimBytes data;
};

enum class SimFrameStatus {
  Ok,           // a whole frame with a good checksum
  Incomplete,   // starts like a frame, more bytes needed
  NotAFrame,    // does not start with "#" or claims an absurd length
  BadChecksum,  // whole frame, wrong checksum
};

// XOR of all bytes.
std::uint8_t SimXor(std::span<const std::uint8_t> bytes);

SimBytes BuildSimFrame(std::uint8_t command, std::uint32_t address,
                       std::span<const std::uint8_t> data);

// Looks at the start of `bytes`. On Ok and BadChecksum, `size` is the frame's
// length in bytes and `frame` holds what it says.
SimFrameStatus ParseSimFrame(std::span<const std::uint8_t> bytes, SimFrame& frame,
                             std::size_t& size);

}  // namespace kv
