#include <gtest/gtest.h>

#include "ByteText.h"
#include "devicelink/PasswordProtocol_Unt.h"
#include "devicelink/VersionProtocol_Unt.h"

namespace kv {
namespace {

using test::Hex;
using test::Last;

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
