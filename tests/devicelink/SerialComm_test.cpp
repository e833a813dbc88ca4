// The serial component without a device: refusals and errors.
#include "devicelink/SerialComm_win.h"

#include <gtest/gtest.h>

#include "SerialTestSupport.h"

namespace kv {
namespace {

TEST(SerialComm, OpeningAMissingPortRaisesTheTextOfTheChosenLanguage) {
  auto comm = CreateOwned<TComm>();
  comm->SetCommName("COM199");
  struct Case {
    std::uint8_t language;
    const char* text;
  };
  const Case cases[] = {
      {1, "Error opening serial port"},
      {0, "打开串口出错\r\n此串口不存在或被占用"},
  };
  for (const auto& c : cases) {
    CommMessageLanguage = c.language;
    try {
      comm->OpenPort();
      ADD_FAILURE() << "opened a port that does not exist";
    } catch (const ECommsError& e) {
      EXPECT_EQ(e.Message(), c.text);
    }
    EXPECT_FALSE(comm->Connected());
  }
  // Every new component selects English for all of them.
  auto other = CreateOwned<TComm>();
  EXPECT_EQ(CommMessageLanguage, 1);
  comm->ClosePort();  // closing a closed component does nothing
  EXPECT_FALSE(comm->Connected());
}

TEST(SerialComm, RefusesToWriteWhileClosedAndRaisesNoEvent) {
  auto comm = CreateOwned<TComm>();
  test::Recorder rec;
  rec.Attach(*comm);
  const std::uint8_t frame[] = {0x23, 0x05};
  EXPECT_FALSE(comm->WriteData(frame, 2));
  EXPECT_FALSE(comm->WriteData(frame, 0));
  Application->ProcessMessages();
  EXPECT_TRUE(rec.sent.empty());
  EXPECT_TRUE(rec.chunks.empty());
  EXPECT_EQ(TComm::BuffersInFlight(), 0);
}

TEST(SerialComm, IsFreedWithItsOwner) {
  auto owner = CreateOwned<TComponent>();
  auto* comm = Create<TComm>(owner.get());
  comm->SetCommName("COM198");
  EXPECT_THROW(comm->OpenPort(), ECommsError);
  EXPECT_EQ(owner->ComponentCount(), 1);
  owner.reset();
  EXPECT_EQ(TComm::BuffersInFlight(), 0);
}

}  // namespace
}  // namespace kv
