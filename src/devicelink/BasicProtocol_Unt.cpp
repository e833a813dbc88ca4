#include "devicelink/BasicProtocol_Unt.h"

#include <algorithm>

namespace kv {

namespace {

// Number of frame bytes that both `last` and the container vouch for.
std::size_t UsableLength(const TDataPack& frame, int last) {
  if (last < 0) return 0;
  return std::min(frame.size(), static_cast<std::size_t>(last) + 1);
}

}  // namespace

bool TBasicProtocol::CheckFrame(const TDataPack& frame, int last) const {
  const std::size_t n = UsableLength(frame, last);
  if (n < 2 || static_cast<std::size_t>(last) + 1 != n) return false;
  if (frame[0] != FrameStart) return false;
  std::uint8_t sum = frame[1];
  for (int i = 2; i <= last - 1; ++i) sum ^= frame[i];
  return sum == frame[last];
}

std::uint8_t TBasicProtocol::CalcCheckSum(const TDataPack& body, int last) const {
  const std::size_t n = UsableLength(body, last);
  std::uint8_t sum = 0;
  for (std::size_t i = 0; i < n; ++i) sum ^= body[i];
  return sum;
}

std::uint16_t TBasicProtocol::GetDataLength(const TDataPack& frame, int last) const {
  if (UsableLength(frame, last) < FrameOverhead) return 0;
  return static_cast<std::uint16_t>(frame[6] << 8 | frame[7]);
}

void TBasicProtocol::GetData(const TDataPack& frame, int last, TDataPack& data) const {
  data.clear();
  const std::size_t n = UsableLength(frame, last);
  if (n < FrameOverhead) return;
  const std::size_t wanted = GetDataLength(frame, last);
  const std::size_t present = n - 8;  // bytes from offset 8 on, checksum included
  const std::size_t count = std::min(wanted, present);
  data.assign(frame.begin() + 8, frame.begin() + 8 + static_cast<std::ptrdiff_t>(count));
}

TDataPack TBasicProtocol::BufferToPack(const void* buffer, std::uint16_t length) const {
  if (buffer == nullptr || length == 0) return {};
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  return TDataPack(bytes, bytes + length);
}

TAddress TBasicProtocol::IntToAddress(std::int32_t value) const {
  const auto v = static_cast<std::uint32_t>(value);
  return {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16),
          static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
}

void TBasicProtocol::BuildFrame(std::uint8_t command, const TAddress& address,
                                const TDataPack& data, TDataPack& frame) const {
  frame.clear();
  // The length field is 16 bits and the body length 7 + n must fit it too.
  const std::size_t n = std::min<std::size_t>(data.size(), 0xFFFF - 7);
  TDataPack body(7 + n, 0);
  body[0] = command;
  for (std::size_t i = 0; i < 4 && i < address.size(); ++i) body[1 + i] = address[i];
  body[5] = static_cast<std::uint8_t>(n >> 8);
  body[6] = static_cast<std::uint8_t>(n);
  std::copy_n(data.begin(), n, body.begin() + 7);
  const std::uint8_t sum = CalcCheckSum(body, static_cast<int>(6 + n));
  frame.reserve(body.size() + 2);
  frame.push_back(FrameStart);
  frame.insert(frame.end(), body.begin(), body.end());
  frame.push_back(sum);
}

void TBasicProtocol::GetBlock(const TDataPack& source, int k, int size, TDataPack& block) const {
  block.clear();
  if (k < 0 || size <= 0) return;
  const std::size_t from = static_cast<std::size_t>(k) * static_cast<std::size_t>(size);
  if (from >= source.size()) return;
  const std::size_t to = std::min(source.size(), from + static_cast<std::size_t>(size));
  block.assign(source.begin() + static_cast<std::ptrdiff_t>(from),
               source.begin() + static_cast<std::ptrdiff_t>(to));
}

void TBasicProtocol::PadBlock(const TDataPack& slice, std::uint8_t pad, TDataPack& block) const {
  block.assign(BlockSize, pad);
  std::copy_n(slice.begin(), std::min(slice.size(), BlockSize), block.begin());
}

std::size_t TBasicProtocol::FrameLength(const std::uint8_t* bytes, std::size_t count) {
  if (count == 0 || bytes[0] != FrameStart) return 0;
  if (count < 8) return FrameOverhead;
  const std::size_t n = FrameOverhead + (std::size_t{bytes[6]} << 8 | bytes[7]);
  return n <= LongestFrame ? n : 0;
}

// Unsigned arithmetic: an out-of-range index wraps like the device's 32-bit
// address instead of overflowing.
std::int32_t TBasicProtocol::ConfigBlockAddress(int k) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(k) * 256u);
}

std::int32_t TBasicProtocol::HistoryBlockAddress(int k) {
  return static_cast<std::int32_t>(0x4000u + static_cast<std::uint32_t>(k) * 256u);
}

std::int32_t TBasicProtocol::HistoryRecordAddress(int r) {
  return static_cast<std::int32_t>(0x4000u + (static_cast<std::uint32_t>(r) - 1u) * 64u);
}

}  // namespace kv
