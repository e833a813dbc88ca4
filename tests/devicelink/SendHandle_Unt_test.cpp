#include "devicelink/SendHandle_Unt.h"

#include <gtest/gtest.h>

#include <functional>

#include "ByteText.h"

namespace kv {
namespace {

using test::Hex;
using test::HexText;

// Stands in for the serial component: records what is written, refuses like
// the component does when the port is closed.
class RecordingPort : public ICommPort {
 public:
  bool open = true;
  std::vector<TDataPack> writes;

  bool Connected() const override { return open; }
  bool WriteData(const void* buffer, std::uint32_t length) override {
    const auto n = static_cast<std::uint16_t>(length);
    if (!open || n == 0) return false;
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    writes.emplace_back(bytes, bytes + n);
    return true;
  }
  std::string Only() const { return writes.size() == 1 ? HexText(writes[0]) : "<count>"; }
};

TEST(SendHandle, WritesEachBinaryRequestAsOneFrame) {
  struct Case {
    const char* name;
    std::function<void(RecordingPort&)> send;
    const char* frame;
  };
  const Case cases[] = {
      {"read version", [](RecordingPort& p) { SendHandle.SendReadVersion(p); },
       "23 05 00 00 00 00 00 01 00 04"},
      {"read time", [](RecordingPort& p) { SendHandle.SendReadTime(p); },
       "23 08 00 00 00 00 00 00 08"},
      {"set time 2024-12-31 23:59",
       [](RecordingPort& p) { SendHandle.SendSetTime(p, 24, 12, 31, 23, 59); },
       "23 03 00 00 00 00 00 06 18 0C 1F 17 3B 00 22"},
      {"relay status", [](RecordingPort& p) { SendHandle.SendReadDO(p); },
       "23 06 00 00 00 00 00 00 06"},
      {"channel values", [](RecordingPort& p) { SendHandle.SendReadTH(p); },
       "23 06 00 00 00 00 00 00 06"},
      {"history block 1", [](RecordingPort& p) { SendHandle.SendReadHistoryBlock(p, 1); },
       "23 83 00 00 41 00 00 00 C2"},
      {"history record 1", [](RecordingPort& p) { SendHandle.SendReadHistoryRecord(p, 1); },
       "23 83 00 00 40 00 00 00 C3"},
      {"history record 2", [](RecordingPort& p) { SendHandle.SendReadHistoryRecord(p, 2); },
       "23 83 00 00 40 40 00 00 83"},
      {"clear history", [](RecordingPort& p) { SendHandle.SendClearHistory(p); },
       "23 85 00 00 00 00 00 00 85"},
      {"config block 2", [](RecordingPort& p) { SendHandle.SendReadMaster(p, 2); },
       "23 83 00 00 02 00 00 00 81"},
      {"config block 13", [](RecordingPort& p) { SendHandle.SendReadMaster(p, 13); },
       "23 83 00 00 0D 00 00 00 8E"},
      {"password 9173", [](RecordingPort& p) { SendHandle.SendPassword(p, "9173"); },
       "23 01 00 00 00 00 00 04 39 31 37 33 09"},
      {"password of two characters", [](RecordingPort& p) { SendHandle.SendPassword(p, "12"); },
       "23 01 00 00 00 00 00 04 31 32 00 00 06"},
      {"password of six characters", [](RecordingPort& p) { SendHandle.SendPassword(p, "123456"); },
       "23 01 00 00 00 00 00 04 31 32 33 34 01"},
  };
  for (const auto& c : cases) {
    RecordingPort port;
    c.send(port);
    EXPECT_EQ(port.Only(), c.frame) << c.name;
  }
}

TEST(SendHandle, WritesAConfigurationBlockWholeWithItsAddress) {
  TDataPack block(256);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i);
  RecordingPort port;
  SendHandle.SendWriteMaster(port, 14, block);
  ASSERT_EQ(port.writes.size(), 1u);
  const TDataPack& frame = port.writes[0];
  ASSERT_EQ(frame.size(), 265u);
  EXPECT_EQ(HexText(TDataPack(frame.begin(), frame.begin() + 8)), "23 82 00 00 0E 00 01 00");
  EXPECT_EQ(TDataPack(frame.begin() + 8, frame.end() - 1), block);
  // 0x82 ^ 0x0E ^ 0x01, and the 256 bytes 0..255 XOR to 0.
  EXPECT_EQ(frame.back(), 0x82 ^ 0x0E ^ 0x01);
}

TEST(SendHandle, WritesRelayCommandsAsPlainText) {
  struct Case {
    std::function<void(RecordingPort&)> send;
    const char* text;
  };
  const Case cases[] = {
      {[](RecordingPort& p) { SendHandle.SendDO1Open(p, "9173"); }, "9173DOO1\r\n"},
      {[](RecordingPort& p) { SendHandle.SendDO1Close(p, "9173"); }, "9173DOC1\r\n"},
      {[](RecordingPort& p) { SendHandle.SendDO2Open(p, "9173"); }, "9173DOO2\r\n"},
      {[](RecordingPort& p) { SendHandle.SendDO2Close(p, "9173"); }, "9173DOC2\r\n"},
      {[](RecordingPort& p) { SendHandle.SendDO2Close(p, ""); }, "DOC2\r\n"},
  };
  for (const auto& c : cases) {
    RecordingPort port;
    c.send(port);
    ASSERT_EQ(port.writes.size(), 1u) << c.text;
    EXPECT_EQ(std::string(port.writes[0].begin(), port.writes[0].end()), c.text);
  }
}

TEST(SendHandle, SendsNothingOnAClosedPortAndRaisesNothing) {
  RecordingPort port;
  port.open = false;
  EXPECT_NO_THROW({
    SendHandle.SendPassword(port, "1234");
    SendHandle.SendReadVersion(port);
    SendHandle.SendReadMaster(port, 0);
    SendHandle.SendDO1Close(port, "9173");
  });
  EXPECT_TRUE(port.writes.empty());
}

TEST(SendHandle, PasswordAndVersionLookAtConnectedBeforeWriting) {
  // A port that would accept the bytes but says it is not connected.
  struct LyingPort : RecordingPort {
    bool Connected() const override { return false; }
    bool WriteData(const void* b, std::uint32_t n) override {
      open = true;
      return RecordingPort::WriteData(b, n);
    }
  } port;
  SendHandle.SendPassword(port, "1234");
  SendHandle.SendReadVersion(port);
  EXPECT_TRUE(port.writes.empty());
  SendHandle.SendReadTime(port);
  EXPECT_EQ(port.writes.size(), 1u);
}

TEST(SendHandle, NeverSendsHalfADoubleByteCharacterOfAPassword) {
  RecordingPort port;
  SendHandle.SendPassword(port, "1密码");  // 31, then two GBK pairs
  ASSERT_EQ(port.writes.size(), 1u);
  EXPECT_EQ(HexText(TDataPack(port.writes[0].begin() + 8, port.writes[0].end() - 1)),
            "31 C3 DC 00");
}

}  // namespace
}  // namespace kv
