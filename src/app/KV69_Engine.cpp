#include "app/KV69_Engine.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "app/ConstLang_Unt.h"
#include "app/HistoryCsv_Unt.h"
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
// Answers queued behind a late one follow it within a few frame times.
constexpr int DrainWaitMs = 300;
constexpr int ReadFollowUpWaitMs = 200;
constexpr int DoStatusWaitMs = 200;
constexpr int RelayCommandWaitMs = 500;
constexpr int RebootWaitMs = 500;
// The firmware may still be storing a block it has acknowledged: the next
// block goes out no sooner than this after the acknowledgement.
constexpr int WriteBlockSettleMs = 100;

constexpr std::uint8_t PasswordCommand = 0x01;
constexpr std::uint8_t VersionCommand = 0x05;
constexpr std::uint8_t WriteCommand = 0x82;
constexpr std::uint8_t ReadCommand = 0x83;

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

// "blocks 3-5", "block 3".
std::string BlockRange(int language, int first, int last) {
  const bool chinese = language == LanguageChinese;
  std::string text = first == last ? std::to_string(first)
                                   : std::to_string(first) + "-" + std::to_string(last);
  return chinese ? "第" + text + "块" : (first == last ? "block " : "blocks ") + text;
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

std::string NoAnswerText(int language) {
  return language == LanguageChinese ? "设备无应答，请检查连接。"
                                     : "The device does not answer: check the connection.";
}

std::string PartlyWrittenText(int language, int stoppedAt, bool stoppedSent, int lastBlock,
                              bool noAnswer) {
  const bool chinese = language == LanguageChinese;
  std::string text = noAnswer ? NoAnswerText(language) + (chinese ? "" : " ") : "";
  // Stopped, or given up on, while waiting to send block 0: the device is untouched.
  if (stoppedAt <= 0 && !stoppedSent) return text + NothingWrittenText(language);
  text += chinese ? "参数只写入了一部分：" : "The setting was only partly written: ";
  std::vector<std::string> parts;
  if (stoppedAt > 0)
    parts.push_back(BlockRange(language, 0, stoppedAt - 1) +
                    (chinese ? "为新参数" : " hold the new setting"));
  int oldFrom = stoppedAt;
  if (stoppedSent) {
    parts.push_back(BlockRange(language, stoppedAt, stoppedAt) +
                    (chinese ? "不确定" : " may or may not"));
    ++oldFrom;
  }
  if (oldFrom <= lastBlock)
    parts.push_back(BlockRange(language, oldFrom, lastBlock) +
                    (chinese ? "仍为旧参数" : " still hold the old one"));
  for (std::size_t i = 0; i < parts.size(); ++i)
    text += (i == 0 ? "" : chinese ? "，" : ", ") + parts[i];
  text += chinese ? "。请重新写入参数。" : ". Write Setting again.";
  return text;
}

TRequestEngine::TRequestEngine(IEngineView& view, IEngineClock& clock, TEngineRole role)
    : view_(view), clock_(clock), role_(role) {}

// ---- The line ----

bool TRequestEngine::TLinePort::WriteData(const void* buffer, std::uint32_t length) {
  if (engine_.port_ == nullptr || !engine_.port_->WriteData(buffer, length)) return false;
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  engine_.line_.emplace_back(bytes, bytes + length);
  if (length > 1) engine_.sentCommands_.set(bytes[1]);
  if (length > 1 && bytes[1] == VersionCommand) engine_.versionCounted_ = false;
  return true;
}

namespace {

// The frame a sender builds, without sending it.
class TFrameCapture : public ICommPort {
 public:
  bool Connected() const override { return true; }
  bool WriteData(const void* buffer, std::uint32_t length) override {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    frame.assign(bytes, bytes + length);
    return true;
  }
  TDataPack frame;
};

TDataPack FrameOf(const std::function<void(ICommPort&)>& send) {
  TFrameCapture capture;
  send(capture);
  return capture.frame;
}

std::uint8_t CommandOf(const TDataPack& frame) { return frame.size() > 1 ? frame[1] : 0; }

// What a whole reply brings, for telling answers apart where the device does
// not repeat the request's command byte: a block of memory (a configuration
// or history block, a record), a version answer, or anything else (an
// acknowledgement, the relay states and channel values, the clock).
constexpr unsigned ShapeBlock = 1, ShapeVersion = 2, ShapeOther = 4;
constexpr std::size_t ModelFieldBytes = 8;

// A version answer begins with the model's name: a few printable characters,
// then zeros to the end of the field. Channel values and acknowledgements
// are binary and not that long.
bool NamesAModel(const TDataPack& data) {
  if (data.size() < VersionDataBytes || data.size() >= HistoryRecordSize) return false;
  std::size_t i = 0;
  while (i < ModelFieldBytes && data[i] > 0x20 && data[i] < 0x7F) ++i;
  if (i < 2) return false;
  while (i < ModelFieldBytes && data[i] == 0) ++i;
  return i == ModelFieldBytes;
}

unsigned ShapeOf(const TDataPack& reply) {
  const std::optional<TDataPack> data = ReplyData(reply);
  if (!data) return 0;
  if (data->size() >= HistoryRecordSize) return ShapeBlock;
  return NamesAModel(*data) ? ShapeVersion : ShapeOther;
}

// The answers a request can have. Any answer acknowledges a written block,
// but a version answer, which tells itself apart, never does.
unsigned AnswerShapes(const TDataPack& sent) {
  switch (CommandOf(sent)) {
    case ReadCommand:
      return ShapeBlock;
    case VersionCommand:
      return ShapeVersion;
    case WriteCommand:
      return ShapeBlock | ShapeOther;
    default:
      return ShapeOther;
  }
}

// What the device gave for its model: the name as text where it has one,
// else its data bytes.
std::string ModelFieldText(const TDataPack& data) {
  std::string text;
  for (std::size_t i = 0; i < std::min(ModelFieldBytes, data.size()) && data[i] != 0; ++i)
    text += data[i] > 0x20 && data[i] < 0x7F ? static_cast<char>(data[i]) : '?';
  if (!text.empty() && text.find('?') == std::string::npos) return text;
  static const char digits[] = "0123456789ABCDEF";
  text.clear();
  for (std::uint8_t byte : data) {
    if (!text.empty()) text += ' ';
    text += digits[byte >> 4];
    text += digits[byte & 15];
  }
  return text;
}

}  // namespace

std::string ReadSettingFirstText(int language) {
  return language == LanguageChinese
             ? "请先读取配置（或导入配置）：窗口中还没有设备的参数，现在写入会清除设备中的参数。"
             : "Use Read Setting (or Load Profile) first: the window does not hold the device's "
               "setting yet, and writing it now would erase the setting in the device.";
}

std::string UnknownModelText(int language, const std::string& sent) {
  return language == LanguageChinese
             ? "设备型号不是本程序支持的型号（KV41、KV42、KV43）：设备发送的是“" + sent + "”。"
             : "The device's model is not one this program knows (KV41, KV42, KV43): it sent \"" +
                   sent + "\".";
}

bool TRequestEngine::KindFits(const TDataPack& sent, std::uint8_t command, unsigned shapes) const {
  const bool named = CommandOf(sent) == command;
  const bool fits = (AnswerShapes(sent) & shapes) != 0;
  // Until the device has shown whether it repeats the byte, either will do.
  switch (commandEcho_) {
    case TEcho::Yes:
      return named;
    case TEcho::No:
      return fits;
    default:
      return named || fits;
  }
}

void TRequestEngine::LearnCommandEcho(std::uint8_t command, unsigned shape) {
  // A device that has repeated the byte once does so for the whole link. A
  // byte naming a request sent on this link, on its way or given up on (a
  // late answer), is no sign either way.
  if (commandEcho_ != TEcho::Unknown || sentCommands_.test(command)) return;
  const auto fits = [&](const TDataPack& sent) { return (AnswerShapes(sent) & shape) != 0; };
  // An answer whose command byte names nothing sent, while what it brings
  // fits a request on its way: the device does not repeat the byte. (A
  // stray frame that fits nothing, or comes on an idle line, teaches
  // nothing.)
  if (std::any_of(line_.begin(), line_.end(), fits)) commandEcho_ = TEcho::No;
}

bool TRequestEngine::MayBeTakenFor(const TDataPack& frame) const {
  // An answer to another request of the same kind looks like this one's
  // where the device does not name the address.
  return std::any_of(line_.begin(), line_.end(), [&](const TDataPack& sent) {
    return KindFits(sent, CommandOf(frame), AnswerShapes(frame)) && sent != frame &&
           (echo_ != TEcho::Yes || FrameAddress(sent) == FrameAddress(frame));
  });
}

TRequestEngine::TReplyMatch TRequestEngine::MatchReply() {
  const std::uint8_t command = CommandOf(recvBuffer_);
  const std::uint32_t address = FrameAddress(recvBuffer_);
  // Only a device that echoes names an address other than 0.
  if (address != 0) echo_ = TEcho::Yes;
  const unsigned shape = ShapeOf(recvBuffer_);
  LearnCommandEcho(command, shape);
  const auto answers = [&](const TDataPack& sent) {
    if (!KindFits(sent, command, shape)) return false;
    return FrameAddress(sent) == address || (address == 0 && echo_ != TEcho::Yes);
  };
  const auto oldest = std::find_if(line_.begin(), line_.end(), answers);
  TReplyMatch match;
  if (oldest == line_.end()) return match;
  match.Found = true;
  match.Request = *oldest;
  match.Certain = std::all_of(oldest, line_.end(), [&](const TDataPack& sent) {
    return !answers(sent) || sent == match.Request;
  });
  if (match.Certain && address == 0 && FrameAddress(match.Request) != 0) echo_ = TEcho::No;
  if (match.Certain && commandEcho_ == TEcho::Unknown && CommandOf(match.Request) == command)
    commandEcho_ = TEcho::Yes;
  // Answers come in the order asked: the oldest request this can answer is
  // answered now or lost, and so is every request before it.
  line_.erase(line_.begin(), oldest + 1);
  return match;
}

// ---- Pending tag, receiving, time-out ----

void TRequestEngine::SetPending(int tag) {
  pending_ = 0;
  ticks_ = 0;
  pending_ = tag;
}

void TRequestEngine::Receive(const void* buffer, std::size_t length) {
  const auto* bytes = static_cast<const std::uint8_t*>(buffer);
  previousChunk_.swap(recvBuffer_);
  recvBuffer_.assign(bytes, bytes + length);
  // The device is there.
  silentRounds_ = 0;
  if (pending_ == TAG_CLEARHISTORY) {
    // The device's progress comes as text. A whole frame is a late answer
    // to something asked before (a held request's version request, whose
    // IMEI would end the wait at once), or a copy of one: it only leaves
    // the line.
    if (ReplyData(recvBuffer_))
      MatchReply();
    else
      ShowClearHistoryProgress();
    return;
  }
  if (!ReplyData(recvBuffer_)) {
    DamagedReply();
    return;
  }
  if (exchanging_ && echo_ == TEcho::Unknown && loopTag_ != TAG_MASTERWRITE &&
      recvBuffer_ == lastTaken_) {
    // The answer just taken, sent twice, may look like the next block's
    // while addresses tell nothing: it is not used, once. (Acknowledgements
    // are all alike on such a device, and a doubled one stands for a block
    // the device writes in order anyway.)
    lastTaken_.clear();
    return;
  }
  const bool copy = versionCounted_ && recvBuffer_ == previousChunk_;
  versionCounted_ = false;
  if (copy) {
    // A version answer sent twice would stand for a later version request,
    // and what was asked between the two would count as lost: one like the
    // version answer just counted, with no version request sent since, is
    // not counted. (A request it leaves unanswered goes from the line with
    // the next answer to a later one.)
    return;
  }
  const TReplyMatch match = MatchReply();
  versionCounted_ = match.Found && CommandOf(match.Request) == VersionCommand;
  const bool awaited = match.Certain && !awaited_.empty() && match.Request == awaited_;
  if (!awaited) {
    SendHeldRequest(match);
    // A version request waiting out earlier answers looks at the line again.
    if (busy_ && syncing_ && match.Found) busy_ = false;
    // Version and password answers tell themselves apart: late or not, one
    // makes the model known, the other still opens the link (or refuses it).
    const std::uint8_t command = match.Certain ? CommandOf(match.Request) : 0;
    if (command == VersionCommand && ModelIndex < 0) ShowVersionReply();
    if (command == PasswordCommand && role_ == TEngineRole::Main && passwordOut_) {
      lastReplyTag_ = TAG_PASSWORD;
      HandlePasswordReply();
      return;
    }
    // A tag set without a request of the engine's own (SetPending, then a
    // sender) is answered, as it always was, by what comes under it. Any
    // other answer is another request's, or cannot be told from one: it
    // is not used.
    if (match.Found || !awaited_.empty() || pending_ == 0) {
      lastReplyTag_ = 0;
      return;
    }
  }
  lastReplyTag_ = awaited ? awaitedTag_ : pending_;
  if (!exchanging_) awaited_.clear();
  SetPending(0);
  Dispatch();
}

void TRequestEngine::DamagedReply() {
  // A damaged chunk may be anyone's answer, or noise: it accounts for no
  // request on the line.
  if (exchanging_) {
    BlockNotTaken();
    return;
  }
  // A garbled answer to the main window's password is no refusal (which
  // would end the program): the password goes again after its time-out.
  if (pending_ == TAG_PASSWORD && role_ == TEngineRole::Main) return;
  // A request held back has not gone out: what came is no answer to it.
  if (held_) return;
  // A single request's handler reports what came, text answers included.
  lastReplyTag_ = pending_;
  awaited_.clear();
  SetPending(0);
  Dispatch();
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
    awaited_.clear();
    view_.TimedOut(tag);
    return;
  }
  if (exchanging_ && tag == loopTag_) {
    // The block exchange asks again, after its settle.
    BlockNotTaken();
    return;
  }
  // A single request's time-out that comes round during a block loop is
  // the loop's business no more: the loop owns the line and the tag.
  if (exchanging_) return;
  clock_.Delay(TimeoutSettleMs);
  busy_ = false;
  SetPending(0);
  // A single request's answer that still comes is not shown, and one held
  // back does not go out.
  if (tag == awaitedTag_) {
    awaited_.clear();
    held_ = nullptr;
  }
  if (tag == TAG_PASSWORD) RetryPassword();
  if (tag == TAG_VERSION) RetryVersionRequest();
}

void TRequestEngine::Cancel() { cancel_ = true; }

bool TRequestEngine::EndClearHistory() {
  if (pending_ != TAG_CLEARHISTORY) return false;
  SetPending(0);
  return true;
}

void TRequestEngine::Dispatch() {
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
      AcceptMasterBlock();
      break;
    case TAG_MASTERWRITE:
      // Any whole answer to the block acknowledges it.
      BlockTaken();
      break;
    case TAG_HISTORYBLOCK:
      AcceptHistoryBlock();
      break;
    case TAG_PASSWORD:
      HandlePasswordReply();
      break;
    case TAG_SETTIME:
      view_.ShowMessage(ReplyData(recvBuffer_) ? Lang_MsgSuccess : DataErrorText(), true);
      break;
    case TAG_VERSION:
      if (ShowVersionReply() || (exchanging_ && !unknownModel_.empty())) {
        // A loop that asked for the model has its answer, even one that
        // names no model: asking again would bring the same.
        if (exchanging_) BlockTaken();
      } else if (exchanging_) {
        BlockNotTaken();
      } else {
        RetryVersionRequest();
      }
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

void TRequestEngine::Request(int tag, const TSender& send) {
  awaited_ = FrameOf(send);
  awaitedTag_ = tag;
  SetPending(tag);
  held_ = nullptr;
  if (MayBeTakenFor(awaited_)) {
    // An answer still owed to an earlier request could not be told from
    // this one's: a version request, whose answer tells itself apart, goes
    // first, and the request follows that answer, on a plain line.
    held_ = send;
    SendHandle.SendReadVersion(linePort_);
    return;
  }
  send(linePort_);
}

void TRequestEngine::SendHeldRequest(const TReplyMatch& match) {
  // Once a version answer is in, whatever was asked before that request is
  // answered or lost: nothing but the held request's own answer can then
  // follow it, a damaged one included.
  if (!held_ || !match.Found || CommandOf(match.Request) != VersionCommand ||
      MayBeTakenFor(awaited_))
    return;
  const TSender send = std::move(held_);
  held_ = nullptr;
  // Another operation took the tag meanwhile, or the port went.
  if (pending_ != awaitedTag_ || !Connected()) {
    awaited_.clear();
    return;
  }
  // It is given its whole time from now.
  SetPending(awaitedTag_);
  send(linePort_);
}

void TRequestEngine::ShowNoAnswer() { view_.ShowMessage(NoAnswerText(LanguageFlag), true); }

// ---- Password and version ----

void TRequestEngine::SendPassword(std::string_view password, bool atShow) {
  if (port_ == nullptr) return;
  // A new link: what is on its way on the old one is gone, and whether the
  // device echoes block addresses is learnt again.
  echo_ = commandEcho_ = TEcho::Unknown;
  sentCommands_.reset();
  unknownModel_.clear();
  line_.clear();
  lastTaken_.clear();
  loopTag_ = 0;
  passwordAtShow_ = atShow;
  password_ = password;
  passwordRetries_ = 0;
  passwordOut_ = true;
  Request(TAG_PASSWORD, [this](ICommPort& port) { SendHandle.SendPassword(port, password_); });
}

void TRequestEngine::RetryPassword() {
  // The login gives up at once and says so itself; an answer that came
  // late has settled it.
  if (role_ != TEngineRole::Main || !Connected() || !passwordOut_) return;
  if (passwordRetries_ >= PasswordRequestRetries) {
    // A refusal coming later no longer ends the program.
    passwordAtShow_ = false;
    ShowNoAnswer();
    return;
  }
  ++passwordRetries_;
  Request(TAG_PASSWORD, [this](ICommPort& port) { SendHandle.SendPassword(port, password_); });
}

void TRequestEngine::HandlePasswordReply() {
  const bool atShow = passwordAtShow_;
  passwordAtShow_ = false;
  passwordOut_ = false;
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
  // A block loop owns the line; it asks for the model itself when unknown.
  if (role_ == TEngineRole::Login || exchanging_) return;
  versionRetries_ = 0;
  SendVersionRequest();
}

void TRequestEngine::SendVersionRequest() {
  if (port_ == nullptr) return;
  Request(TAG_VERSION, [](ICommPort& port) { SendHandle.SendReadVersion(port); });
}

void TRequestEngine::RetryVersionRequest() {
  if (!Connected()) return;
  if (versionRetries_ >= VersionRequestRetries) {
    // An unknown model leaves the window empty: say why.
    if (ModelIndex < 0) ShowModelOrNoAnswer();
    return;
  }
  ++versionRetries_;
  SendVersionRequest();
}

bool TRequestEngine::ShowVersionReply() {
  const TVersionProtocol protocol;
  const int last = LastIndex(recvBuffer_);
  TDataPack data;
  if (protocol.CheckFrame(recvBuffer_, last)) protocol.GetData(recvBuffer_, last, data);
  // A garbled reply would leave the model unknown, and the channel rows
  // unbuilt, for the whole run: it is asked for again instead. A whole one
  // that is too short is remembered, so that the user can be told.
  if (data.size() < VersionDataBytes) {
    if (protocol.CheckFrame(recvBuffer_, last)) unknownModel_ = ModelFieldText(data);
    return false;
  }
  TVersionReply reply;
  reply.Model = protocol.GetModelText(recvBuffer_, last);
  reply.Version = protocol.GetVersionText(recvBuffer_, last);
  reply.Imei = protocol.GetImeiText(recvBuffer_, last);
  reply.Signal = protocol.GetSignalText(recvBuffer_, last);
  ModelIndex = ModelIndexOf(reply.Model);
  // Another model's name counts as the first model's, but builds no channel
  // rows: the window cannot write for it, and says why.
  const bool known = ModelWordOf(ModelIndex) == reply.Model;
  unknownModel_ = known ? std::string() : ModelFieldText(data);
  view_.VersionReceived(reply);
  return true;
}

void TRequestEngine::ShowModelOrNoAnswer() {
  if (!unknownModel_.empty())
    view_.ShowMessage(UnknownModelText(LanguageFlag, unknownModel_), true);
  else
    ShowNoAnswer();
}

// ---- Block loops ----

TRequestEngine::TExchange TRequestEngine::ExchangeBlock(int tag, const TSender& send) {
  const TDataPack frame = FrameOf(send);
  awaited_ = frame;
  held_ = nullptr;
  awaitedTag_ = loopTag_ = tag;
  answered_ = settle_ = sentOwn_ = false;
  exchanging_ = true;
  silentRounds_ = rounds_ = 0;
  bool drained = false;
  const auto ended = [this]() -> std::optional<TExchange> {
    if (answered_) return TExchange::Answered;
    if (cancel_) return TExchange::Stopped;
    // Silence for long, or only damaged answers for longer.
    if (silentRounds_ >= NoAnswerRounds || rounds_ >= 3 * NoAnswerRounds)
      return TExchange::NoAnswer;
    return std::nullopt;
  };
  for (;;) {
    if (settle_) {
      // What is still on its way may come in the pause: the block's own
      // answer is taken then.
      settle_ = false;
      clock_.Delay(TimeoutSettleMs);
    }
    if (const auto end = ended()) {
      EndExchange();
      return *end;
    }
    syncing_ = MayBeTakenFor(frame);
    if (syncing_ && !drained) {
      // Answers still on their way for earlier requests come in a burst:
      // they are waited for first, with nothing sent that would make the
      // read thread drop those already begun.
      drained = true;
      clock_.Delay(DrainWaitMs);
      continue;
    }
    busy_ = true;
    SetPending(tag);
    // A device holding its answers back would only be given more to answer
    // later: after the first silent rounds, every other one just waits.
    if (silentRounds_ >= 2 && silentRounds_ % 2 == 0) {
      // nothing sent: the round waits for what is on its way
    } else if (syncing_) {
      SendHandle.SendReadVersion(linePort_);
    } else {
      send(linePort_);
      sentOwn_ = true;
    }
    while (busy_) {
      if (!clock_.WaitStep() || cancel_) {
        EndExchange();
        return TExchange::Stopped;
      }
    }
  }
}

TRequestEngine::TExchange TRequestEngine::EnsureModel() {
  if (ModelIndex >= 0) return TExchange::Answered;
  const TExchange result =
      ExchangeBlock(TAG_VERSION, [](ICommPort& port) { SendHandle.SendReadVersion(port); });
  return result == TExchange::Answered && ModelIndex < 0 ? TExchange::UnknownModel : result;
}

void TRequestEngine::EndExchange() {
  busy_ = exchanging_ = syncing_ = false;
  awaited_.clear();
}

void TRequestEngine::BlockTaken() {
  // Its other requests' answers, still to come, bring nothing new.
  awaited_.clear();
  lastTaken_ = recvBuffer_;
  answered_ = true;
  busy_ = false;
}

void TRequestEngine::BlockNotTaken() {
  // The round brought nothing usable: the block is asked again.
  ++rounds_;
  ++silentRounds_;
  settle_ = true;
  busy_ = false;
}

void TRequestEngine::AcceptMasterBlock() {
  const std::optional<TDataPack> data = ReplyData(recvBuffer_);
  if (!data || data->size() != TBasicProtocol::BlockSize) {
    BlockNotTaken();
    return;
  }
  // Every block has its own place in the image.
  if (step_ >= 0 && step_ < MasterReadBlocks)
    std::copy(data->begin(), data->end(),
              masterChunks_.begin() + static_cast<std::ptrdiff_t>(step_) * BlockSize);
  BlockTaken();
}

void TRequestEngine::AcceptHistoryBlock() {
  const std::optional<TDataPack> data = ReplyData(recvBuffer_);
  if (!data || static_cast<int>(data->size()) < HistoryBlockBytes) {
    // A short block is read again: its records would otherwise be lost or
    // shown as garbage.
    BlockNotTaken();
    return;
  }
  const THistoryBlockResult result =
      AppendHistoryRecords(*data, historyTarget_, history_, ModelIndex, LanguageFlag);
  view_.HistoryRowsReceived(result.Rows);
  if (result.CloseProgress) {
    // The device has no more records: the read is over.
    historyEnded_ = true;
    view_.CloseProgress();
  }
  BlockTaken();
}

void TRequestEngine::ReadMaster() {
  if (!Connected()) return;
  cancel_ = false;
  view_.ShowProgress(MasterReadBlocks);
  TProgressGuard guard(view_);
  // The image is unpacked for the model: it must be known first.
  TExchange result = EnsureModel();
  step_ = 0;
  masterChunks_.assign(static_cast<std::size_t>(MasterReadBlocks) * BlockSize, BlockFill);
  while (result == TExchange::Answered && step_ != MasterReadBlocks) {
    const int block = step_;
    view_.SetProgress(block + 1);
    result = ExchangeBlock(TAG_MASTERREAD,
                           [block](ICommPort& port) { SendHandle.SendReadMaster(port, block); });
    if (result == TExchange::Answered) ++step_;
  }
  // The message goes up over the main window, not over the progress window
  // about to close, which would take it along to the back.
  if (result == TExchange::NoAnswer || result == TExchange::UnknownModel) {
    view_.CloseProgress();
    ShowModelOrNoAnswer();
  }
  if (result != TExchange::Answered) return;
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
  TExchange result = TExchange::Answered;
  for (step_ = 0; step_ <= lastBlock; ++step_) {
    const int block = step_;
    view_.SetProgress(block + 1);
    TDataPack slice, data;
    protocol.GetBlock(image, block, BlockSize, slice);
    protocol.PadBlock(slice, BlockFill, data);
    result = ExchangeBlock(TAG_MASTERWRITE, [block, &data](ICommPort& port) {
      SendHandle.SendWriteMaster(port, block, data);
    });
    if (result != TExchange::Answered) break;
    if (block < lastBlock) clock_.Delay(WriteBlockSettleMs);
  }
  if (result == TExchange::Answered) return;
  // The device holds part of each setting: the user must know, and which
  // part, before trusting it.
  view_.CloseProgress();
  view_.ShowMessage(
      PartlyWrittenText(LanguageFlag, step_, sentOwn_, lastBlock, result == TExchange::NoAnswer),
      true);
}

void TRequestEngine::ReadHistory(int count, int gaugeMax) {
  if (!Connected()) return;
  const int blocks = HistoryBlockCount(count);
  history_.Start();
  historyTarget_ = count;
  historyEnded_ = false;
  cancel_ = false;
  view_.ShowProgress(gaugeMax);
  TProgressGuard guard(view_);
  view_.SetProgress(0);
  // The records' columns follow the model.
  TExchange result = EnsureModel();
  step_ = 0;
  while (result == TExchange::Answered && step_ <= blocks - 1 && !historyEnded_) {
    const int block = step_;
    view_.SetProgress(block * RecordsPerBlock + RecordsPerBlock);
    result = ExchangeBlock(TAG_HISTORYBLOCK, [block](ICommPort& port) {
      SendHandle.SendReadHistoryBlock(port, block);
    });
    if (result == TExchange::Answered) ++step_;
  }
  // Stop or no answer: the rows read so far stay.
  if (result == TExchange::NoAnswer || result == TExchange::UnknownModel) {
    view_.CloseProgress();
    ShowModelOrNoAnswer();
  }
}

// ---- Single requests ----

void TRequestEngine::ReadHistoryRecord(int number) {
  if (!Connected()) return;
  historyRecord_ = number;
  Request(TAG_HISTORYRECORD,
          [number](ICommPort& port) { SendHandle.SendReadHistoryRecord(port, number); });
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
  Request(TAG_DOSTATUS, [](ICommPort& port) { SendHandle.SendReadDO(port); });
}

void TRequestEngine::ReadThValues() {
  if (!Connected()) return;
  Request(TAG_THVALUES, [](ICommPort& port) { SendHandle.SendReadTH(port); });
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
  Request(TAG_SETTIME, [=](ICommPort& port) {
    SendHandle.SendSetTime(port, year - 2000, month, day, hour, minute);
  });
}

void TRequestEngine::ReadTime() {
  if (!Connected()) return;
  Request(TAG_READTIME, [](ICommPort& port) { SendHandle.SendReadTime(port); });
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
  // A text command: its answer is text, which no frame is taken for.
  awaited_.clear();
  held_ = nullptr;
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
  // The device answers with progress text; the engine moves the gauge. No
  // frame is taken for text: the request waits for nothing on the line, and
  // stays off it.
  awaited_.clear();
  held_ = nullptr;
  SetPending(TAG_CLEARHISTORY);
  SendHandle.SendClearHistory(*port_);
}

}  // namespace kv
