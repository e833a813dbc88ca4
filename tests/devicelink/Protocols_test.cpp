#include <gtest/gtest.h>

#include "ByteText.h"
#include "devicelink/DiDoThProtocol_Unt.h"
#include "devicelink/HistoryProtocol_Unt.h"
#include "devicelink/MasterProtocol_Unt.h"
#include "devicelink/PasswordProtocol_Unt.h"
#include "devicelink/SyncTimeProtocol_Unt.h"
#include "devicelink/VersionProtocol_Unt.h"

namespace kv {
namespace {

using test::Hex;
using test::HexText;
using test::Last;

TEST(Protocols, BuildEveryRequestWithItsCommandAndAddress) {
  struct Case {
    const char* name;
    TDataPack frame;
    const char* expected;
  };
  std::vector<Case> cases;
  auto add = [&](const char* name, auto build) {
    TDataPack frame;
    build(frame);
    cases.push_back({name, frame, nullptr});
  };
  TPasswordProtocol password;
  password.Password = {'1', '2', '3', '4'};
  add("password", [&](TDataPack& f) { password.BuildPasswordRequest(f); });
  TSyncTimeProtocol clock;
  clock.Time = {0x18, 0x0C, 0x1F, 0x17, 0x3B, 0x00};
  add("set time", [&](TDataPack& f) { clock.BuildSetTimeRequest(f); });
  add("read time", [&](TDataPack& f) { clock.BuildReadTimeRequest(f); });
  add("version", [](TDataPack& f) { TVersionProtocol().BuildVersionRequest(f); });
  add("selector", [](TDataPack& f) { TDiDoThProtocol().BuildDiDoThRequest(7, f); });
  add("relays", [](TDataPack& f) { TDiDoThProtocol().BuildReadDoRequest(f); });
  add("channels", [](TDataPack& f) { TDiDoThProtocol().BuildReadThRequest(f); });
  add("config read 13", [](TDataPack& f) { TMasterProtocol().BuildMasterReadRequest(13, f); });
  add("history block 1", [](TDataPack& f) { THistoryProtocol().BuildHistoryBlockRequest(1, f); });
  add("history record 5", [](TDataPack& f) { THistoryProtocol().BuildHistoryRecordRequest(5, f); });
  add("history record 2", [](TDataPack& f) { THistoryProtocol().BuildHistoryRecordRequest(2, f); });
  add("clear history", [](TDataPack& f) { THistoryProtocol().BuildClearHistoryRequest(f); });

  const char* expected[] = {
      "23 01 00 00 00 00 00 04 31 32 33 34 01",
      "23 03 00 00 00 00 00 06 18 0C 1F 17 3B 00 22",
      "23 08 00 00 00 00 00 00 08",
      "23 05 00 00 00 00 00 01 00 04",
      "23 06 00 00 00 07 00 00 01",
      "23 06 00 00 00 00 00 00 06",
      "23 06 00 00 00 00 00 00 06",
      "23 83 00 00 0D 00 00 00 8E",
      "23 83 00 00 41 00 00 00 C2",
      "23 83 00 00 41 00 00 00 C2",
      "23 83 00 00 40 40 00 00 83",
      "23 85 00 00 00 00 00 00 85",
  };
  ASSERT_EQ(cases.size(), std::size(expected));
  for (std::size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(HexText(cases[i].frame), expected[i]) << cases[i].name;
}

TEST(Protocols, BuildAConfigurationWriteWithTheWholeBlock) {
  TDataPack block(256);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i);
  TDataPack frame;
  TMasterProtocol().BuildMasterWriteRequest(14, block, frame);
  ASSERT_EQ(frame.size(), 265u);
  EXPECT_EQ(HexText(TDataPack(frame.begin(), frame.begin() + 8)), "23 82 00 00 0E 00 01 00");
  EXPECT_EQ(TDataPack(frame.begin() + 8, frame.end() - 1), block);
  // 0x82 ^ 0x0E ^ 0x01, and the 256 bytes 0..255 XOR to 0.
  EXPECT_EQ(frame.back(), 0x82 ^ 0x0E ^ 0x01);
}

// A version reply: model, firmware, IMEI and signal in 33 data bytes.
TDataPack VersionReply(const std::string& model, const std::string& firmware,
                       const std::string& imei, std::uint8_t signal) {
  TDataPack data(33, 0);
  std::copy(model.begin(), model.end(), data.begin());
  std::copy(firmware.begin(), firmware.end(), data.begin() + 8);
  std::copy(imei.begin(), imei.end(), data.begin() + 16);
  data[32] = signal;
  TDataPack frame;
  TBasicProtocol codec;
  codec.BuildFrame(0x05, codec.IntToAddress(0), data, frame);
  return frame;
}

TEST(VersionProtocol, ReadsModelFirmwareImeiAndSignal) {
  const TDataPack reply = VersionReply("KV42", "V3.10", "8612340567890123", 27);
  TVersionProtocol version;
  EXPECT_EQ(version.GetModelText(reply, Last(reply)), "KV42");
  EXPECT_EQ(version.GetVersionText(reply, Last(reply)), "V3.10");
  EXPECT_EQ(version.GetImeiText(reply, Last(reply)), "8612340567890123");
  EXPECT_EQ(version.GetSignalText(reply, Last(reply)), "27");
}

TEST(VersionProtocol, StopsAFullWidthFieldAtItsEnd) {
  const TDataPack reply = VersionReply("ABCDEFGH", "12345678", "", 255);
  TVersionProtocol version;
  EXPECT_EQ(version.GetModelText(reply, Last(reply)), "ABCDEFGH");
  EXPECT_EQ(version.GetVersionText(reply, Last(reply)), "12345678");
  EXPECT_EQ(version.GetImeiText(reply, Last(reply)), "");
  EXPECT_EQ(version.GetSignalText(reply, Last(reply)), "255");
}

TEST(VersionProtocol, GivesEmptyTextsForABadFrame) {
  TDataPack reply = VersionReply("KV41", "V1", "1", 9);
  reply.back() ^= 0xFF;
  TVersionProtocol version;
  EXPECT_EQ(version.GetModelText(reply, Last(reply)), "");
  EXPECT_EQ(version.GetVersionText(reply, Last(reply)), "");
  EXPECT_EQ(version.GetImeiText(reply, Last(reply)), "");
  EXPECT_EQ(version.GetSignalText(reply, Last(reply)), "");
}

TEST(VersionProtocol, ReadsNothingBeyondAShortDataPart) {
  TDataPack frame;
  TBasicProtocol codec;
  codec.BuildFrame(0x05, codec.IntToAddress(0), Hex("4B 56 34 33 00 00 00 00 56 32"), frame);
  TVersionProtocol version;
  EXPECT_EQ(version.GetModelText(frame, Last(frame)), "KV43");
  EXPECT_EQ(version.GetVersionText(frame, Last(frame)), "V2");
  EXPECT_EQ(version.GetImeiText(frame, Last(frame)), "");
  EXPECT_EQ(version.GetSignalText(frame, Last(frame)), "");
  // A length field that claims 33 bytes over a cut reply.
  const TDataPack cut = Hex("23 05 00 00 00 00 00 21 4B 56 34 31");
  EXPECT_EQ(version.GetSignalText(cut, Last(cut)), "");
}

TEST(PasswordProtocol, AcceptsOnlyACheckedReplyWithANonZeroFirstByte) {
  TPasswordProtocol password;
  TBasicProtocol codec;
  TDataPack accepted, refused, empty;
  codec.BuildFrame(0x01, codec.IntToAddress(0), Hex("01"), accepted);
  codec.BuildFrame(0x01, codec.IntToAddress(0), Hex("00"), refused);
  codec.BuildFrame(0x01, codec.IntToAddress(0), TDataPack{}, empty);
  EXPECT_TRUE(password.IsPasswordAccepted(accepted, Last(accepted)));
  EXPECT_FALSE(password.IsPasswordAccepted(refused, Last(refused)));
  EXPECT_FALSE(password.IsPasswordAccepted(empty, Last(empty)));
  accepted.back() ^= 0x40;
  EXPECT_FALSE(password.IsPasswordAccepted(accepted, Last(accepted)));
}

}  // namespace
}  // namespace kv
