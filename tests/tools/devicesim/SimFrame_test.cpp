#include "devicesim/SimFrame.h"

#include <gtest/gtest.h>

#include "SimTestBytes.h"
#include "devicelink/FrameExamples.h"
#include "devicesim/SimRequestReader.h"

namespace kv {
namespace {

using test::FrameExample;
using test::kFrameExamples;

TEST(SimFrame, BuildsTheProtocolsByteExamples) {
  for (const FrameExample& e : kFrameExamples) {
    EXPECT_EQ(HexText(BuildSimFrame(e.command, e.address, HexBytes(e.data))),
              HexText(HexBytes(e.frame)))
        << e.what;
  }
}

TEST(SimFrame, ParsesTheProtocolsByteExamplesBack) {
  for (const FrameExample& e : kFrameExamples) {
    const SimBytes wire = HexBytes(e.frame);
    SimFrame frame;
    std::size_t size = 0;
    ASSERT_EQ(ParseSimFrame(wire, frame, size), SimFrameStatus::Ok) << e.what;
    EXPECT_EQ(size, wire.size()) << e.what;
    EXPECT_EQ(frame.command, e.command) << e.what;
    EXPECT_EQ(frame.address, e.address) << e.what;
    EXPECT_EQ(frame.data, HexBytes(e.data)) << e.what;
  }
}

TEST(SimFrame, WritesLengthBigEndianAndAddressMostSignificantFirst) {
  const SimBytes block(256, 0xFF);
  const SimBytes frame = BuildSimFrame(0x82, 0x12345600, block);
  ASSERT_EQ(frame.size(), 265u);
  EXPECT_EQ(HexText(SimBytes(frame.begin(), frame.begin() + 8)), "2382123456000100");
  SimFrame parsed;
  std::size_t size = 0;
  EXPECT_EQ(ParseSimFrame(frame, parsed, size), SimFrameStatus::Ok);
  EXPECT_EQ(parsed.address, 0x12345600u);
}

TEST(SimFrame, TellsIncompleteWrongAndForeignBytesApart) {
  SimFrame frame;
  std::size_t size = 0;
  const SimBytes good = HexBytes("23 03 00 00 00 00 00 06 18 0C 1F 17 3B 00 22");
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    EXPECT_EQ(ParseSimFrame(std::span(good).first(cut), frame, size), SimFrameStatus::Incomplete)
        << cut;
  }
  SimBytes wrong = good;
  wrong.back() ^= 1;
  EXPECT_EQ(ParseSimFrame(wrong, frame, size), SimFrameStatus::BadChecksum);
  EXPECT_EQ(size, good.size());
  SimBytes foreign = good;
  foreign[0] = 0x24;
  EXPECT_EQ(ParseSimFrame(foreign, frame, size), SimFrameStatus::NotAFrame);
  EXPECT_EQ(ParseSimFrame(HexBytes("23 01 00 00 00 00 FF FF"), frame, size),
            SimFrameStatus::NotAFrame);
}

TEST(SimRequestReader, ReassemblesAFrameDeliveredInPieces) {
  SimRequestReader reader;
  const SimBytes wire = BuildSimFrame(0x82, 0x300, SimBytes(256, 0xAB));
  std::vector<SimRequest> got;
  for (std::size_t at = 0; at < wire.size(); at += 7) {
    auto part =
        reader.Push(std::span(wire).subspan(at, std::min<std::size_t>(7, wire.size() - at)));
    got.insert(got.end(), part.begin(), part.end());
  }
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].kind, SimRequest::Kind::Frame);
  EXPECT_EQ(got[0].bytes, wire);
  EXPECT_EQ(got[0].frame.address, 0x300u);
  EXPECT_FALSE(reader.HasPartial());
}

TEST(SimRequestReader, SplitsFramesTextCommandsAndNoise) {
  SimRequestReader reader;
  SimBytes stream = TextBytes("9173DOC1\r\n");
  const SimBytes frame = HexBytes("23 08 00 00 00 00 00 00 08");
  const SimBytes bad = HexBytes("23 08 00 00 00 00 00 00 09");
  const SimBytes noise = HexBytes("55 AA 00");
  for (const SimBytes* part : {&frame, &noise, &bad, &frame}) {
    stream.insert(stream.end(), part->begin(), part->end());
  }
  const auto got = reader.Push(stream);
  ASSERT_EQ(got.size(), 5u);
  EXPECT_EQ(got[0].kind, SimRequest::Kind::Text);
  EXPECT_EQ(got[0].bytes, TextBytes("9173DOC1\r\n"));
  EXPECT_EQ(got[1].kind, SimRequest::Kind::Frame);
  EXPECT_EQ(got[2].kind, SimRequest::Kind::Noise);
  EXPECT_EQ(got[2].bytes, noise);
  EXPECT_EQ(got[3].kind, SimRequest::Kind::BadFrame);
  EXPECT_EQ(got[4].kind, SimRequest::Kind::Frame);
}

TEST(SimRequestReader, HandsOutAnUnfinishedRequestAsNoiseOnFlush) {
  SimRequestReader reader;
  EXPECT_TRUE(reader.Push(HexBytes("23 83 00 00")).empty());
  EXPECT_TRUE(reader.HasPartial());
  const auto got = reader.Flush();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].kind, SimRequest::Kind::Noise);
  EXPECT_EQ(got[0].bytes, HexBytes("23 83 00 00"));
  // The next request is read cleanly.
  const auto next = reader.Push(HexBytes("23 08 00 00 00 00 00 00 08"));
  ASSERT_EQ(next.size(), 1u);
  EXPECT_EQ(next[0].kind, SimRequest::Kind::Frame);
}

TEST(SimRequestReader, DoesNotWaitForAFrameClaimingAnAbsurdLength) {
  SimRequestReader reader;
  SimBytes stream = HexBytes("23 01 00 00 00 00 FF FF");
  const SimBytes frame = HexBytes("23 08 00 00 00 00 00 00 08");
  stream.insert(stream.end(), frame.begin(), frame.end());
  const auto got = reader.Push(stream);
  ASSERT_GE(got.size(), 2u);
  EXPECT_EQ(got.back().kind, SimRequest::Kind::Frame);
  EXPECT_EQ(got.back().bytes, frame);
  for (std::size_t i = 0; i + 1 < got.size(); ++i) EXPECT_EQ(got[i].kind, SimRequest::Kind::Noise);
}

}  // namespace
}  // namespace kv
