#include "app/KV69_Engine.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "app/ConstLang_Unt.h"
#include "app/SoftDiDoTh_Unt.h"
#include "app/SoftInterfaceMaster_Unt.h"
#include "base/TextCodec.h"
#include "devicelink/BasicProtocol_Unt.h"
#include "devicelink/PasswordProtocol_Unt.h"
#include "devicelink/SendHandle_Unt.h"
#include "devicelink/VersionProtocol_Unt.h"

namespace kv {

int ModelIndex = -1;

namespace {

constexpr int TimeoutSettleMs = 100;
constexpr int ReadFollowUpWaitMs = 200;
constexpr int DoStatusWaitMs = 200;
constexpr int RelayCommandWaitMs = 500;
constexpr int RebootWaitMs = 500;
// The firmware may still be storing a block it has acknowledged: the next
// block goes out no sooner than this after the acknowledgement.
constexpr int WriteBlockSettleMs = 100;

constexpr int BlockSize = static_cast<int>(TBasicProtocol::BlockSize);
constexpr int MasterReadBlocks = 14;
// The write sends one block past the image: 256 bytes of 0xFF at address
// 3584. It writes nothing the configuration uses, but it is the sequence the
// device's firmware has always been given, so it stays.
constexpr int MasterWriteTrailingFillBlocks = 1;
constexpr std::uint8_t BlockFill = 0xFF;
constexpr std::uint32_t HistoryBase = 0x4000;
constexpr int RecordsPerBlock = static_cast<int>(HistoryRecordsPerBlock);
constexpr int HistoryBlockBytes = static_cast<int>(HistoryRecordsPerBlock * HistoryRecordSize);

// The version reply's data: model 8, version 8, IMEI 16, signal 1.
constexpr std::size_t VersionDataBytes = 33;
constexpr int ClearHistoryGaugeMax = 100;
constexpr int ClearHistoryDone = 100;

// The relay commands always carry the factory password, whatever the
// device's own password is: that is what loggers have always been sent.
constexpr std::string_view RelayCommandPassword = "9173";

std::string DataErrorText() { return LanguageFlag == LanguageChinese ? "数据异常" : "Data Error"; }

int LastIndex(const TDataPack& chunk) { return static_cast<int>(chunk.size()) - 1; }

// The address field of a frame (bytes 2 to 5, most significant first).
std::uint32_t FrameAddress(const TDataPack& frame) {
  std::uint32_t address = 0;
  for (std::size_t i = 2; i < 6 && i < frame.size(); ++i) address = (address << 8) | frame[i];
  return address;
}

// The data bytes of a reply frame, or nothing when the frame fails its check
// or holds fewer data bytes than its length field says (a cut reply).
std::optional<TDataPack> ReplyData(const TDataPack& reply) {
  const TBasicProtocol protocol;
  const int last = LastIndex(reply);
  if (reply.empty() || !protocol.CheckFrame(reply, last)) return std::nullopt;
  if (reply.size() != TBasicProtocol::FrameOverhead + protocol.GetDataLength(reply, last))
    return std::nullopt;
  TDataPack data;
  protocol.GetData(reply, last, data);
  return data;
}

// Closes the progress window however an operation ends.
class TProgressGuard {
 public:
  explicit TProgressGuard(IEngineView& view) : view_(view) {}
  ~TProgressGuard() { view_.CloseProgress(); }
  TProgressGuard(const TProgressGuard&) = delete;
  TProgressGuard& operator=(const TProgressGuard&) = delete;

 private:
  IEngineView& view_;
};

}  // namespace

TRequestEngine::TRequestEngine(IEngineView& view, IEngineClock& clock, TEngineRole role)
    : view_(view), clock_(clock), role_(role) {}

// ---- Pending tag, receiving, time-out ----

void TRequestEngine::SetPending(int tag) {
  pending_ = 0;
  ticks_ = 0;
  pending_ = tag;
}

void TRequestEngine::Receive(const void* buffer, std::size_t length) {
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  recvBuffer_.assign(bytes, bytes + length);
  if (pending_ == TAG_CLEARHISTORY) {
    ShowClearHistoryProgress();
    return;
  }
  const int ticks = ticks_;
  // Between a block's time-out and its resend nothing is pending, but an
  // answer that comes then is still the block's and must be counted.
  lastReplyTag_ = pending_ == 0 && busy_ ? loopTag_ : pending_;
  SetPending(0);
  Dispatch(ticks);
}

void TRequestEngine::Tick() {
  // Clearing history reports progress for as long as it takes.
  if (pending_ == 0 || pending_ == TAG_CLEARHISTORY) return;
  const int limit = role_ == TEngineRole::Login ? LoginTimeoutLimit : MainTimeoutTicks;
  if (++ticks_ < limit) return;
  const int tag = pending_;
  SetPending(0);
  // The tag travels with the message: the retry rule needs it.
  clock_.PostTimeout(tag);
}

void TRequestEngine::TimeoutMessage(int tag) {
  if (role_ == TEngineRole::Login) {
    view_.TimedOut(tag);
    return;
  }
  clock_.Delay(TimeoutSettleMs);
  if (busy_ && tag == loopTag_) {
    // Requests of a stopped loop that never came are given up with it.
    stale_ = 0;
    // The block is in and only a resent request's answer is missing: it is
    // given up, and the loop goes on. Otherwise the block is asked again.
    if (taken_) {
      // Where addresses tell nothing, such an answer may still come while
      // the next block is awaited: it would bring this block's reply again.
      if (echo_ != TEcho::Yes) givenUp_.insert(givenUp_.end(), open_, takenReply_);
      open_ = 0;
    }
  }
  busy_ = false;
  SetPending(0);
  if (tag == TAG_PASSWORD) passwordAtShow_ = false;
  if (tag == TAG_VERSION) RetryVersionRequest();
}

void TRequestEngine::Cancel() { cancel_ = true; }

bool TRequestEngine::EndClearHistory() {
  if (pending_ != TAG_CLEARHISTORY) return false;
  SetPending(0);
  return true;
}

void TRequestEngine::Dispatch(int ticks) {
  switch (lastReplyTag_) {
    case TAG_RESET:
      // Whatever the device says to the text command is its answer.
      view_.ShowMessage(recvBuffer_.empty() ? DataErrorText() : Lang_MsgSuccess, false);
      break;
    case TAG_DOSTATUS:
      if (const auto data = ReplyData(recvBuffer_)) view_.DoStatusReceived(*data);
      break;
    case TAG_THVALUES:
      if (const auto data = ReplyData(recvBuffer_)) view_.ThValuesReceived(*data);
      break;
    case TAG_HISTORYRECORD:
      ShowHistoryRecordReply();
      break;
    case TAG_MASTERREAD:
      AcceptMasterBlock(ticks);
      break;
    case TAG_MASTERWRITE:
      AcceptMasterWriteAck(ticks);
      break;
    case TAG_HISTORYBLOCK:
      AcceptHistoryBlock(ticks);
      break;
    case TAG_PASSWORD:
      HandlePasswordReply();
      break;
    case TAG_SETTIME:
      view_.ShowMessage(ReplyData(recvBuffer_) ? Lang_MsgSuccess : DataErrorText(), true);
      break;
    case TAG_VERSION:
      ShowVersionReply();
      break;
    case TAG_READTIME:
      ShowReadTimeReply();
      break;
    default:
      break;
  }
}

void TRequestEngine::ShowClearHistoryProgress() {
  // Each run of digits is one progress value; a chunk may hold several
  // ("45" and "100" together), and the last one counts.
  int value = -1;
  bool inRun = false;
  for (std::uint8_t byte : recvBuffer_) {
    if (byte < '0' || byte > '9') {
      inRun = false;
      continue;
    }
    if (!inRun) value = 0;
    inRun = true;
    // A run too long for a number is simply done.
    value = value > (INT_MAX - 9) / 10 ? INT_MAX : value * 10 + (byte - '0');
  }
  if (value < 0 || !view_.ProgressShown()) return;
  view_.SetProgress(value);
  if (value >= ClearHistoryDone) view_.CloseProgress();
}

// ---- Password and version ----

void TRequestEngine::SendPassword(std::string_view password, bool atShow) {
  if (port_ == nullptr) return;
  // A new link: whether this device echoes block addresses is learnt again.
  echo_ = TEcho::Unknown;
  givenUp_.clear();
  open_ = stale_ = 0;
  loopTag_ = 0;
  lastBlockReply_.clear();
  SetPending(TAG_PASSWORD);
  passwordAtShow_ = atShow;
  SendHandle.SendPassword(*port_, password);
}

void TRequestEngine::HandlePasswordReply() {
  const bool atShow = passwordAtShow_;
  passwordAtShow_ = false;
  const TPasswordProtocol protocol;
  const int last = LastIndex(recvBuffer_);
  if (role_ == TEngineRole::Login && !protocol.CheckFrame(recvBuffer_, last)) {
    view_.PasswordReplyDamaged();
    return;
  }
  if (!protocol.IsPasswordAccepted(recvBuffer_, last)) {
    view_.PasswordRefused(atShow);
    return;
  }
  view_.PasswordAccepted();
  if (role_ == TEngineRole::Login) return;
  versionRetries_ = 0;
  SendVersionRequest();
}

void TRequestEngine::SendVersionRequest() {
  if (port_ == nullptr) return;
  SetPending(TAG_VERSION);
  SendHandle.SendReadVersion(*port_);
}

void TRequestEngine::RetryVersionRequest() {
  if (versionRetries_ >= VersionRequestRetries || !Connected()) return;
  ++versionRetries_;
  SendVersionRequest();
}

void TRequestEngine::ShowVersionReply() {
  const TVersionProtocol protocol;
  const int last = LastIndex(recvBuffer_);
  TDataPack data;
  if (protocol.CheckFrame(recvBuffer_, last)) protocol.GetData(recvBuffer_, last, data);
  // A garbled reply would leave the model unknown, and the channel rows
  // unbuilt, for the whole run: ask again instead.
  if (data.size() < VersionDataBytes) {
    RetryVersionRequest();
    return;
  }
  TVersionReply reply;
  reply.Model = protocol.GetModelText(recvBuffer_, last);
  reply.Version = protocol.GetVersionText(recvBuffer_, last);
  reply.Imei = protocol.GetImeiText(recvBuffer_, last);
  reply.Signal = protocol.GetSignalText(recvBuffer_, last);
  ModelIndex = ModelIndexOf(reply.Model);
  view_.VersionReceived(reply);
}

// ---- Block loops ----

bool TRequestEngine::ExchangeBlock(int tag, std::uint32_t address,
                                   const std::function<void()>& send) {
  if (tag != loopTag_ || address != awaitedAddress_) {
    // Unanswered requests of a loop that was stopped are answered first.
    stale_ += open_;
    open_ = 0;
    loopTag_ = tag;
    awaitedAddress_ = address;
  }
  taken_ = false;
  while (!taken_) {
    busy_ = true;
    ++open_;
    SetPending(tag);
    send();
    while (busy_) {
      if (!clock_.WaitStep()) return false;
      if (cancel_) return false;
    }
  }
  return !cancel_;
}

bool TRequestEngine::AnswersAwaitedBlock(std::uint32_t address, bool mayBeCopy) {
  const bool copy = mayBeCopy && recvBuffer_ == lastBlockReply_;
  lastBlockReply_ = recvBuffer_;
  // Address 0 proves nothing: a device that answers 0 to everything
  // matches it too.
  if (address == awaitedAddress_ && address != 0) echo_ = TEcho::Yes;
  if (echo_ == TEcho::Yes) return address == awaitedAddress_;
  if (TakeGivenUpAnswer()) return false;
  if (address != awaitedAddress_ && echo_ == TEcho::Unknown) {
    if (address != 0) {
      // A device without echo answers 0: this is an earlier block's answer.
      echo_ = TEcho::Yes;
      return false;
    }
    if (copy) {
      // The reply just taken, sent twice: it tells nothing about echoing.
      // Only once, so that a device without echo whose blocks are alike
      // goes on.
      lastBlockReply_.clear();
      return false;
    }
    // Every answer to an earlier block is accounted for: the device does
    // not echo.
    echo_ = TEcho::No;
  }
  // Answers in the order asked: a stopped loop's first, then this block's.
  if (stale_ > 0) {
    --stale_;
    return false;
  }
  if (open_ == 0) return false;
  --open_;
  return true;
}

bool TRequestEngine::TakeGivenUpAnswer() {
  // A reply equal to what a request given up on would bring may be that
  // late answer: it is not used. If it was in fact this block's own, the
  // block times out and is asked again, so it is counted as an answer
  // either way and a given-up request never outlives one such reply.
  const auto it = std::find_if(givenUp_.begin(), givenUp_.end(), [this](const TDataPack& reply) {
    return reply.empty() || reply == recvBuffer_;
  });
  if (it == givenUp_.end()) return false;
  givenUp_.erase(it);
  if (open_ > 0) --open_;
  return true;
}

void TRequestEngine::BlockTaken(int tag, int ticks) {
  taken_ = true;
  takenReply_ = recvBuffer_;
  // An echoing device's later answers name their block.
  if (echo_ == TEcho::Yes) open_ = 0;
  if (open_ == 0)
    busy_ = false;
  else
    KeepWaiting(tag, ticks);
}

void TRequestEngine::RejectBlockReply(int tag, int ticks) {
  // A damaged answer may be anyone's and is not counted. Once the block is
  // in, the wait for the others goes on; before, it is handled like a
  // time-out: the block is sent again once the message comes round.
  if (taken_)
    KeepWaiting(tag, ticks);
  else
    clock_.PostTimeout(tag);
}

void TRequestEngine::KeepWaiting(int tag, int ticks) {
  // The request stays pending and its time-out keeps counting.
  pending_ = tag;
  ticks_ = ticks;
}

void TRequestEngine::AcceptMasterBlock(int ticks) {
  const std::optional<TDataPack> data = ReplyData(recvBuffer_);
  if (!data || data->size() != TBasicProtocol::BlockSize) {
    RejectBlockReply(TAG_MASTERREAD, ticks);
    return;
  }
  if (!AnswersAwaitedBlock(FrameAddress(recvBuffer_))) {
    KeepWaiting(TAG_MASTERREAD, ticks);
    return;
  }
  // Every block has its own place in the image.
  if (!taken_ && step_ >= 0 && step_ < MasterReadBlocks)
    std::copy(data->begin(), data->end(),
              masterChunks_.begin() + static_cast<std::ptrdiff_t>(step_) * BlockSize);
  BlockTaken(TAG_MASTERREAD, ticks);
}

void TRequestEngine::AcceptMasterWriteAck(int ticks) {
  // Any answer acknowledges the block, unless it plainly names another one.
  // Acknowledgements are all alike where the device does not echo. A
  // damaged one is not counted: it may be an earlier block's.
  if (!ReplyData(recvBuffer_)) {
    taken_ = true;
    takenReply_.clear();  // what a straggler would bring is unknown
    if (echo_ == TEcho::Yes)
      BlockTaken(TAG_MASTERWRITE, ticks);
    else
      KeepWaiting(TAG_MASTERWRITE, ticks);
    return;
  }
  if (!AnswersAwaitedBlock(FrameAddress(recvBuffer_), false)) {
    KeepWaiting(TAG_MASTERWRITE, ticks);
    return;
  }
  BlockTaken(TAG_MASTERWRITE, ticks);
}

void TRequestEngine::AcceptHistoryBlock(int ticks) {
  const std::optional<TDataPack> data = ReplyData(recvBuffer_);
  if (!data || static_cast<int>(data->size()) < HistoryBlockBytes) {
    // A damaged or short block is read again: its records would otherwise
    // be lost or shown as garbage.
    RejectBlockReply(TAG_HISTORYBLOCK, ticks);
    return;
  }
  if (!AnswersAwaitedBlock(FrameAddress(recvBuffer_))) {
    KeepWaiting(TAG_HISTORYBLOCK, ticks);
    return;
  }
  // A block answered again (a resent request's answer) adds nothing.
  if (!taken_) {
    const THistoryBlockResult result =
        AppendHistoryRecords(*data, historyTarget_, history_, ModelIndex, LanguageFlag);
    view_.HistoryRowsReceived(result.Rows);
    if (result.CloseProgress) {
      // The device has no more records: the read is over.
      historyEnded_ = true;
      view_.CloseProgress();
    }
  }
  BlockTaken(TAG_HISTORYBLOCK, ticks);
}

void TRequestEngine::ReadMaster() {
  if (!Connected()) return;
  cancel_ = false;
  view_.ShowProgress(MasterReadBlocks);
  TProgressGuard guard(view_);
  step_ = 0;
  masterChunks_.assign(static_cast<std::size_t>(MasterReadBlocks) * BlockSize, BlockFill);
  while (step_ != MasterReadBlocks) {
    if (cancel_) break;
    const int block = step_;
    const bool answered =
        ExchangeBlock(TAG_MASTERREAD, static_cast<std::uint32_t>(block * BlockSize), [this, block] {
          SendHandle.SendReadMaster(*port_, block);
          view_.SetProgress(block + 1);
        });
    if (!answered) break;
    ++step_;
  }
  if (step_ != MasterReadBlocks || cancel_) return;
  // The controls change only now, when the whole image is here: a stopped
  // or failed read leaves the window as it was.
  view_.MasterImageRead({masterChunks_.begin(), masterChunks_.begin() + MasterImageSize});
  clock_.Delay(ReadFollowUpWaitMs);
  ReadDoStatus();
  clock_.Delay(ReadFollowUpWaitMs);
  ReadThValues();
}

void TRequestEngine::WriteMaster(const std::vector<std::uint8_t>& image) {
  if (!Connected()) return;
  const int imageBlocks = static_cast<int>(image.size()) / BlockSize + 1;
  const int lastBlock = static_cast<int>(image.size() + BlockSize - 1) / BlockSize - 1 +
                        MasterWriteTrailingFillBlocks;
  cancel_ = false;
  view_.ShowProgress(imageBlocks);
  TProgressGuard guard(view_);
  const TBasicProtocol protocol;
  for (step_ = 0; step_ <= lastBlock; ++step_) {
    if (cancel_) break;
    const int block = step_;
    view_.SetProgress(block + 1);
    TDataPack slice, data;
    protocol.GetBlock(image, block, BlockSize, slice);
    protocol.PadBlock(slice, BlockFill, data);
    if (!ExchangeBlock(TAG_MASTERWRITE, static_cast<std::uint32_t>(block * BlockSize),
                       [&] { SendHandle.SendWriteMaster(*port_, block, data); }))
      break;
    if (block < lastBlock) clock_.Delay(WriteBlockSettleMs);
  }
}

void TRequestEngine::ReadHistory(int count, int gaugeMax) {
  if (!Connected()) return;
  const int blocks = HistoryBlockCount(count);
  history_.Start();
  historyTarget_ = count;
  historyEnded_ = false;
  step_ = 0;
  cancel_ = false;
  view_.ShowProgress(gaugeMax);
  TProgressGuard guard(view_);
  view_.SetProgress(0);
  while (step_ <= blocks - 1) {
    const int block = step_;
    const auto address = HistoryBase + static_cast<std::uint32_t>(block * BlockSize);
    const bool answered = ExchangeBlock(TAG_HISTORYBLOCK, address, [this, block] {
      SendHandle.SendReadHistoryBlock(*port_, block);
      view_.SetProgress(block * RecordsPerBlock + RecordsPerBlock);
    });
    if (!answered) break;  // Stop: the rows read so far stay
    ++step_;
    if (historyEnded_) break;
  }
}

// ---- Single requests ----

void TRequestEngine::ReadHistoryRecord(int number) {
  if (!Connected()) return;
  historyRecord_ = number;
  SetPending(TAG_HISTORYRECORD);
  SendHandle.SendReadHistoryRecord(*port_, number);
}

void TRequestEngine::ShowHistoryRecordReply() {
  const std::optional<TDataPack> data = ReplyData(recvBuffer_);
  std::optional<std::vector<std::string>> row;
  if (data) row = SingleHistoryRow(*data, historyRecord_, ModelIndex, LanguageFlag);
  if (!row) {
    view_.ShowMessage("Error", false);
    return;
  }
  view_.HistoryRowReceived(*row);
}

void TRequestEngine::ReadDoStatus() {
  if (!Connected()) return;
  clock_.Delay(DoStatusWaitMs);
  // The wait dispatches messages: the port may have gone meanwhile.
  if (!Connected()) return;
  SetPending(TAG_DOSTATUS);
  SendHandle.SendReadDO(*port_);
}

void TRequestEngine::ReadThValues() {
  if (!Connected()) return;
  SetPending(TAG_THVALUES);
  SendHandle.SendReadTH(*port_);
}

void TRequestEngine::SwitchRelay(TRelay relay) {
  if (!Connected()) return;
  using Send = void (TSendHandle::*)(ICommPort&, std::string_view);
  static constexpr Send Senders[] = {&TSendHandle::SendDO1Close, &TSendHandle::SendDO1Open,
                                     &TSendHandle::SendDO2Close, &TSendHandle::SendDO2Open};
  (SendHandle.*Senders[static_cast<int>(relay)])(*port_, RelayCommandPassword);
  // The device's answer to the text command comes with no tag and is ignored.
  clock_.Delay(RelayCommandWaitMs);
  ReadDoStatus();
}

void TRequestEngine::SetTime(int year, int month, int day, int hour, int minute) {
  if (port_ == nullptr) return;
  // No port test here: a closed port refuses the write itself.
  SetPending(TAG_SETTIME);
  SendHandle.SendSetTime(*port_, year - 2000, month, day, hour, minute);
}

void TRequestEngine::ReadTime() {
  if (!Connected()) return;
  SetPending(TAG_READTIME);
  SendHandle.SendReadTime(*port_);
}

void TRequestEngine::ShowReadTimeReply() {
  const std::optional<TDataPack> data = ReplyData(recvBuffer_);
  TDateTime date, time;
  const bool valid = data && data->size() >= 6 &&
                     TryEncodeDate((*data)[0] + 2000, (*data)[1], (*data)[2], date) &&
                     TryEncodeTime((*data)[3], (*data)[4], (*data)[5], 0, time);
  if (!valid) {
    view_.ShowMessage(DataErrorText(), true);
    return;
  }
  view_.TimeReceived(date, time);
  view_.ShowMessage(Lang_MsgSuccess, true);
}

void TRequestEngine::SendText(std::string_view password, std::string_view word) {
  const std::string text = Utf8ToGbk(std::string(password) + std::string(word) + "\r\n");
  port_->WriteData(text.data(), static_cast<std::uint32_t>(text.size()));
}

void TRequestEngine::Reset(std::string_view password) {
  if (!Connected()) return;
  SetPending(TAG_RESET);
  SendText(password, "RESET");
}

void TRequestEngine::Reboot(std::string_view password) {
  if (!Connected()) return;
  SendText(password, "REBOOT");
  clock_.Delay(RebootWaitMs);
  view_.RestartProgram();
}

void TRequestEngine::ClearHistory() {
  if (!Connected()) return;
  view_.ShowProgress(ClearHistoryGaugeMax);
  // The device answers with progress text; the engine moves the gauge.
  SetPending(TAG_CLEARHISTORY);
  SendHandle.SendClearHistory(*port_);
}

}  // namespace kv
