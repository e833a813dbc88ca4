// The simulator goes away, as an unplugged adapter would: a program of its
// own, since no other test could use the port afterwards.
#include "SerialDevice.h"

namespace kv {
namespace {

using test::PumpUntil;
using test::SerialDevice;

TEST_F(SerialDevice, SurvivesThePortVanishingWithoutLeaking) {
  const long buffersBefore = TComm::BuffersInFlight();
  comm_->OpenPort();
  SendHandle.SendReadVersion(*comm_);
  ASSERT_TRUE(AwaitChunks(1));
  sim_.Command("close");
  // Writes fail on the dead line; the write thread asks for a hang-up and
  // ends, after which WriteData refuses, freeing its copy.
  const std::uint8_t frame[] = {0x23, 0x08, 0, 0, 0, 0, 0, 0, 0x08};
  const bool refused = PumpUntil([&] { return !comm_->WriteData(frame, sizeof frame); }, 5000);
  EXPECT_TRUE(refused);
  EXPECT_TRUE(PumpUntil([&] { return rec_.hangups > 0; }, 3000));
  comm_->ClosePort();
  EXPECT_FALSE(comm_->Connected());
  // The last posted chunks are freed as their messages are handled.
  EXPECT_TRUE(PumpUntil([&] { return TComm::BuffersInFlight() == buffersBefore; }, 3000));
  EXPECT_EQ(TComm::BuffersInFlight(), buffersBefore);
}

}  // namespace
}  // namespace kv
