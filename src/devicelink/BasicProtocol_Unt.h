// Frame codec: "#", command, 4-byte address, 2-byte length, data, XOR checksum.
// Addresses and lengths are most significant byte first.
#pragma once

#include <cstddef>
#include <cstdint>

#include "devicelink/Const_Unt.h"

namespace kv {

class TBasicProtocol {
 public:
  static constexpr std::uint8_t FrameStart = 0x23;  // "#"
  static constexpr std::size_t FrameOverhead = 9;   // start, body header (7), checksum
  static constexpr std::size_t BlockSize = 256;
  // The longest frame either side sends: a whole block.
  static constexpr std::size_t LongestFrame = FrameOverhead + BlockSize;

  TBasicProtocol() = default;
  virtual ~TBasicProtocol() = default;
  TBasicProtocol(const TBasicProtocol&) = delete;
  TBasicProtocol& operator=(const TBasicProtocol&) = delete;

  // Frame operations take the frame and the index of its last byte, not its
  // length. They never read past frame.size(), whatever `last` claims.
  virtual bool CheckFrame(const TDataPack& frame, int last) const;
  virtual std::uint8_t CalcCheckSum(const TDataPack& body, int last) const;
  virtual std::uint16_t GetDataLength(const TDataPack& frame, int last) const;
  // The data part as far as it was received: a length field that claims more
  // bytes than the frame holds yields only those present.
  virtual void GetData(const TDataPack& frame, int last, TDataPack& data) const;
  virtual TDataPack BufferToPack(const void* buffer, std::uint16_t length) const;
  virtual TAddress IntToAddress(std::int32_t value) const;

  void BuildFrame(std::uint8_t command, const TAddress& address, const TDataPack& data,
                  TDataPack& frame) const;
  void GetBlock(const TDataPack& source, int k, int size, TDataPack& block) const;
  void PadBlock(const TDataPack& slice, std::uint8_t pad, TDataPack& block) const;

  // The length of the frame that `count` received bytes begin, as far as the
  // header tells: 0 when they begin no frame (a length field claiming more
  // than LongestFrame is noise), FrameOverhead until the length field is in,
  // else the whole frame's length.
  static std::size_t FrameLength(const std::uint8_t* bytes, std::size_t count);

  static std::int32_t ConfigBlockAddress(int k);
  static std::int32_t HistoryBlockAddress(int k);
  static std::int32_t HistoryRecordAddress(int r);
};

}  // namespace kv
