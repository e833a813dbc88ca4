// The serial component and the sender against the device simulator on a
// pseudo-terminal (run through scripts/serial-test, with and without the
// modem-line library).
#include "SerialDevice.h"
#include "devicelink/BasicProtocol_Unt.h"

namespace kv {
namespace {

using test::kReplyDeadline;
using test::PumpUntil;
using test::SerialDevice;
using test::ThreadsOfThisProcess;
using test::ToHex;


TEST_F(SerialDevice, OpensAt115200EightNoneOneClosesAndReopens) {
  comm_->OpenPort();
  EXPECT_TRUE(comm_->Connected());
  SendHandle.SendReadVersion(*comm_);
  ASSERT_TRUE(AwaitChunks(1));
  comm_->ClosePort();
  EXPECT_FALSE(comm_->Connected());

  const DCB dcb = PortStateAfterClose();
  EXPECT_EQ(dcb.BaudRate, 115200u);
  EXPECT_EQ(dcb.ByteSize, 8);
  EXPECT_EQ(dcb.Parity, NOPARITY);
  EXPECT_EQ(dcb.StopBits, ONESTOPBIT);

  comm_->OpenPort();
  EXPECT_TRUE(comm_->Connected());
  SendHandle.SendReadVersion(*comm_);
  ASSERT_TRUE(AwaitChunks(2));
  EXPECT_EQ(rec_.chunks[0], rec_.chunks[1]);
  EXPECT_EQ(rec_.hangups, 0);
}

TEST_F(SerialDevice, AppliesALivePropertyAtOnceButParityOnlyLater) {
  comm_->OpenPort();
  comm_->SetBaudRate(57600);
  comm_->SetParity(TParity::Even);
  comm_->ClosePort();
  const DCB dcb = PortStateAfterClose();
  EXPECT_EQ(dcb.BaudRate, 57600u);
  EXPECT_EQ(dcb.Parity, NOPARITY);
}

TEST_F(SerialDevice, OpeningAnOpenComponentRaisesAndLeavesThePortWorking) {
  comm_->OpenPort();
  try {
    comm_->OpenPort();
    ADD_FAILURE() << "opened twice";
  } catch (const ECommsError& e) {
    EXPECT_EQ(e.Message(), "This serial port already opened");
  }
  EXPECT_TRUE(comm_->Connected());
  SendHandle.SendReadTime(*comm_);
  EXPECT_TRUE(AwaitChunks(1));
}

TEST_F(SerialDevice, AWriteRightAfterOpeningIsNotLost) {
  for (std::size_t round = 1; round <= 5; ++round) {
    comm_->OpenPort();
    SendHandle.SendReadVersion(*comm_);
    ASSERT_TRUE(AwaitChunks(round)) << "round " << round;
    comm_->ClosePort();
  }
}

TEST_F(SerialDevice, ReportsTheBytesHandedToTheWriteThreadAsHexText) {
  comm_->OpenPort();
  SendHandle.SendReadTime(*comm_);
  ASSERT_EQ(rec_.sent.size(), 1u);
  EXPECT_EQ(rec_.sent[0], "23 08 00 00 00 00 00 00 08 ");
  EXPECT_TRUE(AwaitChunks(1));
}

TEST_F(SerialDevice, DeliversRequestsByteExactAndInOrderToTheDevice) {
  comm_->OpenPort();
  const std::size_t before = sim_.Log("rx").size();
  const TDataPack block(256, 0xFF);
  struct Step {
    std::function<void()> send;
    std::string wire;  // hex, as the simulator logs it
  };
  const std::string ff(512, 'f');
  // The frames' bytes are checked natively; here a short and a long frame and
  // a text command must reach the device unchanged and in order.
  const std::vector<Step> steps = {
      {[&] { SendHandle.SendPassword(*comm_, "1234"); }, "23010000000000043132333401"},
      {[&] { SendHandle.SendReadMaster(*comm_, 13); }, "238300000d0000008e"},
      {[&] { SendHandle.SendWriteMaster(*comm_, 14, block); }, "238200000e000100" + ff + "8d"},
      {[&] { SendHandle.SendDO1Close(*comm_, "9173"); }, "39313733444f43310d0a"},
      {[&] { SendHandle.SendClearHistory(*comm_); }, "238500000000000085"},
  };
  for (std::size_t i = 0; i < steps.size(); ++i) {
    steps[i].send();
    // One request at a time, as the program sends them: wait until the
    // device has logged this one.
    EXPECT_TRUE(PumpUntil([&] { return sim_.Log("rx").size() >= before + i + 1; }, kReplyDeadline))
        << "request " << i << " never reached the device";
    test::Pump(30);
  }
  // Clearing the history answers with progress texts up to "100"; let them
  // finish so that they do not land in the next test.
  EXPECT_TRUE(PumpUntil(
      [&] {
        const auto tx = sim_.Log("tx");
        return !tx.empty() && tx.back().find("313030") != std::string::npos;
      },
      6000));
  test::Pump(300);
  std::vector<std::string> rx = sim_.Log("rx");
  rx.erase(rx.begin(), rx.begin() + static_cast<std::ptrdiff_t>(before));
  ASSERT_EQ(rx.size(), steps.size());
  for (std::size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(rx[i], steps[i].wire) << "request " << i;
  EXPECT_EQ(rec_.hangups, 0);
}

TEST_F(SerialDevice, DeliversEveryReplyAsOneChunkOnTheGuiThread) {
  comm_->OpenPort();
  const DWORD gui = GetCurrentThreadId();
  DWORD handlerThread = 0;
  auto record = comm_->OnReceiveData;
  comm_->OnReceiveData = [&](TObject* s, const void* b, std::uint16_t n) {
    handlerThread = GetCurrentThreadId();
    record(s, b, n);
  };
  const std::vector<std::function<void()>> requests = {
      [&] { SendHandle.SendReadVersion(*comm_); },
      [&] { SendHandle.SendReadMaster(*comm_, 0); },
      [&] { SendHandle.SendReadMaster(*comm_, 13); },
      [&] { SendHandle.SendReadHistoryBlock(*comm_, 0); },
      [&] { SendHandle.SendReadTime(*comm_); },
      [&] { SendHandle.SendReadDO(*comm_); },
  };
  for (std::size_t i = 0; i < requests.size(); ++i) {
    const std::size_t txBefore = sim_.Log("tx").size();
    requests[i]();
    ASSERT_TRUE(AwaitChunks(i + 1)) << "no reply to request " << i;
    test::Pump(250);  // a second piece would show up here
    ASSERT_EQ(rec_.chunks.size(), i + 1) << "reply " << i << " came in pieces";
    const std::vector<std::string> tx = sim_.Log("tx");
    ASSERT_EQ(tx.size(), txBefore + 1);
    EXPECT_EQ(ToHex(rec_.chunks[i]), tx.back()) << "reply " << i;
  }
  EXPECT_EQ(rec_.chunks[1].size(), 265u);
  EXPECT_TRUE(rec_.allTerminated);
  EXPECT_EQ(handlerThread, gui);
}

// A reply split by a gap well within the read interval arrives as one chunk;
// a longer gap gives two. (The short gap leaves room for a busy machine:
// the simulator's pause can stretch by tens of milliseconds.)
class SerialSplitReply : public SerialDevice,
                         public testing::WithParamInterface<std::pair<int, std::size_t>> {};

TEST_P(SerialSplitReply, ArrivesInOneChunkPerGapLongerThanTheInterval) {
  const auto [gap, chunks] = GetParam();
  comm_->OpenPort();
  sim_.Command("split " + std::to_string(gap));
  SendHandle.SendReadMaster(*comm_, 2);
  ASSERT_TRUE(AwaitChunks(chunks));
  test::Pump(400);
  ASSERT_EQ(rec_.chunks.size(), chunks);
  TDataPack whole;
  for (const TDataPack& chunk : rec_.chunks) whole.insert(whole.end(), chunk.begin(), chunk.end());
  EXPECT_EQ(whole.size(), 265u);
  EXPECT_EQ(ToHex(whole), sim_.Log("tx").back());
}

INSTANTIATE_TEST_SUITE_P(Gaps, SerialSplitReply,
                         testing::Values(std::pair<int, std::size_t>{20, 1},
                                         std::pair<int, std::size_t>{300, 2}));

// Told how long a frame is, the component hands each frame on whole at its
// last byte, but holds a frame only while its bytes keep coming. Each case is
// followed by a plain request, whose reply must come as the very next chunk.
class SerialFrames : public SerialDevice {
 protected:
  void SetUp() override {
    SerialDevice::SetUp();
    if (IsSkipped()) return;
    comm_->SetFrameLength(&TBasicProtocol::FrameLength);
    comm_->OpenPort();
  }
  void ExpectNextReplyAlone(std::size_t chunksBefore) {
    SendHandle.SendReadTime(*comm_);
    ASSERT_TRUE(AwaitChunks(chunksBefore + 1));
    EXPECT_EQ(ToHex(rec_.chunks.back()), sim_.Log("tx").back());
    EXPECT_EQ(rec_.chunks.size(), chunksBefore + 1);
  }
};

// A frame that stops short of its length field (cut, paused for longer than
// the read interval, or its length damaged, within the longest frame or far
// beyond it) is handed on when the line goes quiet, as any read ends.
TEST_F(SerialFrames, AFrameIsHeldOnlyWhileItsBytesKeepComing) {
  struct Case {
    const char* fault;
    bool block;          // a block read (265 bytes), else the time (15)
    std::size_t chunks;  // what the reply arrives as
  };
  for (const Case& c :
       {Case{"badlen 0E00", true, 1}, Case{"badlen 0080", false, 1}, Case{"truncate", true, 1},
        Case{"split 300 1 2", true, 2}, Case{"split 40 1 3", true, 1}}) {
    SCOPED_TRACE(c.fault);
    const std::size_t before = rec_.chunks.size();
    sim_.Command(c.fault);
    if (c.block)
      SendHandle.SendReadMaster(*comm_, 2);
    else
      SendHandle.SendReadTime(*comm_);
    ASSERT_TRUE(AwaitChunks(before + c.chunks));
    std::string whole;
    for (std::size_t i = before; i < rec_.chunks.size(); ++i) whole += ToHex(rec_.chunks[i]);
    EXPECT_EQ(whole, sim_.Log("tx").back());
    ExpectNextReplyAlone(before + c.chunks);
  }
  EXPECT_TRUE(rec_.allTerminated);
}

TEST_F(SerialFrames, FramesArrivingTogetherAreDeliveredOneByOneInOrder) {
  for (const char* fault : {"follow 5", "concat"}) {
    SCOPED_TRACE(fault);
    const std::size_t before = rec_.chunks.size();
    sim_.Command(fault);
    SendHandle.SendReadMaster(*comm_, 1);
    ASSERT_TRUE(AwaitChunks(before + 2));
    const std::vector<std::string> tx = sim_.Log("tx");
    ASSERT_GE(tx.size(), 2u);
    EXPECT_EQ(ToHex(rec_.chunks[before]), tx[tx.size() - 2]);
    EXPECT_EQ(ToHex(rec_.chunks[before + 1]), tx.back());
    ExpectNextReplyAlone(before + 2);
  }
}

// Bytes that begin no frame end with the quiet interval, as before, frame
// and all.
TEST_F(SerialFrames, GarbageBeforeAReplyEndsWithTheQuietInterval) {
  sim_.Command("garbage");
  SendHandle.SendReadMaster(*comm_, 0);
  ASSERT_TRUE(AwaitChunks(1));
  const std::vector<std::string> tx = sim_.Log("tx");
  ASSERT_GE(tx.size(), 2u);
  EXPECT_EQ(ToHex(rec_.chunks[0]), tx[tx.size() - 2] + tx.back());
  ExpectNextReplyAlone(1);
}

TEST_F(SerialDevice, HandsAnExceptionFromAHandlerToTheApplication) {
  std::vector<std::string> handled;
  Application->OnException = [&](TObject*, const std::exception& e) {
    handled.push_back(e.what());
  };
  const long buffersBefore = TComm::BuffersInFlight();
  int calls = 0;
  comm_->OnReceiveData = [&](TObject*, const void*, std::uint16_t) {
    ++calls;
    throw Exception("handler failed");
  };
  comm_->OpenPort();
  SendHandle.SendReadVersion(*comm_);
  PumpUntil([&] { return calls == 1; }, kReplyDeadline);
  SendHandle.SendReadTime(*comm_);
  PumpUntil([&] { return calls == 2; }, kReplyDeadline);
  Application->OnException = nullptr;
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(handled, (std::vector<std::string>{"handler failed", "handler failed"}));
  EXPECT_EQ(TComm::BuffersInFlight(), buffersBefore);
}

TEST_F(SerialDevice, RaisesNoEventForADroppedReply) {
  comm_->OpenPort();
  sim_.Command("drop");
  SendHandle.SendReadVersion(*comm_);
  EXPECT_FALSE(AwaitChunks(1, 800));
  SendHandle.SendReadVersion(*comm_);
  EXPECT_TRUE(AwaitChunks(1));
  test::Pump(250);
  EXPECT_EQ(rec_.chunks.size(), 1u);
}

TEST_F(SerialDevice, FreeingAnOpenComponentEndsItsThreadsAndLeaksNothing) {
  comm_.reset();
  const int threadsBefore = ThreadsOfThisProcess();
  const long buffersBefore = TComm::BuffersInFlight();
  auto comm = NewComm();
  int chunks = 0;
  comm->OnReceiveData = [&](TObject*, const void*, std::uint16_t) { ++chunks; };
  comm->OpenPort();
  EXPECT_GE(ThreadsOfThisProcess(), threadsBefore + 2);
  // A reply left waiting in the window's queue, and one still on the line.
  SendHandle.SendReadMaster(*comm, 1);
  Sleep(600);
  SendHandle.SendReadMaster(*comm, 2);
  EXPECT_GT(TComm::BuffersInFlight(), buffersBefore);
  comm.reset();
  EXPECT_EQ(chunks, 0);
  EXPECT_EQ(TComm::BuffersInFlight(), buffersBefore);
  // Threads of Wine's own serial code may take a moment to wind down.
  EXPECT_TRUE(PumpUntil([&] { return ThreadsOfThisProcess() <= threadsBefore; }, 3000))
      << ThreadsOfThisProcess() << " threads, " << threadsBefore << " before";
  test::Pump(300);
  EXPECT_EQ(chunks, 0);
}

// With the modem-line library the driver can wait for line events; without
// it the read thread must carry on reading and ask for no hang-up.
TEST_F(SerialDevice, ReportsACarrierChangeOnlyWhereTheDriverHasModemLines) {
  comm_->OpenPort();
  // A reply shows the read thread at work, so its line-event wait (started
  // before its first read) is pending before the carrier drops.
  SendHandle.SendReadVersion(*comm_);
  ASSERT_TRUE(AwaitChunks(1));
  constexpr int kCts = 0x020, kCar = 0x040, kDsr = 0x100;
  ASSERT_TRUE(test::ReplaceFileText(sim_.ModemFile(), std::to_string(kCts | kDsr) + "\n"));
  const bool seen = PumpUntil([&] { return !rec_.modemEvents.empty(); }, 1500);
  test::ReplaceFileText(sim_.ModemFile(), std::to_string(kCts | kDsr | kCar) + "\n");
  if (sim_.WithModemLines()) {
    ASSERT_TRUE(seen);
    EXPECT_EQ(rec_.modemEvents[0], 8u);
  } else {
    EXPECT_FALSE(seen);
  }
  SendHandle.SendReadVersion(*comm_);
  EXPECT_TRUE(AwaitChunks(2));
  EXPECT_EQ(rec_.hangups, 0);
}

// A line error is cleared, and said, by whichever of the read path and the
// line-event path meets it first: the other has nothing left to report.
TEST_F(SerialDevice, ReportsALineErrorOnceAndNeverAnEmptyOne) {
  if (!sim_.WithModemLines()) GTEST_SKIP() << "line errors come with the modem-line library";
  comm_->OpenPort();
  SendHandle.SendReadVersion(*comm_);
  ASSERT_TRUE(AwaitChunks(1));
  // One framing error and a carrier drop at once: the carrier's report comes
  // after anything the same line event had to say about the error.
  constexpr int kCts = 0x020, kCar = 0x040, kDsr = 0x100, kOneLineError = 1 << 16;
  ASSERT_TRUE(
      test::ReplaceFileText(sim_.ModemFile(), std::to_string(kCts | kDsr | kOneLineError) + "\n"));
  ASSERT_TRUE(PumpUntil([&] { return !rec_.modemEvents.empty(); }, 1500));
  test::ReplaceFileText(sim_.ModemFile(),
                        std::to_string(kCts | kDsr | kCar | kOneLineError) + "\n");
  EXPECT_LE(rec_.errors.size(), 1u);
  for (std::uint32_t mask : rec_.errors) EXPECT_NE(0u, mask);
}

TEST_F(SerialDevice, ModemLineCallsWorkOnThePseudoTerminalWithTheLibrary) {
  if (!sim_.WithModemLines()) GTEST_SKIP() << "runs with the modem-line library only";
  const std::string name = "\\\\.\\" + sim_.Port();
  HANDLE h = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_FLAG_OVERLAPPED, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD status = 0;
  EXPECT_TRUE(GetCommModemStatus(h, &status)) << GetLastError();
  EXPECT_EQ(status, static_cast<DWORD>(MS_CTS_ON | MS_DSR_ON | MS_RLSD_ON));
  constexpr int kDtr = 0x002;
  EXPECT_TRUE(EscapeCommFunction(h, SETDTR)) << GetLastError();
  EXPECT_NE(std::stoi(test::ReadFileText(sim_.ModemFile())) & kDtr, 0);
  EXPECT_TRUE(EscapeCommFunction(h, CLRDTR)) << GetLastError();
  EXPECT_EQ(std::stoi(test::ReadFileText(sim_.ModemFile())) & kDtr, 0);
  // A line-event wait pends instead of failing at once.
  EXPECT_TRUE(SetCommMask(h, EV_RLSD | EV_ERR | EV_RING));
  OVERLAPPED ov{};
  ov.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  DWORD mask = 0;
  const BOOL done = WaitCommEvent(h, &mask, &ov);
  EXPECT_TRUE(!done && GetLastError() == ERROR_IO_PENDING) << GetLastError();
  SetCommMask(h, 0);  // ends the wait
  EXPECT_EQ(WaitForSingleObject(ov.hEvent, 2000), WAIT_OBJECT_0);
  CloseHandle(ov.hEvent);
  CloseHandle(h);
}

}  // namespace
}  // namespace kv
