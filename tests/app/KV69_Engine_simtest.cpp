// The request engine against the simulator's device model on a virtual
// clock: every exchange through every fault the simulator can put on the
// line, with a device that echoes block addresses and one that answers 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <map>
#include <memory>

#include "SettingsSamples.h"
#include "SimHistoryRecords.h"
#include "app/ConstLang_Unt.h"
#include "app/KV69_Engine.h"
#include "app/SoftDateTime_Unt.h"
#include "app/SoftDiDoTh_Unt.h"
#include "app/SoftInterfaceMaster_Unt.h"
#include "devicelink/BasicProtocol_Unt.h"
#include "devicelink/SendHandle_Unt.h"
#include "devicesim/SimControl.h"
#include "devicesim/SimDevice.h"
#include "devicesim/SimFrame.h"

namespace kv {
namespace {

// 115200 baud, ten bits a byte. The serial component hands a frame on at its
// last byte, and anything else (a frame whose bytes stopped short included)
// once the line was quiet for 100 ms; but not a frame, whole or part, when a
// later request went out after its first byte came.
constexpr int ReadIntervalMs = 100;
constexpr std::int64_t GiveUpMs = 60 * 60 * 1000;

using Grid = std::map<int, std::vector<std::string>>;

class SimLink : public ICommPort, public IEngineClock, public IEngineView {
 public:
  explicit SimLink(SimDeviceSettings settings, TEngineRole role = TEngineRole::Main)
      : device(settings, [this] { return std::int64_t{800000000} + now_ / 1000; }),
        engine(*this, *this, role) {
    engine.SetPort(this);
    // The model as the version reply after the password would have made it.
    ModelIndex = 1;
  }

  // ICommPort
  bool Connected() const override { return true; }
  bool WriteData(const void* buffer, std::uint32_t length) override {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    for (SimRequest& request : reader.Push({bytes, length})) {
      const auto [from, to] = script.equal_range(static_cast<int>(requests.size()));
      for (auto it = from; it != to; ++it) control.Apply(it->second);
      requests.push_back(request.bytes);
      gaugeAtRequest.push_back(gauge);
      writes_.push_back(now_);
      const std::size_t index = writes_.size() - 1;
      std::int64_t at = now_;
      std::vector<std::pair<std::int64_t, Chunk>> chunks;
      SimBytes held;  // bytes of no frame, or of a frame not yet whole
      std::int64_t quietFrom = 0, heldFrom = 0;
      auto handFramesOn = [&] {
        for (;;) {
          const std::size_t n = TBasicProtocol::FrameLength(held.data(), held.size());
          if (n == 0 || n > held.size()) return;
          chunks.push_back(
              {at, {SimBytes(held.begin(), held.begin() + std::ptrdiff_t(n)), index, heldFrom}});
          held.erase(held.begin(), held.begin() + std::ptrdiff_t(n));
          heldFrom = at;
        }
      };
      const auto handOnAtQuiet = [&] {
        const bool partFrame = TBasicProtocol::FrameLength(held.data(), held.size()) > held.size();
        chunks.push_back({quietFrom + ReadIntervalMs, {held, index, partFrame ? heldFrom : -1}});
        held.clear();
      };
      bool first = true;
      for (const SimTransmission& piece :
           control.Shape(device.Answer(request), device.UnsolicitedFrame())) {
        // The device answers in order: a late reply holds up those after it.
        const std::int64_t arrives =
            first ? std::max(at + piece.gapMs, lineFree_) : at + piece.gapMs;
        first = false;
        if (!held.empty() && arrives >= quietFrom + ReadIntervalMs) handOnAtQuiet();
        if (held.empty()) heldFrom = arrives;
        at = arrives + static_cast<std::int64_t>(piece.bytes.size()) * 10 / 115;
        held.insert(held.end(), piece.bytes.begin(), piece.bytes.end());
        handFramesOn();
        quietFrom = at;
        lineFree_ = at;
      }
      if (!held.empty()) handOnAtQuiet();
      for (auto& chunk : chunks) due_.insert(std::move(chunk));
    }
    return true;
  }

  // IEngineClock: the window's timer ticks every full second of virtual time.
  void Delay(int ms) override { Advance(ms); }
  bool WaitStep() override {
    Advance(10);
    return now_ < GiveUpMs;
  }
  void PostTimeout(int tag) override { posted_.push_back(tag); }

  // IEngineView
  void ShowProgress(int maxValue) override {
    progress = true;
    gaugeMax = maxValue;
    gauge = 0;
  }
  void SetProgress(int value) override { gauge = value; }
  void CloseProgress() override { progress = false; }
  bool ProgressShown() const override { return progress; }
  void ShowMessage(const std::string& text, bool) override {
    messages.push_back(text);
    messageTimes.push_back(now_);
    messagesOverProgress += progress;
  }
  void PasswordRefused(bool atShow) override { refusals.push_back(atShow); }
  void PasswordAccepted() override { ++accepted; }
  void PasswordReplyDamaged() override { ++damagedPasswords; }
  void TimedOut(int tag) override { timedOut.push_back({tag, now_}); }
  void VersionReceived(const TVersionReply& reply) override { model = reply.Model; }
  void DoStatusReceived(const TDataPack& data) override {
    doStatus.push_back(data.size() > 32 ? data[32] : -1);
  }
  void ThValuesReceived(const TDataPack&) override { ++thValues; }
  void TimeReceived(TDateTime date, TDateTime time) override { clock = date + time; }
  void HistoryRowReceived(const std::vector<std::string>& cells) override {
    records.push_back(cells);
  }
  void HistoryRowsReceived(const std::vector<THistoryGridRow>& rows) override {
    // A row with nothing but its number shows no record.
    for (const THistoryGridRow& row : rows) {
      const bool blank = std::all_of(row.Cells.begin() + (row.Cells.empty() ? 0 : 1),
                                     row.Cells.end(), [](const std::string& c) { return c.empty(); });
      if (blank) {
        grid.erase(row.Row);
      } else {
        grid[row.Row] = row.Cells;
      }
    }
    rowsShown += static_cast<int>(rows.size());
  }
  void MasterImageRead(const std::vector<std::uint8_t>& read) override { image = read; }

  void Advance(int ms) {
    const std::int64_t end = now_ + ms;
    while (now_ < end) {
      std::int64_t next = std::min(end, (now_ / 1000 + 1) * 1000);
      if (!due_.empty()) next = std::min(next, std::max(now_, due_.begin()->first));
      if (stopAt && *stopAt > now_) next = std::min(next, *stopAt);
      now_ = next;
      if (stopAt && *stopAt <= now_) {
        stopAt.reset();
        engine.Cancel();
      }
      while (!due_.empty() && due_.begin()->first <= now_) {
        const Chunk chunk = due_.begin()->second;
        due_.erase(due_.begin());
        if (AnswersEarlierRequest(chunk)) continue;
        received.push_back(now_);
        engine.Receive(chunk.bytes.data(), chunk.bytes.size());
      }
      if (now_ % 1000 == 0) engine.Tick();
      while (!posted_.empty()) {
        const int tag = posted_.front();
        posted_.pop_front();
        engine.TimeoutMessage(tag);
      }
    }
  }
  std::int64_t Now() const { return now_; }
  const std::vector<std::int64_t>& WriteTimes() const { return writes_; }
  int Sent(std::uint8_t command) const {
    int n = 0;
    for (const SimBytes& r : requests) n += r.size() > 1 && r[0] == '#' && r[1] == command;
    return n;
  }

  SimDevice device;
  SimControl control;
  // Control lines applied just before the device answers request n (from 0).
  std::multimap<int, std::string> script;
  SimRequestReader reader;
  TRequestEngine engine;
  std::vector<SimBytes> requests;
  std::optional<std::int64_t> stopAt;
  bool progress = false;
  int gaugeMax = -1, gauge = 0;
  std::vector<int> gaugeAtRequest;  // the gauge as each request went out
  std::vector<std::string> messages;
  std::vector<std::int64_t> messageTimes;
  int messagesOverProgress = 0;  // shown while the progress window was
  std::vector<std::int64_t> received;  // when each chunk was handed to the engine
  std::vector<bool> refusals;
  int accepted = 0, damagedPasswords = 0;
  std::vector<std::pair<int, std::int64_t>> timedOut;  // tag, when
  std::string model;
  std::vector<int> doStatus;
  int thValues = 0;
  TDateTime clock = 0;
  Grid grid;
  int rowsShown = 0;
  std::vector<std::vector<std::string>> records;  // single records shown, in order
  // Off: a doubled frame gets past the read thread even when the next
  // request went out after its first byte, as a slow machine may let it.
  bool dropFramesBegunEarlier = true;
  std::vector<std::uint8_t> image;

 private:
  std::int64_t now_ = 0;
  std::int64_t lineFree_ = 0;  // when the device's last reply has gone out
  struct Chunk {
    SimBytes bytes;
    std::size_t request = 0;  // the write whose reply it is part of
    std::int64_t begun = -1;  // a frame's first byte; -1 for anything else
  };
  bool AnswersEarlierRequest(const Chunk& chunk) const {
    if (chunk.begun < 0 || !dropFramesBegunEarlier) return false;
    for (std::size_t i = chunk.request + 1; i < writes_.size(); ++i)
      if (writes_[i] >= chunk.begun) return true;
    return false;
  }
  std::multimap<std::int64_t, Chunk> due_;
  std::vector<std::int64_t> writes_;
  std::deque<int> posted_;
};

SimDeviceSettings Device(bool echo, int history = 10, std::uint8_t commandBits = 0) {
  SimDeviceSettings settings;
  settings.model = "KV42";
  settings.historyCount = history;
  settings.echoAddress = echo;
  settings.commandBits = commandBits;
  return settings;
}

// Every fault the simulator can put on a reply. A reply 3.5 s late comes
// after its request was sent again; 1.5 s late still in time. A damaged
// length claims far more than any reply, or (but for a block) a little more.
const char* const Faults[] = {"",          "drop",        "drop 3",     "badsum",  "split 50",
                              "split 300", "late 1500",   "late 3500",  "garbage", "truncate",
                              "concat",    "badlen 0E00", "badlen 0080"};
// A frame split by less than the quiet interval, or doubled, is still whole;
// one whose bytes stop short (cut, or paused for longer) comes damaged.
bool Intact(std::string_view fault) {
  return fault.empty() || fault == "split 50" || fault == "late 1500" || fault == "concat";
}
bool Lost(std::string_view fault) { return fault.starts_with("drop") || fault == "late 3500"; }

// The rows where two grids differ, by number (a grid of 400 rows is too
// long a message to read).
std::vector<int> RowsDiffering(const Grid& expected, const Grid& actual) {
  std::vector<int> rows;
  for (const auto& [row, cells] : expected) {
    const auto it = actual.find(row);
    if (it == actual.end() || it->second != cells) rows.push_back(row);
  }
  for (const auto& [row, cells] : actual)
    if (!expected.contains(row)) rows.push_back(row);
  return rows;
}

// Where two images differ first; -1 when they do not.
std::ptrdiff_t FirstDifference(const SimBytes& a, const SimBytes& b) {
  const auto [i, j] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
  return i == a.end() && j == b.end() ? -1 : i - a.begin();
}

std::vector<std::uint8_t> EditedImage(const SimDevice& device) {
  std::vector<std::uint8_t> image = device.Image();
  for (std::size_t i = 100; i < image.size(); i += 37) image[i] = static_cast<std::uint8_t>(i);
  return image;
}

// The block loops come through every fault, on block 0 and on a later one,
// with what a quiet line gives, whether or not the device echoes addresses.
class BlockLoops : public testing::TestWithParam<std::tuple<bool, const char*>> {
 protected:
  bool Echo() const { return std::get<0>(GetParam()); }
  std::string Fault() const { return std::get<1>(GetParam()); }
  void Script(SimLink& link, int request) const {
    if (!Fault().empty()) link.script.emplace(request, Fault());
  }
  // Requests sent again: one for each answer lost or damaged, none for one
  // that still came whole, acknowledgements included.
  int Resends() const {
    const std::string fault = Fault();
    if (fault == "drop 3") return 3;
    return Intact(fault) ? 0 : 1;
  }
  void ExpectSent(const SimLink& link, std::uint8_t command, int blocks) const {
    EXPECT_EQ(blocks + Resends(), link.Sent(command));
  }
};

TEST_P(BlockLoops, ReadSettingShowsTheDeviceImage) {
  for (int block : {0, 5}) {
    SCOPED_TRACE(block);
    SimLink link(Device(Echo()));
    Script(link, block);
    link.engine.ReadMaster();
    EXPECT_LT(link.Now(), GiveUpMs);
    EXPECT_EQ(link.device.Image(), link.image);
    ExpectSent(link, kSimRead, 14);
    EXPECT_FALSE(link.progress);
    // Then the relay states and the channel values.
    link.Advance(3000);
    EXPECT_GE(link.Sent(kSimStatus), 1);
  }
}

TEST_P(BlockLoops, WriteSettingPutsTheImageIntoTheDevice) {
  for (int block : {0, 5}) {
    SCOPED_TRACE(block);
    SimLink link(Device(Echo()));
    const std::vector<std::uint8_t> image = EditedImage(link.device);
    Script(link, block);
    link.engine.WriteMaster(image);
    EXPECT_LT(link.Now(), GiveUpMs);
    EXPECT_EQ(image, link.device.Image());
    ExpectSent(link, kSimWrite, 15);
  }
}

// The gauge counts the block being sent: 1 to 14 of 14 for a read; for a
// write 1 to 15, which the gauge shows as 14 of 14 for the last two blocks.
TEST(BlockLoopsGauge, ShowsTheBlockBeingSent) {
  const auto expected = [](int blocks) {
    std::vector<int> values(static_cast<std::size_t>(blocks));
    for (int k = 0; k < blocks; ++k) values[static_cast<std::size_t>(k)] = k + 1;
    return values;
  };
  SimLink link(Device(true));
  link.engine.ReadMaster();
  EXPECT_EQ(14, link.gaugeMax);
  std::vector<int> reads;
  for (std::size_t i = 0; i < link.requests.size(); ++i)
    if (link.requests[i][1] == kSimRead) reads.push_back(link.gaugeAtRequest[i]);
  EXPECT_EQ(expected(14), reads);

  SimLink writer(Device(true));
  writer.engine.WriteMaster(writer.device.Image());
  EXPECT_EQ(14, writer.gaugeMax);
  EXPECT_EQ(expected(15), writer.gaugeAtRequest);
}

TEST_P(BlockLoops, HistoryRowsStandWhereTheirBlockPutsThem) {
  SimLink quiet(Device(Echo()));
  quiet.engine.ReadHistory(10, 10);
  ASSERT_EQ(10u, quiet.grid.size());
  for (int block : {0, 1}) {
    SCOPED_TRACE(block);
    SimLink link(Device(Echo()));
    Script(link, block);
    link.engine.ReadHistory(10, 10);
    EXPECT_LT(link.Now(), GiveUpMs);
    EXPECT_EQ(quiet.grid, link.grid);
    ExpectSent(link, kSimRead, 3);
    EXPECT_EQ(10, link.rowsShown) << "each row is shown once";
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, BlockLoops,
                         testing::Combine(testing::Bool(), testing::ValuesIn(Faults)));

// Replies later than the time-out on every Nth reply: the late one comes
// after its block was asked for again, so two answers are on their way for
// one block. Where the device answers address 0 only their count tells the
// second from the next block's.
class LateReplies : public testing::TestWithParam<std::tuple<bool, const char*>> {
 protected:
  SimLink& Link(int history = 10) {
    link_ = std::make_unique<SimLink>(Device(std::get<0>(GetParam()), history));
    link_->control.Apply(std::get<1>(GetParam()));
    return *link_;
  }
  std::unique_ptr<SimLink> link_;
};

TEST_P(LateReplies, ReadSettingShowsTheDeviceImage) {
  SimLink& link = Link();
  link.engine.ReadMaster();
  EXPECT_EQ(link.device.Image(), link.image);
  EXPECT_LT(link.Now(), GiveUpMs);
}

TEST_P(LateReplies, WriteSettingPutsTheImageIntoTheDevice) {
  SimLink& link = Link();
  const std::vector<std::uint8_t> image = EditedImage(link.device);
  link.engine.WriteMaster(image);
  EXPECT_EQ(image, link.device.Image());
  EXPECT_LT(link.Now(), GiveUpMs);
  // Every block goes out after the one before it was acknowledged: an
  // earlier block's late acknowledgement is never taken for it.
  link.engine.ReadMaster();
  EXPECT_EQ(image, link.image);
}

TEST_P(LateReplies, EveryHistoryRowIsRead) {
  SimLink quiet(Device(true, 400));
  quiet.engine.ReadHistory(400, 400);
  ASSERT_EQ(400u, quiet.grid.size());
  SimLink& link = Link(400);
  link.engine.ReadHistory(400, 400);
  EXPECT_EQ(std::vector<int>{}, RowsDiffering(quiet.grid, link.grid));
  EXPECT_EQ(400, link.rowsShown) << "each row is shown once";
  EXPECT_LT(link.Now(), GiveUpMs);
}

// Late by less than one time-out and its resend, by more than that, and by
// more than the resends of four time-outs; and answers lost for good.
INSTANTIATE_TEST_SUITE_P(EveryNth, LateReplies,
                         testing::Combine(testing::Bool(),
                                          testing::Values("every 3 late 3500", "every 4 late 3500",
                                                          "every 5 late 3500", "every 4 late 9000",
                                                          "every 4 late 15000", "every 3 drop")));

// An answer later than its block's resend and the resend's own time-out
// comes while the next block is awaited. A device without echo gives it no
// address, so only what it brings can tell it: it is never used.
class VeryLateReply : public testing::TestWithParam<std::tuple<bool, int, int>> {
 protected:
  SimLink& Link(int history = 10) {
    const auto [echo, reply, late] = GetParam();
    link_ = std::make_unique<SimLink>(Device(echo, history));
    link_->script.emplace(reply, "late " + std::to_string(late));
    return *link_;
  }
  std::unique_ptr<SimLink> link_;
};

TEST_P(VeryLateReply, NeverStandsForTheNextBlock) {
  SimLink& read = Link();
  read.engine.ReadMaster();
  EXPECT_EQ(read.device.Image(), read.image) << "read";

  SimLink& write = Link();
  const std::vector<std::uint8_t> image = EditedImage(write.device);
  write.engine.WriteMaster(image);
  EXPECT_EQ(image, write.device.Image()) << "write";

  SimLink quiet(Device(true, 40));
  quiet.engine.ReadHistory(40, 40);
  SimLink& history = Link(40);
  history.engine.ReadHistory(40, 40);
  EXPECT_EQ(std::vector<int>{}, RowsDiffering(quiet.grid, history.grid)) << "history";
  EXPECT_EQ(40, history.rowsShown) << "each row is shown once";
}

INSTANTIATE_TEST_SUITE_P(Replies, VeryLateReply,
                         testing::Combine(testing::Bool(), testing::Values(0, 1, 2, 5),
                                          testing::Values(6500, 9000, 15000)));

// Block 1 is answered only after it was asked for again, and that first
// answer comes while block 2 is awaited: its rows must not stand in block 2's.
TEST(BlockLoopsEcho, LateAnswerToAResentHistoryBlockIsNotTakenForTheNext) {
  SimLink quiet(Device(true));
  quiet.engine.ReadHistory(10, 10);
  SimLink link(Device(true));
  link.script = {{1, "late 3500"}, {3, "late 1500"}};
  link.engine.ReadHistory(10, 10);
  EXPECT_EQ(quiet.grid, link.grid);
}

// An answer that comes after the time-out but before the block was sent
// again is the block's: it is taken, and nothing is sent again.
TEST(BlockLoopsTimeOut, AnswerBeforeTheResendIsTakenWithoutOne) {
  for (bool echo : {true, false}) {
    SCOPED_TRACE(echo);
    SimLink link(Device(echo));
    link.script.emplace(0, "late 3050");
    link.engine.ReadMaster();
    EXPECT_EQ(link.device.Image(), link.image);
    EXPECT_EQ(14, link.Sent(kSimRead));
  }
}

// The third tick times the block out; it goes again 100 ms later.
TEST(BlockLoopsTimeOut, UnansweredBlockIsSentAgainAfterTheThirdTickAndASettle) {
  SimLink link(Device(false));
  link.script.emplace(0, "drop");
  link.engine.ReadMaster();
  ASSERT_GE(link.WriteTimes().size(), 2u);
  EXPECT_EQ(0, link.WriteTimes()[0]);
  EXPECT_EQ(3100, link.WriteTimes()[1]);
  EXPECT_EQ(link.device.Image(), link.image);
}

// A read stopped while a block's answer is still on its way: that answer
// comes first on the line and is not taken for the next read's first block.
TEST(BlockLoopsStop, AnswerToAStoppedReadIsNotTakenByTheNext) {
  for (bool echo : {true, false}) {
    SCOPED_TRACE(echo);
    SimLink link(Device(echo));
    link.script.emplace(3, "late 2500");
    link.stopAt = 1000;
    link.engine.ReadMaster();
    ASSERT_TRUE(link.image.empty());
    link.engine.ReadMaster();
    EXPECT_EQ(link.device.Image(), link.image);
  }
}

// The same after a reconnect, which learns the device's echo anew: an
// answer naming block 3 is no answer to block 0.
TEST(BlockLoopsStop, AnswerToAStoppedReadIsNotTakenAfterAReconnect) {
  SimLink link(Device(true));
  link.script.emplace(3, "late 2500");
  link.stopAt = 1000;
  link.engine.ReadMaster();
  ASSERT_TRUE(link.image.empty());
  link.engine.SendPassword("9173", false);
  link.engine.ReadMaster();
  EXPECT_EQ(link.device.Image(), link.image);
  EXPECT_EQ(TRequestEngine::TEcho::Yes, link.engine.BlockEcho());
}

// Its requests that were never answered at all are waited out behind one
// version request, whose answer tells itself apart: no block is asked twice.
TEST(BlockLoopsStop, LostAnswersOfAStoppedReadAreWaitedOutBehindAVersionRequest) {
  SimLink link(Device(false));
  link.script.emplace(3, "drop 2");
  link.stopAt = 4000;
  link.engine.ReadMaster();
  ASSERT_EQ(5, link.Sent(kSimRead));
  link.engine.ReadMaster();
  EXPECT_EQ(link.device.Image(), link.image);
  EXPECT_EQ(5 + 14, link.Sent(kSimRead));
  EXPECT_EQ(1, link.Sent(kSimVersion));
}

// A reply sent twice whose copy gets past the read thread after the next
// request went out: an echoing device is still told apart, and the copy is
// not the next block.
TEST(BlockLoopsEcho, DoubledReplyAfterTheNextRequestIsNotTakenForIt) {
  for (int request : {0, 5}) {
    SCOPED_TRACE(request);
    SimLink link(Device(true));
    link.dropFramesBegunEarlier = false;
    link.script.emplace(request, "concat");
    link.engine.ReadMaster();
    EXPECT_EQ(link.device.Image(), link.image);
    EXPECT_EQ(TRequestEngine::TEcho::Yes, link.engine.BlockEcho());
  }
}

// Block 0's acknowledgement comes after its resend has timed out too: it is
// the answer to a request given up on, which tells nothing about echoing.
TEST(BlockLoopsEcho, AcknowledgementOfARequestGivenUpOnIsNoSignOfEcho) {
  SimLink link(Device(true));
  const std::vector<std::uint8_t> image = EditedImage(link.device);
  link.script.emplace(0, "late 3500 2");
  link.engine.WriteMaster(image);
  EXPECT_EQ(image, link.device.Image());
  EXPECT_EQ(TRequestEngine::TEcho::Yes, link.engine.BlockEcho());
}

// Whether the device echoes is learnt again for each link.
TEST(BlockLoopsEcho, ANewLinkLearnsAgainWhetherTheDeviceEchoes) {
  SimLink link(Device(true));
  link.engine.ReadMaster();
  ASSERT_EQ(TRequestEngine::TEcho::Yes, link.engine.BlockEcho());
  link.engine.SendPassword("9173", false);
  link.Advance(1000);
  link.device = SimDevice(Device(false), [] { return std::int64_t{800000000}; });
  link.image.clear();
  link.engine.ReadMaster();
  EXPECT_EQ(link.device.Image(), link.image);
  EXPECT_LT(link.Now(), 60000);
}

// The device holds fewer records than asked for: the read ends with the
// second block that holds an empty record.
TEST(HistoryEnd, ReadEndsAtTheDevicesLastRecord) {
  for (bool echo : {true, false}) {
    SCOPED_TRACE(echo);
    SimLink link(Device(echo, 10));
    link.engine.ReadHistory(400, 400);
    EXPECT_EQ(4, link.Sent(kSimRead));
    EXPECT_EQ(10u, link.grid.size());
    EXPECT_FALSE(link.progress);
  }
}

// Read, delete the device's history, read again: rows of the records the
// device no longer has show nothing, not the records of the first read.
TEST(HistoryEnd, ReadAfterDeletingShowsNoRecordsOfTheEarlierRead) {
  for (bool echo : {true, false}) {
    SCOPED_TRACE(echo);
    SimLink link(Device(echo, 40));
    link.engine.ReadHistory(40, 40);
    ASSERT_EQ(40u, link.grid.size());
    link.engine.ClearHistory();
    link.Advance(10000);
    ASSERT_FALSE(link.progress);
    link.engine.ReadHistory(40, 40);
    EXPECT_EQ(0u, link.grid.size());
  }
}

TEST(BlockLoopsEcho, EachKindOfDeviceIsRecognisedFromItsReplies) {
  for (bool echo : {true, false}) {
    SimLink link(Device(echo));
    link.engine.ReadMaster();
    EXPECT_EQ(14, link.Sent(kSimRead));
    EXPECT_EQ(echo ? TRequestEngine::TEcho::Yes : TRequestEngine::TEcho::No,
              link.engine.BlockEcho());
  }
}

// A device (or adapter) that pauses in the middle of every reply, for less
// than the quiet interval, still has each block done at the first try.
TEST(BlockLoopsPausedReplies, ReadAndWriteNeedNoRetry) {
  for (bool echo : {true, false}) {
    SCOPED_TRACE(echo);
    SimLink reading(Device(echo));
    reading.script.emplace(0, "split 60 1000");
    reading.engine.ReadMaster();
    EXPECT_EQ(reading.device.Image(), reading.image);
    EXPECT_EQ(14, reading.Sent(kSimRead));

    SimLink writing(Device(echo));
    const std::vector<std::uint8_t> image = EditedImage(writing.device);
    writing.script.emplace(0, "split 60 1000");
    writing.engine.WriteMaster(image);
    EXPECT_EQ(image, writing.device.Image());
    EXPECT_EQ(15, writing.Sent(kSimWrite));
  }
}

// The firmware may still be storing an acknowledged block.
TEST(BlockLoopsPacing, WriteBlocksGoOutNoSoonerThanTheSettleTimeAfterTheirAcknowledgement) {
  SimLink link(Device(true));
  link.engine.WriteMaster(EditedImage(link.device));
  ASSERT_EQ(15, link.Sent(kSimWrite));
  for (std::size_t i = 1; i < link.WriteTimes().size(); ++i)
    EXPECT_GE(link.WriteTimes()[i] - link.WriteTimes()[i - 1], 100) << i;
}

TEST(BlockLoopsStop, StopEndsTheReadAndShowsNothing) {
  SimLink link(Device(true));
  link.script.emplace(3, "drop 100");
  link.stopAt = 9000;
  link.engine.ReadMaster();
  EXPECT_TRUE(link.image.empty());
  EXPECT_FALSE(link.progress);
  EXPECT_LT(link.Now(), 9200);
  // Block 3 again after each time-out, never block 4.
  EXPECT_GE(link.Sent(kSimRead), 5);
  EXPECT_LE(link.Sent(kSimRead), 7);
}

// Single requests: shown when the reply is whole, "Data Error" or nothing
// when it is damaged, nothing when it never comes; the tag is free again.
class SingleRequests : public testing::TestWithParam<const char*> {};

TEST_P(SingleRequests, ClockRepliesAreShownOnlyWhole) {
  const std::string fault = GetParam();
  SimLink link(Device(true));
  if (!fault.empty()) link.script.emplace(0, fault);
  link.engine.ReadTime();
  link.Advance(6000);
  EXPECT_EQ(0, link.engine.PendingTag());
  EXPECT_EQ(Lost(fault) ? 0u : 1u, link.messages.size());
  EXPECT_EQ(Intact(fault), link.messages == std::vector<std::string>{Lang_MsgSuccess});
  EXPECT_EQ(Intact(fault), link.clock != 0);

  SimLink setting(Device(true));
  if (!fault.empty()) setting.script.emplace(0, fault);
  setting.engine.SetTime(2024, 1, 31, 9, 30);
  setting.Advance(6000);
  const SimDateTime set = setting.device.DeviceTime();
  EXPECT_EQ((SimDateTime{2024, 1, 31, 9, 30, set.second}), set);
  EXPECT_EQ(Intact(fault), setting.messages == std::vector<std::string>{Lang_MsgSuccess});
}

TEST_P(SingleRequests, RelayStatesFollowTheSwitch) {
  const std::string fault = GetParam();
  SimLink link(Device(true));
  if (!fault.empty()) link.script.emplace(1, fault);
  link.engine.SwitchRelay(TRequestEngine::TRelay::DO1Close);
  link.Advance(6000);
  EXPECT_EQ(1, link.device.RelayBits());
  EXPECT_EQ(Intact(fault) ? std::vector<int>{1} : std::vector<int>{}, link.doStatus);
  EXPECT_EQ(0, link.engine.PendingTag());
  link.engine.ReadThValues();
  link.Advance(100 + 3000);
  EXPECT_EQ(fault == "drop 3" ? 0 : 1, link.thValues);
}

// A relay button's status request follows its text command by 700 ms; a
// finished read asks for the relay states 400 ms after it saw its last block's
// answer and for the channel values 200 ms after that.
TEST(SingleRequestsTiming, StatusRequestsFollowTheirWaits) {
  SimLink link(Device(true));
  link.engine.SwitchRelay(TRequestEngine::TRelay::DO1Close);
  ASSERT_EQ(2u, link.requests.size());
  EXPECT_EQ('D', link.requests[0][4]) << "the text command first";
  EXPECT_EQ(kSimStatus, link.requests[1][1]);
  EXPECT_EQ(700, link.WriteTimes()[1] - link.WriteTimes()[0]);
  EXPECT_EQ(TAG_DOSTATUS, link.engine.PendingTag());

  SimLink reader(Device(true));
  reader.engine.ReadMaster();
  const std::vector<std::int64_t>& at = reader.WriteTimes();
  ASSERT_EQ(16u, reader.requests.size());
  EXPECT_EQ(kSimStatus, reader.requests[14][1]);
  EXPECT_EQ(kSimStatus, reader.requests[15][1]);
  ASSERT_EQ(16u, reader.received.size() + 1) << "each block answered, then the relay states";
  // The loop sees the answer at its next 10 ms step.
  EXPECT_GE(at[14] - reader.received[13], 400);
  EXPECT_LT(at[14] - reader.received[13], 410);
  EXPECT_EQ(200, at[15] - at[14]);
  EXPECT_EQ(TAG_THVALUES, reader.engine.PendingTag());
}

TEST_P(SingleRequests, ResetAndClearHistoryReportOnlyWhatCame) {
  const std::string fault = GetParam();
  SimLink link(Device(true));
  if (!fault.empty()) link.script.emplace(0, fault);
  link.engine.Reset("9173");
  link.Advance(6000);
  // The answer is text, so a cut one still comes, at the quiet interval.
  EXPECT_EQ(Lost(fault) ? 0u : 1u, link.messages.size());
  EXPECT_EQ(0, link.engine.PendingTag());

  SimLink clearing(Device(true));
  if (!fault.empty()) clearing.script.emplace(0, fault);
  clearing.engine.ClearHistory();
  clearing.Advance(10000);
  EXPECT_EQ(0, clearing.device.HistoryCount());
  // Lost progress keeps the window until Stop; anything else ends at 100.
  // Either way the wait is never timed out.
  EXPECT_EQ(fault.starts_with("drop"), clearing.progress);
  EXPECT_EQ(TAG_CLEARHISTORY, clearing.engine.PendingTag());
}

INSTANTIATE_TEST_SUITE_P(Faults, SingleRequests, testing::ValuesIn(Faults));

// Single requests one after another, with an answer lost, damaged or late
// among them: every answer that comes while its request is pending is
// shown, and none as another request's (a record's row always holds the
// record it names, and a clock set holds the minute of the one shown).
// SetTimeByHand sets the tag itself and then sends, as the window's older
// code did.
struct SingleStep {
  enum Kind { SetTime, ReadTime, ReadTh, ClearHistory, Record, SetTimeByHand } kind;
  int arg = 0;             // the minute set, or the record's number
  const char* fault = "";  // on this request's answer (faults joined by ",")
  bool shown = true;
  int waitMs = 4000;  // before the next request
};
struct SingleSequence {
  const char* name;
  SimDeviceSettings device;
  std::vector<SingleStep> steps;
};
void PrintTo(const SingleSequence& sequence, std::ostream* os) { *os << sequence.name; }

class SingleSequences : public testing::TestWithParam<SingleSequence> {};
using K = SingleStep::Kind;

TEST_P(SingleSequences, EveryAnswerInTimeIsShownAndNoneAsAnothers) {
  SimLink link(GetParam().device);
  ModelIndex = -1;
  link.engine.SendPassword("9173", true);
  link.Advance(2000);
  ASSERT_EQ(1, ModelIndex);
  int index = 0;
  for (const SingleStep& step : GetParam().steps) {
    SCOPED_TRACE("step " + std::to_string(index++));
    for (std::string_view faults = step.fault; !faults.empty();) {
      const std::size_t end = std::min(faults.find(','), faults.size());
      link.script.emplace(static_cast<int>(link.requests.size()), std::string(faults.substr(0, end)));
      faults.remove_prefix(std::min(end + 1, faults.size()));
    }
    const std::size_t messages = link.messages.size(), records = link.records.size();
    const int thValues = link.thValues;
    link.clock = 0;
    switch (step.kind) {
      case K::SetTime: link.engine.SetTime(2024, 1, 31, 9, step.arg); break;
      case K::ReadTime: link.engine.ReadTime(); break;
      case K::ReadTh: link.engine.ReadThValues(); break;
      case K::ClearHistory: link.engine.ClearHistory(); break;
      case K::Record: link.engine.ReadHistoryRecord(step.arg); break;
      case K::SetTimeByHand:
        link.engine.SetPending(TAG_SETTIME);
        SendHandle.SendSetTime(link, 24, 1, 31, 9, step.arg);
        break;
    }
    link.Advance(step.waitMs);
    const std::vector<std::string> news(link.messages.begin() + std::ptrdiff_t(messages),
                                        link.messages.end());
    const bool success = news == std::vector<std::string>{Lang_MsgSuccess};
    const bool set = success && link.device.DeviceTime().minute == step.arg;
    const bool shown[] = {set,
                          success && link.clock != 0,
                          link.thValues == thValues + 1,
                          !link.progress && link.gauge == 100,
                          link.records.size() == records + 1 &&
                              link.records.back()[0] == std::to_string(step.arg),
                          set};
    EXPECT_EQ(step.shown, shown[step.kind]);
  }
  for (const std::vector<std::string>& row : link.records)
    EXPECT_EQ(samples::SimRecordStart(std::stoi(row[0])),
              std::vector<std::string>(row.begin(), row.begin() + 4));
}

INSTANTIATE_TEST_SUITE_P(
    AfterAFault, SingleSequences,
    testing::Values(
        SingleSequence{"SetTimeAfterAGarbledAnswer", Device(true),
                       {{K::SetTime, 30}, {K::SetTime, 31, "badsum", false}, {K::SetTime, 32},
                        {K::SetTime, 33}, {K::SetTime, 34}, {K::SetTime, 35}}},
        SingleSequence{"ClockAndChannelsAfterDeleteHistory", Device(true, 10, 0x80),
                       {{K::ClearHistory}, {K::ReadTime}, {K::ReadTh}}},
        SingleSequence{"RecordsAfterALostAndALateOne", Device(false),
                       {{K::Record, 3, "drop", false}, {K::Record, 4}, {K::Record, 5},
                        {K::Record, 6}, {K::Record, 7}, {K::Record, 8, "late 3500", false, 3200},
                        {K::Record, 9}}},
        // Later than the next record's time-out: that one never went out.
        SingleSequence{"RecordsAfterAVeryLateOne", Device(false),
                       {{K::Record, 8, "late 9000", false, 3200}, {K::Record, 9, "", false},
                        {K::Record, 10}}},
        // Record 4 waits behind a version request whose answer comes late,
        // and twice: the copy is not taken for the answer to the version
        // request the clock then waits behind, which would let the late
        // channel values stand for the clock.
        SingleSequence{"ClockAfterADoubledVersionAnswer", Device(false, 10, 0x80),
                       {{K::Record, 3, "drop", false, 4000},
                        {K::Record, 4, "late 8000,concat", false, 3200},
                        {K::ReadTh, 0, "late 5000", false, 3000},
                        {K::ReadTime}}}),
    [](const auto& info) { return std::string(info.param.name); });

// A request held back behind a version request (the device names no
// address, so an earlier request's answer could be taken for its own).
INSTANTIATE_TEST_SUITE_P(
    HeldRequest, SingleSequences,
    testing::Values(
        // The answer to the clock's version request, late, comes while
        // record 5's is still on its way: record 6 goes out only after its
        // own version answer, or record 5's copy would stand for it.
        SingleSequence{"WaitsForEveryAnswerItCouldBeTakenFor", Device(false),
                       {{K::SetTime, 30, "drop", false},
                        {K::SetTime, 31, "late 8000", false, 3200},
                        {K::Record, 5, "late 5000,concat", false, 3000},
                        {K::Record, 6}}},
        // Record 3's late answer comes garbled while record 4 is held.
        SingleSequence{"IsNotAnsweredByADamagedEarlierAnswer", Device(false),
                       {{K::Record, 3, "late 3500,badsum", false, 3200}, {K::Record, 4}}},
        // Minute 31's version answer comes after its time-out, with the
        // tag set by hand for minute 32: 31 must not go out over it.
        SingleSequence{"IsDroppedAtItsTimeOut", Device(false),
                       {{K::SetTime, 30, "drop", false},
                        {K::SetTime, 31, "late 3500", false, 3200},
                        {K::SetTimeByHand, 32}}},
        // Minute 32 is set by hand while record 4 is held.
        SingleSequence{"IsDroppedWhenAnotherRequestTookTheTag", Device(false),
                       {{K::Record, 3, "drop", false},
                        {K::Record, 4, "late 1500", false, 500},
                        {K::SetTimeByHand, 32}}},
        // Between the third tick and the time-out's handling.
        SingleSequence{"IsDroppedWhenItsVersionAnswerComesInTheTimeOutsSettle", Device(false),
                       {{K::Record, 3, "drop", false}, {K::Record, 4, "late 3050", false}}},
        // Its version answer, doubled, comes after Delete History began:
        // the IMEI's digits are no progress.
        SingleSequence{"LeavesNoAnswerToBeReadAsDeleteHistoryProgress", Device(false),
                       {{K::Record, 3, "drop", false},
                        {K::Record, 4, "late 3500,concat", false, 3200},
                        {K::ClearHistory}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Password, AcceptedPasswordAsksForTheModel) {
  SimLink link(Device(true));
  ModelIndex = -1;
  link.engine.SendPassword("9173", true);
  link.Advance(1000);
  EXPECT_EQ("KV42", link.model);
  EXPECT_EQ(1, ModelIndex);
}

// Only the password sent when the window opened ends the program when it is
// refused; a Reconnect while that one is still unanswered does not inherit it.
// The version reply is asked for again when it does not come or comes
// damaged, three times at most for an accepted password.
class VersionRequest : public testing::TestWithParam<const char*> {};

TEST_P(VersionRequest, IsAskedAgainUntilTheModelIsKnown) {
  SimLink link(Device(true));
  ModelIndex = -1;
  link.script.emplace(1, GetParam());
  link.engine.SendPassword("9173", true);
  link.Advance(5000);
  EXPECT_EQ("KV42", link.model);
  EXPECT_EQ(2, link.Sent(kSimVersion));
}

INSTANTIATE_TEST_SUITE_P(Faults, VersionRequest,
                         testing::Values("drop", "badsum", "garbage", "late 3500"));

TEST(Password, VersionRequestGivesUpAfterItsRetries) {
  SimLink link(Device(true));
  ModelIndex = -1;
  link.script.emplace(1, "drop 10");
  link.engine.SendPassword("9173", true);
  link.Advance(30000);
  EXPECT_EQ("", link.model);
  EXPECT_EQ(1 + TRequestEngine::VersionRequestRetries, link.Sent(kSimVersion));
}

// A reply that holds fewer data bytes than its length field says is shown
// as nothing, even where its check passes.
TEST(DamagedReplies, CutReplyIsNotShown) {
  SimLink link(Device(true));
  SimControl cut;
  cut.Apply("truncate");
  const SimBytes frame = cut.Shape({{link.device.UnsolicitedFrame(), 0}})[0].bytes;
  link.engine.ReadThValues();
  link.engine.Receive(frame.data(), frame.size());
  EXPECT_EQ(0, link.thValues);
  link.engine.ReadThValues();
  const SimBytes whole = link.device.UnsolicitedFrame();
  link.engine.Receive(whole.data(), whole.size());
  EXPECT_EQ(1, link.thValues);
}

TEST(Password, RefusalAfterReconnectIsNotTheShowTimeRefusal) {
  SimLink link(Device(true));
  link.script.emplace(0, "drop");
  link.engine.SendPassword("9173", true);
  link.Advance(500);
  link.engine.SendPassword("1111", false);
  link.Advance(1000);
  EXPECT_EQ(std::vector<bool>{false}, link.refusals);
}

// A block goes out only once the one before it was acknowledged, whoever
// the late acknowledgements belong to.
TEST(BlockLoopsOrder, EachWriteBlockFollowsTheAcknowledgementOfTheOneBefore) {
  for (const char* fault : {"late 3500", "late 3500 2", "late 9000"}) {
    for (bool echo : {true, false}) {
      SCOPED_TRACE(std::string(fault) + (echo ? " echo" : " no echo"));
      SimLink link(Device(echo));
      const std::vector<std::uint8_t> image = EditedImage(link.device);
      link.script.emplace(0, fault);
      link.engine.WriteMaster(image);
      ASSERT_EQ(image, link.device.Image());
      int block = 0;
      for (const SimBytes& request : link.requests) {
        if (request[1] != kSimWrite) continue;
        const int asked = request[4] * 256 + request[5];
        const int next = asked / 256;
        EXPECT_TRUE(next == block || next == block + 1) << "block " << next << " after " << block;
        block = next;
      }
      EXPECT_EQ(14, block);
    }
  }
}

// A device whose blocks are all alike (a blank one) answers each block
// with the same bytes: the next block's answer is not taken for the last
// one sent twice more than once.
TEST(BlockLoopsEcho, BlankDeviceWithoutEchoIsReadWithOneResend) {
  SimLink link(Device(false));
  link.engine.WriteMaster(std::vector<std::uint8_t>(kSimImageSize, 0xFF));
  link.engine.SendPassword("9173", false);
  link.Advance(1000);
  const int before = link.Sent(kSimRead);
  link.engine.ReadMaster();
  EXPECT_EQ(link.device.Image(), link.image);
  EXPECT_EQ(14 + 1, link.Sent(kSimRead) - before);
}

// A single request's answer that comes after its time-out, while a read has
// begun, is waited out: it never stands for a block.
TEST(BlockLoopsSingles, LateRecordAnswerIsNeverTakenForBlockZero) {
  for (bool echo : {true, false}) {
    SCOPED_TRACE(echo);
    SimLink link(Device(echo, 10));
    link.script.emplace(0, "late 3500");
    link.engine.ReadHistoryRecord(2);
    link.Advance(1000);
    link.engine.ReadMaster();
    EXPECT_EQ(link.device.Image(), link.image);
    EXPECT_EQ(0, link.rowsShown) << "a record answered after its time-out is not shown";
  }
}

// The version answer tells itself apart by its command: late, or after a
// lost one, it makes the model known, even during a read.
TEST(ModelDetection, LateVersionAnswerMakesTheModelKnownDuringARead) {
  for (bool echo : {true, false}) {
    SCOPED_TRACE(echo);
    SimLink link(Device(echo));
    ModelIndex = -1;
    link.script.emplace(1, "late 3500");
    link.engine.SendPassword("9173", true);
    link.Advance(1000);
    link.engine.ReadMaster();
    EXPECT_EQ(1, ModelIndex);
    EXPECT_EQ("KV42", link.model);
    EXPECT_EQ(link.device.Image(), link.image);
  }
}

TEST(ModelDetection, LostVersionAnswersAreAskedAgainUntilTheModelIsKnown) {
  for (bool echo : {true, false}) {
    SCOPED_TRACE(echo);
    SimLink link(Device(echo));
    ModelIndex = -1;
    link.control.Apply("every 3 drop");
    link.engine.SendPassword("9173", true);
    link.Advance(15000);
    EXPECT_EQ(1, ModelIndex);
    EXPECT_TRUE(link.messages.empty());
  }
}

TEST(ModelDetection, ReadFirstAsksForAModelNotYetKnown) {
  SimLink link(Device(false));
  ModelIndex = -1;
  link.engine.ReadMaster();
  EXPECT_EQ(1, ModelIndex);
  EXPECT_EQ(link.device.Image(), link.image);
  EXPECT_EQ(1, link.Sent(kSimVersion));
}

// A pulled cable: the operation ends with its message after a bounded
// wait; a write also says which blocks the device now holds.
class PulledLink : public testing::TestWithParam<bool> {
 protected:
  SimLink& Link() {
    link_ = std::make_unique<SimLink>(Device(GetParam()));
    link_->script.emplace(8, "drop 1000");
    return *link_;
  }
  std::unique_ptr<SimLink> link_;
};

TEST_P(PulledLink, ReadEndsSayingTheDeviceDoesNotAnswer) {
  SimLink& link = Link();
  link.engine.ReadMaster();
  EXPECT_TRUE(link.image.empty());
  EXPECT_FALSE(link.progress);
  EXPECT_EQ(std::vector<std::string>{NoAnswerText(LanguageFlag)}, link.messages);
  EXPECT_LT(link.Now(), 8 * 1000 + TRequestEngine::NoAnswerRounds * 3200);
  EXPECT_EQ(0, link.messagesOverProgress) << "the message would go with the progress window";
}

TEST_P(PulledLink, WriteEndsNamingTheBlocksWritten) {
  SimLink& link = Link();
  const std::vector<std::uint8_t> image = EditedImage(link.device);
  link.engine.WriteMaster(image);
  EXPECT_FALSE(link.progress);
  // Blocks 0-7 were acknowledged; block 8 went out and was never answered.
  EXPECT_EQ(std::vector<std::string>{PartlyWrittenText(LanguageFlag, 8, true, 14, true)},
            link.messages);
  EXPECT_EQ(0, link.messagesOverProgress);
}

TEST_P(PulledLink, HistoryEndsSayingTheDeviceDoesNotAnswerAndKeepsItsRows) {
  SimLink& link = Link();
  link.device.SetHistoryCount(100);
  link.engine.ReadHistory(100, 100);
  EXPECT_EQ(32, link.rowsShown);
  EXPECT_EQ(std::vector<std::string>{NoAnswerText(LanguageFlag)}, link.messages);
  EXPECT_EQ(0, link.messagesOverProgress);
}

INSTANTIATE_TEST_SUITE_P(Echo, PulledLink, testing::Bool());

// A write that ends before block 0 went out (stopped, or given up on, while
// an earlier request's answer was waited out) wrote nothing and says so;
// one stopped later names the blocks written.
TEST(BlockLoopsStop, WriteEndingEarlySaysWhatTheDeviceHolds) {
  const struct {
    bool earlierRequest;
    const char* fault;
    int faultAt;
    std::optional<std::int64_t> stopAt;
    std::string text;
  } cases[] = {
      {true, "drop", 0, 100, NothingWrittenText(LanguageFlag)},
      {true, "drop 1000", 0, std::nullopt, PartlyWrittenText(LanguageFlag, 0, false, 14, true)},
      {false, "drop 1000", 3, 5000, PartlyWrittenText(LanguageFlag, 3, true, 14, false)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    SimLink link(Device(true));
    const SimBytes before = link.device.Image();
    link.script.emplace(c.faultAt, c.fault);
    if (c.earlierRequest) link.engine.ReadTime();
    link.stopAt = c.stopAt;
    link.engine.WriteMaster(EditedImage(link.device));
    EXPECT_EQ(std::vector<std::string>{c.text}, link.messages);
    if (c.earlierRequest) {
      EXPECT_EQ(0, link.Sent(kSimWrite));
      EXPECT_EQ(before, link.device.Image());
    }
  }
}

TEST(PartlyWritten, TextsNameEachPartInBothLanguages) {
  const struct {
    int language, stoppedAt;
    bool sent, noAnswer;
    const char* text;
  } cases[] = {
      {LanguageEnglish, 8, true, false,
       "The setting was only partly written: blocks 0-7 hold the new setting, block 8 may or "
       "may not, blocks 9-14 still hold the old one. Write Setting again."},
      {LanguageEnglish, 1, false, true,
       "The device does not answer: check the connection. The setting was only partly "
       "written: block 0 hold the new setting, blocks 1-14 still hold the old one. Write "
       "Setting again."},
      {LanguageChinese, 0, true, false,
       "参数只写入了一部分：第0块不确定，第1-14块仍为旧参数。请重新写入参数。"},
      {LanguageEnglish, 0, false, false,
       "Nothing was written: the device keeps its setting as it was."},
      {LanguageEnglish, 0, false, true,
       "The device does not answer: check the connection. Nothing was written: the device "
       "keeps its setting as it was."},
      {LanguageChinese, 0, false, true,
       "设备无应答，请检查连接。没有写入任何参数：设备中的参数没有改变。"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.text, PartlyWrittenText(c.language, c.stoppedAt, c.sent, 14, c.noAnswer));
}

// Read Setting, then Write Setting of what the window's settings show: codes
// that no list entry stands for (a timer's week 9, action 11 or none, hour
// 24 and minute 60; the protocol 5 or 14), week 7 shown as every day, a
// disabled timer, thresholds in tenths (80.5 shows as "80") and a report
// time no picker shows go back as they came, in either language. A timer
// row edited in its dialog, a protocol, transport, threshold or report time
// changed go as they show.
TEST(ReadThenWrite, CodesGoBackAsTheyCameUnlessEdited) {
  const auto editTimer = [](TMasterSettings& s) {
    TimerValuesToRow({true, 2, 8, 15, 6}, s.lvTimer[1]);
  };
  static constexpr auto reportAt = [](TMasterSettings& s, int hour, int minute) {
    s.chk_ReportTime = true;
    s.dtp_RePortTime = {hour, minute, 0};
  };
  const struct {
    std::size_t at;
    SimBytes device;
    void (*edit)(TMasterSettings&);
    SimBytes edited;
  } cases[] = {
      {674, {0x01, 0x07, 0x1E, 0xFF}, editTimer, {0x02, 8, 15, 6}},
      {674, {0x09, 0x07, 0x1E, 0x03}, editTimer, {0x02, 8, 15, 6}},
      {674, {0x01, 0x07, 0x1E, 0x0B}, editTimer, {0x02, 8, 15, 6}},
      {674, {0x0F, 0x18, 0x3C, 0x05}, editTimer, {0x02, 8, 15, 6}},
      {674, {0x07, 0x07, 0x1E, 0x05}, editTimer, {0x02, 8, 15, 6}},
      {674, {0x87, 0x07, 0x1E, 0x05}, editTimer, {0x02, 8, 15, 6}},
      {674, {0x81, 0x07, 0x1E, 0x05},
       [](TMasterSettings& s) { TimerValuesToRow({false, 2, 8, 15, 6}, s.lvTimer[1]); },
       {0x82, 8, 15, 6}},
      {710, {0x85}, [](TMasterSettings& s) { s.cbb_GPRSCommunication_Proctocol = 1; }, {0x81}},
      {710, {0x0E}, [](TMasterSettings& s) { s.cbb_GPRS_TcpUdp = 1; }, {0x8E}},
      {3380, {0x25, 0x03}, [](TMasterSettings& s) { s.lvTh[0].SetCell(ThColHigh, "81"); },
       {0x2A, 0x03}},  // slot 0's high threshold
      {3418, {0x00, 0x80}, [](TMasterSettings& s) { s.lvTh[3].SetCell(ThColLow, "-5"); },
       {0xCE, 0xFF}},  // slot 3's low threshold, -3276.8
      {6, {24, 0}, [](TMasterSettings& s) { reportAt(s, 9, 0); }, {9, 0}},
      {6, {0xFF, 30}, [](TMasterSettings& s) { reportAt(s, 7, 15); }, {7, 15}},
  };
  const auto readThenWrite = [](SimLink& link, void (*edit)(TMasterSettings&)) {
    link.engine.ReadMaster();
    TMasterSettings s = samples::EmptyRows(ModelIndex);
    MasterImageToControls(link.image, ModelIndex, s);
    if (edit != nullptr) edit(s);
    link.engine.WriteMaster(ControlsToMasterImage(s, ModelIndex, link.image));
    EXPECT_TRUE(link.messages.empty());
  };
  for (int language : {LanguageChinese, LanguageEnglish}) {
    LanguageFlag = static_cast<unsigned char>(language);
    RebuildTimerLists();
    for (const auto& c : cases) {
      SCOPED_TRACE(std::to_string(&c - cases) + " language " + std::to_string(language));
      SimLink link(Device(true));
      link.device.Poke(c.at, c.device);
      SimBytes expected = link.device.Image();
      readThenWrite(link, nullptr);
      EXPECT_EQ(-1, FirstDifference(expected, link.device.Image()));
      std::copy(c.edited.begin(), c.edited.end(), expected.begin() + std::ptrdiff_t(c.at));
      readThenWrite(link, c.edit);
      EXPECT_EQ(-1, FirstDifference(expected, link.device.Image()));
    }
  }
}

// The device clock as the device reports it, field by field.
TEST(SingleRequestsClock, ReadTimeShowsTheDevicesDateAndTime) {
  SimLink link(Device(true));
  link.engine.SetTime(2024, 1, 31, 9, 30);
  link.Advance(1000);
  link.engine.ReadTime();
  link.Advance(1000);
  const SimDateTime t = link.device.DeviceTime();
  ASSERT_EQ((SimDateTime{2024, 1, 31, 9, 30, t.second}), t);
  int hour = 0, minute = 0, second = 0, msec = 0;
  DecodeTime(link.clock, hour, minute, second, msec);
  EXPECT_EQ(9, hour);
  EXPECT_EQ(30, minute);
  EXPECT_LE(t.second - second, 1) << "the device's clock ran on after it answered";
  EXPECT_NEAR(EncodeDate(2024, 1, 31), std::floor(link.clock), 0.0);
}

// A reply longer than its length field says is as damaged as a shorter one.
TEST(DamagedReplies, OverlongReplyIsNotShown) {
  SimLink link(Device(true));
  link.engine.ReadThValues();
  SimBytes frame = link.device.UnsolicitedFrame();
  frame.push_back(0);
  link.engine.Receive(frame.data(), frame.size());
  EXPECT_EQ(0, link.thValues);
}

// The login's engine: five ticks for the password, its reply reported as
// it is, and nothing asked after it.
TEST(LoginEngine, AcceptedPasswordAsksForNothingMore) {
  SimLink link(Device(true), TEngineRole::Login);
  link.engine.SendPassword("9173", true);
  link.Advance(6000);
  EXPECT_EQ(1, link.accepted);
  EXPECT_EQ(0, link.Sent(kSimVersion));
  EXPECT_TRUE(link.timedOut.empty());
}

TEST(LoginEngine, DamagedPasswordReplyIsReportedAsDamaged) {
  SimLink link(Device(true), TEngineRole::Login);
  link.script.emplace(0, "badsum");
  link.engine.SendPassword("9173", true);
  link.Advance(1000);
  EXPECT_EQ(1, link.damagedPasswords);
  EXPECT_EQ(0, link.accepted);
  EXPECT_TRUE(link.refusals.empty());
}

TEST(LoginEngine, UnansweredPasswordTimesOutAtTheFifthTick) {
  SimLink link(Device(true), TEngineRole::Login);
  link.script.emplace(0, "drop");
  link.engine.SendPassword("9173", true);
  link.Advance(10000);
  ASSERT_EQ(1u, link.timedOut.size());
  EXPECT_EQ(TAG_PASSWORD, link.timedOut[0].first);
  EXPECT_EQ(5000, link.timedOut[0].second);
}

// The main window's password: an answer after its time-out still opens the
// link, a garbled one is no refusal, and one that never comes is asked
// again a few times before the window says the device does not answer.
TEST(Password, LateOrGarbledAnswerStillOpensTheLinkAndMakesTheModelKnown) {
  for (const char* fault : {"late 3500", "badsum", "garbage", "drop"}) {
    SCOPED_TRACE(fault);
    SimLink link(Device(true));
    ModelIndex = -1;
    link.script.emplace(0, fault);
    link.engine.SendPassword("9173", true);
    link.Advance(10000);
    EXPECT_TRUE(link.refusals.empty());
    EXPECT_EQ(1, link.accepted);
    EXPECT_EQ(1, ModelIndex);
    EXPECT_TRUE(link.messages.empty());
  }
}

// Answered only after its resends have all timed out, the password still
// opens the link: the window said once that the device did not answer, and
// then fills in.
TEST(Password, AnswerAfterTheLastResendStillOpensTheLink) {
  SimLink link(Device(true));
  ModelIndex = -1;
  link.script.emplace(0, "late 15000");
  link.engine.SendPassword("9173", true);
  link.Advance(40000);
  EXPECT_EQ(1, ModelIndex);
  EXPECT_EQ(std::vector<std::string>{NoAnswerText(LanguageFlag)}, link.messages);
}

TEST(Password, UnansweredPasswordIsAskedAgainThenReported) {
  SimLink link(Device(true));
  ModelIndex = -1;
  link.script.emplace(0, "drop 100");
  link.engine.SendPassword("9173", true);
  link.Advance(30000);
  EXPECT_EQ(1 + TRequestEngine::PasswordRequestRetries, link.Sent(kSimPassword));
  EXPECT_EQ(std::vector<std::string>{NoAnswerText(LanguageFlag)}, link.messages);
  EXPECT_EQ(-1, ModelIndex);
}


// A device that answers every frame with another command byte than the
// request's (a flag bit set): the engine learns that the byte tells nothing
// and goes by the request waiting and by what each answer brings, with
// late and lost answers as well.
class ForeignCommandByte
    : public testing::TestWithParam<std::tuple<std::uint8_t, bool, const char*>> {
 protected:
  SimLink& Link(int history = 10, TEngineRole role = TEngineRole::Main) {
    const auto [bits, echo, fault] = GetParam();
    link_ = std::make_unique<SimLink>(Device(echo, history, bits), role);
    link_->control.Apply(fault);
    return *link_;
  }
  // Logs in as the main window does: the password, then the model.
  SimLink& LoggedIn(int history = 10) {
    SimLink& link = Link(history);
    ModelIndex = -1;
    link.engine.SendPassword("9173", true);
    for (int i = 0; i < 60 && ModelIndex < 0; ++i) link.Advance(1000);
    return link;
  }
  std::unique_ptr<SimLink> link_;
};

TEST_P(ForeignCommandByte, LoginAcceptsThePassword) {
  SimLink& login = Link(10, TEngineRole::Login);
  login.engine.SendPassword("9173", true);
  login.Advance(6000);
  EXPECT_EQ(1, login.accepted);
  EXPECT_TRUE(login.timedOut.empty());

  SimLink& main = LoggedIn();
  EXPECT_EQ(1, ModelIndex);
  EXPECT_EQ("KV42", main.model);
  EXPECT_TRUE(main.refusals.empty());
  EXPECT_EQ(TRequestEngine::TEcho::No, main.engine.CommandEcho());
}

TEST_P(ForeignCommandByte, ReadAndWriteSettingKeepTheDeviceImage) {
  SimLink& link = LoggedIn();
  link.engine.ReadMaster();
  EXPECT_EQ(link.device.Image(), link.image);
  const std::vector<std::uint8_t> image = EditedImage(link.device);
  link.engine.WriteMaster(image);
  EXPECT_EQ(image, link.device.Image());
  link.image.clear();
  link.engine.ReadMaster();
  EXPECT_EQ(image, link.image);
  EXPECT_EQ("9173", link.device.Password());
  EXPECT_LT(link.Now(), GiveUpMs);
}

TEST_P(ForeignCommandByte, EveryHistoryRowIsRead) {
  SimLink quiet(Device(true, 100));
  quiet.engine.ReadHistory(100, 100);
  ASSERT_EQ(100u, quiet.grid.size());
  SimLink& link = LoggedIn(100);
  link.engine.ReadHistory(100, 100);
  EXPECT_EQ(std::vector<int>{}, RowsDiffering(quiet.grid, link.grid));
  EXPECT_EQ(100, link.rowsShown) << "each row is shown once";
}

INSTANTIATE_TEST_SUITE_P(
    Devices, ForeignCommandByte,
    testing::Combine(testing::Values(std::uint8_t{0x80}, std::uint8_t{0x40}), testing::Bool(),
                     testing::Values("", "every 3 late 3500", "every 4 late 15000",
                                     "every 3 drop")));

// The single requests' answers are shown, whatever their command byte.
TEST(ForeignCommandByteSingles, ChannelValuesRelayStatesAndClockAreShown) {
  for (std::uint8_t bits : {std::uint8_t{0x80}, std::uint8_t{0x40}}) {
    SCOPED_TRACE(bits);
    SimLink link(Device(true, 10, bits));
    link.engine.ReadThValues();
    link.Advance(1000);
    EXPECT_EQ(1, link.thValues);
    link.engine.SwitchRelay(TRequestEngine::TRelay::DO2Close);
    link.Advance(3000);
    EXPECT_EQ(std::vector<int>{2}, link.doStatus);
    link.engine.ReadTime();
    link.Advance(1000);
    EXPECT_NE(0, link.clock);
    EXPECT_EQ(0, link.engine.PendingTag());
  }
}

// The device changes its answers' command byte after the login: the engine
// learnt that it repeats the byte, and keeps that for the link, so that no
// stray or late frame can unteach it. A new link learns again.
TEST(ForeignCommandByteSwitch, DeviceKnownToRepeatTheCommandByteKeepsThatForTheLink) {
  SimLink link(Device(true, 100));
  ModelIndex = -1;
  link.engine.SendPassword("9173", true);
  link.Advance(1000);
  ASSERT_EQ(1, ModelIndex);
  ASSERT_EQ(TRequestEngine::TEcho::Yes, link.engine.CommandEcho());
  link.device.SetCommandBits(0x40);
  link.engine.ReadMaster();
  EXPECT_TRUE(link.image.empty());
  EXPECT_EQ(TRequestEngine::TEcho::Yes, link.engine.CommandEcho());
  link.engine.SendPassword("9173", false);
  link.Advance(1000);
  link.engine.ReadMaster();
  EXPECT_EQ(link.device.Image(), link.image);
  EXPECT_EQ(TRequestEngine::TEcho::No, link.engine.CommandEcho());
}

// An answer at address 0 that more than one request on the line could take
// (a stopped write's block 1, never acknowledged, and a status request, on a
// device whose command byte tells nothing) does not show that the device
// leaves addresses out: a doubled block 0 is still not taken for block 1.
TEST(BlockLoopsEcho, UncertainAnswerAtAddressZeroIsNoSignOfMissingEcho) {
  SimLink link(Device(true, 10, 0x40));
  link.dropFramesBegunEarlier = false;
  link.script.emplace(1, "drop 100");
  link.stopAt = 2000;
  link.engine.WriteMaster(EditedImage(link.device));
  link.control.Apply("reset");
  link.engine.ReadThValues();
  link.Advance(1000);
  ASSERT_EQ(TRequestEngine::TEcho::No, link.engine.CommandEcho());
  EXPECT_EQ(TRequestEngine::TEcho::Unknown, link.engine.BlockEcho());
  link.script.emplace(static_cast<int>(link.requests.size()), "concat");
  link.engine.ReadMaster();
  EXPECT_EQ(link.device.Image(), link.image);
}

// Frames that are no answer to the request waiting: a status answer that
// comes after its time-out and a second one after it, or a status frame the
// device sends on its own.
// Neither is the clock, and neither tells whether the device repeats the
// command byte.
class StrayFrames : public testing::TestWithParam<bool> {
 protected:
  bool Late() const { return GetParam(); }
};

TEST_P(StrayFrames, ReadTimeShowsTheClockWhileAStatusFrameComes) {
  SimLink link(Device(true));
  ModelIndex = -1;
  link.engine.SendPassword("9173", true);
  link.Advance(1000);
  ASSERT_EQ(TRequestEngine::TEcho::Yes, link.engine.CommandEcho());
  link.engine.SetTime(2024, 1, 31, 23, 59);
  link.Advance(1000);
  link.messages.clear();
  if (Late()) {
    // Its answer comes after its time-out, and the device sends the states
    // once more: both while the clock is asked for.
    link.script.emplace(static_cast<int>(link.requests.size()), "late 3500");
    link.script.emplace(static_cast<int>(link.requests.size()), "follow 300");
    link.engine.ReadDoStatus();
    link.Advance(3200);
    ASSERT_EQ(0, link.engine.PendingTag()) << "the status request timed out";
    ASSERT_TRUE(link.doStatus.empty());
  }
  link.engine.ReadTime();
  if (!Late()) {
    const SimBytes status = link.device.UnsolicitedFrame();
    link.engine.Receive(status.data(), status.size());
  }
  link.Advance(2000);
  int hour = 0, minute = 0, second = 0, msec = 0;
  DecodeTime(link.clock, hour, minute, second, msec);
  EXPECT_EQ(23, hour);
  EXPECT_EQ(59, minute);
  EXPECT_EQ(std::vector<std::string>{Lang_MsgSuccess}, link.messages);
  EXPECT_EQ(TRequestEngine::TEcho::Yes, link.engine.CommandEcho());
}

INSTANTIATE_TEST_SUITE_P(LateOrUnsolicited, StrayFrames, testing::Bool());

// Before any answer has shown whether the device repeats the command byte:
// a frame on an idle line, and one whose contents fit no request waiting
// (a block while the clock is asked for), teach nothing; the clock's
// answer then shows that the device repeats it.
TEST(StrayFramesBeforeAnyAnswer, TeachNothingAboutTheCommandByte) {
  for (bool idle : {true, false}) {
    SCOPED_TRACE(idle);
    SimLink link(Device(true));
    const SimBytes block(256, 0x5A);
    const SimBytes stray =
        idle ? link.device.UnsolicitedFrame() : BuildSimFrame(0x90, 0x100, block);
    if (idle) link.engine.Receive(stray.data(), stray.size());
    link.engine.ReadTime();
    if (!idle) link.engine.Receive(stray.data(), stray.size());
    EXPECT_EQ(TRequestEngine::TEcho::Unknown, link.engine.CommandEcho());
    link.Advance(1000);
    EXPECT_NE(0, link.clock);
    EXPECT_EQ(std::vector<std::string>{Lang_MsgSuccess}, link.messages);
    EXPECT_EQ(TRequestEngine::TEcho::Yes, link.engine.CommandEcho());
  }
}

// A version answer that names no model this program knows is kept, so that
// the window can say what the device sent; one too short to name a model
// is asked for again and then reported, not taken for silence.
TEST(ModelDetection, UnknownModelNameIsKeptToBeReported) {
  SimLink link(Device(true));
  link.device.SetReportedModel("KV99");
  ModelIndex = -1;
  link.engine.SendPassword("9173", true);
  link.Advance(1000);
  EXPECT_EQ("KV99", link.model);
  EXPECT_EQ("KV99", link.engine.UnknownModelReply());
  link.device.SetReportedModel("KV43");
  link.engine.SendVersionRequest();
  link.Advance(1000);
  EXPECT_EQ("", link.engine.UnknownModelReply());
}

TEST(ModelDetection, ShortVersionAnswerIsReportedWithWhatItHeld) {
  SimLink link(Device(true));
  ModelIndex = -1;
  link.control.Apply("drop 10");
  link.engine.SendVersionRequest();
  TDataPack frame;
  TBasicProtocol().BuildFrame(0x05, TBasicProtocol().IntToAddress(0), {'K', 'V', '4'}, frame);
  link.engine.Receive(frame.data(), frame.size());
  link.Advance(15000);
  EXPECT_EQ(-1, ModelIndex);
  EXPECT_EQ(std::vector<std::string>{UnknownModelText(LanguageFlag, "KV4")}, link.messages);
  EXPECT_EQ(1 + TRequestEngine::VersionRequestRetries, link.Sent(kSimVersion));
}

// Once the device is known to echo addresses, an answer naming address 0
// can only be block 0's: its copy, coming after block 1 was asked for, is
// not block 1.
TEST(BlockLoopsEcho, CopyOfBlockZerosAnswerOnceEchoIsKnownIsNotBlockOne) {
  SimLink link(Device(true));
  link.engine.ReadMaster();
  ASSERT_EQ(TRequestEngine::TEcho::Yes, link.engine.BlockEcho());
  link.Advance(3000);
  link.image.clear();
  link.dropFramesBegunEarlier = false;
  link.script.emplace(static_cast<int>(link.requests.size()), "concat");
  link.engine.ReadMaster();
  EXPECT_EQ(link.device.Image(), link.image);
}

// A single request answered is done with: a tag set afterwards by hand takes
// the next whole frame, as it always did.
TEST(SingleRequestsTag, AnsweredRequestLeavesTheTagToWhatComesNext) {
  SimLink link(Device(true));
  link.engine.ReadTime();
  link.Advance(1000);
  ASSERT_NE(0, link.clock);
  link.engine.SetPending(TAG_THVALUES);
  const SimBytes frame = link.device.UnsolicitedFrame();
  link.engine.Receive(frame.data(), frame.size());
  EXPECT_EQ(1, link.thValues);
}

// A pulled cable is given up on after exactly the silent rounds allowed:
// the block is asked for five times in those eight rounds (after the
// second, every other round only waits), and the message comes at the end
// of the eighth.
TEST(PulledLinkRounds, ReadGivesUpAfterExactlyTheSilentRounds) {
  SimLink link(Device(true));
  link.script.emplace(8, "drop 1000");
  link.engine.ReadMaster();
  ASSERT_EQ(1u, link.messageTimes.size());
  EXPECT_EQ(8 + 5, link.Sent(kSimRead));
  ASSERT_GE(link.received.size(), 8u);
  // Each silent round ends at its third tick, the first partial; the next
  // goes out after the settle, just past a tick, so it lasts three seconds.
  // The last round's settle is where the loop looks again.
  const std::int64_t firstTick = (link.received[7] / 1000 + 1) * 1000;
  EXPECT_EQ(firstTick + 2000 + 7 * 3000 + 100, link.messageTimes[0]);
}

// Write blocks are paced from each acknowledgement, and the write ends with
// the last one: no pause follows it.
TEST(BlockLoopsPacing, EachWriteBlockFollowsItsAcknowledgementByTheSettleTimeExactly) {
  SimLink link(Device(true));
  link.engine.WriteMaster(EditedImage(link.device));
  ASSERT_EQ(15, link.Sent(kSimWrite));
  ASSERT_EQ(15u, link.received.size());
  // The loop sees an answer at the end of its 10 ms wait step.
  for (std::size_t i = 1; i < link.WriteTimes().size(); ++i) {
    EXPECT_GE(link.WriteTimes()[i] - link.received[i - 1], 100) << i;
    EXPECT_LE(link.WriteTimes()[i] - link.received[i - 1], 110) << i;
  }
  EXPECT_LE(link.Now() - link.received.back(), 10);
}

}  // namespace
}  // namespace kv
