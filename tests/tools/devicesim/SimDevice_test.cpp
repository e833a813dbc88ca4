#include "devicesim/SimDevice.h"

#include <gtest/gtest.h>

#include "SimTestBytes.h"

namespace kv {
namespace {

// A device whose wall clock stands at 2024-05-07 10:20:30 unless a test moves it.
struct DeviceUnderTest {
  explicit DeviceUnderTest(SimDeviceSettings settings = {})
      : device(settings, [this] { return now; }) {}

  std::vector<SimChunk> Send(const SimBytes& wire) {
    SimRequestReader reader;
    const auto requests = reader.Push(wire);
    EXPECT_EQ(requests.size(), 1u);
    return requests.empty() ? std::vector<SimChunk>{} : device.Answer(requests[0]);
  }
  SimBytes SendOne(const SimBytes& wire) {
    const auto chunks = Send(wire);
    EXPECT_EQ(chunks.size(), 1u) << HexText(wire);
    return chunks.empty() ? SimBytes{} : chunks[0].bytes;
  }
  SimBytes Data(const SimBytes& wire) {
    const SimBytes reply = SendOne(wire);
    SimFrame frame;
    std::size_t size = 0;
    EXPECT_EQ(ParseSimFrame(reply, frame, size), SimFrameStatus::Ok) << HexText(reply);
    EXPECT_EQ(size, reply.size());
    return frame.data;
  }

  std::int64_t now = SimSecondsOf({2024, 5, 7, 10, 20, 30});
  SimDevice device;
};

SimBytes ReadBlock(std::uint32_t address) { return BuildSimFrame(kSimRead, address, {}); }

struct ReplyExample {
  const char* what;
  const char* request;
  const char* reply;
};

TEST(SimDevice, AnswersSmallRequestsByteForByte) {
  const ReplyExample examples[] = {
      {"factory password accepted", "23 01 00 00 00 00 00 04 39 31 37 33 09",
       "23 01 00 00 00 00 00 01 01 01"},
      {"wrong password refused", "23 01 00 00 00 00 00 04 31 32 33 34 01",
       "23 01 00 00 00 00 00 01 00 00"},
      {"access code's first four letters refused", "23 01 00 00 00 00 00 04 4D 4F 56 52 03",
       "23 01 00 00 00 00 00 01 00 00"},
      {"device clock", "23 08 00 00 00 00 00 00 08",
       "23 08 00 00 00 00 00 06 18 05 07 0A 14 1E 14"},
      {"set clock 2024-12-31 23:59", "23 03 00 00 00 00 00 06 18 0C 1F 17 3B 00 22",
       "23 03 00 00 00 00 00 01 01 03"},
      {"set clock to 31 February refused", "23 03 00 00 00 00 00 06 18 02 1F 17 3B 00 2C",
       "23 03 00 00 00 00 00 01 00 02"},
  };
  for (const ReplyExample& e : examples) {
    DeviceUnderTest t;
    EXPECT_EQ(HexText(t.SendOne(HexBytes(e.request))), HexText(HexBytes(e.reply))) << e.what;
  }
}

// A logger that sets bits in its answers' command byte: the same answers
// otherwise, checksum included; the control line changes it at once.
TEST(SimDevice, SetsItsCommandBitsInEveryAnswer) {
  SimDeviceSettings settings;
  settings.commandBits = 0x80;
  DeviceUnderTest t(settings);
  EXPECT_EQ(HexText(t.SendOne(HexBytes("23 01 00 00 00 00 00 04 39 31 37 33 09"))),
            HexText(HexBytes("23 81 00 00 00 00 00 01 01 81")));
  EXPECT_EQ(t.SendOne(ReadBlock(0x100))[1], 0x83);
  t.device.SetCommandBits(0x40);
  EXPECT_EQ(HexText(t.SendOne(HexBytes("23 03 00 00 00 00 00 06 18 0C 1F 17 3B 00 22"))),
            HexText(HexBytes("23 43 00 00 00 00 00 01 01 43")));
}

TEST(SimDevice, ChecksThePasswordAgainstTheImageZeroFilled) {
  SimDeviceSettings settings;
  settings.password = "12";
  DeviceUnderTest t(settings);
  EXPECT_EQ(t.Data(BuildSimFrame(kSimPassword, 0, HexBytes("31 32 00 00"))), HexBytes("01"));
  EXPECT_EQ(t.Data(BuildSimFrame(kSimPassword, 0, HexBytes("31 32 33 00"))), HexBytes("00"));
  EXPECT_EQ(t.Data(BuildSimFrame(kSimPassword, 0, HexBytes("31 32"))), HexBytes("00"));
}

TEST(SimDevice, ReportsModelVersionImeiAndSignalInTheirFields) {
  SimDeviceSettings settings;
  settings.model = "KV43";
  DeviceUnderTest t(settings);
  const SimBytes data = t.Data(HexBytes("23 05 00 00 00 00 00 01 00 04"));
  ASSERT_EQ(data.size(), 33u);
  EXPECT_EQ(HexText(SimBytes(data.begin(), data.begin() + 8)), "4b56343300000000");
  EXPECT_EQ(std::string(data.begin() + 8, data.begin() + 13), "V1.08");
  EXPECT_EQ(data[15], 0);
  EXPECT_EQ(std::string(data.begin() + 16, data.begin() + 31), "865067041234567");
  EXPECT_EQ(data[32], 23);

  t.device.SetReportedModel("KV99XYZ12");
  const SimBytes odd = t.Data(HexBytes("23 05 00 00 00 00 00 01 00 04"));
  EXPECT_EQ(std::string(odd.begin(), odd.begin() + 8), "KV99XYZ1");
}

TEST(SimDevice, StatusReplyCarriesChannelValuesAndRelayByte) {
  DeviceUnderTest t;
  const SimBytes status = HexBytes("23 06 00 00 00 00 00 00 06");
  SimBytes data = t.Data(status);
  ASSERT_EQ(data.size(), 33u);
  EXPECT_EQ(HexText(SimBytes(data.begin(), data.begin() + 4)), "e7002802");    // 23.1, 55.2
  EXPECT_EQ(HexText(SimBytes(data.begin() + 12, data.begin() + 14)), "83ff");  // -12.5
  EXPECT_EQ(data[32], 0);

  EXPECT_EQ(t.SendOne(TextBytes("9173DOC2\r\n")), TextBytes("OK\r\n"));
  EXPECT_EQ(t.Data(status)[32], 0x02);
  t.SendOne(TextBytes("9173DOC1\r\n"));
  EXPECT_EQ(t.Data(status)[32], 0x03);
  t.SendOne(TextBytes("9173DOO2\r\n"));
  EXPECT_EQ(t.Data(status)[32], 0x01);
  // The selector byte of the address changes nothing.
  EXPECT_EQ(t.Data(BuildSimFrame(kSimStatus, 1, {})), t.Data(status));
}

TEST(SimDevice, KeepsTheClockSetByTheConfiguratorRunning) {
  DeviceUnderTest t;
  t.SendOne(HexBytes("23 03 00 00 00 00 00 06 18 0C 1F 17 3B 00 22"));
  t.now += 75;
  EXPECT_EQ(t.Data(HexBytes("23 08 00 00 00 00 00 00 08")), HexBytes("19 01 01 00 00 0F"));
}

TEST(SimDevice, ReadsTheImageInFourteenBlocksOfWhichTheLastIsFilled) {
  DeviceUnderTest t;
  SimBytes image;
  for (std::uint32_t k = 0; k < 14; ++k) {
    const SimBytes data = t.Data(ReadBlock(k * 256));
    ASSERT_EQ(data.size(), 256u) << k;
    image.insert(image.end(), data.begin(), data.end());
  }
  EXPECT_EQ(SimBytes(image.begin(), image.begin() + 3568), t.device.Image());
  EXPECT_EQ(SimBytes(image.begin() + 3568, image.end()), SimBytes(16, 0xFF));
  EXPECT_EQ(t.SendOne(ReadBlock(0)), t.SendOne(ReadBlock(0)));
}

TEST(SimDevice, StoresWrittenBlocksAndAcknowledgesTheFifteenthWithoutStoringIt) {
  DeviceUnderTest t;
  SimBytes image(3568);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = std::uint8_t(i * 7 + 3);
  for (std::uint32_t k = 0; k <= 14; ++k) {
    SimBytes block(256, 0xFF);
    for (std::size_t i = 0; i < 256 && k * 256 + i < image.size(); ++i)
      block[i] = image[k * 256 + i];
    const SimBytes reply = t.SendOne(BuildSimFrame(kSimWrite, k * 256, block));
    EXPECT_EQ(reply, BuildSimFrame(kSimWrite, k * 256, HexBytes("01"))) << k;
  }
  EXPECT_EQ(t.device.Image(), image);
  // Block 13 read back ends in fill bytes, not in what block 14 carried.
  const SimBytes last = t.Data(ReadBlock(13 * 256));
  EXPECT_EQ(SimBytes(last.begin(), last.begin() + 240),
            SimBytes(image.begin() + 3328, image.end()));
}

TEST(SimDevice, RefusesWritesThatDoNotFitTheImage) {
  DeviceUnderTest t;
  const SimBytes before = t.device.Image();
  const SimBytes refused = HexBytes("00");
  EXPECT_EQ(t.Data(BuildSimFrame(kSimWrite, 15 * 256, SimBytes(256, 1))), refused);
  EXPECT_EQ(t.Data(BuildSimFrame(kSimWrite, 0x4000, SimBytes(256, 1))), refused);
  EXPECT_EQ(t.Data(BuildSimFrame(kSimWrite, 100, SimBytes(256, 1))), refused);
  EXPECT_EQ(t.Data(BuildSimFrame(kSimWrite, 0, SimBytes(255, 1))), refused);
  EXPECT_EQ(t.device.Image(), before);
}

TEST(SimDevice, TakesANewPasswordFromAWrittenImage) {
  DeviceUnderTest t;
  SimBytes block0 = t.Data(ReadBlock(0));
  std::copy_n("4321", 4, block0.begin());
  t.SendOne(BuildSimFrame(kSimWrite, 0, block0));
  EXPECT_EQ(t.Data(BuildSimFrame(kSimPassword, 0, TextBytes("4321"))), HexBytes("01"));
  EXPECT_EQ(t.Data(BuildSimFrame(kSimPassword, 0, TextBytes("9173"))), HexBytes("00"));
}

TEST(SimDevice, HandsOutHistoryByBlockAndByRecordAddress) {
  SimDeviceSettings settings;
  settings.historyCount = 6;
  DeviceUnderTest t(settings);
  const SimBytes block0 = t.Data(HexBytes("23 83 00 00 40 00 00 00 C3"));
  const SimBytes block1 = t.Data(HexBytes("23 83 00 00 41 00 00 00 C2"));
  ASSERT_EQ(block1.size(), 256u);
  // Records 5 and 6, then two empty ones.
  EXPECT_EQ(SimBytes(block1.begin(), block1.begin() + 64), MakeSimHistoryRecord(0, 5));
  EXPECT_EQ(SimBytes(block1.begin() + 64, block1.begin() + 128), MakeSimHistoryRecord(0, 6));
  EXPECT_EQ(SimBytes(block1.begin() + 128, block1.end()), SimBytes(128, 0xFF));
  // Record 5 lies at 0x4000 + 4 * 64 = 0x4100, the address of block 1.
  EXPECT_EQ(t.Data(BuildSimFrame(kSimRead, 0x4000 + 4 * 64, {})), block1);
  // Record 3 starts its reply.
  const SimBytes record3 = t.Data(BuildSimFrame(kSimRead, 0x4000 + 2 * 64, {}));
  EXPECT_EQ(SimBytes(record3.begin(), record3.begin() + 64),
            SimBytes(block0.begin() + 128, block0.begin() + 192));
  EXPECT_EQ(t.Data(BuildSimFrame(kSimRead, 0x4000 + 19999 * 64, {})), SimBytes(256, 0xFF));
}

TEST(SimDevice, ReportsClearingProgressAsSeparateTextChunks) {
  DeviceUnderTest t;
  const auto chunks = t.Send(HexBytes("23 85 00 00 00 00 00 00 85"));
  ASSERT_EQ(chunks.size(), 10u);
  EXPECT_EQ(chunks.front().bytes, TextBytes("10"));
  EXPECT_EQ(chunks[3].bytes, TextBytes("40"));
  EXPECT_EQ(chunks.back().bytes, TextBytes("100"));
  for (const SimChunk& c : chunks) EXPECT_GE(c.gapMs, 150);  // the configurator's 100 ms gap
  EXPECT_EQ(t.device.HistoryCount(), 0);
  EXPECT_EQ(t.Data(HexBytes("23 83 00 00 40 00 00 00 C3")), SimBytes(256, 0xFF));
}

TEST(SimDevice, ResetsOnlyWithItsPasswordAndRestoresTheStartingImage) {
  DeviceUnderTest t;
  const SimBytes factory = t.device.Image();
  t.SendOne(BuildSimFrame(kSimWrite, 256, SimBytes(256, 0)));
  t.SendOne(TextBytes("9173DOC1\r\n"));
  EXPECT_EQ(t.SendOne(TextBytes("RESET\r\n")), TextBytes("ERROR\r\n"));
  EXPECT_NE(t.device.Image(), factory);
  EXPECT_EQ(t.SendOne(TextBytes("9173RESET\r\n")), TextBytes("OK\r\n"));
  EXPECT_EQ(t.device.Image(), factory);
  EXPECT_EQ(t.device.RelayBits(), 0);
}

TEST(SimDevice, RebootsSilentlyOpeningTheRelays) {
  DeviceUnderTest t;
  t.SendOne(TextBytes("9173DOC2\r\n"));
  EXPECT_TRUE(t.Send(TextBytes("9173REBOOT\r\n")).empty());
  EXPECT_EQ(t.device.RelayBits(), 0);
}

TEST(SimDevice, StaysSilentOnBadChecksumsUnknownCommandsAndNoise) {
  DeviceUnderTest t;
  EXPECT_TRUE(t.Send(HexBytes("23 08 00 00 00 00 00 00 09")).empty());
  EXPECT_TRUE(t.Send(HexBytes("23 7F 00 00 00 00 00 00 7F")).empty());
  EXPECT_TRUE(t.Send(TextBytes("HELLO\r\n")).empty());
}

TEST(SimFactory, BuildsARealisticImageForEachModel) {
  const SimBytes kv41 = MakeSimFactoryImage("KV41", "9173");
  ASSERT_EQ(kv41.size(), 3568u);
  EXPECT_EQ(std::string(kv41.begin(), kv41.begin() + 4), "9173");
  EXPECT_EQ(kv41[6], 8);                               // daily report 08:00
  EXPECT_EQ(HexText({kv41[770], kv41[771]}), "e703");  // power-loss SMS off (999)
  // Channel 1 temperature thresholds 80 and -40, humidity 100 and 0.
  EXPECT_EQ(HexText({kv41[3380], kv41[3381], kv41[3412], kv41[3413]}), "200370fe");
  EXPECT_EQ(HexText({kv41[3382], kv41[3383], kv41[3414], kv41[3415]}), "e8030000");
  EXPECT_EQ(std::string(kv41.begin() + 772 + 40, kv41.begin() + 772 + 49), "Humidity1");
  EXPECT_EQ(kv41[3364 + 8], 0xFF);  // slot 8 unused on a KV41

  const SimBytes kv43 = MakeSimFactoryImage("KV43", "9173");
  EXPECT_EQ(std::string(kv43.begin() + 772 + 6 * 40, kv43.begin() + 772 + 6 * 40 + 12),
            "Temperature4");
  EXPECT_EQ(kv43[3364 + 7], 0xFF);  // odd slots unused
  EXPECT_EQ(HexText({kv43[3380], kv43[3381], kv43[3412], kv43[3413]}), "e204dafd");
}

TEST(SimFactory, FillsHistoryRecordsInTheRecordLayout) {
  const SimBytes r = MakeSimHistoryRecord(2, 7);
  ASSERT_EQ(r.size(), 64u);
  EXPECT_EQ(HexText(SimBytes(r.begin(), r.begin() + 10)), "07000000180507090000");  // 09:00:00
  EXPECT_EQ(r[11] & 0x80, 0x80);                                                    // armed
  EXPECT_LE(r[44] & 7, 6);
  // KV43 keeps the odd slots empty.
  EXPECT_EQ(HexText({r[12 + 2], r[13 + 2]}), "0000");
  EXPECT_NE(HexText({r[12], r[13]}), "0000");
  // Time stamps run across midnight and months.
  const SimBytes later = MakeSimHistoryRecord(0, 20000);
  EXPECT_EQ(HexText(SimBytes(later.begin() + 4, later.begin() + 10)), "180917050a00");
}

TEST(SimFactory, ConvertsCivilTimeBothWays) {
  for (const SimDateTime t :
       {SimDateTime{2000, 1, 1, 0, 0, 0}, SimDateTime{2024, 2, 29, 23, 59, 59},
        SimDateTime{2099, 12, 31, 12, 0, 1}}) {
    EXPECT_EQ(SimDateTimeOf(SimSecondsOf(t)), t);
  }
  EXPECT_FALSE(SimDateTimeValid({2023, 2, 29, 0, 0, 0}));
  EXPECT_FALSE(SimDateTimeValid({2023, 1, 1, 24, 0, 0}));
}

}  // namespace
}  // namespace kv
