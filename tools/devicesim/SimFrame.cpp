#include "devicesim/SimFrame.h"

namespace kv {

std::uint8_t SimXor(std::span<const std::uint8_t> bytes) {
  std::uint8_t sum = 0;
  for (std::uint8_t b : bytes) sum ^= b;
  return sum;
}

SimBytes BuildSimFrame(std::uint8_t command, std::uint32_t address,
                       std::span<const std::uint8_t> data) {
  const std::size_t n = data.size();
  SimBytes frame;
  frame.reserve(n + kSimFrameOverhead);
  frame.push_back(kSimFrameStart);
  frame.push_back(command);
  for (int shift = 24; shift >= 0; shift -= 8) frame.push_back(std::uint8_t(address >> shift));
  frame.push_back(std::uint8_t(n >> 8));
  frame.push_back(std::uint8_t(n));
  frame.insert(frame.end(), data.begin(), data.end());
  frame.push_back(SimXor(std::span(frame).subspan(1)));
  return frame;
}

SimFrameStatus ParseSimFrame(std::span<const std::uint8_t> bytes, SimFrame& frame,
                             std::size_t& size) {
  if (bytes.empty()) return SimFrameStatus::Incomplete;
  if (bytes[0] != kSimFrameStart) return SimFrameStatus::NotAFrame;
  if (bytes.size() < 8) return SimFrameStatus::Incomplete;
  const std::size_t n = std::size_t(bytes[6]) << 8 | bytes[7];
  if (n > kSimMaxRequestData) return SimFrameStatus::NotAFrame;
  if (bytes.size() < n + kSimFrameOverhead) return SimFrameStatus::Incomplete;
  size = n + kSimFrameOverhead;
  frame.command = bytes[1];
  frame.address = std::uint32_t(bytes[2]) << 24 | std::uint32_t(bytes[3]) << 16 |
                  std::uint32_t(bytes[4]) << 8 | bytes[5];
  frame.data.assign(bytes.begin() + 8, bytes.begin() + 8 + std::ptrdiff_t(n));
  const bool good = SimXor(bytes.subspan(1, n + 7)) == bytes[n + 8];
  return good ? SimFrameStatus::Ok : SimFrameStatus::BadChecksum;
}

}  // namespace kv
