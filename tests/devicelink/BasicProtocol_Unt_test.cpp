#include "devicelink/BasicProtocol_Unt.h"

#include <gtest/gtest.h>

#include "ByteText.h"
#include "FrameExamples.h"

namespace kv {
namespace {

using test::Hex;
using test::HexText;
using test::kFrameExamples;
using test::Last;

TEST(BasicProtocol, BuildsTheFramesOfTheByteExamples) {
  TBasicProtocol codec;
  for (const auto& ex : kFrameExamples) {
    TDataPack frame{0xEE};  // out arrays are emptied first
    codec.BuildFrame(ex.command, codec.IntToAddress(static_cast<std::int32_t>(ex.address)),
                     Hex(ex.data), frame);
    EXPECT_EQ(HexText(frame), ex.frame) << ex.what;
    EXPECT_TRUE(codec.CheckFrame(frame, Last(frame))) << ex.what;
  }
}

TEST(BasicProtocol, TakesTheByteExamplesApart) {
  TBasicProtocol codec;
  for (const auto& ex : kFrameExamples) {
    const TDataPack frame = Hex(ex.frame);
    TDataPack data;
    codec.GetData(frame, Last(frame), data);
    EXPECT_EQ(HexText(data), ex.data) << ex.what;
    EXPECT_EQ(codec.GetDataLength(frame, Last(frame)), data.size()) << ex.what;
  }
}

TEST(BasicProtocol, WritesTheLengthOfA256ByteBlockAsOneZero) {
  TBasicProtocol codec;
  TDataPack frame;
  codec.BuildFrame(0x82, codec.IntToAddress(0x0D00), TDataPack(256, 0x5A), frame);
  ASSERT_EQ(frame.size(), 265u);
  EXPECT_EQ(frame[6], 0x01);
  EXPECT_EQ(frame[7], 0x00);
  EXPECT_EQ(codec.GetDataLength(frame, Last(frame)), 256);
  EXPECT_TRUE(codec.CheckFrame(frame, Last(frame)));
}

TEST(BasicProtocol, AcceptsEveryBuiltFrameWhateverCommandAndAddress) {
  TBasicProtocol codec;
  const std::int32_t addresses[] = {
      0, 1, 0x4000, 0x00FFFFFF, 0x7FFFFFFF, -1, static_cast<std::int32_t>(0x80000000)};
  for (int command = 0; command < 256; command += 5) {
    for (std::int32_t address : addresses) {
      TDataPack frame;
      codec.BuildFrame(static_cast<std::uint8_t>(command), codec.IntToAddress(address),
                       Hex("01 02 03"), frame);
      EXPECT_TRUE(codec.CheckFrame(frame, Last(frame))) << command << " " << address;
    }
  }
}

TEST(BasicProtocol, RejectsBadStartBadChecksumAndShortBuffers) {
  TBasicProtocol codec;
  const TDataPack good = Hex("23 08 00 00 00 00 00 00 08");
  TDataPack badStart = good;
  badStart[0] = 0x24;
  TDataPack badSum = good;
  badSum.back() ^= 0x01;
  EXPECT_FALSE(codec.CheckFrame(badStart, Last(badStart)));
  EXPECT_FALSE(codec.CheckFrame(badSum, Last(badSum)));
  EXPECT_FALSE(codec.CheckFrame(TDataPack{}, -1));
  EXPECT_FALSE(codec.CheckFrame(Hex("23"), 0));
  // A `last` beyond the bytes held is refused instead of read.
  EXPECT_FALSE(codec.CheckFrame(Hex("23 08 08"), 40));
  // Below three bytes the checksum is byte 1 itself, as the device defines it.
  EXPECT_TRUE(codec.CheckFrame(Hex("23 05"), 1));
}

TEST(BasicProtocol, GivesNoLengthOrDataForFramesOfEightBytesOrFewer) {
  TBasicProtocol codec;
  const TDataPack shortFrame = Hex("23 83 00 00 41 00 01 00");
  TDataPack data{1, 2};
  EXPECT_EQ(codec.GetDataLength(shortFrame, Last(shortFrame)), 0);
  codec.GetData(shortFrame, Last(shortFrame), data);
  EXPECT_TRUE(data.empty());
}

// The serial component ends a reply at its last byte by this length, so
// every prefix of a frame must say "more to come" and the whole frame "done".
TEST(BasicProtocol, KnowsAFramesLengthFromItsHeader) {
  for (const auto& ex : kFrameExamples) {
    const TDataPack frame = Hex(ex.frame);
    for (std::size_t n = 1; n < frame.size(); ++n)
      EXPECT_GT(TBasicProtocol::FrameLength(frame.data(), n), n) << ex.what << ", " << n << " bytes";
    EXPECT_EQ(TBasicProtocol::FrameLength(frame.data(), frame.size()), frame.size()) << ex.what;
  }
  const TDataPack block = Hex("23 83 00 00 00 00 01 00");
  EXPECT_EQ(TBasicProtocol::FrameLength(block.data(), block.size()), 265u);
  // A length no frame has (noise on the length byte) begins no frame.
  for (const char* noise : {"23 83 00 00 00 00 01 01", "23 83 00 00 00 00 0F 00"})
    EXPECT_EQ(TBasicProtocol::FrameLength(Hex(noise).data(), 8), 0u) << noise;
  const TDataPack text = Hex("31 30 30 0D 0A");
  EXPECT_EQ(TBasicProtocol::FrameLength(text.data(), text.size()), 0u);
  EXPECT_EQ(TBasicProtocol::FrameLength(text.data(), 0), 0u);
}

TEST(BasicProtocol, NeverReadsPastTheBytesReceived) {
  TBasicProtocol codec;
  // Length field says 256, only three data bytes and a checksum arrived.
  const TDataPack cut = Hex("23 83 00 00 00 00 01 00 AA BB CC 55");
  TDataPack data;
  codec.GetData(cut, Last(cut), data);
  EXPECT_EQ(HexText(data), "AA BB CC 55");
  // `last` larger than the container is clamped too.
  codec.GetData(cut, 1000, data);
  EXPECT_EQ(data.size(), 4u);
}

TEST(BasicProtocol, MakesAddressesMostSignificantByteFirst) {
  TBasicProtocol codec;
  EXPECT_EQ(HexText(codec.IntToAddress(0x4100)), "00 00 41 00");
  EXPECT_EQ(HexText(codec.IntToAddress(0x12345678)), "12 34 56 78");
  EXPECT_EQ(HexText(codec.IntToAddress(-2)), "FF FF FF FE");
}

TEST(BasicProtocol, ComputesBlockAndRecordAddresses) {
  EXPECT_EQ(TBasicProtocol::ConfigBlockAddress(0), 0);
  EXPECT_EQ(TBasicProtocol::ConfigBlockAddress(13), 3328);
  EXPECT_EQ(TBasicProtocol::HistoryBlockAddress(0), 0x4000);
  EXPECT_EQ(TBasicProtocol::HistoryBlockAddress(1), 0x4100);
  EXPECT_EQ(TBasicProtocol::HistoryRecordAddress(1), 0x4000);
  EXPECT_EQ(TBasicProtocol::HistoryRecordAddress(5), 0x4100);
}

TEST(BasicProtocol, SlicesAndPadsTheConfigurationImage) {
  TBasicProtocol codec;
  TDataPack image(3568);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i / 256);
  TDataPack block;
  for (int k = 0; k <= 12; ++k) {
    codec.GetBlock(image, k, 256, block);
    ASSERT_EQ(block.size(), 256u) << k;
    EXPECT_EQ(block.front(), k);
  }
  codec.GetBlock(image, 13, 256, block);
  EXPECT_EQ(block.size(), 240u);
  TDataPack padded;
  codec.PadBlock(block, 0xFF, padded);
  ASSERT_EQ(padded.size(), 256u);
  EXPECT_EQ(padded[239], 13);
  EXPECT_EQ(padded[240], 0xFF);
  codec.GetBlock(image, 14, 256, block);
  EXPECT_TRUE(block.empty());
  codec.PadBlock(block, 0xFF, padded);
  EXPECT_EQ(padded, TDataPack(256, 0xFF));
}

TEST(BasicProtocol, CopiesARawBuffer) {
  TBasicProtocol codec;
  const char raw[] = "#\x05\x00z";
  EXPECT_EQ(HexText(codec.BufferToPack(raw, 3)), "23 05 00");
  EXPECT_TRUE(codec.BufferToPack(raw, 0).empty());
}

}  // namespace
}  // namespace kv
